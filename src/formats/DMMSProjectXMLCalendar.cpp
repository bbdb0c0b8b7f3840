#include "DMMSProjectXMLCalendar.h"

#include "DMImportReport.h"
#include "DMLocalizedString.h"
#include "DMMSProjectXMLValues.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMWorkingCalendar.h"
#include "DMXMLTree.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Exception recurrence types of the format.
constexpr int kExceptionDaily = 1;
constexpr int kExceptionYearlyByMonthDay = 2;
// Years a yearly exception is unrolled into at most.
constexpr int kMaximumYearlyOccurrences = 1000;
// Days that the file's working time between two dates is counted over at most (ten years).
constexpr qint64 kMaximumCountedDays = 3653;

QString timeText(int secondOfDay)
{
    return QString::asprintf("%02d:%02d", secondOfDay / 3600, secondOfDay % 3600 / 60);
}

// A calendar as the user's report names it.
QString calendarLabel(const QString &name)
{
    return name.isEmpty() ? DMLocalizedString("A calendar") : DMLocalizedString("Calendar \"%1\"").arg(name.left(80));
}

// The first and last day of the period of an exception; false when it has none that reads. A
// period that ends at midnight does not take in the day it ends on.
bool periodDays(const xmlNode *timePeriod, DMDate *first, DMDate *last)
{
    *first = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(timePeriod, "FromDate"));
    *last = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(timePeriod, "ToDate"));
    if (first->isNull() || last->isNull())
        return false;
    if (last->secondOfDay() == 0 && last->julianDay() > first->julianDay())
        *last = DMDate::dateWithJulianDay(last->julianDay() - 1, 0);
    if (last->julianDay() < first->julianDay())
        std::swap(*first, *last);
    return true;
}

// Drops from the entries [begin, olderEnd) of the list those whose days (the pair daysOf
// gives) an entry after olderEnd repeats, and those that `covered` holds.
template <typename List, typename DaysOf, typename Covered>
void dropOlderFormRepeats(List &list, qsizetype begin, qsizetype olderEnd, DaysOf daysOf, Covered covered)
{
    QSet<std::pair<qint64, qint64>> newer;
    for (qsizetype i = olderEnd; i < qsizetype(list.size()); ++i)
        newer.insert(daysOf(list[i]));
    const auto end = list.begin() + olderEnd;
    list.erase(std::remove_if(list.begin() + begin, end,
                              [&](const auto &entry) { return newer.contains(daysOf(entry)) || covered(entry); }),
               end);
}

} // namespace

DMMSProjectXMLCalendar DMMSProjectXMLCalendar::read(const xmlNode *calendars, const QString &projectCalendarUID,
                                                    DMImportReport &report, int firstProjectYear, int lastProjectYear)
{
    DMMSProjectXMLCalendar result;
    result.m_firstProjectYear = firstProjectYear;
    result.m_lastProjectYear = lastProjectYear;
    // Other base calendars (a night shift) and the resources' calendars are not the project's
    // working time; only a file that names no calendar it holds is read as a whole.
    bool projectCalendarFound = false;
    if (!projectCalendarUID.isEmpty())
        DMXMLTree::forEachChildElement(calendars, [&](const xmlNode *calendar) {
            if (!projectCalendarFound && DMXMLTree::childValue(calendar, "UID").trimmed() == projectCalendarUID) {
                projectCalendarFound = true;
                result.readCalendar(calendar, report);
            }
        });
    if (!projectCalendarFound)
        DMXMLTree::forEachChildElement(calendars,
                                       [&](const xmlNode *calendar) { result.readCalendar(calendar, report); });
    result.reportWorkingExceptions(report);
    if (result.m_dayWork > 0)
        result.m_dayEnd = std::min(86400, result.m_dayBegin + result.m_dayWork);
    result.m_convertsWorkingTimes = result.workingTimesDifferFromWindow();
    if (!result.m_gappedDay.isEmpty() && result.m_dayBegin < result.m_dayEnd)
        report.note(DMLocalizedString("The working times of a day (%1) are read as one working window of the same "
                                      "work, %2 to %3.")
                        .arg(result.m_gappedDay, timeText(result.m_dayBegin), timeText(result.m_dayEnd)));
    return result;
}

void DMMSProjectXMLCalendar::readCalendar(const xmlNode *calendar, DMImportReport &report)
{
    m_calendarName = DMXMLTree::childValue(calendar, "Name").trimmed();
    const qsizetype daysOffBegin = m_daysOff.size();
    const qsizetype workingBegin = qsizetype(m_workingExceptions.size());
    if (const xmlNode *weekDays = DMXMLTree::childElement(calendar, "WeekDays")) {
        m_hasWeekDays = true;
        DMXMLTree::forEachChildElement(weekDays, [&](const xmlNode *weekDay) { readWeekDay(weekDay, report); });
    }
    const qsizetype olderDaysOffEnd = m_daysOff.size();
    const qsizetype olderWorkingEnd = qsizetype(m_workingExceptions.size());
    if (const xmlNode *exceptions = DMXMLTree::childElement(calendar, "Exceptions"))
        DMXMLTree::forEachChildElement(exceptions, [&](const xmlNode *exception) { readException(exception, report); });

    // Files carry their exceptions in both forms. The older form's (read among the week days,
    // without names) give way to the newer form's of the same days, and a single dated day off
    // to a newer yearly one that takes that day off every year.
    DMWorkingCalendar newerDaysOff;
    newerDaysOff.setDaysOff(m_daysOff.mid(olderDaysOffEnd));
    const auto dayOffDays = [](const QVariant &value) {
        const QVariantMap entry = value.toMap();
        return std::pair{entry.value(kDMDayOffIndex).toLongLong(), entry.value(kDMDayOffEndIndex).toLongLong()};
    };
    dropOlderFormRepeats(m_daysOff, daysOffBegin, olderDaysOffEnd, dayOffDays, [&](const QVariant &value) {
        const auto [index, endIndex] = dayOffDays(value);
        int year = 0, month = 0, day = 0;
        DMProject_NonWorkingDayFromIndex(index, &year, &month, &day);
        qint64 julianDay = 0;
        return index == endIndex && DMProject_NonWorkingDayKindForIndex(index) == 3
            && DMDate::julianDayForYearMonthDay(year, month, day, &julianDay)
            && newerDaysOff.nonWorkingKindOfJulianDay(julianDay) == 2;
    });
    dropOlderFormRepeats(
        m_workingExceptions, workingBegin, olderWorkingEnd,
        [](const WorkingException &exception) { return std::pair{exception.first.julianDay(), exception.last.julianDay()}; },
        [](const WorkingException &) { return false; });
}

void DMMSProjectXMLCalendar::reportWorkingExceptions(DMImportReport &report) const
{
    for (const WorkingException &exception : m_workingExceptions) {
        // A week's days tell whether the period takes in a non-working week day.
        const qint64 lastDay = std::min(exception.last.julianDay(), exception.first.julianDay() + 6);
        for (qint64 day = exception.first.julianDay(); day <= lastDay; ++day) {
            const int weekDay = DMDate::dateWithJulianDay(day, 0).dayOfWeek();
            if (!m_nonWorkingWeekDays.containsIndex(DMProject_NonWorkingDayIndexForWeekDay(weekDay)))
                continue;
            const QString days = exception.first.julianDay() == exception.last.julianDay()
                ? exception.first.description().left(10)
                : exception.first.description().left(10) + QStringLiteral(" to ") + exception.last.description().left(10);
            const QString name = exception.name.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(exception.name.left(80));
            report.skip(QStringLiteral("MS Project XML: working exception%1 (%2) of calendar \"%3\" not kept")
                            .arg(name, days, exception.calendar),
                        DMLocalizedString("%1: the working exception%2 (%3) is not kept; the project's calendar has days off, "
                                          "but no working days beside its working week.")
                            .arg(calendarLabel(exception.calendar), name, days));
            break;
        }
    }
}

void DMMSProjectXMLCalendar::readWeekDay(const xmlNode *weekDay, DMImportReport &report)
{
    const int dayType = MSXMLLenientInteger(DMXMLTree::childValue(weekDay, "DayType"));
    const bool working = MSXMLLenientInteger(DMXMLTree::childValue(weekDay, "DayWorking")) != 0;
    if (dayType == 0) {
        // An exception of the older form: a period of days rather than a day of the week.
        const xmlNode *period = DMXMLTree::childElement(weekDay, "TimePeriod");
        DMDate first;
        DMDate last;
        if (!working)
            addDaysOff(period, QString(), report);
        else if (periodDays(period, &first, &last))
            m_workingExceptions.push_back({m_calendarName, QString(), first, last});
        return;
    }
    if (dayType < 1 || dayType > 7) {
        report.skip(QStringLiteral("MS Project XML: calendar week day of unknown type %1 skipped").arg(dayType),
                    DMLocalizedString("%1: a week day of the unknown type %2 is skipped.")
                        .arg(calendarLabel(m_calendarName), QString::number(dayType)));
        return;
    }
    if (!working) {
        m_nonWorkingWeekDays.addIndex(DMProject_NonWorkingDayIndexForWeekDay(dayType - 1));
        return;
    }
    std::vector<std::pair<int, int>> periods;
    DMXMLTree::forEachChildElement(DMXMLTree::childElement(weekDay, "WorkingTimes"), [&](const xmlNode *workingTime) {
        const int from = MSXMLTimeFormatToSecondOfDay(DMXMLTree::childValue(workingTime, "FromTime"));
        int to = MSXMLTimeFormatToSecondOfDay(DMXMLTree::childValue(workingTime, "ToTime"));
        if (from < 0 || to < 0) {
            report.skip(QStringLiteral("MS Project XML: working time with an unreadable time of day skipped"),
                        DMLocalizedString("%1: a working time with an unreadable time of day is skipped.")
                            .arg(calendarLabel(m_calendarName)));
            return;
        }
        // A period that ends at or before it begins ends at midnight ("23:00" to "00:00").
        if (to <= from)
            to = 86400;
        periods.emplace_back(from, to);
    });
    if (periods.empty())
        return;
    // The day's work is the time its periods cover (overlaps counted once); a day of several
    // periods becomes one window of that work, so that durations keep the file's hours.
    std::sort(periods.begin(), periods.end());
    int work = 0;
    int coveredUntil = 0;
    for (const auto &[from, to] : periods) {
        const int start = std::max(from, coveredUntil);
        if (to > start)
            work += to - start;
        coveredUntil = std::max(coveredUntil, to);
    }
    // The periods of this week day in every calendar read, overlaps merged.
    Periods &kept = m_weekDayPeriods[size_t(dayType - 1)];
    kept.insert(kept.end(), periods.begin(), periods.end());
    std::sort(kept.begin(), kept.end());
    Periods merged;
    for (const auto &period : kept) {
        if (!merged.empty() && period.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, period.second);
        else
            merged.push_back(period);
    }
    kept = std::move(merged);
    const int first = periods.front().first;
    m_dayBegin = std::min(m_dayBegin, first);
    if (work > m_dayWork)
        m_fullestDayPeriods = m_weekDayPeriods[size_t(dayType - 1)];
    m_dayWork = std::max(m_dayWork, work);
    if (work < coveredUntil - first && m_gappedDay.isEmpty()) {
        QStringList texts;
        for (const auto &[from, to] : periods)
            texts.append(timeText(from) + QLatin1Char('-') + timeText(to));
        m_gappedDay = texts.join(QStringLiteral(", "));
    }
}

DMMSProjectXMLCalendar::Periods DMMSProjectXMLCalendar::periodsOfWeekDay(int weekDay) const
{
    const Periods &periods = m_weekDayPeriods[size_t(weekDay)];
    if (!periods.empty())
        return periods;
    if (!m_fullestDayPeriods.empty())
        return m_fullestDayPeriods;
    if (m_dayBegin >= m_dayEnd)
        return {};
    return {{m_dayBegin, m_dayEnd}};
}

bool DMMSProjectXMLCalendar::workingTimesDifferFromWindow() const
{
    if (m_dayBegin >= m_dayEnd)
        return false;
    const Periods window{{m_dayBegin, m_dayEnd}};
    for (int weekDay = 0; weekDay < 7; ++weekDay)
        if (!m_nonWorkingWeekDays.containsIndex(DMProject_NonWorkingDayIndexForWeekDay(weekDay))
            && periodsOfWeekDay(weekDay) != window)
            return true;
    return false;
}

std::optional<qint64> DMMSProjectXMLCalendar::fileWorkingSecondsBetween(const DMProject &project, const DMDate &begin,
                                                                        const DMDate &end) const
{
    if (begin.isNull() || end.isNull() || !(begin < end))
        return 0;
    if (end.julianDay() - begin.julianDay() > kMaximumCountedDays)
        return std::nullopt;
    qint64 seconds = 0;
    for (qint64 day = begin.julianDay(); day <= end.julianDay(); ++day) {
        const DMDate date = DMDate::dateWithJulianDay(day, 0);
        if (!project.isWorkingDay(date))
            continue;
        const int dayFrom = day == begin.julianDay() ? begin.secondOfDay() : 0;
        const int dayTo = day == end.julianDay() ? end.secondOfDay() : 86400;
        for (const auto &[from, to] : periodsOfWeekDay(date.dayOfWeek()))
            seconds += std::max(0, std::min(to, dayTo) - std::max(from, dayFrom));
    }
    return seconds;
}

void DMMSProjectXMLCalendar::readException(const xmlNode *exception, DMImportReport &report)
{
    const QString working = DMXMLTree::childValue(exception, "DayWorking");
    const QString name = DMXMLTree::childValue(exception, "Name");
    const xmlNode *period = DMXMLTree::childElement(exception, "TimePeriod");
    if (!working.isNull() && MSXMLLenientInteger(working) != 0) {
        // Extra working time: no day off, told when it would have made a non-working day work.
        DMDate first;
        DMDate last;
        if (periodDays(period, &first, &last))
            m_workingExceptions.push_back({m_calendarName, name.trimmed(), first, last});
        return;
    }
    const QString typeText = DMXMLTree::childValue(exception, "Type");
    const int type = typeText.isNull() ? kExceptionDaily : MSXMLLenientInteger(typeText);
    const int occurrences = MSXMLLenientInteger(DMXMLTree::childValue(exception, "Occurrences"));
    const QString periodText = DMXMLTree::childValue(exception, "Period");
    const int every = periodText.isNull() ? 1 : MSXMLLenientInteger(periodText);

    if (type != kExceptionYearlyByMonthDay && (occurrences <= 1 || (type == kExceptionDaily && every <= 1))) {
        addDaysOff(period, name, report);
        return;
    }
    if (type == kExceptionYearlyByMonthDay) {
        const DMDate first = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(period, "FromDate"));
        const DMDate last = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(period, "ToDate"));
        const int month = MSXMLLenientInteger(DMXMLTree::childValue(exception, "Month")) + 1; // 0 is January
        const int day = MSXMLLenientInteger(DMXMLTree::childValue(exception, "MonthDay"));
        if (first.isNull() || last.isNull() || month < 1 || month > 12 || day < 1 || day > 31) {
            report.skip(QStringLiteral("MS Project XML: unreadable yearly calendar exception \"%1\" skipped").arg(name),
                        DMLocalizedString("%1: the yearly exception \"%2\" cannot be read and is skipped.")
                            .arg(calendarLabel(m_calendarName), name.left(80)));
            return;
        }
        if (m_firstProjectYear > 0 && first.year() <= m_firstProjectYear && last.year() >= m_lastProjectYear) {
            addYearlyDayOff(month, day, name);
            return;
        }
        const int lastYear = std::min(last.year(), first.year() + kMaximumYearlyOccurrences - 1);
        for (int year = first.year(); year <= lastYear; ++year) {
            if (day > DMDate::daysInMonth(year, month))
                continue;
            const DMDate date(year, month, day, 0);
            if (date.julianDay() >= first.julianDay() && date.julianDay() <= last.julianDay())
                addDayOff(year, month, day, year, month, day, name);
        }
        return;
    }
    report.skip(QStringLiteral("MS Project XML: recurring calendar exception \"%1\" of type %2 not read").arg(name).arg(type),
                DMLocalizedString("%1: the recurring exception \"%2\" (type %3) is not read.")
                    .arg(calendarLabel(m_calendarName), name.left(80), QString::number(type)));
}

void DMMSProjectXMLCalendar::addDaysOff(const xmlNode *timePeriod, const QString &description, DMImportReport &report)
{
    DMDate first;
    DMDate last;
    if (!periodDays(timePeriod, &first, &last)) {
        report.skip(QStringLiteral("MS Project XML: calendar exception \"%1\" without a readable period skipped").arg(description),
                    DMLocalizedString("%1: the exception \"%2\" has no readable period and is skipped.")
                        .arg(calendarLabel(m_calendarName), description.left(80)));
        return;
    }
    addDayOff(first.year(), first.month(), first.day(), last.year(), last.month(), last.day(), description);
}

void DMMSProjectXMLCalendar::addDayOff(int year, int month, int day, int lastYear, int lastMonth, int lastDay,
                                       const QString &description)
{
    const qint64 index = DMProject_NonWorkingDayIndexForYearMonthDay(year, month, day);
    const qint64 endIndex = DMProject_NonWorkingDayIndexForYearMonthDay(lastYear, lastMonth, lastDay);
    QVariantMap entry;
    entry.insert(kDMDayOffIndex, index);
    entry.insert(kDMDayOffEndIndex, endIndex);
    entry.insert(kDMDayOffDescription, description.isNull() ? QString(QLatin1String("")) : description);
    m_daysOff.append(entry);
}

void DMMSProjectXMLCalendar::addYearlyDayOff(int month, int day, const QString &description)
{
    const QString text = description.isNull() ? QString(QLatin1String("")) : description;
    if (!m_daysOff.isEmpty()) {
        QVariantMap last = m_daysOff.last().toMap();
        const qint64 end = last.value(kDMDayOffEndIndex).toLongLong();
        int endYear = 0, endMonth = 0, endDay = 0;
        DMProject_NonWorkingDayFromIndex(end, &endYear, &endMonth, &endDay);
        // The next day of a leap year, 31 December followed by 1 January.
        const bool monthEnds = endDay >= DMDate::daysInMonth(2000, endMonth);
        const int nextMonth = monthEnds ? endMonth % 12 + 1 : endMonth;
        const int nextDay = monthEnds ? 1 : endDay + 1;
        if (DMProject_NonWorkingDayKindForIndex(end) == 2 && last.value(kDMDayOffDescription).toString() == text
            && nextMonth == month && nextDay == day
            && DMProject_NonWorkingDayIndexForMonthDay(month, day) != last.value(kDMDayOffIndex).toLongLong()) {
            last.insert(kDMDayOffEndIndex, DMProject_NonWorkingDayIndexForMonthDay(month, day));
            m_daysOff.last() = last;
            return;
        }
    }
    QVariantMap entry;
    entry.insert(kDMDayOffIndex, DMProject_NonWorkingDayIndexForMonthDay(month, day));
    entry.insert(kDMDayOffEndIndex, DMProject_NonWorkingDayIndexForMonthDay(month, day));
    entry.insert(kDMDayOffDescription, text);
    m_daysOff.append(entry);
}

namespace {

QString exceptionText(const QString &name, const DMDate &from, const DMDate &to, int occurrences, const QString &recurrence)
{
    QString text = QStringLiteral("<Exception>\n<EnteredByOccurrences>0</EnteredByOccurrences>\n<TimePeriod>\n<FromDate>%1</FromDate>\n"
                                  "<ToDate>%2</ToDate>\n</TimePeriod>\n<Occurrences>%3</Occurrences>\n")
                       .arg(DMDate_MSProjectFormatString(from), DMDate_MSProjectFormatString(to))
                       .arg(occurrences);
    if (!name.isEmpty())
        text += QStringLiteral("<Name>%1</Name>\n").arg(MSXMLText(name));
    return text + recurrence + QStringLiteral("<DayWorking>0</DayWorking>\n</Exception>\n");
}

// A yearly day off over the years: its first and last occurrence and how many there are. A day
// that the span's years do not have (29 February) takes the next year that has it.
QString yearlyException(const QString &name, int month, int day, int firstYear, int lastYear)
{
    QList<int> years;
    for (int year = firstYear; year <= lastYear; ++year)
        if (day <= DMDate::daysInMonth(year, month))
            years.append(year);
    for (int year = lastYear + 1; years.isEmpty(); ++year)
        if (day <= DMDate::daysInMonth(year, month))
            years.append(year);
    return exceptionText(name, DMDate(years.first(), month, day, 0), DMDate(years.last(), month, day, 86400 - 60),
                         int(years.size()),
                         QStringLiteral("<Type>%1</Type>\n<Month>%2</Month>\n<MonthDay>%3</MonthDay>\n")
                             .arg(kExceptionYearlyByMonthDay)
                             .arg(month - 1)
                             .arg(day));
}

} // namespace

QString DMMSProjectXMLCalendar::exceptionsElement(const QVariantList &daysOff, int firstYear, int lastYear)
{
    QString exceptions;
    for (const QVariant &value : daysOff) {
        const QVariantMap entry = value.toMap();
        const qint64 index = entry.value(kDMDayOffIndex).toLongLong();
        qint64 endIndex = entry.value(kDMDayOffEndIndex).toLongLong();
        const int kind = DMProject_NonWorkingDayKindForIndex(index);
        if ((kind != 2 && kind != 3) || !DMProject_NonWorkingDayIndexIsValid(index))
            continue;
        if (endIndex == 0 || DMProject_NonWorkingDayKindForIndex(endIndex) != kind || !DMProject_NonWorkingDayIndexIsValid(endIndex))
            endIndex = index;
        const QString name = entry.value(kDMDayOffDescription).toString();
        int year = 0, month = 0, day = 0, endYear = 0, endMonth = 0, endDay = 0;
        DMProject_NonWorkingDayFromIndex(index, &year, &month, &day);
        DMProject_NonWorkingDayFromIndex(endIndex, &endYear, &endMonth, &endDay);
        if (kind == 3) {
            DMDate first(year, month, day, 0);
            DMDate last(endYear, endMonth, endDay, 0);
            if (last < first)
                std::swap(first, last);
            exceptions += exceptionText(name, first, DMDate::dateWithJulianDay(last.julianDay(), 86400 - 60),
                                        int(last.julianDay() - first.julianDay() + 1),
                                        QStringLiteral("<Type>%1</Type>\n<Period>1</Period>\n").arg(kExceptionDaily));
            continue;
        }
        // Day by day through a leap year, over New Year when the range ends before it begins.
        for (DMDate date(2000, month, day, 0);; date = DMDate::dateWithJulianDay(date.julianDay() + 1, 0)) {
            if (date.year() > 2000)
                date = DMDate(2000, 1, 1, 0);
            exceptions += yearlyException(name, date.month(), date.day(), firstYear, lastYear);
            if (date.month() == endMonth && date.day() == endDay)
                break;
        }
    }
    return exceptions.isEmpty() ? QString() : QStringLiteral("<Exceptions>\n") + exceptions + QStringLiteral("</Exceptions>\n");
}

double DMMSProjectXMLCalendar::workingDayHours(const DMProject &project)
{
    return project.workingCalendar().workingDayLength() / 3600.0;
}

bool DMMSProjectXMLCalendar::holdsInstant(const DMProject &project, const DMDate &date, bool asEnd) const
{
    if (date.isNull() || m_dayBegin >= m_dayEnd)
        return false;
    // An end at midnight is the end of the day before.
    const bool dayBefore = asEnd && date.secondOfDay() == 0;
    const DMDate day = DMDate::dateWithJulianDay(date.julianDay() - (dayBefore ? 1 : 0), 0);
    if (!project.isWorkingDay(day))
        return false;
    const int second = dayBefore ? 86400 : date.secondOfDay();
    for (const auto &[from, to] : periodsOfWeekDay(day.dayOfWeek()))
        if (asEnd ? (second > from && second <= to) : (second >= from && second < to))
            return true;
    return false;
}

void DMMSProjectXMLCalendar::applyToProject(DMProject &project) const
{
    if (m_dayBegin < m_dayEnd)
        project.setAttribute(kDMProject_Settings_DayTimeSpan,
                             QVariantMap{{kDMTimeSpanBegin, m_dayBegin / 60}, {kDMTimeSpanEnd, m_dayEnd / 60}});
    if (m_hasWeekDays)
        project.setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(m_nonWorkingWeekDays)));
    if (!m_daysOff.isEmpty())
        project.setAttribute(kDMProject_Settings_DaysOff, m_daysOff);
}
