#pragma once

#include "DMSortDescriptor.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <Qt>

#include <optional>
#include <vector>

class DMOutlineView;
class DMOutlineViewModel;
class QMimeData;
class QObject;

// An item of an outline: a handle that only the data source understands (it may be the
// address of one of its objects). The outline never dereferences it; null means the root.
using DMOutlineItem = const void *;

// What a drop offers: the payload, the object the drag came from (null when unknown, e.g. from
// another application) and the operations the source allows.
struct DMDraggingInfo
{
    const QMimeData *pasteboard = nullptr;
    QObject *source = nullptr;
    Qt::DropActions sourceOperationMask = Qt::CopyAction | Qt::MoveAction;
};

// Supplies an outline view with its tree, its values and row heights, and takes its edits and
// drops. Every function's default means "not handled": a data source that answers no children
// shows nothing. The outline asks again for anything it has not cached; it caches the tree and
// the row heights until it is told to reload.
//
// Lifetime: an adapter using this data source registers itself here; destroying the data source
// first detaches every adapter still registered, which then shows nothing.
class DMOutlineViewDataSource
{
public:
    DMOutlineViewDataSource() = default;
    DMOutlineViewDataSource(const DMOutlineViewDataSource &) = delete;
    DMOutlineViewDataSource &operator=(const DMOutlineViewDataSource &) = delete;
    virtual ~DMOutlineViewDataSource();

    // The tree. A null item is the root. Children of an item are asked for only when the item
    // is expandable.
    virtual int outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem) { return 0; }
    virtual DMOutlineItem outlineViewChildOfItem(DMOutlineView *, int, DMOutlineItem) { return nullptr; }
    virtual bool outlineViewIsItemExpandable(DMOutlineView *, DMOutlineItem) { return false; }

    // Cell values by column identifier, and in-place edits of them.
    virtual QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *, const QString &, DMOutlineItem)
    {
        return {};
    }
    virtual void outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *, const QVariant &, const QString &,
                                                               DMOutlineItem)
    {
    }

    // A click on a sortable column's header: the descriptors, the column clicked first.
    virtual void outlineViewSortDescriptorsDidChange(DMOutlineView *, const QList<DMSortDescriptor> &) {}

    // A row's height in pixels; nothing means the outline's own row height.
    virtual std::optional<int> outlineViewHeightOfRowByItem(DMOutlineView *, DMOutlineItem) { return std::nullopt; }

    // Drag and drop. writeItems fills the pasteboard with the dragged items (in row order) and
    // answers whether the drag may start. A drop proposes a parent (null: the top level) and a
    // child index (-1: onto the parent itself); validation answers the operation, IgnoreAction
    // refusing it.
    virtual bool outlineViewWriteItemsToPasteboard(DMOutlineView *, const QList<DMOutlineItem> &, QMimeData *)
    {
        return false;
    }
    virtual Qt::DropAction outlineViewValidateDropProposedItemProposedChildIndex(DMOutlineView *,
                                                                                 const DMDraggingInfo &,
                                                                                 DMOutlineItem, int)
    {
        return Qt::IgnoreAction;
    }
    virtual bool outlineViewAcceptDropItemChildIndex(DMOutlineView *, const DMDraggingInfo &, DMOutlineItem, int)
    {
        return false;
    }

private:
    friend class DMOutlineViewModel;
    std::vector<DMOutlineViewModel *> m_registeredModels;
};
