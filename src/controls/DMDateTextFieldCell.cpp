#include "DMDateTextFieldCell.h"

#include "DMDatePickerFieldEditor.h"

#include <QDateTimeEdit>

DMDateTextFieldCell::DMDateTextFieldCell(QObject *parent)
    : QStyledItemDelegate(parent), m_datePickerCell(new DMDatePickerCell(this))
{
}

void DMDateTextFieldCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    m_datePickerCell->paint(painter, option, index);
}

QSize DMDateTextFieldCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return m_datePickerCell->sizeHint(option, index);
}

QWidget *DMDateTextFieldCell::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new DMDatePickerFieldEditor(parent);
    m_datePickerCell->setUpDateTimeEdit(editor->datePicker());
    // The picker sits on the editor's white ground, like text in a field.
    editor->datePicker()->setFrame(false);
    connect(editor, &DMDatePickerFieldEditor::textDidEndEditing, this, [this, editor] {
        emit const_cast<DMDateTextFieldCell *>(this)->commitData(editor);
        emit const_cast<DMDateTextFieldCell *>(this)->closeEditor(editor, QAbstractItemDelegate::NoHint);
    });
    m_fieldEditor = editor;
    return editor;
}

void DMDateTextFieldCell::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *fieldEditor = qobject_cast<DMDatePickerFieldEditor *>(editor);
    const QVariant value = index.data(Qt::EditRole);
    if (fieldEditor && value.typeId() == QMetaType::QDateTime && value.toDateTime().isValid())
        fieldEditor->datePicker()->setDateTime(value.toDateTime());
}

void DMDateTextFieldCell::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *fieldEditor = qobject_cast<DMDatePickerFieldEditor *>(editor);
    if (fieldEditor && model)
        model->setData(index, fieldEditor->datePicker()->dateTime(), Qt::EditRole);
}

void DMDateTextFieldCell::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                               const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

void DMDateTextFieldCell::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (editor == m_fieldEditor)
        m_fieldEditor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}
