#include "DMDatePickerElements.h"

#include <QDateTimeEdit>
#include <QLocale>
#include <QRegularExpression>

int DMDatePickerElements_ofDateTimeEdit(const QDateTimeEdit *edit)
{
    if (!edit)
        return 0;
    const QDateTimeEdit::Sections sections = edit->displayedSections();
    int elements = 0;
    if (sections & QDateTimeEdit::DaySection)
        elements |= kDMDatePickerElement_YearMonthDay;
    else if (sections & (QDateTimeEdit::MonthSection | QDateTimeEdit::YearSection))
        elements |= kDMDatePickerElement_YearMonth;
    if (sections & QDateTimeEdit::SecondSection)
        elements |= kDMDatePickerElement_HourMinuteSecond;
    else if (sections & (QDateTimeEdit::HourSection | QDateTimeEdit::MinuteSection))
        elements |= kDMDatePickerElement_HourMinute;
    return elements;
}

QString DMDatePickerElements_displayFormat(int elements, const QLocale &locale)
{
    QString date;
    if ((elements & kDMDatePickerElement_YearMonthDay) == kDMDatePickerElement_YearMonthDay) {
        date = locale.dateFormat(QLocale::ShortFormat);
        // Two-digit years are ambiguous in a planner that spans centuries.
        if (!date.contains(QLatin1String("yyyy")))
            date.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    else if (elements & kDMDatePickerElement_YearMonth)
        date = QStringLiteral("MM/yyyy");
    QString time;
    if (DMDatePickerElements_showTime(elements)) {
        time = locale.timeFormat(QLocale::ShortFormat);
        const bool seconds = (elements & kDMDatePickerElement_HourMinuteSecond) == kDMDatePickerElement_HourMinuteSecond;
        if (seconds && !time.contains(QLatin1String("ss")))
            time.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
        else if (!seconds)
            time.remove(QRegularExpression(QStringLiteral("[:.]?ss")));
    }
    if (date.isEmpty())
        return time;
    return time.isEmpty() ? date : date + QLatin1Char(' ') + time;
}
