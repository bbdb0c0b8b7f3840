#include "DMDragReceiverView.h"

#include <QDragEnterEvent>
#include <QDropEvent>

namespace {

DMDraggingInfo draggingInfo(const QDropEvent *event)
{
    return {event->mimeData(), event->source(), event->possibleActions()};
}

} // namespace

DMDragReceiverView::DMDragReceiverView(QWidget *parent) : QWidget(parent)
{
    setAcceptDrops(true);
}

void DMDragReceiverView::answer(QDropEvent *event, Qt::DropAction action)
{
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void DMDragReceiverView::dragEnterEvent(QDragEnterEvent *event)
{
    answer(event, m_delegate ? m_delegate->dragReceiverViewDraggingEntered(this, draggingInfo(event)) : Qt::IgnoreAction);
}

void DMDragReceiverView::dragMoveEvent(QDragMoveEvent *event)
{
    answer(event, m_delegate ? m_delegate->dragReceiverViewDraggingUpdated(this, draggingInfo(event)) : Qt::IgnoreAction);
}

void DMDragReceiverView::dragLeaveEvent(QDragLeaveEvent *)
{
    if (!m_delegate)
        return;
    m_delegate->dragReceiverViewDraggingExited(this);
    // The view hears nothing more of a drag that left it, wherever that drag ends.
    m_delegate->dragReceiverViewDraggingEnded(this, DMDraggingInfo{nullptr, nullptr, {}});
}

void DMDragReceiverView::dropEvent(QDropEvent *event)
{
    const DMDraggingInfo info = draggingInfo(event);
    const bool accepted = m_delegate && m_delegate->dragReceiverViewPrepareForDragOperation(this, info)
                          && m_delegate->dragReceiverViewPerformDragOperation(this, info);
    if (accepted) {
        event->accept();
        m_delegate->dragReceiverViewConcludeDragOperation(this, info);
    } else {
        event->ignore();
    }
    if (m_delegate)
        m_delegate->dragReceiverViewDraggingEnded(this, info);
}
