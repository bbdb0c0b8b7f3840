// The CSV row writers: the worked examples, and the rows of a sample project read back by
// Python's csv module.
#include "OutputTestSupport.h"

#include "DMCSVText.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace halcyra::test;

namespace {

class CSVRowsTest : public ReportTestBase
{
protected:
    QString taskRows(const QList<std::shared_ptr<DMProjectItem>> &items, int *row = nullptr, float *cost = nullptr)
    {
        int rows = 0;
        float total = 0.0f;
        QString text;
        report->_reportGenerateCSV_tasksContentStringRowProjectCost(items, text, row ? row : &rows, cost ? cost : &total);
        return text;
    }
    // The fields of the first line.
    static QStringList fields(const QString &line)
    {
        QStringList result;
        for (QString field : line.trimmed().split(QStringLiteral("\",\"")))
            result.append(field.remove(QLatin1Char('"')));
        return result;
    }
};

} // namespace

TEST_F(CSVRowsTest, DurationsOnTheFullAndTheWorkingDay)
{
    auto project = DMProject::create();
    useProject(project);
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 540}, {kDMTimeSpanEnd, 1020}});
    auto fullDay = makeItem<DMProjectTask>(project, QStringLiteral("A"), at(2024, 1, 1), at(2024, 1, 2, 1));
    fullDay->setUseWorkingSchedule(false);
    fullDay->setDuration(25 * 3600);
    auto workingDay = makeItem<DMProjectTask>(project, QStringLiteral("B"), at(2024, 1, 1, 9), at(2024, 1, 4, 10));
    workingDay->setDuration(25 * 3600);
    project->tasks().append(fullDay);
    project->tasks().append(workingDay);
    project->updateCriticalPathIfNeeded();
    fullDay->setFloatDuration(-2 * 3600);
    workingDay->setFloatDuration(0);

    const QStringList lines = taskRows(project->tasks().list()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(fields(lines[0]).value(3), QStringLiteral("1D 1H 0M 0S"));
    EXPECT_EQ(fields(lines[0]).value(6), QStringLiteral("-0D 2H 0M 0S"));
    EXPECT_EQ(fields(lines[1]).value(3), QStringLiteral("3D 1H 0M 0S"));
    EXPECT_EQ(fields(lines[0]).value(1), QStringLiteral("2024-01-01 00:00:00"));
}

TEST_F(CSVRowsTest, MilestonesGroupsAndCosts)
{
    SampleProject s = makeSampleProject();
    useProject(s.project);
    s.drawing->setTitle(QStringLiteral("Drawing")); // one line per row
    int row = 0;
    float cost = 0.0f;
    const QStringList lines = taskRows(s.project->tasks().list(), &row, &cost).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    // The process and the group give no line; the milestone does, with four empty fields.
    EXPECT_EQ(row, 4);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("\"Plans approved\",\"2024-03-08 18:00:00\",\"\",\"\",\"\",\"\",\"")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("S\",\"\"")));
    // The survey's quotes are doubled; the task costed by its resources shows their cost, and the
    // total is the tasks' (the milestone costs nothing).
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("\"Survey, site \"\"north\"\"\",")));
    EXPECT_EQ(fields(lines[2]).value(4), host.fileCurrencyString(s.bo->cost()));
    EXPECT_FLOAT_EQ(cost, s.survey->cost() + s.drawing->cost() + s.build->cost());

    // The resources' costs are in the tasks' already: the total stays.
    QString resources;
    report->_reportGenerateCSV_resourcesContentStringRow(s.project->resources().list(), resources, &row);
    EXPECT_EQ(row, 8) << "Ada, Bo, Cy and Dee; the group has no line";
    EXPECT_FLOAT_EQ(cost, s.survey->cost() + s.drawing->cost() + s.build->cost());
    EXPECT_TRUE(resources.startsWith(QStringLiteral("\"Ada\",\"ada@example.org\",\"+41 1\",\"EUR 40.00 / hour\",")));
}

TEST_F(CSVRowsTest, PythonReadsBackTheModelsValues)
{
    SampleProject s = makeSampleProject();
    useProject(s.project);
    s.build->setTitle(QStringLiteral("Quay, \"east\"\r\nphase 2 \u00fc\u20ac"));
    s.ada->setName(QStringLiteral("Ada \"the\" Lovelace, \u00e9"));
    int row = 0;
    float cost = 0.0f;
    QString text = taskRows(s.project->tasks().list(), &row, &cost);
    report->_reportGenerateCSV_resourcesContentStringRow(s.project->resources().list(), text, &row);

    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("rows.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();
    QString error;
    const QString json = runPython(QStringLiteral("import csv, json, sys\n"
                                                  "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                                  "    print(json.dumps(list(csv.reader(f))))\n"),
                                   {file.fileName()}, &error);
    ASSERT_FALSE(json.isEmpty()) << error.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.toUtf8()).array();
    ASSERT_EQ(rows.size(), 8);

    const QList<std::shared_ptr<DMProjectTask>> tasks{s.survey, s.approval, s.drawing, s.build};
    for (int i = 0; i < tasks.size(); ++i) {
        const QJsonArray r = rows.at(i).toArray();
        SCOPED_TRACE(tasks[i]->title().toStdString());
        ASSERT_EQ(r.size(), 8);
        EXPECT_EQ(r.at(0).toString(), tasks[i]->title());
        EXPECT_EQ(r.at(1).toString(), tasks[i]->beginDate().description());
        QStringList names;
        for (const auto &resource : tasks[i]->concernedResources())
            names.append(resource->name());
        EXPECT_EQ(r.at(7).toString(), names.join(QStringLiteral(", ")));
        if (tasks[i] != s.approval) {
            EXPECT_EQ(r.at(2).toString(), tasks[i]->endDate().description());
            EXPECT_EQ(r.at(4).toString(), host.fileCurrencyString(tasks[i]->cost()));
            EXPECT_EQ(r.at(5).toString(), QStringLiteral("%1%").arg(int(tasks[i]->progress() * 100.0)));
        }
    }
    const QList<std::shared_ptr<DMProjectResource>> people{s.ada, s.bo, s.cy, s.dee};
    for (int i = 0; i < people.size(); ++i) {
        const QJsonArray r = rows.at(4 + i).toArray();
        EXPECT_EQ(r.at(0).toString(), people[i]->name());
        EXPECT_EQ(r.at(1).toString(), people[i]->attribute(kDMProjectResource_Email).toString());
        EXPECT_EQ(r.at(4).toString(), host.fileCurrencyString(people[i]->cost()));
    }
}

TEST(CSVText, EveryFieldQuoted)
{
    EXPECT_EQ(DMCSV_line({QStringLiteral("a\"b"), QString(), QStringLiteral("12"), QStringLiteral("x,y\nz")}),
              QStringLiteral("\"a\"\"b\",\"\",\"12\",\"x,y\nz\"\r\n"));
    EXPECT_EQ(DMCSV_dateText(DMDate(987, 2, 3, 3723)), QStringLiteral("0987-02-03 01:02:03"));
    EXPECT_EQ(DMCSV_dateText(DMDate()), QString());
}
