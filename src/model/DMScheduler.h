#pragma once

class DMDate;
class DMProjectItem;

// Validated date changes of items: checks, propagation to successors and parents, and the
// application of all new dates as one undo step. Codes in DMValidation.h.
class DMScheduler
{
public:
    // shift: move the item and all its subitems by begin - item.beginDate().
    static int validateAndSetDates(DMProjectItem &item, const DMDate &begin, const DMDate &end, bool shift);
    static int setValidatedBeginDate(DMProjectItem &item, const DMDate &date);
    static int setValidatedEndDate(DMProjectItem &item, const DMDate &date);
};
