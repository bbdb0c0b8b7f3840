#include "DMSearchFieldContainerView.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

DMSearchFieldContainerView::DMSearchFieldContainerView(QWidget *parent)
    : QWidget(parent)
{
}

QRectF DMSearchFieldContainerView::clipRect(const QSize &size)
{
    return QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);
}

void DMSearchFieldContainerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(clipRect(size()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
}

void DMSearchFieldContainerView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A mask clips the table as well, and needs no compositing window manager.
    QPainterPath shape;
    shape.addRoundedRect(clipRect(event->size()), kCornerRadius, kCornerRadius);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}
