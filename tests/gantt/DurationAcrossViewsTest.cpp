// One task's duration as the outline, the task inspector, the report (HTML and CSV) and a
// resource's daily rate read it: all count the same days, also when the stored working window
// is empty.
#include "InspectorTestSupport.h"

#include "DMProjectDocumentReport.h"
#include "DMProjectKeys.h"

using gantttest::at;

namespace {

class DurationAcrossViewsTest : public gantttest::InspectorTest
{
protected:
    // The text of the task's row in the Gantt outline's column.
    QString outlineText(const QString &title, const QString &column) const
    {
        const DMOutlineViewModel *model = outline()->outlineModel();
        const int titles = model->logicalColumnWithIdentifier(QStringLiteral("title"));
        for (int row = 0; row < outline()->numberOfRows(); ++row)
            if (model->data(model->indexForRow(row, titles)).toString() == title)
                return model->data(model->indexForRow(row, model->logicalColumnWithIdentifier(column))).toString();
        return QStringLiteral("<no row>");
    }
    QString csvOfTasks() const
    {
        QString content;
        int row = 0;
        float cost = 0.0f;
        document->report()->_reportGenerateCSV_tasksContentStringRowProjectCost(project->tasks().list(), content, &row, &cost);
        return content;
    }
};

} // namespace

TEST_F(DurationAcrossViewsTest, OutlineInspectorReportAndDailyRateCountTheSameDays)
{
    struct Case
    {
        const char *name;
        int beginMinute;
        int endMinute;
        DMDate begin;
        DMDate end;
        qint32 duration;
        float dailyCost; // at 100 a day
    };
    // Two days and three hours of work, Tuesday to Thursday.
    const Case cases[] = {
        {"a working day of 10 hours", 480, 1080, at(2024, 1, 2, 8), at(2024, 1, 4, 11), 2 * 36000 + 3 * 3600, 230.0f},
        // A file can store a window of no length: it is read as the whole day, by every view.
        {"an empty working window", 600, 600, at(2024, 1, 2, 0), at(2024, 1, 4, 3), 2 * 86400 + 3 * 3600, 212.5f},
    };
    auto task = addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto crew = addResource("Crew");
    crew->setAttribute(kDMProjectResource_CostKind, 1);
    crew->setAttribute(kDMProjectResource_HourlyCost, 100.0);
    task->addResource(crew);
    auto *inspector = inspect<DMUIProjectTaskInspectorController>(task);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        project->setAttribute(kDMProject_Settings_DayTimeSpan,
                              QVariantMap{{kDMTimeSpanBegin, c.beginMinute}, {kDMTimeSpanEnd, c.endMinute}});
        ASSERT_EQ(task->validateAndSetBeginDateAndEndDate(c.begin, c.end), 0);
        ASSERT_EQ(task->duration(), c.duration);
        document->reloadViews();

        EXPECT_EQ(outlineText(QStringLiteral("Task"), QStringLiteral("duration")), QStringLiteral("2 days 3 hours "));
        EXPECT_EQ(durationShown(inspector), (QStringList{"2", "3", "0"}));
        EXPECT_TRUE(document->report()->reportGenerateHTML().contains(QStringLiteral("2 days 3 H ")));
        EXPECT_TRUE(csvOfTasks().contains(QStringLiteral("2D 3H 0M 0S"))) << csvOfTasks().toStdString();
        EXPECT_FLOAT_EQ(crew->cost(), c.dailyCost);
    }
}
