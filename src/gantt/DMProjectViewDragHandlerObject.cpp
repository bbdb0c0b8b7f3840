#include "DMProjectViewDragHandlerObject.h"

#include "DMProjectViewDragHandlerObjectDelegate.h"
#include "DMProjectViewObject.h"

#include <cmath>

namespace {

// Margin around the target redrawn after each forwarded step.
constexpr qreal kTargetRedrawMargin = 10.0;

} // namespace

std::shared_ptr<DMProjectViewDragHandlerObject>
DMProjectViewDragHandlerObject::dragHandlerObjectWithPointAndDragOperation(QPointF point, qint32 operation)
{
    auto handler = std::make_shared<DMProjectViewDragHandlerObject>(QRectF(point.x() - 0.5, point.y() - 0.5, 1, 1));
    handler->m_dragPoint = point;
    handler->m_dragOperation = operation;
    handler->m_flags = FollowX | FollowY;
    return handler;
}

DMProjectViewDragHandlerObject::DMProjectViewDragHandlerObject(const QRectF &frame)
    : DMBaseObject(frame)
{
}

qint32 DMProjectViewDragHandlerObject::dragOperationForPoint(QPointF, DMObjectView *) const
{
    return m_dragOperation;
}

void DMProjectViewDragHandlerObject::handleDragOperation(qint32, QPointF start, QPointF end, const DMEvent &event,
                                                         DMObjectView *view)
{
    QPointF point((m_flags & FollowX) ? end.x() : start.x(), (m_flags & FollowY) ? end.y() : start.y());
    bool undecided = false;
    if (m_flags & LockToDominantAxis) {
        const qreal dx = std::abs(end.x() - start.x());
        const qreal dy = std::abs(end.y() - start.y());
        if (dx > dy) {
            m_flags = FollowX;
            point.setY(start.y());
        } else if (dy > dx) {
            m_flags = FollowY;
            point.setX(start.x());
        } else {
            undecided = true;
        }
    }

    m_startPoint = start;
    m_dragPoint = point;
    setFrame(QRectF(QPointF(std::min(start.x(), point.x()), std::min(start.y(), point.y())),
                    QSizeF(std::abs(point.x() - start.x()), std::abs(point.y() - start.y()))));
    if (undecided)
        return;

    if (const std::shared_ptr<DMProjectViewObject> target = m_target.lock()) {
        target->handleDragOperation(m_dragOperation, start, point, event, view);
        const QRectF box = target->boundingBox();
        setFrame(box.adjusted(-kTargetRedrawMargin, -kTargetRedrawMargin, kTargetRedrawMargin, kTargetRedrawMargin));
    }
    if (m_delegate)
        m_delegate->dragHandlerObjectDidUpdate(this);
}

void DMProjectViewDragHandlerObject::drawInRect(QPainter *, const QRectF &, DMObjectView *)
{
}

DMBaseObjectList DMProjectViewDragHandlerObject::guideAnchorsObjects() const
{
    const std::shared_ptr<DMProjectViewObject> target = m_target.lock();
    return target ? target->guideAnchorsObjects() : DMBaseObjectList();
}
