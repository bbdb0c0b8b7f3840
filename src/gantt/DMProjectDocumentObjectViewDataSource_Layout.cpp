// DMProjectDocumentObjectViewDataSource: the relayout of the Gantt canvas. The frames of canvas
// and timeline header follow the shown time span and the scale; the background table follows
// the timeline's columns and the outline's rows; every bar follows its dates and its outline row.
#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMProjectItemTree.h"

#include "DMDelayedCall.h"
#include "DMGanttDocumentHooks.h"
#include "DMIdleTimeout.h"

#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTimelineDataSource.h"
#include "DMProjectView.h"
#include "DMProjectViewBackgroundObject.h"
#include "DMProjectViewBackgroundObjectAttributes.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewDateGrid.h"
#include "DMTimelineColumnCache.h"
#include "DMTimelineView.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectEvent.h"
#include "DMUIProjectItem.h"
#include "DMUIProjectItemGeometry.h"

#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

namespace {

constexpr float kMinimumPixelsPerDay = DMProjectViewDateGrid::kMinimumPixelsPerDay;
// Widgets cannot be wider than this; a wider canvas is drawn at a smaller scale.
constexpr double kMaximumCanvasWidth = 16000000.0;

// Fill colours of the grid: columns by kind of day, rows by what they hold.
const QColor kNonWorkingWeekDayColor = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.06f);
const QColor kDayOffColor = QColor::fromRgbF(0.85f, 0.45f, 0.1f, 0.1f);
const QColor kSelectedRowColor = QColor::fromRgbF(0.2f, 0.45f, 0.9f, 0.15f);
const QColor kEventsRowColor = QColor::fromRgbF(0.95f, 0.85f, 0.3f, 0.12f);
const QColor kGroupRowColor = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.035f);

QColor dayColor(const DMProject &project, const DMDate &day)
{
    int kind = 0;
    if (project.isWorkingDay(day, &kind))
        return QColor();
    return kind == 1 ? kNonWorkingWeekDayColor : kDayOffColor;
}

// Every item of the tree, parents before children, and the events.
void forEachItem(const DMProject &project, const std::function<void(DMProjectItem &)> &fn)
{
    DMProjectItem_forEachItem(project.tasks().list(), fn);
    for (const auto &event : project.eventContainer()->events())
        fn(*event);
}

void forEachResource(const DMProject &project, const std::function<void(DMProjectResource &)> &fn)
{
    std::vector<DMProjectResource *> stack;
    for (const auto &resource : project.resources())
        stack.push_back(resource.get());
    while (!stack.empty()) {
        DMProjectResource *resource = stack.back();
        stack.pop_back();
        fn(*resource);
        for (const auto &child : resource->subitems())
            stack.push_back(child.get());
    }
}

DMUIProjectItem *barOf(const std::shared_ptr<DMProjectItemUIObject> &object)
{
    return dynamic_cast<DMUIProjectItem *>(object.get());
}

// The list of a resource's bars in the resource view, as the resource announces its changes.
const QString kResourceBarsKey = QStringLiteral("UIObjects");

} // namespace

void DMProjectDocumentObjectViewDataSource::relayoutProjectView()
{
    m_relayoutPending = false;
    if (!m_document.project())
        return;
    QRectF projectViewFrame;
    QRectF timelineViewFrame;
    computeProjectViewFrameTimelineViewFrameShouldReLayoutObjects(&projectViewFrame, &timelineViewFrame, false);
    updateBackgroundObjectWithProjectViewFrame(projectViewFrame);
    layoutObjects();
    if (std::exchange(m_resourceRowHeightsStale, false)) {
        // A resource's row grew or shrank with its lanes: the outline reads the rows' heights
        // again, and everything is laid out on them (the lanes stay as they are now).
        m_document.reloadProjectOutline();
        relayoutProjectView();
        return;
    }
    updateBackgroundObjectRowsColor();
    resizeViews(projectViewFrame, timelineViewFrame);
}

void DMProjectDocumentObjectViewDataSource::resizeViews(const QRectF &projectViewFrame, const QRectF &timelineViewFrame)
{
    if (DMProjectView *canvas = this->canvas()) {
        canvas->setCanvasSize(projectViewFrame.size());
        canvas->resize(projectViewFrame.size().toSize());
        canvas->setNeedsDisplay();
    }
    if (DMTimelineView *timeline = m_document.timelineView()) {
        timeline->resize(timelineViewFrame.size().toSize());
        timeline->update();
        timeline->resetCursorRects();
    }
}

void DMProjectDocumentObjectViewDataSource::widenProjectView()
{
    m_widenPending = false;
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project || m_relayoutPending)
        return;
    // The bars keep their rows: only the canvas, its background and the timeline take the new
    // last day or visible size. A new scale or first day moves the bars sideways, which they
    // take when next read; in the resource view it may change their lanes.
    const DMProject_DisplayAttributes &attributes = project->displayAttributes();
    const float pixelsPerDay = attributes.pixelsPerDay;
    const DMDate firstDay = attributes.timeSpanBeginDate;
    QRectF projectViewFrame;
    QRectF timelineViewFrame;
    computeProjectViewFrameTimelineViewFrameShouldReLayoutObjects(&projectViewFrame, &timelineViewFrame, false);
    if (attributes.pixelsPerDay != pixelsPerDay || attributes.timeSpanBeginDate != firstDay) {
        if (attributes.viewMode == kDMProjectViewMode_Resources) {
            relayoutProjectView();
            return;
        }
        DMProjectViewObject::invalidateAllPlacements();
    }
    updateBackgroundColumnsWithProjectViewFrame(projectViewFrame);
    resizeViews(projectViewFrame, timelineViewFrame);
}

void DMProjectDocumentObjectViewDataSource::syncProjectViewWithOutlineView()
{
    destroyPendingIdleInvocations(this);
    relayoutProjectView();
}

bool DMProjectDocumentObjectViewDataSource::isProjectViewSyncScheduled() const
{
    return hasPendingIdleInvocation(this, "syncProjectViewWithOutlineView");
}

void DMProjectDocumentObjectViewDataSource::relayoutSoon()
{
    performOnceAfterDelay(m_relayoutPending, 0, &DMProjectDocumentObjectViewDataSource::relayoutProjectView);
}

void DMProjectDocumentObjectViewDataSource::reloadProjectOutlineAndRelayout()
{
    m_reloadPending = false;
    if (const std::shared_ptr<DMProject> project = m_document.project())
        m_layoutStampShown = project->layoutStamp();
    if (m_document.projectOutlineView() && m_document.project())
        m_document.reloadProjectOutline();
    relayoutProjectView();
}

void DMProjectDocumentObjectViewDataSource::reloadProjectOutlineAndRelayoutSoon()
{
    performOnceAfterDelay(m_reloadPending, 0, &DMProjectDocumentObjectViewDataSource::reloadProjectOutlineAndRelayout);
}

void DMProjectDocumentObjectViewDataSource::undoStepDidClose()
{
    if (const std::shared_ptr<DMProject> project = m_document.project())
        m_layoutStampShown = project->layoutStamp();
    if (m_selectionCheckPending)
        dropSelectedObjectsOutsideProject();
}

void DMProjectDocumentObjectViewDataSource::projectDidUndoOrRedo()
{
    if (m_selectionCheckPending)
        dropSelectedObjectsOutsideProject();
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project || project->layoutStamp() != m_layoutStampShown) {
        reloadProjectOutlineAndRelayoutSoon();
        return;
    }
    // The bars that moved asked to be redrawn; the outline shows the rows' new values.
    if (DMOutlineView *outline = m_document.projectOutlineView())
        outline->viewport()->update();
}

void DMProjectDocumentObjectViewDataSource::itemDatesDidChange()
{
    // Every item of a pushed chain reports: the span, which walks all items, is measured once
    // after them all.
    performOnceAfterDelay(m_shownTimeSpanCheckPending, 0, &DMProjectDocumentObjectViewDataSource::checkShownTimeSpan);
}

void DMProjectDocumentObjectViewDataSource::checkShownTimeSpan()
{
    m_shownTimeSpanCheckPending = false;
    // Dates outside the shown span widen it, and bars that moved may take other lanes; not while
    // a drag is under way, whose geometry would jump under the pointer: its mouse up relays out.
    const std::shared_ptr<DMProject> project = m_document.project();
    DMProjectView *canvas = this->canvas();
    if (!project || (canvas && canvas->currentDragOperation() != 0))
        return;
    resourceLanesNeedLayout();
    const DMProject_DisplayAttributes &attributes = project->displayAttributes();
    const DMTimelineTimeSpan shown = DMProjectTimelineDataSource_shownTimeSpan(*project);
    if (shown.begin != attributes.timeSpanBeginDate)
        relayoutSoon();
    else if (shown.end != attributes.timeSpanEndDate)
        performOnceAfterDelay(m_widenPending, 0, &DMProjectDocumentObjectViewDataSource::widenProjectView);
}

void DMProjectDocumentObjectViewDataSource::titleAttributesDidChange()
{
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project)
        return;
    const auto refresh = [](const std::shared_ptr<DMProjectItemUIObject> &object) {
        if (DMUIProjectItem *bar = barOf(object)) {
            bar->resetTextAttributes();
            bar->updateUIFeatures();
        }
    };
    forEachItem(*project, [&refresh](DMProjectItem &item) { refresh(item.ganttUIObject()); });
    forEachResource(*project, [&refresh](DMProjectResource &resource) {
        for (const auto &object : resource.UIObjects())
            refresh(object);
    });
}

// ---- The sequence ----

void DMProjectDocumentObjectViewDataSource::computeProjectViewFrameTimelineViewFrameShouldReLayoutObjects(
    QRectF *projectViewFrame, QRectF *timelineViewFrame, bool shouldReLayoutObjects)
{
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project)
        return;
    DMProject_DisplayAttributes &attributes = project->displayAttributes();
    bool ok = false;
    const int storedMode = project->attribute(kDMProject_TimelineViewMode).toInt(&ok);
    attributes.timelineViewMode = ok ? DMTimelineViewMode_clamped(storedMode) : kDMTimelineViewMode_WholeProject;

    const DMTimelineTimeSpan span = DMProjectTimelineDataSource_shownTimeSpan(*project);
    const double days = double(std::max<qint64>(1, span.dayCount()));
    float pixelsPerDay = project->attribute(kDMProject_TimelineViewPixelsPerDay).toFloat(&ok);
    if (!ok || !std::isfinite(pixelsPerDay))
        pixelsPerDay = attributes.pixelsPerDay;
    if (!std::isfinite(pixelsPerDay) || pixelsPerDay < kMinimumPixelsPerDay)
        pixelsPerDay = kMinimumPixelsPerDay;

    const QScrollArea *scroll = m_document.projectViewScrollArea();
    const QSize visible = scroll ? scroll->viewport()->size() : QSize();
    pixelsPerDay = shownPixelsPerDay(pixelsPerDay, days);

    const bool changed = attributes.pixelsPerDay != pixelsPerDay || attributes.timeSpanBeginDate != span.begin
                         || attributes.timeSpanEndDate != span.end;
    attributes.pixelsPerDay = pixelsPerDay;
    attributes.timeSpanBeginDate = span.begin;
    attributes.timeSpanEndDate = span.end;

    const DMOutlineView *outline = m_document.projectOutlineView();
    const double rowsHeight = outline ? outline->outlineModel()->totalHeightOfRows() : 0.0;
    const double width = DMProjectViewDateGrid(attributes).widthOfDays(qint64(days));
    const double height = std::max(rowsHeight, double(visible.height()));
    if (projectViewFrame)
        *projectViewFrame = QRectF(0, 0, width, height);
    if (timelineViewFrame) {
        // As wide as the canvas plus its vertical scroll bar, so both scroll the same distance.
        const int scrollBar = scroll ? scroll->verticalScrollBar()->sizeHint().width() : 0;
        *timelineViewFrame = QRectF(0, 0, width + scrollBar, 3 * DMTimelineView::kBandHeight);
    }
    if (m_isPrinting || (shouldReLayoutObjects && changed))
        layoutObjects();
}

float DMProjectDocumentObjectViewDataSource::shownPixelsPerDay(float pixelsPerDay, double days) const
{
    const QScrollArea *scroll = m_document.projectViewScrollArea();
    const int visibleWidth = scroll ? scroll->viewport()->width() : 0;
    // On screen the span fills at least the visible width; printing uses the stored scale.
    if (!m_isPrinting && visibleWidth > 0)
        pixelsPerDay = std::max(pixelsPerDay, float(visibleWidth / days));
    if (days * pixelsPerDay > kMaximumCanvasWidth)
        pixelsPerDay = std::max(kMinimumPixelsPerDay, float(kMaximumCanvasWidth / days));
    return pixelsPerDay;
}

void DMProjectDocumentObjectViewDataSource::updateBackgroundObjectWithProjectViewFrame(const QRectF &frame)
{
    const DMOutlineView *outline = m_document.projectOutlineView();
    const DMOutlineViewModel *rowsModel = outline ? outline->outlineModel() : nullptr;
    const qint32 rows = rowsModel ? rowsModel->numberOfRows() : 0;
    const auto table = backgroundTableWithColumns(frame, [rows](qint32 columns) {
        return DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRows(columns, rows);
    });
    if (!table)
        return;
    for (qint32 row = 0; row < rows; ++row)
        table->setRowHeight(row, float(rowsModel->heightOfRow(row)));
    m_rowsShownSelected.clear();
}

void DMProjectDocumentObjectViewDataSource::updateBackgroundColumnsWithProjectViewFrame(const QRectF &frame)
{
    const auto old = m_background ? m_background->attributes() : nullptr;
    const DMOutlineView *outline = m_document.projectOutlineView();
    if (!old || !outline || old->rows() != outline->numberOfRows()) {
        updateBackgroundObjectWithProjectViewFrame(frame);
        updateBackgroundObjectRowsColor();
        return;
    }
    backgroundTableWithColumns(frame, [&old](qint32 columns) {
        return DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRowsOf(columns, *old);
    });
}

std::shared_ptr<DMProjectViewBackgroundObjectAttributes> DMProjectDocumentObjectViewDataSource::backgroundTableWithColumns(
    const QRectF &frame, const std::function<std::shared_ptr<DMProjectViewBackgroundObjectAttributes>(qint32)> &make)
{
    const std::shared_ptr<DMProject> project = m_document.project();
    const auto &background = m_background;
    if (!background || !project)
        return nullptr;
    const DMProject_DisplayAttributes &attributes = project->displayAttributes();
    const bool dayScale = attributes.timelineViewMode == kDMTimelineViewMode_Day;
    const DMProjectViewDateGrid grid(attributes);
    const qint64 days = std::max<qint64>(1, DMTimelineTimeSpan{attributes.timeSpanBeginDate, attributes.timeSpanEndDate}.dayCount());
    const qint32 columns = dayScale ? grid.quarterHoursPerDay() : qint32(std::min<qint64>(days, INT_MAX));

    const std::shared_ptr<DMProjectViewBackgroundObjectAttributes> table = make(columns);
    table->setColumnWidth(grid.columnWidth(dayScale));
    const qint64 firstDay = attributes.timeSpanBeginDate.isNull() ? 0 : attributes.timeSpanBeginDate.julianDay();
    if (dayScale) {
        const QColor color = attributes.timeSpanBeginDate.isNull() ? QColor() : dayColor(*project, attributes.timeSpanBeginDate);
        for (qint32 column = 0; column < columns; ++column)
            table->setColumnBgColor(column, color);
    } else if (!attributes.timeSpanBeginDate.isNull()) {
        for (qint32 column = 0; column < columns; ++column)
            table->setColumnBgColor(column, dayColor(*project, DMDate::dateWithJulianDay(firstDay + column, 12 * 3600)));
    }
    background->setFrame(frame);
    background->setAttributes(table);
    return table;
}

void DMProjectDocumentObjectViewDataSource::layoutObjects()
{
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project)
        return;
    // Every bar and link is placed on the new grid when it is next read: a zoom or a relayout
    // costs what is drawn, not the size of the project.
    DMProjectViewObject::invalidateAllPlacements();
    if (project->displayAttributes().viewMode == kDMProjectViewMode_Resources)
        layoutResourceLanes();
    layoutObjectsVertically();
}

void DMProjectDocumentObjectViewDataSource::layoutResourceLanes()
{
    m_resourceObservations.clear();
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project || project->displayAttributes().viewMode != kDMProjectViewMode_Resources)
        return;
    forEachResource(*project, [this](DMProjectResource &resource) {
        // An assignment made or dropped anywhere adds or removes a bar of the resource's row.
        m_resourceObservations.push_back(resource.observe(kResourceBarsKey, [this](const DMChange &change, DMObservable *) {
            if (!change.prior)
                resourceLanesNeedLayout();
        }));
        QList<DMUIProjectItem *> bars;
        QList<QPointF> ranges;
        for (const auto &object : resource.UIObjects())
            if (DMUIProjectItem *bar = barOf(object)) {
                bars.append(bar);
                ranges.append(bar->horizontalFrameRange());
            }
        int count = 0;
        const QList<int> lanes = DMUIProjectItem_lanesForHorizontalRanges(ranges, &count);
        for (qsizetype i = 0; i < bars.size(); ++i)
            bars.at(i)->setResourceViewFields(lanes.at(i), &resource);
        const int old = resource.subRowCount();
        if (old == count)
            return;
        resource.setSubRowCount(count);
        // A row is one lane high at least.
        if (std::max(old, 1) != std::max(count, 1))
            m_resourceRowHeightsStale = true;
    });
}

void DMProjectDocumentObjectViewDataSource::resourceLanesNeedLayout()
{
    const std::shared_ptr<DMProject> project = m_document.project();
    if (project && project->displayAttributes().viewMode == kDMProjectViewMode_Resources)
        performOnceAfterDelay(m_resourceLanesPending, 0, &DMProjectDocumentObjectViewDataSource::relayoutResourceRows);
}

void DMProjectDocumentObjectViewDataSource::relayoutResourceRows()
{
    m_resourceLanesPending = false;
    layoutResourceLanes();
    if (m_resourceRowHeightsStale)
        relayoutProjectView();
    else
        layoutObjectsVertically();
}

void DMProjectDocumentObjectViewDataSource::layoutObjectsVertically()
{
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project)
        return;
    const DMOutlineView *outline = m_document.projectOutlineView();
    const int viewMode = project->displayAttributes().viewMode;
    // The links follow once, at the end; the bars keep their horizontal part to be placed.
    std::optional<DMUIProjectItem::DeferredLinkUpdates> deferred(std::in_place);
    DMProjectViewObject::invalidateAllPlacements();
    // Every item has its bar, shown or not (a link to a hidden row is drawn from its shown end).
    DMProjectItem_forEachItem(project->tasks().list(), [](const DMProjectItem &item) { item.ganttUIObjectPointer(); });
    // Rows not shown (inside a collapsed process) hide their bars: those shown by the last
    // layout are hidden, and those of shown rows shown again.
    for (const std::weak_ptr<DMUIProjectItem> &shown : std::exchange(m_shownBars, {}))
        if (const std::shared_ptr<DMUIProjectItem> bar = shown.lock())
            bar->setDisplayed(false);
    // A bar whose row moved moves the links indexed by its row.
    bool rowsMoved = false;
    const auto placeInRow = [this, &rowsMoved](DMUIProjectItem &bar, qreal top, qreal height) {
        const QRectF stored = bar.placedFrame();
        if (stored.y() != top || stored.height() != std::max<qreal>(height, 1.0))
            rowsMoved = true;
        bar.setDisplayed(true);
        bar.setVerticalFrameRange(top, height);
        m_shownBars.push_back(std::static_pointer_cast<DMUIProjectItem>(bar.shared_from_this()));
    };
    m_rowKinds.clear();
    std::vector<std::weak_ptr<DMUIProjectItem>> parentsOfHiddenBars;
    if (outline) {
        const DMOutlineViewModel *rows = outline->outlineModel();
        m_shownBars.reserve(size_t(std::max(0, rows->numberOfRows())));
        const int lane = std::max(1, outline->rowHeight());
        const DMProjectEventContainer *events = project->eventContainer().get();
        m_rowKinds.resize(std::max(0, rows->numberOfRows()), RowKind::Plain);
        for (int row = 0; row < rows->numberOfRows(); ++row) {
            const std::shared_ptr<DMProjectObject> object = objectAtRow(row);
            if (!object)
                continue;
            m_rowKinds[row] = rowKindOf(*object, events);
            const double top = rows->topOfRow(row);
            const double height = rows->heightOfRow(row);
            if (object.get() == events) {
                for (const auto &event : events->events())
                    if (auto *bar = dynamic_cast<DMUIProjectEvent *>(event->ganttUIObject().get())) {
                        bar->setDisplayed(true);
                        bar->layoutInEventsRow(QRectF(0, top, 1, height));
                        m_shownBars.push_back(std::static_pointer_cast<DMUIProjectItem>(bar->shared_from_this()));
                    }
            } else if (viewMode == kDMProjectViewMode_Gantt) {
                const auto *item = dynamic_cast<const DMProjectItem *>(object.get());
                if (auto *bar = item ? dynamic_cast<DMUIProjectItem *>(item->ganttUIObjectPointer()) : nullptr) {
                    placeInRow(*bar, top, height);
                    // Only a row whose subitems are not all rows of their own hides bars.
                    const qsizetype subitems = item->subitems().list().size();
                    const DMOutlineItem handle = subitems ? rows->itemAtRow(row) : nullptr;
                    if (subitems
                        && !(rows->isItemExpanded(handle) && rows->numberOfChildrenOfItem(handle) == subitems))
                        parentsOfHiddenBars.push_back(m_shownBars.back());
                }
            } else if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get())) {
                // One lane of the outline's row height per lane of bars, the last one taking any
                // bar laid out in more lanes than the row has yet.
                const int laneCount = std::max(1, std::min(resource->subRowCount(), int(height) / lane));
                for (const auto &resourceBar : resource->UIObjects())
                    if (DMUIProjectItem *bar = barOf(resourceBar)) {
                        const int subRow = std::clamp(bar->resourceViewSubRow(), 0, laneCount - 1);
                        placeInRow(*bar, top + subRow * lane, lane);
                    }
            }
        }
    }
    if (viewMode == kDMProjectViewMode_Gantt)
        placeHiddenBarsOnTheirParentsRows(parentsOfHiddenBars, rowsMoved);
    m_rowKindsFresh = true;
    deferred.reset();
    // Links (and their shown state, which follows their bars') are placed when read.
    DMProjectViewObject::invalidateAllPlacements();
    if (rowsMoved)
        m_linkIndexValid = false;
    if (DMProjectView *canvas = this->canvas())
        canvas->setNeedsDisplay();
}

void DMProjectDocumentObjectViewDataSource::placeHiddenBarsOnTheirParentsRows(
    const std::vector<std::weak_ptr<DMUIProjectItem>> &parents, bool &rowsMoved)
{
    // A bar inside a collapsed process has no row: it takes the row of the shown process, so that
    // a link to it leaves that row rather than the top of the chart or a row now another item's.
    for (const std::weak_ptr<DMUIProjectItem> &weak : parents) {
        const std::shared_ptr<DMUIProjectItem> shown = weak.lock();
        const std::shared_ptr<DMProjectItem> parent = shown ? shown->representedObject() : nullptr;
        if (!parent || parent->subitems().list().isEmpty())
            continue;
        const QRectF row = shown->placedFrame();
        DMProjectItem_forEachItem(
            parent->subitems().list(),
            [&](const DMProjectItem &item) {
                DMUIProjectItem *bar = dynamic_cast<DMUIProjectItem *>(item.ganttUIObjectPointer());
                if (!bar || bar->isDisplayed())
                    return;
                if (bar->placedFrame().y() != row.y() || bar->placedFrame().height() != row.height())
                    rowsMoved = true;
                bar->setVerticalFrameRange(row.y(), row.height());
            },
            [](const DMProjectItem &item) {
                // A shown subitem's own subitems follow its row.
                const auto *bar = dynamic_cast<const DMUIProjectItem *>(item.ganttUIObjectPointer());
                return !bar || !bar->isDisplayed();
            });
    }
}

DMProjectDocumentObjectViewDataSource::RowKind DMProjectDocumentObjectViewDataSource::rowKindOf(
    const DMProjectObject &object, const DMProjectEventContainer *events)
{
    if (&object == events)
        return RowKind::Events;
    if (const auto *item = dynamic_cast<const DMProjectItem *>(&object))
        return item->kind() == kDMProjectItem_Kind_Process || item->kind() == kDMProjectItem_Kind_ItemGroup ? RowKind::Group
                                                                                                              : RowKind::Plain;
    if (const auto *resource = dynamic_cast<const DMProjectResource *>(&object); resource && resource->isGroup())
        return RowKind::Group;
    return RowKind::Plain;
}

QColor DMProjectDocumentObjectViewDataSource::rowColor(RowKind kind, bool selected)
{
    if (selected)
        return kSelectedRowColor;
    if (kind == RowKind::Events)
        return kEventsRowColor;
    if (kind == RowKind::Group)
        return kGroupRowColor;
    return QColor();
}

void DMProjectDocumentObjectViewDataSource::updateBackgroundObjectRowsColor()
{
    const std::shared_ptr<DMProject> project = m_document.project();
    const auto table = m_background ? m_background->attributes() : nullptr;
    if (!table || !project)
        return;
    const DMOutlineView *outline = m_document.projectOutlineView();
    const qint32 rows = outline ? std::min<qint32>(table->rows(), outline->numberOfRows()) : 0;
    const QList<int> selected = outline ? outline->selectedRowIndexes() : QList<int>();
    const DMProjectEventContainer *events = project->eventContainer().get();
    // Right after a vertical layout the kinds of the rows are those it read.
    const bool kindsRead = std::exchange(m_rowKindsFresh, false) && qsizetype(m_rowKinds.size()) >= rows;
    for (qint32 row = 0; row < rows; ++row) {
        const bool isSelected = std::binary_search(selected.cbegin(), selected.cend(), row);
        RowKind kind = RowKind::Plain;
        if (kindsRead)
            kind = m_rowKinds[row];
        else if (!isSelected)
            if (const std::shared_ptr<DMProjectObject> object = objectAtRow(row))
                kind = rowKindOf(*object, events);
        table->setRowBgColor(row, rowColor(kind, isSelected));
    }
    m_rowsShownSelected.assign(selected.cbegin(), selected.cend());
    if (DMProjectView *canvas = this->canvas())
        canvas->setNeedsDisplay();
}

void DMProjectDocumentObjectViewDataSource::updateBackgroundSelectedRowsColor()
{
    const std::shared_ptr<DMProject> project = m_document.project();
    const auto table = m_background ? m_background->attributes() : nullptr;
    const DMOutlineView *outline = m_document.projectOutlineView();
    if (!table || !project || !outline)
        return;
    if (table->rows() != outline->numberOfRows()) {
        updateBackgroundObjectRowsColor();
        return;
    }
    QList<int> selected = outline->selectedRowIndexes();
    std::sort(selected.begin(), selected.end());
    // The rows that joined or left the selection since the colours were set.
    std::vector<int> changed;
    std::set_symmetric_difference(m_rowsShownSelected.cbegin(), m_rowsShownSelected.cend(), selected.cbegin(),
                                  selected.cend(), std::back_inserter(changed));
    const DMProjectEventContainer *events = project->eventContainer().get();
    for (const int row : changed) {
        const bool isSelected = std::binary_search(selected.cbegin(), selected.cend(), row);
        RowKind kind = RowKind::Plain;
        if (!isSelected)
            if (const std::shared_ptr<DMProjectObject> object = objectAtRow(row))
                kind = rowKindOf(*object, events);
        table->setRowBgColor(row, rowColor(kind, isSelected));
    }
    m_rowsShownSelected.assign(selected.cbegin(), selected.cend());
    if (DMProjectView *canvas = this->canvas(); canvas && !changed.empty())
        canvas->setNeedsDisplay();
}

// ---- Outline callbacks ----

void DMProjectDocumentObjectViewDataSource::projectOutlineDidExpandOrCollapse(bool expanded, bool hasSubitems, bool restoring)
{
    // One sync 0.5 s after the last change; the bars leave the hidden rows sooner.
    if (hasSubitems)
        performSelectorAfterIdleTimeout(this, "syncProjectViewWithOutlineView", [this] { syncProjectViewWithOutlineView(); },
                                        0.5);
    if (restoring)
        return;
    m_document.markDocumentAsEdited();
    if (!expanded)
        performSelectorAfterIdleTimeout(this, "layoutObjectsVertically", [this] { layoutObjectsVertically(); }, 0.1);
}
