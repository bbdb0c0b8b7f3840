#include "DMTextFieldCell.h"

#include "DMBeep.h"
#include "DMTextField.h"

#include <QAbstractItemView>
#include <QLineEdit>

DMTextFieldCell::DMTextFieldCell(QObject *parent)
    : QStyledItemDelegate(parent)
{
    m_observer = DMNotificationCenter::defaultCenter().addObserver(
        kDMTextField_UpdateFormatter_Notification, nullptr,
        [this](const DMNotification &notification) { updateFormatter(notification); });
}

QString DMTextFieldCell::displayText(const QVariant &value, const QLocale &locale) const
{
    return m_formatter ? m_formatter->stringForObjectValue(value) : QStyledItemDelegate::displayText(value, locale);
}

void DMTextFieldCell::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *lineEdit = qobject_cast<QLineEdit *>(editor);
    if (!lineEdit || !m_formatter)
        return QStyledItemDelegate::setEditorData(editor, index);
    lineEdit->setText(m_formatter->stringForObjectValue(index.data(Qt::EditRole)));
}

void DMTextFieldCell::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *lineEdit = qobject_cast<QLineEdit *>(editor);
    if (!lineEdit || !m_formatter)
        return QStyledItemDelegate::setModelData(editor, model, index);
    QVariant value;
    if (m_formatter->getObjectValueForString(&value, lineEdit->text()))
        model->setData(index, value, Qt::EditRole);
    else
        DMBeep(); // refused: the cell keeps its value
}

void DMTextFieldCell::updateFormatter(const DMNotification &notification)
{
    std::shared_ptr<DMFormatter> replacement = DMTextFieldReplacementFormatter(notification, m_formatter.get());
    if (!replacement)
        return;
    m_formatter = std::move(replacement);
    if (auto *view = qobject_cast<QAbstractItemView *>(parent()))
        view->viewport()->update();
}
