#include "DMProjectDocumentOutputHost.h"

#include "DMCurrencyFormatter.h"
#include "DMDateFormatter.h"
#include "DMPreferenceKeys.h"
#include "DMProject.h"
#include "DMProjectDocument.h"
#include "DMProjectKeys.h"
#include "DMReportPage.h"
#include "DMUserDefaults.h"

DMProjectDocumentOutputHost::DMProjectDocumentOutputHost(DMProjectDocument *document) : m_document(document) {}

DMProjectDocumentOutputHost::~DMProjectDocumentOutputHost() = default;

std::shared_ptr<DMProject> DMProjectDocumentOutputHost::project() const
{
    return m_document->project();
}

QString DMProjectDocumentOutputHost::currencyString(double value) const
{
    return m_document->sharedCurrencyFormatter()->stringForNumber(value);
}

QString DMProjectDocumentOutputHost::fileCurrencyString(double value) const
{
    const std::shared_ptr<DMProject> project = m_document->project();
    const QString unit = project ? project->attribute(kDMProject_Settings_CurrencyUnit).toString().trimmed() : QString();
    if (!m_fileCurrencyFormatter || m_fileCurrencyFormatter->unit() != unit)
        m_fileCurrencyFormatter = std::make_shared<DMCurrencyFormatter>(unit, QLocale::c());
    return m_fileCurrencyFormatter->stringForNumber(value);
}

QString DMProjectDocumentOutputHost::calendarDateString(const DMDate &date) const
{
    return m_document->sharedYMDDateFormatter()->stringFromDate(date);
}

QString DMProjectDocumentOutputHost::timeOfDayString(const DMDate &date) const
{
    return m_document->sharedHMSDateFormatter()->stringFromDate(date);
}

QVariant DMProjectDocumentOutputHost::reportHeaderColor() const
{
    return DMUserDefaults::standardUserDefaults().objectForKey(kDMHalcyra_DefaultReportHeaderColor);
}

QString DMProjectDocumentOutputHost::reportLogoPath() const
{
    return DMUserDefaults::standardUserDefaults().stringForKey(kDMHalcyra_PDFLogoPath);
}

DMReportPage *DMProjectDocumentOutputHost::reportPage() const
{
    return qobject_cast<DMReportPage *>(m_document->outlets().reportContainerView.data());
}

QWidget *DMProjectDocumentOutputHost::windowForSheet() const
{
    return m_document->windowForSheet();
}
