#pragma once

#include <QString>

class QDateTimeEdit;
class QLocale;

// The parts of a date a date picker shows, as flags that combine.
enum DMDatePickerElementFlag : int {
    kDMDatePickerElement_HourMinute = 0x000c,
    kDMDatePickerElement_HourMinuteSecond = 0x000e,
    kDMDatePickerElement_TimeZone = 0x0010,
    kDMDatePickerElement_YearMonth = 0x00c0,
    kDMDatePickerElement_YearMonthDay = 0x00e0,
    kDMDatePickerElement_Era = 0x0100,
};

// Whether the elements show a time of day (hours, minutes or seconds).
inline bool DMDatePickerElements_showTime(int elements)
{
    return (elements & kDMDatePickerElement_HourMinuteSecond) != 0;
}

// The elements a date-time edit shows, from its displayed sections.
int DMDatePickerElements_ofDateTimeEdit(const QDateTimeEdit *edit);

// The display format that shows the elements in the locale's own order and separators.
QString DMDatePickerElements_displayFormat(int elements, const QLocale &locale);
