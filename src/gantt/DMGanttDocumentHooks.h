#pragma once

#include <QString>

#include <memory>

class DMFormatter;
class DMOutlineView;
class DMProject;
class DMProjectObject;
class DMProjectView;
class DMTimelineView;
class DMUndoManager;
class QScrollArea;
class QWidget;

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
    // Refreshes the items view's array of one page (a DMPage items-view kind).
    virtual void updateItemsArrayWithTag(int tag) = 0;

    // What the inspectors ask; each default means "not handled".
    // The window that sheets and alerts attach to.
    virtual QWidget *windowForSheet() const { return nullptr; }
    // The folder the inspectors' panels start in: beside the document.
    virtual QString folderForPanels() const { return QString(); }
    // The formatter of amounts in the project's currency.
    virtual std::shared_ptr<DMFormatter> currencyFormatter() { return nullptr; }
    // Attaches the file to the project (a reference more on an entry of the same file) and
    // answers its table key; empty when it was not attached (what is no regular file or folder
    // that can be read is refused, and the user told why).
    virtual QString addAttachedDocumentTableKey(const QString & /*path*/) { return QString(); }
    // Gives back one reference of the entry.
    virtual void removeAttachedDocumentWithTableKey(const QString & /*tableKey*/) {}
    // The file of an attached document: inside the package's "Documents" folder, or where the
    // user chose it while it waits to be copied there. Empty, with *error saying why, for a key
    // without an entry or an entry that would lead elsewhere.
    virtual QString attachedDocumentPathForTableKey(const QString & /*tableKey*/, QString *error) const
    {
        if (error)
            *error = QString();
        return QString();
    }
};
