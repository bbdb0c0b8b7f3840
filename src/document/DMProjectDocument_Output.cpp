// DMProjectDocument: its output controllers, made on first use.
#include "DMProjectDocument.h"

#include "DMProjectDocumentOutputHost.h"
#include "DMProjectDocumentReport.h"

DMProjectDocumentOutputHost *DMProjectDocument::outputHost()
{
    if (!m_outputHost)
        m_outputHost = std::make_shared<DMProjectDocumentOutputHost>(this);
    return m_outputHost.get();
}

DMProjectDocumentReport *DMProjectDocument::report()
{
    if (!m_report)
        m_report = std::make_shared<DMProjectDocumentReport>(outputHost());
    return m_report.get();
}
