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

void DMCollectionView::setContentCount(int count)
{
    m_count = std::max(0, count);
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

QRect DMCollectionView::frameForItemAtIndex(int index) const
{
    const int columns = columnCount();
    const QSize size = itemSize();
    return {(index % columns) * size.width(), (index / columns) * size.height(), size.width(), size.height()};
}

int DMCollectionView::indexAtPoint(QPoint viewportPoint) const
{
    const QPoint point = viewportPoint + QPoint(0, verticalScrollBar()->value());
    const QSize size = itemSize();
    if (point.x() < 0 || point.y() < 0 || point.x() >= size.width() * columnCount())
        return -1;
    const int index = (point.y() / size.height()) * columnCount() + point.x() / size.width();
    return index < m_count ? index : -1;
}

QSize DMCollectionView::contentsSize() const
{
    const int columns = columnCount();
    const QSize size = itemSize();
    const int rows = (m_count + columns - 1) / columns;
    return m_count == 0 ? QSize() : QSize(std::min(m_count, columns) * size.width(), rows * size.height());
}

void DMCollectionView::renderContents(QPainter *painter, const QRect &area)
{
    if (!m_factory || m_count == 0 || area.isEmpty())
        return;
    const QSize size = itemSize();
    const int columns = columnCount();
    const int first = std::max(0, area.top() / size.height()) * columns;
    const int last = std::min(m_count - 1, (area.bottom() / size.height() + 1) * columns - 1);
    for (int index = first; index <= last; ++index) {
        const QRect frame = frameForItemAtIndex(index);
        if (!frame.intersects(area))
            continue;
        DMCollectionViewItem *card = itemAtIndex(index);
        std::unique_ptr<DMCollectionViewItem> borrowed;
        if (!card) {
            borrowed = cardForIndex(index);
            borrowed->view()->resize(size);
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
    const int rows = (m_count + columnCount() - 1) / columnCount();
    const int height = rows * m_minItemSize.height();
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
    const int columns = columnCount();
    const int top = verticalScrollBar()->value();
    const int firstRow = std::max(0, top / size.height() - 1);
    const int lastRow = (top + viewport()->height()) / size.height() + 1;
    const int first = firstRow * columns;
    const int last = std::min(m_count - 1, (lastRow + 1) * columns - 1);

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
