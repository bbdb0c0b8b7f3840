#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>

// Page geometry with the origin at the bottom left and y up, as page composition states it.
struct DMPageRects
{
    QRectF pageRect;      // (0, 0) and the paper size
    QRectF printZoneRect; // (left, bottom) and the paper size less the margins
};

// The page rectangle and print zone of a paper size and margins, y up. A zone whose margins
// exceed the paper has zero width or height, never a negative one.
DMPageRects DMPageRectsForPaper(const QSizeF &paperSize, const QMarginsF &margins);

// The layout's paper (oriented) and margins in points, as DMPageRectsForPaper gives them, and
// its orientation. Null out-pointers are skipped.
void getPageRectPrintZoneRectOrientation(const QPageLayout &layout, QRectF *pageRect, QRectF *printZoneRect,
                                         QPageLayout::Orientation *orientation);

// A rectangle of a page of the given height, flipped between y up and y down (either way).
QRectF DMPageRects_flipped(const QRectF &rect, qreal pageHeight);
