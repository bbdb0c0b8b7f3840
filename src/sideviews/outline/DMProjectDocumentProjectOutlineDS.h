#pragma once

#include "DMItemDateEditor.h"
#include "DMObservable.h"
#include "DMOutlineObjectTable.h"
#include "DMOutlineViewDataSource.h"
#include "DMOutlineViewDelegate.h"
#include "DMProjectEnums.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariantList>

#include <memory>

class DMEmptyCell;
class DMProject;
class DMProjectItem;
class DMProjectObject;
class DMProjectOutlineDocument;
class DMProjectResource;
class QAction;
struct DMProjectOutlineDragPayload;

// The project outline beside the Gantt canvas: its data source and delegate, owned by the
// document, which it reaches through DMProjectOutlineDocument.
//
// Rows: row 0 is the project's events row; then the item tree (kDMProjectViewMode_Gantt) or the
// resource tree (kDMProjectViewMode_Resources); the reports' mode shows no rows. Processes and
// item groups (resource groups in the resource mode) expand, and their expansion state is kept
// in their attributes. The events row is as high as its lanes of events, a resource row as high
// as its lanes of bars; the canvas rows follow these heights.
//
// Columns "icon", "title", "beginDate", "endDate", "duration", "cost", "progress" and "id" show
// the item's values; titles and progress are edited in place, dates with a date picker laid
// over the cell, and every other column opens the item's inspector (the resource view: the
// resource popover). Rows are moved by drag and drop within the tree, each move one undo step,
// and items are copied from another document's outline.
//
// Outline items are the addresses of model objects, used as handles only: every object handed
// out is remembered weakly, so an address the outline still holds after its object went away
// resolves to nothing instead of to freed memory.
class DMProjectDocumentProjectOutlineDS : public QObject,
                                          public DMOutlineViewDataSource,
                                          public DMOutlineViewDelegate
{
    Q_OBJECT

public:
    static const QString kIconColumn;      // "icon"
    static const QString kTitleColumn;     // "title"
    static const QString kBeginDateColumn; // "beginDate"
    static const QString kEndDateColumn;   // "endDate"
    static const QString kDurationColumn;  // "duration"
    static const QString kCostColumn;      // "cost"
    static const QString kProgressColumn;  // "progress"
    static const QString kIDColumn;        // "id"

    // Not owned: the document owns this controller.
    explicit DMProjectDocumentProjectOutlineDS(DMProjectOutlineDocument &document);
    ~DMProjectDocumentProjectOutlineDS() override;

    // Identifies the document in drag payloads for as long as this controller lives.
    QString documentToken() const { return m_documentToken; }
    // The controller of a live document by its token; null once that document has closed.
    static DMProjectDocumentProjectOutlineDS *controllerWithDocumentToken(const QString &token);

    // The window set-up: the columns with their cells and the row height, then becomes the
    // outline's data source and delegate.
    void attachToOutlineView();
    // The document is closing: lets go of the outline and closes an open date editor.
    void detachFromOutlineView();
    // The document took another project.
    void projectDidChange();
    // The project's kDMProject_ViewMode (a DMProjectViewMode); -1 without a project.
    int viewMode() const;

    // Reloads, then expands every row whose stored state says so.
    void reloadAndRestoreExpansionState();
    // Expands every collapsed process or group above the item, from the top, so that its row and
    // its bar show (task view only).
    void expandParentsOfItem(const DMProjectItem &item);
    // The dates of these items changed: the cells whose values follow from dates (dates,
    // duration, cost) are drawn again in the rows shown, and nothing else.
    void itemDatesDidChange(const QList<DMProjectItem *> &items);
    // The model object behind an outline item; null once it is gone.
    std::shared_ptr<DMProjectObject> objectForItem(DMOutlineItem item) const;
    static DMOutlineItem itemForObject(const DMProjectObject *object) { return object; }

    // ---- Columns (DMProjectDocumentProjectOutlineDS_Columns.cpp) ----
    // _applyingTaskListColumns: the arrangement {"identifier", "checked"}: column order,
    // hidden columns and the column menu, in the task view.
    void applyingTaskListColumns(const QVariantList &columns);
    // The view mode changed: the task view shows the arrangement, the resource view the columns
    // that have values for resources.
    void showColumnsForViewMode(const QVariantList &columns);
    // The column menu's action, which shows the state the user chose: unchecked hides its
    // column, checked shows it, in every open document.
    void toggleProjectOutlineViewColumn(QAction *sender);
    // The menu title of a column: "taskListTitle-<identifier>", localized.
    static QString columnMenuTitle(const QString &identifier);

    // ---- Cells (DMProjectDocumentProjectOutlineDS_Cells.cpp) ----
    // The in-place date editor open over a date cell; null when none.
    DMDatePickerCellEditor *dateEditor() const { return m_dateEditor.editor(); }

    // ---- Drag and drop (DMProjectDocumentProjectOutlineDS_Drops.cpp) ----
    // What a drop of the pasteboard at (parent, child index) would do: copy, move or nothing.
    Qt::DropAction dropOperation(const QMimeData *pasteboard, DMOutlineItem parent, int childIndex);

    // DMOutlineViewDataSource
    int outlineViewNumberOfChildrenOfItem(DMOutlineView *view, DMOutlineItem item) override;
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *view, int index, DMOutlineItem item) override;
    bool outlineViewIsItemExpandable(DMOutlineView *view, DMOutlineItem item) override;
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *view, const QString &column,
                                                        DMOutlineItem item) override;
    void outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *view, const QVariant &value, const QString &column,
                                                       DMOutlineItem item) override;
    std::optional<int> outlineViewHeightOfRowByItem(DMOutlineView *view, DMOutlineItem item) override;
    bool outlineViewWriteItemsToPasteboard(DMOutlineView *view, const QList<DMOutlineItem> &items,
                                           QMimeData *pasteboard) override;
    Qt::DropAction outlineViewValidateDropProposedItemProposedChildIndex(DMOutlineView *view, const DMDraggingInfo &info,
                                                                         DMOutlineItem item, int childIndex) override;
    bool outlineViewAcceptDropItemChildIndex(DMOutlineView *view, const DMDraggingInfo &info, DMOutlineItem item,
                                             int childIndex) override;

    // DMOutlineViewDelegate
    bool outlineViewShouldExpandItem(DMOutlineView *view, DMOutlineItem item) override;
    void outlineViewItemDidExpand(DMOutlineView *view, DMOutlineItem item) override;
    void outlineViewItemDidCollapse(DMOutlineView *view, DMOutlineItem item) override;
    bool outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    bool outlineViewEditsTableColumnItemInPlace(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view, DMOutlineCell &cell, const QString &column,
                                                      DMOutlineItem item) override;
    QAbstractItemDelegate *outlineViewDataCellForTableColumnItem(DMOutlineView *view, const QString &column,
                                                                 DMOutlineItem item) override;
    bool outlineViewShouldSelectItem(DMOutlineView *view, DMOutlineItem item) override;
    QList<int> outlineViewSelectionIndexesForProposedSelection(DMOutlineView *view, const QList<int> &proposed) override;
    void outlineViewSelectionDidChange(DMOutlineView *view) override;

private:
    struct Drop;

    DMOutlineItem remember(const std::shared_ptr<DMProjectObject> &object) const;
    bool isEventsRow(DMOutlineItem item) const;
    bool isExpandableObject(const DMProjectObject *object) const;
    // While restoring, an expandable row expands only when its stored state says so.
    bool isRestoringExpansionState() const;
    bool storedExpansionState(const DMProjectObject *object) const;
    void storeExpansionState(DMOutlineItem item, bool expanded);

    // Cells.
    QVariant itemValue(const DMProjectItem &item, const QString &column) const;
    QVariant resourceValue(const DMProjectResource &resource, const QString &column) const;
    // Titles, and the progress of tasks and processes, are edited in the cell itself.
    static bool editsInPlace(const QString &column, const DMProjectItem &item);
    // The dates a row edits in their editor laid over the cell: a milestone has no end of its own.
    static bool editsDateInPlace(const QString &column, const DMProjectItem &item);
    void closeDateEditor() { m_dateEditor.close(); }
    void showResourceInspector(DMOutlineView *view);

    // Drops.
    Drop resolveDrop(const QMimeData *pasteboard, DMOutlineItem parent, int childIndex);
    bool moveDropped(const Drop &drop);
    bool copyDropped(const Drop &drop);
    void relayoutAfterMove();

    DMProjectOutlineDocument &m_document;
    QString m_documentToken;
    mutable DMOutlineObjectTable m_objects;
    bool m_restoring = false;
    std::unique_ptr<DMEmptyCell> m_emptyCell;

    // The in-place date editor over a date cell, while one is open.
    DMItemDateEditor m_dateEditor;
};
