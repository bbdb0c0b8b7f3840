#pragma once

#include "DMBaseObject.h"
#include "DMEvent.h"

#include <QColor>
#include <QList>
#include <QRect>
#include <QSizeF>
#include <QWidget>

#include <memory>
#include <set>

class DMObjectViewDataSource;
class DMObjectViewDelegate;

// A layered canvas. It keeps no list of its objects: every drawing pass, hit test and rectangle
// selection asks the data source for the objects of one layer that meet a rectangle. It keeps
// only the selection and the objects of the current drag operation, both as owning references,
// because a drag handler made at mouse down has no other owner until mouse up.
//
// Layers are drawn in ascending layer number and hit-tested in descending order of their
// priority key (priority × 65536 + layer). Each layer's list is front-most first, so it is
// drawn from its end to its start.
//
// Canvas coordinates: the canvas (canvasSize, or the view's size when none is set) is scaled by
// zoomLevel and placed in the view by canvasAlignment; both sides use y down.
class DMObjectView : public QWidget
{
    Q_OBJECT

public:
    explicit DMObjectView(QWidget *parent = nullptr);
    ~DMObjectView() override;

    // Neither is owned; the owner clears them before it goes away.
    DMObjectViewDataSource *datasource() const { return m_datasource; }
    void setDatasource(DMObjectViewDataSource *datasource) { m_datasource = datasource; }
    DMObjectViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(DMObjectViewDelegate *delegate) { m_delegate = delegate; }

    const std::set<quint16> &visibleLayers() const { return m_visibleLayers; }
    const std::set<quint32> &visibleLayersPriority() const { return m_visibleLayersPriority; }
    void addLayer(quint16 layer);
    // Adding a layer again replaces its priority.
    void addLayerEventPriority(quint16 layer, quint16 priority);

    double zoomLevel() const { return m_zoomLevel; }
    void setZoomLevel(double zoomLevel); // values that are not finite and above 0 are ignored
    QSizeF canvasSize() const { return m_canvasSize; }
    void setCanvasSize(QSizeF size);      // zero: the canvas is the view's size
    Qt::Alignment canvasAlignment() const { return m_canvasAlignment; }
    void setCanvasAlignment(Qt::Alignment alignment);
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);

    // Selection. Every call ends with the delegate's objectViewSelectionDidChange, and only
    // objects that the delegate allows in their layer are selected.
    const DMBaseObjectList &selectedObjects() const { return m_selectedObjects; }
    void selectObjectInLayerExtendSelection(const std::shared_ptr<DMBaseObject> &object, quint16 layer,
                                            bool extendSelection);
    void deselectAll(QObject *sender = nullptr);
    // Extend keeps the current selection; edit toggles each object met instead of adding it.
    void selectObjectsInRectExtendSelectionEditSelection(const QRectF &rect, bool extendSelection,
                                                         bool editSelection);
    // layer kDMObjectView_AllLayers walks every visible layer from the highest number down;
    // singleSelect stops after the first object selected.
    void selectObjectsInRectInLayerSingleSelectExtendSelectionEditSelection(const QRectF &rect, quint16 layer,
                                                                           bool singleSelect,
                                                                           bool extendSelection,
                                                                           bool editSelection);

    qint32 currentDragOperation() const { return m_currentDragOperation; }
    // A copy; the canvas holds the objects until mouse up.
    virtual DMBaseObjectList currentDragOperationConcernedObjects() const { return m_concernedObjects; }
    void setDragOperationConcernedObjects(const DMBaseObjectList &objects) { m_concernedObjects = objects; }

    QRectF canvasRectInView() const;
    QPointF convertPointFromViewToCanvas(QPointF point) const;
    QRectF convertRectFromViewToCanvas(const QRectF &rect) const;
    QRectF convertRectFromCanvasToView(const QRectF &rect) const;

    // The first object, by descending priority key and then list order, whose isPointHitting
    // answers yes for the canvas point; layer (may be null) receives its layer.
    std::shared_ptr<DMBaseObject> hitTestObjectAtPoint(QPointF canvasPoint, quint16 *layer = nullptr);

    void setNeedsDisplay() { update(); }
    // rect in view coordinates. The requests of one event-loop turn that meet the part in view
    // reach Qt together once control is back in the event loop: each one, or their bounding
    // rectangle when there are many.
    virtual void setNeedsDisplayInRect(const QRectF &rect);
    // Redraws all that is in view, collected with this turn's other requests.
    void setNeedsDisplayOfVisibleRect();
    // Scrolls the enclosing scroll area so that the view rectangle shows.
    void scrollRectToVisible(const QRectF &rect);

    // The mouse and key handling, in DMEvent terms, so that subclasses and synthetic events
    // can call and extend it.
    virtual void mouseDown(const DMEvent &event);
    virtual void mouseDragged(const DMEvent &event);
    virtual void mouseUp(const DMEvent &event);
    virtual void mouseMoved(const DMEvent &event);
    virtual void mouseEntered(const DMEvent &event);
    virtual void mouseExited(const DMEvent &event);
    virtual void rightMouseDown(const DMEvent &event);
    virtual void keyDown(const DMEvent &event);
    virtual void keyUp(const DMEvent &event);
    virtual void magnifyWithEvent(const DMEvent &event);

    // Draws the visible layers; the painter is in canvas coordinates and rect is the canvas
    // area to draw.
    virtual void drawRect(QPainter *painter, const QRectF &rect);

    bool isRubberBandShown() const { return m_rubberBandShown; }
    QRectF rubberBandRect() const { return m_rubberBandRect; } // canvas coordinates

protected:
    DMBaseObjectList &mutableSelectedObjects() { return m_selectedObjects; }
    QPointF viewPointForEvent(const DMEvent &event) const;
    void showCursorForDragOperation(qint32 operation);

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    // The place of the keyboard focus in the view is what shows of it, so that a scroll area
    // around the canvas does not scroll when the keyboard comes or goes by Tab.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    void addToSelection(const std::shared_ptr<DMBaseObject> &object);
    void removeFromSelection(const std::shared_ptr<DMBaseObject> &object);
    void clearSelection();
    void invalidateObject(const DMBaseObject &object);
    void notifySelectionDidChange();
    void dispatchMouse(QMouseEvent *event);
    void flushPendingDisplay();
    // Opens this turn's collection of redraw requests on its first call.
    void schedulePendingDisplay();

    DMObjectViewDataSource *m_datasource = nullptr;
    DMObjectViewDelegate *m_delegate = nullptr;
    std::set<quint16> m_visibleLayers;
    std::set<quint32> m_visibleLayersPriority;
    double m_zoomLevel = 1.0;
    QSizeF m_canvasSize;
    Qt::Alignment m_canvasAlignment = Qt::AlignLeft | Qt::AlignTop;
    QColor m_backgroundColor = Qt::white;
    DMBaseObjectList m_selectedObjects;
    qint32 m_currentDragOperation = 0;
    DMBaseObjectList m_concernedObjects;

    // The gesture in progress.
    bool m_leftButtonDown = false;
    QPointF m_mouseDownPoint;     // canvas
    QPointF m_mouseDownViewPoint; // view
    std::weak_ptr<DMBaseObject> m_pressedObject;
    quint16 m_pressedLayer = 0;
    bool m_rubberBandShown = false;
    QRectF m_rubberBandRect;

    // Redraw requests waiting for the end of the turn (view coordinates).
    static constexpr qsizetype kMaximumPendingDisplayRects = 32;
    struct PendingDisplay
    {
        bool scheduled = false;
        bool overflowed = false;
        QRect visible;
        QRect bounds;
        QList<QRect> rects;
    };
    PendingDisplay m_pendingDisplay;
};
