#include "DMImageBackgroundBox.h"

#include "DMControlsImages.h"

#include <QPainter>

DMImageBackgroundBox::DMImageBackgroundBox(QWidget *parent)
    : QGroupBox(parent)
{
}

void DMImageBackgroundBox::setBackgroundImage(const QImage &image)
{
    m_backgroundImage = image;
    update();
}

void DMImageBackgroundBox::paintEvent(QPaintEvent *event)
{
    if (!m_backgroundImage.isNull()) {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), m_backgroundImage);
    }
    QGroupBox::paintEvent(event);
}

DMBlackShineBox::DMBlackShineBox(QWidget *parent)
    : DMImageBackgroundBox(parent)
{
    setBackgroundImage(DMControlsImages::imageNamed(QStringLiteral("DMBlackShineBox")));
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, Qt::white); // the title, readable on the black
    setPalette(colors);
}

DMStandardGradientBox::DMStandardGradientBox(QWidget *parent)
    : DMImageBackgroundBox(parent)
{
    setBackgroundImage(DMControlsImages::imageNamed(QStringLiteral("DMStandardGradientBox")));
}
