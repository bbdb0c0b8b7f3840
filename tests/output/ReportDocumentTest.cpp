// The document the report view shows is built from the rows, not read from the report's HTML:
// it must show what the HTML shows, text and pixels, in every form of row and bar, with the
// columns hidden, and with texts whose white space the HTML reader folds; a long report shows its
// first rows at once and writes the rest while the event loop runs.
#include "OutputTestSupport.h"

#include "DMObjectSerialization.h"
#include "DMProjectMilestone.h"
#include "DMReportDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

using namespace halcyra::test;

namespace {

class ReportDocumentTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        sample = makeSampleProject();
        // Every form of bar: the bare percent, yellow, lime and full, and odd values.
        const float progresses[] = {0.0f, 0.1f, 0.3f, 0.5f, 0.8f, 1.0f, -0.2f, 1.5f};
        int n = 0;
        for (const float progress : progresses) {
            auto task = makeItem<DMProjectTask>(sample.project, QStringLiteral("Extra %1").arg(n), at(2024, 3, 18, 8),
                                                at(2024, 3, 20 + n % 3, 18));
            task->setProgress(progress);
            task->setAttribute(kDMProjectItem_Cost, 10.0 * n);
            task->setAttribute(kDMProjectItem_Notes, QStringLiteral("Note %1").arg(n));
            task->addResource(n % 2 ? sample.bo : sample.dee);
            sample.design->subitems().append(task);
            ++n;
        }
        useProject(sample.project);
        host.headerColor = DMObjectSerialization::encode(QVariant::fromValue(QColor(225, 230, 236)));
    }

    // The page rendered at a fixed width, as the view and print lay it out.
    static QImage render(QTextDocument *document)
    {
        document->setTextWidth(900);
        const QSizeF size = document->documentLayout()->documentSize();
        QImage image(900, int(size.height()) + 1, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        document->drawContents(&painter);
        return image;
    }

    // The shown document against the same report's HTML read as a whole.
    void expectShownAsHTML(const QString &html, const char *what)
    {
        SCOPED_TRACE(what);
        DMReportDocument_finish(host.page->reportWebView());
        QTextDocument *shown = host.page->reportWebView()->document();
        QTextDocument read;
        read.setHtml(html);
        ASSERT_FALSE(html.isEmpty());
        EXPECT_EQ(shown->toPlainText(), read.toPlainText());
        const QImage shownImage = render(shown);
        const QImage readImage = render(&read);
        ASSERT_EQ(shownImage.size(), readImage.size());
        EXPECT_TRUE(shownImage == readImage);
    }

    SampleProject sample;
};

} // namespace

TEST_F(ReportDocumentTest, EveryPageShowsWhatItsHTMLShowsWithAnyColumns)
{
    const bool columnChoices[][2] = {{true, true}, {false, true}, {true, false}, {false, false}};
    for (const auto &choice : columnChoices) {
        setColumns(choice[0], choice[1]);
        report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
        expectShownAsHTML(report->reportGenerateHTML(), "global");
        report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
        expectShownAsHTML(report->reportGenerateHTMLForProcess(*sample.design), "by process");
        report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
        expectShownAsHTML(report->reportGenerateHTMLForResource(*sample.ada), "by resource");
    }
}

TEST_F(ReportDocumentTest, TextsAreFoldedAsTheHTMLReaderFoldsThem)
{
    sample.survey->setTitle(QStringLiteral("  Lead\tand\n\n trail  "));
    sample.survey->setAttribute(kDMProjectItem_Notes, QStringLiteral("\u2003em\u00a0\u00a0nbsp <b>not bold</b> & \"q\""));
    sample.ada->setName(QStringLiteral("\u00c5sa \U0001F600  \r\n"));
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    expectShownAsHTML(report->reportGenerateHTML(), "global");
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    expectShownAsHTML(report->reportGenerateHTMLForProcess(*sample.design), "notes");
    EXPECT_TRUE(host.page->reportWebView()->toPlainText().contains(QStringLiteral("<b>not bold</b> & \"q\"")));
    // Notes keep their line breaks, an empty line too; the white space of each line is folded.
    sample.survey->setAttribute(kDMProjectItem_Notes, QStringLiteral("  two\n  lines \r\n\rand a\t gap"));
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    expectShownAsHTML(report->reportGenerateHTMLForProcess(*sample.design), "notes of several lines");

    // The first row of its kind with empty cells, later ones with texts in them.
    sample.survey->setTitle(QStringLiteral(" \n "));
    sample.survey->setAttribute(kDMProjectItem_Notes, QString());
    sample.ada->setAttribute(kDMProjectResource_Email, QString());
    sample.ada->setAttribute(kDMProjectResource_Phone, QString());
    sample.dee->setAttribute(kDMProjectResource_Email, QStringLiteral("dee@example.org"));
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    expectShownAsHTML(report->reportGenerateHTML(), "empty first rows");
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    expectShownAsHTML(report->reportGenerateHTMLForProcess(*sample.design), "empty first notes");
}

TEST_F(ReportDocumentTest, ReportsWithoutRowsAndRefreshesKeepOneDocument)
{
    auto empty = DMProject::create();
    empty->setTitle(QStringLiteral("Nothing yet"));
    useProject(empty);
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    expectShownAsHTML(report->reportGenerateHTML(), "no rows");

    // A refresh replaces the view's document; the one it showed before goes with it.
    QTextBrowser *view = host.page->reportWebView();
    const QPointer<QTextDocument> before = view->document();
    useProject(sample.project);
    report->globalReportRefresh();
    EXPECT_TRUE(before.isNull());
    EXPECT_EQ(view->document()->parent(), view);
    EXPECT_TRUE(view->toPlainText().contains(QStringLiteral("Extra 7")));

    // No project: the view is emptied, and still refreshes afterwards.
    useProject(nullptr);
    report->globalReportRefresh();
    EXPECT_TRUE(view->document()->isEmpty());
    useProject(sample.project);
    report->globalReportRefresh();
    EXPECT_TRUE(view->toPlainText().contains(QStringLiteral("Harbour works")));
}

TEST_F(ReportDocumentTest, LongReportsWriteTheirLastRowsOnTheEventLoop)
{
    for (int n = 0; n < 400; ++n) {
        auto task = makeItem<DMProjectTask>(sample.project, QStringLiteral("Late %1").arg(n), at(2024, 4, 1, 8), at(2024, 4, 2, 18));
        task->setProgress(float(n % 10) / 10.0f);
        sample.project->tasks().append(task);
    }
    QTextBrowser *view = host.page->reportWebView();
    host.page->resize(1100, 640);
    host.page->show();
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    // Scrolled down among the first rows: the whole report, once written, shows the same place.
    view->document()->documentLayout()->blockBoundingRect(view->document()->lastBlock());
    view->verticalScrollBar()->setValue(1500);
    ASSERT_EQ(view->verticalScrollBar()->value(), 1500);
    const QString topText = view->cursorForPosition(QPoint(20, 20)).block().text();
    ASSERT_FALSE(topText.isEmpty());
    // The first rows and the header are there at once, the resource rows not yet.
    EXPECT_TRUE(view->toPlainText().contains(QStringLiteral("Late 10")));
    EXPECT_FALSE(view->toPlainText().contains(QStringLiteral("Late 399")));
    EXPECT_FALSE(view->toPlainText().contains(QStringLiteral("Assigned:")));
    EXPECT_TRUE(view->toPlainText().contains(QStringLiteral("Resources")));
    QProgressBar *indicator = host.page->reportProgressIndicator();
    EXPECT_FALSE(indicator->isHidden());
    EXPECT_EQ(indicator->maximum(), 400 + 3 + 8 + 4);
    EXPECT_LT(indicator->value(), indicator->maximum());

    ASSERT_TRUE(waitFor([&] { return view->toPlainText().contains(QStringLiteral("Assigned:")); }, 20000));
    EXPECT_EQ(view->verticalScrollBar()->value(), 1500);
    EXPECT_EQ(view->cursorForPosition(QPoint(20, 20)).block().text(), topText);

    // A refresh while rows are being written starts over: no row is written twice or lost.
    setColumns(false, true);
    ASSERT_TRUE(waitFor([&] { return view->toPlainText().contains(QStringLiteral("Assigned:")); }, 20000));
    EXPECT_EQ(view->toPlainText().count(QStringLiteral("Late 399")), 1);
    EXPECT_TRUE(indicator->isHidden());
    expectShownAsHTML(report->reportGenerateHTML(), "written on the event loop");

    // Emptied while rows wait: nothing is written into the empty view afterwards.
    setColumns(true, true);
    useProject(nullptr);
    report->globalReportRefresh();
    EXPECT_TRUE(indicator->isHidden());
    runUntilIdle();
    EXPECT_TRUE(view->document()->isEmpty());
    useProject(sample.project);

    // Printing and the mail's PDF take the whole report, written or not.
    report->globalReportRefresh();
    EXPECT_FALSE(view->toPlainText().contains(QStringLiteral("Assigned:")));
    expectShownAsHTML(report->reportGenerateHTML(), "finished at once");
}
