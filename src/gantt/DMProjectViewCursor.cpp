#include "DMProjectViewCursor.h"

#include "DMProjectViewConstants.h"

Qt::CursorShape DMProjectView_cursorShapeForDragOperation(qint32 operation)
{
    switch (operation) {
    case kDMProjectViewDragOperation_MoveItem:
        return Qt::ClosedHandCursor;
    case kDMProjectViewDragOperation_ChangeBegin:
    case kDMProjectViewDragOperation_ChangeEnd:
        return Qt::SizeHorCursor;
    case kDMProjectViewDragOperation_LinkFromBegin:
    case kDMProjectViewDragOperation_LinkFromEnd:
    case kDMProjectViewDragOperation_Progress:
    case kDMProjectViewDragOperation_PendingLink:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}
