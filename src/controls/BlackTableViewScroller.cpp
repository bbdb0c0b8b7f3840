#include "BlackTableViewScroller.h"

#include "BlackControlsDrawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionSlider>

using namespace BlackControlsDrawing;

BlackTableViewScroller::BlackTableViewScroller(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
}

QRectF BlackTableViewScroller::trackRect(const QRectF &bounds)
{
    return {bounds.x() + 1, bounds.y() + 2, bounds.width() - 3, bounds.height() - 4};
}

QRectF BlackTableViewScroller::partRect(const QStyleOptionSlider &option, int subControl) const
{
    return QRectF(style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SubControl(subControl), this));
}

void BlackTableViewScroller::drawWithFrame(QPainter &painter, const QRectF &frame) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(frame, grey(0.2));
    const QRectF track = trackRect(frame);
    const QPainterPath shape = roundedRect(track, trackRadius());
    const QPen outline(grey(0.12, 0.8), 1);
    painter.strokePath(shape, outline);
    painter.save();
    painter.setClipPath(shape, Qt::IntersectClip);
    const bool vertical = orientation() == Qt::Vertical;
    QLinearGradient gradient(vertical ? track.bottomLeft() : track.topLeft(),
                             vertical ? track.topLeft() : track.topRight());
    gradient.setColorAt(0, grey(0.18));
    gradient.setColorAt(1, grey(0.28));
    painter.fillRect(track, gradient);
    painter.restore();
    painter.strokePath(shape, outline);

    QStyleOptionSlider option;
    initStyleOption(&option);
    if (isEnabled() && maximum() > minimum())
        drawKnob(painter, option);
    drawArrows(painter, option);
    painter.restore();
}

void BlackTableViewScroller::drawKnob(QPainter &painter, const QStyleOptionSlider &option) const
{
    QStyleOptionSlider knob = option;
    knob.subControls = QStyle::SC_ScrollBarSlider;
    style()->drawComplexControl(QStyle::CC_ScrollBar, &knob, &painter, this);
}

void BlackTableViewScroller::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawWithFrame(painter, QRectF(rect()));
}

BlackScroller::BlackScroller(Qt::Orientation orientation, QWidget *parent)
    : BlackTableViewScroller(orientation, parent)
{
}

QPolygonF BlackScroller::arrowTriangle(const QRectF &rect, bool horizontal, bool decrement)
{
    // Along the scroller: the tip at 0.2 (or 0.8) of the rectangle, the base at 0.75 (or 0.22);
    // across it, from 0.22 to 0.78 with the tip at 0.5.
    const qreal tip = decrement ? 0.2 : 0.8;
    const qreal base = decrement ? 0.75 : 0.22;
    const auto point = [&](qreal along, qreal across) {
        return horizontal ? QPointF(rect.x() + along * rect.width(), rect.y() + across * rect.height())
                          : QPointF(rect.x() + across * rect.width(), rect.y() + along * rect.height());
    };
    return QPolygonF({point(tip, 0.5), point(base, 0.22), point(base, 0.78)});
}

void BlackScroller::drawKnob(QPainter &painter, const QStyleOptionSlider &option) const
{
    const bool vertical = orientation() == Qt::Vertical;
    const QRectF knob = partRect(option, QStyle::SC_ScrollBarSlider).adjusted(1.5, 1.5, -1.5, -1.5);
    if (knob.isEmpty())
        return;
    const qreal thickness = vertical ? knob.width() : knob.height();
    const qreal length = vertical ? knob.height() : knob.width();
    const QPainterPath shape = roundedRect(knob, thickness / 2);
    painter.save();
    painter.setClipPath(shape, Qt::IntersectClip);
    QLinearGradient gradient(knob.topLeft(), vertical ? knob.topRight() : knob.bottomLeft());
    gradient.setColorAt(0.15, grey(0.62));
    gradient.setColorAt(0.75, grey(1));
    painter.fillRect(knob, gradient);
    painter.restore();
    painter.strokePath(shape, QPen(grey(0.32), 1.2));

    const qreal gripThickness = 0.29 * thickness;
    const qreal gripLength = std::max<qreal>(0, length - 9);
    const QPointF c = knob.center();
    const QRectF grip = vertical ? QRectF(c.x() - gripThickness / 2, c.y() - gripLength / 2, gripThickness, gripLength)
                                 : QRectF(c.x() - gripLength / 2, c.y() - gripThickness / 2, gripLength, gripThickness);
    painter.fillPath(roundedRect(grip, gripThickness / 2), grey(1, 0.88));
}

void BlackScroller::drawArrows(QPainter &painter, const QStyleOptionSlider &option) const
{
    const bool horizontal = orientation() == Qt::Horizontal;
    painter.setPen(Qt::NoPen);
    painter.setBrush(grey(0.88));
    for (const bool decrement : {true, false}) {
        const QRectF rect = partRect(option, decrement ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine);
        if (!rect.isEmpty())
            painter.drawPolygon(arrowTriangle(rect, horizontal, decrement));
    }
}
