#include "DMPropertyListSplitter.h"

#include "DMPropertyListGuard.h"

#include <cstring>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool onlySpaces(const char *bytes, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i)
        if (!isSpace(bytes[i]))
            return false;
    return true;
}

// Position of the first c at or after from, or -1.
qsizetype findByte(const char *bytes, qsizetype size, qsizetype from, char c)
{
    if (from >= size)
        return -1;
    const void *at = std::memchr(bytes + from, c, std::size_t(size - from));
    return at ? static_cast<const char *>(at) - bytes : -1;
}

// The name of the tag whose '<' is at `start` (after a '/' for an end tag).
QByteArray tagName(const char *bytes, qsizetype start, qsizetype end)
{
    qsizetype i = start + 1;
    if (i < end && bytes[i] == '/')
        ++i;
    const qsizetype nameBegin = i;
    while (i < end && !isSpace(bytes[i]) && bytes[i] != '/' && bytes[i] != '>')
        ++i;
    return QByteArray(bytes + nameBegin, i - nameBegin);
}

} // namespace

bool DMPropertyListSplitter::findRootArray(const QByteArray &data, const QByteArray &key, Span *span)
{
    const char *bytes = data.constData();
    const qsizetype size = data.size();
    enum State { Outside, InKey, AfterWantedKey, InArray } state = Outside;
    bool rootSeen = false;
    int depth = 0;
    qsizetype keyTextBegin = 0;
    qsizetype textSince = 0; // where the text between the array's elements begins
    Span found;
    for (qsizetype i = findByte(bytes, size, 0, '<'); i >= 0; i = findByte(bytes, size, i, '<')) {
        const qsizetype start = i;
        i = DMPropertyListGuard::markupEnd(data, start);
        if (i < 0)
            return false;
        const qsizetype end = i - 1; // at the closing '>'
        const char next = start + 1 < size ? bytes[start + 1] : '\0';
        if (next == '?') {
            // The XML declaration only, before the root element.
            if (rootSeen)
                return false;
            continue;
        }
        if (next == '!') {
            // A document type declaration without an internal subset, before the root element.
            const qsizetype subset = findByte(bytes, size, start, '[');
            if (rootSeen || data.mid(start, 9) != "<!DOCTYPE" || (subset >= 0 && subset < end))
                return false;
            continue;
        }
        const bool closing = next == '/';
        const bool empty = !closing && bytes[end - 1] == '/';
        if (state == InArray && depth == 3 && !onlySpaces(bytes, textSince, start))
            return false;
        if (closing) {
            --depth;
            if (state == InKey && depth == 2) {
                if (tagName(bytes, start, end) != "key")
                    return false;
                state = QByteArray::fromRawData(bytes + keyTextBegin, start - keyTextBegin) == key ? AfterWantedKey : Outside;
            } else if (state == InArray && depth == 3) {
                textSince = i;
            } else if (state == InArray && depth == 2) {
                found.contentEnd = start;
                if (found.elementStarts.isEmpty())
                    return false;
                *span = found;
                return true;
            }
            continue;
        }
        rootSeen = true;
        if (state == InArray && depth == 3)
            found.elementStarts.append(start);
        if (depth == 2 && state != InArray) {
            // An entry of the root dictionary: a key, or the value after one.
            const QByteArray name = tagName(bytes, start, end);
            if (state == AfterWantedKey) {
                if (name != "array" || empty)
                    return false;
                state = InArray;
                found.contentBegin = i;
                textSince = i;
            } else if (name == "key" && !empty) {
                state = InKey;
                keyTextBegin = i;
            }
        } else if (depth == 1 && tagName(bytes, start, end) != "dict") {
            return false;
        }
        if (empty) {
            if (state == InArray && depth == 3)
                textSince = i;
        } else {
            ++depth;
        }
    }
    return false;
}
