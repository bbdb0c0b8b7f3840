// The project outline's rows: the events row first, the item tree or the resource tree, the
// expansion state kept in the model, row heights from the lanes, and what may be selected.
#include "ProjectOutlineTestSupport.h"

#include <QAbstractItemModelTester>

using namespace outlinetest;

TEST_F(ProjectOutlineTest, AProjectWithoutItemsShowsTheEventsRowWhichCannotBeSelectedDraggedOrDroppedAbove)
{
    QAbstractItemModelTester tester(outline.outlineModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
    reload();
    EXPECT_EQ(rows(), QStringList{"Events"});
    EXPECT_EQ(value(0, QStringLiteral("title")), QString()) << "the events row has no values";
    EXPECT_FALSE(value(0, QStringLiteral("icon")).isValid());

    QTest::mouseClick(outline.viewport(), Qt::LeftButton, {}, cellCentre(QStringLiteral("title"), 0));
    EXPECT_EQ(outline.selectedRowIndexes(), QList<int>{});
    QMimeData data;
    EXPECT_FALSE(controller->outlineViewWriteItemsToPasteboard(&outline, {project->eventContainer().get()}, &data));
    EXPECT_TRUE(data.formats().isEmpty());

    auto task = add("Task");
    reload();
    const auto drag = dragOf(task.get());
    EXPECT_EQ(drag->formats(), QStringList{DMProjectOutlineDragPayload::kType}) << "the outline's type only";
    EXPECT_EQ(validate(*drag, nullptr, 0), Qt::IgnoreAction) << "above the events row";
    EXPECT_EQ(validate(*drag, project->eventContainer().get(), -1), Qt::IgnoreAction) << "onto the events row";
    EXPECT_EQ(validate(*drag, project->eventContainer().get(), 0), Qt::IgnoreAction) << "into the events row";
    // The user's selection loses row 0; the program's is the canvas's business.
    QTest::mouseClick(outline.viewport(), Qt::LeftButton, {}, cellCentre(QStringLiteral("title"), 1));
    QTest::mouseClick(outline.viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(QStringLiteral("title"), 0));
    EXPECT_EQ(outline.selectedRowIndexes(), QList<int>{1});
}

TEST_F(ProjectOutlineTest, ExpansionIsKeptInTheModelWithoutAnUndoStepAndRestoredFromIt)
{
    QAbstractItemModelTester tester(outline.outlineModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
    auto process = add<DMProjectProcess>("Phase");
    add("One", process);
    auto group = add<DMProjectItemGroup>("Group", process);
    add("Two", group);
    finishEventLoopTurn();
    const int steps = undoManager.undoStepCount();
    reload();
    EXPECT_EQ(rows(), (QStringList{"Events", "Phase"}));

    outline.expandItem(process.get());
    outline.expandItem(group.get());
    EXPECT_EQ(rows(), (QStringList{"Events", "Phase", ".One", ".Group", "..Two"}));
    EXPECT_TRUE(process->attribute(kDMProjectItem_GanttView_NodeIsExpanded).toBool());
    EXPECT_TRUE(group->attribute(kDMProjectItem_GanttView_NodeIsExpanded).toBool());
    outline.collapseItem(group.get());
    EXPECT_FALSE(group->attribute(kDMProjectItem_GanttView_NodeIsExpanded).toBool());
    finishEventLoopTurn();
    EXPECT_EQ(undoManager.undoStepCount(), steps) << "a view setting, not an edit";

    // The stored state wins over what the outline shows.
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, false);
    group->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
    reload();
    EXPECT_EQ(rows(), (QStringList{"Events", "Phase"}));
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
    reload();
    EXPECT_EQ(rows(), (QStringList{"Events", "Phase", ".One", ".Group", "..Two"}));
    // Outside a restore the user may always expand.
    group->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, false);
    EXPECT_TRUE(controller->outlineViewShouldExpandItem(&outline, group.get()));
}

TEST_F(ProjectOutlineTest, TheResourceViewShowsTheResourceTreeAndOtherModesShowNothing)
{
    for (int i = 0; i < 3; ++i) {
        auto event = makeItem<DMProjectEvent>(project, QStringLiteral("Event"), at(2024, 1, 8, 9), at(2024, 1, 9, 9));
        project->eventContainer()->events().append(event);
    }
    auto task = add("Task");
    reload();
    EXPECT_EQ(outline.outlineModel()->heightOfRow(0), 3 * outline.rowHeight()) << "one lane per event sub-row";
    EXPECT_EQ(outline.outlineModel()->heightOfRow(1), outline.rowHeight());

    auto team = std::make_shared<DMProjectResource>(DMProjectResource::Group);
    team->setProject(project);
    team->setName(QStringLiteral("Team"));
    project->resources().append(team);
    auto ann = std::make_shared<DMProjectResource>();
    ann->setProject(project);
    ann->setName(QStringLiteral("Ann"));
    team->subitems().append(ann);
    task->addResource(ann);
    project->setAttribute(kDMProject_ViewMode, 1);
    reload();
    EXPECT_EQ(rows(), (QStringList{"Events", "Team"}));
    outline.expandItem(team.get());
    EXPECT_TRUE(team->attribute(kDMProjectResource_ResourceView_NodeIsExpanded).toBool());
    EXPECT_EQ(rows(), (QStringList{"Events", "Team", ".Ann"}));
    EXPECT_EQ(outline.outlineModel()->heightOfRow(2), std::max(1, ann->subRowCount()) * outline.rowHeight());

    project->setAttribute(kDMProject_ViewMode, 2);
    reload();
    EXPECT_EQ(outline.numberOfRows(), 0);
}

TEST_F(ProjectOutlineTest, GoneObjectsResolveToNothing)
{
    auto process = add<DMProjectProcess>("Phase");
    auto one = add("One", process);
    reload();
    outline.expandItem(process.get());
    const DMOutlineItem item = outline.itemAtRow(2);
    ASSERT_EQ(controller->objectForItem(item), one);
    project->setUndoManager(nullptr); // nothing keeps the removed item
    process->subitems().removeAt(0);
    one.reset();
    EXPECT_FALSE(controller->objectForItem(item));
    EXPECT_FALSE(controller->objectForItem(nullptr));
    EXPECT_EQ(value(2, QStringLiteral("title")), QVariant()) << "a stale row shows nothing until the reload";
}
