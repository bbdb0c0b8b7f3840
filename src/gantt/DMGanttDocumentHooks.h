#pragma once

#include <memory>

class DMOutlineView;
class DMProject;
class DMProjectObject;
class DMProjectView;
class DMTimelineView;
class DMUndoManager;
class QScrollArea;

// What the Gantt canvas controller (DMProjectDocumentObjectViewDataSource) asks of the document
// that owns it; DMProjectDocument implements it. The views are the document window's and are
// null until the window is built.
class DMGanttDocumentHooks
{
public:
    virtual ~DMGanttDocumentHooks() = default;

    virtual std::shared_ptr<DMProject> project() const = 0;
    virtual DMUndoManager *undoManager() const = 0;

    virtual DMProjectView *projectView() const = 0;
    virtual QScrollArea *projectViewScrollArea() const = 0;
    virtual DMTimelineView *timelineView() const = 0;
    virtual DMOutlineView *projectOutlineView() const = 0;

    // The outline's rows are the canvas's rows: the model object shown on a row (null for none
    // or for one that is gone), the row showing an object (-1 when it shows none), and a reload
    // that keeps every row's stored expansion state.
    virtual std::shared_ptr<DMProjectObject> projectOutlineObjectAtRow(int row) const = 0;
    virtual int projectOutlineRowForObject(const DMProjectObject *object) const = 0;
    virtual void reloadProjectOutline() = 0;

    // A change that the undo manager does not record (an outline row expanded or collapsed);
    // recorded edits reach the document through its undo manager.
    virtual void markDocumentAsEdited() = 0;
    // The document's delete command on the canvas selection.
    virtual void deleteSelectedItem() = 0;
    // Refreshes the items view's array of one page (DMItemsViewTag).
    virtual void updateItemsArrayWithTag(int tag) = 0;
};
