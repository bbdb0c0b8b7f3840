#include "DMPageLayoutAdditions.h"

#include <algorithm>

DMPageRects DMPageRectsForPaper(const QSizeF &paperSize, const QMarginsF &margins)
{
    DMPageRects rects;
    rects.pageRect = QRectF(QPointF(0, 0), paperSize);
    const qreal width = std::max<qreal>(0, paperSize.width() - margins.left() - margins.right());
    const qreal height = std::max<qreal>(0, paperSize.height() - margins.top() - margins.bottom());
    rects.printZoneRect = QRectF(margins.left(), margins.bottom(), width, height);
    return rects;
}

void getPageRectPrintZoneRectOrientation(const QPageLayout &layout, QRectF *pageRect, QRectF *printZoneRect,
                                         QPageLayout::Orientation *orientation)
{
    const DMPageRects rects = DMPageRectsForPaper(layout.fullRect(QPageLayout::Point).size(),
                                                  layout.margins(QPageLayout::Point));
    if (pageRect)
        *pageRect = rects.pageRect;
    if (printZoneRect)
        *printZoneRect = rects.printZoneRect;
    if (orientation)
        *orientation = layout.orientation();
}

QRectF DMPageRects_flipped(const QRectF &rect, qreal pageHeight)
{
    return QRectF(rect.x(), pageHeight - rect.y() - rect.height(), rect.width(), rect.height());
}
