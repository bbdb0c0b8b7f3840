#pragma once

#include <QList>
#include <QString>

#include <functional>

class DMProjectViewObject;

// An inspector of Gantt objects as the objects see it: one shared instance per inspector class,
// found under the class's name. An object names its inspector class (objectEditorControllerClass);
// a name with no inspector, or an empty name, shows nothing.
class DMProjectViewObjectEditor
{
public:
    // The inspector of items, which every bar's object names or falls back to.
    static const QString kTaskInspectorClass; // "DMUIProjectTaskInspectorController"

    virtual ~DMProjectViewObjectEditor() = default;

    // Shows the object in the inspector; null empties it, which then says that nothing is
    // selected.
    virtual void editObject(DMProjectViewObject *object) = 0;
    // Empties the inspector, which says why it edits nothing (several objects are selected).
    virtual void editNoObjectSaying(const QString & /*message*/) { editObject(nullptr); }
    // Empties the inspector for a page that has nothing to show in it: its window leaves the
    // screen until it shows an object again.
    virtual void stepAsideFromPage() { editObject(nullptr); }
    virtual void showWindow() = 0;
    // Shows the window for an object just made, whose title is typed next: the window takes the
    // keyboard even when it was already on screen, which showWindow leaves alone.
    virtual void showWindowForNewObject() { showWindow(); }

    // The way to an inspector class's shared instance, made on first use; the maker may answer
    // null (an inspector whose panel cannot be built), and is asked again next time.
    static void registerSharedInstanceMaker(const QString &className, std::function<DMProjectViewObjectEditor *()> maker);
    // An instance standing in for the class's own (tests); not owned. It registers itself for its
    // life and unregisters (null) at the end.
    static void registerSharedInstance(const QString &className, DMProjectViewObjectEditor *editor);
    // The stand-in when there is one, else the class's own instance.
    static DMProjectViewObjectEditor *sharedInstance(const QString &className);

    // gShownViews: the inspectors shown so far in the process (each once), emptied and hidden by
    // a closing document unless they show an object of a document still open.
    static const QList<DMProjectViewObjectEditor *> &shownEditors();
    static void addShownEditor(DMProjectViewObjectEditor *editor);
};
