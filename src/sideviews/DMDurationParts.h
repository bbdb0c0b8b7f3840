#pragma once

#include <QtGlobal>

class DMProject;
class DMProjectItem;

// A duration cut into whole days of a given length, hours and minutes, all three negative for
// a negative duration. Days of 24 hours when the length is not above 0.
struct DMDurationParts
{
    qint64 days = 0;
    qint64 hours = 0;
    qint64 minutes = 0;

    static DMDurationParts split(qint64 seconds, qint64 dayLength);
    // The length of a day of the item's duration: the project's working window when the item
    // uses the working schedule (24 hours when that window is empty), else 24 hours.
    static qint64 dayLengthForItem(const DMProjectItem &item);
    // The same, for an item not yet in the project that will hold it.
    static qint64 dayLengthForItem(const DMProjectItem &item, const DMProject *project);
};
