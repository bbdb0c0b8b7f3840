#include "DMProjectViewMenuItem.h"

#include "DMProjectView.h"

#include <QAction>

void DMProjectViewMenuItem::setRepresentedObject(QAction *action, DMProjectView *view,
                                                 const std::shared_ptr<DMBaseObject> &object)
{
    action->setData(QVariant::fromValue(DMProjectViewMenuItem{view, object}));
}

DMProjectViewMenuItem DMProjectViewMenuItem::representedObject(const QAction *action)
{
    if (!action || !action->data().canConvert<DMProjectViewMenuItem>())
        return {};
    return action->data().value<DMProjectViewMenuItem>();
}

void DMProjectViewMenuItem::setTag(QAction *action, qint32 tag)
{
    action->setProperty("tag", tag);
}

qint32 DMProjectViewMenuItem::tag(const QAction *action)
{
    return action ? action->property("tag").toInt() : 0;
}
