#include "DMGanttImages.h"

#include "DMImageLibrary.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A closed padlock, 10 x 12.
QImage drawLocked()
{
    QImage image = blankImage(10, 12);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.3, 0.8, 5.4, 7.0), 0, 180 * 16);
    p.drawLine(QPointF(2.3, 4.3), QPointF(2.3, 5.5));
    p.drawLine(QPointF(7.7, 4.3), QPointF(7.7, 5.5));
    p.setPen(QPen(QColor(40, 40, 40), 1.0));
    p.setBrush(QColor(235, 180, 40));
    p.drawRoundedRect(QRectF(0.5, 5.5, 9, 6), 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QRectF(4.2, 7.4, 1.6, 1.6));
    return image;
}

// A paper clip, 8 x 12.
QImage drawAttached()
{
    QImage image = blankImage(8, 12);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 70, 80), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath clip;
    clip.moveTo(5.5, 3.5);
    clip.lineTo(5.5, 9.0);
    clip.arcTo(QRectF(2.5, 7.5, 3.0, 3.5), 0, -180);
    clip.lineTo(2.5, 2.5);
    clip.arcTo(QRectF(2.5, 0.6, 4.5, 3.8), 180, -180);
    clip.lineTo(7.0, 9.5);
    p.drawPath(clip);
    return image;
}

// The link handle: a white disc with a blue ring and centre, 10 x 10.
QImage drawDependencyHandle()
{
    QImage image = blankImage(10, 10);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 110, 220), 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 1, 8, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 110, 220));
    p.drawEllipse(QRectF(3.5, 3.5, 3, 3));
    return image;
}

// The progress slider: a small pointer in the lower half, its tip on the progress line, so
// that it marks the bar's bottom edge without covering the title; 12 x 12.
QImage drawProgressHandle()
{
    QImage image = blankImage(12, 12);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath pointer;
    pointer.moveTo(6, 4.5);
    pointer.lineTo(10.5, 11.5);
    pointer.lineTo(1.5, 11.5);
    pointer.closeSubpath();
    p.setPen(QPen(Qt::white, 1.0));
    p.setBrush(QColor(45, 45, 50));
    p.drawPath(pointer);
    return image;
}

// The gloss of plain bars: 80 x 80, light at the top, darker at the bottom.
QImage drawGloss()
{
    QImage image = blankImage(80, 80);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 0, 80);
    gradient.setColorAt(0.04, QColor::fromRgbF(1, 1, 1, 0.5));
    gradient.setColorAt(0.096, QColor::fromRgbF(1, 1, 1, 0.21));
    gradient.setColorAt(0.91, QColor::fromRgbF(0, 0, 0, 0.1));
    gradient.setColorAt(0.95, QColor::fromRgbF(0, 0, 0, 0.27));
    p.fillRect(QRectF(0, 0, 80, 80), gradient);
    return image;
}

// The event icon: a small calendar page with a red header and a dark dot, 16 x 16; drawn
// scaled into the middle of event bars.
QImage drawEventIcon()
{
    QImage image = blankImage(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 70, 80), 1.0));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 50, 45));
    p.drawRect(QRectF(2, 3, 12, 3.5));
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(4.5, 1, 1.5, 3));
    p.drawRect(QRectF(10, 1, 1.5, 3));
    p.drawEllipse(QRectF(6, 8, 4, 4));
    return image;
}

} // namespace

void DMGanttImages::registerGenerators()
{
    DMImageLibrary::registerGenerator(QStringLiteral("locked"), drawLocked);
    DMImageLibrary::registerGenerator(QStringLiteral("attached"), drawAttached);
    DMImageLibrary::registerGenerator(QStringLiteral("DMUIProjectItem_DependencyHandle3"), drawDependencyHandle);
    DMImageLibrary::registerGenerator(QStringLiteral("DMUIProjectItem_ProgressHandle"), drawProgressHandle);
    DMImageLibrary::registerGenerator(kGlossImageName, drawGloss);
    DMImageLibrary::registerGenerator(QStringLiteral("ic_events"), drawEventIcon);
}

QImage DMGanttImages::imageNamed(const QString &name)
{
    static const bool registered = [] {
        registerGenerators();
        return true;
    }();
    Q_UNUSED(registered);
    return DMImageLibrary::imageNamed(name);
}
