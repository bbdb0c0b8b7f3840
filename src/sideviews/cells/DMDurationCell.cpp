#include "DMDurationCell.h"

#include "DMDurationSplit.h"
#include "DMLocalizedString.h"

namespace {

// A localized format with one "%d", filled.
QString withNumber(const char *format, qint64 number)
{
    return DMLocalizedString(format).replace(QLatin1String("%d"), QString::number(number));
}

} // namespace

QString DMDurationCell_text(qint64 seconds, qint64 dayLength)
{
    const DMDurationSplit parts = DMDurationSplit::split(seconds, dayLength);
    QString text;
    if (parts.days >= 1)
        text += withNumber("%d days ", parts.days);
    if (parts.hours > 0)
        text += withNumber("%d hours ", parts.hours);
    if (parts.minutes > 0 && parts.days == 0)
        text += withNumber("%d min ", parts.minutes);
    return text;
}
