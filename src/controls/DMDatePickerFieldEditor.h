#pragma once

#include <QWidget>

class QDateTimeEdit;

// The editor a DMDateTextFieldCell opens over its cell: a live date picker on a white ground,
// with no text of its own. The picker takes the focus at once. When it loses the focus, or on
// Return, Enter or Escape, the editor reports textDidChange and then textDidEndEditing, once.
class DMDatePickerFieldEditor : public QWidget
{
    Q_OBJECT

public:
    explicit DMDatePickerFieldEditor(QWidget *parent = nullptr);

    QDateTimeEdit *datePicker() const { return m_datePicker; }
    bool hasEndedEditing() const { return m_ended; }

    // The picker is giving up the focus: ends the edit.
    void datePickerWillResignFirstResponder();

signals:
    void textDidChange();
    void textDidEndEditing();

private:
    QDateTimeEdit *m_datePicker;
    bool m_ended = false;
};
