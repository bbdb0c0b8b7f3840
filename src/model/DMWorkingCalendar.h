#pragma once

#include "DMDate.h"

#include <QSet>
#include <QVariant>

#include <bitset>
#include <vector>

class DMMutableIndexSet_64;

// The project's working calendar: the non-working week days, the yearly and dated days off,
// and the working window of a day. Built from the project settings; DMProject holds one and
// rebuilds it when those settings are replaced.
class DMWorkingCalendar
{
public:
    DMWorkingCalendar();

    // kDMProject_Settings_NonWorkingWeekDays (an index-set value), kDMProject_Settings_DaysOff
    // (the array of days-off entries) and kDMProject_Settings_DayTimeSpan ({"begin","end"}
    // minutes). Damaged values are read as far as they are sound.
    void setNonWorkingWeekDays(const QVariant &value);
    void setDaysOff(const QVariant &value);
    void setDayTimeSpan(const QVariant &value);

    // Working window of a day in seconds; a window of zero or negative length is the whole day.
    int dayBeginSecond() const;
    int dayEndSecond() const;
    int dayBeginMinute() const { return m_beginMinute; }
    int dayEndMinute() const { return m_endMinute; }
    // Seconds of work in a working day: the window's length, above 0 (an empty window stored
    // in a file was read as the whole day, 86400).
    int workingDayLength() const { return dayEndSecond() - dayBeginSecond(); }

    // Whether week day d (0 = Sunday to 6) is a non-working week day.
    bool isNonWorkingWeekDay(int weekDay) const { return weekDay >= 0 && weekDay <= 6 && (m_weekDaysOff & (1u << weekDay)); }

    // kind: 0 working, 1 non-working week day, 2 yearly day off, 3 dated day off. A null date is
    // not a working day (kind 0). O(log n) in the dated days off.
    bool isWorkingDay(const DMDate &date, int *kind = nullptr) const;
    int nonWorkingKindOfJulianDay(qint64 julianDay) const;
    // False when the week days off or the yearly days off leave no day of any year working.
    bool hasWorkingDays() const { return !m_neverWorking; }

    // The end of an item of `duration` seconds beginning at `begin`: working seconds inside the
    // day windows of working days when useWorkingSchedule, plain seconds otherwise. Work slices
    // (absolute seconds) are added to `workSlices` when given. Costs per working day spanned.
    DMDate endDateWithBeginDateAndDuration(const DMDate &begin, qint64 duration, bool useWorkingSchedule,
                                           DMMutableIndexSet_64 *workSlices = nullptr) const;
    // The working (or plain) seconds between two dates; the inverse of the above.
    qint64 durationBetween(const DMDate &begin, const DMDate &end, bool useWorkingSchedule) const;

    // Working days before the day, counted from a fixed day of reference (negative before it):
    // exact for every day, in O(log n) of the dated days off once a table of one 400-year cycle
    // of the week days and yearly days off is built (on first use). Differences of two counts
    // are the working days between their days.
    qint64 workingDaysBefore(qint64 julianDay) const;
    // The working day that has `count` working days before it (counted as above); the first or
    // last supported day when no working day has that count.
    qint64 workingDayWithCount(qint64 count) const;

    // dateByRoundingDate:toInterval:snapOption: the second of day rounded down to a multiple of
    // the interval, unless the snap option (bit 1 begins, bit 2 ends) moves a date closer than
    // snapThreshold seconds to an edge of the day window onto that edge (or the adjacent day's).
    // The multiples count from the second of day intervalOrigin: midnight by default, the day
    // window's begin for intervals that are parts of the working day.
    DMDate dateByRoundingDateToIntervalSnapOption(const DMDate &date, int interval, int snapOption,
                                                  int snapThreshold, int intervalOrigin = 0) const;

private:
    struct DayRange
    {
        qint64 first;
        qint64 last;
    };

    const DayRange *datedRangeContaining(qint64 julianDay) const;
    int weekDayOrYearlyKind(qint64 julianDay) const; // 1, 2 or 0 as for isWorkingDay
    // The first working day at or after `from`; false when none turns up within a bounded
    // search (a calendar damaged so that work never or almost never happens).
    bool nextWorkingDay(qint64 from, qint64 *julianDay) const;
    void updateNeverWorking();
    // Days that are neither a non-working week day nor a yearly day off, before the day.
    qint64 periodicWorkingDaysBefore(qint64 julianDay) const;
    void buildCounts() const;

    quint8 m_weekDaysOff = 0;          // bit d set: week day d (0 = Sunday) is off
    std::bitset<366> m_yearlyDaysOff;  // by day of a leap year, 1 January = 0
    std::vector<DayRange> m_datedDaysOff; // Julian days, sorted, disjoint and not adjacent
    int m_beginMinute = 0;
    int m_endMinute = 1440;
    bool m_neverWorking = false;
    // Built by buildCounts, dropped when the days off change: the days counted by
    // periodicWorkingDaysBefore from the start of a cycle to each day of it, and for each dated
    // range the days it takes off that the week days and yearly days off leave working, summed
    // over the ranges before it.
    mutable std::vector<qint32> m_cycleCounts;
    mutable std::vector<qint64> m_datedCounts;
};

// Non-working-day index encoding.
qint64 DMProject_NonWorkingDayIndexForWeekDay(int weekDay);
qint64 DMProject_NonWorkingDayIndexForMonthDay(int month, int day);
qint64 DMProject_NonWorkingDayIndexForYearMonthDay(int year, int month, int day);
int DMProject_NonWorkingDayKindForIndex(qint64 index);
// A yearly index decodes with the leap placeholder year 2000, so that 29 February has a date.
void DMProject_NonWorkingDayFromIndex(qint64 index, int *year, int *month, int *day);
// True for a dated index of a real calendar day and for a yearly index of a month and day that a
// leap year has; false for week days and anything else.
bool DMProject_NonWorkingDayIndexIsValid(qint64 index);
