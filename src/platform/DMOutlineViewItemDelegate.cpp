#include "DMOutlineViewItemDelegate.h"

#include "DMOutlineView.h"

#include <QApplication>
#include <QPainter>

DMOutlineViewItemDelegate::DMOutlineViewItemDelegate(DMOutlineView *outlineView)
    : QStyledItemDelegate(outlineView), m_outlineView(outlineView)
{
}

void DMOutlineViewItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    QStyleOptionViewItem styleOption = option;
    initStyleOption(&styleOption, index);
    const DMOutlineViewModel *model = m_outlineView->outlineModel();

    DMOutlineCell cell;
    cell.objectValue = index.data(Qt::DisplayRole);
    cell.text = styleOption.text;
    cell.font = styleOption.font;
    cell.alignment = styleOption.displayAlignment;
    if (DMOutlineViewDelegate *delegate = m_outlineView->delegate()) {
        delegate->outlineViewWillDisplayCellForTableColumnItem(
            m_outlineView, cell, model->tableColumns()[size_t(index.column())].identifier, model->itemForIndex(index));
    }

    styleOption.font = cell.font;
    styleOption.fontMetrics = QFontMetrics(cell.font);
    styleOption.displayAlignment = cell.alignment;
    if (cell.textColor.isValid())
        styleOption.palette.setColor(QPalette::Text, cell.textColor);
    if (!cell.image.isNull()) {
        styleOption.icon = cell.image;
        styleOption.features |= QStyleOptionViewItem::HasDecoration;
    }
    styleOption.text = cell.draw ? QString() : cell.text;
    if (cell.draw)
        styleOption.icon = QIcon();

    QStyle *style = styleOption.widget ? styleOption.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &styleOption, painter, styleOption.widget);
    if (cell.draw) {
        const QRect content = style->subElementRect(QStyle::SE_ItemViewItemText, &styleOption, styleOption.widget);
        painter->save();
        painter->setClipRect(option.rect, Qt::IntersectClip);
        cell.draw(*painter, content.isValid() ? content : option.rect, cell.representedObject);
        painter->restore();
    }
}

QSize DMOutlineViewItemDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const
{
    // Widths come from the columns, never from content.
    return {0, m_outlineView->outlineModel()->rowHeightForIndex(index)};
}
