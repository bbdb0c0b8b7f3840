#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QVector>

// The geometry of a link line as pure functions, canvas coordinates (y down). A link's route is
// one polyline (curves already flattened): its bounds, its drawing, its arrow and its hit test all
// read that same polyline.

// Line styles (a dependency's linkStyle).
enum : int {
    kDMUIProjectDependency_StyleLine = 0,
    kDMUIProjectDependency_StyleCurve = 1,
    kDMUIProjectDependency_StyleTwoSegmentsUp = 2,
    kDMUIProjectDependency_StyleTwoSegmentsDown = 3,
    kDMUIProjectDependency_StyleThreeSegments = 4,
};

// The route from start S to end E for a line style and a dependency kind (the kind bends the
// curve): a straight segment; a cubic curve flattened with flatness 0.9; S, (E.x, S.y), E; S,
// (S.x, E.y), E; or S, (S.x + m, S.y), (S.x + m, E.y), E with m = (E.x - S.x) / 2. A curve of an
// unknown kind is the start point alone; an unknown style gives an empty route.
QPolygonF DMUIProjectDependency_route(int style, int kind, QPointF start, QPointF end);

// Appends the cubic p0 c1 c2 p3 as line segments (p0 itself not appended), subdividing in halves
// until the control points lie within flatness of the chord: the same curve always gives the
// same points.
void DMUIProjectDependency_appendFlattenedCubic(QPolygonF &polyline, QPointF p0, QPointF c1, QPointF c2, QPointF p3,
                                                qreal flatness);

// The direction of an arrow head on the segment from p0 to p1, in single precision: the angle of
// p1 - p0 (atan2, so rounding can never leave its domain); -pi for a segment shorter than 1e-5.
float DMUIProjectDependency_arrowAngle(QPointF p0, QPointF p1);

// The arrow head at the end of the route: a closed triangle with its tip on the last point and
// sides of 10 points, 30 degrees each side of the last segment. Empty for a route of fewer than
// two points.
QPolygonF DMUIProjectDependency_arrow(const QPolygonF &route);

// The bounds of the route and the arrow grown by 1.5 points on every side.
QRectF DMUIProjectDependency_frame(const QPolygonF &route, const QPolygonF &arrow);

// The line width of a thickness: 0 -> 1.0, 1 -> 1.75, 2 -> 2.5; any other keeps current.
qreal DMUIProjectDependency_strokeWidthForThickness(int thickness, qreal current);

// The dash pattern of a dash style in points (on, off, ...): 0 solid (empty), 1 dash 7 2, 2 dot
// 3 2, 3 dash and dot 7 2 3 2; any other is solid.
QVector<qreal> DMUIProjectDependency_dashPattern(int dashStyle);
// The same pattern for a QPen of the given width, whose dash lengths count in pen widths.
QVector<qreal> DMUIProjectDependency_penDashPattern(int dashStyle, qreal penWidth);

// The distance from p to the segment a b (to a when the segment is a point).
qreal DMUIProjectDependency_distanceToSegment(QPointF p, QPointF a, QPointF b);

// Points within this distance of either end of a route belong to the bars the link joins.
inline constexpr qreal kDMUIProjectDependency_EndMargin = 5.0;

// A point hits a link when it lies within strokeWidth of one of the route's segments and more than
// kDMUIProjectDependency_EndMargin from its first and its last point.
bool DMUIProjectDependency_isPointHitting(const QPolygonF &route, QPointF point, qreal strokeWidth);

// The end a pending link snaps to on a target bar, from the pointer's x and the target's link
// rectangles (startRect on its finish side, endRect on its start side); distances are horizontal.
// Dragged from a finish side (source 0): the start side when strictly nearer (kind 0, finish to
// start), else the finish side (kind 3). From a start side (source 1): the finish side when
// strictly nearer (kind 1), else the start side (kind 2).
struct DMUIProjectPendingDependencySnap
{
    QPointF point;
    int kind = 0;
};
DMUIProjectPendingDependencySnap DMUIProjectPendingDependency_snap(int source, qreal pointerX, const QRectF &startRect,
                                                                   const QRectF &endRect);
