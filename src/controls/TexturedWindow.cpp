#include "TexturedWindow.h"

#include "DMImageLibrary.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

QImage drawGradient()
{
    QImage image(20, 77, QImage::Format_RGB32);
    QPainter painter(&image);
    // From y = 0 to 76 counted upwards, that is from the bottom row to the top row.
    QLinearGradient gradient(0, 76, 0, 0);
    gradient.setColorAt(0.1, QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    gradient.setColorAt(0.9, QColor::fromRgbF(0.9f, 0.9f, 0.9f));
    gradient.setSpread(QGradient::PadSpread);
    painter.fillRect(image.rect(), gradient);
    return image;
}

} // namespace

TexturedWindow::TexturedWindow(QWidget *parent, Qt::WindowFlags flags) : QMainWindow(parent, flags)
{
    static const bool registered = [] {
        DMImageLibrary::registerGenerator(kGradientImageName, drawGradient);
        return true;
    }();
    (void)registered;
    m_unifiedToolbarGradientImage = DMImageLibrary::imageNamed(kGradientImageName);
}

QRect TexturedWindow::toolbarBand() const
{
    const QWidget *content = centralWidget();
    if (!content)
        return {};
    return QRect(0, 0, width(), content->geometry().top());
}

QRectF TexturedWindow::gradientSourceRect(const QImage &gradient, int bandHeight)
{
    const int height = std::clamp(bandHeight, 0, gradient.height());
    return QRectF(0, gradient.height() - height, gradient.width(), height);
}

void TexturedWindow::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    const QRect band = toolbarBand();
    if (band.isEmpty())
        return;
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.drawImage(QRectF(band), m_unifiedToolbarGradientImage,
                      gradientSourceRect(m_unifiedToolbarGradientImage, band.height()));
}
