#include "DMObjectViewGeometry.h"

#include <algorithm>

namespace {

double effectiveZoom(double zoom)
{
    return zoom > 0.0 ? zoom : 1.0;
}

double alignedOffset(double freeSpace, bool atStart, bool atEnd)
{
    if (freeSpace <= 0.0 || atStart)
        return 0.0;
    if (atEnd)
        return freeSpace;
    return freeSpace * 0.5;
}

} // namespace

QRectF DMObjectView_CanvasRectInViewWithParameters(QSizeF canvasSize, double zoom, const QRectF &bounds,
                                                    Qt::Alignment alignment)
{
    const double z = effectiveZoom(zoom);
    const double width = canvasSize.width() * z;
    const double height = canvasSize.height() * z;
    const double x = bounds.x()
        + alignedOffset(bounds.width() - width, alignment.testFlag(Qt::AlignLeft),
                      alignment.testFlag(Qt::AlignRight));
    const double y = bounds.y()
        + alignedOffset(bounds.height() - height, alignment.testFlag(Qt::AlignTop),
                      alignment.testFlag(Qt::AlignBottom));
    return QRectF(x, y, width, height);
}

QPointF DMObjectView_ConvertPointFromView(QPointF point, const QRectF &canvasRect, double zoom)
{
    const double z = effectiveZoom(zoom);
    return QPointF((point.x() - canvasRect.x()) / z, (point.y() - canvasRect.y()) / z);
}

QPointF DMObjectView_ConvertPointToView(QPointF point, const QRectF &canvasRect, double zoom)
{
    const double z = effectiveZoom(zoom);
    return QPointF(point.x() * z + canvasRect.x(), point.y() * z + canvasRect.y());
}
