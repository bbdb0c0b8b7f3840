#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// A calendar date and time of day without time zone: Julian day number plus second of day
// (0 to 86399); year, month, day and day of week (0 = Sunday) are worked out when asked for. An
// immutable value of eight bytes (items, the scheduler's states and the undo snapshots hold
// many); a default-constructed date is null (the model's "no date").
class DMDate
{
public:
    DMDate() = default;
    // initWithYear:month:day:secondOfDay: (proleptic Gregorian calendar; out-of-range
    // months, days and seconds carry over).
    DMDate(int year, int month, int day, int secondOfDay);

    static DMDate dateWithYearMonthDayHourMinuteSecond(int year, int month, int day, int hour, int minute, int second);
    static DMDate dateWithJulianDay(qint64 julianDay, int secondOfDay);
    // Absolute second: Julian day x 86400 + second of day (the unit of work slices). Dates outside
    // the supported range (see kMinJulianDay) come out null.
    static DMDate dateWithAbsoluteSecond(qint64 absoluteSecond);
    static DMDate dateForNow();
    // Floating wall-clock conversion: the date and time fields are taken as they stand, with no
    // time-zone shift. An invalid QDateTime gives a null date.
    static DMDate dateWithNSDate(const QDateTime &dateTime);
    QDateTime NSDate() const;

    bool isNull() const { return m_julianDay == kNullDay; }
    bool isValid() const { return !isNull(); }

    qint64 julianDay() const { return m_julianDay; }
    int secondOfDay() const { return m_secondOfDay; }
    qint64 absoluteSecond() const { return isNull() ? 0 : qint64(m_julianDay) * 86400 + m_secondOfDay; } // 0 when null
    int year() const;
    int month() const;
    int day() const;
    int dayOfWeek() const; // 0 = Sunday
    int hour() const { return m_secondOfDay / 3600; }
    int minute() const { return (m_secondOfDay / 60) % 60; }
    int second() const { return m_secondOfDay % 60; }

    // -1 ascending (receiver earlier), 0 same, 1 descending; by Julian day, then second of day.
    int compare(const DMDate &other) const { return key() < other.key() ? -1 : key() > other.key() ? 1 : 0; }
    bool operator==(const DMDate &o) const { return key() == o.key(); }
    bool operator!=(const DMDate &o) const { return key() != o.key(); }
    bool operator<(const DMDate &o) const { return key() < o.key(); }
    bool operator<=(const DMDate &o) const { return key() <= o.key(); }
    bool operator>(const DMDate &o) const { return key() > o.key(); }
    bool operator>=(const DMDate &o) const { return key() >= o.key(); }

    // Calendar addition with signed parts; a day of month past the end of the resulting month
    // is clamped to its last day.
    DMDate dateByAddingYearsMonthsDaysHoursMinutesSeconds(int years, int months, int days, int hours, int minutes, qint64 seconds) const;
    DMDate dateByAddingSeconds(qint64 seconds) const;

    // From the receiver to the argument: whole days and remaining seconds, negative when the
    // argument is earlier.
    void getIntervalToDateDaysSeconds(const DMDate &date, qint64 *days, qint64 *seconds) const;
    // Whole days plus the fraction of the day window [beginSecond, endSecond] covered; whole
    // days only when endSecond is not after beginSecond.
    void getIntervalToDatePartOfDaysByTrimmingDaysTo(const DMDate &date, double *partOfDays, int beginSecond, int endSecond) const;

    QVariantMap dictionaryRepresentation() const;
    static DMDate dateWithDictionaryRepresentation(const QVariant &representation);

    QString description() const; // "YYYY-MM-DD HH:MM:SS", for logs and tests

    // Calendar helpers (proleptic Gregorian; years may be zero or negative).
    static bool isLeapYear(qint64 year);
    static int daysInMonth(qint64 year, int month); // 0 for a month outside 1 to 12
    // Julian day number of a date whose month and day may lie outside their usual ranges (they
    // carry over); false when the result lies outside the supported range of about a million
    // years either side of year 1.
    static bool julianDayForYearMonthDay(qint64 year, qint64 month, qint64 day, qint64 *julianDay);
    static void yearMonthDayForJulianDay(qint64 julianDay, qint64 *year, int *month, int *day);
    static constexpr qint64 kMinJulianDay = -363521440; // 1 January -1000000
    static constexpr qint64 kMaxJulianDay = 366963925; // 31 December 1000000

private:
    // Both parts in one number that orders as the dates do (a null date first).
    qint64 key() const { return qint64(m_julianDay) * 131072 + m_secondOfDay; }

    static constexpr qint32 kNullDay = INT32_MIN; // below every supported day
    qint32 m_julianDay = kNullDay;
    qint32 m_secondOfDay = 0;
};

Q_DECLARE_METATYPE(DMDate)

void DMDate_SecondOfDay_to_HourMinuteSecond(int secondOfDay, int *hours, int *minutes, int *seconds);

// a / b rounded down, towards minus infinity: the day, or the multiple of an interval, that a
// second before the origin falls in (b is not 0).
constexpr qint64 DMDate_floorDivide(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

extern const QString kDMTimeSpanBegin; // "begin"
extern const QString kDMTimeSpanEnd;   // "end"
