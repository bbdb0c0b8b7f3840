#include "BlackCheckBoxButtonCell.h"

#include "BlackControlsDrawing.h"

#include <QButtonGroup>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

using namespace BlackControlsDrawing;

namespace {

constexpr qreal kBoxToFont = 1.66;
constexpr qreal kTitleGap = 4;

} // namespace

BlackCheckBoxButtonCell::BlackCheckBoxButtonCell(const QString &title, QWidget *parent)
    : QCheckBox(title, parent)
{
}

bool BlackCheckBoxButtonCell::isRadio() const
{
    return group() && group()->exclusive();
}

QRectF BlackCheckBoxButtonCell::boxRect(const QRectF &frame) const
{
    const qreal size = std::round(kBoxToFont * QFontInfo(font()).pixelSize());
    return {frame.x() + 1.5, frame.y() + (frame.height() - size) / 2, size, size};
}

QColor BlackCheckBoxButtonCell::titleColor() const
{
    return isEnabled() ? QColor(Qt::white) : grey(0.7);
}

void BlackCheckBoxButtonCell::drawWithFrame(QPainter &painter, const QRectF &frame) const
{
    const QRectF box = boxRect(frame);
    const qreal radius = isRadio() ? box.width() / 2 : box.width() * 0.22;
    const QPainterPath shape = roundedRect(box, radius);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    painter.strokePath(lowerHalf(box, radius), QPen(grey(0, 0.5), 1.2));
    painter.save();
    painter.setClipPath(shape, Qt::IntersectClip);
    if (!isEnabled())
        painter.fillRect(box, grey(0.3, 0.4));
    if (isDown())
        painter.fillRect(box, grey(1, 0.2));
    fillBlackGradient(painter, box);
    painter.restore();
    painter.strokePath(shape, QPen(titleColor(), 0.8));

    if (checkState() != Qt::Unchecked) {
        const qreal w = box.width();
        const qreal h = box.height();
        if (isRadio()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(titleColor());
            painter.drawEllipse(box.center(), w * 0.22, h * 0.22);
        } else {
            QPainterPath mark;
            mark.moveTo(box.x() + 0.26 * w, box.y() + 0.52 * h);
            mark.lineTo(box.x() + 0.44 * w, box.y() + 0.72 * h);
            mark.lineTo(box.x() + 0.76 * w, box.y() + 0.3 * h);
            painter.strokePath(mark, QPen(titleColor(), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
    }

    painter.setFont(font());
    painter.setPen(titleColor());
    const QRectF title(box.right() + kTitleGap, frame.y(), frame.right() - box.right() - kTitleGap, frame.height());
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    painter.restore();
}

QSize BlackCheckBoxButtonCell::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int box = int(std::ceil(kBoxToFont * QFontInfo(font()).pixelSize())) + 3;
    return {box + int(kTitleGap) + metrics.horizontalAdvance(text()) + 2, std::max(box, metrics.height()) + 2};
}

void BlackCheckBoxButtonCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawWithFrame(painter, QRectF(rect()));
}

bool BlackCheckBoxButtonCell::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}
