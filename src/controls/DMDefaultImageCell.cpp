#include "DMDefaultImageCell.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

DMDefaultImageCell::DMDefaultImageCell(const QImage &image) : m_defaultImage(image), m_image(image) {}

void DMDefaultImageCell::setImage(const QImage &image)
{
    m_image = image.isNull() ? m_defaultImage : image;
}

void DMDefaultImageCell::setObjectValue(const QVariant &value)
{
    QImage image;
    if (value.typeId() == QMetaType::QImage)
        image = value.value<QImage>();
    else if (value.typeId() == QMetaType::QPixmap)
        image = value.value<QPixmap>().toImage();
    else if (value.typeId() == QMetaType::QIcon) {
        const QIcon icon = value.value<QIcon>();
        const QList<QSize> sizes = icon.availableSizes();
        image = icon.pixmap(sizes.isEmpty() ? QSize(64, 64) : sizes.last()).toImage();
    }
    setImage(image);
}

void DMDefaultImageCell::drawInRect(QPainter &painter, const QRect &rect) const
{
    if (m_image.isNull() || rect.isEmpty())
        return;
    const qreal ratio = m_image.devicePixelRatio() > 0 ? m_image.devicePixelRatio() : 1.0;
    QSizeF size = QSizeF(m_image.size()) / ratio;
    if (size.width() > rect.width() || size.height() > rect.height())
        size.scale(rect.size(), Qt::KeepAspectRatio);
    QRectF target(QPointF(), size);
    target.moveCenter(QRectF(rect).center());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_image);
    painter.restore();
}
