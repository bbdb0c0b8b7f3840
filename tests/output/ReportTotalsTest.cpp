// Every cost a report totals is the sum of the rows under it, on the harbour plan whose tasks
// are costed every way: a fixed amount with a person's hours on it, an hourly rate with a person
// and a per-task resource, and the resources' rates alone.
#include "OutputTestSupport.h"

#include "ReportHTMLParser.h"

using namespace halcyra::test;

namespace {

class ReportTotalsTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        sample = makeSampleProject();
        useProject(sample.project);
    }
    // "EUR 12.50" as 12.50.
    static double amount(const QString &text)
    {
        bool ok = false;
        const double value = text.section(QLatin1Char(' '), 1).toDouble(&ok);
        EXPECT_TRUE(ok) << text.toStdString();
        return value;
    }
    static double sum(const QStringList &texts)
    {
        double total = 0.0;
        for (const QString &text : texts)
            total += amount(text);
        return total;
    }
    // The cost cells of the rows of a block (1 tasks, 2 resources), by row title.
    static QMap<QString, double> rowCosts(const ReportHTMLParser &parsed, int block = 1)
    {
        const QStringList titles = parsed.rowTitles(block);
        const QStringList costs = parsed.texts(
            QStringLiteral("//div[@class='mainTable'][%1]/table[@class='reportRow']/tr[1]/td[@class='cost']").arg(block));
        EXPECT_EQ(titles.size(), costs.size());
        QMap<QString, double> rows;
        for (qsizetype i = 0; i < titles.size() && i < costs.size(); ++i)
            rows.insert(titles.at(i), amount(costs.at(i)));
        return rows;
    }
    static double headerCost(const ReportHTMLParser &parsed, int field = 0)
    {
        return amount(parsed.texts(QStringLiteral("//td[@class='headerTableCost']")).value(field));
    }
    static QString title(const std::shared_ptr<DMProjectItem> &item) { return item->title().simplified(); }

    SampleProject sample;
};

} // namespace

TEST_F(ReportTotalsTest, GlobalCostIsTheSumOfTheTaskRowsAndEachTaskCostsItsResources)
{
    const ReportHTMLParser parsed(report->reportGenerateHTML());
    ASSERT_EQ(parsed.errors(), QStringList());
    const QMap<QString, double> tasks = rowCosts(parsed);
    ASSERT_EQ(tasks.size(), 3);
    // The survey's fixed 500 and Ada's 20 hours at 40; the quay's hours at 50, Ada's hours and Cy
    // once; the drawing its days of Bo.
    const double survey = 500.0 + 40.0 * 20;
    EXPECT_DOUBLE_EQ(tasks.value(title(sample.survey)), survey);
    EXPECT_DOUBLE_EQ(tasks.value(title(sample.build)), double(sample.build->ownCost()) + sample.ada->costForTask(*sample.build) + 1000.0);
    EXPECT_DOUBLE_EQ(tasks.value(title(sample.drawing)), double(sample.bo->cost()));
    EXPECT_DOUBLE_EQ(headerCost(parsed, 1), sum(parsed.texts(QStringLiteral(
                                                "//div[@class='mainTable'][1]/table[@class='reportRow']/tr[1]/td[@class='cost']"))));
    EXPECT_DOUBLE_EQ(amount(parsed.texts(QStringLiteral("//td[@class='headerTableCost']")).value(2)), 10000.0 - headerCost(parsed, 1));
    // The resources' rows show each resource's cost, all of it within the tasks' rows.
    const QMap<QString, double> resources = rowCosts(parsed, 2);
    EXPECT_DOUBLE_EQ(resources.value(QStringLiteral("Ada")), 40.0 * 20 + sample.ada->costForTask(*sample.build));
    double ownCosts = 0.0;
    for (const auto &task : {sample.survey, sample.drawing, sample.build})
        ownCosts += task->ownCost();
    double resourceCosts = 0.0;
    for (double cost : resources)
        resourceCosts += cost;
    EXPECT_NEAR(headerCost(parsed, 1), ownCosts + resourceCosts, 0.005);
}

TEST_F(ReportTotalsTest, EachResourcesReportShowsItsShareOfEachTaskAndTheirSum)
{
    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
    const struct
    {
        QString entry;
        std::shared_ptr<DMProjectResource> resource;
    } people[] = {{QStringLiteral("Ada"), sample.ada},
                  {QStringLiteral("Dee"), sample.dee},
                  {QStringLiteral("    Bo"), sample.bo},
                  {QStringLiteral("    Cy"), sample.cy}};
    for (const auto &person : people) {
        SCOPED_TRACE(person.entry.toStdString());
        const ReportHTMLParser parsed = groupedReport(person.entry);
        ASSERT_EQ(parsed.errors(), QStringList());
        const QMap<QString, double> rows = rowCosts(parsed);
        for (const auto &task : person.resource->assignedTasks())
            EXPECT_DOUBLE_EQ(rows.value(title(task)), double(person.resource->costForTask(*task))) << title(task).toStdString();
        double total = 0.0;
        for (double cost : rows)
            total += cost;
        EXPECT_DOUBLE_EQ(headerCost(parsed), total);
        EXPECT_DOUBLE_EQ(headerCost(parsed), double(person.resource->cost()));
    }
    // Ada's row of the quay: her hours, not the quay's hourly cost nor Cy's.
    EXPECT_DOUBLE_EQ(rowCosts(groupedReport(QStringLiteral("Ada"))).value(title(sample.build)),
                     double(sample.ada->costForTask(*sample.build)));

    // Fewer rows in a narrower range: the header follows them.
    host.page->tasksByResourceReportBeginDatePicker()->setDateTime(at(2024, 3, 18).NSDate());
    ASSERT_TRUE(waitFor([&] { return shownReport().rowTitles(1).size() == 1; }));
    const ReportHTMLParser narrow = shownReport();
    EXPECT_DOUBLE_EQ(headerCost(narrow), double(sample.ada->costForTask(*sample.build)));
}

TEST_F(ReportTotalsTest, ProcessReportTotalsEveryRowItLists)
{
    // The survey in the grouped form; the drawing of the group below the process in the global one.
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    const ReportHTMLParser parsed = shownReport();
    ASSERT_EQ(parsed.errors(), QStringList());
    const QMap<QString, double> rows = rowCosts(parsed);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_DOUBLE_EQ(rows.value(title(sample.survey)), double(sample.survey->cost()));
    EXPECT_DOUBLE_EQ(rows.value(title(sample.drawing)), double(sample.drawing->cost()));
    EXPECT_DOUBLE_EQ(headerCost(parsed), rows.value(title(sample.survey)) + rows.value(title(sample.drawing)));
    EXPECT_DOUBLE_EQ(headerCost(parsed), double(sample.design->cost()));
}
