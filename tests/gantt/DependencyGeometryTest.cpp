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
    // Three segments (forward on real bars), going back: the middle leg lies halfway to the left.
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
}

TEST(DependencyArrow, AngleFollowsTheLastSegment)
{
    // A zero-length last segment points along -pi: the head opens to the right of the tip.
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

TEST(DependencyLook, ThicknessAndDashPatternsOutsideTheDrawnCases)
{
    // The drawn cases (2.5 wide, dashes in pen widths) are checked on real bars.
    EXPECT_EQ(DMUIProjectDependency_strokeWidthForThickness(3, 1.75), 1.75); // unchanged
    EXPECT_TRUE(DMUIProjectDependency_dashPattern(0).isEmpty());
    EXPECT_EQ(DMUIProjectDependency_penDashPattern(2, 0.5), QVector<qreal>({6, 4}));
    EXPECT_TRUE(DMUIProjectDependency_penDashPattern(7, 1.0).isEmpty());
}

TEST(DependencyHitTest, ASegmentEndsAtItsPointsAndAThickerLinkIsEasierToHit)
{
    // Along the line and beside it, and near the bars, are clicked on real bars.
    const QPolygonF route = DMUIProjectDependency_route(0, 0, QPointF(40, 10), QPointF(40, 90));
    EXPECT_FALSE(DMUIProjectDependency_isPointHitting(route, QPointF(40, 120), 1.0)); // no infinite line
    EXPECT_FALSE(DMUIProjectDependency_isPointHitting(route, QPointF(42.4, 50), 1.0));
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
