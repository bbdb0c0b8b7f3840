#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

// A cell whose value is the index of one of its titles (a cost kind, a kind of resource): it
// shows that title and is edited with a pop-up list, which commits as soon as a title is chosen.
// A value that is no index of a title shows nothing.
class DMPopUpCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit DMPopUpCell(const QStringList &titles, QObject *parent = nullptr);

    QStringList titles() const { return m_titles; }

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    QStringList m_titles;
};
