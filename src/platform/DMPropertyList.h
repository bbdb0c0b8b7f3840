#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// Property lists through libplist, as QVariant: dictionaries (QVariantMap), arrays
// (QVariantList), strings (QString), integers (qint64; unsigned values above INT64_MAX as
// quint64), reals (double), booleans, data (QByteArray) and dates (QDateTime, UTC).
// Reading accepts XML and binary; malformed or truncated input, nesting deeper than 512 levels
// and self-referencing binary objects give an error, never a crash. An archive UID reads as its
// XML dictionary form {"CF$UID": n}. XML dates carry whole seconds, binary ones fractions.
// Writing also takes int, uint, float, QStringList and QVariantHash (keys sorted).
class DMPropertyList
{
public:
    // CompactXML: XML without indentation, for large files.
    enum Format { XML, Binary, CompactXML };

    // Returns an invalid QVariant and sets *error on failure.
    static QVariant propertyListWithData(const QByteArray &data, QString *error = nullptr);
    static QVariant propertyListWithContentsOfFile(const QString &path, QString *error = nullptr);

    // Returns an empty array and sets *error when the value holds a type a property list cannot
    // carry (a null QVariant, an unknown type), a string with a NUL character (or, in XML, any
    // other control character but tab, line feed and carriage return), or nests too deeply.
    static QByteArray dataWithPropertyList(const QVariant &plist, Format format = XML, QString *error = nullptr);
    // Writes atomically (a temporary file renamed into place).
    static bool writePropertyListToFile(const QVariant &plist, const QString &path, Format format = XML,
                                        QString *error = nullptr);
};
