#pragma once

#include "DMProjectListController.h"

class DMProjectResource;

// The resource list (DMPage::ResourcesPage): the project's resource tree with names, contact and cost fields
// edited in place, the resource popover for the rest, reordering and regrouping by drag and drop
// ("DMProjectResourceIDPBType", payloads of this document only), commands to add a resource or
// a group and to delete the selected one (with its assignments, as one undo step), and the
// export and import of the resource file. Owned by the document.
//
// Columns: "name" (which shows the tree), "icon", "cost", "costKind", "email", "phone", "kind",
// "completion" and "totalCost". Groups show their name and icon only.
class DMProjectResourcesOutlineViewDS : public DMProjectListController
{
    Q_OBJECT

public:
    static const QString kDragType; // "DMProjectResourceIDPBType"
    static const QString kNameColumn, kIconColumn, kCostColumn, kCostKindColumn, kEmailColumn, kPhoneColumn,
        kKindColumn, kCompletionColumn, kTotalCostColumn;

    // Not owned: the document owns this controller.
    explicit DMProjectResourcesOutlineViewDS(DMProjectListDocument &document);
    ~DMProjectResourcesOutlineViewDS() override;

    std::shared_ptr<DMProjectResource> selectedResource() const;

    // Commands. A new resource or group goes at the end of the selected group, of the selected
    // resource's group, or of the top level.
    void add(bool group);
    // Shows the resource popover on the selected row.
    void edit();
    // Deletes the selected resource or group with every assignment of it (for a group, of its
    // members) as one undo step.
    void deleteSelected();
    // The resource file: asks for a place and writes every top-level resource; asks for a file
    // and appends its resources to the top level, with new identities, as one undo step.
    void itemsViewResourcesExport();
    void itemsViewResourcesImport();

    // DMOutlineViewDataSource
    int outlineViewNumberOfChildrenOfItem(DMOutlineView *view, DMOutlineItem item) override;
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *view, int index, DMOutlineItem item) override;
    bool outlineViewIsItemExpandable(DMOutlineView *view, DMOutlineItem item) override;
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *view, const QString &column,
                                                        DMOutlineItem item) override;
    void outlineViewSortDescriptorsDidChange(DMOutlineView *view, const QList<DMSortDescriptor> &descriptors) override;
    void outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *view, const QVariant &value, const QString &column,
                                                       DMOutlineItem item) override;
    bool outlineViewWriteItemsToPasteboard(DMOutlineView *view, const QList<DMOutlineItem> &items,
                                           QMimeData *pasteboard) override;
    Qt::DropAction outlineViewValidateDropProposedItemProposedChildIndex(DMOutlineView *view, const DMDraggingInfo &info,
                                                                         DMOutlineItem item, int childIndex) override;
    bool outlineViewAcceptDropItemChildIndex(DMOutlineView *view, const DMDraggingInfo &info, DMOutlineItem item,
                                             int childIndex) override;

    // DMOutlineViewDelegate
    bool outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    bool outlineViewEditsTableColumnItemInPlace(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view, DMOutlineCell &cell, const QString &column,
                                                      DMOutlineItem item) override;
    QAbstractItemDelegate *outlineViewDataCellForTableColumnItem(DMOutlineView *view, const QString &column,
                                                                 DMOutlineItem item) override;

protected:
    void setUpColumns(DMOutlineView *outline) override;
    void addButtons(QBoxLayout *bar) override;
    void inspectSelection() override { edit(); }

private:
    std::shared_ptr<DMProjectResource> resourceForItem(DMOutlineItem item) const;
    // The resource a payload of this document names; null for any other payload.
    std::shared_ptr<DMProjectResource> draggedResource(const QMimeData *pasteboard) const;
    // The cells of a group and of a resource that is not a person that show nothing.
    static bool showsNothing(const DMProjectResource &resource, const QString &column);
    // The cells edited in the row: a group's name, a resource's cells but its icon.
    static bool editsInPlace(const DMProjectResource *resource, const QString &column);
    void didChangeResources();
};
