#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <functional>

namespace controlstest {

// The widget as drawn on the given ground colour, at one pixel per point.
inline QImage renderWidget(QWidget &widget, const QColor &ground = Qt::white)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(ground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// A drawing into an image of the given size on the ground colour.
inline QImage renderDrawing(QSize size, const std::function<void(QPainter &)> &draw, const QColor &ground = Qt::white)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(ground);
    QPainter painter(&image);
    draw(painter);
    return image;
}

inline int grey(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y));
}

// How many pixels of the area pass the test.
inline int count(const QImage &image, const QRect &area, const std::function<bool(QRgb)> &test)
{
    int n = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

inline bool isWhitish(QRgb c)
{
    return qRed(c) > 220 && qGreen(c) > 220 && qBlue(c) > 220;
}

} // namespace controlstest
