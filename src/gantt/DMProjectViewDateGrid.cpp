#include "DMProjectViewDateGrid.h"

#include "DMProject_DisplayAttributes.h"

#include <algorithm>
#include <cmath>

namespace {

// Days either side of the origin that x may reach: far beyond any canvas, well inside DMDate.
constexpr double kReachInDays = 10000000.0;
constexpr int kSnapPixels = 3;

} // namespace

DMProjectViewDateGrid::DMProjectViewDateGrid(const DMDate &origin, float pixelsPerDay, int dayBeginMinute,
                                             int dayEndMinute)
    : m_origin(origin)
{
    m_pixelsPerDay = std::isfinite(pixelsPerDay) ? std::max(pixelsPerDay, kMinimumPixelsPerDay) : kMinimumPixelsPerDay;
    const int begin = std::clamp(dayBeginMinute, 0, 1440) * 60;
    const int end = std::clamp(dayEndMinute, 0, 1440) * 60;
    if (end > begin) {
        m_windowBegin = begin;
        m_windowEnd = end;
    }
    if (!m_origin.isNull()) {
        const int second = std::clamp(m_origin.secondOfDay(), m_windowBegin, m_windowEnd);
        m_originPlace = double(second - m_windowBegin) / double(windowSeconds());
    }
}

DMProjectViewDateGrid::DMProjectViewDateGrid(const DMProject_DisplayAttributes &attributes)
    : DMProjectViewDateGrid(attributes.timeSpanBeginDate, attributes.pixelsPerDay, attributes.dayViewBeginMinute,
                            attributes.dayViewEndMinute)
{
}

double DMProjectViewDateGrid::daysToDate(const DMDate &date) const
{
    double days = 0.0;
    m_origin.getIntervalToDatePartOfDaysByTrimmingDaysTo(date, &days, m_windowBegin, m_windowEnd);
    return days;
}

double DMProjectViewDateGrid::xForDate(const DMDate &date) const
{
    return daysToDate(date) * double(m_pixelsPerDay);
}

DMDate DMProjectViewDateGrid::dateForX(double x) const
{
    if (m_origin.isNull() || !std::isfinite(x))
        return DMDate();
    // Counted from the origin's day's window begin, so that whole days fall on window begins.
    const double days = x / double(m_pixelsPerDay) + m_originPlace;
    if (std::abs(days) > kReachInDays)
        return DMDate();
    const double wholeDays = std::floor(days);
    qint64 day = m_origin.julianDay() + qint64(wholeDays);
    qint64 second = std::llround((days - wholeDays) * windowSeconds());
    // A window's end and the next window's begin share their x: the begin is the answer.
    if (second >= windowSeconds()) {
        ++day;
        second = 0;
    }
    return DMDate::dateWithJulianDay(day, m_windowBegin + int(second));
}

double DMProjectViewDateGrid::secondsPerPixel() const
{
    return double(windowSeconds()) / double(m_pixelsPerDay);
}

int DMProjectViewDateGrid::snapThresholdSeconds() const
{
    return kSnapPixels * int(std::floor(secondsPerPixel()));
}

qreal DMProjectViewDateGrid::alignedX(const DMDate &date, qreal offset) const
{
    return qreal(std::roundf(float(daysToDate(date)) * m_pixelsPerDay + float(offset))) + 0.5;
}

qreal DMProjectViewDateGrid::alignedWidth(const DMDate &begin, const DMDate &end) const
{
    return qreal(std::roundf(float(daysToDate(end) - daysToDate(begin)) * m_pixelsPerDay));
}

int DMProjectViewDateGrid::quarterHourCount(int beginMinute, int endMinute)
{
    beginMinute = std::clamp(beginMinute, 0, 1440);
    endMinute = std::clamp(endMinute, 0, 1440);
    if (endMinute <= beginMinute)
        return 1440 / 15;
    return (endMinute - beginMinute) / 15;
}

int DMProjectViewDateGrid::quarterHoursPerDay() const
{
    return quarterHourCount(m_windowBegin / 60, m_windowEnd / 60);
}

float DMProjectViewDateGrid::columnWidth(bool quarterHours) const
{
    return quarterHours ? m_pixelsPerDay / float(std::max(1, quarterHoursPerDay())) : m_pixelsPerDay;
}

qint64 DMProjectViewDateGrid::columnAtX(double x, bool quarterHours) const
{
    const double column = std::floor(x / double(columnWidth(quarterHours)));
    if (!std::isfinite(column))
        return 0;
    return qint64(std::clamp(column, -kReachInDays * 96, kReachInDays * 96));
}

double DMProjectViewDateGrid::widthOfDays(qint64 days) const
{
    return std::ceil(double(days) * double(m_pixelsPerDay) - 1e-3);
}
