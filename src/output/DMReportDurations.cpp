#include "DMReportDurations.h"

#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectItem.h"

#include <cstdlib>

qint64 DMReport_daySpanForItem(const DMProjectItem &item)
{
    const DMProject *project = item.projectPointer();
    if (!item.useWorkingSchedule() || !project)
        return 86400;
    const DMProject_DisplayAttributes &attributes = project->displayAttributes();
    return qMax<qint64>(0, qint64(attributes.dayViewEndMinute - attributes.dayViewBeginMinute) * 60);
}

DMReportTimeParts DMReport_splitSeconds(qint64 value, qint64 span)
{
    const qint64 magnitude = std::llabs(value);
    DMReportTimeParts parts;
    parts.days = span > 0 ? magnitude / span : 0;
    const qint64 rest = magnitude - parts.days * qMax<qint64>(span, 0);
    parts.hours = rest / 3600;
    parts.minutes = (rest % 3600) / 60;
    parts.seconds = rest % 60;
    if (value < 0) {
        parts.days = -parts.days;
        parts.hours = -parts.hours;
        parts.minutes = -parts.minutes;
        parts.seconds = -parts.seconds;
    }
    return parts;
}

QString DMReport_durationText(qint64 seconds, qint64 span)
{
    const DMReportTimeParts parts = DMReport_splitSeconds(seconds, span);
    QString text;
    if (parts.days > 0)
        text += DMLocalizedString("%1 days ").arg(parts.days);
    if (parts.hours > 0 || (parts.days > 0 && parts.minutes > 0))
        text += DMLocalizedString("%1 H ").arg(parts.hours);
    if (parts.minutes > 0)
        text += DMLocalizedString("%1 min ").arg(parts.minutes);
    return text;
}

QString DMReport_floatText(qint64 seconds, qint64 span)
{
    const QString magnitude = DMReport_durationText(std::llabs(seconds), span);
    return seconds < 0 ? DMLocalizedString("-") + magnitude : magnitude;
}

QString DMReport_csvDurationText(qint64 seconds, qint64 span)
{
    const DMReportTimeParts parts = DMReport_splitSeconds(std::llabs(seconds), span);
    const QString text = QStringLiteral("%1D %2H %3M %4S").arg(parts.days).arg(parts.hours).arg(parts.minutes).arg(parts.seconds);
    return seconds < 0 ? QStringLiteral("-") + text : text;
}
