// The shared Inspector window and the life of an inspector: swapping views, following the canvas
// selection, letting go of objects that leave their project, a document closing, and an
// inspector whose view cannot be built.
#include "InspectorTestSupport.h"

#include <QLoggingCategory>
#include <QWindow>

using namespace gantttest;

namespace {

// An inspector whose interface cannot be built.
class BrokenInspector : public DMUIProjectViewObjectEditorController
{
public:
    static BrokenInspector *sharedInstance() { return sharedInstanceOf<BrokenInspector>(); }
    void commonCallback(QObject *) override {}

protected:
    std::shared_ptr<DMProjectObject> modelObjectOf(const DMProjectViewObject &) const override { return nullptr; }

private:
    friend class DMUIProjectViewObjectEditorController;
    BrokenInspector() : DMUIProjectViewObjectEditorController(QStringLiteral("DMBrokenInspector")) {}
    bool loadInterface() override { return false; }
};

// Counts the events of one type that reach an object.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *watched, QEvent::Type type) : m_type(type) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == m_type;
        return false;
    }

private:
    QEvent::Type m_type;
};

QStringList gMessages;

void keepMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    gMessages.append(message);
}

} // namespace

TEST_F(InspectorTest, TheWindowSwapsViewsFollowsTheSelectionAndRemembersItsFrame)
{
    auto task = addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto other = addTask("Other", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    auto link = task->addOutboundDependencyToItem(other);
    open();
    QWidget *window = DMInspectorWindow::sharedWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Inspector"));
    EXPECT_TRUE(window->windowFlags() & Qt::Tool);

    // A link, then a task: the task's view replaces the link's, and the window takes its size.
    auto line = std::dynamic_pointer_cast<DMProjectViewObject>(link->ganttUIObject());
    line->editInView(canvas());
    auto *linkInspector = DMUIProjectDependencyInspectorController::sharedInstance();
    auto *taskInspector = DMUIProjectTaskInspectorController::sharedInstance();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), linkInspector->containerView()->size());
    canvas()->selectObjectInLayerExtendSelection(barOf(task), kDMProjectViewLayer_Items, false);
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), taskInspector->containerView());
    EXPECT_FALSE(linkInspector->containerView()->isVisible());
    EXPECT_EQ(window->size(), taskInspector->containerView()->size());
    EXPECT_EQ(taskInspector->titleField()->text(), QStringLiteral("Task"));
    EXPECT_EQ(DMProjectViewObjectEditor::shownEditors().count(linkInspector), 1);

    // Two bars: the window empties and stays on screen; showing it again changes nothing.
    canvas()->selectObjectInLayerExtendSelection(barOf(other), kDMProjectViewLayer_Items, true);
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
    EXPECT_EQ(taskInspector->editedObject(), nullptr);
    EXPECT_TRUE(window->isVisible());
    taskInspector->showWindow();
    EXPECT_TRUE(window->isVisible());

    // A closed window stays closed while the selection changes.
    window->hide();
    canvas()->selectObjectInLayerExtendSelection(barOf(other), kDMProjectViewLayer_Items, false);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), taskInspector->containerView());

    window->show();
    window->move(321, 123);
    halcyra::test::finishEventLoopTurn();
    const QStringList frame =
        DMUserDefaults::standardUserDefaults().objectForKey(QStringLiteral("inspectorWindowFrame")).toString().split(' ');
    ASSERT_EQ(frame.size(), 4);
    EXPECT_EQ(frame.mid(0, 2), (QStringList{"321", "123"})) << frame.join(' ').toStdString();
}

TEST_F(InspectorTest, TheWindowOpensOnTheTitleSelectedSoThatTypingReplacesIt)
{
    auto task = addTask("New Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    open();
    DMInspectorWindow::sharedWindow()->hide();
    auto *inspector = inspect<DMUIProjectTaskInspectorController>(task);
    ASSERT_TRUE(DMInspectorWindow::sharedWindow()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), inspector->titleField());
    EXPECT_EQ(inspector->titleField()->selectedText(), QStringLiteral("New Task"));
    QTest::keyClicks(inspector->titleField(), QStringLiteral("Survey"));
    QTest::keyClick(inspector->titleField(), Qt::Key_Return);
    EXPECT_EQ(task->title(), QStringLiteral("Survey"));
}

TEST_F(InspectorTest, ANewItemTakesTheKeyboardFromTheOpenWindowAnInspectedOneLeavesIt)
{
    auto task = addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto other = addTask("Other", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    auto *inspector = inspect<DMUIProjectTaskInspectorController>(task);
    ASSERT_TRUE(DMInspectorWindow::sharedWindow()->isVisible());
    const auto backToCanvas = [this] {
        document->mainWindow()->activateWindow();
        canvas()->setFocus();
        halcyra::test::finishEventLoopTurn();
        ASSERT_EQ(QApplication::focusWidget(), canvas());
    };

    // Inspecting another bar while the window is open leaves the keyboard on the chart.
    backToCanvas();
    barOf(other)->editInView(canvas());
    EXPECT_EQ(QApplication::focusWidget(), canvas());

    // A bar drawn on the chart: its title, typed next, goes into the open window.
    backToCanvas();
    const double y = rowRect(outline()->numberOfRows() - 1).bottom() + 40;
    drag(QPointF(25, y), QPointF(85, y));
    clock.advance(100);
    halcyra::test::finishEventLoopTurn();
    ASSERT_EQ(project->tasks().size(), 3);
    const auto created = project->tasks().last();
    ASSERT_EQ(inspector->editedObject(), barOf(created));
    EXPECT_EQ(QApplication::focusWidget(), inspector->titleField());
    EXPECT_EQ(inspector->titleField()->selectedText(), QStringLiteral("New Task"));
    QTest::keyClicks(inspector->titleField(), QStringLiteral("Survey"));
    QTest::keyClick(inspector->titleField(), Qt::Key_Return);
    EXPECT_EQ(created->title(), QStringLiteral("Survey"));
}

TEST_F(InspectorTest, AnObjectLeavingItsProjectOrItsDocumentClosingEmptiesTheInspector)
{
    auto task = addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto kept = addTask("Kept", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    auto *inspector = inspect<DMUIProjectTaskInspectorController>(task);
    ASSERT_EQ(inspector->editedObject(), barOf(task));

    // Deleted through the document (not through the selection): let go at once the step closes.
    document->deleteItems({task});
    halcyra::test::finishEventLoopTurn();
    EXPECT_EQ(inspector->editedObject(), nullptr);
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
    // Its old controls write nowhere.
    inspector->titleField()->setText(QStringLiteral("Stale"));
    inspector->commonCallback(inspector->titleField());
    EXPECT_EQ(task->title(), QStringLiteral("Task"));

    // A converted item's inspector lets go of it as well.
    barOf(kept)->editInView(canvas());
    ASSERT_TRUE(controller()->convertItemOfObjectWithTag(barOf(kept), DMFourCharCode("cnvt"), false));
    EXPECT_EQ(inspector->editedObject(), nullptr);

    // The document closing empties and hides the window showing one of its objects.
    auto last = project->tasks().at(0);
    barOf(last)->editInView(canvas());
    ASSERT_TRUE(DMInspectorWindow::sharedWindow()->isVisible());
    document->closeWithoutShowingRecentItemsWindow();
    EXPECT_FALSE(DMInspectorWindow::sharedWindow()->isVisible());
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
    EXPECT_EQ(DMUIProjectProcessInspectorController::sharedInstance()->editedObject(), nullptr);
}

TEST_F(InspectorTest, TheWindowStaysAboveItsDocumentWindowComesUpWhenAskedAndGoesWithIt)
{
    auto task = addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto other = addTask("Other", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    inspect<DMUIProjectTaskInspectorController>(task);
    QWidget *window = DMInspectorWindow::sharedWindow();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowHandle()->transientParent(), document->mainWindow()->windowHandle());

    // Asked for again while on screen (behind the document window, say): it is raised.
    const EventCounter raised(window, QEvent::ZOrderChange);
    barOf(other)->editInView(canvas());
    EXPECT_EQ(raised.count, 1);

    // Two bars selected: the window is empty, and still goes with the document.
    canvas()->selectObjectInLayerExtendSelection(barOf(other), kDMProjectViewLayer_Items, false);
    canvas()->selectObjectInLayerExtendSelection(barOf(task), kDMProjectViewLayer_Items, true);
    ASSERT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
    ASSERT_TRUE(window->isVisible());
    document->closeWithoutShowingRecentItemsWindow();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(InspectorTest, AViewTallerOrWiderThanTheRoomBesideTheWindowMovesItOntoTheScreen)
{
    auto task = addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto doors = addTask<DMProjectMilestone>("Doors open", at(2024, 1, 8, 8), at(2024, 1, 8, 8));
    inspect<DMUIProjectMilestoneInspectorController>(doors);
    QWidget *window = DMInspectorWindow::sharedWindow();
    const QRect available = window->screen()->availableGeometry();
    QWidget *taskView = DMUIProjectTaskInspectorController::sharedInstance()->containerView();
    ASSERT_LT(taskView->height(), available.height());

    // The milestone's shorter view, moved down where the task's taller one has no room below it.
    const QPoint low(available.left() + 40, available.bottom() + 1 - window->height() - 10);
    ASSERT_GT(taskView->height(), window->height() + 10);
    window->move(low);
    canvas()->selectObjectInLayerExtendSelection(barOf(task), kDMProjectViewLayer_Items, false);
    ASSERT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), taskView);
    EXPECT_EQ(window->size(), taskView->size()); // the whole view, not cut
    EXPECT_LE(window->frameGeometry().bottom(), available.bottom());
    EXPECT_EQ(window->x(), low.x());

    // With room enough it stays where it was put.
    const QPoint high(available.left() + 40, available.top() + 30);
    window->move(high);
    canvas()->selectObjectInLayerExtendSelection(barOf(doors), kDMProjectViewLayer_Items, false);
    canvas()->selectObjectInLayerExtendSelection(barOf(task), kDMProjectViewLayer_Items, false);
    EXPECT_EQ(window->pos(), high);

    // A view wider than the room right of the window moves it left, as far as the screen needs.
    canvas()->selectObjectInLayerExtendSelection(barOf(doors), kDMProjectViewLayer_Items, false);
    ASSERT_GT(taskView->width(), window->width() + 10);
    const QPoint right(available.right() + 1 - window->frameGeometry().width() - 10, available.top() + 30);
    window->move(right);
    canvas()->selectObjectInLayerExtendSelection(barOf(task), kDMProjectViewLayer_Items, false);
    EXPECT_EQ(window->size(), taskView->size());
    EXPECT_EQ(window->frameGeometry().right(), available.right());
    EXPECT_EQ(window->y(), right.y());

    EXPECT_EQ(DMInspectorWindow::topKeepingOnScreen(900, 400, QRect(0, 0, 1600, 1000), 20), 600);
    EXPECT_EQ(DMInspectorWindow::topKeepingOnScreen(5, 400, QRect(0, 0, 1600, 1000), 20), 20);
    EXPECT_EQ(DMInspectorWindow::topKeepingOnScreen(300, 1200, QRect(0, 0, 1600, 1000), 20), 20); // too tall
    EXPECT_EQ(DMInspectorWindow::leftKeepingOnScreen(1400, 400, QRect(0, 0, 1600, 1000)), 1200);
    EXPECT_EQ(DMInspectorWindow::leftKeepingOnScreen(300, 1700, QRect(0, 0, 1600, 1000)), 0); // too wide
}

TEST(InspectorWindow, FirstComesUpBesideTheDocumentWindowAndOnTheScreen)
{
    const QRect screen(0, 0, 1600, 1000);
    const QSize size(300, 400);
    EXPECT_EQ(DMInspectorWindow::placeBeside(QRect(100, 50, 900, 700), size, screen, 20), QPoint(1008, 50)); // right
    EXPECT_EQ(DMInspectorWindow::placeBeside(QRect(500, 50, 900, 700), size, screen, 20), QPoint(192, 50)); // left
    // Beside a maximised window there is no room: over its right edge, inside the screen, its
    // title bar too.
    EXPECT_EQ(DMInspectorWindow::placeBeside(QRect(0, 0, 1600, 1000), size, screen, 20), QPoint(1292, 20));
    EXPECT_EQ(DMInspectorWindow::placeBeside(QRect(0, 800, 1590, 200), size, screen, 20), QPoint(1292, 600));
}

TEST_F(InspectorTest, AnInspectorWhoseViewCannotBeBuiltIsNoneAndShowsNothing)
{
    gMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    EXPECT_EQ(BrokenInspector::sharedInstance(), nullptr);
    qInstallMessageHandler(previous);
    EXPECT_EQ(gMessages, QStringList{QStringLiteral("Couldn't load \"DMBrokenInspector\" nib.")});

    // An object naming it opens nothing.
    struct RestoreInspectors
    {
        ~RestoreInspectors() { DMGanttUIObjectFactory::registerWithModel(); }
    } restore;
    DMProjectViewObjectEditor::registerSharedInstanceMaker(
        QStringLiteral("DMUIProjectTaskInspectorController"), [] { return BrokenInspector::sharedInstance(); });
    auto task = addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    open();
    barOf(task)->editInView(canvas());
    EXPECT_FALSE(DMInspectorWindow::sharedWindow()->isVisible());
}
