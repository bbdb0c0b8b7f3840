#pragma once

#include <QString>
#include <QtGlobal>

// The texts below count days of `span` seconds, an item's day length
// (DMDurationSplit::dayLengthForItem).

// The report's duration text: "%1 days " when there are days, "%1 H " when there are hours (or
// days and minutes), "%1 min " when there are minutes; seconds are dropped, and a zero or
// negative duration gives an empty text ("2 days 0 H 15 min ").
QString DMReport_durationText(qint64 seconds, qint64 span);
// The report's float text: the duration text of the magnitude, after "-" when it is negative.
QString DMReport_floatText(qint64 seconds, qint64 span);
// The CSV form "1D 1H 0M 0S" of the magnitude, after one "-" when the value is negative.
QString DMReport_csvDurationText(qint64 seconds, qint64 span);
