#include "DMPathAdditions.h"

#include <gtest/gtest.h>

namespace {

// The square of side lw centred on the point, as the link line's hit test builds it.
QRectF around(qreal x, qreal y, qreal lineWidth = 2)
{
    return QRectF(x - lineWidth / 2, y - lineWidth / 2, lineWidth, lineWidth);
}

TEST(PathAdditions, ContourHitsWithinTheLineWidthOfASegmentNotTheLineBeyondIt)
{
    QPainterPath path(QPointF(0, 0));
    path.lineTo(100, 0);
    path.lineTo(100, 50);
    const std::tuple<qreal, qreal, qreal, bool> cases[] = { // x, y, line width, hit
        {50, 0, 2, true}, {50, 2, 2, true}, {50, 2.5, 2, false}, {101.5, 25, 2, true}, {50, 25, 2, false},
        {50, 3.5, 4, true}, {-1.5, 0, 2, true}, // within reach of the end
        // On the infinite lines through both segments, but far beyond their ends.
        {300, 0, 2, false}, {-50, 0, 2, false}, {100, 200, 2, false},
    };
    for (const auto &[x, y, width, hit] : cases)
        EXPECT_EQ(contourIntersectsRect(path, width, around(x, y)), hit) << x << "," << y << " width " << width;
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
