#include "DMPropertyListNode.h"

#include "DMParallel.h"
#include "DMPropertyListGuard.h"
#include "DMPropertyListSplitter.h"

#include <QDateTime>
#include <QHash>
#include <QThreadPool>
#include <QUuid>

#include <plist/plist.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <malloc.h>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// libplist's own XML text for one node; its writer knows facts its getters hide.
QByteArray nodeXML(plist_t node)
{
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &xml, &length);
    QByteArray text(xml, xml ? qsizetype(length) : 0);
    plist_to_xml_free(xml);
    return text;
}

// The text between the first <tag> and its end tag in libplist's XML of a scalar node.
QByteArray scalarText(plist_t node, const char *tag)
{
    const QByteArray xml = nodeXML(node);
    const QByteArray open = QByteArray("<") + tag + '>';
    const qsizetype begin = xml.indexOf(open);
    const qsizetype end = xml.indexOf('<', begin + open.size());
    if (begin < 0 || end < 0)
        return QByteArray();
    return xml.mid(begin + open.size(), end - begin - open.size());
}

QVariant integerValue(plist_t node)
{
    uint64_t value = 0;
    plist_get_uint_val(node, &value);
    if (value <= uint64_t(std::numeric_limits<qint64>::max()))
        return QVariant(qint64(value));
    // libplist keeps negative integers as their two's complement and marks unsigned values above
    // INT64_MAX only internally; its writer tells them apart.
    if (scalarText(node, "integer").startsWith('-'))
        return QVariant(qint64(value));
    return QVariant(quint64(value));
}

// The exact seconds since the reference date, from libplist's binary form of the node: a date
// object (0x33) holding a big-endian double right after the header.
bool exactDateSeconds(plist_t node, double *seconds)
{
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    const bool found = bytes && length >= 17 && static_cast<unsigned char>(bytes[8]) == 0x33;
    if (found) {
        std::uint64_t bits = 0;
        for (int i = 9; i < 17; ++i)
            bits = (bits << 8) | static_cast<unsigned char>(bytes[i]);
        std::memcpy(seconds, &bits, sizeof bits);
    }
    plist_to_bin_free(bytes);
    return found;
}

QVariant dateValue(plist_t node)
{
    int32_t seconds = 0;
    int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    // The getter truncates toward zero, drops the sign of the fraction, and cannot express
    // dates outside 32-bit seconds (before 1933 or after 2068); those ask the binary writer.
    double exact = 0;
    if (seconds < 0)
        exact = double(seconds) - double(microseconds) / 1e6;
    else
        exact = double(seconds) + double(microseconds) / 1e6;
    if ((seconds == std::numeric_limits<int32_t>::min() || (seconds == 0 && microseconds != 0))
        && !exactDateSeconds(node, &exact))
        return QVariant();
    const qint64 msecs = DMPropertyListNode::kReferenceDateOffset * 1000 + std::llround(exact * 1000.0);
    return QVariant(QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC));
}

// Keys repeat throughout a document; sharing one QString per distinct key saves an allocation
// and a UTF-8 decoding per dictionary entry.
class KeyCache
{
public:
    QString key(const char *utf8)
    {
        const QByteArray bytes = QByteArray::fromRawData(utf8, qsizetype(std::strlen(utf8)));
        auto it = m_keys.constFind(bytes);
        if (it != m_keys.constEnd())
            return it.value();
        QString key = QString::fromUtf8(bytes);
        if (m_keys.size() < 4096)
            m_keys.insert(QByteArray(utf8), key);
        return key;
    }

private:
    QHash<QByteArray, QString> m_keys;
};

// An array of the root dictionary parsed in parts: in the tree it is empty, and its elements are
// those of the parts' arrays, in order.
struct SplicedArray
{
    plist_t array = nullptr;
    std::vector<plist_t> parts;
};

QVariant toVariant(plist_t node, KeyCache &keys, const SplicedArray *spliced = nullptr);

// Calls f with each element of an array, in order (an iterator: indexing is not constant time).
template <typename F>
void forEachArrayItem(plist_t node, F f)
{
    plist_array_iter it = nullptr;
    plist_array_new_iter(node, &it);
    for (;;) {
        plist_t item = nullptr;
        plist_array_next_item(node, it, &item);
        if (!item)
            break;
        f(item);
    }
    std::free(it);
}

// The value of a dictionary's last entry under key, or null. Every entry is looked at: libplist's
// own look-up finds the first of repeated keys (which a binary list may hold).
plist_t lastValueForKey(plist_t node, const char *key)
{
    plist_t found = nullptr;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    for (;;) {
        char *entryKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, it, &entryKey, &value);
        if (!entryKey)
            break;
        if (std::strcmp(entryKey, key) == 0)
            found = value;
        std::free(entryKey);
    }
    std::free(it);
    return found;
}

// A dictionary's entries, but the one under skippedKey when given, whose value goes to
// *skippedValue; with `taken`, the keys of the entries converted are appended to it. A binary
// list may repeat a key: the last entry wins, for the skipped one too.
QVariantMap dictionaryValue(plist_t node, KeyCache &keys, const SplicedArray *spliced, const char *skippedKey,
                            plist_t *skippedValue = nullptr, std::vector<char *> *taken = nullptr)
{
    QVariantMap map;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    for (;;) {
        char *key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, it, &key, &value);
        if (!key)
            break;
        const bool skipped = skippedKey && std::strcmp(key, skippedKey) == 0;
        if (skipped && skippedValue)
            *skippedValue = value;
        // Written dictionaries come in key order: each entry goes at the end without a search
        // (a key out of order, or repeated, is placed by search, the last one counting).
        if (value && !skipped)
            map.insert(map.cend(), keys.key(key), toVariant(value, keys, spliced));
        if (taken && !skipped)
            taken->push_back(key);
        else
            std::free(key);
    }
    std::free(it);
    return map;
}

// Depth is bounded by DMPropertyListGuard before parsing.
QVariant toVariant(plist_t node, KeyCache &keys, const SplicedArray *spliced)
{
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return dictionaryValue(node, keys, spliced, nullptr);
    case PLIST_ARRAY: {
        QVariantList list;
        if (spliced && spliced->array == node) {
            for (const plist_t part : spliced->parts)
                forEachArrayItem(part, [&](plist_t item) { list.append(toVariant(item, keys)); });
            return list;
        }
        list.reserve(plist_array_get_size(node));
        forEachArrayItem(node, [&](plist_t item) { list.append(toVariant(item, keys, spliced)); });
        return list;
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        return text ? QString::fromUtf8(text, qsizetype(length)) : QString();
    }
    case PLIST_KEY: {
        char *text = nullptr;
        plist_get_key_val(node, &text);
        QString key = QString::fromUtf8(text);
        std::free(text);
        return key;
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return QVariant(value != 0);
    }
    case PLIST_UINT:
        return integerValue(node);
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return QVariant(value);
    }
    case PLIST_DATE:
        return dateValue(node);
    case PLIST_DATA: {
        uint64_t length = 0;
        const char *bytes = plist_get_data_ptr(node, &length);
        return bytes ? QByteArray(bytes, qsizetype(length)) : QByteArray();
    }
    case PLIST_UID: {
        // An archive's object reference, in the dictionary form XML property lists give it.
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return QVariantMap{{QStringLiteral("CF$UID"), QVariant(qint64(value))}};
    }
    case PLIST_NONE:
        break;
    }
    return QVariant();
}

} // namespace

struct DMPropertyListNode::Document
{
    Document(plist_t root, qsizetype bytes) : root(root), bytes(bytes) {}
    // A large tree takes a while to free, one allocation at a time; no one else holds it, so a
    // worker thread does that while the caller goes on.
    ~Document()
    {
        if (bytes < kFreeInBackgroundBytes || !QThreadPool::globalInstance()->tryStart([root = root] { plist_free(root); }))
            plist_free(root);
    }
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    static constexpr qsizetype kFreeInBackgroundBytes = qsizetype(1) << 20;
    plist_t root;
    qsizetype bytes; // of the parsed data
    KeyCache keys; // shared by every conversion from the document
    // With an array parsed in parts: where it lies, and the parts, each a document of its own
    // (an array of consecutive elements) so that each may be read on a thread of its own.
    plist_t partedArray = nullptr;
    std::vector<std::shared_ptr<Document>> parts;

    SplicedArray spliced() const
    {
        SplicedArray spliced{partedArray, {}};
        for (const std::shared_ptr<Document> &part : parts)
            spliced.parts.push_back(part->root);
        return spliced;
    }
};

namespace {

// Arrays of at least this size are parsed in parts, of at least kPartBytes each.
constexpr qsizetype kSplitBytes = qsizetype(1) << 20;
constexpr qsizetype kPartBytes = qsizetype(1) << 18;

plist_t parseXML(const QByteArray &text)
{
    plist_t root = nullptr;
    plist_from_xml(text.constData(), uint32_t(text.size()), &root);
    return root;
}

} // namespace

// The root dictionary's array under `key`, lying at `span`, parsed in parts on several threads,
// the rest of the document on its own; a null node where the array is small, or where any part
// does not parse as the whole would (then the whole is parsed as usual).
DMPropertyListNode DMPropertyListNode::parseInParts(const QByteArray &data, const char *key,
                                                   const DMPropertyListSplitter::Span &span)
{
    const qsizetype arrayBytes = span.contentEnd - span.contentBegin;
    const qsizetype elements = span.elementStarts.size();
    const int count = int(std::min({qsizetype(DMParallel::parallelism()), arrayBytes / kPartBytes, elements}));
    if (arrayBytes < kSplitBytes || count < 2)
        return {};
    // Part k holds the elements [first[k], first[k + 1]), about as many bytes in each.
    std::vector<qsizetype> first(size_t(count) + 1, elements);
    first[0] = 0;
    for (int k = 1; k < count; ++k) {
        const qsizetype target = span.contentBegin + arrayBytes * k / count;
        qsizetype index = std::max(first[size_t(k) - 1] + 1, qsizetype(0));
        while (index < elements - (count - k) && span.elementStarts.at(index) < target)
            ++index;
        first[size_t(k)] = index;
    }
    const auto partBegin = [&](int k) { return span.elementStarts.at(first[size_t(k)]); };
    const auto partEnd = [&](int k) { return k + 1 < count ? partBegin(k + 1) : span.contentEnd; };

    // In the rest, the array holds one string that no text holds by chance: found there under the
    // key, it shows that the key's entry is that array, which a later entry under the same key
    // (the parser keeps the last) would have replaced.
    const QByteArray placeholder = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    // Part k is run k of DMParallel, so that the items read from it later are made where its
    // memory is freed; the rest of the document comes last.
    std::vector<plist_t> roots(size_t(count) + 1, nullptr); // [count]: the rest of the document
    DMParallel::run(count + 1, [&](int k) {
        if (k == count) {
            roots[size_t(count)] =
                parseXML(data.left(span.contentBegin) + "<string>" + placeholder + "</string>" + data.mid(span.contentEnd));
            return;
        }
        QByteArray text("<plist version=\"1.0\"><array>");
        text.append(data.constData() + partBegin(k), partEnd(k) - partBegin(k));
        text.append("</array></plist>");
        roots[size_t(k)] = parseXML(text);
    });

    // Every part an array of its elements, and the rest a dictionary holding the key once, with
    // the placeholder alone in the array under it.
    const plist_t rest = roots[size_t(count)];
    bool sound = rest && plist_get_node_type(rest) == PLIST_DICT;
    for (int k = 0; sound && k < count; ++k) {
        const plist_t part = roots[size_t(k)];
        sound = part && plist_get_node_type(part) == PLIST_ARRAY
                && qsizetype(plist_array_get_size(part)) == first[size_t(k) + 1] - first[size_t(k)];
    }
    plist_t array = nullptr;
    if (sound) {
        array = lastValueForKey(rest, key);
        const plist_t only = array && plist_get_node_type(array) == PLIST_ARRAY && plist_array_get_size(array) == 1
                                 ? plist_array_get_item(array, 0)
                                 : nullptr;
        const char *text = only && plist_get_node_type(only) == PLIST_STRING ? plist_get_string_ptr(only, nullptr) : nullptr;
        sound = text && placeholder == text;
        if (sound)
            plist_array_remove_item(array, 0);
    }
    if (!sound) {
        for (const plist_t root : roots)
            if (root)
                plist_free(root);
        return {};
    }
    auto document = std::make_shared<Document>(rest, data.size());
    document->partedArray = array;
    for (int k = 0; k < count; ++k)
        document->parts.push_back(std::make_shared<Document>(roots[size_t(k)], data.size()));
    return DMPropertyListNode(document, rest);
}

DMPropertyListNode DMPropertyListNode::parse(const QByteArray &data, QString *error, const char *partedArrayKey)
{
    if (data.isEmpty()) {
        setError(error, QStringLiteral("The property list is empty."));
        return {};
    }
    if (data.size() > qsizetype(std::numeric_limits<uint32_t>::max())) {
        setError(error, QStringLiteral("The property list is too large."));
        return {};
    }
    const bool binary = DMPropertyListGuard::isBinary(data);
    const bool mayPart = !binary && partedArrayKey && data.size() >= kSplitBytes && DMParallel::parallelism() > 1;
    DMPropertyListSplitter splitter(mayPart ? QByteArray(partedArrayKey) : QByteArray());
    if (binary ? !DMPropertyListGuard::checkBinary(data, error)
               : !DMPropertyListGuard::checkXML(data, error, mayPart ? &splitter : nullptr))
        return {};
    if (DMPropertyListSplitter::Span span; mayPart && splitter.found(&span))
        if (DMPropertyListNode parted = parseInParts(data, partedArrayKey, span); !parted.isNull())
            return parted;
    plist_t root = nullptr;
    if (binary)
        plist_from_bin(data.constData(), uint32_t(data.size()), &root);
    else
        plist_from_xml(data.constData(), uint32_t(data.size()), &root);
    if (!root) {
        setError(error, QStringLiteral("The data is not a valid property list, or it is truncated."));
        return {};
    }
    auto document = std::make_shared<Document>(root, data.size());
    return DMPropertyListNode(document, root);
}

bool DMPropertyListNode::isDictionary() const
{
    return m_node && plist_get_node_type(static_cast<plist_t>(m_node)) == PLIST_DICT;
}

bool DMPropertyListNode::isArray() const
{
    return m_node && plist_get_node_type(static_cast<plist_t>(m_node)) == PLIST_ARRAY;
}

DMPropertyListNode DMPropertyListNode::valueForKey(const char *key) const
{
    if (!isDictionary())
        return {};
    const plist_t found = lastValueForKey(static_cast<plist_t>(m_node), key);
    return found ? DMPropertyListNode(m_document, found) : DMPropertyListNode();
}

QList<DMPropertyListNode> DMPropertyListNode::arrayItems() const
{
    QList<DMPropertyListNode> items;
    for (const QList<DMPropertyListNode> &part : arrayParts())
        items.append(part);
    return items;
}

QList<QList<DMPropertyListNode>> DMPropertyListNode::arrayParts() const
{
    if (!isArray())
        return {};
    const auto itemsOf = [](const std::shared_ptr<Document> &document, plist_t array) {
        QList<DMPropertyListNode> items;
        items.reserve(qsizetype(plist_array_get_size(array)));
        forEachArrayItem(array, [&](plist_t item) { items.append(DMPropertyListNode(document, item)); });
        return items;
    };
    const plist_t node = static_cast<plist_t>(m_node);
    QList<QList<DMPropertyListNode>> parts;
    if (node == m_document->partedArray) {
        for (const std::shared_ptr<Document> &part : m_document->parts)
            parts.append(itemsOf(part, part->root));
        return parts;
    }
    parts.append(itemsOf(m_document, node));
    return parts;
}

void DMPropertyListNode::releaseParts()
{
    if (!m_node || m_node != m_document->partedArray)
        return;
    // The parts were parsed and read on threads of their own, in memory that the thread going
    // on cannot reuse: once they are freed, that memory goes back to the system.
    auto parts = std::make_shared<std::vector<std::shared_ptr<Document>>>(std::move(m_document->parts));
    m_document->parts.clear();
    m_document->partedArray = nullptr;
    for (const std::shared_ptr<Document> &part : *parts)
        part->bytes = 0; // freed where its last node goes, not handed on again
    const auto release = [parts] {
        parts->clear();
        malloc_trim(0);
    };
    if (!QThreadPool::globalInstance()->tryStart(release))
        release();
}

QVariant DMPropertyListNode::value() const
{
    if (!m_node)
        return {};
    const SplicedArray spliced = m_document->spliced();
    return toVariant(static_cast<plist_t>(m_node), m_document->keys, &spliced);
}

QVariantMap DMPropertyListNode::dictionaryWithoutKey(const char *skippedKey, DMPropertyListNode *skippedValue) const
{
    if (skippedValue)
        *skippedValue = DMPropertyListNode();
    if (!isDictionary())
        return {};
    plist_t value = nullptr;
    const SplicedArray spliced = m_document->spliced();
    QVariantMap map = dictionaryValue(static_cast<plist_t>(m_node), m_document->keys, &spliced, skippedKey, &value);
    if (skippedValue && value)
        *skippedValue = DMPropertyListNode(m_document, value);
    return map;
}

QVariantMap DMPropertyListNode::takeDictionaryWithoutKey(const char *keptKey, DMPropertyListNode *keptValue)
{
    if (keptValue)
        *keptValue = DMPropertyListNode();
    if (!isDictionary())
        return {};
    const plist_t node = static_cast<plist_t>(m_node);
    std::vector<char *> taken;
    plist_t value = nullptr;
    const SplicedArray spliced = m_document->spliced();
    QVariantMap map = dictionaryValue(node, m_document->keys, &spliced, keptKey, &value, &taken);
    if (keptValue && value)
        *keptValue = DMPropertyListNode(m_document, value);
    // Removing from a dictionary of a few entries is cheap; libplist's arrays, whose removal
    // shifts an index, are left alone. An array parsed in parts goes with its parts.
    for (char *key : taken) {
        if (m_document->partedArray && plist_dict_get_item(node, key) == m_document->partedArray)
            m_document->partedArray = nullptr;
        plist_dict_remove_item(node, key);
        std::free(key);
    }
    return map;
}
