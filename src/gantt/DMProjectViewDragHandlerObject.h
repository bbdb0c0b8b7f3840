#pragma once

#include "DMBaseObject.h"

#include <memory>

class DMProjectViewDragHandlerObjectDelegate;
class DMProjectViewObject;

// An invisible 1 x 1 object that the canvas delegate puts between the canvas and a Gantt object
// for a move or a create-by-drag. It filters the pointer path (each axis followed or held, or
// locked to the axis the gesture first moves along), forwards each step to its target and
// reports it to its delegate.
//
// The target is weak: a target destroyed during the drag only ends the forwarding. The delegate
// is not owned; whoever sets it clears it before going away.
class DMProjectViewDragHandlerObject : public DMBaseObject
{
public:
    enum Flag : quint32 {
        FollowX = 1,
        FollowY = 2,
        LockToDominantAxis = 4,
    };

    // Frame (point - 0.5, 1 x 1), drag point = point, flags follow both axes.
    static std::shared_ptr<DMProjectViewDragHandlerObject> dragHandlerObjectWithPointAndDragOperation(QPointF point,
                                                                                                      qint32 operation);
    explicit DMProjectViewDragHandlerObject(const QRectF &frame = QRectF());

    DMProjectViewDragHandlerObjectDelegate *delegate() const { return m_delegate; }
    void setDelegate(DMProjectViewDragHandlerObjectDelegate *delegate) { m_delegate = delegate; }
    QPointF startPoint() const { return m_startPoint; }
    void setStartPoint(QPointF point) { m_startPoint = point; }
    QPointF dragPoint() const { return m_dragPoint; }
    void setDragPoint(QPointF point) { m_dragPoint = point; }
    qint32 dragOperation() const { return m_dragOperation; }
    void setDragOperation(qint32 operation) { m_dragOperation = operation; }
    std::shared_ptr<DMProjectViewObject> targetUIObject() const { return m_target.lock(); }
    void setTargetUIObject(const std::shared_ptr<DMProjectViewObject> &target) { m_target = target; }
    quint32 flags() const { return m_flags; }
    void setFlags(quint32 flags) { m_flags = flags; }

    qint32 dragOperationForPoint(QPointF point, DMObjectView *view) const override;
    void handleDragOperation(qint32 operation, QPointF startPoint, QPointF endPoint, const DMEvent &event,
                             DMObjectView *view) override;
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;
    // The target's date labels, so that they show while the handler carries the drag.
    DMBaseObjectList guideAnchorsObjects() const override;

private:
    DMProjectViewDragHandlerObjectDelegate *m_delegate = nullptr;
    QPointF m_startPoint;
    QPointF m_dragPoint;
    qint32 m_dragOperation = 0;
    std::weak_ptr<DMProjectViewObject> m_target;
    quint32 m_flags = FollowX | FollowY;
};
