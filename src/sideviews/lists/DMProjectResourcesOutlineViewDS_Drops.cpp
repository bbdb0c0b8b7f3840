// DMProjectResourcesOutlineViewDS: reordering and regrouping resources by drag and drop.
// Payloads carry this document's token and the resource's ID; anything else is refused.
#include "DMProjectResourcesOutlineViewDS.h"

#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectListDocument.h"
#include "DMProjectOutlineDragPayload.h"
#include "DMProjectResource.h"
#include "DMProjectUndoStep.h"

namespace {

DMProjectResource::ResourceList &listOf(DMProject &project, const DMProjectResource &resource)
{
    const auto parent = resource.parentItem();
    return parent ? parent->subitems() : project.resources();
}

bool isInside(const DMProjectResource *resource, const DMProjectResource *root)
{
    for (const DMProjectResource *at = resource; at; at = at->parentItemPointer())
        if (at == root)
            return true;
    return false;
}

} // namespace

bool DMProjectResourcesOutlineViewDS::outlineViewWriteItemsToPasteboard(DMOutlineView *, const QList<DMOutlineItem> &items,
                                                                       QMimeData *pasteboard)
{
    const QString token = m_document.dragPayloadDocumentToken();
    const auto resource = items.size() == 1 ? resourceForItem(items.first()) : nullptr;
    if (!resource || !resource->isAttached() || token.isEmpty())
        return false;
    DMProjectOutlineDragPayload{token, resource->objectID(), resource->className()}.writeToPasteboard(pasteboard, kDragType);
    return true;
}

std::shared_ptr<DMProjectResource> DMProjectResourcesOutlineViewDS::draggedResource(const QMimeData *pasteboard) const
{
    const auto project = m_document.project();
    const auto payload = DMProjectOutlineDragPayload::fromPasteboard(pasteboard, kDragType);
    const QString token = m_document.dragPayloadDocumentToken();
    if (!project || !payload || token.isEmpty() || payload->documentToken != token)
        return nullptr;
    const auto resource = project->objectWithIDAndClass<DMProjectResource>(payload->objectID);
    return resource && resource->isAttached() ? resource : nullptr;
}

Qt::DropAction DMProjectResourcesOutlineViewDS::outlineViewValidateDropProposedItemProposedChildIndex(
    DMOutlineView *, const DMDraggingInfo &info, DMOutlineItem item, int)
{
    const auto dragged = draggedResource(info.pasteboard);
    const auto parent = resourceForItem(item);
    // Never into itself or one of its own members.
    if (!dragged || (item && !parent) || isInside(parent.get(), dragged.get()))
        return Qt::IgnoreAction;
    return Qt::MoveAction;
}

bool DMProjectResourcesOutlineViewDS::outlineViewAcceptDropItemChildIndex(DMOutlineView *view, const DMDraggingInfo &info,
                                                                         DMOutlineItem item, int childIndex)
{
    const auto project = m_document.project();
    if (!project || outlineViewValidateDropProposedItemProposedChildIndex(view, info, item, childIndex) != Qt::MoveAction) {
        reload();
        return false;
    }
    const auto dragged = draggedResource(info.pasteboard);
    auto parent = resourceForItem(item);
    int index = childIndex;
    if (parent && !parent->isGroup()) {
        // Onto a plain resource: just before it, in its group.
        const auto &list = listOf(*project, *parent);
        index = int(list.indexOf(parent));
        parent = parent->parentItem();
    }
    DMProject_applyAsOneUndoStep(project, DMLocalizedString("Move"), [&] {
        auto &source = listOf(*project, *dragged);
        auto &destination = parent ? parent->subitems() : project->resources();
        const int old = int(source.indexOf(dragged));
        const bool sameList = &source == &destination;
        source.removeOne(dragged);
        const int target = sameList && index > old ? index - 1 : index;
        if (target < 0 || target >= destination.size())
            destination.append(dragged);
        else
            destination.insert(target, dragged);
    });
    m_document.projectListDidChangeProject();
    reload();
    if (DMOutlineView *outline = outlineView()) {
        if (parent)
            outline->expandItem(itemForObject(parent.get()));
        const int row = outline->rowForItem(itemForObject(dragged.get()));
        if (row >= 0)
            outline->selectRowIndexesByExtendingSelection({row}, false);
    }
    return true;
}
