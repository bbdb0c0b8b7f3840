#pragma once

#include <QtGlobal>

#include <memory>

class DMDate;
class DMProjectItem;

// Validated date changes of items. From the requested dates of one item it computes, before
// touching anything, the new dates of every item that must follow (DMPropagation gives the
// rules: successors pushed later just enough, links into a parent constraining its subitems,
// parents enclosing their subitems, the explicit shift moving subitems by one amount), visiting
// each item reached once, so the cost is linear in the items and links reached. Then either
// every new date is applied as one undo step, or nothing changes and the refusal's code
// (DMValidation.h) is returned.
class DMScheduler
{
public:
    enum Mode {
        Set,     // validateAndSetBeginDateAndEndDate
        Shift,   // validateTimeShiftAndSetBeginDateAndEndDate: the subitems move by the same
                 // working time
        Enforce, // enforceLinkedItemsConstrainedDates: the item keeps its dates, even if its own
                 // inbound links are broken
    };

    // What a new begin date of a process does to its subitems. The model asks nothing: a view
    // that sets a process's begin asks the user (kRescheduleProcessMessage, with the buttons
    // kRescheduleButton, the default, and kSetBeginDateButton) and passes the answer.
    enum class RescheduleMode {
        SetBeginDate,      // the subitems stay; the process still encloses them
        RescheduleProcess, // the subitems move with the process, as a time shift
    };

    static int validateAndSetDates(DMProjectItem &item, const DMDate &begin, const DMDate &end, Mode mode);
    static int setValidatedBeginDate(DMProjectItem &item, const DMDate &date, RescheduleMode mode);
    static int setValidatedEndDate(DMProjectItem &item, const DMDate &date);

    // The texts of the process question, for the views that ask it.
    static const char *const kRescheduleProcessMessage;
    static const char *const kRescheduleButton;
    static const char *const kSetBeginDateButton;

    // The dates a validated change found (its undo action holds them).
    struct DateSnapshot;

private:
    static void restoreSnapshot(const std::shared_ptr<DateSnapshot> &snapshot);
};
