// The working-calendar pane in the document window: its changes shade the Gantt chart's days at
// once, and undo brings the old shading back.
#include "DocumentCanvasTestSupport.h"

#include "DMProjectDaysOffSettingsController.h"

#include <QCheckBox>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QTimeEdit>

using namespace gantttest;

namespace {

void clickBox(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier,
                      box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center());
}

// Ends the event-loop turn, which closes the undo step, and lets the 0.2 s pass in which another
// change of the same setting would join it.
void endUserAction()
{
    halcyra::test::finishEventLoopTurn();
    halcyra::test::skipTime(250);
}

QColor columnColor(const DMProjectDocumentObjectViewDataSource *controller, int column)
{
    return controller->projectViewBackgroundObject()->attributes()->columnBgColor(column);
}

} // namespace

TEST_F(DocumentCanvasTest, ThePanesWeekDaysAndDaysOffShadeTheGanttBackground)
{
    open();
    const auto pane = outlets().daysOffSettingsController;
    ASSERT_TRUE(pane);
    document->showPageWithTag(14);
    auto *content = qobject_cast<QStackedWidget *>(outlets().topLevelContentSplitSubview.data());
    ASSERT_TRUE(content);
    EXPECT_EQ(content->currentWidget(), pane->containerView());
    EXPECT_FALSE(columnColor(controller(), 0).isValid()); // Monday 1 January 2024

    clickBox(pane->weekdayCheckbox(1));
    endUserAction();
    EXPECT_FALSE(project->isWorkingDay(at(2024, 1, 1, 12)));
    EXPECT_TRUE(halcyra::test::waitFor([&] { return columnColor(controller(), 0).isValid(); }));
    EXPECT_TRUE(columnColor(controller(), 7).isValid());
    EXPECT_FALSE(columnColor(controller(), 1).isValid());

    // A day off made in the table, Wednesday 3 January, in the shade of days off.
    pane->dayOffAdd();
    DMOutlineView *table = pane->daysOffTableView();
    table->outlineModel()->setData(table->outlineModel()->indexForRow(0, table->columnWithIdentifier("date")),
                                   QDate(2024, 1, 3), Qt::EditRole);
    table->outlineModel()->setData(table->outlineModel()->indexForRow(0, table->columnWithIdentifier("enddate")),
                                   QDate(2024, 1, 3), Qt::EditRole);
    endUserAction();
    EXPECT_TRUE(halcyra::test::waitFor([&] { return columnColor(controller(), 2).isValid(); }));
    EXPECT_NE(columnColor(controller(), 2), columnColor(controller(), 0));
    EXPECT_TRUE(document->isDocumentEdited());

    // Adding the row and setting its two dates are three commands, each its own step.
    document->undoManager()->undo();
    document->undoManager()->undo();
    document->undoManager()->undo();
    EXPECT_FALSE(columnColor(controller(), 2).isValid());
    EXPECT_TRUE(columnColor(controller(), 0).isValid());
    document->undoManager()->undo();
    EXPECT_FALSE(columnColor(controller(), 0).isValid());
    EXPECT_TRUE(pane->weekdayCheckbox(1)->isChecked());
}

TEST_F(DocumentCanvasTest, ThePanesDayWindowSetsTheDayScaleColumns)
{
    open();
    project->setAttribute(kDMProject_TimelineViewMode, 0);
    project->setAttribute(kDMProject_TimelineViewTimeSpan,
                          QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(at(2024, 1, 2))},
                                      {kDMTimeSpanEnd, QVariant::fromValue(at(2024, 1, 3))}});
    ASSERT_EQ(controller()->projectViewBackgroundObject()->attributes()->columns(), 40);
    outlets().daysOffSettingsController->dayEndPicker()->setTime(QTime(17, 0));
    EXPECT_EQ(project->displayAttributes().dayViewEndMinute, 17 * 60);
    EXPECT_EQ(controller()->projectViewBackgroundObject()->attributes()->columns(), 36);
}

TEST_F(DocumentCanvasTest, ThePaneFollowsTheProjectTheDocumentTakesAgain)
{
    open();
    const auto pane = outlets().daysOffSettingsController;
    ASSERT_FALSE(pane->weekdayCheckbox(6)->isChecked());
    auto reverted = DMProject::create();
    reverted->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariantList{5});
    document->setProject(reverted);
    document->reloadViews();
    EXPECT_TRUE(pane->weekdayCheckbox(6)->isChecked());
    EXPECT_FALSE(pane->weekdayCheckbox(5)->isChecked());
    reverted->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariantList{4});
    EXPECT_TRUE(pane->weekdayCheckbox(5)->isChecked());
    EXPECT_FALSE(pane->weekdayCheckbox(4)->isChecked());
}
