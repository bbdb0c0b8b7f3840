#pragma once

#include "DMItemDateEditor.h"
#include "DMProjectItemPreviewCell.h"
#include "DMProjectListController.h"

#include <QPointer>

class DMDate;
class DMProject;
class DMProjectItem;


// What the task list and the event list share: the item's preview, title, dates and duration
// columns, the date editor over a date cell, the inspectors (opened from the cells that have no
// editing of their own, and pointed at the selected row's item), and the add and delete flows.
class DMProjectItemListController : public DMProjectListController
{
    Q_OBJECT

public:
    static const QString kPreviewColumn;   // "preview"
    static const QString kTitleColumn;     // "title"
    static const QString kBeginDateColumn; // "beginDate"
    static const QString kEndDateColumn;   // "endDate"
    static const QString kDurationColumn;  // "duration"

    ~DMProjectItemListController() override;

    // The item of the selected row; null without a selection.
    std::shared_ptr<DMProjectItem> selectedItem() const;
    // The in-place date editor over a date cell; null when none is open.
    DMDatePickerCellEditor *dateEditor() const { return m_dateEditor.editor(); }
    DMProjectItemPreviewCell *previewCell() const { return m_previewCell; }

    // Commands.
    // The items of the selected rows, in row order, are deleted as one undo step.
    void deleteSelectedItems();
    // Shows the inspector of the selected row's item.
    void editSelectedItem();

    void reload() override;

    // The first dates of a new item of a project: the begin (the next working instant for an
    // item on the working schedule), and the end after the duration (a milestone ends where it
    // begins); false when the model refuses them.
    static bool giveNewItemDates(DMProjectItem &item, const DMDate &begin, qint64 duration);

    // DMOutlineViewDataSource
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *view, const QString &column,
                                                        DMOutlineItem item) override;
    void outlineViewSortDescriptorsDidChange(DMOutlineView *view, const QList<DMSortDescriptor> &descriptors) override;
    // The document's sort key for a column; empty for a column that does not sort.
    static QString sortKeyForColumn(const QString &identifier);
    void outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *view, const QVariant &value, const QString &column,
                                                       DMOutlineItem item) override;

    // DMOutlineViewDelegate
    bool outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    bool outlineViewEditsTableColumnItemInPlace(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view, DMOutlineCell &cell, const QString &column,
                                                      DMOutlineItem item) override;
    QAbstractItemDelegate *outlineViewDataCellForTableColumnItem(DMOutlineView *view, const QString &column,
                                                                 DMOutlineItem item) override;
    void outlineViewSelectionDidChange(DMOutlineView *view) override;

protected:
    explicit DMProjectItemListController(DMProjectListDocument &document);

    std::shared_ptr<DMProjectItem> itemForOutlineItem(DMOutlineItem item) const;
    // Adds the columns that both lists have, in the given order; date cells get date pickers.
    void addItemColumn(DMOutlineView *outline, const QString &identifier, const QString &title, int width,
                       bool editable = true);

    // A column's value and edit for the kind of list; invalid QVariant: none.
    virtual QVariant itemValue(const DMProjectItem &item, const QString &column) const;
    virtual void setItemValue(DMProjectItem &item, const QVariant &value, const QString &column);
    // Columns whose cells open the item's inspector instead of editing in place.
    virtual bool opensInspector(const QString &column) const;
    // Columns that show nothing for the item (a milestone's end date).
    virtual bool showsNothing(const DMProjectItem &item, const QString &column) const;

    // The project's default task duration in seconds, counting a day as dayLength seconds.
    static qint32 defaultTaskDuration(const DMProject &project, qint64 dayLength);
    // Inserts the new item as one undo step, then shows its row: its title is edited in place
    // (editsTitleOfNewItem), or its inspector opens.
    void insertNewItem(const std::shared_ptr<DMProjectItem> &item, const QString &actionName,
                       const std::function<void()> &insert, const DMProjectObject *parent, int itemsViewTag);

    // The new item's inspector takes the keyboard, for the title typed next.
    void inspectSelection() override;
    // Whether a new item's title is edited in place: the task list does so when a row was
    // selected before, and opens the inspector of a first item instead.
    virtual bool editsTitleOfNewItem(bool hadSelection) const { return hadSelection; }

private:
    void openInspector(const DMProjectItem &item, bool show);

    QPointer<DMProjectItemPreviewCell> m_previewCell;
    DMItemDateEditor m_dateEditor;
};
