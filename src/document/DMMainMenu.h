#pragma once

#include <QKeySequence>
#include <QString>

class QMainWindow;
class QMenuBar;
class DMProjectDocument;

// The menu bar of a document window: File, Edit, View, Window and Help with the standard
// shortcuts, and on every title and entry a letter of its own in its menu that Alt (in an open
// menu, the letter alone) chooses. The commands go to the document (not owned; the window dies with it) and to the
// document controller.
class DMMainMenu
{
public:
    static void installMenuBar(QMainWindow *window, DMProjectDocument *document);
    // Control+Q everywhere: Qt's standard Quit key is empty on some platforms.
    static QKeySequence quitShortcut();
    // A title made of the user's text (a document's name, an undo step naming an item) for a menu
    // entry: its ampersands show as they are instead of marking a letter.
    static QString literalMenuTitle(const QString &text);

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
