#include "DMCollectionView.h"

#include "DMCollectionViewDragOperationDelegate.h"
#include "DMCollectionViewItem.h"
#include "DMItemBackgroundView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

DMDraggingInfo draggingInfo(const QDropEvent *event)
{
    return {event->mimeData(), event->source(), event->possibleActions()};
}

int rowsFor(int entries, int columns)
{
    return (entries + columns - 1) / columns;
}

void answer(QDropEvent *event, Qt::DropAction action)
{
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

} // namespace

DMCollectionView::DMCollectionView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(20);
}

DMCollectionView::~DMCollectionView() = default;

void DMCollectionView::setDragOperationDelegate(DMCollectionViewDragOperationDelegate *delegate)
{
    m_dragDelegate = delegate;
    if (m_dragDelegate)
        m_dragDelegate->setItemsViewHasSelectedItems(!m_selection.isEmpty());
}

void DMCollectionView::setItemPrototype(ItemFactory factory, ItemBinder binder)
{
    m_items.clear();
    m_spareItems.clear();
    m_factory = std::move(factory);
    m_binder = std::move(binder);
    layoutItems();
}

void DMCollectionView::setMinItemSize(QSize size)
{
    m_minItemSize = size.expandedTo(QSize(1, 1));
    updateScrollBars();
    layoutItems();
}

void DMCollectionView::setMaxItemSize(QSize size)
{
    m_maxItemSize = size;
    layoutItems();
}

void DMCollectionView::setContentCount(int count, const QList<int> &sectionHeadings)
{
    m_count = std::max(0, count);
    m_sectionHeadings.clear();
    for (int heading : sectionHeadings)
        if (heading >= 0 && heading < m_count && !m_sectionHeadings.contains(heading))
            m_sectionHeadings.append(heading);
    std::sort(m_sectionHeadings.begin(), m_sectionHeadings.end());
    // Every card shows another entry now, or none.
    for (auto &entry : m_items) {
        if (m_binder)
            m_binder(*entry.second, -1);
        entry.second->setRepresentedIndex(-1);
        entry.second->view()->hide();
        m_spareItems.push_back(std::move(entry.second));
    }
    m_items.clear();
    const bool hadSelection = !m_selection.isEmpty();
    m_selection.clear();
    m_anchor = -1;
    updateScrollBars();
    layoutItems();
    if (hadSelection)
        selectionDidChange();
    else if (m_dragDelegate)
        m_dragDelegate->setItemsViewHasSelectedItems(false);
}

void DMCollectionView::reloadVisibleItems()
{
    if (!m_binder)
        return;
    for (auto &[index, item] : m_items)
        m_binder(*item, index);
}

void DMCollectionView::setSelectionIndexes(const QList<int> &indexes)
{
    QList<int> selection;
    for (int index : indexes)
        if (index >= 0 && index < m_count && !selection.contains(index))
            selection.append(index);
    std::sort(selection.begin(), selection.end());
    if (selection == m_selection)
        return;
    m_selection = selection;
    for (auto &[index, item] : m_items)
        item->setSelected(std::binary_search(m_selection.begin(), m_selection.end(), index));
    selectionDidChange();
}

void DMCollectionView::selectionDidChange()
{
    if (m_dragDelegate)
        m_dragDelegate->setItemsViewHasSelectedItems(!m_selection.isEmpty());
    emit selectionIndexesChanged();
}

DMCollectionViewItem *DMCollectionView::itemAtIndex(int index) const
{
    const auto found = m_items.find(index);
    return found == m_items.end() ? nullptr : found->second.get();
}

QList<DMCollectionViewItem *> DMCollectionView::visibleItems() const
{
    QList<DMCollectionViewItem *> items;
    for (const auto &entry : m_items)
        items.append(entry.second.get());
    return items;
}

int DMCollectionView::columnCount() const
{
    return std::max(1, viewport()->width() / std::max(1, m_minItemSize.width()));
}

QSize DMCollectionView::itemSize() const
{
    const int width = std::min(std::max(m_minItemSize.width(), viewport()->width() / columnCount()),
                               std::max(m_minItemSize.width(), m_maxItemSize.width()));
    return {width, m_minItemSize.height()};
}

// The entries before the first heading fill rows of columnCount() places; a heading takes a row of
// its own, and the entries after it fill rows again from the next one.
DMCollectionView::Place DMCollectionView::placeOfIndex(int index) const
{
    const int columns = columnCount();
    int row = 0;
    int start = 0; // the first entry of the run of entries being placed
    for (int heading : m_sectionHeadings) {
        if (heading > index)
            break;
        row += rowsFor(heading - start, columns);
        if (heading == index)
            return {row, 0, true};
        ++row;
        start = heading + 1;
    }
    const int offset = index - start;
    return {row + offset / columns, offset % columns, false};
}

int DMCollectionView::rowCount() const
{
    if (m_count == 0)
        return 0;
    const int columns = columnCount();
    int rows = 0;
    int start = 0;
    for (int heading : m_sectionHeadings) {
        rows += rowsFor(heading - start, columns) + 1;
        start = heading + 1;
    }
    return rows + rowsFor(m_count - start, columns);
}

int DMCollectionView::indexAtRowAndColumn(int row, int column) const
{
    const int columns = columnCount();
    if (row < 0 || column < 0 || column >= columns)
        return -1;
    int firstRow = 0; // the first row of the run of entries being looked at
    int start = 0;
    for (int heading : m_sectionHeadings) {
        const int runRows = rowsFor(heading - start, columns);
        if (row < firstRow + runRows) {
            const int index = start + (row - firstRow) * columns + column;
            return index < heading ? index : -1;
        }
        if (row == firstRow + runRows)
            return heading;
        firstRow += runRows + 1;
        start = heading + 1;
    }
    const int index = start + (row - firstRow) * columns + column;
    return index < m_count ? index : -1;
}

std::pair<int, int> DMCollectionView::indexesOfRows(int firstRow, int lastRow) const
{
    // Every row begins with an entry at its first place.
    const int rows = rowCount();
    firstRow = std::max(0, firstRow);
    lastRow = std::min(rows - 1, lastRow);
    if (firstRow > lastRow)
        return {0, -1};
    const int next = lastRow + 1 < rows ? indexAtRowAndColumn(lastRow + 1, 0) : m_count;
    return {indexAtRowAndColumn(firstRow, 0), next - 1};
}

QRect DMCollectionView::frameForItemAtIndex(int index) const
{
    const Place place = placeOfIndex(index);
    const QSize size = itemSize();
    const int width = place.heading ? columnCount() * size.width() : size.width();
    return {place.column * size.width(), place.row * size.height(), width, size.height()};
}

int DMCollectionView::indexAtPoint(QPoint viewportPoint) const
{
    const QPoint point = viewportPoint + QPoint(0, verticalScrollBar()->value());
    const QSize size = itemSize();
    if (point.x() < 0 || point.y() < 0 || point.x() >= size.width() * columnCount())
        return -1;
    return indexAtRowAndColumn(point.y() / size.height(), point.x() / size.width());
}

QSize DMCollectionView::contentsSize() const
{
    if (m_count == 0)
        return QSize();
    const QSize size = itemSize();
    const int across = m_sectionHeadings.isEmpty() ? std::min(m_count, columnCount()) : columnCount();
    return QSize(across * size.width(), rowCount() * size.height());
}

void DMCollectionView::renderContents(QPainter *painter, const QRect &area)
{
    if (!m_factory || m_count == 0 || area.isEmpty())
        return;
    const QSize size = itemSize();
    const auto [first, last] = indexesOfRows(area.top() / size.height(), area.bottom() / size.height());
    for (int index = first; index <= last; ++index) {
        const QRect frame = frameForItemAtIndex(index);
        if (!frame.intersects(area))
            continue;
        DMCollectionViewItem *card = itemAtIndex(index);
        std::unique_ptr<DMCollectionViewItem> borrowed;
        if (!card) {
            borrowed = cardForIndex(index);
            borrowed->view()->resize(frame.size());
            card = borrowed.get();
        }
        const bool selected = card->isSelected();
        if (selected)
            card->setSelected(false);
        card->view()->render(painter, frame.topLeft(), QRegion(), QWidget::DrawChildren);
        if (selected)
            card->setSelected(true);
        if (borrowed) {
            if (m_binder)
                m_binder(*borrowed, -1);
            borrowed->setRepresentedIndex(-1);
            m_spareItems.push_back(std::move(borrowed));
        }
    }
}

void DMCollectionView::scrollPoint(QPoint point)
{
    QScrollBar *bar = verticalScrollBar();
    if (point.y() < bar->value() || point.y() >= bar->value() + viewport()->height())
        bar->setValue(point.y());
}

void DMCollectionView::scrollRectToVisible(const QRect &rect)
{
    QScrollBar *bar = verticalScrollBar();
    const int height = viewport()->height();
    if (rect.top() < bar->value())
        bar->setValue(rect.top());
    else if (rect.bottom() + 1 > bar->value() + height)
        bar->setValue(std::min(rect.top(), rect.bottom() + 1 - height));
}

void DMCollectionView::updateScrollBars()
{
    const int height = rowCount() * m_minItemSize.height();
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
}

std::unique_ptr<DMCollectionViewItem> DMCollectionView::cardForIndex(int index)
{
    std::unique_ptr<DMCollectionViewItem> card;
    if (!m_spareItems.empty()) {
        card = std::move(m_spareItems.back());
        m_spareItems.pop_back();
    } else {
        card = m_factory();
        card->view()->setParent(viewport());
    }
    card->setRepresentedIndex(index);
    if (m_binder)
        m_binder(*card, index);
    return card;
}

// Makes and places the cards of the rows in sight (and one row either side); cards that left the
// sight are kept aside for the entries that come into it.
void DMCollectionView::layoutItems()
{
    // A hidden view has no size of its own yet: its cards are made when it shows.
    if (!isVisible())
        return;
    if (!m_factory || m_count == 0) {
        for (auto &entry : m_items)
            entry.second->view()->hide();
        return;
    }
    const QSize size = itemSize();
    const int top = verticalScrollBar()->value();
    const auto [first, last] = indexesOfRows(top / size.height() - 1, (top + viewport()->height()) / size.height() + 1);

    for (auto it = m_items.begin(); it != m_items.end();) {
        if (it->first < first || it->first > last) {
            it->second->view()->hide();
            m_spareItems.push_back(std::move(it->second));
            it = m_items.erase(it);
        } else {
            ++it;
        }
    }
    for (int index = first; index <= last; ++index) {
        auto &item = m_items[index];
        if (!item) {
            item = cardForIndex(index);
            item->setSelected(std::binary_search(m_selection.begin(), m_selection.end(), index));
        }
        item->view()->setGeometry(frameForItemAtIndex(index).translated(0, -top));
        item->view()->show();
    }
}

void DMCollectionView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    layoutItems();
}

void DMCollectionView::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    updateScrollBars();
    layoutItems();
}

void DMCollectionView::scrollContentsBy(int, int)
{
    layoutItems();
}

void DMCollectionView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = indexAtPoint(event->position().toPoint());
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    QList<int> selection;
    if (index < 0) {
        if (!(modifiers & (Qt::ControlModifier | Qt::ShiftModifier)))
            setSelectionIndexes({});
        return;
    }
    if (modifiers & Qt::ControlModifier) {
        selection = m_selection;
        if (!selection.removeOne(index))
            selection.append(index);
    } else if ((modifiers & Qt::ShiftModifier) && m_anchor >= 0) {
        for (int i = std::min(m_anchor, index); i <= std::max(m_anchor, index); ++i)
            selection.append(i);
    } else {
        selection = {index};
    }
    if (!(modifiers & Qt::ShiftModifier))
        m_anchor = index;
    setSelectionIndexes(selection);
}

void DMCollectionView::dragEnterEvent(QDragEnterEvent *event)
{
    answer(event, m_dragDelegate ? m_dragDelegate->dmCollectionViewDraggingEntered(this, draggingInfo(event))
                                 : Qt::IgnoreAction);
}

void DMCollectionView::dragMoveEvent(QDragMoveEvent *event)
{
    answer(event, m_dragDelegate ? m_dragDelegate->dmCollectionViewDraggingUpdated(this, draggingInfo(event))
                                 : Qt::IgnoreAction);
}

void DMCollectionView::dragLeaveEvent(QDragLeaveEvent *)
{
    if (m_dragDelegate)
        m_dragDelegate->dmCollectionViewDraggingExited(this);
}

void DMCollectionView::dropEvent(QDropEvent *event)
{
    const DMDraggingInfo info = draggingInfo(event);
    const bool accepted = m_dragDelegate && m_dragDelegate->dmCollectionViewPrepareForDragOperation(this, info)
                          && m_dragDelegate->dmCollectionViewPerformDragOperation(this, info);
    if (accepted) {
        event->accept();
        m_dragDelegate->dmCollectionViewConcludeDragOperation(this, info);
    } else {
        event->ignore();
    }
    if (m_dragDelegate)
        m_dragDelegate->dmCollectionViewDraggingEnded(this, info);
}
