#include "DMCalendarPanel.h"
#include "DMWallClock.h"

#include "DMChildWindow.h"
#include "DMDatePickerElements.h"
#include "DMWindowFrameAnimation.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QDateTimeEdit>
#include <QTimeEdit>
#include <QWindow>

#include <algorithm>

namespace {

DMCalendarPanel *gSharedPanel = nullptr;

constexpr int kInset = 4;
constexpr int kGap = 8;
constexpr int kTimeWidth = 120;

// A date-time edit's side of the panel: each pick becomes the edit's date. It lives as a child
// object of the edit, so the panel never reports to an edit that has gone.
class DatePickerPanelDelegate : public QObject, public DMCalendarPanelDelegate
{
public:
    explicit DatePickerPanelDelegate(QDateTimeEdit *edit) : QObject(edit), m_edit(edit)
    {
        setObjectName(QStringLiteral("DMCalendarPanelDatePickerDelegate"));
    }

    static DatePickerPanelDelegate *of(QDateTimeEdit *edit)
    {
        auto *delegate = edit->findChild<DatePickerPanelDelegate *>(QStringLiteral("DMCalendarPanelDatePickerDelegate"),
                                                                    Qt::FindDirectChildrenOnly);
        return delegate ? delegate : new DatePickerPanelDelegate(edit);
    }

    void calendarPanelDateDidChange(DMCalendarPanel *panel) override
    {
        m_edit->setDateTime(panel->dateValue());
    }

private:
    QDateTimeEdit *m_edit;
};

QWidget *widgetOfWindow(const QWindow *window)
{
    if (!window)
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [window](QWidget *widget) { return widget->windowHandle() == window; });
    return found == windows.end() ? nullptr : *found;
}

} // namespace

DMCalendarPanelDelegate::~DMCalendarPanelDelegate()
{
    if (gSharedPanel && gSharedPanel->m_delegate == this)
        gSharedPanel->m_delegate = nullptr;
}

DMCalendarPanel *DMCalendarPanel::sharedInstance()
{
    if (!gSharedPanel)
        gSharedPanel = new DMCalendarPanel;
    return gSharedPanel;
}

DMCalendarPanel::DMCalendarPanel() : QWidget(nullptr, Qt::Tool)
{
    setWindowTitle(QStringLiteral(" "));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    buildContainerView();
    setFixedSize(m_containerView->size());
    setDateValue(DMWallClock::now());

    m_orderOutObserver = DMNotificationCenter::defaultCenter().addObserver(
        DMAttachedWindow::kWillOrderOutNotification, nullptr, [this](const DMNotification &notification) {
            windowWillOrderOut(static_cast<const QWidget *>(notification.object));
        });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *window) {
        const QWidget *widget = widgetOfWindow(window);
        // The calendar's own menus are windows too: they leave the popover open.
        if (widget && widget->windowType() != Qt::Popup)
            windowWillOrderOut(widget);
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && isVisible())
            hide();
    });
}

void DMCalendarPanel::buildContainerView()
{
    m_containerView = new QWidget(this);
    m_containerView->setObjectName(QStringLiteral("DMCalendarPanelContainerView"));
    m_containerView->setAutoFillBackground(true);
    m_containerView->setPalette(palette());

    m_datePicker = new QCalendarWidget(m_containerView);
    m_datePicker->setGridVisible(false);
    m_datePicker->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_datePicker->setGeometry(QRect(QPoint(kInset, kInset), m_datePicker->sizeHint()));

    const int timeX = m_datePicker->geometry().right() + 1 + kGap;
    m_timeLabelPicker = new QDateTimeEdit(m_containerView);
    m_timeLabelPicker->setReadOnly(true);
    m_timeLabelPicker->setFrame(false);
    m_timeLabelPicker->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_timeLabelPicker->setFocusPolicy(Qt::NoFocus);
    m_timeLabelPicker->setAlignment(Qt::AlignCenter);
    m_timeLabelPicker->setDisplayFormat(DMDatePickerElements_displayFormat(kDMDatePickerElement_HourMinute, locale()));
    QFont large = m_timeLabelPicker->font();
    large.setPointSizeF(large.pointSizeF() * 2);
    large.setBold(true);
    m_timeLabelPicker->setFont(large);
    m_timeLabelPicker->setGeometry(timeX, kInset + kGap, kTimeWidth, m_timeLabelPicker->sizeHint().height());

    m_timePicker = new QTimeEdit(m_containerView);
    m_timePicker->setDisplayFormat(DMDatePickerElements_displayFormat(kDMDatePickerElement_HourMinute, locale()));
    m_timePicker->setGeometry(timeX, m_timeLabelPicker->geometry().bottom() + 1 + kGap, kTimeWidth,
                              m_timePicker->sizeHint().height());

    const int height = std::max(m_datePicker->geometry().bottom(), m_timePicker->geometry().bottom()) + 1 + kInset;
    m_containerView->setGeometry(0, 0, m_timePicker->geometry().right() + 1, height);

    connect(m_datePicker, &QCalendarWidget::selectionChanged, this,
            [this] { datePickerCallback(QDateTime(m_datePicker->selectedDate(), m_dateValue.time())); });
    connect(m_timePicker, &QTimeEdit::timeChanged, this,
            [this](QTime time) { datePickerCallback(QDateTime(m_dateValue.date(), time)); });
}

void DMCalendarPanel::setDateValue(const QDateTime &date)
{
    if (!date.isValid())
        return;
    m_dateValue = date;
    const QSignalBlocker blockDate(m_datePicker);
    const QSignalBlocker blockTime(m_timePicker);
    m_datePicker->setSelectedDate(date.date());
    m_timeLabelPicker->setDateTime(date);
    m_timePicker->setTime(date.time());
}

void DMCalendarPanel::datePickerCallback(const QDateTime &picked)
{
    setDateValue(picked);
    if (m_delegate)
        m_delegate->calendarPanelDateDidChange(this);
}

void DMCalendarPanel::setDatePickerElements(int elements)
{
    const QRect edge = DMDatePickerElements_showTime(elements) ? m_timePicker->geometry() : m_datePicker->geometry();
    const int width = edge.x() + edge.width();
    m_containerView->resize(width, m_containerView->height());
    setFixedSize(width, height());
}

void DMCalendarPanel::takeBackContainerView()
{
    if (m_containerView->parentWidget() == this)
        return;
    m_containerView->setParent(this);
    m_containerView->move(0, 0);
    m_containerView->show();
}

void DMCalendarPanel::showPopoverForViewWithDateAndDelegate(QWidget *view, const QDateTime &date,
                                                            DMCalendarPanelDelegate *delegate)
{
    if (!view)
        return;
    setDelegate(delegate);
    setDateValue(date);
    // The previous popover hides and goes; the container view moves into the new one.
    if (m_popoverWindow) {
        hidePopover();
        m_containerView->setParent(this);
        m_popoverWindow->deleteLater();
    }
    hide();
    QWidget *window = view->window();
    const QPointF point = view->mapTo(window, QRectF(view->rect()).center());
    auto *popover = new DMCalendarPanelPopover(m_containerView, point, window, kDMAttachedWindowSide_Automatic, 0);
    popover->setPopoverStyle(QColor::fromRgbF(1, 1, 1, 1));
    popover->set_Window(window);
    popover->setPointSide(point, kDMAttachedWindowSide_Automatic);
    m_popoverWindow = popover;
    DMWindow_addChildWindow(window, popover);
    // activateWindow() would do nothing: a child window counts as active with its parent.
    popover->windowHandle()->requestActivate();
}

void DMCalendarPanel::hidePopover()
{
    if (!m_popoverWindow || !DMWindow_parentWindow(m_popoverWindow))
        return;
    DMWindow_removeChildWindow(m_popoverWindow);
    m_popoverWindow->set_Window(nullptr);
    m_popoverWindow->orderOut();
}

void DMCalendarPanel::showPanelAtPointWithDateAndDelegate(QPoint globalPoint, const QDateTime &date,
                                                          DMCalendarPanelDelegate *delegate)
{
    hidePopover();
    takeBackContainerView();
    setDelegate(delegate);
    move(globalPoint.x(), globalPoint.y() - height());
    show();
    raise();
    setDateValue(date);
}

void DMCalendarPanel::showPanelForViewWithDateAndDelegate(QWidget *view, const QDateTime &date,
                                                          DMCalendarPanelDelegate *delegate)
{
    if (!view)
        return;
    hidePopover();
    takeBackContainerView();
    const QPoint below = view->mapToGlobal(QPoint(0, view->height()));
    setDelegate(delegate);
    move(below);
    DMWindow_addChildWindow(view->window(), this);
    move(below);
    setDateValue(date);
}

void DMCalendarPanel::toggleMeshAnimation(QWidget *sender)
{
    if (!m_meshAnimation) {
        const QRect start = sender ? QRect(sender->mapToGlobal(QPoint(0, 0)), sender->size()) : QRect();
        m_meshAnimation = new DMWindowFrameAnimation(this, start);
        m_meshAnimation->setParent(this);
        m_meshAnimation->setDuration(5.0);
    }
    if (m_meshAnimation->isRunning())
        m_meshAnimation->stop();
    else
        m_meshAnimation->start();
}

void DMCalendarPanel::showCalendarPanel(QDateTimeEdit *datePicker, QWidget *sender)
{
    if (!datePicker)
        return;
    DMCalendarPanel *panel = sharedInstance();
    panel->setDatePickerElements(DMDatePickerElements_ofDateTimeEdit(datePicker));
    panel->showPopoverForViewWithDateAndDelegate(sender ? sender : datePicker, datePicker->dateTime(),
                                                 DatePickerPanelDelegate::of(datePicker));
}

void DMCalendarPanel::windowWillOrderOut(const QWidget *window)
{
    if (isVisible() && window != this) {
        if (window == DMWindow_parentWindow(this))
            close();
        return;
    }
    if (m_popoverWindow && DMWindow_parentWindow(m_popoverWindow) && window != m_popoverWindow)
        hidePopover();
}

void DMCalendarPanel::closeEvent(QCloseEvent *event)
{
    DMWindow_removeChildWindow(this);
    QWidget::closeEvent(event);
}
