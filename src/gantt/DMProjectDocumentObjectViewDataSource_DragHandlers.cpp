// DMProjectDocumentObjectViewDataSource as the delegate of the canvas's drag handlers: creating
// an item by dragging on the empty canvas, and moving a bar to another resource's row in the
// resource view.
#include "DMProjectDocumentObjectViewDataSource.h"

#include "DMBeep.h"
#include "DMGanttDocumentHooks.h"
#include "DMProjectDocumentHooks.h"
#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewDateGrid.h"
#include "DMProjectViewDragHandlerObject.h"
#include "DMUIProjectTask.h"
#include "DMUndoManager.h"

#include <cmath>
#include <stdexcept>

namespace {

constexpr double kCreateDragThreshold = 2.0;
constexpr qint32 kDayOfSeconds = 86400;
const DMDate kEarliestDate(1970, 1, 1, 0);

// Gives the new item its dates as its first, unrecorded change: the one-day fallback when
// the model refuses the pair. False when the item cannot have usable dates at all.
bool giveNewItemDates(DMProjectItem &item, const DMDate &begin, const DMDate &end)
{
    try {
        item.setBeginDateAndEndDate(begin, end);
    } catch (const std::exception &exception) {
        qWarning("An exception occured: %s", exception.what());
        try {
            item.setBeginDateAndEndDate(begin, item.hasEqualDates() ? begin : begin.dateByAddingSeconds(kDayOfSeconds));
        } catch (const std::exception &fallback) {
            qWarning("An exception occured: %s", fallback.what());
            return false;
        }
    }
    // The validated edits refuse dates before 1970; a new item is held to the same rule.
    return !(item.beginDate() < kEarliestDate);
}

} // namespace

void DMProjectDocumentObjectViewDataSource::dragHandlerObjectDidUpdate(DMProjectViewDragHandlerObject *handler)
{
    if (!handler)
        return;
    if (handler->dragOperation() == DMProjectViewDragOperation::CreateItem)
        createItemByDragging(handler);
    else if (handler->dragOperation() == DMProjectViewDragOperation::MoveItem)
        moveBarToResourceRow(handler);
}

void DMProjectDocumentObjectViewDataSource::createItemByDragging(DMProjectViewDragHandlerObject *handler)
{
    DMProjectView *canvas = this->canvas();
    const std::shared_ptr<DMProject> project = m_document.project();
    DMUndoManager *undo = m_document.undoManager();
    if (!project || !canvas || !undo)
        return;
    // The handler keeps the press point as its start; the anchor that slides off non-working
    // days is kept here, for this handler's drag only.
    if (m_createDragHandler.lock().get() != handler) {
        m_createDragHandler = handler->weak_from_this();
        m_createDragAnchor = handler->startPoint();
    }
    const QPointF s = m_createDragAnchor;
    const QPointF q = handler->dragPoint();
    if (std::abs(q.x() - s.x()) < kCreateDragThreshold)
        return;
    const DMDate d1 = projectViewDateForPoint(canvas, s);
    const DMDate d2 = projectViewDateForPoint(canvas, q);
    if (d1.isNull() || d2.isNull())
        return;
    if (!project->isWorkingDay(d1)) {
        m_createDragAnchor = q;
        handler->setStartPoint(q);
        return;
    }
    if (!project->isWorkingDay(d2))
        return;

    const DMProject_DisplayAttributes &display = project->displayAttributes();
    const DMProjectViewDateGrid grid(display);
    int origin = 0;
    const int interval = createByDragRoundingInterval(grid, &origin);
    const int threshold = grid.snapThresholdSeconds();
    const bool towardsRight = q.x() > s.x();
    // The anchor takes the scale's interval, the end under the pointer the drag's 300 s.
    const auto rounded = [&](const DMDate &date, int roundingInterval, int snap, int intervalOrigin) {
        return project->dateByRoundingDateToIntervalSnapOption(date, roundingInterval, snap, threshold, intervalOrigin);
    };
    const DMDate begin = towardsRight ? rounded(d1, interval, kDMProjectView_SnapBegin, origin)
                                      : rounded(d2, kDMProjectView_DragRoundingInterval, kDMProjectView_SnapBegin, 0);
    const DMDate end = towardsRight ? rounded(d2, kDMProjectView_DragRoundingInterval, kDMProjectView_SnapEnd, 0)
                                    : rounded(d1, interval, kDMProjectView_SnapEnd, origin);
    // The pointer has not yet left the anchor's rounded span (dragging left from the middle of a
    // working day, whose end anchor rounds down to the day's begin): nothing is made for this
    // step, rather than a day-long item the pointer never drew.
    if (!(begin < end))
        return;
    const qint32 followUp = towardsRight ? DMProjectViewDragOperation::ChangeEnd : DMProjectViewDragOperation::ChangeBegin;

    // What the row under the anchor takes.
    const std::shared_ptr<DMProjectObject> rowObject = objectAtRow(projectOutlineRowAtCanvasY(s.y()));
    const int viewMode = display.viewMode;
    const bool eventsRow = rowObject && rowObject == project->eventContainer();
    std::shared_ptr<DMProjectItem> item;
    std::shared_ptr<DMProjectResource> resource;
    if (eventsRow) {
        item = std::make_shared<DMProjectEvent>();
        item->setTitle(DMLocalizedString("New Event"));
    } else if (viewMode == kDMProjectViewMode_Resources) {
        resource = std::dynamic_pointer_cast<DMProjectResource>(rowObject);
        if (!resource || resource->isGroup())
            return;
        item = std::make_shared<DMProjectTask>();
        item->setTitle(DMLocalizedString("New Task"));
    } else if (viewMode == kDMProjectViewMode_Gantt) {
        item = std::make_shared<DMProjectTask>();
        item->setTitle(DMLocalizedString("New Task"));
    } else {
        return;
    }

    // The first dates make no undo step of their own; the insertion is the step.
    item->setProject(project);
    undo->disableRegistrationWithFenceOffKey(
        DMUndoManager::fenceOffKeyForObject(item.get(), "setBeginDateAndEndDate"));
    if (!giveNewItemDates(*item, begin, end)) {
        // Refused: nothing joins the project, and this drag creates nothing more.
        DMBeep();
        handler->setDelegate(nullptr);
        return;
    }

    undo->beginUndoGrouping();
    if (eventsRow) {
        project->eventContainer()->events().append(std::static_pointer_cast<DMProjectEvent>(item));
    } else if (resource) {
        project->tasks().append(item);
        std::static_pointer_cast<DMProjectTask>(item)->addResource(resource);
    } else {
        const auto rowItem = std::dynamic_pointer_cast<DMProjectItem>(rowObject);
        if (!rowItem) {
            project->tasks().append(item);
        } else if (rowItem->kind() == kDMProjectItem_Kind_Process || rowItem->kind() == kDMProjectItem_Kind_ItemGroup) {
            rowItem->subitems().insert(0, item);
        } else {
            const auto parent = rowItem->parentItem();
            auto &list = parent ? parent->subitems() : project->tasks();
            const qsizetype index = list.indexOf(rowItem);
            list.insert(index < 0 ? list.size() : index, item);
        }
    }
    const QString actionName = eventsRow ? DMLocalizedString("New Event") : DMLocalizedString("New Task");
    undo->setActionName(actionName);
    undo->endUndoGrouping();
    // The drag's group, open since the press, holds the resize that follows under this name.
    if (m_dragUndoGroup == undo)
        m_dragUndoGroupName = actionName;

    reloadProjectOutlineAndRelayout();

    std::shared_ptr<DMProjectItemUIObject> created = resource ? std::static_pointer_cast<DMProjectTask>(item)->resourceUIObject(resource.get())
                                                              : item->ganttUIObject();
    const auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(created);
    if (bar && !canvas->convertRectFromViewToCanvas(canvas->visibleRegion().boundingRect()).contains(bar->boundingBox()))
        canvas->scrollRectToVisible(canvas->convertRectFromCanvasToView(bar->boundingBox()));

    // From here the drag resizes the new bar at the end that follows the pointer.
    handler->setDragOperation(followUp);
    handler->setTargetUIObject(bar);
    handler->setStartPoint(q);
    handler->setDelegate(nullptr);
    if (bar) {
        canvas->selectObjectInLayerExtendSelection(bar, kDMProjectViewLayer_Items, false);
        // The bar measures a drag from where it first sees it: let it see this one start on the
        // date of the end that follows the pointer, so that end stays under the pointer.
        // (The relayout above may have moved the grid.)
        const DMProjectViewDateGrid laidOut(project->displayAttributes());
        const QPointF grip(laidOut.xForDate(towardsRight ? item->endDate() : item->beginDate()), q.y());
        const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), canvas->lastMouseDownEvent().eventNumber());
        bar->handleDragOperation(followUp, grip, grip, step, canvas);
    }
    m_document.updateItemsArrayWithTag(eventsRow ? DMPage::EventsPage : DMPage::ItemsTasksPage);
}

void DMProjectDocumentObjectViewDataSource::moveBarToResourceRow(DMProjectViewDragHandlerObject *handler)
{
    const std::shared_ptr<DMProject> project = m_document.project();
    DMUndoManager *undo = m_document.undoManager();
    if (!project || !undo || project->displayAttributes().viewMode != kDMProjectViewMode_Resources)
        return;
    const auto bar = std::dynamic_pointer_cast<DMUIProjectTask>(handler->targetUIObject());
    const auto resource = std::dynamic_pointer_cast<DMProjectResource>(
        objectAtRow(projectOutlineRowAtCanvasY(handler->dragPoint().y())));
    const auto task = bar ? std::dynamic_pointer_cast<DMProjectTask>(bar->representedObject()) : nullptr;
    if (!resource || resource->isGroup() || !task || task->isAssignedToResource(resource.get()))
        return;
    DMProjectResource *old = bar->resourceViewResource();
    const auto oldResource = old ? std::static_pointer_cast<DMProjectResource>(old->shared_from_this()) : nullptr;

    undo->beginUndoGrouping();
    task->addResource(resource);
    const auto moved = std::dynamic_pointer_cast<DMUIProjectItem>(task->resourceUIObject(resource.get()));
    handler->setTargetUIObject(moved);
    if (oldResource)
        task->removeResource(oldResource);
    undo->setActionName(DMLocalizedString("Move"));
    undo->endUndoGrouping();

    reloadProjectOutlineAndRelayout();
    if (moved && canvas())
        canvas()->selectObjectInLayerExtendSelection(moved, kDMProjectViewLayer_Items, false);
}

void DMProjectDocumentObjectViewDataSource::moveSelectedBarsBetweenResourceRows(int direction)
{
    DMProjectView *canvas = this->canvas();
    DMUndoManager *undo = m_document.undoManager();
    if (!m_document.project() || !canvas || !undo)
        return;
    DMBaseObjectList selection;
    bool changed = false;
    undo->beginUndoGrouping();
    for (const auto &object : canvas->selectedObjects()) {
        const auto bar = std::dynamic_pointer_cast<DMUIProjectTask>(object);
        const auto task = bar ? std::dynamic_pointer_cast<DMProjectTask>(bar->representedObject()) : nullptr;
        DMProjectResource *old = bar ? bar->resourceViewResource() : nullptr;
        const int row = bar ? projectOutlineRowAtCanvasY(bar->frame().y()) : -1;
        const auto target = row >= 0 ? std::dynamic_pointer_cast<DMProjectResource>(objectAtRow(row + direction)) : nullptr;
        if (!task || !old || !target || target->isGroup() || task->isAssignedToResource(target.get())) {
            selection.append(object);
            continue;
        }
        task->addResource(target);
        task->removeResource(std::static_pointer_cast<DMProjectResource>(old->shared_from_this()));
        changed = true;
        if (const auto moved = std::dynamic_pointer_cast<DMBaseObject>(task->resourceUIObject(target.get())))
            selection.append(moved);
    }
    if (changed)
        undo->setActionName(DMLocalizedString("Move"));
    undo->endUndoGrouping();
    if (changed)
        reloadProjectOutlineAndRelayout();
    canvas->setSelectedObjectsInLayer(selection, kDMProjectViewLayer_Items);
}
