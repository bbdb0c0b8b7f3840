// The info bubble: its fade, its place above the control, and replacement by a new message.
#include "DMChildWindow.h"
#include "DMPopoverInfoPanel.h"

#include "TestSupport.h"

#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct WindowWithButton
{
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QPushButton *button = new QPushButton(QStringLiteral("Add"), window.get());

    WindowWithButton()
    {
        window->setGeometry(100, 100, 400, 300);
        button->setGeometry(150, 120, 80, 30);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

} // namespace

TEST(DMPopoverInfoPanel, FadesInHoldsAndFadesOutAndTheContentFitsTheText)
{
    const std::pair<double, double> samples[] = {{-1, 0},   {0, 0},   {0.05, 0.1}, {0.25, 0.5}, {0.5, 1},
                                                 {2.0, 1},  {4.5, 1}, {4.75, 0.5}, {4.95, 0.1}, {5.0, 0},
                                                 {7.0, 0}};
    for (const auto &[seconds, alpha] : samples)
        EXPECT_NEAR(DMPopoverInfoPanel::alphaForTime(seconds), alpha, 1e-9) << seconds << " s";

    // The content fits the text.
    DMPopoverInfoPanel *panel = DMPopoverInfoPanel::sharedInstance();
    panel->setText(QStringLiteral("Select a resource first"));
    const QSize size = panel->contentView()->size();
    panel->setText(QStringLiteral("Select a resource first")); // the same measure: nothing moves
    EXPECT_EQ(panel->contentView()->size(), size);
    panel->setText(QStringLiteral("Select a resource first, then choose Add Resource again"));
    EXPECT_GT(panel->contentView()->width(), size.width());
    EXPECT_EQ(panel->contentView()->height(), size.height());
}

// Runs for the bubble's whole life of 5 seconds.
TEST(DMPopoverInfoPanel, ANewMessageReplacesTheBubbleWhichIsGoneAfterItsTime)
{
    DMPopoverInfoPanel *panel = DMPopoverInfoPanel::sharedInstance();
    WindowWithButton document;
    panel->showInViewIconText(document.button, QImage(), QStringLiteral("Select a resource first"));
    QPointer<PopoverWindow> first = panel->containerWindow();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->side(), kDMAttachedWindowSide_Above);
    // The arrow points at the middle of the button's top edge.
    const QPoint tip = document.button->mapToGlobal(QPoint(40, 0));
    EXPECT_EQ(first->frame().bottom() + 1, tip.y());
    EXPECT_NEAR(first->frame().center().x(), tip.x(), 1);
    EXPECT_LT(first->windowOpacity(), 0.2);
    // It never asks to be the key window. (The offscreen platform activates whatever it shows,
    // so the focus itself is checked on a real display only.)
    EXPECT_TRUE(first->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(first->windowHandle()->flags() & Qt::WindowDoesNotAcceptFocus);

    EXPECT_TRUE(halcyra::test::waitFor([&] { return first && first->windowOpacity() > 0.4; }));
    panel->showInViewIconText(document.button, QImage(), QStringLiteral("Select a task first"));
    EXPECT_TRUE(first.isNull());
    QPointer<PopoverWindow> second = panel->containerWindow();
    EXPECT_LT(second->windowOpacity(), 0.2); // the fade starts again
    EXPECT_TRUE(panel->isFading());
    EXPECT_EQ(panel->text(), QStringLiteral("Select a task first"));

    ASSERT_TRUE(halcyra::test::waitFor([&] { return !panel->isFading(); }, 6000));
    EXPECT_FALSE(second->isVisible());
    EXPECT_EQ(second->windowOpacity(), 0.0);
    EXPECT_EQ(DMWindow_parentWindow(second), nullptr);

    // A view without a shown window gets no bubble.
    QWidget hidden;
    QPushButton button(&hidden);
    panel->showInViewIconText(&button, QImage(), QStringLiteral("Nothing to show"));
    EXPECT_EQ(panel->text(), QStringLiteral("Nothing to show"));
    EXPECT_FALSE(panel->containerWindow() && panel->containerWindow()->isVisible());
}
