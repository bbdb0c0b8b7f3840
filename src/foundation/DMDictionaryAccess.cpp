#include "DMDictionaryAccess.h"

#include <cmath>
#include <limits>

bool isIntegerValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool isNumberValue(const QVariant &value)
{
    return isIntegerValue(value) || value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

namespace {

// Out-of-range and NaN doubles (possible in any file) would make a plain cast undefined.
qint64 toInteger(double number)
{
    if (std::isnan(number))
        return 0;
    if (number >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (number <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(number);
}

// Numbers and numeric strings read as numbers; everything else is absent.
bool readNumber(const QVariant &value, double *number, qint64 *integer)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        *integer = value.toLongLong();
        *number = double(*integer);
        return true;
    case QMetaType::Double:
    case QMetaType::Float:
        *number = value.toDouble();
        *integer = toInteger(*number);
        return true;
    case QMetaType::QString: {
        // Like the platform's scanner: the longest leading number counts ("12abc" is 12),
        // and text that does not start with one reads as 0.
        const QString text = value.toString().trimmed();
        bool whole = false;
        const double wholeNumber = text.toDouble(&whole); // also "inf" and "nan"
        if (whole) {
            bool isInteger = false;
            const qint64 i = text.toLongLong(&isInteger);
            *number = isInteger ? double(i) : wholeNumber;
            *integer = isInteger ? i : toInteger(wholeNumber);
            return true;
        }
        qsizetype end = 0;
        if (end < text.size() && (text[end] == u'-' || text[end] == u'+'))
            ++end;
        while (end < text.size() && (text[end].isDigit() || text[end] == u'.' || text[end] == u'e' || text[end] == u'E'
                                     || ((text[end] == u'-' || text[end] == u'+') && (text[end - 1] == u'e' || text[end - 1] == u'E'))))
            ++end;
        for (; end > 0; --end) {
            const QString prefix = text.left(end);
            bool ok = false;
            const qint64 i = prefix.toLongLong(&ok);
            if (ok) {
                *integer = i;
                *number = double(i);
                return true;
            }
            const double d = prefix.toDouble(&ok);
            if (ok) {
                *number = d;
                *integer = toInteger(d);
                return true;
            }
        }
        *number = 0;
        *integer = 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace

qint64 longLongForKey(const QVariantMap &dictionary, const QString &key)
{
    double number = 0;
    qint64 integer = 0;
    return readNumber(dictionary.value(key), &number, &integer) ? integer : 0;
}

int integerForKey(const QVariantMap &dictionary, const QString &key)
{
    return int(longLongForKey(dictionary, key));
}

bool boolForKey(const QVariantMap &dictionary, const QString &key)
{
    const QVariant value = dictionary.value(key);
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("yes") || text == QLatin1String("true"))
            return true;
    }
    double number = 0;
    qint64 integer = 0;
    return readNumber(value, &number, &integer) && number != 0;
}

double doubleForKey(const QVariantMap &dictionary, const QString &key)
{
    double number = 0;
    qint64 integer = 0;
    return readNumber(dictionary.value(key), &number, &integer) ? number : 0.0;
}

void setIntegerForKey(QVariantMap &dictionary, qint64 value, const QString &key)
{
    dictionary.insert(key, value);
}

QString stringForKey(const QVariantMap &dictionary, const QString &key)
{
    const QVariant value = dictionary.value(key);
    return value.metaType().id() == QMetaType::QString ? value.toString() : QString();
}

QVariantMap dictionaryForKey(const QVariantMap &dictionary, const QString &key)
{
    const QVariant value = dictionary.value(key);
    return value.metaType().id() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

QVariantList arrayForKey(const QVariantMap &dictionary, const QString &key)
{
    const QVariant value = dictionary.value(key);
    return value.metaType().id() == QMetaType::QVariantList ? value.toList() : QVariantList();
}
