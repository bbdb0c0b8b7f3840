// The to-do editor bubble: each control writes the to-do as one undo step, an undo shows in the
// open bubble, and the bubble points at the click and lets go of a to-do that has gone.
#include "SideViewsTestSupport.h"

#include "DMAttachedWindow.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMProjectTodoEditorController.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>

using namespace sideviewstest;

namespace {

class TodoEditorTest : public PopoverTestBase
{
protected:
    void SetUp() override
    {
        PopoverTestBase::SetUp();
        todo = std::make_shared<DMProjectTodo>();
        todo->setProject(project);
        todo->setText(QStringLiteral("Order steel"));
        todo->setDate(DMDate(2024, 5, 6, 0));
        project->todoContainer()->todos().append(todo);
        endTurn();
        undoManager.removeAllActions();
        document.changeCount = 0;
        editor->setEditedObject(todo);
    }
    void TearDown() override
    {
        editor->close();
        PopoverTestBase::TearDown();
    }

    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    std::shared_ptr<DMProjectTodo> todo;
};

} // namespace

TEST_F(TodoEditorTest, EachChangeIsOneUndoStepAndAnUndoShowsInTheBubble)
{
    EXPECT_EQ(editor->textField()->text(), "Order steel");
    EXPECT_EQ(editor->datePicker()->date(), QDate(2024, 5, 6));
    EXPECT_FALSE(editor->doneCheckBox()->isChecked());

    editor->textField()->setText(QStringLiteral("Order steel beams"));
    emit editor->textField()->editingFinished();
    endTurn();
    editor->datePicker()->setDate(QDate(2024, 5, 10));
    endTurn();
    editor->doneCheckBox()->click();
    endTurn();
    editor->noDueDateCheckBox()->click();
    endTurn();

    EXPECT_EQ(todo->text(), "Order steel beams");
    EXPECT_EQ(todo->date(), DMDate(2024, 5, 10, 0));
    EXPECT_TRUE(todo->done());
    EXPECT_TRUE(todo->noDueDate());
    EXPECT_FALSE(editor->datePicker()->isEnabled()); // no due date: nothing to pick
    EXPECT_EQ(undoManager.undoStepCount(), 4);
    EXPECT_EQ(document.changeCount, 4);

    // Finishing the text again without a change makes no step.
    emit editor->textField()->editingFinished();
    endTurn();
    EXPECT_EQ(undoManager.undoStepCount(), 4);

    undoManager.undo();
    EXPECT_FALSE(editor->noDueDateCheckBox()->isChecked());
    EXPECT_TRUE(editor->datePicker()->isEnabled());
    undoManager.undo();
    undoManager.undo();
    EXPECT_EQ(editor->datePicker()->date(), QDate(2024, 5, 6));
    undoManager.undo();
    EXPECT_EQ(editor->textField()->text(), "Order steel");
    EXPECT_EQ(document.changeCount, 0);
    // Showing the undone values wrote nothing back.
    EXPECT_EQ(undoManager.undoStepCount(), 0);
    EXPECT_EQ(undoManager.redoStepCount(), 4);
}

TEST_F(TodoEditorTest, TheBubblePointsAtTheClickAndLetsGoOfAGoneTodo)
{
    editor->showAtPointInView(QPointF(200, 300), &window);
    DMAttachedWindow *bubble = editor->containerWindow();
    ASSERT_NE(bubble, nullptr);
    EXPECT_TRUE(bubble->isVisible());
    const QPoint tip = window.mapToGlobal(QPoint(200, 300));
    EXPECT_TRUE(bubble->frame().adjusted(-1, -1, 1, 1).contains(tip)); // the arrow's tip is on the click

    project->todoContainer()->todos().removeAt(0);
    project->purgeRemovedObjects();
    todo.reset();
    endTurn();
    EXPECT_EQ(editor->editedObject(), nullptr);
    const int steps = undoManager.undoStepCount();
    editor->doneCheckBox()->click(); // nothing to write, and no crash
    endTurn();
    EXPECT_EQ(undoManager.undoStepCount(), steps);
}

TEST_F(TodoEditorTest, PickingADayKeepsTheTimeAndADatelessTodoShowsNoDueDate)
{
    todo->setDate(DMDate(2024, 5, 6, 15 * 3600));
    editor->datePicker()->setDate(QDate(2024, 5, 9));
    endTurn();
    EXPECT_EQ(todo->date(), DMDate(2024, 5, 9, 15 * 3600));

    // Another to-do, without a date: the picker shows none, not the last to-do's date, and its
    // calendar opens on this month.
    auto dateless = std::make_shared<DMProjectTodo>();
    dateless->setProject(project);
    dateless->setDate(DMDate()); // as read from a file that gives it none
    project->todoContainer()->todos().append(dateless);
    editor->setEditedObject(dateless);
    EXPECT_EQ(editor->datePicker()->text(), QStringLiteral("No due date"));
    QCalendarWidget *calendar = editor->datePicker()->calendarWidget();
    const halcyra::test::FixedNow now(QDateTime(QDate(2031, 10, 15), QTime(9, 0)));
    calendar->window()->show(); // the picker's drop-down
    EXPECT_EQ(calendar->monthShown(), 10);
    EXPECT_EQ(calendar->yearShown(), 2031);
    calendar->window()->hide();
    EXPECT_TRUE(dateless->date().isNull()); // showing it wrote nothing
    editor->datePicker()->setDate(QDate(2024, 6, 3));
    endTurn();
    EXPECT_EQ(dateless->date(), DMDate(2024, 6, 3, 0));

    // One with no due date shows none either, and its date again once it has one.
    editor->noDueDateCheckBox()->click();
    EXPECT_EQ(editor->datePicker()->text(), QStringLiteral("No due date"));
    editor->noDueDateCheckBox()->click();
    EXPECT_EQ(editor->datePicker()->date(), QDate(2024, 6, 3));
    EXPECT_EQ(dateless->date(), DMDate(2024, 6, 3, 0));
}
