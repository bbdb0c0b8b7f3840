#pragma once

#include "DMOutlineViewDataSource.h"
#include "DMOutlineViewDelegate.h"

#include <QHash>

#include <memory>

class DMDateFormatter;
class DMProject;
class DMProjectEventContainer;
class DMProjectItem;
class DMProjectObject;
class DMProjectResource;

// The project outline beside the Gantt canvas, as far as the canvas needs it: row 0 is the
// project's events row; then the item tree (view mode 0) or the resource tree (view mode 1);
// any other mode shows no rows. Processes and item groups (resource groups in mode 1) expand,
// and their expansion state is kept in their attributes. The events row is as high as its lanes
// of events, a resource row as high as its lanes of bars; every row of the canvas follows these
// heights.
//
// Outline items are the addresses of model objects. The data source remembers, weakly, every
// object it handed out, so that an address the outline still holds after its object went away
// resolves to nothing instead of to freed memory.
class DMProjectOutlineDataSource : public DMOutlineViewDataSource, public DMOutlineViewDelegate
{
public:
    // Told of what the document reacts to. Defaults mean "not handled".
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // After an expansion or collapse of an expandable row; hasSubitems tells whether rows
        // appeared or disappeared, restoring whether it is part of a state restore.
        virtual void projectOutlineDidExpandOrCollapse(bool /*expanded*/, bool /*hasSubitems*/, bool /*restoring*/) {}
        virtual void projectOutlineSelectionDidChange() {}
        // Before the resource inspector opens for the selected row of the resource view.
        virtual void projectOutlineWillShowResourceInspector() {}
    };

    static const QString kTitleColumn;     // "title"
    static const QString kBeginDateColumn; // "beginDate"
    static const QString kEndDateColumn;   // "endDate"

    explicit DMProjectOutlineDataSource(std::weak_ptr<DMProject> project = {});
    ~DMProjectOutlineDataSource() override;

    void setProject(std::weak_ptr<DMProject> project);
    // Not owned; the owner clears it before going.
    void setListener(Listener *listener) { m_listener = listener; }
    void setDateFormatter(std::shared_ptr<DMDateFormatter> formatter) { m_dateFormatter = std::move(formatter); }

    // While set, an expandable row expands only when its stored state says so.
    bool isRestoringState() const { return m_restoringState; }
    void setRestoringState(bool restoring) { m_restoringState = restoring; }

    // Adds the Title, Begin and End columns and the default row height.
    static void configureOutlineView(DMOutlineView *outlineView);
    // Reloads, then expands every row whose stored state says so (the state restore).
    void reloadAndRestoreExpansionState(DMOutlineView *outlineView);

    // The model object behind an outline item; null once it is gone.
    std::shared_ptr<DMProjectObject> objectForItem(DMOutlineItem item) const;
    DMOutlineItem itemForObject(const DMProjectObject *object) const { return object; }
    int viewMode() const;

    // DMOutlineViewDataSource
    int outlineViewNumberOfChildrenOfItem(DMOutlineView *view, DMOutlineItem item) override;
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *view, int index, DMOutlineItem item) override;
    bool outlineViewIsItemExpandable(DMOutlineView *view, DMOutlineItem item) override;
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *view, const QString &column,
                                                        DMOutlineItem item) override;
    std::optional<int> outlineViewHeightOfRowByItem(DMOutlineView *view, DMOutlineItem item) override;

    // DMOutlineViewDelegate
    bool outlineViewShouldExpandItem(DMOutlineView *view, DMOutlineItem item) override;
    void outlineViewItemDidExpand(DMOutlineView *view, DMOutlineItem item) override;
    void outlineViewItemDidCollapse(DMOutlineView *view, DMOutlineItem item) override;
    bool outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view, DMOutlineCell &cell, const QString &column,
                                                      DMOutlineItem item) override;
    bool outlineViewShouldSelectItem(DMOutlineView *view, DMOutlineItem item) override;
    QList<int> outlineViewSelectionIndexesForProposedSelection(DMOutlineView *view, const QList<int> &proposed) override;
    void outlineViewSelectionDidChange(DMOutlineView *view) override;

private:
    DMOutlineItem remember(const std::shared_ptr<DMProjectObject> &object);
    bool isEventsRow(DMOutlineItem item) const;
    bool isExpandableObject(const DMProjectObject *object) const;
    void storeExpansionState(DMOutlineItem item, bool expanded);

    std::weak_ptr<DMProject> m_project;
    Listener *m_listener = nullptr;
    std::shared_ptr<DMDateFormatter> m_dateFormatter;
    bool m_restoringState = false;
    mutable QHash<DMOutlineItem, std::weak_ptr<DMProjectObject>> m_objects;
};
