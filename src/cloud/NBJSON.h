#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// JSON text to and from QVariant, through nlohmann-json so that 64-bit integers stay exact.
// Objects become QVariantMap, arrays QVariantList, strings QString, integers qint64 (quint64 above
// the signed range), other numbers double, booleans bool and null QVariant::fromValue(nullptr).

// Nothing for empty data, text that is not UTF-8 JSON, or nesting deeper than 256 levels.
std::optional<QVariant> NBJSONValueWithData(const QByteArray &data);

// The compact UTF-8 text of a value made of the types above (QStringList is taken as an array);
// an empty array when the value holds anything else.
QByteArray NBJSONDataWithValue(const QVariant &value);

// Whether a value read by NBJSONValueWithData was JSON null (an invalid QVariant counts too).
bool NBJSONIsNull(const QVariant &value);
