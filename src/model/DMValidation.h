#pragma once

#include "DMDate.h"

// Result codes of the validated date changes (DMProjectItem::validateAndSetBeginDateAndEndDate
// and friends). Bits: a refused change may carry more than one.
inline constexpr int kDMValidation_OK = 0;
// The new dates break one of the item's own inbound links.
inline constexpr int kDMValidation_InboundDependencyBroken = 16;
// A locked item would have to move.
inline constexpr int kDMValidation_Locked = 64;
// The begin date is not before the end date (a milestone's equal dates are accepted).
inline constexpr int kDMValidation_BeginNotBeforeEnd = 128;
// A date lies before 1 January 1970.
inline constexpr int kDMValidation_Before1970 = 256;

// The earliest date a validated change accepts.
inline const DMDate &DMValidation_EarliestDate()
{
    static const DMDate date(1970, 1, 1, 0);
    return date;
}
