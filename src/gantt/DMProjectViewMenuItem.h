#pragma once

#include <QMetaType>
#include <QPointer>

#include <memory>

class DMBaseObject;
class DMProjectView;
class QAction;

// What a context-menu item of a Gantt object carries: the canvas and the object the menu was
// opened on (weakly: the menu may outlive it), and the command's code as its tag.
struct DMProjectViewMenuItem
{
    QPointer<DMProjectView> view;
    std::weak_ptr<DMBaseObject> object;

    static void setRepresentedObject(QAction *action, DMProjectView *view, const std::shared_ptr<DMBaseObject> &object);
    // Empty when the action carries none.
    static DMProjectViewMenuItem representedObject(const QAction *action);
    static void setTag(QAction *action, qint32 tag);
    static qint32 tag(const QAction *action);
};

Q_DECLARE_METATYPE(DMProjectViewMenuItem)
