#pragma once

#include "DMUIProjectItemDragHandle.h"
#include "DMUIProjectItemGeometry.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>

// The geometry of milestone diamonds, process brackets and event bars as pure functions, canvas
// coordinates (y down). Drawing, hit testing and the bounding box all read what these give.

// The handle hit first by a point relative to the handles' origin. Of the two title handles
// (right, then left, from firstTitleSlot on) only the one where the title is drawn counts.
qint32 DMUIProjectItem_operationAtPoint(const DMUIProjectItemDragHandleTable &table, QPointF point, int firstTitleSlot,
                                        DMUIProjectTaskTitleLayout::Placement drawnTitle);

// ---- Milestone ----

inline constexpr qreal kDMUIProjectMilestone_Width = 14.0;

// The diamond joining the midpoints of the rectangle's top, right, bottom and left edges.
QPolygonF DMUIProjectMilestone_diamond(const QRectF &rect);

// Link handle size (dw, dh) and margin m (-dw/2): the handles sit centred on the corners.
struct DMUIProjectMilestoneHandleMetrics
{
    qreal linkWidth = 7.0;
    qreal linkHeight = 7.0;
    qreal linkMargin = -5.0;
};

// A diamond of W x H (the frame inset by 2 at top and bottom), relative to its origin: the move
// handle first (it wins inside the diamond's box), the two link handles in the Gantt view, then
// for a title (titleSize not empty) a move handle where it is drawn right and left of the
// diamond. Returns the slot of the first title handle, -1 without.
int DMUIProjectMilestone_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, bool ganttView,
                                         const DMUIProjectMilestoneHandleMetrics &metrics, QSizeF titleSize);
// The title always goes beside the diamond: right of it, or left when the right would end past
// the visible rectangle's right edge (an empty visible rectangle is unbounded).
DMUIProjectTaskTitleLayout DMUIProjectMilestone_titleLayout(const QRectF &diamondRect, QSizeF titleSize,
                                                            const QRectF &visibleRect);

// ---- Process ----

inline constexpr qreal kDMUIProjectProcess_resizeHandlesWidth = 5.0;
inline constexpr qreal kDMUIProjectProcess_tipsHeight = 5.0;
inline constexpr qreal kDMUIProjectProcess_titleBorderMargin = 4.0;
inline constexpr qreal kDMUIProjectProcess_cornerRoundnessRadius = 1.5;

// The closed bracket: a bar with rounded top corners (of the radius) whose ends carry downward
// tips at x + 5 and x + w - 5. The list previews draw it with rounder corners.
QPainterPath DMUIProjectProcess_bracket(const QRectF &frame, qreal cornerRadius = kDMUIProjectProcess_cornerRoundnessRadius);

struct DMUIProjectProcessTitleInput
{
    QRectF frame;
    QSizeF titleSize;
    bool displayTaskNames = false;
    bool ganttView = false; // drawn on the Gantt canvas in the Gantt view
    QRectF visibleRect;     // empty = unbounded
};
// One rule for drawing and pressing: inside, centred in the frame's shown part, when the title
// fits the room w - 2 x (5 + 4) or outside the Gantt view; else beside (right, or left near the
// visible right edge). Vertically centred over the tips: y + (h - th - 5) / 2.
DMUIProjectTaskTitleLayout DMUIProjectProcess_titleLayout(const DMUIProjectProcessTitleInput &input);
// Begin and end handles 5 wide at the tips (kept only when both fit without overlapping), the
// move handle, then for a title beside the bracket (titleRect relative to the frame, not empty)
// a move handle over it right and over its mirror left. Returns the first title slot or -1.
int DMUIProjectProcess_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h,
                                       const QRectF &rightTitleRect, const QRectF &leftTitleRect);

// ---- Event ----

inline constexpr qreal kDMUIProjectEvent_resizeHandlesWidth = 3.0;

// Begin and end handles 3 wide (kept only when both fit without overlapping) and the move
// handle, relative to the frame's origin.
void DMUIProjectEvent_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h);
// The icon's square of side E.height - 4 centred in the bar E; empty when E is not wider than
// its height plus 6.
QRectF DMUIProjectEvent_iconRect(const QRectF &bar);
// The lane of an event in the events row: the row is split into max(1, laneCount) lanes of equal
// height, and lane subRow (clamped to them) is returned.
QRectF DMUIProjectEvent_laneRect(const QRectF &eventsRow, int subRow, int laneCount);
