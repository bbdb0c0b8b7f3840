#pragma once

#include "DMProjectItemListController.h"

// The task list (DMPage::TasksPage): the project's item tree in many columns, with a preview of every
// item, in-place editing of titles, cost fields, completion and the working-schedule flag, the
// date editor over the date cells, the inspector for the other fields, reordering by drag and
// drop (the project outline's drag type, payloads of this document only), and commands to add a
// task, a milestone or a process and to delete or inspect the selection. Owned by the document.
//
// Columns: "preview", "title" (which shows the tree), "beginDate", "endDate", "duration",
// "effort", "cost", "baseCost", "costKind", "completion", "useWorkingSchedule", "documents" and
// "id". Only processes and item groups expand.
class DMProjectItemsOutlineViewDS : public DMProjectItemListController
{
    Q_OBJECT

public:
    static const QString kEffortColumn;             // "effort"
    static const QString kCostColumn;               // "cost"
    static const QString kBaseCostColumn;           // "baseCost"
    static const QString kCostKindColumn;           // "costKind"
    static const QString kCompletionColumn;         // "completion"
    static const QString kUseWorkingScheduleColumn; // "useWorkingSchedule"
    static const QString kDocumentsColumn;          // "documents"
    static const QString kIDColumn;                 // "id"

    // Not owned: the document owns this controller.
    explicit DMProjectItemsOutlineViewDS(DMProjectListDocument &document);
    ~DMProjectItemsOutlineViewDS() override;

    // Commands. A new item goes into a selected process or item group (first), after a selected
    // item among its siblings, or at the end of the top level.
    void addTask();
    void addMilestone();
    void addProcess();

    // DMOutlineViewDataSource
    int outlineViewNumberOfChildrenOfItem(DMOutlineView *view, DMOutlineItem item) override;
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *view, int index, DMOutlineItem item) override;
    bool outlineViewIsItemExpandable(DMOutlineView *view, DMOutlineItem item) override;
    bool outlineViewWriteItemsToPasteboard(DMOutlineView *view, const QList<DMOutlineItem> &items,
                                           QMimeData *pasteboard) override;
    Qt::DropAction outlineViewValidateDropProposedItemProposedChildIndex(DMOutlineView *view, const DMDraggingInfo &info,
                                                                         DMOutlineItem item, int childIndex) override;
    bool outlineViewAcceptDropItemChildIndex(DMOutlineView *view, const DMDraggingInfo &info, DMOutlineItem item,
                                             int childIndex) override;

    // DMOutlineViewDelegate
    void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view, DMOutlineCell &cell, const QString &column,
                                                      DMOutlineItem item) override;

protected:
    void setUpColumns(DMOutlineView *outline) override;
    void addButtons(QBoxLayout *bar) override;
    bool columnStatusNamesIdentifier() const override { return true; }
    QVariant itemValue(const DMProjectItem &item, const QString &column) const override;
    void setItemValue(DMProjectItem &item, const QVariant &value, const QString &column) override;
    bool opensInspector(const QString &column) const override;
    bool showsNothing(const DMProjectItem &item, const QString &column) const override;

private:
    struct Drop;
    Drop resolveDrop(const QMimeData *pasteboard, DMOutlineItem parent, int childIndex) const;
    void addItem(const std::shared_ptr<DMProjectItem> &item, const QString &actionName, int itemsViewTag);
};
