#include "DMProjectTodoEditorController.h"
#include "DMWallClock.h"

#include "DMLocalizedString.h"
#include "DMProjectTodo.h"
#include "DMProjectUndoStep.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLineEdit>
#include <QScopedValueRollback>

DMProjectTodoEditorController *DMProjectTodoEditorController::sharedInstance()
{
    return sharedEditor<DMProjectTodoEditorController>();
}

DMProjectTodoEditorController::DMProjectTodoEditorController()
{
    m_containerView = new QWidget;
    m_containerView->setObjectName(QStringLiteral("DMProjectTodoEditorContainerView"));
    m_textField = new QLineEdit;
    m_textField->setPlaceholderText(DMLocalizedString("To-do"));
    m_datePicker = new QDateEdit;
    m_datePicker->setCalendarPopup(true);
    // The earliest date stands for none.
    m_datePicker->setSpecialValueText(DMLocalizedString("No due date"));
    // Its calendar opens on the month of the date, or on this month for a to-do without one.
    m_datePicker->calendarWidget()->installEventFilter(this);
    m_doneCheckBox = new QCheckBox(DMLocalizedString("Done"));
    m_noDueDateCheckBox = new QCheckBox(DMLocalizedString("No due date"));
    auto *layout = new QGridLayout(m_containerView);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_textField, 0, 0, 1, 2);
    layout->addWidget(m_datePicker, 1, 0);
    layout->addWidget(m_noDueDateCheckBox, 1, 1);
    layout->addWidget(m_doneCheckBox, 2, 0, 1, 2);
    m_containerView->setMinimumWidth(280);
    m_containerView->adjustSize();

    connect(m_textField, &QLineEdit::editingFinished, this, [this] {
        const QString text = m_textField->text();
        change([&](DMProjectTodo &todo) {
            if (text != todo.text())
                todo.setText(text);
        });
    });
    connect(m_datePicker, &QDateEdit::dateChanged, this, [this](QDate date) {
        if (date == m_datePicker->minimumDate())
            return;
        change([&](DMProjectTodo &todo) {
            // Only the day is picked: the to-do keeps its time of day.
            const DMDate old = todo.date();
            todo.setDate(DMDate(date.year(), date.month(), date.day(), old.isNull() ? 0 : old.secondOfDay()));
        });
    });
    connect(m_doneCheckBox, &QCheckBox::toggled, this,
            [this](bool done) { change([&](DMProjectTodo &todo) { todo.setDone(done); }); });
    connect(m_noDueDateCheckBox, &QCheckBox::toggled, this,
            [this](bool none) { change([&](DMProjectTodo &todo) { todo.setNoDueDate(none); }); });
}

void DMProjectTodoEditorController::setEditedObject(const std::shared_ptr<DMProjectTodo> &todo)
{
    m_editedObject = todo;
    m_observation.reset();
    if (!todo)
        return;
    m_observation = todo->observe(QString(), [this](const DMChange &, DMObservable *) { refreshUI(); });
    refreshUI();
}

void DMProjectTodoEditorController::refreshUI()
{
    const auto todo = editedObject();
    if (!todo)
        return;
    const QScopedValueRollback<bool> refreshing(m_refreshing, true);
    m_textField->setText(todo->text());
    const DMDate date = todo->date();
    const bool dateless = date.isNull() || todo->noDueDate();
    m_datePicker->setDate(dateless ? m_datePicker->minimumDate() : QDate(date.year(), date.month(), date.day()));
    m_datePicker->setEnabled(!todo->noDueDate());
    m_doneCheckBox->setChecked(todo->done());
    m_noDueDateCheckBox->setChecked(todo->noDueDate());
}

bool DMProjectTodoEditorController::eventFilter(QObject *watched, QEvent *event)
{
    QCalendarWidget *calendar = m_datePicker->calendarWidget();
    if (watched == calendar && event->type() == QEvent::Show && m_datePicker->date() == m_datePicker->minimumDate()) {
        const QDate today = DMWallClock::today();
        calendar->setCurrentPage(today.year(), today.month());
    }
    return DMPopoverEditorController::eventFilter(watched, event);
}

void DMProjectTodoEditorController::change(const std::function<void(DMProjectTodo &)> &apply)
{
    const auto todo = editedObject();
    if (!todo || m_refreshing)
        return;
    DMProject_applyAsOneUndoStep(todo->project(), DMLocalizedString("Change To-do"), [&] { apply(*todo); });
}

void DMProjectTodoEditorController::showAtPointInView(QPointF point, QWidget *view)
{
    if (editedObject())
        showContainerAtPointInView(m_containerView, m_textField, point, view);
}

void DMProjectTodoEditorController::showAtPointInViewLeavingKeyboard(QPointF point, QWidget *view)
{
    if (editedObject())
        showContainerAtPointInViewLeavingKeyboard(m_containerView, point, view);
}

void DMProjectTodoEditorController::repointAtPointInView(QPointF point, QWidget *view)
{
    repointContainerAtPointInView(m_containerView, point, view);
}

void DMProjectTodoEditorController::close()
{
    setEditedObject(nullptr);
    hide();
}
