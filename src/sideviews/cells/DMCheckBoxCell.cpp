#include "DMCheckBoxCell.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

QRect DMCheckBoxCell::checkBoxRect(const QStyleOptionViewItem &option)
{
    QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget);
    return QRect(option.rect.x() + (option.rect.width() - width) / 2, option.rect.y() + (option.rect.height() - height) / 2,
                 width, height);
}

void DMCheckBoxCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

    QStyleOptionButton box;
    box.rect = checkBoxRect(option);
    box.state = QStyle::State_Enabled | (index.data(Qt::DisplayRole).toBool() ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);
}

bool DMCheckBoxCell::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return event->type() == QEvent::MouseButtonDblClick && checkBoxRect(option).contains(static_cast<QMouseEvent *>(event)->position().toPoint());
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton || !checkBoxRect(option).contains(mouse->position().toPoint()))
        return false;
    return model->setData(index, !index.data(Qt::DisplayRole).toBool(), Qt::EditRole);
}
