// DMProjectDocumentProjectOutlineDS: its life with the outline, the tree of rows, row heights,
// the expansion state kept in the model and the selection mirrored onto the canvas.
#include "DMProjectDocumentProjectOutlineDS.h"

#include "DMEmptyCell.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectOutlineDocument.h"
#include "DMProjectResource.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"

#include <QUuid>

#include <algorithm>

namespace {

constexpr int kDefaultRowHeight = 20;

// The controllers of the open documents by token; only the GUI thread reads and writes it. Never
// destroyed, so that a document released during the process's exit still finds it.
QHash<QString, DMProjectDocumentProjectOutlineDS *> &controllersByToken()
{
    static auto *controllers = new QHash<QString, DMProjectDocumentProjectOutlineDS *>;
    return *controllers;
}

bool isExpandableItemKind(std::uint32_t kind)
{
    return kind == kDMProjectItem_Kind_Process || kind == kDMProjectItem_Kind_ItemGroup;
}

} // namespace

DMProjectDocumentProjectOutlineDS::DMProjectDocumentProjectOutlineDS(DMProjectOutlineDocument &document)
    : m_document(document),
      m_documentToken(QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_emptyCell(std::make_unique<DMEmptyCell>()),
      m_dateEditor([this] {
          if (DMOutlineView *outline = m_document.projectOutlineView())
              outline->viewport()->update();
      })
{
    controllersByToken().insert(m_documentToken, this);
}

DMProjectDocumentProjectOutlineDS::~DMProjectDocumentProjectOutlineDS()
{
    controllersByToken().remove(m_documentToken);
    detachFromOutlineView();
}

DMProjectDocumentProjectOutlineDS *DMProjectDocumentProjectOutlineDS::controllerWithDocumentToken(const QString &token)
{
    return controllersByToken().value(token, nullptr);
}

void DMProjectDocumentProjectOutlineDS::detachFromOutlineView()
{
    closeDateEditor();
    if (DMOutlineView *outline = m_document.projectOutlineView()) {
        if (outline->delegate() == this)
            outline->setDelegate(nullptr);
        if (outline->dataSource() == this)
            outline->setDataSource(nullptr);
    }
}

void DMProjectDocumentProjectOutlineDS::projectDidChange()
{
    closeDateEditor();
    m_objects.clear();
}

int DMProjectDocumentProjectOutlineDS::viewMode() const
{
    const auto project = m_document.project();
    return project ? project->attribute(kDMProject_ViewMode).toInt() : -1;
}

void DMProjectDocumentProjectOutlineDS::expandParentsOfItem(const DMProjectItem &item)
{
    DMOutlineView *outline = m_document.projectOutlineView();
    if (!outline || viewMode() != kDMProjectViewMode_Gantt)
        return;
    QList<std::shared_ptr<DMProjectItem>> parents;
    for (auto parent = item.parentItem(); parent; parent = parent->parentItem())
        parents.prepend(parent);
    for (const auto &parent : parents) {
        const DMOutlineItem handle = itemForObject(parent.get());
        if (!outline->isItemExpanded(handle))
            outline->expandItem(handle);
    }
}

void DMProjectDocumentProjectOutlineDS::itemDatesDidChange(const QList<DMProjectItem *> &items)
{
    DMOutlineView *outline = m_document.projectOutlineView();
    if (!outline || items.isEmpty())
        return;
    if (viewMode() != kDMProjectViewMode_Gantt) {
        // Resource rows sum up what their tasks show.
        outline->viewport()->update();
        return;
    }
    const QStringList columns{kBeginDateColumn, kEndDateColumn, kDurationColumn, kCostColumn};
    // More items than rows fit in view: every row shown is redrawn, without looking for them.
    if (qsizetype(items.size()) * std::max(1, outline->rowHeight()) > outline->viewport()->height()) {
        outline->updateCellsOfColumns(columns);
        return;
    }
    QList<DMOutlineItem> handles;
    handles.reserve(items.size());
    for (const DMProjectItem *item : items)
        handles.append(itemForObject(item));
    outline->updateCellsOfColumns(columns, &handles);
}

void DMProjectDocumentProjectOutlineDS::reloadAndRestoreExpansionState()
{
    DMOutlineView *outline = m_document.projectOutlineView();
    if (!outline)
        return;
    // Forget the addresses of objects that are gone, so the table does not grow for ever.
    m_objects.forgetGoneObjects();
    outline->reloadData();
    const bool wasRestoring = m_restoring;
    m_restoring = true;
    // Rows kept expanded by the reload whose stored state says otherwise (after an undo) close;
    // from the bottom up, so that the rows still to visit keep their numbers.
    for (int row = outline->numberOfRows() - 1; row >= 0; --row) {
        const DMOutlineItem item = outline->itemAtRow(row);
        if (outline->isItemExpanded(item) && !storedExpansionState(objectForItem(item).get()))
            outline->collapseItem(item);
    }
    outline->expandItemExpandChildren(nullptr, true);
    m_restoring = wasRestoring;
}

bool DMProjectDocumentProjectOutlineDS::isRestoringExpansionState() const
{
    return m_restoring || m_document.isRestoringProjectOutlineState();
}

bool DMProjectDocumentProjectOutlineDS::storedExpansionState(const DMProjectObject *object) const
{
    if (!object || !isExpandableObject(object))
        return false;
    if (const auto *projectItem = dynamic_cast<const DMProjectItem *>(object))
        return projectItem->attribute(kDMProjectItem_GanttView_NodeIsExpanded).toBool();
    if (const auto *resource = dynamic_cast<const DMProjectResource *>(object))
        return resource->attribute(kDMProjectResource_ResourceView_NodeIsExpanded).toBool();
    return false;
}

DMOutlineItem DMProjectDocumentProjectOutlineDS::remember(const std::shared_ptr<DMProjectObject> &object) const
{
    return m_objects.remember(object);
}

std::shared_ptr<DMProjectObject> DMProjectDocumentProjectOutlineDS::objectForItem(DMOutlineItem item) const
{
    return m_objects.objectForItem(item);
}

bool DMProjectDocumentProjectOutlineDS::isEventsRow(DMOutlineItem item) const
{
    const auto project = m_document.project();
    return project && item && item == static_cast<DMOutlineItem>(project->eventContainer().get());
}

bool DMProjectDocumentProjectOutlineDS::isExpandableObject(const DMProjectObject *object) const
{
    switch (viewMode()) {
    case kDMProjectViewMode_Gantt:
        if (const auto *item = dynamic_cast<const DMProjectItem *>(object))
            return isExpandableItemKind(item->kind());
        return false;
    case kDMProjectViewMode_Resources:
        if (const auto *resource = dynamic_cast<const DMProjectResource *>(object))
            return resource->isGroup();
        return false;
    default:
        return false;
    }
}

// ---- Tree ----

int DMProjectDocumentProjectOutlineDS::outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem item)
{
    const auto project = m_document.project();
    const int mode = viewMode();
    if (!project || !DMProjectViewMode_showsRows(mode))
        return 0;
    if (!item)
        return int(mode == kDMProjectViewMode_Gantt ? project->tasks().size() : project->resources().size()) + 1;
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    if (!object || !isExpandableObject(object.get()))
        return 0;
    if (const auto *projectItem = dynamic_cast<const DMProjectItem *>(object.get()))
        return int(projectItem->subitems().size());
    if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get()))
        return int(resource->subitems().size());
    return 0;
}

DMOutlineItem DMProjectDocumentProjectOutlineDS::outlineViewChildOfItem(DMOutlineView *, int index, DMOutlineItem item)
{
    const auto project = m_document.project();
    const int mode = viewMode();
    if (!project || index < 0 || !DMProjectViewMode_showsRows(mode))
        return nullptr;
    if (!item) {
        // The events row takes top-level index 0: the lists start at 1.
        if (index == 0)
            return remember(project->eventContainer());
        if (mode == kDMProjectViewMode_Gantt)
            return index - 1 < project->tasks().size() ? remember(project->tasks().at(index - 1)) : nullptr;
        return index - 1 < project->resources().size() ? remember(project->resources().at(index - 1)) : nullptr;
    }
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    if (const auto *projectItem = dynamic_cast<const DMProjectItem *>(object.get()))
        return index < projectItem->subitems().size() ? remember(projectItem->subitems().at(index)) : nullptr;
    if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get()))
        return index < resource->subitems().size() ? remember(resource->subitems().at(index)) : nullptr;
    return nullptr;
}

bool DMProjectDocumentProjectOutlineDS::outlineViewIsItemExpandable(DMOutlineView *, DMOutlineItem item)
{
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    return object && isExpandableObject(object.get());
}

std::optional<int> DMProjectDocumentProjectOutlineDS::outlineViewHeightOfRowByItem(DMOutlineView *view, DMOutlineItem item)
{
    const int base = view ? view->rowHeight() : kDefaultRowHeight;
    const auto project = m_document.project();
    if (!project)
        return std::nullopt;
    if (isEventsRow(item))
        return base * std::max(1, project->eventContainer()->subRowCount());
    if (viewMode() == kDMProjectViewMode_Resources)
        if (const auto resource = std::dynamic_pointer_cast<DMProjectResource>(objectForItem(item)))
            return base * std::max(1, resource->subRowCount());
    return std::nullopt;
}

// ---- Expansion ----

bool DMProjectDocumentProjectOutlineDS::outlineViewShouldExpandItem(DMOutlineView *, DMOutlineItem item)
{
    return !isRestoringExpansionState() || storedExpansionState(objectForItem(item).get());
}

void DMProjectDocumentProjectOutlineDS::storeExpansionState(DMOutlineItem item, bool expanded)
{
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    if (!object || !isExpandableObject(object.get()))
        return;
    const auto project = m_document.project();
    bool hasSubitems = false;
    {
        // The state is a view setting: it makes no undo step of its own.
        const DMUndoRegistrationPause pause(project ? project->undoManager() : nullptr);
        if (auto *projectItem = dynamic_cast<DMProjectItem *>(object.get())) {
            projectItem->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, expanded);
            hasSubitems = !projectItem->subitems().isEmpty();
        } else if (auto *resource = dynamic_cast<DMProjectResource *>(object.get())) {
            resource->setAttribute(kDMProjectResource_ResourceView_NodeIsExpanded, expanded);
            hasSubitems = !resource->subitems().isEmpty();
        }
    }
    // The canvas follows: its rows 0.5 s after the last change, the bars of hidden rows sooner.
    if (DMProjectDocumentObjectViewDataSource *canvas = m_document.objectViewDataSource())
        canvas->projectOutlineDidExpandOrCollapse(expanded, hasSubitems, isRestoringExpansionState());
}

void DMProjectDocumentProjectOutlineDS::outlineViewItemDidExpand(DMOutlineView *, DMOutlineItem item)
{
    storeExpansionState(item, true);
}

void DMProjectDocumentProjectOutlineDS::outlineViewItemDidCollapse(DMOutlineView *, DMOutlineItem item)
{
    storeExpansionState(item, false);
}

// ---- Selection ----

bool DMProjectDocumentProjectOutlineDS::outlineViewShouldSelectItem(DMOutlineView *, DMOutlineItem item)
{
    return !isEventsRow(item);
}

QList<int> DMProjectDocumentProjectOutlineDS::outlineViewSelectionIndexesForProposedSelection(DMOutlineView *,
                                                                                              const QList<int> &proposed)
{
    QList<int> rows = proposed;
    rows.removeAll(0); // the events row is never selected
    return rows;
}

void DMProjectDocumentProjectOutlineDS::outlineViewSelectionDidChange(DMOutlineView *)
{
    if (DMProjectDocumentObjectViewDataSource *canvas = m_document.objectViewDataSource())
        canvas->projectOutlineSelectionDidChange();
}
