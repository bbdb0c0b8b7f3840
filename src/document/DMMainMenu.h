#pragma once

#include <QKeySequence>

class QMainWindow;
class QMenuBar;
class DMProjectDocument;

// The menu bar of a document window: File, Edit, View, Window and Help with the standard
// shortcuts. The commands go to the document (not owned; the window dies with it) and to the
// document controller.
class DMMainMenu
{
public:
    static void installMenuBar(QMainWindow *window, DMProjectDocument *document);
    // Control+Q everywhere: Qt's standard Quit key is empty on some platforms.
    static QKeySequence quitShortcut();

    // Tags of the File > New submenu, handed to fileNewMenuCallback.
    enum NewItemTag { NewTaskTag = 2001, NewMilestoneTag = 2002, NewProcessTag = 2003, NewResourceTag = 2004,
                      NewResourceGroupTag = 2005 };
};
