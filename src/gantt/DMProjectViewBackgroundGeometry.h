#pragma once

#include <QColor>
#include <QRectF>

class DMProjectViewBackgroundObjectAttributes;

// What the Gantt background fills for a rectangle to redraw, as a pure function of its table,
// its frame and that rectangle (canvas coordinates, y down, rows laid out from y = 0). Only the
// columns that meet the rectangle are computed, and the rows that meet it are found by a binary
// search over the row tops, so the cost follows what is visible, not the size of the table.
class DMProjectViewBackgroundGeometry
{
public:
    // Receives the fills in drawing order; later fills go over earlier ones.
    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual void fill(const QRectF &rect, const QColor &color) = 0;
    };

    // In order: per column that meets the rect, its band (when it has a colour) and a one-point
    // separator at its left edge when its colour differs from the column before (the first one
    // compared with no colour); per row that meets the rect, its band (when it has a colour) and
    // its one-point top line; then the closing line under the last row. Separators and lines
    // take strokeColor. A column width not above 0, or a rect or frame that is not finite,
    // gives no columns; a non-finite rect or frame gives nothing at all.
    static void visitFills(const DMProjectViewBackgroundObjectAttributes &attributes, const QRectF &frame,
                           const QRectF &rect, const QColor &strokeColor, Sink &sink);

    // The columns that meet [x, x + width] for equal columns of width w starting at originX, as
    // first and last index clamped to the table; first > last when none. Single precision, as
    // the columns are placed.
    static void columnsMeeting(float originX, float w, qint32 columns, float x, float width, qint32 *first,
                               qint32 *last);
};
