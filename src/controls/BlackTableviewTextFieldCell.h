#pragma once

#include <QStyledItemDelegate>

// The text cell of the dark tables. Enabled, it draws as the standard cell but never its own
// selection highlight, so selected rows keep their light text on the table's selection colour;
// disabled, the same drawing at half opacity. Its editor has a dark grey background.
class BlackTableviewTextFieldCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit BlackTableviewTextFieldCell(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
