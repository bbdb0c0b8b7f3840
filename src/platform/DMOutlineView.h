#pragma once

#include "DMOutlineViewDataSource.h"
#include "DMOutlineViewDelegate.h"
#include "DMOutlineViewModel.h"

#include <QMenu>
#include <QPointer>
#include <QTreeView>

// An outline (or, with a flat data source, a table) whose rows come from a data source and
// whose decisions come from a delegate; both are borrowed and cleared when destroyed. Each
// outline asks only its own: a window with several outlines gives each the controller that
// serves it, and an outline given none shows nothing and takes every default.
//
// Rows are counted from 0 at the top over the rows shown. Geometry is in content coordinates:
// y from the top of the first row and x from the left of the first column, whatever the
// scroll position (contentOffset() converts to the viewport). Rows may differ in height; the
// rows shown and their tops are cached, so rowAtPoint, rectOfRow and rowForItem are cheap.
//
// Expand and collapse through this class (or the user); QTreeView's expandAll,
// expandToDepth and collapseAll bypass the delegate and are not to be used.
class DMOutlineView : public QTreeView
{
    Q_OBJECT

public:
    explicit DMOutlineView(QWidget *parent = nullptr);
    ~DMOutlineView() override;

    // Setting a data source shows its tree from scratch.
    void setDataSource(DMOutlineViewDataSource *dataSource);
    DMOutlineViewDataSource *dataSource() const { return m_model->dataSource(); }
    void setDelegate(DMOutlineViewDelegate *delegate);
    DMOutlineViewDelegate *delegate() const { return m_delegate; }
    DMOutlineViewModel *outlineModel() const { return m_model; }

    // Columns. Positions count every column, hidden ones included, in the order shown.
    void addTableColumn(const DMOutlineTableColumn &column);
    int numberOfColumns() const;
    QStringList tableColumnIdentifiers() const;
    int columnWithIdentifier(const QString &identifier) const; // -1 when absent
    void moveColumnToColumn(int from, int to);
    void setTableColumnHidden(const QString &identifier, bool hidden);
    bool isTableColumnHidden(const QString &identifier) const;
    // The cell that draws and edits a column's cells (the delegate may answer another per row);
    // the view takes it over. Null gives the column back the outline's text cell.
    void setDataCellForTableColumn(const QString &identifier, QAbstractItemDelegate *cell);
    QAbstractItemDelegate *dataCellForTableColumn(const QString &identifier) const;
    // The menu a right click on the column headers shows; not owned. Null: none.
    void setHeaderMenu(QMenu *menu);
    QMenu *headerMenu() const { return m_headerMenu; }
    // The sort order the column headers were clicked into, the last click first.
    const QList<DMSortDescriptor> &sortDescriptors() const { return m_sortDescriptors; }

    // Height of rows whose data source answers none.
    void setRowHeight(int height);
    int rowHeight() const { return m_model->defaultRowHeight(); }

    void reloadData();
    void reloadItem(DMOutlineItem item) { reloadItemReloadChildren(item, false); }
    void reloadItemReloadChildren(DMOutlineItem item, bool reloadChildren);

    // Draws again the cells of these columns in the rows of these items that are shown, or in
    // every row shown when items is null; nothing else is drawn.
    void updateCellsOfColumns(const QStringList &identifiers, const QList<DMOutlineItem> *items = nullptr);

    int numberOfRows() const { return m_model->numberOfRows(); }
    DMOutlineItem itemAtRow(int row) const { return m_model->itemAtRow(row); }
    int rowForItem(DMOutlineItem item) const { return m_model->rowForItem(item); }
    DMOutlineItem parentForItem(DMOutlineItem item) const { return m_model->parentForItem(item); }
    int levelForRow(int row) const;
    int rowAtPoint(const QPoint &contentPoint) const; // -1 outside the rows; x is not looked at
    QRect rectOfRow(int row) const; // empty for a row that does not exist
    QRect frameOfCellAtColumnRow(int column, int row) const; // the outline column's starts after its indentation
    QPoint contentOffset() const { return {horizontalOffset(), verticalOffset()}; }
    void scrollRowToVisible(int row);

    // Expansion asks the delegate first; an item that is not expandable is left alone.
    bool isItemExpandable(DMOutlineItem item) const;
    bool isItemExpanded(DMOutlineItem item) const { return m_model->isItemExpanded(item); }
    void expandItem(DMOutlineItem item) { expandItemExpandChildren(item, false); }
    // A null item with expandChildren expands everything; below an item whose expansion the
    // delegate refuses nothing is expanded.
    void expandItemExpandChildren(DMOutlineItem item, bool expandChildren);
    void collapseItem(DMOutlineItem item);

    // Selection of whole rows. The user's changes ask the delegate (selectionShouldChange,
    // shouldSelectItem, selectionIndexesForProposedSelection); selecting by program does not. It
    // is told of either change.
    QList<int> selectedRowIndexes() const; // ascending
    int selectedRow() const; // the first, or -1
    void selectRowIndexesByExtendingSelection(const QList<int> &rows, bool extend);
    void deselectAll();

    // Drops carrying one of these types reach the data source.
    void registerForDraggedTypes(const QStringList &types);

    // Where a drop at this viewport point goes: a parent (null: the top level) and a child index
    // (-1: onto the parent), with the line or row to highlight, in content coordinates.
    struct DropProposal
    {
        DMOutlineItem item = nullptr;
        int childIndex = -1;
        QRect indicator;
    };
    DropProposal dropProposalAtPoint(const QPoint &viewportPoint) const;

    // Typing never selects a row by its text.
    void keyboardSearch(const QString &) override {}
    // The column that Return, Enter and F2 edit in the (first) selected row, as a double click
    // on its cell does; empty (the default) leaves those keys to the view.
    void setKeyboardEditedColumn(const QString &identifier) { m_keyboardEditedColumn = identifier; }
    // Opens the editor of the next (or previous) cell of the item's row after (before) the column,
    // in the order the columns are shown, that is edited in place: its column is shown and
    // editable, the delegate edits it in the outline, and it opens an editor (a check box cell
    // opens none). Tab and Shift+Tab in an editor come here. False, with the keyboard left to the
    // outline, when the row has no such cell.
    bool editAdjacentCellOfItem(DMOutlineItem item, const QString &column, bool forward);

signals:
    // Rows shown, their order or their heights changed (see DMOutlineViewModel).
    void rowLayoutChanged();
    void selectionDidChange();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void updateGeometries() override;
    void showEvent(QShowEvent *event) override;
    void doItemsLayout() override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

private:
    // Under a hidden header that stretches its last column, that column ends at the viewport's
    // right edge, as it would under the header shown.
    void stretchLastColumnUnderHiddenHeader();
    friend class DMOutlineViewDelegate;

    void onHeaderSectionClicked(int logicalIndex);
    void onExpanded(const QModelIndex &index);
    void onCollapsed(const QModelIndex &index);
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onModelRowLayoutChanged();
    void selectRows(const QList<int> &rows, QItemSelectionModel::SelectionFlags flags);
    bool expandIndex(const QModelIndex &index);
    bool carriesRegisteredType(const QMimeData *data) const;
    DMDraggingInfo draggingInfo(const QDropEvent *event) const;
    void setDropIndicator(const QRect &indicator);
    void measureEveryRow();
    void keepRowHeightsOfRowsBelow(const QModelIndex &index);

    DMOutlineViewModel *m_model;
    DMOutlineViewDelegate *m_delegate = nullptr;
    QStringList m_draggedTypes;
    QPointer<QMenu> m_headerMenu;
    QList<DMSortDescriptor> m_sortDescriptors;
    QString m_keyboardEditedColumn;
    // The cell whose editor is open: Tab moves on from it, whatever its row's index became.
    DMOutlineItem m_editedItem = nullptr;
    QString m_editedColumn;
    QRect m_dropIndicator; // content coordinates; empty when no drop is proposed
    bool m_silentExpansion = false; // undoing a refused expansion or collapse
    bool m_programmaticSelection = false; // selected by program: the delegate is not asked
    bool m_adjustingSelection = false; // replacing a selection the delegate changed
    int m_batchDepth = 0;
    bool m_rowLayoutSignalHeld = false;
    bool m_geometriesStale = false; // asked for while hidden, done when shown
    int m_uniformRowHeight = 0; // of every row while the tree view takes rows to be of one height
};
