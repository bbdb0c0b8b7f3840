// The progress views' track and fill images: capsules 40 points wide (11-point caps and a middle
// that is stretched), striped and block variants, a thin pair and the pill pair.
#include "DMControlsImages.h"

#include "DMImageLibrary.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

struct Capsule
{
    QColor top;
    QColor bottom;
    QColor border;
};

void fillCapsule(QPainter &p, const QRectF &rect, const Capsule &colors)
{
    const qreal radius = rect.height() / 2;
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, colors.top);
    gradient.setColorAt(1, colors.bottom);
    p.setPen(QPen(colors.border, 1));
    p.setBrush(gradient);
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    // A soft gloss over the upper half.
    QLinearGradient gloss(rect.topLeft(), QPointF(rect.left(), rect.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(rect.x() + 2, rect.y() + 1.5, rect.width() - 4, rect.height() / 2 - 1), radius / 2,
                      radius / 2);
}

QImage capsule(int width, int height, const Capsule &colors)
{
    QImage image = DMControlsImages::blankImage(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillCapsule(p, QRectF(0, 0, width, height), colors);
    return image;
}

QImage stripedCapsule(const Capsule &colors)
{
    QImage image = capsule(40, 14, colors);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    for (int x = -14; x < 40; x += 8) {
        const QPolygonF stripe({QPointF(x, 14), QPointF(x + 4, 14), QPointF(x + 18, 0), QPointF(x + 14, 0)});
        p.drawPolygon(stripe);
    }
    return image;
}

// Four rounded blocks with gaps, over the whole width (no caps).
QImage blocks(const QColor &fill, const QColor &border)
{
    QImage image = DMControlsImages::blankImage(40, 14);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(i * 10 + 1.5, 1.5, 7, 11), 2, 2);
    return image;
}

QImage verticalGradient(int width, int height, const QColor &top, const QColor &bottom)
{
    QImage image = DMControlsImages::blankImage(width, height);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(image.rect(), gradient);
    return image;
}

const Capsule kBlue{QColor(120, 180, 245), QColor(35, 105, 210), QColor(25, 80, 170)};
const Capsule kLightBlue{QColor(175, 215, 252), QColor(95, 160, 232), QColor(75, 135, 205)};
const Capsule kOrange{QColor(252, 196, 110), QColor(232, 125, 30), QColor(195, 100, 20)};
const Capsule kOrange2{QColor(250, 160, 120), QColor(215, 75, 40), QColor(170, 55, 30)};
const Capsule kWhite{QColor(226, 228, 232), QColor(252, 252, 253), QColor(165, 170, 178)};
const Capsule kGreen{QColor(205, 232, 205), QColor(236, 248, 236), QColor(140, 185, 140)};

} // namespace

void DMControlsImages::registerProgressImages()
{
    const auto add = [](const char *name, std::function<QImage()> generator) {
        DMImageLibrary::registerGenerator(QString::fromLatin1(name), std::move(generator));
    };
    add("BACK_PROGRESS_FULL_BLUE", [] { return capsule(40, 14, kBlue); });
    add("BACK_PROGRESS_FULL_BLUE_STRIPES", [] { return stripedCapsule(kBlue); });
    add("BACK_PROGRESS_FULL_BLUE_LIGHT", [] { return capsule(40, 14, kLightBlue); });
    add("BACK_PROGRESS_FULL_ORANGE", [] { return capsule(40, 14, kOrange); });
    add("BACK_PROGRESS_FULL_ORANGE2", [] { return capsule(40, 14, kOrange2); });
    add("BACK_PROGRESS_EMPTY_WHITE", [] { return capsule(40, 14, kWhite); });
    add("BACK_PROGRESS_EMPTY_GREEN", [] { return capsule(40, 14, kGreen); });
    add("BACK_PROGRESS_FULL_GREEN_BLOCKS", [] { return blocks(QColor(80, 190, 80), QColor(40, 130, 40)); });
    add("BACK_PROGRESS_FULL_ORANGE_BLOCKS", [] { return blocks(QColor(240, 150, 50), QColor(190, 100, 20)); });
    add("BACK_PROGRESS_EMPTY_BLOCKS", [] { return blocks(QColor(232, 232, 232), QColor(175, 175, 175)); });
    add("BACK_PROGRESS_FULL_BLUE_THIN", [] { return capsule(24, 8, kBlue); });
    add("BACK_PROGRESS_EMPTY_WHITE_THIN", [] { return capsule(24, 8, kWhite); });
    add("iPhoneStyleProgressFill", [] { return verticalGradient(40, 16, QColor(140, 200, 255), QColor(20, 110, 230)); });
    add("BlackToGrayGradient", [] { return verticalGradient(40, 16, QColor(10, 10, 10), QColor(120, 120, 120)); });
}
