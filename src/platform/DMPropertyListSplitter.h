#pragma once

#include <QByteArray>
#include <QList>

// Finds where the elements of one large array lie in the XML text of a property list, so that
// they can be parsed in parts: the array under a key of the root dictionary. Only plain text is
// split: a comment, character data section, processing instruction or internal document type
// subset anywhere in it, or text between the array's elements, leaves it whole. The data must
// have passed DMPropertyListGuard::checkXML.
class DMPropertyListSplitter
{
public:
    struct Span
    {
        qsizetype contentBegin = 0; // just past the array's opening tag
        qsizetype contentEnd = 0; // at its closing tag
        QList<qsizetype> elementStarts; // where each element's opening tag begins
    };

    // True with *span set when the root dictionary's first entry under `key` is a non-empty
    // array written as <array>...</array>.
    static bool findRootArray(const QByteArray &data, const QByteArray &key, Span *span);
};
