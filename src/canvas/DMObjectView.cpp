#include "DMObjectView.h"

#include "DMObjectViewDataSource.h"
#include "DMObjectViewDelegate.h"
#include "DMObjectViewDragOperation.h"
#include "DMObjectViewGeometry.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollArea>

#include <algorithm>
#include <cmath>

namespace {

// A press released within this distance (view points) of where it began is a click.
constexpr double kClickTolerance = 2.0;
// Margin around the dragged area redrawn at mouse up.
constexpr double kDraggedAreaMargin = 5.0;
// Margin around an object redrawn when its selection changes (the selection outline).
constexpr double kSelectionMargin = 5.0;

const QColor kRubberBandStroke(40, 100, 200);
const QColor kRubberBandFill(40, 100, 200, 60);

QRectF rectSpannedBy(QPointF a, QPointF b)
{
    return QRectF(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                  QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QRectF grown(const QRectF &rect, double margin)
{
    return rect.adjusted(-margin, -margin, margin, margin);
}

} // namespace

DMObjectView::DMObjectView(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

DMObjectView::~DMObjectView() = default;

void DMObjectView::addLayer(quint16 layer)
{
    addLayerEventPriority(layer, 0);
}

void DMObjectView::addLayerEventPriority(quint16 layer, quint16 priority)
{
    std::erase_if(m_visibleLayersPriority, [layer](quint32 key) { return (key & 0xFFFF) == layer; });
    m_visibleLayers.insert(layer);
    m_visibleLayersPriority.insert(quint32(priority) * 65536u + layer);
    update();
}

void DMObjectView::setZoomLevel(double zoomLevel)
{
    if (!std::isfinite(zoomLevel) || zoomLevel <= 0.0 || zoomLevel == m_zoomLevel)
        return;
    m_zoomLevel = zoomLevel;
    update();
}

void DMObjectView::setCanvasSize(QSizeF size)
{
    m_canvasSize = size;
    update();
}

void DMObjectView::setCanvasAlignment(Qt::Alignment alignment)
{
    m_canvasAlignment = alignment;
    update();
}

void DMObjectView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

// --- Geometry

QRectF DMObjectView::canvasRectInView() const
{
    const QRectF bounds = rect();
    const QSizeF size = m_canvasSize.width() > 0 && m_canvasSize.height() > 0 ? m_canvasSize : bounds.size();
    return DMObjectView_CanvasRectInViewWithParameters(size, m_zoomLevel, bounds, m_canvasAlignment);
}

QPointF DMObjectView::convertPointFromViewToCanvas(QPointF point) const
{
    return DMObjectView_ConvertPointFromView(point, canvasRectInView(), m_zoomLevel);
}

QRectF DMObjectView::convertRectFromViewToCanvas(const QRectF &rect) const
{
    const QRectF canvasRect = canvasRectInView();
    return QRectF(DMObjectView_ConvertPointFromView(rect.topLeft(), canvasRect, m_zoomLevel),
                  DMObjectView_ConvertPointFromView(rect.bottomRight(), canvasRect, m_zoomLevel));
}

QRectF DMObjectView::convertRectFromCanvasToView(const QRectF &rect) const
{
    const QRectF canvasRect = canvasRectInView();
    return QRectF(DMObjectView_ConvertPointToView(rect.topLeft(), canvasRect, m_zoomLevel),
                  DMObjectView_ConvertPointToView(rect.bottomRight(), canvasRect, m_zoomLevel));
}

QPointF DMObjectView::viewPointForEvent(const DMEvent &event) const
{
    return mapFrom(window(), event.locationInWindow());
}

// --- Hit testing and drawing

std::shared_ptr<DMBaseObject> DMObjectView::hitTestObjectAtPoint(QPointF canvasPoint, quint16 *layer)
{
    const QRectF probe(canvasPoint.x() - 0.5, canvasPoint.y() - 0.5, 1.0, 1.0);
    // A copy: the data source may register layers while it answers.
    const std::set<quint32> keys = m_visibleLayersPriority;
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        if (!m_datasource)
            return nullptr;
        const quint16 candidateLayer = quint16(*key & 0xFFFF);
        const DMBaseObjectList objects = m_datasource->objectViewObjectsInRectForLayer(this, probe, candidateLayer);
        for (const auto &object : objects) {
            if (object && object->isPointHitting(canvasPoint, this)) {
                if (layer)
                    *layer = candidateLayer;
                return object;
            }
        }
    }
    return nullptr;
}

void DMObjectView::drawRect(QPainter *painter, const QRectF &rect)
{
    const std::set<quint16> layers = m_visibleLayers;
    for (quint16 layer : layers) {
        if (!m_datasource)
            return;
        const DMBaseObjectList objects = m_datasource->objectViewObjectsInRectForLayer(this, rect, layer);
        for (auto object = objects.rbegin(); object != objects.rend(); ++object) {
            if (!*object)
                continue;
            painter->save();
            (*object)->drawInRect(painter, rect, this);
            painter->restore();
        }
    }
}

void DMObjectView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), m_backgroundColor);

    const QRectF canvasRect = canvasRectInView();
    painter.save();
    painter.translate(canvasRect.topLeft());
    painter.scale(m_zoomLevel, m_zoomLevel);
    drawRect(&painter, convertRectFromViewToCanvas(event->rect()));
    painter.restore();

    if (m_rubberBandShown) {
        // Drawn in view coordinates so that its outline keeps one pixel at every zoom.
        const QRectF band = convertRectFromCanvasToView(m_rubberBandRect);
        painter.setPen(QPen(kRubberBandStroke, 1.0));
        painter.setBrush(kRubberBandFill);
        painter.drawRect(band);
    }
}

void DMObjectView::setNeedsDisplayInRect(const QRectF &rect)
{
    const QRect aligned = rect.toAlignedRect();
    if (aligned.isEmpty())
        return;
    schedulePendingDisplay();
    const QRect shown = aligned & m_pendingDisplay.visible;
    if (shown.isEmpty())
        return;
    m_pendingDisplay.bounds |= shown;
    if (m_pendingDisplay.rects.size() < kMaximumPendingDisplayRects)
        m_pendingDisplay.rects.append(shown);
    else
        m_pendingDisplay.overflowed = true;
}

void DMObjectView::schedulePendingDisplay()
{
    if (m_pendingDisplay.scheduled)
        return;
    // The first request of this turn: the part in view is taken once, and the requests are
    // handed to Qt together when control is back in the event loop. Qt's merging of each
    // rectangle into the widget's dirty region grows with the region, so thousands of separate
    // calls (a pushed chain) would cost far more than the painting.
    m_pendingDisplay.scheduled = true;
    m_pendingDisplay.visible = visibleRegion().boundingRect();
    QMetaObject::invokeMethod(this, &DMObjectView::flushPendingDisplay, Qt::QueuedConnection);
}

void DMObjectView::setNeedsDisplayOfVisibleRect()
{
    schedulePendingDisplay();
    m_pendingDisplay.bounds |= m_pendingDisplay.visible;
    m_pendingDisplay.overflowed = true;
}

void DMObjectView::flushPendingDisplay()
{
    PendingDisplay pending = std::exchange(m_pendingDisplay, PendingDisplay());
    if (pending.overflowed) {
        update(pending.bounds);
        return;
    }
    for (const QRect &rect : std::as_const(pending.rects))
        update(rect);
}

void DMObjectView::scrollRectToVisible(const QRectF &rect)
{
    for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        auto *scrollArea = qobject_cast<QScrollArea *>(ancestor);
        QWidget *content = scrollArea ? scrollArea->widget() : nullptr;
        if (!content || (content != this && !content->isAncestorOf(this)))
            continue;
        const QPointF center = content == this ? rect.center() : mapTo(content, rect.center());
        scrollArea->ensureVisible(qRound(center.x()), qRound(center.y()), qCeil(rect.width() / 2),
                                  qCeil(rect.height() / 2));
        return;
    }
}

// --- Selection

void DMObjectView::invalidateObject(const DMBaseObject &object)
{
    setNeedsDisplayInRect(convertRectFromCanvasToView(grown(object.boundingBox(), kSelectionMargin)));
}

void DMObjectView::addToSelection(const std::shared_ptr<DMBaseObject> &object)
{
    if (std::find(m_selectedObjects.cbegin(), m_selectedObjects.cend(), object) != m_selectedObjects.cend())
        return;
    object->setSelected(true);
    m_selectedObjects.append(object);
    invalidateObject(*object);
}

void DMObjectView::removeFromSelection(const std::shared_ptr<DMBaseObject> &object)
{
    if (!m_selectedObjects.removeOne(object))
        return;
    object->setSelected(false);
    invalidateObject(*object);
}

void DMObjectView::clearSelection()
{
    const DMBaseObjectList previous = std::exchange(m_selectedObjects, {});
    for (const auto &object : previous) {
        object->setSelected(false);
        invalidateObject(*object);
    }
}

void DMObjectView::notifySelectionDidChange()
{
    if (m_delegate)
        m_delegate->objectViewSelectionDidChange(this);
}

void DMObjectView::selectObjectInLayerExtendSelection(const std::shared_ptr<DMBaseObject> &object, quint16 layer,
                                                      bool extendSelection)
{
    if (!extendSelection)
        clearSelection();
    if (object && (!m_delegate || m_delegate->objectViewShouldSelectObjectInLayer(this, object, layer)))
        addToSelection(object);
    notifySelectionDidChange();
}

void DMObjectView::deselectAll(QObject *)
{
    clearSelection();
    notifySelectionDidChange();
}

void DMObjectView::selectObjectsInRectExtendSelectionEditSelection(const QRectF &rect, bool extendSelection,
                                                                  bool editSelection)
{
    selectObjectsInRectInLayerSingleSelectExtendSelectionEditSelection(rect, kDMObjectView_AllLayers, false,
                                                                      extendSelection, editSelection);
}

void DMObjectView::selectObjectsInRectInLayerSingleSelectExtendSelectionEditSelection(
    const QRectF &rect, quint16 layer, bool singleSelect, bool extendSelection, bool editSelection)
{
    if (!extendSelection && !editSelection)
        clearSelection();

    std::vector<quint16> layers;
    if (layer == kDMObjectView_AllLayers)
        layers.assign(m_visibleLayers.rbegin(), m_visibleLayers.rend());
    else
        layers.push_back(layer);

    bool done = false;
    for (quint16 candidateLayer : layers) {
        if (done || !m_datasource)
            break;
        const DMBaseObjectList objects = m_datasource->objectViewObjectsInRectForLayer(this, rect, candidateLayer);
        for (const auto &object : objects) {
            if (!object || !object->boundingBox().intersects(rect))
                continue;
            // Each object is asked about in its own layer, so that a layer the delegate keeps
            // unselectable stays so when every layer is walked.
            if (m_delegate && !m_delegate->objectViewShouldSelectObjectInLayer(this, object, candidateLayer))
                continue;
            if (editSelection && object->isSelected())
                removeFromSelection(object);
            else
                addToSelection(object);
            if (singleSelect) {
                done = true;
                break;
            }
        }
    }
    notifySelectionDidChange();
}

// --- Mouse

void DMObjectView::showCursorForDragOperation(qint32 operation)
{
    std::optional<QCursor> cursor;
    if (m_datasource)
        cursor = m_datasource->objectViewCursorForDragOperation(this, operation);
    setCursor(cursor ? *cursor : QCursor(Qt::ArrowCursor));
}

void DMObjectView::mouseDown(const DMEvent &event)
{
    // A press without its release (the button was let go elsewhere) leaves nothing behind.
    m_concernedObjects.clear();
    m_currentDragOperation = DMObjectViewDragOperation::None;
    m_rubberBandShown = false;

    m_mouseDownViewPoint = viewPointForEvent(event);
    m_mouseDownPoint = convertPointFromViewToCanvas(m_mouseDownViewPoint);

    quint16 layer = 0;
    const std::shared_ptr<DMBaseObject> hit = hitTestObjectAtPoint(m_mouseDownPoint, &layer);
    m_pressedObject = hit;
    m_pressedLayer = layer;

    qint32 operation = DMObjectViewDragOperation::None;
    if (m_delegate)
        operation = m_delegate->objectViewDragOperationForPointWithObject(this, m_mouseDownPoint, hit);
    m_currentDragOperation = operation;

    if (operation == DMObjectViewDragOperation::RubberBand) {
        m_rubberBandShown = true;
        m_rubberBandRect = QRectF(m_mouseDownPoint, QSizeF(0, 0));
    }
    showCursorForDragOperation(operation);
}

void DMObjectView::mouseDragged(const DMEvent &event)
{
    const QPointF point = convertPointFromViewToCanvas(viewPointForEvent(event));
    const qint32 operation = m_currentDragOperation;

    if (operation == DMObjectViewDragOperation::RubberBand) {
        const QRectF previous = m_rubberBandRect;
        m_rubberBandRect = rectSpannedBy(m_mouseDownPoint, point);
        setNeedsDisplayInRect(grown(convertRectFromCanvasToView(previous.united(m_rubberBandRect)), 2.0));
        return;
    }
    if (operation < DMObjectViewDragOperation::FirstObjectOperation)
        return;

    // A copy: an object's step may change the concerned objects (a drag handler's delegate
    // retargets it). The canvas redraws each object's box before and after its step.
    const DMBaseObjectList objects = m_concernedObjects;
    for (const auto &object : objects) {
        if (!object)
            continue;
        const QRectF before = object->boundingBox();
        object->handleDragOperation(operation, m_mouseDownPoint, point, event, this);
        setNeedsDisplayInRect(convertRectFromCanvasToView(grown(before.united(object->boundingBox()), 1.0)));
    }
}

void DMObjectView::mouseUp(const DMEvent &event)
{
    const QPointF viewPoint = viewPointForEvent(event);
    const QPointF point = convertPointFromViewToCanvas(viewPoint);
    const qint32 operation = m_currentDragOperation;
    const QRectF draggedRect = rectSpannedBy(m_mouseDownPoint, point);
    const bool shift = event.hasModifier(DMEvent::Shift);
    const bool command = event.hasModifier(DMEvent::Command);

    if (operation == DMObjectViewDragOperation::RubberBand) {
        m_rubberBandShown = false;
        setNeedsDisplayInRect(grown(convertRectFromCanvasToView(m_rubberBandRect), 2.0));
        selectObjectsInRectExtendSelectionEditSelection(draggedRect, shift, command);
    } else if (operation == DMObjectViewDragOperation::Select) {
        const QPointF moved = viewPoint - m_mouseDownViewPoint;
        const std::shared_ptr<DMBaseObject> pressed = m_pressedObject.lock();
        if (pressed && std::hypot(moved.x(), moved.y()) <= kClickTolerance) {
            if (command && pressed->isSelected()) {
                removeFromSelection(pressed);
                notifySelectionDidChange();
            } else {
                selectObjectInLayerExtendSelection(pressed, m_pressedLayer, shift || command);
            }
        }
    }

    // A double click is reported as such; operation 12 is never reported otherwise.
    qint32 reported = operation;
    if (event.clickCount() >= 2)
        reported = DMObjectViewDragOperation::DoubleClick;
    else if (operation == DMObjectViewDragOperation::DoubleClick)
        reported = DMObjectViewDragOperation::None;

    if (m_delegate)
        m_delegate->objectViewWillFinishDragOperationWithRect(this, reported, draggedRect);
    m_currentDragOperation = DMObjectViewDragOperation::None;
    setNeedsDisplayInRect(convertRectFromCanvasToView(grown(draggedRect, kDraggedAreaMargin)));
    m_concernedObjects.clear();
    m_pressedObject.reset();
    showCursorForDragOperation(DMObjectViewDragOperation::None);
    if (m_delegate)
        m_delegate->objectViewDidFinishDragOperationWithRect(this, reported, draggedRect);
}

void DMObjectView::mouseMoved(const DMEvent &)
{
}

void DMObjectView::mouseEntered(const DMEvent &)
{
}

void DMObjectView::mouseExited(const DMEvent &)
{
}

void DMObjectView::rightMouseDown(const DMEvent &)
{
}

void DMObjectView::keyDown(const DMEvent &event)
{
    if (m_delegate)
        m_delegate->objectViewReceivedKeyEvent(this, event);
}

void DMObjectView::keyUp(const DMEvent &event)
{
    if (m_delegate)
        m_delegate->objectViewReceivedKeyEvent(this, event);
}

void DMObjectView::magnifyWithEvent(const DMEvent &event)
{
    if (m_delegate)
        m_delegate->objectViewMagnifyWithEvent(this, event);
}

// --- Qt events

void DMObjectView::dispatchMouse(QMouseEvent *qtEvent)
{
    const DMEvent event = DMEvent::fromMouseEvent(*qtEvent, this);
    switch (event.type()) {
    case DMEvent::LeftMouseDown:
        m_leftButtonDown = true;
        mouseDown(event);
        break;
    case DMEvent::LeftMouseDragged:
        if (m_leftButtonDown)
            mouseDragged(event);
        break;
    case DMEvent::LeftMouseUp:
        if (!m_leftButtonDown)
            break;
        m_leftButtonDown = false;
        mouseUp(event);
        break;
    case DMEvent::RightMouseDown:
        rightMouseDown(event);
        break;
    case DMEvent::MouseMoved:
        mouseMoved(event);
        break;
    default:
        break;
    }
    qtEvent->accept();
}

void DMObjectView::mousePressEvent(QMouseEvent *event)
{
    dispatchMouse(event);
}

void DMObjectView::mouseDoubleClickEvent(QMouseEvent *event)
{
    dispatchMouse(event);
}

void DMObjectView::mouseMoveEvent(QMouseEvent *event)
{
    dispatchMouse(event);
}

void DMObjectView::mouseReleaseEvent(QMouseEvent *event)
{
    dispatchMouse(event);
}

void DMObjectView::keyPressEvent(QKeyEvent *event)
{
    if (!m_delegate) {
        QWidget::keyPressEvent(event);
        return;
    }
    keyDown(DMEvent::fromKeyEvent(*event));
}

void DMObjectView::keyReleaseEvent(QKeyEvent *event)
{
    if (!m_delegate) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    keyUp(DMEvent::fromKeyEvent(*event));
}

QVariant DMObjectView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImCursorRectangle) {
        const QRect shown = visibleRegion().boundingRect();
        if (!shown.isEmpty())
            return shown;
    }
    return QWidget::inputMethodQuery(query);
}

void DMObjectView::enterEvent(QEnterEvent *event)
{
    mouseEntered(DMEvent::mouseEvent(DMEvent::MouseEntered, mapTo(window(), event->position()), 0));
}

void DMObjectView::leaveEvent(QEvent *)
{
    mouseExited(DMEvent::mouseEvent(DMEvent::MouseExited, mapTo(window(), mapFromGlobal(QCursor::pos())), 0));
}

bool DMObjectView::event(QEvent *event)
{
    if (event->type() == QEvent::NativeGesture) {
        auto *gesture = static_cast<QNativeGestureEvent *>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            magnifyWithEvent(DMEvent::fromNativeGestureEvent(*gesture, this));
            return true;
        }
    }
    return QWidget::event(event);
}
