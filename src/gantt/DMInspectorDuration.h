#pragma once

#include <QtGlobal>

#include <optional>

class DMProjectItem;

// A duration as the inspectors show it: whole days of the day length, then hours and minutes,
// each carrying the sign of the duration.
struct DMInspectorDuration
{
    qint64 days = 0;
    qint64 hours = 0;
    qint64 minutes = 0;

    // days = floor(|d| / L), hours = floor(rest / 3600), minutes = floor((rest - hours x 3600) / 60)
    // with rest = |d| - days x L. A day length of 0 or less is the whole day (86400 s).
    static DMInspectorDuration split(qint64 seconds, qint64 dayLength);
    // minutes x 60 + hours x 3600 + days x L, or nullopt when it leaves the item's duration range
    // (signed 32-bit seconds).
    static std::optional<qint64> join(qint64 days, qint64 hours, qint64 minutes, qint64 dayLength);
    // The day length of the item's durations: the working window of the project's day (the
    // model's rule: a window of no length is the whole day) when the item uses the working
    // schedule, else 86400.
    static qint64 dayLengthOfItem(const DMProjectItem &item);
};
