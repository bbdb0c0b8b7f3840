#include "DMDrawingAdditions.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The two insets of one axis, made non-negative and shrunk together to fit the length.
std::pair<qreal, qreal> fitInsets(qreal first, qreal second, qreal length)
{
    first = std::max<qreal>(0, first);
    second = std::max<qreal>(0, second);
    const qreal total = first + second;
    if (total > length && total > 0) {
        const qreal factor = std::max<qreal>(0, length) / total;
        first *= factor;
        second *= factor;
    }
    return {first, second};
}

// The four edges of the three bands of one axis.
std::array<qreal, 4> bands(qreal start, qreal length, std::pair<qreal, qreal> insets)
{
    return {start, start + insets.first, start + length - insets.second, start + length};
}

} // namespace

void DMDrawImageInRectWithEdgeInsets(QPainter *painter, const QImage &image, const QRectF &rect,
                                     const DMEdgeInsets &insets)
{
    if (!painter || image.isNull() || rect.isEmpty())
        return;
    const qreal ratio = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1.0;
    const qreal imageWidth = image.width() / ratio;
    const qreal imageHeight = image.height() / ratio;

    const auto sourceX = fitInsets(insets.left, insets.right, imageWidth);
    const auto sourceY = fitInsets(insets.top, insets.bottom, imageHeight);
    const auto targetX = fitInsets(sourceX.first, sourceX.second, rect.width());
    const auto targetY = fitInsets(sourceY.first, sourceY.second, rect.height());

    const auto sx = bands(0, imageWidth, sourceX);
    const auto sy = bands(0, imageHeight, sourceY);
    const auto tx = bands(rect.left(), rect.width(), targetX);
    const auto ty = bands(rect.top(), rect.height(), targetY);

    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF target(QPointF(tx[column], ty[row]), QPointF(tx[column + 1], ty[row + 1]));
            const QRectF source(QPointF(sx[column] * ratio, sy[row] * ratio),
                                QPointF(sx[column + 1] * ratio, sy[row + 1] * ratio));
            if (target.isEmpty() || source.isEmpty())
                continue;
            painter->drawImage(target, image, source);
        }
    }
}

QSize sizeWithMaxSize(const QSize &size, const QSize &maxSize)
{
    if (size.isEmpty() || maxSize.isEmpty())
        return QSize();
    if (size.width() <= maxSize.width() && size.height() <= maxSize.height())
        return size;
    const double factor = std::min(double(maxSize.width()) / size.width(), double(maxSize.height()) / size.height());
    return QSize(std::clamp(int(std::lround(size.width() * factor)), 1, maxSize.width()),
                 std::clamp(int(std::lround(size.height() * factor)), 1, maxSize.height()));
}

QImage imageWithMaxSize(const QImage &image, const QSize &maxSize)
{
    const QSize size = sizeWithMaxSize(image.size(), maxSize);
    if (image.isNull() || size.isEmpty())
        return QImage();
    if (size == image.size())
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
