#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantList>

// The days-off file: an XML property list whose root dictionary holds exactly "halcyra version"
// (text, not examined when read) and "days off" (the project's days-off entries, in order).
class DMDaysOffFile
{
public:
    static const QString kVersionKey; // "halcyra version"
    static const QString kDaysOffKey; // "days off"
    // Larger files are refused before they are read.
    static constexpr qint64 kMaximumFileSize = qint64(8) << 20;

    // The version written: the application's, or "unknown".
    static QString applicationVersion();

    // Writes the entries as stored, atomically. False with *error set when it cannot.
    static bool writeToFile(const QVariantList &entries, const QString &path, QString *error = nullptr);

    struct Contents
    {
        QVariantList entries; // the sound entries, in the file's order (see DMDaysOffEntry::validatedEntry)
        int skippedCount = 0; // entries left out: impossible dates, wrong types, reversed ranges
    };
    // False when the data is no days-off file: not a property list, a root that is not a
    // dictionary, a key missing, or "days off" not an array.
    static bool readData(const QByteArray &data, Contents *contents, QString *error = nullptr);
    // The same from a file the user picked, read as DMRegularFile reads one.
    static bool readFromFile(const QString &path, Contents *contents, QString *error = nullptr);
};
