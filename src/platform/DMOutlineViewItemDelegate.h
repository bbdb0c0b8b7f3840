#pragma once

#include <QHash>
#include <QPointer>
#include <QStyledItemDelegate>

class DMOutlineView;
struct DMOutlineCell;

// Draws and edits the cells of a DMOutlineView. Each cell is first shown to the outline's
// delegate (willDisplayCell), whatever draws it: the outline's own text drawing, or the cell's
// data cell (a date cell, an empty cell), to which painting and editing are handed on. Every
// row is as high as the outline's model caches, so that size queries cost nothing.
class DMOutlineViewItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit DMOutlineViewItemDelegate(DMOutlineView *outlineView);

    // The data cell of the index: the delegate's answer for its row, else its column's; null for
    // the outline's own text cell.
    QAbstractItemDelegate *dataCellForIndex(const QModelIndex &index) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The width the cell's value takes when drawn with the option (its text and image with their
    // margins, or what its data cell asks for); -1 for a cell that draws itself into whatever
    // width it is given.
    int widthOfValue(const QStyleOptionViewItem &option, const QModelIndex &index) const;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    QAbstractItemDelegate *cellOfEditor(QWidget *editor) const;
    void prepareCell(const QStyleOptionViewItem &option, const QModelIndex &index, DMOutlineCell *cell,
                     QStyleOptionViewItem *styleOption) const;
    static QStyleOptionViewItem dataCellOption(const QStyleOptionViewItem &option, const DMOutlineCell &cell);

    DMOutlineView *m_outlineView;
    // The data cell that made each open editor, which sees it through to its end.
    mutable QHash<const QObject *, QPointer<QAbstractItemDelegate>> m_editorCells;
};
