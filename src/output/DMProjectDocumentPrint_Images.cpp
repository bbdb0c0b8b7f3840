// DMProjectDocumentPrint: the print panel's images, rendered from the Gantt page's views for a
// range of days at a given day width.
#include "DMProjectDocumentPrint.h"

#include "DMOutlineView.h"
#include "DMPrintPicture.h"
#include "DMProject.h"
#include "DMProjectDocumentPrintHost.h"
#include "DMProjectKeys.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QPainter>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace {

// The timeline's whole-project mode, which shows the custom span.
constexpr int kCustomSpanTimelineMode = 4;
// The attributes that lay the chart out for a page (a function: the keys are another library's
// constants, not yet made while this file's globals are).
QStringList printedAttributes()
{
    return {kDMProject_TimelineViewPixelsPerDay, kDMProject_TimelineViewTimeSpan, kDMProject_TimelineViewMode,
            kDMProject_TimelineViewCustomTimeSpan};
}

// The outline's rows that meet the area, drawn as the outline draws them on screen, but all of
// them, wherever the outline is scrolled: the visible columns in their order, the indentation
// and disclosure triangle of the outline column, and each cell by the outline's item delegate.
// Rows are not shown selected on paper.
void drawOutlineRows(DMOutlineView *outline, QPainter *painter, const QRect &area)
{
    const DMOutlineViewModel *model = outline->outlineModel();
    const int rows = model->numberOfRows();
    if (rows == 0)
        return;
    int first = model->rowAtY(area.top());
    if (first < 0)
        first = area.top() < 0 ? 0 : rows;
    int last = model->rowAtY(area.bottom());
    if (last < 0)
        last = rows - 1;
    painter->fillRect(area, outline->palette().color(QPalette::Base));
    const QHeaderView *header = outline->header();
    const int treeColumn = outline->treePosition() < 0 ? header->logicalIndex(0) : outline->treePosition();
    QStyle *style = outline->style();
    for (int row = first; row <= last; ++row) {
        for (int visual = 0; visual < header->count(); ++visual) {
            const int column = header->logicalIndex(visual);
            if (header->isSectionHidden(column))
                continue;
            const QModelIndex index = model->indexForRow(row, column);
            if (!index.isValid())
                continue;
            QStyleOptionViewItem option;
            option.initFrom(outline);
            option.state = QStyle::State_Enabled;
            option.widget = outline;
            option.font = outline->font();
            option.fontMetrics = QFontMetrics(option.font);
            option.decorationSize = QSize(16, 16);
            option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
            option.rect = outline->frameOfCellAtColumnRow(visual, row);
            if (column == treeColumn && model->isIndexExpandable(index)) {
                // The disclosure triangle in the last step of the indentation.
                QStyleOption branch;
                branch.initFrom(outline);
                branch.rect = QRect(option.rect.x() - outline->indentation(), option.rect.y(), outline->indentation(),
                                    option.rect.height());
                branch.state = QStyle::State_Enabled | QStyle::State_Children
                               | (model->isIndexExpanded(index) ? QStyle::State_Open : QStyle::State_None);
                style->drawPrimitive(QStyle::PE_IndicatorBranch, &branch, painter, outline);
            }
            if (QAbstractItemDelegate *delegate = outline->itemDelegateForIndex(index))
                delegate->paint(painter, option, index); // the style clips to the cell
        }
    }
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
    const DMOutlineView *outline = m_host->projectOutlineView();
    if (!outline)
        return {};
    return QSizeF(outline->width(), outline->outlineModel()->totalHeightOfRows());
}

bool DMProjectDocumentPrint::printPanelControllerLeftImageTopImageContentImageWithBeginDateEndDatePixelsPerDayRet_lineHeight(
    DMPrintPanelController *, std::shared_ptr<const DMPrintPicture> *leftImage,
    std::shared_ptr<const DMPrintPicture> *topImage, std::shared_ptr<const DMPrintPicture> *contentImage,
    const DMDate &begin, const DMDate &end, double pixelsPerDay, double *lineHeight)
{
    const std::shared_ptr<DMProject> project = m_host->project();
    DMOutlineView *outline = m_host->projectOutlineView();
    QWidget *canvas = m_host->projectView();
    QWidget *timeline = m_host->timelineView();
    if (!project || !outline || !canvas || !timeline || begin.isNull() || end.isNull() || end < begin
        || !(pixelsPerDay > 0))
        return false;

    // The chart is laid out for the page and put back as it was, attributes that were absent
    // included; none of it is an edit of the document.
    const QStringList keys = printedAttributes();
    QVariantMap saved;
    for (const QString &key : keys)
        saved.insert(key, project->attribute(key));
    // Declared first, so that registration resumes only after the attributes are back.
    const DMUndoRegistrationPause pause(project->undoManager());
    m_host->setIsPrinting(true);
    const auto restore = qScopeGuard([&] {
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
    project->setAttribute(kDMProject_TimelineViewMode, kCustomSpanTimelineMode);
    m_host->setIsPrinting(true); // lays out at the new scale even when no attribute changed

    if (lineHeight)
        *lineHeight = outline->rowHeight();
    const double rowsHeight = outline->outlineModel()->totalHeightOfRows();
    const QSizeF leftSize(outline->header()->length(), rowsHeight);
    if (leftImage)
        *leftImage = DMPrintPicture::record(leftSize, [outline](QPainter *painter, const QRect &tile) {
            drawOutlineRows(outline, painter, tile);
        });
    if (topImage) {
        m_host->setTimelineViewPrinting(true);
        const auto printingOff = qScopeGuard([this] { m_host->setTimelineViewPrinting(false); });
        // As wide as the canvas: the header's extra width only lets it scroll with it.
        *topImage = recordedView(timeline, QSizeF(std::min(timeline->width(), canvas->width()), timeline->height()));
    }
    if (contentImage)
        *contentImage = recordedView(canvas, QSizeF(canvas->width(), rowsHeight));
    return true;
}
