#pragma once

#include <QImage>
#include <QVariant>

class QPainter;
class QRect;

// An image cell that falls back to a default image: setting no image shows the default one.
// The image a cell is made with becomes its default.
class DMDefaultImageCell
{
public:
    explicit DMDefaultImageCell(const QImage &image = QImage());

    QImage image() const { return m_image; }
    void setImage(const QImage &image);
    // A QImage, QPixmap or QIcon value is shown; anything else counts as no image.
    void setObjectValue(const QVariant &value);
    QImage defaultImage() const { return m_defaultImage; }
    void setDefaultImage(const QImage &image) { m_defaultImage = image; }

    // Draws the image centred in the rectangle, scaled down (never up) to fit it.
    void drawInRect(QPainter &painter, const QRect &rect) const;

private:
    QImage m_defaultImage;
    QImage m_image;
};
