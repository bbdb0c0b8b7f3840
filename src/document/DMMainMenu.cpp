#include "DMMainMenu.h"

#include "DMApplication.h"
#include "DMCollapsingSplitview.h"
#include "DMDocumentController.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMProjectDocument.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectDocumentUICallbacks.h"
#include "DMUndoManager.h"
#include "FarseeManager.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

void buildFileMenu(QMenu *menu, QMainWindow *window, DMProjectDocument *document)
{
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    QMenu *newMenu = menu->addMenu(DMLocalizedString("&New"));
    QAction *newProject = newMenu->addAction(DMLocalizedString("&Project"), &controller, [&controller] { controller.newDocument(); });
    newProject->setShortcut(QKeySequence::New);
    newMenu->addSeparator();
    const struct
    {
        const char *title;
        int tag;
    } newItems[] = {{"&Task", DMMainMenu::NewTaskTag},
                    {"&Milestone", DMMainMenu::NewMilestoneTag},
                    {"Pr&ocess", DMMainMenu::NewProcessTag},
                    {"&Resource", DMMainMenu::NewResourceTag},
                    {"Resource &Group", DMMainMenu::NewResourceGroupTag}};
    for (const auto &entry : newItems) {
        const int tag = entry.tag;
        QAction *action = newMenu->addAction(DMLocalizedString(entry.title), window, [document, tag] { document->fileNewMenuCallback(tag); });
        action->setData(tag);
    }
    // Items that only a page's controller can answer are enabled on the matching page.
    QObject::connect(newMenu, &QMenu::aboutToShow, newMenu, [newMenu, document] {
        for (QAction *action : newMenu->actions()) {
            const int tag = action->data().toInt();
            if (tag == DMMainMenu::NewResourceTag || tag == DMMainMenu::NewResourceGroupTag)
                action->setEnabled(document->currentPageTag() == DMPage::ResourcesPage);
            else if (tag != 0)
                action->setEnabled(document->currentPageTag() == DMPage::TasksPage);
        }
    });

    menu->addAction(DMLocalizedString("&Open..."), QKeySequence::Open, &controller, [&controller] { controller.openDocument(); });
    QMenu *recent = menu->addMenu(DMLocalizedString("Open &Recent"));
    QObject::connect(recent, &QMenu::aboutToShow, recent, [recent, &controller] {
        recent->clear();
        for (const QString &path : controller.recentDocumentURLs())
            recent->addAction(DMMainMenu::literalMenuTitle(QFileInfo(path).completeBaseName()), &controller, [path, &controller] {
                controller.openDocumentWithContentsOfURL(path, true);
            });
        recent->addSeparator();
        recent->addAction(DMLocalizedString("&Clear Menu"), &controller, [&controller] { controller.clearRecentDocuments(); });
    });
    menu->addSeparator();
    menu->addAction(DMLocalizedString("&Close"), QKeySequence::Close, window, [window] { window->close(); });
    menu->addAction(DMLocalizedString("&Save"), QKeySequence::Save, window, [document] { document->save(); });
    // Qt's standard Save As key is empty on some platforms.
    menu->addAction(DMLocalizedString("Save &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), window,
                    [document] { document->saveAs(); });
    QAction *revert = menu->addAction(DMLocalizedString("Re&vert to Saved"), window, [window, document] {
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("Revert to Saved");
        alert.messageText = DMLocalizedString("Do you want to revert to the most recently saved version of the document \"%1\"?")
                                .arg(document->displayName());
        alert.informativeText = DMLocalizedString("Your current changes will be lost.");
        alert.buttons = {DMLocalizedString("Revert"), DMLocalizedString("Cancel")};
        if (DMModalUI::instance().runAlert(alert, window) == DMModalUI::DefaultReturn)
            document->revertToSaved();
    });
    // Only a document read from or saved to its own file has a saved version.
    const auto updateRevert = [revert, document] { revert->setEnabled(document->canRevertToSaved()); };
    updateRevert();
    QObject::connect(document, &DMProjectDocument::fileURLChanged, revert, updateRevert);
    QObject::connect(menu, &QMenu::aboutToShow, revert, updateRevert);
    menu->addSeparator();
    menu->addAction(DMLocalizedString("Set Pass&word..."), window, [document] { document->setPassword(); });
    menu->addSeparator();
    menu->addAction(DMLocalizedString("&Import..."), &controller, [&controller] { controller.importDocument(); });
    menu->addAction(DMLocalizedString("Import To-&Do List..."), window, [document] { document->uiCallbacks()->importFromFerrix(); });
    QMenu *exportMenu = menu->addMenu(DMLocalizedString("&Export"));
    const struct
    {
        const char *title;
        void (DMProjectDocumentUICallbacks::*command)();
    } exports[] = {{"&CSV...", &DMProjectDocumentUICallbacks::exportToCSV},
                   {"&iCalendar...", &DMProjectDocumentUICallbacks::exportToICalendar},
                   {"&Selected Items to Calendar", &DMProjectDocumentUICallbacks::exportSelectedItemToICal},
                   {"&MS Project XML...", &DMProjectDocumentUICallbacks::exportToMSProjectXML},
                   {"&To-Do List...", &DMProjectDocumentUICallbacks::exportToFerrix}};
    for (const auto &entry : exports) {
        const auto command = entry.command;
        exportMenu->addAction(DMLocalizedString(entry.title), window, [document, command] { (document->uiCallbacks()->*command)(); });
    }
    // The shown page as a PDF or JPEG file, or sent by the web export; the tag chooses.
    exportMenu->addSeparator();
    QList<QAction *> pageExports;
    for (const auto &[title, tag] : {std::pair{"&PDF...", int(DMProjectDocumentPrint::PDFExportTag)},
                                     std::pair{"&JPEG...", int(DMProjectDocumentPrint::JPEGExportTag)},
                                     std::pair{"&Web Export...", int(DMProjectDocumentPrint::WebExportTag)}}) {
        QAction *action = exportMenu->addAction(DMLocalizedString(title), window, [document, tag] { document->print()->exportToImage(tag); });
        action->setData(tag);
        pageExports.append(action);
    }
    pageExports.append(menu->addAction(DMLocalizedString("S&hare..."), window, [document] { document->print()->exportToFarsee(); }));
    // Dimmed on the pages they cannot export (they have no keys to keep on). The File menu is
    // open whenever its Export submenu is, and the page does not change meanwhile.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [pageExports, document] {
        for (QAction *action : pageExports)
            action->setEnabled(document->print()->canExportShownPage());
    });
    menu->addSeparator();
    menu->addAction(DMLocalizedString("Page Set&up..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), window,
                    [document] { document->print()->runPageLayout(); });
    menu->addAction(DMLocalizedString("&Print..."), QKeySequence::Print, window, [document] { document->print()->printDocument(); });
    menu->addSeparator();
    menu->addAction(DMLocalizedString("&Quit Halcyra"), DMMainMenu::quitShortcut(), qApp, [] { DMApplication::terminate(); });
}

void buildEditMenu(QMenu *menu, QMainWindow *window, DMProjectDocument *document)
{
    QAction *undo = menu->addAction(DMLocalizedString("&Undo"), QKeySequence::Undo, window, [document] {
        if (document->undoManager()->canUndo())
            document->undoManager()->undo();
    });
    QAction *redo = menu->addAction(DMLocalizedString("&Redo"), QKeySequence::Redo, window, [document] {
        if (document->undoManager()->canRedo())
            document->undoManager()->redo();
    });
    QObject::connect(menu, &QMenu::aboutToShow, menu, [undo, redo, document] {
        DMUndoManager *manager = document->undoManager();
        undo->setEnabled(manager->canUndo());
        redo->setEnabled(manager->canRedo());
        const QString undoName = manager->undoActionName();
        const QString redoName = manager->redoActionName();
        undo->setText(undoName.isEmpty() ? DMLocalizedString("&Undo")
                                          : DMLocalizedString("&Undo %1").arg(DMMainMenu::literalMenuTitle(undoName)));
        redo->setText(redoName.isEmpty() ? DMLocalizedString("&Redo")
                                          : DMLocalizedString("&Redo %1").arg(DMMainMenu::literalMenuTitle(redoName)));
    });
    // The dimming is for the menu's look only: the keys stay on (their commands check), or an
    // Undo or Redo dimmed when the menu was last open would ignore its key after the next edit.
    QObject::connect(menu, &QMenu::aboutToHide, menu, [undo, redo] {
        undo->setEnabled(true);
        redo->setEnabled(true);
    });
    menu->addSeparator();
    QAction *cut = menu->addAction(DMLocalizedString("Cu&t"), QKeySequence::Cut, window, [document] { document->cut(); });
    QAction *copy = menu->addAction(DMLocalizedString("&Copy"), QKeySequence::Copy, window, [document] { document->copy(); });
    QAction *paste = menu->addAction(DMLocalizedString("&Paste"), QKeySequence::Paste, window, [document] { document->paste(); });
    // No key equivalent: the canvas deletes on the key's release, once, however long it is held.
    QAction *remove = menu->addAction(DMLocalizedString("&Delete"), window, [document] { document->deleteSelectionOfShownPage(); });
    QAction *selectAll =
        menu->addAction(DMLocalizedString("Select &All"), QKeySequence::SelectAll, window, [document] { document->selectAll(); });
    // The menu shows dimmed what cannot act now: Cut, Copy and Delete without a selection, Paste
    // without items on the clipboard, all but Delete away from the chart. As for Undo, their keys
    // stay on once it is closed, and the commands check for themselves.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [cut, copy, paste, remove, selectAll, document] {
        cut->setEnabled(document->canCut());
        copy->setEnabled(document->canCopy());
        paste->setEnabled(document->canPaste());
        remove->setEnabled(document->canDeleteSelectionOfShownPage());
        selectAll->setEnabled(document->isCanvasPageShown());
    });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [cut, copy, paste, remove, selectAll] {
        for (QAction *command : {cut, copy, paste, remove, selectAll})
            command->setEnabled(true);
    });
}

void buildViewMenu(QMenu *menu, QMainWindow *window, DMProjectDocument *document)
{
    const struct
    {
        const char *title;
        int tag;
    } pages[] = {{"&Resources", DMMainMenu::ViewResourcesTag},
                 {"&Tasks", DMMainMenu::ViewTasksTag},
                 {"&Milestones", DMMainMenu::ViewMilestonesTag},
                 {"&Processes", DMMainMenu::ViewProcessesTag},
                 {"T&o-Dos", DMMainMenu::ViewToDosTag},
                 {"&Events", DMMainMenu::ViewEventsTag},
                 {"&Documents", DMMainMenu::ViewDocumentsTag},
                 {"&Links", DMMainMenu::ViewLinksTag},
                 {nullptr, 0},
                 {"&By Resources", DMMainMenu::ViewByResourcesTag},
                 {"By Tasks (&Gantt)", DMMainMenu::ViewGanttTag},
                 {"Glob&al Report", DMMainMenu::ViewGlobalReportTag},
                 {"Tasks b&y Resource", DMMainMenu::ViewTasksByResourceTag},
                 {"Tasks by Pro&cesses", DMMainMenu::ViewTasksByProcessesTag}};
    for (const auto &page : pages) {
        if (!page.title) {
            menu->addSeparator();
            continue;
        }
        const int tag = page.tag;
        QAction *action = menu->addAction(DMLocalizedString(page.title), window, [document, tag] { document->viewMenuCallback(tag); });
        action->setData(tag);
    }
    menu->addSeparator();
    menu->addAction(DMLocalizedString("Show &Inspector"), QKeySequence(Qt::CTRL | Qt::Key_I), window,
                    [document] { document->showInspectorForSelectedItem(); });
    QAction *sourceList = menu->addAction(DMLocalizedString("Hide &Source List"), window, [document] {
        if (DMCollapsingSplitview *split = document->outlets().sourceListSplitview)
            split->toggleCollapse();
    });
    QObject::connect(menu, &QMenu::aboutToShow, sourceList, [sourceList, document] {
        const DMCollapsingSplitview *split = document->outlets().sourceListSplitview;
        sourceList->setText(split && split->isCollapsed() ? DMLocalizedString("Show &Source List")
                                                          : DMLocalizedString("Hide &Source List"));
    });
}

void buildWindowMenu(QMenu *menu, QMainWindow *window)
{
    menu->addAction(DMLocalizedString("&Minimize"), QKeySequence(Qt::CTRL | Qt::Key_M), window, [window] { window->showMinimized(); });
    menu->addAction(DMLocalizedString("&Zoom"), window, [window] {
        window->isMaximized() ? window->showNormal() : window->showMaximized();
    });
    menu->addAction(DMLocalizedString("&Sending List"), window, [] { FarseeManager::sharedManager().showSendingWindow(); });
    menu->addSeparator();
    const int fixedCount = int(menu->actions().size());
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, fixedCount] {
        const QList<QAction *> actions = menu->actions();
        for (int i = fixedCount; i < actions.size(); ++i) {
            menu->removeAction(actions.at(i));
            actions.at(i)->deleteLater();
        }
        for (const auto &open : DMDocumentController::sharedDocumentController().documents()) {
            QMainWindow *target = open->mainWindow();
            if (!target)
                continue;
            QAction *action = menu->addAction(DMMainMenu::literalMenuTitle(open->displayName()), target, [target] {
                target->showNormal();
                target->raise();
                target->activateWindow();
            });
            action->setCheckable(true);
            action->setChecked(target->isActiveWindow());
        }
    });
}

void buildHelpMenu(QMenu *menu, QMainWindow *window)
{
    menu->addAction(DMLocalizedString("&About Halcyra"), window, [window] {
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("About Halcyra");
        alert.messageText = QStringLiteral("Halcyra");
        alert.informativeText = DMLocalizedString("A project planner.");
        alert.style = DMModalUI::Informational;
        DMModalUI::instance().runAlert(alert, window);
    });
}

} // namespace

QString DMMainMenu::literalMenuTitle(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QKeySequence DMMainMenu::quitShortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_Q);
}

void DMMainMenu::installMenuBar(QMainWindow *window, DMProjectDocument *document)
{
    QMenuBar *bar = window->menuBar();
    buildFileMenu(bar->addMenu(DMLocalizedString("&File")), window, document);
    buildEditMenu(bar->addMenu(DMLocalizedString("&Edit")), window, document);
    buildViewMenu(bar->addMenu(DMLocalizedString("&View")), window, document);
    buildWindowMenu(bar->addMenu(DMLocalizedString("&Window")), window);
    buildHelpMenu(bar->addMenu(DMLocalizedString("&Help")), window);
}
