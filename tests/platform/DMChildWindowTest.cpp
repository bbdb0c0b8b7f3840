// Child windows: kept above their parent, moved and hidden with it, never owned by it.
#include "DMChildWindow.h"

#include "TestSupport.h"

#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

struct Windows
{
    QWidget *parent = new QWidget;
    QPointer<QWidget> child = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint);

    Windows()
    {
        parent->setGeometry(100, 100, 300, 200);
        child->setGeometry(150, 320, 60, 40);
        parent->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(parent));
        DMWindow_addChildWindow(parent, child);
    }
    ~Windows()
    {
        delete parent;
        delete child;
    }
};

} // namespace

TEST(DMChildWindow, ShownAboveItsParentAndMovedWithIt)
{
    Windows windows;
    EXPECT_TRUE(windows.child->isVisible());
    EXPECT_EQ(DMWindow_parentWindow(windows.child), windows.parent);
    EXPECT_EQ(windows.child->windowHandle()->transientParent(), windows.parent->windowHandle());

    windows.parent->move(windows.parent->pos() + QPoint(30, -20));
    EXPECT_TRUE(halcyra::test::waitFor([&] { return windows.child->pos() == QPoint(180, 300); }))
        << windows.child->pos().x() << "," << windows.child->pos().y();

    // Detached, it stays where it is and no longer follows.
    DMWindow_removeChildWindow(windows.child);
    EXPECT_EQ(DMWindow_parentWindow(windows.child), nullptr);
    windows.parent->move(windows.parent->pos() + QPoint(50, 50));
    halcyra::test::runUntilIdle();
    EXPECT_EQ(windows.child->pos(), QPoint(180, 300));
    EXPECT_TRUE(windows.child->isVisible());
}

TEST(DMChildWindow, GoesWithItsParentButOutlivesIt)
{
    Windows windows;
    windows.parent->close();
    EXPECT_FALSE(windows.child->isVisible());

    // Attached again to a parent that is then destroyed: the child is hidden, not deleted.
    windows.parent->show();
    DMWindow_addChildWindow(windows.parent, windows.child);
    EXPECT_TRUE(windows.child->isVisible());
    delete windows.parent;
    windows.parent = nullptr;
    ASSERT_TRUE(windows.child);
    EXPECT_FALSE(windows.child->isVisible());
    EXPECT_EQ(DMWindow_parentWindow(windows.child), nullptr);
}

TEST(DMChildWindow, KeepsThePlaceItsOwnerGaveItWhateverTheWindowSystemReports)
{
    // A reparenting window manager reports a child shown again at its frame's origin: the child
    // is given its place again, so that its points map to where it is on the screen.
    Windows windows;
    windows.child->hide();
    windows.child->move(170, 330);
    DMWindow_addChildWindow(windows.parent, windows.child);
    windows.child->windowHandle()->setPosition(0, 0);
    EXPECT_TRUE(halcyra::test::waitFor([&] { return windows.child->windowHandle()->position() == QPoint(170, 330); }));
    EXPECT_EQ(windows.child->pos(), QPoint(170, 330));
    EXPECT_EQ(windows.child->mapToGlobal(QPoint(5, 5)), QPoint(175, 335));

    // A window system that insists has the last word.
    for (int i = 0; i < 3; ++i) {
        windows.child->windowHandle()->setPosition(0, 0);
        halcyra::test::runUntilIdle();
    }
    EXPECT_EQ(windows.child->windowHandle()->position(), QPoint(0, 0));
}
