#include "DMPropertyList.h"

#include "DMPropertyListGuard.h"
#include "DMPropertyListNode.h"
#include "DMSaveFile.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <plist/plist.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {

struct PlistFree
{
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Makes a scalar node by parsing its XML form: the only way libplist 2.2 builds integers above
// INT64_MAX.
plist_t integerNodeFromXML(const QByteArray &text)
{
    const QByteArray xml = "<plist version=\"1.0\"><integer>" + text + "</integer></plist>";
    plist_t node = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &node);
    return node;
}

// The double nearest the shortest decimal that reads back as the float, so 0.1f is written 0.1.
double floatAsDouble(float value)
{
    if (!std::isfinite(value))
        return double(value);
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text - 1, value);
    *result.ptr = '\0';
    return std::strtod(text, nullptr);
}

// A date node for any number of seconds, parsed from a one-object binary property list: the date
// setter of libplist 2.2 takes 32-bit seconds only.
plist_t dateNodeFromBinary(double seconds)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &seconds, sizeof bits);
    QByteArray data("bplist00\x33", 9);
    for (int shift = 56; shift >= 0; shift -= 8)
        data.append(char((bits >> shift) & 0xFF));
    data.append(char(8));           // offset table: the object starts at byte 8
    data.append(QByteArray(6, 0));  // trailer
    data.append(char(1));           // offset size
    data.append(char(1));           // reference size
    data.append(QByteArray("\0\0\0\0\0\0\0\x01", 8)); // one object
    data.append(QByteArray(8, 0));  // the root is object 0
    data.append(QByteArray("\0\0\0\0\0\0\0\x11", 8)); // the offset table is at byte 17
    plist_t node = nullptr;
    plist_from_bin(data.constData(), uint32_t(data.size()), &node);
    return node;
}

// XML dates carry whole seconds: those are rounded down here, as libplist's writer would round
// dates before the reference date up.
plist_t dateNode(const QDateTime &date, bool wholeSeconds)
{
    qint64 msecs = date.toMSecsSinceEpoch() - DMPropertyListNode::kReferenceDateOffset * 1000;
    const qint64 seconds = msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
    if (wholeSeconds)
        msecs = seconds * 1000;
    if (seconds >= std::numeric_limits<int32_t>::min() + 1 && seconds <= std::numeric_limits<int32_t>::max())
        return plist_new_date(int32_t(seconds), int32_t((msecs - seconds * 1000) * 1000));
    return dateNodeFromBinary(double(msecs) / 1000.0);
}

// Makes the text storable; `keep` tells the control characters the format can carry. Returns
// whether anything changed.
template <typename Keep>
bool makeStorable(QString *text, Keep keep)
{
    const auto clean = [&](qsizetype i) {
        const char16_t unit = text->at(i).unicode();
        if (QChar::isHighSurrogate(unit))
            return i + 1 < text->size() && QChar::isLowSurrogate(text->at(i + 1).unicode());
        if (QChar::isLowSurrogate(unit))
            return i > 0 && QChar::isHighSurrogate(text->at(i - 1).unicode());
        return unit >= 0x20 || unit == u'\t' || unit == u'\n' || unit == u'\r' || keep(unit);
    };
    qsizetype i = 0;
    while (i < text->size() && clean(i))
        ++i;
    if (i == text->size())
        return false;
    QString result = text->left(i);
    result.reserve(text->size());
    for (; i < text->size(); ++i) {
        if (clean(i))
            result.append(text->at(i));
        else if (text->at(i).isSurrogate())
            result.append(QChar(QChar::ReplacementCharacter));
    }
    *text = result;
    return true;
}

class Writer
{
public:
    explicit Writer(bool xml) : m_xml(xml) {}
    QString error;
    int mendedTexts = 0;

    plist_t node(const QVariant &value, int depth)
    {
        if (depth > DMPropertyListGuard::kMaximumDepth) {
            error = QStringLiteral("The property list is nested more than %1 levels deep.")
                        .arg(DMPropertyListGuard::kMaximumDepth);
            return nullptr;
        }
        switch (value.metaType().id()) {
        case QMetaType::QVariantMap: {
            const QVariantMap map = value.toMap();
            PlistPtr dict(plist_new_dict());
            for (auto it = map.constBegin(); it != map.constEnd(); ++it)
                if (!insert(dict.get(), it.key(), it.value(), depth))
                    return nullptr;
            return dict.release();
        }
        case QMetaType::QVariantHash: {
            const QVariantHash hash = value.toHash();
            QStringList keys = hash.keys();
            keys.sort(); // written in a stable order
            PlistPtr dict(plist_new_dict());
            for (const QString &key : keys)
                if (!insert(dict.get(), key, hash.value(key), depth))
                    return nullptr;
            return dict.release();
        }
        case QMetaType::QVariantList:
        case QMetaType::QStringList: {
            const QVariantList list = value.toList();
            PlistPtr array(plist_new_array());
            for (const QVariant &item : list) {
                plist_t child = node(item, depth + 1);
                if (!child)
                    return nullptr;
                plist_array_append_item(array.get(), child);
            }
            return array.release();
        }
        case QMetaType::QString: {
            QByteArray text;
            if (!utf8(value.toString(), &text))
                return nullptr;
            return plist_new_string(text.constData());
        }
        case QMetaType::QByteArray: {
            const QByteArray data = value.toByteArray();
            return plist_new_data(data.constData(), uint64_t(data.size()));
        }
        case QMetaType::QDateTime: {
            const QDateTime date = value.toDateTime();
            if (!date.isValid())
                break;
            if (plist_t node = dateNode(date, m_xml))
                return node;
            break;
        }
        case QMetaType::Bool:
            return plist_new_bool(value.toBool() ? 1 : 0);
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::SChar:
            return plist_new_uint(uint64_t(value.toLongLong()));
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
        case QMetaType::UShort:
        case QMetaType::UChar: {
            const quint64 number = value.toULongLong();
            if (number <= quint64(std::numeric_limits<qint64>::max()))
                return plist_new_uint(number);
            if (plist_t node = integerNodeFromXML(QByteArray::number(number)))
                return node;
            break;
        }
        case QMetaType::Double:
            return plist_new_real(value.toDouble());
        case QMetaType::Float:
            return plist_new_real(floatAsDouble(value.toFloat()));
        default:
            break;
        }
        error = QStringLiteral("A value of type %1 cannot be stored in a property list.")
                    .arg(QString::fromLatin1(value.isValid() ? value.typeName() : "null"));
        return nullptr;
    }

private:
    bool m_xml;

    bool insert(plist_t dict, const QString &key, const QVariant &value, int depth)
    {
        QByteArray keyText;
        if (!utf8(key, &keyText))
            return false;
        plist_t child = node(value, depth + 1);
        if (!child)
            return false;
        plist_dict_set_item(dict, keyText.constData(), child);
        return true;
    }

    // libplist takes C strings, so a NUL character would silently cut the text short; its XML
    // writer copies other control characters as they are, which no XML reader accepts; and UTF-8
    // has no form for an unpaired surrogate. Such characters are dropped (a surrogate becomes
    // U+FFFD) and counted, so that a save never fails for them.
    bool utf8(const QString &text, QByteArray *bytes)
    {
        QString storable = text;
        if (makeStorable(&storable, [this](char16_t unit) { return !m_xml && unit != 0; }))
            ++mendedTexts;
        *bytes = storable.toUtf8();
        return true;
    }
};

} // namespace

QVariant DMPropertyList::propertyListWithData(const QByteArray &data, QString *error)
{
    const DMPropertyListNode root = DMPropertyListNode::parse(data, error);
    if (root.isNull())
        return QVariant();
    QVariant value = root.value();
    if (!value.isValid())
        setError(error, QStringLiteral("The property list holds a value of an unknown type."));
    return value;
}

QVariant DMPropertyList::propertyListWithContentsOfFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return QVariant();
    }
    return propertyListWithData(file.readAll(), error);
}

QString DMPropertyList::storableString(const QString &text)
{
    QString storable = text;
    makeStorable(&storable, [](char16_t) { return false; });
    return storable;
}

QVariant DMPropertyList::storableValue(const QVariant &value, int depth)
{
    if (depth > DMPropertyListGuard::kMaximumDepth)
        return value;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return storableString(value.toString());
    case QMetaType::QStringList: {
        QStringList list = value.toStringList();
        for (QString &entry : list)
            entry = storableString(entry);
        return list;
    }
    case QMetaType::QVariantList: {
        QVariantList list = value.toList();
        for (QVariant &entry : list)
            entry = storableValue(entry, depth + 1);
        return list;
    }
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        QVariantMap storable;
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            storable.insert(storableString(it.key()), storableValue(it.value(), depth + 1));
        return storable;
    }
    default:
        return value;
    }
}

namespace {

// libplist's XML without its indentation and line breaks: the line break and tabs that follow
// a tag that cannot hold text (a container's opening tag, an end tag, an empty element) go.
// The prolog keeps its lines, and the file ends with a line break. Text never holds a bare '<'
// or '>' (both are escaped), so every '<' and '>' is a tag's.
QByteArray withoutIndentation(const QByteArray &xml)
{
    QByteArray out;
    out.reserve(xml.size());
    const char *p = xml.constData();
    const char *const end = p + xml.size();
    bool textMayFollow = false; // the last tag opened an element that holds text
    bool keepsLine = true;      // the last tag was the prolog's, or nothing came yet
    while (p < end) {
        const char c = *p;
        if (c == '<') {
            const char *close = static_cast<const char *>(std::memchr(p, '>', size_t(end - p)));
            if (!close)
                close = end - 1;
            const QByteArrayView tag(p, close - p + 1);
            keepsLine = tag.startsWith("<?") || tag.startsWith("<!") || tag == "</plist>";
            textMayFollow = !tag.startsWith("</") && !keepsLine && !tag.endsWith("/>") && tag != "<dict>"
                && tag != "<array>" && !tag.startsWith("<plist");
            out.append(tag);
            p = close + 1;
            continue;
        }
        ++p;
        if (c == '\n' && !textMayFollow) {
            if (keepsLine)
                out.append(c);
            while (p < end && *p == '\t')
                ++p;
            continue;
        }
        out.append(c);
    }
    return out;
}

} // namespace

QByteArray DMPropertyList::dataWithPropertyList(const QVariant &plist, Format format, QString *error)
{
    Writer writer(format != Binary);
    PlistPtr root(writer.node(plist, 0));
    if (!root) {
        setError(error, writer.error);
        return QByteArray();
    }
    if (writer.mendedTexts > 0)
        qWarning("Property list: %d texts held characters it cannot store; they were dropped (unpaired surrogates "
                 "became U+FFFD)",
                 writer.mendedTexts);
    char *bytes = nullptr;
    uint32_t length = 0;
    QByteArray data;
    if (format == Binary) {
        plist_to_bin(root.get(), &bytes, &length);
        data = QByteArray(bytes, bytes ? qsizetype(length) : 0);
        plist_to_bin_free(bytes);
    } else {
        plist_to_xml(root.get(), &bytes, &length);
        data = QByteArray(bytes, bytes ? qsizetype(length) : 0);
        plist_to_xml_free(bytes);
        if (format == CompactXML)
            data = withoutIndentation(data);
    }
    if (data.isEmpty())
        setError(error, QStringLiteral("The property list could not be written."));
    return data;
}

bool DMPropertyList::writePropertyListToFile(const QVariant &plist, const QString &path, Format format, QString *error)
{
    const QByteArray data = dataWithPropertyList(plist, format, error);
    if (data.isEmpty())
        return false;
    QString reason;
    if (DMSaveFile_write(path, data, &reason))
        return true;
    setError(error, reason);
    return false;
}
