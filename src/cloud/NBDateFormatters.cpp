#include "NBDateFormatters.h"

#include <QTimeZone>

namespace {

// The decimal number in string[start, start + length), or -1 when a character is not a digit.
int digits(const QString &string, qsizetype start, qsizetype length)
{
    int value = 0;
    for (qsizetype i = start; i < start + length; ++i) {
        const char16_t c = string[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

QDate dayFromString(const QString &string)
{
    if (string.size() < 10 || string[4] != u'-' || string[7] != u'-')
        return {};
    const int year = digits(string, 0, 4);
    const int month = digits(string, 5, 2);
    const int day = digits(string, 8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day); // invalid for a month or day out of range
}

} // namespace

QDateTime NBItemDateFromString(const QString &string)
{
    if (string.size() != 20 || string[10] != u'T' || string[13] != u':' || string[16] != u':' || string[19] != u'Z')
        return {};
    const QDate day = dayFromString(string);
    const int hour = digits(string, 11, 2);
    const int minute = digits(string, 14, 2);
    const int second = digits(string, 17, 2);
    if (!day.isValid() || hour < 0 || minute < 0 || second < 0 || !QTime::isValid(hour, minute, second))
        return {};
    return QDateTime(day, QTime(hour, minute, second), QTimeZone::utc());
}

QDateTime NBDayDateFromString(const QString &string)
{
    if (string.size() != 10)
        return {};
    const QDate day = dayFromString(string);
    return day.isValid() ? QDateTime(day, QTime(0, 0), QTimeZone::utc()) : QDateTime();
}
