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

// A press starts an event number that its drags and release keep; a double click's click count
// is carried to its release.
TEST(DMEvent, MouseEventsNumberedByPressWithDeltasAndClickCounts)
{
    Window window;
    QWidget *child = &window.child;
    QTest::mousePress(child, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(child, QPoint(15, 12));
    QTest::mouseMove(child, QPoint(12, 20));
    QTest::mouseRelease(child, Qt::LeftButton, Qt::NoModifier, QPoint(12, 21));
    QTest::mouseClick(child, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseClick(child, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseDClick(child, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(child, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseClick(child, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));

    const auto &e = window.child.events;
    ASSERT_EQ(e.size(), 12u);
    std::vector<int> types, numbers, clicks;
    for (const DMEvent &event : e) {
        types.push_back(event.type());
        numbers.push_back(int(event.eventNumber() - e[0].eventNumber()));
        clicks.push_back(event.clickCount());
    }
    using T = DMEvent;
    EXPECT_EQ(types, (std::vector<int>{T::LeftMouseDown, T::LeftMouseDragged, T::LeftMouseDragged, T::LeftMouseUp,
                                       T::RightMouseDown, T::RightMouseUp, T::LeftMouseDown, T::LeftMouseUp,
                                       T::LeftMouseDown, T::LeftMouseUp, T::LeftMouseDown, T::LeftMouseUp}));
    EXPECT_EQ(numbers, (std::vector<int>{0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(clicks, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 1, 1}));

    EXPECT_EQ(e[0].locationInWindow(), QPointF(50, 40)); // the child's origin is (40, 30)
    EXPECT_EQ(e[0].deltaX(), 0.0);
    EXPECT_EQ(QPointF(e[1].deltaX(), e[1].deltaY()), QPointF(5, 2));
    EXPECT_EQ(QPointF(e[2].deltaX(), e[2].deltaY()), QPointF(-3, 8));
    EXPECT_EQ(QPointF(e[3].deltaX(), e[3].deltaY()), QPointF(0, 1));
}

TEST(DMEvent, KeyEventsCarryKeyTextRepeatAndModifiersWithOptionAsAltAndCommandAsControl)
{
    Window window;
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier | Qt::MetaModifier, QString(), true);
    QApplication::sendEvent(&window.child, &repeat);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("a"));
    QApplication::sendEvent(&window.child, &release);
    const auto &e = window.child.events;
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(std::tuple(e[0].type(), e[0].key(), e[0].isARepeat()), std::tuple(DMEvent::KeyDown, Qt::Key_Right, true));
    EXPECT_EQ(e[0].modifierFlags(), DMEvent::Shift);
    EXPECT_EQ(std::tuple(e[1].type(), e[1].isARepeat(), e[1].characters()), std::tuple(DMEvent::KeyUp, false, QStringLiteral("a")));
    EXPECT_EQ(e[1].modifierFlags(), DMEvent::Modifiers(DMEvent::Command | DMEvent::Option));
}

} // namespace
