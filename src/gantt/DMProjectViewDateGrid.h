#pragma once

#include "DMDate.h"

#include <QtGlobal>

struct DMProject_DisplayAttributes;

// The one mapping between dates and canvas x of the Gantt chart, made from a project's display
// attributes: the date at x = 0 (the shown span's begin), the scale in pixels per day and the
// working window of a day. Each day column stands for its window only, so a date before the
// window counts as its begin and a date after it as its end. Bars, links (through the bars),
// date labels, the background grid, the timeline header, create-by-drag and the document's
// layout all ask this grid, never the attributes, so that x and dates cannot drift apart.
//
// xForDate and dateForX are exact inverses: a whole pixel read as a date and placed again lands
// on the same pixel, and a date inside a day window (to the second) placed and read again is
// the same date.
class DMProjectViewDateGrid
{
public:
    // Scales below this (zero, negative or not a number) count as this.
    static constexpr float kMinimumPixelsPerDay = 0.1f;

    DMProjectViewDateGrid() = default;
    // A window that does not end after its begin is the whole day.
    DMProjectViewDateGrid(const DMDate &origin, float pixelsPerDay, int dayBeginMinute, int dayEndMinute);
    explicit DMProjectViewDateGrid(const DMProject_DisplayAttributes &attributes);

    // Without an origin there is no mapping: dates come out null and x out as 0.
    bool isValid() const { return !m_origin.isNull(); }
    const DMDate &origin() const { return m_origin; }
    float pixelsPerDay() const { return m_pixelsPerDay; }
    int windowBeginSecond() const { return m_windowBegin; }
    int windowEndSecond() const { return m_windowEnd; }
    int windowSeconds() const { return m_windowEnd - m_windowBegin; }

    // Days from the origin to the date, each day counting its window only.
    double daysToDate(const DMDate &date) const;
    // The canvas x of a date (not rounded).
    double xForDate(const DMDate &date) const;
    // The date at a canvas x, to the nearest second; null without an origin or for an x that is
    // not finite or lies out of reach. A whole day's x is that day's window begin (x = 0 too).
    DMDate dateForX(double x) const;
    // Working seconds shown by one pixel.
    double secondsPerPixel() const;
    // Three pixels in seconds, 3 x floor(window seconds / pixels per day): a dragged date closer
    // than this to an edge of the day window snaps to it.
    int snapThresholdSeconds() const;

    // Where bars are drawn: x rounded to whole points (in single precision, as the stored scale
    // is) and moved by half a point so that their one-point outlines fall on pixels;
    // roundf(days x ppd + offset) + 0.5. The width between two dates is roundf(days x ppd).
    qreal alignedX(const DMDate &date, qreal offset = 0.0) const;
    qreal alignedWidth(const DMDate &begin, const DMDate &end) const;

    // Columns of the background and the timeline header: one per day, or one per quarter hour of
    // the day window in the day scale.
    static int quarterHourCount(int beginMinute, int endMinute);
    int quarterHoursPerDay() const;
    float columnWidth(bool quarterHours) const;
    // The column under x; may be negative or past the last column.
    qint64 columnAtX(double x, bool quarterHours) const;
    // Whole points that hold that many days, without a sliver of a column for the scale's
    // rounding error.
    double widthOfDays(qint64 days) const;

private:
    DMDate m_origin;
    float m_pixelsPerDay = 1.0f;
    int m_windowBegin = 0;
    int m_windowEnd = 86400;
    double m_originPlace = 0.0; // where the origin lies in its own day window, 0 to 1
};
