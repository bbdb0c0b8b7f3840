// Creating items by dragging on the empty canvas, as the user does it.
#include "DocumentCanvasTestSupport.h"

using namespace gantttest;

namespace {

class GestureCreateTest : public DocumentCanvasTest
{
protected:
    QList<std::shared_ptr<DMProjectItem>> newTasks() const { return itemsTitled(QStringLiteral("New Task")); }
};

} // namespace

TEST_F(GestureCreateTest, DraggingRightCreatesATaskFromTheAnchorRoundedToAWholeWorkingDay)
{
    addTask("Existing", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    open();
    FakeInspector inspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    ASSERT_FLOAT_EQ(project->displayAttributes().pixelsPerDay, 20.0f);
    // A press without a move of 2 points creates nothing.
    drag(QPointF(xOf(2, 16), freeY()), QPointF(xOf(2, 16) + 1, freeY()), 2);
    EXPECT_TRUE(newTasks().isEmpty());
    EXPECT_TRUE(canvas()->selectedObjects().isEmpty());

    drag(QPointF(xOf(2, 16), freeY()), QPointF(xOf(4, 12), freeY()));
    const auto created = newTasks();
    ASSERT_EQ(created.size(), 1);
    // 16:00 rounded down to a whole working day from the day's 8:00.
    EXPECT_EQ(created.first()->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(created.first()->endDate(), at(2024, 1, 4, 12));
    EXPECT_EQ(project->tasks().last(), created.first());
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{barOf(created.first())});
    EXPECT_TRUE(document->isDocumentEdited());
    // Its inspector opens a moment after the release.
    EXPECT_EQ(inspector.shown, 0);
    clock.advance(100);
    EXPECT_EQ(inspector.shown, 1);
    // The new task has a row of its own, and its bar sits on it.
    const int row = outline()->rowForItem(created.first().get());
    ASSERT_GE(row, 0);
    EXPECT_EQ(barOf(created.first())->frame().top(), rowRect(row).top());
}

TEST_F(GestureCreateTest, UpToFortyPixelsPerDayTheAnchorRoundsToHalvesOfTheWorkingDay)
{
    // Half days of 8:00 to 13:00 and 13:00 to 18:00, at 30 points per day and at the new
    // document's 40: an anchor a little way into a half day begins it.
    for (const float scale : {30.0f, 40.0f}) {
        SCOPED_TRACE(scale);
        project->setAttribute(kDMProject_TimelineViewPixelsPerDay, scale);
        if (!document->mainWindow())
            open();
        ASSERT_FLOAT_EQ(project->displayAttributes().pixelsPerDay, scale);
        const std::pair<int, DMDate> anchors[] = {{9 * 60 + 30, at(2024, 1, 8, 8)}, {16 * 60, at(2024, 1, 9, 13)}};
        for (const auto &[minute, begin] : anchors) {
            const int day = begin.day();
            drag(QPointF(xOf(day, 0, minute), freeY()), QPointF(xOf(day + 2, 12), freeY()));
            ASSERT_EQ(newTasks().size(), 1);
            EXPECT_EQ(newTasks().first()->beginDate(), begin);
            project->tasks().removeOne(newTasks().first());
            document->reloadViews();
        }
    }
}

TEST_F(GestureCreateTest, DraggingLeftMakesTheAnchorTheEnd)
{
    open();
    drag(QPointF(xOf(5, 12), freeY()), QPointF(xOf(3, 10), freeY()));
    ASSERT_EQ(newTasks().size(), 1);
    const auto task = newTasks().first();
    // The anchor, Friday 12:00, rounded down to the working day's 36000 s from 8:00 as an end;
    // the pointer gave the begin.
    EXPECT_EQ(task->endDate(), at(2024, 1, 5, 8));
    EXPECT_EQ(task->beginDate(), at(2024, 1, 3, 10));
}

TEST_F(GestureCreateTest, AnAnchorOnAWeekendSlidesToTheFirstWorkingDay)
{
    open();
    // From Saturday across Sunday into Monday 8 January.
    drag(QPointF(xOf(6, 10), freeY()), QPointF(xOf(8, 14), freeY()), 12);
    ASSERT_EQ(newTasks().size(), 1);
    EXPECT_EQ(newTasks().first()->beginDate().julianDay(), at(2024, 1, 8).julianDay());
    // The end follows the pointer, to the nearest step the canvas can show.
    EXPECT_NEAR(double(newTasks().first()->endDate().absoluteSecond() - at(2024, 1, 8, 14).absoluteSecond()), 0.0, 600.0);
}

TEST_F(GestureCreateTest, RowsDecideWhereTheNewItemGoes)
{
    auto first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto process = addTask<DMProjectProcess>("Phase", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    open();
    // An item row: just above the item. A process row: its first subitem. The events row: an
    // event at the end of the events.
    drag(QPointF(xOf(9, 8), rowRect(1).center().y()), QPointF(xOf(10, 12), rowRect(1).center().y()));
    ASSERT_EQ(project->tasks().size(), 3);
    EXPECT_EQ(project->tasks().at(0)->title(), QStringLiteral("New Task"));
    EXPECT_EQ(project->tasks().at(1), first);
    const int processRow = outline()->rowForItem(process.get());
    drag(QPointF(xOf(2, 8), rowRect(processRow).center().y()), QPointF(xOf(3, 12), rowRect(processRow).center().y()));
    ASSERT_EQ(process->subitems().size(), 1);
    EXPECT_EQ(process->subitems().at(0)->title(), QStringLiteral("New Task"));
    drag(QPointF(xOf(9, 8), rowRect(0).center().y()), QPointF(xOf(10, 12), rowRect(0).center().y()));
    ASSERT_EQ(project->eventContainer()->events().size(), 1);
    EXPECT_EQ(project->eventContainer()->events().last()->title(), QStringLiteral("New Event"));
    EXPECT_EQ(project->tasks().size(), 3);
}

TEST_F(GestureCreateTest, DatesTheModelRefusesCreateNothingAndBeepOnce)
{
    // Shown from Monday 1 December 1969: every date on the canvas lies before 1970.
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan,
                          QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(at(1969, 12, 1))},
                                      {kDMTimeSpanEnd, QVariant::fromValue(at(1970, 1, 30))}});
    open();
    halcyra::test::finishEventLoopTurn(); // the settings' undo step closes
    document->updateChangeCount(DMDocumentChangeKind::Cleared);
    BeepCounter beeps;
    const int steps = project->tasks().size();
    drag(QPointF(xOf(2, 10), freeY()), QPointF(xOf(4, 12), freeY()), 8);
    EXPECT_EQ(project->tasks().size(), steps);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_TRUE(canvas()->selectedObjects().isEmpty());
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(GestureCreateTest, InTheResourceViewATaskJoinsTheResourceOfItsRowButNotAGroup)
{
    addResource("Team", DMProjectResource::Group);
    auto alice = addResource("Alice");
    project->setAttribute(kDMProject_ViewMode, 1);
    open();
    ASSERT_EQ(outline()->numberOfRows(), 3);
    drag(QPointF(xOf(2, 10), rowRect(1).center().y()), QPointF(xOf(3, 12), rowRect(1).center().y()));
    EXPECT_TRUE(newTasks().isEmpty());
    drag(QPointF(xOf(2, 10), rowRect(2).center().y()), QPointF(xOf(3, 12), rowRect(2).center().y()));
    ASSERT_EQ(newTasks().size(), 1);
    const auto task = std::static_pointer_cast<DMProjectTask>(newTasks().first());
    EXPECT_TRUE(task->isAssignedToResource(alice.get()));
    const auto bar = std::dynamic_pointer_cast<DMBaseObject>(task->resourceUIObject(alice.get()));
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{bar});
    EXPECT_TRUE(rowRect(2).intersects(bar->frame()));
}
