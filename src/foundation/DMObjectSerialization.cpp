#include "DMObjectSerialization.h"

#include "DMColorAdditions.h"
#include "DMIndexSet_64.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QStringList>
#include <QUrl>

#include <limits>

namespace {

const QString kClassKey = QStringLiteral("class");
const QString kObjectKey = QStringLiteral("object");

const QString kString = QStringLiteral("string");
const QString kNumber = QStringLiteral("number");
const QString kData = QStringLiteral("data");
const QString kArray = QStringLiteral("array");
const QString kSet = QStringLiteral("set");
const QString kDictionary = QStringLiteral("dictionary");
const QString kURL = QStringLiteral("url");
const QString kIndexSet = QStringLiteral("indexset");
const QString kColor = QStringLiteral("color");
const QString kImage = QStringLiteral("image");

QVariantMap wrap(const QString &className, const QVariant &object)
{
    return {{kClassKey, className}, {kObjectKey, object}};
}

QVariantList encodeList(const QVariantList &values)
{
    QVariantList out;
    out.reserve(values.size());
    for (const QVariant &value : values) {
        QVariant encoded = DMObjectSerialization::encode(value);
        if (encoded.isValid())
            out.append(std::move(encoded));
    }
    return out;
}

template <typename Map>
QVariantMap encodeMap(const Map &values)
{
    QVariantMap out;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        QVariant encoded = DMObjectSerialization::encode(it.value());
        if (encoded.isValid())
            out.insert(it.key(), std::move(encoded));
    }
    return out;
}

// Numbers keep their kind: booleans, integers (as qint64) and reals (as double).
QVariant encodeNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return value.toLongLong();
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number > qulonglong(std::numeric_limits<qint64>::max()))
            return {}; // a property list would carry it, but not as the qint64 we promise
        return qint64(number);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    default:
        return {};
    }
}

QVariant decodeAt(const QVariant &encoded, int depth);

QVariantList decodeList(const QVariant &object, int depth, bool *ok)
{
    *ok = object.typeId() == QMetaType::QVariantList;
    QVariantList out;
    if (!*ok)
        return out;
    const QVariantList values = object.toList();
    out.reserve(values.size());
    for (const QVariant &value : values) {
        QVariant decoded = decodeAt(value, depth + 1);
        if (decoded.isValid())
            out.append(std::move(decoded));
    }
    return out;
}

QVariant decodeNumber(const QVariant &object)
{
    switch (object.typeId()) {
    case QMetaType::Bool:
        return object.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return object.toLongLong();
    case QMetaType::ULongLong:
        return object; // an unsigned value above the signed range, as the plist reader gives it
    case QMetaType::Double:
    case QMetaType::Float:
        return object.toDouble();
    default:
        return {};
    }
}

QVariant decodeAt(const QVariant &encoded, int depth)
{
    if (depth > DMObjectSerialization::maxDepth || encoded.typeId() != QMetaType::QVariantMap)
        return {};
    const QVariantMap wrapper = encoded.toMap();
    const QVariant classValue = wrapper.value(kClassKey);
    const QVariant object = wrapper.value(kObjectKey);
    if (classValue.typeId() != QMetaType::QString || !object.isValid())
        return {};
    const QString className = classValue.toString();

    if (className == kString)
        return object.typeId() == QMetaType::QString ? object : QVariant();
    if (className == kNumber)
        return decodeNumber(object);
    if (className == kData)
        return object.typeId() == QMetaType::QByteArray ? object : QVariant();
    if (className == kArray || className == kSet) {
        bool ok = false;
        QVariantList values = decodeList(object, depth, &ok);
        if (!ok)
            return {};
        if (className == kSet)
            return QVariant::fromValue(DMSet{std::move(values)});
        return values;
    }
    if (className == kDictionary) {
        if (object.typeId() != QMetaType::QVariantMap)
            return {};
        const QVariantMap values = object.toMap();
        QVariantMap out;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            QVariant decoded = decodeAt(it.value(), depth + 1);
            if (decoded.isValid())
                out.insert(it.key(), std::move(decoded));
        }
        return out;
    }
    if (className == kURL) {
        if (object.typeId() != QMetaType::QString)
            return {};
        const QUrl url(object.toString(), QUrl::StrictMode);
        return url.isValid() && !url.isEmpty() ? QVariant(url) : QVariant();
    }
    if (className == kIndexSet) {
        DMIndexSet_64 indexes;
        if (object.typeId() != QMetaType::QString || !DMIndexSet_64::fromRangeString(object.toString(), &indexes))
            return {};
        return QVariant::fromValue(indexes);
    }
    if (className == kColor) {
        if (object.typeId() != QMetaType::QVariantMap)
            return {};
        const QColor color = colorWithComponentsDictionary(object.toMap());
        return color.isValid() ? QVariant(color) : QVariant();
    }
    if (className == kImage) {
        if (object.typeId() != QMetaType::QByteArray)
            return {};
        const QImage image = QImage::fromData(object.toByteArray(), "PNG");
        return image.isNull() ? QVariant() : QVariant(image);
    }
    return {};
}

} // namespace

namespace DMObjectSerialization {

QVariant encode(const QVariant &value)
{
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<DMSet>())
        return wrap(kSet, encodeList(value.value<DMSet>().values));
    if (type == QMetaType::fromType<DMIndexSet_64>())
        return wrap(kIndexSet, value.value<DMIndexSet_64>().rangeString());
    if (type == QMetaType::fromType<DMMutableIndexSet_64>())
        return wrap(kIndexSet, value.value<DMMutableIndexSet_64>().rangeString());

    switch (value.typeId()) {
    case QMetaType::QString:
        return wrap(kString, value.toString());
    case QMetaType::QByteArray:
        return wrap(kData, value.toByteArray());
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return wrap(kArray, encodeList(value.toList()));
    case QMetaType::QVariantMap:
        return wrap(kDictionary, encodeMap(value.toMap()));
    case QMetaType::QVariantHash:
        return wrap(kDictionary, encodeMap(value.toHash()));
    case QMetaType::QUrl: {
        const QUrl url = value.toUrl();
        if (!url.isValid() || url.isEmpty())
            return {};
        return wrap(kURL, url.toString(QUrl::FullyEncoded));
    }
    case QMetaType::QColor: {
        const QColor color = value.value<QColor>();
        if (!color.isValid())
            return {};
        return wrap(kColor, componentsDictionary(color));
    }
    case QMetaType::QImage: {
        const QImage image = value.value<QImage>();
        QByteArray png;
        QBuffer buffer(&png);
        if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
            return {};
        return wrap(kImage, png);
    }
    default: {
        const QVariant number = encodeNumber(value);
        return number.isValid() ? QVariant(wrap(kNumber, number)) : QVariant();
    }
    }
}

QVariant decode(const QVariant &encoded)
{
    return decodeAt(encoded, 0);
}

QVariantMap encodeDictionary(const QVariantMap &values)
{
    return encodeMap(values);
}

QVariantMap decodeDictionary(const QVariantMap &encoded)
{
    QVariantMap out;
    for (auto it = encoded.cbegin(); it != encoded.cend(); ++it) {
        QVariant decoded = decodeAt(it.value(), 0);
        if (decoded.isValid())
            out.insert(it.key(), std::move(decoded));
    }
    return out;
}

} // namespace DMObjectSerialization
