#include "DMOutlineViewModel.h"

#include "DMOutlineView.h"

#include <QMimeData>
#include <QSet>

#include <algorithm>

namespace {
constexpr int kUnknownHeight = -1;
constexpr int kDefaultHeight = -2; // the data source did not answer
} // namespace

struct DMOutlineViewModel::Node
{
    DMOutlineItem item = nullptr;
    Node *parent = nullptr;
    int indexInParent = 0;
    int height = kUnknownHeight;
    int visibleRow = -1;
    quint64 rowGeneration = 0;
    signed char expandable = -1; // -1: not asked yet
    bool childrenLoaded = false;
    bool expanded = false;
    std::vector<std::unique_ptr<Node>> children;
};

DMOutlineViewModel::DMOutlineViewModel(DMOutlineView *outlineView, QObject *parent)
    : QAbstractItemModel(parent), m_outlineView(outlineView), m_root(std::make_unique<Node>())
{
    m_root->expandable = 1;
    m_root->expanded = true;
}

DMOutlineViewModel::~DMOutlineViewModel()
{
    if (m_dataSource)
        std::erase(m_dataSource->m_registeredModels, this);
}

void DMOutlineViewModel::setDataSource(DMOutlineViewDataSource *dataSource)
{
    if (dataSource == m_dataSource)
        return;
    if (m_dataSource)
        std::erase(m_dataSource->m_registeredModels, this);
    if (dataSource)
        dataSource->m_registeredModels.push_back(this);
    resetTree(dataSource);
}

void DMOutlineViewModel::dataSourceDestroyed()
{
    // Called from the data source's destructor: its functions must no longer be called, not
    // even by views answering the reset.
    std::erase(m_dataSource->m_registeredModels, this);
    m_dataSource = nullptr;
    resetTree(nullptr);
}

void DMOutlineViewModel::resetTree(DMOutlineViewDataSource *dataSource)
{
    beginResetModel();
    invalidateRows();
    m_dataSource = dataSource;
    m_nodesByItem.clear();
    m_root->children.clear();
    m_root->childrenLoaded = false;
    endResetModel();
}

void DMOutlineViewModel::addTableColumn(const DMOutlineTableColumn &column)
{
    const int position = int(m_columns.size());
    beginInsertColumns(QModelIndex(), position, position);
    m_columns.push_back(column);
    endInsertColumns();
}

int DMOutlineViewModel::logicalColumnWithIdentifier(const QString &identifier) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].identifier == identifier)
            return int(i);
    }
    return -1;
}

void DMOutlineViewModel::setDataCellOfColumn(int logicalColumn, QAbstractItemDelegate *cell)
{
    if (logicalColumn < 0 || logicalColumn >= columnCount())
        return;
    m_columns[size_t(logicalColumn)].dataCell = cell;
}

void DMOutlineViewModel::setDefaultRowHeight(int height)
{
    height = std::max(1, height);
    if (height == m_defaultRowHeight)
        return;
    m_defaultRowHeight = height;
    invalidateRows();
}

// --- Tree ---

DMOutlineViewModel::Node *DMOutlineViewModel::nodeForIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return m_root.get();
    return static_cast<Node *>(index.internalPointer());
}

DMOutlineViewModel::Node *DMOutlineViewModel::nodeForItem(DMOutlineItem item) const
{
    if (!item)
        return m_root.get();
    loadChildren(m_root.get()); // the top level is always shown
    return m_nodesByItem.value(item, nullptr);
}

QModelIndex DMOutlineViewModel::indexForNode(const Node *node, int column) const
{
    if (!node || node == m_root.get())
        return {};
    return createIndex(node->indexInParent, column, const_cast<Node *>(node));
}

bool DMOutlineViewModel::isExpandable(Node *node) const
{
    if (node->expandable < 0)
        node->expandable = m_dataSource && m_dataSource->outlineViewIsItemExpandable(m_outlineView, node->item) ? 1 : 0;
    return node->expandable > 0;
}

void DMOutlineViewModel::loadChildren(Node *node) const
{
    if (node->childrenLoaded)
        return;
    node->childrenLoaded = true;
    if (!m_dataSource || !isExpandable(node))
        return;
    const int count = std::max(0, m_dataSource->outlineViewNumberOfChildrenOfItem(m_outlineView, node->item));
    node->children.reserve(size_t(count));
    // A long list (the top level of a large project) grows the item table once, not step by step.
    m_nodesByItem.reserve(m_nodesByItem.size() + count);
    for (int i = 0; i < count; ++i) {
        auto child = std::make_unique<Node>();
        child->item = m_dataSource->outlineViewChildOfItem(m_outlineView, i, node->item);
        child->parent = node;
        child->indexInParent = i;
        if (child->item)
            m_nodesByItem.insert(child->item, child.get());
        node->children.push_back(std::move(child));
    }
}

void DMOutlineViewModel::forgetSubtree(Node *node)
{
    std::vector<Node *> stack{node};
    while (!stack.empty()) {
        Node *current = stack.back();
        stack.pop_back();
        // A duplicate item may map to another node; only drop entries that point here.
        auto it = m_nodesByItem.find(current->item);
        if (it != m_nodesByItem.end() && it.value() == current)
            m_nodesByItem.erase(it);
        for (const auto &child : current->children)
            stack.push_back(child.get());
    }
}

int DMOutlineViewModel::heightOfNode(Node *node) const
{
    if (node->height == kUnknownHeight) {
        const std::optional<int> answer =
            m_dataSource ? m_dataSource->outlineViewHeightOfRowByItem(m_outlineView, node->item) : std::nullopt;
        node->height = answer ? std::max(1, *answer) : kDefaultHeight;
    }
    return node->height == kDefaultHeight ? m_defaultRowHeight : node->height;
}

DMOutlineItem DMOutlineViewModel::itemForIndex(const QModelIndex &index) const
{
    return index.isValid() ? nodeForIndex(index)->item : nullptr;
}

QModelIndex DMOutlineViewModel::indexForItem(DMOutlineItem item, int column) const
{
    return item ? indexForNode(nodeForItem(item), column) : QModelIndex();
}

DMOutlineItem DMOutlineViewModel::parentForItem(DMOutlineItem item) const
{
    const Node *node = item ? nodeForItem(item) : nullptr;
    return node && node->parent ? node->parent->item : nullptr;
}

int DMOutlineViewModel::levelForIndex(const QModelIndex &index) const
{
    int level = -1;
    for (const Node *node = nodeForIndex(index); node && node != m_root.get(); node = node->parent)
        ++level;
    return level;
}

int DMOutlineViewModel::numberOfChildrenOfItem(DMOutlineItem item) const
{
    Node *node = nodeForItem(item);
    if (!node)
        return 0;
    loadChildren(node);
    return int(node->children.size());
}

int DMOutlineViewModel::childIndexOfItem(DMOutlineItem item) const
{
    const Node *node = item ? nodeForItem(item) : nullptr;
    return node ? node->indexInParent : -1;
}

bool DMOutlineViewModel::isIndexExpandable(const QModelIndex &index) const
{
    return index.isValid() && isExpandable(nodeForIndex(index));
}

int DMOutlineViewModel::rowHeightForIndex(const QModelIndex &index) const
{
    return index.isValid() ? heightOfNode(nodeForIndex(index)) : 0;
}

bool DMOutlineViewModel::isIndexAncestorOf(const QModelIndex &ancestor, const QModelIndex &index) const
{
    const Node *target = nodeForIndex(ancestor);
    for (const Node *node = nodeForIndex(index); node; node = node->parent) {
        if (node == target)
            return true;
    }
    return false;
}

void DMOutlineViewModel::setIndexExpanded(const QModelIndex &index, bool expanded)
{
    if (!index.isValid())
        return;
    Node *node = nodeForIndex(index);
    if (node->expanded == expanded)
        return;
    node->expanded = expanded;
    if (expanded)
        loadChildren(node); // its children are shown, so they become known by item
    invalidateRows();
}

bool DMOutlineViewModel::isIndexExpanded(const QModelIndex &index) const
{
    return index.isValid() && nodeForIndex(index)->expanded;
}

bool DMOutlineViewModel::isItemExpanded(DMOutlineItem item) const
{
    const Node *node = item ? nodeForItem(item) : nullptr;
    return node && node->expanded;
}

// --- Reloading ---

void DMOutlineViewModel::reloadData()
{
    rebuildChildren(m_root.get());
}

void DMOutlineViewModel::reloadItem(DMOutlineItem item, bool reloadChildren)
{
    if (!item) {
        reloadData();
        return;
    }
    Node *node = nodeForItem(item);
    if (!node)
        return;
    node->height = kUnknownHeight;
    m_paintedNode = nullptr;
    const signed char wasExpandable = node->expandable;
    node->expandable = -1;
    // Children that appear or vanish change the row count: only a rebuild may report that.
    if (node->childrenLoaded && wasExpandable >= 0 && (wasExpandable > 0) != isExpandable(node))
        reloadChildren = true;
    if (reloadChildren)
        rebuildChildren(node);
    else
        invalidateRows();
    if (columnCount() > 0)
        emit dataChanged(indexForNode(node, 0), indexForNode(node, columnCount() - 1));
}

// Replaces the children of a node by what the data source answers now, as one layout change:
// nodes loaded before are loaded again and keep their expansion when their item is still
// there, and persistent indexes follow their items.
void DMOutlineViewModel::rebuildChildren(Node *node)
{
    if (!node->childrenLoaded)
        return;
    // Most reloads find the tree as it was (an undo of a drag changes dates, not rows): then the
    // rows, their heights and the views' layout stay, and only the values are shown again.
    if (subtreeMatchesDataSource(node))
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    struct Remembered
    {
        bool loaded;
        bool expanded;
    };
    QHash<DMOutlineItem, Remembered> remembered;
    std::vector<Node *> stack;
    for (const auto &child : node->children)
        stack.push_back(child.get());
    while (!stack.empty()) {
        Node *current = stack.back();
        stack.pop_back();
        if (current->item)
            remembered.insert(current->item, {current->childrenLoaded, current->expanded});
        for (const auto &child : current->children)
            stack.push_back(child.get());
    }

    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList from;
    std::vector<std::pair<DMOutlineItem, int>> targets;
    for (const QModelIndex &index : persistent) {
        Node *indexed = nodeForIndex(index);
        if (indexed != node && isIndexAncestorOf(indexForNode(node), index)) {
            from.append(index);
            targets.emplace_back(indexed->item, index.column());
        }
    }

    invalidateRows();
    for (const auto &child : node->children)
        forgetSubtree(child.get());
    node->children.clear();
    node->childrenLoaded = false;
    loadChildren(node);
    for (const auto &child : node->children)
        stack.push_back(child.get());
    while (!stack.empty()) {
        Node *current = stack.back();
        stack.pop_back();
        const auto it = remembered.constFind(current->item);
        if (!current->item || it == remembered.constEnd())
            continue;
        current->expanded = it->expanded;
        if (it->loaded || it->expanded) {
            loadChildren(current);
            for (const auto &child : current->children)
                stack.push_back(child.get());
        }
    }

    QModelIndexList to;
    to.reserve(from.size());
    for (const auto &[item, column] : targets)
        to.append(item ? indexForNode(m_nodesByItem.value(item, nullptr), column) : QModelIndex());
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// Whether the data source answers for the loaded part of the subtree below the node what the
// tree holds: the same children in the same order, and the same expandability and heights
// where they were asked.
bool DMOutlineViewModel::subtreeMatchesDataSource(Node *node) const
{
    if (!m_dataSource)
        return false;
    std::vector<Node *> stack{node};
    while (!stack.empty()) {
        Node *current = stack.back();
        stack.pop_back();
        if (!current->childrenLoaded)
            continue;
        const int count = isExpandable(current)
            ? std::max(0, m_dataSource->outlineViewNumberOfChildrenOfItem(m_outlineView, current->item))
            : 0;
        if (count != int(current->children.size()))
            return false;
        for (int i = 0; i < count; ++i) {
            Node *child = current->children[size_t(i)].get();
            if (m_dataSource->outlineViewChildOfItem(m_outlineView, i, current->item) != child->item)
                return false;
            if (child->expandable >= 0
                && (child->expandable > 0) != m_dataSource->outlineViewIsItemExpandable(m_outlineView, child->item))
                return false;
            if (child->height != kUnknownHeight) {
                const std::optional<int> answer = m_dataSource->outlineViewHeightOfRowByItem(m_outlineView, child->item);
                if ((answer ? std::max(1, *answer) : kDefaultHeight) != child->height)
                    return false;
            }
            stack.push_back(child);
        }
    }
    return true;
}

// --- Rows shown ---

void DMOutlineViewModel::invalidateRows()
{
    m_paintedNode = nullptr; // nodes may go; a value kept while painting is asked again
    if (!m_rowsValid)
        return;
    m_rowsValid = false;
    ++m_rowsGeneration;
    m_rows.clear();
    m_rowTops.clear();
    emit rowLayoutChanged();
}

void DMOutlineViewModel::validateRows() const
{
    if (m_rowsValid)
        return;
    m_rowsValid = true;
    m_rows.clear();
    m_rowTops.clear();
    loadChildren(m_root.get());
    // Depth first, children in order: push them reversed onto the stack.
    std::vector<Node *> stack;
    for (auto it = m_root->children.rbegin(); it != m_root->children.rend(); ++it)
        stack.push_back(it->get());
    int top = 0;
    int firstHeight = -1;
    m_rowsHaveOneHeight = true;
    while (!stack.empty()) {
        Node *node = stack.back();
        stack.pop_back();
        node->visibleRow = int(m_rows.size());
        node->rowGeneration = m_rowsGeneration;
        m_rows.push_back(node);
        m_rowTops.push_back(top);
        const int height = heightOfNode(node);
        if (firstHeight < 0)
            firstHeight = height;
        else if (height != firstHeight)
            m_rowsHaveOneHeight = false;
        top += height;
        if (node->expanded && isExpandable(node)) {
            loadChildren(node);
            for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
                stack.push_back(it->get());
        }
    }
    m_rowTops.push_back(top);
}

int DMOutlineViewModel::numberOfRows() const
{
    validateRows();
    return int(m_rows.size());
}

DMOutlineItem DMOutlineViewModel::itemAtRow(int row) const
{
    validateRows();
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)]->item : nullptr;
}

QModelIndex DMOutlineViewModel::indexForRow(int row, int column) const
{
    validateRows();
    return row >= 0 && row < int(m_rows.size()) ? indexForNode(m_rows[size_t(row)], column) : QModelIndex();
}

int DMOutlineViewModel::rowForItem(DMOutlineItem item) const
{
    if (!item)
        return -1;
    validateRows();
    const Node *node = nodeForItem(item);
    return node && node->rowGeneration == m_rowsGeneration ? node->visibleRow : -1;
}

int DMOutlineViewModel::rowForIndex(const QModelIndex &index) const
{
    if (!index.isValid())
        return -1;
    validateRows();
    const Node *node = nodeForIndex(index);
    return node->rowGeneration == m_rowsGeneration ? node->visibleRow : -1;
}

int DMOutlineViewModel::topOfRow(int row) const
{
    validateRows();
    return row >= 0 && row < int(m_rows.size()) ? m_rowTops[size_t(row)] : -1;
}

int DMOutlineViewModel::heightOfRow(int row) const
{
    validateRows();
    return row >= 0 && row < int(m_rows.size()) ? m_rowTops[size_t(row) + 1] - m_rowTops[size_t(row)] : 0;
}

int DMOutlineViewModel::rowAtY(int y) const
{
    validateRows();
    if (m_rows.empty() || y < 0 || y >= m_rowTops.back())
        return -1;
    // The row is the last one whose top is at or above y.
    const auto it = std::upper_bound(m_rowTops.begin(), m_rowTops.end(), y);
    return int(it - m_rowTops.begin()) - 1;
}

int DMOutlineViewModel::totalHeightOfRows() const
{
    validateRows();
    return m_rowTops.back();
}

bool DMOutlineViewModel::rowsHaveOneHeight() const
{
    validateRows();
    return m_rowsHaveOneHeight;
}

bool DMOutlineViewModel::rowsBelowIndexHaveHeight(const QModelIndex &index, int height) const
{
    if (!index.isValid())
        return rowsHaveOneHeight() && (numberOfRows() == 0 || heightOfRow(0) == height);
    std::vector<Node *> stack{nodeForIndex(index)};
    while (!stack.empty()) {
        Node *node = stack.back();
        stack.pop_back();
        if (!node->expanded || !isExpandable(node))
            continue;
        loadChildren(node);
        for (const auto &child : node->children) {
            if (heightOfNode(child.get()) != height)
                return false;
            stack.push_back(child.get());
        }
    }
    return true;
}

// --- Drops ---

Qt::DropAction DMOutlineViewModel::validateDrop(const DMDraggingInfo &info, DMOutlineItem item, int childIndex)
{
    if (!m_dataSource)
        return Qt::IgnoreAction;
    return m_dataSource->outlineViewValidateDropProposedItemProposedChildIndex(m_outlineView, info, item, childIndex);
}

bool DMOutlineViewModel::acceptDrop(const DMDraggingInfo &info, DMOutlineItem item, int childIndex)
{
    return m_dataSource && m_dataSource->outlineViewAcceptDropItemChildIndex(m_outlineView, info, item, childIndex);
}

// --- QAbstractItemModel ---

QModelIndex DMOutlineViewModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount() || (parent.isValid() && parent.column() != 0))
        return {};
    Node *node = nodeForIndex(parent);
    if (node != m_root.get() && !isExpandable(node))
        return {};
    loadChildren(node);
    if (row >= int(node->children.size()))
        return {};
    return createIndex(row, column, node->children[size_t(row)].get());
}

QModelIndex DMOutlineViewModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    return indexForNode(nodeForIndex(child)->parent);
}

QModelIndex DMOutlineViewModel::sibling(int row, int column, const QModelIndex &index) const
{
    if (index.isValid() && row == index.row() && column >= 0 && column < columnCount())
        return createIndex(row, column, index.internalPointer());
    return QAbstractItemModel::sibling(row, column, index);
}

int DMOutlineViewModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    Node *node = nodeForIndex(parent);
    if (node != m_root.get() && !isExpandable(node))
        return 0;
    loadChildren(node);
    return int(node->children.size());
}

int DMOutlineViewModel::columnCount(const QModelIndex &) const
{
    return int(m_columns.size());
}

bool DMOutlineViewModel::hasChildren(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return false;
    Node *node = nodeForIndex(parent);
    if (node == m_root.get())
        return rowCount() > 0;
    // Expandable items show as such before their children are asked for.
    return isExpandable(node) && (!node->childrenLoaded || !node->children.empty());
}

QVariant DMOutlineViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_dataSource)
        return {};
    const QString &column = m_columns[size_t(index.column())].identifier;
    if (role == Qt::ToolTipRole) {
        DMOutlineViewDelegate *delegate = m_outlineView ? m_outlineView->delegate() : nullptr;
        const QString tip = delegate ? delegate->outlineViewToolTipForTableColumnItem(m_outlineView, column,
                                                                                      nodeForIndex(index)->item)
                                     : QString();
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const Node *node = nodeForIndex(index);
    if (!m_painting)
        return m_dataSource->outlineViewObjectValueForTableColumnByItem(m_outlineView, column, node->item);
    if (node != m_paintedNode || index.column() != m_paintedColumn) {
        m_paintedValue = m_dataSource->outlineViewObjectValueForTableColumnByItem(m_outlineView, column, node->item);
        m_paintedNode = node;
        m_paintedColumn = index.column();
    }
    return m_paintedValue;
}

void DMOutlineViewModel::setPainting(bool painting)
{
    m_painting = painting;
    m_paintedNode = nullptr;
    m_paintedColumn = -1;
    m_paintedValue.clear();
}

bool DMOutlineViewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !m_dataSource || role != Qt::EditRole)
        return false;
    m_dataSource->outlineViewSetObjectValueForTableColumnByItem(
        m_outlineView, value, m_columns[size_t(index.column())].identifier, nodeForIndex(index)->item);
    // The data source may have refused or adjusted the value: show what it holds now.
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags DMOutlineViewModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (m_columns[size_t(index.column())].editable)
        flags |= Qt::ItemIsEditable;
    if (!isExpandable(nodeForIndex(index)))
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

QVariant DMOutlineViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return m_columns[size_t(section)].title;
}

QStringList DMOutlineViewModel::mimeTypes() const
{
    return m_draggedTypes;
}

QMimeData *DMOutlineViewModel::mimeData(const QModelIndexList &indexes) const
{
    if (!m_dataSource)
        return nullptr;
    // One entry per item (a row has an index per column), in the order of the rows shown.
    std::vector<std::pair<int, DMOutlineItem>> rows;
    QSet<DMOutlineItem> seen;
    for (const QModelIndex &index : indexes) {
        const DMOutlineItem item = itemForIndex(index);
        if (item && !seen.contains(item)) {
            seen.insert(item);
            rows.emplace_back(rowForIndex(index), item);
        }
    }
    if (rows.empty())
        return nullptr;
    std::sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<DMOutlineItem> items;
    for (const auto &row : rows)
        items.append(row.second);
    auto data = std::make_unique<QMimeData>();
    if (!m_dataSource->outlineViewWriteItemsToPasteboard(m_outlineView, items, data.get()))
        return nullptr;
    return data.release();
}

bool DMOutlineViewModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                         const QModelIndex &parent) const
{
    const DMDraggingInfo info{data, nullptr, action};
    return const_cast<DMOutlineViewModel *>(this)->validateDrop(info, itemForIndex(parent), row) != Qt::IgnoreAction;
}

bool DMOutlineViewModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                      const QModelIndex &parent)
{
    const DMDraggingInfo info{data, nullptr, action};
    const DMOutlineItem item = itemForIndex(parent);
    return validateDrop(info, item, row) != Qt::IgnoreAction && acceptDrop(info, item, row);
}

Qt::DropActions DMOutlineViewModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions DMOutlineViewModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}
