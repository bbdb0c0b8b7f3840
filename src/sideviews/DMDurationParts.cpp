#include "DMDurationParts.h"

#include "DMProject.h"
#include "DMProjectItem.h"

DMDurationParts DMDurationParts::split(qint64 seconds, qint64 dayLength)
{
    if (dayLength <= 0)
        dayLength = 86400;
    const qint64 a = seconds < 0 ? -seconds : seconds;
    DMDurationParts parts;
    parts.days = a / dayLength;
    const qint64 rest = a - parts.days * dayLength;
    parts.hours = rest / 3600;
    parts.minutes = (rest - parts.hours * 3600) / 60;
    if (seconds < 0) {
        parts.days = -parts.days;
        parts.hours = -parts.hours;
        parts.minutes = -parts.minutes;
    }
    return parts;
}

qint64 DMDurationParts::dayLengthForItem(const DMProjectItem &item)
{
    return dayLengthForItem(item, item.project().get());
}

qint64 DMDurationParts::dayLengthForItem(const DMProjectItem &item, const DMProject *project)
{
    if (!item.useWorkingSchedule() || !project)
        return 86400;
    const DMProject_DisplayAttributes &attributes = project->displayAttributes();
    // An empty day window would make every duration a division by zero: whole days instead.
    const qint64 window = qint64(attributes.dayViewEndMinute - attributes.dayViewBeginMinute) * 60;
    return window > 0 ? window : 86400;
}
