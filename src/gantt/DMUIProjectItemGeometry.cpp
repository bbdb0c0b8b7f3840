#include "DMUIProjectItemGeometry.h"

#include "DMProjectViewConstants.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

constexpr qreal kResizeHandlesWidth = 12.0;       // kDMUIProjectItem_resizeHandlesWidth
constexpr qreal kDependencyRectSize = 5.0;        // kDMUIProjectItem_dependencyRectWidth, _Height
constexpr qreal kDependencyBorderMargin = 4.0;    // kDMUIProjectItem_dependencyBorderMargin
constexpr qreal kProgressSliderSize = 4.0;        // kDMUIProjectItem_progressSliderWidth, _Height
constexpr qreal kTaskResizeHandlesWidth = 12.0;   // kDMUIProjectTask_resizeHandlesWidth
constexpr qreal kTitleGap = 4.0;                  // between a bar and a title beside it
constexpr qreal kTitleInset = 8.0;                // the inside title's room is the frame less this

} // namespace

void DMUIProjectItem_appendPairInside(DMUIProjectItemDragHandleTable &table, const QRectF &box, const QRectF &first,
                                      qint32 firstOperation, const QRectF &second, qint32 secondOperation, quint8 shape)
{
    if (box.contains(first) && !first.intersects(second))
        table.append(first, shape, firstOperation);
    if (box.contains(second) && !second.intersects(first))
        table.append(second, shape, secondOperation);
}

void DMUIProjectItem_appendLinkHandles(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, qreal dw, qreal dh,
                                       qreal m)
{
    table.append(QRectF(m, (h - dh) / 2, dw, dh), DMUIProjectItem_DragHandle::Circle,
                 DMProjectViewDragOperation::LinkFromBegin);
    table.append(QRectF(w - m - dw, (h - dh) / 2, dw, dh), DMUIProjectItem_DragHandle::Circle,
                 DMProjectViewDragOperation::LinkFromEnd);
}

int DMUIProjectItem_appendBesideTitleHandles(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, QSizeF titleSize)
{
    if (titleSize.isEmpty())
        return -1;
    const int first = table.count();
    const qreal tw = titleSize.width();
    const qreal th = titleSize.height();
    table.append(QRectF(w + kTitleGap, (h - th) / 2, tw, th), DMUIProjectItem_DragHandle::Rectangle,
                 DMProjectViewDragOperation::MoveItem);
    table.append(QRectF(-kTitleGap - tw, (h - th) / 2, tw, th), DMUIProjectItem_DragHandle::Rectangle,
                 DMProjectViewDragOperation::MoveItem);
    return first;
}

void DMUIProjectItem_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, qreal progress)
{
    table.clear();
    const QRectF bar(0, 0, w, h);
    if (w > kResizeHandlesWidth)
        table.append(QRectF(w * progress - kProgressSliderSize / 2, h - kProgressSliderSize, kProgressSliderSize,
                            kProgressSliderSize),
                     DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::Progress);
    DMUIProjectItem_appendPairInside(table, bar, QRectF(0, 0, kResizeHandlesWidth, h), DMProjectViewDragOperation::ChangeBegin,
                     QRectF(w - kResizeHandlesWidth, 0, kResizeHandlesWidth, h), DMProjectViewDragOperation::ChangeEnd,
                     DMUIProjectItem_DragHandle::Rectangle);
    const qreal linkY = (h - kDependencyRectSize) / 2;
    DMUIProjectItem_appendPairInside(table, bar, QRectF(kDependencyBorderMargin, linkY, kDependencyRectSize, kDependencyRectSize),
                     DMProjectViewDragOperation::LinkFromBegin,
                     QRectF(w - kDependencyBorderMargin - kDependencyRectSize, linkY, kDependencyRectSize,
                            kDependencyRectSize),
                     DMProjectViewDragOperation::LinkFromEnd, DMUIProjectItem_DragHandle::Circle);
    table.append(bar, DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::MoveItem);
}

qreal DMUIProjectTask_titleRoom(const DMUIProjectTaskTitleInput &input)
{
    return input.frameWidth - kTitleInset - input.lockRoom;
}

bool DMUIProjectTask_titleGoesBeside(const DMUIProjectTaskTitleInput &input)
{
    return input.displayTaskNames && input.ganttView && input.titleSize.width() > DMUIProjectTask_titleRoom(input);
}

DMUIProjectTaskTitleLayout DMUIProjectTask_titleLayout(const DMUIProjectTaskTitleInput &input)
{
    DMUIProjectTaskTitleLayout layout;
    if (!input.displayTaskNames)
        return layout;
    const QRectF &bar = input.barRect;
    const qreal tw = input.titleSize.width();
    const qreal th = input.titleSize.height();
    const qreal y = bar.y() + (bar.height() - th) / 2;

    if (DMUIProjectTask_titleGoesBeside(input)) {
        layout.placement = DMUIProjectTaskTitleLayout::Right;
        layout.rect = QRectF(bar.right() + kTitleGap, y, tw, th);
        if (!input.visibleRect.isEmpty() && layout.rect.right() > input.visibleRect.right()) {
            layout.placement = DMUIProjectTaskTitleLayout::Left;
            layout.rect.moveLeft(bar.x() - kTitleGap - tw);
        }
        return layout;
    }

    const qreal room = DMUIProjectTask_titleRoom(input);
    const qreal width = std::max<qreal>(0.0, std::min(tw, room));
    qreal x = bar.x() + input.iconOffset + (room - width) / 2;
    if (input.ganttView) {
        // Centred in the part of the bar that shows, so a long bar keeps its title in sight.
        QRectF shown = bar;
        if (!input.visibleRect.isEmpty())
            shown = bar.intersected(input.visibleRect);
        if (shown.isEmpty())
            shown = bar;
        x = shown.x() + (shown.width() - width) / 2;
    }
    layout.placement = DMUIProjectTaskTitleLayout::Inside;
    layout.rect = QRectF(x, y, width, th);
    return layout;
}

int DMUIProjectTask_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, qreal progress,
                                    bool ganttView, const DMUIProjectTaskHandleMetrics &metrics, QSizeF besideTitle)
{
    table.clear();
    if (ganttView)
        DMUIProjectItem_appendLinkHandles(table, w, h, metrics.linkWidth, metrics.linkHeight, metrics.linkMargin);
    if (w > 3 * metrics.sliderWidth)
        table.append(QRectF(w * progress - metrics.sliderWidth / 2, h - metrics.sliderHeight + metrics.sliderYOffset,
                            metrics.sliderWidth, metrics.sliderHeight),
                     DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::Progress);
    const qreal rw = std::clamp(w / 2, 2.0, kTaskResizeHandlesWidth);
    DMUIProjectItem_appendPairInside(table, QRectF(0, 0, w, h), QRectF(0, 0, rw, h), DMProjectViewDragOperation::ChangeBegin,
                     QRectF(w - rw, 0, rw, h), DMProjectViewDragOperation::ChangeEnd,
                     DMUIProjectItem_DragHandle::Rectangle);
    table.append(QRectF(0, 0, w, h), DMUIProjectItem_DragHandle::Rectangle, DMProjectViewDragOperation::MoveItem);
    return DMUIProjectItem_appendBesideTitleHandles(table, w, h, besideTitle);
}

QList<int> DMUIProjectItem_lanesForHorizontalRanges(const QList<QPointF> &ranges, int *laneCount)
{
    std::vector<qsizetype> order(size_t(ranges.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&ranges](qsizetype a, qsizetype b) {
        const QPointF &ra = ranges.at(a);
        const QPointF &rb = ranges.at(b);
        return ra.x() < rb.x() || (ra.x() == rb.x() && ra.y() < rb.y());
    });
    QList<int> lanes(ranges.size(), 0);
    std::vector<qreal> laneEnds; // the right end of the last bar of each lane
    for (const qsizetype index : order) {
        const QPointF &range = ranges.at(index);
        size_t lane = 0;
        while (lane < laneEnds.size() && laneEnds[lane] > range.x())
            ++lane;
        if (lane == laneEnds.size())
            laneEnds.push_back(range.x() + range.y());
        else
            laneEnds[lane] = range.x() + range.y();
        lanes[index] = int(lane);
    }
    if (laneCount)
        *laneCount = int(laneEnds.size());
    return lanes;
}
