#include "BlackPopUpButtonCell.h"

#include "BlackControlsDrawing.h"

#include <QAbstractItemView>
#include <QPainter>

#include <cmath>

using namespace BlackControlsDrawing;

BlackPopUpButtonCell::BlackPopUpButtonCell(QWidget *parent)
    : QComboBox(parent)
{
}

void BlackPopUpButtonCell::setControlSize(ControlSize size)
{
    m_controlSize = size;
    update();
}

QRectF BlackPopUpButtonCell::gradientRect(const QRectF &frame)
{
    return frame.adjusted(3, 2.5, -3, -2.5);
}

QRectF BlackPopUpButtonCell::bezelRect(const QRectF &frame)
{
    return frame.adjusted(2.6, 2.6, -2.6, -2.6);
}

QRectF BlackPopUpButtonCell::titleRect(const QRectF &frame) const
{
    const qreal textHeight = m_controlSize == Regular ? 22 : m_controlSize == Small ? 18 : 14;
    const qreal dy = std::max<qreal>(0, std::ceil(frame.height() - textHeight));
    QRectF rect = frame.adjusted(11, dy, -11, -dy);
    if (rect.height() < 0) // a low frame keeps its middle line for the title
        rect = QRectF(rect.x(), frame.center().y(), rect.width(), 0);
    return rect;
}

void BlackPopUpButtonCell::drawWithFrame(QPainter &painter, const QRectF &frame) const
{
    const bool highlighted = view() && view()->isVisible();
    const QRectF body = gradientRect(frame);
    drawButtonBody(painter, body, body.height() / 4, false, highlighted);
    const QRectF bezel = bezelRect(frame);
    drawButtonEdges(painter, bezel, bezel.height() / 4);

    painter.save();
    painter.setFont(font());
    painter.setPen(isEnabled() ? QColor(Qt::white) : grey(0.7));
    const QRectF title = titleRect(frame);
    painter.drawText(title.adjusted(0, 0, -10, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                     currentText());

    // The pop-up arrows: an up and a down triangle at the right end.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(grey(0.9));
    const qreal cx = frame.right() - 12;
    const qreal cy = frame.center().y();
    painter.drawPolygon(QPolygonF({QPointF(cx - 3, cy - 1.5), QPointF(cx + 3, cy - 1.5), QPointF(cx, cy - 5.5)}));
    painter.drawPolygon(QPolygonF({QPointF(cx - 3, cy + 1.5), QPointF(cx + 3, cy + 1.5), QPointF(cx, cy + 5.5)}));
    painter.restore();
}

void BlackPopUpButtonCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawWithFrame(painter, QRectF(rect()));
}
