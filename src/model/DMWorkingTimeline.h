#pragma once

#include "DMDate.h"

#include <optional>
#include <vector>

class DMWorkingCalendar;

// Working time as one number line: index(date) counts the working seconds from a fixed origin
// day, so durations are differences and adding a working duration is an inverse look-up, each
// in O(1) or O(log days) instead of a walk over the days. A table of working days grows on
// demand in either direction up to a bounded span; a day beyond it is counted by the calendar
// (DMWorkingCalendar::workingDaysBefore), so every day answers for itself. Agrees with
// DMWorkingCalendar::endDateWithBeginDateAndDuration and durationBetween; a calendar without
// working days works in plain time.
class DMWorkingTimeline
{
public:
    explicit DMWorkingTimeline(const DMWorkingCalendar &calendar);

    // Working seconds from the origin to the date (plain seconds without working days).
    qint64 index(const DMDate &date);
    // The first instant with that index (an end reached at a window's end stays on that day).
    DMDate earliestDateForIndex(qint64 index);
    // The last instant with that index (a begin falling between two windows goes to the next).
    DMDate latestDateForIndex(qint64 index);

    // latestDateForIndex(index(date)) found from the date's own day: itself inside a window, else
    // the next window's start (a begin at a window's end or between windows starts there).
    DMDate latestDateAtPositionOf(const DMDate &date);

    // Signed working (or plain) seconds from begin to end.
    qint64 durationBetween(const DMDate &begin, const DMDate &end, bool useWorkingSchedule);
    // The end of `duration` seconds of work from begin; begin itself for no duration.
    DMDate endDate(const DMDate &begin, qint64 duration, bool useWorkingSchedule);
    // The latest begin from which `duration` seconds of work end at end; end for no duration.
    DMDate beginDate(const DMDate &end, qint64 duration, bool useWorkingSchedule);

private:
    bool plain() const { return m_plain; }
    // True when the table holds the day, grown to it when that keeps it within its bound.
    bool cover(qint64 julianDay);
    void rebuild(qint64 firstDay, qint64 lastDay);
    qint64 lastDay() const { return m_firstDay + qint64(m_before.size()) - 2; }
    qint64 originCount();
    qint64 dayIndex(qint64 julianDay); // working seconds before the day's window
    bool working(qint64 julianDay);
    // The working day whose window holds the index (ties at a boundary go to the earlier day
    // when `earlier`).
    qint64 dayForIndex(qint64 index, bool earlier);
    // earliestDateForIndex or latestDateForIndex.
    DMDate dateForIndex(qint64 index, bool earliest);

    const DMWorkingCalendar &m_calendar;
    bool m_plain = false;
    qint64 m_window = 86400;
    qint64 m_windowBegin = 0;
    qint64 m_originDay = 0;
    qint64 m_firstDay = 0;
    // The calendar's count of working days before the origin, once a day beyond the table needs it.
    std::optional<qint64> m_originCount;
    // m_before[i]: working days from the origin to day m_firstDay + i (negative before it).
    std::vector<qint64> m_before;
    std::vector<bool> m_working;
};
