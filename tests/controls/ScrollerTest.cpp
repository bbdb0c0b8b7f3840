// The image-drawn scroller: its track shows while the value changes and fades away afterwards,
// in exact tenths, and nothing is left scheduled once it is gone; its pieces; the background boxes.
#include "ControlsTestSupport.h"

#include "DMIdleTimeout.h"
#include "DMImageBackgroundBox.h"
#include "DMScroller.h"
#include "TestSupport.h"

#include <QLabel>
#include <QStyleOptionSlider>

using namespace controlstest;

namespace {

// A vertical scroller 16 x 240 whose knob sits near the top, and a point of its track below it.
struct VerticalScroller
{
    VerticalScroller()
    {
        scroller.setRange(0, 1000);
        scroller.setPageStep(100);
        scroller.resize(16, 240);
    }
    QPoint trackPoint()
    {
        QStyleOptionSlider option;
        option.initFrom(&scroller);
        option.orientation = Qt::Vertical;
        option.minimum = scroller.minimum();
        option.maximum = scroller.maximum();
        option.sliderPosition = scroller.value();
        option.sliderValue = scroller.value();
        option.pageStep = scroller.pageStep();
        option.subControls = QStyle::SC_All;
        const QRect groove = scroller.style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove,
                                                              &scroller);
        return {groove.center().x(), groove.bottom() - 12};
    }

    DMScroller scroller{Qt::Vertical};
};

} // namespace

TEST(Scroller, ValueChangesRaiseTheTrackAndItFadesAway)
{
    VerticalScroller v;
    const QPoint track = v.trackPoint();
    const QImage hidden = renderWidget(v.scroller);
    EXPECT_EQ(v.scroller.knobSlotAlpha(), 0);

    for (int value = 1; value <= 5; ++value)
        v.scroller.setValue(value);
    EXPECT_EQ(v.scroller.knobSlotAlpha(), 0.5);
    const QImage half = renderWidget(v.scroller);
    for (int value = 6; value <= 14; ++value)
        v.scroller.setValue(value);
    EXPECT_EQ(v.scroller.knobSlotAlpha(), 1);
    const QImage opaque = renderWidget(v.scroller);
    EXPECT_LT(grey(half, track.x(), track.y()), grey(hidden, track.x(), track.y()));
    EXPECT_LT(grey(opaque, track.x(), track.y()), grey(half, track.x(), track.y()));

    // After scrolling stops, the track fades out to what it was.
    ASSERT_TRUE(halcyra::test::waitFor([&] { return v.scroller.knobSlotAlpha() == 0; }, 3000));
    EXPECT_FALSE(hasPendingIdleInvocation(&v.scroller, "_decreaseKnobSlotAlpha"));
    EXPECT_EQ(renderWidget(v.scroller).pixel(track), hidden.pixel(track));
}

TEST(Scroller, OpacityStaysInWholeTenths)
{
    DMScroller scroller(Qt::Horizontal);
    scroller.setRange(0, 1000);
    for (int value = 1; value <= 37; ++value)
        scroller.setValue(value);
    EXPECT_EQ(scroller.knobSlotAlpha(), 1.0);
    for (int step = 0; step < 3; ++step)
        scroller.decreaseKnobSlotAlpha();
    EXPECT_EQ(scroller.knobSlotAlpha(), 0.7);
    for (int step = 0; step < 25; ++step)
        scroller.decreaseKnobSlotAlpha();
    EXPECT_EQ(scroller.knobSlotAlpha(), 0.0);
    destroyPendingIdleInvocations(&scroller);
}

TEST(Scroller, PendingFadeStepsGoWithTheScroller)
{
    halcyra::test::ManualClock clock;
    auto *scroller = new DMScroller(Qt::Vertical);
    scroller->setRange(0, 10);
    scroller->setValue(3);
    const void *address = scroller;
    ASSERT_TRUE(hasPendingIdleInvocation(address, "_decreaseKnobSlotAlpha"));
    delete scroller;
    EXPECT_FALSE(hasPendingIdleInvocation(address, "_decreaseKnobSlotAlpha"));
    clock.advance(120); // a step left behind would touch the deleted scroller here
}

TEST(Scroller, PiecesOfTrackAndKnobAndTheScrollViewsScrollers)
{
    using Part = DMScroller::Part;
    // A horizontal knob at least as wide as its ends: ends at their natural width, middle between.
    auto pieces = DMScroller::threePartLayout(QRectF(10, 0, 40, 11), true, 6, 6, true);
    ASSERT_EQ(pieces.size(), 3);
    EXPECT_EQ(pieces[0].rect, QRectF(10, 0, 6, 11));
    EXPECT_EQ(pieces[1].rect, QRectF(16, 0, 28, 11));
    EXPECT_EQ(pieces[2].rect, QRectF(44, 0, 6, 11));
    // A narrower one is the middle image alone.
    pieces = DMScroller::threePartLayout(QRectF(10, 0, 11, 11), true, 6, 6, true);
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(pieces[0].part, Part::Middle);
    EXPECT_EQ(pieces[0].rect, QRectF(10, 0, 11, 11));
    // Vertical pieces span the width; ends that do not fit share the length.
    pieces = DMScroller::threePartLayout(QRectF(0, 20, 15, 8), false, 6, 6, false);
    ASSERT_EQ(pieces.size(), 3);
    EXPECT_EQ(pieces[0].rect, QRectF(0, 20, 15, 4));
    EXPECT_EQ(pieces[1].rect.height(), 0);
    EXPECT_EQ(pieces[2].rect, QRectF(0, 24, 15, 4));

    // A scroll view scrolls with image-drawn scrollers.
    DMScrollView view;
    EXPECT_NE(qobject_cast<DMScroller *>(view.verticalScrollBar()), nullptr);
    EXPECT_NE(qobject_cast<DMScroller *>(view.horizontalScrollBar()), nullptr);
}

TEST(ImageBackgroundBox, StaysOpaqueWithItsImage)
{
    DMBlackShineBox box;
    box.setTitle(QStringLiteral("Shine"));
    box.resize(120, 60);
    box.setTransparent(true);
    EXPECT_FALSE(box.isTransparent());
    const QImage image = renderWidget(box, Qt::red);
    EXPECT_EQ(count(image, image.rect(), [](QRgb c) { return c == qRgb(255, 0, 0); }), 0);
    EXPECT_LT(grey(image, 60, 50), 40); // the black shine's dark lower half

    DMStandardGradientBox light;
    light.resize(120, 60);
    const QImage lightImage = renderWidget(light, Qt::red);
    EXPECT_GT(grey(lightImage, 60, 30), 200);
}
