// The document window's pages: the source list and the View menu choose them, with the view mode
// the page needs; the badges follow the project; the toolbar's search and the inspector command
// reach the Gantt chart.
#include "DocumentTestSupport.h"
#include "../gantt/FakeInspector.h"

#include "DMCollapsingSplitview.h"
#include "DMGanttUIObjectFactory.h"
#include "DMInspectorWindow.h"
#include "DMOutlineView.h"
#include "DMPreferenceKeys.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectEventsOutlineViewDS.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewObjectEditor.h"
#include "DMSearchField.h"
#include "DMUIProjectItem.h"
#include "DMUIProjectTaskInspectorController.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QScreen>
#include <QGuiApplication>

using namespace halcyra::test;
using DS = DMProjectDocumentSourceListOutlineDS;

namespace {

class SourceListPagesTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel(); // the items' bars
        full = makeFullProject(); // saved in the resource view (mode 1)
        document = documentWithProject(full.project);
        document->showWindows();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(document->mainWindow()));
    }

    DMOutlineView *list() const { return document->outlets().sourceListOutlineView; }
    DS *controller() const { return document->sourceListDS(); }
    QWidget *shownPage() const
    {
        return qobject_cast<QStackedWidget *>(document->outlets().topLevelContentSplitSubview.data())->currentWidget();
    }
    // The title of the empty page shown for a page not built yet; null when another page shows.
    QString emptyPageTitle() const
    {
        const auto *title = shownPage()->findChild<QLabel *>(QStringLiteral("emptyPageTitle"));
        return title ? title->text() : QString();
    }
    int viewMode() const { return full.project->attribute(kDMProject_ViewMode).toInt(); }
    void clickRow(int row)
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->rectOfRow(row).center() - list()->contentOffset());
    }

    FullProject full;
    std::shared_ptr<DMProjectDocument> document;
};

TEST_F(SourceListPagesTest, EveryRowShowsItsPageWithTheViewModeItNeeds)
{
    // The window opens on the Gantt area in the project's mode, with that row chosen.
    EXPECT_EQ(document->currentPageTag(), 9);
    EXPECT_EQ(controller()->selectedTag(), 9);
    EXPECT_EQ(shownPage(), document->outlets().projectContainer);

    QWidget *gantt = document->outlets().projectContainer;
    QWidget *report = document->outlets().reportContainerView;
    QWidget *settings = document->outlets().projectSettingsView;
    QWidget *daysOff = document->outlets().daysOffSettingsController->containerView();
    QWidget *tasks = document->projectItemsOutlineViewDS()->containerView();
    QWidget *resources = document->projectResourcesOutlineViewDS()->containerView();
    QWidget *events = document->projectEventsOutlineViewDS()->containerView();
    QWidget *cards = document->outlets().itemsContainerView;
    const struct
    {
        int tag;
        QWidget *page; // null: the empty page with the row's title
        int viewMode;  // -1: left as it was
    } rows[] = {{12, settings, -1}, {14, daysOff, -1}, {10, gantt, 0}, {17, tasks, -1}, {9, gantt, 1},
                {18, resources, -1}, {11, report, 2},  {6, events, -1},  {19, report, 2},   {10, gantt, 0},
                {7, cards, -1},  {20, report, 2}};
    int mode = viewMode();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.tag);
        choose(document, row.tag);
        EXPECT_EQ(document->currentPageTag(), row.tag);
        if (row.page) {
            EXPECT_EQ(shownPage(), row.page);
        } else {
            EXPECT_EQ(emptyPageTitle(), DS::pageTitleForTag(row.tag));
        }
        mode = row.viewMode >= 0 ? row.viewMode : mode;
        EXPECT_EQ(viewMode(), mode);
        const bool ganttControls = row.tag == 9 || row.tag == 10;
        finishEventLoopTurn(); // the toolbar lays itself out
        EXPECT_EQ(document->outlets().todayButtonTBItem->isVisible(), ganttControls);
        EXPECT_EQ(document->outlets().projectViewSearchField->isVisible(), ganttControls);
    }
    // Choosing a page is no edit; a report's mode empties the project outline.
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(document->outlets().projectOutlineView->numberOfRows(), 0);
    EXPECT_EQ(document->report()->shownPageTag(), 20);

    // A header leaves the page as it is; leaving the report area lets go of its report.
    clickRow(0);
    EXPECT_EQ(document->currentPageTag(), 20);
    EXPECT_EQ(controller()->selectedTag(), 20);
    choose(document, DMPage::DaysOffPage);
    EXPECT_EQ(document->report()->shownPageTag(), 0);
}

TEST_F(SourceListPagesTest, TheViewMenuChoosesTheRowOfEveryTag)
{
    const QList<QPair<int, int>> menuTags = {{3001001, 18}, {3001002, 17}, {3001003, 3}, {3001004, 4},
                                             {3001005, 5},  {3001006, 6},  {3001007, 7},  {3001008, 8},
                                             {3002001, 9},  {3002002, 10}, {3002003, 11}, {3002004, 19},
                                             {3002005, 20}};
    for (const auto &[menuTag, page] : menuTags) {
        SCOPED_TRACE(menuTag);
        QAction *action = viewMenuAction(document->mainWindow(), menuTag);
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(document->currentPageTag(), page);
        // Milestones, processes, to-dos and links have no row: none is selected, and their cards show.
        const bool hasRow = page != 3 && page != 4 && page != 5 && page != 8;
        EXPECT_EQ(controller()->selectedTag(), hasRow ? page : 0);
        if (!hasRow) {
            EXPECT_EQ(shownPage(), document->outlets().itemsContainerView.data());
        }
        // Milestones and processes show alone.
        if (page == 3 || page == 4) {
            const auto cards = document->itemsView()->itemsViewContentsArray();
            ASSERT_FALSE(cards.isEmpty());
            for (const DMItemsViewObject &card : cards)
                EXPECT_EQ(std::dynamic_pointer_cast<DMProjectItem>(card.object)->kind(),
                          page == 3 ? kDMProjectItem_Kind_Milestone : kDMProjectItem_Kind_Process);
        }
    }

    // The source list collapses and comes back at its width.
    DMCollapsingSplitview *split = document->outlets().sourceListSplitview;
    const int width = split->sizes().first();
    EXPECT_GT(width, 100);
    menuAction(document->mainWindow(), {QStringLiteral("View"), QStringLiteral("Hide Source List")})->trigger();
    EXPECT_EQ(split->sizes().first(), 0);
    menuAction(document->mainWindow(), {QStringLiteral("View"), QStringLiteral("Hide Source List")})->trigger();
    EXPECT_EQ(split->sizes().first(), width);
}

TEST_F(SourceListPagesTest, BadgesFollowItemsAddedDeletedAndUndone)
{
    DS *badges = controller();
    EXPECT_EQ(badges->badgeTextForTag(17), QStringLiteral("6")); // every level of the item tree
    EXPECT_EQ(badges->badgeTextForTag(18), QStringLiteral("3"));
    EXPECT_EQ(badges->badgeTextForTag(6), QStringLiteral("2"));
    const int documents = badges->badgeTextForTag(7).toInt(); // the tasks' attached documents

    document->insertObjectFromDictionnariesInItemNextTo(document->dictionaryForObjects({full.task1}), nullptr, nullptr);
    finishEventLoopTurn();
    EXPECT_EQ(badges->badgeTextForTag(17), QStringLiteral("7"));
    document->deleteItems({full.process}); // with its four items below
    finishEventLoopTurn();
    EXPECT_EQ(badges->badgeTextForTag(17), QStringLiteral("2"));
    document->undoManager()->undo();
    EXPECT_EQ(badges->badgeTextForTag(17), QStringLiteral("7"));

    // The documents array has its two separators besides the documents; only documents count.
    QVariantMap table = document->project()->attribute(kDMProject_AttachedDocumentsTable).toMap();
    table.insert(QStringLiteral("k1"), QVariantMap{{QStringLiteral("name"), QStringLiteral("plan.pdf")}});
    document->project()->setAttribute(kDMProject_AttachedDocumentsTable, table);
    QVariantList attached = document->project()->attribute(kDMProject_AttachedDocuments).toList();
    attached.append(QStringLiteral("k1"));
    document->project()->setAttribute(kDMProject_AttachedDocuments, attached);
    finishEventLoopTurn();
    EXPECT_EQ(badges->badgeTextForTag(7), QString::number(documents + 1));

    // A file attached to a task in its inspector counts at once, and goes with an undo.
    DMUserDefaults::standardUserDefaults().setBoolForKey(true, kDMDoNotShowDocumentCopyAlert);
    writeFile(path(QStringLiteral("quote.pdf")), "quote");
    document->viewMenuCallback(3002002);
    std::dynamic_pointer_cast<DMProjectViewObject>(full.task2->ganttUIObject())->editInView(document->projectView());
    DMUIProjectTaskInspectorController::sharedInstance()->addAttachedDocuments({path(QStringLiteral("quote.pdf"))});
    DMUIProjectTaskInspectorController::sharedInstance()->editObject(nullptr);
    finishEventLoopTurns();
    EXPECT_EQ(badges->badgeTextForTag(7), QString::number(documents + 2));
    document->undoManager()->undo();
    finishEventLoopTurns();
    EXPECT_EQ(badges->badgeTextForTag(7), QString::number(documents + 1));
}

TEST_F(SourceListPagesTest, ChoosingASearchResultSelectsItOnTheCanvasWithItsInspector)
{
    gantttest::FakeInspector inspector(DMProjectViewObjectEditor::kTaskInspectorClass);
    DMSearchField *field = document->outlets().projectViewSearchField;
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->dataSource(), document.get());
    QTest::keyClicks(field, QStringLiteral("surv"));
    ASSERT_TRUE(field->isResultsWindowVisible());
    QTableView *results = field->resultsTableView();
    ASSERT_EQ(results->model()->rowCount(), 2); // "Survey" and "Survey done"
    EXPECT_FALSE(results->model()->index(0, 0).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(results->model()->index(0, 1).data().toString(), QStringLiteral("Survey"));

    // Chosen from the resource view: the Gantt view shows the item's bar selected, its collapsed
    // process expanded.
    results->selectRow(0);
    EXPECT_FALSE(field->isResultsWindowVisible());
    EXPECT_EQ(document->currentPageTag(), 10);
    const auto &selected = document->projectView()->selectedObjects();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first(), std::dynamic_pointer_cast<DMBaseObject>(full.task1->ganttUIObject()));
    EXPECT_EQ(inspector.edited, dynamic_cast<DMProjectViewObject *>(selected.first().get()));
    EXPECT_EQ(inspector.shown, 1);
    EXPECT_TRUE(document->outlets().projectOutlineView->isItemExpanded(full.process.get()));
    EXPECT_TRUE(dynamic_cast<DMUIProjectItem *>(selected.first().get())->isDisplayed());

    // Events are found too.
    field->clear();
    QTest::keyClicks(field, QStringLiteral("AUDIT"));
    ASSERT_EQ(field->searchResults().size(), 1);
    results->selectRow(0);
    EXPECT_EQ(document->projectView()->selectedObjects().first(),
              std::dynamic_pointer_cast<DMBaseObject>(full.event2->ganttUIObject()));
}

TEST_F(SourceListPagesTest, ShowInspectorOpensTheSelectedRowsInspectorOnAListPageOnly)
{
    gantttest::FakeInspector inspector(DMProjectViewObjectEditor::kTaskInspectorClass);
    document->viewMenuCallback(3002002);
    DMOutlineView *outline = document->outlets().projectOutlineView;
    auto paint = makeItem<DMProjectTask>(full.project, QStringLiteral("Paint"), at(2024, 4, 2, 8), at(2024, 4, 3, 18));
    full.project->tasks().append(paint);
    document->reloadViews();
    const int row = document->projectOutlineRowForObject(paint.get());
    ASSERT_GE(row, 0);
    outline->selectRowIndexesByExtendingSelection({row}, false);
    document->showInspectorForSelectedItem();
    EXPECT_EQ(inspector.shown, 1);
    EXPECT_EQ(inspector.edited, dynamic_cast<DMProjectViewObject *>(paint->ganttUIObject().get()));

    // On the chart, an event bar selected there has no outline row: its own inspector opens.
    gantttest::FakeInspector eventInspector(QStringLiteral("DMUIProjectEventInspectorController"));
    const auto eventBar = std::dynamic_pointer_cast<DMBaseObject>(full.event2->ganttUIObject());
    document->projectView()->selectObjectInLayerExtendSelection(eventBar, kDMProjectViewLayer_Items, false);
    ASSERT_EQ(document->projectView()->selectedObjects().size(), 1);
    document->showInspectorForSelectedItem();
    EXPECT_EQ(eventInspector.shown, 1);
    EXPECT_EQ(eventInspector.edited, dynamic_cast<DMProjectViewObject *>(eventBar.get()));
    EXPECT_EQ(inspector.shown, 1);

    // Another page empties the inspector, and the command does nothing there.
    document->viewMenuCallback(3002003);
    EXPECT_EQ(inspector.edited, nullptr);
    document->showInspectorForSelectedItem();
    EXPECT_EQ(inspector.shown, 1);
}

TEST_F(SourceListPagesTest, AnInspectorWithNothingToShowStepsAsideFromThePageAndComesBackWithTheNextObject)
{
    QWidget *inspector = DMInspectorWindow::sharedWindow();
    const auto barOf = [](const std::shared_ptr<DMProjectItem> &item) {
        return std::dynamic_pointer_cast<DMProjectViewObject>(item->ganttUIObject());
    };
    const auto select = [&](const std::shared_ptr<DMProjectItem> &item) {
        document->projectView()->selectObjectInLayerExtendSelection(barOf(item), kDMProjectViewLayer_Items, false);
        finishEventLoopTurns();
    };
    choose(document, DMPage::GanttPage);
    barOf(full.task2)->editInView(document->projectView());
    ASSERT_TRUE(inspector->isVisible());

    // Every report page, and a list: the inspector, emptied, is not over them.
    for (const int tag : {DMPage::GlobalReportPage, DMPage::TasksByResourcePage, DMPage::TasksByProcessesPage, DMPage::TasksPage}) {
        SCOPED_TRACE(tag);
        choose(document, tag);
        finishEventLoopTurns();
        EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
        EXPECT_FALSE(inspector->isVisible());
    }
    // Back on the chart, the next bar chosen brings it back, showing that bar's item.
    choose(document, DMPage::GanttPage);
    EXPECT_FALSE(inspector->isVisible());
    select(full.task1);
    EXPECT_TRUE(inspector->isVisible());
    EXPECT_EQ(DMUIProjectTaskInspectorController::sharedInstance()->editedObject(), barOf(full.task1));

    // One the user closed stays closed.
    inspector->close();
    choose(document, DMPage::GlobalReportPage);
    choose(document, DMPage::GanttPage);
    select(full.task2);
    EXPECT_FALSE(inspector->isVisible());
}

} // namespace
