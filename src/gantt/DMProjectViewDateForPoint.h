#pragma once

#include "DMDate.h"

struct DMProject_DisplayAttributes;

// The date at a canvas x: each day column stands for the working window of its day (begin to
// end minute of the display attributes), not for 24 hours; x = 0 is the window's begin on the
// first day, as any x just inside that day is. Pixels per day below 0.1 (zero, negative or not a
// number) count as 0.1. Null when the shown time span has no begin date or x is not finite.
DMDate DMProjectView_dateForCanvasX(const DMProject_DisplayAttributes &attributes, double x);
