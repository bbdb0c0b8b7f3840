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
    // CompactXML: XML without indentation or line breaks between tags, for large files.
    enum Format { XML, Binary, CompactXML };

    // Returns an invalid QVariant and sets *error on failure.
    static QVariant propertyListWithData(const QByteArray &data, QString *error = nullptr);
    static QVariant propertyListWithContentsOfFile(const QString &path, QString *error = nullptr);

    // Returns an empty array and sets *error when the value holds a type a property list cannot
    // carry (a null QVariant, an unknown type) or nests too deeply. A text character the format
    // cannot store (NUL; in XML also the other control characters but tab, line feed and
    // carriage return; an unpaired surrogate) is dropped, a surrogate replaced by U+FFFD, with a
    // logged line: a save never fails for a character.
    static QByteArray dataWithPropertyList(const QVariant &plist, Format format = XML, QString *error = nullptr);
    // The text as every format stores it: control characters U+0000 to U+001F other than tab,
    // line feed and carriage return dropped, an unpaired surrogate replaced by U+FFFD. Text
    // entering the model goes through it. The value form does so for every string (and
    // dictionary key) inside lists and dictionaries.
    static QString storableString(const QString &text);
    static QVariant storableValue(const QVariant &value, int depth = 0);
    // Writes atomically (a temporary file renamed into place).
    static bool writePropertyListToFile(const QVariant &plist, const QString &path, Format format = XML,
                                        QString *error = nullptr);
};
