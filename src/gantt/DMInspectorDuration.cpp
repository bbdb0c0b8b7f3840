#include "DMInspectorDuration.h"

#include "DMProject.h"
#include "DMProjectItem.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr qint64 kWholeDay = 86400;

qint64 soundDayLength(qint64 dayLength)
{
    return dayLength > 0 ? dayLength : kWholeDay;
}

} // namespace

DMInspectorDuration DMInspectorDuration::split(qint64 seconds, qint64 dayLength)
{
    const qint64 length = soundDayLength(dayLength);
    const qint64 magnitude = seconds < 0 ? -seconds : seconds;
    const qint64 days = magnitude / length;
    const qint64 rest = magnitude - days * length;
    const qint64 hours = rest / 3600;
    const qint64 minutes = (rest - hours * 3600) / 60;
    const qint64 sign = seconds < 0 ? -1 : 1;
    return {sign * days, sign * hours, sign * minutes};
}

std::optional<qint64> DMInspectorDuration::join(qint64 days, qint64 hours, qint64 minutes, qint64 dayLength)
{
    constexpr qint64 limit = std::numeric_limits<qint32>::max();
    // Each part is checked before it is multiplied, so that no product can overflow.
    if (std::llabs(days) > limit || std::llabs(hours) > limit || std::llabs(minutes) > limit)
        return std::nullopt;
    const qint64 total = days * soundDayLength(dayLength) + hours * 3600 + minutes * 60;
    if (total > limit || total < -limit)
        return std::nullopt;
    return total;
}

qint64 DMInspectorDuration::dayLengthOfItem(const DMProjectItem &item)
{
    const std::shared_ptr<DMProject> project = item.project();
    if (!item.useWorkingSchedule() || !project)
        return kWholeDay;
    const DMWorkingCalendar &calendar = project->workingCalendar();
    return soundDayLength(calendar.dayEndSecond() - calendar.dayBeginSecond());
}
