// The document's change count, revert, recent documents and the attached-documents table.
#include "DocumentTestSupport.h"

#include "DMAttachedDocuments.h"
#include "DMGanttUIObjectFactory.h"
#include "DMWelcomeWindowController.h"

#include <QListWidget>

using namespace halcyra::test;

namespace {

using DocumentStateTest = DocumentTestBase;

TEST_F(DocumentStateTest, UndoAndRedoFollowTheChangeCount)
{
    FullProject full = makeFullProject();
    auto document = documentWithProject(full.project);
    EXPECT_FALSE(document->isDocumentEdited());
    full.task1->setTitle(QStringLiteral("Survey again"));
    runUntilIdle(); // the undo group of this event-loop turn closes
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(full.project->displayAttributes().projectIsEdited);
    document->undoManager()->undo();
    EXPECT_EQ(full.task1->title(), QStringLiteral("Survey"));
    EXPECT_FALSE(document->isDocumentEdited());
    document->undoManager()->redo();
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(DocumentStateTest, RevertReadsTheSavedPackageBackAndForgetsUndo)
{
    const QString package = path(QStringLiteral("Revert.hy2"));
    // Items have their bars as in the application, whichever test ran before in this process,
    // and the views are laid out as shown (the resource view's lanes are part of the file).
    DMGanttUIObjectFactory::registerWithModel();
    FullProject full = makeFullProject();
    auto document = documentWithProject(full.project);
    document->reloadViews();
    document->setPasswordString(QStringLiteral("pw"));
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    const QVariantMap saved = full.project->dictionaryRepresentation();
    full.project->tasks().removeAt(0);
    runUntilIdle();
    ASSERT_TRUE(document->isDocumentEdited());

    EXPECT_TRUE(document->revertToSaved()); // the known password opens it again: no prompt
    EXPECT_TRUE(ui.promptLabels.isEmpty());
    EXPECT_NE(document->project(), full.project);
    EXPECT_EQ(document->project()->dictionaryRepresentation(), saved);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_EQ(full.project->displayAttributes().projectDocument, nullptr);
    EXPECT_EQ(document->project()->displayAttributes().projectDocument, document.get());

    // A package that went bad keeps the document as it is.
    writeFile(package + "/project.xml", "garbage");
    const QVariantMap current = document->project()->dictionaryRepresentation();
    EXPECT_FALSE(document->revertToSaved());
    EXPECT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(document->project()->dictionaryRepresentation(), current);
}

TEST_F(DocumentStateTest, RecentDocumentsAreKeptMostRecentFirstAndShownOnTheWelcomeWindow)
{
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    controller.clearRecentDocuments();
    QStringList packages;
    for (int i = 0; i < 12; ++i) {
        packages.append(path(QStringLiteral("P%1.hy2").arg(i)));
        auto document = documentWithProject(makeFullProject().project);
        ASSERT_TRUE(document->saveToPath(packages.last(), DMProjectDocument::SaveAsOperation));
    }
    const QStringList recent = controller.recentDocumentURLs();
    ASSERT_EQ(recent.size(), 10);
    EXPECT_EQ(recent.first(), QFileInfo(packages.last()).absoluteFilePath());
    controller.noteNewRecentDocumentURL(recent.last());
    EXPECT_EQ(controller.recentDocumentURLs().first(), recent.last());

    QDir(packages.last()).removeRecursively(); // a vanished package is not offered
    DMWelcomeWindowController &welcome = DMWelcomeWindowController::sharedController();
    welcome.showWindow();
    auto *list = welcome.window()->findChild<QListWidget *>(QStringLiteral("recentDocuments"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 9);
    // Activating an entry opens it as a document and puts the welcome window away.
    emit list->itemActivated(list->item(0));
    ASSERT_EQ(controller.documents().size(), 1);
    EXPECT_EQ(controller.documents().first()->fileURL(), list->item(0)->data(Qt::UserRole).toString());
    welcome.close();
}

// Return in the welcome window does what it shows: New Project, the button drawn as the default,
// or the recent document the keyboard is on (that one alone, though opening it reloads the list).
TEST_F(DocumentStateTest, ReturnInTheWelcomeWindowStartsANewProjectOrOpensTheRecentDocumentChosen)
{
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    DMWelcomeWindowController &welcome = DMWelcomeWindowController::sharedController();
    const auto pressReturnInTheList = [&] {
        controller.closeAllDocuments();
        runUntilIdle();
        welcome.showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(welcome.window()));
        auto *list = welcome.window()->findChild<QListWidget *>(QStringLiteral("recentDocuments"));
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_Return);
        runUntilIdle();
    };

    controller.clearRecentDocuments();
    pressReturnInTheList();
    ASSERT_EQ(controller.documents().size(), 1);
    EXPECT_TRUE(controller.documents().first()->fileURL().isEmpty());

    const QString package = path(QStringLiteral("Office move.hy2"));
    ASSERT_TRUE(controller.documents().first()->saveToPath(package, DMProjectDocument::SaveAsOperation));
    pressReturnInTheList();
    ASSERT_EQ(controller.documents().size(), 1);
    EXPECT_EQ(controller.documents().first()->fileURL(), QFileInfo(package).absoluteFilePath());
    welcome.close();
}

TEST_F(DocumentStateTest, AttachedDocumentTableCountsReferencesAndReusesIdenticalCopies)
{
    const QString documents = path(QStringLiteral("Pkg.hy2/Documents"));
    writeFile(documents + "/report.txt", "same bytes");
    QVariantMap table{{QStringLiteral("report.txt"),
                       QVariantMap{{kDMProject_AttachedDocument_Path, QStringLiteral("report.txt")},
                                   {kDMProject_AttachedDocument_PendingAttachment, false},
                                   {DMAttachedDocuments::kReferenceCount, 1}}}};
    writeFile(path(QStringLiteral("elsewhere/report.txt")), "same bytes");
    writeFile(path(QStringLiteral("changed/report.txt")), "other bytes");
    bool isNew = true;
    EXPECT_EQ(DMAttachedDocuments::addDocument(&table, path(QStringLiteral("elsewhere/report.txt")), documents, &isNew),
              QStringLiteral("report.txt"));
    EXPECT_FALSE(isNew);
    EXPECT_EQ(table.value(QStringLiteral("report.txt")).toMap().value(DMAttachedDocuments::kReferenceCount).toInt(), 2);
    const QString changed = DMAttachedDocuments::addDocument(&table, path(QStringLiteral("changed/report.txt")), documents, &isNew);
    EXPECT_TRUE(isNew);
    EXPECT_EQ(changed, QStringLiteral("report 2.txt"));

    DMAttachedDocuments::releaseDocument(&table, changed);
    DMAttachedDocuments::releaseDocument(&table, changed);
    EXPECT_EQ(table.value(changed).toMap().value(DMAttachedDocuments::kReferenceCount).toInt(), 0);
    // Unreferenced entries stay, so that undoing their removal finds the file again; a save
    // copies only what something refers to.
    DMAttachedDocuments::SavePlan plan = DMAttachedDocuments::planSave(table, true);
    EXPECT_EQ(plan.keptDocuments, QStringList{QStringLiteral("report.txt")});
    EXPECT_TRUE(plan.newDocuments.isEmpty());
    EXPECT_TRUE(plan.table.contains(changed));
    DMAttachedDocuments::retainDocument(&table, changed);
    plan = DMAttachedDocuments::planSave(table, true);
    ASSERT_EQ(plan.newDocuments.size(), 1);
    EXPECT_EQ(plan.newDocuments.first().name, QStringLiteral("report 2.txt"));
    EXPECT_TRUE(DMAttachedDocuments::planSave(table, false).newDocuments.isEmpty());

    // A stored file nothing refers to is set aside out of the package as a pending copy; one
    // without a count (an earlier version's) is taken to be referred to.
    QVariantMap stored = table;
    stored.insert(QStringLiteral("old.txt"), QVariantMap{{kDMProject_AttachedDocument_Path, QStringLiteral("report.txt")},
                                                         {kDMProject_AttachedDocument_PendingAttachment, false}});
    DMAttachedDocuments::releaseDocument(&stored, QStringLiteral("report.txt"));
    DMAttachedDocuments::releaseDocument(&stored, QStringLiteral("report.txt"));
    const QVariantMap setAside =
        DMAttachedDocuments::tableWithUnreferencedSetAside(stored, documents, path(QStringLiteral("aside")));
    const QVariantMap record = setAside.value(QStringLiteral("report.txt")).toMap();
    EXPECT_TRUE(record.value(kDMProject_AttachedDocument_PendingAttachment).toBool());
    QFile copy(record.value(kDMProject_AttachedDocument_Path).toString());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("same bytes"));
    EXPECT_EQ(setAside.value(QStringLiteral("old.txt")), stored.value(QStringLiteral("old.txt")));
    EXPECT_EQ(DMAttachedDocuments::planSave(setAside, true).keptDocuments, QStringList{QStringLiteral("report.txt")});
}

// Revert in a shown window after the resource view was shown: the project read again replaces
// the one the views showed, whose teardown the views hear of (its tasks leave their resources'
// rows) while the document takes the new one; both must stay whole.
TEST_F(DocumentStateTest, RevertInAShownWindowAfterTheResourceViewWasShown)
{
    const auto document = shownDocumentWith({QStringLiteral("A"), QStringLiteral("B")});
    {
        // No reference to the shown project may outlive this block: revert must release it.
        const auto project = document->project();
        project->resources().append(makeResource(project, QStringLiteral("Ann")));
        std::dynamic_pointer_cast<DMProjectTask>(project->tasks().at(0))->addResource(project->resources().at(0));
    }
    ASSERT_TRUE(document->saveToPath(path(QStringLiteral("Shown.hy2")), DMProjectDocument::SaveAsOperation));
    document->showPageWithTag(DMPage::ByResourcesPage);
    finishEventLoopTurns();
    document->showPageWithTag(DMPage::GanttPage);
    finishEventLoopTurns();
    document->project()->tasks().at(1)->setBeginDateAndEndDate(at(2024, 1, 10, 8), at(2024, 1, 11, 18));
    runUntilIdle();
    ASSERT_TRUE(document->isDocumentEdited());

    const std::weak_ptr<DMProject> shown = document->project();
    EXPECT_TRUE(document->revertToSaved());
    EXPECT_TRUE(shown.expired());
    runUntilIdle();
    EXPECT_EQ(document->project()->tasks().at(1)->beginDate(), at(2024, 1, 8, 8));
    EXPECT_EQ(document->project()->resources().size(), 1);
}

} // namespace
