// DMProjectItemsOutlineViewDS: reordering the item tree by drag and drop. Payloads carry this
// document's token and the item's ID; anything else (another document's, a stale or a foreign
// payload) is refused.
#include "DMProjectItemsOutlineViewDS.h"

#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectListDocument.h"
#include "DMProjectOutlineDragPayload.h"
#include "DMProjectUndoStep.h"

#include <algorithm>

struct DMProjectItemsOutlineViewDS::Drop
{
    Qt::DropAction operation = Qt::IgnoreAction;
    std::shared_ptr<DMProjectItem> dragged;
    std::shared_ptr<DMProjectItem> parent; // null: the top level
    int index = 0;                         // where it goes in the parent's list, once taken out
};

namespace {

DMProjectItem::ItemList &childrenOf(DMProject &project, DMProjectItem *parent)
{
    return parent ? parent->subitems() : project.tasks();
}

bool isProcess(const DMProjectItem *item)
{
    return item && item->kind() == kDMProjectItem_Kind_Process;
}

} // namespace

bool DMProjectItemsOutlineViewDS::outlineViewWriteItemsToPasteboard(DMOutlineView *, const QList<DMOutlineItem> &items,
                                                                   QMimeData *pasteboard)
{
    const QString token = m_document.dragPayloadDocumentToken();
    if (items.size() != 1 || token.isEmpty())
        return false;
    const auto item = itemForOutlineItem(items.first());
    if (!item || !item->isAttached())
        return false;
    DMProjectOutlineDragPayload{token, item->objectID(), item->className()}.writeToPasteboard(pasteboard);
    return true;
}

DMProjectItemsOutlineViewDS::Drop DMProjectItemsOutlineViewDS::resolveDrop(const QMimeData *pasteboard,
                                                                           DMOutlineItem parentItem, int childIndex) const
{
    Drop drop;
    const auto project = m_document.project();
    const auto payload = DMProjectOutlineDragPayload::fromPasteboard(pasteboard);
    const QString token = m_document.dragPayloadDocumentToken();
    if (!project || !payload || token.isEmpty() || payload->documentToken != token)
        return drop;
    drop.dragged = std::dynamic_pointer_cast<DMProjectItem>(project->objectWithIDAndClass(payload->objectID, payload->className));
    // Only rows of the item tree move here: not events, not objects taken out of the project.
    if (!drop.dragged || !drop.dragged->isAttached() || drop.dragged->kind() == kDMProjectItem_Kind_Event)
        return drop;
    drop.parent = itemForOutlineItem(parentItem);
    if ((parentItem && !drop.parent) || drop.parent == drop.dragged
        || (drop.parent && drop.parent->isChildOfItem(drop.dragged.get())))
        return drop;
    DMProjectItem *parent = drop.parent.get();
    const bool sameParent = parent == drop.dragged->parentItemPointer();
    if (childIndex < 0) {
        // Onto a row: only a process takes it, as its first subitem.
        if (!isProcess(parent) || sameParent)
            return drop;
        drop.index = 0;
        drop.operation = Qt::MoveAction;
        return drop;
    }
    // Between rows: at the top level or among a process's subitems (an item group takes none).
    if (parent && !isProcess(parent))
        return drop;
    const DMProjectItem::ItemList &siblings = childrenOf(*project, drop.dragged->parentItemPointer());
    const int current = int(siblings.indexOf(drop.dragged));
    if (sameParent && (childIndex == current || childIndex == current + 1))
        return drop; // it would stay where it is
    const int count = int(childrenOf(*project, parent).size()) - (sameParent ? 1 : 0);
    drop.index = std::clamp(sameParent && childIndex > current ? childIndex - 1 : childIndex, 0, count);
    drop.operation = Qt::MoveAction;
    return drop;
}

Qt::DropAction DMProjectItemsOutlineViewDS::outlineViewValidateDropProposedItemProposedChildIndex(
    DMOutlineView *, const DMDraggingInfo &info, DMOutlineItem item, int childIndex)
{
    return resolveDrop(info.pasteboard, item, childIndex).operation;
}

bool DMProjectItemsOutlineViewDS::outlineViewAcceptDropItemChildIndex(DMOutlineView *, const DMDraggingInfo &info,
                                                                     DMOutlineItem item, int childIndex)
{
    // Validated again: the tree may have changed since the drag last moved.
    const Drop drop = resolveDrop(info.pasteboard, item, childIndex);
    const auto project = m_document.project();
    if (drop.operation != Qt::MoveAction || !project) {
        reload(); // no row stays displaced
        return false;
    }
    // One undo step, which also tells the document that it was edited.
    DMProject_applyAsOneUndoStep(project, DMLocalizedString("Move"), [&] {
        childrenOf(*project, drop.dragged->parentItemPointer()).removeOne(drop.dragged);
        auto &destination = childrenOf(*project, drop.parent.get());
        destination.insert(std::clamp<qsizetype>(drop.index, 0, destination.size()), drop.dragged);
    });
    // The project outline and the Gantt canvas follow at once.
    m_document.projectListDidChangeProject();
    reload();
    if (DMOutlineView *outline = outlineView()) {
        if (drop.parent)
            outline->expandItem(itemForObject(drop.parent.get()));
        const int row = outline->rowForItem(itemForObject(drop.dragged.get()));
        if (row >= 0)
            outline->selectRowIndexesByExtendingSelection({row}, false);
    }
    return true;
}
