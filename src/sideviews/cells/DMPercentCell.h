#pragma once

#include <QStyledItemDelegate>

// A cell of a fraction from 0 to 1 shown in percent ("75%"), edited in whole percent with a spin
// box; a value that is no number shows as it is (the empty text of a row without progress) and is
// not edited. No value at all shows nothing and is edited from 0 %.
class DMPercentCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static QString percentText(double fraction, const QLocale &locale);

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};
