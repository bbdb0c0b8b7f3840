#include "BlackSegmentedConrol.h"

#include "BlackControlsDrawing.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

using namespace BlackControlsDrawing;

BlackSegmentedConrol::BlackSegmentedConrol(const QStringList &labels, QWidget *parent)
    : QWidget(parent), m_labels(labels)
{
}

void BlackSegmentedConrol::setSegmentCount(int count)
{
    count = std::max(0, count);
    while (m_labels.size() > count)
        m_labels.removeLast();
    while (m_labels.size() < count)
        m_labels.append(QString());
    if (m_selectedSegment >= count)
        m_selectedSegment = -1;
    updateGeometry();
    update();
}

void BlackSegmentedConrol::setLabelForSegment(const QString &label, int segment)
{
    if (segment < 0 || segment >= m_labels.size())
        return;
    m_labels[segment] = label;
    updateGeometry();
    update();
}

void BlackSegmentedConrol::setSelectedSegment(int segment)
{
    if (segment < -1 || segment >= segmentCount() || segment == m_selectedSegment)
        return;
    m_selectedSegment = segment;
    update();
}

QRectF BlackSegmentedConrol::plateRect(const QRectF &bounds)
{
    QRectF plate = bounds.adjusted(1, 1, -1, -1);
    plate.setHeight(std::max<qreal>(0, plate.height() - 1));
    return plate;
}

QRectF BlackSegmentedConrol::segmentRect(const QRectF &bounds, int segment) const
{
    const QRectF plate = plateRect(bounds);
    if (segment < 0 || segment >= segmentCount())
        return {};
    const qreal width = plate.width() / segmentCount();
    return {plate.x() + segment * width, plate.y(), width, plate.height()};
}

int BlackSegmentedConrol::segmentAt(const QPointF &point) const
{
    for (int i = 0; i < segmentCount(); ++i)
        if (segmentRect(QRectF(rect()), i).contains(point))
            return i;
    return -1;
}

void BlackSegmentedConrol::drawWithFrame(QPainter &painter, const QRectF &frame) const
{
    const QRectF plate = plateRect(frame);
    const QPainterPath shape = roundedRect(plate, 3);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(shape, palette().color(QPalette::Window));
    painter.setClipPath(shape, Qt::IntersectClip);
    fillBlackGradient(painter, frame);

    // The segments: the selected one darker, thin light separators, white titles.
    painter.setFont(font());
    for (int i = 0; i < segmentCount(); ++i) {
        const QRectF segment = segmentRect(frame, i);
        if (i == m_selectedSegment)
            painter.fillRect(segment, grey(0, 0.35));
        if (i > 0)
            painter.fillRect(QRectF(segment.x() - 0.5, segment.y(), 1, segment.height()), grey(1, 0.25));
        painter.setPen(isEnabled() ? QColor(Qt::white) : grey(0.6));
        painter.drawText(segment, Qt::AlignCenter | Qt::TextSingleLine, m_labels[i]);
    }
    painter.setClipping(false);
    painter.strokePath(shape, QPen(grey(1, 0.45), 1));
    painter.restore();
}

QSize BlackSegmentedConrol::sizeHint() const
{
    const QFontMetrics metrics(font());
    int widest = 24;
    for (const QString &label : m_labels)
        widest = std::max(widest, metrics.horizontalAdvance(label) + 20);
    return {widest * std::max(1, segmentCount()) + 2, metrics.height() + 10};
}

void BlackSegmentedConrol::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawWithFrame(painter, QRectF(rect()));
}

void BlackSegmentedConrol::mousePressEvent(QMouseEvent *event)
{
    const int segment = segmentAt(event->position());
    if (!isEnabled() || event->button() != Qt::LeftButton || segment < 0)
        return QWidget::mousePressEvent(event);
    if (segment != m_selectedSegment) {
        setSelectedSegment(segment);
        emit segmentSelected(segment);
    }
}
