// Gestures as a person makes them in the document window: every press, pointer move and release
// arrives in an event-loop turn of its own, and what they change is read back from the model and
// from the document's own undo manager (grouping by turn, fence-off keys on).
#include "DocumentCanvasTestSupport.h"

#include "DMObjectViewDragOperation.h"
#include "DMProjectViewDateGrid.h"
#include "DMUIProjectMilestone.h"
#include "DMUIProjectPendingDependency.h"

#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

using namespace gantttest;

namespace {

class GestureWindowTest : public DocumentCanvasTest
{
protected:
    DMUndoManager *undo() const { return document->undoManager(); }
    // Opens the bar's context menu with a right click and triggers the command titled so.
    bool triggerMenuCommand(const std::shared_ptr<DMBaseObject> &bar, const QString &title)
    {
        bool triggered = false;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *action : menu->actions())
                if (action->text() == title) {
                    action->trigger();
                    triggered = true;
                }
            menu->close();
        });
        QTest::mouseClick(canvas(), Qt::RightButton, Qt::NoModifier, viewPoint(bar->frame().center()));
        halcyra::test::finishEventLoopTurn();
        return triggered;
    }
};

} // namespace

TEST_F(GestureWindowTest, ADrawnTaskIsOneNewTaskStepThatOneUndoRemoves)
{
    addTask("Existing", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    open();
    halcyra::test::finishEventLoopTurn();
    const int steps = undo()->undoStepCount();
    const QVariantMap before = project->dictionaryRepresentation();
    const double y = freeY();
    // The item appears at the first step of 2 points; the resize steps that follow come later,
    // one after the fence of the first dates has run out.
    mouse(QEvent::MouseButtonPress, QPointF(xOf(2, 10), y), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(xOf(3, 12), y), Qt::LeftButton);
    ASSERT_EQ(itemsTitled("New Task").size(), 1);
    halcyra::test::skipTime(250);
    for (int day : {4, 5})
        mouse(QEvent::MouseMove, QPointF(xOf(day, 12), y), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPointF(xOf(5, 12), y), Qt::NoButton);
    const auto task = itemsTitled("New Task").value(0);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->endDate(), at(2024, 1, 5, 12));
    EXPECT_EQ(undo()->undoStepCount(), steps + 1);
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("New Task"));

    undo()->undo();
    EXPECT_TRUE(itemsTitled("New Task").isEmpty());
    // All as before, but for the identity counter: an object ID is never given twice.
    QVariantMap after = project->dictionaryRepresentation();
    after.insert(QStringLiteral("lastObjectID"), before.value(QStringLiteral("lastObjectID")));
    EXPECT_TRUE(after == before);
    undo()->redo();
    ASSERT_EQ(itemsTitled("New Task").size(), 1);
    EXPECT_EQ(itemsTitled("New Task").first()->endDate(), at(2024, 1, 5, 12));
}

TEST_F(GestureWindowTest, EveryReleaseEndsThePendingLinkAndTheLineIsNeverHit)
{
    auto first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto second = addTask("Second", at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    open();
    const auto from = barOf(first);
    const auto to = barOf(second);
    const QPointF handle = std::dynamic_pointer_cast<DMUIProjectTask>(from)->dependencyStartRect().center();
    ASSERT_EQ(from->dragOperationForPoint(handle, canvas()), DMProjectViewDragOperation::LinkFromEnd);

    // A double click on the end handle whose second press drags onto the other bar: the release
    // comes as a double click, and ends the line like any other.
    mouse(QEvent::MouseButtonPress, handle, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, handle, Qt::NoButton);
    EXPECT_FALSE(controller()->pendingDependency());
    mouse(QEvent::MouseButtonDblClick, handle, Qt::LeftButton);
    const auto pending = controller()->pendingDependency();
    ASSERT_TRUE(pending);
    // Halfway, over empty canvas: a press inside the rectangle the line spans is not the line's.
    const QPointF halfway(to->frame().left() - 20, to->frame().center().y());
    mouse(QEvent::MouseMove, halfway, Qt::LeftButton);
    const QPointF inside = pending->frame().center();
    EXPECT_FALSE(pending->isPointHitting(inside, canvas()));
    EXPECT_NE(canvas()->objectAtViewPoint(viewPoint(inside)), pending);
    mouse(QEvent::MouseMove, to->frame().center(), Qt::LeftButton);
    EXPECT_EQ(pending->toObject(), to);
    EXPECT_TRUE(to->isHovered());
    mouse(QEvent::MouseButtonRelease, to->frame().center(), Qt::NoButton);
    EXPECT_FALSE(controller()->pendingDependency());
    EXPECT_FALSE(to->isHovered());
    const QRectF all(0, 0, canvas()->width(), canvas()->height());
    EXPECT_FALSE(objectsIn(all, kDMProjectViewLayer_Links).contains(pending));
    // The line was dropped on a bar: the link is made as the line showed it.
    ASSERT_TRUE(first->outboundDependencyToItem(second.get()));

    // A plain double click on a handle leaves nothing behind, and the next press reaches the bar.
    mouse(QEvent::MouseButtonPress, handle, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, handle, Qt::NoButton);
    mouse(QEvent::MouseButtonDblClick, handle, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, handle, Qt::NoButton);
    EXPECT_FALSE(controller()->pendingDependency());
    EXPECT_EQ(canvas()->objectAtViewPoint(viewPoint(to->frame().center())), to);
}

TEST_F(GestureWindowTest, BarsMoveBetweenResourceRowsInOneMoveStepByDragOrKey)
{
    auto alice = addResource("Alice");
    auto bob = addResource("Bob");
    auto task = addTask("Wiring", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    task->addResource(alice);
    project->setAttribute(kDMProject_ViewMode, 1);
    open();
    halcyra::test::finishEventLoopTurn();
    const int steps = undo()->undoStepCount();
    const auto bar = std::dynamic_pointer_cast<DMBaseObject>(task->resourceUIObject(alice.get()));
    ASSERT_TRUE(bar);

    // Straight down into Bob's row: a new resource, the same dates.
    const QPointF press = bar->frame().center();
    dragInTurns(press, QPointF(press.x(), rowRect(2).center().y()));
    EXPECT_TRUE(task->isAssignedToResource(bob.get()));
    EXPECT_FALSE(task->isAssignedToResource(alice.get()));
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(undo()->undoStepCount(), steps + 1);
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("Move"));

    // The up arrow takes it back to Alice, as a step of the same name; undone, Bob again.
    canvas()->selectObjectInLayerExtendSelection(std::dynamic_pointer_cast<DMBaseObject>(task->resourceUIObject(bob.get())),
                                                 kDMProjectViewLayer_Items, false);
    key(Qt::Key_Up, QEvent::KeyPress);
    key(Qt::Key_Up, QEvent::KeyRelease);
    halcyra::test::finishEventLoopTurn();
    EXPECT_TRUE(task->isAssignedToResource(alice.get()));
    EXPECT_EQ(undo()->undoStepCount(), steps + 2);
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("Move"));
    undo()->undo();
    EXPECT_TRUE(task->isAssignedToResource(bob.get()));
    EXPECT_FALSE(task->isAssignedToResource(alice.get()));
}

TEST_F(GestureWindowTest, TwoSelectedBarsMoveTogetherAsOneStep)
{
    auto first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto second = addTask("Second", at(2024, 1, 4, 8), at(2024, 1, 4, 18));
    open();
    halcyra::test::finishEventLoopTurn();
    const int steps = undo()->undoStepCount();
    // A click on the first, a Shift click on the second, then a drag of the first.
    const QPointF a = barOf(first)->frame().center();
    const QPointF b = barOf(second)->frame().center();
    mouse(QEvent::MouseButtonPress, a, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, a, Qt::NoButton);
    mouse(QEvent::MouseButtonPress, b, Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, b, Qt::NoButton, Qt::ShiftModifier);
    ASSERT_EQ(canvas()->selectedObjects().size(), 2);
    dragInTurns(a, a + QPointF(20, 0)); // one day to the right
    EXPECT_EQ(first->beginDate(), at(2024, 1, 3, 8));
    EXPECT_EQ(second->beginDate(), at(2024, 1, 5, 8));
    EXPECT_EQ(undo()->undoStepCount(), steps + 1);
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("Move"));
    undo()->undo();
    EXPECT_EQ(first->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(second->beginDate(), at(2024, 1, 4, 8));
}

TEST_F(GestureWindowTest, ShiftOrAltDragOnTheEmptyCanvasSelectsWhatTheBandMeets)
{
    auto first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto second = addTask("Second", at(2024, 1, 4, 8), at(2024, 1, 4, 18));
    auto third = addTask("Third", at(2024, 1, 15, 8), at(2024, 1, 16, 18));
    open();
    const int tasks = project->tasks().size();
    // From empty canvas above-left of the first two bars to below-right of them.
    const QPointF from(xOf(1, 12), rowRect(1).top() + 1);
    const QPointF to(xOf(5, 12), rowRect(2).bottom() - 1);
    for (const Qt::KeyboardModifier modifier : {Qt::ShiftModifier, Qt::AltModifier}) {
        canvas()->deselectAll();
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, modifier);
        EXPECT_EQ(canvas()->currentDragOperation(), DMObjectViewDragOperation::RubberBand);
        for (int i = 1; i <= 4; ++i)
            mouse(QEvent::MouseMove, from + (to - from) * i / 4, Qt::LeftButton, modifier);
        EXPECT_TRUE(canvas()->isRubberBandShown());
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton, modifier);
        const DMBaseObjectList selected = canvas()->selectedObjects();
        EXPECT_EQ(selected.size(), 2);
        EXPECT_TRUE(selected.contains(barOf(first)));
        EXPECT_TRUE(selected.contains(barOf(second)));
        EXPECT_FALSE(selected.contains(barOf(third)));
        EXPECT_EQ(project->tasks().size(), tasks); // nothing drawn
    }
}

TEST_F(GestureWindowTest, TheMilestoneMenuConvertsAndEmbedsAndOneUndoTakesEachBack)
{
    auto before = addTask("Before", at(2024, 1, 1, 8), at(2024, 1, 1, 18));
    auto handover = addTask<DMProjectMilestone>("Handover", at(2024, 1, 2, 12), at(2024, 1, 2, 12));
    before->addOutboundDependencyToItem(handover);
    open();
    halcyra::test::finishEventLoopTurn();
    const int steps = undo()->undoStepCount();

    // Into a task of 43200 s of work from its date: 12:00 to 18:00 on Tuesday, then 8:00 to
    // 14:00 on Wednesday.
    ASSERT_TRUE(triggerMenuCommand(barOf(handover), QStringLiteral("Convert to Task")));
    ASSERT_EQ(project->tasks().size(), 2);
    const auto task = project->tasks().at(1);
    EXPECT_EQ(task->kind(), kDMProjectItem_Kind_Task);
    EXPECT_EQ(task->title(), QStringLiteral("Handover"));
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 12));
    EXPECT_EQ(task->endDate(), at(2024, 1, 3, 14));
    EXPECT_EQ(task->duration(), 43200);
    EXPECT_TRUE(before->outboundDependencyToItem(task.get()));
    EXPECT_EQ(undo()->undoStepCount(), steps + 1);
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("Convert"));
    undo()->undo();
    ASSERT_EQ(project->tasks().at(1)->kind(), kDMProjectItem_Kind_Milestone);
    const auto restored = project->tasks().at(1);
    EXPECT_EQ(restored->beginDate(), at(2024, 1, 2, 12));
    EXPECT_TRUE(before->outboundDependencyToItem(restored.get()));
    document->reloadViews();

    // Embedded: a process in its place holds it; undone, it is back at the top level.
    ASSERT_TRUE(triggerMenuCommand(barOf(restored), QStringLiteral("Embed in Process")));
    ASSERT_EQ(project->tasks().at(1)->kind(), kDMProjectItem_Kind_Process);
    ASSERT_EQ(project->tasks().at(1)->subitems().size(), 1);
    EXPECT_EQ(project->tasks().at(1)->subitems().at(0), restored);
    undo()->undo();
    EXPECT_EQ(project->tasks().at(1), restored);
    EXPECT_FALSE(restored->parentItem());
}

TEST_F(GestureWindowTest, ControlWheelZoomKeepsTheDateUnderThePointer)
{
    addTask("Wiring", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    open();
    QScrollArea *scroll = outlets().projectViewScrollArea;
    scroll->horizontalScrollBar()->setValue(300);
    const QPoint inViewport(scroll->viewport()->width() * 2 / 3, 30);
    const auto pointer = [&] { return canvas()->mapFrom(scroll->viewport(), inViewport); };
    const auto dateUnderPointer = [&] {
        const DMProjectViewDateGrid grid(project->displayAttributes());
        return grid.dateForX(canvas()->convertPointFromViewToCanvas(pointer()).x());
    };
    for (const int notches : {2, -1, 3}) {
        const DMDate before = dateUnderPointer();
        const float scale = project->displayAttributes().pixelsPerDay;
        QWheelEvent wheel(pointer(), canvas()->mapToGlobal(QPointF(pointer())), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &wheel);
        halcyra::test::finishEventLoopTurn();
        ASSERT_NE(project->displayAttributes().pixelsPerDay, scale);
        // Within the time one point shows.
        const double slack = DMProjectViewDateGrid(project->displayAttributes()).secondsPerPixel();
        EXPECT_LE(std::abs(double(dateUnderPointer().absoluteSecond() - before.absoluteSecond())), slack) << notches;
    }
}

TEST_F(GestureWindowTest, AnEditElsewhereKeepsTheZoomTheUserChose)
{
    // The shown span follows the items, and a later end lengthens it.
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan, QVariant());
    auto last = addTask("Clean up", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    open();
    // Zoomed out as far as it goes: the span fills the window.
    QWheelEvent wheel(canvas()->rect().center(), canvas()->mapToGlobal(QPointF(canvas()->rect().center())), QPoint(),
                      QPoint(0, -1200), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas(), &wheel);
    const float chosen = project->displayAttributes().pixelsPerDay;
    EXPECT_EQ(canvas()->width(), outlets().projectViewScrollArea->viewport()->width());

    // A drag moves the last task three weeks later: the canvas grows, the scale stays.
    const QPointF middle = barOf(last)->frame().center();
    dragInTurns(middle, middle + QPointF(21 * chosen, 0));
    ASSERT_GE(last->beginDate(), at(2024, 1, 26));
    clock.advance(200);
    halcyra::test::finishEventLoopTurn();
    EXPECT_FLOAT_EQ(project->displayAttributes().pixelsPerDay, chosen);
    EXPECT_GT(canvas()->width(), outlets().projectViewScrollArea->viewport()->width());
}
