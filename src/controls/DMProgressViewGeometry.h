#pragma once

#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

// The layout of an image-drawn progress view. Every y here is measured from the view's tick edge
// away from it (rectangles span y to y + height); the view turns it over once when its markers
// stand above the bar.
namespace DMProgressViewGeometry {

// The bar is inset by this much at each end of the view.
constexpr qreal kBarInset = 12;

// The filled part of the range, clamped to 0...1; none when the range is empty (max == min) or
// a number is not finite.
std::optional<qreal> fraction(double value, double minValue, double maxValue);

// One piece of an image drawn into the bar: which image, from where, to where.
struct Slice
{
    bool full = false;
    QRectF source;
    QRectF target;
};

struct Bar
{
    QRectF track;      // the whole bar
    qreal fill = 0;    // the filled length, 0...track width
    QList<Slice> slices;
};

// The empty track drawn in three slices (left cap, stretched middle, right cap) and the full
// image over the filled length. titlePosition 0 puts the bar 8 from the tick edge, others 2.
Bar bar(const QRectF &bounds, QSizeF imageSize, qreal leftCap, qreal rightCap, qreal fraction, int titlePosition);

// The tick line and its marks; nothing for fewer than 2 ticks.
QList<QRectF> ticks(const QRectF &bounds, int count);

// The marker triangle pointing at the bar at x, the bar ending at barEnd.
QPolygonF markerTriangle(qreal x, qreal barEnd);

// Where the value marker stands: the end of the fill, never inside the right cap.
qreal valueMarkerX(const QRectF &bounds, const Bar &bar, qreal rightCap);

// The scale markers: x and value of each (only the end one when there is one marker).
struct ScaleMarker
{
    qreal x = 0;
    double value = 0;
};
QList<ScaleMarker> scaleMarkers(const QRectF &bounds, int count, double minValue, double maxValue);

// The text of a marker: whole when within 0.1 of a whole number, else with one decimal.
QString labelForValue(double value, const QString &unit);
// The value marker's text, with the percentage of the maximum when asked (none when the
// maximum is 0).
QString valueLabel(double value, double maxValue, const QString &unit, bool displayPercentage);

// Where a label of the given size goes beside or beyond a marker at x.
QRectF labelRect(const QRectF &bounds, qreal markerX, qreal barEnd, QSizeF labelSize, int titlePosition);

} // namespace DMProgressViewGeometry
