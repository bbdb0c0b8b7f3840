// Drags of a task bar driven through the canvas with QTest: each turns into a validated edit of
// the task, dates rounded to 300 s and snapped to the day window, recorded for undo; refusals
// beep and change nothing; locked tasks ignore every drag. Expected dates are worked out by hand.
#include "GanttTestSupport.h"

#include "DMProjectItemGroup.h"
#include "DMProjectViewDragHandlerObject.h"
#include "DMUIProjectItem.h"
#include "DMUISimpleTextObject.h"

using namespace gantttest;

namespace {

// The task runs Tuesday 8:00 to Thursday 18:00: its begin at x 20 (its bar at 20.5), width 60
// at 20 pixels per day, a point being 30 minutes of the 8:00 to 18:00 window; its bar is 20
// high in row 0, so y 10 is its middle.
struct TaskDrag : ::testing::Test
{
    void SetUp() override
    {
        canvas.show();
        task = canvas.addTask(QStringLiteral("Frame walls"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
        bar = GanttCanvas::barOf(task);
        ASSERT_EQ(bar->frame(), QRectF(20.5, 0, 60, 20));
        edits = canvas.recordedEdits();
    }
    bool recordedAnEdit() const { return canvas.recordedEdits() > edits; }

    GanttCanvas canvas;
    BeepCounter beeps;
    std::shared_ptr<DMProjectTask> task;
    std::shared_ptr<DMUIProjectTask> bar;
    int edits = 0;
};

} // namespace

TEST_F(TaskDrag, MoveKeepsTheDurationAndRoundsTheBegin)
{
    const qint32 duration = task->duration();
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(50, 10), &canvas.view), 116);
    canvas.drag(QPoint(50, 10), QPoint(62, 10));
    // 12 points are 6 working hours: Tuesday 14:00. The 30 working hours go on to Friday 14:00.
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 14));
    EXPECT_EQ(task->endDate(), at(2024, 1, 5, 14));
    EXPECT_EQ(task->duration(), duration);
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_TRUE(recordedAnEdit());
    EXPECT_EQ(bar->frame().x(), 32.5); // roundf(1.6 x 20) + 0.5

    // Off the 300 s grid: a begin at Tuesday 14:07 moved 12 points (6 working hours) is
    // Wednesday 10:07, rounded down to 10:05.
    task->setBeginDateAndEndDate(at(2024, 1, 2, 14, 7), at(2024, 1, 5, 14));
    canvas.drag(QPoint(50, 10), QPoint(62, 10));
    EXPECT_EQ(task->beginDate(), at(2024, 1, 3, 10, 5));
}

TEST_F(TaskDrag, BeginResizeSnapsToTheStartOfTheDayWindow)
{
    // The link handle centred on the left end comes first; the resize handle lies beyond it.
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(22, 10), &canvas.view), 119);
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(28, 10), &canvas.view), 117);
    // Two points back (Monday 17:00) is within 3 points of the window's end, so the begin snaps
    // to the next window's start: where it was.
    canvas.drag(QPoint(28, 10), QPoint(26, 10));
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 8));
    EXPECT_FALSE(recordedAnEdit()); // nothing changed, nothing recorded
    // Eight points back: 4 working hours before Tuesday 8:00, Monday 14:00.
    canvas.drag(QPoint(28, 10), QPoint(20, 10));
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(2024, 1, 1, 14), at(2024, 1, 4, 18)));
    EXPECT_EQ(beeps.count(), 0);
}

TEST_F(TaskDrag, EndResizeRoundsAndSnapsToTheEndOfTheDayWindow)
{
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(79, 10), &canvas.view), 120);
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(73, 10), &canvas.view), 118);
    // Twelve points on: 6 working hours after Thursday 18:00, Friday 14:00.
    canvas.drag(QPoint(73, 10), QPoint(85, 10));
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(2024, 1, 2, 8), at(2024, 1, 5, 14)));
    // Seven more points, Friday 17:30, lie within 3 points of the window's end: 18:00.
    const QPoint press(int(bar->frame().right()) - 7, 10);
    canvas.drag(press, press + QPoint(7, 0));
    EXPECT_EQ(task->endDate(), at(2024, 1, 5, 18));
}

TEST_F(TaskDrag, DraggingAnEndPastTheOtherDoesNothing)
{
    canvas.drag(QPoint(28, 10), QPoint(95, 10), 1);
    canvas.drag(QPoint(73, 10), QPoint(5, 10), 1);
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(2024, 1, 2, 8), at(2024, 1, 4, 18)));
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_FALSE(recordedAnEdit());
}

TEST_F(TaskDrag, ProgressFollowsThePointerAndIsRecorded)
{
    task->setProgress(0.5f);
    // The slider sits under the bar's middle: x 44.5...56.5, y 8...20.
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(50.5, 17), &canvas.view), 121);
    canvas.drag(QPoint(50, 17), QPoint(65, 17));
    EXPECT_FLOAT_EQ(task->progress(), float((65 - 20.5) / 60));
    EXPECT_TRUE(recordedAnEdit());
    // Beyond the ends it stays within 0...1.
    canvas.drag(QPoint(65, 17), QPoint(200, 17));
    EXPECT_FLOAT_EQ(task->progress(), 1.0f);
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 8));
    // The progress label follows.
    const DMBaseObjectList labels = bar->guideAnchorsObjects();
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(std::static_pointer_cast<DMUISimpleTextObject>(labels.at(2))->text(), QStringLiteral("100%"));
}

TEST_F(TaskDrag, ProgressIsNotHeldToWorkingDays)
{
    // Dates dragged onto the weekend are dropped silently when the task asks for working days;
    // the progress is no date and always follows.
    task->setAttribute(kDMProjectItem_EnforceWorkingDatesOnDrag, true);
    canvas.drag(QPoint(73, 10), QPoint(113, 10), 1); // the end onto the weekend
    EXPECT_EQ(task->endDate(), at(2024, 1, 4, 18));
    EXPECT_EQ(beeps.count(), 0);
    task->setProgress(0.5f);
    canvas.drag(QPoint(50, 17), QPoint(35, 17));
    EXPECT_FLOAT_EQ(task->progress(), float((35 - 20.5) / 60));
}

TEST_F(TaskDrag, LockedTaskIgnoresEveryDrag)
{
    task->setProgress(0.5f);
    task->setLocked(true);
    edits = canvas.recordedEdits();
    for (const auto &[from, to] : {std::pair{QPoint(50, 10), QPoint(70, 10)}, std::pair{QPoint(28, 10), QPoint(5, 10)},
                                   std::pair{QPoint(73, 10), QPoint(99, 10)}, std::pair{QPoint(50, 17), QPoint(70, 17)}})
        canvas.drag(from, to);
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(2024, 1, 2, 8), at(2024, 1, 4, 18)));
    EXPECT_FLOAT_EQ(task->progress(), 0.5f);
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_FALSE(recordedAnEdit());
}

TEST_F(TaskDrag, APressThatDoesNotMoveOrMovesBackChangesNothing)
{
    // Begins Tuesday 17:50: its bar's left edge, rounded to the point and shifted by half a point,
    // lies at Wednesday 8:15, within 3 points of the day's edge: a date read from the bar would
    // snap the begin to Wednesday 8:00.
    task->setBeginDateAndEndDate(at(2024, 1, 2, 17, 50), at(2024, 1, 4, 18));
    const auto stepAt = [&](QPoint point) { dragStep(&canvas.view, point); };
    const QRectF f = bar->frame();
    // The begin handle and the progress slider, pressed and released in place (the move and the
    // end handle are pressed on the document's canvas).
    edits = canvas.recordedEdits();
    const QVariantMap before = task->dictionaryRepresentation();
    for (const QPoint press : {QPoint(int(f.left()) + 8, 10), QPoint(int(f.center().x()), 17)}) {
        QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, press);
        stepAt(press);
        QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, press);
    }
    EXPECT_EQ(task->dictionaryRepresentation(), before);
    EXPECT_FALSE(recordedAnEdit());
    // Right and back to the press point in one drag: the dates the press found.
    const QPoint press(int(f.center().x()), 10);
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, press);
    stepAt(press + QPoint(25, 0));
    EXPECT_NE(task->beginDate(), at(2024, 1, 2, 17, 50));
    stepAt(press);
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, press);
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(2024, 1, 2, 17, 50), at(2024, 1, 4, 18)));
    EXPECT_EQ(beeps.count(), 0);
}

TEST(TaskDragRefused, ARefusedMoveBeepsAndChangesNothing)
{
    // Shown from 1 January 1970: a move to the left of the canvas would begin before 1970.
    GanttCanvas canvas(at(1970, 1, 1));
    canvas.show();
    BeepCounter beeps;
    auto task = canvas.addTask(QStringLiteral("Early"), at(1970, 1, 1, 10), at(1970, 1, 2, 18));
    auto bar = GanttCanvas::barOf(task);
    const int edits = canvas.recordedEdits();
    const QPoint press(int(bar->frame().center().x()), 10);
    canvas.drag(press, press - QPoint(30, 0), 1);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(1970, 1, 1, 10), at(1970, 1, 2, 18)));
    EXPECT_EQ(canvas.recordedEdits(), edits); // a refused edit records nothing
}

TEST(TaskDragRefused, APlainBarBeepsWhenTheModelRefuses)
{
    GanttCanvas canvas;
    BeepCounter beeps;
    auto group = makeItem<DMProjectItemGroup>(canvas.project, QStringLiteral("G"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
    canvas.project->tasks().append(group);
    canvas.place(group, 0);
    auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(group->ganttUIObject());
    group->setLocked(true); // the model refuses to move a locked item
    const int edits = canvas.recordedEdits();
    const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 7);
    bar->handleDragOperation(116, QPointF(50, 10), QPointF(70, 10), step, &canvas.view);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(group->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(canvas.recordedEdits(), edits);
}

TEST(TaskDragHandler, ABarDestroyedDuringADragEndsTheForwarding)
{
    GanttCanvas canvas;
    auto task = canvas.addTask(QStringLiteral("Gone"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
    auto handler = DMProjectViewDragHandlerObject::dragHandlerObjectWithPointAndDragOperation(QPointF(50, 10), 116);
    handler->setTargetUIObject(GanttCanvas::barOf(task));
    const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 9);
    handler->handleDragOperation(116, QPointF(50, 10), QPointF(62, 10), step, &canvas.view);
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 14));
    EXPECT_FALSE(handler->guideAnchorsObjects().isEmpty());

    // The item and its bar go while the handler still carries the drag.
    canvas.source.items.clear();
    canvas.project->tasks().removeAt(0);
    task.reset();
    canvas.project->purgeRemovedObjects();
    EXPECT_FALSE(handler->targetUIObject());
    handler->handleDragOperation(116, QPointF(50, 10), QPointF(80, 10), step, &canvas.view);
    EXPECT_TRUE(handler->guideAnchorsObjects().isEmpty());
    EXPECT_EQ(handler->dragPoint(), QPointF(80, 10));
}
