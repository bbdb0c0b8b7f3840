#include "ReportHTMLParser.h"

#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>

namespace {

void collectError(void *context, const xmlError *error)
{
    if (error && error->level >= XML_ERR_ERROR)
        static_cast<QStringList *>(context)->append(QString::fromUtf8(error->message).trimmed());
}

} // namespace

ReportHTMLParser::ReportHTMLParser(const QString &html)
{
    const QByteArray bytes = html.toUtf8();
    htmlParserCtxtPtr context = htmlNewParserCtxt();
    xmlSetStructuredErrorFunc(&m_errors, reinterpret_cast<xmlStructuredErrorFunc>(collectError));
    m_document = htmlCtxtReadMemory(context, bytes.constData(), int(bytes.size()), "report.html", "UTF-8", HTML_PARSE_NONET);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    htmlFreeParserCtxt(context);
    if (!m_document)
        m_errors.append(QStringLiteral("no document"));
}

ReportHTMLParser::~ReportHTMLParser()
{
    if (m_document)
        xmlFreeDoc(static_cast<xmlDocPtr>(m_document));
}

QStringList ReportHTMLParser::texts(const QString &xpath) const
{
    QStringList result;
    if (!m_document)
        return result;
    xmlXPathContextPtr context = xmlXPathNewContext(static_cast<xmlDocPtr>(m_document));
    xmlXPathObjectPtr found = xmlXPathEvalExpression(reinterpret_cast<const xmlChar *>(xpath.toUtf8().constData()), context);
    if (found && found->nodesetval) {
        for (int i = 0; i < found->nodesetval->nodeNr; ++i) {
            xmlChar *content = xmlNodeGetContent(found->nodesetval->nodeTab[i]);
            result.append(QString::fromUtf8(reinterpret_cast<const char *>(content)).simplified());
            xmlFree(content);
        }
    }
    xmlXPathFreeObject(found);
    xmlXPathFreeContext(context);
    return result;
}
