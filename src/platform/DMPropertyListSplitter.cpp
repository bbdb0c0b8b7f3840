#include "DMPropertyListSplitter.h"

#include "DMPropertyListGuard.h"

#include <cstring>

namespace {

bool onlySpaces(const char *bytes, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i)
        if (!DMPropertyListGuard::isXMLSpace(bytes[i]))
            return false;
    return true;
}

// The name of the tag whose '<' is at `start` (after a '/' for an end tag).
QByteArray tagName(const char *bytes, qsizetype start, qsizetype end)
{
    qsizetype i = start + 1;
    if (i < end && bytes[i] == '/')
        ++i;
    const qsizetype nameBegin = i;
    while (i < end && !DMPropertyListGuard::isXMLSpace(bytes[i]) && bytes[i] != '/' && bytes[i] != '>')
        ++i;
    return QByteArray(bytes + nameBegin, i - nameBegin);
}

} // namespace

void DMPropertyListSplitter::seeOutsideElements(const QByteArray &data, Markup kind, qsizetype start, qsizetype end)
{
    const char *bytes = data.constData();
    if (end < 0) {
        m_state = Refused;
        return;
    }
    if (kind == Markup::Declaration || kind == Markup::Other) {
        // Before the root element: the XML declaration, and a document type declaration
        // without an internal subset.
        const bool doctype = kind == Markup::Other && data.mid(start, 9) == "<!DOCTYPE"
                             && !std::memchr(bytes + start, '[', std::size_t(end - start));
        if (m_rootSeen || (kind == Markup::Other && !doctype))
            m_state = Refused;
        return;
    }
    if (m_state == InArray && m_depth == 3 && !onlySpaces(bytes, m_textSince, start)) {
        m_state = Refused;
        return;
    }
    if (kind == Markup::EndTag) {
        --m_depth;
        if (m_state == InKey && m_depth == 2) {
            if (tagName(bytes, start, end) != "key")
                m_state = Refused;
            else
                m_state = QByteArray::fromRawData(bytes + m_keyTextBegin, start - m_keyTextBegin) == m_key ? AfterWantedKey : Outside;
        } else if (m_state == InArray && m_depth == 3) {
            m_textSince = end;
        } else if (m_state == InArray && m_depth == 2) {
            m_span.contentEnd = start;
            m_state = m_span.elementStarts.isEmpty() ? Refused : Done;
        }
        return;
    }
    m_rootSeen = true;
    if (m_state == InArray && m_depth == 3)
        m_span.elementStarts.append(start);
    if (m_depth == 2 && m_state != InArray) {
        // An entry of the root dictionary: a key, or the value after one.
        const QByteArray name = tagName(bytes, start, end);
        if (m_state == AfterWantedKey) {
            if (name != "array" || kind == Markup::EmptyTag) {
                m_state = Refused;
                return;
            }
            m_state = InArray;
            m_span.contentBegin = end;
            m_textSince = end;
        } else if (name == "key" && kind == Markup::StartTag) {
            m_state = InKey;
            m_keyTextBegin = end;
        }
    } else if (m_depth == 1 && tagName(bytes, start, end) != "dict") {
        m_state = Refused;
        return;
    }
    if (kind == Markup::StartTag)
        ++m_depth;
    else if (m_state == InArray && m_depth == 3)
        m_textSince = end;
}

bool DMPropertyListSplitter::found(Span *span) const
{
    if (m_state != Done)
        return false;
    *span = m_span;
    return true;
}

bool DMPropertyListSplitter::findRootArray(const QByteArray &data, const QByteArray &key, Span *span)
{
    DMPropertyListSplitter splitter(key);
    return DMPropertyListGuard::checkXML(data, nullptr, &splitter) && splitter.found(span);
}
