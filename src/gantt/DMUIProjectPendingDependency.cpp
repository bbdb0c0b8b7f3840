#include "DMUIProjectPendingDependency.h"

#include "DMObjectView.h"
#include "DMObjectViewDataSource.h"
#include "DMProjectViewConstants.h"
#include "DMUIProjectDependencyGeometry.h"
#include "DMUIProjectItem.h"

#include <QPainter>

namespace {

constexpr qreal kLineWidth = 1.5;

void setHoveredIfAny(const std::shared_ptr<DMUIProjectItem> &bar, bool hovered)
{
    if (bar)
        bar->setHovered(hovered);
}

} // namespace

DMUIProjectPendingDependency::DMUIProjectPendingDependency(const QRectF &frame)
    : DMProjectViewObject(frame)
{
    DMProjectViewObject::setStrokeColor(Qt::blue);
}

DMUIProjectPendingDependency::~DMUIProjectPendingDependency() = default;

void DMUIProjectPendingDependency::setStartPointEndPoint(QPointF start, QPointF end)
{
    // The old line is erased before it moves and the new one drawn after.
    objectNeedsUpdate();
    m_startPoint = start;
    m_endPoint = end;
    setFrame(QRectF(start, end).normalized());
    objectNeedsUpdate();
}

void DMUIProjectPendingDependency::setFromObject(const std::shared_ptr<DMUIProjectItem> &bar)
{
    setHoveredIfAny(fromObject(), false);
    m_fromObject = bar;
    setHoveredIfAny(bar, true);
}

void DMUIProjectPendingDependency::setToObject(const std::shared_ptr<DMUIProjectItem> &bar)
{
    const std::shared_ptr<DMUIProjectItem> previous = toObject();
    if (previous != bar)
        setHoveredIfAny(previous, false);
    m_toObject = bar;
    setHoveredIfAny(bar, true);
}

std::shared_ptr<DMProject> DMUIProjectPendingDependency::project() const
{
    const std::shared_ptr<DMUIProjectItem> from = fromObject();
    return from ? from->project() : nullptr;
}

bool DMUIProjectPendingDependency::isPointHitting(QPointF, DMObjectView *) const
{
    return false;
}

qint32 DMUIProjectPendingDependency::dragOperationForPoint(QPointF point, DMObjectView *) const
{
    if ((!toObject() && point == m_endPoint) || (!fromObject() && point == m_startPoint))
        return DMProjectViewDragOperation::PendingLink;
    return 0;
}

std::shared_ptr<DMUIProjectItem> DMUIProjectPendingDependency::targetAtPoint(QPointF point, DMObjectView *view) const
{
    if (!view || !view->datasource())
        return nullptr;
    const QRectF probe(point.x() - 0.5, point.y() - 0.5, 1, 1);
    const std::shared_ptr<DMUIProjectItem> from = fromObject();
    const DMBaseObjectList candidates =
        view->datasource()->objectViewObjectsInRectForLayer(view, probe, kDMProjectViewLayer_Items);
    for (const auto &candidate : candidates) {
        auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(candidate);
        if (bar && bar != from && bar->acceptsDependencies() && bar->frame().intersects(probe))
            return bar;
    }
    return nullptr;
}

void DMUIProjectPendingDependency::handleDragOperation(qint32 operation, QPointF, QPointF endPoint, const DMEvent &,
                                                       DMObjectView *view)
{
    if (operation != DMProjectViewDragOperation::PendingLink)
        return;
    const std::shared_ptr<DMUIProjectItem> target = targetAtPoint(endPoint, view);
    QPointF point = endPoint;
    if (target) {
        const DMUIProjectPendingDependencySnap snap = DMUIProjectPendingDependency_snap(
            m_source, endPoint.x(), target->dependencyStartRect(), target->dependencyEndRect());
        point = snap.point;
        m_linkKind = snap.kind;
    }
    setToObject(target);
    if (m_source == kSourceFinishSide)
        setStartPointEndPoint(m_startPoint, point);
    else if (m_source == kSourceStartSide)
        setStartPointEndPoint(point, m_endPoint);
}

void DMUIProjectPendingDependency::drawInRect(QPainter *painter, const QRectF &, DMObjectView *)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(strokeColor(), kLineWidth));
    painter->drawLine(m_startPoint, m_endPoint);
    painter->restore();
}
