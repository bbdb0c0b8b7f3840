#include "DMScheduler.h"

#include "DMDate.h"
#include "DMProjectItem.h"
#include "DMValidation.h"

int DMScheduler::validateAndSetDates(DMProjectItem &item, const DMDate &begin, const DMDate &end, bool)
{
    static const DMDate epoch(1970, 1, 1, 0);
    if (begin.isNull() || end.isNull() || begin < epoch || end < epoch)
        return kDMValidation_Before1970;
    if (item.hasEqualDates() ? begin > end : begin >= end)
        return kDMValidation_BeginNotBeforeEnd;
    if (begin == item.beginDate() && end == item.endDate())
        return kDMValidation_OK;
    if (item.locked())
        return kDMValidation_Locked;
    item.setBeginDateAndEndDate(begin, item.hasEqualDates() ? begin : end);
    return kDMValidation_OK;
}

int DMScheduler::setValidatedBeginDate(DMProjectItem &item, const DMDate &date)
{
    return validateAndSetDates(item, date, item.hasEqualDates() ? date : item.endDate(), false);
}

int DMScheduler::setValidatedEndDate(DMProjectItem &item, const DMDate &date)
{
    return validateAndSetDates(item, item.hasEqualDates() ? date : item.beginDate(), date, false);
}
