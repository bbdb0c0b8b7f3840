// The print, export and share commands of a document window, end to end: a Gantt chart of 300
// tasks through the print panel to a printer writing PDF, read back by poppler-utils; the JPEG
// and PDF exports of both Gantt pages; the report and days-off pages; and nothing left changed
// by any of it.
#include "PrintTestSupport.h"

#include "DMOutlineView.h"
#include "DMPrintInfo.h"
#include "DMPrintPanelController.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectKeys.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMUndoManager.h"
#include "FarseeTestSupport.h"
#include "PrintViewTestSupport.h"

#include <QMainWindow>
#include <QImageReader>
#include <QPageSize>
#include <QRegularExpression>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

using namespace halcyra::test;

namespace {

const QColor kBarColor(200, 40, 40);

class PrintAndExportTest : public PrintTestBase
{
protected:
    void SetUp() override
    {
        PrintTestBase::SetUp();
        document = documentWithProject(makeChart(300));
        showWindow(document, QSize(1100, 700));
    }

    // Processes of ten tasks each, a task every weekday from 4 March 2024, in one colour.
    std::shared_ptr<DMProject> makeChart(int tasks)
    {
        auto project = DMProject::create();
        project->beginLoading();
        project->setTitle(QStringLiteral("Harbour 2024"));
        project->setBeginDate(at(2024, 3, 4, 8));
        project->setEndDate(at(2024, 5, 31, 18));
        project->setAttribute(kDMProject_ViewMode, 0);
        project->setAttribute(kDMProject_TimelineViewMode, 4);
        project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 20.0f);
        std::shared_ptr<DMProjectProcess> process;
        for (int i = 0; i < tasks; ++i) {
            if (i % 10 == 0) {
                process = makeItem<DMProjectProcess>(project, QStringLiteral("Phase %1").arg(i / 10 + 1), at(2024, 3, 4, 8),
                                                     at(2024, 5, 31, 18));
                process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
                project->tasks().append(process);
            }
            const DMDate day = at(2024, 3, 4, 8).dateByAddingSeconds(qint64(i % 60) * 86400);
            auto task = makeItem<DMProjectTask>(project, QStringLiteral("Task %1").arg(i + 1), day,
                                                day.dateByAddingSeconds(2 * 86400 + 10 * 3600));
            task->setFillColor(kBarColor);
            process->subitems().append(task);
        }
        project->endLoading();
        return project;
    }

    DMPrintPanelController *panel() { return document->print()->printPanelController().get(); }

    // Opens the panel from a command and lets its composition run.
    void compose(const std::function<void()> &command)
    {
        command();
        ASSERT_TRUE(panel()->isOnScreen());
        ASSERT_TRUE(waitFor([&] { return !panel()->isCompositionPending() && !panel()->isComposing(); }, 60000));
        ASSERT_FALSE(panel()->pageImages().isEmpty()) << panel()->whyNoPages().toStdString();
    }
    // Presses the panel's button and waits for the output.
    void confirm()
    {
        panel()->print();
        ASSERT_TRUE(waitFor([&] { return !panel()->isCompositionPending() && !panel()->isComposing(); }, 60000));
    }

    struct ChartState
    {
        QVariantMap attributes;
        int canvasX = 0, canvasY = 0;
        bool edited = false;
        bool canUndo = false;
        bool operator==(const ChartState &o) const
        {
            return attributes == o.attributes && canvasX == o.canvasX && canvasY == o.canvasY && edited == o.edited
                   && canUndo == o.canUndo;
        }
    };
    ChartState chartState() const
    {
        ChartState state;
        state.attributes = document->project()->attributes();
        const QScrollArea *scroll = document->outlets().projectViewScrollArea;
        state.canvasX = scroll->horizontalScrollBar()->value();
        state.canvasY = scroll->verticalScrollBar()->value();
        state.edited = document->isDocumentEdited();
        state.canUndo = document->undoManager()->canUndo();
        return state;
    }

    static void expectSameState(const ChartState &a, const ChartState &b)
    {
        for (auto it = b.attributes.cbegin(); it != b.attributes.cend(); ++it)
            EXPECT_EQ(a.attributes.value(it.key()), it.value()) << it.key().toStdString();
        EXPECT_EQ(a.attributes.keys(), b.attributes.keys());
        EXPECT_EQ(a.canvasX, b.canvasX);
        EXPECT_EQ(a.canvasY, b.canvasY);
        EXPECT_EQ(a.edited, b.edited);
        EXPECT_EQ(a.canUndo, b.canUndo);
    }

};

QImage pageOf(const QString &pdf, int page)
{
    return printtest::pdfPageImage(pdf, page, 72);
}

// The y-down pixel rectangle, at 72 dots an inch, of a compositor rectangle on a page.
QRect pixelsOf(const QRectF &pageRect, double pageHeight)
{
    return QRectF(pageRect.x(), pageHeight - pageRect.y() - pageRect.height(), pageRect.width(), pageRect.height())
        .toAlignedRect();
}

int countPixels(const QImage &image, const QRect &area, const std::function<bool(QRgb)> &test)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (test(image.pixel(x, y)))
                ++count;
    return count;
}

bool isBarColour(QRgb pixel)
{
    return std::abs(qRed(pixel) - kBarColor.red()) < 40 && std::abs(qGreen(pixel) - kBarColor.green()) < 40
           && std::abs(qBlue(pixel) - kBarColor.blue()) < 40;
}

bool isText(QRgb pixel)
{
    return qGray(pixel) < 110;
}

TEST_F(PrintAndExportTest, GanttChartPrintsOverSeveralPagesOfThePaperChosen)
{
    struct Paper
    {
        const char *name;
        QPageSize::PageSizeId size;
        QPageLayout::Orientation orientation;
        QSizeF points; // as pdfinfo reads it
    };
    const Paper papers[] = {{"A4 portrait", QPageSize::A4, QPageLayout::Portrait, {595.28, 841.89}},
                            {"US Letter landscape", QPageSize::Letter, QPageLayout::Landscape, {792, 612}}};
    document->showPageWithTag(10);
    for (const Paper &paper : papers) {
        SCOPED_TRACE(paper.name);
        // Chosen in the page layout panel.
        panels.chosenLayout = QPageLayout(QPageSize(paper.size), paper.orientation, QMarginsF(36, 36, 36, 36));
        document->print()->runPageLayout();
        const ChartState before = chartState();

        compose([&] { document->print()->printDocument(); });
        EXPECT_FALSE(panel()->imageExport());
        const QList<DMComposedPage> pages = panel()->pageImages();
        EXPECT_GT(pages.size(), 4);
        expectSameState(chartState(), before);
        QFile::remove(panels.outputPath);
        confirm();
        ASSERT_TRUE(QFile::exists(panels.outputPath));
        EXPECT_EQ(printtest::pdfPageCount(panels.outputPath), pages.size());
        const QSizeF size = printtest::pdfPageSize(panels.outputPath);
        EXPECT_NEAR(size.width(), paper.points.width(), 0.5);
        EXPECT_NEAR(size.height(), paper.points.height(), 0.5);

        // Page 1: the outline with its titles on the left, the header over the chart, bars in it.
        const QImage first = pageOf(panels.outputPath, 1);
        ASSERT_FALSE(first.isNull());
        const double pageHeight = pages.first().size.height();
        const auto &entries = pages.first().entries;
        QRect left, top, content;
        for (const DMViewCompositorEntry &entry : entries) {
            if (entry.kind != DMViewCompositorEntry::ImageEntry)
                continue;
            const QRect r = pixelsOf(entry.rect, pageHeight);
            if (left.isNull())
                left = r; // the outline comes first, then the header, then the chart, then its titles
            else if (top.isNull())
                top = r;
            else if (content.isNull())
                content = r;
        }
        ASSERT_FALSE(content.isNull());
        // A frame's width apart, less than a point: the edges may round to the same pixel.
        EXPECT_LE(left.right(), content.left());
        EXPECT_LT(top.bottom(), content.top() + 2);
        EXPECT_EQ(top.left(), content.left());
        EXPECT_GT(countPixels(first, left, isText), 200);                        // titles
        EXPECT_GT(countPixels(first, top, [](QRgb p) { return qGray(p) < 230; }), 200); // header bands
        EXPECT_GT(countPixels(first, content, isBarColour), 500);                // bars
        // Beside the icon column, which shows each task's colour, the outline holds no bar.
        EXPECT_EQ(countPixels(first, left.adjusted(24, 0, 0, 0), isBarColour), 0);
        // Bars on the rows of their tasks, at their dates: row 1 holds the events, row 2 the first
        // process, rows 3 to 12 its tasks, each a day later than the one before, starting at 8:00 on the first day
        // printed.
        const DMViewCompositorEntry &chart = entries.at(2);
        const double rowOnPage = document->projectOutlineView()->rowHeight() * chart.rect.height() / chart.srcRect.height();
        const auto firstBarPixel = [&](int row) {
            const int y = content.top() + int((row - 0.5) * rowOnPage);
            for (int x = content.left(); x <= content.right(); ++x)
                if (isBarColour(first.pixel(x, y)))
                    return x - content.left();
            return -1;
        };
        EXPECT_EQ(firstBarPixel(1), -1);
        EXPECT_EQ(firstBarPixel(2), -1);
        const int task1 = firstBarPixel(3), task2 = firstBarPixel(4), task3 = firstBarPixel(5);
        ASSERT_GE(task1, 0);
        const double day = task3 - task2;
        EXPECT_GT(day, 3);
        EXPECT_NEAR(task2 - task1, day, 1.5);
        // 8:00 of the first day, give or take the bar's rounded, outlined end.
        EXPECT_LT(task1, day * 0.6);

        panel()->close();
        expectSameState(chartState(), before);
        EXPECT_TRUE(DMPrintInfo::sharedPrintInfo().pageLayout.isEquivalentTo(panels.chosenLayout));
    }
}

TEST_F(PrintAndExportTest, GanttOutlineShowsWholeValuesAndNoTextLiesBeyondThePrintableArea)
{
    // A4, half-inch margins: text lies within 36 to 559 across and 36 to 806 down.
    DMPrintInfo::sharedPrintInfo().pageLayout =
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36), QPageLayout::Point);
    document->showPageWithTag(10);
    compose([&] { document->print()->printDocument(); });
    confirm();
    const QString pdf = panels.outputPath;
    const int pages = printtest::pdfPageCount(pdf);
    ASSERT_EQ(pages, panel()->pageImages().size());
    for (int page = 1; page <= pages; ++page) {
        const auto words = printtest::pdfWords(pdf, page);
        // No page without content: each holds titles, or at least the ends of bars.
        if (words.isEmpty()) {
            const QImage image = pageOf(pdf, page);
            EXPECT_GT(countPixels(image, image.rect(), [](QRgb p) { return qGray(p) < 90; }), 100) << page;
        }
        for (const auto &word : words) {
            EXPECT_GE(word.second.left(), 35.5) << page << " " << qPrintable(word.first);
            EXPECT_LE(word.second.right(), 559.8) << page << " " << qPrintable(word.first);
            EXPECT_GE(word.second.top(), 35.5) << page << " " << qPrintable(word.first);
            EXPECT_LE(word.second.bottom(), 806.4) << page << " " << qPrintable(word.first);
        }
    }
    // The outline's dates whole, the first task's end included, and every row printed.
    EXPECT_TRUE(printtest::pdfText(pdf, 1).contains(QStringLiteral("6 Mar 2024 18:00")));
    const QString all = printtest::pdfText(pdf);
    for (int n = 1; n <= 300; ++n)
        ASSERT_TRUE(all.contains(QStringLiteral("Task %1\n").arg(n)) || all.contains(QStringLiteral("Task %1 ").arg(n))) << n;
}

TEST_F(PrintAndExportTest, EveryPageKindExportsOrPrintsAndLeavesNothingChanged)
{
    const DMPrintInfo printInfo = DMPrintInfo::sharedPrintInfo();
    const ChartState before = chartState();
    const auto exportGantt = [&](int page, int tag, const QString &file) {
        document->showPageWithTag(page);
        ui.savePanelPath = path(file);
        compose([&] { document->print()->exportToImage(tag); });
        EXPECT_TRUE(panel()->imageExport());
        EXPECT_EQ(panel()->pageImages().size(), 1);
        const QSizeF size = panel()->pageImages().first().size;
        confirm();
        EXPECT_FALSE(panel()->isOnScreen());
        return size;
    };

    // The Gantt page as a JPEG: one picture of the whole chart, the size of the export's page.
    {
        SCOPED_TRACE("tasks Gantt page, JPEG");
        const QSizeF size = exportGantt(10, DMProjectDocumentPrint::JPEGExportTag, QStringLiteral("tasks"));
        QImageReader reader(path(QStringLiteral("tasks.jpg")));
        EXPECT_EQ(reader.format(), "jpeg");
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(int(size.width()), int(size.height())));
        EXPECT_GT(countPixels(image, image.rect(), isBarColour), 3000);
        EXPECT_GT(countPixels(image, image.rect(), isText), 3000);
    }
    {
        SCOPED_TRACE("tasks Gantt page, PDF");
        const QSizeF size = exportGantt(10, DMProjectDocumentPrint::PDFExportTag, QStringLiteral("tasks.pdf"));
        EXPECT_EQ(printtest::pdfPageCount(path(QStringLiteral("tasks.pdf"))), 1);
        const QSizeF read = printtest::pdfPageSize(path(QStringLiteral("tasks.pdf")));
        EXPECT_NEAR(read.width(), size.width(), 0.5);
        EXPECT_NEAR(read.height(), size.height(), 0.5);
    }
    {
        SCOPED_TRACE("resources Gantt page, JPEG");
        exportGantt(9, DMProjectDocumentPrint::JPEGExportTag, QStringLiteral("resources.jpg"));
        EXPECT_FALSE(QImage(path(QStringLiteral("resources.jpg"))).isNull());
    }
    {
        // The report exports its PDF, whatever the tag; the tasks-by-processes report does not.
        SCOPED_TRACE("report pages");
        document->showPageWithTag(11);
        ui.savePanelPath = path(QStringLiteral("report"));
        document->print()->exportToImage(DMProjectDocumentPrint::JPEGExportTag);
        EXPECT_GE(printtest::pdfPageCount(path(QStringLiteral("report.pdf"))), 1);
        document->showPageWithTag(20);
        ui.savePanelPath = path(QStringLiteral("processes.pdf"));
        document->print()->exportToImage(DMProjectDocumentPrint::PDFExportTag);
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("processes.pdf"))));
        // Printing it works.
        QFile::remove(panels.outputPath);
        document->print()->printDocument();
        EXPECT_GE(printtest::pdfPageCount(panels.outputPath), 1);
    }
    {
        SCOPED_TRACE("days-off page, task list and the items view's cards");
        document->showPageWithTag(DMPage::DaysOffPage);
        QFile::remove(panels.outputPath);
        document->print()->printDocument();
        EXPECT_GE(printtest::pdfPageCount(panels.outputPath), 1);
        const QImage printed = pageOf(panels.outputPath, 1);
        EXPECT_GT(countPixels(printed, printed.rect(), isText), 100);
        // The task list and the items view's task cards print as they are shown.
        for (int tag : {17, 2}) {
            QFile::remove(panels.outputPath);
            document->showPageWithTag(tag);
            document->print()->printDocument();
            EXPECT_GE(printtest::pdfPageCount(panels.outputPath), 1) << tag;
            const QImage cards = pageOf(panels.outputPath, 1);
            EXPECT_GT(countPixels(cards, cards.rect(), isText), 100) << tag;
        }
        EXPECT_TRUE(ui.alerts.isEmpty());
    }

    document->showPageWithTag(10);
    expectSameState(chartState(), before);
    EXPECT_EQ(DMPrintInfo::sharedPrintInfo(), printInfo);
}

TEST_F(PrintAndExportTest, AChartWithoutAStoredScaleKeepsTheScaleItShowedAfterAnExport)
{
    // A new plan stores no scale: the chart shows the one it last laid out with.
    auto project = makeChart(30);
    project->beginLoading();
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, QVariant());
    project->endLoading();
    document->closeWithoutShowingRecentItemsWindow();
    document = documentWithProject(project);
    showWindow(document, QSize(1100, 700));
    const float shownScale = project->displayAttributes().pixelsPerDay;
    const int canvasWidth = document->outlets().projectView->width();

    document->showPageWithTag(DMPage::GanttPage);
    ui.savePanelPath = path(QStringLiteral("plan.pdf"));
    compose([&] { document->print()->exportToImage(DMProjectDocumentPrint::PDFExportTag); });
    confirm();
    ASSERT_EQ(printtest::pdfPageCount(path(QStringLiteral("plan.pdf"))), 1);
    EXPECT_EQ(project->displayAttributes().pixelsPerDay, shownScale);
    EXPECT_EQ(document->outlets().projectView->width(), canvasWidth);
    EXPECT_FALSE(project->attributes().contains(kDMProject_TimelineViewPixelsPerDay));
}

TEST_F(PrintAndExportTest, ShareUploadsTheShownPageAndOpensItsLink)
{
    StandInService service;
    FarseeManager &manager = FarseeManager::sharedManager();
    manager.engine()->setBaseURL(QUrl(service.server.url()));
    DMUserDefaults::standardUserDefaults().setObjectForKey(service.email, kFarseeAccountEmailKey);
    DMUserDefaults::standardUserDefaults().setObjectForKey(service.password, kFarseeAccountPasswordKey);
    BrowserCatcher browser;
    const QRegularExpression sharedName(QStringLiteral("^Orvesta-Harbour 2024-20\\d\\d-\\d\\d-\\d\\d-\\d{6}\\.(jpeg|pdf)$"));

    // The Gantt page: the panel's picture as a JPEG, no save panel asked.
    document->showPageWithTag(10);
    ui.savePanelPath.clear();
    compose([&] { document->print()->exportToFarsee(); });
    EXPECT_TRUE(panel()->farseeExport());
    confirm();
    ASSERT_TRUE(waitFor([&] { return browser.opened.size() == 1; }, 10000));
    ASSERT_FALSE(service.lastUploadParts.isEmpty());
    EXPECT_TRUE(service.lastUploadParts.last().content.startsWith("\xFF\xD8"));
    QString name = manager.sendings().last()->filename;
    EXPECT_TRUE(sharedName.match(name).hasMatch()) << qPrintable(name);
    EXPECT_TRUE(name.endsWith(QStringLiteral(".jpeg")));
    EXPECT_EQ(browser.opened.last(), manager.sendings().last()->remoteURL);

    // The report: its PDF.
    document->showPageWithTag(11);
    document->print()->exportToFarsee();
    ASSERT_TRUE(waitFor([&] { return browser.opened.size() == 2; }, 10000));
    EXPECT_TRUE(service.lastUploadParts.last().content.startsWith("%PDF"));
    name = manager.sendings().last()->filename;
    EXPECT_TRUE(sharedName.match(name).hasMatch() && name.endsWith(QStringLiteral(".pdf"))) << qPrintable(name);
}

} // namespace
