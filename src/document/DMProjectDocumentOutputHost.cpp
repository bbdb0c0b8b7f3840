#include "DMProjectDocumentOutputHost.h"

#include "DMCurrencyFormatter.h"
#include "DMDateFormatter.h"
#include "DMPreferenceKeys.h"
#include "DMProject.h"
#include "DMProjectDocument.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectDocumentSourceListOutlineDS.h"
#include "DMProjectEventsOutlineViewDS.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMReportPage.h"
#include "DMOutlineView.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMTimelineView.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMUserDefaults.h"
#include "DMCollectionView.h"

#include <QDesktopServices>
#include <QScrollArea>
#include <QScrollBar>
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
        m_fileCurrencyFormatter = std::make_shared<DMCurrencyFormatter>(unit, QLocale::c(), DMCurrencyFormatter::Grouping::Ungrouped);
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

QString DMProjectDocumentOutputHost::folderForPanels() const
{
    return m_document->folderForPanels();
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

// ---- Printing ----

int DMProjectDocumentOutputHost::currentPageTag() const
{
    return m_document->currentPageTag();
}

DMOutlineView *DMProjectDocumentOutputHost::projectOutlineView() const
{
    return m_document->projectOutlineView();
}

QWidget *DMProjectDocumentOutputHost::projectView() const
{
    return m_document->projectView();
}

QWidget *DMProjectDocumentOutputHost::timelineView() const
{
    return m_document->timelineView();
}

void DMProjectDocumentOutputHost::setTimelineViewPrinting(bool printing)
{
    if (DMTimelineView *timeline = m_document->timelineView())
        timeline->setPrinting(printing);
}

QList<QRectF> DMProjectDocumentOutputHost::projectViewBarFrames() const
{
    QList<QRectF> frames;
    DMProjectView *canvas = m_document->projectView();
    DMObjectViewDataSource *source = canvas ? canvas->datasource() : nullptr;
    if (!source)
        return frames;
    const QRectF whole = canvas->convertRectFromViewToCanvas(QRectF(canvas->rect()));
    for (const auto &object : source->objectViewObjectsInRectForLayer(canvas, whole, kDMProjectViewLayer_Items))
        if (object)
            frames.append(canvas->convertRectFromCanvasToView(object->boundingBox()));
    return frames;
}

void DMProjectDocumentOutputHost::setIsPrinting(bool printing)
{
    DMProjectDocumentObjectViewDataSource *canvasController = m_document->objectViewDataSource();
    if (!canvasController)
        return;
    QScrollArea *canvasScroll = m_document->outlets().projectViewScrollArea;
    QScrollArea *timelineScroll = m_document->outlets().timelineViewScrollArea;
    const bool wasPrinting = canvasController->isPrinting();
    if (printing && !wasPrinting && canvasScroll) {
        m_scrollBeforePrinting.canvasX = canvasScroll->horizontalScrollBar()->value();
        m_scrollBeforePrinting.canvasY = canvasScroll->verticalScrollBar()->value();
        m_scrollBeforePrinting.timelineX = timelineScroll ? timelineScroll->horizontalScrollBar()->value() : 0;
    }
    canvasController->setIsPrinting(printing);
    canvasController->relayoutProjectView();
    if (!printing && wasPrinting && canvasScroll) {
        canvasScroll->horizontalScrollBar()->setValue(m_scrollBeforePrinting.canvasX);
        canvasScroll->verticalScrollBar()->setValue(m_scrollBeforePrinting.canvasY);
        if (timelineScroll)
            timelineScroll->horizontalScrollBar()->setValue(m_scrollBeforePrinting.timelineX);
    }
}

DMOutlineView *DMProjectDocumentOutputHost::listOutlineView(int tag) const
{
    const DMProjectListController *list = nullptr;
    switch (tag) {
    case DMPage::EventsPage:
        list = m_document->projectEventsOutlineViewDS();
        break;
    case DMPage::TasksPage:
        list = m_document->projectItemsOutlineViewDS();
        break;
    case DMPage::ResourcesPage:
        list = m_document->projectResourcesOutlineViewDS();
        break;
    default:
        break;
    }
    return list ? list->outlineView() : nullptr;
}

DMCollectionView *DMProjectDocumentOutputHost::itemsCollectionView(int tag) const
{
    if (!DMPage_showsItemsView(tag) || !m_document->itemsView())
        return nullptr;
    return m_document->itemsView()->itemsCollectionView();
}

QWidget *DMProjectDocumentOutputHost::printablePageWidget(int tag) const
{
    const auto &daysOff = m_document->outlets().daysOffSettingsController;
    return tag == DMPage::DaysOffPage && daysOff ? daysOff->containerView() : nullptr;
}
