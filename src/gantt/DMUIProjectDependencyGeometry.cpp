#include "DMUIProjectDependencyGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kCurveFlatness = 0.9;
constexpr qreal kCurveReach = 50.0;        // horizontal reach of a curve's control points
constexpr qreal kSameRowCurveDrop = 25.0;  // a curve between bars of one row bends this far
constexpr qreal kArrowLength = 10.0;
constexpr float kArrowHalfAngle = float(M_PI / 6);
constexpr qreal kFrameMargin = 1.5;
constexpr int kMaxSubdivisionDepth = 16;

qreal distanceToLine(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const qreal length = std::hypot(d.x(), d.y());
    if (length < 1e-9)
        return std::hypot(p.x() - a.x(), p.y() - a.y());
    return std::abs(d.x() * (a.y() - p.y()) - d.y() * (a.x() - p.x())) / length;
}

void flatten(QPolygonF &polyline, QPointF p0, QPointF c1, QPointF c2, QPointF p3, qreal flatness, int depth)
{
    if (depth >= kMaxSubdivisionDepth
        || std::max(distanceToLine(c1, p0, p3), distanceToLine(c2, p0, p3)) <= flatness) {
        polyline.append(p3);
        return;
    }
    // de Casteljau at t = 0.5.
    const QPointF p01 = (p0 + c1) / 2, p12 = (c1 + c2) / 2, p23 = (c2 + p3) / 2;
    const QPointF p012 = (p01 + p12) / 2, p123 = (p12 + p23) / 2;
    const QPointF mid = (p012 + p123) / 2;
    flatten(polyline, p0, p01, p012, mid, flatness, depth + 1);
    flatten(polyline, mid, p123, p23, p3, flatness, depth + 1);
}

} // namespace

void DMUIProjectDependency_appendFlattenedCubic(QPolygonF &polyline, QPointF p0, QPointF c1, QPointF c2, QPointF p3,
                                                qreal flatness)
{
    flatten(polyline, p0, c1, c2, p3, flatness, 0);
}

QPolygonF DMUIProjectDependency_route(int style, int kind, QPointF s, QPointF e)
{
    switch (style) {
    case kDMUIProjectDependency_StyleLine:
        return QPolygonF{s, e};
    case kDMUIProjectDependency_StyleCurve: {
        QPolygonF route{s};
        QPointF c1, c2;
        if (s.y() == e.y()) {
            c1 = QPointF(s.x() + kCurveReach, s.y() + kSameRowCurveDrop);
            c2 = QPointF(e.x() - kCurveReach, e.y() - kSameRowCurveDrop);
        } else {
            // Leave and enter each bar on the side the kind names: finish sides to the right.
            const bool leavesRight = kind == 0 || kind == 3;
            const bool entersFromRight = kind == 1 || kind == 3;
            if (kind < 0 || kind > 3)
                return route;
            c1 = QPointF(s.x() + (leavesRight ? kCurveReach : -kCurveReach), s.y());
            c2 = QPointF(e.x() + (entersFromRight ? kCurveReach : -kCurveReach), e.y());
        }
        DMUIProjectDependency_appendFlattenedCubic(route, s, c1, c2, e, kCurveFlatness);
        return route;
    }
    case kDMUIProjectDependency_StyleTwoSegmentsUp:
        return QPolygonF{s, QPointF(e.x(), s.y()), e};
    case kDMUIProjectDependency_StyleTwoSegmentsDown:
        return QPolygonF{s, QPointF(s.x(), e.y()), e};
    case kDMUIProjectDependency_StyleThreeSegments: {
        const qreal m = qreal((float(e.x()) - float(s.x())) / 2.0f);
        return QPolygonF{s, QPointF(s.x() + m, s.y()), QPointF(s.x() + m, e.y()), e};
    }
    default:
        return QPolygonF();
    }
}

float DMUIProjectDependency_arrowAngle(QPointF p0, QPointF p1)
{
    const float dx = float(p1.x() - p0.x());
    const float dy = float(p1.y() - p0.y());
    if (std::hypot(dx, dy) < 0.00001f)
        return float(-M_PI);
    return std::atan2(dy, dx);
}

QPolygonF DMUIProjectDependency_arrow(const QPolygonF &route)
{
    if (route.size() < 2)
        return QPolygonF();
    const QPointF tip = route.last();
    const float theta = DMUIProjectDependency_arrowAngle(route.at(route.size() - 2), tip);
    const auto side = [&](float angle) {
        return tip - kArrowLength * QPointF(std::cos(angle), std::sin(angle));
    };
    return QPolygonF{tip, side(theta + kArrowHalfAngle), side(theta - kArrowHalfAngle), tip};
}

QRectF DMUIProjectDependency_frame(const QPolygonF &route, const QPolygonF &arrow)
{
    QRectF bounds = route.isEmpty() ? QRectF() : route.boundingRect();
    if (!arrow.isEmpty())
        bounds = route.isEmpty() ? arrow.boundingRect() : bounds.united(arrow.boundingRect());
    return bounds.adjusted(-kFrameMargin, -kFrameMargin, kFrameMargin, kFrameMargin);
}

qreal DMUIProjectDependency_strokeWidthForThickness(int thickness, qreal current)
{
    switch (thickness) {
    case 0:
        return 1.0;
    case 1:
        return 1.75;
    case 2:
        return 2.5;
    default:
        return current;
    }
}

QVector<qreal> DMUIProjectDependency_dashPattern(int dashStyle)
{
    switch (dashStyle) {
    case 1:
        return {7, 2};
    case 2:
        return {3, 2};
    case 3:
        return {7, 2, 3, 2};
    default:
        return {};
    }
}

QVector<qreal> DMUIProjectDependency_penDashPattern(int dashStyle, qreal penWidth)
{
    QVector<qreal> pattern = DMUIProjectDependency_dashPattern(dashStyle);
    if (penWidth > 0)
        for (qreal &length : pattern)
            length /= penWidth;
    return pattern;
}

qreal DMUIProjectDependency_distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const qreal lengthSquared = d.x() * d.x() + d.y() * d.y();
    qreal t = 0;
    if (lengthSquared > 0)
        t = std::clamp(((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / lengthSquared, 0.0, 1.0);
    const QPointF nearest = a + t * d;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

bool DMUIProjectDependency_isPointHitting(const QPolygonF &route, QPointF p, qreal strokeWidth)
{
    if (route.size() < 2)
        return false;
    const auto near = [&](QPointF end) {
        return std::hypot(p.x() - end.x(), p.y() - end.y()) <= kDMUIProjectDependency_EndMargin;
    };
    if (near(route.first()) || near(route.last()))
        return false;
    for (int i = 1; i < route.size(); ++i)
        if (DMUIProjectDependency_distanceToSegment(p, route.at(i - 1), route.at(i)) <= strokeWidth)
            return true;
    return false;
}

DMUIProjectPendingDependencySnap DMUIProjectPendingDependency_snap(int source, qreal pointerX, const QRectF &startRect,
                                                                   const QRectF &endRect)
{
    const qreal toFinish = std::abs(pointerX - startRect.center().x());
    const qreal toStart = std::abs(pointerX - endRect.center().x());
    if (source == 0)
        return toStart < toFinish ? DMUIProjectPendingDependencySnap{endRect.center(), 0}
                                  : DMUIProjectPendingDependencySnap{startRect.center(), 3};
    return toFinish < toStart ? DMUIProjectPendingDependencySnap{startRect.center(), 1}
                              : DMUIProjectPendingDependencySnap{endRect.center(), 2};
}
