#pragma once

#include "DMOutlineViewDataSource.h"

#include <QWidget>

class DMDragReceiverView;

// Decides and takes the drops on a DMDragReceiverView. Every default refuses: no operation, NO.
class DMDragReceiverViewDelegate
{
public:
    virtual ~DMDragReceiverViewDelegate() = default;
    virtual Qt::DropAction dragReceiverViewDraggingEntered(DMDragReceiverView *, const DMDraggingInfo &)
    {
        return Qt::IgnoreAction;
    }
    virtual Qt::DropAction dragReceiverViewDraggingUpdated(DMDragReceiverView *, const DMDraggingInfo &)
    {
        return Qt::IgnoreAction;
    }
    // The drag is over for the view: after a drop, or when it left the view (its data is then no
    // longer at hand: no pasteboard).
    virtual void dragReceiverViewDraggingEnded(DMDragReceiverView *, const DMDraggingInfo &) {}
    virtual void dragReceiverViewDraggingExited(DMDragReceiverView *) {}
    virtual bool dragReceiverViewPrepareForDragOperation(DMDragReceiverView *, const DMDraggingInfo &) { return false; }
    virtual bool dragReceiverViewPerformDragOperation(DMDragReceiverView *, const DMDraggingInfo &) { return false; }
    virtual void dragReceiverViewConcludeDragOperation(DMDragReceiverView *, const DMDraggingInfo &) {}
};

// A view that hands every drag-and-drop step to its delegate; without a delegate every drag is
// refused. A drop goes through prepare, perform and conclude, then the drag ends; a drag that
// leaves the view exits, then ends.
//
// The delegate is not owned; whoever sets it clears it before going away.
class DMDragReceiverView : public QWidget
{
    Q_OBJECT

public:
    explicit DMDragReceiverView(QWidget *parent = nullptr);

    DMDragReceiverViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(DMDragReceiverViewDelegate *delegate) { m_delegate = delegate; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void answer(QDropEvent *event, Qt::DropAction action);

    DMDragReceiverViewDelegate *m_delegate = nullptr;
};
