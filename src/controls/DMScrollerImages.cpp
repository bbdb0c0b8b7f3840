// The scroller's track, knob and background images and the background boxes' images. Track and
// knob pieces are slices of one capsule 11 points across: 6-point ends and a 4-point middle.
#include "DMControlsImages.h"

#include "DMImageLibrary.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

namespace {

enum class Piece { Start, Middle, End };

struct CapsuleLook
{
    QColor fill;
    QColor border;
};

const CapsuleLook kSlot{QColor(0, 0, 0, 90), QColor(0, 0, 0, 120)};
const CapsuleLook kKnob{QColor(208, 208, 212, 240), QColor(150, 150, 156, 250)};

// One piece of a vertical capsule (start at the top); horizontal pieces are the same turned a
// quarter, the start at the left.
QImage capsulePiece(const CapsuleLook &look, Piece piece, bool horizontal)
{
    constexpr int kAcross = 11;
    constexpr int kEnd = 6;
    constexpr int kMiddle = 4;
    QImage capsule = DMControlsImages::blankImage(kAcross, 2 * kEnd + kMiddle);
    {
        QPainter p(&capsule);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(look.border, 1));
        p.setBrush(look.fill);
        p.drawRoundedRect(QRectF(0.5, 0.5, kAcross - 1, capsule.height() - 1), 5, 5);
    }
    const int top = piece == Piece::Start ? 0 : piece == Piece::Middle ? kEnd : kEnd + kMiddle;
    QImage slice = capsule.copy(0, top, kAcross, piece == Piece::Middle ? kMiddle : kEnd);
    if (!horizontal)
        return slice;
    // A quarter turn clockwise puts the capsule's top at the right: mirror to keep the start left.
    return slice.transformed(QTransform().rotate(90)).mirrored(true, false);
}

QImage gradientImage(int width, int height, bool alongX, const QColor &from, const QColor &to)
{
    QImage image = DMControlsImages::blankImage(width, height);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, alongX ? width : 0, alongX ? 0 : height);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    p.fillRect(image.rect(), gradient);
    return image;
}

QImage blackShine()
{
    QImage image = gradientImage(32, 32, false, QColor(72, 72, 76), QColor(12, 12, 14));
    QPainter p(&image);
    QLinearGradient shine(0, 0, 0, 16);
    shine.setColorAt(0, QColor(255, 255, 255, 60));
    shine.setColorAt(1, QColor(255, 255, 255, 14));
    p.fillRect(QRect(0, 0, 32, 16), shine);
    return image;
}

} // namespace

void DMControlsImages::registerScrollerImages()
{
    const auto add = [](const char *name, std::function<QImage()> generator) {
        DMImageLibrary::registerGenerator(QString::fromLatin1(name), std::move(generator));
    };
    for (bool horizontal : {false, true}) {
        const char *start = horizontal ? "Left" : "Top";
        const char *end = horizontal ? "Right" : "Bottom";
        const char *axis = horizontal ? "Horizontal" : "Vertical";
        const auto name = [&](const char *format, const char *part) { return QString::asprintf(format, axis, part); };
        DMImageLibrary::registerGenerator(name("%sSlotBackground%s", ""), [=] { return capsulePiece(kSlot, Piece::Middle, horizontal); });
        DMImageLibrary::registerGenerator(name("%sSlotEnd%s", start), [=] { return capsulePiece(kSlot, Piece::Start, horizontal); });
        DMImageLibrary::registerGenerator(name("%sSlotEnd%s", end), [=] { return capsulePiece(kSlot, Piece::End, horizontal); });
        DMImageLibrary::registerGenerator(name("%sKnobCenter%s", ""), [=] { return capsulePiece(kKnob, Piece::Middle, horizontal); });
        DMImageLibrary::registerGenerator(name("%sKnob%s", start), [=] { return capsulePiece(kKnob, Piece::Start, horizontal); });
        DMImageLibrary::registerGenerator(name("%sKnob%s", end), [=] { return capsulePiece(kKnob, Piece::End, horizontal); });
    }
    // A dark ground, so that the white arrows and the light knob stand out.
    add("ArrowBackground", [] { return gradientImage(16, 16, true, QColor(74, 76, 80), QColor(98, 100, 104)); });
    add("ArrowBackgroundHorizontal", [] { return gradientImage(16, 16, false, QColor(74, 76, 80), QColor(98, 100, 104)); });
    add("DMBlackShineBox", blackShine);
    add("DMStandardGradientBox", [] { return gradientImage(32, 32, false, QColor(250, 250, 251), QColor(218, 220, 224)); });
}
