#include "DMUIProjectShapeGeometry.h"

#include "DMProjectViewConstants.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kTitleGap = 4.0; // between a shape and a title beside it

// Begin and end resize handles of that width at the shape's ends.
void appendResizePair(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, qreal handleWidth)
{
    DMUIProjectItem_appendPairInside(table, QRectF(0, 0, w, h), QRectF(0, 0, handleWidth, h),
                                     DMProjectViewDragOperation::ChangeBegin, QRectF(w - handleWidth, 0, handleWidth, h),
                                     DMProjectViewDragOperation::ChangeEnd, DMUIProjectItem_DragHandle::Rectangle);
}

// Right of the anchor rectangle, or left of it when the right would end past the visible edge.
DMUIProjectTaskTitleLayout besideLayout(const QRectF &anchor, qreal y, QSizeF titleSize, const QRectF &visibleRect)
{
    DMUIProjectTaskTitleLayout layout;
    layout.placement = DMUIProjectTaskTitleLayout::Right;
    layout.rect = QRectF(anchor.right() + kTitleGap, y, titleSize.width(), titleSize.height());
    if (!visibleRect.isEmpty() && layout.rect.right() > visibleRect.right()) {
        layout.placement = DMUIProjectTaskTitleLayout::Left;
        layout.rect.moveLeft(anchor.x() - kTitleGap - titleSize.width());
    }
    return layout;
}

} // namespace

qint32 DMUIProjectItem_operationAtPoint(const DMUIProjectItemDragHandleTable &table, QPointF point, int firstTitleSlot,
                                        DMUIProjectTaskTitleLayout::Placement drawnTitle)
{
    for (int i = 0; i < table.count(); ++i) {
        if (firstTitleSlot >= 0 && i >= firstTitleSlot) {
            const auto side = i == firstTitleSlot ? DMUIProjectTaskTitleLayout::Right : DMUIProjectTaskTitleLayout::Left;
            if (side != drawnTitle)
                continue;
        }
        if (DMUIProjectItem_DragHandle_IsPointHitting(table.at(i), point))
            return table.at(i).operation;
    }
    return 0;
}

// ---- Milestone ----

QPolygonF DMUIProjectMilestone_diamond(const QRectF &r)
{
    const QPointF c = r.center();
    return QPolygonF{QPointF(c.x(), r.top()), QPointF(r.right(), c.y()), QPointF(c.x(), r.bottom()),
                     QPointF(r.left(), c.y()), QPointF(c.x(), r.top())};
}

int DMUIProjectMilestone_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, bool ganttView,
                                         const DMUIProjectMilestoneHandleMetrics &metrics, QSizeF titleSize)
{
    table.clear();
    table.append(QRectF(0, 0, w, h), DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::MoveItem);
    if (ganttView)
        DMUIProjectItem_appendLinkHandles(table, w, h, metrics.linkWidth, metrics.linkHeight, metrics.linkMargin);
    return DMUIProjectItem_appendBesideTitleHandles(table, w, h, titleSize);
}

DMUIProjectTaskTitleLayout DMUIProjectMilestone_titleLayout(const QRectF &diamondRect, QSizeF titleSize,
                                                            const QRectF &visibleRect)
{
    if (titleSize.isEmpty())
        return {};
    return besideLayout(diamondRect, diamondRect.y() + (diamondRect.height() - titleSize.height()) / 2, titleSize,
                        visibleRect);
}

// ---- Process ----

QPainterPath DMUIProjectProcess_bracket(const QRectF &f, qreal cornerRadius)
{
    const qreal x = f.x(), y = f.y(), w = f.width(), h = f.height();
    const qreal r = cornerRadius;
    const qreal rw = kDMUIProjectProcess_resizeHandlesWidth;
    const qreal t = kDMUIProjectProcess_tipsHeight;
    QPainterPath path;
    path.moveTo(x + r, y);
    path.arcTo(QRectF(x + w - 2 * r, y, 2 * r, 2 * r), 90, -90); // top right corner
    path.lineTo(x + w, y + h - t);
    path.lineTo(x + w - rw, y + h); // right tip
    path.lineTo(x + w - 2 * rw, y + h - t);
    path.lineTo(x + 2 * rw, y + h - t);
    path.lineTo(x + rw, y + h); // left tip
    path.lineTo(x, y + h - t);
    path.lineTo(x, y + r);
    path.arcTo(QRectF(x, y, 2 * r, 2 * r), 180, -90); // top left corner
    path.closeSubpath();
    return path;
}

DMUIProjectTaskTitleLayout DMUIProjectProcess_titleLayout(const DMUIProjectProcessTitleInput &input)
{
    DMUIProjectTaskTitleLayout layout;
    if (!input.displayTaskNames || input.titleSize.isEmpty())
        return layout;
    const QRectF &f = input.frame;
    const qreal rw = kDMUIProjectProcess_resizeHandlesWidth;
    const qreal margin = kDMUIProjectProcess_titleBorderMargin;
    const qreal tw = input.titleSize.width();
    const qreal th = input.titleSize.height();
    const qreal room = f.width() - 2 * (rw + margin);
    const qreal y = f.y() + (f.height() - th - kDMUIProjectProcess_tipsHeight) / 2;
    if (input.ganttView && tw > room)
        return besideLayout(f, y, input.titleSize, input.visibleRect);

    const qreal width = std::max<qreal>(0.0, std::min(tw, room));
    qreal x = f.x() + rw + margin + (room - width) / 2;
    if (input.ganttView) {
        // Centred in the part of the bracket that shows, so a long process keeps its title in sight.
        QRectF shown = input.visibleRect.isEmpty() ? f : f.intersected(input.visibleRect);
        if (shown.isEmpty())
            shown = f;
        x = shown.x() + (shown.width() - width) / 2;
    }
    layout.placement = DMUIProjectTaskTitleLayout::Inside;
    layout.rect = QRectF(x, y, width, th);
    return layout;
}

int DMUIProjectProcess_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h,
                                       const QRectF &rightTitleRect, const QRectF &leftTitleRect)
{
    table.clear();
    appendResizePair(table, w, h, kDMUIProjectProcess_resizeHandlesWidth);
    table.append(QRectF(0, 0, w, h), DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::MoveItem);
    if (rightTitleRect.isEmpty())
        return -1;
    const int first = table.count();
    table.append(rightTitleRect, DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::MoveItem);
    table.append(leftTitleRect, DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::MoveItem);
    return first;
}

// ---- Event ----

void DMUIProjectEvent_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h)
{
    table.clear();
    appendResizePair(table, w, h, kDMUIProjectEvent_resizeHandlesWidth);
    table.append(QRectF(0, 0, w, h), DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::MoveItem);
}

QRectF DMUIProjectEvent_iconRect(const QRectF &bar)
{
    if (!(bar.width() > bar.height() + 6))
        return QRectF();
    const qreal side = bar.height() - 4;
    return QRectF(bar.x() + (bar.width() - side) / 2, bar.y() + (bar.height() - side) / 2, side, side);
}

QRectF DMUIProjectEvent_laneRect(const QRectF &eventsRow, int subRow, int laneCount)
{
    const int lanes = std::max(1, laneCount);
    const qreal laneHeight = eventsRow.height() / lanes;
    const int lane = std::clamp(subRow, 0, lanes - 1);
    return QRectF(eventsRow.x(), eventsRow.y() + lane * laneHeight, eventsRow.width(), laneHeight);
}
