// The Gantt background rendered into images as a person sees it: day bands, a separator where
// the kind of day changes, row bands and lines, the closing line; a redraw of a small rect
// touches nothing outside it. One rendering goes to the screens folder (HALCYRA_SCREENS_DIR,
// default "screens" in the build tree) for review.
#include "DMProjectViewBackgroundObject.h"
#include "DMProjectViewBackgroundObjectAttributes.h"

#include "GanttTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

using gantttest::saveScreen;

namespace {

const QColor kWork(220, 235, 255);
const QColor kOff(190, 190, 190);
const QColor kSelected(255, 230, 150);
const QColor kLine(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// Six days of 20 (working x3, off x2, working) and rows of 20, 30 and 20 with the middle one
// selected, on a 160 x 100 canvas; lines in opaque black so that they are easy to tell.
std::shared_ptr<DMProjectViewBackgroundObject> grid()
{
    auto background = std::make_shared<DMProjectViewBackgroundObject>(QRectF(0, 0, 160, 100));
    background->setStrokeColor(kLine);
    auto table = DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRows(6, 3);
    table->setColumnWidth(20);
    int i = 0;
    for (const QColor &day : {kWork, kWork, kWork, kOff, kOff, kWork})
        table->setColumnBgColor(i++, day);
    i = 0;
    for (float height : {20, 30, 20})
        table->setRowHeight(i++, height);
    table->setRowBgColor(1, kSelected);
    background->setAttributes(table);
    return background;
}

QImage render(DMProjectViewBackgroundObject &background, const QRectF &rect)
{
    QImage image(160, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    background.drawInRect(&painter, rect, nullptr);
    return image;
}

} // namespace

TEST(BackgroundGridRender, DayBandsSeparatorsRowBandsAndClosingLine)
{
    auto background = grid();
    const QImage image = render(*background, QRectF(0, 0, 160, 100));

    // Day bands, seen below the rows and in the uncoloured first row.
    for (int x : {10, 30, 50, 110})
        EXPECT_EQ(image.pixel(x, 85), kWork.rgb()) << x;
    EXPECT_EQ(image.pixel(70, 85), kOff.rgb());
    EXPECT_EQ(image.pixel(90, 10), kOff.rgb());
    EXPECT_EQ(image.pixel(140, 85), kWhite); // past the last column

    // A separator at the left edge of each run only: x 0, 60 (days off), 100 (working again).
    for (int x : {0, 60, 100})
        EXPECT_EQ(image.pixel(x, 10), kLine.rgb()) << x;
    for (int x : {20, 40, 80})
        EXPECT_NE(image.pixel(x, 10), kLine.rgb()) << x;

    // Row lines at 0, 20 and 50, the closing line at 70, across the whole rect.
    for (int y : {0, 20, 50, 70})
        for (int x : {10, 70, 150})
            EXPECT_EQ(image.pixel(x, y), kLine.rgb()) << x << "," << y;
    EXPECT_NE(image.pixel(10, 71), kLine.rgb());
    // The selected row's band is drawn over the days and their separators.
    for (int x : {10, 60, 70, 150})
        EXPECT_EQ(image.pixel(x, 35), kSelected.rgb()) << x;
    EXPECT_EQ(image.pixel(10, 60), kWork.rgb());
}

TEST(BackgroundGridRender, ARedrawOfASubRectTouchesOnlyIt)
{
    auto background = grid();
    const QRectF rect(50, 10, 30, 30);
    const QImage image = render(*background, rect);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!rect.contains(x + 0.5, y + 0.5)) {
                ASSERT_EQ(image.pixel(x, y), kWhite) << x << "," << y;
            }
        }
    }
    const std::pair<QPoint, QColor> inside[] = {{{55, 15}, kWork}, {{60, 15}, kLine}, {{70, 15}, kOff},
                                                {{70, 20}, kLine}, {{55, 30}, kSelected}};
    for (const auto &[point, colour] : inside)
        EXPECT_EQ(image.pixel(point), colour.rgb()) << point.x() << "," << point.y();
}

TEST(BackgroundGridRender, EmptyOrBrokenTablesDrawOnlyWhatIsThere)
{
    auto background = grid();
    background->attributes()->setColumnWidth(0);
    QImage image = render(*background, QRectF(0, 0, 160, 100));
    EXPECT_EQ(image.pixel(10, 85), kWhite); // no day bands
    EXPECT_EQ(image.pixel(60, 10), kWhite);
    EXPECT_EQ(image.pixel(10, 20), kLine.rgb()); // rows as before
    EXPECT_EQ(image.pixel(10, 35), kSelected.rgb());

    background->setAttributes(DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRows(-4, -2));
    background->attributes()->setColumnWidth(20);
    image = render(*background, QRectF(0, 0, 160, 100));
    EXPECT_EQ(image.pixel(10, 0), kLine.rgb()); // the closing line of no rows
    for (int y = 1; y < image.height(); ++y)
        ASSERT_EQ(image.pixel(10, y), kWhite) << y;

    // Without a table nothing is drawn, and every point of the frame still hits.
    background->setAttributes(nullptr);
    image = render(*background, QRectF(0, 0, 160, 100));
    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_TRUE(background->isPointHitting(QPointF(0, 0), nullptr));
    EXPECT_TRUE(background->isPointHitting(QPointF(159, 99), nullptr));
    EXPECT_FALSE(background->isPointHitting(QPointF(161, 50), nullptr));
}

TEST(BackgroundGridRender, SavesAFourWeekRenderingForReview)
{
    // Four weeks of 12-point days from a Monday, weekends off, twelve rows of 18 with the
    // fourth selected and the first (events) tinted, in the document's translucent line colour.
    DMProjectViewBackgroundObject background(QRectF(0, 0, 336, 240));
    auto table = DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRows(28, 12);
    table->setColumnWidth(12);
    for (int day = 0; day < 28; ++day)
        table->setColumnBgColor(day, day % 7 >= 5 ? QColor(225, 225, 225) : QColor(Qt::white));
    for (int row = 0; row < 12; ++row)
        table->setRowHeight(row, 18);
    table->setRowBgColor(0, QColor(255, 240, 200, 160));
    table->setRowBgColor(3, QColor(120, 160, 255, 90));
    background.setAttributes(table);

    QImage image(336, 240, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    background.drawInRect(&painter, QRectF(0, 0, 336, 240), nullptr);
    painter.end();
    saveScreen(image, QStringLiteral("grid.png"));
    // Saturday's band is grey, a weekday's white, under the rows.
    EXPECT_EQ(image.pixel(5 * 12 + 6, 230), qRgb(225, 225, 225));
    EXPECT_EQ(image.pixel(1 * 12 + 6, 230), kWhite);
}

TEST(ReviewImages, GoIntoTheBuildTreeUnlessAFolderIsNamed)
{
    const QByteArray named = qgetenv("HALCYRA_SCREENS_DIR");
    const bool wasNamed = qEnvironmentVariableIsSet("HALCYRA_SCREENS_DIR");
    const auto restore = qScopeGuard([&] {
        if (wasNamed)
            qputenv("HALCYRA_SCREENS_DIR", named);
        else
            qunsetenv("HALCYRA_SCREENS_DIR");
    });
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QString fileName = QStringLiteral("review-image-%1.png").arg(QCoreApplication::applicationPid());

    qunsetenv("HALCYRA_SCREENS_DIR");
    saveScreen(image, fileName);
    const QString inBuildTree = QDir(QStringLiteral(HALCYRA_BINARY_DIR "/screens")).filePath(fileName);
    EXPECT_TRUE(QFile::remove(inBuildTree));

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    qputenv("HALCYRA_SCREENS_DIR", folder.path().toLocal8Bit());
    saveScreen(image, fileName);
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(fileName)));
}
