// The dark-themed controls drawn as a person sees them: charcoal fills under the black gradient,
// light text, their pressed, default, checked and disabled looks; the white spinner's geometry and
// its frames.
#include "ControlsTestSupport.h"

#include "BlackButtonCell.h"
#include "BlackCheckBoxButtonCell.h"
#include "BlackPopUpButtonCell.h"
#include "BlackSegmentedConrol.h"
#include "BlackTableHeaderView.h"
#include "BlackTableView.h"
#include "BlackTableViewScroller.h"
#include "BlackTableviewTextFieldCell.h"
#include "TestSupport.h"
#include "WhiteSpinningProgressIndicator.h"

#include <QButtonGroup>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

using namespace controlstest;

namespace {

const QColor kPanel(60, 60, 60);

int brightPixels(const QImage &image, const QRect &area, int threshold = 235)
{
    return count(image, area, [threshold](QRgb c) { return qGray(c) >= threshold; });
}

QRect boundsOfInk(const QImage &image, QRgb ground)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != ground)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

TEST(BlackButtonCell, CharcoalBodyLighterWhenDefaultOrPressedWithWhiteTitle)
{
    BlackButtonCell button(QStringLiteral("Apply"));
    button.resize(110, 32);
    const QPoint body(12, 11); // inside the capsule, left of the title
    const QImage normal = renderWidget(button, kPanel);
    button.setDefault(true);
    const QImage asDefault = renderWidget(button, kPanel);
    button.setEnabled(false);
    const QImage disabledDefault = renderWidget(button, kPanel);
    button.setEnabled(true);
    button.setDefault(false);
    button.setDown(true);
    const QImage pressed = renderWidget(button, kPanel);

    EXPECT_GT(grey(normal, body.x(), body.y()), 25);
    EXPECT_LT(grey(normal, body.x(), body.y()), 55);
    EXPECT_GT(grey(asDefault, body.x(), body.y()), grey(normal, body.x(), body.y()) + 25);
    EXPECT_GT(grey(pressed, body.x(), body.y()), grey(normal, body.x(), body.y()) + 20);
    EXPECT_EQ(disabledDefault.pixel(body), normal.pixel(body));
    // The gradient darkens the body towards the top.
    EXPECT_LT(grey(normal, body.x(), 4), grey(normal, body.x(), 18));
    // White title in the middle of the capsule; nothing of the button below it.
    const QRect title = BlackButtonCell::shapeRect(QRectF(button.rect())).toRect().adjusted(20, 2, -20, -2);
    EXPECT_GT(brightPixels(normal, title), 5);
    EXPECT_EQ(count(normal, QRect(0, 25, 110, 7), [](QRgb c) { return c != kPanel.rgb(); }), 0);
}

TEST(BlackPopUpButtonCell, CharcoalBodyWhiteTitleAndArrows)
{
    BlackPopUpButtonCell popUp;
    popUp.addItems({QStringLiteral("Weeks"), QStringLiteral("Months")});
    popUp.resize(140, 26);
    const QImage image = renderWidget(popUp, kPanel);
    EXPECT_LT(grey(image, 8, 13), 55);
    EXPECT_GT(brightPixels(image, QRect(11, 4, 60, 18)), 5);
    // The arrows are light grey (0.9) at the right end.
    EXPECT_GT(count(image, QRect(122, 4, 10, 18), [](QRgb c) { return qGray(c) > 200; }), 4);
    EXPECT_EQ(popUp.titleRect(QRectF(0, 0, 140, 26)), QRectF(11, 4, 118, 18));
    // Disabled, the title is light grey, no longer white.
    popUp.setEnabled(false);
    const QImage disabled = renderWidget(popUp, kPanel);
    EXPECT_EQ(brightPixels(disabled, QRect(11, 4, 60, 18), 200), 0);
    EXPECT_GT(count(disabled, QRect(11, 4, 60, 18), [](QRgb c) { return qGray(c) > 140; }), 5);
    popUp.setControlSize(BlackPopUpButtonCell::Mini);
    EXPECT_EQ(popUp.titleRect(QRectF(0, 0, 140, 20)).y(), 6);
}

TEST(BlackCheckBoxButtonCell, CheckedUncheckedRadioAndDisabled)
{
    BlackCheckBoxButtonCell box(QStringLiteral("Weekends"));
    box.resize(box.sizeHint().expandedTo(QSize(120, 24)));
    const QRectF boxRect = box.boxRect(QRectF(box.rect()));
    const QRect inner = boxRect.toRect().adjusted(3, 3, -3, -3);
    const QImage off = renderWidget(box, kPanel);
    box.setChecked(true);
    const QImage on = renderWidget(box, kPanel);
    EXPECT_EQ(brightPixels(off, inner, 200), 0);
    EXPECT_GT(brightPixels(on, inner, 200), 3);
    const QRect title(int(boxRect.right()) + 6, 0, 60, box.height());
    EXPECT_GT(brightPixels(on, title), 5);

    box.setEnabled(false);
    const QImage disabled = renderWidget(box, kPanel);
    EXPECT_EQ(brightPixels(disabled, title, 200), 0);
    EXPECT_GT(count(disabled, title, [](QRgb c) { return qGray(c) > 130; }), 5);

    // In an exclusive group it is a radio button: a round box with a dot when on.
    QButtonGroup group;
    BlackCheckBoxButtonCell first(QStringLiteral("Days"));
    BlackCheckBoxButtonCell second(QStringLiteral("Weeks"));
    group.addButton(&first);
    group.addButton(&second);
    EXPECT_TRUE(first.isRadio());
    EXPECT_FALSE(box.isRadio());
    first.resize(100, 24);
    first.setChecked(true);
    const QImage radio = renderWidget(first, kPanel);
    const QPoint centre = first.boxRect(QRectF(first.rect())).center().toPoint();
    EXPECT_GT(grey(radio, centre.x(), centre.y()), 230);
    second.setChecked(true);
    EXPECT_FALSE(first.isChecked());
}

TEST(BlackSegmentedConrol, SelectedSegmentIsDarkerAndClicksSelect)
{
    BlackSegmentedConrol control({QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month")});
    control.resize(180, 24);
    QPalette palette = control.palette();
    palette.setColor(QPalette::Window, QColor(50, 50, 50));
    control.setPalette(palette);
    control.setSelectedSegment(1);
    const QImage image = renderWidget(control, kPanel);
    EXPECT_LT(grey(image, 63, 12), grey(image, 3, 12));
    EXPECT_GT(brightPixels(image, QRect(60, 2, 60, 20)), 3);

    QSignalSpy selected(&control, &BlackSegmentedConrol::segmentSelected);
    QTest::mouseClick(&control, Qt::LeftButton, Qt::NoModifier, QPoint(150, 12));
    EXPECT_EQ(control.selectedSegment(), 2);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected[0][0].toInt(), 2);
}

TEST(BlackTableView, BandsSelectionHeaderAndLightText)
{
    QStandardItemModel model(3, 2);
    model.setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Cost")});
    for (int row = 0; row < 3; ++row)
        model.setData(model.index(row, 0), QStringLiteral("Resource %1").arg(row));
    BlackTableView table;
    table.setModel(&model);
    table.resize(260, 140);
    table.show();
    table.selectRow(1);
    const QImage image = table.grab().toImage();

    const int header = table.horizontalHeader()->height();
    const int rowHeight = table.rowHeight(0);
    const int x = 200; // in the empty second column
    EXPECT_NEAR(grey(image, x, header + rowHeight / 2), 41, 6);
    EXPECT_NEAR(grey(image, x, header + rowHeight + rowHeight / 2), 140, 3); // selected: grey 0.55
    // Bands go on below the last row, alternating.
    EXPECT_NE(grey(image, x, header + 3 * rowHeight + 3), grey(image, x, header + 4 * rowHeight + 3));
    // Light text in every row, the selected one included.
    for (int row = 0; row < 3; ++row)
        EXPECT_GT(brightPixels(image, QRect(0, header + row * rowHeight, 100, rowHeight)), 5) << row;
    // The header: charcoal with white titles 5 points in.
    EXPECT_LT(grey(image, 100, header / 2), 60);
    EXPECT_GT(brightPixels(image, QRect(BlackTableHeaderView::kTitleInset, 0, 40, header)), 5);

    table.setEnabled(false);
    const QImage disabled = table.grab().toImage();
    EXPECT_NEAR(grey(disabled, x, header + rowHeight + rowHeight / 2), 115, 3); // grey 0.45
}

TEST(BlackTableviewTextFieldCell, DisabledTextFadesInPlace)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QStringLiteral("Concrete"));
    BlackTableView table;
    table.setModel(&model);
    BlackTableviewTextFieldCell cell;
    QStyleOptionViewItem option;
    option.initFrom(&table);
    option.rect = QRect(0, 0, 120, 20);
    option.widget = &table;
    option.palette = table.palette();
    const auto draw = [&](bool enabled) {
        option.state = enabled ? (QStyle::State_Enabled | QStyle::State_Selected) : QStyle::State_None;
        return renderDrawing(QSize(120, 20), [&](QPainter &p) { cell.paint(&p, option, model.index(0, 0)); }, Qt::black);
    };
    const QImage enabled = draw(true);
    const QImage disabled = draw(false);
    EXPECT_EQ(boundsOfInk(disabled, qRgb(0, 0, 0)), boundsOfInk(enabled, qRgb(0, 0, 0)));
    EXPECT_GT(brightPixels(enabled, enabled.rect()), 5);
    EXPECT_EQ(brightPixels(disabled, disabled.rect(), 140), 0);
    EXPECT_GT(brightPixels(disabled, disabled.rect(), 100), 5);
}

TEST(BlackScrollers, TrackAndKnob)
{
    EXPECT_EQ(BlackTableViewScroller::trackRect(QRectF(0, 0, 16, 200)), QRectF(1, 2, 13, 196));
    BlackScroller scroller(Qt::Vertical);
    scroller.setRange(0, 100);
    scroller.setPageStep(50);
    scroller.resize(16, 200);
    const QImage image = renderWidget(scroller);
    EXPECT_EQ(image.pixel(15, 100), QColor::fromRgbF(0.2f, 0.2f, 0.2f).rgb()); // the ground beside the track
    // The knob's grip is near white down its middle.
    EXPECT_GT(brightPixels(image, QRect(6, 20, 4, 60), 210), 10);
    // Arrows point to the scroller's ends.
    const QPolygonF up = BlackScroller::arrowTriangle(QRectF(0, 0, 20, 20), false, true);
    EXPECT_EQ(up[0], QPointF(10, 4));
    const QPolygonF right = BlackScroller::arrowTriangle(QRectF(0, 0, 20, 20), true, false);
    EXPECT_EQ(right[0], QPointF(16, 10));
}

TEST(WhiteSpinningProgressIndicator, GeometryFollowsTheSmallerSide)
{
    auto g = WhiteSpinningProgressIndicator::geometry(QRectF(0, 0, 32, 32));
    EXPECT_DOUBLE_EQ(g.outerRadius, 12.16);
    EXPECT_DOUBLE_EQ(g.innerRadius, 7.36);
    EXPECT_DOUBLE_EQ(g.lineWidth, 2.56);
    g = WhiteSpinningProgressIndicator::geometry(QRectF(0, 0, 16, 16));
    EXPECT_DOUBLE_EQ(g.outerRadius, 7.68);
    EXPECT_DOUBLE_EQ(g.innerRadius, 4.32);
    // A wide rectangle takes a square at its left, centred vertically.
    EXPECT_EQ(WhiteSpinningProgressIndicator::geometry(QRectF(0, 0, 80, 16)).center, QPointF(8, 8));

    // At 0 the white head points up; the tail fades behind it (anticlockwise), greys up to 0.8.
    const auto spokes = WhiteSpinningProgressIndicator::spokes(QRectF(0, 0, 32, 32), 0);
    ASSERT_EQ(spokes.size(), 12);
    EXPECT_NEAR(spokes[0].line.p2().x(), 16, 1e-9);
    EXPECT_NEAR(spokes[0].line.p2().y(), 16 - 12.16, 1e-9);
    EXPECT_EQ(spokes[0].color, QColor(Qt::white));
    EXPECT_LT(spokes[1].line.p2().x(), 16);
    EXPECT_NEAR(spokes[1].color.redF(), 0.5, 1e-4);
    EXPECT_NEAR(spokes[11].color.redF(), 0.8, 1e-4);
    // A quarter turn later the head points right.
    const auto later = WhiteSpinningProgressIndicator::spokes(QRectF(0, 0, 32, 32), 0.25);
    EXPECT_NEAR(later[0].line.p2().x(), 16 + 12.16, 1e-9);
}

TEST(WhiteSpinningProgressIndicator, FramesAdvanceWrapAndStop)
{
    WhiteSpinningProgressIndicator spinner;
    spinner.resize(32, 32);
    const QImage still = spinner.image();
    for (int tick = 0; tick < 11; ++tick)
        spinner.advance();
    EXPECT_GT(spinner.value(), 0.97);
    spinner.advance(); // the twelfth step, 1.2 s into the animation, wraps
    EXPECT_EQ(spinner.value(), 0);

    spinner.startAnimation();
    EXPECT_TRUE(spinner.isAnimating());
    ASSERT_TRUE(halcyra::test::waitFor([&] { return spinner.value() > 0.1; }, 2000));
    EXPECT_NE(spinner.imageWithValue(spinner.value()), still);
    spinner.stopAnimation();
    EXPECT_FALSE(spinner.isAnimating());
    const double stopped = spinner.value();
    const QImage atStop = renderWidget(spinner, Qt::black);
    halcyra::test::runUntilIdle();
    EXPECT_EQ(spinner.value(), stopped);
    EXPECT_EQ(renderWidget(spinner, Qt::black), atStop);

    spinner.setDisplayedWhenStopped(false);
    const QImage hidden = renderWidget(spinner, Qt::black);
    EXPECT_EQ(count(hidden, hidden.rect(), [](QRgb c) { return c != qRgb(0, 0, 0); }), 0);
}
