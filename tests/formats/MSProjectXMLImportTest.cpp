// Importing MS Project XML: files that other programs wrote, the reading rules, and damaged input.
#include "DMMSProjectXMLConverter.h"
#include "FormatsTestSupport.h"
#include "TestSupport.h"

#include "DMLocalizedString.h"
#include "DMMSProjectXMLValues.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using namespace halcyra::test;

std::shared_ptr<DMProject> importData(const QByteArray &xml, DMImportReport *report = nullptr, bool *ok = nullptr)
{
    auto project = DMProject::create();
    const bool imported = DMMSProjectXMLConverter::importMSProjectXMLDataInProject(xml, *project, report);
    if (ok)
        *ok = imported;
    return project;
}

// A document with the standard week (Monday to Friday, 08:00-12:00 and 13:00-17:00) and the
// given tasks (and other root children).
QByteArray documentWith(const QByteArray &tasks, const QByteArray &more = QByteArray())
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<Project xmlns="http://schemas.microsoft.com/project"><Name>Plan</Name><StartDate>2024-03-04T08:00:00</StartDate>
<CalendarUID>1</CalendarUID><Calendars><Calendar><UID>1</UID><WeekDays>
<WeekDay><DayType>1</DayType><DayWorking>0</DayWorking></WeekDay>
<WeekDay><DayType>2</DayType><DayWorking>1</DayWorking><WorkingTimes>
<WorkingTime><FromTime>08:00:00</FromTime><ToTime>12:00:00</ToTime></WorkingTime>
<WorkingTime><FromTime>13:00:00</FromTime><ToTime>17:00:00</ToTime></WorkingTime></WorkingTimes></WeekDay>
<WeekDay><DayType>7</DayType><DayWorking>0</DayWorking></WeekDay>
</WeekDays></Calendar></Calendars><Resources/><Tasks>)"
        + tasks + "</Tasks>" + more + "</Project>";
}

QByteArray task(int uid, const char *outline, const char *name, const char *start, const char *finish,
                const QByteArray &more = QByteArray())
{
    QByteArray text = "<Task><UID>" + QByteArray::number(uid) + "</UID><Name>" + name + "</Name>";
    if (outline)
        text += "<OutlineNumber>" + QByteArray(outline) + "</OutlineNumber>";
    if (start)
        text += "<Start>" + QByteArray(start) + "</Start>";
    if (finish)
        text += "<Finish>" + QByteArray(finish) + "</Finish>";
    return text + more + "</Task>";
}

// The documentWith() file with a calendar of 09:00 to 17:00 on working days.
QByteArray officeHoursDocumentWith(const QByteArray &tasks)
{
    QByteArray xml = documentWith(tasks);
    xml.replace("<FromTime>08:00:00</FromTime><ToTime>12:00:00</ToTime></WorkingTime>\n<WorkingTime><FromTime>13:00:00</FromTime>",
                "<FromTime>09:00:00</FromTime>");
    return xml;
}

QByteArray link(int predecessor, const char *type = nullptr)
{
    return "<PredecessorLink><PredecessorUID>" + QByteArray::number(predecessor) + "</PredecessorUID>"
        + (type ? "<Type>" + QByteArray(type) + "</Type>" : QByteArray()) + "</PredecessorLink>";
}

// ---- Files other programs wrote. Counts and dates as the files hold them. ----

struct FileRow
{
    const char *file;
    ProjectCounts counts;
    QString title;
    DMDate begin, end;
    QString firstItem;
    DMDate firstBegin, firstEnd;
};

TEST(MSProjectXMLImport, FilesOfOtherProgramsImportWithWhatTheyHold)
{
    const FileRow rows[] = {
        // Summary task UID 0 left out; 3 summaries, 1 milestone, 15 tasks; resources 1 and 2 (UID 0 is
        // the format's placeholder); the two assignments of task 2 (the others name no resource);
        // six links.
        {"sample.xml", {15, 1, 3, 2, 2, 6}, "sample", at(2003, 1, 7, 8), at(2003, 3, 18, 8), "First Task",
         at(2003, 1, 7, 8), at(2003, 3, 18, 8)},
        {"mspdirelations.xml", {5, 0, 0, 0, 0, 4}, "mspdirelations.xml", at(2006, 9, 21, 8), at(2006, 9, 25, 17),
         "Task 1", at(2006, 9, 21, 8), at(2006, 9, 21, 17)},
        {"task-links-project2019-mspdi.xml", {16, 0, 0, 0, 0, 8}, "task-links-project2019-mspdi.xml",
         at(2018, 10, 18, 8), at(2018, 11, 2, 17), "Task 1", at(2018, 10, 18, 8), at(2018, 10, 18, 17)},
        {"calendar-calendars-project2019-mspdi.xml", {0, 0, 0, 2, 0, 0}, "calendar-calendars-project2019-mspdi.xml",
         at(2018, 10, 18, 8), at(2018, 10, 18, 8), QString(), DMDate(), DMDate()},
    };
    for (const FileRow &row : rows) {
        SCOPED_TRACE(row.file);
        auto project = DMProject::create();
        DMImportReport report;
        ASSERT_TRUE(DMMSProjectXMLConverter::importMSProjectXMLDocumentAtPathInProject(
            testDataPath(QStringLiteral("msproject/") + QLatin1String(row.file)), *project, &report))
            << report.failureReason().toStdString();
        EXPECT_EQ(countsOf(*project), row.counts);
        EXPECT_EQ(project->title(), row.title);
        EXPECT_EQ(project->beginDate(), row.begin);
        EXPECT_EQ(project->endDate(), row.end);
        EXPECT_EQ(report.skippedCount(), 0) << report.lines().join(QLatin1Char('\n')).toStdString();
        // Every file's project calendar: Saturday and Sunday off, 08:00-12:00 and 13:00-17:00,
        // the eight hours of a day's work from 08:00 on.
        EXPECT_EQ(project->attribute(kDMProject_Settings_DayTimeSpan),
                  QVariant(QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 960}}));
        for (int day = 0; day < 7; ++day)
            EXPECT_EQ(isNonWorkingWeekDay(*project, day), day == 0 || day == 6) << day;
        EXPECT_TRUE(project->attribute(kDMProject_ClearFilename).toBool());
        EXPECT_TRUE(project->attribute(kDMProject_ClearFromRecentItems).toBool());
        if (row.firstItem.isNull()) {
            EXPECT_TRUE(project->tasks().isEmpty());
            continue;
        }
        ASSERT_FALSE(project->tasks().isEmpty());
        const auto &first = project->tasks().first();
        EXPECT_EQ(first->title(), row.firstItem);
        EXPECT_EQ(first->beginDate(), row.firstBegin);
        EXPECT_EQ(first->endDate(), row.firstEnd);
    }
}

TEST(MSProjectXMLImport, SampleTreeLinksAndResources)
{
    DMImportReport report;
    auto project = DMProject::create();
    ASSERT_TRUE(DMMSProjectXMLConverter::importMSProjectXMLDocumentAtPathInProject(
        testDataPath(QStringLiteral("msproject/sample.xml")), *project, &report));

    EXPECT_EQ(titlesOf(project->tasks().list()),
              (QStringList{"First Task", "Recurring Task", "Task Relationships"}));
    const auto first = project->tasks().at(0);
    EXPECT_EQ(first->kind(), kDMProjectItem_Kind_Process);
    EXPECT_TRUE(first->attribute(kDMProjectItem_ExpandToFitSubitems).toBool());
    EXPECT_EQ(titlesOf(first->subitems().list()), (QStringList{"Second Task", "Third task"}));
    EXPECT_EQ(first->subitems().at(1)->kind(), kDMProjectItem_Kind_Milestone);
    EXPECT_EQ(first->subitems().at(1)->beginDate(), at(2003, 1, 7, 8));
    EXPECT_EQ(first->attribute(kDMProjectItem_Notes).toString(), QStringLiteral("Test Task Notes"));
    // 3.10 sorts after 3.9, not after 3.1.
    const auto relationships = project->tasks().at(2);
    ASSERT_EQ(relationships->subitems().size(), 12);
    EXPECT_EQ(relationships->subitems().at(9)->title(), QStringLiteral("Related Task 5b"));
    EXPECT_EQ(relationships->subitems().at(11)->title(), QStringLiteral("Related Task 6b"));
    EXPECT_EQ(relationships->subitems().at(11)->beginDate(), at(2003, 1, 7, 8));
    EXPECT_EQ(relationships->subitems().at(11)->endDate(), at(2003, 1, 8, 8));

    // Link types 1, 3, 0 and 2 of the file: finish to start, start to start, finish to finish,
    // start to finish.
    const struct
    {
        const char *from, *to;
        int kind;
    } links[] = {{"Related Task 1a", "Related Task 1b", DMProjectDependency::FinishToStart},
                 {"Related Task 4a", "Related Task 4b", DMProjectDependency::StartToStart},
                 {"Related Task 5a", "Related Task 5b", DMProjectDependency::FinishToFinish},
                 {"Related Task 6a", "Related Task 6b", DMProjectDependency::StartToFinish}};
    for (const auto &expected : links) {
        const auto from = itemTitled(*project, QLatin1String(expected.from));
        const auto to = itemTitled(*project, QLatin1String(expected.to));
        ASSERT_TRUE(from && to) << expected.from;
        const auto dependency = from->outboundDependencyToItem(to.get());
        ASSERT_TRUE(dependency) << expected.from;
        EXPECT_EQ(dependency->kind(), expected.kind) << expected.from;
    }

    ASSERT_EQ(project->resources().size(), 2);
    const auto resource = project->resources().at(0);
    EXPECT_EQ(resource->name(), QStringLiteral("First Resource"));
    EXPECT_TRUE(resource->attribute(kDMProjectResource_Human).toBool());
    EXPECT_DOUBLE_EQ(resource->attribute(kDMProjectResource_HourlyCost).toDouble(), 10.0);
    EXPECT_EQ(resource->attribute(kDMProjectResource_CostKind).toInt(), 0);
    const auto second = std::dynamic_pointer_cast<DMProjectTask>(itemTitled(*project, QStringLiteral("Second Task")));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->concernedResources(), (QList{project->resources().at(0), project->resources().at(1)}));
    EXPECT_EQ(project->attribute(kDMProject_Settings_CurrencyUnit).toString(), QStringLiteral("£"));
}

// ---- The reading rules ----

TEST(MSProjectXMLImport, OutlineFromLevelsAndSummaries)
{
    // Levels only (1, 2, 2, 1, 2) give 1, 1.1, 1.2, 2, 2.1; a task with subtasks is a process
    // whatever its Summary says; Milestone and Summary together make a process.
    auto withLevel = [](int uid, int level, const char *name, const QByteArray &more = QByteArray()) {
        return task(uid, nullptr, name, "2024-03-04T08:00:00", "2024-03-05T17:00:00",
                    "<OutlineLevel>" + QByteArray::number(level) + "</OutlineLevel>" + more);
    };
    const auto project = importData(documentWith(
        task(0, "0", "Project summary", "2024-03-04T08:00:00", "2024-03-05T17:00:00", "<Summary>1</Summary>")
        + withLevel(1, 1, "A", "<Summary>0</Summary>") + withLevel(2, 2, "A1") + withLevel(3, 2, "A2")
        + withLevel(4, 1, "B", "<Milestone>1</Milestone><Summary>1</Summary>") + withLevel(5, 2, "B1")
        + withLevel(6, 4, "Jumped")));
    ASSERT_EQ(titlesOf(project->tasks().list()), (QStringList{"A", "B"}));
    EXPECT_EQ(project->tasks().at(0)->kind(), kDMProjectItem_Kind_Process);
    EXPECT_EQ(project->tasks().at(1)->kind(), kDMProjectItem_Kind_Process);
    EXPECT_EQ(titlesOf(project->tasks().at(0)->subitems().list()), (QStringList{"A1", "A2"}));
    EXPECT_EQ(titlesOf(project->tasks().at(1)->subitems().list()), (QStringList{"B1"}));
    // A level below no task of the level above goes one level below the last task: 2.1.1.
    const auto jumped = itemTitled(*project, "Jumped");
    ASSERT_TRUE(jumped);
    EXPECT_EQ(jumped->parentItem()->title(), QStringLiteral("B1"));
}

TEST(MSProjectXMLImport, TaskDatesAndLinkTypes)
{
    DMImportReport report;
    const auto project = importData(
        documentWith(task(1, "1", "Same", "2024-03-04T08:00:00", "2024-03-04T08:00:00")
                     + task(2, "2", "Backwards", "2024-03-06T17:00:00", "2024-03-05T08:00:00", link(1, "1"))
                     + task(3, "3", "By duration", "2024-03-04T08:00:00", nullptr, "<Duration>PT16H0M0S</Duration>" + link(1))
                     + task(4, "4", "Half hour", "2024-03-04T08:00:00", nullptr, "<Duration>PT0.5H</Duration>")
                     + task(5, "5", "Remaining", nullptr, nullptr,
                            "<ManualStart>2024-03-04T09:00:00</ManualStart><RemainingDuration>PT2H0M0S</RemainingDuration>")
                     + task(6, "6", "Elapsed", "2024-03-04T08:00:00", "2024-03-09T08:00:00",
                            "<DurationFormat>8</DurationFormat><PercentComplete>50</PercentComplete><FixedCost>12050</FixedCost>"
                            "<Notes>  </Notes>")),
        &report);
    const auto same = itemTitled(*project, "Same");
    EXPECT_EQ(same->endDate(), at(2024, 3, 4, 9));
    const auto backwards = itemTitled(*project, "Backwards");
    EXPECT_EQ(backwards->beginDate(), at(2024, 3, 5, 8));
    EXPECT_EQ(backwards->endDate(), at(2024, 3, 6, 17));
    EXPECT_EQ(itemTitled(*project, "By duration")->endDate(), at(2024, 3, 5, 0));
    EXPECT_EQ(itemTitled(*project, "Half hour")->endDate(), at(2024, 3, 4, 8, 30));
    EXPECT_EQ(itemTitled(*project, "Remaining")->beginDate(), at(2024, 3, 4, 9));
    EXPECT_EQ(itemTitled(*project, "Remaining")->endDate(), at(2024, 3, 4, 11));
    EXPECT_EQ(report.repairedCount(), 2); // the equal pair and the swapped one

    const auto elapsed = itemTitled(*project, "Elapsed");
    EXPECT_FALSE(elapsed->useWorkingSchedule());
    EXPECT_EQ(elapsed->attribute(kDMProjectItem_Notes).toString(), QStringLiteral("  ")); // white space is a value too
    EXPECT_TRUE(same->useWorkingSchedule());
    EXPECT_FLOAT_EQ(elapsed->progress(), 0.5f);
    EXPECT_EQ(elapsed->attribute(kDMProjectItem_CostKind).toInt(), 0);
    EXPECT_DOUBLE_EQ(elapsed->attribute(kDMProjectItem_Cost).toDouble(), 120.5);
    EXPECT_EQ(same->attribute(kDMProjectItem_CostKind).toInt(), 2);

    EXPECT_EQ(same->outboundDependencyToItem(backwards.get())->kind(), DMProjectDependency::FinishToStart);
    // A link without Type is finish to finish.
    EXPECT_EQ(same->outboundDependencyToItem(itemTitled(*project, "By duration").get())->kind(),
              DMProjectDependency::FinishToFinish);
}

// A dependency has no lag: links that had one are made without it and the user is told how many;
// a file whose links have none, or a lag of 0, has nothing to tell.
TEST(MSProjectXMLImport, LinksWithALagAreReportedAsReadWithoutIt)
{
    // The file's eight links: one without a lag, four finish-to-start ones with lags of 1 to 10
    // days, and one of each other type with a lag of 2 days.
    auto project = DMProject::create();
    DMImportReport report;
    ASSERT_TRUE(DMMSProjectXMLConverter::importMSProjectXMLDocumentAtPathInProject(
        testDataPath(QStringLiteral("msproject/task-links-project2019-mspdi.xml")), *project, &report));
    EXPECT_EQ(report.notes().filter(QStringLiteral("lag")), QStringList{QStringLiteral(
        "Links with a lag between their tasks, read without the lag: 7.")}) << report.userSummary().toStdString();

    const QByteArray zeroLag = "<PredecessorLink><PredecessorUID>1</PredecessorUID><Type>1</Type><LinkLag>0</LinkLag>"
                               "<LagFormat>7</LagFormat></PredecessorLink>";
    const QByteArray negativeLag = "<PredecessorLink><PredecessorUID>2</PredecessorUID><Type>1</Type><LinkLag>-4800</LinkLag>"
                                   "</PredecessorLink>";
    DMImportReport plain;
    importData(documentWith(task(1, "1", "A", "2024-03-04T08:00:00", "2024-03-04T17:00:00")
                            + task(2, "2", "B", "2024-03-05T08:00:00", "2024-03-05T17:00:00", zeroLag + link(1, "3"))),
               &plain);
    EXPECT_TRUE(plain.notes().filter(QStringLiteral("lag")).isEmpty()) << plain.userSummary().toStdString();
    DMImportReport lead;
    const auto led = importData(documentWith(task(1, "1", "A", "2024-03-04T08:00:00", "2024-03-04T17:00:00")
                                             + task(2, "2", "B", "2024-03-05T08:00:00", "2024-03-05T17:00:00")
                                             + task(3, "3", "C", "2024-03-05T08:00:00", "2024-03-05T17:00:00", negativeLag)),
                                &lead);
    EXPECT_TRUE(itemTitled(*led, "B")->outboundDependencyToItem(itemTitled(*led, "C").get()));
    EXPECT_EQ(lead.notes().filter(QStringLiteral("lag")).size(), 1) << lead.userSummary().toStdString();
}

TEST(MSProjectXMLImport, ProjectDatesAndWorkingTime)
{
    // No FinishDate: three years after the start. No StartDate: the earliest item.
    auto project = importData(documentWith(task(1, "1", "T", "2024-03-05T08:00:00", "2024-03-06T17:00:00")));
    EXPECT_EQ(project->endDate(), at(2027, 3, 4, 8));
    QByteArray noStart = documentWith(task(1, "1", "T", "2024-03-05T08:00:00", "2024-03-06T17:00:00"));
    noStart.replace("<StartDate>2024-03-04T08:00:00</StartDate>", "");
    project = importData(noStart);
    EXPECT_EQ(project->beginDate(), at(2024, 3, 5, 8));
    EXPECT_EQ(project->endDate(), at(2024, 3, 6, 17));

    // The project's own calendar, not the night shift beside it; holidays and exceptions that
    // are not working time become days off (older and newer forms).
    const QByteArray calendars = R"(<Calendars>
<Calendar><UID>2</UID><Name>Night</Name><WeekDays><WeekDay><DayType>3</DayType><DayWorking>1</DayWorking>
<WorkingTimes><WorkingTime><FromTime>23:00:00</FromTime><ToTime>00:00:00</ToTime></WorkingTime></WorkingTimes></WeekDay></WeekDays></Calendar>
<Calendar><UID>1</UID><Name>Standard</Name><WeekDays>
<WeekDay><DayType>1</DayType><DayWorking>0</DayWorking></WeekDay>
<WeekDay><DayType>2</DayType><DayWorking>1</DayWorking><WorkingTimes><WorkingTime><FromTime>07:30:00</FromTime><ToTime>16:00:00</ToTime></WorkingTime></WorkingTimes></WeekDay>
<WeekDay><DayType>0</DayType><DayWorking>0</DayWorking><TimePeriod><FromDate>2024-12-24T00:00:00</FromDate><ToDate>2024-12-26T23:59:00</ToDate></TimePeriod></WeekDay>
<WeekDay><DayType>0</DayType><DayWorking>1</DayWorking><TimePeriod><FromDate>2024-12-28T00:00:00</FromDate><ToDate>2024-12-28T23:59:00</ToDate></TimePeriod></WeekDay>
</WeekDays><Exceptions>
<Exception><Occurrences>1</Occurrences><Name>Founders' day</Name><Type>1</Type><DayWorking>0</DayWorking>
<TimePeriod><FromDate>2024-05-02T00:00:00</FromDate><ToDate>2024-05-02T23:59:00</ToDate></TimePeriod></Exception>
<Exception><Occurrences>3</Occurrences><Name>New Year</Name><Type>2</Type><Month>0</Month><MonthDay>1</MonthDay><DayWorking>0</DayWorking>
<TimePeriod><FromDate>2025-01-01T00:00:00</FromDate><ToDate>2027-01-01T23:59:00</ToDate></TimePeriod></Exception>
</Exceptions></Calendar></Calendars>)";
    QByteArray xml = documentWith(task(1, "1", "T", "2024-03-05T08:00:00", "2024-03-06T17:00:00"));
    xml.replace(xml.mid(xml.indexOf("<Calendars>"), xml.indexOf("</Calendars>") + 12 - xml.indexOf("<Calendars>")), calendars);
    DMImportReport report;
    project = importData(xml, &report);
    EXPECT_EQ(project->attribute(kDMProject_Settings_DayTimeSpan),
              QVariant(QVariantMap{{kDMTimeSpanBegin, 450}, {kDMTimeSpanEnd, 960}}));
    EXPECT_TRUE(isNonWorkingWeekDay(*project, 0));
    EXPECT_FALSE(isNonWorkingWeekDay(*project, 2));
    for (const DMDate &day : {at(2024, 12, 24), at(2024, 12, 26), at(2024, 5, 2), at(2025, 1, 1), at(2027, 1, 1)})
        EXPECT_FALSE(project->isWorkingDay(day)) << day.description().toStdString();
    for (const DMDate &day : {at(2024, 12, 27), at(2024, 12, 28), at(2024, 5, 3), at(2028, 1, 3)})
        EXPECT_TRUE(project->isWorkingDay(day)) << day.description().toStdString();
    const QVariantList daysOff = project->attribute(kDMProject_Settings_DaysOff).toList();
    ASSERT_EQ(daysOff.size(), 5);
    EXPECT_EQ(daysOff.at(1).toMap().value("kDMDayOffDescription").toString(), QStringLiteral("Founders' day"));
    EXPECT_EQ(report.skippedCount(), 0);
}

// The file's Duration is the work: a day of two working times holds eight hours, a split task
// does not count its gap, and a plan scheduled round the clock on a calendar of office hours
// keeps its dates and durations. The day becomes 08:00-16:00, so a task that crosses the break
// ends where its work on that window ends, later or earlier than the file's finish.
TEST(MSProjectXMLImport, TasksKeepTheWorkOfTheFile)
{
    const QByteArray rate = "<Resources><Resource><UID>1</UID><Name>Ann</Name><Type>1</Type><StandardRate>10</StandardRate>"
                            "<StandardRateFormat>2</StandardRateFormat></Resource></Resources>";
    QByteArray xml = documentWith(
        task(1, "1", "Week", "2024-03-04T08:00:00", "2024-03-08T17:00:00", "<Duration>PT40H0M0S</Duration>")
            + task(2, "2", "Split", "2024-03-04T08:00:00", "2024-03-08T17:00:00", "<Duration>PT16H0M0S</Duration>")
            + task(3, "3", "Half day", "2024-03-05T13:00:00", "2024-03-05T17:00:00", "<Duration>PT4H0M0S</Duration>")
            + task(4, "4", "Across the break", "2024-03-05T13:00:00", "2024-03-06T12:00:00", "<Duration>PT8H0M0S</Duration>")
            + task(5, "5", "Over lunch", "2024-03-05T11:00:00", "2024-03-05T14:00:00", "<Duration>PT2H0M0S</Duration>")
            + task(6, "6", "Two shifts", "2024-03-04T08:00:00", "2024-03-04T17:00:00", "<Duration>PT16H0M0S</Duration>"),
        "<Assignments><Assignment><UID>1</UID><TaskUID>1</TaskUID><ResourceUID>1</ResourceUID></Assignment>"
        "<Assignment><UID>2</UID><TaskUID>4</TaskUID><ResourceUID>1</ResourceUID></Assignment></Assignments>");
    xml.replace("<Resources/>", rate);
    DMImportReport report;
    auto project = importData(xml, &report);
    const struct
    {
        const char *title;
        DMDate end;
        int hours;
    } works[] = {{"Week", at(2024, 3, 8, 17), 40},
                {"Split", at(2024, 3, 5, 16), 16},
                {"Half day", at(2024, 3, 6, 9), 4},
                {"Across the break", at(2024, 3, 6, 13), 8},
                {"Over lunch", at(2024, 3, 5, 13), 2},
                // More work than the file's working times hold between its dates (a resource's
                // second shift, which the project cannot hold): the file's dates stay.
                {"Two shifts", at(2024, 3, 4, 17), 8}};
    for (const auto &row : works) {
        const auto item = itemTitled(*project, QLatin1String(row.title));
        ASSERT_TRUE(item) << row.title;
        EXPECT_EQ(item->endDate(), row.end) << row.title;
        EXPECT_EQ(item->duration(), row.hours * 3600) << row.title;
        EXPECT_TRUE(item->useWorkingSchedule()) << row.title;
    }
    for (const char *title : {"Week", "Across the break"}) {
        const auto item = itemTitled(*project, QLatin1String(title));
        item->setAttribute(kDMProjectItem_CostKind, 2);
        EXPECT_FLOAT_EQ(item->cost(), item->duration() / 3600 * 10.0f) << title;
    }
    EXPECT_EQ(report.repairedCount(), 1) << report.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(report.lines().filter(QStringLiteral("UID=2 is split")).size(), 1);
    ASSERT_EQ(report.notes().size(), 1);
    EXPECT_TRUE(report.notes().first().contains(QStringLiteral("08:00-12:00, 13:00-17:00"))) << report.userSummary().toStdString();

    // Round the clock on 09:00-17:00: a day, an evening, and a working day written as usual.
    xml = officeHoursDocumentWith(
        task(1, "1", "Day", "2024-03-04T00:00:00", "2024-03-05T00:00:00", "<Duration>PT24H0M0S</Duration>")
        + task(2, "2", "Evening", "2024-03-04T18:00:00", "2024-03-04T22:00:00", "<Duration>PT4H0M0S</Duration>")
        + task(3, "3", "Office", "2024-03-05T09:00:00", "2024-03-05T17:00:00", "<Duration>PT8H0M0S</Duration>"));
    DMImportReport clockReport;
    project = importData(xml, &clockReport);
    const struct
    {
        const char *title;
        DMDate begin, end;
        int hours;
        bool onSchedule;
    } rows[] = {{"Day", at(2024, 3, 4), at(2024, 3, 5), 24, false},
                {"Evening", at(2024, 3, 4, 18), at(2024, 3, 4, 22), 4, false},
                {"Office", at(2024, 3, 5, 9), at(2024, 3, 5, 17), 8, true}};
    for (const auto &row : rows) {
        const auto item = itemTitled(*project, QLatin1String(row.title));
        ASSERT_TRUE(item) << row.title;
        EXPECT_EQ(item->beginDate(), row.begin) << row.title;
        EXPECT_EQ(item->endDate(), row.end) << row.title;
        EXPECT_EQ(item->duration(), row.hours * 3600) << row.title;
        EXPECT_EQ(item->useWorkingSchedule(), row.onSchedule) << row.title;
    }
    EXPECT_EQ(clockReport.repairedCount() + clockReport.skippedCount(), 0);
    ASSERT_EQ(clockReport.notes().size(), 1);
    EXPECT_TRUE(clockReport.notes().first().endsWith(QStringLiteral(": 2."))) << clockReport.notes().first().toStdString();
}

TEST(MSProjectXMLImport, EmptyRowsAndReversedProjectDatesAreReported)
{
    // The reversed dates are not the plan's: the project encloses its tasks, one of which lies
    // before both.
    QByteArray xml = documentWith(task(1, "1", "Real", "2024-03-04T08:00:00", "2024-03-04T17:00:00")
                                  + "<Task><UID>2</UID><ID>2</ID><IsNull>1</IsNull><OutlineNumber>2</OutlineNumber></Task>"
                                  + "<Task><UID>3</UID><ID>3</ID><IsNull>1</IsNull></Task>"
                                  + task(4, "3", "Early", "2024-02-26T08:00:00", "2024-02-27T17:00:00"));
    xml.replace("<StartDate>2024-03-04T08:00:00</StartDate>",
                "<StartDate>2024-04-30T17:00:00</StartDate><FinishDate>2024-03-04T08:00:00</FinishDate>");
    DMImportReport report;
    const auto project = importData(xml, &report);
    EXPECT_EQ(titlesOf(project->tasks().list()), (QStringList{"Real", "Early"}));
    EXPECT_EQ(report.skippedCount(), 2);
    EXPECT_EQ(report.lines().filter(QStringLiteral("IsNull")).size(), 2);
    EXPECT_EQ(project->beginDate(), at(2024, 2, 26, 8));
    EXPECT_EQ(project->endDate(), at(2024, 4, 30, 17));
    EXPECT_EQ(report.repairedCount(), 1);
    EXPECT_EQ(report.lines().filter(QStringLiteral("StartDate lies after its FinishDate")).size(), 1);
    EXPECT_EQ(report.items().filter(QStringLiteral("2024-02-26 08:00 to 2024-04-30 17:00")).size(), 1)
        << report.userSummary().toStdString();
}

// The alert lists what was repaired or skipped, item by item with its name, the first ones when
// there are many; the log keeps every line.
TEST(MSProjectXMLImport, TheReportNamesEachItemRepairedOrSkipped)
{
    QByteArray tasks;
    for (int i = 1; i <= 13; ++i) {
        const QByteArray name = "Backwards " + QByteArray::number(i);
        tasks += task(i, QByteArray::number(i).constData(), name.constData(), "2024-03-06T17:00:00", "2024-03-05T09:00:00");
    }
    tasks += "<Task><UID>20</UID><OutlineNumber>20</OutlineNumber></Task>";
    tasks += task(21, "21", "No dates", nullptr, nullptr);
    DMImportReport report;
    importData(officeHoursDocumentWith(tasks), &report);
    EXPECT_EQ(report.repairedCount(), 13);
    EXPECT_EQ(report.skippedCount(), 2);
    EXPECT_EQ(report.lines().size(), 15);
    ASSERT_EQ(report.items().size(), 15);
    EXPECT_EQ(report.items().first(), QStringLiteral("Task \"Backwards 1\" (UID 1) finishes before it starts; its dates are swapped."));
    EXPECT_EQ(report.items().at(13), QStringLiteral("Task UID 20 has no usable dates and is skipped."));
    EXPECT_EQ(report.items().at(14), QStringLiteral("Task \"No dates\" (UID 21) has no usable dates and is skipped."));
    const QStringList summary = report.userSummary().split(QLatin1Char('\n'));
    ASSERT_EQ(summary.size(), 1 + DMImportReport::kListedItems + 1);
    EXPECT_EQ(summary.first(), QStringLiteral("Items repaired: 13. Items skipped: 2."));
    EXPECT_EQ(summary.mid(1, DMImportReport::kListedItems), report.items().mid(0, DMImportReport::kListedItems));
    EXPECT_EQ(summary.last(), QStringLiteral("… and 5 more."));
}

// The text of each element of that name in the file.
QStringList elementsNamed(const QString &xml, const QString &name)
{
    QStringList found;
    for (const QRegularExpressionMatch &match : QRegularExpression(QStringLiteral("<%1>(.*?)</%1>").arg(name)).globalMatch(xml))
        found.append(match.captured(1));
    return found;
}

// Amounts are hundredths of the currency unit; StandardRate is per hour whatever unit
// StandardRateFormat names (the unit a program shows it in). sample.xml states each resource's
// Cost: its rate times its Work plus its cost per use times its units.
TEST(MSProjectXMLImport, AmountsAreHundredthsAndRatesArePerHour)
{
    QFile file(testDataPath(QStringLiteral("msproject/sample.xml")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray sample = file.readAll();
    DMImportReport report;
    auto project = importData(sample, &report);
    const QStringList assignments = elementsNamed(QString::fromUtf8(sample), QStringLiteral("Assignment"));
    int checked = 0;
    for (const QString &stated : elementsNamed(QString::fromUtf8(sample), QStringLiteral("Resource"))) {
        const QString name = elementOf(stated, QStringLiteral("Name"));
        if (name.isEmpty())
            continue;
        SCOPED_TRACE(name.toStdString());
        std::shared_ptr<DMProjectResource> resource;
        for (const auto &candidate : project->resources())
            if (candidate->name() == name)
                resource = candidate;
        ASSERT_TRUE(resource);
        EXPECT_EQ(resource->attribute(kDMProjectResource_CostKind).toInt(), kDMProjectResourceCostKind_Hourly);
        const double rate = resource->attribute(kDMProjectResource_HourlyCost).toDouble();
        // A resource here is paid by the hour, the day or the task: the cost per use beside
        // the rate is named in the report, in the currency's units.
        const QStringList said = report.items().filter(QStringLiteral("\"%1\"").arg(name));
        ASSERT_EQ(said.size(), 1) << report.userSummary().toStdString();
        const QRegularExpressionMatch perUse = QRegularExpression(QStringLiteral("cost per use of ([0-9.]+)")).match(said.first());
        ASSERT_TRUE(perUse.hasMatch()) << said.first().toStdString();
        double units = 0.0;
        for (const QString &assignment : assignments)
            if (elementOf(assignment, QStringLiteral("ResourceUID")) == elementOf(stated, QStringLiteral("UID")))
                units += elementOf(assignment, QStringLiteral("Units")).toDouble();
        // Work is whole hours here ("PT200H0M0S").
        const double hours = elementOf(stated, QStringLiteral("Work")).section(QLatin1Char('H'), 0, 0).mid(2).toDouble();
        EXPECT_NEAR(rate * hours + perUse.captured(1).toDouble() * units, elementOf(stated, QStringLiteral("Cost")).toDouble() / 100.0,
                    0.005);
        ++checked;
    }
    EXPECT_EQ(checked, 2);

    // Paid by the task (no rate, 500.00 a use), by the day (120 an hour over the 8-hour day),
    // by the hour; a task's fixed cost of 1,500.00.
    QByteArray xml = documentWith(
        task(1, "1", "Lift", "2024-03-04T08:00:00", "2024-03-05T16:00:00", "<FixedCost>150000</FixedCost>")
            + task(2, "2", "Haul", "2024-03-04T08:00:00", "2024-03-05T16:00:00"),
        "<Assignments><Assignment><UID>1</UID><TaskUID>2</TaskUID><ResourceUID>2</ResourceUID></Assignment></Assignments>");
    xml.replace("<Resources/>",
                "<Resources><Resource><UID>1</UID><Name>Permit</Name><Type>0</Type><StandardRate>0</StandardRate>"
                "<CostPerUse>50000</CostPerUse></Resource>"
                "<Resource><UID>2</UID><Name>Crane</Name><Type>0</Type><StandardRate>120</StandardRate>"
                "<StandardRateFormat>3</StandardRateFormat></Resource>"
                "<Resource><UID>3</UID><Name>Ann</Name><Type>1</Type><StandardRate>52.5</StandardRate>"
                "<StandardRateFormat>2</StandardRateFormat></Resource></Resources>");
    DMImportReport builtReport;
    project = importData(xml, &builtReport);
    ASSERT_EQ(project->resources().size(), 3);
    const struct
    {
        int kind;
        double amount;
    } expected[] = {{kDMProjectResourceCostKind_Fixed, 500.0}, {kDMProjectResourceCostKind_Daily, 960.0},
                    {kDMProjectResourceCostKind_Hourly, 52.5}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(project->resources().at(i)->attribute(kDMProjectResource_CostKind).toInt(), expected[i].kind) << i;
        EXPECT_DOUBLE_EQ(project->resources().at(i)->attribute(kDMProjectResource_HourlyCost).toDouble(), expected[i].amount) << i;
    }
    const auto lift = itemTitled(*project, "Lift");
    EXPECT_EQ(lift->attribute(kDMProjectItem_CostKind).toInt(), kDMProjectItemCostKind_Fixed);
    EXPECT_DOUBLE_EQ(lift->attribute(kDMProjectItem_Cost).toDouble(), 1500.0);
    // Two working days of the crane: 1,920.00, as the file's 16 hours at 120.
    EXPECT_FLOAT_EQ(itemTitled(*project, "Haul")->cost(), 1920.0f);
    EXPECT_TRUE(builtReport.items().isEmpty()) << builtReport.userSummary().toStdString();
}

// A plan scheduled round the clock on a calendar of office hours, written without Duration
// elements: a chain of 300 four-hour tasks from Monday 00:00, most of them outside 09:00-17:00
// or across its ends. Every task keeps its dates and its four hours; those within the working
// time stay on the working schedule, the others are read off it and counted.
TEST(MSProjectXMLImport, RoundTheClockTasksWithoutDurationsKeepTheirTime)
{
    QByteArray tasks;
    const DMDate first = at(2024, 3, 4);
    int offSchedule = 0;
    for (int i = 1; i <= 300; ++i) {
        const DMDate begin = first.dateByAddingSeconds(qint64(i - 1) * 4 * 3600);
        const DMDate end = begin.dateByAddingSeconds(4 * 3600);
        const bool inOfficeHours = begin.dayOfWeek() >= 1 && begin.dayOfWeek() <= 5 && begin.secondOfDay() == 12 * 3600;
        offSchedule += inOfficeHours ? 0 : 1;
        const QByteArray name = "Step " + QByteArray::number(i);
        tasks += task(i, QByteArray::number(i).constData(), name.constData(), DMDate_MSProjectFormatString(begin).toLatin1().constData(),
                      DMDate_MSProjectFormatString(end).toLatin1().constData(), i > 1 ? link(i - 1, "1") : QByteArray());
    }
    DMImportReport report;
    const auto project = importData(officeHoursDocumentWith(tasks), &report);
    ASSERT_EQ(project->tasks().size(), 300);
    EXPECT_EQ(countsOf(*project).links, 299);
    for (int i = 0; i < 300; ++i) {
        const auto &item = project->tasks().at(i);
        const DMDate begin = first.dateByAddingSeconds(qint64(i) * 4 * 3600);
        EXPECT_EQ(item->beginDate(), begin) << i;
        EXPECT_EQ(item->endDate(), begin.dateByAddingSeconds(4 * 3600)) << i;
        EXPECT_EQ(item->duration(), 4 * 3600) << item->title().toStdString() << " " << begin.description().toStdString();
    }
    EXPECT_EQ(report.repairedCount() + report.skippedCount(), 0);
    EXPECT_EQ(report.notes(), QStringList{DMLocalizedString("Tasks scheduled outside the calendar's working time, kept with "
                                                            "their dates and durations off the working schedule: %1.")
                                              .arg(offSchedule)});

    // A file of whole days (midnight to midnight) means working days, as before.
    DMImportReport daysReport;
    const auto days = importData(officeHoursDocumentWith(task(1, "1", "Days", "2024-03-04T00:00:00", "2024-03-06T00:00:00")),
                                 &daysReport);
    EXPECT_TRUE(days->tasks().first()->useWorkingSchedule());
    EXPECT_EQ(days->tasks().first()->duration(), 16 * 3600);
    EXPECT_TRUE(daysReport.notes().isEmpty());
}

// A calendar's exceptions as MS Project writes them, in the older form (week days of type 0,
// unnamed) and again in the newer one (named): each day off comes in once, with its name. A
// working exception that the project's days off cannot hold is named in the report.
TEST(MSProjectXMLImport, CalendarExceptionsComeInOnceAndWorkingOnesAreNamed)
{
    QByteArray older;
    QByteArray newer;
    for (int day = 1; day <= 11; ++day) {
        const QByteArray date = QStringLiteral("2024-07-%1").arg(day, 2, 10, QLatin1Char('0')).toLatin1();
        const QByteArray period = "<TimePeriod><FromDate>" + date + "T00:00:00</FromDate><ToDate>" + date + "T23:59:00</ToDate></TimePeriod>";
        older += "<WeekDay><DayType>0</DayType><DayWorking>0</DayWorking>" + period + "</WeekDay>";
        newer += "<Exception><EnteredByOccurrences>0</EnteredByOccurrences>" + period + "<Occurrences>1</Occurrences><Name>Summer "
            + QByteArray::number(day) + "</Name><Type>1</Type><Period>1</Period><DaysOfWeek>0</DaysOfWeek><DayWorking>0</DayWorking></Exception>";
    }
    // The working Saturday in both forms too.
    const QByteArray inventory = "<TimePeriod><FromDate>2024-03-09T00:00:00</FromDate><ToDate>2024-03-09T23:59:00</ToDate></TimePeriod>";
    older += "<WeekDay><DayType>0</DayType><DayWorking>1</DayWorking>" + inventory + "</WeekDay>";
    newer += "<Exception>" + inventory + "<Occurrences>1</Occurrences><Name>Inventory</Name><Type>1</Type><DayWorking>1</DayWorking><WorkingTimes><WorkingTime>"
             "<FromTime>08:00:00</FromTime><ToTime>12:00:00</ToTime></WorkingTime></WorkingTimes></Exception>";
    QByteArray xml = documentWith(task(1, "1", "T", "2024-03-04T08:00:00", "2024-03-05T16:00:00"));
    xml.replace("</WeekDays>", older + "</WeekDays><Exceptions>" + newer + "</Exceptions>");
    DMImportReport report;
    const auto project = importData(xml, &report);
    const QVariantList daysOff = project->attribute(kDMProject_Settings_DaysOff).toList();
    ASSERT_EQ(daysOff.size(), 11);
    for (int day = 1; day <= 11; ++day) {
        EXPECT_EQ(daysOff.at(day - 1).toMap().value(kDMDayOffDescription).toString(), QStringLiteral("Summer %1").arg(day));
        EXPECT_FALSE(project->isWorkingDay(at(2024, 7, day)));
    }
    // Saturday 9 March stays a day off; the report says so by name.
    EXPECT_FALSE(project->isWorkingDay(at(2024, 3, 9)));
    EXPECT_EQ(report.items().filter(QStringLiteral("\"Inventory\"")).size(), 1) << report.userSummary().toStdString();
    EXPECT_EQ(report.items().filter(QStringLiteral("working exception")).size(), 1) << report.userSummary().toStdString();
    EXPECT_EQ(report.skippedCount(), 1);

    // The older form lists a yearly day in each of the project's years; the newer one once.
    older.clear();
    for (const QByteArray year : {"2024", "2025", "2026", "2027"})
        older += "<WeekDay><DayType>0</DayType><DayWorking>0</DayWorking><TimePeriod><FromDate>" + year
            + "-12-25T00:00:00</FromDate><ToDate>" + year + "-12-25T23:59:00</ToDate></TimePeriod></WeekDay>";
    xml = documentWith(task(1, "1", "T", "2024-03-04T08:00:00", "2024-03-05T16:00:00"));
    xml.replace("</WeekDays>", older + "</WeekDays><Exceptions><Exception><Occurrences>11</Occurrences><Name>Christmas</Name><Type>2</Type>"
                "<Month>11</Month><MonthDay>25</MonthDay><DayWorking>0</DayWorking><TimePeriod><FromDate>2020-12-25T00:00:00</FromDate>"
                "<ToDate>2030-12-25T23:59:00</ToDate></TimePeriod></Exception></Exceptions>");
    EXPECT_EQ(importData(xml)->attribute(kDMProject_Settings_DaysOff).toList(),
              (QVariantList{QVariantMap{{kDMDayOffIndex, DMProject_NonWorkingDayIndexForMonthDay(12, 25)},
                                        {kDMDayOffEndIndex, DMProject_NonWorkingDayIndexForMonthDay(12, 25)},
                                        {kDMDayOffDescription, QStringLiteral("Christmas")}}}));
}

// ---- Damaged and hostile input ----

TEST(MSProjectXMLImport, OutlineNumbersBoundedAndUnique)
{
    QByteArray deep = "1";
    for (int i = 0; i < 1100; ++i)
        deep += ".1";
    DMImportReport report;
    const auto project = importData(
        documentWith(task(1, "1", "Root", "2024-03-04T08:00:00", "2024-03-05T17:00:00")
                     + task(2, "1.1", "Child", "2024-03-04T08:00:00", "2024-03-05T17:00:00")
                     + task(3, "1.1", "Same number", "2024-03-04T08:00:00", "2024-03-05T17:00:00")
                     + task(4, "1.x.3", "Malformed", "2024-03-04T08:00:00", "2024-03-05T17:00:00")
                     + task(5, deep.constData(), "Too deep", "2024-03-04T08:00:00", "2024-03-05T17:00:00")
                     + task(6, "2", "Linked", "2024-03-04T08:00:00", "2024-03-05T17:00:00", link(3, "1") + link(2, "1"))),
        &report);
    // The second "1.1" is dropped with its UID: the link to it reaches nothing.
    const auto root = project->tasks().at(0);
    EXPECT_EQ(titlesOf(root->subitems().list()), (QStringList{"Child", "Malformed"}));
    EXPECT_FALSE(itemTitled(*project, "Same number"));
    const auto linked = itemTitled(*project, "Linked");
    ASSERT_EQ(linked->inboundDependencies().size(), 1);
    EXPECT_EQ(linked->inboundDependencies().first()->fromItem()->title(), QStringLiteral("Child"));
    // The task numbered 1.1.1...1 (1,101 levels) sits at level 1,024 under the deepest sound
    // ancestor that exists: "Child".
    const auto deepItem = itemTitled(*project, "Too deep");
    ASSERT_TRUE(deepItem);
    EXPECT_EQ(deepItem->parentItem(), itemTitled(*project, "Child"));
    EXPECT_EQ(report.skippedCount(), 2);  // the repeated number, the link to it
    EXPECT_EQ(report.repairedCount(), 2); // the malformed and the too deep numbers
}

TEST(MSProjectXMLImport, BadElementsAreSkippedAndCounted)
{
    DMImportReport report;
    const auto project = importData(
        documentWith(task(1, "1", "Good", "2024-03-04T08:00:00", "2024-03-05T17:00:00")
                     + task(2, "2", "Month 13", "2024-13-04T08:00:00", "2024-03-05T17:00:00")
                     + task(3, "3", "Day 32 start, manual start", "2024-03-32T08:00:00", "2024-03-05T17:00:00",
                            "<ManualStart>2024-03-04T10:00:00</ManualStart>")
                     + task(4, "4", "Bad duration", "2024-03-04T08:00:00", nullptr, "<Duration>PT8Q</Duration>")
                     + "<Task><Name>No UID</Name><OutlineNumber>5</OutlineNumber></Task>"
                     + task(6, "6", "Milestone without start", nullptr, "2024-03-05T17:00:00", "<Milestone>1</Milestone>"),
                     "<Assignments><Assignment><UID>1</UID><TaskUID>1</TaskUID><ResourceUID>9</ResourceUID></Assignment>"
                     "<Assignment><UID>2</UID><TaskUID>99</TaskUID><ResourceUID>-65535</ResourceUID></Assignment></Assignments>"),
        &report);
    // "Month 13" has a finish but no start it can read: it begins an hour before it ends.
    EXPECT_EQ(titlesOf(project->tasks().list()), (QStringList{"Good", "Month 13", "Day 32 start, manual start"}));
    EXPECT_EQ(itemTitled(*project, "Month 13")->beginDate(), at(2024, 3, 5, 16));
    EXPECT_EQ(itemTitled(*project, "Day 32 start, manual start")->beginDate(), at(2024, 3, 4, 10));
    // Skipped: bad duration, no UID, milestone without start, the assignment to a missing
    // resource. The assignment to no resource (-65535) is the format's own "unassigned".
    EXPECT_EQ(report.skippedCount(), 4) << report.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(report.userSummary().isEmpty());
}

TEST(MSProjectXMLImport, WhatIsNotMSProjectXMLOpensNothing)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *reason;
    } rows[] = {
        {"empty", QByteArray(), "not an XML document"},
        {"text", "just some text", "not an XML document"},
        {"other XML", "<?xml version=\"1.0\"?><html><body/></html>", "root element is \"html\""},
        {"no tasks", "<Project><Calendars/><Resources/></Project>", "has no Tasks"},
        {"no calendars", "<Project><Resources/><Tasks/></Project>", "has no Calendars"},
    };
    for (const auto &row : rows) {
        DMImportReport report;
        bool ok = true;
        importData(row.bytes, &report, &ok);
        EXPECT_FALSE(ok) << row.name;
        EXPECT_TRUE(report.failureReason().contains(QLatin1String(row.reason))) << row.name << ": "
                                                                                 << report.failureReason().toStdString();
    }
    DMImportReport report;
    auto project = DMProject::create();
    EXPECT_FALSE(DMMSProjectXMLConverter::importMSProjectXMLDocumentAtPathInProject(QStringLiteral("/nonexistent/plan.xml"),
                                                                                 *project, &report));
    EXPECT_FALSE(report.failureReason().isEmpty());
}

TEST(MSProjectXMLImport, EntitiesAndExternalDocumentsAreNeverExpanded)
{
    QTemporaryDir folder;
    const QString secret = folder.filePath(QStringLiteral("secret.txt"));
    QFile file(secret);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("TOP SECRET");
    file.close();
    // An external entity naming a local file, and an exponential internal one.
    QByteArray xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE Project [\n<!ENTITY leak SYSTEM \"file://" + secret.toUtf8()
        + "\">\n<!ENTITY a \"aaaaaaaaaa\">\n<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
          "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n]>\n";
    xml += documentWith(task(1, "1", "&leak;", "2024-03-04T08:00:00", "2024-03-05T17:00:00",
                             "<Notes>&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;</Notes>"))
               .mid(QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n").size());
    const auto project = importData(xml);
    ASSERT_EQ(project->tasks().size(), 1);
    const auto item = project->tasks().first();
    EXPECT_FALSE(item->title().contains(QLatin1String("SECRET")));
    EXPECT_LT(item->attribute(kDMProjectItem_Notes).toString().size(), 1000);
}

} // namespace
