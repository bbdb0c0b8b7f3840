#include "DMGanttHoverShadow.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One pass of a box blur of the given radius along rows (horizontal) or columns, on all four
// channels of a premultiplied image.
void boxBlurPass(QImage &image, int radius, bool horizontal)
{
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const int window = 2 * radius + 1;
    std::vector<QRgb> source(static_cast<size_t>(length));
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int i) -> QRgb & {
            return horizontal ? reinterpret_cast<QRgb *>(image.scanLine(line))[i]
                              : reinterpret_cast<QRgb *>(image.scanLine(i))[line];
        };
        for (int i = 0; i < length; ++i)
            source[size_t(i)] = pixel(i);
        int sum[4] = {0, 0, 0, 0};
        auto add = [&](int i, int sign) {
            if (i < 0 || i >= length)
                return;
            const QRgb c = source[size_t(i)];
            sum[0] += sign * qAlpha(c);
            sum[1] += sign * qRed(c);
            sum[2] += sign * qGreen(c);
            sum[3] += sign * qBlue(c);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        for (int i = 0; i < length; ++i) {
            pixel(i) = qRgba(sum[1] / window, sum[2] / window, sum[3] / window, sum[0] / window);
            add(i - radius, -1);
            add(i + radius + 1, 1);
        }
    }
}

} // namespace

QColor DMGanttHoverShadow::color()
{
    return QColor::fromRgbF(0.0f, 0.5f, 1.0f, 1.0f);
}

void DMGanttHoverShadow::drawForPath(QPainter *painter, const QPainterPath &path)
{
    // The shadow is made in the painter's own page coordinates (its world and view transforms),
    // at the device's pixel ratio, and drawn back with those transforms reset. The device's
    // transform cannot serve here: it also holds where a widget lies in its window, which the
    // painter adds again to whatever it draws, so the shadow fell that far away.
    const QTransform transform = painter->combinedTransform();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    const qreal scale = std::sqrt(std::abs(transform.determinant())) * ratio;
    if (path.isEmpty() || !(scale > 0) || !(ratio > 0))
        return;
    // Three box blurs approximate a Gaussian; the blur radius is about two standard deviations.
    const int boxRadius = std::max(1, int(std::lround(kBlurRadius * scale / 2.0)));
    const qreal margin = (3 * boxRadius + 1) / ratio;
    const QRect bounds = transform.map(path).boundingRect().adjusted(-margin, -margin, margin, margin).toAlignedRect();
    const QSize pixels = (QSizeF(bounds.size()) * ratio).toSize();
    if (bounds.isEmpty() || pixels.width() > 8192 || pixels.height() > 8192)
        return;

    QImage shadow(pixels, QImage::Format_ARGB32_Premultiplied);
    shadow.setDevicePixelRatio(ratio);
    shadow.fill(Qt::transparent);
    {
        QPainter shape(&shadow);
        shape.setRenderHint(QPainter::Antialiasing);
        shape.translate(-bounds.topLeft());
        shape.setTransform(transform, true);
        shape.fillPath(path, color());
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurPass(shadow, boxRadius, true);
        boxBlurPass(shadow, boxRadius, false);
    }

    painter->save();
    painter->resetTransform();
    painter->drawImage(bounds.topLeft(), shadow);
    painter->restore();
}
