#include "DMProgressViewGeometry.h"

#include <algorithm>
#include <cmath>

namespace DMProgressViewGeometry {

std::optional<qreal> fraction(double value, double minValue, double maxValue)
{
    if (!std::isfinite(value) || !std::isfinite(minValue) || !std::isfinite(maxValue) || maxValue == minValue)
        return std::nullopt;
    return std::clamp((value - minValue) / (maxValue - minValue), 0.0, 1.0);
}

Bar bar(const QRectF &bounds, QSizeF imageSize, qreal leftCap, qreal rightCap, qreal fraction, int titlePosition)
{
    Bar result;
    const qreal width = std::max<qreal>(0, bounds.width() - 2 * kBarInset);
    const qreal height = imageSize.height();
    result.track = QRectF(bounds.x() + kBarInset, bounds.y() + (titlePosition == 0 ? 8 : 2), width, height);
    result.fill = std::clamp<qreal>(fraction, 0, 1) * width;

    qreal fill = result.fill;
    QRectF target = result.track;
    QRectF source(0, 0, imageSize.width(), height);

    if (leftCap > 0) {
        result.slices.append({false, QRectF(source.x(), 0, leftCap, height), QRectF(target.x(), target.y(), leftCap, height)});
        if (fill > 0) {
            const qreal part = std::min(fill, leftCap);
            result.slices.append({true, QRectF(source.x(), 0, part, height), QRectF(target.x(), target.y(), part, height)});
        }
        fill -= leftCap;
        target.adjust(leftCap, 0, 0, 0);
        source.adjust(leftCap, 0, 0, 0);
    }
    if (rightCap > 0) {
        const qreal capX = target.right() - rightCap;
        const qreal capSourceX = source.right() - rightCap;
        result.slices.append({false, QRectF(capSourceX, 0, rightCap, height), QRectF(capX, target.y(), rightCap, height)});
        const qreal beforeCap = target.width() - rightCap;
        if (beforeCap < fill) {
            const qreal part = std::min(fill - beforeCap, rightCap);
            result.slices.append({true, QRectF(capSourceX, 0, part, height), QRectF(capX, target.y(), part, height)});
            fill -= part;
        }
        target.adjust(0, 0, -rightCap, 0);
        source.adjust(0, 0, -rightCap, 0);
    }
    if (target.width() > 0 && source.width() > 0) {
        result.slices.append({false, source, target});
        if (fill > 0) {
            fill = std::min(fill, target.width());
            const QRectF part(source.x(), 0, fill / target.width() * source.width(), height);
            result.slices.append({true, part, QRectF(target.x(), target.y(), fill, height)});
        }
    }
    return result;
}

QList<QRectF> ticks(const QRectF &bounds, int count)
{
    QList<QRectF> result;
    if (count < 2)
        return result;
    const qreal width = std::max<qreal>(0, bounds.width() - 2 * kBarInset);
    result.append(QRectF(bounds.x() + kBarInset, bounds.y() + 4, width, 1));
    for (int i = 0; i < count; ++i)
        result.append(QRectF(std::floor(i * (width - 1) / (count - 1)) + bounds.x() + kBarInset, bounds.y(), 1, 4));
    return result;
}

QPolygonF markerTriangle(qreal x, qreal barEnd)
{
    return QPolygonF({QPointF(x, barEnd + 4), QPointF(x - 6, barEnd + 12), QPointF(x + 6, barEnd + 12)});
}

qreal valueMarkerX(const QRectF &bounds, const Bar &bar, qreal rightCap)
{
    return bounds.x() + kBarInset + std::max<qreal>(0, std::min(bar.fill, bar.track.width() - rightCap));
}

QList<ScaleMarker> scaleMarkers(const QRectF &bounds, int count, double minValue, double maxValue)
{
    QList<ScaleMarker> result;
    if (count <= 0)
        return result;
    const int n = count == 1 ? 2 : count;
    const qreal width = std::max<qreal>(0, bounds.width() - 2 * kBarInset);
    for (int i = count == 1 ? 1 : 0; i < n; ++i) {
        result.append({std::floor(i * (width - 1) / (n - 1)) + bounds.x() + kBarInset,
                       minValue + i * (maxValue - minValue) / (n - 1)});
    }
    return result;
}

QString labelForValue(double value, const QString &unit)
{
    const double whole = std::floor(value);
    if (value - whole < 0.1)
        return QString::number(whole, 'f', 0) + unit;
    if (value - whole > 0.9)
        return QString::number(std::ceil(value), 'f', 0) + unit;
    return QString::number(value, 'f', 1) + unit;
}

QString valueLabel(double value, double maxValue, const QString &unit, bool displayPercentage)
{
    const QString text = labelForValue(value, unit);
    if (!displayPercentage || maxValue == 0 || !std::isfinite(maxValue))
        return text;
    const double percentage = std::round(value * 100 / maxValue);
    return QStringLiteral("%1 (%2%)").arg(text, QString::number(percentage == 0 ? 0.0 : percentage, 'f', 0));
}

QRectF labelRect(const QRectF &bounds, qreal markerX, qreal barEnd, QSizeF labelSize, int titlePosition)
{
    const qreal lw = labelSize.width();
    const qreal lh = labelSize.height();
    if (titlePosition == 0) {
        qreal x = markerX - lw / 2;
        if (x + lw > bounds.right())
            x = bounds.right() - lw;
        if (x < bounds.x())
            x = 0;
        return {x, barEnd + 14, lw, lh};
    }
    qreal x = titlePosition == 1 ? markerX - 14 - lw : markerX + 2;
    if (x + lw > bounds.right())
        x = markerX - 14 - lw;
    if (x < bounds.x())
        x = markerX + 2;
    return {x, barEnd + 12 - (8 + lh) / 2, lw, lh};
}

} // namespace DMProgressViewGeometry
