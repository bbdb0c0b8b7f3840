#pragma once

#include <QByteArray>
#include <QString>

class DMPropertyListSplitter;

// Checks the shape of property list bytes before libplist parses them. libplist 2.2 recurses
// once per nesting level and expands shared binary objects without limit, so deeply nested or
// self-referencing input would exhaust the stack or memory instead of failing.
class DMPropertyListGuard
{
public:
    static constexpr int kMaximumDepth = 512;

    // XML's white space: blank, tab, line feed, carriage return.
    static bool isXMLSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    // True when the binary magic number starts the data.
    static bool isBinary(const QByteArray &data);

    // Each returns false and sets *error when the data must not be handed to the parser.
    // A splitter, when given, is shown every piece of markup of the scan.
    static bool checkXML(const QByteArray &data, QString *error, DMPropertyListSplitter *splitter = nullptr);
    static bool checkBinary(const QByteArray &data, QString *error);

    // Position just past the XML markup (a tag, comment, character data section, processing
    // instruction or declaration) whose '<' is at start, where the parser ends it; -1 when the
    // data ends first.
    static qsizetype markupEnd(const QByteArray &data, qsizetype start);
};
