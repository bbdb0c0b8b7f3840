#pragma once

#include <QList>
#include <QString>

#include <memory>

class DMCurrencyFormatter;
class DMDateFormatter;
class DMProject;
class DMProjectItem;
class DMProjectObject;
class DMUndoManager;
class QWidget;

// What the items view's controller (DMProjectDocumentItemsView) and its cards ask of the document
// that owns them; DMProjectDocument implements it. Defaults mean "not handled".
class DMItemsViewDocument
{
public:
    virtual ~DMItemsViewDocument() = default;

    virtual std::shared_ptr<DMProject> project() const = 0;
    virtual DMUndoManager *undoManager() const = 0;
    virtual QWidget *windowForSheet() const = 0;
    // The folder the panels start in: beside the document.
    virtual QString folderForPanels() const { return {}; }
    // The tag of the page the source list chose (DMPage); NoPage when no row is chosen.
    virtual int itemsViewSelectedPageTag() const = 0;
    // The package's "Documents" folder (empty for a document never saved).
    virtual QString itemsViewDocumentsFolderPath() const { return {}; }

    // The document's own edits: deleting items, events or links as one undo step; attaching a
    // file (its table key, empty when refused) and letting one go.
    virtual void deleteItems(const QList<std::shared_ptr<DMProjectObject>> & /*objects*/) {}
    virtual QString addAttachedDocumentTableKey(const QString & /*path*/) { return {}; }
    virtual void removeAttachedDocumentWithTableKey(const QString & /*tableKey*/) {}
    virtual void removeAttachedDocumentWithTableKeyFromTasks(const QString & /*tableKey*/,
                                                             const QList<std::shared_ptr<DMProjectItem>> & /*items*/)
    {
    }
    // The outline and task list reload, the canvas and timeline are laid out again.
    virtual void reloadViews() {}
    // The source list's badges follow the arrays.
    virtual void reloadSourceList() {}

    virtual std::shared_ptr<DMCurrencyFormatter> sharedCurrencyFormatter() { return nullptr; }
    virtual std::shared_ptr<DMDateFormatter> sharedYMDDateFormatter() { return nullptr; }
    virtual std::shared_ptr<DMDateFormatter> sharedHMSDateFormatter() { return nullptr; }
};
