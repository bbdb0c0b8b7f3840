#pragma once

#include <QStyledItemDelegate>

// A cell of a boolean value drawn as a check box in the middle of the cell; a click on the box
// sets the opposite value.
class DMCheckBoxCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The box's rectangle in a cell: one rule for drawing and for clicks.
    static QRect checkBoxRect(const QStyleOptionViewItem &option);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};
