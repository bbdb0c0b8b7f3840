#include "DMReportDurations.h"

#include "DMDurationSplit.h"
#include "DMLocalizedString.h"

#include <cstdlib>

QString DMReport_durationText(qint64 seconds, qint64 span)
{
    const DMDurationSplit parts = DMDurationSplit::split(seconds, span);
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
    const DMDurationSplit parts = DMDurationSplit::split(std::llabs(seconds), span);
    const QString text = QStringLiteral("%1D %2H %3M %4S").arg(parts.days).arg(parts.hours).arg(parts.minutes).arg(parts.seconds);
    return seconds < 0 ? QStringLiteral("-") + text : text;
}
