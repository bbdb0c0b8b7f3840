#include "DMDrawingAdditions.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A 10 x 10 image: 3-pixel corners red, top and bottom edges green, left and right edges blue,
// centre white. Insets of 3 on every side pick exactly these parts.
QImage nineParts()
{
    QImage image(10, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool edgeX = x < 3 || x >= 7;
            const bool edgeY = y < 3 || y >= 7;
            QRgb color = qRgb(255, 255, 255);
            if (edgeX && edgeY)
                color = qRgb(255, 0, 0);
            else if (edgeY)
                color = qRgb(0, 255, 0);
            else if (edgeX)
                color = qRgb(0, 0, 255);
            image.setPixel(x, y, color);
        }
    }
    return image;
}

QImage drawn(const QSize &canvas, const QRectF &rect, const DMEdgeInsets &insets)
{
    QImage target(canvas, QImage::Format_ARGB32);
    target.fill(Qt::black);
    QPainter painter(&target);
    DMDrawImageInRectWithEdgeInsets(&painter, nineParts(), rect, insets);
    painter.end();
    return target;
}

TEST(DrawingAdditions, NinePartsKeepCornersAndStretchTheRest)
{
    const QImage image = drawn(QSize(50, 30), QRectF(5, 5, 40, 20), {3, 3, 3, 3});
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);
    // Corners stay 3 x 3.
    EXPECT_EQ(image.pixel(5, 5), red);
    EXPECT_EQ(image.pixel(7, 7), red);
    EXPECT_EQ(image.pixel(8, 5), green);
    EXPECT_EQ(image.pixel(5, 8), blue);
    EXPECT_EQ(image.pixel(44, 24), red);
    EXPECT_EQ(image.pixel(42, 22), red);
    EXPECT_EQ(image.pixel(41, 24), green);
    // Edges stretched along their length, centre both ways.
    EXPECT_EQ(image.pixel(25, 6), green);
    EXPECT_EQ(image.pixel(25, 23), green);
    EXPECT_EQ(image.pixel(6, 15), blue);
    EXPECT_EQ(image.pixel(43, 15), blue);
    EXPECT_EQ(image.pixel(8, 8), white);
    EXPECT_EQ(image.pixel(41, 21), white);
    EXPECT_EQ(image.pixel(25, 15), white);
    // Nothing outside the rectangle.
    EXPECT_EQ(image.pixel(4, 15), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(45, 15), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(25, 25), qRgb(0, 0, 0));
}

TEST(DrawingAdditions, InsetsShrinkWhenTheRectangleIsTooSmall)
{
    // 4 pixels wide cannot hold two 3-pixel corners: each becomes 2 wide, no centre column.
    const QImage image = drawn(QSize(4, 20), QRectF(0, 0, 4, 20), {3, 3, 3, 3});
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(3, 19), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 10), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(2, 10), qRgb(0, 0, 255));

    // A null painter, a null image or an empty rectangle draw nothing and do not crash.
    DMDrawImageInRectWithEdgeInsets(nullptr, nineParts(), QRectF(0, 0, 5, 5), {});
    EXPECT_EQ(drawn(QSize(5, 5), QRectF(), {1, 1, 1, 1}).pixel(2, 2), qRgb(0, 0, 0));
}

TEST(DrawingAdditions, ImageWithMaxSizeFitsKeepingProportions)
{
    const auto sized = [](int width, int height, QSize max) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::gray);
        return imageWithMaxSize(image, max).size();
    };
    EXPECT_EQ(sized(200, 100, QSize(64, 64)), QSize(64, 32));
    EXPECT_EQ(sized(100, 300, QSize(256, 256)), QSize(85, 256));
    EXPECT_EQ(sized(30, 40, QSize(64, 64)), QSize(30, 40)); // never scaled up
    EXPECT_EQ(sized(64, 64, QSize(64, 64)), QSize(64, 64));
    EXPECT_EQ(sized(1000, 1, QSize(64, 64)), QSize(64, 1)); // never below a pixel
    EXPECT_TRUE(imageWithMaxSize(QImage(), QSize(64, 64)).isNull());
    EXPECT_TRUE(sized(10, 10, QSize(0, 64)).isEmpty());
}

} // namespace
