#pragma once

#include <QByteArray>
#include <QList>

// Finds where the elements of one large array lie in the XML text of a property list, so that
// they can be parsed in parts: the first array under a key of the root dictionary. It follows
// the markup that DMPropertyListGuard::checkXML meets in its scan, so that finding costs no
// second pass over the text. Only plain text is split: a comment, character data section,
// internal document type subset, processing instruction after the root, or text between the
// array's elements leaves it whole.
class DMPropertyListSplitter
{
public:
    struct Span
    {
        qsizetype contentBegin = 0; // just past the array's opening tag
        qsizetype contentEnd = 0; // at its closing tag
        QList<qsizetype> elementStarts; // where each element's opening tag begins
    };
    enum class Markup { StartTag, EmptyTag, EndTag, Declaration, Other };

    explicit DMPropertyListSplitter(const QByteArray &key) : m_key(key) {}

    // Each piece of markup in document order: its kind, where its '<' lies and where it ends
    // (just past its '>'; -1 when the text ends first).
    void see(const QByteArray &data, Markup kind, qsizetype start, qsizetype end)
    {
        // Inside an element of the array, the bulk of the text, only the depth counts.
        if (m_state == InArray && m_depth > 3 && end >= 0 && kind != Markup::Declaration && kind != Markup::Other) {
            if (kind == Markup::StartTag)
                ++m_depth;
            else if (kind == Markup::EndTag && --m_depth == 3)
                m_textSince = end;
            return;
        }
        if (m_state != Done && m_state != Refused)
            seeOutsideElements(data, kind, start, end);
    }
    // True with *span set when the root dictionary's first entry under the key is a non-empty
    // array written as <array>...</array>.
    bool found(Span *span) const;

    // The scan of checkXML with a splitter: false when the guard refuses the data too.
    static bool findRootArray(const QByteArray &data, const QByteArray &key, Span *span);

private:
    void seeOutsideElements(const QByteArray &data, Markup kind, qsizetype start, qsizetype end);
    enum State { Outside, InKey, AfterWantedKey, InArray, Done, Refused };
    QByteArray m_key;
    State m_state = Outside;
    bool m_rootSeen = false;
    int m_depth = 0;
    qsizetype m_keyTextBegin = 0;
    qsizetype m_textSince = 0; // where the text between the array's elements begins
    Span m_span;
};
