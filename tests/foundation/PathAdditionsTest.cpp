#include "DMPathAdditions.h"

#include <gtest/gtest.h>

namespace {

// The square of side lw centred on the point, as the link line's hit test builds it.
QRectF around(qreal x, qreal y, qreal lineWidth = 2)
{
    return QRectF(x - lineWidth / 2, y - lineWidth / 2, lineWidth, lineWidth);
}

TEST(PathAdditions, ContourHitsWithinTheLineWidthOfASegment)
{
    QPainterPath path(QPointF(0, 0));
    path.lineTo(100, 0);
    path.lineTo(100, 50);
    EXPECT_TRUE(contourIntersectsRect(path, 2, around(50, 0)));
    EXPECT_TRUE(contourIntersectsRect(path, 2, around(50, 2)));
    EXPECT_FALSE(contourIntersectsRect(path, 2, around(50, 2.5)));
    EXPECT_TRUE(contourIntersectsRect(path, 2, around(101.5, 25)));
    EXPECT_FALSE(contourIntersectsRect(path, 2, around(50, 25)));
    EXPECT_TRUE(contourIntersectsRect(path, 4, around(50, 3.5)));
}

TEST(PathAdditions, ContourDoesNotHitTheLineBeyondASegment)
{
    // On the infinite lines through both segments, but far beyond their ends.
    QPainterPath path(QPointF(0, 0));
    path.lineTo(100, 0);
    path.lineTo(100, 50);
    EXPECT_FALSE(contourIntersectsRect(path, 2, around(300, 0)));
    EXPECT_FALSE(contourIntersectsRect(path, 2, around(-50, 0)));
    EXPECT_FALSE(contourIntersectsRect(path, 2, around(100, 200)));
    EXPECT_TRUE(contourIntersectsRect(path, 2, around(-1.5, 0))); // within reach of the end
}

TEST(PathAdditions, ContourOfCurvesAndEmptyPaths)
{
    QPainterPath curve(QPointF(0, 0));
    curve.cubicTo(0, 100, 100, 100, 100, 0);
    // The curve's lowest point is (50, 75); its control points are far from it.
    EXPECT_TRUE(contourIntersectsRect(curve, 2, around(50, 75)));
    EXPECT_FALSE(contourIntersectsRect(curve, 2, around(50, 100)));
    EXPECT_FALSE(contourIntersectsRect(QPainterPath(), 2, around(0, 0)));
    EXPECT_FALSE(contourIntersectsRect(QPainterPath(QPointF(5, 5)), 2, around(5, 5)));
}

TEST(PathAdditions, LastLineElement)
{
    QPointF start, end;
    QPainterPath path(QPointF(1, 2));
    path.lineTo(10, 2);
    path.cubicTo(20, 2, 20, 30, 30, 30);
    path.lineTo(40, 35);
    ASSERT_TRUE(lastLineElementStartPointEndPoint(path, &start, &end));
    EXPECT_EQ(start, QPointF(30, 30)); // from the curve's end point
    EXPECT_EQ(end, QPointF(40, 35));

    path.cubicTo(50, 35, 50, 50, 60, 60); // the last line stays the last straight segment
    ASSERT_TRUE(lastLineElementStartPointEndPoint(path, &start, nullptr));
    EXPECT_EQ(start, QPointF(30, 30));

    QPainterPath curveOnly(QPointF(0, 0));
    curveOnly.cubicTo(1, 1, 2, 2, 3, 3);
    EXPECT_FALSE(lastLineElementStartPointEndPoint(curveOnly, &start, &end));
    EXPECT_FALSE(lastLineElementStartPointEndPoint(QPainterPath(), &start, &end));
    EXPECT_FALSE(lastLineElementStartPointEndPoint(QPainterPath(QPointF(3, 3)), nullptr, nullptr));
}

} // namespace
