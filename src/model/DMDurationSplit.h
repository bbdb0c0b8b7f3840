#pragma once

#include <QtGlobal>

#include <optional>

class DMProjectItem;

// An item's duration as the views show it: whole days of the item's day length, then hours,
// minutes and seconds of the rest. The outline, the lists, the cards, the inspectors, the
// reports and the per-day cost of a resource all count days by this one rule.
struct DMDurationSplit
{
    qint64 days = 0;
    qint64 hours = 0;
    qint64 minutes = 0;
    qint64 seconds = 0;

    // |value| cut into days of dayLength, hours, minutes and seconds, each taking the sign of
    // value. A day length of 0 or less is the whole day (86400 s), never a division by zero.
    static DMDurationSplit split(qint64 value, qint64 dayLength);
    // days x dayLength + hours x 3600 + minutes x 60 (the same reading of dayLength), or nullopt
    // when a part or the total leaves an item's duration range (signed 32-bit seconds).
    static std::optional<qint64> join(qint64 days, qint64 hours, qint64 minutes, qint64 dayLength);
    // The length of a day of the item's duration: the project calendar's working day when the
    // item uses the working schedule, else 86400 s (also for an item without a project).
    static qint64 dayLengthForItem(const DMProjectItem &item);
};
