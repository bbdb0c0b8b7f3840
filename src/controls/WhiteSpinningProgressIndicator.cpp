#include "WhiteSpinningProgressIndicator.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kTickMilliseconds = 100;
constexpr int kSpokes = 12;

} // namespace

WhiteSpinningProgressIndicator::Geometry WhiteSpinningProgressIndicator::geometry(const QRectF &rect)
{
    const qreal s = std::min(rect.width(), rect.height());
    Geometry g;
    g.center = QPointF(rect.x() + s / 2, rect.y() + rect.height() / 2);
    g.outerRadius = s * (s >= 32 ? 0.38 : 0.48);
    g.innerRadius = s * (s >= 32 ? 0.23 : 0.27);
    g.lineWidth = 0.08 * s;
    return g;
}

QList<WhiteSpinningProgressIndicator::Spoke> WhiteSpinningProgressIndicator::spokes(const QRectF &rect, double value,
                                                                                   bool flipped)
{
    const Geometry g = geometry(rect);
    const double d = flipped ? 1 : -1;
    const double step = std::numbers::pi / 6 * d;
    double angle = (std::round(value * kSpokes) + 9) * step;
    QList<Spoke> result;
    for (int i = 0; i < kSpokes; ++i, angle -= step) {
        const QPointF direction(std::cos(angle), std::sin(angle));
        const qreal level = i == 0 ? 1.0 : std::min(std::sqrt(double(i)) / 2, 0.8);
        result.append({QLineF(g.center + direction * g.innerRadius, g.center + direction * g.outerRadius),
                       QColor::fromRgbF(float(level), float(level), float(level))});
    }
    return result;
}

WhiteSpinningProgressIndicator::WhiteSpinningProgressIndicator(QWidget *parent)
    : QWidget(parent)
{
    m_animTimer.setInterval(kTickMilliseconds);
    connect(&m_animTimer, &QTimer::timeout, this, &WhiteSpinningProgressIndicator::advance);
}

void WhiteSpinningProgressIndicator::setValue(double value)
{
    m_value = value;
    update();
}

void WhiteSpinningProgressIndicator::setDisplayedWhenStopped(bool displayed)
{
    m_displayedWhenStopped = displayed;
    update();
}

void WhiteSpinningProgressIndicator::startAnimation()
{
    if (!m_animTimer.isActive())
        m_animTimer.start();
}

void WhiteSpinningProgressIndicator::stopAnimation()
{
    m_animTimer.stop();
    update();
}

void WhiteSpinningProgressIndicator::advance()
{
    m_value += kStep;
    if (m_value >= 1)
        m_value = 0;
    update();
}

void WhiteSpinningProgressIndicator::drawSpokes(QPainter &painter, const QRectF &rect, double value) const
{
    const Geometry g = geometry(rect);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Spoke &spoke : spokes(rect, value)) {
        painter.setPen(QPen(spoke.color, g.lineWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(spoke.line);
    }
    painter.restore();
}

QImage WhiteSpinningProgressIndicator::imageWithValue(double value) const
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawSpokes(painter, QRectF(rect()), value);
    return image;
}

QImage WhiteSpinningProgressIndicator::image()
{
    if (m_image.isNull() || m_image.size() != size())
        m_image = imageWithValue(0);
    return m_image;
}

void WhiteSpinningProgressIndicator::paintEvent(QPaintEvent *)
{
    if (!isAnimating() && !m_displayedWhenStopped)
        return;
    QPainter painter(this);
    drawSpokes(painter, QRectF(rect()), m_value);
}

void WhiteSpinningProgressIndicator::resizeEvent(QResizeEvent *event)
{
    m_image = QImage();
    QWidget::resizeEvent(event);
}
