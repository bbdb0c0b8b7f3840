#include "DMDatePickerCellEditor.h"

#include "DMDatePickerCell.h"

#include <QFocusEvent>
#include <QKeyEvent>

DMDatePickerCellEditor::DMDatePickerCellEditor(const QRect &frame, QWidget *list) : DMDateTimeEdit(list)
{
    setGeometry(frame);
}

void DMDatePickerCellEditor::setAttributesFromCell(const DMDatePickerCell &cell)
{
    cell.setUpDateTimeEdit(this);
    setAutoFillBackground(true);
    setFrame(true);
}

bool DMDatePickerCellEditor::endsEditing(const QKeyEvent *event)
{
    const int key = event->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

bool DMDatePickerCellEditor::endsEditing(const QFocusEvent *event)
{
    return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
}

void DMDatePickerCellEditor::keyPressEvent(QKeyEvent *event)
{
    if (!endsEditing(event)) {
        DMDateTimeEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    giveFocusBackToList();
}

bool DMDatePickerCellEditor::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab leave the picker for the neighbouring cell, not for its next section.
    m_endingMove = next ? Move::NextCell : Move::PreviousCell;
    giveFocusBackToList();
    return true;
}

void DMDatePickerCellEditor::giveFocusBackToList()
{
    finishTypingWholeDate();
    if (QWidget *list = parentWidget())
        list->setFocus(Qt::OtherFocusReason);
    else
        clearFocus();
}

void DMDatePickerCellEditor::focusOutEvent(QFocusEvent *event)
{
    DMDateTimeEdit::focusOutEvent(event);
    if (endsEditing(event))
        finishEditing();
}

void DMDatePickerCellEditor::finishEditing()
{
    if (m_finished)
        return;
    m_finished = true;
    // The value typed last counts even when it was not committed by a key.
    interpretText();
    if (m_delegate)
        m_delegate->datePickerCellEditorDidFinishEditing(this);
    hide();
    deleteLater();
}
