#include "DMDatePickerFieldEditor.h"

#include "DMDatePickerCellEditor.h"

#include <QDateTimeEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

// The picker inside the field editor; it tells the editor when it gives up the focus.
class FieldEditorPicker : public QDateTimeEdit
{
public:
    explicit FieldEditorPicker(DMDatePickerFieldEditor *editor) : QDateTimeEdit(editor), m_editor(editor) {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!DMDatePickerCellEditor::endsEditing(event)) {
            QDateTimeEdit::keyPressEvent(event);
            return;
        }
        event->accept();
        resign();
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        QDateTimeEdit::focusOutEvent(event);
        if (DMDatePickerCellEditor::endsEditing(event))
            resign();
    }

private:
    void resign()
    {
        interpretText();
        m_editor->datePickerWillResignFirstResponder();
    }

    DMDatePickerFieldEditor *m_editor;
};

} // namespace

DMDatePickerFieldEditor::DMDatePickerFieldEditor(QWidget *parent)
    : QWidget(parent), m_datePicker(new FieldEditorPicker(this))
{
    setGeometry(0, 0, 100, 24);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_datePicker);
    m_datePicker->setFrame(false);
    setFocusProxy(m_datePicker);
}

void DMDatePickerFieldEditor::datePickerWillResignFirstResponder()
{
    if (m_ended)
        return;
    m_ended = true;
    emit textDidChange();
    emit textDidEndEditing();
}
