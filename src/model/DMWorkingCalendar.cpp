#include "DMWorkingCalendar.h"

#include "DMDictionaryAccess.h"
#include "DMIndexSet_64.h"
#include "DMProjectKeys.h"

#include <QDebug>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kDatedIndexBase = 200000000;
constexpr qint64 kYearlyIndexBase = 10000;

// Consecutive non-working days (a jump over a dated range counts as one) searched before the
// calendar is taken as one where work never happens. Sound calendars stay far below it.
constexpr int kMaxNonWorkingSearchSteps = 5000;
// Longest working-time computation, in working days or calendar days spanned; beyond it the
// input is damaged and plain time is used.
constexpr qint64 kMaxWorkingDays = 4 * 146097;
// Days in a cycle of the Gregorian calendar, a whole number of weeks: week days and yearly days
// off repeat with it.
constexpr qint64 kCycleDays = 146097;


// Day of a leap year (1 January = 0) of a month and day valid in a leap year.
int yearlyOrdinal(int month, int day)
{
    static constexpr int kDaysBefore[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
    return kDaysBefore[month - 1] + day - 1;
}

int weekDayOfJulianDay(qint64 julianDay)
{
    const int r = int(julianDay % 7);
    return (r + 8) % 7; // Julian day 0 is a Monday
}

void addWeekDay(qint64 index, quint8 *mask)
{
    if (index >= 0 && index <= 6)
        *mask |= quint8(1u << index);
    else
        qWarning() << "Working calendar: ignoring non-working week day" << index;
}

// Accepts the index-set value in the forms a file or a caller may hold it.
quint8 weekDayMaskFromValue(const QVariant &value)
{
    quint8 mask = 0;
    const QMetaType type = value.metaType();
    const DMIndexSet_64 *set = nullptr;
    if (type == QMetaType::fromType<DMIndexSet_64>())
        set = static_cast<const DMIndexSet_64 *>(value.constData());
    else if (type == QMetaType::fromType<DMMutableIndexSet_64>())
        set = static_cast<const DMMutableIndexSet_64 *>(value.constData());
    if (set) {
        for (const DMIndexSet_64::Range &range : set->ranges())
            for (qint64 i = std::max<qint64>(range.location, -1); i <= std::min<qint64>(range.last(), 7); ++i)
                addWeekDay(i, &mask);
        return mask;
    }
    if (type.id() == QMetaType::QVariantList || type.id() == QMetaType::QStringList) {
        for (const QVariant &element : value.toList()) {
            bool ok = false;
            const qint64 index = element.toLongLong(&ok);
            if (ok)
                addWeekDay(index, &mask);
        }
        return mask;
    }
    if (type.id() == QMetaType::QString) {
        DMIndexSet_64 parsed;
        if (DMIndexSet_64::fromRangeString(value.toString(), &parsed))
            return weekDayMaskFromValue(QVariant::fromValue(parsed));
        qWarning() << "Working calendar: unreadable non-working week days" << value.toString();
        return 0;
    }
    if (value.isValid())
        qWarning() << "Working calendar: non-working week days of an unknown type" << type.name();
    return 0;
}

bool decodeDatedIndex(qint64 index, qint64 *julianDay)
{
    if (DMProject_NonWorkingDayKindForIndex(index) != 3)
        return false;
    const qint64 value = index - kDatedIndexBase;
    const qint64 year = value / 10000;
    const int month = int(value / 100 % 100);
    const int day = int(value % 100);
    if (day < 1 || day > DMDate::daysInMonth(year, month))
        return false;
    return DMDate::julianDayForYearMonthDay(year, month, day, julianDay);
}

bool decodeYearlyIndex(qint64 index, int *ordinal)
{
    if (DMProject_NonWorkingDayKindForIndex(index) != 2)
        return false;
    const qint64 value = index - kYearlyIndexBase;
    if (value >= 10000)
        return false;
    const int month = int(value / 100);
    const int day = int(value % 100);
    if (day < 1 || day > DMDate::daysInMonth(2000, month))
        return false;
    *ordinal = yearlyOrdinal(month, day);
    return true;
}

} // namespace

DMWorkingCalendar::DMWorkingCalendar() = default;

void DMWorkingCalendar::setNonWorkingWeekDays(const QVariant &value)
{
    m_weekDaysOff = weekDayMaskFromValue(value);
    m_cycleCounts.clear();
    m_datedCounts.clear();
    updateNeverWorking();
}

void DMWorkingCalendar::setDaysOff(const QVariant &value)
{
    m_yearlyDaysOff.reset();
    m_datedDaysOff.clear();
    m_cycleCounts.clear();
    m_datedCounts.clear();
    if (value.isValid() && value.metaType().id() != QMetaType::QVariantList)
        qWarning() << "Working calendar: days off of an unknown type" << value.metaType().name();

    const QVariantList entries = value.metaType().id() == QMetaType::QVariantList ? value.toList() : QVariantList();
    // Damaged entries are counted and logged once each kind: a file may hold very many.
    int notDictionaries = 0;
    int unreadableEnds = 0;
    int unreadable = 0;
    qint64 firstUnreadable = 0;
    for (const QVariant &entryValue : entries) {
        if (entryValue.metaType().id() != QMetaType::QVariantMap) {
            ++notDictionaries;
            continue;
        }
        const QVariantMap entry = entryValue.toMap();
        const qint64 index = longLongForKey(entry, kDMDayOffIndex);
        const qint64 endIndex = longLongForKey(entry, kDMDayOffEndIndex);
        qint64 firstDay = 0;
        int firstOrdinal = 0;
        if (decodeDatedIndex(index, &firstDay)) {
            qint64 lastDay = firstDay;
            if (endIndex != 0 && !decodeDatedIndex(endIndex, &lastDay)) {
                ++unreadableEnds;
                lastDay = firstDay;
            }
            // A range entered backwards still names the days between its two ends.
            m_datedDaysOff.push_back({std::min(firstDay, lastDay), std::max(firstDay, lastDay)});
        } else if (decodeYearlyIndex(index, &firstOrdinal)) {
            int lastOrdinal = firstOrdinal;
            if (endIndex != 0 && !decodeYearlyIndex(endIndex, &lastOrdinal)) {
                ++unreadableEnds;
                lastOrdinal = firstOrdinal;
            }
            // An end before the first day lies in the following year: the range runs over New Year.
            for (int i = firstOrdinal;; i = (i + 1) % 366) {
                m_yearlyDaysOff.set(size_t(i));
                if (i == lastOrdinal)
                    break;
            }
        } else if (unreadable++ == 0) {
            firstUnreadable = index;
        }
    }
    if (notDictionaries > 0)
        qWarning() << "Working calendar: ignoring" << notDictionaries << "days-off entries that are not dictionaries";
    if (unreadableEnds > 0)
        qWarning() << "Working calendar:" << unreadableEnds << "days off with an unreadable end read as single days";
    if (unreadable > 0)
        qWarning() << "Working calendar: ignoring" << unreadable << "days-off entries with unreadable indexes, the first"
                   << firstUnreadable;

    std::sort(m_datedDaysOff.begin(), m_datedDaysOff.end(),
              [](const DayRange &a, const DayRange &b) { return a.first < b.first; });
    std::vector<DayRange> merged;
    for (const DayRange &range : m_datedDaysOff) {
        if (!merged.empty() && range.first <= merged.back().last + 1)
            merged.back().last = std::max(merged.back().last, range.last);
        else
            merged.push_back(range);
    }
    m_datedDaysOff = std::move(merged);
    updateNeverWorking();
}

void DMWorkingCalendar::setDayTimeSpan(const QVariant &value)
{
    m_beginMinute = 0;
    m_endMinute = 1440;
    if (value.metaType().id() != QMetaType::QVariantMap) {
        if (value.isValid())
            qWarning() << "Working calendar: day time span of an unknown type" << value.metaType().name();
        return;
    }
    const QVariantMap span = value.toMap();
    const qint64 begin = std::clamp<qint64>(longLongForKey(span, kDMTimeSpanBegin), 0, 1440);
    const qint64 end = std::clamp<qint64>(longLongForKey(span, kDMTimeSpanEnd), 0, 1440);
    // A window of no length would make every working-time division fail; work the whole day.
    if (end <= begin) {
        qWarning() << "Working calendar: empty day time span" << begin << end << "read as the whole day";
        return;
    }
    m_beginMinute = int(begin);
    m_endMinute = int(end);
}

int DMWorkingCalendar::dayBeginSecond() const
{
    return m_beginMinute * 60;
}

int DMWorkingCalendar::dayEndSecond() const
{
    return m_endMinute * 60;
}

void DMWorkingCalendar::updateNeverWorking()
{
    m_neverWorking = m_weekDaysOff == 0x7f || m_yearlyDaysOff.all();
    if (m_neverWorking)
        qWarning() << "Working calendar: no day is ever a working day; working time falls back to plain time";
}

const DMWorkingCalendar::DayRange *DMWorkingCalendar::datedRangeContaining(qint64 julianDay) const
{
    auto after = std::upper_bound(m_datedDaysOff.begin(), m_datedDaysOff.end(), julianDay,
                                  [](qint64 day, const DayRange &range) { return day < range.first; });
    if (after == m_datedDaysOff.begin())
        return nullptr;
    const DayRange &range = *(after - 1);
    return julianDay <= range.last ? &range : nullptr;
}

int DMWorkingCalendar::weekDayOrYearlyKind(qint64 julianDay) const
{
    if (m_weekDaysOff & (1u << weekDayOfJulianDay(julianDay)))
        return 1;
    if (m_yearlyDaysOff.any()) {
        int month = 0;
        int day = 0;
        DMDate::yearMonthDayForJulianDay(julianDay, nullptr, &month, &day);
        if (m_yearlyDaysOff.test(size_t(yearlyOrdinal(month, day))))
            return 2;
    }
    return 0;
}

int DMWorkingCalendar::nonWorkingKindOfJulianDay(qint64 julianDay) const
{
    if (const int kind = weekDayOrYearlyKind(julianDay))
        return kind;
    return datedRangeContaining(julianDay) ? 3 : 0;
}

bool DMWorkingCalendar::isWorkingDay(const DMDate &date, int *kind) const
{
    const int found = date.isNull() ? 0 : nonWorkingKindOfJulianDay(date.julianDay());
    if (kind)
        *kind = found;
    return !date.isNull() && found == 0;
}

bool DMWorkingCalendar::nextWorkingDay(qint64 from, qint64 *julianDay) const
{
    if (m_neverWorking)
        return false;
    qint64 day = from;
    for (int step = 0; step < kMaxNonWorkingSearchSteps && day <= DMDate::kMaxJulianDay; ++step) {
        if (const DayRange *range = datedRangeContaining(day)) {
            day = range->last + 1;
            continue;
        }
        if (weekDayOrYearlyKind(day) != 0) {
            ++day;
            continue;
        }
        *julianDay = day;
        return true;
    }
    return false;
}

DMDate DMWorkingCalendar::endDateWithBeginDateAndDuration(const DMDate &begin, qint64 duration, bool useWorkingSchedule,
                                                          DMMutableIndexSet_64 *workSlices) const
{
    if (begin.isNull())
        return DMDate();
    if (duration <= 0)
        return begin;

    const auto plainTime = [&] {
        const DMDate end = begin.dateByAddingSeconds(duration);
        if (workSlices && !end.isNull())
            workSlices->addIndexesInRange({begin.absoluteSecond(), duration});
        return end;
    };
    const qint64 windowBegin = dayBeginSecond();
    const qint64 windowEnd = dayEndSecond();
    if (!useWorkingSchedule || m_neverWorking || duration / workingDayLength() > kMaxWorkingDays)
        return plainTime();

    // Slices are kept aside until the end is found, so that a fallback leaves the caller's set as
    // it was.
    std::vector<DMIndexSet_64::Range> slices;
    qint64 day = begin.julianDay();
    qint64 second = std::max<qint64>(begin.secondOfDay(), windowBegin);
    if (second >= windowEnd) {
        ++day;
        second = windowBegin;
    }
    qint64 workingDay = 0;
    if (!nextWorkingDay(day, &workingDay))
        return plainTime();
    if (workingDay != day)
        second = windowBegin;
    day = workingDay;

    qint64 remaining = duration;
    while (true) {
        const qint64 available = windowEnd - second;
        if (remaining <= available) {
            if (workSlices)
                slices.push_back({day * kSecondsPerDay + second, remaining});
            break;
        }
        if (workSlices)
            slices.push_back({day * kSecondsPerDay + second, available});
        remaining -= available;
        if (!nextWorkingDay(day + 1, &day))
            return plainTime();
        second = windowBegin;
    }
    // An end exactly at the window end stays on that day (a midnight end reads as the next 00:00).
    const DMDate end = DMDate::dateWithJulianDay(day, int(second + remaining));
    if (workSlices && !end.isNull())
        for (const DMIndexSet_64::Range &slice : slices)
            workSlices->addIndexesInRange(slice);
    return end;
}

qint64 DMWorkingCalendar::durationBetween(const DMDate &begin, const DMDate &end, bool useWorkingSchedule) const
{
    if (begin.isNull() || end.isNull())
        return 0;
    if (end < begin)
        return -durationBetween(end, begin, useWorkingSchedule);
    if (!useWorkingSchedule || m_neverWorking)
        return end.absoluteSecond() - begin.absoluteSecond();

    const qint64 windowBegin = dayBeginSecond();
    const qint64 windowEnd = dayEndSecond();
    if (end.julianDay() - begin.julianDay() > kMaxWorkingDays) {
        // Too many days to walk: whole working days counted, the two ends' parts added.
        const auto partOfDay = [&](const DMDate &date) {
            return isWorkingDay(date) ? std::clamp<qint64>(date.secondOfDay(), windowBegin, windowEnd) - windowBegin : 0;
        };
        const qint64 days = workingDaysBefore(end.julianDay()) - workingDaysBefore(begin.julianDay());
        return days * (windowEnd - windowBegin) + partOfDay(end) - partOfDay(begin);
    }
    qint64 total = 0;
    for (qint64 day = begin.julianDay(); day <= end.julianDay();) {
        if (const DayRange *range = datedRangeContaining(day)) {
            day = range->last + 1;
            continue;
        }
        if (weekDayOrYearlyKind(day) == 0) {
            const qint64 from = day == begin.julianDay() ? std::clamp<qint64>(begin.secondOfDay(), windowBegin, windowEnd)
                                                         : windowBegin;
            const qint64 to = day == end.julianDay() ? std::clamp<qint64>(end.secondOfDay(), windowBegin, windowEnd)
                                                     : windowEnd;
            total += std::max<qint64>(to - from, 0);
        }
        ++day;
    }
    return total;
}

void DMWorkingCalendar::buildCounts() const
{
    if (!m_cycleCounts.empty())
        return;
    std::vector<qint32> counts(size_t(kCycleDays) + 1);
    qint32 count = 0;
    // Day by day from Julian day 0, the date carried along rather than computed for each day.
    qint64 year = 0;
    int month = 0;
    int day = 0;
    DMDate::yearMonthDayForJulianDay(0, &year, &month, &day);
    int weekDay = weekDayOfJulianDay(0);
    for (qint64 i = 0; i < kCycleDays; ++i) {
        counts[size_t(i)] = count;
        if (!(m_weekDaysOff & (1u << weekDay)) && !m_yearlyDaysOff.test(size_t(yearlyOrdinal(month, day))))
            ++count;
        weekDay = (weekDay + 1) % 7;
        if (++day > DMDate::daysInMonth(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    counts[size_t(kCycleDays)] = count;
    m_cycleCounts = std::move(counts);
    std::vector<qint64> dated;
    dated.reserve(m_datedDaysOff.size() + 1);
    qint64 sum = 0;
    for (const DayRange &range : m_datedDaysOff) {
        dated.push_back(sum);
        sum += periodicWorkingDaysBefore(range.last + 1) - periodicWorkingDaysBefore(range.first);
    }
    dated.push_back(sum);
    m_datedCounts = std::move(dated);
}

qint64 DMWorkingCalendar::periodicWorkingDaysBefore(qint64 julianDay) const
{
    const qint64 cycles = julianDay / kCycleDays - (julianDay % kCycleDays < 0 ? 1 : 0);
    const qint64 rest = julianDay - cycles * kCycleDays;
    return cycles * m_cycleCounts[size_t(kCycleDays)] + m_cycleCounts[size_t(rest)];
}

qint64 DMWorkingCalendar::workingDaysBefore(qint64 julianDay) const
{
    buildCounts();
    qint64 count = periodicWorkingDaysBefore(julianDay);
    // The dated ranges that begin before the day take their days off; the last of them perhaps
    // only in part.
    const auto after = std::lower_bound(m_datedDaysOff.begin(), m_datedDaysOff.end(), julianDay,
                                        [](const DayRange &range, qint64 day) { return range.first < day; });
    if (after != m_datedDaysOff.begin()) {
        const size_t last = size_t(after - m_datedDaysOff.begin()) - 1;
        const DayRange &range = m_datedDaysOff[last];
        count -= m_datedCounts[last] + periodicWorkingDaysBefore(std::min(julianDay, range.last + 1))
            - periodicWorkingDaysBefore(range.first);
    }
    return count;
}

qint64 DMWorkingCalendar::workingDayWithCount(qint64 count) const
{
    // The first day that has more than `count` working days before the day after it.
    qint64 low = DMDate::kMinJulianDay;
    qint64 high = DMDate::kMaxJulianDay;
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        if (workingDaysBefore(middle + 1) > count)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

DMDate DMWorkingCalendar::dateByRoundingDateToIntervalSnapOption(const DMDate &date, int interval, int snapOption,
                                                                 int snapThreshold, int intervalOrigin) const
{
    if (date.isNull())
        return date;
    const qint64 day = date.julianDay();
    const int second = date.secondOfDay();
    const int windowBegin = dayBeginSecond();
    const int windowEnd = dayEndSecond();
    if (snapOption != 0) {
        const int threshold = snapThreshold;
        if (std::abs(second - windowBegin) < threshold) {
            if (snapOption & 1)
                return DMDate::dateWithJulianDay(day, windowBegin);
            if (snapOption & 2)
                return DMDate::dateWithJulianDay(day - 1, windowEnd);
        } else if (std::abs(second - windowEnd) < threshold) {
            if (snapOption & 2)
                return DMDate::dateWithJulianDay(day, windowEnd);
            if (snapOption & 1)
                return DMDate::dateWithJulianDay(day + 1, windowBegin);
        }
    }
    if (interval <= 0)
        return date;
    // Rounded down: a time before the origin takes the multiple before it, which may lie on the
    // day before.
    const qint64 sinceOrigin = qint64(second) - intervalOrigin;
    const qint64 multiples = DMDate_floorDivide(sinceOrigin, interval);
    return DMDate::dateWithAbsoluteSecond(day * 86400 + intervalOrigin + multiples * interval);
}

qint64 DMProject_NonWorkingDayIndexForWeekDay(int weekDay)
{
    return weekDay;
}

qint64 DMProject_NonWorkingDayIndexForMonthDay(int month, int day)
{
    return kYearlyIndexBase + qint64(month) * 100 + day;
}

qint64 DMProject_NonWorkingDayIndexForYearMonthDay(int year, int month, int day)
{
    return kDatedIndexBase + qint64(year) * 10000 + qint64(month) * 100 + day;
}

int DMProject_NonWorkingDayKindForIndex(qint64 index)
{
    if (index > kDatedIndexBase)
        return 3;
    if (index > kYearlyIndexBase)
        return 2;
    if (index >= 0 && index <= 6)
        return 1;
    return 0;
}

void DMProject_NonWorkingDayFromIndex(qint64 index, int *year, int *month, int *day)
{
    const int kind = DMProject_NonWorkingDayKindForIndex(index);
    qint64 value = 0;
    // A yearly day has no year; a leap one lets 29 February be a date. Indexes carry no year for
    // yearly days, so days off stored when the placeholder was 2009 read the same.
    qint64 decodedYear = 2000;
    if (kind == 3) {
        value = index - kDatedIndexBase;
        decodedYear = value / 10000;
    } else if (kind == 2) {
        value = index - kYearlyIndexBase;
    } else {
        return;
    }
    if (year)
        *year = int(std::clamp<qint64>(decodedYear, INT_MIN, INT_MAX));
    if (month)
        *month = int(value / 100 % 100);
    if (day)
        *day = int(value % 100);
}

bool DMProject_NonWorkingDayIndexIsValid(qint64 index)
{
    qint64 julianDay = 0;
    int ordinal = 0;
    return decodeDatedIndex(index, &julianDay) || decodeYearlyIndex(index, &ordinal);
}
