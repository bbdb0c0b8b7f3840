#pragma once

#include "DMAttachedWindow.h"
#include "DMNotificationCenter.h"

#include <QDateTime>
#include <QPointer>
#include <QWidget>

class DMCalendarPanel;
class DMWindowFrameAnimation;
class QCalendarWidget;
class QDateTimeEdit;
class QTimeEdit;

// Told of every date the user picks in the calendar panel. Not owned by the panel; destroying
// a delegate clears the panel's reference to it.
class DMCalendarPanelDelegate
{
public:
    virtual ~DMCalendarPanelDelegate();
    virtual void calendarPanelDateDidChange(DMCalendarPanel *) {}
};

// The popover window the calendar panel shows its pickers in.
class DMCalendarPanelPopover : public DMAttachedWindow
{
public:
    using DMAttachedWindow::DMAttachedWindow;
};

// The one date and time picker of the application: a calendar, a time picker and the time shown
// as a label, in a container view. It is shown in a popover pointing at the control that asked
// (a date-time edit opens it with showCalendarPanel, and every date picked is written back into
// that edit), as a panel hanging below a view, or at a point.
//
// The popover closes when any other window becomes active or any other attached window orders
// out; the panel closes with its parent window. The panel lives for the whole process.
class DMCalendarPanel : public QWidget
{
    Q_OBJECT

public:
    static DMCalendarPanel *sharedInstance();

    // Opens the shared panel in a popover for the sender (the edit itself when null), sized for
    // the edit's elements, starting at its date; each pick sets the edit's date, so that its
    // dateTimeChanged signal reaches its receivers once per pick.
    static void showCalendarPanel(QDateTimeEdit *datePicker, QWidget *sender = nullptr);

    QCalendarWidget *datePicker() const { return m_datePicker; }
    QTimeEdit *timePicker() const { return m_timePicker; }
    QDateTimeEdit *timeLabelPicker() const { return m_timeLabelPicker; }
    QWidget *containerView() const { return m_containerView; }
    DMCalendarPanelPopover *popoverWindow() const { return m_popoverWindow; }

    DMCalendarPanelDelegate *delegate() const { return m_delegate; }
    void setDelegate(DMCalendarPanelDelegate *delegate) { m_delegate = delegate; }

    QDateTime dateValue() const { return m_dateValue; }
    // Sets the date picker, the time label and the time picker, without reporting a pick.
    void setDateValue(const QDateTime &date);
    // With a time among the elements the panel reaches the time picker's right edge, else the
    // date picker's.
    void setDatePickerElements(int elements);

    void showPopoverForViewWithDateAndDelegate(QWidget *view, const QDateTime &date, DMCalendarPanelDelegate *delegate);
    void hidePopover();
    // Puts the panel's bottom-left corner at the global point.
    void showPanelAtPointWithDateAndDelegate(QPoint globalPoint, const QDateTime &date, DMCalendarPanelDelegate *delegate);
    // Hangs the panel below the view, as a child window of the view's window.
    void showPanelForViewWithDateAndDelegate(QWidget *view, const QDateTime &date, DMCalendarPanelDelegate *delegate);
    // Plays (or stops, when it runs) the panel's growth out of the sender's rectangle, 5 s long.
    void toggleMeshAnimation(QWidget *sender);
    DMWindowFrameAnimation *meshAnimation() const { return m_meshAnimation; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class DMCalendarPanelDelegate;
    DMCalendarPanel();
    void buildContainerView();
    void datePickerCallback(const QDateTime &picked);
    void takeBackContainerView();
    void windowWillOrderOut(const QWidget *window);

    DMWindowFrameAnimation *m_meshAnimation = nullptr;
    QPointer<DMCalendarPanelPopover> m_popoverWindow;
    QCalendarWidget *m_datePicker = nullptr;
    QTimeEdit *m_timePicker = nullptr;
    QDateTimeEdit *m_timeLabelPicker = nullptr;
    QWidget *m_containerView = nullptr;
    DMCalendarPanelDelegate *m_delegate = nullptr;
    QDateTime m_dateValue;
    DMNotificationObserver m_orderOutObserver;
};
