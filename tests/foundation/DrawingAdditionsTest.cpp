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
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255),
               black = qRgb(0, 0, 0);
    const QImage image = drawn(QSize(50, 30), QRectF(5, 5, 40, 20), {3, 3, 3, 3});
    const std::tuple<int, int, QRgb> pixels[] = {
        {5, 5, red}, {7, 7, red}, {8, 5, green}, {5, 8, blue}, {44, 24, red}, {42, 22, red}, {41, 24, green}, // corners 3 x 3
        {25, 6, green}, {25, 23, green}, {6, 15, blue}, {43, 15, blue}, // edges stretched along their length
        {8, 8, white}, {41, 21, white}, {25, 15, white}, // the centre both ways
        {4, 15, black}, {45, 15, black}, {25, 25, black}, // nothing outside the rectangle
    };
    for (const auto &[x, y, color] : pixels)
        EXPECT_EQ(image.pixel(x, y), color) << x << "," << y;

    // 4 pixels wide cannot hold two 3-pixel corners: each becomes 2 wide, no centre column.
    const QImage narrow = drawn(QSize(4, 20), QRectF(0, 0, 4, 20), {3, 3, 3, 3});
    for (const auto &[x, y, color] : {std::tuple{0, 0, red}, {3, 19, red}, {1, 10, blue}, {2, 10, blue}})
        EXPECT_EQ(narrow.pixel(x, y), color) << x << "," << y;

    // A null painter or an empty rectangle draws nothing and do not crash.
    DMDrawImageInRectWithEdgeInsets(nullptr, nineParts(), QRectF(0, 0, 5, 5), {});
    EXPECT_EQ(drawn(QSize(5, 5), QRectF(), {1, 1, 1, 1}).pixel(2, 2), black);
}

TEST(DrawingAdditions, ImageWithMaxSizeFitsKeepingProportions)
{
    const std::tuple<QSize, QSize, QSize> cases[] = { // image, maximum, result
        {{200, 100}, {64, 64}, {64, 32}}, {{100, 300}, {256, 256}, {85, 256}},
        {{30, 40}, {64, 64}, {30, 40}}, // never scaled up
        {{64, 64}, {64, 64}, {64, 64}}, {{1000, 1}, {64, 64}, {64, 1}}, // never below a pixel
        {{10, 10}, {0, 64}, {0, 0}},
    };
    for (const auto &[size, max, result] : cases) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::gray);
        EXPECT_EQ(imageWithMaxSize(image, max).size(), result) << size.width() << "x" << size.height();
    }
    EXPECT_TRUE(imageWithMaxSize(QImage(), QSize(64, 64)).isNull());
}

} // namespace
