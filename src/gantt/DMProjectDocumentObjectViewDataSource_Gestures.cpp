// DMProjectDocumentObjectViewDataSource as the Gantt canvas's delegate: what a press starts,
// what a release finishes, keys, zoom, and the date under a canvas point.
#include "DMProjectDocumentObjectViewDataSource.h"

#include "DMBeep.h"
#include "DMDelayedCall.h"
#include "DMGanttDocumentHooks.h"
#include "DMObjectViewDragOperation.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMProjectViewBackgroundObject.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewDateGrid.h"
#include "DMProjectViewDragHandlerObject.h"
#include "DMProjectTimelineDataSource.h"
#include "DMSavedLinkStyle.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectPendingDependency.h"
#include "DMUIProjectTask.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"

#include <QDateTime>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNudgeMinimumStep = 2.0;
constexpr double kNudgeMaximumStep = 10.0;
constexpr double kNudgeGrowth = 1.1;

} // namespace

// ---- Pure rules ----

int DMProjectDocumentObjectViewDataSource::createByDragRoundingInterval(const DMProjectViewDateGrid &grid, int *originSecond)
{
    const int window = grid.windowSeconds();
    const double perDay = grid.pixelsPerDay();
    const double secondsPerPixel = grid.secondsPerPixel();
    int interval = 300;
    int origin = 0;
    if (secondsPerPixel >= 1800)
        interval = 7200;
    else if (secondsPerPixel >= 900)
        interval = 3600;
    else if (secondsPerPixel >= 300)
        interval = 1800;
    if (perDay <= 40.0) {
        interval = perDay <= 20.0 ? window : window / 2; // a whole or half working day
        origin = grid.windowBeginSecond();
    }
    if (originSecond)
        *originSecond = origin;
    return std::max(interval, 300);
}

float DMProjectDocumentObjectViewDataSource::magnifiedPixelsPerDay(float pixelsPerDay, double magnification)
{
    const double current = std::isfinite(pixelsPerDay) && pixelsPerDay > 0 ? pixelsPerDay : 1.0;
    const double change = std::isfinite(magnification) ? magnification : 0.0;
    const double exponent = std::clamp(std::log10(current) + change, 0.0, 2.0);
    return float(std::pow(10.0, exponent));
}

double DMProjectDocumentObjectViewDataSource::nextNudgeStep(double lastStep, bool rightArrow)
{
    const double last = std::isfinite(lastStep) ? std::abs(lastStep) : 0.0;
    const double step = std::clamp(last * kNudgeGrowth, kNudgeMinimumStep, kNudgeMaximumStep);
    return rightArrow ? step : -step;
}

DMDate DMProjectDocumentObjectViewDataSource::projectViewDateForPoint(DMProjectView *, QPointF point) const
{
    const std::shared_ptr<DMProject> project = m_document.project();
    return project ? DMProjectViewDateGrid(project->displayAttributes()).dateForX(point.x()) : DMDate();
}

int DMProjectDocumentObjectViewDataSource::viewModeForProjectView(DMProjectView *) const
{
    const std::shared_ptr<DMProject> project = m_document.project();
    return project ? project->displayAttributes().viewMode : kDMProjectViewMode_Gantt;
}

void DMProjectDocumentObjectViewDataSource::editLater(const std::shared_ptr<DMProjectViewObject> &object,
                                                     void (DMProjectViewObject::*edit)(DMProjectView *))
{
    performAfterDelay(this, 0.1, [this, edit, weak = std::weak_ptr<DMProjectViewObject>(object)] {
        if (const auto target = weak.lock(); target && canvas())
            (target.get()->*edit)(canvas());
    });
}

// ---- Press ----

qint32 DMProjectDocumentObjectViewDataSource::objectViewDragOperationForPointWithObject(DMObjectView *view, QPointF point,
                                                                    const std::shared_ptr<DMBaseObject> &object)
{
    auto *canvas = qobject_cast<DMProjectView *>(view);
    if (!canvas || !m_document.project())
        return DMObjectViewDragOperation::None;

    if (!object || object == m_background) {
        // Option (Alt) starts the rubber band, and so does Shift: most Linux window managers
        // take Alt with a drag to move the window, so Alt alone may never reach the canvas.
        const DMEvent &press = canvas->lastMouseDownEvent();
        if (press.hasModifier(DMEvent::Option) || press.hasModifier(DMEvent::Shift))
            return DMObjectViewDragOperation::RubberBand;
        // What the drag creates, and the resize of it that follows, are one undo step.
        openDragUndoGroup();
        auto handler = DMProjectViewDragHandlerObject::dragHandlerObjectWithPointAndDragOperation(
            point, DMProjectViewDragOperation::CreateItem);
        handler->setFlags(DMProjectViewDragHandlerObject::FollowX | DMProjectViewDragHandlerObject::FollowY);
        handler->setDelegate(this);
        m_createDragHandler = handler;
        m_createDragAnchor = point;
        canvas->setDragOperationConcernedObjects({handler});
        return handler->dragOperation();
    }

    if (const auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(object)) {
        const qint32 operation = bar->dragOperationForPoint(point, canvas);
        if (operation == DMProjectViewDragOperation::LinkFromBegin || operation == DMProjectViewDragOperation::LinkFromEnd) {
            // At most one pending link: one whose release never came is dropped first.
            if (m_pendingDependency) {
                canvas->setNeedsDisplayInRect(canvas->convertRectFromCanvasToView(m_pendingDependency->boundingBox()));
                std::exchange(m_pendingDependency, nullptr)->setToObject(nullptr);
            }
            auto pending = std::make_shared<DMUIProjectPendingDependency>(QRectF(point, QSizeF(1, 1)));
            pending->setFromObject(bar);
            pending->setSource(operation == DMProjectViewDragOperation::LinkFromBegin
                                   ? DMUIProjectPendingDependency::kSourceStartSide
                                   : DMUIProjectPendingDependency::kSourceFinishSide);
            pending->setViewModeVisibility(kDMProjectViewMode_Gantt);
            pending->setStartPointEndPoint(point, point);
            m_pendingDependency = pending;
            canvas->setDragOperationConcernedObjects({pending});
            return pending->dragOperationForPoint(point, canvas);
        }
        if (!bar->isSelected())
            canvas->selectObjectInLayerExtendSelection(bar, kDMProjectViewLayer_Items,
                                                       canvas->lastMouseDownEvent().hasModifier(DMEvent::Shift));
        if (operation != DMProjectViewDragOperation::MoveItem) {
            if (operation >= DMObjectViewDragOperation::FirstObjectOperation) {
                canvas->setDragOperationConcernedObjects({bar});
                openDragUndoGroup();
            }
            return operation;
        }
        openDragUndoGroup();
        const DMBaseObjectList selection = canvas->selectedObjects();
        const bool allTaskBars = std::all_of(selection.cbegin(), selection.cend(), [](const auto &selected) {
            return dynamic_cast<const DMUIProjectTask *>(selected.get()) != nullptr;
        });
        if (allTaskBars && selection.size() >= 2) {
            canvas->setDragOperationConcernedObjects(selection);
            return DMProjectViewDragOperation::MoveItem;
        }
        auto handler = DMProjectViewDragHandlerObject::dragHandlerObjectWithPointAndDragOperation(
            point, DMProjectViewDragOperation::MoveItem);
        handler->setDelegate(this);
        std::shared_ptr<DMProjectViewObject> target = bar;
        if (selection.size() == 1)
            if (auto single = std::dynamic_pointer_cast<DMUIProjectTask>(selection.first()))
                target = single;
        handler->setTargetUIObject(target);
        handler->setFlags(DMProjectViewDragHandlerObject::FollowX | DMProjectViewDragHandlerObject::FollowY
                          | DMProjectViewDragHandlerObject::LockToDominantAxis);
        canvas->setDragOperationConcernedObjects({handler});
        return DMProjectViewDragOperation::MoveItem;
    }

    if (const auto line = std::dynamic_pointer_cast<DMUIProjectDependency>(object))
        return line->dragOperationForPoint(point, canvas);
    return DMObjectViewDragOperation::None;
}

// ---- Release ----

void DMProjectDocumentObjectViewDataSource::objectViewWillFinishDragOperationWithRect(DMObjectView *view, qint32 operation, const QRectF &)
{
    if (operation != DMProjectViewDragOperation::CreateItem || !view)
        return;
    const DMBaseObjectList objects = view->currentDragOperationConcernedObjects();
    const auto handler = objects.size() == 1 ? std::dynamic_pointer_cast<DMProjectViewDragHandlerObject>(objects.first())
                                             : nullptr;
    if (!handler)
        return;
    // The new item's title is typed next: its inspector takes the keyboard.
    if (const auto target = handler->targetUIObject())
        editLater(target, &DMProjectViewObject::editNewObjectInView);
    else
        view->deselectAll();
}

void DMProjectDocumentObjectViewDataSource::objectViewDidFinishDragOperationWithRect(DMObjectView *view, qint32 operation, const QRectF &)
{
    m_createDragHandler.reset();
    if (m_pendingDependency) {
        // Every release ends the link being drawn, also one reported as a double click (the
        // second press of a double click on a link handle starts a link too).
        linkPendingDependency();
    } else if (operation == DMObjectViewDragOperation::DoubleClick) {
        editSelectedObjectInView(view);
    }
    // A drag may have moved dates past the shown span: widen it now that the gesture is over.
    itemDatesDidChange();
    if (view)
        view->setNeedsDisplay();
    closeDragUndoGroup();
}

// From press to release a drag is one undo step, however long its steps take: without the
// group, a step that came more than the undo manager's fence time after the one before would
// start a step of its own.
void DMProjectDocumentObjectViewDataSource::openDragUndoGroup()
{
    closeDragUndoGroup();
    if (DMUndoManager *undo = m_document.undoManager()) {
        undo->beginUndoGrouping();
        m_dragUndoGroup = undo;
    }
}

// The name an item made by the drag gave the step wins over the names of the resize steps
// that followed it in the same group.
void DMProjectDocumentObjectViewDataSource::closeDragUndoGroup()
{
    const QPointer<DMUndoManager> undo = std::exchange(m_dragUndoGroup, nullptr);
    const QString name = std::exchange(m_dragUndoGroupName, QString());
    if (!undo)
        return;
    if (!name.isEmpty())
        undo->setActionName(name);
    undo->endUndoGrouping();
}

void DMProjectDocumentObjectViewDataSource::linkPendingDependency()
{
    const std::shared_ptr<DMUIProjectPendingDependency> pending = std::exchange(m_pendingDependency, nullptr);
    if (!pending)
        return;
    const auto fromBar = pending->fromObject();
    const auto toBar = pending->toObject();
    pending->setToObject(nullptr); // the target's highlight goes with the line
    DMUndoManager *undo = m_document.undoManager();
    if (!m_document.project() || !undo)
        return;
    const auto from = fromBar ? fromBar->representedObject() : nullptr;
    const auto to = toBar ? toBar->representedObject() : nullptr;
    if (!from || !to)
        return; // released over nothing
    undo->beginUndoGrouping();
    const std::shared_ptr<DMProjectDependency> dependency = from->addOutboundDependencyToItem(to);
    if (dependency) {
        dependency->setKind(pending->linkKind());
        DMSavedLinkStyle::applySavedStyleToDependency(*dependency);
        from->enforceLinkedItemsConstrainedDates();
    }
    undo->setActionName(QStringLiteral("Link"));
    undo->endUndoGrouping();
    if (!dependency) {
        DMBeep(); // a cycle or a duplicate
        return;
    }
    m_linkIndexValid = false;
    if (const auto line = std::dynamic_pointer_cast<DMProjectViewObject>(dependency->ganttUIObject())) {
        // The new link is selected, as a new item is, so that the inspector opening on it shows
        // what the chart shows selected.
        if (DMProjectView *view = canvas())
            view->selectObjectInLayerExtendSelection(line, kDMProjectViewLayer_Links, false);
        editLater(line, &DMProjectViewObject::editInView);
    }
}

// ---- Keys ----

void DMProjectDocumentObjectViewDataSource::objectViewReceivedKeyEvent(DMObjectView *view, const DMEvent &event)
{
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!view || !project)
        return;
    // X11 sends a release before every auto-repeated press: those releases are not the key
    // going up, so a held arrow keeps its series and Delete acts once.
    if (event.type() == DMEvent::KeyUp && event.isARepeat())
        return;
    const bool down = event.type() == DMEvent::KeyDown;
    const bool up = event.type() == DMEvent::KeyUp;
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (down || up)
            keyboardItemDragWithEvent(event);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (down && project->displayAttributes().viewMode == kDMProjectViewMode_Resources)
            moveSelectedBarsBetweenResourceRows(event.key() == Qt::Key_Up ? -1 : 1);
        break;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (up)
            m_document.deleteSelectedItem();
        break;
    default:
        break;
    }
}

void DMProjectDocumentObjectViewDataSource::keyboardItemDragWithEvent(const DMEvent &event)
{
    DMProjectView *canvas = this->canvas();
    const double step = nextNudgeStep(m_lastNudgeStep, event.key() == Qt::Key_Right);
    m_lastNudgeStep = step;
    const DMEvent &last = m_lastSyntheticEvent;
    QPointF location(0, 0);
    qint64 number = 0;
    if (last.type() != DMEvent::NoEvent) {
        location = last.locationInWindow() + QPointF(step, 0);
        number = last.eventNumber();
    } else {
        // A number of its own for the series: the bars take all its steps as one move. Two
        // series begun within one millisecond still get different numbers.
        number = QDateTime::currentMSecsSinceEpoch() % std::numeric_limits<qint64>::max();
        if (number <= m_lastNudgeSeriesNumber)
            number = m_lastNudgeSeriesNumber + 1;
        m_lastNudgeSeriesNumber = number;
        // Like a drag, the series is one undo step until the key goes up, also when the bars
        // stay snapped to a day's end for longer than the undo manager's fence time.
        openDragUndoGroup();
    }
    const DMEvent synthetic = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, location, number, DMEvent::NoModifier, 1, step, 0.0);
    m_lastSyntheticEvent = synthetic;
    if (canvas) {
        // The steps of a series, each in a turn of its own, are one continuous edit.
        const DMUndoManager::ContinuousEdit edit(m_document.undoManager(), quint64(number));
        const DMBaseObjectList selection = canvas->selectedObjects();
        for (const auto &object : selection)
            if (auto *bar = dynamic_cast<DMUIProjectItem *>(object.get()))
                bar->handleDragOperation(DMProjectViewDragOperation::MoveItem, QPointF(0, 0), location, synthetic, canvas);
    }
    if (event.type() == DMEvent::KeyUp)
        endKeyboardNudgeSeries();
}

void DMProjectDocumentObjectViewDataSource::endKeyboardNudgeSeries()
{
    if (m_lastSyntheticEvent.type() == DMEvent::NoEvent)
        return;
    m_lastSyntheticEvent = DMEvent();
    m_lastNudgeStep = 0.0;
    closeDragUndoGroup();
}

// ---- Zoom ----

void DMProjectDocumentObjectViewDataSource::objectViewMagnifyWithEvent(DMObjectView *, const DMEvent &event)
{
    const std::shared_ptr<DMProject> project = m_document.project();
    DMUndoManager *undo = m_document.undoManager();
    if (!project || !undo)
        return;
    const DMProject_DisplayAttributes &display = project->displayAttributes();
    float pixelsPerDay = magnifiedPixelsPerDay(display.pixelsPerDay, event.magnification());
    // The scale kept is the one the canvas will show over the span it shows, so that an edit
    // that later lengthens the span leaves it as the user chose it.
    if (const DMTimelineTimeSpan shown{display.timeSpanBeginDate, display.timeSpanEndDate}; shown.isValid())
        pixelsPerDay = shownPixelsPerDay(pixelsPerDay, double(std::max<qint64>(1, shown.dayCount())));

    // The date under the pointer stays under it: where it lies in the visible part, before.
    DMProjectView *view = canvas();
    QScrollArea *scroll = m_document.projectViewScrollArea();
    DMDate anchor;
    double anchorInViewport = 0.0;
    if (view && scroll && view->window()) {
        const QPointF inView = view->mapFrom(view->window(), event.locationInWindow());
        anchor = DMProjectViewDateGrid(display).dateForX(view->convertPointFromViewToCanvas(inView).x());
        anchorInViewport = view->mapTo(scroll->viewport(), inView).x();
    }

    // The scale is a view setting: no undo step; the document's observer relays out at once.
    {
        const DMUndoRegistrationPause pause(undo);
        project->setAttribute(kDMProject_TimelineViewPixelsPerDay, QVariant::fromValue(pixelsPerDay));
    }

    if (anchor.isNull() || !view || !scroll)
        return;
    const double x = DMProjectViewDateGrid(project->displayAttributes()).xForDate(anchor);
    const double inView = view->convertRectFromCanvasToView(QRectF(x, 0, 0, 0)).x();
    scroll->horizontalScrollBar()->setValue(int(std::lround(inView - anchorInViewport)));
}
