// The Project page of the source list: the project's title, dates, budget, currency unit and the
// length of new tasks, each change one named undo step that the page and the rest of the window
// follow.
#include "DocumentTestSupport.h"
#include "../gantt/FakeInspector.h"

#include "DMCurrencyFormatter.h"
#include "DMGanttUIObjectFactory.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectSettingsController.h"
#include "DMProjectTask.h"

#include <QStackedWidget>

using namespace halcyra::test;
using DS = DMProjectDocumentSourceListOutlineDS;

namespace {

class ProjectSettingsPageTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        document = shownDocumentWith({"Survey"});
        project = document->project();
        choose(document, DMPage::ProjectSettingsPage);
    }

    DMProjectSettingsController *page() const { return document->outlets().projectSettingsController.get(); }
    QWidget *shownPage() const
    {
        return qobject_cast<QStackedWidget *>(document->outlets().topLevelContentSplitSubview.data())->currentWidget();
    }
    // Types the text over the field's text and ends with Return.
    static void typeInto(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    QString undoName() const { return document->undoManager()->undoActionName(); }

    std::shared_ptr<DMProjectDocument> document;
    std::shared_ptr<DMProject> project;
};

} // namespace

TEST_F(ProjectSettingsPageTest, EveryChangeIsOneNamedUndoStepThatThePageFollows)
{
    ASSERT_EQ(shownPage(), document->outlets().projectSettingsView);
    DMProjectSettingsController *settings = page();
    const DMDate begin = project->beginDate();
    const DMDate end = project->endDate();
    EXPECT_EQ(settings->titleField()->text(), project->title());
    EXPECT_EQ(settings->beginDatePicker()->dateTime(), begin.NSDate());
    EXPECT_EQ(settings->endDatePicker()->dateTime(), end.NSDate());
    EXPECT_EQ(settings->defaultDurationDaysField()->value(), 1);

    typeInto(settings->titleField(), QStringLiteral("House Renovation"));
    EXPECT_EQ(project->title(), QStringLiteral("House Renovation"));
    EXPECT_EQ(steps(document), 1);
    EXPECT_EQ(undoName(), QStringLiteral("Change Title"));
    EXPECT_TRUE(document->isDocumentEdited());

    // Each change in an event of its own, as the user makes them.
    settings->beginDatePicker()->setDateTime(QDateTime(QDate(2024, 6, 3), QTime(8, 0)));
    EXPECT_EQ(project->beginDate(), at(2024, 6, 3, 8));
    EXPECT_EQ(steps(document), 2);
    settings->endDatePicker()->setDateTime(QDateTime(QDate(2024, 9, 30), QTime(18, 0)));
    EXPECT_EQ(project->endDate(), at(2024, 9, 30, 18));
    EXPECT_EQ(steps(document), 3);
    EXPECT_EQ(undoName(), QStringLiteral("Change End Date"));

    settings->budgetField()->setValue(25000.0);
    EXPECT_DOUBLE_EQ(project->attribute(kDMProject_Settings_Budget).toDouble(), 25000.0);
    EXPECT_EQ(steps(document), 4);
    typeInto(settings->currencyUnitField(), QStringLiteral("CHF"));
    EXPECT_EQ(project->attribute(kDMProject_Settings_CurrencyUnit).toString(), QStringLiteral("CHF"));
    EXPECT_EQ(settings->budgetField()->prefix(), QStringLiteral("CHF "));
    EXPECT_TRUE(document->sharedCurrencyFormatter()->stringForObjectValue(12.5).contains(QStringLiteral("CHF")));
    EXPECT_EQ(steps(document), 5);

    // New tasks take the length set here: a day of ten working hours and two hours more.
    settings->defaultDurationHoursField()->setValue(2);
    EXPECT_EQ(project->attribute(kDMProject_Settings_DefaultTaskDuration_Hours).toInt(), 2);
    EXPECT_EQ(undoName(), QStringLiteral("Change Default Task Duration"));
    EXPECT_EQ(steps(document), 6);
    gantttest::FakeInspector taskInspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    document->showPageWithTag(17);
    document->projectItemsOutlineViewDS()->outlineView()->deselectAll();
    document->projectItemsOutlineViewDS()->addTask();
    EXPECT_EQ(project->tasks().last()->duration(), 43200);
    document->undoManager()->undo();
    document->showPageWithTag(DMPage::ProjectSettingsPage);

    // Undone one by one, and shown as undone.
    for (const char *name : {"Change Default Task Duration", "Change Currency Unit", "Change Budget", "Change End Date",
                             "Change Begin Date", "Change Title"}) {
        ASSERT_EQ(undoName(), QString::fromLatin1(name));
        document->undoManager()->undo();
    }
    EXPECT_EQ(settings->titleField()->text(), project->title());
    EXPECT_NE(project->title(), QStringLiteral("House Renovation"));
    EXPECT_EQ(settings->beginDatePicker()->dateTime(), begin.NSDate());
    EXPECT_EQ(settings->endDatePicker()->dateTime(), end.NSDate());
    EXPECT_EQ(settings->budgetField()->value(), 0.0);
    EXPECT_EQ(settings->defaultDurationHoursField()->value(), 0);
    EXPECT_FALSE(document->undoManager()->canUndo());
}

TEST_F(ProjectSettingsPageTest, ValuesTheProjectCannotTakeBeepAndSpringBack)
{
    DMProjectSettingsController *settings = page();
    const QString title = project->title();
    const DMDate begin = project->beginDate();
    const DMDate end = project->endDate();
    int beeps = 0;
    DMBeep_setHook([&beeps] { ++beeps; });

    typeInto(settings->titleField(), QStringLiteral("   "));
    EXPECT_EQ(project->title(), title);
    EXPECT_EQ(settings->titleField()->text(), title);
    EXPECT_EQ(beeps, 1);

    // A begin at or after the end, an end before the begin.
    settings->beginDatePicker()->setDateTime(end.NSDate());
    settings->endDatePicker()->setDateTime(begin.NSDate().addSecs(-3600));
    EXPECT_EQ(project->beginDate(), begin);
    EXPECT_EQ(project->endDate(), end);
    EXPECT_EQ(settings->beginDatePicker()->dateTime(), begin.NSDate());
    EXPECT_EQ(settings->endDatePicker()->dateTime(), end.NSDate());
    EXPECT_EQ(beeps, 3);

    // New tasks of no length at all.
    settings->defaultDurationDaysField()->setValue(0);
    EXPECT_EQ(project->attribute(kDMProject_Settings_DefaultTaskDuration_Days).toInt(), 1);
    EXPECT_EQ(settings->defaultDurationDaysField()->value(), 1);
    EXPECT_EQ(beeps, 4);
    DMBeep_setHook({});

    EXPECT_EQ(steps(document), 0);
    EXPECT_FALSE(document->isDocumentEdited());
}
