#pragma once

#include <QtGlobal>

#include <memory>

class DMDate;
class DMUndoManager;
class QString;
class DMProject;
class DMProjectItem;

// Validated date changes of items. From the requested dates of one item it computes, before
// touching anything, the new dates of every item that must follow: successors pushed later by
// the max over their inbound links (keeping their duration, in working time on the working
// schedule), parents grown to enclose their subitems (fitted exactly with
// kDMProjectItem_ExpandToFitSubitems), a pushed or shifted parent moving its subitems with it.
// The items are visited once each in topological order over the links and the parent edges,
// so the cost is linear in the items and links reached. Then either every new date is applied
// as one undo step, or nothing changes and the refusal's code (DMValidation.h) is returned.
class DMScheduler
{
public:
    enum Mode {
        Set,     // validateAndSetBeginDateAndEndDate
        Shift,   // validateTimeShiftAndSetBeginDateAndEndDate: the subitems move by the same amount
        Enforce, // enforceLinkedItemsConstrainedDates: the item keeps its dates, even if its own
                 // inbound links are broken
    };

    static int validateAndSetDates(DMProjectItem &item, const DMDate &begin, const DMDate &end, Mode mode);
    static int setValidatedBeginDate(DMProjectItem &item, const DMDate &date);
    static int setValidatedEndDate(DMProjectItem &item, const DMDate &date);

    // True when the dates satisfy a link of that kind (0 finish to start, 1 start to finish,
    // 2 start to start, 3 finish to finish).
    static bool linkHolds(int kind, const DMDate &fromBegin, const DMDate &fromEnd, const DMDate &toBegin,
                          const DMDate &toEnd);

    // The texts of the process question.
    static const char *const kRescheduleProcessMessage;
    static const char *const kRescheduleButton;
    static const char *const kSetBeginDateButton;

    // The dates a validated change found (its undo action holds them).
    struct DateSnapshot;

private:
    class Propagation;
    static void restoreSnapshot(const std::shared_ptr<DateSnapshot> &snapshot);
};
