#include "DMObjectView.h"
#include "DMObjectViewGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(DMObjectViewGeometry, CanvasRectIsScaledAndAlignedInTheBounds)
{
    const std::tuple<QSizeF, qreal, QRectF, Qt::Alignment, QRectF> cases[] = { // canvas, zoom, bounds, alignment, result
        {{100, 50}, 2.0, {0, 0, 400, 300}, Qt::AlignCenter, {100, 100, 200, 100}},
        {{100, 50}, 2.0, {0, 0, 400, 300}, Qt::AlignLeft | Qt::AlignTop, {0, 0, 200, 100}},
        {{100, 50}, 2.0, {0, 0, 400, 300}, Qt::AlignRight | Qt::AlignBottom, {200, 200, 200, 100}},
        {{100, 50}, 0.5, {10, 20, 400, 300}, Qt::AlignLeft | Qt::AlignVCenter, {10, 157.5, 50, 25}},
        {{300, 100}, 2.0, {0, 0, 400, 300}, Qt::AlignCenter, {0, 50, 600, 200}}, // larger: starts at the edge
        {{100, 50}, 0.0, {0, 0, 100, 50}, Qt::AlignCenter, {0, 0, 100, 50}}, // zoom not positive counts as 1
    };
    for (const auto &[canvas, zoom, bounds, alignment, result] : cases)
        EXPECT_EQ(DMObjectView_CanvasRectInViewWithParameters(canvas, zoom, bounds, alignment), result)
            << canvas.width() << " at " << zoom;
}

TEST(DMObjectViewGeometry, PointConversionDividesByZoomAndRoundTrips)
{
    const QRectF canvasRect(100, 100, 200, 100);
    EXPECT_EQ(DMObjectView_ConvertPointFromView(QPointF(150, 130), canvasRect, 2.0), QPointF(25, 15));
    EXPECT_EQ(DMObjectView_ConvertPointFromView(QPointF(90, 95), canvasRect, 2.0), QPointF(-5, -2.5));
    EXPECT_EQ(DMObjectView_ConvertPointToView(QPointF(25, 15), canvasRect, 2.0), QPointF(150, 130));
    EXPECT_EQ(DMObjectView_ConvertPointFromView(QPointF(30, 40), QRectF(10, 10, 5, 5), -1.0), QPointF(20, 30));
}

TEST(DMObjectViewGeometry, ViewConvertsWithItsCanvasSizeZoomAndAlignment)
{
    DMObjectView view;
    view.resize(400, 300);
    view.setCanvasSize(QSizeF(100, 50));
    view.setZoomLevel(2.0);
    view.setCanvasAlignment(Qt::AlignCenter);
    EXPECT_EQ(view.convertRectFromViewToCanvas(QRectF(100, 100, 40, 20)), QRectF(0, 0, 20, 10));
    EXPECT_EQ(view.convertRectFromCanvasToView(QRectF(0, 0, 20, 10)), QRectF(100, 100, 40, 20));

    // Without a canvas size the canvas is the view's own size, scaled.
    view.setCanvasSize(QSizeF());
    view.setCanvasAlignment(Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(view.canvasRectInView(), QRectF(0, 0, 800, 600));
    EXPECT_EQ(view.convertPointFromViewToCanvas(QPointF(50, 30)), QPointF(25, 15));

    view.setZoomLevel(0.0);
    view.setZoomLevel(qQNaN());
    EXPECT_EQ(view.zoomLevel(), 2.0);
}

} // namespace
