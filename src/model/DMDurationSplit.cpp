#include "DMDurationSplit.h"

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

DMDurationSplit DMDurationSplit::split(qint64 value, qint64 dayLength)
{
    const qint64 length = soundDayLength(dayLength);
    const qint64 magnitude = std::llabs(value);
    const qint64 days = magnitude / length;
    const qint64 rest = magnitude - days * length;
    const qint64 sign = value < 0 ? -1 : 1;
    return {sign * days, sign * (rest / 3600), sign * (rest % 3600 / 60), sign * (rest % 60)};
}

std::optional<qint64> DMDurationSplit::join(qint64 days, qint64 hours, qint64 minutes, qint64 dayLength)
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

qint64 DMDurationSplit::dayLengthForItem(const DMProjectItem &item)
{
    const DMProject *project = item.projectPointer();
    if (!item.useWorkingSchedule() || !project)
        return kWholeDay;
    return project->workingCalendar().workingDayLength();
}
