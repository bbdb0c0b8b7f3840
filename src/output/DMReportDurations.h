#pragma once

#include <QString>
#include <QtGlobal>

class DMProjectItem;

// The length of a day in the duration and float texts of the reports and the CSV rows: the
// project's working day ((dayViewEndMinute - dayViewBeginMinute) x 60) when the item uses the
// working schedule, else 86400 seconds. An empty or inverted working day gives 0, which the
// splits below read as "no whole days".
qint64 DMReport_daySpanForItem(const DMProjectItem &item);

// Seconds split into days of `span` seconds, hours, minutes and seconds of the magnitude; every
// part takes the value's sign. A span of 0 or less puts everything into hours (nothing is divided
// by it).
struct DMReportTimeParts
{
    qint64 days = 0;
    qint64 hours = 0;
    qint64 minutes = 0;
    qint64 seconds = 0;
};
DMReportTimeParts DMReport_splitSeconds(qint64 value, qint64 span);

// The report's duration text: "%1 days " when there are days, "%1 H " when there are hours (or
// days and minutes), "%1 min " when there are minutes; seconds are dropped, and a zero or
// negative duration gives an empty text ("2 days 0 H 15 min ").
QString DMReport_durationText(qint64 seconds, qint64 span);
// The report's float text: the duration text of the magnitude, after "-" when it is negative.
QString DMReport_floatText(qint64 seconds, qint64 span);
// The CSV form "1D 1H 0M 0S" of the magnitude, after one "-" when the value is negative.
QString DMReport_csvDurationText(qint64 seconds, qint64 span);
