// A page composed from parts of images and texts, with its geometry stated from the bottom
// left: where entries land, what they look like drawn, and the page as PDF.
#include "DMViewCompositor.h"

#include "PrintViewTestSupport.h"

#include <QPageSize>

#include <gtest/gtest.h>

using namespace printtest;

namespace {

// Red, green / blue, yellow quadrants, as seen upright.
QImage quadrants(int size)
{
    QImage image = pointImage(size, size);
    paint(image, [size](QPainter &p) {
        const int h = size / 2;
        p.fillRect(0, 0, h, h, Qt::red);
        p.fillRect(h, 0, h, h, Qt::green);
        p.fillRect(0, h, h, h, Qt::blue);
        p.fillRect(h, h, h, h, Qt::yellow);
    });
    return image;
}

QImage render(const DMViewCompositor &compositor, int scale = 1)
{
    const QSize size = (compositor.bounds().size() * scale).toSize();
    QImage page = pointImage(size.width(), size.height(), Qt::gray);
    paint(page, [&](QPainter &p) {
        p.scale(scale, scale);
        compositor.drawRect(&p, compositor.bounds());
    });
    return page;
}

// Rows of the image that hold a dark pixel within the columns.
QList<int> darkRows(const QImage &image, int fromX, int toX)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = fromX; x < toX; ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                rows.append(y);
                break;
            }
    return rows;
}

TEST(ViewCompositor, GeometryFromTheBottomLeftIsTurnedOnceToTopLeft)
{
    DMViewCompositor compositor(QRectF(0, 0, 200, 100));
    DMViewCompositorEntry entry;
    entry.obj = pointImage(100, 80);
    entry.rect = QRectF(10, 20, 50, 30);
    entry.srcRect = QRectF(0, 60, 50, 20); // the top left part of the image
    const DMViewCompositorPlacement placement = compositor.placementOfEntry(entry);
    EXPECT_EQ(placement.target, QRectF(10, 50, 50, 30));
    EXPECT_EQ(placement.natural, QSizeF(50, 20));
    EXPECT_EQ(placement.sourcePixels, QRectF(0, 0, 50, 20));

    // A screen picture: 96 dots per inch, so its points are three quarters of its pixels.
    QImage screen(100, 80, QImage::Format_RGB32);
    screen.setDotsPerMeterX(3780);
    screen.setDotsPerMeterY(3780);
    EXPECT_EQ(DMViewCompositor::imageSizeInPoints(screen), QSizeF(75, 60));
    entry.obj = screen;
    entry.srcRect = QRectF();
    EXPECT_EQ(compositor.placementOfEntry(entry).natural, QSizeF(75, 60));
    EXPECT_EQ(compositor.placementOfEntry(entry).sourcePixels, QRectF(0, 0, 100, 80));
    entry.srcRect = QRectF(15, 0, 30, 30); // the bottom of the image, 20 to 60 pixels across
    EXPECT_EQ(compositor.placementOfEntry(entry).sourcePixels, QRectF(20, 40, 40, 40));
}

TEST(ViewCompositor, ImagesAreDrawnUprightWholeOrInPartsAndTheZeroRectangleMeansAll)
{
    DMViewCompositor compositor(QRectF(0, 0, 200, 100));
    const QImage image = quadrants(40);
    compositor.addImageWithRectFromRectBordered(image, QRectF(10, 10, 80, 80), QRectF(), false);
    // The upper half (y up) stretched over the whole height.
    compositor.addImageWithRectFromRectBordered(image, QRectF(110, 10, 80, 80), QRectF(0, 20, 40, 20), false);
    const QImage page = render(compositor);

    expectColours(page, {{5, 5, Qt::white}, // the white ground
                         {20, 20, Qt::red}, {80, 20, Qt::green}, {20, 80, Qt::blue}, {80, 80, Qt::yellow},
                         {120, 20, Qt::red}, {120, 85, Qt::red}, {180, 85, Qt::green}});
}

TEST(ViewCompositor, HalfWideSourceIsStretchedTwiceWithItsFrame)
{
    DMViewCompositor compositor(QRectF(0, 0, 200, 100));
    QImage image = pointImage(40, 20, Qt::red);
    paint(image, [](QPainter &p) { p.fillRect(20, 0, 20, 20, Qt::green); });
    compositor.addImageWithRectFromRectBordered(image, QRectF(20, 20, 40, 20), QRectF(0, 0, 20, 20), true);
    // Four pixels a point: the target is x 80...240, y 240...320.
    const QImage page = render(compositor, 4);

    // No green: only the left half, twice as wide. The frame, half a unit of the entry's own
    // size, is stretched with it: one point at the sides, half a point above and below.
    expectColours(page, {{82, 250, Qt::red}, {228, 310, Qt::red},
                         {75, 280, Qt::white}, {76, 280, Qt::black}, {79, 280, Qt::black},
                         {160, 237, Qt::white}, {160, 238, Qt::black}, {160, 239, Qt::black},
                         {160, 320, Qt::black}, {160, 321, Qt::black}, {160, 322, Qt::white}});
}

TEST(ViewCompositor, LaterEntriesCoverEarlierOnesAndTextStaysInItsRectangle)
{
    DMViewCompositor compositor(QRectF(0, 0, 200, 100));
    compositor.addImageWithRectFromRectBordered(pointImage(10, 10, Qt::red), QRectF(10, 10, 60, 60), QRectF(), false);
    compositor.addImageWithRectFromRectBordered(pointImage(10, 10, Qt::blue), QRectF(40, 40, 60, 60), QRectF(), true);
    compositor.addImageWithRectFromRectBordered(QImage(), QRectF(0, 0, 200, 100), QRectF(), true); // draws nothing
    DMViewCompositorTextAttributes attributes;
    attributes.font = QFont(QStringLiteral("DejaVu Sans"));
    attributes.font.setPointSizeF(20);
    attributes.color = Qt::black;
    compositor.addNSStringWithRectAndAttributes(QStringLiteral("HHH"), QRectF(120, 40, 70, 30), attributes);
    ASSERT_EQ(compositor.compositedViews().size(), 4);
    const QImage page = render(compositor);

    // (50, 50) lies inside both images: the later one wins.
    expectColours(page, {{20, 80, Qt::red}, {50, 50, Qt::blue}, {5, 5, Qt::white}});
    // Text rectangle: y 30...60 from the top; 20-point capitals sit at its top, about 15 high.
    const QList<int> rows = darkRows(page, 110, 200);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_GE(rows.first(), 30);
    EXPECT_LE(rows.first(), 40);
    EXPECT_NEAR(rows.last() - rows.first(), 14, 3);

    compositor.removeAllViews();
    EXPECT_TRUE(near(render(compositor).pixel(50, 50), Qt::white));
}

TEST(ViewCompositor, PageAsPDFHasTheBoundsSizeAndShowsItsEntries)
{
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Point);
    DMViewCompositor compositor(QRectF(QPointF(0, 0), a4));
    compositor.addImageWithRectFromRectBordered(quadrants(40), QRectF(100, 700, 80, 80), QRectF(), true);
    DMViewCompositorTextAttributes attributes;
    attributes.font = QFont(QStringLiteral("DejaVu Sans"));
    attributes.font.setPointSizeF(20);
    compositor.addNSStringWithRectAndAttributes(QStringLiteral("HHHH"), QRectF(300, 700, 200, 40), attributes);

    QTemporaryDir folder;
    QString error;
    const QString pdf = writeFile(folder, QStringLiteral("page.pdf"), compositor.dataWithPDFInsideRect(compositor.bounds(), &error));
    ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
    EXPECT_EQ(pdfPageCount(pdf), 1);
    // Qt writes pages in whole points.
    EXPECT_EQ(pdfPageSize(pdf), QSizeF(595, 842));
    // Four pixels a point, so that the frame of one point shows.
    const QImage page = pdfPageImage(pdf, 1, 288);
    // The entry's top is 841.89 - 780 = 61.9 points from the top of the page; its frame is
    // the point left of x = 100.
    expectColours(page, {{440, 288, Qt::red}, {680, 288, Qt::green}, {440, 540, Qt::blue}, {680, 540, Qt::yellow},
                         {397, 400, Qt::black}, {394, 400, Qt::white}});
    // Text keeps its point size on the page: capitals of 20 points are about 15 high.
    const QList<int> rows = darkRows(page, 300 * 4, 500 * 4);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_GE(rows.first(), 102 * 4);
    EXPECT_NEAR(rows.last() - rows.first(), 14 * 4, 12);

    EXPECT_TRUE(compositor.dataWithPDFInsideRect(QRectF(0, 0, 0, 100), &error).isEmpty());
    EXPECT_EQ(error, QStringLiteral("The page has no area."));
}

} // namespace
