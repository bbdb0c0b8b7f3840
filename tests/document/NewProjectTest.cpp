// A new project: what it writes into its file, and that it looks the same after a reopen.
#include "DocumentTestSupport.h"

#include "DMBaseObject.h"
#include "DMGanttUIObjectFactory.h"
#include "DMMainMenu.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectView.h"

#include <QMainWindow>
#include <QTest>

using namespace halcyra::test;

namespace {

class NewProjectTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
    }

    // Shows the document's window at a fixed size, with the bars laid out.
    static void show(const std::shared_ptr<DMProjectDocument> &document)
    {
        document->showWindows();
        ASSERT_TRUE(document->mainWindow());
        document->mainWindow()->resize(1000, 600);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(document->mainWindow()));
        document->reloadViews();
    }

    static QRectF barFrame(const std::shared_ptr<DMProject> &project, quint64 objectID)
    {
        const auto item = project->objectWithIDAndClass<DMProjectItem>(objectID);
        const auto bar = item ? std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject()) : nullptr;
        return bar ? bar->frame() : QRectF();
    }
};

TEST_F(NewProjectTest, BarsStayAtTheirPixelsAfterSaveAndReopen)
{
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    // A new project, and a project without a day window (as an older file or an importer may
    // leave it).
    for (const bool bare : {false, true}) {
        SCOPED_TRACE(bare ? "bare project" : "new project");
        std::shared_ptr<DMProjectDocument> created;
        if (bare) {
            auto project = DMProject::create();
            project->setBeginDate(at(2024, 5, 6));
            project->setEndDate(at(2024, 6, 6));
            created = documentWithProject(project);
        } else {
            created = controller.newDocument(false);
        }
        const std::shared_ptr<DMProject> project = created->project();
        const DMDate begin = project->beginDate();
        // Bars inside one day, from midnight across days, and over the edges of the day window.
        const int spans[][4] = {{1, 9 * 60, 1, 13 * 60 + 30}, {2, 0, 4, 18 * 60}, {5, 6 * 60, 5, 21 * 60}};
        QList<quint64> ids;
        for (const auto &span : spans) {
            auto task = makeItem<DMProjectTask>(
                project, QStringLiteral("Task"), begin.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, span[0], 0, span[1], 0),
                begin.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, span[2], 0, span[3], 0));
            task->setUseWorkingSchedule(false);
            project->tasks().append(task);
            ids.append(task->objectID());
        }
        show(created);
        const DMProject_DisplayAttributes &shown = project->displayAttributes();
        // What the canvas draws is the calendar's working day.
        EXPECT_EQ(shown.dayViewBeginMinute, project->workingCalendar().dayBeginMinute());
        EXPECT_EQ(shown.dayViewEndMinute, project->workingCalendar().dayEndMinute());
        QList<QRectF> before;
        for (quint64 id : ids)
            before.append(barFrame(project, id));

        const QString package = path(bare ? QStringLiteral("Bare.hy2") : QStringLiteral("New.hy2"));
        ASSERT_TRUE(created->saveToPath(package, DMProjectDocument::SaveAsOperation));
        created->closeWithoutShowingRecentItemsWindow();
        created.reset();
        controller.releaseClosedDocuments();

        QString error;
        auto reopened = controller.openDocumentWithContentsOfURL(package, false, &error);
        ASSERT_TRUE(reopened) << error.toStdString();
        show(reopened);
        const DMProject_DisplayAttributes &again = reopened->project()->displayAttributes();
        EXPECT_EQ(again.dayViewBeginMinute, shown.dayViewBeginMinute);
        EXPECT_EQ(again.dayViewEndMinute, shown.dayViewEndMinute);
        for (qsizetype i = 0; i < ids.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_FALSE(before.at(i).isEmpty());
            EXPECT_EQ(barFrame(reopened->project(), ids.at(i)), before.at(i));
        }
        if (!bare) {
            // The file keeps the day window and the week of the new project.
            const QVariantMap window = reopened->project()->attribute(kDMProject_Settings_DayTimeSpan).toMap();
            EXPECT_EQ(window.value(kDMTimeSpanBegin).toInt(), 480);
            EXPECT_EQ(window.value(kDMTimeSpanEnd).toInt(), 1080);
            EXPECT_TRUE(reopened->project()->attribute(kDMProject_Settings_FirstDayOfWeek).isValid());
            // The locale's weekend (Saturday and Sunday in the test's C locale) is not worked.
            const DMWorkingCalendar &calendar = reopened->project()->workingCalendar();
            EXPECT_FALSE(calendar.isWorkingDay(at(2024, 5, 11)));
            EXPECT_FALSE(calendar.isWorkingDay(at(2024, 5, 12)));
            EXPECT_TRUE(calendar.isWorkingDay(at(2024, 5, 13)));
        }
        reopened->closeWithoutShowingRecentItemsWindow();
    }
}

} // namespace

namespace {

TEST_F(NewProjectTest, ANewPlanBeginsWhenWorkCanAndItsNewTasksLastAWorkingDay)
{
    // The test's C locale works Monday to Friday; the new project's day runs from 08:00 to 18:00.
    const struct
    {
        DMDate now;
        DMDate begin;
    } days[] = {{at(2024, 5, 15, 21, 30), at(2024, 5, 15, 8)}, // a Wednesday evening: that day's window
                {at(2024, 5, 11, 10), at(2024, 5, 13, 8)}};    // a Saturday: Monday's
    for (const auto &day : days) {
        SCOPED_TRACE(day.now.description().toStdString());
        const auto project = DMProjectDocument::newDefaultProject(day.now);
        EXPECT_EQ(project->beginDate(), day.begin);
        EXPECT_EQ(project->attribute(kDMProject_Settings_DefaultTaskDuration_Days).toInt(), 1);
        EXPECT_EQ(project->attribute(kDMProject_Settings_DefaultTaskDuration_Hours).toInt(), 0);
        EXPECT_EQ(project->attribute(kDMProject_Settings_DefaultTaskDuration_Minutes).toInt(), 0);
    }

    // New Task on the Tasks page of a new document: a working day from the project's begin, a
    // bar that can be seen and grabbed.
    auto document = DMDocumentController::sharedDocumentController().newDocument(false);
    show(document);
    document->showPageWithTag(17);
    document->fileNewMenuCallback(DMMainMenu::NewTaskTag);
    const auto project = document->project();
    ASSERT_EQ(project->tasks().size(), 1);
    const auto task = project->tasks().at(0);
    const DMDate begin = project->beginDate();
    EXPECT_EQ(task->beginDate(), begin);
    EXPECT_EQ(task->endDate(), DMDate(begin.year(), begin.month(), begin.day(), 18 * 3600));
    EXPECT_EQ(task->duration(), 36000);
    document->showPageWithTag(10);
    EXPECT_GT(barFrame(project, task->objectID()).width(), 5.0);
}

} // namespace
