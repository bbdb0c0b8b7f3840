#pragma once

#include "DMDate.h"

#include <QSet>
#include <QVariant>

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

    // kind: 0 working, 1 non-working week day, 2 yearly day off, 3 dated day off.
    bool isWorkingDay(const DMDate &date, int *kind = nullptr) const;

    // The end of an item of `duration` seconds beginning at `begin`: working seconds inside the
    // day windows of working days when useWorkingSchedule, plain seconds otherwise. Work slices
    // (absolute seconds) are added to `workSlices` when given. Costs per working day spanned.
    DMDate endDateWithBeginDateAndDuration(const DMDate &begin, qint64 duration, bool useWorkingSchedule,
                                           DMMutableIndexSet_64 *workSlices = nullptr) const;
    // The working (or plain) seconds between two dates; the inverse of the above.
    qint64 durationBetween(const DMDate &begin, const DMDate &end, bool useWorkingSchedule) const;

    // dateByRoundingDate:toInterval:snapOption: with the canvas scale.
    DMDate dateByRoundingDateToIntervalSnapOption(const DMDate &date, int interval, int snapOption, double pixelsPerDay) const;
};

// Non-working-day index encoding.
qint64 DMProject_NonWorkingDayIndexForWeekDay(int weekDay);
qint64 DMProject_NonWorkingDayIndexForMonthDay(int month, int day);
qint64 DMProject_NonWorkingDayIndexForYearMonthDay(int year, int month, int day);
int DMProject_NonWorkingDayKindForIndex(qint64 index);
void DMProject_NonWorkingDayFromIndex(qint64 index, int *year, int *month, int *day);
