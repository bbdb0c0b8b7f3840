// Reports built from a project and the options of their page alone, with no page or controller;
// and the one PDF of the shown report that the export, sharing and the mail send.
#include "OutputTestSupport.h"

#include "DMReportBuilder.h"
#include "PrintViewTestSupport.h"
#include "ReportHTMLParser.h"

using namespace halcyra::test;

namespace {

// Plain formatters, as the fake host has them.
DMReportFormat plainFormat()
{
    DMReportFormat format;
    format.currency = [](double value) { return QStringLiteral("EUR %1").arg(value, 0, 'f', 2); };
    format.fileCurrency = format.currency;
    format.calendarDate = [](const DMDate &date) { return date.NSDate().toString(QStringLiteral("yyyy-MM-dd")); };
    format.timeOfDay = [](const DMDate &date) { return date.NSDate().toString(QStringLiteral("HH:mm")); };
    return format;
}

ReportHTMLParser parsed(const std::optional<DMReportBody> &body)
{
    return ReportHTMLParser(body ? DMReport_pageWithBody(DMReport_templateText(), body->html(), body->columns()) : QString());
}

DMReportOptions grouped(DMReportOptions::Kind kind, quint64 objectID, const DMDate &begin = {}, const DMDate &end = {})
{
    DMReportOptions options;
    options.kind = kind;
    options.chosenObjectID = objectID;
    options.begin = begin;
    options.end = end;
    return options;
}

} // namespace

TEST(ReportBuilder, TheOptionsChooseTheReportItsColumnsItsObjectAndItsDates)
{
    const SampleProject s = makeSampleProject();
    const DMProject &project = *s.project;
    const DMReportFormat format = plainFormat();
    using Kind = DMReportOptions::Kind;

    DMReportOptions global;
    global.columns.showCost = false;
    const auto globalReport = DMReportBuilder::report(project, global, format);
    ASSERT_TRUE(globalReport);
    EXPECT_EQ(parsed(globalReport).rowTitles(2),
              (QStringList{QStringLiteral("Ada"), QStringLiteral("Bo"), QStringLiteral("Cy"), QStringLiteral("Dee")}));
    EXPECT_FALSE(globalReport->html().contains(QStringLiteral("Budget:")));
    EXPECT_EQ(DMReportBuilder::title(project, global), QStringLiteral("Harbour works"));

    // Ada's tasks: the survey (4-5 March) and the quay (18 March - 26 April). Null dates stand
    // for the project's own, so both are listed; a range around the survey lists it alone.
    const auto ada = DMReportBuilder::report(project, grouped(Kind::TasksByResource, s.ada->objectID()), format);
    ASSERT_TRUE(ada);
    EXPECT_EQ(parsed(ada).rowTitles(1),
              (QStringList{QStringLiteral("Survey, site \"north\""), QStringLiteral("Build the quay \u00fc\u00df")}));
    const auto survey = DMReportBuilder::report(
        project, grouped(Kind::TasksByResource, s.ada->objectID(), at(2024, 3, 4, 8), at(2024, 3, 5, 18)), format);
    EXPECT_EQ(parsed(survey).rowTitles(1), QStringList{QStringLiteral("Survey, site \"north\"")});
    EXPECT_EQ(DMReportBuilder::title(project, grouped(Kind::TasksByResource, s.ada->objectID())),
              QStringLiteral("Assignments for Ada"));
    const auto design = DMReportBuilder::report(project, grouped(Kind::TasksByProcess, s.design->objectID()), format);
    ASSERT_TRUE(design);
    EXPECT_EQ(parsed(design).texts(QStringLiteral("//td[@class='headerTableProjectName']")).value(0), QStringLiteral("Design"));

    // No object, an object of the other kind, or one no longer in the project: no report, and
    // the title falls back to the project's.
    s.project->resources().removeOne(s.dee);
    for (const DMReportOptions &options : {grouped(Kind::TasksByResource, 0), grouped(Kind::TasksByResource, s.design->objectID()),
                                           grouped(Kind::TasksByProcess, s.ada->objectID()),
                                           grouped(Kind::TasksByResource, s.dee->objectID())}) {
        EXPECT_FALSE(DMReportBuilder::report(project, options, format));
        EXPECT_EQ(DMReportBuilder::title(project, options), QStringLiteral("Harbour works"));
    }
}

class ReportPDFTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        sample = makeSampleProject();
        useProject(sample.project);
    }
    QString pdfFile(const QByteArray &pdf) { return printtest::writeFile(folder, QStringLiteral("report.pdf"), pdf); }

    SampleProject sample;
    QTemporaryDir folder;
};

TEST_F(ReportPDFTest, ThePDFIsTheShownReportTitledWithTheProjectWithOrWithoutItsView)
{
    // A document without a window has no report view: the PDF is made from the report's rows.
    host.page.reset();
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    QString error;
    const QString global = pdfFile(report->pdfData(&error));
    EXPECT_EQ(error, QString());
    EXPECT_TRUE(printtest::pdfText(global).contains(QStringLiteral("Build the quay")));
    EXPECT_EQ(printtest::pdfTitle(global), QStringLiteral("Harbour works"));

    // A grouped report keeps the project's title, whatever the mail's subject says.
    host.page = std::make_unique<DMReportPage>();
    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
    ASSERT_EQ(report->reportMailSubject(), QStringLiteral("Assignments for Ada"));
    const QString ada = pdfFile(report->pdfData(&error));
    EXPECT_TRUE(printtest::pdfText(ada).contains(QStringLiteral("Survey")));
    EXPECT_FALSE(printtest::pdfText(ada).contains(QStringLiteral("Dee")));
    EXPECT_EQ(printtest::pdfTitle(ada), QStringLiteral("Harbour works"));
}

TEST_F(ReportPDFTest, NoReportShownMakesNoPDFAndTheMailSaysWhy)
{
    useProject(DMProject::create()); // no resources: the grouped page shows nothing
    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
    QString error;
    EXPECT_TRUE(report->pdfData(&error).isEmpty());
    EXPECT_EQ(error, QStringLiteral("The report is empty."));

    report->reportSendByMail();
    EXPECT_FALSE(report->isSendingMail()) << "no mail program is started for an empty report";
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts[0].messageText, QStringLiteral("The report could not be sent by mail."));
    EXPECT_EQ(ui.alerts[0].informativeText, QStringLiteral("The report is empty."));
}
