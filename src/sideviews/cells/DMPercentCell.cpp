#include "DMPercentCell.h"

#include <QSpinBox>

#include <cmath>

namespace {

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Float:
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return true;
    default:
        return false;
    }
}

} // namespace

QString DMPercentCell::percentText(double fraction, const QLocale &locale)
{
    const double percent = std::isfinite(fraction) ? std::round(fraction * 100.0) : 0.0;
    return locale.toString(percent == 0.0 ? 0.0 : percent, 'f', 0) + locale.percent();
}

QString DMPercentCell::displayText(const QVariant &value, const QLocale &locale) const
{
    return isNumber(value) ? percentText(value.toDouble(), locale) : QStyledItemDelegate::displayText(value, locale);
}

QWidget *DMPercentCell::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    const QVariant value = index.data(Qt::EditRole);
    if (value.isValid() && !isNumber(value))
        return nullptr;
    auto *editor = new QSpinBox(parent);
    editor->setRange(0, 100);
    editor->setSuffix(QLocale().percent());
    editor->setFrame(false);
    return editor;
}

void DMPercentCell::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *spin = qobject_cast<QSpinBox *>(editor))
        spin->setValue(int(std::round(index.data(Qt::EditRole).toDouble() * 100.0)));
}

void DMPercentCell::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *spin = qobject_cast<QSpinBox *>(editor)) {
        spin->interpretText();
        model->setData(index, spin->value() / 100.0);
    }
}
