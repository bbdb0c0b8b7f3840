#include "DMTextAttributes.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

QSizeF DMTextAttributes::sizeOfString(const QString &text) const
{
    if (text.isEmpty())
        return QSizeF(0, 0);
    const QFontMetricsF metrics(font);
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop, text);
    return QSizeF(std::ceil(bounds.width()), std::ceil(bounds.height()));
}

void DMTextAttributes::drawStringInRect(QPainter *painter, const QString &text, const QRectF &rect) const
{
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    painter->save();
    painter->setFont(font);
    painter->setPen(foregroundColor);
    painter->setClipRect(rect, Qt::IntersectClip);
    const QFontMetricsF metrics(font);
    QString shown = text;
    if (truncatesTail && metrics.horizontalAdvance(text) > rect.width())
        shown = metrics.elidedText(text, Qt::ElideRight, rect.width());
    painter->drawText(rect, int(alignment | Qt::AlignTop), shown);
    painter->restore();
}

QFont DMTextAttributes::smallSystemFont(qreal pointSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(pointSize);
    return font;
}
