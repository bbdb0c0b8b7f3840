#include "DMWorkingTimeline.h"

#include "DMWorkingCalendar.h"

#include <algorithm>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
// The table never spans more than this many days (some 550 years); days beyond it, which only
// plans far apart in time reach, are counted by the calendar instead.
constexpr qint64 kMaximumDays = 200000;
constexpr qint64 kInitialMargin = 512;

} // namespace

DMWorkingTimeline::DMWorkingTimeline(const DMWorkingCalendar &calendar) : m_calendar(calendar)
{
    m_plain = !calendar.hasWorkingDays();
    m_windowBegin = calendar.dayBeginSecond();
    m_window = calendar.workingDayLength();
}

void DMWorkingTimeline::rebuild(qint64 firstDay, qint64 lastDay)
{
    std::vector<qint64> before(size_t(lastDay - firstDay + 2));
    std::vector<bool> working(before.size());
    // Counted from the origin both ways so that indexes handed out earlier stay valid.
    qint64 count = 0;
    for (qint64 day = m_originDay; day <= lastDay + 1; ++day) {
        const size_t i = size_t(day - firstDay);
        if (day >= firstDay) {
            before[i] = count;
            working[i] = m_calendar.nonWorkingKindOfJulianDay(day) == 0;
            count += working[i] ? 1 : 0;
        } else {
            count += m_calendar.nonWorkingKindOfJulianDay(day) == 0 ? 1 : 0;
        }
    }
    count = 0;
    for (qint64 day = std::min(m_originDay, lastDay + 2) - 1; day >= firstDay; --day) {
        const size_t i = size_t(day - firstDay);
        working[i] = m_calendar.nonWorkingKindOfJulianDay(day) == 0;
        count -= working[i] ? 1 : 0;
        before[i] = count;
    }
    m_before = std::move(before);
    m_working = std::move(working);
    m_firstDay = firstDay;
}

bool DMWorkingTimeline::cover(qint64 julianDay)
{
    if (m_before.empty()) {
        m_originDay = julianDay;
        rebuild(julianDay - kInitialMargin, julianDay + kInitialMargin);
        return true;
    }
    const qint64 last = lastDay();
    if (julianDay >= m_firstDay && julianDay <= last)
        return true;
    // Doubling the span keeps the rebuilds few; near the bound it grows only to the day asked.
    const qint64 span = last - m_firstDay + 1;
    qint64 first = std::min(julianDay, m_firstDay);
    qint64 newLast = std::max(julianDay, last);
    if (newLast - first > kMaximumDays)
        return false;
    if (julianDay < m_firstDay)
        first = std::max(std::min(julianDay, m_firstDay - span), newLast - kMaximumDays);
    else
        newLast = std::min(std::max(julianDay, last + span), first + kMaximumDays);
    rebuild(first, newLast);
    return true;
}

qint64 DMWorkingTimeline::originCount()
{
    if (!m_originCount)
        m_originCount = m_calendar.workingDaysBefore(m_originDay);
    return *m_originCount;
}

qint64 DMWorkingTimeline::dayIndex(qint64 julianDay)
{
    if (cover(julianDay))
        return m_before[size_t(julianDay - m_firstDay)] * m_window;
    return (m_calendar.workingDaysBefore(julianDay) - originCount()) * m_window;
}

bool DMWorkingTimeline::working(qint64 julianDay)
{
    if (cover(julianDay))
        return m_working[size_t(julianDay - m_firstDay)];
    return m_calendar.nonWorkingKindOfJulianDay(julianDay) == 0;
}

qint64 DMWorkingTimeline::index(const DMDate &date)
{
    if (m_plain || date.isNull())
        return date.absoluteSecond();
    const qint64 base = dayIndex(date.julianDay());
    if (!working(date.julianDay()))
        return base;
    return base + std::clamp<qint64>(date.secondOfDay() - m_windowBegin, 0, m_window);
}

qint64 DMWorkingTimeline::dayForIndex(qint64 index, bool earlier)
{
    const qint64 q = DMDate_floorDivide(index, m_window);
    const qint64 r = index - q * m_window;
    // The working day counted as number `target` from the origin.
    const qint64 target = (r == 0 && earlier) ? q - 1 : q;
    while (target < m_before.front() || target + 1 > m_before.back()) {
        // Beyond the table: grown towards the day while it may, else the calendar finds it.
        const qint64 size = qint64(m_before.size());
        if (!cover(target < m_before.front() ? m_firstDay - 1 : lastDay() + 1) || qint64(m_before.size()) == size)
            return m_calendar.workingDayWithCount(target + originCount());
    }
    // The first day with target + 1 working days before it follows the wanted working day.
    const auto next = std::lower_bound(m_before.begin(), m_before.end(), target + 1);
    return m_firstDay + qint64(next - m_before.begin()) - 1;
}

DMDate DMWorkingTimeline::earliestDateForIndex(qint64 index)
{
    return dateForIndex(index, true);
}

DMDate DMWorkingTimeline::latestDateForIndex(qint64 index)
{
    return dateForIndex(index, false);
}

DMDate DMWorkingTimeline::dateForIndex(qint64 index, bool earliest)
{
    if (m_plain)
        return DMDate::dateWithAbsoluteSecond(index);
    if (m_before.empty())
        cover(0);
    const qint64 q = DMDate_floorDivide(index, m_window);
    const qint64 r = index - q * m_window;
    const qint64 day = dayForIndex(index, earliest);
    // At a window boundary the earliest instant is the end of the earlier day's window.
    return DMDate::dateWithJulianDay(day, int(m_windowBegin + (earliest && r == 0 ? m_window : r)));
}

DMDate DMWorkingTimeline::latestDateAtPositionOf(const DMDate &date)
{
    if (m_plain || date.isNull())
        return date;
    qint64 day = date.julianDay();
    if (working(day)) {
        const qint64 second = date.secondOfDay();
        if (second > m_windowBegin && second < m_windowBegin + m_window)
            return date;
        if (second <= m_windowBegin)
            return DMDate::dateWithJulianDay(day, int(m_windowBegin));
    }
    // Beyond the table the next working day is found from the date's position.
    const qint64 last = lastDay();
    if (day < m_firstDay || day >= last)
        return latestDateForIndex(index(date));
    do
        ++day;
    while (day < last && !m_working[size_t(day - m_firstDay)]);
    return m_working[size_t(day - m_firstDay)] ? DMDate::dateWithJulianDay(day, int(m_windowBegin))
                                               : latestDateForIndex(index(date));
}

qint64 DMWorkingTimeline::durationBetween(const DMDate &begin, const DMDate &end, bool useWorkingSchedule)
{
    if (begin.isNull() || end.isNull())
        return 0;
    if (!useWorkingSchedule || m_plain)
        return end.absoluteSecond() - begin.absoluteSecond();
    return index(end) - index(begin);
}

DMDate DMWorkingTimeline::endDate(const DMDate &begin, qint64 duration, bool useWorkingSchedule)
{
    if (begin.isNull() || duration <= 0)
        return begin;
    if (!useWorkingSchedule || m_plain)
        return begin.dateByAddingSeconds(duration);
    return earliestDateForIndex(index(begin) + duration);
}

DMDate DMWorkingTimeline::beginDate(const DMDate &end, qint64 duration, bool useWorkingSchedule)
{
    if (end.isNull() || duration <= 0)
        return end;
    if (!useWorkingSchedule || m_plain)
        return end.dateByAddingSeconds(-duration);
    return latestDateForIndex(index(end) - duration);
}
