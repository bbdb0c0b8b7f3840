// The global report: its rows and header read back with libxml2's HTML parser, the column
// check boxes, and the temporary files the page shows.
#include "OutputTestSupport.h"

#include "DMObjectSerialization.h"
#include "ReportHTMLParser.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

using namespace halcyra::test;

namespace {

class GlobalReportTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        sample = makeSampleProject();
        useProject(sample.project);
    }
    QString costText(double value) const { return host.currencyString(value); }

    SampleProject sample;
};

} // namespace

TEST_F(GlobalReportTest, RowsPerTaskAndResourceAndTheHeaderCosts)
{
    const QString html = report->reportGenerateHTML();
    const ReportHTMLParser parsed(html);
    EXPECT_EQ(parsed.errors(), QStringList());
    // Processes, milestones and groups are no rows; the task under the group inside the process is.
    EXPECT_EQ(parsed.rowTitles(1), (QStringList{QStringLiteral("Survey, site \"north\""), QStringLiteral("Drawing sheet 2"),
                                                QStringLiteral("Build the quay \u00fc\u00df")}));
    EXPECT_EQ(parsed.taskRowClasses(), (QStringList{QStringLiteral("evenRow"), QStringLiteral("oddRow"), QStringLiteral("evenRow")}));
    // The members of the group, not the group; the alternation goes on from the task rows.
    EXPECT_EQ(parsed.rowTitles(2), (QStringList{QStringLiteral("Ada"), QStringLiteral("Bo"), QStringLiteral("Cy"), QStringLiteral("Dee")}));
    EXPECT_EQ(parsed.resourceRowClasses().value(0), QStringLiteral("oddRow"));
    EXPECT_EQ(parsed.texts(QStringLiteral("//td[@class='assignedTo']")).count(QStringLiteral("Assigned to:")), 3);
    // Inserted texts are entities: the file is plain ASCII whatever the titles hold.
    for (const QChar c : html)
        ASSERT_LT(c.unicode(), 128);

    // The header: the budget, the tasks' costs (their resources' included) and what is left.
    const float total = sample.survey->cost() + sample.drawing->cost() + sample.build->cost();
    const QStringList header = parsed.texts(QStringLiteral("//td[@class='headerTableCost']"));
    ASSERT_EQ(header.size(), 3);
    EXPECT_EQ(header.at(0), costText(10000.0));
    EXPECT_EQ(header.at(1), costText(total));
    EXPECT_EQ(header.at(2), costText(10000.0f - total));
    EXPECT_TRUE(parsed.texts(QStringLiteral("//td[@class='cost']")).contains(costText(sample.drawing->cost())));
    EXPECT_GT(sample.drawing->cost(), 0.0f);
}

TEST_F(GlobalReportTest, ColumnCheckBoxesHideTheirColumnsAndShowThemAgain)
{
    const QString before = report->reportGenerateHTML();
    setColumns(false, true);
    const QString html = report->reportGenerateHTML();
    const ReportHTMLParser parsed(html);
    EXPECT_EQ(parsed.errors(), QStringList());
    EXPECT_FALSE(html.contains(QStringLiteral("Budget:")));
    EXPECT_EQ(parsed.texts(QStringLiteral("//td[@class='cost']")).join(QString()), QString());
    EXPECT_TRUE(html.contains(QStringLiteral(".cost { width: 1px; }")));
    EXPECT_TRUE(html.contains(QStringLiteral("Completion")));

    setColumns(true, false);
    const ReportHTMLParser noCompletion(report->reportGenerateHTML());
    EXPECT_EQ(noCompletion.count(QStringLiteral("//td[@class='completion']/table")), 0);
    EXPECT_FALSE(noCompletion.texts(QStringLiteral("//td[@class='completion']")).contains(QStringLiteral("Completion")));
    setColumns(true, true);
    EXPECT_EQ(report->reportGenerateHTML(), before) << "shown again as never hidden";
}

TEST_F(GlobalReportTest, EmptyProjectKeepsTheFrame)
{
    auto empty = DMProject::create();
    useProject(empty);
    const ReportHTMLParser parsed(report->reportGenerateHTML());
    EXPECT_EQ(parsed.errors(), QStringList());
    EXPECT_EQ(parsed.count(QStringLiteral("//div[@class='mainTable']")), 2);
    EXPECT_EQ(parsed.count(QStringLiteral("//table[@class='reportRow']")), 0);
    // Each column header between two separators, and the closing separator of each block.
    EXPECT_EQ(parsed.count(QStringLiteral("//table[@class='separatorRow']")), 6);
    EXPECT_EQ(parsed.texts(QStringLiteral("//td[@class='taskName']")), (QStringList{QStringLiteral("Tasks"), QStringLiteral("Resources")}));
}

TEST_F(GlobalReportTest, HostileTitlesStayText)
{
    const QString title = QStringLiteral("<script>alert(\"x\")</script> & </table> .cost \u20ac\U0001F600");
    sample.survey->setTitle(title);
    sample.project->setTitle(title);
    const QString html = report->reportGenerateHTML();
    const ReportHTMLParser parsed(html);
    EXPECT_EQ(parsed.errors(), QStringList());
    EXPECT_EQ(parsed.count(QStringLiteral("//script")), 0);
    EXPECT_EQ(parsed.rowTitles(1).value(0), title.simplified());
    EXPECT_EQ(parsed.texts(QStringLiteral("//td[@class='headerTableProjectName']")).value(0), title.simplified());
    setColumns(false, true);
    EXPECT_EQ(ReportHTMLParser(report->reportGenerateHTML()).rowTitles(1).value(0), title.simplified())
        << "hiding the cost column does not touch a title holding \".cost \"";
}

TEST_F(GlobalReportTest, EmptyWorkingDayAndNoWorkReadZero)
{
    // A project of zero length whose working day is empty: nothing is divided by zero.
    sample.project->setEndDate(sample.project->beginDate());
    sample.project->displayAttributes().dayViewEndMinute = sample.project->displayAttributes().dayViewBeginMinute;
    sample.survey->setProgress(0.0f);
    const ReportHTMLParser parsed(report->reportGenerateHTML());
    EXPECT_EQ(parsed.errors(), QStringList());
    const QStringList completion = parsed.texts(QStringLiteral("//td[@class='completion']"));
    EXPECT_EQ(completion.value(1), QStringLiteral("0%")); // the survey's bar
    EXPECT_EQ(completion.last(), QStringLiteral("0%"));   // Dee works on nothing
}

TEST_F(GlobalReportTest, HeaderColourAndLogo)
{
    QTemporaryDir folder;
    const QString logo = folder.filePath(QStringLiteral("logo.png"));
    QImage image(1024, 512, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(logo));
    host.logoPath = logo;
    host.headerColor = DMObjectSerialization::encode(QVariant::fromValue(QColor(225, 230, 236)));
    const ReportHTMLParser parsed(report->reportGenerateHTML());
    EXPECT_EQ(parsed.texts(QStringLiteral("//img/@src")), QStringList{QUrl::fromLocalFile(logo).toString()});
    EXPECT_EQ(parsed.texts(QStringLiteral("//img/@width")), QStringList{QStringLiteral("256")});
    EXPECT_EQ(parsed.texts(QStringLiteral("//img/@height")), QStringList{QStringLiteral("128")});
    EXPECT_EQ(parsed.texts(QStringLiteral("//tr[@bgcolor]/@bgcolor")), QStringList(2, QStringLiteral("#E1E6EC")));

    host.logoPath = folder.filePath(QStringLiteral("missing.png"));
    EXPECT_EQ(ReportHTMLParser(report->reportGenerateHTML()).count(QStringLiteral("//img")), 0);
}

TEST_F(GlobalReportTest, ShownReportLivesInAPrivateFolderAndGoesWithThePage)
{
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    const QString first = report->shownReportPath();
    ASSERT_TRUE(QFileInfo::exists(first));
    EXPECT_EQ(report->tasksByResourceReportMode(), 0);
    EXPECT_TRUE(host.page->reportWebView()->toPlainText().contains(QStringLiteral("Harbour works")));
    const QString folder = QFileInfo(first).absolutePath();
    EXPECT_NE(QDir(folder).canonicalPath(), QDir::temp().canonicalPath()) << "a folder of its own";
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup), 0);

    // A check box refreshes the page: a new file, the old one gone.
    host.page->reportShowCostCheckbox()->setChecked(false);
    EXPECT_NE(report->shownReportPath(), first);
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_FALSE(host.page->reportWebView()->toPlainText().contains(QStringLiteral("Budget:")));

    const QString second = report->shownReportPath();
    report->pageDidHide();
    EXPECT_FALSE(QFileInfo::exists(second));
    report->reportRefresh();
    report.reset();
    EXPECT_FALSE(QFileInfo::exists(folder));
}
