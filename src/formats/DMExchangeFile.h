#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantList>

// The side views' exchange files (days off, resources): an XML property list whose root
// dictionary holds exactly a version text (written as the application's, never examined when
// read) and one array of entries.
namespace DMExchangeFile {

// The version written: the application's, or "unknown".
QString applicationVersion();
// Writes the root {versionKey: version, arrayKey: entries} atomically; false with *error set.
bool writeToFile(const QString &versionKey, const QString &arrayKey, const QVariantList &entries, const QString &path,
                 QString *error = nullptr);
// The entries of such a file; false with *error set when the data is not one: not a property
// list, a root that is not a dictionary, a key missing, or the entries not an array.
bool readEntries(const QByteArray &data, const QString &versionKey, const QString &arrayKey, QVariantList *entries,
                 QString *error = nullptr);
// The bytes of a file the user picked, read as DMRegularFile reads one, at most maxSize of them;
// false with *error set when it is not a regular file, is larger or cannot be read.
bool readFile(const QString &path, qint64 maxSize, QByteArray *data, QString *error = nullptr);

// What the user is told when such a file cannot be written, the writer's reason last.
QString writeFailureText(const QString &reason);

} // namespace DMExchangeFile
