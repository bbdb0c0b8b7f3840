#include "DMProjectOutlineDataSource.h"

#include "DMDateFormatter.h"
#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMUndoManager.h"

#include <QCursor>

#include <algorithm>

const QString DMProjectOutlineDataSource::kTitleColumn = QStringLiteral("title");
const QString DMProjectOutlineDataSource::kBeginDateColumn = QStringLiteral("beginDate");
const QString DMProjectOutlineDataSource::kEndDateColumn = QStringLiteral("endDate");

namespace {

constexpr int kDefaultRowHeight = 20;

bool isExpandableItemKind(std::uint32_t kind)
{
    return kind == kDMProjectItem_Kind_Process || kind == kDMProjectItem_Kind_ItemGroup;
}

} // namespace

DMProjectOutlineDataSource::DMProjectOutlineDataSource(std::weak_ptr<DMProject> project)
    : m_project(std::move(project))
{
}

DMProjectOutlineDataSource::~DMProjectOutlineDataSource() = default;

void DMProjectOutlineDataSource::setProject(std::weak_ptr<DMProject> project)
{
    m_project = std::move(project);
    m_objects.clear();
}

void DMProjectOutlineDataSource::configureOutlineView(DMOutlineView *outlineView)
{
    if (!outlineView)
        return;
    for (const auto &[identifier, title, width] :
         {std::tuple{kTitleColumn, DMLocalizedString("Title"), 180}, std::tuple{kBeginDateColumn, DMLocalizedString("Begin"), 90},
          std::tuple{kEndDateColumn, DMLocalizedString("End"), 90}}) {
        DMOutlineTableColumn column(identifier, title, width);
        // Every edit is the delegate's to decide (outlineViewShouldEditTableColumnItem).
        column.editable = true;
        outlineView->addTableColumn(column);
    }
    outlineView->setRowHeight(kDefaultRowHeight);
}

void DMProjectOutlineDataSource::reloadAndRestoreExpansionState(DMOutlineView *outlineView)
{
    if (!outlineView)
        return;
    // Forget the addresses of objects that are gone, so the table does not grow for ever.
    m_objects.removeIf([](const auto &entry) { return entry.value().expired(); });
    outlineView->reloadData();
    const bool wasRestoring = m_restoringState;
    m_restoringState = true;
    // Rows kept expanded by the reload whose stored state says otherwise (after an undo) close;
    // from the bottom up, so that the rows still to visit keep their numbers.
    for (int row = outlineView->numberOfRows() - 1; row >= 0; --row) {
        const DMOutlineItem item = outlineView->itemAtRow(row);
        if (outlineView->isItemExpanded(item) && !outlineViewShouldExpandItem(outlineView, item))
            outlineView->collapseItem(item);
    }
    outlineView->expandItemExpandChildren(nullptr, true);
    m_restoringState = wasRestoring;
}

int DMProjectOutlineDataSource::viewMode() const
{
    const auto project = m_project.lock();
    return project ? project->attribute(kDMProject_ViewMode).toInt() : -1;
}

DMOutlineItem DMProjectOutlineDataSource::remember(const std::shared_ptr<DMProjectObject> &object)
{
    if (!object)
        return nullptr;
    DMOutlineItem item = object.get();
    m_objects.insert(item, object);
    return item;
}

std::shared_ptr<DMProjectObject> DMProjectOutlineDataSource::objectForItem(DMOutlineItem item) const
{
    if (!item)
        return nullptr;
    const auto it = m_objects.constFind(item);
    return it == m_objects.constEnd() ? nullptr : it->lock();
}

bool DMProjectOutlineDataSource::isEventsRow(DMOutlineItem item) const
{
    const auto project = m_project.lock();
    return project && item && item == static_cast<DMOutlineItem>(project->eventContainer().get());
}

bool DMProjectOutlineDataSource::isExpandableObject(const DMProjectObject *object) const
{
    switch (viewMode()) {
    case 0:
        if (const auto *item = dynamic_cast<const DMProjectItem *>(object))
            return isExpandableItemKind(item->kind());
        return false;
    case 1:
        if (const auto *resource = dynamic_cast<const DMProjectResource *>(object))
            return resource->isGroup();
        return false;
    default:
        return false;
    }
}

// ---- Tree ----

int DMProjectOutlineDataSource::outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem item)
{
    const auto project = m_project.lock();
    const int mode = viewMode();
    if (!project || (mode != 0 && mode != 1))
        return 0;
    if (!item)
        return int(mode == 0 ? project->tasks().size() : project->resources().size()) + 1;
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    if (!object || !isExpandableObject(object.get()))
        return 0;
    if (const auto *projectItem = dynamic_cast<const DMProjectItem *>(object.get()))
        return int(projectItem->subitems().size());
    if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get()))
        return int(resource->subitems().size());
    return 0;
}

DMOutlineItem DMProjectOutlineDataSource::outlineViewChildOfItem(DMOutlineView *, int index, DMOutlineItem item)
{
    const auto project = m_project.lock();
    const int mode = viewMode();
    if (!project || index < 0 || (mode != 0 && mode != 1))
        return nullptr;
    if (!item) {
        if (index == 0)
            return remember(project->eventContainer());
        if (mode == 0)
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

bool DMProjectOutlineDataSource::outlineViewIsItemExpandable(DMOutlineView *, DMOutlineItem item)
{
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    return object && isExpandableObject(object.get());
}

QVariant DMProjectOutlineDataSource::outlineViewObjectValueForTableColumnByItem(DMOutlineView *, const QString &column,
                                                                               DMOutlineItem item)
{
    if (isEventsRow(item))
        return column == kTitleColumn ? QVariant(DMLocalizedString("Events")) : QVariant(QString());
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get()))
        return column == kTitleColumn ? QVariant(resource->name()) : QVariant(QString());
    const auto *projectItem = dynamic_cast<const DMProjectItem *>(object.get());
    if (!projectItem)
        return {};
    if (column == kTitleColumn)
        return projectItem->title();
    if (column == kBeginDateColumn)
        return projectItem->beginDate().NSDate();
    if (column == kEndDateColumn)
        return projectItem->kind() == kDMProjectItem_Kind_Milestone ? QVariant() : QVariant(projectItem->endDate().NSDate());
    return {};
}

std::optional<int> DMProjectOutlineDataSource::outlineViewHeightOfRowByItem(DMOutlineView *view, DMOutlineItem item)
{
    const int base = view ? view->rowHeight() : kDefaultRowHeight;
    const auto project = m_project.lock();
    if (!project)
        return std::nullopt;
    if (isEventsRow(item))
        return base * std::max(1, project->eventContainer()->subRowCount());
    if (viewMode() == 1)
        if (const auto resource = std::dynamic_pointer_cast<DMProjectResource>(objectForItem(item)))
            return base * std::max(1, resource->subRowCount());
    return std::nullopt;
}

// ---- Expansion ----

bool DMProjectOutlineDataSource::outlineViewShouldExpandItem(DMOutlineView *, DMOutlineItem item)
{
    if (!m_restoringState)
        return true;
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    if (!object || !isExpandableObject(object.get()))
        return false;
    if (const auto *projectItem = dynamic_cast<const DMProjectItem *>(object.get()))
        return projectItem->attribute(kDMProjectItem_GanttView_NodeIsExpanded).toBool();
    if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get()))
        return resource->attribute(kDMProjectResource_ResourceView_NodeIsExpanded).toBool();
    return false;
}

void DMProjectOutlineDataSource::storeExpansionState(DMOutlineItem item, bool expanded)
{
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    if (!object || !isExpandableObject(object.get()))
        return;
    const auto project = m_project.lock();
    // The state is a view setting: it makes no undo step of its own.
    DMUndoManager *undo = project ? project->undoManager() : nullptr;
    if (undo)
        undo->disableUndoRegistration();
    bool hasSubitems = false;
    if (auto *projectItem = dynamic_cast<DMProjectItem *>(object.get())) {
        projectItem->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, expanded);
        hasSubitems = !projectItem->subitems().isEmpty();
    } else if (auto *resource = dynamic_cast<DMProjectResource *>(object.get())) {
        resource->setAttribute(kDMProjectResource_ResourceView_NodeIsExpanded, expanded);
        hasSubitems = !resource->subitems().isEmpty();
    }
    if (undo)
        undo->enableUndoRegistration();
    if (m_listener)
        m_listener->projectOutlineDidExpandOrCollapse(expanded, hasSubitems, m_restoringState);
}

void DMProjectOutlineDataSource::outlineViewItemDidExpand(DMOutlineView *, DMOutlineItem item)
{
    storeExpansionState(item, true);
}

void DMProjectOutlineDataSource::outlineViewItemDidCollapse(DMOutlineView *, DMOutlineItem item)
{
    storeExpansionState(item, false);
}

// ---- Cells and selection ----

bool DMProjectOutlineDataSource::outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &, DMOutlineItem)
{
    // In the resource view a click that would edit a row opens the resource inspector instead.
    if (viewMode() != 1 || !view)
        return false;
    if (m_listener)
        m_listener->projectOutlineWillShowResourceInspector();
    const int row = view->selectedRow();
    const auto resource = std::dynamic_pointer_cast<DMProjectResource>(objectForItem(view->itemAtRow(row)));
    if (!resource)
        return false;
    // At the pointer; from the keyboard, at the middle of the row's first cell.
    QPoint point = view->mapFromGlobal(QCursor::pos());
    if (!view->rect().contains(point))
        point = view->viewport()->mapTo(view, view->frameOfCellAtColumnRow(0, row).center() - view->contentOffset());
    DMProjectResourceEditorController *inspector = DMProjectResourceEditorController::sharedInstance();
    inspector->setEditedObject(resource);
    inspector->showAtPointInView(point, view);
    return false;
}

void DMProjectOutlineDataSource::outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *, DMOutlineCell &cell,
                                                                             const QString &column, DMOutlineItem item)
{
    if (column == kTitleColumn && isEventsRow(item)) {
        cell.font.setItalic(true);
        return;
    }
    if (column != kBeginDateColumn && column != kEndDateColumn)
        return;
    const QDateTime date = cell.objectValue.toDateTime();
    if (!date.isValid()) {
        cell.text.clear();
        return;
    }
    const DMDate value = DMDate::dateWithNSDate(date);
    cell.text = m_dateFormatter ? m_dateFormatter->stringFromDate(value)
                                : QLocale().toString(date.date(), QLocale::ShortFormat);
}

bool DMProjectOutlineDataSource::outlineViewShouldSelectItem(DMOutlineView *, DMOutlineItem item)
{
    return !isEventsRow(item);
}

QList<int> DMProjectOutlineDataSource::outlineViewSelectionIndexesForProposedSelection(DMOutlineView *,
                                                                                       const QList<int> &proposed)
{
    QList<int> rows = proposed;
    rows.removeAll(0); // the events row is never selected
    return rows;
}

void DMProjectOutlineDataSource::outlineViewSelectionDidChange(DMOutlineView *)
{
    if (m_listener)
        m_listener->projectOutlineSelectionDidChange();
}
