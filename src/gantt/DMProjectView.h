#pragma once

#include "DMDate.h"
#include "DMEvent.h"
#include "DMObjectView.h"
#include "DMProjectViewHooks.h"
#include "DMProjectViewObjectDelegate.h"

#include <QPointer>
#include <QRectF>

#include <functional>
#include <optional>


// The Gantt canvas: the layered canvas plus what the chart needs on top of it. Hover of one Gantt
// object at a time (the canvas holds it and takes the hover back when another is hovered) with
// its cursor, autoscroll every 0.1 s while dragging, tool tips on
// event bars, the context menu of the object under the pointer, selection by a given list, the
// visible rectangle of the current drawing pass, and a redraw filter that drops requests once the
// view is being destroyed or has lost its data source or delegate.
//
// It is the model's projectView (DMProjectViewHooks) and receives the objects' redraw reports
// (DMProjectViewObjectDelegate). Its data source and delegate are the project document's.
class DMProjectView : public DMObjectView, public DMProjectViewHooks, public DMProjectViewObjectDelegate
{
    Q_OBJECT

public:
    explicit DMProjectView(QWidget *parent = nullptr);
    ~DMProjectView() override;

    // The last press; the delegate reads its modifiers while it chooses a drag operation.
    const DMEvent &lastMouseDownEvent() const { return m_lastMouseDownEvent; }
    bool isFinished() const { return m_isFinished; }
    bool isAutoscrolling() const { return m_autoscrolling; }

    // The canvas rectangle the current (or last) drawing pass shows: the visible part of the
    // view on screen, the whole bounds when drawing for print or export.
    QRectF drawRectVisibleRect() const { return m_drawRectVisibleRect; }

    // Replaces the selection by those of the objects that the delegate allows in the layer, in
    // order; tells the delegate also when the list is empty. Nothing without a delegate.
    void setSelectedObjectsInLayer(const DMBaseObjectList &objects, quint16 layer);
    // Every object of every visible layer that the delegate allows.
    void selectAll(QObject *sender = nullptr);
    int selectedObjectsCount() const { return int(selectedObjects().size()); }

    // The object under a view point for hover and context menu (layers by descending key, each
    // front-most first), and its layer; null for none.
    std::shared_ptr<DMBaseObject> objectAtViewPoint(QPointF viewPoint, quint16 *layer = nullptr);

    // Hover: the object under the point is hovered, the one hovered before is not; the cursor
    // follows.
    void mouseMovedToPoint(QPointF viewPoint);
    // The one object the pointer hovers, held weakly; null for none.
    std::shared_ptr<DMProjectViewObject> hoveredObject() const { return m_hoveredObject.lock(); }
    void setHoveredObject(const std::shared_ptr<DMProjectViewObject> &object);
    // Shows the context menu of the object under the event, selecting the object first; false
    // when none shows one.
    bool presentsContextMenuFromEvent(const DMEvent &event);

    DMBaseObjectList currentDragOperationConcernedObjects() const override;

    // The redraw filter (view coordinates); also the model's DMProjectViewHooks entry.
    void setNeedsDisplayInRect(const QRectF &rect) override;
    void setNeedsDisplay() override;
    // Called with every redraw request that passes the filter (tests record them).
    void setRedrawObserver(std::function<void(const QRectF &viewRect)> observer) { m_redrawObserver = std::move(observer); }

    // DMProjectViewObjectDelegate (canvas coordinates).
    void projectViewObjectBoundingBoxDidChangeFromTo(DMProjectViewObject *object, const QRectF &from,
                                                     const QRectF &to) override;
    void projectViewObjectNeedsUpdateWithBoundingBox(DMProjectViewObject *object, const QRectF &box) override;
    void projectViewObjectWillBePlacedAgain(DMProjectViewObject *object) override;

    void mouseDown(const DMEvent &event) override;
    void mouseDragged(const DMEvent &event) override;
    void mouseUp(const DMEvent &event) override;
    void mouseMoved(const DMEvent &event) override;
    void mouseEntered(const DMEvent &event) override;
    void mouseExited(const DMEvent &event) override;
    void rightMouseDown(const DMEvent &event) override;
    void drawRect(QPainter *painter, const QRectF &rect) override;

    // The tool tip of the bar under a view point (an event's title, or a title drawn cut short);
    // empty for none.
    QString toolTipAtViewPoint(QPointF viewPoint);

protected:
    bool event(QEvent *event) override;
    // A horizontal scroll moves the view inside its scroll area, which copies the pixels that
    // stay in sight; titles are placed in the visible part of their bars, so all is redrawn.
    void moveEvent(QMoveEvent *event) override;

private:
    // Every 0.1 s from the first drag step until the release: scrolls towards the pointer and
    // replays the last drag step. Each run of ticks has a number of its own, so that a tick left
    // from an earlier drag stops.
    void scheduleAutoscrollTick();
    void autoscrollTimerFired();
    void autoscrollWithEvent(const DMEvent &event);

    DMEvent m_lastMouseDownEvent;
    std::weak_ptr<DMProjectViewObject> m_hoveredObject;
    QPointF m_mouseMovedLastLocation;
    std::optional<DMEvent> m_lastMouseDraggedEvent;
    bool m_autoscrolling = false;
    quint64 m_autoscrollRun = 0;
    QRectF m_drawRectVisibleRect;
    bool m_isFinished = false;
    std::function<void(const QRectF &)> m_redrawObserver;
};
