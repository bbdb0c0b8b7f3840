// Editing on the canvas: moving bars with the mouse and the keyboard, links, deletion, zoom
// and the context-menu commands.
#include "DocumentCanvasTestSupport.h"

#include "DMProjectViewMenuItem.h"
#include "DMUIProjectPendingDependency.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QWheelEvent>

using namespace gantttest;

namespace {

class GestureEditTest : public DocumentCanvasTest
{
protected:
    void SetUp() override
    {
        DocumentCanvasTest::SetUp();
        first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
        second = addTask("Second", at(2024, 1, 4, 8), at(2024, 1, 4, 18));
        link = first->addOutboundDependencyToItem(second);
    }
    QPointF middleOf(const std::shared_ptr<DMProjectItem> &item) const { return barOf(item)->frame().center(); }

    std::shared_ptr<DMProjectTask> first;
    std::shared_ptr<DMProjectTask> second;
    std::shared_ptr<DMProjectDependency> link;
};

} // namespace

TEST_F(GestureEditTest, DraggingABarMovesItAndPushesItsSuccessor)
{
    open();
    document->updateChangeCount(DMDocumentChangeKind::Cleared);
    const QPointF from = middleOf(first);
    drag(from, from + QPointF(40, 0)); // two days to the right
    EXPECT_EQ(first->beginDate(), at(2024, 1, 4, 8));
    EXPECT_FALSE(second->beginDate() < first->endDate());
    EXPECT_EQ(barOf(first)->frame().top(), rowRect(1).top()); // a move stays on its row
    // The document learns of the edit from its undo manager, once the event-loop turn's step
    // closes, and of its undoing the same way.
    halcyra::test::finishEventLoopTurn();
    EXPECT_TRUE(document->isDocumentEdited());
    document->undoManager()->undo();
    EXPECT_EQ(first->beginDate(), at(2024, 1, 2, 8));
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(GestureEditTest, UndoNamesTheStepOfEachKindOfDrag)
{
    // Each kind of change on an item of its own, made unrecorded before, so that each drag's
    // step holds that drag alone.
    auto third = addTask("Third", at(2024, 1, 8, 8), at(2024, 1, 10, 18));
    auto fourth = addTask("Fourth", at(2024, 1, 15, 11), at(2024, 1, 17, 14)); // a nudge moves it off the grid's snap
    DMUndoManager *undo = document->undoManager();
    undo->disableUndoRegistration();
    first->setProgress(0.5f);
    undo->enableUndoRegistration();
    open();
    const int steps = undo->undoStepCount();
    const auto dragAndName = [&](const std::shared_ptr<DMProjectItem> &item, QPointF press, qreal dx, qint32 operation) {
        EXPECT_EQ(barOf(item)->dragOperationForPoint(press, canvas()), operation);
        drag(press, press + QPointF(dx, 0));
        halcyra::test::finishEventLoopTurn();
        return undo->undoActionName();
    };
    EXPECT_EQ(dragAndName(third, middleOf(third), 20, DMProjectViewDragOperation::MoveItem), "Move");
    const QRectF f = barOf(first)->frame();
    EXPECT_EQ(dragAndName(first, QPointF(f.left() + 7.5, f.center().y()), -20, DMProjectViewDragOperation::ChangeBegin),
              "Resize");
    const QRectF g = barOf(first)->frame();
    EXPECT_EQ(dragAndName(first, QPointF(g.center().x(), g.bottom() - 3), 10, DMProjectViewDragOperation::Progress),
              "Progress");
    EXPECT_EQ(undo->undoStepCount(), steps + 3);
    // A keyboard nudge is a move too; undoing it leaves the name of the step before.
    canvas()->selectObjectInLayerExtendSelection(barOf(fourth), kDMProjectViewLayer_Items, false);
    key(Qt::Key_Right, QEvent::KeyPress);
    key(Qt::Key_Right, QEvent::KeyRelease);
    halcyra::test::finishEventLoopTurn();
    EXPECT_EQ(undo->undoActionName(), "Move");
    undo->undo();
    EXPECT_EQ(undo->undoActionName(), "Progress");
}

TEST_F(GestureEditTest, APressAndReleaseWithoutMovingLeavesTheProjectAsItWas)
{
    // The first task ends Wednesday 17:50: its bar's right edge lies within 3 points of the day's
    // end, where a date read from the bar would snap.
    first->setBeginDateAndEndDate(at(2024, 1, 2, 8), at(2024, 1, 3, 17, 50));
    open();
    document->updateChangeCount(DMDocumentChangeKind::Cleared);
    const QVariantMap before = project->dictionaryRepresentation();
    const QRectF f = barOf(first)->frame();
    // The middle and the end handle, alone (through a drag handler), then with the second bar
    // (both forwarded by the canvas). A drag right and back is checked on a lone bar elsewhere.
    for (bool both : {false, true}) {
        if (both)
            canvas()->selectObjectInLayerExtendSelection(barOf(second), kDMProjectViewLayer_Items, true);
        for (const QPointF press : {f.center(), QPointF(f.right() - 7, f.center().y())}) {
            QTest::mousePress(canvas(), Qt::LeftButton, Qt::NoModifier, viewPoint(press));
            dragStep(canvas(), viewPoint(press));
            QTest::mouseRelease(canvas(), Qt::LeftButton, Qt::NoModifier, viewPoint(press));
        }
    }
    EXPECT_EQ(project->dictionaryRepresentation(), before);
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(GestureEditTest, ArrowKeysNudgeTheSelectionAndHeldKeysSpeedUp)
{
    auto task = addTask("Nudged", at(2024, 1, 9, 11), at(2024, 1, 10, 14));
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 40.0f); // the bars snap within 3 points of a day's ends
    open();
    auto bar = barOf(task);
    canvas()->selectObjectInLayerExtendSelection(bar, kDMProjectViewLayer_Items, false);
    // One tap: the press anchors the series and changes nothing; the release moves the bar 2.2
    // points, 33 minutes at 40 points per day (15 minutes a point), rounded down to 11:30.
    BeepCounter beeps;
    document->updateChangeCount(DMDocumentChangeKind::Cleared);
    key(Qt::Key_Right, QEvent::KeyPress);
    const DMDate anchored = task->beginDate();
    EXPECT_EQ(anchored, at(2024, 1, 9, 11));
    EXPECT_FALSE(document->isDocumentEdited());
    key(Qt::Key_Right, QEvent::KeyRelease);
    EXPECT_EQ(task->beginDate(), at(2024, 1, 9, 11, 30));

    // Held: X11 sends a release before every repeated press. Those releases do not end the
    // series, whose steps grow: 2.2 + 2.42 + 2.662 + 2.9282 = 10.2102 points in all, 153
    // minutes after 11:30: 14:03, rounded down to 14:00. Each repeat comes in a turn of its
    // own; the series is one undo step.
    halcyra::test::finishEventLoopTurn();
    const int steps = document->undoManager()->undoStepCount();
    key(Qt::Key_Right, QEvent::KeyPress);
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Right, QEvent::KeyRelease, true);
        halcyra::test::finishEventLoopTurn();
        key(Qt::Key_Right, QEvent::KeyPress, true);
    }
    key(Qt::Key_Right, QEvent::KeyRelease);
    halcyra::test::finishEventLoopTurn();
    EXPECT_EQ(task->beginDate(), at(2024, 1, 9, 14));
    EXPECT_EQ(document->undoManager()->undoStepCount(), steps + 1);
    EXPECT_EQ(beeps.count(), 0);

    // A held key whose repeats pause for longer than the undo manager's fence time (the bar
    // stays snapped to a day's end, or the machine is busy) is still one step, and undoing it
    // puts the bar back where the series began.
    const DMDate beforeSeries = task->beginDate();
    key(Qt::Key_Right, QEvent::KeyPress);
    for (int i = 0; i < 4; ++i) {
        key(Qt::Key_Right, QEvent::KeyRelease, true);
        key(Qt::Key_Right, QEvent::KeyPress, true);
        halcyra::test::skipTime(250);
    }
    key(Qt::Key_Right, QEvent::KeyRelease);
    halcyra::test::finishEventLoopTurn();
    EXPECT_LT(beforeSeries, task->beginDate());
    EXPECT_EQ(document->undoManager()->undoStepCount(), steps + 2);
    document->undoManager()->undo();
    EXPECT_EQ(task->beginDate(), beforeSeries);
    // A series whose release goes to another widget ends when the canvas loses the keyboard.
    key(Qt::Key_Right, QEvent::KeyPress);
    halcyra::test::finishEventLoopTurn();
    EXPECT_GT(document->undoManager()->groupingLevel(), 0);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(canvas(), &focusOut);
    halcyra::test::finishEventLoopTurn();
    EXPECT_EQ(document->undoManager()->groupingLevel(), 0);

    // Left nudges back; the up arrow changes nothing in the Gantt view.
    const DMDate moved = task->beginDate();
    key(Qt::Key_Left, QEvent::KeyPress);
    key(Qt::Key_Left, QEvent::KeyRelease);
    EXPECT_LT(task->beginDate(), moved);
    key(Qt::Key_Up, QEvent::KeyPress);
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{bar});
}

TEST_F(GestureEditTest, DeleteActsOnceOnKeyUp)
{
    open();
    canvas()->selectObjectInLayerExtendSelection(barOf(second), kDMProjectViewLayer_Items, false);
    halcyra::test::finishEventLoopTurn();
    document->updateChangeCount(DMDocumentChangeKind::Cleared);
    const int steps = document->undoManager()->undoStepCount();
    key(Qt::Key_Delete, QEvent::KeyPress);
    EXPECT_TRUE(second->isAttached());
    key(Qt::Key_Delete, QEvent::KeyRelease, true);
    key(Qt::Key_Delete, QEvent::KeyPress, true);
    EXPECT_TRUE(second->isAttached());
    key(Qt::Key_Delete, QEvent::KeyRelease);
    EXPECT_FALSE(second->isAttached());
    key(Qt::Key_Backspace, QEvent::KeyRelease);
    halcyra::test::finishEventLoopTurn();
    EXPECT_EQ(document->undoManager()->undoStepCount(), steps + 1);
    EXPECT_TRUE(canvas()->selectedObjects().isEmpty());
    EXPECT_EQ(outline()->numberOfRows(), 2);
    // The one step is the one change the document counts: undone, the document is as saved.
    EXPECT_TRUE(document->isDocumentEdited());
    document->undoManager()->undo();
    EXPECT_TRUE(second->isAttached());
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(GestureEditTest, DeleteRemovesASelectedLinkAndNotItsItems)
{
    open();
    canvas()->selectObjectInLayerExtendSelection(std::dynamic_pointer_cast<DMBaseObject>(link->ganttUIObject()),
                                                 kDMProjectViewLayer_Links, false);
    key(Qt::Key_Backspace, QEvent::KeyRelease);
    EXPECT_TRUE(first->outboundDependencies().isEmpty());
    EXPECT_TRUE(second->isAttached());
    EXPECT_TRUE(objectsIn(canvas()->rect(), kDMProjectViewLayer_Links).isEmpty());
}

TEST_F(GestureEditTest, ALinkAddedOrRemovedThroughTheModelIsDrawnAndHitOrNeither)
{
    auto third = addTask("Third", at(2024, 1, 10, 8), at(2024, 1, 11, 18));
    open();
    const QRectF all(0, 0, canvas()->width(), canvas()->height());
    ASSERT_EQ(objectsIn(all, kDMProjectViewLayer_Links).size(), 1);
    // No relayout follows: the model asks the document to refresh its links 0.05 s later.
    const auto added = second->addOutboundDependencyToItem(third);
    ASSERT_TRUE(added);
    clock.advance(50);
    const auto line = std::dynamic_pointer_cast<DMUIProjectDependency>(added->ganttUIObject());
    ASSERT_TRUE(line);
    EXPECT_TRUE(objectsIn(all, kDMProjectViewLayer_Links).contains(line));
    const QPointF onLine = (line->startPoint() + line->endPoint()) / 2;
    EXPECT_EQ(canvas()->objectAtViewPoint(viewPoint(onLine)), line);

    // Removed, the line is neither drawn nor hit, before the refresh and after it.
    second->removeOutboundDependencyToItem(third.get());
    EXPECT_FALSE(objectsIn(all, kDMProjectViewLayer_Links).contains(line));
    EXPECT_NE(canvas()->objectAtViewPoint(viewPoint(onLine)), line);
    clock.advance(50);
    EXPECT_EQ(objectsIn(all, kDMProjectViewLayer_Links).size(), 1);
}

TEST_F(GestureEditTest, LinksAreDrawnFromAHandleAndRefusedWhenTheyCloseACycle)
{
    open();
    FakeInspector linkInspector(QStringLiteral("DMUIProjectDependencyInspectorController"));
    BeepCounter beeps;
    // From the second's end handle back to the first: a cycle, refused with a beep.
    auto bar = std::dynamic_pointer_cast<DMUIProjectTask>(barOf(second));
    bar->setHovered(true);
    const QPointF handle = bar->dependencyStartRect().center();
    ASSERT_EQ(controller()->objectViewDragOperationForPointWithObject(canvas(), handle, bar),
              DMProjectViewDragOperation::PendingLink);
    ASSERT_TRUE(controller()->pendingDependency());
    controller()->pendingDependency()->setToObject(barOf(first));
    controller()->objectViewDidFinishDragOperationWithRect(canvas(), DMProjectViewDragOperation::PendingLink, QRectF());
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_FALSE(controller()->pendingDependency());
    EXPECT_TRUE(second->outboundDependencies().isEmpty());

    // A new item and a link to it: made, pushed, and its inspector opens a moment later.
    auto third = addTask("Third", at(2024, 1, 2, 8), at(2024, 1, 2, 18));
    document->reloadViews();
    controller()->objectViewDragOperationForPointWithObject(canvas(), handle, bar);
    controller()->pendingDependency()->setToObject(barOf(third));
    controller()->objectViewDidFinishDragOperationWithRect(canvas(), DMProjectViewDragOperation::PendingLink, QRectF());
    ASSERT_TRUE(second->outboundDependencyToItem(third.get()));
    EXPECT_FALSE(third->beginDate() < second->endDate());
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(linkInspector.shown, 0);
    clock.advance(100);
    EXPECT_EQ(linkInspector.shown, 1);
    const QRectF all(0, 0, canvas()->width(), canvas()->height());
    EXPECT_EQ(objectsIn(all, kDMProjectViewLayer_Links).size(), 2);
}

TEST_F(GestureEditTest, PinchAndControlWheelZoomWithinLimitsAndRelayOutAtOnce)
{
    open();
    const double x = barOf(second)->frame().x();
    controller()->objectViewMagnifyWithEvent(canvas(), DMEvent::magnifyEvent(std::log10(2.0), QPointF()));
    EXPECT_NEAR(project->displayAttributes().pixelsPerDay, 40.0f, 1e-3);
    EXPECT_NEAR(barOf(second)->frame().x(), 2 * x, 2.0);
    controller()->objectViewMagnifyWithEvent(canvas(), DMEvent::magnifyEvent(5.0, QPointF()));
    EXPECT_FLOAT_EQ(project->displayAttributes().pixelsPerDay, 100.0f);
    const QPoint inside = canvas()->rect().center();
    QWheelEvent wheel(inside, canvas()->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas(), &wheel);
    EXPECT_NEAR(project->displayAttributes().pixelsPerDay, float(std::pow(10.0, 1.9)), 1e-2);
}

TEST_F(GestureEditTest, ConvertingATaskLetsGoOfItAndKeepsOrDropsItsLinks)
{
    open();
    FakeInspector taskInspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    canvas()->selectObjectInLayerExtendSelection(barOf(second), kDMProjectViewLayer_Items, false);
    ASSERT_EQ(taskInspector.edited, barOf(second).get());
    link->setDashStyle(2);
    link->setLinkStyle(3);

    // Into a milestone: same place, links rebuilt with their look.
    ASSERT_TRUE(controller()->convertItemOfObjectWithTag(barOf(second), DMFourCharCode("mile"), false));
    EXPECT_TRUE(canvas()->selectedObjects().isEmpty());
    EXPECT_EQ(taskInspector.edited, nullptr);
    ASSERT_EQ(project->tasks().size(), 2);
    const auto milestone = project->tasks().at(1);
    EXPECT_EQ(std::make_pair(milestone->kind(), milestone->title()),
              std::make_pair(kDMProjectItem_Kind_Milestone, QStringLiteral("Second")));
    EXPECT_FALSE(second->isAttached());
    const auto rebuilt = first->outboundDependencyToItem(milestone.get());
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(std::make_pair(rebuilt->dashStyle(), rebuilt->linkStyle()), std::make_pair(2, 3));
    // A 'task' tag on the task action changes nothing.
    EXPECT_FALSE(controller()->convertItemOfObjectWithTag(barOf(first), DMFourCharCode("task"), false));

    // Into a process: its links are gone.
    ASSERT_TRUE(controller()->convertItemOfObjectWithTag(barOf(first), DMFourCharCode("cnvt"), false));
    const auto process = project->tasks().at(0);
    EXPECT_EQ(process->kind(), kDMProjectItem_Kind_Process);
    EXPECT_TRUE(process->outboundDependencies().isEmpty());
    EXPECT_TRUE(milestone->inboundDependencies().isEmpty());
    EXPECT_EQ(outline()->numberOfRows(), 3);
    // Embedding: a new process takes the milestone's place and holds it.
    ASSERT_TRUE(controller()->convertItemOfObjectWithTag(barOf(milestone), DMFourCharCode("embd"), false));
    EXPECT_EQ(project->tasks().at(1)->kind(), kDMProjectItem_Kind_Process);
    EXPECT_EQ(project->tasks().at(1)->subitems().at(0), milestone);
}

TEST_F(GestureEditTest, MenuCommandsBeepOutsideTheGanttView)
{
    open();
    BeepCounter beeps;
    QAction action;
    DMProjectViewMenuItem::setRepresentedObject(&action, canvas(), barOf(first));
    DMProjectViewMenuItem::setTag(&action, qint32(DMFourCharCode("cnvt")));
    project->setAttribute(kDMProject_ViewMode, 1);
    controller()->projectViewConvertTaskToProcessFromItem(&action);
    controller()->projectViewChangeDependencyLineStyle(&action);
    EXPECT_EQ(beeps.count(), 2);
    EXPECT_EQ(project->tasks().at(0), first);

    // In the Gantt view a pattern command reaches the link; a sender without an object does nothing.
    project->setAttribute(kDMProject_ViewMode, 0);
    QAction style, empty;
    DMProjectViewMenuItem::setRepresentedObject(&style, canvas(), std::dynamic_pointer_cast<DMBaseObject>(link->ganttUIObject()));
    DMProjectViewMenuItem::setTag(&style, 1);
    controller()->projectViewChangeDependencyPatternStyle(&style);
    EXPECT_EQ(link->dashStyle(), 1);
    controller()->projectViewChangeDependencyLineStyle(&empty);
    EXPECT_EQ(beeps.count(), 2);
}

TEST_F(GestureEditTest, RightClickingALinkOffersItsStylesAndChangesItInOneUndoStep)
{
    second->setBeginDateAndEndDate(at(2024, 1, 10, 8), at(2024, 1, 10, 18)); // a long line, clear of the bars
    open();
    const auto line = std::dynamic_pointer_cast<DMUIProjectDependency>(link->ganttUIObject());
    ASSERT_TRUE(line);
    const QPointF onLine = (line->startPoint() + line->endPoint()) / 2;
    ASSERT_TRUE(line->isPointHitting(onLine, canvas()));
    ASSERT_EQ(link->linkStyle(), 0);
    const int undoSteps = document->undoManager()->undoStepCount();
    document->updateChangeCount(DMDocumentChangeKind::Cleared);

    // The menu is modal: read and answer it once it shows.
    QStringList titles;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *action : menu->actions())
            if (!action->isSeparator())
                titles.append(action->text());
        for (QAction *action : menu->actions())
            if (action->text() == QStringLiteral("Curve"))
                action->trigger();
        menu->close();
    });
    QTest::mouseClick(canvas(), Qt::RightButton, Qt::NoModifier, viewPoint(onLine));
    EXPECT_EQ(titles.join(", ").toStdString(),
              "Line, Curve, Two segments Up, Two segments Down, Three segments, Plain, Dash, Dot, Dash and dot");
    EXPECT_EQ(link->linkStyle(), 1);
    EXPECT_TRUE(document->isDocumentEdited());
    // One undo step puts the line back; the Edit menu names it.
    EXPECT_EQ(document->undoManager()->undoStepCount(), undoSteps + 1);
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Change Link Style"));
    document->undoManager()->undo();
    EXPECT_EQ(link->linkStyle(), 0);

    // The pattern likewise.
    QTimer::singleShot(0, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *action : menu->actions())
                if (action->text() == QStringLiteral("Dash"))
                    action->trigger();
            menu->close();
        }
    });
    QTest::mouseClick(canvas(), Qt::RightButton, Qt::NoModifier, viewPoint(onLine));
    EXPECT_EQ(link->dashStyle(), 1);
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Change Link Pattern"));
}

TEST_F(GestureEditTest, RightClickingABarSelectsItBeforeItsMenuOpens)
{
    open();
    FakeInspector taskInspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    // What is selected, and inspected, while the menu shows; then the menu closes unused.
    const auto selectionWhileTheMenuShows = [&](const std::shared_ptr<DMProjectItem> &item) {
        DMBaseObjectList selection;
        bool shown = false;
        QTimer::singleShot(0, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                shown = true;
                selection = canvas()->selectedObjects();
                menu->close();
            }
        });
        QTest::mouseClick(canvas(), Qt::RightButton, Qt::NoModifier, viewPoint(middleOf(item)));
        EXPECT_TRUE(shown);
        return selection;
    };
    canvas()->selectObjectInLayerExtendSelection(barOf(first), kDMProjectViewLayer_Items, false);
    EXPECT_EQ(selectionWhileTheMenuShows(second), DMBaseObjectList{barOf(second)});
    EXPECT_EQ(taskInspector.edited, barOf(second).get());
    // A bar of a selection of several keeps them all: the menu acts on what the user chose.
    canvas()->selectObjectInLayerExtendSelection(barOf(first), kDMProjectViewLayer_Items, true);
    EXPECT_EQ(selectionWhileTheMenuShows(first).size(), 2);
}

TEST_F(GestureEditTest, InTheResourceViewUpAndDownMoveABarBetweenResourceRows)
{
    auto alice = addResource("Alice");
    auto bob = addResource("Bob");
    first->addResource(alice);
    project->setAttribute(kDMProject_ViewMode, 1);
    open();
    ASSERT_EQ(outline()->numberOfRows(), 3);
    auto bar = std::dynamic_pointer_cast<DMBaseObject>(first->resourceUIObject(alice.get()));
    ASSERT_TRUE(bar);
    EXPECT_TRUE(rowRect(1).intersects(bar->frame()));
    canvas()->selectObjectInLayerExtendSelection(bar, kDMProjectViewLayer_Items, false);
    key(Qt::Key_Down, QEvent::KeyPress);
    EXPECT_FALSE(first->isAssignedToResource(alice.get()));
    ASSERT_TRUE(first->isAssignedToResource(bob.get()));
    const auto moved = std::dynamic_pointer_cast<DMBaseObject>(first->resourceUIObject(bob.get()));
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{moved});
    EXPECT_TRUE(rowRect(2).intersects(moved->frame()));
    // Below the last row, and up onto the events row: nothing moves.
    key(Qt::Key_Down, QEvent::KeyPress);
    EXPECT_TRUE(first->isAssignedToResource(bob.get()));
    key(Qt::Key_Up, QEvent::KeyPress);
    key(Qt::Key_Up, QEvent::KeyPress);
    EXPECT_TRUE(first->isAssignedToResource(alice.get()));
    EXPECT_EQ(first->concernedResources().size(), 1);
}
