// The items view on a real document: each kind's array and its orders, the page following the
// model, every command as one undo step, the open resource group held weakly, vCard and file
// drops, and the cards following their objects.
#include "DocumentTestSupport.h"
#include "OpenedFiles.h"

#include "DMCollectionView.h"
#include "DMGanttUIObjectFactory.h"
#include "DMItemsViewDocumentsItem.h"
#include "DMItemsViewProcessesItem.h"
#include "DMItemsViewResourcesItem.h"
#include "DMItemsViewSorting.h"
#include "DMItemsViewTasksItem.h"
#include "DMProjectDependency.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMProjectTask.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMProjectTodoEditorController.h"
#include "DMUndoManager.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QMainWindow>
#include <QMimeData>
#include <QUrl>

using namespace halcyra::test;

namespace {

// Tasks whose names, dates, resources and progress order them differently, in a process.
struct Sample
{
    std::shared_ptr<DMProject> project = DMProject::create();
    std::shared_ptr<DMProjectTask> pour, audit, brace, again;
    std::shared_ptr<DMProjectProcess> works;
    std::shared_ptr<DMProjectMilestone> handover;
    std::shared_ptr<DMProjectResource> zoe, adam, crew;

    Sample()
    {
        project->setBeginDate(at(2024, 3, 4, 8));
        project->setEndDate(at(2024, 6, 28, 18));
        works = makeItem<DMProjectProcess>(project, QStringLiteral("Works"), at(2024, 3, 4, 8), at(2024, 3, 29, 18));
        pour = makeItem<DMProjectTask>(project, QStringLiteral("pour"), at(2024, 3, 11, 8), at(2024, 3, 12, 18));
        audit = makeItem<DMProjectTask>(project, QStringLiteral("Audit"), at(2024, 3, 5, 8), at(2024, 3, 20, 18));
        brace = makeItem<DMProjectTask>(project, QStringLiteral("brace"), at(2024, 3, 4, 8), at(2024, 3, 6, 18));
        again = makeItem<DMProjectTask>(project, QStringLiteral("AUDIT"), at(2024, 3, 7, 8), at(2024, 3, 8, 18));
        handover = makeItem<DMProjectMilestone>(project, QStringLiteral("Handover"), at(2024, 3, 29, 18), at(2024, 3, 29, 18));
        pour->setProgress(1.0f);
        brace->setProgress(0.25f);
        project->tasks().append(works);
        works->subitems().append(pour);
        works->subitems().append(audit);
        project->tasks().append(brace);
        project->tasks().append(again);
        project->tasks().append(handover);
        brace->addOutboundDependencyToItem(pour);
        audit->addOutboundDependencyToItem(handover);

        zoe = resource(QStringLiteral("zoe"));
        adam = resource(QStringLiteral("Adam"));
        crew = std::make_shared<DMProjectResource>(DMProjectResource::Group);
        crew->setProject(project);
        crew->setName(QStringLiteral("Crew"));
        project->resources().append(zoe);
        project->resources().append(adam);
        project->resources().append(crew);
        adam->setAttribute(kDMProjectResource_Email, QStringLiteral("adam@example.org"));
        auto member = resource(QStringLiteral("Member"));
        crew->subitems().append(member);
        pour->addResource(zoe);
        audit->addResource(adam);
    }
    std::shared_ptr<DMProjectResource> resource(const QString &name)
    {
        auto r = std::make_shared<DMProjectResource>();
        r->setProject(project);
        r->setName(name);
        return r;
    }
};

QStringList titlesOf(const QList<DMItemsViewObject> &entries)
{
    QStringList titles;
    for (const auto &entry : entries) {
        if (auto item = std::dynamic_pointer_cast<DMProjectItem>(entry.object))
            titles.append(item->title());
        else if (auto resource = std::dynamic_pointer_cast<DMProjectResource>(entry.object))
            titles.append(resource->name());
        else if (auto link = std::dynamic_pointer_cast<DMProjectDependency>(entry.object))
            titles.append(link->fromItem()->title() + QStringLiteral(">") + link->toItem()->title());
        else if (entry.row)
            titles.append(entry.row->value(kDMItemsViewDocumentItem_Name).toString());
    }
    return titles;
}

class ItemsViewTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        document = documentWithProject(sample.project);
        document->makeWindowControllers();
        document->mainWindow()->show();
        finishEventLoopTurn();
        document->undoManager()->removeAllActions();
    }
    DMProjectDocumentItemsView &items() { return *document->itemsView(); }
    QStringList shown() { return titlesOf(items().itemsViewContentsArray()); }
    void sortBy(int mode)
    {
        items().itemsViewSortMatrixCallback(mode);
        finishEventLoopTurn();
    }
    int steps() { return document->undoManager()->undoStepCount(); }

    Sample sample;
    std::shared_ptr<DMProjectDocument> document;
};

TEST_F(ItemsViewTest, EachKindsArrayInItsSortOrders)
{
    document->showPageWithTag(2);
    // Names without regard to case; the two "audit" tasks keep the project's order.
    EXPECT_EQ(shown(), (QStringList{"Audit", "AUDIT", "brace", "pour"}));
    sortBy(1);
    EXPECT_EQ(shown(), (QStringList{"brace", "Audit", "AUDIT", "pour"}));
    sortBy(4); // unassigned first by title, then by the first resource's name
    EXPECT_EQ(shown(), (QStringList{"AUDIT", "brace", "Audit", "pour"}));
    sortBy(6); // completion
    EXPECT_EQ(shown(), (QStringList{"Audit", "AUDIT", "brace", "pour"}));
    EXPECT_EQ(items().sortingModeForTag(2), 6);

    document->showPageWithTag(3);
    EXPECT_EQ(shown(), QStringList{"Handover"});
    document->showPageWithTag(4);
    EXPECT_EQ(shown(), QStringList{"Works"});
    document->showPageWithTag(8); // by the source's end
    EXPECT_EQ(shown(), (QStringList{"brace>pour", "Audit>Handover"}));

    document->showPageWithTag(1); // case-sensitive names: capitals first
    EXPECT_EQ(shown(), (QStringList{"Adam", "Crew", "zoe"}));
    EXPECT_EQ(items().itemsViewResourcesCount(), 3);
    sortBy(1); // having an e-mail first, then by name
    EXPECT_EQ(shown(), (QStringList{"Adam", "Crew", "zoe"}));
    sortBy(3); // "Level of charge" keeps the stored order
    EXPECT_EQ(shown(), (QStringList{"zoe", "Adam", "Crew"}));

    document->showPageWithTag(7);
    EXPECT_EQ(shown(), (QStringList{"Project", "Tasks"}));
}

// While their pages are not shown, the arrays of tasks, milestones, processes and links wait to
// be sorted; the counts the source list's badges show follow every change (an item and a link
// added, their undo) as the sorted arrays do.
TEST_F(ItemsViewTest, CountsOfPagesNotShownFollowTheProject)
{
    document->showPageWithTag(1);
    const auto counts = [this] {
        QList<int> list;
        for (const int tag : {2, 3, 4, 8})
            list.append(document->itemsViewContentsCountWithTag(tag));
        return list;
    };
    const auto sorted = [this] {
        QList<int> list;
        for (const int tag : {2, 3, 4, 8})
            list.append(int(items().itemsArrayWithTag(tag).size()));
        return list;
    };
    EXPECT_EQ(counts(), (QList<int>{4, 1, 1, 2}));

    auto late = makeItem<DMProjectTask>(sample.project, QStringLiteral("late"), at(2024, 4, 1, 8), at(2024, 4, 2, 18));
    sample.project->tasks().append(late);
    sample.handover->addOutboundDependencyToItem(late);
    finishEventLoopTurn();
    EXPECT_TRUE(waitFor([&] { return counts() == QList<int>{5, 1, 1, 3}; })) << counts().size();
    EXPECT_EQ(sorted(), counts());

    document->undoManager()->undo();
    finishEventLoopTurn();
    EXPECT_TRUE(waitFor([&] { return counts() == QList<int>{4, 1, 1, 2}; })) << counts().size();
    EXPECT_EQ(sorted(), counts());
}

TEST_F(ItemsViewTest, ThePageFollowsAddsDeletesAndRenames)
{
    document->showPageWithTag(2);
    auto late = makeItem<DMProjectTask>(sample.project, QStringLiteral("late"), at(2024, 4, 1, 8), at(2024, 4, 2, 18));
    sample.project->tasks().append(late);
    finishEventLoopTurn();
    EXPECT_TRUE(shown().contains(QStringLiteral("late")));

    // The card shows the new title as soon as the task has it.
    auto *view = items().itemsCollectionView();
    const int index = int(items().itemsViewContentsArray().indexOf(DMItemsViewObject{late, nullptr}));
    auto *card = dynamic_cast<DMItemsViewTasksItem *>(view->itemAtIndex(index));
    ASSERT_NE(card, nullptr);
    late->setTitle(QStringLiteral("later"));
    EXPECT_EQ(card->nameField->text(), QStringLiteral("later"));
    late->setProgress(0.5f);
    EXPECT_EQ(card->progressField->text(), QStringLiteral("50 %"));
    EXPECT_TRUE(card->attachedDocumentsView->isHidden());
    late->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{QStringLiteral("k")});
    EXPECT_FALSE(card->attachedDocumentsView->isHidden());

    document->deleteItems({late});
    finishEventLoopTurn();
    EXPECT_FALSE(shown().contains(QStringLiteral("later")));
}

TEST_F(ItemsViewTest, EachCommandIsOneUndoStepNamedAfterWhatItMakes)
{
    // The Edit menu's first command, as the menu shows it.
    const auto undoCommand = [this] {
        QMenu *edit = menuAction(document->mainWindow(), {QStringLiteral("Edit")})->menu();
        emit edit->aboutToShow();
        const QString text = shownMenuTitle(edit->actions().value(0));
        emit edit->aboutToHide();
        return text;
    };
    // (Page 6 is the event list, whose own test adds events.)
    const std::pair<int, QString> pages[] = {{1, "New Resource"}, {2, "New Task"}, {3, "New Milestone"}, {4, "New Process"}};
    for (const auto &[tag, title] : pages) {
        document->showPageWithTag(tag);
        const int before = steps();
        const qsizetype count = items().itemsViewContentsArray().size();
        items().itemsViewNew();
        finishEventLoopTurn();
        EXPECT_EQ(steps(), before + 1) << tag;
        EXPECT_EQ(undoCommand(), QStringLiteral("Undo ") + title);
        EXPECT_EQ(items().itemsViewContentsArray().size(), count + 1) << tag;
        EXPECT_TRUE(shown().contains(title)) << tag;
        ASSERT_EQ(items().itemsCollectionView()->selectionIndexes().size(), 1) << tag;
        EXPECT_TRUE(document->isDocumentEdited());
        document->undoManager()->undo();
        finishEventLoopTurn();
        EXPECT_FALSE(shown().contains(title)) << tag;
    }

    document->showPageWithTag(5);
    items().itemsViewNew();
    finishEventLoopTurn();
    EXPECT_EQ(sample.project->todoContainer()->todos().size(), 1);
    EXPECT_EQ(sample.project->todoContainer()->todos().first()->text(), QStringLiteral("To do..."));
    EXPECT_EQ(undoCommand(), QStringLiteral("Undo New To-do"));

    document->showPageWithTag(1);
    const int before = steps();
    items().itemsViewNewGroup();
    finishEventLoopTurn();
    EXPECT_EQ(steps(), before + 1);
    EXPECT_TRUE(shown().contains(QStringLiteral("New Group")));
}

TEST_F(ItemsViewTest, DeletingAResourceDeletesItsAssignmentsInTheSameStep)
{
    document->showPageWithTag(1);
    const int zoe = int(shown().indexOf(QStringLiteral("zoe")));
    items().itemsCollectionView()->setSelectionIndexes({zoe, 0, 1}); // only the first goes
    const int before = steps();
    items().itemsViewDelete();
    finishEventLoopTurn();
    EXPECT_EQ(shown(), (QStringList{"Crew", "zoe"}));
    EXPECT_EQ(sample.audit->concernedResources().size(), 0);
    EXPECT_EQ(steps(), before + 1);
    document->undoManager()->undo();
    finishEventLoopTurn();
    EXPECT_EQ(sample.audit->concernedResources().size(), 1);
    EXPECT_EQ(shown(), (QStringList{"Adam", "Crew", "zoe"}));

    // Tasks go through the document's delete.
    document->showPageWithTag(2);
    items().itemsCollectionView()->setSelectionIndexes({int(shown().indexOf(QStringLiteral("brace")))});
    items().itemsViewDelete();
    finishEventLoopTurn();
    EXPECT_FALSE(shown().contains(QStringLiteral("brace")));
    EXPECT_FALSE(sample.brace->isAttached());
}

// A deletion on the page and a change made right after it in the same pass of the event loop
// (fast keys, a script) are two steps: undoing the change leaves the deleted object out.
TEST_F(ItemsViewTest, AChangeRightAfterADeletionIsUndoneAloneAndTheObjectStaysDeleted)
{
    auto todo = std::make_shared<DMProjectTodo>();
    todo->setProject(sample.project);
    todo->setText(QStringLiteral("Order steel"));
    sample.project->todoContainer()->todos().append(todo);
    finishEventLoopTurn();
    document->undoManager()->removeAllActions();

    document->showPageWithTag(1);
    items().itemsCollectionView()->setSelectionIndexes({int(shown().indexOf(QStringLiteral("zoe")))});
    items().itemsViewDelete();
    sample.brace->setTitle(QStringLiteral("Shore"));
    document->showPageWithTag(5);
    items().itemsCollectionView()->setSelectionIndexes({0});
    items().itemsViewDelete();
    sample.pour->setTitle(QStringLiteral("Cast"));
    finishEventLoopTurn();
    EXPECT_EQ(steps(), 4);

    document->undoManager()->undo();
    EXPECT_EQ(sample.pour->title(), QStringLiteral("pour"));
    EXPECT_FALSE(todo->isAttached());
    document->undoManager()->undo();
    EXPECT_TRUE(todo->isAttached());
    document->undoManager()->undo();
    EXPECT_EQ(sample.brace->title(), QStringLiteral("brace"));
    EXPECT_FALSE(sample.zoe->isAttached());
    EXPECT_TRUE(sample.pour->concernedResources().isEmpty());
    document->undoManager()->undo();
    EXPECT_TRUE(sample.zoe->isAttached());
    EXPECT_EQ(sample.pour->concernedResources().size(), 1);
}

TEST_F(ItemsViewTest, TheOpenGroupIsHeldWeakly)
{
    document->showPageWithTag(1);
    items().itemsViewBack(); // nothing open: nothing happens
    EXPECT_EQ(shown(), (QStringList{"Adam", "Crew", "zoe"}));

    DMProjectResourceEditorController *inspector = DMProjectResourceEditorController::sharedInstance();
    emit inspector->resourceGroupOpened(sample.project, sample.crew);
    EXPECT_EQ(shown(), QStringList{"Member"});
    EXPECT_TRUE(items().itemsBackButton()->isVisibleTo(items().itemsBackButton()->parentWidget()));
    // A group of another project is ignored.
    Sample other;
    emit inspector->resourceGroupOpened(other.project, other.crew);
    emit inspector->resourceGroupOpened(sample.project, other.crew);
    EXPECT_EQ(shown(), QStringList{"Member"});

    // New resources join the open group; deleting the group returns the page to the top level.
    items().itemsViewNew();
    finishEventLoopTurn();
    EXPECT_EQ(sample.crew->subitems().size(), 2);
    sample.project->resources().removeOne(sample.crew);
    finishEventLoopTurn();
    EXPECT_EQ(items().itemsViewEditedResourceGroup(), nullptr);
    EXPECT_EQ(shown(), (QStringList{"Adam", "zoe"}));
}

// Two documents open side by side: what a card asks reaches its own items view only, and
// nothing of it goes out on the notification centre that every document hears.
TEST_F(ItemsViewTest, TwoOpenDocumentsDoNotHearEachOthersCards)
{
    Sample otherSample;
    const auto other = documentWithProject(otherSample.project);
    other->makeWindowControllers();
    other->mainWindow()->show();
    writeFile(path(QStringLiteral("plan.pdf")), "plan");
    writeFile(path(QStringLiteral("notes.txt")), "notes");
    ASSERT_TRUE(items().attachFilesToProject({path(QStringLiteral("plan.pdf"))}));
    ASSERT_TRUE(other->itemsView()->attachFilesToProject({path(QStringLiteral("notes.txt"))}));
    for (const auto &shownDocument : {document, other})
        shownDocument->showPageWithTag(DMPage::DocumentsPage);
    finishEventLoopTurn();
    const auto shownIn = [](const std::shared_ptr<DMProjectDocument> &in) {
        return titlesOf(in->itemsView()->itemsViewContentsArray());
    };
    const auto cardIn = [](const std::shared_ptr<DMProjectDocument> &in, int index) {
        return dynamic_cast<DMItemsViewDocumentsItem *>(in->itemsView()->itemsCollectionView()->itemAtIndex(index));
    };
    ASSERT_EQ(shownIn(document), (QStringList{"Project", "plan.pdf", "Tasks"}));
    ASSERT_EQ(shownIn(other), (QStringList{"Project", "notes.txt", "Tasks"}));
    ASSERT_TRUE(cardIn(document, 1) && cardIn(other, 0) && cardIn(other, 1));

    int broadcasts = 0;
    const DMNotificationObserver everything = DMNotificationCenter::defaultCenter().addObserver(
        QString(), nullptr, [&](const DMNotification &) { ++broadcasts; });
    // A double click opens the file of its own document, once.
    OpenedFiles opened;
    QTest::mouseDClick(cardIn(other, 1)->view(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(opened.paths, QStringList{path(QStringLiteral("notes.txt"))});
    QTest::mouseDClick(cardIn(document, 1)->view(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(opened.paths, (QStringList{path(QStringLiteral("notes.txt")), path(QStringLiteral("plan.pdf"))}));
    // A separator collapses its own page.
    cardIn(other, 0)->separatorDisclosureButton->click();
    EXPECT_EQ(shownIn(other), (QStringList{"Project", "Tasks"}));
    EXPECT_EQ(shownIn(document), (QStringList{"Project", "plan.pdf", "Tasks"}));
    EXPECT_EQ(broadcasts, 0);

    // The shared resource inspector opens the new group in the items view of its project only.
    for (const auto &shownDocument : {document, other})
        shownDocument->showPageWithTag(DMPage::ItemsResourcesPage);
    DMProjectResourceEditorController *inspector = DMProjectResourceEditorController::sharedInstance();
    inspector->setEditedObject(otherSample.zoe);
    inspector->resourceGroupsPopupCallback(2); // "Crew", the first group
    EXPECT_EQ(otherSample.zoe->parentItem(), otherSample.crew);
    EXPECT_EQ(other->itemsView()->itemsViewEditedResourceGroup(), otherSample.crew);
    EXPECT_EQ(items().itemsViewEditedResourceGroup(), nullptr);
    EXPECT_EQ(shownIn(document), (QStringList{"Adam", "Crew", "zoe"}));
}

TEST_F(ItemsViewTest, VCardDropsMakeOneResourceAndBadCardsNone)
{
    document->showPageWithTag(1);
    auto *view = items().itemsCollectionView();
    QMimeData card;
    card.setData(QStringLiteral("text/vcard"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\r\nN:;;;;\r\nORG:Acme Cranes\r\n"
                                               "TEL;TYPE=work:+44 1234\r\nEND:VCARD\r\n");
    const DMDraggingInfo info{&card, nullptr, Qt::CopyAction};
    EXPECT_EQ(items().dmCollectionViewDraggingEntered(view, info), Qt::CopyAction);
    const int before = steps();
    ASSERT_TRUE(items().dmCollectionViewPerformDragOperation(view, info));
    finishEventLoopTurn();
    EXPECT_EQ(steps(), before + 1);
    EXPECT_TRUE(document->isDocumentEdited());
    ASSERT_TRUE(shown().contains(QStringLiteral("Acme Cranes")));
    const auto made = std::dynamic_pointer_cast<DMProjectResource>(
        items().itemsViewContentsArray().at(shown().indexOf(QStringLiteral("Acme Cranes"))).object);
    EXPECT_EQ(made->attribute(kDMProjectResource_Phone).toString(), QStringLiteral("+44 1234"));

    QMimeData broken;
    broken.setData(QStringLiteral("text/vcard"), "BEGIN:VCARD\r\nVERSION:3.0\r\nORG:No end\r\n");
    EXPECT_FALSE(items().dmCollectionViewPerformDragOperation(view, {&broken, nullptr, Qt::CopyAction}));
    EXPECT_EQ(sample.project->resources().size(), 4);

    // Other pages and other views refuse.
    document->showPageWithTag(2);
    EXPECT_EQ(items().dmCollectionViewDraggingEntered(view, info), Qt::IgnoreAction);
    EXPECT_EQ(items().dmCollectionViewDraggingEntered(nullptr, info), Qt::IgnoreAction);
}

TEST_F(ItemsViewTest, DroppedFilesAreAttachedOnceEach)
{
    document->showPageWithTag(7);
    writeFile(path(QStringLiteral("plan.pdf")), "plan");
    writeFile(path(QStringLiteral("notes.txt")), "notes");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(path(QStringLiteral("plan.pdf"))), QUrl::fromLocalFile(path(QStringLiteral("notes.txt")))});
    auto *view = items().itemsCollectionView();
    ASSERT_TRUE(items().dmCollectionViewPerformDragOperation(view, {&files, nullptr, Qt::CopyAction}));
    finishEventLoopTurn();
    EXPECT_EQ(sample.project->attribute(kDMProject_AttachedDocuments).toList().size(), 2);
    EXPECT_EQ(shown(), (QStringList{"Project", "notes.txt", "plan.pdf", "Tasks"}));
    ASSERT_TRUE(items().dmCollectionViewPerformDragOperation(view, {&files, nullptr, Qt::CopyAction}));
    EXPECT_EQ(sample.project->attribute(kDMProject_AttachedDocuments).toList().size(), 2);

    // Collapsing the project separator hides its documents but keeps both separators.
    auto *separator = dynamic_cast<DMItemsViewDocumentsItem *>(view->itemAtIndex(0));
    ASSERT_NE(separator, nullptr);
    separator->separatorDisclosureButton->click();
    EXPECT_TRUE(items().documentsSeparator(true)->value(kDMItemsViewDocumentItem_SeparatorCollapsed).toBool());
    EXPECT_EQ(shown(), (QStringList{"Project", "Tasks"}));

    // Deleting a separator beeps and deletes nothing.
    const int beeps = DMBeep_count();
    items().itemsCollectionView()->setSelectionIndexes({0});
    items().itemsViewDelete();
    EXPECT_EQ(DMBeep_count(), beeps + 1);
}

TEST_F(ItemsViewTest, StoredDocumentNamesNeverLeaveTheDocumentsFolder)
{
    QVariantMap table;
    table.insert(QStringLiteral("a"), QVariantMap{{kDMProject_AttachedDocument_Path, QStringLiteral("../../etc/passwd")}});
    table.insert(QStringLiteral("b"), QVariantMap{{kDMProject_AttachedDocument_Path, QStringLiteral("plan.pdf")}});
    sample.project->setAttribute(kDMProject_AttachedDocumentsTable, table);
    document->setFileURL(path(QStringLiteral("Bridge.hy2")));
    const auto row = [](const char *key) {
        return QVariantMap{{kDMItemsViewDocumentItem_AttachedDocumentsTableKey, QString::fromLatin1(key)}};
    };
    EXPECT_EQ(items().pathForDocumentRow(row("a")), QString());
    EXPECT_TRUE(items().pathForDocumentRow(row("b")).endsWith(QStringLiteral("/Documents/plan.pdf")));
}

TEST(ItemsViewCards, DurationTextsAndProcessInfo)
{
    EXPECT_EQ(DMItemsViewItem::cardDurationText(90 * 60, 86400), QStringLiteral(" 1 hours 30 min"));
    EXPECT_EQ(DMItemsViewItem::cardDurationText(2 * 86400, 86400), QStringLiteral(" 2 days"));
    EXPECT_EQ(DMItemsViewItem::cardDurationText(86400 + 60, 10 * 3600), QStringLiteral(" 2 days 4 hours 1 min"));
    // A zero day length counts whole days of 24 hours instead of dividing by zero.
    EXPECT_EQ(DMItemsViewItem::cardDurationText(86400, 0), QStringLiteral(" 1 days"));
    EXPECT_EQ(DMItemsViewItem::cardDurationText(0, 86400), QString());

    DMItemsViewTotals totals;
    totals.tasks = 2;
    totals.milestones = 1;
    totals.processes = 2;
    EXPECT_EQ(DMItemsViewProcessesItem::processInfoText(totals), QStringLiteral("2 tasks, 1 milestones, 1 processes"));
    totals.processes = 1;
    totals.tasks = 0;
    EXPECT_EQ(DMItemsViewProcessesItem::processInfoText(totals), QStringLiteral("1 milestones"));
    EXPECT_EQ(DMProjectDocumentItemsView::sortButtonWidth(560, 7, {30, 120}), 136);
    EXPECT_EQ(DMProjectDocumentItemsView::sortButtonWidth(560, 7, {30}), 80);
}

} // namespace

TEST_F(ItemsViewTest, ResourcesExportedFromTheCardsImportBackAsOneUndoStep)
{
    document->showPageWithTag(1);
    const qsizetype resources = sample.project->resources().size();
    const qsizetype cards = items().itemsViewContentsArray().size();
    ui.savePanelPath = path(QStringLiteral("crew.xml"));
    items().itemsViewResourcesExport();
    ASSERT_TRUE(QFile::exists(ui.savePanelPath));
    EXPECT_TRUE(ui.alerts.isEmpty());

    const int before = steps();
    ui.openPanelPaths = {ui.savePanelPath};
    items().itemsViewResourcesImport();
    finishEventLoopTurn();
    EXPECT_EQ(sample.project->resources().size(), 2 * resources);
    EXPECT_EQ(items().itemsViewContentsArray().size(), 2 * cards);
    EXPECT_EQ(steps(), before + 1);
    document->undoManager()->undo();
    finishEventLoopTurn();
    EXPECT_EQ(sample.project->resources().size(), resources);
    EXPECT_EQ(items().itemsViewContentsArray().size(), cards);
}

namespace {

QPushButton *pageButton(DMProjectDocument &document, const QString &title)
{
    for (QPushButton *button : document.outlets().itemsContainerView->findChildren<QPushButton *>())
        if (button->text() == title)
            return button;
    return nullptr;
}

} // namespace

TEST_F(ItemsViewTest, ANewCardIsBroughtIntoViewSelectedThoughCardsAreMadeOnlyForThePlacesInSight)
{
    document->mainWindow()->resize(1100, 700);
    for (int i = 0; i < 80; ++i)
        sample.project->resources().append(sample.resource(QStringLiteral("Fitter %1").arg(i, 2, 10, QLatin1Char('0'))));
    document->showPageWithTag(1);
    finishEventLoopTurn();
    auto *view = items().itemsCollectionView();
    ASSERT_LT(view->visibleItems().size(), 40);

    // "New Resource" sorts after the fitters, far below the cards in sight.
    items().itemsViewNew();
    finishEventLoopTurn();
    const int index = int(shown().indexOf(QStringLiteral("New Resource")));
    ASSERT_EQ(index, 82);
    auto *card = dynamic_cast<DMItemsViewResourcesItem *>(view->itemAtIndex(index));
    ASSERT_NE(card, nullptr) << "the card was made: its place came into sight";
    EXPECT_TRUE(card->isSelected());
    EXPECT_TRUE(view->viewport()->rect().contains(card->view()->geometry()));
    EXPECT_EQ(card->nameField->text(), QStringLiteral("New Resource"));

    // A new to-do below the fold opens its editor: its card was there to be asked.
    for (int day = 1; day <= 30; ++day) {
        auto todo = std::make_shared<DMProjectTodo>();
        todo->setProject(sample.project);
        todo->setText(QStringLiteral("Call %1").arg(day));
        todo->setDate(at(2024, 4, day, 9));
        sample.project->todoContainer()->todos().append(todo);
    }
    document->showPageWithTag(5);
    finishEventLoopTurn();
    items().itemsViewNew();
    finishEventLoopTurn();
    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    const auto made = sample.project->todoContainer()->todos().last();
    EXPECT_EQ(editor->editedObject(), made);
    EXPECT_TRUE(editor->isShown());
    editor->close();
}

TEST_F(ItemsViewTest, DeleteAndEditActOnTheSelectedCardsOnlyAndEditOpensTheirDocumentsOrEditor)
{
    document->showPageWithTag(2);
    QPushButton *remove = pageButton(*document, QStringLiteral("Delete"));
    QPushButton *edit = pageButton(*document, QStringLiteral("Edit"));
    ASSERT_TRUE(remove && edit);
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(edit->isEnabled());
    auto *view = items().itemsCollectionView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->frameForItemAtIndex(1).center());
    EXPECT_EQ(view->selectionIndexes(), QList<int>{1});
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_TRUE(edit->isEnabled());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(view->viewport()->width() - 2, view->viewport()->height() - 2));
    EXPECT_FALSE(remove->isEnabled()) << "a click beside the cards empties the selection";

    // Edit opens every selected document with the desktop's application.
    OpenedFiles opened;
    writeFile(path(QStringLiteral("plan.pdf")), "plan");
    writeFile(path(QStringLiteral("notes.txt")), "notes");
    ASSERT_TRUE(items().attachFilesToProject({path(QStringLiteral("plan.pdf")), path(QStringLiteral("notes.txt"))}));
    document->showPageWithTag(7);
    view->setSelectionIndexes({1, 2});
    edit->click();
    EXPECT_EQ(opened.paths, (QStringList{path(QStringLiteral("notes.txt")), path(QStringLiteral("plan.pdf"))}));

    // On the to-do page it edits the selected to-do.
    auto todo = std::make_shared<DMProjectTodo>();
    todo->setProject(sample.project);
    todo->setText(QStringLiteral("Order bolts"));
    sample.project->todoContainer()->todos().append(todo);
    document->showPageWithTag(5);
    finishEventLoopTurn();
    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    view->setSelectionIndexes({0}); // choosing the card asks it to edit as well
    editor->close();
    edit->click();
    EXPECT_EQ(editor->editedObject(), todo);
    EXPECT_TRUE(editor->isShown());
    editor->close();
}

TEST_F(ItemsViewTest, LinksSortByStyleDocumentsBySizeAndTypeTasksByCost)
{
    // Style first, then an arrow before none.
    sample.pour->addOutboundDependencyToItem(sample.handover); // style 0
    sample.brace->outboundDependencies().first()->setLinkStyle(1);
    const auto audit = sample.audit->outboundDependencies().first();
    audit->setLinkStyle(1);
    audit->setHasArrow(false);
    finishEventLoopTurn();
    document->showPageWithTag(8);
    sortBy(2);
    EXPECT_EQ(shown(), (QStringList{"pour>Handover", "brace>pour", "Audit>Handover"}));

    document->showPageWithTag(2);
    const std::pair<std::shared_ptr<DMProjectTask>, double> costs[] = {
        {sample.pour, 300}, {sample.audit, 100}, {sample.brace, 200}, {sample.again, 0}};
    for (const auto &[task, cost] : costs)
        task->setAttribute(kDMProjectItem_Cost, cost);
    sortBy(5);
    EXPECT_EQ(shown(), (QStringList{"AUDIT", "Audit", "brace", "pour"}));

    writeFile(path(QStringLiteral("c.png")), QByteArray(50, 'c'));
    writeFile(path(QStringLiteral("b.txt")), QByteArray(10, 'b'));
    writeFile(path(QStringLiteral("a.pdf")), QByteArray(300, 'a'));
    ASSERT_TRUE(items().attachFilesToProject(
        {path(QStringLiteral("c.png")), path(QStringLiteral("b.txt")), path(QStringLiteral("a.pdf"))}));
    document->showPageWithTag(7);
    sortBy(1);
    EXPECT_EQ(shown(), (QStringList{"Project", "b.txt", "c.png", "a.pdf", "Tasks"}));
    sortBy(2); // "PDF document", "plain text document", "PNG image"
    EXPECT_EQ(shown(), (QStringList{"Project", "a.pdf", "b.txt", "c.png", "Tasks"}));
}

TEST_F(ItemsViewTest, AResourceFileThatCannotBeWrittenOrReadIsToldAndChangesNothing)
{
    document->showPageWithTag(1);
    ui.savePanelPath = path(QStringLiteral("no such folder/crew.xml"));
    items().itemsViewResourcesExport();
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.at(0).messageText, QStringLiteral("Unable to write the file"));
    EXPECT_TRUE(ui.alerts.at(0).informativeText.startsWith(QStringLiteral("An error occured while writing the file.\n")));
    EXPECT_FALSE(QFile::exists(ui.savePanelPath));

    const QVariantMap before = sample.project->dictionaryRepresentation();
    writeFile(path(QStringLiteral("notes.xml")), "<notes>not a property list</notes>");
    ui.openPanelPaths = {path(QStringLiteral("notes.xml"))};
    items().itemsViewResourcesImport();
    ASSERT_EQ(ui.alerts.size(), 2);
    EXPECT_EQ(ui.alerts.at(1).messageText, QStringLiteral("Not a Halcyra 2 resource file."));
    EXPECT_EQ(ui.alerts.at(1).informativeText, QStringLiteral("This file does not seem to be containing Halcyra 2 exported resources."));
    EXPECT_EQ(sample.project->dictionaryRepresentation(), before);
    EXPECT_EQ(steps(), 0);
    EXPECT_FALSE(document->isDocumentEdited());
}

