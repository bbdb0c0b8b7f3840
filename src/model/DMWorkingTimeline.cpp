#include "DMWorkingTimeline.h"

#include "DMWorkingCalendar.h"

#include <algorithm>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
// The table never spans more than this many days (some 3,300 years); days beyond its ends are
// read as its ends, which only dates far outside any plan can reach.
constexpr qint64 kMaximumDays = 1200000;
constexpr qint64 kInitialMargin = 512;

qint64 floorDivide(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

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

void DMWorkingTimeline::cover(qint64 julianDay)
{
    if (m_before.empty()) {
        m_originDay = julianDay;
        rebuild(julianDay - kInitialMargin, julianDay + kInitialMargin);
        return;
    }
    const qint64 last = m_firstDay + qint64(m_before.size()) - 2;
    if (julianDay >= m_firstDay && julianDay <= last)
        return;
    const qint64 span = last - m_firstDay + 1;
    qint64 first = m_firstDay;
    qint64 newLast = last;
    if (julianDay < m_firstDay)
        first = std::min(julianDay, m_firstDay - span);
    else
        newLast = std::max(julianDay, last + span);
    if (newLast - first > kMaximumDays)
        return; // callers clamp to the table
    rebuild(first, newLast);
}

qint64 DMWorkingTimeline::dayIndex(qint64 julianDay)
{
    cover(julianDay);
    const qint64 last = m_firstDay + qint64(m_before.size()) - 1;
    const qint64 day = std::clamp(julianDay, m_firstDay, last);
    return m_before[size_t(day - m_firstDay)] * m_window;
}

qint64 DMWorkingTimeline::index(const DMDate &date)
{
    if (m_plain || date.isNull())
        return date.absoluteSecond();
    const qint64 base = dayIndex(date.julianDay());
    const qint64 day = std::clamp(date.julianDay(), m_firstDay, m_firstDay + qint64(m_before.size()) - 2);
    if (day != date.julianDay() || !m_working[size_t(day - m_firstDay)])
        return base;
    return base + std::clamp<qint64>(date.secondOfDay() - m_windowBegin, 0, m_window);
}

qint64 DMWorkingTimeline::dayForIndex(qint64 index, bool earlier)
{
    const qint64 q = floorDivide(index, m_window);
    const qint64 r = index - q * m_window;
    // The working day counted as number `target` from the origin.
    const qint64 target = (r == 0 && earlier) ? q - 1 : q;
    for (;;) {
        if (target < m_before.front()) {
            const qint64 before = qint64(m_before.size());
            cover(m_firstDay - 1);
            if (qint64(m_before.size()) == before)
                return m_firstDay;
            continue;
        }
        if (target + 1 > m_before.back()) {
            const qint64 before = qint64(m_before.size());
            cover(m_firstDay + qint64(m_before.size()) - 1);
            if (qint64(m_before.size()) == before)
                return m_firstDay + qint64(m_before.size()) - 2;
            continue;
        }
        break;
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
    const qint64 q = floorDivide(index, m_window);
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
    // Days beyond the table's ends read as its ends, as index() reads them.
    const qint64 last = m_firstDay + qint64(m_before.size()) - 2;
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
