// The attached window's geometry, with y up, against worked numbers: a 100 x 50 view with the
// default margin 2, arrow 20 x 20 and corner radius 10, at the point (500, 500).
#include "DMAttachedWindowGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

DMAttachedWindowMetrics viewOf100By50()
{
    DMAttachedWindowMetrics metrics;
    metrics.viewSize = QSizeF(100, 50);
    return metrics;
}

const QPointF kPoint(500, 500);

struct SideCase
{
    int side;
    QRectF frame;
    QPointF viewOrigin;
};

} // namespace

TEST(DMAttachedWindowGeometry, FrameAndViewForEverySide)
{
    // Box 104 x 54; the arrow adds 20 across its edge; an arrow near an end sits 10 + 10 in.
    const SideCase cases[] = {
        {kDMAttachedWindowSide_Left, {376, 473, 124, 54}, {2, 2}},
        {kDMAttachedWindowSide_Below, {448, 426, 104, 74}, {2, 2}},
        {kDMAttachedWindowSide_Right, {500, 473, 124, 54}, {22, 2}},
        {kDMAttachedWindowSide_Above, {448, 500, 104, 74}, {2, 22}},
        {kDMAttachedWindowSide_LeftLower, {376, 480, 124, 54}, {2, 2}},
        {kDMAttachedWindowSide_LeftUpper, {376, 466, 124, 54}, {2, 2}},
        {kDMAttachedWindowSide_RightLower, {500, 480, 124, 54}, {22, 2}},
        {kDMAttachedWindowSide_RightUpper, {500, 466, 124, 54}, {22, 2}},
        {kDMAttachedWindowSide_AboveRight, {416, 500, 104, 74}, {2, 22}},
        {kDMAttachedWindowSide_AboveLeft, {480, 500, 104, 74}, {2, 22}},
        {kDMAttachedWindowSide_BelowRight, {416, 426, 104, 74}, {2, 2}},
        {kDMAttachedWindowSide_BelowLeft, {480, 426, 104, 74}, {2, 2}},
        {14, {500, 500, 104, 54}, {2, 2}}, // no side: origin at the point, no room for an arrow
    };
    for (const SideCase &c : cases) {
        const DMAttachedWindowLayout layout = DMAttachedWindow_layout(viewOf100By50(), c.side, kPoint);
        EXPECT_EQ(layout.frame, c.frame) << "side " << c.side;
        EXPECT_EQ(layout.viewFrame, QRectF(c.viewOrigin, QSizeF(100, 50))) << "side " << c.side;
    }

    DMAttachedWindowMetrics apart = viewOf100By50();
    apart.distance = 5;
    EXPECT_EQ(DMAttachedWindow_layout(apart, kDMAttachedWindowSide_Below, kPoint).frame.topLeft(), QPointF(448, 421));
    apart.drawsRoundCornerBesideArrow = false;
    EXPECT_EQ(DMAttachedWindow_arrowInset(apart), 10.0f);
    EXPECT_EQ(DMAttachedWindow_layout(apart, kDMAttachedWindowSide_AboveLeft, kPoint).frame.topLeft(), QPointF(490, 505));
}

// Wherever the window sits, the drawn arrow's tip lands on the point (within the half pixel
// that the box's edges are pulled in by).
TEST(DMAttachedWindowGeometry, ArrowTipMeetsThePointOnEverySide)
{
    for (bool roundBeside : {true, false}) {
        DMAttachedWindowMetrics metrics = viewOf100By50();
        metrics.drawsRoundCornerBesideArrow = roundBeside;
        for (int side = 0; side <= 11; ++side) {
            const DMAttachedWindowLayout layout = DMAttachedWindow_layout(metrics, side, kPoint);
            const QPainterPath path = DMAttachedWindow_backgroundPath(metrics, side, layout.viewFrame);
            const QPointF target = kPoint - layout.frame.topLeft();
            qreal nearest = 1e9;
            for (int i = 0; i < path.elementCount(); ++i)
                nearest = std::min(nearest, std::hypot(path.elementAt(i).x - target.x(), path.elementAt(i).y - target.y()));
            EXPECT_LE(nearest, 1.5) << "side " << side << (roundBeside ? " round" : " square");
        }
    }
}

TEST(DMAttachedWindowGeometry, OutlineCornersAndArrow)
{
    DMAttachedWindowMetrics metrics = viewOf100By50();
    const QRectF view(2, 22, 100, 50); // above the point: the box spans y 20 to 74
    const auto curves = [](const QPainterPath &path) {
        int count = 0;
        for (int i = 0; i < path.elementCount(); ++i)
            count += path.elementAt(i).type == QPainterPath::CurveToElement;
        return count;
    };
    EXPECT_EQ(curves(DMAttachedWindow_backgroundPath(metrics, kDMAttachedWindowSide_Above, view)), 4);
    metrics.cornerRadius = 0;
    const QPainterPath square = DMAttachedWindow_backgroundPath(metrics, kDMAttachedWindowSide_Above, view);
    EXPECT_EQ(curves(square), 0);
    EXPECT_EQ(square.elementAt(0).x, 1); // left = ceil(0 + 0.5)
    EXPECT_EQ(square.elementAt(0).y, 73); // top = floor(74 - 0.5)
    // The arrow on the bottom edge points down to y = bottom - 20.
    EXPECT_EQ(square.boundingRect(), QRectF(1, 1, 102, 72));

    // Without the arrow the box keeps its room but draws none.
    metrics.hasArrow = false;
    EXPECT_EQ(DMAttachedWindow_backgroundPath(metrics, kDMAttachedWindowSide_Above, view).boundingRect(),
              QRectF(1, 21, 102, 52));

    // A square corner beside the arrow: the arrow starts at the very end of the top edge.
    DMAttachedWindowMetrics besideCorner = viewOf100By50();
    besideCorner.drawsRoundCornerBesideArrow = false;
    const QPainterPath belowLeft = DMAttachedWindow_backgroundPath(besideCorner, kDMAttachedWindowSide_BelowLeft,
                                                                   QRectF(2, 2, 100, 50));
    EXPECT_EQ(QPointF(belowLeft.elementAt(0)), QPointF(1, 53));
    EXPECT_EQ(QPointF(belowLeft.elementAt(1)), QPointF(11, 73)); // the tip, half the base along, 20 up
    EXPECT_EQ(curves(belowLeft), 3);
}

// The screen's visible frame runs from (0, 0) to (1000, 800); without a parent window it also
// bounds the shift along the edge.
TEST(DMAttachedWindowGeometry, AutomaticSide)
{
    const QRectF screen(0, 0, 1000, 800);
    const auto best = [&](QPointF point, int code = kDMAttachedWindowSide_Automatic, QRectF parent = QRectF()) {
        return DMAttachedWindow_bestSide(viewOf100By50(), code, point, screen, parent.isNull() ? screen : parent);
    };
    // Below is preferred even where the right also fits; touching the bottom still fits.
    EXPECT_EQ(best({500, 500}), kDMAttachedWindowSide_Below);
    EXPECT_EQ(best({500, 74}), kDMAttachedWindowSide_Below);
    // Too low: the right, unless the window would touch the screen's right edge.
    EXPECT_EQ(best({500, 73}), kDMAttachedWindowSide_Right);
    EXPECT_EQ(best({876, 50}), kDMAttachedWindowSide_Left);
    EXPECT_EQ(best({875, 50}), kDMAttachedWindowSide_Right);
    // Code 13 never goes left or right.
    EXPECT_EQ(best({500, 50}, kDMAttachedWindowSide_AutomaticVertical), kDMAttachedWindowSide_Below);
    EXPECT_EQ(best({990, 50}, kDMAttachedWindowSide_AutomaticVertical), kDMAttachedWindowSide_BelowRight);
    // Nothing fits: below.
    EXPECT_EQ(DMAttachedWindow_bestSide(viewOf100By50(), 12, {50, 30}, QRectF(0, 0, 100, 60), QRectF(0, 0, 100, 60)),
              kDMAttachedWindowSide_Below);

    // Shifted along the edge where a centred window would leave the parent window.
    const QRectF parent(400, 20, 300, 500);
    EXPECT_EQ(best({410, 300}, 12, parent), kDMAttachedWindowSide_BelowLeft);
    EXPECT_EQ(best({690, 300}, 12, parent), kDMAttachedWindowSide_BelowRight);
    EXPECT_EQ(best({550, 300}, 12, parent), kDMAttachedWindowSide_Below);
    EXPECT_EQ(best({500, 40}, 12, parent), kDMAttachedWindowSide_RightLower);
    // ... unless the shifted window would leave the screen.
    EXPECT_EQ(best({990, 300}, 12, QRectF(995, 20, 5, 500)), kDMAttachedWindowSide_Below);
}
