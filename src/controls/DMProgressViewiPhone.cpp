#include "DMProgressViewiPhone.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

QPainterPath pill(const QRectF &rect)
{
    const qreal radius = std::round(rect.height() / 2);
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

DMProgressViewiPhone::DMProgressViewiPhone(QWidget *parent)
    : DMProgressView(parent)
{
    setImagesNamed(QStringLiteral("iPhoneStyleProgressFill"), QStringLiteral("BlackToGrayGradient"));
    setCapWidths(0, 0);
    setTicksCount(0);
    setDisplayValueMarker(false);
    setMarkersAtTop(false);
}

QRectF DMProgressViewiPhone::fillRect(const QRectF &bounds, qreal fraction)
{
    if (!(fraction >= 0.001))
        return {};
    QRectF rect = bounds.adjusted(1, 1, -1, -1);
    rect.setWidth(std::max(std::min(fraction, 1.0) * rect.width(), rect.height()));
    return rect;
}

void DMProgressViewiPhone::drawProgress(QPainter &painter) const
{
    const auto fraction = fillFraction();
    if (fullImage().isNull() || emptyImage().isNull() || !fraction)
        return;
    const QRectF bounds(0, 0, width(), height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(pill(bounds));
    painter.drawImage(bounds, emptyImage());
    const QRectF fill = fillRect(bounds, *fraction);
    if (!fill.isEmpty()) {
        painter.setClipPath(pill(fill));
        painter.drawImage(bounds, fullImage());
    }
    painter.restore();
}
