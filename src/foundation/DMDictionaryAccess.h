#pragma once

#include <QVariantMap>

// Typed dictionary access: the reading convention of every dictionary representation. A number
// or a numeric string is read; an absent entry or a value of another type gives 0, false or 0.0.
int integerForKey(const QVariantMap &dictionary, const QString &key);
qint64 longLongForKey(const QVariantMap &dictionary, const QString &key);
bool boolForKey(const QVariantMap &dictionary, const QString &key);
double doubleForKey(const QVariantMap &dictionary, const QString &key);
void setIntegerForKey(QVariantMap &dictionary, qint64 value, const QString &key);
// Strings, dictionaries and lists: an empty value when absent or of another type.
QString stringForKey(const QVariantMap &dictionary, const QString &key);
QVariantMap dictionaryForKey(const QVariantMap &dictionary, const QString &key);
QVariantList arrayForKey(const QVariantMap &dictionary, const QString &key);
// Strict checks of a value's type, for readers that refuse what the lenient reading above would
// take: an integer type; an integer or floating-point type (text and booleans are neither).
bool isIntegerValue(const QVariant &value);
bool isNumberValue(const QVariant &value);
