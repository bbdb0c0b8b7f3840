#include "BlackButtonCell.h"

#include "BlackControlsDrawing.h"

#include <QFontMetrics>
#include <QPainter>

using namespace BlackControlsDrawing;

namespace {

QRectF lowered(QRectF rect)
{
    rect.setHeight(std::max<qreal>(0, rect.height() - 10));
    return rect;
}

} // namespace

BlackButtonCell::BlackButtonCell(const QString &title, QWidget *parent)
    : QPushButton(title, parent)
{
}

QRectF BlackButtonCell::shapeRect(const QRectF &frame)
{
    return lowered(frame.adjusted(3, 1, -3, -1));
}

QRectF BlackButtonCell::bezelRect(const QRectF &frame)
{
    return lowered(frame.adjusted(2.5, 0.5, -2.5, -0.5));
}

void BlackButtonCell::drawGradientWithFrame(QPainter &painter, const QRectF &frame) const
{
    const QRectF shape = shapeRect(frame);
    drawButtonBody(painter, shape, shape.height() / 2, drawsAsDefault(), isDown());
}

void BlackButtonCell::drawBezelWithFrame(QPainter &painter, const QRectF &frame) const
{
    const QRectF bezel = bezelRect(frame);
    drawGradientWithFrame(painter, frame);
    drawButtonEdges(painter, bezel, bezel.height() / 2);
}

void BlackButtonCell::drawInteriorWithFrame(QPainter &painter, const QRectF &frame) const
{
    drawGradientWithFrame(painter, frame);
    QFont titleFont = font();
    titleFont.setBold(true);
    painter.save();
    painter.setFont(titleFont);
    drawShadowedText(painter, shapeRect(frame).translated(0, 1), Qt::AlignCenter | Qt::TextSingleLine, text(),
                     Qt::white);
    painter.restore();
}

void BlackButtonCell::drawWithFrame(QPainter &painter, const QRectF &frame) const
{
    drawBezelWithFrame(painter, frame);
    drawInteriorWithFrame(painter, frame);
}

QSize BlackButtonCell::sizeHint() const
{
    QFont titleFont = font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    return {std::max(72, metrics.horizontalAdvance(text()) + 32), std::max(32, metrics.height() + 18)};
}

void BlackButtonCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawWithFrame(painter, QRectF(rect()));
}
