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
    // Tags of the View menu's pages, handed to viewMenuCallback (pageTagForViewMenuTag).
    enum ViewMenuTag {
        ViewResourcesTag = 3001001,
        ViewTasksTag = 3001002,
        ViewMilestonesTag = 3001003,
        ViewProcessesTag = 3001004,
        ViewToDosTag = 3001005,
        ViewEventsTag = 3001006,
        ViewDocumentsTag = 3001007,
        ViewLinksTag = 3001008,
        ViewByResourcesTag = 3002001,
        ViewGanttTag = 3002002,
        ViewGlobalReportTag = 3002003,
        ViewTasksByResourceTag = 3002004,
        ViewTasksByProcessesTag = 3002005,
    };
};
