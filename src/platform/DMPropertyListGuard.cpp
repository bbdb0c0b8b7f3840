#include "DMPropertyListGuard.h"

#include "DMPropertyListSplitter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString tooDeep()
{
    return QStringLiteral("The property list is nested more than %1 levels deep.").arg(DMPropertyListGuard::kMaximumDepth);
}

// Position of the first c at or after from, or -1 (memchr without QByteArray's per-call work:
// the scan makes a call per tag).
qsizetype findByte(const QByteArray &data, qsizetype from, char c)
{
    if (from >= data.size())
        return -1;
    const void *at = std::memchr(data.constData() + from, c, std::size_t(data.size() - from));
    return at ? static_cast<const char *>(at) - data.constData() : -1;
}

// Position just past the terminator, or -1 when the input ends first.
qsizetype skipPast(const QByteArray &data, qsizetype from, const char *terminator)
{
    const qsizetype at = data.indexOf(terminator, from);
    return at < 0 ? -1 : at + qsizetype(std::strlen(terminator));
}

// Position of the first of the `stops` characters at or after from that is not inside double
// quotes (a quote runs to the next one), or -1 when the input ends first.
qsizetype findOutsideQuotes(const QByteArray &data, qsizetype from, const char *stops)
{
    const std::size_t stopCount = std::strlen(stops);
    for (qsizetype i = from; i < data.size(); ++i) {
        const char c = data.at(i);
        if (c == '"' && (i = findByte(data, i + 1, '"')) < 0)
            return -1;
        if (c != '"' && std::memchr(stops, c, stopCount))
            return i;
    }
    return -1;
}

// Position just past the first two-character terminator at or after from that is not inside
// double quotes, or -1 when the input ends first.
qsizetype skipPastOutsideQuotes(const QByteArray &data, qsizetype from, const char *terminator)
{
    for (qsizetype i = findOutsideQuotes(data, from, terminator); i >= 0; i = findOutsideQuotes(data, i + 1, terminator))
        if (i + 1 < data.size() && data.at(i) == terminator[0] && data.at(i + 1) == terminator[1])
            return i + 2;
    return -1;
}

std::uint64_t readBigEndian(const unsigned char *p, int size)
{
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | p[i];
    return value;
}

} // namespace

bool DMPropertyListGuard::isBinary(const QByteArray &data)
{
    return data.startsWith("bplist00");
}

// The parser's reading: a comment or character data section ends at its first terminator; a
// processing instruction at the first "?>" from its '?' on (so "<?>" is one); a declaration at
// the first '>', or after a '[' at the first "]>"; a tag after its name, at the first '>'. In
// all but comments and sections a double-quoted value may hold those characters.
qsizetype DMPropertyListGuard::markupEnd(const QByteArray &data, qsizetype start)
{
    const char *bytes = data.constData();
    const qsizetype size = data.size();
    const char next = start + 1 < size ? bytes[start + 1] : '\0';
    if (next != '!' && next != '?') {
        // A tag, the bulk of any list: its name, then most often its end at once.
        qsizetype i = start + 1;
        while (i < size && !DMPropertyListGuard::isXMLSpace(bytes[i]) && bytes[i] != '<' && bytes[i] != '>')
            ++i;
        if (i < size && bytes[i] == '>')
            return i + 1;
        const qsizetype end = findOutsideQuotes(data, i, ">");
        return end < 0 ? -1 : end + 1;
    }
    auto at = [&](qsizetype i, const char *text) {
        const qsizetype length = qsizetype(std::strlen(text));
        return i + length <= size && std::memcmp(bytes + i, text, std::size_t(length)) == 0;
    };
    if (at(start, "<!--"))
        return skipPast(data, start + 4, "-->");
    if (at(start, "<![CDATA["))
        return skipPast(data, start + 9, "]]>");
    if (next == '?')
        return skipPastOutsideQuotes(data, start + 1, "?>");
    const qsizetype end = findOutsideQuotes(data, start + 2, "[>");
    if (end < 0 || bytes[end] == '>')
        return end < 0 ? -1 : end + 1;
    return skipPastOutsideQuotes(data, end, "]>");
}

// Counts element nesting the way the parser sees it: every '<' starts markup, which ends where
// markupEnd says; only tags nest. Where markup is left unfinished the parser itself reports the
// damage.
bool DMPropertyListGuard::checkXML(const QByteArray &data, QString *error, DMPropertyListSplitter *splitter)
{
    using Markup = DMPropertyListSplitter::Markup;
    const char *bytes = data.constData();
    int depth = 0;
    qsizetype i = 0;
    while (i >= 0 && (i = findByte(data, i, '<')) >= 0) {
        const qsizetype start = i;
        const char next = start + 1 < data.size() ? bytes[start + 1] : '\0'; // raw data ends without a zero
        Markup kind = next == '?' ? Markup::Declaration : Markup::Other;
        if ((i = markupEnd(data, start)) >= 0 && next != '!' && next != '?') {
            if (next == '/') {
                kind = Markup::EndTag;
                if (--depth < 0) {
                    setError(error, QStringLiteral("The property list closes an element it never opened."));
                    return false;
                }
            } else if (bytes[i - 2] == '/') {
                kind = Markup::EmptyTag;
            } else {
                kind = Markup::StartTag;
                if (++depth > kMaximumDepth + 1) { // + 1 for <plist>
                    setError(error, tooDeep());
                    return false;
                }
            }
        }
        if (splitter)
            splitter->see(data, kind, start, i);
    }
    return true;
}

// Walks the object graph of a binary property list without recursion, rejecting references out
// of bounds, cycles, nesting beyond the limit, and sharing that would expand into more objects
// than the file could plausibly describe.
bool DMPropertyListGuard::checkBinary(const QByteArray &data, QString *error)
{
    const QString damaged = QStringLiteral("The binary property list is damaged or truncated.");
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const std::uint64_t size = std::uint64_t(data.size());
    if (size < 8 + 32 || !isBinary(data)) {
        setError(error, damaged);
        return false;
    }
    const unsigned char *trailer = bytes + size - 32;
    const int offsetSize = trailer[6];
    const int refSize = trailer[7];
    const std::uint64_t objectCount = readBigEndian(trailer + 8, 8);
    const std::uint64_t root = readBigEndian(trailer + 16, 8);
    const std::uint64_t tableOffset = readBigEndian(trailer + 24, 8);
    const std::uint64_t tableEnd = size - 32;
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || objectCount == 0 || root >= objectCount
        || tableOffset < 8 || tableOffset > tableEnd || objectCount > (tableEnd - tableOffset) / std::uint64_t(offsetSize)) {
        setError(error, damaged);
        return false;
    }

    // The object's marker nibble, and its count and where its contents begin, or false when
    // they lie outside the object area.
    auto header = [&](std::uint64_t object, int *kind, std::uint64_t *count, std::uint64_t *position) {
        const std::uint64_t offset = readBigEndian(bytes + tableOffset + object * std::uint64_t(offsetSize), offsetSize);
        if (offset < 8 || offset >= tableOffset)
            return false;
        *kind = bytes[offset] >> 4;
        *count = bytes[offset] & 0x0F;
        *position = offset + 1;
        if (*count == 0x0F && (*kind == 0x5 || *kind == 0x6 || *kind == 0xA || *kind == 0xC || *kind == 0xD)) {
            if (*position >= tableOffset || (bytes[*position] >> 4) != 0x1)
                return false;
            const int countSize = 1 << (bytes[*position] & 0x0F);
            if (countSize > 8 || *position + 1 + std::uint64_t(countSize) > tableOffset)
                return false;
            *count = readBigEndian(bytes + *position + 1, countSize);
            *position += 1 + std::uint64_t(countSize);
        }
        return true;
    };

    // A key with a NUL character in it: libplist asserts on such keys, so the file is refused.
    auto checkKey = [&](std::uint64_t object) {
        int kind = 0;
        std::uint64_t count = 0;
        std::uint64_t position = 0;
        if (!header(object, &kind, &count, &position))
            return false;
        if (kind != 0x5 && kind != 0x6)
            return true; // the parser refuses keys that are not strings itself
        const std::uint64_t unit = kind == 0x6 ? 2 : 1;
        if (count > (tableOffset - position) / unit)
            return false;
        for (std::uint64_t i = 0; i < count; ++i) {
            const unsigned char *character = bytes + position + i * unit;
            if (character[0] == 0 && (unit == 1 || character[1] == 0))
                return false;
        }
        return true;
    };

    // Answers are remembered, as one key may serve many dictionaries.
    std::vector<std::int8_t> keyVerdict(objectCount, -1);
    auto isAcceptableKey = [&](std::uint64_t object) {
        if (keyVerdict[object] < 0)
            keyVerdict[object] = checkKey(object) ? 1 : 0;
        return keyVerdict[object] == 1;
    };

    // Children of a container object, or false when the object is out of bounds.
    auto children = [&](std::uint64_t object, std::vector<std::uint64_t> *refs) {
        refs->clear();
        int kind = 0;
        std::uint64_t count = 0;
        std::uint64_t position = 0;
        if (!header(object, &kind, &count, &position))
            return false;
        if (kind != 0xA && kind != 0xC && kind != 0xD)
            return true;
        const std::uint64_t refCount = kind == 0xD ? count * 2 : count;
        if (count > tableOffset || refCount > (tableOffset - position) / std::uint64_t(refSize))
            return false;
        refs->reserve(refCount);
        for (std::uint64_t r = 0; r < refCount; ++r) {
            const std::uint64_t ref = readBigEndian(bytes + position + r * std::uint64_t(refSize), refSize);
            if (ref >= objectCount || (kind == 0xD && r < count && !isAcceptableKey(ref)))
                return false;
            refs->push_back(ref);
        }
        return true;
    };

    enum : std::uint8_t { Unvisited, Open, Done };
    std::vector<std::uint8_t> state(objectCount, Unvisited);
    std::vector<std::uint32_t> height(objectCount, 0);
    std::vector<std::uint64_t> expanded(objectCount, 0);
    const std::uint64_t expansionLimit = size * 16 + 4096;

    struct Frame
    {
        std::uint64_t object;
        std::vector<std::uint64_t> refs;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    stack.push_back({root, {}, 0});
    if (!children(root, &stack.back().refs)) {
        setError(error, damaged);
        return false;
    }
    state[root] = Open;
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next < frame.refs.size()) {
            const std::uint64_t child = frame.refs[frame.next++];
            if (state[child] == Open) {
                setError(error, QStringLiteral("The binary property list contains itself."));
                return false;
            }
            if (state[child] == Done)
                continue;
            if (stack.size() > std::size_t(kMaximumDepth)) {
                setError(error, tooDeep());
                return false;
            }
            Frame next{child, {}, 0};
            if (!children(child, &next.refs)) {
                setError(error, damaged);
                return false;
            }
            state[child] = Open;
            stack.push_back(std::move(next));
            continue;
        }
        std::uint32_t h = 0;
        std::uint64_t total = 1;
        for (std::uint64_t ref : frame.refs) {
            h = std::max(h, height[ref]);
            total += expanded[ref];
            if (total > expansionLimit) {
                setError(error, QStringLiteral("The binary property list expands beyond any plausible size."));
                return false;
            }
        }
        if (h + 1 > std::uint32_t(kMaximumDepth) + 1) {
            setError(error, tooDeep());
            return false;
        }
        height[frame.object] = h + 1;
        expanded[frame.object] = total;
        state[frame.object] = Done;
        stack.pop_back();
    }
    return true;
}
