// The attached window on screen: its place in Qt's coordinates, its setters' limits, its drawn
// box, and its ties to the window it points into.
#include "DMAttachedWindow.h"
#include "DMChildWindow.h"
#include "DMDesktopCompositing.h"
#include "DMNotificationCenter.h"

#include "TestSupport.h"

#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct AttachedToParent
{
    std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
    QWidget *view = new QWidget;
    QPointer<DMAttachedWindow> window;

    explicit AttachedToParent(int side = kDMAttachedWindowSide_Below)
    {
        parent->setGeometry(100, 100, 400, 300);
        parent->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
        view->resize(100, 50);
        window = new DMAttachedWindow(view, QPointF(200, 150), parent.get(), side);
    }
    ~AttachedToParent() { delete window; }
};

QColor pixel(const DMAttachedWindow &window, int x, int y)
{
    return window.backgroundImage().pixelColor(x, y);
}

// The view's place in the box's frame (the window also holds the shadow around the frame).
QRect viewInFrame(const AttachedToParent &attached)
{
    const QMargins margins = DMAttachedWindow::shadowMargins();
    return attached.view->geometry().translated(-margins.left(), -margins.top());
}

} // namespace

TEST(DMAttachedWindow, PlacedBelowThePointInScreenCoordinates)
{
    AttachedToParent attached;
    const QPoint point = attached.parent->mapToGlobal(QPoint(200, 150));
    // Below the point: the arrow on top, its tip on the point, the view under the arrow.
    EXPECT_EQ(attached.window->frame(), QRect(point.x() - 52, point.y(), 104, 74));
    EXPECT_EQ(viewInFrame(attached), QRect(2, 22, 100, 50));
    EXPECT_EQ(attached.window->viewFrame(), QRectF(2, 2, 100, 50));

    attached.window->setPointSide(QPointF(200, 150), kDMAttachedWindowSide_Above);
    EXPECT_EQ(attached.window->frame(), QRect(point.x() - 52, point.y() - 74, 104, 74));
    EXPECT_EQ(viewInFrame(attached), QRect(2, 2, 100, 50));

    // A view that changed size is taken at the next aim.
    attached.view->resize(60, 30);
    attached.window->setPointSide(QPointF(200, 150), kDMAttachedWindowSide_Right);
    EXPECT_EQ(attached.window->frame(), QRect(point.x(), point.y() - 17, 84, 34));
    EXPECT_EQ(viewInFrame(attached), QRect(22, 2, 60, 30));

    EXPECT_EQ(DMAttachedWindow::attachedWindowWithView(nullptr, QPointF(1, 1)), nullptr);
}

TEST(DMAttachedWindow, SettersKeepTheShapePossible)
{
    AttachedToParent attached;
    DMAttachedWindow &window = *attached.window;
    window.setBorderWidth(5);
    EXPECT_EQ(window.borderWidth(), 2.0f); // never more than the margin
    window.setArrowBaseWidth(100);
    EXPECT_EQ(window.arrowBaseWidth(), 34.0f); // 2 * 2 + 50 - 10 - 10
    window.setArrowBaseWidth(20);
    window.setCornerRadius(40);
    EXPECT_EQ(window.cornerRadius(), 17.0f); // (2 * 2 + 50 - 20) / 2
    window.setViewMargin(-3);
    EXPECT_EQ(window.viewMargin(), 0.0f);
    EXPECT_EQ(window.cornerRadius(), 15.0f); // cut again for the new margin
    EXPECT_EQ(window.frame().size(), QSize(100, 70));

    // Setting what is already set draws nothing again; a new value does.
    const qint64 drawn = window.backgroundImage().cacheKey();
    window.setViewMargin(0);
    window.setArrowHeight(20);
    window.setHasArrow(true);
    window.setDrawsRoundCornerBesideArrow(true);
    window.setBorderColor(Qt::white);
    window.setBackgroundColor(QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.75f));
    EXPECT_EQ(window.backgroundImage().cacheKey(), drawn);
    window.setBorderColor(Qt::red);
    EXPECT_NE(window.backgroundImage().cacheKey(), drawn);
}

TEST(DMAttachedWindow, DrawsBoxBorderAndArrow)
{
    AttachedToParent attached;
    DMAttachedWindow &window = *attached.window;
    window.setBackgroundColor(Qt::blue);
    window.setBorderColor(Qt::red);
    // Below the point: box from y 20 to 74 (Qt's y down), arrow tip at the top centre.
    EXPECT_EQ(pixel(window, 52, 45), QColor(Qt::blue));
    EXPECT_EQ(pixel(window, 2, 45), QColor(Qt::red));
    EXPECT_EQ(pixel(window, 1, 21).alpha(), 0); // outside the rounded corner
    EXPECT_EQ(pixel(window, 52, 12), QColor(Qt::blue)); // inside the arrow
    EXPECT_EQ(pixel(window, 30, 12).alpha(), 0); // beside it

    // Without the arrow the window keeps its size and place, and draws a plain box.
    const QRect frame = window.frame();
    window.setHasArrow(false);
    EXPECT_EQ(window.frame(), frame);
    EXPECT_EQ(pixel(window, 52, 12).alpha(), 0);
    EXPECT_EQ(pixel(window, 52, 45), QColor(Qt::blue));

    window.setBackgroundImage(QImage());
    EXPECT_EQ(window.windowBackgroundColor(), QBrush(Qt::blue));
    // A pattern image fills the box upright: red above, blue below.
    QImage pattern(104, 100, QImage::Format_ARGB32_Premultiplied);
    pattern.fill(Qt::blue);
    QPainter(&pattern).fillRect(0, 0, 104, 50, Qt::red);
    window.setBackgroundImage(pattern);
    EXPECT_EQ(pixel(window, 52, 30), QColor(Qt::red));
    EXPECT_EQ(pixel(window, 52, 60), QColor(Qt::blue));
}

TEST(DMAttachedWindow, OrderOutAnnouncesAndCloseCommandClosesTheParent)
{
    AttachedToParent attached;
    DMWindow_addChildWindow(attached.parent.get(), attached.window);
    ASSERT_TRUE(attached.window->isVisible());
    int announced = 0;
    const DMNotificationObserver observer = DMNotificationCenter::defaultCenter().addObserver(
        DMAttachedWindow::kWillOrderOutNotification, attached.window.data(), [&](const DMNotification &) {
            EXPECT_TRUE(attached.window->isVisible()); // told before it hides
            ++announced;
        });

    // A child window counts as active with its parent: the window itself is asked to be key.
    attached.window->windowHandle()->requestActivate();
    ASSERT_TRUE(halcyra::test::waitFor([&] { return QGuiApplication::focusWindow() == attached.window->windowHandle(); }));
    QTest::keySequence(attached.window, QKeySequence::Close);
    EXPECT_FALSE(attached.parent->isVisible());
    EXPECT_FALSE(attached.window->isVisible()); // gone with its parent
    EXPECT_EQ(announced, 0);

    attached.window->show();
    attached.window->orderOut();
    EXPECT_EQ(announced, 1);
    EXPECT_FALSE(attached.window->isVisible());
}

TEST(DMAttachedWindow, DrawsItsOwnShadowAndWhereNothingIsTranslucentIsCutToItsShape)
{
    const QMargins margins = DMAttachedWindow::shadowMargins();
    // In the window's picture: the middle of the box, and just below the box's bottom edge.
    const QPoint box(margins.left() + 52, margins.top() + 45);
    const QPoint below(margins.left() + 52, margins.top() + 74);

    // Translucent windows drawn: a soft shadow under the box, beyond its frame.
    DMDesktop_setDrawsTranslucentWindowsForTesting(true);
    {
        AttachedToParent attached;
        DMAttachedWindow &window = *attached.window;
        window.setBackgroundColor(Qt::white);
        EXPECT_EQ(window.geometry(), window.frame().marginsAdded(margins));
        EXPECT_TRUE(window.mask().isEmpty());
        const QImage shown = window.windowImage();
        EXPECT_EQ(shown.pixelColor(box), QColor(Qt::white));
        const QColor shadow = shown.pixelColor(below);
        EXPECT_GT(shadow.alpha(), 30);
        EXPECT_LT(shadow.alpha(), 200);
        EXPECT_LT(shadow.lightness(), 30);
        EXPECT_LT(shown.pixelColor(margins.left() + 52, 0).alpha(), shadow.alpha() / 4); // above the arrow
    }

    // None drawn (no compositing manager): the window is cut to the box and a plain shadow
    // beside it, and every pixel left is opaque, so that no corner shows black.
    DMDesktop_setDrawsTranslucentWindowsForTesting(false);
    {
        AttachedToParent attached;
        DMAttachedWindow &window = *attached.window;
        const QRegion shape = window.mask();
        ASSERT_FALSE(shape.isEmpty());
        EXPECT_TRUE(shape.contains(box));
        EXPECT_TRUE(shape.contains(below));
        EXPECT_FALSE(shape.contains(QPoint(margins.left() + 1, margins.top() + 21))); // outside the rounded corner
        EXPECT_FALSE(shape.contains(QPoint(margins.left() + 30, margins.top() + 12))); // beside the arrow
        const QImage shown = window.windowImage();
        for (const QRect &rect : shape)
            for (const QPoint &corner : {rect.topLeft(), rect.bottomRight()})
                EXPECT_EQ(shown.pixelColor(corner).alpha(), 255) << corner.x() << "," << corner.y();
        EXPECT_LT(shown.pixelColor(below).lightness(), shown.pixelColor(box).lightness());
    }
    DMDesktop_setDrawsTranslucentWindowsForTesting(std::nullopt);
}
