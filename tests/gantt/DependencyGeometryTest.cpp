// The link line's geometry as pure functions: routes of every style with worked numbers, the
// arrow head (atan2, also for segments where a ratio of lengths would leave acos's domain), the
// frame, dash patterns in pen widths, and the hit test along the route.
#include "DMUIProjectDependencyGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectNear(QPointF actual, QPointF expected, double tolerance = 0.01)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance) << "x of (" << actual.x() << ", " << actual.y() << ")";
    EXPECT_NEAR(actual.y(), expected.y(), tolerance) << "y of (" << actual.x() << ", " << actual.y() << ")";
}

} // namespace

TEST(DependencyRoute, EachStyleWithWorkedNumbers)
{
    const QPointF s(10, 20);
    const QPointF e(110, 60);
    EXPECT_EQ(DMUIProjectDependency_route(0, 0, s, e), QPolygonF({s, e}));
    EXPECT_EQ(DMUIProjectDependency_route(2, 0, s, e), QPolygonF({s, QPointF(110, 20), e}));
    EXPECT_EQ(DMUIProjectDependency_route(3, 0, s, e), QPolygonF({s, QPointF(10, 60), e}));
    EXPECT_EQ(DMUIProjectDependency_route(4, 0, s, e), QPolygonF({s, QPointF(60, 20), QPointF(60, 60), e}));
    // Going back: the middle leg lies halfway to the left.
    EXPECT_EQ(DMUIProjectDependency_route(4, 0, e, s), QPolygonF({e, QPointF(60, 60), QPointF(60, 20), s}));
    EXPECT_TRUE(DMUIProjectDependency_route(5, 0, s, e).isEmpty() && DMUIProjectDependency_route(-1, 0, s, e).isEmpty());
}

TEST(DependencyRoute, CurvesAreFlattenedDeterministicallyAndBendByKind)
{
    const QPointF s(0, 0);
    const QPointF e(100, 40);
    const QPolygonF curve = DMUIProjectDependency_route(1, 0, s, e);
    ASSERT_GT(curve.size(), 4);
    EXPECT_EQ(std::make_pair(curve.first(), curve.last()), std::make_pair(s, e));
    EXPECT_EQ(curve, DMUIProjectDependency_route(1, 0, s, e));
    // Finish to start leaves to the right and enters from the left: the curve stays within the
    // two points' span.
    EXPECT_TRUE(QRectF(-0.01, -100, 100.02, 300).contains(curve.boundingRect()));
    // Start to start leaves to the left: part of the curve lies left of the start.
    const QPolygonF startToStart = DMUIProjectDependency_route(1, 2, s, e);
    EXPECT_LT(startToStart.boundingRect().left(), -10);
    // Finish to finish enters from the right: part lies right of the end.
    EXPECT_GT(DMUIProjectDependency_route(1, 3, s, e).boundingRect().right(), 110);
    // Every point lies within the flatness of the true cubic: the middle point of the curve
    // S (50,0) (50,40) E is (50, 20).
    bool nearMiddle = false;
    for (const QPointF &p : curve)
        nearMiddle |= std::hypot(p.x() - 50, p.y() - 20) < 2.0;
    EXPECT_TRUE(nearMiddle);
}

TEST(DependencyRoute, ACurveOnOneRowBendsBelowTheStartAndAboveTheEnd)
{
    const QPolygonF curve = DMUIProjectDependency_route(1, 0, QPointF(0, 50), QPointF(200, 50));
    const QRectF bounds = curve.boundingRect();
    // Control points 25 below the start and 25 above the end: y(t) = 50 + 75 t (1 - t)(1 - 2t),
    // which swings about 7.2 points either way.
    EXPECT_GT(bounds.bottom(), 55);
    EXPECT_LT(bounds.top(), 45);
    // The first quarter dips below (y down), the last quarter rises above.
    EXPECT_GT(curve.at(curve.size() / 4).y(), 50);
    EXPECT_LT(curve.at(3 * curve.size() / 4).y(), 50);
}

TEST(DependencyArrow, TriangleAndFrameOfAHorizontalLink)
{
    const QPolygonF route = DMUIProjectDependency_route(0, 0, QPointF(0, 0), QPointF(100, 0));
    const QPolygonF arrow = DMUIProjectDependency_arrow(route);
    ASSERT_EQ(arrow.size(), 4);
    expectNear(arrow.at(0), QPointF(100, 0));
    expectNear(arrow.at(1), QPointF(91.34, -5));
    expectNear(arrow.at(2), QPointF(91.34, 5));
    const QRectF frame = DMUIProjectDependency_frame(route, arrow);
    expectNear(frame.topLeft(), QPointF(-1.5, -6.5), 1e-5);
    expectNear(QPointF(frame.width(), frame.height()), QPointF(103, 13), 1e-5);
    // Without an arrow the frame is the line grown by 1.5.
    EXPECT_EQ(DMUIProjectDependency_frame(route, QPolygonF()), QRectF(-1.5, -1.5, 103, 3));
}

TEST(DependencyArrow, AngleFollowsTheLastSegment)
{
    // Right, down, up, left; a zero-length last segment points along -pi (the head opens to the
    // right of the tip).
    const std::pair<QPointF, float> ends[] = {{QPointF(10, 0), 0.0f}, {QPointF(0, 10), float(M_PI / 2)},
                                              {QPointF(0, -10), float(-M_PI / 2)}, {QPointF(0, 0), float(-M_PI)}};
    for (const auto &[end, angle] : ends)
        EXPECT_FLOAT_EQ(DMUIProjectDependency_arrowAngle(QPointF(0, 0), end), angle) << end.x() << "," << end.y();
    EXPECT_FLOAT_EQ(std::abs(DMUIProjectDependency_arrowAngle(QPointF(10, 0), QPointF(0, 0))), float(M_PI));
    const QPolygonF degenerate = DMUIProjectDependency_arrow(QPolygonF({QPointF(0, 0), QPointF(50, 0), QPointF(50, 0)}));
    expectNear(degenerate.at(1), QPointF(58.66, 5));
    expectNear(degenerate.at(2), QPointF(58.66, -5));
    // Long, nearly horizontal segments, where d.x / length rounds to just above 1 in single
    // precision, still give a finite head on the line.
    for (double y : {1e-4, 3e-4, -2e-4}) {
        const QPolygonF arrow = DMUIProjectDependency_arrow(QPolygonF({QPointF(-4096.1, 0), QPointF(8191.7, y)}));
        for (const QPointF &p : arrow)
            EXPECT_TRUE(std::isfinite(p.x()) && std::isfinite(p.y()));
        EXPECT_NEAR(arrow.at(1).x(), 8191.7 - 8.66, 0.01);
    }
    // A vertical link pointing down: the head's base lies 8.66 above the tip.
    const QPolygonF down = DMUIProjectDependency_arrow(QPolygonF({QPointF(20, 0), QPointF(20, 80)}));
    expectNear(down.at(1), QPointF(25, 71.34));
    expectNear(down.at(2), QPointF(15, 71.34));
    // No last segment, no head.
    EXPECT_TRUE(DMUIProjectDependency_arrow(QPolygonF({QPointF(1, 1)})).isEmpty());
}

TEST(DependencyLook, ThicknessAndDashPatterns)
{
    for (const auto &[thickness, width] : {std::pair{0, 1.0}, std::pair{1, 1.75}, std::pair{2, 2.5}})
        EXPECT_EQ(DMUIProjectDependency_strokeWidthForThickness(thickness, 9), width);
    EXPECT_EQ(DMUIProjectDependency_strokeWidthForThickness(3, 1.75), 1.75); // unchanged
    EXPECT_TRUE(DMUIProjectDependency_dashPattern(0).isEmpty());
    EXPECT_EQ(DMUIProjectDependency_dashPattern(3), QVector<qreal>({7, 2, 3, 2}));
    // A pen counts dash lengths in its widths: 7 and 2 points at 2.5 wide are 2.8 and 0.8.
    EXPECT_EQ(DMUIProjectDependency_penDashPattern(1, 1.0), QVector<qreal>({7, 2}));
    const QVector<qreal> dash = DMUIProjectDependency_penDashPattern(1, 2.5);
    ASSERT_EQ(dash.size(), 2);
    expectNear(QPointF(dash.at(0), dash.at(1)), QPointF(2.8, 0.8), 1e-9);
    EXPECT_EQ(DMUIProjectDependency_penDashPattern(2, 0.5), QVector<qreal>({6, 4}));
    EXPECT_TRUE(DMUIProjectDependency_penDashPattern(7, 1.0).isEmpty());
}

TEST(DependencyHitTest, AVerticalArrowlessLinkIsHitAlongItsLength)
{
    // From a bar above down to a bar below: the frame is only 3 points wide.
    const QPolygonF route = DMUIProjectDependency_route(0, 0, QPointF(40, 10), QPointF(40, 90));
    for (double y = 16; y <= 84; y += 4) {
        EXPECT_TRUE(DMUIProjectDependency_isPointHitting(route, QPointF(40, y), 1.0)) << y;
        EXPECT_TRUE(DMUIProjectDependency_isPointHitting(route, QPointF(40.9, y), 1.0)) << y;
        EXPECT_FALSE(DMUIProjectDependency_isPointHitting(route, QPointF(41.5, y), 1.0)) << y;
    }
    // Within 5 points of either end the point belongs to the bar; past the ends along the same
    // line the segment has ended (no infinite line).
    for (double y : {13.0, 87.0, 120.0})
        EXPECT_FALSE(DMUIProjectDependency_isPointHitting(route, QPointF(40, y), 1.0)) << y;
    // A thicker link is easier to hit.
    EXPECT_TRUE(DMUIProjectDependency_isPointHitting(route, QPointF(42.4, 50), 2.5));
}

TEST(DependencyHitTest, EverySegmentOfARightAngledRouteCounts)
{
    const QPolygonF route = DMUIProjectDependency_route(4, 0, QPointF(0, 0), QPointF(100, 60));
    for (const QPointF &p : {QPointF(25, 0.5), QPointF(50, 30), QPointF(75, 59.5)})
        EXPECT_TRUE(DMUIProjectDependency_isPointHitting(route, p, 1.0)) << p.x();
    // Inside the corner but away from the route.
    EXPECT_FALSE(DMUIProjectDependency_isPointHitting(route, QPointF(25, 30), 1.0));
    EXPECT_FALSE(DMUIProjectDependency_isPointHitting(QPolygonF(), QPointF(0, 0), 1.0));
}

TEST(PendingDependencySnap, TheNearerSideChoosesTheKindAndATieGoesBySource)
{
    // A target bar from x 100 to 200: its start side centred at 100, its finish side at 200.
    // From a finish side (source 0): start side -> finish to start; finish side -> finish to
    // finish. From a start side (source 1): finish side -> start to finish; start side -> start to
    // start. Exactly between: the finish side for source 0, the start side for source 1.
    const struct { int source; qreal x; int kind; QPointF point; } cases[] = {
        {0, 120, 0, {100, 50}}, {0, 180, 3, {200, 50}}, {1, 190, 1, {200, 50}},
        {1, 110, 2, {100, 50}}, {0, 150, 3, {200, 50}}, {1, 150, 2, {100, 50}}};
    for (const auto &c : cases) {
        const auto snap = DMUIProjectPendingDependency_snap(c.source, c.x, QRectF(195, 45, 10, 10), QRectF(95, 45, 10, 10));
        EXPECT_EQ(snap.kind, c.kind) << c.source << " at " << c.x;
        EXPECT_EQ(snap.point, c.point) << c.source << " at " << c.x;
    }
}
