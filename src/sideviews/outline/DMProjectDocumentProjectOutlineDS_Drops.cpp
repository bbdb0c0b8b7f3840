// DMProjectDocumentProjectOutlineDS: moving rows by drag and drop, and copying items dropped
// from another document's outline.
#include "DMProjectDocumentProjectOutlineDS.h"

#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectOutlineDocument.h"
#include "DMProjectOutlineDragPayload.h"
#include "DMProjectResource.h"
#include "DMProjectUndoStep.h"

#include <algorithm>

// What a drop would do, resolved from the payload and the proposal.
struct DMProjectDocumentProjectOutlineDS::Drop
{
    Qt::DropAction operation = Qt::IgnoreAction;
    DMProjectDocumentProjectOutlineDS *source = nullptr; // the outline the drag came from
    std::shared_ptr<DMProjectObject> dragged;
    std::shared_ptr<DMProjectObject> parent; // null: the top level
    int index = 0;                           // a move's position in the parent's list
};

namespace {

// The list that holds an object now: its parent's subitems, else the project's top level.
DMProjectItem::ItemList &listOf(DMProject &project, DMProjectItem &item)
{
    const auto parent = item.parentItem();
    return parent ? parent->subitems() : project.tasks();
}

DMProjectResource::ResourceList &listOf(DMProject &project, DMProjectResource &resource)
{
    const auto parent = resource.parentItem();
    return parent ? parent->subitems() : project.resources();
}

DMProjectItem::ItemList &childrenOf(DMProject &project, DMProjectItem *parent)
{
    return parent ? parent->subitems() : project.tasks();
}

DMProjectResource::ResourceList &childrenOf(DMProject &project, DMProjectResource *parent)
{
    return parent ? parent->subitems() : project.resources();
}

// True when `object` lies inside the subtree of `root` (below it).
template <typename T>
bool isInsideSubtree(const T *object, const T *root)
{
    for (const T *ancestor = object ? object->parentItemPointer() : nullptr; ancestor; ancestor = ancestor->parentItemPointer())
        if (ancestor == root)
            return true;
    return false;
}

// Where a move between rows lands, with the index taken before the dragged object leaves its
// list: the proposed index, one less past its old place in the same list, and never before 0.
int moveIndex(int proposed, int current, bool sameList)
{
    return std::max(0, proposed > current && sameList ? proposed - 1 : proposed);
}

template <typename T>
Qt::DropAction resolveMove(DMProject &project, T &dragged, T *parent, bool acceptsChildren, int childIndex,
                           int *insertionIndex)
{
    // A parent inside the dragged subtree would take its own ancestor.
    if (isInsideSubtree(parent, &dragged))
        return Qt::IgnoreAction;
    const bool sameParent = parent == dragged.parentItemPointer();
    if (childIndex == -1) {
        // Onto a parent: it becomes the first child.
        if (!parent || !acceptsChildren || sameParent)
            return Qt::IgnoreAction;
        *insertionIndex = 0;
        return Qt::MoveAction;
    }
    if (parent && !acceptsChildren)
        return Qt::IgnoreAction;
    // At the top level the events row takes index 0.
    const int proposed = parent ? childIndex : childIndex - 1;
    const int current = int(listOf(project, dragged).indexOf(std::static_pointer_cast<T>(dragged.shared_from_this())));
    if (sameParent && (proposed == current || proposed == current + 1))
        return Qt::IgnoreAction; // it would stay where it is
    const int count = int(childrenOf(project, parent).size()) - (sameParent ? 1 : 0);
    *insertionIndex = std::min(moveIndex(proposed, current, sameParent), count);
    return Qt::MoveAction;
}

template <typename T>
void moveInTree(DMProject &project, const std::shared_ptr<T> &dragged, T *parent, int index)
{
    listOf(project, *dragged).removeOne(dragged);
    auto &target = childrenOf(project, parent);
    target.insert(std::clamp<qsizetype>(index, 0, target.size()), dragged);
}

} // namespace

// ---- Dragging a row ----

bool DMProjectDocumentProjectOutlineDS::outlineViewWriteItemsToPasteboard(DMOutlineView *, const QList<DMOutlineItem> &items,
                                                                         QMimeData *pasteboard)
{
    // One row at a time, never the events row.
    if (items.size() != 1 || isEventsRow(items.first()))
        return false;
    const std::shared_ptr<DMProjectObject> object = objectForItem(items.first());
    const int mode = viewMode();
    const bool isRow = (mode == kDMProjectViewMode_Gantt && std::dynamic_pointer_cast<DMProjectItem>(object))
                    || (mode == kDMProjectViewMode_Resources && std::dynamic_pointer_cast<DMProjectResource>(object));
    if (!isRow || !object->isAttached())
        return false;
    DMProjectOutlineDragPayload{m_documentToken, object->objectID(), object->className()}.writeToPasteboard(pasteboard);
    return true;
}

// ---- Where a drop may go ----

DMProjectDocumentProjectOutlineDS::Drop DMProjectDocumentProjectOutlineDS::resolveDrop(const QMimeData *pasteboard,
                                                                                       DMOutlineItem parentItem,
                                                                                       int childIndex)
{
    Drop drop;
    const std::shared_ptr<DMProject> project = m_document.project();
    const int mode = viewMode();
    const std::optional<DMProjectOutlineDragPayload> payload = DMProjectOutlineDragPayload::fromPasteboard(pasteboard);
    if (!project || !DMProjectViewMode_showsRows(mode) || !payload)
        return drop;
    // The document the drag came from must still be open, and the object still in it.
    drop.source = controllerWithDocumentToken(payload->documentToken);
    const std::shared_ptr<DMProject> sourceProject = drop.source ? drop.source->m_document.project() : nullptr;
    drop.dragged = sourceProject ? sourceProject->objectWithIDAndClass(payload->objectID, payload->className) : nullptr;
    if (!drop.dragged || !drop.dragged->isAttached())
        return drop;
    // Never above the events row, into it, or onto the dragged row itself.
    drop.parent = objectForItem(parentItem);
    if ((!parentItem && childIndex == 0) || isEventsRow(parentItem) || (parentItem && !drop.parent)
        || drop.parent == drop.dragged)
        return drop;
    auto *parentOfItems = dynamic_cast<DMProjectItem *>(drop.parent.get());
    auto *parentOfResources = dynamic_cast<DMProjectResource *>(drop.parent.get());

    if (mode == kDMProjectViewMode_Gantt) {
        auto dragged = std::dynamic_pointer_cast<DMProjectItem>(drop.dragged);
        if (!dragged || std::dynamic_pointer_cast<DMProjectEvent>(dragged) || (drop.parent && !parentOfItems))
            return drop;
        // Only processes take dropped items; an item group takes none, anywhere among its rows.
        const bool acceptsChildren = parentOfItems && parentOfItems->kind() == kDMProjectItem_Kind_Process;
        if (sourceProject != project) {
            // From another document: a copy, into a process or the top level.
            if ((childIndex == -1 || parentOfItems) && !acceptsChildren)
                return drop;
            drop.operation = Qt::CopyAction;
            return drop;
        }
        drop.operation = resolveMove(*project, *dragged, parentOfItems, acceptsChildren, childIndex, &drop.index);
        return drop;
    }
    // Resources move within their own project only.
    auto dragged = std::dynamic_pointer_cast<DMProjectResource>(drop.dragged);
    if (!dragged || sourceProject != project || (drop.parent && !parentOfResources))
        return drop;
    const bool acceptsChildren = parentOfResources && parentOfResources->isGroup();
    drop.operation = resolveMove(*project, *dragged, parentOfResources, acceptsChildren, childIndex, &drop.index);
    return drop;
}

Qt::DropAction DMProjectDocumentProjectOutlineDS::dropOperation(const QMimeData *pasteboard, DMOutlineItem parent,
                                                                int childIndex)
{
    return resolveDrop(pasteboard, parent, childIndex).operation;
}

Qt::DropAction DMProjectDocumentProjectOutlineDS::outlineViewValidateDropProposedItemProposedChildIndex(
    DMOutlineView *, const DMDraggingInfo &info, DMOutlineItem item, int childIndex)
{
    return dropOperation(info.pasteboard, item, childIndex);
}

// ---- The drop ----

bool DMProjectDocumentProjectOutlineDS::outlineViewAcceptDropItemChildIndex(DMOutlineView *, const DMDraggingInfo &info,
                                                                           DMOutlineItem item, int childIndex)
{
    // Validated again: the tree may have changed since the drag last moved.
    const Drop drop = resolveDrop(info.pasteboard, item, childIndex);
    switch (drop.operation) {
    case Qt::MoveAction:
        return moveDropped(drop);
    case Qt::CopyAction:
        return copyDropped(drop);
    default:
        return false;
    }
}

bool DMProjectDocumentProjectOutlineDS::moveDropped(const Drop &drop)
{
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project)
        return false;
    closeDateEditor();
    // One undo step, which also tells the document that it was edited.
    DMProject_applyAsOneUndoStep(project, DMLocalizedString("Move"), [&] {
        if (const auto item = std::dynamic_pointer_cast<DMProjectItem>(drop.dragged))
            moveInTree(*project, item, dynamic_cast<DMProjectItem *>(drop.parent.get()), drop.index);
        else if (const auto resource = std::dynamic_pointer_cast<DMProjectResource>(drop.dragged))
            moveInTree(*project, resource, dynamic_cast<DMProjectResource *>(drop.parent.get()), drop.index);
    });
    relayoutAfterMove();
    return true;
}

bool DMProjectDocumentProjectOutlineDS::copyDropped(const Drop &drop)
{
    const auto item = std::dynamic_pointer_cast<DMProjectItem>(drop.dragged);
    if (!item || !drop.source)
        return false;
    // The source document writes the payload; this one inserts it with new identities, as one
    // undo step, and relays its views out.
    const QVariantMap payload = drop.source->m_document.dictionaryForObjects({item});
    const auto parent = std::dynamic_pointer_cast<DMProjectItem>(drop.parent);
    return !m_document.insertObjectFromDictionnariesInItemNextTo(payload, parent, nullptr).isEmpty();
}

void DMProjectDocumentProjectOutlineDS::relayoutAfterMove()
{
    // The moved row's bar follows at once: the outlines reload, then the canvas's relayout
    // sequence puts every bar on its row.
    reloadAndRestoreExpansionState();
    m_document.reloadTaskListOutline();
    if (DMProjectDocumentObjectViewDataSource *canvas = m_document.objectViewDataSource())
        canvas->relayoutProjectView();
}
