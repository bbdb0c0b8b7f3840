// DMProjectResourcesOutlineViewDS: the tree of rows, the columns and their values, and the
// commands; drag and drop and the resource file are in their own files.
#include "DMProjectResourcesOutlineViewDS.h"

#include "DMCurrencyFormatter.h"
#include "DMDrawingAdditions.h"
#include "DMEmptyCell.h"
#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMPercentCell.h"
#include "DMPopUpCell.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectListDocument.h"
#include "DMProjectOutlineIcons.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMProjectUndoStep.h"

#include <QBoxLayout>

#include <cmath>

const QString DMProjectResourcesOutlineViewDS::kDragType = QStringLiteral("DMProjectResourceIDPBType");
const QString DMProjectResourcesOutlineViewDS::kNameColumn = QStringLiteral("name");
const QString DMProjectResourcesOutlineViewDS::kIconColumn = QStringLiteral("icon");
const QString DMProjectResourcesOutlineViewDS::kCostColumn = QStringLiteral("cost");
const QString DMProjectResourcesOutlineViewDS::kCostKindColumn = QStringLiteral("costKind");
const QString DMProjectResourcesOutlineViewDS::kEmailColumn = QStringLiteral("email");
const QString DMProjectResourcesOutlineViewDS::kPhoneColumn = QStringLiteral("phone");
const QString DMProjectResourcesOutlineViewDS::kKindColumn = QStringLiteral("kind");
const QString DMProjectResourcesOutlineViewDS::kCompletionColumn = QStringLiteral("completion");
const QString DMProjectResourcesOutlineViewDS::kTotalCostColumn = QStringLiteral("totalCost");

namespace {
constexpr int kMaximumIconSize = 256;
constexpr double kMaximumRate = 1e9;
} // namespace

DMProjectResourcesOutlineViewDS::DMProjectResourcesOutlineViewDS(DMProjectListDocument &document)
    : DMProjectListController(document)
{
}

DMProjectResourcesOutlineViewDS::~DMProjectResourcesOutlineViewDS() = default;

std::shared_ptr<DMProjectResource> DMProjectResourcesOutlineViewDS::resourceForItem(DMOutlineItem item) const
{
    return std::dynamic_pointer_cast<DMProjectResource>(objectForItem(item));
}

std::shared_ptr<DMProjectResource> DMProjectResourcesOutlineViewDS::selectedResource() const
{
    return std::dynamic_pointer_cast<DMProjectResource>(selectedObject());
}

void DMProjectResourcesOutlineViewDS::outlineViewSortDescriptorsDidChange(DMOutlineView *, const QList<DMSortDescriptor> &descriptors)
{
    m_document.sortResourcesWithDescriptors(descriptors);
    reload();
}

// ---- The page ----

void DMProjectResourcesOutlineViewDS::setUpColumns(DMOutlineView *outline)
{
    const auto add = [outline](const QString &identifier, const char *title, int width, bool editable = true) {
        DMOutlineTableColumn column(identifier, title ? DMLocalizedString(title) : QString(), width);
        column.editable = editable;
        // The resource keys the document sorts by.
        if (identifier == kNameColumn)
            column.sortKey = QStringLiteral("name");
        else if (identifier == kCostColumn)
            column.sortKey = QStringLiteral("cost");
        else if (identifier == kCompletionColumn)
            column.sortKey = QStringLiteral("progress");
        outline->addTableColumn(column);
    };
    add(kIconColumn, nullptr, 30);
    add(kNameColumn, "Name", 200);
    add(kCostColumn, "Rate", 90);
    add(kCostKindColumn, "Rate Kind", 120);
    add(kEmailColumn, "E-mail", 180);
    add(kPhoneColumn, "Phone", 120);
    add(kKindColumn, "Kind", 100);
    add(kCompletionColumn, "Completion", 80, false);
    add(kTotalCostColumn, "Total Cost", 100, false);
    outline->setDataCellForTableColumn(
        kCostKindColumn,
        new DMPopUpCell({DMLocalizedString("Hourly Rate"), DMLocalizedString("Daily Rate"), DMLocalizedString("Not Rate-Based")}));
    outline->setDataCellForTableColumn(kKindColumn, new DMPopUpCell({DMLocalizedString("Person"), DMLocalizedString("Other")}));
    outline->setDataCellForTableColumn(kCompletionColumn, new DMPercentCell);
    outline->setRowHeight(22);
    outline->setTreePosition(outline->outlineModel()->logicalColumnWithIdentifier(kNameColumn));
    outline->setKeyboardEditedColumn(kNameColumn);
    outline->registerForDraggedTypes({kDragType});
}

void DMProjectResourcesOutlineViewDS::addButtons(QBoxLayout *bar)
{
    addButton(bar, DMLocalizedString("New Resource"), DMLocalizedString("Add a resource"), [this] { add(false); });
    addButton(bar, DMLocalizedString("New Group"), DMLocalizedString("Add a group of resources"), [this] { add(true); });
    addSelectionButton(bar, DMLocalizedString("Delete"), DMLocalizedString("Delete the selected resource"),
                       [this] { deleteSelected(); });
    addSelectionButton(bar, DMLocalizedString("Inspect"), DMLocalizedString("Show the selected resource's details"),
                       [this] { edit(); });
    bar->addSpacing(16);
    addButton(bar, DMLocalizedString("Export\u2026"), DMLocalizedString("Save the resources to a file"),
              [this] { itemsViewResourcesExport(); });
    addButton(bar, DMLocalizedString("Import\u2026"), DMLocalizedString("Add the resources of a file"),
              [this] { itemsViewResourcesImport(); });
    // The shared inspector moves a resource between groups behind the views' backs: this
    // project's list and outline take the new tree.
    connect(DMProjectResourceEditorController::sharedInstance(), &DMProjectResourceEditorController::resourceGroupOpened,
            this, [this](const std::shared_ptr<DMProject> &project) {
                if (project && project == m_document.project())
                    didChangeResources();
            });
}

// ---- Tree ----

int DMProjectResourcesOutlineViewDS::outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem item)
{
    const auto project = m_document.project();
    if (!project)
        return 0;
    if (!item)
        return int(project->resources().size());
    const auto resource = resourceForItem(item);
    return resource && resource->isGroup() ? int(resource->subitems().size()) : 0;
}

DMOutlineItem DMProjectResourcesOutlineViewDS::outlineViewChildOfItem(DMOutlineView *, int index, DMOutlineItem item)
{
    const auto project = m_document.project();
    if (!project || index < 0)
        return nullptr;
    if (!item)
        return index < project->resources().size() ? remember(project->resources().at(index)) : nullptr;
    const auto resource = resourceForItem(item);
    return resource && index < resource->subitems().size() ? remember(resource->subitems().at(index)) : nullptr;
}

bool DMProjectResourcesOutlineViewDS::outlineViewIsItemExpandable(DMOutlineView *, DMOutlineItem item)
{
    const auto resource = resourceForItem(item);
    return resource && resource->isGroup();
}

// ---- Values ----

bool DMProjectResourcesOutlineViewDS::showsNothing(const DMProjectResource &resource, const QString &column)
{
    if (resource.isGroup())
        return column != kNameColumn && column != kIconColumn;
    const bool person = resource.attribute(kDMProjectResource_Human).toBool();
    return !person && (column == kEmailColumn || column == kPhoneColumn);
}

QVariant DMProjectResourcesOutlineViewDS::outlineViewObjectValueForTableColumnByItem(DMOutlineView *, const QString &column,
                                                                                    DMOutlineItem item)
{
    const auto resource = resourceForItem(item);
    if (!resource)
        return {};
    if (column == kNameColumn)
        return resource->name();
    if (column == kIconColumn) {
        const QImage icon = resource->attribute(kDMProjectResource_Icon).value<QImage>();
        if (!icon.isNull())
            return icon;
        return DMProjectOutlineIcons::imageNamed(DMProjectOutlineIcons::resourceImageName(*resource));
    }
    if (showsNothing(*resource, column))
        return {};
    if (column == kCostColumn)
        return resource->attribute(kDMProjectResource_HourlyCost).toDouble();
    if (column == kCostKindColumn)
        return resource->attribute(kDMProjectResource_CostKind).toInt();
    if (column == kEmailColumn)
        return resource->attribute(kDMProjectResource_Email).toString();
    if (column == kPhoneColumn)
        return resource->attribute(kDMProjectResource_Phone).toString();
    if (column == kKindColumn)
        return resource->attribute(kDMProjectResource_Human).toBool() ? 0 : 1;
    if (column == kCompletionColumn)
        return resource->progress();
    if (column == kTotalCostColumn)
        return double(resource->cost());
    return {};
}

void DMProjectResourcesOutlineViewDS::outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *, const QVariant &value,
                                                                                   const QString &column,
                                                                                   DMOutlineItem item)
{
    const auto resource = resourceForItem(item);
    if (!resource || !resource->isAttached())
        return;
    if (column == kNameColumn) {
        resource->setName(value.toString());
        return;
    }
    // A group keeps only its name here.
    if (resource->isGroup() || showsNothing(*resource, column))
        return;
    if (column == kIconColumn) {
        if (value.typeId() == QMetaType::QImage && !value.value<QImage>().isNull())
            resource->setAttribute(kDMProjectResource_Icon,
                                   imageWithMaxSize(value.value<QImage>(), QSize(kMaximumIconSize, kMaximumIconSize)));
    } else if (column == kCostColumn) {
        bool ok = false;
        const double rate = value.toDouble(&ok);
        if (ok && std::isfinite(rate) && rate >= 0 && rate <= kMaximumRate)
            resource->setAttribute(kDMProjectResource_HourlyCost, rate);
    } else if (column == kCostKindColumn) {
        const int kind = value.toInt();
        if (DMProjectResourceCostKind_isValid(kind))
            resource->setAttribute(kDMProjectResource_CostKind, kind);
    } else if (column == kEmailColumn) {
        resource->setAttribute(kDMProjectResource_Email, value.toString());
    } else if (column == kPhoneColumn) {
        resource->setAttribute(kDMProjectResource_Phone, value.toString());
    } else if (column == kKindColumn) {
        resource->setAttribute(kDMProjectResource_Human, !value.toBool());
    }
}

// ---- Cells ----

QAbstractItemDelegate *DMProjectResourcesOutlineViewDS::outlineViewDataCellForTableColumnItem(DMOutlineView *,
                                                                                            const QString &column,
                                                                                            DMOutlineItem item)
{
    if (column.isEmpty())
        return nullptr;
    const auto resource = resourceForItem(item);
    return resource && showsNothing(*resource, column) ? emptyCell() : nullptr;
}

void DMProjectResourcesOutlineViewDS::outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *, DMOutlineCell &cell,
                                                                                  const QString &column, DMOutlineItem)
{
    if (cell.dataCell && cell.dataCell == emptyCell())
        return;
    if (column == kIconColumn && cell.objectValue.typeId() == QMetaType::QImage) {
        cell.image = QIcon(QPixmap::fromImage(cell.objectValue.value<QImage>()));
        cell.text.clear();
    } else if (column == kCostColumn || column == kTotalCostColumn) {
        const auto formatter = m_document.sharedCurrencyFormatter();
        if (formatter && cell.objectValue.typeId() == QMetaType::Double)
            cell.text = formatter->stringForObjectValue(cell.objectValue);
        cell.alignment = Qt::AlignRight | Qt::AlignVCenter;
    }
}

bool DMProjectResourcesOutlineViewDS::outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &column,
                                                                          DMOutlineItem item)
{
    const bool inPlace = editsInPlace(resourceForItem(item).get(), column);
    const int logical = view ? view->outlineModel()->logicalColumnWithIdentifier(column) : -1;
    const bool editable = logical >= 0 && view->outlineModel()->tableColumns()[size_t(logical)].editable;
    if (inPlace && editable)
        return true;
    edit();
    return false;
}

bool DMProjectResourcesOutlineViewDS::editsInPlace(const DMProjectResource *resource, const QString &column)
{
    return resource && resource->isGroup() ? column == kNameColumn : column != kIconColumn;
}

bool DMProjectResourcesOutlineViewDS::outlineViewEditsTableColumnItemInPlace(DMOutlineView *, const QString &column,
                                                                            DMOutlineItem item)
{
    const auto resource = resourceForItem(item);
    return resource && editsInPlace(resource.get(), column) && !showsNothing(*resource, column);
}

// ---- Commands ----

void DMProjectResourcesOutlineViewDS::didChangeResources()
{
    m_document.projectListDidChangeProject();
    reload();
    m_document.updateItemsArrayWithTag(DMPage::ItemsResourcesPage);
}

void DMProjectResourcesOutlineViewDS::add(bool group)
{
    const auto project = m_document.project();
    if (!project || !outlineView())
        return;
    auto resource = std::make_shared<DMProjectResource>(group ? DMProjectResource::Group : DMProjectResource::Resource);
    resource->setName(group ? DMLocalizedString("New Group") : DMLocalizedString("New Resource"));
    resource->setProject(project);
    const auto selected = selectedResource();
    std::shared_ptr<DMProjectResource> parent = selected && selected->isGroup() ? selected : selected ? selected->parentItem() : nullptr;
    DMProject_applyAsOneUndoStep(project, group ? DMLocalizedString("New Group") : DMLocalizedString("New Resource"),
                                 [&] { (parent ? parent->subitems() : project->resources()).append(resource); });
    didChangeResources();
    showNewObject(resource.get(), parent.get(), selected != nullptr, kNameColumn);
}

void DMProjectResourcesOutlineViewDS::edit()
{
    DMOutlineView *outline = outlineView();
    const auto resource = selectedResource();
    if (!outline || !resource)
        return;
    const int row = outline->selectedRow();
    const QPoint centre = outline->frameOfCellAtColumnRow(0, row).center() - outline->contentOffset();
    DMProjectResourceEditorController *inspector = DMProjectResourceEditorController::sharedInstance();
    inspector->setEditedObject(resource);
    inspector->showAtPointInView(outline->viewport()->mapTo(outline, centre), outline);
}

void DMProjectResourcesOutlineViewDS::deleteSelected()
{
    const auto project = m_document.project();
    const auto resource = selectedResource();
    if (!project || !resource || !resource->isAttached())
        return;
    outlineView()->deselectAll();
    // The assignments go with the resource, in the same step: undoing brings back both.
    DMProject_applyAsOneUndoStep(project, DMLocalizedString("Delete Resource"), [&] {
        resource->deleteAllAssignments();
        const auto parent = resource->parentItem();
        (parent ? parent->subitems() : project->resources()).removeOne(resource);
    });
    didChangeResources();
}
