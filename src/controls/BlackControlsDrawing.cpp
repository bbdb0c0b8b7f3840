#include "BlackControlsDrawing.h"

#include <QLinearGradient>
#include <QPainter>

namespace BlackControlsDrawing {

QColor grey(qreal white, qreal alpha)
{
    return QColor::fromRgbF(float(white), float(white), float(white), float(alpha));
}

QColor charcoal()
{
    return grey(0.16);
}

void fillBlackGradient(QPainter &painter, const QRectF &rect)
{
    QLinearGradient gradient(rect.bottomLeft(), rect.topLeft());
    gradient.setColorAt(0, QColor(0, 0, 0, 0));
    gradient.setColorAt(1, grey(0, 0.4));
    painter.fillRect(rect, gradient);
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath lowerHalf(const QRectF &rect, qreal radius)
{
    const qreal r = std::min(radius, std::min(rect.width(), rect.height()) / 2);
    QPainterPath path;
    path.moveTo(rect.right(), rect.bottom() - r);
    path.arcTo(QRectF(rect.right() - 2 * r, rect.bottom() - 2 * r, 2 * r, 2 * r), 0, -90);
    path.lineTo(rect.left() + r, rect.bottom());
    path.arcTo(QRectF(rect.left(), rect.bottom() - 2 * r, 2 * r, 2 * r), 270, -90);
    return path.translated(0, 1);
}

void drawButtonBody(QPainter &painter, const QRectF &rect, qreal radius, bool isDefault, bool highlighted)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = roundedRect(rect, radius);
    painter.fillPath(shape, grey(isDefault ? 0.4 : 0.2));
    if (highlighted)
        painter.fillPath(shape, grey(1, 0.2));
    painter.setClipPath(shape, Qt::IntersectClip);
    fillBlackGradient(painter, rect);
    painter.restore();
}

void drawButtonEdges(QPainter &painter, const QRectF &rect, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(lowerHalf(rect, radius), QPen(grey(0, 0.7), 1.5));
    painter.strokePath(roundedRect(rect, radius), QPen(grey(1, 0.9), 1.0));
    painter.restore();
}

void drawShadowedText(QPainter &painter, const QRectF &rect, int flags, const QString &text, const QColor &color)
{
    painter.save();
    // A few faint copies around the point below stand in for a blurred shadow.
    painter.setPen(grey(0, 0.28));
    for (const QPointF offset : {QPointF(0, 1), QPointF(-0.7, 1.4), QPointF(0.7, 1.4), QPointF(0, 2)})
        painter.drawText(rect.translated(offset), flags, text);
    painter.setPen(color);
    painter.drawText(rect, flags, text);
    painter.restore();
}

} // namespace BlackControlsDrawing
