#include "DMOutlineViewItemDelegate.h"

#include "DMOutlineView.h"

#include <QApplication>
#include <QPainter>

DMOutlineViewItemDelegate::DMOutlineViewItemDelegate(DMOutlineView *outlineView)
    : QStyledItemDelegate(outlineView), m_outlineView(outlineView)
{
}

QAbstractItemDelegate *DMOutlineViewItemDelegate::dataCellForIndex(const QModelIndex &index) const
{
    const DMOutlineViewModel *model = m_outlineView->outlineModel();
    if (!index.isValid() || index.column() >= model->columnCount())
        return nullptr;
    const DMOutlineTableColumn &column = model->tableColumns()[size_t(index.column())];
    if (DMOutlineViewDelegate *delegate = m_outlineView->delegate())
        if (QAbstractItemDelegate *cell =
                delegate->outlineViewDataCellForTableColumnItem(m_outlineView, column.identifier, model->itemForIndex(index)))
            return cell;
    return column.dataCell.data();
}

// What a cell shows: the cell as the outline's delegate leaves it, and the option the outline's
// own text cell draws it with (unused when a data cell draws it).
void DMOutlineViewItemDelegate::prepareCell(const QStyleOptionViewItem &option, const QModelIndex &index,
                                            DMOutlineCell *cell, QStyleOptionViewItem *styleOption) const
{
    *styleOption = option;
    const DMOutlineViewModel *model = m_outlineView->outlineModel();
    cell->objectValue = index.data(Qt::DisplayRole);
    cell->dataCell = dataCellForIndex(index);
    // A data cell shows the value its own way: the text is worked out only for the outline's own
    // text cell. (The outline's model answers no font or alignment of its own.)
    const bool textCell = !cell->dataCell || cell->dataCell == this;
    if (textCell) {
        initStyleOption(styleOption, index);
        cell->text = styleOption->text;
    }
    cell->font = styleOption->font;
    cell->alignment = styleOption->displayAlignment;
    if (DMOutlineViewDelegate *delegate = m_outlineView->delegate()) {
        delegate->outlineViewWillDisplayCellForTableColumnItem(
            m_outlineView, *cell, model->tableColumns()[size_t(index.column())].identifier, model->itemForIndex(index));
    }
    if (cell->dataCell && cell->dataCell != this)
        return;

    if (!textCell) {
        // The delegate took the data cell away: the text cell shows the value.
        initStyleOption(styleOption, index);
        if (cell->text.isEmpty())
            cell->text = styleOption->text;
    }
    styleOption->font = cell->font;
    styleOption->fontMetrics = QFontMetrics(cell->font);
    styleOption->displayAlignment = cell->alignment;
    if (cell->textColor.isValid())
        styleOption->palette.setColor(QPalette::Text, cell->textColor);
    if (!cell->image.isNull()) {
        styleOption->icon = cell->image;
        styleOption->features |= QStyleOptionViewItem::HasDecoration;
    }
    styleOption->text = cell->draw ? QString() : cell->text;
    if (cell->draw)
        styleOption->icon = QIcon();
}

QStyleOptionViewItem DMOutlineViewItemDelegate::dataCellOption(const QStyleOptionViewItem &option,
                                                                const DMOutlineCell &cell)
{
    // The data cell draws from the option as given, with what the delegate changed.
    QStyleOptionViewItem cellOption = option;
    cellOption.font = cell.font;
    cellOption.fontMetrics = QFontMetrics(cell.font);
    if (cell.textColor.isValid())
        cellOption.palette.setColor(QPalette::Text, cell.textColor);
    return cellOption;
}

void DMOutlineViewItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    DMOutlineCell cell;
    QStyleOptionViewItem styleOption;
    prepareCell(option, index, &cell, &styleOption);
    if (cell.dataCell && cell.dataCell != this) {
        cell.dataCell->paint(painter, dataCellOption(option, cell), index);
        return;
    }
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

int DMOutlineViewItemDelegate::widthOfValue(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    DMOutlineCell cell;
    QStyleOptionViewItem styleOption;
    prepareCell(option, index, &cell, &styleOption);
    if (cell.dataCell && cell.dataCell != this) {
        const int width = cell.dataCell->sizeHint(dataCellOption(option, cell), index).width();
        return width > 0 ? width : -1;
    }
    if (cell.draw)
        return -1;
    QStyle *style = styleOption.widget ? styleOption.widget->style() : QApplication::style();
    return style->sizeFromContents(QStyle::CT_ItemViewItem, &styleOption, QSize(), styleOption.widget).width();
}

QSize DMOutlineViewItemDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const
{
    // Widths come from the columns, never from content.
    return {0, m_outlineView->outlineModel()->rowHeightForIndex(index)};
}

// ---- Editing, handed on to the data cell that made the editor ----

QWidget *DMOutlineViewItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                                 const QModelIndex &index) const
{
    QAbstractItemDelegate *cell = dataCellForIndex(index);
    if (!cell || cell == this)
        return QStyledItemDelegate::createEditor(parent, option, index);
    QWidget *editor = cell->createEditor(parent, option, index);
    if (!editor)
        return nullptr;
    auto *self = const_cast<DMOutlineViewItemDelegate *>(this);
    m_editorCells.insert(editor, cell);
    connect(editor, &QObject::destroyed, self, [this](QObject *gone) { m_editorCells.remove(gone); });
    // The view listens to this delegate only: the cell's own commits and closes go through it.
    connect(cell, &QAbstractItemDelegate::commitData, self, &QAbstractItemDelegate::commitData, Qt::UniqueConnection);
    connect(cell, &QAbstractItemDelegate::closeEditor, self, &QAbstractItemDelegate::closeEditor, Qt::UniqueConnection);
    return editor;
}

QAbstractItemDelegate *DMOutlineViewItemDelegate::cellOfEditor(QWidget *editor) const
{
    return m_editorCells.value(editor).data();
}

void DMOutlineViewItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (QAbstractItemDelegate *cell = cellOfEditor(editor))
        cell->setEditorData(editor, index);
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void DMOutlineViewItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (QAbstractItemDelegate *cell = cellOfEditor(editor))
        cell->setModelData(editor, model, index);
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}

void DMOutlineViewItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                     const QModelIndex &index) const
{
    if (QAbstractItemDelegate *cell = cellOfEditor(editor))
        cell->updateEditorGeometry(editor, option, index);
    else
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
}

void DMOutlineViewItemDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    QAbstractItemDelegate *cell = cellOfEditor(editor);
    m_editorCells.remove(editor);
    if (cell)
        cell->destroyEditor(editor, index);
    else
        QStyledItemDelegate::destroyEditor(editor, index);
}

bool DMOutlineViewItemDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                            const QModelIndex &index)
{
    QAbstractItemDelegate *cell = dataCellForIndex(index);
    if (cell && cell != this)
        return cell->editorEvent(event, model, option, index);
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
