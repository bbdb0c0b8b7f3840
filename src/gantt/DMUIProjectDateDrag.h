#pragma once

#include "DMDate.h"

#include <QtGlobal>

#include <optional>

class DMProject;
class DMProjectItem;
class DMProjectViewDateGrid;

// The dates that one step of a move (116), begin change (117) or end change (118) proposes for
// an item, from the date under the dragged edge: rounded to 300 s (snapped to the day window's
// begin, or its end for 118); a move keeps the item's duration, a resize keeps the other date.
// None when the step is dropped: a non-working date on an item that asks for working dates, a
// begin not before the end, or dates equal to the current ones.
struct DMUIProjectDateDragStep
{
    DMDate begin;
    DMDate end;
};

std::optional<DMUIProjectDateDragStep> DMUIProjectItem_datesForDragStep(const DMProjectItem &item,
                                                                        const DMProject &project,
                                                                        const DMProjectViewDateGrid &grid,
                                                                        qint32 operation, const DMDate &pointed);
