#pragma once

#include "DMObservable.h"
#include "DMPopoverEditorController.h"

#include <memory>

class DMAttachedWindow;
class DMProjectTodo;
class QCheckBox;
class QDateEdit;
class QLineEdit;

// The to-do editor bubble, opened from a to-do's card: the to-do's text, its due date, whether
// it is done and whether it has no due date, in a popover pointing at the place clicked. Each
// change is one undo step of the to-do's project; an undo shows in the open editor at once.
// Picking a day keeps the to-do's time of day; a to-do without a date shows "No due date".
class DMProjectTodoEditorController : public DMPopoverEditorController
{
    Q_OBJECT

public:
    static DMProjectTodoEditorController *sharedInstance();

    std::shared_ptr<DMProjectTodo> editedObject() const { return m_editedObject.lock(); }
    // Not owned; null clears the editor.
    void setEditedObject(const std::shared_ptr<DMProjectTodo> &todo);
    // Shows the editor pointing at the point, in the view's coordinates, its text taking the
    // keyboard with the whole text selected.
    void showAtPointInView(QPointF point, QWidget *view);
    // The same leaving the keyboard where it is (a card merely selected), so that a key meant for
    // the cards does not replace the text.
    void showAtPointInViewLeavingKeyboard(QPointF point, QWidget *view);
    // The shown editor points there instead (its to-do's card moved), the keyboard staying put.
    void repointAtPointInView(QPointF point, QWidget *view);
    void close() override;

    // The interface, for tests and screenshots.
    QWidget *containerView() const { return m_containerView; }
    DMAttachedWindow *containerWindow() const { return windowOfContainer(m_containerView); }
    QLineEdit *textField() const { return m_textField; }
    QDateEdit *datePicker() const { return m_datePicker; }
    QCheckBox *doneCheckBox() const { return m_doneCheckBox; }
    QCheckBox *noDueDateCheckBox() const { return m_noDueDateCheckBox; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class DMPopoverEditorController;
    DMProjectTodoEditorController();
    void refreshUI();
    void change(const std::function<void(DMProjectTodo &)> &apply);

    std::weak_ptr<DMProjectTodo> m_editedObject;
    DMObservation m_observation;
    bool m_refreshing = false;
    QWidget *m_containerView = nullptr;
    QLineEdit *m_textField = nullptr;
    QDateEdit *m_datePicker = nullptr;
    QCheckBox *m_doneCheckBox = nullptr;
    QCheckBox *m_noDueDateCheckBox = nullptr;
};
