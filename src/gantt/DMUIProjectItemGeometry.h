#pragma once

#include "DMUIProjectItemDragHandle.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

// The geometry of item and task bars as pure functions: the handle tables and where a task's
// title goes. Drawing, hit testing and the bounding box all read what these give; the
// horizontal span comes from the date grid (DMProjectViewDateGrid).

// Handle-table builders shared by the bar kinds, relative to the handles' origin:
// Begin and end handles, kept only when both lie inside the box and do not overlap.
void DMUIProjectItem_appendPairInside(DMUIProjectItemDragHandleTable &table, const QRectF &box, const QRectF &first,
                                      qint32 firstOperation, const QRectF &second, qint32 secondOperation, quint8 shape);
// Link circles of dw x dh centred on the height, at margin m inside each end of a w x h shape.
void DMUIProjectItem_appendLinkHandles(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, qreal dw, qreal dh,
                                       qreal m);
// Move handles over both places a title of that size may take beside a w x h shape, right and
// then left. Returns the slot of the first, -1 (and nothing added) for an empty title.
int DMUIProjectItem_appendBesideTitleHandles(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, QSizeF titleSize);

// The plain bar's handles for a frame of w x h and a progress of 0 to 1: progress (w > 12),
// begin and end resize, begin and end link circles, move; relative to the frame's origin.
void DMUIProjectItem_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, qreal progress);

// Sizes of a task bar's handle images, in points.
struct DMUIProjectTaskHandleMetrics
{
    qreal linkWidth = 10.0;      // dw
    qreal linkHeight = 10.0;     // dh
    qreal linkMargin = -5.0;     // m = -dw/2: the link handles sit centred on the bar's ends
    qreal sliderWidth = 12.0;
    qreal sliderHeight = 12.0;
    qreal sliderYOffset = 2.0;
};

// Where a task's title goes: one rule for the drawing and for the handles that let the user
// press a title drawn beside its bar. Inside the bar when it fits the title room (frame width - 8,
// less the lock icon and its gap when locked) or outside the Gantt view; else beside the bar:
// right of it, or left when the right would end past the visible rectangle's right edge.
struct DMUIProjectTaskTitleLayout
{
    enum Placement { None, Inside, Right, Left };
    Placement placement = None;
    QRectF rect; // canvas coordinates
};

struct DMUIProjectTaskTitleInput
{
    QRectF barRect;        // the bar (frame inset by 2 at top and bottom), canvas coordinates
    qreal frameWidth = 0;  // the frame's width
    QSizeF titleSize;      // the title in the object's text attributes
    bool displayTaskNames = false;
    bool ganttView = false; // shown in the Gantt view (visibility 0)
    qreal lockRoom = 0;     // lock image width + 2 when locked, else 0
    qreal iconOffset = 0;   // o: where the inside title's room begins after the icons
    QRectF visibleRect;     // the canvas's visible rectangle; empty = unbounded
};

qreal DMUIProjectTask_titleRoom(const DMUIProjectTaskTitleInput &input);
bool DMUIProjectTask_titleGoesBeside(const DMUIProjectTaskTitleInput &input);
DMUIProjectTaskTitleLayout DMUIProjectTask_titleLayout(const DMUIProjectTaskTitleInput &input);

// The task bar's handles for a bar of w x h (the frame inset by 2 at top and bottom) and a
// progress of 0 to 1, relative to the bar's origin: the link handles (Gantt view only), the
// progress slider (w > 3 slider widths), the resize handles (rw = w/2 within 2...12) and the
// move handle; then, for a title of that size drawn beside the bar (besideTitle not empty), a
// move handle over each place it can be drawn, right and then left. Returns the slot of the
// first title handle, -1 without.
int DMUIProjectTask_fillHandleTable(DMUIProjectItemDragHandleTable &table, qreal w, qreal h, qreal progress,
                                    bool ganttView, const DMUIProjectTaskHandleMetrics &metrics, QSizeF besideTitle);

// The lanes of bars sharing a row (a resource's row in the resource view), from their horizontal
// frame ranges (x, width): in order of x (then of width, then as given) each bar takes the first
// lane whose bars all end at or before its x. Returns each bar's lane in the given order, and the
// number of lanes through laneCount (0 for no bars).
QList<int> DMUIProjectItem_lanesForHorizontalRanges(const QList<QPointF> &ranges, int *laneCount);
