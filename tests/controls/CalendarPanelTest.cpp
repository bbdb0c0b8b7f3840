// The shared calendar panel opened from a date-time edit: its width for the edit's elements,
// picks written back into the edit, and when its popover closes.
#include "DMCalendarPanel.h"
#include "DMChildWindow.h"
#include "DMWindowFrameAnimation.h"

#include "TestSupport.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A document window holding one date-time edit.
struct DocumentWithDateField
{
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QDateTimeEdit *field = new QDateTimeEdit(QDateTime(QDate(2024, 3, 14), QTime(9, 30)));

    explicit DocumentWithDateField(const QString &format = QStringLiteral("yyyy-MM-dd HH:mm"), QPoint at = {100, 100})
    {
        field->setDisplayFormat(format);
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(field);
        window->setGeometry(QRect(at, QSize(300, 200)));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

// Runs the deferred deletions, which an event loop run by hand does not.
bool isDeleted(const QPointer<DMCalendarPanelPopover> &popover)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return popover.isNull();
}

bool becomesFocusWindow(QWidget *widget)
{
    widget->windowHandle()->requestActivate();
    return halcyra::test::waitFor([&] { return QGuiApplication::focusWindow() == widget->windowHandle(); });
}

} // namespace

TEST(DMCalendarPanel, WidthFollowsTheElementsOfTheField)
{
    DMCalendarPanel *panel = DMCalendarPanel::sharedInstance();
    DocumentWithDateField dateOnly(QStringLiteral("yyyy-MM-dd"));
    DMCalendarPanel::showCalendarPanel(dateOnly.field);
    const QRect calendar = panel->datePicker()->geometry();
    EXPECT_EQ(panel->containerView()->width(), calendar.x() + calendar.width());

    DocumentWithDateField withTime;
    DMCalendarPanel::showCalendarPanel(withTime.field);
    const QRect time = panel->timePicker()->geometry();
    EXPECT_EQ(panel->containerView()->width(), time.x() + time.width());
    EXPECT_GT(time.x(), calendar.x() + calendar.width());
}

TEST(DMCalendarPanel, PicksAreWrittenIntoTheFieldOnce)
{
    DMCalendarPanel *panel = DMCalendarPanel::sharedInstance();
    DocumentWithDateField document;
    QSignalSpy actions(document.field, &QDateTimeEdit::dateTimeChanged);
    DMCalendarPanel::showCalendarPanel(document.field);
    DMCalendarPanelPopover *popover = panel->popoverWindow();
    ASSERT_TRUE(popover);
    EXPECT_TRUE(popover->isVisible());
    EXPECT_EQ(DMWindow_parentWindow(popover), document.window.get());
    EXPECT_EQ(panel->containerView()->parentWidget(), popover);
    EXPECT_EQ(panel->timeLabelPicker()->dateTime(), QDateTime(QDate(2024, 3, 14), QTime(9, 30)));

    // A day picked keeps the time; a time picked keeps the day. All three pickers follow.
    panel->datePicker()->setSelectedDate(QDate(2024, 3, 20));
    EXPECT_EQ(document.field->dateTime(), QDateTime(QDate(2024, 3, 20), QTime(9, 30)));
    EXPECT_EQ(actions.count(), 1);
    panel->timePicker()->setTime(QTime(14, 15));
    EXPECT_EQ(document.field->dateTime(), QDateTime(QDate(2024, 3, 20), QTime(14, 15)));
    EXPECT_EQ(actions.count(), 2);
    EXPECT_EQ(panel->timeLabelPicker()->time(), QTime(14, 15));
    EXPECT_EQ(panel->datePicker()->selectedDate(), QDate(2024, 3, 20));

    // A field that has gone is told nothing.
    document.window.reset();
    EXPECT_EQ(panel->delegate(), nullptr);
    panel->datePicker()->setSelectedDate(QDate(2024, 3, 21));
}

TEST(DMCalendarPanel, APopoverClosesForAnotherWindowOrANewPopoverAndNoneOutlivesItsDocument)
{
    DMCalendarPanel *panel = DMCalendarPanel::sharedInstance();
    DocumentWithDateField document;
    DMCalendarPanel::showCalendarPanel(document.field);
    QPointer<DMCalendarPanelPopover> popover = panel->popoverWindow();
    ASSERT_TRUE(becomesFocusWindow(popover));
    EXPECT_TRUE(popover->isVisible());

    ASSERT_TRUE(becomesFocusWindow(document.window.get()));
    EXPECT_FALSE(popover->isVisible());
    EXPECT_EQ(DMWindow_parentWindow(popover), nullptr);

    // A new popover replaces the shown one.
    DocumentWithDateField first;
    DMCalendarPanel::showCalendarPanel(first.field);
    QPointer<DMCalendarPanelPopover> firstPopover = panel->popoverWindow();

    DocumentWithDateField second(QStringLiteral("yyyy-MM-dd HH:mm"), QPoint(500, 100));
    DMCalendarPanel::showCalendarPanel(second.field);
    EXPECT_TRUE(isDeleted(firstPopover));
    QPointer<DMCalendarPanelPopover> secondPopover = panel->popoverWindow();
    EXPECT_TRUE(secondPopover->isVisible());
    EXPECT_EQ(panel->containerView()->parentWidget(), secondPopover);

    // The document goes while its popover shows: the popover hides with it, and the panel keeps
    // its pickers for the next field.
    second.window.reset();
    ASSERT_TRUE(secondPopover);
    EXPECT_FALSE(secondPopover->isVisible());
    EXPECT_EQ(DMWindow_parentWindow(secondPopover), nullptr);
    DocumentWithDateField third;
    DMCalendarPanel::showCalendarPanel(third.field);
    EXPECT_TRUE(isDeleted(secondPopover));
    EXPECT_TRUE(panel->popoverWindow()->isVisible());
    EXPECT_EQ(panel->datePicker()->parentWidget(), panel->containerView());
}

TEST(DMCalendarPanel, PanelHangsBelowAViewAndItsAnimationToggles)
{
    DMCalendarPanel *panel = DMCalendarPanel::sharedInstance();
    DocumentWithDateField document;
    panel->showPanelForViewWithDateAndDelegate(document.field, QDateTime(QDate(2025, 1, 2), QTime(8, 0)), nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->pos(), document.field->mapToGlobal(QPoint(0, document.field->height())));
    EXPECT_EQ(panel->containerView()->parentWidget(), panel);
    EXPECT_EQ(panel->datePicker()->selectedDate(), QDate(2025, 1, 2));

    int warps = 0;
    DMWindowWarp::setHook([&](QWidget *, int, int, const DMWindowMesh *) { ++warps; });
    panel->toggleMeshAnimation(document.field);
    EXPECT_TRUE(panel->meshAnimation()->isRunning());
    EXPECT_EQ(panel->meshAnimation()->duration(), 5.0);
    panel->toggleMeshAnimation(document.field);
    EXPECT_FALSE(panel->meshAnimation()->isRunning());
    EXPECT_EQ(warps, 1); // the warp removed at the stop
    DMWindowWarp::setHook({});

    // The panel closes with its parent window.
    document.window->close();
    EXPECT_FALSE(panel->isVisible());
}
