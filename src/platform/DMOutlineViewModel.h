#pragma once

#include "DMOutlineViewDataSource.h"

#include <QAbstractItemModel>
#include <QAbstractItemDelegate>
#include <QHash>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

// One column of an outline, found by its identifier.
struct DMOutlineTableColumn
{
    DMOutlineTableColumn(const QString &identifier = QString(), const QString &title = QString(), int width = 100)
        : identifier(identifier), title(title), width(width)
    {
    }

    QString identifier;
    QString title;
    int width = 100;
    bool editable = true; // the delegate still decides each edit
    bool hidden = false;
    // The key a click on the column's header sorts by; empty: the header does not sort.
    QString sortKey;
    // Draws and edits the column's cells; null: the outline's text cell. Owned by the view.
    QPointer<QAbstractItemDelegate> dataCell;
};

// The adapter between a DMOutlineViewDataSource and Qt's item views. It asks the data source for
// the tree lazily, one node's children when that node is first shown or asked for, and caches
// the tree and the row heights until reloadData or reloadItem. Items map to indexes both ways in
// constant time.
//
// It also keeps the rows an outline shows (the children of expanded nodes, in order) with the
// top and height of each, so that the row at a y and the rectangle of a row are cheap; the
// list is rebuilt only after something changed. The view tells it what is expanded.
class DMOutlineViewModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // outlineView is handed to the data source's functions; it may be null.
    explicit DMOutlineViewModel(DMOutlineView *outlineView = nullptr, QObject *parent = nullptr);
    ~DMOutlineViewModel() override;

    // Not owned; registers with it, so that its destruction detaches this model.
    void setDataSource(DMOutlineViewDataSource *dataSource);
    DMOutlineViewDataSource *dataSource() const { return m_dataSource; }

    void addTableColumn(const DMOutlineTableColumn &column);
    const std::vector<DMOutlineTableColumn> &tableColumns() const { return m_columns; }
    int logicalColumnWithIdentifier(const QString &identifier) const;
    void setDataCellOfColumn(int logicalColumn, QAbstractItemDelegate *cell);
    void setDraggedTypes(const QStringList &types) { m_draggedTypes = types; }

    // Height of a row whose data source does not answer one.
    void setDefaultRowHeight(int height);
    int defaultRowHeight() const { return m_defaultRowHeight; }

    // Asks the data source again for everything loaded so far. Items that are still there keep
    // their expansion, and indexes that point at them (selection, current item) follow them.
    void reloadData();
    // Asks again for the item's value, height and expandability, and with reloadChildren for
    // its whole subtree. An item that was never shown is ignored.
    void reloadItem(DMOutlineItem item, bool reloadChildren);

    // The tree as loaded. A null item is the root.
    DMOutlineItem itemForIndex(const QModelIndex &index) const;
    QModelIndex indexForItem(DMOutlineItem item, int column = 0) const;
    DMOutlineItem parentForItem(DMOutlineItem item) const;
    int levelForIndex(const QModelIndex &index) const; // 0 for the top level
    int numberOfChildrenOfItem(DMOutlineItem item) const;
    int childIndexOfItem(DMOutlineItem item) const; // -1 when unknown
    bool isIndexExpandable(const QModelIndex &index) const;
    int rowHeightForIndex(const QModelIndex &index) const;
    bool isIndexAncestorOf(const QModelIndex &ancestor, const QModelIndex &index) const;

    // The view reports expansion here; nothing is asked of the data source beyond loading.
    void setIndexExpanded(const QModelIndex &index, bool expanded);
    bool isIndexExpanded(const QModelIndex &index) const;
    bool isItemExpanded(DMOutlineItem item) const;

    // Rows shown, counted from 0 at the top, in pixels from the top of the first row.
    int numberOfRows() const;
    DMOutlineItem itemAtRow(int row) const;
    QModelIndex indexForRow(int row, int column = 0) const;
    int rowForItem(DMOutlineItem item) const; // -1 when not shown
    int rowForIndex(const QModelIndex &index) const;
    int topOfRow(int row) const;
    int heightOfRow(int row) const;
    int rowAtY(int y) const; // -1 above the first or below the last row
    int totalHeightOfRows() const;
    // True when every row shown is as high as the first (or none is shown).
    bool rowsHaveOneHeight() const;
    // True when the rows the expanded index shows (its children, and theirs while expanded) are
    // all `height` high: a walk of those rows only.
    bool rowsBelowIndexHaveHeight(const QModelIndex &index, int height) const;

    // While the view paints, the value of the cell asked for last is kept: drawing a cell asks
    // for it several times (style option, delegate, data cell), and nothing changes meanwhile.
    void setPainting(bool painting);

    // Drops, in the data source's terms; the view and the Qt drop functions below use them.
    Qt::DropAction validateDrop(const DMDraggingInfo &info, DMOutlineItem item, int childIndex);
    bool acceptDrop(const DMDraggingInfo &info, DMOutlineItem item, int childIndex);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

signals:
    // The rows shown, their order or their heights became stale. Emitted once until the rows
    // are asked for again, so a listener may simply re-read them.
    void rowLayoutChanged();

private:
    friend class DMOutlineViewDataSource;
    struct Node;

    void dataSourceDestroyed();
    void resetTree(DMOutlineViewDataSource *dataSource);
    Node *nodeForIndex(const QModelIndex &index) const;
    Node *nodeForItem(DMOutlineItem item) const;
    QModelIndex indexForNode(const Node *node, int column = 0) const;
    bool isExpandable(Node *node) const;
    void loadChildren(Node *node) const;
    void forgetSubtree(Node *node);
    void rebuildChildren(Node *node);
    bool subtreeMatchesDataSource(Node *node) const;
    int heightOfNode(Node *node) const;
    void invalidateRows();
    void validateRows() const;

    DMOutlineView *m_outlineView;
    DMOutlineViewDataSource *m_dataSource = nullptr;
    std::vector<DMOutlineTableColumn> m_columns;
    QStringList m_draggedTypes;
    int m_defaultRowHeight = 20;

    std::unique_ptr<Node> m_root;
    mutable QHash<DMOutlineItem, Node *> m_nodesByItem;

    // Rows shown: valid while m_rowsValid; a node's row is current when its generation matches.
    mutable bool m_rowsValid = false;
    mutable quint64 m_rowsGeneration = 1;
    mutable std::vector<Node *> m_rows;
    mutable std::vector<int> m_rowTops; // one more than rows: the last is the total height
    mutable bool m_rowsHaveOneHeight = true;

    bool m_painting = false;
    mutable const Node *m_paintedNode = nullptr;
    mutable int m_paintedColumn = -1;
    mutable QVariant m_paintedValue;
};
