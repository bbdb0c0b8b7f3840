#pragma once

#include "DMSortDescriptor.h"

#include <QList>
#include <QString>

#include <memory>

class DMCurrencyFormatter;
class DMProject;
class DMProjectObject;
class DMProjectView;
class QWidget;

// What the task, resource and event lists ask of the document that owns them;
// DMProjectDocument implements it. Defaults mean "not handled".
class DMProjectListDocument
{
public:
    virtual ~DMProjectListDocument() = default;

    virtual std::shared_ptr<DMProject> project() const = 0;
    // The window that panels and alerts attach to.
    virtual QWidget *windowForSheet() const { return nullptr; }
    // The folder the panels start in: beside the document.
    virtual QString folderForPanels() const { return {}; }
    virtual std::shared_ptr<DMCurrencyFormatter> sharedCurrencyFormatter() { return nullptr; }
    // The Gantt canvas, where the inspectors open from.
    virtual DMProjectView *projectView() const { return nullptr; }
    // Identifies this document in drag payloads while it is open; a drop whose payload carries
    // another token is refused.
    virtual QString dragPayloadDocumentToken() const { return {}; }

    // Deletes items and links as one undo step, and refreshes the views.
    virtual void deleteItems(const QList<std::shared_ptr<DMProjectObject>> & /*objects*/) {}
    // The items view rebuilds the page of that tag.
    virtual void updateItemsArrayWithTag(int /*tag*/) {}
    // A list added, moved or removed items or resources: the project outline, the canvas and the
    // other lists follow at once.
    virtual void projectListDidChangeProject() {}
    // Sorting by a list's column headers: the item tree and the events (an edit of the project),
    // or the resource tree (a view arrangement).
    virtual void sortProjectWithDescriptors(const QList<DMSortDescriptor> & /*descriptors*/) {}
    virtual void sortResourcesWithDescriptors(const QList<DMSortDescriptor> & /*descriptors*/) {}
};
