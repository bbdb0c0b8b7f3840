#include "DMProgressBarView.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// The rounded rectangle path: four arcs of the radius through the corners, or the plain rectangle.
QPainterPath roundedRect(const DMProgressBarView::Shape &shape)
{
    QPainterPath path;
    if (shape.radius > 0)
        path.addRoundedRect(shape.rect, shape.radius, shape.radius);
    else
        path.addRect(shape.rect);
    return path;
}

// Steps the rectangle through the drawing, keeping the corner radius at half its height.
struct BarRect
{
    QRectF rect;
    bool rounded;
    qreal radius() const { return rounded ? rect.height() / 2 : 0; }
    void inset(qreal d) { rect.adjust(d, d, -d, -d); }
    void fitFill(double value) { rect.setWidth(std::max(2 * radius(), value * rect.width())); }
    DMProgressBarView::Shape shape() const { return {rect, radius()}; }
};

} // namespace

DMProgressBarView::DMProgressBarView(QWidget *parent)
    : QWidget(parent)
{
}

QColor DMProgressBarView::defaultBarColor()
{
    return QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
}

void DMProgressBarView::setDoubleValue(double value)
{
    m_value = std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
    update();
}

template <typename T>
void DMProgressBarView::setAndRedraw(T &field, const T &value)
{
    field = value;
    update();
}

void DMProgressBarView::setBarBorderWidth(double width) { setAndRedraw(m_barBorderWidth, width); }
void DMProgressBarView::setBarBorderColor(const QColor &color) { setAndRedraw(m_barBorderColor, color); }
void DMProgressBarView::setBarInnerBorderWidth(double width) { setAndRedraw(m_barInnerBorderWidth, width); }
void DMProgressBarView::setBarInnerBorderColor(const QColor &color) { setAndRedraw(m_barInnerBorderColor, color); }
void DMProgressBarView::setBarInnerPadding(double padding) { setAndRedraw(m_barInnerPadding, padding); }
void DMProgressBarView::setBarFillColor(const QColor &color) { setAndRedraw(m_barFillColor, color); }
void DMProgressBarView::setBarBackgroundColor(const QColor &color) { setAndRedraw(m_barBackgroundColor, color); }
void DMProgressBarView::setUsesRoundedCorners(bool rounded) { setAndRedraw(m_usesRoundedCorners, rounded); }

DMProgressBarView::Layout DMProgressBarView::layout(const QRectF &bounds) const
{
    Layout layout;
    BarRect r{bounds, m_usesRoundedCorners};
    if (m_barBackgroundColor.isValid())
        layout.background = r.shape();
    if (m_barBorderColor.isValid() && m_barBorderWidth > 0) {
        r.inset(m_barBorderWidth / 2);
        layout.border = r.shape();
        r.inset(m_barBorderWidth / 2);
    }
    r.inset(m_barInnerPadding);
    const bool innerBorder = m_barInnerBorderColor.isValid() && m_barInnerBorderWidth > 0;
    if (innerBorder) {
        r.inset(m_barInnerBorderWidth / 2);
        r.fitFill(m_value);
        layout.innerBorder = r.shape();
        r.inset(m_barInnerBorderWidth / 2);
    }
    if (m_barFillColor.isValid()) {
        if (!innerBorder)
            r.fitFill(m_value);
        layout.fill = r.shape();
    }
    return layout;
}

void DMProgressBarView::drawBar(QPainter &painter, const QRectF &bounds) const
{
    const Layout shapes = layout(bounds);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (!shapes.background.rect.isNull())
        painter.fillPath(roundedRect(shapes.background), m_barBackgroundColor);
    if (!shapes.border.rect.isNull())
        painter.strokePath(roundedRect(shapes.border), QPen(m_barBorderColor, m_barBorderWidth));
    if (!shapes.innerBorder.rect.isNull())
        painter.strokePath(roundedRect(shapes.innerBorder), QPen(m_barInnerBorderColor, m_barInnerBorderWidth));
    if (!shapes.fill.rect.isNull())
        painter.fillPath(roundedRect(shapes.fill), m_barFillColor);
    painter.restore();
}

void DMProgressBarView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawBar(painter, QRectF(rect()));
}
