#include "DMProjectViewBackgroundGeometry.h"

#include "DMProjectViewBackgroundObjectAttributes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool isFinite(const QRectF &r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

// Nearest whole number in single precision, halves away from zero.
float nearest(float v)
{
    return std::round(v);
}

// Truncation towards zero, held inside the range of a signed 32-bit number.
double truncated(double v)
{
    constexpr double lowest = std::numeric_limits<qint32>::min();
    constexpr double highest = std::numeric_limits<qint32>::max();
    return std::trunc(std::clamp(v, lowest, highest));
}

} // namespace

void DMProjectViewBackgroundGeometry::columnsMeeting(float originX, float w, qint32 columns, float x, float width,
                                                     qint32 *first, qint32 *last)
{
    *first = 0;
    *last = -1;
    if (columns < 1 || !(w > 0.0f) || !std::isfinite(w))
        return;
    const float a = std::floor((x - originX) / w);
    const float b = std::floor((x - originX + width) / w);
    if (std::isnan(a) || std::isnan(b))
        return;
    // Clamped as floats first: a tiny width can make the quotients far larger than any index.
    *first = a <= 0.0f ? 0 : (a >= float(columns) ? columns : static_cast<qint32>(a));
    *last = b < 0.0f ? -1 : (b >= float(columns - 1) ? columns - 1 : static_cast<qint32>(b));
}

void DMProjectViewBackgroundGeometry::visitFills(const DMProjectViewBackgroundObjectAttributes &t, const QRectF &f,
                                                 const QRectF &r, const QColor &strokeColor, Sink &sink)
{
    if (!isFinite(f) || !isFinite(r))
        return;

    const float w = t.columnWidth();
    const float fx = float(f.x());
    qint32 firstColumn = 0;
    qint32 lastColumn = -1;
    columnsMeeting(fx, w, t.columns(), float(r.x()), float(r.width()), &firstColumn, &lastColumn);
    QColor previous; // the first drawn column is compared with no colour
    for (qint32 i = firstColumn; i <= lastColumn; ++i) {
        const float x0 = nearest(fx + float(i) * w);
        const float x1 = nearest(fx + float(i) * w + w);
        const QColor k = t.columnBgColor(i);
        if (k.isValid())
            sink.fill(QRectF(x0 + 0.5, r.y(), x1 - x0, r.height()), k);
        if (k != previous)
            sink.fill(QRectF(x0, r.y(), 1.0, r.height()), strokeColor);
        previous = k;
    }

    const double y0 = truncated(r.y() - f.y());
    const double y1 = truncated(y0 + r.height());
    qint32 firstRow = 0;
    qint32 lastRow = -1;
    t.rowsMeeting(float(y0), float(y1), &firstRow, &lastRow);
    for (qint32 row = firstRow; row <= lastRow; ++row) {
        const float t0 = nearest(t.rowTop(row));
        const float t1 = nearest(t.rowTop(row + 1));
        const QColor color = t.rowBgColor(row);
        if (color.isValid())
            sink.fill(QRectF(r.x(), t0 + 0.5, r.width(), t1 - t0), color);
        sink.fill(QRectF(r.x(), t0, r.width(), 1.0), strokeColor);
    }

    sink.fill(QRectF(r.x(), nearest(t.totalHeight()), r.width(), 1.0), strokeColor);
}
