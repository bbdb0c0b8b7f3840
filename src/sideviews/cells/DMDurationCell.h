#pragma once

#include <QString>

// The text of a duration cell in the outline and the lists: whole days of dayLength seconds,
// hours, and minutes when there are no days ("1 days 1 hours ", "1 hours 30 min "); empty for 0
// and for negative durations.
QString DMDurationCell_text(qint64 seconds, qint64 dayLength);
