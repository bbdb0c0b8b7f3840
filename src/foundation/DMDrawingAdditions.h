#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>

class QPainter;

// Insets of a nine-part image, in the image's device-independent units.
struct DMEdgeInsets
{
    qreal top = 0;
    qreal left = 0;
    qreal bottom = 0;
    qreal right = 0;
};

// Draws the image into the rectangle in nine parts: the corners unscaled, the edges stretched
// along their length and the centre stretched both ways. When the rectangle (or the image) is
// narrower or lower than the two insets together, both insets shrink in proportion to fit.
void DMDrawImageInRectWithEdgeInsets(QPainter *painter, const QImage &image, const QRectF &rect,
                                     const DMEdgeInsets &insets);

// A copy scaled down, keeping its proportions, to fit the size (never below one pixel a side);
// the image itself when it already fits; a null image for a null image or an empty size.
QImage imageWithMaxSize(const QImage &image, const QSize &maxSize);
// The size such a copy has; an invalid size for an empty size on either side.
QSize sizeWithMaxSize(const QSize &size, const QSize &maxSize);
