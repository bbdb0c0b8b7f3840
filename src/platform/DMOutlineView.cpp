#include "DMOutlineView.h"

#include "DMOutlineViewItemDelegate.h"

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSet>

#include <algorithm>

DMOutlineView::DMOutlineView(QWidget *parent)
    : QTreeView(parent), m_model(new DMOutlineViewModel(this, this))
{
    m_model->setDefaultRowHeight(fontMetrics().height() + 4);
    setModel(m_model);
    setItemDelegate(new DMOutlineViewItemDelegate(this));
    setVerticalScrollMode(ScrollPerPixel);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed);
    setExpandsOnDoubleClick(false); // a double click edits; the disclosure triangle expands
    setAnimated(false);
    setDragEnabled(true);
    setDropIndicatorShown(false); // this class draws its own, from the data source's proposal
    header()->setSectionsMovable(true);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, &DMOutlineView::onHeaderSectionClicked);

    connect(this, &QTreeView::expanded, this, &DMOutlineView::onExpanded);
    connect(this, &QTreeView::collapsed, this, &DMOutlineView::onCollapsed);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &DMOutlineView::onSelectionChanged);
    connect(m_model, &DMOutlineViewModel::rowLayoutChanged, this, &DMOutlineView::onModelRowLayoutChanged);
}

DMOutlineView::~DMOutlineView()
{
    setDelegate(nullptr);
    m_model->setDataSource(nullptr);
}

void DMOutlineView::setDataSource(DMOutlineViewDataSource *dataSource)
{
    m_model->setDataSource(dataSource);
}

void DMOutlineView::setDelegate(DMOutlineViewDelegate *delegate)
{
    if (delegate == m_delegate)
        return;
    if (m_delegate)
        std::erase(m_delegate->m_registeredViews, this);
    m_delegate = delegate;
    if (m_delegate)
        m_delegate->m_registeredViews.push_back(this);
}

// --- Columns ---

void DMOutlineView::addTableColumn(const DMOutlineTableColumn &column)
{
    m_model->addTableColumn(column);
    const int logical = m_model->columnCount() - 1;
    header()->resizeSection(logical, column.width);
    setColumnHidden(logical, column.hidden);
}

int DMOutlineView::numberOfColumns() const
{
    return header()->count();
}

QStringList DMOutlineView::tableColumnIdentifiers() const
{
    QStringList identifiers;
    for (int visual = 0; visual < header()->count(); ++visual)
        identifiers.append(m_model->tableColumns()[size_t(header()->logicalIndex(visual))].identifier);
    return identifiers;
}

int DMOutlineView::columnWithIdentifier(const QString &identifier) const
{
    const int logical = m_model->logicalColumnWithIdentifier(identifier);
    return logical < 0 ? -1 : header()->visualIndex(logical);
}

void DMOutlineView::moveColumnToColumn(int from, int to)
{
    const int count = header()->count();
    if (from >= 0 && from < count && to >= 0 && to < count)
        header()->moveSection(from, to);
}

void DMOutlineView::setTableColumnHidden(const QString &identifier, bool hidden)
{
    const int logical = m_model->logicalColumnWithIdentifier(identifier);
    if (logical >= 0)
        setColumnHidden(logical, hidden);
}

bool DMOutlineView::isTableColumnHidden(const QString &identifier) const
{
    const int logical = m_model->logicalColumnWithIdentifier(identifier);
    return logical >= 0 && isColumnHidden(logical);
}

void DMOutlineView::setDataCellForTableColumn(const QString &identifier, QAbstractItemDelegate *cell)
{
    const int logical = m_model->logicalColumnWithIdentifier(identifier);
    if (logical < 0)
        return;
    if (cell)
        cell->setParent(this);
    m_model->setDataCellOfColumn(logical, cell);
    viewport()->update();
}

QAbstractItemDelegate *DMOutlineView::dataCellForTableColumn(const QString &identifier) const
{
    const int logical = m_model->logicalColumnWithIdentifier(identifier);
    return logical < 0 ? nullptr : m_model->tableColumns()[size_t(logical)].dataCell.data();
}

void DMOutlineView::setHeaderMenu(QMenu *menu)
{
    m_headerMenu = menu;
    QHeaderView *columnHeader = header();
    columnHeader->setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    disconnect(columnHeader, &QWidget::customContextMenuRequested, this, nullptr);
    if (menu)
        connect(columnHeader, &QWidget::customContextMenuRequested, this, [this, columnHeader](const QPoint &point) {
            if (m_headerMenu)
                m_headerMenu->popup(columnHeader->mapToGlobal(point));
        });
}

// --- Sorting ---

void DMOutlineView::onHeaderSectionClicked(int logicalIndex)
{
    const auto &columns = m_model->tableColumns();
    if (logicalIndex < 0 || size_t(logicalIndex) >= columns.size() || columns[size_t(logicalIndex)].sortKey.isEmpty())
        return;
    const QString key = columns[size_t(logicalIndex)].sortKey;
    // The clicked key goes first; clicking it again turns its direction.
    DMSortDescriptor descriptor{key, true};
    if (!m_sortDescriptors.isEmpty() && m_sortDescriptors.first().key == key)
        descriptor.ascending = !m_sortDescriptors.first().ascending;
    m_sortDescriptors.removeIf([&key](const DMSortDescriptor &d) { return d.key == key; });
    m_sortDescriptors.prepend(descriptor);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(logicalIndex, descriptor.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (DMOutlineViewDataSource *source = dataSource())
        source->outlineViewSortDescriptorsDidChange(this, m_sortDescriptors);
}

// --- Rows ---

void DMOutlineView::setRowHeight(int height)
{
    m_model->setDefaultRowHeight(height);
    scheduleDelayedItemsLayout(); // the tree view caches row heights
}

void DMOutlineView::reloadData()
{
    m_model->reloadData();
    viewport()->update(); // values may have changed where the rows did not
}

void DMOutlineView::reloadItemReloadChildren(DMOutlineItem item, bool reloadChildren)
{
    m_model->reloadItem(item, reloadChildren);
    if (reloadChildren)
        viewport()->update(); // values below it may have changed where the rows did not
}

void DMOutlineView::updateCellsOfColumns(const QStringList &identifiers, const QList<DMOutlineItem> *items)
{
    const QRect shown = viewport()->rect();
    QRegion columns;
    for (const QString &identifier : identifiers) {
        const int logical = m_model->logicalColumnWithIdentifier(identifier);
        if (logical >= 0 && !isColumnHidden(logical))
            columns += QRect(header()->sectionViewportPosition(logical), shown.top(), header()->sectionSize(logical),
                             shown.height());
    }
    columns &= shown;
    if (columns.isEmpty())
        return;
    if (!items) {
        viewport()->update(columns);
        return;
    }
    QRegion rows;
    for (const DMOutlineItem item : *items) {
        const QRect row = rectOfRow(rowForItem(item)).translated(0, -verticalOffset());
        if (row.intersects(shown))
            rows += QRect(shown.left(), row.top(), shown.width(), row.height());
    }
    if (!rows.isEmpty())
        viewport()->update(columns & rows);
}

int DMOutlineView::levelForRow(int row) const
{
    const QModelIndex index = m_model->indexForRow(row);
    return index.isValid() ? m_model->levelForIndex(index) : -1;
}

int DMOutlineView::rowAtPoint(const QPoint &contentPoint) const
{
    return m_model->rowAtY(contentPoint.y());
}

QRect DMOutlineView::rectOfRow(int row) const
{
    if (row < 0 || row >= m_model->numberOfRows())
        return {};
    return {0, m_model->topOfRow(row), header()->length(), m_model->heightOfRow(row)};
}

QRect DMOutlineView::frameOfCellAtColumnRow(int column, int row) const
{
    const QRect rowRect = rectOfRow(row);
    if (rowRect.isNull() || column < 0 || column >= header()->count())
        return {};
    const int logical = header()->logicalIndex(column);
    int x = header()->sectionPosition(logical);
    int width = header()->sectionSize(logical);
    const int treeColumn = treePosition() < 0 ? header()->logicalIndex(0) : treePosition();
    if (logical == treeColumn) {
        const int indent = indentation() * (levelForRow(row) + (rootIsDecorated() ? 1 : 0));
        x += indent;
        width = std::max(0, width - indent);
    }
    return {x, rowRect.y(), width, rowRect.height()};
}

void DMOutlineView::scrollRowToVisible(int row)
{
    if (row < 0 || row >= m_model->numberOfRows())
        return;
    executeDelayedItemsLayout(); // the scroll range must include the row
    const int top = m_model->topOfRow(row);
    const int bottom = top + m_model->heightOfRow(row);
    QScrollBar *bar = verticalScrollBar();
    const int visibleHeight = viewport()->height();
    if (top < bar->value())
        bar->setValue(top);
    else if (bottom > bar->value() + visibleHeight)
        bar->setValue(std::min(top, bottom - visibleHeight));
}

void DMOutlineView::onModelRowLayoutChanged()
{
    if (m_batchDepth > 0)
        m_rowLayoutSignalHeld = true;
    else
        emit rowLayoutChanged();
}

// --- Expansion ---

bool DMOutlineView::isItemExpandable(DMOutlineItem item) const
{
    return m_model->isIndexExpandable(m_model->indexForItem(item));
}

bool DMOutlineView::expandIndex(const QModelIndex &index)
{
    if (!m_model->isIndexExpandable(index))
        return false;
    expand(index); // reaches onExpanded, which asks the delegate
    return m_model->isIndexExpanded(index);
}

void DMOutlineView::expandItemExpandChildren(DMOutlineItem item, bool expandChildren)
{
    const QModelIndex index = m_model->indexForItem(item);
    if (item && !index.isValid())
        return;
    ++m_batchDepth;
    // Many expansions: let the tree view lay out once instead of once per item, and not at all
    // when everything was expanded already.
    bool layoutScheduled = false;
    auto expandIndex = [&](const QModelIndex &index) {
        if (m_model->isIndexExpanded(index))
            return true;
        if (expandChildren && !layoutScheduled) {
            scheduleDelayedItemsLayout();
            layoutScheduled = true;
        }
        return this->expandIndex(index);
    };
    std::vector<QModelIndex> pending;
    auto pushChildren = [&](const QModelIndex &parent) {
        for (int row = m_model->rowCount(parent) - 1; row >= 0; --row) {
            const QModelIndex child = m_model->index(row, 0, parent);
            if (m_model->isIndexExpandable(child))
                pending.push_back(child);
        }
    };
    if (!item)
        pushChildren(QModelIndex());
    else if (expandIndex(index) && expandChildren)
        pushChildren(index);
    while (expandChildren && !pending.empty()) {
        const QModelIndex next = pending.back();
        pending.pop_back();
        if (expandIndex(next))
            pushChildren(next);
    }
    if (--m_batchDepth == 0 && m_rowLayoutSignalHeld) {
        m_rowLayoutSignalHeld = false;
        emit rowLayoutChanged();
    }
}

void DMOutlineView::collapseItem(DMOutlineItem item)
{
    const QModelIndex index = m_model->indexForItem(item);
    if (index.isValid() && m_model->isIndexExpanded(index))
        collapse(index); // reaches onCollapsed, which asks the delegate
}

void DMOutlineView::onExpanded(const QModelIndex &index)
{
    if (m_silentExpansion) {
        m_model->setIndexExpanded(index, true);
        keepRowHeightsOfRowsBelow(index);
        return;
    }
    const DMOutlineItem item = m_model->itemForIndex(index);
    if (m_delegate && !m_delegate->outlineViewShouldExpandItem(this, item)) {
        const QScopedValueRollback<bool> silent(m_silentExpansion, true);
        collapse(index);
        return;
    }
    m_model->setIndexExpanded(index, true);
    keepRowHeightsOfRowsBelow(index);
    if (m_delegate)
        m_delegate->outlineViewItemDidExpand(this, item);
}

void DMOutlineView::onCollapsed(const QModelIndex &index)
{
    if (m_silentExpansion) {
        m_model->setIndexExpanded(index, false);
        return;
    }
    const DMOutlineItem item = m_model->itemForIndex(index);
    if (m_delegate && !m_delegate->outlineViewShouldCollapseItem(this, item)) {
        const QScopedValueRollback<bool> silent(m_silentExpansion, true);
        expand(index);
        return;
    }
    m_model->setIndexExpanded(index, false);
    // Rows that are no longer shown are no longer selected.
    QItemSelection hidden;
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        if (range.parent().isValid() && m_model->isIndexAncestorOf(index, range.parent()))
            hidden.append(range);
    }
    if (!hidden.isEmpty()) {
        const QScopedValueRollback<bool> programmatic(m_programmaticSelection, true);
        selectionModel()->select(hidden, QItemSelectionModel::Deselect);
    }
    if (m_delegate)
        m_delegate->outlineViewItemDidCollapse(this, item);
}

// --- Selection ---

QList<int> DMOutlineView::selectedRowIndexes() const
{
    QList<int> rows;
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            const int shown = m_model->rowForIndex(m_model->index(row, 0, range.parent()));
            if (shown >= 0)
                rows.append(shown);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int DMOutlineView::selectedRow() const
{
    const QList<int> rows = selectedRowIndexes();
    return rows.isEmpty() ? -1 : rows.first();
}

void DMOutlineView::selectRows(const QList<int> &rows, QItemSelectionModel::SelectionFlags flags)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    const int lastColumn = std::max(0, m_model->columnCount() - 1);
    // Consecutive rows of one parent make one range.
    QItemSelection selection;
    QModelIndex first;
    QModelIndex last;
    for (int row : sorted) {
        const QModelIndex index = m_model->indexForRow(row);
        if (!index.isValid())
            continue;
        if (last.isValid() && index.parent() == last.parent() && index.row() == last.row() + 1) {
            last = index;
            continue;
        }
        if (first.isValid())
            selection.select(first, last.siblingAtColumn(lastColumn));
        first = last = index;
    }
    if (first.isValid())
        selection.select(first, last.siblingAtColumn(lastColumn));
    selectionModel()->select(selection, flags | QItemSelectionModel::Rows);
}

void DMOutlineView::selectRowIndexesByExtendingSelection(const QList<int> &rows, bool extend)
{
    const QScopedValueRollback<bool> programmatic(m_programmaticSelection, true);
    selectRows(rows, extend ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    const QModelIndex current = rows.isEmpty() ? QModelIndex() : m_model->indexForRow(rows.last());
    if (current.isValid())
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
}

void DMOutlineView::deselectAll()
{
    const QScopedValueRollback<bool> programmatic(m_programmaticSelection, true);
    selectionModel()->clearSelection();
}

void DMOutlineView::onSelectionChanged(const QItemSelection &selected, const QItemSelection &)
{
    if (m_adjustingSelection)
        return;
    if (!m_programmaticSelection && m_delegate) {
        const QList<int> proposed = selectedRowIndexes();
        QSet<int> refused;
        for (const QItemSelectionRange &range : selected) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                const QModelIndex index = m_model->index(row, 0, range.parent());
                if (!m_delegate->outlineViewShouldSelectItem(this, m_model->itemForIndex(index)))
                    refused.insert(m_model->rowForIndex(index));
            }
        }
        QList<int> allowed;
        for (int row : proposed) {
            if (!refused.contains(row))
                allowed.append(row);
        }
        allowed = m_delegate->outlineViewSelectionIndexesForProposedSelection(this, allowed);
        std::sort(allowed.begin(), allowed.end());
        allowed.erase(std::unique(allowed.begin(), allowed.end()), allowed.end());
        if (allowed != proposed) {
            const QScopedValueRollback<bool> adjusting(m_adjustingSelection, true);
            selectRows(allowed, QItemSelectionModel::ClearAndSelect);
        }
    }
    if (m_delegate)
        m_delegate->outlineViewSelectionDidChange(this);
    emit selectionDidChange();
}

QItemSelectionModel::SelectionFlags DMOutlineView::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    // Only the user's changes come with an event; the program's are never refused.
    if (event && m_delegate && !m_delegate->selectionShouldChangeInOutlineView(const_cast<DMOutlineView *>(this)))
        return QItemSelectionModel::NoUpdate;
    return QTreeView::selectionCommand(index, event);
}

// --- Editing ---

bool DMOutlineView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // Ask the delegate only when an editor would really open.
    const bool starts = index.isValid() && state() != EditingState && (index.flags() & Qt::ItemIsEditable)
        && (trigger == AllEditTriggers || (editTriggers() & trigger)) && !isPersistentEditorOpen(index);
    const QString column = index.isValid() ? m_model->tableColumns()[size_t(index.column())].identifier : QString();
    if (starts && m_delegate && !m_delegate->outlineViewShouldEditTableColumnItem(this, column, m_model->itemForIndex(index)))
        return false;
    const bool handled = QTreeView::edit(index, trigger, event);
    if (handled && starts && state() == EditingState) {
        m_editedItem = m_model->itemForIndex(index);
        m_editedColumn = column;
    }
    return handled;
}

void DMOutlineView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (hint != QAbstractItemDelegate::EditNextItem && hint != QAbstractItemDelegate::EditPreviousItem) {
        QTreeView::closeEditor(editor, hint);
        return;
    }
    // Tab and Shift+Tab move along the row, as in other outlines, never down to the same column
    // of the next row. The edit was committed before.
    const DMOutlineItem item = m_editedItem;
    const QString column = m_editedColumn;
    QTreeView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    editAdjacentCellOfItem(item, column, hint == QAbstractItemDelegate::EditNextItem);
}

bool DMOutlineView::editAdjacentCellOfItem(DMOutlineItem item, const QString &column, bool forward)
{
    const int row = rowForItem(item);
    const int from = columnWithIdentifier(column);
    if (row < 0 || from < 0 || state() == EditingState)
        return false;
    const QModelIndex current = currentIndex();
    for (int visual = forward ? from + 1 : from - 1; visual >= 0 && visual < header()->count();
         visual += forward ? 1 : -1) {
        const int logical = header()->logicalIndex(visual);
        const QModelIndex index = m_model->indexForRow(row, logical);
        if (isColumnHidden(logical) || !(index.flags() & Qt::ItemIsEditable))
            continue;
        const QString identifier = m_model->tableColumns()[size_t(logical)].identifier;
        if (m_delegate && !m_delegate->outlineViewEditsTableColumnItemInPlace(this, identifier, item))
            continue;
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        scrollTo(index);
        // An editor of the outline's own, or one the delegate laid over the cell, takes the keyboard.
        QWidget *focusBefore = window()->focusWidget();
        if (edit(index, AllEditTriggers, nullptr))
            return true;
        QWidget *focus = window()->focusWidget();
        if (focus && focus != focusBefore && viewport()->isAncestorOf(focus))
            return true;
    }
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    setFocus(Qt::OtherFocusReason);
    return false;
}

void DMOutlineView::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool editKey = (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    // While a cell's editor is open its Return may come back here (a line editor passes it on
    // after committing): it must not open the editor again.
    if (editKey && !m_keyboardEditedColumn.isEmpty() && state() != EditingState) {
        const int row = selectedRow();
        const int column = m_model->logicalColumnWithIdentifier(m_keyboardEditedColumn);
        if (row >= 0 && column >= 0 && !isColumnHidden(column)) {
            const QModelIndex index = m_model->indexForRow(row, column);
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            if (edit(index, EditKeyPressed, event))
                return;
        }
    }
    QTreeView::keyPressEvent(event);
}

// --- Drag and drop ---

void DMOutlineView::registerForDraggedTypes(const QStringList &types)
{
    m_draggedTypes = types;
    m_model->setDraggedTypes(types);
    setAcceptDrops(!types.isEmpty());
    viewport()->setAcceptDrops(!types.isEmpty());
}

bool DMOutlineView::carriesRegisteredType(const QMimeData *data) const
{
    if (!data)
        return false;
    return std::any_of(m_draggedTypes.begin(), m_draggedTypes.end(),
                       [data](const QString &type) { return data->hasFormat(type); });
}

DMDraggingInfo DMOutlineView::draggingInfo(const QDropEvent *event) const
{
    return {event->mimeData(), event->source(), event->possibleActions()};
}

DMOutlineView::DropProposal DMOutlineView::dropProposalAtPoint(const QPoint &viewportPoint) const
{
    const int y = viewportPoint.y() + verticalOffset();
    const int treeColumn = treePosition() < 0 ? header()->logicalIndex(0) : treePosition();
    const int treeX = header()->sectionPosition(treeColumn);
    const int decoration = rootIsDecorated() ? 1 : 0;
    auto line = [&](int lineY, int level) {
        const int x = treeX + indentation() * (level + decoration);
        return QRect(x, lineY - 1, std::max(1, header()->length() - x), 2);
    };

    DropProposal proposal;
    const int row = m_model->rowAtY(y);
    if (row < 0) {
        // Below the rows: after the last item of the top level.
        proposal.childIndex = m_model->numberOfChildrenOfItem(nullptr);
        proposal.indicator = line(m_model->totalHeightOfRows(), 0);
        return proposal;
    }
    const DMOutlineItem item = m_model->itemAtRow(row);
    const int top = m_model->topOfRow(row);
    const int height = m_model->heightOfRow(row);
    const int level = levelForRow(row);
    const int margin = std::clamp(height / 4, 2, 12);
    if (y < top + margin) {
        proposal.item = m_model->parentForItem(item);
        proposal.childIndex = m_model->childIndexOfItem(item);
        proposal.indicator = line(top, level);
    } else if (y >= top + height - margin) {
        if (m_model->isItemExpanded(item) && m_model->numberOfChildrenOfItem(item) > 0) {
            proposal.item = item; // before the first child shown below
            proposal.childIndex = 0;
            proposal.indicator = line(top + height, level + 1);
        } else {
            proposal.item = m_model->parentForItem(item);
            proposal.childIndex = m_model->childIndexOfItem(item) + 1;
            proposal.indicator = line(top + height, level);
        }
    } else {
        proposal.item = item;
        proposal.childIndex = -1;
        proposal.indicator = rectOfRow(row);
    }
    return proposal;
}

void DMOutlineView::setDropIndicator(const QRect &indicator)
{
    if (indicator == m_dropIndicator)
        return;
    m_dropIndicator = indicator;
    viewport()->update();
}

void DMOutlineView::startDrag(Qt::DropActions supportedActions)
{
    QModelIndexList indexes;
    for (int row : selectedRowIndexes())
        indexes.append(m_model->indexForRow(row));
    QMimeData *data = m_model->mimeData(indexes);
    if (!data)
        return;
    auto *drag = new QDrag(this); // deleted by Qt when the drag ends
    drag->setMimeData(data);
    drag->exec(supportedActions & m_model->supportedDragActions());
}

void DMOutlineView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!carriesRegisteredType(event->mimeData())) {
        event->ignore();
        return;
    }
    setState(DraggingState);
    event->accept();
}

void DMOutlineView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!carriesRegisteredType(event->mimeData())) {
        event->ignore();
        return;
    }
    const QPoint position = event->position().toPoint();
    const DropProposal proposal = dropProposalAtPoint(position);
    const Qt::DropAction operation = m_model->validateDrop(draggingInfo(event), proposal.item, proposal.childIndex);
    if (operation != Qt::IgnoreAction && (event->possibleActions() & operation)) {
        event->setDropAction(operation);
        event->accept();
        setDropIndicator(proposal.indicator);
    } else {
        event->ignore();
        setDropIndicator({});
    }
    const int margin = autoScrollMargin();
    if (hasAutoScroll() && (position.y() < margin || position.y() > viewport()->height() - margin))
        startAutoScroll();
}

void DMOutlineView::dragLeaveEvent(QDragLeaveEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    setDropIndicator({});
    event->accept();
}

void DMOutlineView::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    setDropIndicator({});
    if (!carriesRegisteredType(event->mimeData())) {
        event->ignore();
        return;
    }
    const DMDraggingInfo info = draggingInfo(event);
    const DropProposal proposal = dropProposalAtPoint(event->position().toPoint());
    const Qt::DropAction operation = m_model->validateDrop(info, proposal.item, proposal.childIndex);
    if (operation != Qt::IgnoreAction && (event->possibleActions() & operation)
        && m_model->acceptDrop(info, proposal.item, proposal.childIndex)) {
        event->setDropAction(operation);
        event->accept();
    } else {
        event->ignore();
    }
}

// A hidden outline (a page not shown, a window not yet shown) lays out its rows when it is
// shown: QTreeView's geometry update measures every row shown, and an outline of many rows
// would pay it at every column resize made while building its window.
void DMOutlineView::updateGeometries()
{
    if (!isVisible()) {
        m_geometriesStale = true;
        return;
    }
    m_geometriesStale = false;
    QTreeView::updateGeometries();
    stretchLastColumnUnderHiddenHeader();
}

void DMOutlineView::stretchLastColumnUnderHiddenHeader()
{
    // A hidden header gets no resize events, so it no longer stretches its last column itself.
    QHeaderView *columns = header();
    if (!columns->isHidden() || !columns->stretchLastSection())
        return;
    int last = -1;
    int others = 0;
    for (int visual = 0; visual < columns->count(); ++visual) {
        const int logical = columns->logicalIndex(visual);
        if (columns->isSectionHidden(logical))
            continue;
        if (last >= 0)
            others += columns->sectionSize(last);
        last = logical;
    }
    if (last < 0)
        return;
    const int width = std::max(columns->minimumSectionSize(), viewport()->width() - others);
    if (columns->sectionSize(last) != width)
        columns->resizeSection(last, width);
}

void DMOutlineView::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    if (m_geometriesStale)
        updateGeometries();
}

// The tree view measures every row shown, through a style option each, unless told that all
// rows have one height: it is told so whenever it lays out rows that all have one.
void DMOutlineView::doItemsLayout()
{
    const bool oneHeight = m_model->rowsHaveOneHeight();
    m_uniformRowHeight = oneHeight && m_model->numberOfRows() > 0 ? m_model->heightOfRow(0) : 0;
    setUniformRowHeights(oneHeight);
    QTreeView::doItemsLayout();
}

// A row shown with another height than the one all rows had makes the tree view measure them all.
void DMOutlineView::measureEveryRow()
{
    setUniformRowHeights(false);
    scheduleDelayedItemsLayout();
}

void DMOutlineView::keepRowHeightsOfRowsBelow(const QModelIndex &index)
{
    if (uniformRowHeights() && !m_model->rowsBelowIndexHaveHeight(index, m_uniformRowHeight))
        measureEveryRow();
}

void DMOutlineView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    if (uniformRowHeights() && topLeft.isValid()) {
        const QModelIndex parent = topLeft.parent();
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
            if (m_model->rowHeightForIndex(m_model->index(row, 0, parent)) != m_uniformRowHeight) {
                measureEveryRow();
                break;
            }
    }
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}

void DMOutlineView::paintEvent(QPaintEvent *event)
{
    m_model->setPainting(true);
    QTreeView::paintEvent(event);
    m_model->setPainting(false);
    if (!m_dropIndicator.isValid())
        return;
    QPainter painter(viewport());
    const QRect shown = m_dropIndicator.translated(-horizontalOffset(), -verticalOffset());
    const QColor color = palette().color(QPalette::Highlight);
    if (shown.height() <= 2) {
        painter.fillRect(shown, color);
    } else {
        painter.setPen(QPen(color, 2));
        painter.drawRect(shown.adjusted(1, 1, -1, -1));
    }
}
