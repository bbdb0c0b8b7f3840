#include "DMChildWindow.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

// Lives as a child object of the child window, so it goes when the child goes; watches the
// parent through an event filter.
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
    }

    ~ChildWindowLink() override
    {
        if (m_parent)
            m_parent->removeEventFilter(this);
    }

    QWidget *parentWindow() const { return m_parent; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
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
    QPointer<QWidget> m_parent;
    QPointer<QWidget> m_child;
    QPoint m_parentPosition;
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
    new ChildWindowLink(parent, child);
    parent->winId();
    child->winId();
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
