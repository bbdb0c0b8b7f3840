#pragma once

#include "DMDate.h"
#include "DMIndexSet_64.h"

#include <QString>
#include <QVariantList>

#include <libxml/tree.h>

#include <array>
#include <optional>
#include <utility>
#include <vector>

class DMImportReport;
class DMProject;

// The working time that the calendars of an MS Project XML file give a project: the
// non-working week days, the working span of a day and the days off (holidays and other
// non-working exceptions). A day's working times become one window of the same work, beginning
// at its first working time (the project's day has one window); the times themselves are kept
// to tell how much work the file saw between two dates. Read from the project's own calendar
// (the root's CalendarUID), or from every calendar when the file names none that it holds.
class DMMSProjectXMLCalendar
{
public:
    // A yearly exception that recurs over every year from firstProjectYear to lastProjectYear
    // (0 when the project has no dates) is read as a yearly day off; one over fewer years is
    // read as a dated day off for each year it names.
    static DMMSProjectXMLCalendar read(const xmlNode *calendars, const QString &projectCalendarUID,
                                       DMImportReport &report, int firstProjectYear = 0, int lastProjectYear = 0);

    // The days off (kDMProject_Settings_DaysOff entries) as the format's "Exceptions" element of
    // a calendar, for a project that spans the years firstYear to lastYear: a dated day or range
    // is one exception; a yearly day recurs in each of those years, a yearly range writes such
    // an exception for each of its days (read back as one range). Empty without days off.
    static QString exceptionsElement(const QVariantList &daysOff, int firstYear, int lastYear);

    // The hours of the project's working day: a rate per day is that many hours at the rate per
    // hour the format holds.
    static double workingDayHours(const DMProject &project);

    // Sets kDMProject_Settings_NonWorkingWeekDays when a calendar had week days (even to an empty
    // set), kDMProject_Settings_DayTimeSpan when the working times give a span, and
    // kDMProject_Settings_DaysOff when there are days off.
    void applyToProject(DMProject &project) const;

    bool hasWeekDays() const { return m_hasWeekDays; }
    const DMIndexSet_64 &nonWorkingWeekDays() const { return m_nonWorkingWeekDays; }
    // Seconds of day; a span only when begin < end.
    int dayBeginSecond() const { return m_dayBegin; }
    int dayEndSecond() const { return m_dayEnd; }
    // Days-off entries ("kDMDayOffIndex", "kDMDayOffEndIndex", "kDMDayOffDescription").
    const QVariantList &daysOff() const { return m_daysOff; }

    // True when the working times of some working week day are not the one window the project's
    // day takes (a day of several times, or days of different times).
    bool convertsWorkingTimes() const { return m_convertsWorkingTimes; }
    // The seconds between the dates that lie in the file's own working times, on the days the
    // project works (after applyToProject: its week days and days off are the file's). Counted
    // day by day, so none for dates more than ten years apart.
    std::optional<qint64> fileWorkingSecondsBetween(const DMProject &project, const DMDate &begin, const DMDate &end) const;
    // Whether the file's working times hold the instant as a task's begin (work follows it) or
    // as its end (work comes before it), on the days the project works. False when the file
    // gives no working times.
    bool holdsInstant(const DMProject &project, const DMDate &date, bool asEnd) const;

private:
    // An exception that gives working time: its name and the days it covers.
    struct WorkingException
    {
        QString calendar;
        QString name;
        DMDate first;
        DMDate last;
    };

    void readCalendar(const xmlNode *calendar, DMImportReport &report);
    void readWeekDay(const xmlNode *weekDay, DMImportReport &report);
    // Names in the report the working exceptions that would have made a non-working week day work.
    void reportWorkingExceptions(DMImportReport &report) const;
    using Periods = std::vector<std::pair<int, int>>; // [from, to) seconds of day, sorted, disjoint
    // The working times of week day d (0 = Sunday): the file's, else those of the day with the
    // most work (a calendar that lists only some of its working days), else the window.
    Periods periodsOfWeekDay(int weekDay) const;
    bool workingTimesDifferFromWindow() const;
    void readException(const xmlNode *exception, DMImportReport &report);
    // A non-working period of whole days, from the "TimePeriod" child of the element.
    void addDaysOff(const xmlNode *timePeriod, const QString &description, DMImportReport &report);
    // A dated day off.
    void addDayOff(int year, int month, int day, int lastYear, int lastMonth, int lastDay, const QString &description);
    // A yearly day; the day after a yearly entry of the same description extends that entry.
    void addYearlyDayOff(int month, int day, const QString &description);

    bool m_hasWeekDays = false;
    DMMutableIndexSet_64 m_nonWorkingWeekDays;
    // The window begins at the earliest working time and holds the most work of any day.
    int m_dayBegin = 86400;
    int m_dayEnd = 0;
    int m_dayWork = 0;
    QString m_gappedDay; // the first day of several working times, as "08:00-12:00, 13:00-17:00"
    std::array<Periods, 7> m_weekDayPeriods; // by week day, 0 = Sunday; several calendars add up
    Periods m_fullestDayPeriods;
    bool m_convertsWorkingTimes = false;
    int m_firstProjectYear = 0;
    int m_lastProjectYear = 0;
    QVariantList m_daysOff;
    QString m_calendarName; // of the calendar being read
    std::vector<WorkingException> m_workingExceptions;
};
