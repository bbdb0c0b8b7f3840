#pragma once

#include "DMOutlineViewDataSource.h"

#include <QColor>
#include <QFont>
#include <QIcon>

#include <functional>

class QAbstractItemDelegate;
class QPainter;
class QRect;

// What one cell is about to show; the delegate may change it before it is drawn.
struct DMOutlineCell
{
    QVariant objectValue;
    // The value as shown; replacing it is how a formatter is applied. Empty for a cell drawn by
    // a data cell, which shows the value its own way.
    QString text;
    QColor textColor; // invalid: the palette's
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QIcon image;
    DMOutlineItem representedObject = nullptr;
    // The cell that draws and edits this one (outlineViewDataCellForTableColumnItem, else the
    // column's), null for the outline's own text cell. The delegate may set it up here (a date
    // cell's elements); textColor and font still apply to what it draws.
    QAbstractItemDelegate *dataCell = nullptr;
    // When set, draws the cell's content (over the row's background) in place of text and image.
    std::function<void(QPainter &, const QRect &, DMOutlineItem representedObject)> draw;
};

// Decisions and notifications of an outline view. Every function's default means "not
// handled": the outline does what it would do without a delegate.
//
// Lifetime: the view registers itself here when it is given this delegate; destroying the
// delegate first clears the view's pointer.
class DMOutlineViewDelegate
{
public:
    DMOutlineViewDelegate() = default;
    DMOutlineViewDelegate(const DMOutlineViewDelegate &) = delete;
    DMOutlineViewDelegate &operator=(const DMOutlineViewDelegate &) = delete;
    virtual ~DMOutlineViewDelegate();

    // Asked for every expansion and collapse, by the user or by the program.
    virtual bool outlineViewShouldExpandItem(DMOutlineView *, DMOutlineItem) { return true; }
    virtual bool outlineViewShouldCollapseItem(DMOutlineView *, DMOutlineItem) { return true; }
    virtual void outlineViewItemDidExpand(DMOutlineView *, DMOutlineItem) {}
    virtual void outlineViewItemDidCollapse(DMOutlineView *, DMOutlineItem) {}

    // Asked when the user starts editing a cell of an editable column.
    virtual bool outlineViewShouldEditTableColumnItem(DMOutlineView *, const QString &, DMOutlineItem)
    {
        return true;
    }
    // Whether a cell of an editable column is edited in the outline itself (by its own editor or
    // one the delegate lays over it) rather than elsewhere (an inspector): Tab and Shift+Tab carry
    // an open editor only to such cells. Asked without anything being opened.
    virtual bool outlineViewEditsTableColumnItemInPlace(DMOutlineView *, const QString &, DMOutlineItem)
    {
        return true;
    }
    virtual void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *, DMOutlineCell &, const QString &,
                                                              DMOutlineItem)
    {
    }
    // The cell that draws and edits one row's cell of a column; null means the column's own
    // (DMOutlineView::setDataCellForTableColumn), or the outline's text cell when it has none.
    virtual QAbstractItemDelegate *outlineViewDataCellForTableColumnItem(DMOutlineView *, const QString &, DMOutlineItem)
    {
        return nullptr;
    }
    // The tool tip of a cell; empty: none.
    virtual QString outlineViewToolTipForTableColumnItem(DMOutlineView *, const QString &, DMOutlineItem)
    {
        return {};
    }

    // Selection: the user may change it at all, each selected item may be refused, then the whole proposed set of rows
    // (ascending) may be replaced. Told after every change.
    virtual bool selectionShouldChangeInOutlineView(DMOutlineView *) { return true; }
    virtual bool outlineViewShouldSelectItem(DMOutlineView *, DMOutlineItem) { return true; }
    virtual QList<int> outlineViewSelectionIndexesForProposedSelection(DMOutlineView *, const QList<int> &proposed)
    {
        return proposed;
    }
    virtual void outlineViewSelectionDidChange(DMOutlineView *) {}

private:
    friend class DMOutlineView;
    std::vector<DMOutlineView *> m_registeredViews;
};
