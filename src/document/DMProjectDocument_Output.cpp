// DMProjectDocument: its output controllers, made on first use.
#include "DMProjectDocument.h"

#include "DMProjectDocumentOutputHost.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectDocumentUICallbacks.h"

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

DMProjectDocumentUICallbacks *DMProjectDocument::uiCallbacks()
{
    if (!m_uiCallbacks)
        m_uiCallbacks = std::make_shared<DMProjectDocumentUICallbacks>(outputHost());
    return m_uiCallbacks.get();
}

DMProjectDocumentPrint *DMProjectDocument::print()
{
    if (!m_print) {
        m_print = std::make_shared<DMProjectDocumentPrint>(outputHost());
        m_outlets.printPanelController = m_print->printPanelController();
    }
    return m_print.get();
}
