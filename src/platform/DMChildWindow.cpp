#include "DMChildWindow.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

// Times a child window's own position is given again while it is attached (see below).
constexpr int kMaximumPositionRepairs = 2;

// Lives as a child object of the child window, so it goes when the child goes; watches the
// parent through an event filter, and the child's window for the places the window system
// reports.
class ChildWindowLink : public QObject
{
public:
    ChildWindowLink(QWidget *parent, QWidget *child)
        : QObject(child), m_parent(parent), m_child(child), m_parentPosition(parent->pos())
    {
        setObjectName(QStringLiteral("DMChildWindowLink"));
        parent->installEventFilter(this);
        connect(parent, &QObject::destroyed, this, [this] {
            if (m_child)
                m_child->hide();
            deleteLater();
        });
        m_childWindow = child->windowHandle();
        if (m_childWindow)
            m_childWindow->installEventFilter(this);
    }

    ~ChildWindowLink() override
    {
        if (m_parent)
            m_parent->removeEventFilter(this);
        if (m_childWindow)
            m_childWindow->removeEventFilter(this);
    }

    QWidget *parentWindow() const { return m_parent; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_childWindow && watched == m_childWindow)
            return childWindowMoved(event);
        if (watched != m_parent || !m_child)
            return false;
        switch (event->type()) {
        case QEvent::Move: {
            const QPoint position = m_parent->pos();
            m_child->move(m_child->pos() + (position - m_parentPosition));
            m_parentPosition = position;
            break;
        }
        case QEvent::Hide:
        case QEvent::Close:
            m_child->hide();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // A child window is placed by its owner, never by the window manager. A reparenting manager
    // may still report a child shown again at the origin of its frame (openbox does, after a hide
    // and a show that activates it): the window stays where it was put, but Qt would map every
    // point of it as if it were at the screen's corner, and a drop-down list of one of its
    // controls opens there. The place the owner set, which the widget still holds when the
    // report arrives, is given again; a few times only, so that a manager that insists wins.
    bool childWindowMoved(QEvent *event)
    {
        if (event->type() != QEvent::Move || !m_child || !m_child->isVisible()
            || m_childWindow->position() == m_child->pos() || m_positionRepairs >= kMaximumPositionRepairs)
            return false;
        ++m_positionRepairs;
        m_childWindow->setPosition(m_child->pos());
        return true;
    }

    QPointer<QWidget> m_parent;
    QPointer<QWidget> m_child;
    QPointer<QWindow> m_childWindow;
    QPoint m_parentPosition;
    int m_positionRepairs = 0;
};

ChildWindowLink *linkOf(const QWidget *child)
{
    return child ? child->findChild<ChildWindowLink *>(QStringLiteral("DMChildWindowLink"), Qt::FindDirectChildrenOnly)
                 : nullptr;
}

} // namespace

void DMWindow_addChildWindow(QWidget *parent, QWidget *child)
{
    if (!parent || !child)
        return;
    parent = parent->window();
    DMWindow_removeChildWindow(child);
    parent->winId();
    child->winId();
    new ChildWindowLink(parent, child);
    if (child->windowHandle())
        child->windowHandle()->setTransientParent(parent->windowHandle());
    // A window being shown comes up on top; one already shown is brought up.
    if (child->isVisible())
        child->raise();
    else
        child->show();
}

void DMWindow_removeChildWindow(QWidget *child)
{
    ChildWindowLink *link = linkOf(child);
    if (!link)
        return;
    // Deleted at once so that a new link made right after is the only one found.
    delete link;
    if (child->windowHandle())
        child->windowHandle()->setTransientParent(nullptr);
}

QWidget *DMWindow_parentWindow(const QWidget *child)
{
    const ChildWindowLink *link = linkOf(child);
    return link ? link->parentWindow() : nullptr;
}
