// DMProjectDocument: the relayout of the Gantt canvas. The frames of canvas and timeline header
// follow the shown time span and the scale; the background table follows the timeline's
// columns and the outline's rows; every bar follows its dates and its outline row.
#include "DMProjectDocument.h"
#include "DMProjectItemTree.h"

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

#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr float kMinimumPixelsPerDay = 0.1f;
constexpr int kWholeProjectTimelineMode = 4;
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

} // namespace

void DMProjectDocument::relayoutProjectView()
{
    m_relayoutTimer.stop();
    if (!m_project)
        return;
    QRectF projectViewFrame;
    QRectF timelineViewFrame;
    _computeProjectViewFrameTimelineViewFrameShouldReLayoutObjects(&projectViewFrame, &timelineViewFrame, false);
    _updateBackgroundObjectWithProjectViewFrame(projectViewFrame);
    _layoutObjects();
    _updateBackgroundObjectRowsColor();
    if (DMProjectView *canvas = m_outlets.projectView) {
        canvas->setCanvasSize(projectViewFrame.size());
        canvas->resize(projectViewFrame.size().toSize());
        canvas->setNeedsDisplay();
        canvas->resetToolTips();
    }
    if (DMTimelineView *timeline = m_outlets.timelineView) {
        timeline->resize(timelineViewFrame.size().toSize());
        timeline->update();
        timeline->resetCursorRects();
    }
}

void DMProjectDocument::_syncProjectViewWithOutlineView()
{
    m_projectViewSyncTimer.stop();
    relayoutProjectView();
}

void DMProjectDocument::reloadProjectOutlineAndRelayout()
{
    m_relayoutAfterUndoTimer.stop();
    if (m_outlets.projectOutlineView && m_project) {
        const bool restoring = m_outlets.projectOutlineViewStateRestore;
        m_outlets.projectOutlineViewStateRestore = true;
        m_outlineDataSource->reloadAndRestoreExpansionState(m_outlets.projectOutlineView);
        m_outlets.projectOutlineViewStateRestore = restoring;
    }
    m_linkIndexValid = false;
    relayoutProjectView();
}

void DMProjectDocument::timelineSettingDidChange()
{
    // Synchronous: a rendering right after the change shows the new range.
    relayoutProjectView();
}

void DMProjectDocument::itemDatesDidChange()
{
    if (m_outlets.projectOutlineView)
        m_outlets.projectOutlineView->viewport()->update();
    // Dates outside the shown span widen it; not while a drag is under way, whose geometry
    // would jump under the pointer: its mouse up relays out.
    DMProjectView *canvas = m_outlets.projectView;
    if (!m_project || (canvas && canvas->currentDragOperation() != 0))
        return;
    const DMProject_DisplayAttributes &attributes = m_project->displayAttributes();
    const DMTimelineTimeSpan shown = DMProjectTimelineDataSource_shownTimeSpan(*m_project);
    if (shown.begin != attributes.timeSpanBeginDate || shown.end != attributes.timeSpanEndDate)
        m_relayoutTimer.start();
}

// ---- The sequence ----

void DMProjectDocument::_computeProjectViewFrameTimelineViewFrameShouldReLayoutObjects(QRectF *projectViewFrame,
                                                                                       QRectF *timelineViewFrame,
                                                                                       bool shouldReLayoutObjects)
{
    if (!m_project)
        return;
    DMProject_DisplayAttributes &attributes = m_project->displayAttributes();
    bool ok = false;
    const int storedMode = m_project->attribute(kDMProject_TimelineViewMode).toInt(&ok);
    attributes.timelineViewMode = ok ? std::clamp(storedMode, 0, 4) : kWholeProjectTimelineMode;

    const DMTimelineTimeSpan span = DMProjectTimelineDataSource_shownTimeSpan(*m_project);
    const double days = double(std::max<qint64>(1, span.dayCount()));
    float pixelsPerDay = m_project->attribute(kDMProject_TimelineViewPixelsPerDay).toFloat(&ok);
    if (!ok || !std::isfinite(pixelsPerDay))
        pixelsPerDay = attributes.pixelsPerDay;
    if (!std::isfinite(pixelsPerDay) || pixelsPerDay < kMinimumPixelsPerDay)
        pixelsPerDay = kMinimumPixelsPerDay;

    const QScrollArea *scroll = m_outlets.projectViewScrollArea;
    const QSize visible = scroll ? scroll->viewport()->size() : QSize();
    // On screen the span fills at least the visible width; printing uses the stored scale.
    if (!m_outlets.isPrinting && visible.width() > 0)
        pixelsPerDay = std::max(pixelsPerDay, float(visible.width() / days));
    if (days * pixelsPerDay > kMaximumCanvasWidth)
        pixelsPerDay = std::max(kMinimumPixelsPerDay, float(kMaximumCanvasWidth / days));

    const bool changed = attributes.pixelsPerDay != pixelsPerDay || attributes.timeSpanBeginDate != span.begin
                         || attributes.timeSpanEndDate != span.end;
    attributes.pixelsPerDay = pixelsPerDay;
    attributes.timeSpanBeginDate = span.begin;
    attributes.timeSpanEndDate = span.end;

    const DMOutlineView *outline = m_outlets.projectOutlineView;
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
    if (m_outlets.isPrinting || (shouldReLayoutObjects && changed))
        _layoutObjects();
}

void DMProjectDocument::_updateBackgroundObjectWithProjectViewFrame(const QRectF &frame)
{
    const auto &background = m_outlets.projectViewBackgroundObject;
    if (!background || !m_project)
        return;
    const DMProject_DisplayAttributes &attributes = m_project->displayAttributes();
    const bool dayScale = attributes.timelineViewMode == 0;
    const DMProjectViewDateGrid grid(attributes);
    const qint64 days = std::max<qint64>(1, DMTimelineTimeSpan{attributes.timeSpanBeginDate, attributes.timeSpanEndDate}.dayCount());
    const qint32 columns = dayScale ? grid.quarterHoursPerDay() : qint32(std::min<qint64>(days, INT_MAX));

    const DMOutlineView *outline = m_outlets.projectOutlineView;
    const DMOutlineViewModel *rowsModel = outline ? outline->outlineModel() : nullptr;
    const qint32 rows = rowsModel ? rowsModel->numberOfRows() : 0;

    auto table = DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRows(columns, rows);
    table->setColumnWidth(grid.columnWidth(dayScale));
    const qint64 firstDay = attributes.timeSpanBeginDate.isNull() ? 0 : attributes.timeSpanBeginDate.julianDay();
    if (dayScale) {
        const QColor color = attributes.timeSpanBeginDate.isNull() ? QColor() : dayColor(*m_project, attributes.timeSpanBeginDate);
        for (qint32 column = 0; column < columns; ++column)
            table->setColumnBgColor(column, color);
    } else if (!attributes.timeSpanBeginDate.isNull()) {
        for (qint32 column = 0; column < columns; ++column)
            table->setColumnBgColor(column, dayColor(*m_project, DMDate::dateWithJulianDay(firstDay + column, 12 * 3600)));
    }
    for (qint32 row = 0; row < rows; ++row)
        table->setRowHeight(row, float(rowsModel->heightOfRow(row)));
    background->setFrame(frame);
    background->setAttributes(table);
}

void DMProjectDocument::_layoutObjects()
{
    if (!m_project)
        return;
    const int viewMode = m_project->displayAttributes().viewMode;
    // A bar made here is placed at once; its link lines take only bars already made, so the
    // lines whose other bar comes later are placed by _layoutObjectsVertically, after every bar.
    forEachItem(*m_project, [](DMProjectItem &item) {
        if (const auto object = item.ganttUIObject())
            object->representedObject_timeSpanChanged();
    });
    if (viewMode == kDMProjectViewMode_Resources)
        forEachResource(*m_project, [](DMProjectResource &resource) {
            for (const auto &object : resource.UIObjects())
                object->representedObject_timeSpanChanged();
        });
    _layoutObjectsVertically();
}

void DMProjectDocument::_layoutObjectsVertically()
{
    m_verticalLayoutTimer.stop();
    if (!m_project)
        return;
    const DMOutlineView *outline = m_outlets.projectOutlineView;
    const int viewMode = m_project->displayAttributes().viewMode;
    // Rows not shown (inside a collapsed process) hide their bars.
    forEachItem(*m_project, [](DMProjectItem &item) {
        if (DMUIProjectItem *bar = barOf(item.ganttUIObject()))
            bar->setDisplayed(false);
    });
    if (outline) {
        const DMOutlineViewModel *rows = outline->outlineModel();
        const int lane = std::max(1, outline->rowHeight());
        const DMProjectEventContainer *events = m_project->eventContainer().get();
        for (int row = 0; row < rows->numberOfRows(); ++row) {
            const std::shared_ptr<DMProjectObject> object = projectOutlineObjectAtRow(row);
            if (!object)
                continue;
            const double top = rows->topOfRow(row);
            const double height = rows->heightOfRow(row);
            if (object.get() == events) {
                for (const auto &event : events->events())
                    if (auto *bar = dynamic_cast<DMUIProjectEvent *>(event->ganttUIObject().get())) {
                        bar->setDisplayed(true);
                        bar->layoutInEventsRow(QRectF(0, top, 1, height));
                    }
            } else if (viewMode == kDMProjectViewMode_Gantt) {
                const auto *item = dynamic_cast<const DMProjectItem *>(object.get());
                if (DMUIProjectItem *bar = item ? barOf(item->ganttUIObject()) : nullptr) {
                    bar->setDisplayed(true);
                    const QRectF f = bar->frame();
                    bar->setFrame(QRectF(f.x(), top, f.width(), height));
                }
            } else if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get())) {
                for (const auto &resourceBar : resource->UIObjects())
                    if (DMUIProjectItem *bar = barOf(resourceBar)) {
                        bar->setDisplayed(true);
                        const QRectF f = bar->frame();
                        bar->setFrame(QRectF(f.x(), top + bar->resourceViewSubRow() * lane, f.width(), lane));
                    }
            }
        }
    }
    linkObjectsFramesDidChange();
    if (m_outlets.projectView)
        m_outlets.projectView->setNeedsDisplay();
}

void DMProjectDocument::linkObjectsFramesDidChange()
{
    // A bar whose frame did not change told its links nothing, yet its shown state may have.
    if (m_project && m_project->displayAttributes().viewMode == kDMProjectViewMode_Gantt)
        forEachItem(*m_project, [](DMProjectItem &item) {
            for (const auto &dependency : item.outboundDependencies())
                if (const auto line = dependency->ganttUIObject())
                    line->representedObject_endsChanged();
        });
    m_linkIndexValid = false;
}

void DMProjectDocument::_updateBackgroundObjectRowsColor()
{
    const auto &background = m_outlets.projectViewBackgroundObject;
    const auto table = background ? background->attributes() : nullptr;
    if (!table || !m_project)
        return;
    const DMOutlineView *outline = m_outlets.projectOutlineView;
    const qint32 rows = outline ? std::min<qint32>(table->rows(), outline->numberOfRows()) : 0;
    const QList<int> selected = outline ? outline->selectedRowIndexes() : QList<int>();
    const DMProjectEventContainer *events = m_project->eventContainer().get();
    for (qint32 row = 0; row < rows; ++row) {
        QColor color;
        const std::shared_ptr<DMProjectObject> object = projectOutlineObjectAtRow(row);
        if (std::binary_search(selected.cbegin(), selected.cend(), row))
            color = kSelectedRowColor;
        else if (object.get() == events)
            color = kEventsRowColor;
        else if (const auto *item = dynamic_cast<const DMProjectItem *>(object.get());
                 item && (item->kind() == kDMProjectItem_Kind_Process || item->kind() == kDMProjectItem_Kind_ItemGroup))
            color = kGroupRowColor;
        else if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get()); resource && resource->isGroup())
            color = kGroupRowColor;
        table->setRowBgColor(row, color);
    }
    if (m_outlets.projectView)
        m_outlets.projectView->setNeedsDisplay();
}

// ---- Outline callbacks ----

void DMProjectDocument::projectOutlineDidExpandOrCollapse(bool expanded, bool hasSubitems, bool restoring)
{
    if (hasSubitems)
        m_projectViewSyncTimer.start(); // restarts: one sync 0.5 s after the last change
    if (restoring)
        return;
    markDocumentAsEdited();
    if (!expanded)
        m_verticalLayoutTimer.start();
}
