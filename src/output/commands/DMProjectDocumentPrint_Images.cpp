// DMProjectDocumentPrint: the print panel's images, rendered from the Gantt page's views for a
// range of days at a given day width.
#include "DMProjectDocumentPrint.h"

#include "DMOutlineView.h"
#include "DMPageComposition.h"
#include "DMPrintPicture.h"
#include "DMPrintedOutline.h"
#include "DMProject.h"
#include "DMProjectDocumentPrintHost.h"
#include "DMProjectKeys.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"

#include <QPainter>
#include <QScopeGuard>

namespace {

// The attributes that lay the chart out for a page (a function: the keys are another library's
// constants, not yet made while this file's globals are).
QStringList printedAttributes()
{
    return {kDMProject_TimelineViewPixelsPerDay, kDMProject_TimelineViewTimeSpan, kDMProject_TimelineViewMode,
            kDMProject_TimelineViewCustomTimeSpan};
}

// A view rendered as it draws itself, tile by tile, in its own coordinates.
std::shared_ptr<const DMPrintPicture> recordedView(QWidget *view, const QSizeF &size)
{
    return DMPrintPicture::record(size, [view](QPainter *painter, const QRect &tile) {
        view->render(painter, tile.topLeft(), QRegion(tile));
    });
}

} // namespace

QVariantMap DMProjectDocumentPrint::getCurrentTimeSpanForPrintPanelController(DMPrintPanelController *)
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project)
        return {};
    // What the chart shows. Its end is the first moment not shown: an end at midnight leaves
    // out the day it begins.
    const DMProject_DisplayAttributes &shown = project->displayAttributes();
    DMDate end = shown.timeSpanEndDate;
    if (!end.isNull() && end.secondOfDay() == 0 && shown.timeSpanBeginDate < end)
        end = end.dateByAddingSeconds(-1);
    return {{kDMTimeSpanBegin, QVariant::fromValue(shown.timeSpanBeginDate)}, {kDMTimeSpanEnd, QVariant::fromValue(end)}};
}

QSizeF DMProjectDocumentPrint::printPanelControllerLeftImageSize(DMPrintPanelController *)
{
    // The outline as it prints: every column as wide as its values, not cut where the pane ends.
    DMOutlineView *outline = m_host->projectOutlineView();
    if (!outline)
        return {};
    // Kept for the images, which the panel asks for next: measuring every row's values costs.
    m_measuredOutline = std::make_unique<DMPrintedOutline>(outline, DMPrintedOutline::WithTitles);
    return QSizeF(m_measuredOutline->size().width(), m_measuredOutline->rowsHeight());
}

bool DMProjectDocumentPrint::printPanelControllerLeftImageTopImageContentImageWithBeginDateEndDatePixelsPerDayRet_lineHeight(
    DMPrintPanelController *, DMPageCompositionImages *images, const DMDate &begin, const DMDate &end, double pixelsPerDay)
{
    const std::shared_ptr<DMProject> project = m_host->project();
    DMOutlineView *outline = m_host->projectOutlineView();
    QWidget *canvas = m_host->projectView();
    QWidget *timeline = m_host->timelineView();
    if (!images || !project || !outline || !canvas || !timeline || begin.isNull() || end.isNull() || end < begin
        || !(pixelsPerDay > 0))
        return false;

    // The chart is laid out for the page and put back as it was, attributes that were absent
    // included; none of it is an edit of the document.
    const QStringList keys = printedAttributes();
    QVariantMap saved;
    for (const QString &key : keys)
        saved.insert(key, project->attribute(key));
    // A chart without a stored scale shows the one it last laid out with: the page's must not
    // stay behind as that one.
    const float shownPixelsPerDay = project->displayAttributes().pixelsPerDay;
    // Declared first, so that registration resumes only after the attributes are back.
    const DMUndoRegistrationPause pause(project->undoManager());
    m_host->setIsPrinting(true);
    const auto restore = qScopeGuard([&] {
        project->displayAttributes().pixelsPerDay = shownPixelsPerDay;
        for (const QString &key : keys)
            project->setAttribute(key, saved.value(key));
        m_host->setIsPrinting(false);
    });

    // Whole days: from the first day's midnight to the midnight after the last day.
    const QVariantMap span{{kDMTimeSpanBegin, QVariant::fromValue(DMDate::dateWithJulianDay(begin.julianDay(), 0))},
                           {kDMTimeSpanEnd, QVariant::fromValue(DMDate::dateWithJulianDay(end.julianDay() + 1, 0))}};
    // One key at a time: setAttributes would replace the whole dictionary.
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, float(pixelsPerDay));
    project->setAttribute(kDMProject_TimelineViewTimeSpan, span);
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan, span);
    // The whole-project mode shows the custom span.
    project->setAttribute(kDMProject_TimelineViewMode, kDMTimelineViewMode_WholeProject);
    m_host->setIsPrinting(true); // lays out at the new scale even when no attribute changed

    images->lineHeight = outline->rowHeight();
    const double rowsHeight = outline->outlineModel()->totalHeightOfRows();
    std::unique_ptr<DMPrintedOutline> printedOutline = std::move(m_measuredOutline);
    if (!printedOutline || !printedOutline->isLayoutOf(outline))
        printedOutline = std::make_unique<DMPrintedOutline>(outline, DMPrintedOutline::WithTitles);
    // The titles print apart, above the rows of each page.
    images->rowBottoms = printedOutline->rowBottoms();
    images->leftTitles = printedOutline->titlesPicture();
    images->barFrames = m_host->projectViewBarFrames();
    images->left = printedOutline->rowsPicture();
    {
        m_host->setTimelineViewPrinting(true);
        const auto printingOff = qScopeGuard([this] { m_host->setTimelineViewPrinting(false); });
        // As wide as the canvas: the header's extra width only lets it scroll with it.
        images->top = recordedView(timeline, QSizeF(std::min(timeline->width(), canvas->width()), timeline->height()));
    }
    images->content = recordedView(canvas, QSizeF(canvas->width(), rowsHeight));
    return true;
}
