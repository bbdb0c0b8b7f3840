// A recorded view plays back as the view draws itself: through QWidget::render, tile by tile,
// with clips, saved states, images and text, at another resolution, and as vectors in a PDF.
#include "DMPrintPicture.h"

#include "PrintViewTestSupport.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QLabel>
#include <QPainter>
#include <QPaintEvent>
#include <QPdfWriter>
#include <QWidget>

#include <gtest/gtest.h>

using namespace printtest;

namespace {

// A view 2500 wide and 1300 high (three tiles across, two down) that paints only the part asked
// for, as the canvas does, with a clip, a saved state, an image, a rotated path and text.
class SampleView : public QWidget
{
public:
    SampleView()
    {
        resize(2500, 1300);
        m_image = QImage(40, 20, QImage::Format_RGB32);
        m_image.fill(QColor(0, 0, 255));
    }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        QPainter p(this);
        p.fillRect(event->rect(), Qt::white);
        // A red bar across the tile border at x = 1024.
        p.fillRect(QRectF(1000, 100, 60, 20), Qt::red);
        p.save();
        p.setClipRect(QRect(2000, 1000, 50, 50));
        p.fillRect(QRect(1950, 950, 200, 200), QColor(0, 160, 0)); // only the clipped square shows
        p.restore();
        p.drawImage(QPointF(300, 1100), m_image);
        p.save();
        p.translate(1500, 500);
        p.rotate(45);
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(QPointF(0, 0), QPointF(100, 0));
        p.restore();
        QFont font = p.font();
        font.setPointSizeF(20);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPointF(100, 60), QStringLiteral("Harbour"));
    }

private:
    QImage m_image;
};

QImage rendered(const std::function<void(QPainter *)> &draw, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(&painter);
    return image;
}

int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++count;
    return count;
}

std::shared_ptr<const DMPrintPicture> recordView(QWidget &view, int tileSize = DMPrintPicture::kDefaultTileSize)
{
    return DMPrintPicture::record(QSizeF(view.size()), [&view](QPainter *painter, const QRect &tile) {
        view.render(painter, tile.topLeft(), QRegion(tile));
    }, tileSize);
}

TEST(PrintPicture, PlaysBackWhatTheViewDrawsTileByTile)
{
    SampleView view;
    const auto picture = recordView(view);
    EXPECT_EQ(view.paints, 6); // three tiles across, two down
    EXPECT_EQ(picture->size(), QSizeF(2500, 1300));

    const QImage direct = rendered([&](QPainter *p) { view.render(p); }, view.size());
    const QImage played = rendered([&](QPainter *p) { picture->drawPart(p, QRectF(0, 0, 2500, 1300)); }, view.size());
    EXPECT_EQ(played.pixel(1010, 110), qRgb(255, 0, 0));
    EXPECT_EQ(played.pixel(1050, 110), qRgb(255, 0, 0)); // the bar's part in the next tile
    EXPECT_EQ(played.pixel(2025, 1025), qRgb(0, 160, 0));
    EXPECT_EQ(played.pixel(1960, 960), qRgb(255, 255, 255)); // outside the clip
    EXPECT_EQ(played.pixel(320, 1110), qRgb(0, 0, 255));
    // Text and the rotated line are antialiased alike: nearly every pixel agrees.
    EXPECT_LT(differingPixels(direct, played), 50);
}

TEST(PrintPicture, APartLandsWhereThePainterPutsItAndNothingOutside)
{
    SampleView view;
    const auto picture = recordView(view, 256);
    // The part around the clipped square, drawn at (10, 10) and twice as large.
    const QImage played = rendered([&](QPainter *p) {
        p->translate(10, 10);
        p->scale(2, 2);
        p->translate(-1990, -990);
        picture->drawPart(p, QRectF(1990, 990, 100, 100));
    }, QSize(220, 220));
    EXPECT_EQ(played.pixel(5, 5), qRgb(255, 255, 255));  // outside the part
    EXPECT_EQ(played.pixel(15, 15), qRgb(255, 255, 255)); // within the part, outside the clip
    EXPECT_EQ(played.pixel(10 + 2 * 35, 10 + 2 * 35), qRgb(0, 160, 0));
    EXPECT_EQ(played.pixel(10 + 2 * 65, 10 + 2 * 65), qRgb(255, 255, 255)); // the square ends at 2050
    EXPECT_EQ(played.pixel(215, 215), qRgb(255, 255, 255));
}

TEST(PrintPicture, KeepsOnlyTheDrawingsThatMeetEachTile)
{
    // A thousand squares in the left half: the right tile keeps its state changes only.
    const auto draw = [](QPainter *p, const QRect &) {
        p->setPen(Qt::NoPen);
        p->setBrush(Qt::red);
        for (int i = 0; i < 1000; ++i)
            p->drawRect(QRectF((i % 40) * 10, (i / 40) * 10, 8, 8));
    };
    const auto oneTile = DMPrintPicture::record(QSizeF(800, 400), draw, 800);
    const auto twoTiles = DMPrintPicture::record(QSizeF(800, 400), draw, 400);
    EXPECT_GE(oneTile->commandCount(), 1000);
    EXPECT_LT(twoTiles->commandCount(), oneTile->commandCount() + 20);
}

TEST(PrintPicture, TextKeepsItsSizeInAPdfAndStaysText)
{
    SampleView view;
    const auto picture = recordView(view);
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(300, 100), QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        // One picture unit a point.
        painter.scale(writer.logicalDpiX() / 72.0, writer.logicalDpiY() / 72.0);
        picture->drawPart(&painter, QRectF(0, 0, 300, 100));
    }
    QTemporaryDir folder;
    const QString path = writeFile(folder, QStringLiteral("text.pdf"), pdf);
    EXPECT_TRUE(run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}).contains(QStringLiteral("Harbour")));
    // 20 points at 96 dots an inch are about 27 units high; played one unit a point, the word's
    // capital H is about 19 points high, as it is on the screen in units.
    const QImage page = pdfPageImage(path, 1, 72);
    int top = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 100; x < 110; ++x)
            if (qGray(page.pixel(x, y)) < 128) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
    EXPECT_NEAR(bottom - top + 1, 19, 3);
}

// The part of the picture at the top left of a PDF page twice its size, one unit a point: what
// the part lets through beyond its edges is on the page for a reader to find.
QString partAsPDF(const QTemporaryDir &folder, const QString &name, const DMPrintPicture &picture, const QRectF &part)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(part.size() * 2, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        painter.scale(writer.logicalDpiX() / 72.0, writer.logicalDpiY() / 72.0);
        painter.translate(-part.topLeft());
        picture.drawPart(&painter, part);
    }
    return writeFile(folder, name, pdf);
}

TEST(PrintPicture, APartKeepsOnlyTheCharactersInsideItInThePdfsText)
{
    // A title crossing the part's right edge, one crossing its left edge and one below it: a
    // reader of the PDF finds only what the page shows. Small tiles: the titles cross theirs.
    const auto picture = DMPrintPicture::record(QSizeF(600, 200), [](QPainter *p, const QRect &) {
        QFont font = p->font();
        font.setPointSizeF(12);
        p->setFont(font);
        p->drawText(QPointF(150, 40), QStringLiteral("Harbour quay works"));
        p->drawText(QPointF(40, 80), QStringLiteral("Pier lights"));
        p->drawText(QPointF(120, 180), QStringLiteral("Dredging"));
    }, 64);
    QTemporaryDir folder;
    // Whole, each word once, though it meets several tiles.
    QStringList all;
    for (const auto &word : pdfWords(partAsPDF(folder, QStringLiteral("all.pdf"), *picture, QRectF(0, 0, 600, 200))))
        all.append(word.first);
    EXPECT_EQ(all, QStringList({QStringLiteral("Harbour"), QStringLiteral("quay"), QStringLiteral("works"),
                                QStringLiteral("Pier"), QStringLiteral("lights"), QStringLiteral("Dredging")}));

    const QRectF part(100, 0, 150, 120);
    const QString path = partAsPDF(folder, QStringLiteral("cut.pdf"), *picture, part);
    const auto words = pdfWords(path);
    QStringList texts;
    for (const auto &word : words) {
        texts.append(word.first);
        EXPECT_GE(word.second.left(), -0.5) << word.first.toStdString();
        EXPECT_LE(word.second.right(), part.width() + 0.5) << word.first.toStdString();
    }
    // The start of the first title stays whole; the second shows only its end; the third, below
    // the part, is not there at all.
    EXPECT_TRUE(texts.contains(QStringLiteral("Harbour"))) << texts.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("works")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Pier")));
    EXPECT_FALSE(texts.join(QString()).contains(QStringLiteral("Dredg")));
    // The characters inside still show.
    EXPECT_GT(differingPixels(pdfPageImage(path, 1, 72), pointImage(300, 240)), 100);
}

TEST(PrintPicture, WidgetsWithChildrenPlayBackAsTheyDraw)
{
    // Cards of labels drawn one after the other, as a grid of cards prints: each label as it
    // is drawn, whatever the clips of the labels drawn before it. The labels are lower than
    // their text, so that each clips its drawing.
    QWidget grid;
    std::vector<QWidget *> cards;
    for (int i = 0; i < 4; ++i) {
        auto *card = new QWidget(&grid);
        card->resize(200, 60);
        auto *box = new QWidget(card);
        box->setGeometry(0, 0, 200, 60);
        auto *name = new QLabel(QStringLiteral("Crane %1").arg(i + 1), box);
        name->setGeometry(60, 5, 130, 12);
        auto *rate = new QLabel(QStringLiteral("50.0%1 / hour").arg(i), box);
        rate->setGeometry(5, 30, 120, 12);
        for (QLabel *label : {name, rate}) {
            QFont font = label->font();
            font.setPointSize(11);
            label->setFont(font);
        }
        if (i > 0)
            card->hide();
        cards.push_back(card);
    }
    const auto draw = [&](QPainter *painter, const QRect &) {
        for (int i = 0; i < 4; ++i)
            cards[size_t(i)]->render(painter, QPoint((i % 2) * 200, (i / 2) * 60), QRegion(), QWidget::DrawChildren);
    };
    const QImage direct = rendered([&](QPainter *p) { draw(p, QRect()); }, QSize(400, 120));
    const auto picture = DMPrintPicture::record(QSizeF(400, 120), draw, 128);
    const QImage played = rendered([&](QPainter *p) { picture->drawPart(p, QRectF(0, 0, 400, 120)); }, QSize(400, 120));
    EXPECT_LT(differingPixels(direct, played), 20);
}

TEST(PrintPicture, TextsCrossingTheEdgesOfTilesPlayBackWhole)
{
    // A view that clips its drawing to the part asked for, as the canvas does, with texts across
    // the edges of 128-unit tiles, across and down.
    class ClippingView : public QWidget
    {
    public:
        ClippingView() { resize(300, 200); }

    protected:
        void paintEvent(QPaintEvent *event) override
        {
            QPainter painter(this);
            painter.fillRect(event->rect(), Qt::white);
            painter.setClipRect(event->rect());
            QFont font = painter.font();
            font.setPixelSize(20);
            painter.setFont(font);
            painter.drawText(QPointF(100, 60), QStringLiteral("Across the seam"));
            painter.drawText(QPointF(10, 138), QStringLiteral("Task 92 with a title"));
        }
    } view;
    const auto picture = recordView(view, 128);
    const QImage direct = rendered([&](QPainter *p) { view.render(p); }, view.size());
    const QImage played = rendered([&](QPainter *p) { picture->drawPart(p, QRectF(0, 0, 300, 200)); }, view.size());
    EXPECT_LT(differingPixels(direct, played), 20);
}

} // namespace
