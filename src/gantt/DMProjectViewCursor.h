#pragma once

#include <Qt>
#include <QtGlobal>

// The cursor of each drag operation of the Gantt canvas: the closed hand for a move, the
// horizontal resize cursor for either end, the pointing hand for links and progress, the arrow
// for anything else. While the pointer only hovers, the canvas shows the open hand instead of
// the closed one.
Qt::CursorShape DMProjectView_cursorShapeForDragOperation(qint32 operation);
