#pragma once

#include "DMDateTimeEdit.h"

class DMDatePickerCell;
class DMDatePickerCellEditor;
class QFocusEvent;
class QKeyEvent;

// Told when an in-place date editor has finished: the date it holds is then the edited value,
// to be applied once.
class DMDatePickerCellEditorDelegate
{
public:
    virtual ~DMDatePickerCellEditorDelegate() = default;
    virtual void datePickerCellEditorDidFinishEditing(DMDatePickerCellEditor *) {}
};

// A date picker that a list lays over a date cell to edit it in place. Typing and stepping only
// change the picker (the arrow keys walk its sections); Return, Enter, Escape (which keeps the
// date chosen, it restores nothing), Tab, Shift+Tab or a click elsewhere give the focus back to
// the list, and the editor then tells its delegate once, removes itself from the list and is
// deleted. After Tab or Shift+Tab the list goes on to the next or previous cell (endingMove). A whole date typed over the selected text is
// read when the edit ends (DMDateTimeEdit).
//
// The list (the editor's parent) owns it until then. The delegate is not owned; whoever sets it
// clears it before going away.
class DMDatePickerCellEditor : public DMDateTimeEdit
{
    Q_OBJECT

public:
    explicit DMDatePickerCellEditor(const QRect &frame, QWidget *list);

    // Takes the cell's elements, style and font, and shows a bezel over its own background.
    void setAttributesFromCell(const DMDatePickerCell &cell);

    const void *context() const { return m_context; }
    void setContext(const void *context) { m_context = context; }
    DMDatePickerCellEditorDelegate *delegate() const { return m_delegate; }
    void setDelegate(DMDatePickerCellEditorDelegate *delegate) { m_delegate = delegate; }
    bool hasFinishedEditing() const { return m_finished; }
    // Where the keys that ended the edit ask the list to go on.
    enum class Move { None, NextCell, PreviousCell };
    Move endingMove() const { return m_endingMove; }

    // The date editors' one rule for ending an edit: Return, Enter and Escape; and a loss of focus
    // that is not to a popup (the calendar's) nor to another window.
    static bool endsEditing(const QKeyEvent *event);
    static bool endsEditing(const QFocusEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void giveFocusBackToList();
    void finishEditing();

    const void *m_context = nullptr;
    DMDatePickerCellEditorDelegate *m_delegate = nullptr;
    bool m_finished = false;
    Move m_endingMove = Move::None;
};
