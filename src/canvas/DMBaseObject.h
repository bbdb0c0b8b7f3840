#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QtGlobal>

#include <memory>

class DMBaseObject;
class DMEvent;
class DMObjectView;
class QPainter;

using DMBaseObjectList = QList<std::shared_ptr<DMBaseObject>>;

// An object drawn on a DMObjectView. Its frame (canvas coordinates, y down) is laid out by its
// owner before any drawing; drawing, hit testing and redraw requests all read that stored
// geometry and never compute their own. The bounding box is the frame plus whatever the object
// draws outside it (handles, marks); it is what the canvas queries and invalidates.
class DMBaseObject : public std::enable_shared_from_this<DMBaseObject>
{
public:
    explicit DMBaseObject(const QRectF &frame = QRectF());
    virtual ~DMBaseObject();
    DMBaseObject(const DMBaseObject &) = delete;
    DMBaseObject &operator=(const DMBaseObject &) = delete;

    // Both read an object left to be placed (see below) after placing it.
    QRectF frame() const
    {
        placeIfStale();
        return m_frame;
    }
    // Stores the frame, then updateBoundingBox.
    virtual void setFrame(const QRectF &frame);

    QRectF boundingBox() const
    {
        placeIfStale();
        return m_boundingBox;
    }
    virtual void setBoundingBox(const QRectF &boundingBox);
    // Recomputes the bounding box from the frame (the frame itself here) through setBoundingBox.
    virtual void updateBoundingBox();

    QColor fillColor() const { return m_fillColor; }
    virtual void setFillColor(const QColor &color);
    QColor strokeColor() const { return m_strokeColor; }
    virtual void setStrokeColor(const QColor &color);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }

    // The small objects (date labels) that accompany this one while it is dragged.
    virtual DMBaseObjectList guideAnchorsObjects() const { return m_guideAnchorsObjects; }
    void setGuideAnchorsObjects(const DMBaseObjectList &objects) { m_guideAnchorsObjects = objects; }
    // Places the guide anchors after a geometry change; nothing to place here.
    virtual void updateGuideAnchorObjects();

    // Point in canvas coordinates. The frame contains the point.
    virtual bool isPointHitting(QPointF point, DMObjectView *view) const;
    // The drag operation a press at the point would start; 0 (none) here.
    virtual qint32 dragOperationForPoint(QPointF point, DMObjectView *view) const;
    // One step of a drag operation of code 16 or above, from the press point to the current
    // point (both canvas coordinates). Nothing here.
    virtual void handleDragOperation(qint32 operation, QPointF startPoint, QPointF endPoint,
                                     const DMEvent &event, DMObjectView *view);
    // Draws with the painter in canvas coordinates; rect is the canvas area being redrawn.
    // Here: the frame filled and outlined, with a wider outline when selected.
    virtual void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view);

    // Placement on reading. An object whose geometry follows other state (a bar its item's
    // dates, a link its bars) may be given a clock: while its stamp differs from the clock, the
    // first read of its geometry places it (placeStaleGeometry). invalidatePlacement leaves one
    // object to be placed, advancing the clock all objects that follow it. Without a clock an
    // object is always placed.
    void setPlacementClock(const quint64 *clock) { m_placementClock = clock; }
    bool isPlacementStale() const
    {
        return m_placementClock && (m_placedAt != *m_placementClock || (m_followsOthers && followedObjectsMoved()));
    }
    void invalidatePlacement() { m_placedAt = 0; }
    // The frame as it was last placed, without placing: the vertical layout keeps its vertical
    // part current while the horizontal part waits to be placed.
    QRectF placedFrame() const { return m_frame; }

protected:
    // Computes the geometry of a stale object; it is stamped placed before this runs, so reads
    // of its own geometry here do not recurse.
    virtual void placeStaleGeometry() {}
    // Stamps the object placed (again): after reads of others' geometry that invalidated it.
    void markPlaced()
    {
        if (m_placementClock)
            m_placedAt = *m_placementClock;
    }
    // Stores the frame and nothing else, for an object that stays to be placed.
    void storeFrameWhileStale(const QRectF &frame) { m_frame = frame; }
    // An object that follows others' geometry (a link its bars) is stale as well when they
    // moved since it was placed, which followedObjectsMoved tells.
    void setFollowsOtherObjects() { m_followsOthers = true; }
    virtual bool followedObjectsMoved() const { return false; }
    // For geometry of a subclass's own, read through it.
    void placeIfStale() const
    {
        if (isPlacementStale()) {
            m_placedAt = *m_placementClock;
            const_cast<DMBaseObject *>(this)->placeStaleGeometry();
        }
    }

private:

    const quint64 *m_placementClock = nullptr;
    mutable quint64 m_placedAt = 0;
    bool m_followsOthers = false;
    QRectF m_frame;
    QRectF m_boundingBox;
    QColor m_fillColor = Qt::white;
    QColor m_strokeColor = Qt::black;
    bool m_selected = false;
    DMBaseObjectList m_guideAnchorsObjects;
};
