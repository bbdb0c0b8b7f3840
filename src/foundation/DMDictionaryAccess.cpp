#include "DMDictionaryAccess.h"

namespace {

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
        *integer = qint64(*number);
        return true;
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        bool ok = false;
        const qint64 i = text.toLongLong(&ok);
        if (ok) {
            *integer = i;
            *number = double(i);
            return true;
        }
        const double d = text.toDouble(&ok);
        if (ok) {
            *number = d;
            *integer = qint64(d);
            return true;
        }
        // A string that does not start with a number reads as 0, like the platform's scanner.
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
