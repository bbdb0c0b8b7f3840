#include "DMProjectDocumentOutputHost.h"

#include "DMCurrencyFormatter.h"
#include "DMDateFormatter.h"
#include "DMPreferenceKeys.h"
#include "DMProject.h"
#include "DMProjectDocument.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMReportPage.h"
#include "DMUserDefaults.h"

#include <QDesktopServices>
#include <QSet>
#include <QUrl>

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

QList<std::shared_ptr<DMProjectItem>> DMProjectDocumentOutputHost::selectedCanvasItems() const
{
    QList<std::shared_ptr<DMProjectItem>> items;
    QSet<quint64> seen;
    for (const auto &object : m_document->selectedObjects()) {
        auto item = std::dynamic_pointer_cast<DMProjectItem>(object);
        if (!item || seen.contains(item->objectID()))
            continue;
        const std::uint32_t kind = item->kind();
        if (kind == kDMProjectItem_Kind_Task || kind == kDMProjectItem_Kind_Milestone || kind == kDMProjectItem_Kind_Event) {
            seen.insert(item->objectID());
            items.append(item);
        }
    }
    return items;
}

DMProjectDocumentReport *DMProjectDocumentOutputHost::report()
{
    return m_document->report();
}

void DMProjectDocumentOutputHost::openFileWithDefaultApplication(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
