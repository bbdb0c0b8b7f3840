#include "DMProjectViewCursor.h"

#include "DMProjectViewConstants.h"

Qt::CursorShape DMProjectView_cursorShapeForDragOperation(qint32 operation)
{
    switch (operation) {
    case DMProjectViewDragOperation::MoveItem:
        return Qt::ClosedHandCursor;
    case DMProjectViewDragOperation::ChangeBegin:
    case DMProjectViewDragOperation::ChangeEnd:
        return Qt::SizeHorCursor;
    case DMProjectViewDragOperation::LinkFromBegin:
    case DMProjectViewDragOperation::LinkFromEnd:
    case DMProjectViewDragOperation::Progress:
    case DMProjectViewDragOperation::PendingLink:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}
