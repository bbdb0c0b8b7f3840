// The print panel with a chart of its own making: its stored settings and refused dates, and
// the pages it composes, read back from its PDF the way another program does (poppler): the
// outline and the timeline on the pages asked for, one page fitted and zoomed, header, footer
// and logo, pages that end between rows of any height, and one composition at a time whatever
// the user presses meanwhile.
#include "DMBeep.h"
#include "DMIdleTimeout.h"
#include "DMPageComposition.h"
#include "DMPrintInfo.h"
#include "DMPrintPanelController.h"
#include "DMPrintPanelControllerDataSource.h"
#include "DMPrintPicture.h"
#include "DMProjectKeys.h"
#include "DMUserDefaults.h"

#include "FakeModalUI.h"
#include "PrintViewTestSupport.h"
#include "TestSupport.h"

#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace halcyra::test;
using namespace printtest;

namespace {

// A chart of rows named "Row 001", "Row 002"..., a header naming each day "D1", "D2"... and a bar
// per row. The first row may be taller than the others, as the events row is.
class FakeChart : public DMPrintPanelControllerDataSource
{
public:
    int rows = 60;
    double rowHeight = 20;
    double firstRowHeight = 20;
    QString rowWord = QStringLiteral("Row");
    DMDate begin = DMDate(2024, 3, 4, 0);
    DMDate end = DMDate(2024, 3, 17, 0);
    QStringList log; // "render" for every rendering of the images

    double height() const { return firstRowHeight + rowHeight * (rows - 1); }
    double bottomOf(int row) const { return firstRowHeight + rowHeight * row; }

    QVariantMap getCurrentTimeSpanForPrintPanelController(DMPrintPanelController *) override
    {
        return {{kDMTimeSpanBegin, QVariant::fromValue(begin)}, {kDMTimeSpanEnd, QVariant::fromValue(end)}};
    }
    QSizeF printPanelControllerLeftImageSize(DMPrintPanelController *) override { return QSizeF(200, height()); }
    bool printPanelControllerLeftImageTopImageContentImageWithBeginDateEndDatePixelsPerDayRet_lineHeight(
        DMPrintPanelController *, DMPageCompositionImages *images, const DMDate &from, const DMDate &to, double ppd) override
    {
        log.append(QStringLiteral("render"));
        const int days = int(to.julianDay() - from.julianDay()) + 1;
        const QString word = rowWord;
        images->left = DMPrintPicture::record(QSizeF(200, height()), [this, word](QPainter *p, const QRect &) {
            for (int row = 0; row < rows; ++row) {
                const double top = row == 0 ? 0 : bottomOf(row - 1);
                p->drawText(QRectF(4, top, 190, bottomOf(row) - top), Qt::AlignLeft | Qt::AlignVCenter,
                            QStringLiteral("%1 %2").arg(word).arg(row + 1, 3, 10, QLatin1Char('0')));
            }
        });
        images->top = DMPrintPicture::record(QSizeF(days * ppd, 30), [days, ppd](QPainter *p, const QRect &) {
            p->fillRect(QRectF(0, 0, days * ppd, 30), QColor(230, 230, 230));
            QFont font = p->font();
            font.setPixelSize(9);
            p->setFont(font);
            for (int day = 0; day < days; ++day)
                p->drawText(QRectF(day * ppd, 0, ppd, 30), Qt::AlignCenter, QStringLiteral("D%1").arg(day + 1));
        });
        images->content = DMPrintPicture::record(QSizeF(days * ppd, height()), [this, days, ppd](QPainter *p, const QRect &) {
            for (int row = 0; row < rows; ++row)
                p->fillRect(QRectF((row % days) * ppd, bottomOf(row) - rowHeight + 4, ppd, rowHeight - 8), QColor(200, 40, 40));
        });
        images->lineHeight = rowHeight;
        images->rowBottoms = rowBottoms();
        return true;
    }
    QList<double> rowBottoms() const
    {
        QList<double> bottoms;
        for (int row = 0; row < rows; ++row)
            bottoms.append(bottomOf(row));
        return bottoms;
    }
    QString imageExportFilenameForPrintPanelController(DMPrintPanelController *) override
    {
        return QStringLiteral("Harbour 2024");
    }
    QString logoPathForPrintPanelController(DMPrintPanelController *) override { return logoPath; }
    QString logoPath;
};

// Prints to a PDF file, and says when it was asked to.
class PDFPanels : public DMPrintPanels
{
public:
    QString outputPath;
    QStringList *log = nullptr;
    bool runPrintPanel(QPrinter *printer, QWidget *) override
    {
        if (log)
            log->append(QStringLiteral("output"));
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(outputPath);
        return true;
    }
};

class PrintPanelControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("defaults.ini")));
        DMModalUI::setInstance(&ui);
        DMPrintPanels::setInstance(&panels);
        panels.outputPath = folder.filePath(QStringLiteral("printed.pdf"));
        panels.log = &chart.log;
        savedPrintInfo = DMPrintInfo::sharedPrintInfo();
        // A4 upright, half-inch margins: a zone of 523 x 770 points, as chosen in the page layout.
        DMPrintInfo::sharedPrintInfo().pageLayout =
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36), QPageLayout::Point);
        DMPrintInfo::sharedPrintInfo().orientationChosen = true;
        panel = std::make_unique<DMPrintPanelController>();
        panel->setDatasource(&chart);
        QObject::connect(panel.get(), &DMPrintPanelController::previewDidChange, [this] { chart.log.append(QStringLiteral("joined")); });
    }
    void TearDown() override
    {
        panel.reset();
        DMPrintInfo::sharedPrintInfo() = savedPrintInfo;
        DMPrintPanels::setInstance(nullptr);
        DMModalUI::setInstance(nullptr);
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("unused.ini")));
    }

    // Composes now and writes the preview's PDF; its path.
    QString compose(const QString &name)
    {
        destroyPendingIdleInvocations(panel.get());
        panel->_updateImages();
        return writeFile(folder, name, panel->previewPDFData());
    }
    bool waitForQuiet()
    {
        return waitFor([&] { return !panel->isCompositionPending() && !panel->isComposing(); }, 30000);
    }
    // Starts a composition (by the start given) and does the deed once, in the middle of it,
    // when its progress passes the share; false when it never did.
    bool inTheMiddle(double progress, const std::function<void()> &start, const std::function<void()> &deed)
    {
        bool done = false;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (!done && panel->isComposing() && panel->progress() > progress) {
                done = true;
                deed();
            }
        });
        watcher.start(0);
        start();
        return waitFor([&] { return done; }, 30000) && waitForQuiet();
    }

    QTemporaryDir folder;
    FakeModalUI ui;
    PDFPanels panels;
    FakeChart chart;
    DMPrintInfo savedPrintInfo;
    std::unique_ptr<DMPrintPanelController> panel;
};

int countOf(const QString &text, const QString &word)
{
    return int(text.count(word));
}

// The box of what is drawn (not white) on a page image.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 240)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(PrintPanelControllerTest, SettingsAreStoredAndReadBackAndDatesOutOfOrderBeep)
{
    // Without stored settings: the chart's shown span, today, no fitting, no texts, zoom 1.
    EXPECT_EQ(panel->dateMode(), 0);
    EXPECT_EQ(panel->beginDate().julianDay(), DMDate::dateForNow().julianDay());
    EXPECT_EQ(panel->endDate().julianDay(), DMDate::dateForNow().julianDay());
    EXPECT_FALSE(panel->fitOnOnePage());
    EXPECT_FALSE(panel->topImageOnEveryPage());
    EXPECT_FALSE(panel->leftImageOnEveryPage());
    EXPECT_EQ(panel->headerString(), QString());
    EXPECT_EQ(panel->footerString(), QString());
    EXPECT_EQ(panel->zoomLevel(), 1.0);

    const DMDate march4(2024, 3, 4, 0), march20(2024, 3, 20, 0);
    ASSERT_TRUE(panel->setBeginDate(march4));
    ASSERT_TRUE(panel->setEndDate(march20));
    panel->setDateMode(1);
    panel->setFitOnOnePage(true);
    panel->setTopImageOnEveryPage(true);
    panel->setLeftImageOnEveryPage(true);
    panel->setHeaderString(QStringLiteral("Board copy"));
    panel->setFooterString(QStringLiteral("Draft"));
    panel->setZoomLevel(0.5);
    panel->setZoomLevel(0); // ignored
    EXPECT_EQ(panel->zoomLevel(), 0.5);

    // An end before the begin, or a begin after the end: a beep, and nothing changes.
    const int beeps = DMBeep_count();
    EXPECT_FALSE(panel->setEndDate(DMDate(2024, 3, 3, 0)));
    EXPECT_FALSE(panel->setBeginDate(DMDate(2024, 3, 21, 0)));
    EXPECT_EQ(DMBeep_count(), beeps + 2);
    EXPECT_EQ(panel->beginDate(), march4);
    EXPECT_EQ(panel->endDate(), march20);
    EXPECT_TRUE(panel->setEndDate(march4)); // the same day is no refusal
    EXPECT_TRUE(panel->setEndDate(march20));

    // The next panel starts from what was chosen; the zoom is not kept.
    DMPrintPanelController next;
    EXPECT_EQ(next.dateMode(), 1);
    EXPECT_EQ(next.beginDate(), march4);
    EXPECT_EQ(next.endDate(), march20);
    EXPECT_TRUE(next.fitOnOnePage());
    EXPECT_TRUE(next.topImageOnEveryPage());
    EXPECT_TRUE(next.leftImageOnEveryPage());
    EXPECT_EQ(next.headerString(), QStringLiteral("Board copy"));
    EXPECT_EQ(next.footerString(), QStringLiteral("Draft"));
    EXPECT_EQ(next.zoomLevel(), 1.0);
}

TEST_F(PrintPanelControllerTest, OutlineAndTimelineShowOnThePagesAskedFor)
{
    // 14 days too wide for one page beside the outline: every band takes two pages or more.
    chart.rows = 120;
    panel->setZoomLevel(2.0);
    struct Case
    {
        const char *what;
        bool leftEveryPage, topEveryPage;
    };
    for (const Case &c : {Case{"first pages only", false, false}, Case{"every page", true, true}}) {
        SCOPED_TRACE(c.what);
        panel->setLeftImageOnEveryPage(c.leftEveryPage);
        panel->setTopImageOnEveryPage(c.topEveryPage);
        const QString pdf = compose(QStringLiteral("%1.pdf").arg(c.leftEveryPage));
        const int pages = pdfPageCount(pdf);
        ASSERT_GE(pages, 4);
        int withOutline = 0, withTimeline = 0;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfText(pdf, page);
            withOutline += text.contains(QStringLiteral("Row ")) ? 1 : 0;
            withTimeline += text.contains(QStringLiteral("D1")) || text.contains(QStringLiteral("D14")) ? 1 : 0;
        }
        if (c.leftEveryPage) {
            EXPECT_EQ(withOutline, pages);
            EXPECT_EQ(withTimeline, pages);
        } else {
            EXPECT_LT(withOutline, pages);  // the first page of each band
            EXPECT_LT(withTimeline, pages); // the first band
            EXPECT_GE(withOutline, 2);
        }
        // Every row, once per page of its band that shows the outline.
        const QString all = pdfText(pdf);
        for (int row = 1; row <= chart.rows; ++row) {
            const int count = countOf(all, QStringLiteral("Row %1").arg(row, 3, 10, QLatin1Char('0')));
            ASSERT_EQ(count, c.leftEveryPage ? 2 : 1) << row;
        }
    }
}

TEST_F(PrintPanelControllerTest, RowsOfAnyHeightEndPagesBetweenThemAndNoPageIsEmpty)
{
    // A first row two and a half rows high, as an events row with sub-rows: pages end between
    // rows all the same, every row prints whole once, and no band is left over below the last.
    chart.rows = 150;
    chart.firstRowHeight = 50;
    const QString pdf = compose(QStringLiteral("rows.pdf"));
    const QList<DMComposedPage> &pages = panel->pageImages();
    ASSERT_EQ(pdfPageCount(pdf), pages.size());
    QList<double> bottoms = chart.rowBottoms();
    bottoms.prepend(0);
    double covered = 0;
    for (const DMComposedPage &page : pages) {
        // The chart's entry: its source band, y up from the bottom of the chart.
        const DMViewCompositorEntry &content = page.entries.last();
        const double top = chart.height() - content.srcRect.bottom();
        const double bottom = chart.height() - content.srcRect.top();
        EXPECT_TRUE(bottoms.contains(top)) << top;
        EXPECT_TRUE(bottoms.contains(bottom)) << bottom;
        EXPECT_GT(bottom, top);
        covered = std::max(covered, bottom);
    }
    EXPECT_EQ(covered, chart.height());
    const QString all = pdfText(pdf);
    for (int row = 1; row <= chart.rows; ++row)
        ASSERT_EQ(countOf(all, QStringLiteral("Row %1").arg(row, 3, 10, QLatin1Char('0'))), 1) << row;
    for (int page = 1; page <= pdfPageCount(pdf); ++page)
        EXPECT_FALSE(pdfText(pdf, page).trimmed().isEmpty()) << page;
}

TEST_F(PrintPanelControllerTest, PagesOfBandsBeginAtTheTopOfTheZone)
{
    // A plan of a few rows on two pages of days, and the last band of a long one: each page's
    // print begins at the top of the zone, whatever room is left below.
    chart.rows = 5;
    panel->setZoomLevel(2.0);
    const QString small = compose(QStringLiteral("small.pdf"));
    ASSERT_GE(pdfPageCount(small), 2);
    for (int page = 1; page <= pdfPageCount(small); ++page) {
        const QRect ink = inkBox(pdfPageImage(small, page));
        EXPECT_NEAR(ink.top(), 36, 2) << page;
        EXPECT_LT(ink.bottom(), 842 / 2) << page;
    }
    chart.rows = 50;
    panel->setZoomLevel(1.0);
    const QString tall = compose(QStringLiteral("tall.pdf"));
    const int last = pdfPageCount(tall);
    ASSERT_GE(last, 2);
    EXPECT_NEAR(inkBox(pdfPageImage(tall, last)).top(), 36, 2);
}

TEST_F(PrintPanelControllerTest, OnePageFitsTheZoneScalesWithTheZoomAndTakesTheLogo)
{
    panel->setFitOnOnePage(true);
    const QString whole = compose(QStringLiteral("fit.pdf"));
    ASSERT_EQ(pdfPageCount(whole), 1);
    const QRect full = inkBox(pdfPageImage(whole, 1));
    // Hanging from the top left of the zone, within it.
    EXPECT_NEAR(full.top(), 36, 2);
    EXPECT_NEAR(full.left(), 36, 2);
    EXPECT_LE(full.bottom(), 842 - 36);
    EXPECT_LE(full.right(), 595 - 36);

    // At half the zoom, what fitted the zone takes at most half of it, from the same corner.
    panel->setZoomLevel(0.5);
    const QRect half = inkBox(pdfPageImage(compose(QStringLiteral("half.pdf")), 1));
    EXPECT_LE(half.width(), (595 - 72) / 2 + 2);
    EXPECT_LE(half.height(), (842 - 72) / 2 + 2);
    EXPECT_GT(half.width(), full.width() / 3);
    EXPECT_NEAR(half.left(), full.left(), 1);
    EXPECT_NEAR(half.top(), full.top(), 1);

    // A logo larger than its corner (above the outline, beside the header) shrinks into it,
    // keeping its shape; it lands nowhere else.
    panel->setZoomLevel(1.0);
    QImage logo(400, 100, QImage::Format_RGB32);
    logo.fill(QColor(0, 0, 255));
    chart.logoPath = folder.filePath(QStringLiteral("logo.png"));
    ASSERT_TRUE(logo.save(chart.logoPath));
    compose(QStringLiteral("logo.pdf"));
    const DMComposedPage page = panel->pageImages().first();
    const QRectF logoRect = page.entries.last().rect;
    EXPECT_NEAR(logoRect.width() / logoRect.height(), 4.0, 0.01);
    const QImage image = pdfPageImage(writeFile(folder, QStringLiteral("logo.pdf"), panel->previewPDFData()), 1);
    int blue = 0, blueOutside = 0;
    const QRect box = QRectF(logoRect.x(), page.size.height() - logoRect.bottom(), logoRect.width(), logoRect.height())
                          .toAlignedRect()
                          .adjusted(-1, -1, 1, 1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (near(image.pixel(x, y), QColor(0, 0, 255), 60))
                ++(box.contains(x, y) ? blue : blueOutside);
    EXPECT_GT(blue, int(logoRect.width() * logoRect.height() * 0.8));
    EXPECT_EQ(blueOutside, 0);
}

TEST_F(PrintPanelControllerTest, HeaderAndFooterTextsStandAboveAndBelowTheZoneOfEveryPage)
{
    chart.rows = 100;
    panel->setHeaderString(QStringLiteral("Harbour board copy"));
    panel->setFooterString(QStringLiteral("Printed for review"));
    const QString pdf = compose(QStringLiteral("texts.pdf"));
    const int pages = pdfPageCount(pdf);
    ASSERT_GE(pages, 2);
    for (int page = 1; page <= pages; ++page) {
        bool header = false, footer = false;
        for (const auto &word : pdfWords(pdf, page)) {
            if (word.first == QStringLiteral("board"))
                header = word.second.bottom() <= 36;
            if (word.first == QStringLiteral("review"))
                footer = word.second.top() >= 842 - 36;
        }
        EXPECT_TRUE(header) << page;
        EXPECT_TRUE(footer) << page;
    }
    // An empty header adds nothing to a page of several.
    panel->setHeaderString(QString());
    compose(QStringLiteral("footer.pdf"));
    for (const DMComposedPage &page : panel->pageImages()) {
        int texts = 0;
        for (const DMViewCompositorEntry &entry : page.entries)
            texts += entry.kind == DMViewCompositorEntry::TextEntry ? 1 : 0;
        EXPECT_EQ(texts, 1);
    }
}

TEST_F(PrintPanelControllerTest, PrintRecomposesBeforeOutputAndNeverInsideAComposition)
{
    // A preview made, then the chart changes: Print composes again before it prints.
    chart.rows = 400; // enough pages for the user to press Print while they are joined
    compose(QStringLiteral("first.pdf"));
    chart.rowWord = QStringLiteral("Line");
    chart.log.clear();
    panel->print();
    ASSERT_TRUE(waitForQuiet());
    EXPECT_EQ(chart.log, QStringList({QStringLiteral("render"), QStringLiteral("joined"), QStringLiteral("output")}));
    EXPECT_TRUE(pdfText(panels.outputPath, 1).contains(QStringLiteral("Line 001")));

    // Print pressed while the pages are being joined: that composition stops and a whole new
    // one runs once it has returned, then prints; nothing runs inside another.
    chart.log.clear();
    QFile::remove(panels.outputPath);
    ASSERT_TRUE(inTheMiddle(0.5, [&] { panel->_imagesNeedUpdate(); }, [&] { panel->print(); }));
    // The stopped composition showed nothing; the new one was joined, then printed.
    EXPECT_EQ(chart.log, QStringList({QStringLiteral("render"), QStringLiteral("render"), QStringLiteral("joined"),
                                      QStringLiteral("output")}));
    EXPECT_EQ(pdfPageCount(panels.outputPath), panel->pageImages().size());
}

TEST_F(PrintPanelControllerTest, ClosingDuringACompositionLeavesNoPagesAndPrintsNothing)
{
    chart.rows = 400;
    compose(QStringLiteral("earlier.pdf"));
    ASSERT_FALSE(panel->pageImages().isEmpty());
    chart.log.clear();
    ASSERT_TRUE(inTheMiddle(0.1, [&] { panel->print(); }, [&] { panel->close(); }));
    EXPECT_TRUE(panel->pageImages().isEmpty());
    EXPECT_TRUE(panel->previewPDFData().isEmpty());
    EXPECT_EQ(chart.log, QStringList({QStringLiteral("render")}));
    EXPECT_FALSE(QFile::exists(panels.outputPath));
}

} // namespace
