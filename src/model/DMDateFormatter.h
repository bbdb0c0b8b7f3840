#pragma once

#include "DMDate.h"

#include <QLocale>
#include <QString>

// Shows a DMDate as a calendar date, a time of day, or both, in the user's locale.
class DMDateFormatter
{
public:
    enum Style { YearMonthDay, HourMinuteSecond, YearMonthDayHourMinuteSecond };

    explicit DMDateFormatter(Style style, const QLocale &locale = QLocale());

    Style style() const { return m_style; }
    QString stringFromDate(const DMDate &date) const; // empty for a null date
    DMDate dateFromString(const QString &text) const; // null when unreadable

private:
    QString format() const;
    Style m_style;
    QLocale m_locale;
};
