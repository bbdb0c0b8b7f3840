#include "BlackTableviewTextFieldCell.h"

#include "BlackControlsDrawing.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>

BlackTableviewTextFieldCell::BlackTableviewTextFieldCell(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void BlackTableviewTextFieldCell::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    QStyle *style = cell.widget ? cell.widget->style() : QApplication::style();
    if (option.state & QStyle::State_Enabled) {
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
        return;
    }
    // Disabled: drawn as enabled into an image of the cell, laid down at half opacity, so the
    // text keeps its place and only fades.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QImage image((QSizeF(option.rect.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    cell.state |= QStyle::State_Enabled;
    cell.rect = QRect(QPoint(0, 0), option.rect.size());
    {
        QPainter imagePainter(&image);
        style->drawControl(QStyle::CE_ItemViewItem, &cell, &imagePainter, cell.widget);
    }
    painter->save();
    painter->setOpacity(painter->opacity() * 0.5);
    painter->drawImage(option.rect.topLeft(), image);
    painter->restore();
}

QWidget *BlackTableviewTextFieldCell::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                                   const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor) {
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Base, BlackControlsDrawing::grey(1.0 / 3));
        palette.setColor(QPalette::Text, Qt::white);
        editor->setPalette(palette);
        editor->setAutoFillBackground(true);
    }
    return editor;
}
