// Image-drawn progress views: the slices of the track and fill, the markers and their labels, the
// fill clamped between the track's ends and nothing drawn for an empty range, checked as numbers
// and at pixels; the pill-shaped member and the vector-drawn bar.
#include "ControlsTestSupport.h"

#include "DMProgressBarView.h"
#include "DMProgressViewFamily.h"
#include "DMProgressViewGeometry.h"
#include "DMProgressViewiPhone.h"

using namespace controlstest;
namespace geometry = DMProgressViewGeometry;

namespace {

const QRectF kBounds(0, 0, 224, 50);
const QSizeF kImage(40, 14);

geometry::Bar barAt(qreal fraction)
{
    return geometry::bar(kBounds, kImage, 11, 11, fraction, 0);
}

QList<QRectF> targets(const geometry::Bar &bar, bool full)
{
    QList<QRectF> result;
    for (const geometry::Slice &slice : bar.slices)
        if (slice.full == full)
            result.append(slice.target);
    return result;
}

bool isBlue(QRgb c)
{
    return qBlue(c) > qRed(c) + 60;
}

} // namespace

TEST(ProgressViewGeometry, HalfFillsTheLeftCapThenTheMiddleAndIsClampedBetweenTheEnds)
{
    const geometry::Bar bar = barAt(0.5);
    EXPECT_EQ(bar.track, QRectF(12, 8, 200, 14));
    EXPECT_EQ(bar.fill, 100);
    EXPECT_EQ(targets(bar, false),
              QList<QRectF>({QRectF(12, 8, 11, 14), QRectF(201, 8, 11, 14), QRectF(23, 8, 178, 14)}));
    EXPECT_EQ(targets(bar, true), QList<QRectF>({QRectF(12, 8, 11, 14), QRectF(23, 8, 89, 14)}));
    // The full middle comes from the image's middle in proportion: 89 of 178 points of 18.
    EXPECT_EQ(bar.slices.last().source, QRectF(11, 0, 9, 14));
    EXPECT_EQ(geometry::valueMarkerX(kBounds, bar, 11), 112);

    const geometry::Bar full = barAt(1);
    EXPECT_EQ(targets(full, true),
              QList<QRectF>({QRectF(12, 8, 11, 14), QRectF(201, 8, 11, 14), QRectF(23, 8, 178, 14)}));
    // At the maximum the marker stands at the start of the right cap; at the minimum at the left end.
    EXPECT_EQ(geometry::valueMarkerX(kBounds, full, 11), 201);
    const geometry::Bar empty = barAt(0);
    EXPECT_TRUE(targets(empty, true).isEmpty());
    EXPECT_EQ(geometry::valueMarkerX(kBounds, empty, 11), 12);

    EXPECT_EQ(geometry::fraction(150, 0, 100), 1.0);
    EXPECT_EQ(geometry::fraction(-5, 0, 100), 0.0);
    EXPECT_EQ(geometry::fraction(3, 10, 0), 0.7); // a reversed range reads downwards
    EXPECT_FALSE(geometry::fraction(5, 7, 7));
    EXPECT_FALSE(geometry::fraction(qQNaN(), 0, 1));
    // Caps wider than a tiny bar leave no middle and never draw past the track.
    const geometry::Bar tiny = geometry::bar(QRectF(0, 0, 40, 50), kImage, 11, 11, 1, 0);
    for (const geometry::Slice &slice : tiny.slices)
        EXPECT_LE(slice.target.right(), tiny.track.right());
}

TEST(ProgressViewGeometry, LabelsAndMarkers)
{
    EXPECT_EQ(geometry::labelForValue(3.04, QStringLiteral("%")), QStringLiteral("3%"));
    EXPECT_EQ(geometry::labelForValue(3.95, QStringLiteral("%")), QStringLiteral("4%"));
    EXPECT_EQ(geometry::labelForValue(3.5, QStringLiteral("%")), QStringLiteral("3.5%"));
    EXPECT_EQ(geometry::labelForValue(-2.5, QStringLiteral(" h")), QStringLiteral("-2.5 h"));
    EXPECT_EQ(geometry::valueLabel(50, 200, QStringLiteral("%"), true), QStringLiteral("50% (25%)"));
    EXPECT_EQ(geometry::valueLabel(50, 200, QStringLiteral("%"), false), QStringLiteral("50%"));
    EXPECT_EQ(geometry::valueLabel(-5, 0, QStringLiteral("%"), true), QStringLiteral("-5%")); // no division by 0

    // One marker: only the end one, labelled with the maximum.
    auto markers = geometry::scaleMarkers(kBounds, 1, 0, 80);
    ASSERT_EQ(markers.size(), 1);
    EXPECT_EQ(markers[0].x, 211);
    EXPECT_EQ(markers[0].value, 80);
    markers = geometry::scaleMarkers(kBounds, 5, 0, 100);
    ASSERT_EQ(markers.size(), 5);
    EXPECT_EQ(markers[0].x, 12);
    EXPECT_EQ(markers[2].value, 50);
    EXPECT_EQ(geometry::ticks(kBounds, 1).size(), 0);
    EXPECT_EQ(geometry::ticks(kBounds, 3), QList<QRectF>({QRectF(12, 4, 200, 1), QRectF(12, 0, 1, 4),
                                                          QRectF(111, 0, 1, 4), QRectF(211, 0, 1, 4)}));

    // Labels stay inside the view: centred, pushed in at the right edge, beside the marker.
    EXPECT_EQ(geometry::labelRect(kBounds, 100, 22, QSizeF(20, 12), 0), QRectF(90, 36, 20, 12));
    EXPECT_EQ(geometry::labelRect(kBounds, 220, 22, QSizeF(20, 12), 0).right(), 224);
    EXPECT_EQ(geometry::labelRect(kBounds, 100, 22, QSizeF(20, 12), 1), QRectF(66, 24, 20, 12));
    EXPECT_EQ(geometry::labelRect(kBounds, 10, 22, QSizeF(20, 12), 1).x(), 12);
    EXPECT_EQ(geometry::labelRect(kBounds, 215, 22, QSizeF(20, 12), 2).x(), 181);
}

TEST(ProgressView, FillAtPixelsAtMinMaxBeyondBothAndEmptyRange)
{
    DMProgressView view;
    view.resize(224, 50);
    // Markers at the top: the bar lies 8 points above the bottom, 14 high.
    const int barY = 50 - 8 - 7;
    const auto render = [&](double min, double max, double value) {
        view.setMinValue(min);
        view.setMaxValue(max);
        view.setDoubleValue(value);
        return renderWidget(view, QColor(40, 40, 40));
    };
    const QImage atMin = render(0, 100, 0);
    const QImage atMax = render(0, 100, 100);
    const QImage beyondMax = render(0, 100, 250);
    const QImage belowMin = render(0, 100, -30);
    const QImage emptyRange = render(50, 50, 50);

    for (const int x : {16, 100, 208}) {
        EXPECT_FALSE(isBlue(atMin.pixel(x, barY))) << x;
        EXPECT_TRUE(isBlue(atMax.pixel(x, barY))) << x;
    }
    // Beyond either end the bar is drawn as at that end (only the value's label differs).
    const QRect barArea(0, 50 - 22, 224, 14);
    EXPECT_EQ(beyondMax.copy(barArea), atMax.copy(barArea));
    EXPECT_EQ(belowMin.copy(barArea), atMin.copy(barArea));
    // Nothing but the ground where the range is empty.
    EXPECT_EQ(count(emptyRange, emptyRange.rect(), [](QRgb c) { return c != qRgb(40, 40, 40); }), 0);
    // Ticks below the bar: white marks at the bottom edge, at the bar's ends.
    EXPECT_EQ(atMax.pixel(12, 48), qRgb(255, 255, 255));
    EXPECT_EQ(atMax.pixel(211, 48), qRgb(255, 255, 255));
    // The value marker above the bar at the start of the right cap, white.
    EXPECT_EQ(atMax.pixel(201, 50 - 22 - 8), qRgb(255, 255, 255));
}

TEST(ProgressView, MarkersBelowTurnTheLayoutOverAndOnlyTheBaseViewHasStripes)
{
    DMProgressViewThin thin;
    thin.resize(224, 40);
    thin.setDoubleValue(100);
    EXPECT_TRUE(thin.isFlipped());
    const QImage image = renderWidget(thin, QColor(40, 40, 40));
    // The thin bar is 8 high, 8 from the top; no ticks above it.
    EXPECT_TRUE(isBlue(image.pixel(100, 12)));
    EXPECT_EQ(count(image, QRect(0, 0, 224, 6), [](QRgb c) { return c != qRgb(40, 40, 40); }), 0);

    // Only the base view has stripes: the others keep their images.
    DMProgressView3 orange;
    const QImage before = orange.fullImage();
    orange.setHasStripes(true);
    EXPECT_FALSE(orange.hasStripes());
    EXPECT_EQ(orange.fullImage(), before);
}

TEST(ProgressViewiPhone, NoFillBelowATenthOfAPercentAndNeverNarrowerThanItsHeight)
{
    const QRectF bounds(0, 0, 200, 16);
    EXPECT_TRUE(DMProgressViewiPhone::fillRect(bounds, 0.0009).isEmpty());
    EXPECT_EQ(DMProgressViewiPhone::fillRect(bounds, 0.001), QRectF(1, 1, 14, 14));
    EXPECT_EQ(DMProgressViewiPhone::fillRect(bounds, 0.5), QRectF(1, 1, 99, 14));
    EXPECT_EQ(DMProgressViewiPhone::fillRect(bounds, 1), QRectF(1, 1, 198, 14));

    DMProgressViewiPhone view;
    view.resize(200, 16);
    view.setDoubleValue(0.05);
    const QImage none = renderWidget(view);
    view.setDoubleValue(60);
    const QImage some = renderWidget(view);
    EXPECT_FALSE(isBlue(none.pixel(6, 8)));
    EXPECT_TRUE(isBlue(some.pixel(6, 8)));
    EXPECT_TRUE(isBlue(some.pixel(110, 8)));
    EXPECT_FALSE(isBlue(some.pixel(130, 8)));
}

TEST(ProgressBarView, ZeroStillShowsAStubAndOverOneStopsAtTheEnd)
{
    DMProgressBarView bar;
    bar.resize(120, 20);
    // Border 2 and padding 2 leave a 112 x 12 inside; its radius is 6.
    EXPECT_EQ(bar.layout(QRectF(bar.rect())).fill.rect, QRectF(4, 4, 12, 12));
    const QImage zero = renderWidget(bar);
    const QRgb green = bar.barFillColor().rgb();
    EXPECT_EQ(zero.pixel(10, 10), green);
    EXPECT_NE(zero.pixel(30, 10), green);

    bar.setDoubleValue(7);
    EXPECT_EQ(bar.doubleValue(), 1);
    EXPECT_EQ(bar.layout(QRectF(bar.rect())).fill.rect, QRectF(4, 4, 112, 12));
    // An inner border wraps the fill and the fill keeps inside it.
    bar.setDoubleValue(0.5);
    bar.setBarInnerBorderColor(Qt::black);
    bar.setBarInnerBorderWidth(2);
    const auto layout = bar.layout(QRectF(bar.rect()));
    EXPECT_EQ(layout.innerBorder.rect, QRectF(5, 5, 55, 10));
    EXPECT_EQ(layout.fill.rect, QRectF(6, 6, 53, 8));
}
