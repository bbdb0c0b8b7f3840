#include "DMKeyedUnarchiver.h"

#include "DMArchiveValues.h"
#include "DMPropertyList.h"

#include <QImage>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace {

const QString kUIDKey = QStringLiteral("CF$UID");
const QString kClassKey = QStringLiteral("$class");

// Thrown while an object is read to make it fail; caught where the object's reading began.
struct DecodeFailure
{
    QString reason;
};

[[noreturn]] void fail(const QString &reason)
{
    throw DecodeFailure{reason};
}

// {"CF$UID": n}: the form of a reference in both property list formats.
bool referenceIndex(const QVariant &raw, qint64 *index)
{
    if (raw.metaType().id() != QMetaType::QVariantMap)
        return false;
    const QVariantMap map = raw.toMap();
    if (map.size() != 1 || !map.contains(kUIDKey))
        return false;
    const QVariant value = map.value(kUIDKey);
    const int type = value.metaType().id();
    if (type != QMetaType::LongLong && type != QMetaType::ULongLong)
        return false;
    *index = type == QMetaType::ULongLong ? -1 : value.toLongLong();
    return true;
}

QString typeName(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<std::shared_ptr<DMArchivedObject>>()) {
        const auto object = value.value<std::shared_ptr<DMArchivedObject>>();
        return object ? object->archivedClassName() : QStringLiteral("nil");
    }
    return QString::fromLatin1(value.metaType().name() ? value.metaType().name() : "nil");
}

bool isOneOf(const QString &name, std::initializer_list<const char *> names)
{
    for (const char *candidate : names)
        if (name == QLatin1String(candidate))
            return true;
    return false;
}

// The first image in the value, looking through nested arrays (an image's representations).
QImage firstImage(const QVariant &value, int depth = 0)
{
    if (value.metaType().id() == QMetaType::QImage)
        return value.value<QImage>();
    if (value.metaType().id() == QMetaType::QByteArray)
        return QImage::fromData(value.toByteArray());
    if (value.metaType().id() == QMetaType::QVariantList && depth < 4)
        for (const QVariant &entry : value.toList())
            if (QImage image = firstImage(entry, depth + 1); !image.isNull())
                return image;
    return QImage();
}

} // namespace

// ---- DMArchiveCoder ----

QVariant DMArchiveCoder::decodeObjectForKey(const QString &key) const
{
    const auto found = m_values.constFind(key);
    return found == m_values.constEnd() ? QVariant() : m_unarchiver.resolve(found.value(), m_depth + 1);
}

bool DMArchiveCoder::decodeBoolForKey(const QString &key) const
{
    return decodeObjectForKey(key).toBool();
}

qint64 DMArchiveCoder::decodeIntegerForKey(const QString &key) const
{
    const QVariant value = decodeObjectForKey(key);
    if (value.metaType().id() == QMetaType::Double)
        return qint64(std::clamp(value.toDouble(), -9.2e18, 9.2e18));
    return value.toLongLong();
}

double DMArchiveCoder::decodeDoubleForKey(const QString &key) const
{
    const double value = decodeObjectForKey(key).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

QRectF DMArchiveCoder::decodeRectForKey(const QString &key) const
{
    const QVariant value = decodeObjectForKey(key);
    if (value.metaType().id() == QMetaType::QRectF)
        return value.toRectF();
    QRectF rect;
    if (value.metaType().id() == QMetaType::QString && DMArchive_rectFromString(value.toString(), &rect))
        return rect;
    if (value.isValid())
        noteWrongType(key, QStringLiteral("rectangle"), value);
    return QRectF();
}

QString DMArchiveCoder::decodeStringForKey(const QString &key) const
{
    const QVariant value = decodeObjectForKey(key);
    if (value.metaType().id() == QMetaType::QString)
        return value.toString();
    if (value.isValid())
        noteWrongType(key, QStringLiteral("string"), value);
    return QString();
}

QDateTime DMArchiveCoder::decodeDateForKey(const QString &key) const
{
    const QVariant value = decodeObjectForKey(key);
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.isValid())
        noteWrongType(key, QStringLiteral("date"), value);
    return QDateTime();
}

QColor DMArchiveCoder::decodeColorForKey(const QString &key) const
{
    const QVariant value = decodeObjectForKey(key);
    if (value.metaType().id() == QMetaType::QColor)
        return value.value<QColor>();
    if (value.isValid())
        noteWrongType(key, QStringLiteral("colour"), value);
    return QColor();
}

QVariantList DMArchiveCoder::decodeArrayForKey(const QString &key) const
{
    const QVariant value = decodeObjectForKey(key);
    if (value.metaType().id() == QMetaType::QVariantList)
        return value.toList();
    if (value.isValid())
        noteWrongType(key, QStringLiteral("array"), value);
    return QVariantList();
}

void DMArchiveCoder::failDecoding(const QString &reason) const
{
    fail(reason);
}

void DMArchiveCoder::noteWrongType(const QString &key, const QString &expected, const QVariant &value) const
{
    m_unarchiver.noteProblem(QStringLiteral("%1 \"%2\" is of type %3, not %4; read as absent")
                                 .arg(m_className, key, typeName(value), expected));
}

// ---- DMKeyedUnarchiver ----

DMKeyedUnarchiver::DMKeyedUnarchiver(const QByteArray &data)
{
    QString error;
    const QVariant plist = DMPropertyList::propertyListWithData(data, &error);
    if (!plist.isValid()) {
        m_error = QStringLiteral("The file is not a property list (%1).").arg(error);
        return;
    }
    const QVariantMap root = plist.toMap();
    const QVariant archiver = root.value(QStringLiteral("$archiver"));
    if (plist.metaType().id() != QMetaType::QVariantMap || root.value(QStringLiteral("$objects")).metaType().id() != QMetaType::QVariantList
        || root.value(QStringLiteral("$top")).metaType().id() != QMetaType::QVariantMap
        || (archiver.isValid() && archiver.toString() != QLatin1String("NSKeyedArchiver"))) {
        m_error = QStringLiteral("The file is not a keyed archive.");
        return;
    }
    m_objects = root.value(QStringLiteral("$objects")).toList();
    m_top = root.value(QStringLiteral("$top")).toMap();
    m_states.assign(size_t(m_objects.size()), State::Unread);
    m_decoded.assign(size_t(m_objects.size()), QVariant());
    m_valid = true;
}

void DMKeyedUnarchiver::setClassForClassName(const QString &className, Factory factory)
{
    m_factories.insert(className, std::move(factory));
}

QVariant DMKeyedUnarchiver::decodeTopObjectForKey(const QString &key)
{
    if (!m_valid || !m_top.contains(key))
        return QVariant();
    try {
        return resolve(m_top.value(key), 0);
    } catch (const DecodeFailure &failure) {
        noteProblem(QStringLiteral("the top object \"%1\" cannot be read: %2").arg(key, failure.reason));
        return QVariant();
    }
}

void DMKeyedUnarchiver::noteProblem(const QString &line)
{
    // A damaged archive can have one per object; the first ones tell what is wrong.
    if (m_problems.size() < 1000)
        m_problems.append(line);
}

QVariant DMKeyedUnarchiver::resolve(const QVariant &raw, int depth)
{
    qint64 index = 0;
    if (referenceIndex(raw, &index))
        return objectAtIndex(index, depth);
    switch (raw.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
    case QMetaType::QByteArray:
    case QMetaType::QDateTime:
        return raw;
    default:
        fail(QStringLiteral("a value of type %1 stands where a reference or a plain value belongs").arg(typeName(raw)));
    }
}

QVariant DMKeyedUnarchiver::objectAtIndex(qint64 index, int depth)
{
    if (index < 0 || index >= qint64(m_objects.size()))
        fail(QStringLiteral("a reference to object %1, of an archive of %2 objects").arg(index).arg(m_objects.size()));
    const size_t i = size_t(index);
    switch (m_states[i]) {
    case State::Read:
    case State::Failed:
        return m_decoded[i];
    case State::Reading:
        fail(QStringLiteral("a reference back to object %1, which is being read (a reference cycle)").arg(index));
    case State::Unread:
        break;
    }
    if (depth > kMaximumDepth)
        fail(QStringLiteral("objects nested deeper than %1 levels").arg(kMaximumDepth));
    m_states[i] = State::Reading;
    try {
        m_decoded[i] = decodeRawObject(m_objects.at(index), depth);
        m_states[i] = State::Read;
    } catch (const DecodeFailure &failure) {
        m_states[i] = State::Failed;
        m_decoded[i] = QVariant();
        noteProblem(QStringLiteral("object %1 cannot be read: %2").arg(index).arg(failure.reason));
    }
    return m_decoded[i];
}

QVariant DMKeyedUnarchiver::decodeRawObject(const QVariant &raw, int depth)
{
    if (raw.metaType().id() == QMetaType::QString && raw.toString() == QLatin1String("$null"))
        return QVariant();
    if (raw.metaType().id() == QMetaType::QVariantMap)
        return decodeInstance(raw.toMap(), depth);
    return resolve(raw, depth);
}

QVariant DMKeyedUnarchiver::decodeInstance(const QVariantMap &raw, int depth)
{
    qint64 classIndex = 0;
    if (!referenceIndex(raw.value(kClassKey), &classIndex) || classIndex < 0 || classIndex >= qint64(m_objects.size()))
        fail(QStringLiteral("an object without a readable class"));
    const QVariantMap classInfo = m_objects.at(classIndex).toMap();
    const QString className = classInfo.value(QStringLiteral("$classname")).toString();
    if (className.isEmpty())
        fail(QStringLiteral("an object whose class has no name"));
    // The class itself, then the classes it derives from, as the archive lists them.
    QStringList names{className};
    for (const QVariant &name : classInfo.value(QStringLiteral("$classes")).toList())
        if (name.metaType().id() == QMetaType::QString && name.toString() != className)
            names.append(name.toString());

    const DMArchiveCoder coder(*this, raw, className, depth);
    for (const QString &name : names) {
        if (const auto factory = m_factories.constFind(name); factory != m_factories.constEnd()) {
            std::shared_ptr<DMArchivedObject> object = factory.value()();
            object->m_archivedClassName = className;
            object->initWithCoder(coder);
            return DMArchivedObject_variant(object);
        }
        bool known = false;
        QVariant value = decodeFoundationObject(name, raw, coder, depth, &known);
        if (known)
            return value;
    }
    fail(QStringLiteral("an object of the unknown class %1").arg(className));
}

QVariant DMKeyedUnarchiver::decodeFoundationObject(const QString &name, const QVariantMap &raw,
                                                   const DMArchiveCoder &coder, int depth, bool *known)
{
    *known = true;
    auto list = [&](const char *key) {
        const QVariant entries = raw.value(QLatin1String(key));
        if (entries.metaType().id() != QMetaType::QVariantList)
            fail(QStringLiteral("%1 without its \"%2\" list").arg(name, QLatin1String(key)));
        QVariantList decoded;
        for (const QVariant &entry : entries.toList())
            decoded.append(resolve(entry, depth + 1));
        return decoded;
    };

    if (isOneOf(name, {"NSArray", "NSMutableArray", "NSSet", "NSMutableSet", "NSOrderedSet", "NSMutableOrderedSet"}))
        return list("NS.objects");
    if (isOneOf(name, {"NSDictionary", "NSMutableDictionary"})) {
        const QVariantList keys = list("NS.keys");
        const QVariantList values = list("NS.objects");
        if (keys.size() != values.size())
            fail(QStringLiteral("a dictionary of %1 keys and %2 values").arg(keys.size()).arg(values.size()));
        auto dictionary = std::make_shared<DMArchivedDictionary>();
        dictionary->m_archivedClassName = name;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (keys.at(i).metaType().id() != QMetaType::QString)
                fail(QStringLiteral("a dictionary key that is not a string"));
            dictionary->entries.insert(keys.at(i).toString(), values.at(i));
        }
        return DMArchivedObject_variant(dictionary);
    }
    if (isOneOf(name, {"NSString", "NSMutableString"})) {
        const QVariant text = raw.value(QStringLiteral("NS.string"));
        if (text.metaType().id() == QMetaType::QString)
            return text;
        if (raw.value(QStringLiteral("NS.bytes")).metaType().id() == QMetaType::QByteArray)
            return QString::fromUtf8(raw.value(QStringLiteral("NS.bytes")).toByteArray());
        fail(QStringLiteral("a string without its text"));
    }
    if (isOneOf(name, {"NSAttributedString", "NSMutableAttributedString"})) {
        const QVariant text = coder.decodeObjectForKey(QStringLiteral("NSString"));
        if (text.metaType().id() != QMetaType::QString)
            fail(QStringLiteral("an attributed string without its text"));
        return text;
    }
    if (isOneOf(name, {"NSDate", "NSCalendarDate"})) {
        const QVariant seconds = raw.value(QStringLiteral("NS.time"));
        if (!seconds.canConvert<double>() || seconds.metaType().id() == QMetaType::QString)
            fail(QStringLiteral("a date without its time"));
        QTimeZone zone;
        if (raw.contains(QStringLiteral("NS.timezone")))
            zone = coder.decodeObjectForKey(QStringLiteral("NS.timezone")).value<QTimeZone>();
        const QDateTime date = DMArchive_dateWithReferenceSeconds(seconds.toDouble(), zone);
        if (!date.isValid())
            fail(QStringLiteral("a date out of range"));
        return date;
    }
    if (isOneOf(name, {"NSTimeZone", "NSLocalTimeZone"})) {
        const QTimeZone zone(coder.decodeObjectForKey(QStringLiteral("NS.name")).toString().toUtf8());
        return zone.isValid() ? QVariant::fromValue(zone) : QVariant();
    }
    if (isOneOf(name, {"NSData", "NSMutableData"})) {
        const QVariant bytes = raw.value(QStringLiteral("NS.data"));
        if (bytes.metaType().id() != QMetaType::QByteArray)
            fail(QStringLiteral("data without its bytes"));
        return bytes;
    }
    if (name == QLatin1String("NSNull"))
        return QVariant();
    if (name == QLatin1String("NSColor")) {
        const int space = int(coder.decodeIntegerForKey(QStringLiteral("NSColorSpace")));
        if (space == 6) // a named colour: its stand-in colour
            return coder.decodeColorForKey(QStringLiteral("NSColor"));
        const QColor color = DMArchive_colorWithComponents(space, raw.value(QStringLiteral("NSRGB")).toByteArray(),
                                                           raw.value(QStringLiteral("NSWhite")).toByteArray(),
                                                           raw.value(QStringLiteral("NSCMYK")).toByteArray());
        if (!color.isValid())
            fail(QStringLiteral("a colour in the unreadable colour space %1").arg(space));
        return color;
    }
    if (name == QLatin1String("NSValue")) {
        QRectF rect;
        const QVariant text = raw.value(QStringLiteral("NS.rectval"));
        if (text.metaType().id() == QMetaType::QString && DMArchive_rectFromString(text.toString(), &rect))
            return rect;
        fail(QStringLiteral("a value that is not a rectangle"));
    }
    if (name == QLatin1String("NSImage")) {
        const QImage image = firstImage(coder.decodeObjectForKey(QStringLiteral("NSReps")));
        return image.isNull() ? QVariant() : QVariant(image);
    }
    if (name == QLatin1String("NSBitmapImageRep")) {
        const QImage image = QImage::fromData(raw.value(QStringLiteral("NSTIFFRepresentation")).toByteArray());
        return image.isNull() ? QVariant() : QVariant(image);
    }
    *known = false;
    return QVariant();
}
