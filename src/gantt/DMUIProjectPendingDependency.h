#pragma once

#include "DMProjectViewObject.h"

#include <memory>

class DMUIProjectItem;

// The rubber-band line shown while a new link is dragged out of a bar's link handle. One end
// stays where the drag began; the other follows the pointer and snaps to the nearer link side of
// the bar under it that accepts links, which is highlighted (hovered) and would become the
// successor; linkKind records the kind the drop would create. The canvas delegate makes it at the
// press (operation 119 or 120), feeds it steps of operation 216 and makes the link on release.
//
// Both bars are held weakly. Redraws are reported through the project of the bar the drag
// started from, whichever end moves, so the line never leaves trails.
class DMUIProjectPendingDependency : public DMProjectViewObject
{
public:
    // source: the drag began on the origin bar's finish side (operation 120) ...
    static constexpr int kSourceFinishSide = 0;
    // ... or on its start side (operation 119).
    static constexpr int kSourceStartSide = 1;

    // Stroke colour blue.
    explicit DMUIProjectPendingDependency(const QRectF &frame = QRectF());
    ~DMUIProjectPendingDependency() override;

    QPointF startPoint() const { return m_startPoint; }
    QPointF endPoint() const { return m_endPoint; }
    // Stores the points; the frame is the rectangle they span.
    void setStartPointEndPoint(QPointF start, QPointF end);

    int source() const { return m_source; }
    void setSource(int source) { m_source = source; }
    int linkKind() const { return m_linkKind; }
    void setLinkKind(int kind) { m_linkKind = kind; }
    std::shared_ptr<DMUIProjectItem> fromObject() const { return m_fromObject.lock(); }
    std::shared_ptr<DMUIProjectItem> toObject() const { return m_toObject.lock(); }
    // The previous bar is un-hovered, the new one hovered.
    void setFromObject(const std::shared_ptr<DMUIProjectItem> &bar);
    void setToObject(const std::shared_ptr<DMUIProjectItem> &bar);

    std::shared_ptr<DMProject> project() const override;
    // Never: the line is drawn over the canvas while it is dragged, and a press anywhere in the
    // rectangle it spans belongs to what lies under it.
    bool isPointHitting(QPointF point, DMObjectView *view) const override;
    // 216 at the free end while it has no bar, else 0.
    qint32 dragOperationForPoint(QPointF point, DMObjectView *view) const override;
    // Operation 216: finds the target under the pointer and moves the free end.
    void handleDragOperation(qint32 operation, QPointF startPoint, QPointF endPoint, const DMEvent &event,
                             DMObjectView *view) override;
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;

private:
    std::shared_ptr<DMUIProjectItem> targetAtPoint(QPointF point, DMObjectView *view) const;

    QPointF m_startPoint;
    QPointF m_endPoint;
    int m_source = kSourceFinishSide;
    std::weak_ptr<DMUIProjectItem> m_fromObject;
    std::weak_ptr<DMUIProjectItem> m_toObject;
    int m_linkKind = 0;
};
