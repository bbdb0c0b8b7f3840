#include "DMProgressView.h"

#include "DMControlsImages.h"
#include "DMProgressViewGeometry.h"

#include <QFontMetricsF>
#include <QPainter>

namespace geometry = DMProgressViewGeometry;

namespace {

const QString kFullBlue = QStringLiteral("BACK_PROGRESS_FULL_BLUE");
const QString kFullBlueStripes = QStringLiteral("BACK_PROGRESS_FULL_BLUE_STRIPES");
const QString kEmptyWhite = QStringLiteral("BACK_PROGRESS_EMPTY_WHITE");

} // namespace

DMProgressView::DMProgressView(QWidget *parent)
    : QWidget(parent),
      m_fullImage(DMControlsImages::imageNamed(kFullBlue)),
      m_emptyImage(DMControlsImages::imageNamed(kEmptyWhite))
{
    m_markersFont.setBold(true);
    m_markersFont.setPixelSize(11);
}

QColor DMProgressView::ticksColor()
{
    return Qt::white;
}

template <typename T>
void DMProgressView::setAndRedraw(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void DMProgressView::setDoubleValue(double value) { setAndRedraw(m_value, value); }
void DMProgressView::setMinValue(double value) { setAndRedraw(m_minValue, value); }
void DMProgressView::setMaxValue(double value) { setAndRedraw(m_maxValue, value); }
void DMProgressView::setTicksCount(int count) { setAndRedraw(m_ticks, count); }
void DMProgressView::setMarkersCount(int count) { setAndRedraw(m_markers, count); }
void DMProgressView::setDisplayValueMarker(bool display) { setAndRedraw(m_displayCurrentValueMarker, display); }
void DMProgressView::setMarkersAtTop(bool atTop) { setAndRedraw(m_markerAtTop, atTop); }

void DMProgressView::incrementBy(double delta)
{
    if (delta == 0)
        return;
    m_value += delta;
    update();
}

void DMProgressView::setUnitString(const QString &unit)
{
    m_unitString = unit;
    update();
}

void DMProgressView::setHasStripes(bool stripes)
{
    if (!m_stripesAllowed)
        return;
    m_hasStripes = stripes;
    m_fullImage = DMControlsImages::imageNamed(stripes ? kFullBlueStripes : kFullBlue);
    m_emptyImage = DMControlsImages::imageNamed(kEmptyWhite);
    update();
}

void DMProgressView::setImages(const QImage &full, const QImage &empty)
{
    m_fullImage = full;
    m_emptyImage = empty;
    m_stripesAllowed = false;
    m_hasStripes = false;
    update();
}

void DMProgressView::setImagesNamed(const QString &full, const QString &empty)
{
    setImages(DMControlsImages::imageNamed(full), DMControlsImages::imageNamed(empty));
}

void DMProgressView::setCapWidths(float left, float right)
{
    m_leftCapWidth = left;
    m_rightCapWidth = right;
    update();
}

std::optional<qreal> DMProgressView::fillFraction() const
{
    return geometry::fraction(m_value, m_minValue, m_maxValue);
}

QSize DMProgressView::sizeHint() const
{
    return {224, 50};
}

void DMProgressView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawProgress(painter);
}

QRectF DMProgressView::turned(const QRectF &rect) const
{
    if (!m_markerAtTop)
        return rect;
    return {rect.x(), height() - rect.y() - rect.height(), rect.width(), rect.height()};
}

QPolygonF DMProgressView::turned(const QPolygonF &polygon) const
{
    if (!m_markerAtTop)
        return polygon;
    QPolygonF result;
    for (const QPointF &point : polygon)
        result.append(QPointF(point.x(), height() - point.y()));
    return result;
}

void DMProgressView::drawProgress(QPainter &painter) const
{
    if (m_fullImage.isNull() || m_emptyImage.isNull() || !fillFraction())
        return;
    painter.save();
    drawBar(painter);
    painter.restore();
}

void DMProgressView::drawBar(QPainter &painter) const
{
    const QRectF bounds(0, 0, width(), height());
    const geometry::Bar bar = geometry::bar(bounds, m_emptyImage.deviceIndependentSize(), m_leftCapWidth,
                                            m_rightCapWidth, *fillFraction(), m_markerTitlePosition);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(1);
    for (const geometry::Slice &slice : bar.slices) {
        const QImage &image = slice.full ? m_fullImage : m_emptyImage;
        const qreal ratio = image.devicePixelRatio();
        const QRectF source(slice.source.topLeft() * ratio, slice.source.size() * ratio);
        painter.drawImage(turned(slice.target), image, source);
    }
    for (const QRectF &tick : geometry::ticks(bounds, m_ticks))
        painter.fillRect(turned(tick), ticksColor());
    drawMarkers(painter, bar.track.bottom(), geometry::valueMarkerX(bounds, bar, m_rightCapWidth));
}

void DMProgressView::drawMarkers(QPainter &painter, qreal barEnd, qreal valueMarkerX) const
{
    const QRectF bounds(0, 0, width(), height());
    const QFontMetricsF metrics(m_markersFont);
    const auto labelRect = [&](qreal x, const QString &text) {
        return geometry::labelRect(bounds, x, barEnd, QSizeF(metrics.horizontalAdvance(text), metrics.height()),
                                   m_markerTitlePosition);
    };
    const auto drawLabel = [&](const QRectF &rect, const QString &text) {
        painter.setPen(m_markersColor);
        painter.drawText(turned(rect), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, text);
    };
    const auto drawTriangle = [&](qreal x) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ticksColor());
        painter.drawPolygon(turned(geometry::markerTriangle(x, barEnd)));
    };
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(m_markersFont);

    const QString valueText = geometry::valueLabel(m_value, m_maxValue, m_unitString, m_displayPercentage);
    const QRectF valueRect = labelRect(valueMarkerX, valueText);
    for (const geometry::ScaleMarker &marker : geometry::scaleMarkers(bounds, m_markers, m_minValue, m_maxValue)) {
        drawTriangle(marker.x);
        const QString text = geometry::labelForValue(marker.value, m_unitString);
        const QRectF rect = labelRect(marker.x, text);
        if (!m_displayCurrentValueMarker || !rect.intersects(valueRect))
            drawLabel(rect, text);
    }
    if (m_displayCurrentValueMarker) {
        drawTriangle(valueMarkerX);
        drawLabel(valueRect, valueText);
    }
}
