// The project outline's rows as the canvas follows them: the events row first, the item tree or
// the resource tree, expansion kept in the model, row heights from the lanes.
#include "DocumentTestSupport.h"

#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectOutlineDataSource.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"

#include <QAbstractItemModelTester>

using namespace halcyra::test;

namespace {

class ProjectOutlineDataSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        project = DMProject::create();
        process = std::make_shared<DMProjectProcess>();
        process->setProject(project);
        process->setTitle("Phase");
        process->setBeginDateAndEndDate(DMDate(2024, 1, 1, 8 * 3600), DMDate(2024, 1, 5, 18 * 3600));
        project->tasks().append(process);
        for (const char *title : {"One", "Two"}) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            task->setTitle(title);
            task->setBeginDateAndEndDate(DMDate(2024, 1, 2, 8 * 3600), DMDate(2024, 1, 2, 18 * 3600));
            process->subitems().append(task);
        }
        source.setProject(project);
        DMProjectOutlineDataSource::configureOutlineView(&outline);
        outline.setDataSource(&source);
        outline.setDelegate(&source);
        tester = std::make_unique<QAbstractItemModelTester>(outline.outlineModel(),
                                                            QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    QStringList titles() const
    {
        QStringList shown;
        for (int row = 0; row < outline.numberOfRows(); ++row)
            shown.append(outline.outlineModel()->data(outline.outlineModel()->indexForRow(row)).toString());
        return shown;
    }

    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectProcess> process;
    DMProjectOutlineDataSource source;
    DMOutlineView outline;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(ProjectOutlineDataSourceTest, TheEventsRowComesFirstThenTheItemTree)
{
    EXPECT_EQ(titles(), (QStringList{"Events", "Phase"}));
    EXPECT_EQ(source.objectForItem(outline.itemAtRow(0)), project->eventContainer());
    outline.expandItem(process.get());
    EXPECT_EQ(titles(), (QStringList{"Events", "Phase", "One", "Two"}));
    EXPECT_TRUE(process->attribute(kDMProjectItem_GanttView_NodeIsExpanded).toBool());
    // A view setting: no undo step.
    EXPECT_FALSE(project->undoManager());
    outline.collapseItem(process.get());
    EXPECT_FALSE(process->attribute(kDMProjectItem_GanttView_NodeIsExpanded).toBool());
    EXPECT_EQ(outline.numberOfRows(), 2);
}

TEST_F(ProjectOutlineDataSourceTest, RestoringExpandsOnlyWhatTheModelSays)
{
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
    source.reloadAndRestoreExpansionState(&outline);
    EXPECT_EQ(outline.numberOfRows(), 4);
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, false);
    source.reloadAndRestoreExpansionState(&outline);
    EXPECT_EQ(outline.numberOfRows(), 2);
    // Outside a restore, the user's expansion is always allowed.
    EXPECT_TRUE(source.outlineViewShouldExpandItem(&outline, process.get()));
    EXPECT_FALSE(source.isRestoringState());
}

TEST_F(ProjectOutlineDataSourceTest, RowHeightsFollowTheLanesOfTheEventsAndResourceRows)
{
    for (int i = 0; i < 3; ++i) {
        auto event = std::make_shared<DMProjectEvent>();
        event->setProject(project);
        event->setBeginDateAndEndDate(DMDate(2024, 1, 2, 9 * 3600), DMDate(2024, 1, 3, 9 * 3600));
        project->eventContainer()->events().append(event);
    }
    outline.reloadData();
    EXPECT_EQ(outline.outlineModel()->heightOfRow(0), 3 * outline.rowHeight());
    EXPECT_EQ(outline.outlineModel()->heightOfRow(1), outline.rowHeight());

    auto alice = std::make_shared<DMProjectResource>();
    alice->setProject(project);
    alice->setName("Alice");
    project->resources().append(alice);
    for (const auto &task : process->subitems())
        std::static_pointer_cast<DMProjectTask>(task)->addResource(alice);
    project->setAttribute(kDMProject_ViewMode, 1);
    outline.reloadData();
    EXPECT_EQ(titles(), (QStringList{"Events", "Alice"}));
    EXPECT_EQ(outline.outlineModel()->heightOfRow(1), std::max(1, alice->subRowCount()) * outline.rowHeight());

    project->setAttribute(kDMProject_ViewMode, 2);
    outline.reloadData();
    EXPECT_EQ(outline.numberOfRows(), 0);
}

TEST_F(ProjectOutlineDataSourceTest, TheEventsRowIsNeverSelectedAndGoneObjectsResolveToNothing)
{
    EXPECT_EQ(source.outlineViewSelectionIndexesForProposedSelection(&outline, {0, 1}), QList<int>{1});
    EXPECT_FALSE(source.outlineViewShouldSelectItem(&outline, project->eventContainer().get()));
    outline.expandItem(process.get());
    const DMOutlineItem two = outline.itemAtRow(3);
    ASSERT_TRUE(source.objectForItem(two));
    process->subitems().removeAt(1); // no undo manager keeps it
    EXPECT_FALSE(source.objectForItem(two));
    EXPECT_FALSE(source.objectForItem(nullptr));
}
