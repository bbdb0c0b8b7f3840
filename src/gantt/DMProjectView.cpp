#include "DMProjectView.h"

#include "DMDelayedCall.h"
#include "DMObjectViewDataSource.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewDelegate.h"
#include "DMProjectViewObject.h"
#include "DMUIProjectItem.h"

#include <QHelpEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QToolTip>

#include <stdexcept>

namespace {

constexpr double kAutoscrollInterval = 0.1;
// Where the pointer is taken to be when it leaves the view: over nothing.
const QPointF kOutsidePoint(-10, -10);

} // namespace

DMProjectView::DMProjectView(QWidget *parent)
    : DMObjectView(parent)
{
    setMouseTracking(true);
}

// The autoscroll ticks are tied to this object and go with it.
DMProjectView::~DMProjectView()
{
    m_isFinished = true;
    setHoveredObject(nullptr);
    m_autoscrolling = false;
    m_lastMouseDraggedEvent.reset();
}

DMBaseObjectList DMProjectView::currentDragOperationConcernedObjects() const
{
    return DMObjectView::currentDragOperationConcernedObjects();
}

// ---- Redraw ----

void DMProjectView::setNeedsDisplayInRect(const QRectF &rect)
{
    if (m_isFinished || !delegate() || !datasource())
        return;
    try {
        if (m_redrawObserver)
            m_redrawObserver(rect);
        DMObjectView::setNeedsDisplayInRect(rect);
    } catch (const std::exception &exception) {
        qWarning("An exception occured: %s", exception.what());
    }
}

void DMProjectView::setNeedsDisplay()
{
    if (!m_isFinished)
        update();
}

void DMProjectView::projectViewObjectBoundingBoxDidChangeFromTo(DMProjectViewObject *, const QRectF &from,
                                                                const QRectF &to)
{
    setNeedsDisplayInRect(convertRectFromCanvasToView(from));
    if (to != from)
        setNeedsDisplayInRect(convertRectFromCanvasToView(to));
}

void DMProjectView::projectViewObjectNeedsUpdateWithBoundingBox(DMProjectViewObject *, const QRectF &box)
{
    setNeedsDisplayInRect(convertRectFromCanvasToView(box));
}

void DMProjectView::projectViewObjectWillBePlacedAgain(DMProjectViewObject *)
{
    if (m_isFinished || !delegate() || !datasource())
        return;
    if (m_redrawObserver)
        m_redrawObserver(QRectF(visibleRegion().boundingRect()));
    setNeedsDisplayOfVisibleRect();
}

// ---- Selection ----

void DMProjectView::setSelectedObjectsInLayer(const DMBaseObjectList &objects, quint16 layer)
{
    DMObjectViewDelegate *viewDelegate = delegate();
    if (!viewDelegate)
        return;
    DMBaseObjectList &selection = mutableSelectedObjects();
    for (const auto &object : std::exchange(selection, {})) {
        object->setSelected(false);
        setNeedsDisplayInRect(convertRectFromCanvasToView(object->boundingBox().adjusted(-5, -5, 5, 5)));
    }
    for (const auto &object : objects) {
        if (!object || selection.contains(object))
            continue;
        if (!viewDelegate->objectViewShouldSelectObjectInLayer(this, object, quint16(layer & 0xFFFF)))
            continue;
        object->setSelected(true);
        selection.append(object);
        setNeedsDisplayInRect(convertRectFromCanvasToView(object->boundingBox().adjusted(-5, -5, 5, 5)));
    }
    viewDelegate->objectViewSelectionDidChange(this);
}

void DMProjectView::selectAll(QObject *)
{
    selectObjectsInRectExtendSelectionEditSelection(convertRectFromViewToCanvas(QRectF(rect())), false, false);
}

// ---- Hover and context menu ----

std::shared_ptr<DMBaseObject> DMProjectView::objectAtViewPoint(QPointF viewPoint, quint16 *layer)
{
    quint16 hitLayer = 0;
    std::shared_ptr<DMBaseObject> hit = hitTestObjectAtPoint(convertPointFromViewToCanvas(viewPoint), &hitLayer);
    // The background answers every point; it is never hovered.
    if (hit && hitLayer == kDMProjectViewLayer_Background)
        return nullptr;
    if (layer)
        *layer = hitLayer;
    return hit;
}

void DMProjectView::setHoveredObject(const std::shared_ptr<DMProjectViewObject> &object)
{
    const std::shared_ptr<DMProjectViewObject> previous = m_hoveredObject.lock();
    if (previous && previous != object)
        previous->setHovered(false);
    m_hoveredObject = object;
    if (object)
        object->setHovered(true);
}

void DMProjectView::mouseMovedToPoint(QPointF viewPoint)
{
    m_mouseMovedLastLocation = viewPoint;
    if (!delegate() || !datasource())
        return;
    const auto object = std::dynamic_pointer_cast<DMProjectViewObject>(objectAtViewPoint(m_mouseMovedLastLocation));
    setHoveredObject(object);
    if (!object) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    const qint32 operation = object->dragOperationForPoint(convertPointFromViewToCanvas(m_mouseMovedLastLocation), this);
    // The data source may have gone while the object answered.
    const std::optional<QCursor> cursor =
        datasource() ? datasource()->objectViewCursorForDragOperation(this, operation) : std::nullopt;
    if (!cursor)
        setCursor(Qt::ArrowCursor);
    else if (cursor->shape() == Qt::ClosedHandCursor)
        setCursor(Qt::OpenHandCursor); // the closed hand only while a move is dragged
    else
        setCursor(*cursor);
}

bool DMProjectView::presentsContextMenuFromEvent(const DMEvent &event)
{
    if (!delegate() || !datasource())
        return false;
    quint16 layer = 0;
    const std::shared_ptr<DMBaseObject> hit = objectAtViewPoint(viewPointForEvent(event), &layer);
    auto *object = dynamic_cast<DMProjectViewObject *>(hit.get());
    if (!object)
        return false;
    // The menu's commands and the inspector act on the object the menu is opened on: it becomes
    // the selection first, unless it is part of it already.
    if (!hit->isSelected())
        selectObjectInLayerExtendSelection(hit, layer, false);
    return delegate() && object->presentsContextMenuFromEventInViewWithDelegate(event, this, delegate());
}

// ---- Mouse ----

void DMProjectView::mouseDown(const DMEvent &event)
{
    m_lastMouseDownEvent = event;
    DMObjectView::mouseDown(event);
}

void DMProjectView::mouseDragged(const DMEvent &event)
{
    if (!m_autoscrolling) {
        m_autoscrolling = true;
        ++m_autoscrollRun;
        scheduleAutoscrollTick();
    }
    m_lastMouseDraggedEvent = event;
    DMObjectView::mouseDragged(event);
}

void DMProjectView::scheduleAutoscrollTick()
{
    performAfterDelay(this, kAutoscrollInterval, [this, run = m_autoscrollRun] {
        if (!m_autoscrolling || run != m_autoscrollRun)
            return;
        autoscrollTimerFired();
        if (m_autoscrolling && run == m_autoscrollRun)
            scheduleAutoscrollTick();
    });
}

void DMProjectView::autoscrollTimerFired()
{
    if (!m_lastMouseDraggedEvent) {
        m_autoscrolling = false;
        return;
    }
    // A copy: the drag step may end the gesture and drop the stored event.
    const DMEvent event = *m_lastMouseDraggedEvent;
    autoscrollWithEvent(event);
    DMObjectView::mouseDragged(event);
}

void DMProjectView::autoscrollWithEvent(const DMEvent &event)
{
    const QPointF point = viewPointForEvent(event);
    const QRect visible = visibleRegion().boundingRect();
    if (visible.isEmpty() || visible.contains(point.toPoint()))
        return;
    scrollRectToVisible(QRectF(point.x() - 1, point.y() - 1, 2, 2));
}

void DMProjectView::mouseUp(const DMEvent &event)
{
    DMObjectView::mouseUp(event);
    m_autoscrolling = false;
    m_lastMouseDraggedEvent.reset();
}

void DMProjectView::mouseMoved(const DMEvent &event)
{
    mouseMovedToPoint(viewPointForEvent(event));
}

void DMProjectView::mouseEntered(const DMEvent &event)
{
    mouseMovedToPoint(viewPointForEvent(event));
}

void DMProjectView::mouseExited(const DMEvent &)
{
    mouseMovedToPoint(kOutsidePoint);
    setCursor(Qt::ArrowCursor);
}

void DMProjectView::rightMouseDown(const DMEvent &event)
{
    presentsContextMenuFromEvent(event);
    DMObjectView::rightMouseDown(event);
}

// ---- Drawing ----

void DMProjectView::drawRect(QPainter *painter, const QRectF &rect)
{
    const QRectF bounds = convertRectFromViewToCanvas(QRectF(this->rect()));
    // QWidget::render paints through this view too, so the device alone does not tell a page
    // from the screen: the delegate knows when the document renders for a page.
    const auto *projectDelegate = dynamic_cast<const DMProjectViewDelegate *>(delegate());
    const bool forPage = projectDelegate && projectDelegate->projectViewIsPrinting(this);
    if (painter->device() == this && !forPage) {
        const QRect visible = visibleRegion().boundingRect();
        m_drawRectVisibleRect = visible.isEmpty() ? bounds : convertRectFromViewToCanvas(QRectF(visible));
    } else {
        m_drawRectVisibleRect = bounds;
    }
    DMObjectView::drawRect(painter, rect);
}

// ---- Tool tips ----

QString DMProjectView::toolTipAtViewPoint(QPointF viewPoint)
{
    const auto *bar = dynamic_cast<DMUIProjectItem *>(objectAtViewPoint(viewPoint).get());
    return bar ? bar->toolTipInView(this) : QString();
}

bool DMProjectView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAtViewPoint(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return DMObjectView::event(event);
}

void DMProjectView::moveEvent(QMoveEvent *event)
{
    DMObjectView::moveEvent(event);
    if (event->pos().x() != event->oldPos().x())
        update();
}

