#pragma once

#include <QByteArray>
#include <QString>

#include <libxml/tree.h>

#include <cstring>

// A document read by libxml2 into a tree: without network access, entity substitution or DTD
// loading, recovering from small faults of well-formedness as other programs' files need.
// Owns the tree; move-only. The parser's global state is never cleaned up, since other code of
// the process may use libxml2 too.
class DMXMLTree
{
public:
    DMXMLTree() = default;
    DMXMLTree(DMXMLTree &&other) noexcept;
    DMXMLTree &operator=(DMXMLTree &&other) noexcept;
    DMXMLTree(const DMXMLTree &) = delete;
    DMXMLTree &operator=(const DMXMLTree &) = delete;
    ~DMXMLTree();

    // A tree without a document (isNull) and *error set when the bytes are not XML. *recovered
    // tells whether the parser had to mend the text to read it.
    static DMXMLTree parse(const QByteArray &data, QString *error = nullptr, bool *recovered = nullptr);

    bool isNull() const { return m_document == nullptr; }
    xmlNode *rootElement() const;

    static bool isElementNamed(const xmlNode *node, const char *name)
    {
        return node && node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char *>(node->name), name) == 0;
    }
    // The first direct child that is an element of that name (case-sensitive, any namespace).
    static xmlNode *childElement(const xmlNode *node, const char *name);
    // The element's text: its text and CDATA children joined, UTF-8 decoded; a null string when
    // it has none.
    static QString text(const xmlNode *element);
    // The text of childElement(node, name); a null string when the element or its text is absent.
    static QString childValue(const xmlNode *node, const char *name);
    // The content of the first direct child that is a processing instruction of that target,
    // trimmed; a null string when there is none.
    static QString childProcessingInstruction(const xmlNode *node, const char *target);

    // Calls f(element) for each direct child element, in document order.
    template <typename F>
    static void forEachChildElement(const xmlNode *node, F &&f)
    {
        if (!node)
            return;
        for (xmlNode *child = node->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE)
                f(child);
    }

private:
    explicit DMXMLTree(xmlDoc *document) : m_document(document) {}
    xmlDoc *m_document = nullptr;
};
