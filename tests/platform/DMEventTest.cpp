#include "DMEvent.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Turns every mouse and key event it receives into a DMEvent.
class Recorder : public QWidget
{
public:
    using QWidget::QWidget;
    std::vector<DMEvent> events;

protected:
    bool event(QEvent *event) override
    {
        if (auto *mouse = dynamic_cast<QMouseEvent *>(event))
            events.push_back(DMEvent::fromMouseEvent(*mouse, this));
        else if (auto *key = dynamic_cast<QKeyEvent *>(event); key && event->type() != QEvent::ShortcutOverride)
            events.push_back(DMEvent::fromKeyEvent(*key));
        else
            return QWidget::event(event);
        return true;
    }
};

struct Window
{
    Window()
    {
        top.resize(300, 200);
        child.setGeometry(40, 30, 200, 100);
    }
    QWidget top;
    Recorder child{&top};
};

TEST(DMEvent, PressItsDragsAndReleaseShareOneEventNumberAndDeltasFollowThePointer)
{
    Window window;
    QTest::mousePress(&window.child, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(&window.child, QPoint(15, 12));
    QTest::mouseMove(&window.child, QPoint(12, 20));
    QTest::mouseRelease(&window.child, Qt::LeftButton, Qt::NoModifier, QPoint(12, 21));
    QTest::mousePress(&window.child, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseRelease(&window.child, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));

    const auto &e = window.child.events;
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0].type(), DMEvent::LeftMouseDown);
    EXPECT_EQ(e[1].type(), DMEvent::LeftMouseDragged);
    EXPECT_EQ(e[3].type(), DMEvent::LeftMouseUp);
    EXPECT_EQ(e[4].type(), DMEvent::RightMouseDown);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(e[i].eventNumber(), e[0].eventNumber());
    EXPECT_NE(e[4].eventNumber(), e[0].eventNumber());
    EXPECT_EQ(e[5].eventNumber(), e[4].eventNumber());

    EXPECT_EQ(e[0].locationInWindow(), QPointF(50, 40)); // the child's origin is (40, 30)
    EXPECT_EQ(e[0].deltaX(), 0.0);
    EXPECT_EQ(QPointF(e[1].deltaX(), e[1].deltaY()), QPointF(5, 2));
    EXPECT_EQ(QPointF(e[2].deltaX(), e[2].deltaY()), QPointF(-3, 8));
    EXPECT_EQ(QPointF(e[3].deltaX(), e[3].deltaY()), QPointF(0, 1));
}

TEST(DMEvent, ClickCountOfADoubleClickIsCarriedToItsRelease)
{
    Window window;
    QTest::mouseClick(&window.child, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseDClick(&window.child, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&window.child, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseClick(&window.child, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));

    const auto &e = window.child.events;
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0].clickCount(), 1);
    EXPECT_EQ(e[1].clickCount(), 1);
    EXPECT_EQ(e[2].type(), DMEvent::LeftMouseDown);
    EXPECT_EQ(e[2].clickCount(), 2);
    EXPECT_NE(e[2].eventNumber(), e[0].eventNumber());
    EXPECT_EQ(e[3].clickCount(), 2);
    EXPECT_EQ(e[5].clickCount(), 1);
}

TEST(DMEvent, ModifiersOptionIsAltCommandIsControl)
{
    EXPECT_EQ(DMEvent::modifiersFromQt(Qt::AltModifier), DMEvent::Option);
    EXPECT_EQ(DMEvent::modifiersFromQt(Qt::ControlModifier), DMEvent::Command);
    EXPECT_EQ(DMEvent::modifiersFromQt(Qt::ShiftModifier | Qt::MetaModifier), DMEvent::Shift);
}

TEST(DMEvent, KeyEventsCarryKeyTextAndRepeat)
{
    Window window;
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&window.child, &repeat);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
    QApplication::sendEvent(&window.child, &release);
    const auto &e = window.child.events;
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].type(), DMEvent::KeyDown);
    EXPECT_EQ(e[0].key(), Qt::Key_Right);
    EXPECT_TRUE(e[0].isARepeat());
    EXPECT_EQ(e[1].type(), DMEvent::KeyUp);
    EXPECT_FALSE(e[1].isARepeat());
    EXPECT_TRUE(e[1].hasModifier(DMEvent::Command));
    EXPECT_EQ(e[1].characters(), QStringLiteral("a"));
}

} // namespace
