#include "DMDefaultImageView.h"

#include <QPainter>

DMDefaultImageView::DMDefaultImageView(const QImage &defaultImage, QWidget *parent)
    : QWidget(parent), m_cell(defaultImage)
{
}

void DMDefaultImageView::setImage(const QImage &image)
{
    m_cell.setImage(image);
    update();
}

void DMDefaultImageView::setObjectValue(const QVariant &value)
{
    m_cell.setObjectValue(value);
    update();
}

QSize DMDefaultImageView::sizeHint() const
{
    const QImage shown = m_cell.image();
    return shown.isNull() ? QSize(48, 48) : shown.deviceIndependentSize().toSize();
}

void DMDefaultImageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_cell.drawInRect(painter, rect());
}
