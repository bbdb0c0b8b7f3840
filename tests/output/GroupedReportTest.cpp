// The tasks-by-resource and tasks-by-process pages: their pop-ups, the date range and the
// header of each report.
#include "OutputTestSupport.h"

#include "ReportHTMLParser.h"

#include <QLabel>
#include <QStandardItemModel>

using namespace halcyra::test;

namespace {

class GroupedReportTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        sample = makeSampleProject();
        useProject(sample.project);
    }
    QStringList entries() const
    {
        QStringList titles;
        for (int i = 0; i < popUp()->count(); ++i)
            titles.append(popUp()->itemData(i).isValid() ? popUp()->itemText(i) : QStringLiteral("--"));
        return titles;
    }
    QString shown() const { return host.page->reportWebView()->toHtml(); }

    SampleProject sample;
};

} // namespace

TEST_F(GroupedReportTest, ResourcePopUpListsPlainResourcesBeforeGroupsAndTheHeaderShowsTheFirst)
{
    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("Ada"), QStringLiteral("Dee"), QStringLiteral("--"), QStringLiteral("Crew"),
                                      QStringLiteral("    Bo"), QStringLiteral("    Cy")}));
    EXPECT_EQ(popUp()->currentText(), QStringLiteral("Ada"));
    const auto *model = qobject_cast<QStandardItemModel *>(popUp()->model());
    EXPECT_FALSE(model->item(popUp()->findText(QStringLiteral("Crew")))->isEnabled());
    EXPECT_EQ(host.page->tasksByResourceReportPopupLabel()->text(), QStringLiteral("Resource:"));
    EXPECT_EQ(report->tasksByResourceReportMode(), 1);
    EXPECT_TRUE(host.page->tasksByResourceReportBeginDatePicker()->isVisibleTo(host.page.get()));

    // The report of the first resource: its own cost and notes in the header.
    const ReportHTMLParser parsed = shownReport();
    EXPECT_EQ(parsed.errors(), QStringList());
    const QStringList header = parsed.texts(QStringLiteral("//td[@class='headerTableCost']"));
    EXPECT_EQ(header.value(0), host.currencyString(sample.ada->cost()));
    EXPECT_EQ(header.value(1), QStringLiteral("%1%").arg(qRound(sample.ada->progress() * 100.0f)));
    // The project's dates, not the pickers'.
    EXPECT_EQ(parsed.texts(QStringLiteral("//table[@class='headerTable']//td[@class='dates']")),
              (QStringList{QStringLiteral("2024-03-04"), QStringLiteral("2024-04-26")}));
    EXPECT_TRUE(parsed.texts(QStringLiteral("//td[@class='assignedTo']")).contains(QStringLiteral("Notes:")));
    EXPECT_TRUE(parsed.texts(QStringLiteral("//td[@colspan='6']")).contains(QStringLiteral("Check the piers")));
}

TEST_F(GroupedReportTest, NotesKeepTheirLineBreaks)
{
    sample.survey->setAttribute(kDMProjectItem_Notes, QStringLiteral("Check the piers\nand the quay\r\nthen <report> & sign"));
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    EXPECT_EQ(shownReport().errors(), QStringList());
    // As the report view shows it, and as a browser reads the file.
    EXPECT_TRUE(host.page->reportWebView()->toPlainText().contains(QStringLiteral("Check the piers\nand the quay\nthen <report> & sign")))
        << host.page->reportWebView()->toPlainText().toStdString();
    QFile file(report->shownReportPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Check the piers<br/>and the quay<br/>then &lt;report&gt; &amp; sign"));
}

TEST_F(GroupedReportTest, NoResourcesLeaveThePopUpAndThePageEmpty)
{
    useProject(DMProject::create());
    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
    EXPECT_EQ(popUp()->count(), 0);
    EXPECT_EQ(popUp()->currentIndex(), -1);
    EXPECT_TRUE(host.page->reportWebView()->toPlainText().isEmpty());
    EXPECT_TRUE(report->shownReportPath().isEmpty());
}

TEST_F(GroupedReportTest, DateRangeIncludesBothEnds)
{
    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 4, 8), at(2024, 4, 26, 18));
    EXPECT_EQ(shownReport().rowTitles(1), (QStringList{QStringLiteral("Survey, site \"north\""), QStringLiteral("Build the quay \u00fc\u00df")}));

    // The survey starts one second before the new begin; the quay ends exactly on the end.
    host.page->tasksByResourceReportBeginDatePicker()->setDateTime(at(2024, 3, 4, 8).dateByAddingSeconds(1).NSDate());
    ASSERT_TRUE(waitFor([&] { return shownReport().rowTitles(1).size() == 1; }));
    EXPECT_EQ(shownReport().rowTitles(1), QStringList{QStringLiteral("Build the quay \u00fc\u00df")});

    // A begin after the end selects nothing: the header stays.
    host.page->tasksByResourceReportBeginDatePicker()->setDateTime(at(2024, 5, 1).NSDate());
    ASSERT_TRUE(waitFor([&] { return shownReport().rowTitles(1).isEmpty(); }));
    EXPECT_EQ(shownReport().texts(QStringLiteral("//td[@class='headerTableProjectName']")).value(0), QStringLiteral("Ada"));
}

TEST_F(GroupedReportTest, ProcessReportListsDirectChildrenAndTheTasksOfAChildGroup)
{
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    const ReportHTMLParser parsed = shownReport();
    EXPECT_EQ(parsed.errors(), QStringList());
    // The survey in the grouped form; the group's task in the global form ("Assigned to:").
    EXPECT_EQ(parsed.rowTitles(1), (QStringList{QStringLiteral("Survey, site \"north\""), QStringLiteral("Drawing sheet 2")}));
    EXPECT_EQ(parsed.texts(QStringLiteral("//td[@class='assignedTo']")),
              (QStringList{QStringLiteral("Notes:"), QStringLiteral("Assigned to:")}));
    EXPECT_EQ(parsed.taskRowClasses(), (QStringList{QStringLiteral("evenRow"), QStringLiteral("oddRow")}));
    // The header: the process title and completion, the cost of the listed task rows.
    EXPECT_EQ(parsed.texts(QStringLiteral("//td[@class='headerTableProjectName']")).value(0), QStringLiteral("Design"));
    const QStringList header = parsed.texts(QStringLiteral("//td[@class='headerTableCost']"));
    EXPECT_EQ(header.value(0), host.currencyString(sample.survey->cost() + sample.drawing->cost()));
    EXPECT_EQ(header.value(1), QStringLiteral("%1%").arg(qRound(sample.design->progress() * 100.0f)));

    // The pop-up lists nested processes after their parent.
    auto inner = makeItem<DMProjectProcess>(sample.project, QStringLiteral("Permits"), at(2024, 3, 4, 8), at(2024, 3, 5, 18));
    sample.design->subitems().insert(0, inner);
    auto later = makeItem<DMProjectProcess>(sample.project, QStringLiteral("Handover"), at(2024, 4, 29, 8), at(2024, 4, 30, 18));
    sample.project->tasks().append(later);
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("Design"), QStringLiteral("Permits"), QStringLiteral("Handover")}));
    EXPECT_EQ(host.page->tasksByResourceReportPopupLabel()->text(), QStringLiteral("Process:"));
}

TEST_F(GroupedReportTest, PopUpChoiceAndStaleEntries)
{
    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
    EXPECT_EQ(groupedReport(QStringLiteral("    Bo")).rowTitles(1), QStringList{QStringLiteral("Drawing sheet 2")});
    EXPECT_EQ(report->reportMailSubject(), QStringLiteral("Assignments for Bo"));

    // The chosen resource is deleted: the page empties, the subject falls back to the title.
    sample.crew->subitems().removeOne(sample.bo);
    emit popUp()->activated(popUp()->currentIndex());
    EXPECT_TRUE(report->shownReportPath().isEmpty());
    EXPECT_TRUE(host.page->reportWebView()->toPlainText().isEmpty());
    EXPECT_EQ(report->reportMailSubject(), QStringLiteral("Harbour works"));
}
