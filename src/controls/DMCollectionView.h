#pragma once

#include <QAbstractScrollArea>
#include <QList>
#include <QSize>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class DMCollectionViewDragOperationDelegate;
class DMCollectionViewItem;
class QPainter;

// A scrolling grid of cards. The contents are a count of entries; cards are made from the
// prototype only for the places that can be seen (plus a row either side), once the view shows, and are handed
// another entry's index as the grid scrolls, through the binder. An entry may head a section: it
// takes a row of its own across the grid, and the entries after it begin on the next row. Clicks
// on a card select it (Control toggles, Shift extends); the drag-and-drop steps go to the drag
// delegate, which also learns whether any card is selected.
//
// The drag delegate is not owned; whoever sets it clears it before going away.
class DMCollectionView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    using ItemFactory = std::function<std::unique_ptr<DMCollectionViewItem>()>;
    using ItemBinder = std::function<void(DMCollectionViewItem &item, int index)>;

    explicit DMCollectionView(QWidget *parent = nullptr);
    ~DMCollectionView() override;

    DMCollectionViewDragOperationDelegate *dragOperationDelegate() const { return m_dragDelegate; }
    void setDragOperationDelegate(DMCollectionViewDragOperationDelegate *delegate);

    // Drops the cards made so far; new ones come from the factory. The binder shows entry i on
    // a card (index -1: none).
    void setItemPrototype(ItemFactory factory, ItemBinder binder);
    // A card is minItemSize high; columns are at least minItemSize wide and share the width up
    // to maxItemSize.
    QSize minItemSize() const { return m_minItemSize; }
    void setMinItemSize(QSize size);
    QSize maxItemSize() const { return m_maxItemSize; }
    void setMaxItemSize(QSize size);

    // The number of entries, and those of them that head a section; the selection is emptied and
    // the visible cards bound again.
    int contentCount() const { return m_count; }
    void setContentCount(int count, const QList<int> &sectionHeadings = {});
    // Binds the visible cards again (their entries changed in place).
    void reloadVisibleItems();

    QList<int> selectionIndexes() const { return m_selection; }
    void setSelectionIndexes(const QList<int> &indexes);

    // The card showing entry i when it is made (visible); null otherwise.
    DMCollectionViewItem *itemAtIndex(int index) const;
    // Every card made, in index order.
    QList<DMCollectionViewItem *> visibleItems() const;
    // The frame of entry i in the grid (content coordinates); a section's heading spans the row.
    QRect frameForItemAtIndex(int index) const;
    int columnCount() const;
    int rowCount() const;
    // The whole grid of cards, every entry on its card, as for printing: its size (the columns
    // the view shows, every row) and its cards drawn as they draw themselves, unselected. Cards
    // of entries out of sight are made (or taken from those set aside) for the time of the call.
    QSize contentsSize() const;
    void renderContents(QPainter *painter, const QRect &area);
    // Scrolls so that the point of the grid (content coordinates) is visible.
    void scrollPoint(QPoint point);
    // Scrolls the least that brings the rectangle of the grid (content coordinates) into sight,
    // its top first when it is higher than the view; the cards of its places are then made.
    void scrollRectToVisible(const QRect &rect);
    // The index of the entry at a point of the viewport; -1 for none.
    int indexAtPoint(QPoint viewportPoint) const;

signals:
    void selectionIndexesChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    struct Place
    {
        int row = 0;
        int column = 0;
        bool heading = false;
    };
    Place placeOfIndex(int index) const;
    // The entry at a place of the grid: a heading at any column of its row; -1 for none.
    int indexAtRowAndColumn(int row, int column) const;
    // The first and last entries of the rows from first to last; first > last when none.
    std::pair<int, int> indexesOfRows(int firstRow, int lastRow) const;
    QSize itemSize() const;
    void updateScrollBars();
    void layoutItems();
    // A card for the entry, bound to it: one set aside, else a new one from the prototype.
    std::unique_ptr<DMCollectionViewItem> cardForIndex(int index);
    void selectionDidChange();

    DMCollectionViewDragOperationDelegate *m_dragDelegate = nullptr;
    ItemFactory m_factory;
    ItemBinder m_binder;
    QSize m_minItemSize{200, 100};
    QSize m_maxItemSize{100000, 100};
    int m_count = 0;
    QList<int> m_sectionHeadings; // ascending
    QList<int> m_selection;
    int m_anchor = -1;
    std::map<int, std::unique_ptr<DMCollectionViewItem>> m_items; // by index
    std::vector<std::unique_ptr<DMCollectionViewItem>> m_spareItems;
};
