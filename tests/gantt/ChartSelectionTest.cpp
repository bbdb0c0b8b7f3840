// The chart's selection and the inspector beside it as the user meets them: what leaves the
// project (an undone drawing or paste, a delete on another page) leaves the selection, the Edit
// menu and the inspector with it, and the inspector shows what is selected or says that nothing is.
#include "InspectorTestSupport.h"

#include "../document/CanvasSelectionTestSupport.h"
#include "DMObjectViewDragOperation.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "MenuTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace gantttest;

namespace {

class ChartSelectionTest : public InspectorTest
{
protected:
    void SetUp() override
    {
        InspectorTest::SetUp();
        QGuiApplication::clipboard()->clear();
    }

    QMenu *editMenu() const
    {
        QAction *edit = halcyra::test::menuAction(document->mainWindow(), {QStringLiteral("Edit")});
        return edit ? edit->menu() : nullptr;
    }
    // By its title; Undo by the start of its title, which names the step once the menu opened.
    // A missing command fails the test and stands as one that does nothing.
    QAction *editCommand(const QString &title) const
    {
        QMenu *menu = editMenu();
        for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
            const QString shown = halcyra::test::shownMenuTitle(action);
            if (shown == title || shown.startsWith(title + QLatin1Char(' ')))
                return action;
        }
        ADD_FAILURE() << "no Edit command " << title.toStdString();
        return noCommand.get();
    }
    // The commands of the Edit menu shown enabled when it opens now.
    QStringList enabledEditCommands() const
    {
        QStringList enabled;
        QMenu *menu = editMenu();
        emit menu->aboutToShow();
        for (const char *title : {"Cut", "Copy", "Delete"})
            if (editCommand(QLatin1String(title))->isEnabled())
                enabled.append(QLatin1String(title));
        emit menu->aboutToHide();
        return enabled;
    }
    void undoFromMenu()
    {
        editCommand(QStringLiteral("Undo"))->trigger();
        halcyra::test::finishEventLoopTurn();
    }
    static QString inspectorMessage() { return DMInspectorWindow::sharedWindow()->message(); }
    const std::unique_ptr<QAction> noCommand = std::make_unique<QAction>();
    void expectNothingSelected()
    {
        EXPECT_TRUE(canvas()->selectedObjects().isEmpty());
        EXPECT_TRUE(halcyra::test::everySelectedCanvasObjectIsInProject(*document));
        EXPECT_TRUE(enabledEditCommands().isEmpty()) << enabledEditCommands().join(' ').toStdString();
        EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
        EXPECT_EQ(inspectorMessage(), QStringLiteral("No Selection"));
        clock.advance(100);
        EXPECT_TRUE(outline()->selectedRowIndexes().isEmpty());
    }
};

} // namespace

TEST_F(ChartSelectionTest, AnUndoneDrawingOrPasteLeavesNothingSelectedToCopyBack)
{
    addTask("Existing", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    open();
    dragInTurns(QPointF(xOf(8, 10), freeY()), QPointF(xOf(10, 12), freeY()));
    clock.advance(100);
    const auto drawn = itemsTitled(QStringLiteral("New Task"));
    ASSERT_EQ(drawn.size(), 1);
    ASSERT_EQ(canvas()->selectedObjects(), DMBaseObjectList{barOf(drawn.first())});
    EXPECT_EQ(enabledEditCommands(), (QStringList{"Cut", "Copy", "Delete"}));
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), DMUIProjectTaskInspectorController::sharedInstance()->containerView());

    // Undo "New Task": its bar is no longer selected, so Copy and Paste bring nothing back.
    undoFromMenu();
    ASSERT_TRUE(itemsTitled(QStringLiteral("New Task")).isEmpty());
    expectNothingSelected();
    editCommand(QStringLiteral("Copy"))->trigger();
    editCommand(QStringLiteral("Paste"))->trigger();
    halcyra::test::finishEventLoopTurn();
    EXPECT_TRUE(itemsTitled(QStringLiteral("New Task")).isEmpty());
    EXPECT_EQ(project->tasks().size(), 1);

    // A pasted copy, selected by a click, goes out of the selection when its paste is undone;
    // the original stays where it was, unselected.
    const auto existing = project->tasks().first();
    clickInTurns(barOf(existing)->frame().center());
    editCommand(QStringLiteral("Copy"))->trigger();
    editCommand(QStringLiteral("Paste"))->trigger();
    document->reloadViews();
    halcyra::test::finishEventLoopTurn();
    ASSERT_EQ(project->tasks().size(), 2);
    const auto pasted = project->tasks().first() == existing ? project->tasks().last() : project->tasks().first();
    clickInTurns(barOf(pasted)->frame().center());
    ASSERT_EQ(canvas()->selectedObjects(), DMBaseObjectList{barOf(pasted)});
    undoFromMenu();
    ASSERT_EQ(project->tasks().size(), 1);
    expectNothingSelected();
    EXPECT_FALSE(barOf(existing)->isSelected());
}

TEST_F(ChartSelectionTest, AnItemDeletedFromTheTaskListLeavesTheChartSelection)
{
    auto survey = addTask("Survey", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto build = addTask("Build", at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    open();
    // Both bars selected on the chart; the task list deletes one of them.
    clickInTurns(barOf(survey)->frame().center());
    mouse(QEvent::MouseButtonPress, barOf(build)->frame().center(), Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, barOf(build)->frame().center(), Qt::NoButton, Qt::ShiftModifier);
    ASSERT_EQ(canvas()->selectedObjects().size(), 2);
    document->showPageWithTag(DMPage::TasksPage);
    DMProjectItemsOutlineViewDS *list = document->projectItemsOutlineViewDS();
    DMOutlineView *rows = list->outlineView();
    rows->selectRowIndexesByExtendingSelection({rows->rowForItem(survey.get())}, false);
    list->deleteSelectedItems();
    halcyra::test::finishEventLoopTurn();
    ASSERT_FALSE(survey->isAttached());

    // Back on the chart only the bar still in the project is selected, and it is inspected.
    document->showPageWithTag(DMPage::GanttPage);
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{barOf(build)});
    EXPECT_TRUE(halcyra::test::everySelectedCanvasObjectIsInProject(*document));
    EXPECT_EQ(DMUIProjectTaskInspectorController::sharedInstance()->editedObject(), barOf(build));
    clock.advance(100);
    EXPECT_EQ(outline()->selectedRowIndexes(), QList<int>{outline()->rowForItem(build.get())});

    // Undone, the deleted task is back, and not selected behind the user's back.
    undoFromMenu();
    ASSERT_TRUE(survey->isAttached());
    EXPECT_FALSE(barOf(survey)->isSelected());
}

TEST_F(ChartSelectionTest, TheInspectorShowsTheObjectSelectedOnTheChart)
{
    auto first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto second = addTask("Second", at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    open();
    auto *taskInspector = DMUIProjectTaskInspectorController::sharedInstance();
    auto *linkInspector = DMUIProjectDependencyInspectorController::sharedInstance();

    // First selected, then a link drawn from its end handle onto Second: the new link is what
    // is selected and inspected.
    clickInTurns(barOf(first)->frame().center());
    const QPointF handle = std::dynamic_pointer_cast<DMUIProjectTask>(barOf(first))->dependencyStartRect().center();
    dragInTurns(handle, barOf(second)->frame().center());
    clock.advance(100);
    const auto link = first->outboundDependencyToItem(second.get());
    ASSERT_TRUE(link);
    const auto line = std::dynamic_pointer_cast<DMBaseObject>(link->ganttUIObject());
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{line});
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), linkInspector->containerView());
    EXPECT_TRUE(DMInspectorWindow::sharedWindow()->isVisible());

    // A click on First's bar shows First in the task inspector.
    clickInTurns(barOf(first)->frame().center());
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{barOf(first)});
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), taskInspector->containerView());
    EXPECT_EQ(taskInspector->editedObject(), barOf(first));
    EXPECT_EQ(taskInspector->titleField()->text(), QStringLiteral("First"));
    EXPECT_EQ(inspectorMessage(), QString());

    // Drawn again and undone: nothing stays highlighted, and the inspector says so.
    undoFromMenu();
    ASSERT_FALSE(first->outboundDependencyToItem(second.get()));
    dragInTurns(handle, barOf(second)->frame().center());
    clock.advance(100);
    ASSERT_TRUE(first->outboundDependencyToItem(second.get()));
    undoFromMenu();
    ASSERT_FALSE(first->outboundDependencyToItem(second.get()));
    EXPECT_FALSE(barOf(first)->isSelected());
    expectNothingSelected();

    // Two bars: the inspector edits neither and says why.
    clickInTurns(barOf(first)->frame().center());
    mouse(QEvent::MouseButtonPress, barOf(second)->frame().center(), Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, barOf(second)->frame().center(), Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
    EXPECT_EQ(inspectorMessage(), QStringLiteral("Multiple Selection"));
}

TEST_F(ChartSelectionTest, AnAssignmentTakenOffLeavesTheResourceViewSelection)
{
    auto eve = addResource("Eve Ford");
    auto sort = addTask("Sort files", at(2024, 1, 2, 8), at(2024, 1, 2, 18));
    sort->addResource(eve);
    project->setAttribute(kDMProject_ViewMode, 1);
    open();
    const auto bar = std::dynamic_pointer_cast<DMBaseObject>(sort->resourceUIObject(eve.get()));
    ASSERT_TRUE(bar);
    canvas()->setSelectedObjectsInLayer({bar}, kDMObjectView_AllLayers);
    halcyra::test::finishEventLoopTurn();
    ASSERT_EQ(canvas()->selectedObjects(), DMBaseObjectList{bar});

    // The task and the resource stay; the bar of Eve's work on the task goes, and its selection.
    sort->removeResource(eve);
    halcyra::test::finishEventLoopTurn();
    expectNothingSelected();
}
