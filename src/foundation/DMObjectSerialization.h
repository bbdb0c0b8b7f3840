#pragma once

#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// An unordered collection of settings values. A QVariantList inside a QVariant means an array;
// a DMSet inside a QVariant means a set, so the two stay apart in files. Duplicates are the
// caller's business: the values are kept as given, in their order.
struct DMSet
{
    QVariantList values;
    bool operator==(const DMSet &) const = default;
};

// Settings values in project files, as dictionaries {"class": name, "object": value} whose
// contents are property-list types only (dictionaries, arrays, strings, integers, reals,
// booleans, data). The class names and object forms are listed in docs/file-format.md.
//
// Encodable values: QString, integers (stored as qint64), reals, booleans, QByteArray,
// QVariantList and QStringList (arrays), DMSet, QVariantMap and QVariantHash (dictionaries),
// QUrl, DMIndexSet_64 (and DMMutableIndexSet_64, which decodes as DMIndexSet_64), QColor and
// QImage.
namespace DMObjectSerialization {

// An invalid QVariant when the value (or the top-level value) is of a type above not listed.
// Inside arrays, sets and dictionaries an entry that cannot be encoded is left out.
QVariant encode(const QVariant &value);

// An invalid QVariant for an unknown class, a missing or wrongly typed object, or nesting
// deeper than maxDepth. Inside arrays, sets and dictionaries an entry that cannot be decoded
// is left out, so one damaged setting does not cost the others.
QVariant decode(const QVariant &encoded);

// Every value of the dictionary encoded (or decoded); entries that fail are left out.
QVariantMap encodeDictionary(const QVariantMap &values);
QVariantMap decodeDictionary(const QVariantMap &encoded);

// Nesting limit of decode, so a hostile file cannot exhaust the stack.
inline constexpr int maxDepth = 200;

} // namespace DMObjectSerialization
