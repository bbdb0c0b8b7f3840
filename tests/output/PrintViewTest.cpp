// One image over as many pages as it needs: the pagination rule with stated numbers, and the
// pages as another program reads them from the PDF.
#include "DMPrintView.h"

#include "PrintViewTestSupport.h"

#include <QPageSize>
#include <QPdfWriter>

#include <gtest/gtest.h>

using namespace printtest;

namespace {

TEST(PrintViewPagination, FitsScalesDownOnlyAndCountsColumnsThenRows)
{
    const QSizeF zone(500, 700);
    struct Case
    {
        const char *name;
        QSizeF bounds;
        QSizeF zone;
        double u;
        bool width, height;
        double scale;
        int columns, rows;
    };
    const Case cases[] = {
        {"fits on one page", {400, 300}, zone, 1.0, false, false, 1.0, 1, 1},
        {"twice the zone's width", {1000, 300}, zone, 1.0, false, false, 1.0, 2, 1},
        {"twice the width, fitted to it", {1000, 300}, zone, 1.0, true, false, 0.5, 1, 1},
        {"50 % and narrower than the zone: not enlarged", {400, 300}, zone, 0.5, true, false, 0.5, 1, 1},
        {"fitted to the height", {400, 2100}, zone, 1.0, false, true, 1.0 / 3.0, 1, 1},
        {"both fits take the smaller", {1000, 2800}, zone, 1.0, true, true, 0.25, 1, 1},
        {"just over three widths and two heights", {1501, 1400}, zone, 1.0, false, false, 1.0, 4, 2},
        // The fitted width equals the zone up to rounding; it must not spill onto a second page.
        {"rounding at the edge", {2147.0176237597716, 10}, {339.6975044115336, 700}, 0.3, true, false,
         339.6975044115336 / 2147.0176237597716, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const DMPrintViewPagination p = DMPrintViewPaginate(c.bounds, c.zone, c.u, c.width, c.height);
        EXPECT_NEAR(p.scale, c.scale, 1e-12);
        EXPECT_EQ(p.columns, c.columns);
        EXPECT_EQ(p.rows, c.rows);
        EXPECT_TRUE(p.whyNoPages.isEmpty());
    }
}

TEST(PrintViewPagination, TitlesRepeatedAtTheTopLeaveLessRoomOnTheFollowingPages)
{
    // Rows of 50 under titles 40 high, on pages 700 high: the first page ends at 690, after
    // 13 rows; the others hold 660 under the titles (without them, 700 would end at 1390).
    QList<double> rows;
    for (double bottom = 90; bottom <= 2000; bottom += 50)
        rows.append(bottom);
    const DMPrintViewPagination p = DMPrintViewPaginate(QSizeF(400, 2000), QSizeF(500, 700), 1.0, false, false, rows, 40);
    EXPECT_EQ(p.repeatedTop, 40);
    EXPECT_EQ(p.rowEdges, (QList<double>{0, 690, 1340, 2000}));
    // Without breaks, the same room; titles taller than half a page are not repeated.
    EXPECT_EQ(DMPrintViewPaginate(QSizeF(400, 2000), QSizeF(500, 700), 1.0, false, false, {}, 40).rowEdges,
              (QList<double>{0, 700, 1360, 2020}));
    EXPECT_EQ(DMPrintViewPaginate(QSizeF(400, 2000), QSizeF(500, 700), 1.0, false, false, rows, 400).repeatedTop, 0);
    // One page repeats nothing.
    EXPECT_EQ(DMPrintViewPaginate(QSizeF(400, 600), QSizeF(500, 700), 1.0, false, false, rows, 40).repeatedTop, 0);
}

TEST(PrintViewPagination, NothingToPrintMakesNoPageAndSaysWhy)
{
    const DMPrintViewPagination empty = DMPrintViewPaginate(QSizeF(0, 300), QSizeF(500, 700), 1.0, true, true);
    EXPECT_EQ(empty.pageCount(), 0);
    EXPECT_EQ(empty.whyNoPages, QStringLiteral("The image to print is empty."));

    const DMPrintViewPagination noZone = DMPrintViewPaginate(QSizeF(400, 300), QSizeF(0, 700), 1.0, true, false);
    EXPECT_EQ(noZone.pageCount(), 0);
    EXPECT_EQ(noZone.whyNoPages, QStringLiteral("The page is smaller than its margins."));

    EXPECT_EQ(DMPrintViewPaginate(QSizeF(400, 300), QSizeF(500, 700), 0.0, false, false).pageCount(), 0);
    EXPECT_EQ(DMPrintViewPaginate(QSizeF(1e9, 1e9), QSizeF(1, 1), 1.0, false, false).pageCount(), 0);
}

TEST(PrintView, ZoneFollowsThePaperAsPrintedAndPagesRunLeftToRightThenDown)
{
    const QSizeF a4 = QPageSize(QPageSize::A4).sizePoints();
    const QSizeF a4Exact = QPageSize(QPageSize::A4).size(QPageSize::Point);
    const QMarginsF margins(10, 20, 30, 40);
    QPageLayout portrait(QPageSize(QPageSize::A4), QPageLayout::Portrait, margins, QPageLayout::Point);
    const QSizeF zone = DMPrintView::printZoneSizeOfLayout(portrait);
    EXPECT_NEAR(zone.width(), a4Exact.width() - 40, 0.01);
    EXPECT_NEAR(zone.height(), a4Exact.height() - 60, 0.01);
    QPageLayout landscape(QPageSize(QPageSize::A4), QPageLayout::Landscape, margins, QPageLayout::Point);
    const QSizeF landscapeZone = DMPrintView::printZoneSizeOfLayout(landscape);
    EXPECT_NEAR(landscapeZone.width(), a4Exact.height() - 40, 0.01);
    EXPECT_NEAR(landscapeZone.height(), a4Exact.width() - 60, 0.01);
    EXPECT_GT(a4.height(), a4.width());

    DMPrintView view;
    view.setPrintInfo(QPageLayout(QPageSize(QSizeF(600, 800), QPageSize::Point), QPageLayout::Portrait,
                                  QMarginsF(50, 50, 50, 50), QPageLayout::Point));
    view.setImage(pointImage(1200, 1000));
    EXPECT_EQ(view.size(), QSize(1200, 1000));
    int first = 0, last = 0;
    EXPECT_TRUE(view.knowsPageRange(&first, &last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 6);
    EXPECT_EQ(view.rectForPage(1), QRectF(0, 0, 500, 700));
    EXPECT_EQ(view.rectForPage(3), QRectF(1000, 0, 500, 700));
    EXPECT_EQ(view.rectForPage(5), QRectF(500, 700, 500, 700));
    EXPECT_EQ(view.rectForPage(7), QRectF());

    view.setImage(QImage());
    EXPECT_FALSE(view.knowsPageRange(&first, &last));
    EXPECT_EQ(last, 0);
}

// A screen picture at 96 dpi keeps its size on paper: 960 pixels are 720 points, one and a
// third widths of a US Letter page with half-inch margins.
TEST(PrintView, ScreenPicturePrintsAtItsSizeOverTwoPages)
{
    QImage picture(960, 480, QImage::Format_RGB32);
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    picture.fill(Qt::red);
    paint(picture, [](QPainter &p) { p.fillRect(720, 0, 240, 480, Qt::blue); });

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("picture.pdf"));
    DMPrintView view;
    view.setImage(picture);
    view.setPrintInfo(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36),
                                  QPageLayout::Point));
    {
        QPdfWriter writer(pdf);
        QString error;
        ASSERT_TRUE(view.printOnDevice(&writer, &error)) << qPrintable(error);
    }
    EXPECT_EQ(pdfPageCount(pdf), 2);
    EXPECT_EQ(pdfPageSize(pdf), QSizeF(612, 792));
    const QImage page1 = pdfPageImage(pdf, 1);
    const QImage page2 = pdfPageImage(pdf, 2);
    ASSERT_EQ(page1.size(), QSize(612, 792));
    // Page 1: red up to the right margin and down to 360 points of picture; page 2: 180
    // points of blue, then paper.
    expectColours(page1, {{40, 40, Qt::red}, {570, 390, Qt::red}, {590, 100, Qt::white}, {100, 400, Qt::white}});
    expectColours(page2, {{40, 100, Qt::blue}, {210, 100, Qt::blue}, {222, 100, Qt::white}});

    // Fitted to the width of a landscape page it takes one page.
    view.setAdjustToPageWidth(true);
    view.setPrintInfo(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(36, 36, 36, 36),
                                  QPageLayout::Point));
    const QString landscape = folder.filePath(QStringLiteral("landscape.pdf"));
    {
        QPdfWriter writer(landscape);
        ASSERT_TRUE(view.printOnDevice(&writer));
    }
    EXPECT_EQ(pdfPageCount(landscape), 1);
    EXPECT_EQ(pdfPageSize(landscape), QSizeF(792, 612));
    const QImage wide = pdfPageImage(landscape, 1);
    expectColours(wide, {{560, 100, Qt::red}, {750, 100, Qt::blue}, {770, 100, Qt::white}});

    // An empty picture prints nothing and says why.
    view.setImage(QImage());
    QString error;
    QPdfWriter writer(folder.filePath(QStringLiteral("empty.pdf")));
    EXPECT_FALSE(view.printOnDevice(&writer, &error));
    EXPECT_EQ(error, QStringLiteral("The image to print is empty."));
}

} // namespace
