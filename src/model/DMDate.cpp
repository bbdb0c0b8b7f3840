#include "DMDate.h"
#include "DMWallClock.h"

#include <algorithm>
#include <cmath>

const QString kDMTimeSpanBegin = QStringLiteral("begin");
const QString kDMTimeSpanEnd = QStringLiteral("end");

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kUnixEpochJulianDay = 2440588; // 1 January 1970
constexpr qint64 kMinYear = -1000000;
constexpr qint64 kMaxYear = 1000000;

const QString kJulianDayKey = QStringLiteral("julianDay");
const QString kSecondOfDayKey = QStringLiteral("secondOfDay");

qint64 floorMod(qint64 a, qint64 b)
{
    return a - DMDate_floorDivide(a, b) * b;
}

// Days from 1 January 1970 of a proleptic Gregorian date with month 1 to 12 (400-year eras,
// March-based years so that the leap day falls at the end).
qint64 daysFromCivil(qint64 year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = DMDate_floorDivide(year, 400);
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// An integral number, or a string holding one; damaged values (fractions, NaN, text) fail.
bool readInteger(const QVariant &value, qint64 *out)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        *out = value.toLongLong();
        return true;
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong();
        if (u > qulonglong(INT64_MAX))
            return false;
        *out = qint64(u);
        return true;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 1e15 || d != std::floor(d))
            return false;
        *out = qint64(d);
        return true;
    }
    case QMetaType::QString: {
        bool ok = false;
        *out = value.toString().trimmed().toLongLong(&ok);
        return ok;
    }
    default:
        return false;
    }
}

} // namespace

bool DMDate::isLeapYear(qint64 year)
{
    return floorMod(year, 4) == 0 && (floorMod(year, 100) != 0 || floorMod(year, 400) == 0);
}

int DMDate::daysInMonth(qint64 year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool DMDate::julianDayForYearMonthDay(qint64 year, qint64 month, qint64 day, qint64 *julianDay)
{
    // Bound every part before combining them so that nothing can overflow.
    constexpr qint64 kSpan = kMaxJulianDay - kMinJulianDay;
    if (year < kMinYear - 1 || year > kMaxYear + 1 || month < -12 * kSpan || month > 12 * kSpan
        || day < -kSpan - 31 || day > kSpan + 31)
        return false;
    const qint64 carriedYear = year + DMDate_floorDivide(month - 1, 12);
    if (carriedYear < kMinYear - kSpan / 365 - 2 || carriedYear > kMaxYear + kSpan / 365 + 2)
        return false;
    const int carriedMonth = int(floorMod(month - 1, 12)) + 1;
    const qint64 jd = daysFromCivil(carriedYear, carriedMonth, 1) + kUnixEpochJulianDay + (day - 1);
    if (jd < kMinJulianDay || jd > kMaxJulianDay)
        return false;
    if (julianDay)
        *julianDay = jd;
    return true;
}

void DMDate::yearMonthDayForJulianDay(qint64 julianDay, qint64 *year, int *month, int *day)
{
    const qint64 z = julianDay - kUnixEpochJulianDay + 719468;
    const qint64 era = DMDate_floorDivide(z, 146097);
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 mp = (5 * dayOfYear + 2) / 153;
    const int d = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    if (year)
        *year = yearOfEra + era * 400 + (m <= 2);
    if (month)
        *month = m;
    if (day)
        *day = d;
}

DMDate::DMDate(int year, int month, int day, int secondOfDay)
{
    qint64 jd = 0;
    if (julianDayForYearMonthDay(year, month, day, &jd))
        *this = dateWithJulianDay(jd, secondOfDay);
}

DMDate DMDate::dateWithYearMonthDayHourMinuteSecond(int year, int month, int day, int hour, int minute, int second)
{
    qint64 jd = 0;
    if (!julianDayForYearMonthDay(year, month, day, &jd))
        return DMDate();
    const qint64 seconds = qint64(hour) * 3600 + qint64(minute) * 60 + second;
    return dateWithAbsoluteSecond(jd * kSecondsPerDay).dateByAddingSeconds(seconds);
}

DMDate DMDate::dateWithJulianDay(qint64 julianDay, int secondOfDay)
{
    const qint64 carry = DMDate_floorDivide(secondOfDay, kSecondsPerDay);
    if (julianDay < kMinJulianDay - carry || julianDay > kMaxJulianDay - carry)
        return DMDate();
    DMDate date;
    date.m_julianDay = qint32(julianDay + carry);
    date.m_secondOfDay = qint32(floorMod(secondOfDay, kSecondsPerDay));
    return date;
}

int DMDate::year() const
{
    if (isNull())
        return 0;
    qint64 year = 0;
    yearMonthDayForJulianDay(m_julianDay, &year, nullptr, nullptr);
    return int(year);
}

int DMDate::month() const
{
    int month = 0;
    if (!isNull())
        yearMonthDayForJulianDay(m_julianDay, nullptr, &month, nullptr);
    return month;
}

int DMDate::day() const
{
    int day = 0;
    if (!isNull())
        yearMonthDayForJulianDay(m_julianDay, nullptr, nullptr, &day);
    return day;
}

int DMDate::dayOfWeek() const
{
    return isNull() ? 0 : int(floorMod(qint64(m_julianDay) + 1, 7));
}

DMDate DMDate::dateWithAbsoluteSecond(qint64 absoluteSecond)
{
    const qint64 jd = DMDate_floorDivide(absoluteSecond, kSecondsPerDay);
    if (jd < kMinJulianDay || jd > kMaxJulianDay)
        return DMDate();
    return dateWithJulianDay(jd, int(absoluteSecond - jd * kSecondsPerDay));
}

DMDate DMDate::dateForNow()
{
    return dateWithNSDate(DMWallClock::now());
}

DMDate DMDate::dateWithNSDate(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return DMDate();
    return dateWithJulianDay(dateTime.date().toJulianDay(), dateTime.time().msecsSinceStartOfDay() / 1000);
}

QDateTime DMDate::NSDate() const
{
    if (isNull())
        return QDateTime();
    const QDate date = QDate::fromJulianDay(m_julianDay);
    const QTime time = QTime::fromMSecsSinceStartOfDay(m_secondOfDay * 1000);
    QDateTime local(date, time, Qt::LocalTime);
    // A wall-clock time that the local zone skips (a daylight-saving gap) has no local instant;
    // keep its fields unshifted rather than let them move by the gap.
    if (!local.isValid() || local.time() != time || local.date() != date)
        return QDateTime(date, time, Qt::UTC);
    return local;
}

DMDate DMDate::dateByAddingYearsMonthsDaysHoursMinutesSeconds(int years, int months, int days, int hours, int minutes,
                                                             qint64 seconds) const
{
    if (isNull())
        return DMDate();
    DMDate date = *this;
    if (years != 0 || months != 0) {
        qint64 ownYear = 0;
        int ownMonth = 0;
        int ownDay = 0;
        yearMonthDayForJulianDay(m_julianDay, &ownYear, &ownMonth, &ownDay);
        const qint64 monthIndex = ownYear * 12 + (ownMonth - 1) + qint64(years) * 12 + months;
        const qint64 year = DMDate_floorDivide(monthIndex, 12);
        const int month = int(floorMod(monthIndex, 12)) + 1;
        const int day = std::min(ownDay, daysInMonth(year, month));
        qint64 jd = 0;
        if (!julianDayForYearMonthDay(year, month, day, &jd))
            return DMDate();
        date = dateWithJulianDay(jd, m_secondOfDay);
    }
    // Days, hours and minutes are at most about 2^31 x 86400 together: no overflow in 64 bits.
    const qint64 parts = qint64(days) * kSecondsPerDay + qint64(hours) * 3600 + qint64(minutes) * 60;
    qint64 total = 0;
    if (__builtin_add_overflow(parts, seconds, &total))
        return DMDate();
    return date.dateByAddingSeconds(total);
}

DMDate DMDate::dateByAddingSeconds(qint64 seconds) const
{
    qint64 absolute = 0;
    if (isNull() || __builtin_add_overflow(absoluteSecond(), seconds, &absolute))
        return DMDate();
    return dateWithAbsoluteSecond(absolute);
}

void DMDate::getIntervalToDateDaysSeconds(const DMDate &date, qint64 *days, qint64 *seconds) const
{
    qint64 difference = 0;
    if (!isNull() && !date.isNull())
        difference = date.absoluteSecond() - absoluteSecond();
    if (days)
        *days = difference / kSecondsPerDay;
    if (seconds)
        *seconds = difference % kSecondsPerDay;
}

void DMDate::getIntervalToDatePartOfDaysByTrimmingDaysTo(const DMDate &date, double *partOfDays, int beginSecond,
                                                        int endSecond) const
{
    if (!partOfDays)
        return;
    if (isNull() || date.isNull()) {
        *partOfDays = 0;
        return;
    }
    const double wholeDays = double(qint64(date.m_julianDay) - m_julianDay);
    if (endSecond <= beginSecond) {
        *partOfDays = wholeDays;
        return;
    }
    // Each date's place within its day window, from 0 at the window begin to 1 at its end.
    const auto place = [&](int secondOfDay) {
        const int clamped = std::clamp(secondOfDay, beginSecond, endSecond);
        return double(clamped - beginSecond) / double(endSecond - beginSecond);
    };
    *partOfDays = wholeDays + place(date.m_secondOfDay) - place(m_secondOfDay);
}

QVariantMap DMDate::dictionaryRepresentation() const
{
    if (isNull())
        return {};
    return {{kJulianDayKey, qint64(m_julianDay)}, {kSecondOfDayKey, int(m_secondOfDay)}};
}

DMDate DMDate::dateWithDictionaryRepresentation(const QVariant &representation)
{
    if (representation.metaType().id() != QMetaType::QVariantMap)
        return DMDate();
    const QVariantMap dictionary = representation.toMap();
    qint64 julianDay = 0;
    qint64 secondOfDay = 0;
    if (!readInteger(dictionary.value(kJulianDayKey), &julianDay)
        || !readInteger(dictionary.value(kSecondOfDayKey), &secondOfDay))
        return DMDate();
    if (julianDay < kMinJulianDay || julianDay > kMaxJulianDay || secondOfDay < 0 || secondOfDay >= kSecondsPerDay)
        return DMDate();
    return dateWithJulianDay(julianDay, int(secondOfDay));
}

QString DMDate::description() const
{
    if (isNull())
        return QStringLiteral("(null date)");
    qint64 y = 0;
    int m = 0;
    int d = 0;
    yearMonthDayForJulianDay(m_julianDay, &y, &m, &d);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", int(y), m, d, hour(), minute(), second());
}

void DMDate_SecondOfDay_to_HourMinuteSecond(int secondOfDay, int *hours, int *minutes, int *seconds)
{
    if (hours)
        *hours = secondOfDay / 3600;
    if (minutes)
        *minutes = (secondOfDay / 60) % 60;
    if (seconds)
        *seconds = secondOfDay % 60;
}
