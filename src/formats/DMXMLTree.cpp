#include "DMXMLTree.h"

#include <libxml/parser.h>

#include <climits>
#include <utility>

DMXMLTree::DMXMLTree(DMXMLTree &&other) noexcept : m_document(std::exchange(other.m_document, nullptr)) {}

DMXMLTree &DMXMLTree::operator=(DMXMLTree &&other) noexcept
{
    if (this != &other) {
        if (m_document)
            xmlFreeDoc(m_document);
        m_document = std::exchange(other.m_document, nullptr);
    }
    return *this;
}

DMXMLTree::~DMXMLTree()
{
    if (m_document)
        xmlFreeDoc(m_document);
}

DMXMLTree DMXMLTree::parse(const QByteArray &data, QString *error, bool *recovered)
{
    if (recovered)
        *recovered = false;
    if (data.size() > INT_MAX) {
        if (error)
            *error = QStringLiteral("the file is too large to read");
        return DMXMLTree();
    }
    xmlInitParser(); // idempotent; the matching cleanup would pull libxml2 from under other users
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) {
        if (error)
            *error = QStringLiteral("out of memory");
        return DMXMLTree();
    }
    // No XML_PARSE_NOENT (entities stay references), no XML_PARSE_DTDLOAD, no network; errors are
    // collected from the context instead of printed. The tree is only read: white space between
    // elements is left out and short texts are kept inside their nodes, which halves the nodes of
    // an indented file (an element holding only white space keeps it).
    const int options = XML_PARSE_RECOVER | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING
        | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT;
    xmlDoc *document = xmlCtxtReadMemory(context, data.constData(), int(data.size()), nullptr, nullptr, options);
    const bool wellFormed = context->wellFormed != 0;
    QString message;
    if (const xmlError *last = xmlCtxtGetLastError(context); last && last->message)
        message = QString::fromUtf8(last->message).trimmed();
    xmlFreeParserCtxt(context);

    if (document && !xmlDocGetRootElement(document)) {
        xmlFreeDoc(document);
        document = nullptr;
    }
    if (!document && error)
        *error = message.isEmpty() ? QStringLiteral("the file holds no XML element") : message;
    if (document && !wellFormed) {
        if (recovered)
            *recovered = true;
        if (error)
            *error = message;
    }
    return DMXMLTree(document);
}

xmlNode *DMXMLTree::rootElement() const
{
    return m_document ? xmlDocGetRootElement(m_document) : nullptr;
}

xmlNode *DMXMLTree::childElement(const xmlNode *node, const char *name)
{
    if (!node)
        return nullptr;
    for (xmlNode *child = node->children; child; child = child->next)
        if (isElementNamed(child, name))
            return child;
    return nullptr;
}

QString DMXMLTree::text(const xmlNode *element)
{
    if (!element)
        return QString();
    const xmlNode *first = nullptr;
    int parts = 0;
    for (const xmlNode *child = element->children; child; child = child->next)
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content) {
            if (!first)
                first = child;
            ++parts;
        }
    if (!first)
        return QString();
    if (parts == 1)
        return QString::fromUtf8(reinterpret_cast<const char *>(first->content));
    QByteArray joined;
    for (const xmlNode *child = first; child; child = child->next)
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content)
            joined += reinterpret_cast<const char *>(child->content);
    return QString::fromUtf8(joined);
}

QString DMXMLTree::childValue(const xmlNode *node, const char *name)
{
    return text(childElement(node, name));
}

QString DMXMLTree::childProcessingInstruction(const xmlNode *node, const char *target)
{
    if (!node)
        return QString();
    for (const xmlNode *child = node->children; child; child = child->next)
        if (child->type == XML_PI_NODE && child->name && std::strcmp(reinterpret_cast<const char *>(child->name), target) == 0)
            return child->content ? QString::fromUtf8(reinterpret_cast<const char *>(child->content)).trimmed()
                                  : QString(QLatin1String(""));
    return QString();
}
