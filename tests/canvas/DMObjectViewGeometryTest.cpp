#include "DMObjectView.h"
#include "DMObjectViewGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(DMObjectViewGeometry, CanvasRectIsScaledAndAlignedInTheBounds)
{
    const QSizeF canvas(100, 50);
    const QRectF bounds(0, 0, 400, 300);
    EXPECT_EQ(_DMObjectView_CanvasRectInViewWithParameters(canvas, 2.0, bounds, Qt::AlignCenter),
              QRectF(100, 100, 200, 100));
    EXPECT_EQ(_DMObjectView_CanvasRectInViewWithParameters(canvas, 2.0, bounds, Qt::AlignLeft | Qt::AlignTop),
              QRectF(0, 0, 200, 100));
    EXPECT_EQ(_DMObjectView_CanvasRectInViewWithParameters(canvas, 2.0, bounds, Qt::AlignRight | Qt::AlignBottom),
              QRectF(200, 200, 200, 100));
    EXPECT_EQ(_DMObjectView_CanvasRectInViewWithParameters(canvas, 0.5, QRectF(10, 20, 400, 300),
                                                           Qt::AlignLeft | Qt::AlignVCenter),
              QRectF(10, 157.5, 50, 25));
}

TEST(DMObjectViewGeometry, CanvasLargerThanTheBoundsStartsAtTheirEdge)
{
    EXPECT_EQ(_DMObjectView_CanvasRectInViewWithParameters(QSizeF(300, 100), 2.0, QRectF(0, 0, 400, 300),
                                                           Qt::AlignCenter),
              QRectF(0, 50, 600, 200));
}

TEST(DMObjectViewGeometry, ZoomThatIsNotPositiveCountsAsOne)
{
    EXPECT_EQ(_DMObjectView_CanvasRectInViewWithParameters(QSizeF(100, 50), 0.0, QRectF(0, 0, 100, 50),
                                                           Qt::AlignCenter),
              QRectF(0, 0, 100, 50));
    EXPECT_EQ(_DMObjectView_ConvertPointFromView(QPointF(30, 40), QRectF(10, 10, 5, 5), -1.0), QPointF(20, 30));
}

TEST(DMObjectViewGeometry, PointConversionDividesByZoomAndRoundTrips)
{
    const QRectF canvasRect(100, 100, 200, 100);
    EXPECT_EQ(_DMObjectView_ConvertPointFromView(QPointF(150, 130), canvasRect, 2.0), QPointF(25, 15));
    EXPECT_EQ(_DMObjectView_ConvertPointFromView(QPointF(90, 95), canvasRect, 2.0), QPointF(-5, -2.5));
    EXPECT_EQ(_DMObjectView_ConvertPointToView(QPointF(25, 15), canvasRect, 2.0), QPointF(150, 130));
}

TEST(DMObjectViewGeometry, ViewConvertsWithItsCanvasSizeZoomAndAlignment)
{
    DMObjectView view;
    view.resize(400, 300);
    view.setCanvasSize(QSizeF(100, 50));
    view.setZoomLevel(2.0);
    view.setCanvasAlignment(Qt::AlignCenter);
    EXPECT_EQ(view.canvasRectInView(), QRectF(100, 100, 200, 100));
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
