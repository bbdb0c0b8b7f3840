#pragma once

#include "DMDatePickerCell.h"

#include <QPointer>
#include <QStyledItemDelegate>

class DMDatePickerFieldEditor;

// A table cell that draws its date through its date-picker cell and is edited with a live date
// picker (a DMDatePickerFieldEditor) laid over the cell. The picked date reaches the model once,
// as a QDateTime in the edit role, when the edit ends: on Return, Enter or Escape (which keeps
// the date chosen) or when the picker loses the focus. A value that is not a date is neither
// shown nor given to the picker.
class DMDateTextFieldCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit DMDateTextFieldCell(QObject *parent = nullptr);

    // Elements, style, font, locale and limits of both the drawing and the editor.
    DMDatePickerCell *datePickerCell() const { return m_datePickerCell; }
    // The open editor; null between edits.
    DMDatePickerFieldEditor *fieldEditor() const { return m_fieldEditor; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

private:
    DMDatePickerCell *m_datePickerCell;
    mutable QPointer<DMDatePickerFieldEditor> m_fieldEditor;
};
