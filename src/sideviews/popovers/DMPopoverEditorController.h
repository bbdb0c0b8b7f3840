#pragma once

#include "DMNotificationCenter.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointF>
#include <QPointer>

#include <functional>
#include <memory>

class DMAttachedWindow;
class QWidget;
class QWindow;

// The part the popover editors share (the resource inspector, the to-do editor): each of their
// container views is shown in an attached window with an arrow pointing at the place clicked,
// made on first use and kept for the process. A popover closes when any other window becomes
// active (the drop-down lists of its own controls aside), when the window it points into goes,
// and when a document closes; closing clears the edited object, which is never owned. A popover
// that asked for the keyboard is not closed by its own document window becoming active before
// the popover itself has: a menu that closes hands that window the keyboard after the menu's
// command has run, and may do so after the command opened the popover.
class DMPopoverEditorController : public QObject
{
    Q_OBJECT

public:
    // close: clears the edited object and hides.
    virtual void close() = 0;
    // Every popover window that is attached to a window is taken off it and ordered out.
    void hide();
    bool isShown() const;

protected:
    DMPopoverEditorController();
    // The one editor of the class for the process, made on first use under a lock.
    template <typename Editor>
    static Editor *sharedEditor()
    {
        static QMutex lock;
        static Editor *shared = nullptr;
        const QMutexLocker locker(&lock);
        if (!shared)
            shared = new Editor;
        return shared;
    }
    ~DMPopoverEditorController() override;

    // Shows the container's popover pointing at the point (in the view's coordinates), attached
    // above the view's window and made active; the first responder takes the focus with its text
    // selected. Nothing for a view outside a shown window.
    DMAttachedWindow *showContainerAtPointInView(QWidget *container, QWidget *firstResponder, QPointF point,
                                                 QWidget *view);
    // The same without making it active: the keyboard stays where it is until the user clicks
    // into the popover.
    DMAttachedWindow *showContainerAtPointInViewLeavingKeyboard(QWidget *container, QPointF point, QWidget *view);
    // Aims the container's shown popover at the point (in the view's coordinates) without moving
    // the keyboard; nothing when it is not shown over the view's window.
    void repointContainerAtPointInView(QWidget *container, QPointF point, QWidget *view);
    // The popover window of a container, or null before its first show.
    DMAttachedWindow *windowOfContainer(const QWidget *container) const;
    // Runs a modal panel or alert while other windows becoming active leave the popover open.
    void runKeepingPopoverOpen(const std::function<void()> &modal);

private:
    void focusWindowDidChange(QWindow *window);

    QList<QPointer<DMAttachedWindow>> m_windows;
    QPointer<DMAttachedWindow> m_awaitingActivation; // asked for the keyboard, not yet given it
    int m_modalDepth = 0;
    DMNotificationObserver m_closeObserver;
};
