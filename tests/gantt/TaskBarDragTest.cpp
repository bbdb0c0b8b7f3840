// Drags of a task bar driven through the canvas with QTest: each turns into a validated edit of
// the task, dates rounded to 300 s and snapped to the day window; refusals beep and change
// nothing; locked tasks ignore every drag.
#include "GanttTestSupport.h"

#include "DMProjectItemGroup.h"
#include "DMProjectViewDragHandlerObject.h"
#include "DMUIProjectItem.h"
#include "DMUISimpleTextObject.h"

using namespace gantttest;

namespace {

// The task runs Tuesday 8:00 to Thursday 18:00: x 20.5, width 60 at 20 pixels per day (30
// minutes per point); its bar is 20 high in row 0, so y 10 is its middle.
struct TaskDrag : ::testing::Test
{
    void SetUp() override
    {
        canvas.show();
        task = canvas.addTask(QStringLiteral("Frame walls"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
        bar = GanttCanvas::barOf(task);
        ASSERT_EQ(bar->frame(), QRectF(20.5, 0, 60, 20));
    }

    GanttCanvas canvas;
    BeepCounter beeps;
    std::shared_ptr<DMProjectTask> task;
    std::shared_ptr<DMUIProjectTask> bar;
};

} // namespace

TEST_F(TaskDrag, MoveKeepsTheDurationAndRoundsTheBegin)
{
    const qint32 duration = task->duration();
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(50, 10), &canvas.view), 116);
    canvas.drag(QPoint(50, 10), QPoint(62, 10)); // 12 points: the left edge at 32.5
    // 1.625 days: 8:00 + 0.625 x 600 min = 14:15, on the 300 s grid.
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 14, 15));
    EXPECT_EQ(task->endDate(), task->endDateWithBeginDateAndDurationWorkSlices(at(2024, 1, 2, 14, 15), duration));
    EXPECT_EQ(task->duration(), duration);
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_FALSE(canvas.document.changeKinds.isEmpty());
    EXPECT_EQ(canvas.document.changeKinds.count(0), canvas.document.changeKinds.size());
    EXPECT_EQ(bar->frame().x(), 33.5); // roundf(1.625 x 20) + 0.5

    // Off the grid: the left edge from 20.3 to 31.3 gives Monday 13:39, rounded down to 13:35.
    bar->setFrame(QRectF(20.3, 0, 60, 20));
    canvas.drag(QPoint(50, 10), QPoint(61, 10));
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 13, 35));
}

TEST_F(TaskDrag, BeginResizeSnapsToTheStartOfTheDayWindow)
{
    // The link handle centred on the left end comes first; the resize handle lies beyond it.
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(22, 10), &canvas.view), 119);
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(28, 10), &canvas.view), 117);
    // The left edge to 18.5 (0.925 days: 17:15 on Monday) is within 3 points of the window's
    // end, so the begin snaps to the next window's start.
    canvas.drag(QPoint(28, 10), QPoint(26, 10));
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 8));
    EXPECT_TRUE(canvas.document.changeKinds.isEmpty()); // nothing changed, nothing marked
    // To 12.5: 0.625 days, Monday 14:15.
    canvas.drag(QPoint(28, 10), QPoint(20, 10));
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(2024, 1, 1, 14, 15), at(2024, 1, 4, 18)));
    EXPECT_EQ(beeps.count(), 0);
}

TEST_F(TaskDrag, EndResizeRoundsAndSnapsToTheEndOfTheDayWindow)
{
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(79, 10), &canvas.view), 120);
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(73, 10), &canvas.view), 118);
    // The right edge to 92.5: 4.625 days, Friday 14:15.
    canvas.drag(QPoint(73, 10), QPoint(85, 10));
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(2024, 1, 2, 8), at(2024, 1, 5, 14, 15)));
    // The right edge past Friday 17:15 snaps to the window's 18:00.
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
    EXPECT_TRUE(canvas.document.changeKinds.isEmpty());
}

TEST_F(TaskDrag, ProgressFollowsThePointerAndMarksTheDocument)
{
    task->setProgress(0.5f);
    // The slider sits under the bar's middle: x 44.5...56.5, y 8...20.
    EXPECT_EQ(bar->dragOperationForPoint(QPointF(50.5, 17), &canvas.view), 121);
    canvas.drag(QPoint(50, 17), QPoint(65, 17));
    EXPECT_FLOAT_EQ(task->progress(), float((65 - 20.5) / 60));
    EXPECT_EQ(canvas.document.changeKinds.value(0, -1), 0);
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
    const int changes = canvas.document.changeKinds.size();
    for (const auto &[from, to] : {std::pair{QPoint(50, 10), QPoint(70, 10)}, std::pair{QPoint(28, 10), QPoint(5, 10)},
                                   std::pair{QPoint(73, 10), QPoint(99, 10)}, std::pair{QPoint(50, 17), QPoint(70, 17)}})
        canvas.drag(from, to);
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(2024, 1, 2, 8), at(2024, 1, 4, 18)));
    EXPECT_FLOAT_EQ(task->progress(), 0.5f);
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_EQ(canvas.document.changeKinds.size(), changes);
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
    canvas.document.changeKinds.clear();
    const QVariantMap before = task->dictionaryRepresentation();
    for (const QPoint press : {QPoint(int(f.left()) + 8, 10), QPoint(int(f.center().x()), 17)}) {
        QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, press);
        stepAt(press);
        QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, press);
    }
    EXPECT_EQ(task->dictionaryRepresentation(), before);
    EXPECT_TRUE(canvas.document.changeKinds.isEmpty());
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
    const QPoint press(int(bar->frame().center().x()), 10);
    canvas.drag(press, press - QPoint(30, 0), 1);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(std::make_pair(task->beginDate(), task->endDate()), std::make_pair(at(1970, 1, 1, 10), at(1970, 1, 2, 18)));
    EXPECT_TRUE(canvas.document.changeKinds.isEmpty()); // a refused edit leaves the document unmarked
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
    const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 7);
    bar->handleDragOperation(116, QPointF(50, 10), QPointF(70, 10), step, &canvas.view);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(group->beginDate(), at(2024, 1, 2, 8));
    EXPECT_TRUE(canvas.document.changeKinds.isEmpty());
}

TEST(TaskDragHandler, ABarDestroyedDuringADragEndsTheForwarding)
{
    GanttCanvas canvas;
    auto task = canvas.addTask(QStringLiteral("Gone"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
    auto handler = DMProjectViewDragHandlerObject::dragHandlerObjectWithPointAndDragOperation(QPointF(50, 10), 116);
    handler->setTargetUIObject(GanttCanvas::barOf(task));
    const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 9);
    handler->handleDragOperation(116, QPointF(50, 10), QPointF(62, 10), step, &canvas.view);
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 14, 15));
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
