#pragma once

#include "DMDate.h"
#include "DMProjectViewConstants.h"

#include <QtGlobal>

#include <optional>

class DMProject;
class DMProjectItem;
class DMProjectViewDateGrid;

// Begin and end dates of an item, as proposed by one drag step or held at the press.
struct DMUIProjectDateDragStep
{
    DMDate begin;
    DMDate end;
};

// What an item kind makes of the drags of its bar; the rest of the rule is the same for every
// kind. The defaults are those of a plain bar (item groups).
struct DMUIProjectItemDragRule
{
    bool resizes = true;                 // 117 and 118 change one date
    bool dragsProgress = true;           // 121 sets the progress
    bool ignoredWhenLocked = false;      // a locked item takes no step at all (else the model refuses)
    bool movesBothDatesTogether = false; // a move sets begin = end = the date (milestones)
    bool shiftsSubitemsOnMove = false;   // a move takes the subitems along (processes)
    int moveSnap = kDMProjectView_SnapBegin;
};

// The dates one step of a move (116), begin change (117) or end change (118) proposes for an
// item. The pointer has moved deltaX points since the press, when the item had the press dates:
// the date dragged (the press begin, or the press end for 118) is placed on the grid, moved by
// deltaX, read back, rounded to 300 s and snapped to the day window's edge it nears (the kind's
// move snap, begin for 117, end for 118). A move keeps the item's duration (or sets both dates);
// a resize keeps the other date. A step that has not moved proposes the press dates. None when
// the step changes nothing or is dropped: an operation the kind does not take, a non-working
// date on an item that asks for working dates, a begin not before the end.
std::optional<DMUIProjectDateDragStep> DMUIProjectItem_datesForDragStep(const DMProjectItem &item,
                                                                        const DMProject &project,
                                                                        const DMProjectViewDateGrid &grid,
                                                                        qint32 operation,
                                                                        const DMUIProjectDateDragStep &press,
                                                                        qreal deltaX,
                                                                        const DMUIProjectItemDragRule &rule);
