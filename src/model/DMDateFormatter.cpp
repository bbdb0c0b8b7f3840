#include "DMDateFormatter.h"

DMDateFormatter::DMDateFormatter(Style style, const QLocale &locale) : m_style(style), m_locale(locale) {}

QString DMDateFormatter::format() const
{
    switch (m_style) {
    case YearMonthDay:
        return m_locale.dateFormat(QLocale::ShortFormat);
    case HourMinuteSecond:
        return m_locale.timeFormat(QLocale::ShortFormat);
    case YearMonthDayHourMinuteSecond:
        break;
    }
    return m_locale.dateTimeFormat(QLocale::ShortFormat);
}

QString DMDateFormatter::stringFromDate(const DMDate &date) const
{
    if (date.isNull())
        return QString();
    // A calendar date or a time of day alone is formatted from its fields: a trip through the
    // local time zone costs a look at the zone files each time (long lists and reports).
    switch (m_style) {
    case YearMonthDay:
        return m_locale.toString(QDate::fromJulianDay(date.julianDay()), format());
    case HourMinuteSecond:
        return m_locale.toString(QTime::fromMSecsSinceStartOfDay(date.secondOfDay() * 1000), format());
    case YearMonthDayHourMinuteSecond:
        break;
    }
    return m_locale.toString(date.NSDate(), format());
}

DMDate DMDateFormatter::dateFromString(const QString &text) const
{
    return DMDate::dateWithNSDate(m_locale.toDateTime(text.trimmed(), format()));
}
