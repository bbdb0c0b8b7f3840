#pragma once

#include "DMDate.h"

struct DMProject_DisplayAttributes;

// The date at a canvas x: each day column stands for the working window of its day (begin to
// end minute of the display attributes), not for 24 hours. Null when the shown time span has
// no begin date or pixels per day is not above 0.
DMDate DMProjectView_dateForCanvasX(const DMProject_DisplayAttributes &attributes, double x);
