#include "DMMSProjectXMLCalendar.h"

#include "DMImportReport.h"
#include "DMLocalizedString.h"
#include "DMMSProjectXMLValues.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMWorkingCalendar.h"
#include "DMXMLTree.h"

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

QString timeText(int secondOfDay)
{
    return QString::asprintf("%02d:%02d", secondOfDay / 3600, secondOfDay % 3600 / 60);
}

} // namespace

DMMSProjectXMLCalendar DMMSProjectXMLCalendar::read(const xmlNode *calendars, const QString &projectCalendarUID,
                                                    DMImportReport &report)
{
    DMMSProjectXMLCalendar result;
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
    if (result.m_dayWork > 0)
        result.m_dayEnd = std::min(86400, result.m_dayBegin + result.m_dayWork);
    if (!result.m_gappedDay.isEmpty() && result.m_dayBegin < result.m_dayEnd)
        report.note(DMLocalizedString("The working times of a day (%1) are read as one working window of the same "
                                      "work, %2 to %3.")
                        .arg(result.m_gappedDay, timeText(result.m_dayBegin), timeText(result.m_dayEnd)));
    return result;
}

void DMMSProjectXMLCalendar::readCalendar(const xmlNode *calendar, DMImportReport &report)
{
    if (const xmlNode *weekDays = DMXMLTree::childElement(calendar, "WeekDays")) {
        m_hasWeekDays = true;
        DMXMLTree::forEachChildElement(weekDays, [&](const xmlNode *weekDay) { readWeekDay(weekDay, report); });
    }
    if (const xmlNode *exceptions = DMXMLTree::childElement(calendar, "Exceptions"))
        DMXMLTree::forEachChildElement(exceptions, [&](const xmlNode *exception) { readException(exception, report); });
}

void DMMSProjectXMLCalendar::readWeekDay(const xmlNode *weekDay, DMImportReport &report)
{
    const int dayType = MSXMLLenientInteger(DMXMLTree::childValue(weekDay, "DayType"));
    const bool working = MSXMLLenientInteger(DMXMLTree::childValue(weekDay, "DayWorking")) != 0;
    if (dayType == 0) {
        // An exception of the older form: a period of days rather than a day of the week.
        if (!working)
            addDaysOff(DMXMLTree::childElement(weekDay, "TimePeriod"), QString(), report);
        return;
    }
    if (dayType < 1 || dayType > 7) {
        report.skip(QStringLiteral("MS Project XML: calendar week day of unknown type %1 skipped").arg(dayType));
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
            report.skip(QStringLiteral("MS Project XML: working time with an unreadable time of day skipped"));
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
    const int first = periods.front().first;
    m_dayBegin = std::min(m_dayBegin, first);
    m_dayWork = std::max(m_dayWork, work);
    if (work < coveredUntil - first && m_gappedDay.isEmpty()) {
        QStringList texts;
        for (const auto &[from, to] : periods)
            texts.append(timeText(from) + QLatin1Char('-') + timeText(to));
        m_gappedDay = texts.join(QStringLiteral(", "));
    }
}

void DMMSProjectXMLCalendar::readException(const xmlNode *exception, DMImportReport &report)
{
    const QString working = DMXMLTree::childValue(exception, "DayWorking");
    if (!working.isNull() && MSXMLLenientInteger(working) != 0)
        return; // extra working time: no day off
    const QString name = DMXMLTree::childValue(exception, "Name");
    const xmlNode *period = DMXMLTree::childElement(exception, "TimePeriod");
    const QString typeText = DMXMLTree::childValue(exception, "Type");
    const int type = typeText.isNull() ? kExceptionDaily : MSXMLLenientInteger(typeText);
    const int occurrences = MSXMLLenientInteger(DMXMLTree::childValue(exception, "Occurrences"));
    const QString periodText = DMXMLTree::childValue(exception, "Period");
    const int every = periodText.isNull() ? 1 : MSXMLLenientInteger(periodText);

    if (occurrences <= 1 || (type == kExceptionDaily && every <= 1)) {
        addDaysOff(period, name, report);
        return;
    }
    if (type == kExceptionYearlyByMonthDay) {
        const DMDate first = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(period, "FromDate"));
        const DMDate last = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(period, "ToDate"));
        const int month = MSXMLLenientInteger(DMXMLTree::childValue(exception, "Month")) + 1; // 0 is January
        const int day = MSXMLLenientInteger(DMXMLTree::childValue(exception, "MonthDay"));
        if (first.isNull() || last.isNull() || month < 1 || month > 12 || day < 1 || day > 31) {
            report.skip(QStringLiteral("MS Project XML: unreadable yearly calendar exception \"%1\" skipped").arg(name));
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
    report.skip(QStringLiteral("MS Project XML: recurring calendar exception \"%1\" of type %2 not read").arg(name).arg(type));
}

void DMMSProjectXMLCalendar::addDaysOff(const xmlNode *timePeriod, const QString &description, DMImportReport &report)
{
    DMDate first = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(timePeriod, "FromDate"));
    DMDate last = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(timePeriod, "ToDate"));
    if (first.isNull() || last.isNull()) {
        report.skip(QStringLiteral("MS Project XML: calendar exception \"%1\" without a readable period skipped").arg(description));
        return;
    }
    // A period that ends at midnight does not take in the day it ends on.
    if (last.secondOfDay() == 0 && last.julianDay() > first.julianDay())
        last = DMDate::dateWithJulianDay(last.julianDay() - 1, 0);
    if (last.julianDay() < first.julianDay())
        std::swap(first, last);
    addDayOff(first.year(), first.month(), first.day(), last.year(), last.month(), last.day(), description);
}

void DMMSProjectXMLCalendar::addDayOff(int year, int month, int day, int lastYear, int lastMonth, int lastDay,
                                       const QString &description)
{
    QVariantMap entry;
    entry.insert(kDMDayOffIndex, DMProject_NonWorkingDayIndexForYearMonthDay(year, month, day));
    entry.insert(kDMDayOffEndIndex, DMProject_NonWorkingDayIndexForYearMonthDay(lastYear, lastMonth, lastDay));
    entry.insert(kDMDayOffDescription, description.isNull() ? QString(QLatin1String("")) : description);
    m_daysOff.append(entry);
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
