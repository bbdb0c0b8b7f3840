#include "DMPopUpCell.h"

#include <QComboBox>

DMPopUpCell::DMPopUpCell(const QStringList &titles, QObject *parent) : QStyledItemDelegate(parent), m_titles(titles) {}

QString DMPopUpCell::displayText(const QVariant &value, const QLocale &) const
{
    bool ok = false;
    const int index = value.toInt(&ok);
    return ok && index >= 0 && index < m_titles.size() ? m_titles.at(index) : QString();
}

QWidget *DMPopUpCell::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *popUp = new QComboBox(parent);
    popUp->addItems(m_titles);
    auto *self = const_cast<DMPopUpCell *>(this);
    connect(popUp, &QComboBox::activated, self, [self, popUp] {
        emit self->commitData(popUp);
        emit self->closeEditor(popUp);
    });
    return popUp;
}

void DMPopUpCell::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *popUp = qobject_cast<QComboBox *>(editor))
        popUp->setCurrentIndex(qBound(0, index.data(Qt::EditRole).toInt(), int(m_titles.size()) - 1));
}

void DMPopUpCell::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *popUp = qobject_cast<QComboBox *>(editor); popUp && popUp->currentIndex() >= 0)
        model->setData(index, popUp->currentIndex());
}
