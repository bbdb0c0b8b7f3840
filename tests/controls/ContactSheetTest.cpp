// Every control of the kit in each of its states on one sheet, written to the screens folder for
// review (controls-contact-sheet.png) and kept out of the repository. Each tile must show
// something: a control that draws nothing in some state fails here.
#include "ControlsTestSupport.h"

#include "BlackButtonCell.h"
#include "BlackCheckBoxButtonCell.h"
#include "BlackPopUpButtonCell.h"
#include "BlackSegmentedConrol.h"
#include "BlackTableView.h"
#include "BlackTableViewScroller.h"
#include "DMCollapsingSplitview.h"
#include "DMImageBackgroundBox.h"
#include "DMProgressBarView.h"
#include "DMProgressViewFamily.h"
#include "DMProgressViewiPhone.h"
#include "DMScroller.h"
#include "DMSourceListCell.h"
#include "DMIdleTimeout.h"
#include "DMPasswordPanel.h"
#include "DMSearchField.h"
#include "DMSearchFieldDataSource.h"
#include "WhiteSpinningProgressIndicator.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTest>

using namespace controlstest;

namespace {

constexpr int kScale = 2;
const QColor kLight(236, 236, 236);
const QColor kDark(58, 58, 60);

struct Tile
{
    QString caption;
    QImage image;
};

struct Section
{
    QString title;
    QList<Tile> tiles;
};

QImage shoot(QWidget &widget, const QColor &ground)
{
    QImage image(widget.size() * kScale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(kScale);
    image.fill(ground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QImage draw(QSize size, const QColor &ground, const std::function<void(QPainter &)> &drawing)
{
    QImage image(size * kScale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(kScale);
    image.fill(ground);
    QPainter painter(&image);
    drawing(painter);
    return image;
}

bool hasInk(const Tile &tile, const QColor &ground)
{
    return count(tile.image, tile.image.rect(), [&](QRgb c) { return c != ground.rgb(); }) > 0;
}

QImage composeSheet(const QList<Section> &sections)
{
    constexpr int kMargin = 16;
    constexpr int kGap = 14;
    constexpr int kWidth = 1500;
    QFont titleFont;
    titleFont.setPixelSize(18);
    titleFont.setBold(true);
    QFont captionFont;
    captionFont.setPixelSize(12);

    // Lay out first to know the height, then draw.
    struct Placed { QPoint at; const Tile *tile; };
    QList<Placed> placed;
    QList<std::pair<int, QString>> titles;
    int y = kMargin;
    for (const Section &section : sections) {
        titles.append({y, section.title});
        y += 28;
        int x = kMargin;
        int rowHeight = 0;
        for (const Tile &tile : section.tiles) {
            const QSize size = tile.image.size() / kScale * kScale;
            if (x + size.width() > kWidth - kMargin && x > kMargin) {
                x = kMargin;
                y += rowHeight + kGap;
                rowHeight = 0;
            }
            placed.append({QPoint(x, y), &tile});
            x += std::max(size.width(), 120) + kGap;
            rowHeight = std::max(rowHeight, size.height() + 18);
        }
        y += rowHeight + kGap + 6;
    }
    QImage sheet(kWidth, y + kMargin, QImage::Format_ARGB32);
    sheet.fill(QColor(250, 250, 250));
    QPainter painter(&sheet);
    painter.setFont(titleFont);
    painter.setPen(QColor(30, 30, 30));
    for (const auto &[top, text] : titles)
        painter.drawText(QPoint(kMargin, top + 18), text);
    painter.setFont(captionFont);
    for (const Placed &p : placed) {
        painter.setPen(QColor(90, 90, 90));
        painter.drawText(QPoint(p.at.x(), p.at.y() + 12), p.tile->caption);
        QImage image = p.tile->image;
        image.setDevicePixelRatio(1);
        painter.drawImage(QPoint(p.at.x(), p.at.y() + 16), image);
        painter.setPen(QColor(200, 200, 200));
        painter.drawRect(QRect(QPoint(p.at.x(), p.at.y() + 16), image.size()).adjusted(-1, -1, 0, 0));
    }
    return sheet;
}

Section sourceListSection()
{
    Section section{QStringLiteral("Source-list cell and simple text cell"), {}};
    DMSourceListCell cell;
    QImage icon(24, 24, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(70, 130, 210));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 4, 4);
    }
    cell.setIcon(QIcon(QPixmap::fromImage(icon)));
    cell.setStringValue(QStringLiteral("Tasks"));
    const QSize row(220, 26);
    const auto rowTile = [&](const QString &caption, const QColor &ground, const QColor &text) {
        cell.setTextColor(text);
        section.tiles.append({caption, draw(row, ground, [&](QPainter &p) { cell.drawWithFrame(&p, QRectF(QPointF(), row)); })});
    };
    cell.badgeCell()->setStringValue(QStringLiteral("12"));
    rowTile(QStringLiteral("icon, title, badge"), Qt::white, Qt::black);
    rowTile(QStringLiteral("selected row"), QColor(60, 120, 200), Qt::white);
    cell.badgeCell()->setStringValue(QStringLiteral("1234567890123"));
    rowTile(QStringLiteral("badge at its widest"), Qt::white, Qt::black);
    cell.setDrawsIcon(false);
    cell.setDrawsBadge(false);
    cell.setStringValue(QStringLiteral("A title without icon and badge runs on"));
    rowTile(QStringLiteral("no icon, no badge"), Qt::white, Qt::black);

    DMSimpleTextFieldCell text;
    text.setStringValue(QStringLiteral("Plain"));
    section.tiles.append({QStringLiteral("simple cell"), draw(QSize(100, 22), Qt::white, [&](QPainter &p) { text.drawWithFrame(&p, QRectF(0, 0, 100, 22)); })});
    text.setBordered(true);
    text.setBackgroundColor(QColor(255, 230, 150));
    section.tiles.append({QStringLiteral("plain background"), draw(QSize(100, 22), Qt::white, [&](QPainter &p) { text.drawWithFrame(&p, QRectF(0, 0, 100, 22)); })});
    text.setBezelStyle(DMSimpleTextFieldCell::RoundedBezelStyle);
    text.setAlignment(Qt::AlignHCenter);
    text.setStringValue(QStringLiteral("7"));
    section.tiles.append({QStringLiteral("pill, short text"), draw(QSize(100, 22), Qt::white, [&](QPainter &p) { text.drawWithFrame(&p, QRectF(0, 0, 100, 22)); })});
    return section;
}

Section splitViewSection()
{
    Section section{QStringLiteral("Collapsing split view"), {}};
    for (int collapsing : {1, 0}) {
        for (bool collapsed : {false, true}) {
            DMCollapsingSplitview split(Qt::Horizontal);
            split.setHandleWidth(2);
            QLabel first(QStringLiteral("content"));
            QLabel second(QStringLiteral("pane"));
            first.setAutoFillBackground(true);
            second.setAutoFillBackground(true);
            QPalette a = first.palette();
            a.setColor(QPalette::Window, QColor(210, 225, 245));
            first.setPalette(a);
            a.setColor(QPalette::Window, QColor(245, 225, 200));
            second.setPalette(a);
            first.setAlignment(Qt::AlignCenter);
            second.setAlignment(Qt::AlignCenter);
            split.addWidget(&first);
            split.addWidget(&second);
            split.resize(240, 50);
            (collapsing ? second : first).resize(70, 50);
            split.setCollapsingView(collapsing ? &second : &first);
            if (collapsed)
                split.collapse();
            section.tiles.append({QStringLiteral("%1 pane %2").arg(collapsing ? "second" : "first", collapsed ? "collapsed" : "shown"),
                                  shoot(split, kLight)});
        }
    }
    return section;
}

Section progressSection()
{
    Section section{QStringLiteral("Image-drawn progress views"), {}};
    const auto tile = [&](const QString &caption, DMProgressView &view, double value) {
        view.resize(224, 50);
        view.setDoubleValue(value);
        section.tiles.append({caption, shoot(view, kDark)});
    };
    DMProgressView base;
    tile(QStringLiteral("empty"), base, 0);
    tile(QStringLiteral("half"), base, 50);
    tile(QStringLiteral("full"), base, 100);
    tile(QStringLiteral("beyond the maximum"), base, 180);
    base.setMarkersCount(5);
    base.setDisplayPercentage(true);
    base.setMaxValue(200);
    tile(QStringLiteral("5 markers, percentage"), base, 70);
    DMProgressView striped;
    striped.setHasStripes(true);
    striped.setMarkersAtTop(false);
    striped.setMarkersCount(1);
    tile(QStringLiteral("stripes, markers below"), striped, 35.5);
    DMProgressView emptyRange;
    emptyRange.setMinValue(10);
    emptyRange.setMaxValue(10);
    tile(QStringLiteral("max = min: nothing"), emptyRange, 10);
    DMProgressView2 v2;
    tile(QStringLiteral("DMProgressView2"), v2, 40);
    DMProgressView3 v3;
    tile(QStringLiteral("DMProgressView3"), v3, 60);
    DMProgressView4 v4;
    tile(QStringLiteral("DMProgressView4"), v4, 80);
    DMProgressViewBlocksGreen green;
    green.setMarkersCount(3);
    tile(QStringLiteral("BlocksGreen"), green, 45);
    DMProgressViewBlocksOrange orange;
    tile(QStringLiteral("BlocksOrange"), orange, 75);
    DMProgressViewThin thin;
    thin.setMarkersCount(3);
    tile(QStringLiteral("Thin"), thin, 30);
    DMProgressViewiPhone pill;
    pill.resize(200, 16);
    for (double value : {0.0, 3.0, 65.0}) {
        pill.setDoubleValue(value);
        section.tiles.append({QStringLiteral("pill %1").arg(value), shoot(pill, kLight)});
    }
    DMProgressBarView bar;
    bar.resize(200, 20);
    for (double value : {0.0, 0.6}) {
        bar.setDoubleValue(value);
        section.tiles.append({QStringLiteral("vector bar %1").arg(value), shoot(bar, kLight)});
    }
    bar.setBarInnerBorderColor(Qt::white);
    bar.setBarInnerBorderWidth(1.5);
    section.tiles.append({QStringLiteral("vector bar, inner border"), shoot(bar, kLight)});
    return section;
}

Section scrollerSection()
{
    Section section{QStringLiteral("Image-drawn scroller and background boxes"), {}};
    for (int tenths : {0, 5, 10}) {
        DMScroller scroller(Qt::Vertical);
        scroller.setRange(0, 1000);
        scroller.setPageStep(250);
        scroller.resize(16, 160);
        for (int i = 0; i < tenths; ++i)
            scroller.setValue(300 + i);
        destroyPendingIdleInvocations(&scroller);
        section.tiles.append({QStringLiteral("track %1").arg(scroller.knobSlotAlpha()), shoot(scroller, kLight)});
    }
    DMScroller horizontal(Qt::Horizontal);
    horizontal.setRange(0, 100);
    horizontal.resize(200, 16);
    for (int i = 0; i < 10; ++i)
        horizontal.setValue(40 + i);
    destroyPendingIdleInvocations(&horizontal);
    section.tiles.append({QStringLiteral("horizontal, track shown"), shoot(horizontal, kLight)});
    horizontal.setPageStep(2);
    section.tiles.append({QStringLiteral("narrow knob"), shoot(horizontal, kLight)});
    horizontal.setEnabled(false);
    section.tiles.append({QStringLiteral("disabled"), shoot(horizontal, kLight)});

    DMBlackShineBox shine;
    shine.setTitle(QStringLiteral("Black shine"));
    shine.resize(160, 80);
    shine.setTransparent(true);
    section.tiles.append({QStringLiteral("black shine (asked transparent)"), shoot(shine, Qt::red)});
    DMStandardGradientBox gradient;
    gradient.setTitle(QStringLiteral("Gradient"));
    gradient.resize(160, 80);
    section.tiles.append({QStringLiteral("standard gradient"), shoot(gradient, Qt::red)});
    return section;
}

Section darkSection()
{
    Section section{QStringLiteral("Dark-themed controls"), {}};
    const auto add = [&](const QString &caption, QWidget &widget) { section.tiles.append({caption, shoot(widget, kDark)}); };
    BlackButtonCell button(QStringLiteral("Apply"));
    button.resize(110, 32);
    add(QStringLiteral("button"), button);
    button.setDown(true);
    add(QStringLiteral("pressed"), button);
    button.setDown(false);
    button.setDefault(true);
    add(QStringLiteral("default"), button);
    button.setEnabled(false);
    add(QStringLiteral("default, disabled"), button);

    BlackPopUpButtonCell popUp;
    popUp.addItems({QStringLiteral("Weeks"), QStringLiteral("Months")});
    popUp.resize(140, 26);
    add(QStringLiteral("pop-up"), popUp);
    popUp.setEnabled(false);
    add(QStringLiteral("pop-up, disabled"), popUp);

    BlackCheckBoxButtonCell box(QStringLiteral("Weekends"));
    box.resize(130, 26);
    add(QStringLiteral("check box"), box);
    box.setChecked(true);
    add(QStringLiteral("checked"), box);
    box.setDown(true);
    add(QStringLiteral("checked, pressed"), box);
    box.setDown(false);
    box.setEnabled(false);
    add(QStringLiteral("checked, disabled"), box);
    QButtonGroup group;
    BlackCheckBoxButtonCell radioOff(QStringLiteral("Days"));
    BlackCheckBoxButtonCell radioOn(QStringLiteral("Weeks"));
    group.addButton(&radioOff);
    group.addButton(&radioOn);
    radioOn.setChecked(true);
    radioOff.resize(110, 26);
    radioOn.resize(110, 26);
    add(QStringLiteral("radio"), radioOff);
    add(QStringLiteral("radio, on"), radioOn);

    BlackSegmentedConrol segments({QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month")});
    segments.resize(200, 24);
    QPalette palette = segments.palette();
    palette.setColor(QPalette::Window, kDark);
    segments.setPalette(palette);
    segments.setSelectedSegment(1);
    add(QStringLiteral("segmented"), segments);
    segments.setEnabled(false);
    add(QStringLiteral("segmented, disabled"), segments);

    QStandardItemModel model(12, 2);
    model.setHorizontalHeaderLabels({QStringLiteral("Resource"), QStringLiteral("Cost")});
    for (int row = 0; row < 12; ++row) {
        model.setData(model.index(row, 0), QStringLiteral("Resource %1").arg(row + 1));
        model.setData(model.index(row, 1), QStringLiteral("%1.00").arg(40 + row * 5));
    }
    BlackTableView table;
    table.setModel(&model);
    table.resize(260, 150);
    table.show();
    table.selectRow(2);
    section.tiles.append({QStringLiteral("table, header, corner, scroller"), table.grab().toImage()});
    table.setEnabled(false);
    section.tiles.append({QStringLiteral("table, disabled"), table.grab().toImage()});
    table.hide();

    BlackTableViewScroller tableScroller(Qt::Vertical);
    tableScroller.setRange(0, 100);
    tableScroller.setPageStep(40);
    tableScroller.resize(16, 150);
    add(QStringLiteral("table scroller"), tableScroller);
    BlackScroller scroller(Qt::Vertical);
    scroller.setRange(0, 100);
    scroller.setPageStep(40);
    scroller.setValue(30);
    scroller.resize(16, 150);
    add(QStringLiteral("scroller"), scroller);
    BlackScroller across(Qt::Horizontal);
    across.setRange(0, 100);
    across.setPageStep(30);
    across.resize(180, 16);
    add(QStringLiteral("scroller, horizontal"), across);

    WhiteSpinningProgressIndicator spinner;
    spinner.resize(32, 32);
    for (double value : {0.0, 0.25, 0.5}) {
        spinner.setValue(value);
        add(QStringLiteral("spinner %1").arg(value), spinner);
    }
    WhiteSpinningProgressIndicator small;
    small.resize(16, 16);
    add(QStringLiteral("spinner 16"), small);
    return section;
}

// Titles containing the typed text, each with a small coloured icon.
class SampleSource : public DMSearchFieldDataSource
{
public:
    QVariantList searchResultsForField(DMSearchField *field) override
    {
        QImage icon(14, 14, QImage::Format_ARGB32);
        icon.fill(QColor(90, 150, 220));
        QVariantList results;
        for (const char *title : {"Roof", "Roof tiles", "Roofing felt", "Foundation"})
            if (QString::fromLatin1(title).contains(field->text(), Qt::CaseInsensitive))
                results.append(QVariantMap{{QStringLiteral("title"), QString::fromLatin1(title)},
                                           {QStringLiteral("icon"), icon}});
        return results;
    }
};

Section panelsSection()
{
    Section section{QStringLiteral("Search field and password panel"), {}};
    QWidget window;
    window.resize(220, 40);
    DMSearchField field(&window);
    field.setGeometry(10, 8, 200, 24);
    SampleSource source;
    field.setDataSource(&source);
    window.show();
    QTest::keyClicks(&field, QStringLiteral("roo"));
    section.tiles.append({QStringLiteral("search field"), shoot(window, kLight)});
    QWidget *results = field.resultsWindow();
    section.tiles.append({QStringLiteral("results window (3 results)"), shoot(*results, Qt::white)});
    field.textDidEndEditing();

    DMPasswordPanel *panel = DMPasswordPanel::passwordPanel(&window);
    panel->informativeLabel()->setText(QStringLiteral("Enter the password of this project twice."));
    panel->show();
    panel->adjustSize();
    section.tiles.append({QStringLiteral("password panel, empty"), shoot(*panel, kLight)});
    panel->passwordField1()->setText(QStringLiteral("secret"));
    panel->passwordField2()->setText(QStringLiteral("secret"));
    section.tiles.append({QStringLiteral("password panel, entries equal"), shoot(*panel, kLight)});
    return section;
}

} // namespace

TEST(ContactSheet, EveryControlDrawsInEveryState)
{
    const QList<Section> sections{sourceListSection(), splitViewSection(), progressSection(), scrollerSection(),
                                  darkSection(), panelsSection()};
    for (const Section &section : sections) {
        for (const Tile &tile : section.tiles) {
            if (tile.caption.startsWith(QLatin1String("max = min")))
                continue; // draws nothing on purpose
            const QRgb corner = tile.image.pixel(0, 0);
            EXPECT_TRUE(hasInk(tile, QColor(corner)) || hasInk(tile, kDark)) << qPrintable(tile.caption);
        }
    }
    saveScreen(composeSheet(sections), QStringLiteral("controls-contact-sheet.png"));
}
