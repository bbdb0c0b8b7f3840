// The milestone, process and event inspectors: where they differ from the task inspector.
#include "InspectorTestSupport.h"

#include <QCheckBox>
#include <QDateTimeEdit>

using namespace gantttest;

namespace {

void pick(QDateTimeEdit *picker, const DMDate &date)
{
    picker->setDateTime(date.NSDate());
}

} // namespace

TEST_F(InspectorTest, AMilestonesDateIsItsBeginAndEndAndTypedTitlesWaitAQuarterSecond)
{
    auto milestone = addTask<DMProjectMilestone>("Milestone", at(2024, 1, 5, 12), at(2024, 1, 5, 12));
    auto *inspector = inspect<DMUIProjectMilestoneInspectorController>(milestone);
    EXPECT_EQ(inspector->datePicker()->dateTime(), at(2024, 1, 5, 12).NSDate());
    EXPECT_EQ(inspector->endDatePicker(), nullptr);
    EXPECT_TRUE(inspector->resourcesOutlineView());
    pick(inspector->datePicker(), at(2024, 1, 9, 10));
    EXPECT_EQ(milestone->beginDate(), at(2024, 1, 9, 10));
    EXPECT_EQ(milestone->endDate(), at(2024, 1, 9, 10));
    pick(inspector->datePicker(), at(1969, 6, 1, 10));
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(milestone->beginDate(), at(2024, 1, 9, 10));

    type(inspector->titleField(), "Launch");
    clock.advance(200);
    EXPECT_EQ(milestone->title(), QStringLiteral("Milestone"));
    clock.advance(80); // the scheduler looks every 0.02 s
    EXPECT_EQ(milestone->title(), QStringLiteral("Launch"));
}

TEST_F(InspectorTest, AProcessAsksBeforeItsBeginMovesAndEitherShiftsOrKeepsItsSubitems)
{
    auto process = addTask<DMProjectProcess>("Process", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    auto child = makeItem<DMProjectTask>(project, "Child", at(2024, 1, 10, 8), at(2024, 1, 10, 18));
    process->subitems().append(child);
    auto *inspector = inspect<DMUIProjectProcessInspectorController>(process);

    // The current begin picked again: no question, no change.
    modalUI.answer = DMModalUI::AlternateReturn;
    inspector->commonCallback(inspector->beginDatePicker());
    EXPECT_TRUE(modalUI.alerts.isEmpty());

    // "Set Begin Date": the process's begin moves, its child stays.
    pick(inspector->beginDatePicker(), at(2024, 1, 1, 8));
    ASSERT_EQ(modalUI.alerts.size(), 1);
    EXPECT_EQ(modalUI.alerts.first().messageText, QStringLiteral("Would you like to reschedule the entire process?"));
    EXPECT_EQ(modalUI.alerts.first().buttons, (QStringList{"Reschedule", "Set Begin Date"}));
    EXPECT_EQ(process->beginDate(), at(2024, 1, 1, 8));
    EXPECT_EQ(child->beginDate(), at(2024, 1, 10, 8));

    // "Reschedule": the child moves by the same shift.
    modalUI.answer = DMModalUI::DefaultReturn;
    pick(inspector->beginDatePicker(), at(2024, 1, 8, 8));
    EXPECT_EQ(process->beginDate(), at(2024, 1, 8, 8));
    EXPECT_EQ(child->beginDate(), at(2024, 1, 17, 8));
    EXPECT_EQ(beeps.count(), 0);

    // Fitting its contained items disables both pickers.
    inspector->fitContainedItemsCheckBox()->click();
    EXPECT_TRUE(process->attribute(kDMProjectItem_ExpandToFitSubitems).toBool());
    EXPECT_FALSE(inspector->beginDatePicker()->isEnabledTo(inspector->containerView()));
    EXPECT_FALSE(inspector->endDatePicker()->isEnabledTo(inspector->containerView()));
}

TEST_F(InspectorTest, AnEventSplitsItsDurationWithTheWorkingDayWithoutShowingTheBox)
{
    auto event = addEvent("Fair", at(2024, 1, 9, 8), at(2024, 1, 10, 18));
    auto *inspector = inspect<DMUIProjectEventInspectorController>(event);
    EXPECT_EQ(inspector->useWorkingScheduleCheckBox(), nullptr);
    ASSERT_TRUE(event->useWorkingSchedule());
    EXPECT_EQ(durationShown(inspector), (QStringList{"2", "0", "0"}));
    type(inspector->durationDaysField(), "1");
    clock.advance(280);
    EXPECT_EQ(event->endDate(), at(2024, 1, 9, 18));
    pick(inspector->endDatePicker(), at(2024, 1, 9, 8));
    EXPECT_EQ(beeps.count(), 1);
}
