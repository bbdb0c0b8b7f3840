#pragma once

#include "../model/ModelTestSupport.h"

#include "DMBeep.h"
#include "DMCollectionView.h"
#include "DMDocumentController.h"
#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMProjectDocument.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentSourceListOutlineDS.h"
#include "DMProjectPackage.h"
#include "DMUserDefaults.h"
#include "FakeModalUI.h"
#include "MenuTestSupport.h"
#include "TestSupport.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QDropEvent>
#include <QFile>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace halcyra::test {

// Every test gets its own folder, user defaults and modal UI, and leaves no document open.
class DocumentTestBase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("defaults.ini")));
        DMModalUI::setInstance(&ui);
        DMDocumentController::sharedDocumentController().setAutosavingDelay(0.0);
        DMProjectPackage::setFailingStepForTesting(-1);
    }
    void TearDown() override
    {
        DMDocumentController::sharedDocumentController().closeAllDocuments();
        runUntilIdle();
        DMProjectPackage::setFailingStepForTesting(-1);
        DMModalUI::setInstance(nullptr);
    }

    QString path(const QString &name) const { return folder.filePath(name); }

    // A document holding the project, known to the controller as an open document would be.
    std::shared_ptr<DMProjectDocument> documentWithProject(const std::shared_ptr<DMProject> &project)
    {
        auto document = std::make_shared<DMProjectDocument>();
        document->setProject(project);
        document->setFileType(DMProjectDocument::kDocumentType);
        return document;
    }

    // Opens the file as the Open command does, telling the user of failures.
    static std::shared_ptr<DMProjectDocument> open(const QString &path, QString *error = nullptr)
    {
        return DMDocumentController::sharedDocumentController().openDocumentWithContentsOfURL(path, false, error, true);
    }
    // A new document with the tasks at the top level (a "P:" prefix makes a process), with no
    // undo steps and not edited, shown in its window of that size.
    std::shared_ptr<DMProjectDocument> shownDocumentWith(const QStringList &titles, QSize size = QSize(1100, 500))
    {
        auto document = DMDocumentController::sharedDocumentController().newDocument(false);
        const auto project = document->project();
        for (const QString &title : titles) {
            if (title.startsWith(QLatin1String("P:")))
                project->tasks().append(makeItem<DMProjectProcess>(project, title.mid(2), at(2024, 1, 8, 8), at(2024, 1, 9, 18)));
            else
                project->tasks().append(makeItem<DMProjectTask>(project, title, at(2024, 1, 8, 8), at(2024, 1, 9, 18)));
        }
        settle(document);
        showWindow(document, size);
        return document;
    }
    static void showWindow(const std::shared_ptr<DMProjectDocument> &document, QSize size = QSize(1100, 500))
    {
        document->makeWindowControllers();
        ASSERT_TRUE(document->mainWindow());
        document->mainWindow()->resize(size);
        document->mainWindow()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(document->mainWindow()));
        document->reloadViews();
    }
    // Forgets what was done so far: no undo steps, not edited.
    static void settle(const std::shared_ptr<DMProjectDocument> &document)
    {
        finishEventLoopTurn();
        document->undoManager()->removeAllActions();
        document->updateChangeCount(DMDocumentChangeKind::Cleared);
    }
    // The undo steps, once the one of this event-loop turn has closed.
    static int steps(const std::shared_ptr<DMProjectDocument> &document)
    {
        finishEventLoopTurn();
        return document->undoManager()->undoStepCount();
    }

    QTemporaryDir folder;
    FakeModalUI ui;
};

// Lets chained deferred work run: an undo step closes at the end of its turn, and what follows
// an edit (the items view's arrays, the badges) is done in a turn after that.
inline void finishEventLoopTurns(int turns = 3)
{
    for (int turn = 0; turn < turns; ++turn)
        finishEventLoopTurn();
}

// The rows of an outline from the first, each prefixed with one dot per level, read from the
// column.
inline QStringList rowsOf(DMOutlineView *outline, const QString &column = QStringLiteral("title"), int first = 0)
{
    const DMOutlineViewModel *model = outline->outlineModel();
    QStringList shown;
    for (int row = first; row < outline->numberOfRows(); ++row)
        shown.append(QString(outline->levelForRow(row), QLatin1Char('.'))
                     + model->data(model->indexForRow(row, model->logicalColumnWithIdentifier(column))).toString());
    return shown;
}

// Chooses the page of the tag in the document window's source list, with a click on its row as
// the user does.
inline void choose(const std::shared_ptr<DMProjectDocument> &document, int tag)
{
    DMOutlineView *list = document->outlets().sourceListOutlineView;
    const int row = document->sourceListDS()->sourceListTree_indexOfItemWithTag(tag);
    ASSERT_GE(row, 0) << "no source-list row of the page " << tag;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rectOfRow(row).center() - list->contentOffset());
    ASSERT_EQ(document->currentPageTag(), tag);
}

// The View menu's command of the tag (DMMainMenu::View...Tag), or null.
inline QAction *viewMenuAction(QMainWindow *window, int tag)
{
    QAction *view = menuAction(window, {QStringLiteral("View")});
    for (QAction *action : view && view->menu() ? view->menu()->actions() : QList<QAction *>())
        if (action->data().isValid() && action->data().toInt() == tag)
            return action;
    return nullptr;
}

// The items view's card at the index, or the one that shows the object (or the document row) once
// the view has caught up with the project, on the page shown; null when there is none.
template <typename Card>
Card *cardAt(const std::shared_ptr<DMProjectDocument> &document, qsizetype index)
{
    return index < 0 ? nullptr : dynamic_cast<Card *>(document->itemsView()->itemsCollectionView()->itemAtIndex(int(index)));
}
template <typename Card>
Card *cardOf(const std::shared_ptr<DMProjectDocument> &document, const std::shared_ptr<DMProjectObject> &object)
{
    finishEventLoopTurns();
    return cardAt<Card>(document, document->itemsView()->itemsViewContentsArray().indexOf(DMItemsViewObject{object, nullptr}));
}

// Drops the pasteboard on the viewport's point, as the window system delivers it.
inline Qt::DropAction dropOn(QWidget *viewport, const QMimeData &data, QPoint point, Qt::DropActions offered)
{
    QDragEnterEvent enter(point, offered, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(point), offered, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// Every file below the folder (hidden ones included) with its bytes.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        QByteArray bytes = "<folder>";
        if (QFileInfo(file).isFile() && f.open(QIODevice::ReadOnly))
            bytes = f.readAll();
        files.insert(QDir(folder).relativeFilePath(file), bytes);
    }
    return files;
}

inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

inline void makeLink(const QString &target, const QString &link)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
}

inline void makeFifo(const QString &path)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
}

} // namespace halcyra::test
