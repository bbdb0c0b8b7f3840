// The Gantt chart and the lists printed with the defaults, read back by poppler: no page without
// a bar or a row of the outline, the column titles above the rows of every page, and a chart
// wider than tall across a landscape page unless the user chose the orientation.
#include "PrintTestSupport.h"

#include "DMPageComposition.h"
#include "DMPrintPanelController.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectKeys.h"
#include "DMProjectTask.h"
#include "PrintViewTestSupport.h"

#include <QPageSize>
#include <QTimer>

using namespace halcyra::test;
using namespace printtest;

namespace {

const QColor kBarColour(220, 30, 30);

// Whether a page image shows a bar: a stretch of the bars' colour.
bool showsABar(const QImage &page)
{
    int count = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            count += near(page.pixel(x, y), kBarColour, 50);
    return count >= 20;
}

class ChartPrintTest : public PrintTestBase
{
protected:
    std::shared_ptr<DMProject> project() const { return document->project(); }
    std::shared_ptr<DMProjectTask> addTask(const QString &title, const DMDate &begin, const DMDate &end)
    {
        auto task = makeItem<DMProjectTask>(project(), title, begin, end);
        task->setFillColor(kBarColour);
        project()->tasks().append(task);
        return task;
    }
    void newDocument()
    {
        document = DMDocumentController::sharedDocumentController().newDocument(false);
        project()->setBeginDate(at(2024, 3, 4, 8));
        project()->setEndDate(at(2024, 3, 4, 18));
    }
    void show()
    {
        settle(document);
        showWindow(document, QSize(1100, 700));
        document->showPageWithTag(DMPage::GanttPage);
    }
    // A shop renovation: steps of a few days one after another, the last one ending where a
    // week after it (the chart's room after the plan) begins a third page on upright A4.
    void shopRenovation()
    {
        newDocument();
        DMDate begin = at(2024, 3, 4, 8);
        for (int n = 1; n <= 10; ++n) {
            addTask(QStringLiteral("Step %1").arg(n), begin, begin.dateByAddingSeconds(2 * 86400 + 10 * 3600));
            begin = begin.dateByAddingSeconds(4 * 86400);
        }
        auto last = addTask(QStringLiteral("Handover"), begin, begin.dateByAddingSeconds(10 * 3600));
        show();
        const QSizeF outline = document->print()->printPanelControllerLeftImageSize(panel());
        const DMPageCompositionPlan upright =
            DMPageComposition_plan(DMPrintInfo::defaultPrintInfo().pageLayout, {}, 400, outline);
        ASSERT_TRUE(upright.canCompose());
        const qint64 third = upright.daysBesideLeftImage + upright.daysPerPage;
        const DMDate end = at(2024, 3, 4, 18).dateByAddingSeconds((third - 2) * 86400);
        ASSERT_EQ(last->validateAndSetBeginDateAndEndDate(end.dateByAddingSeconds(-10 * 3600), end), 0);
        project()->setEndDate(end);
        document->reloadViews();
        runUntilIdle();
    }
    // Many rows, each task a day after the one above: every band of rows has its bars in a few
    // weeks of the span.
    void staircase(int tasks)
    {
        newDocument();
        for (int n = 1; n <= tasks; ++n) {
            const DMDate day = at(2024, 3, 4, 8).dateByAddingSeconds(qint64(n - 1) * 86400);
            addTask(QStringLiteral("Task %1").arg(n, 3, 10, QLatin1Char('0')), day, day.dateByAddingSeconds(10 * 3600));
        }
        show();
    }

    DMPrintPanelController *panel() { return document->print()->printPanelController().get(); }
    bool waitForPanel()
    {
        return waitFor([&] { return !panel()->isCompositionPending() && !panel()->isComposing(); }, 60000);
    }
    QString printChart()
    {
        QFile::remove(panels.outputPath);
        document->print()->printDocument();
        EXPECT_TRUE(waitForPanel());
        panel()->print();
        EXPECT_TRUE(waitForPanel());
        panel()->close();
        return panels.outputPath;
    }
    // Every page shows a bar or rows of the outline (the begin dates of its rows); those with
    // rows carry the outline's column titles. The number of pages with rows.
    int expectEveryPageFilledAndTitled(const QString &pdf)
    {
        const int pages = pdfPageCount(pdf);
        EXPECT_GE(pages, 1);
        int withRows = 0;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfText(pdf, page);
            const bool rows = text.contains(QStringLiteral(" 2024 08:00"));
            withRows += rows ? 1 : 0;
            EXPECT_TRUE(rows || showsABar(pdfPageImage(pdf, page))) << "page " << page << " of " << pages;
            if (rows) {
                EXPECT_TRUE(text.contains(QStringLiteral("Title"))) << "page " << page;
                EXPECT_TRUE(text.contains(QStringLiteral("Begin"))) << "page " << page;
            }
        }
        return withRows;
    }
};

TEST_F(ChartPrintTest, NoPrintedPageOfTheChartIsWithoutABarOrARowAndRowsComeWithTheirTitles)
{
    // The week after the plan alone on a page of its own; then bands of rows whose bars stop
    // long before the pages of days to their right.
    shopRenovation();
    {
        SCOPED_TRACE("shop renovation");
        EXPECT_EQ(expectEveryPageFilledAndTitled(printChart()), 1);
    }
    staircase(150);
    {
        SCOPED_TRACE("staircase");
        const QString pdf = printChart();
        EXPECT_GE(expectEveryPageFilledAndTitled(pdf), 2);
        // Every task still prints: its row in the outline.
        const QString all = pdfText(pdf);
        for (int n = 1; n <= 150; ++n)
            ASSERT_TRUE(all.contains(QStringLiteral("Task %1").arg(n, 3, 10, QLatin1Char('0')))) << n;
    }

    // Exported as one page, the outline has its titles too.
    ui.savePanelPath = path(QStringLiteral("export.pdf"));
    document->print()->exportToImage(DMProjectDocumentPrint::PDFExportTag);
    ASSERT_TRUE(waitForPanel());
    panel()->print();
    ASSERT_TRUE(waitForPanel());
    const QString exported = pdfText(path(QStringLiteral("export.pdf")));
    EXPECT_TRUE(exported.contains(QStringLiteral("Title")) && exported.contains(QStringLiteral("Begin")));
}

TEST_F(ChartPrintTest, AListRepeatsItsColumnTitlesOnEveryPage)
{
    staircase(150);
    document->showPageWithTag(DMPage::TasksPage);
    runUntilIdle();
    document->print()->printDocument();
    const QString pdf = panels.outputPath;
    const int pages = pdfPageCount(pdf);
    ASSERT_GE(pages, 3);
    for (int page = 1; page <= pages; ++page) {
        const auto words = pdfWords(pdf, page);
        ASSERT_FALSE(words.isEmpty()) << page;
        // The titles head the page: the first line read.
        QStringList firstLine;
        for (const auto &word : words)
            if (std::abs(word.second.center().y() - words.first().second.center().y()) < 2)
                firstLine.append(word.first);
        EXPECT_TRUE(firstLine.contains(QStringLiteral("Title"))) << page << ": " << firstLine.join(' ').toStdString();
        EXPECT_TRUE(firstLine.contains(QStringLiteral("Begin"))) << page;
    }
    // Each task once, whole.
    const QString all = pdfText(pdf);
    for (int n = 1; n <= 150; ++n)
        ASSERT_EQ(all.count(QStringLiteral("Task %1").arg(n, 3, 10, QLatin1Char('0'))), 1) << n;
}

TEST_F(ChartPrintTest, AChartWiderThanTallPrintsAcrossALandscapePageUnlessTheUserChoseTheOrientation)
{
    shopRenovation();
    const QString wide = printChart();
    const QSizeF size = pdfPageSize(wide);
    EXPECT_GT(size.width(), size.height());
    // The chart runs across the page's printable width, and the plan takes fewer pages than
    // upright.
    const int landscapePages = pdfPageCount(wide);
    const QImage first = pdfPageImage(wide, 1);
    int right = 0;
    for (int x = first.width() - 1; x >= 0 && right == 0; --x)
        for (int y = 0; y < first.height() && right == 0; ++y)
            if (qGray(first.pixel(x, y)) < 240)
                right = x;
    EXPECT_GT(right, size.width() - 36 - 20);

    // Chosen upright in the page layout, upright it is.
    panels.chosenLayout = DMPrintInfo::defaultPrintInfo().pageLayout;
    document->print()->runPageLayout();
    const QString upright = printChart();
    EXPECT_LT(pdfPageSize(upright).width(), pdfPageSize(upright).height());
    EXPECT_LT(landscapePages, pdfPageCount(upright));

    // A plan much taller than wide prints upright.
    DMPrintInfo::sharedPrintInfo() = DMPrintInfo::defaultPrintInfo();
    document.reset();
    newDocument();
    for (int n = 1; n <= 200; ++n)
        addTask(QStringLiteral("Task %1").arg(n), at(2024, 3, 4, 8), at(2024, 3, 5, 18));
    show();
    const QString tall = printChart();
    EXPECT_LT(pdfPageSize(tall).width(), pdfPageSize(tall).height());
}

TEST_F(ChartPrintTest, PagesLeftByAStoppedCompositionPrintOnThePaperTheyWereComposedFor)
{
    // Composed upright, then the user turns the paper and presses nothing else: the composition
    // that starts is stopped after its first page, so the upright pages stay, and print upright.
    panels.chosenLayout = DMPrintInfo::defaultPrintInfo().pageLayout;
    shopRenovation();
    document->print()->runPageLayout();
    document->print()->printDocument();
    ASSERT_TRUE(waitForPanel());
    ASSERT_FALSE(panel()->pageImages().isEmpty());
    const QSizeF composed = panel()->pageImages().first().size;
    ASSERT_LT(composed.width(), composed.height());

    panels.chosenLayout.setOrientation(QPageLayout::Landscape);
    document->print()->runPageLayout();
    QTimer::singleShot(0, panel(), [this] { panel()->_imagesNeedUpdate(); });
    panel()->_updateImages();
    ASSERT_FALSE(panel()->pageImages().isEmpty());
    ASSERT_EQ(panel()->pageImages().first().size, composed);
    QFile::remove(panels.outputPath);
    panel()->_print();
    const QSizeF printed = pdfPageSize(panels.outputPath);
    EXPECT_LT(printed.width(), printed.height());
    EXPECT_EQ(pdfPageCount(panels.outputPath), panel()->pageImages().size());
    panel()->close();
}

} // namespace
