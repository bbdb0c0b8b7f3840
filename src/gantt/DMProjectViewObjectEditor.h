#pragma once

#include <QList>
#include <QString>

class DMProjectViewObject;

// An inspector of Gantt objects as the objects see it: one shared instance per inspector class,
// registered under the class's name by the inspectors themselves. An object names its inspector
// class (objectEditorControllerClass); a name with no registered instance, or an empty name,
// shows nothing.
class DMProjectViewObjectEditor
{
public:
    virtual ~DMProjectViewObjectEditor() = default;

    // Shows the object in the inspector; null empties it.
    virtual void editObject(DMProjectViewObject *object) = 0;
    virtual void showWindow() = 0;

    // Not owned: an inspector registers itself for its life and unregisters (null) at the end.
    static void registerSharedInstance(const QString &className, DMProjectViewObjectEditor *editor);
    static DMProjectViewObjectEditor *sharedInstance(const QString &className);

    // The inspectors shown so far in the process (each once), closed by a closing document.
    static const QList<DMProjectViewObjectEditor *> &shownEditors();
    static void addShownEditor(DMProjectViewObjectEditor *editor);
};
