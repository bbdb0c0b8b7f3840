#pragma once

#include <QVariantList>
#include <QVariantMap>

#include <memory>

class DMCurrencyFormatter;
class DMOutlineView;
class DMProject;
class DMProjectDocumentObjectViewDataSource;
class DMProjectItem;
class DMProjectView;
class QMenu;

// What the project outline's controller (DMProjectDocumentProjectOutlineDS) asks of the document
// that owns it; DMProjectDocument implements it. The views are the document window's and are
// null until the window is built. Defaults mean "not handled".
class DMProjectOutlineDocument
{
public:
    virtual ~DMProjectOutlineDocument() = default;

    virtual std::shared_ptr<DMProject> project() const = 0;
    virtual DMOutlineView *projectOutlineView() const = 0;
    // The outline's column menu (right click on its headers).
    virtual QMenu *projectOutlineViewMenu() const { return nullptr; }
    // The Gantt canvas beside the outline, and its controller, which mirrors the outline's
    // selection and keeps the canvas rows on the outline rows.
    virtual DMProjectView *projectView() const { return nullptr; }
    virtual DMProjectDocumentObjectViewDataSource *objectViewDataSource() const { return nullptr; }
    virtual std::shared_ptr<DMCurrencyFormatter> sharedCurrencyFormatter() { return nullptr; }

    // Set while the document restores the outline's expansion state from the model.
    virtual bool isRestoringProjectOutlineState() const { return false; }
    // The task list shows the same tree: it reloads after a move.
    virtual void reloadTaskListOutline() {}
    // The column arrangement of every open document: hides or shows one column.
    virtual void setTaskListColumnHidden(const QString & /*identifier*/, bool /*hidden*/) {}

    // Copying items between documents: the payload of the items, and its insertion (with new
    // identities) into a parent's subitems, or the top level for none, after the sibling or at
    // the end. The insertion is one undo step and relays the views out.
    virtual QVariantMap dictionaryForObjects(const QList<std::shared_ptr<DMProjectItem>> & /*items*/) const
    {
        return {};
    }
    virtual QList<std::shared_ptr<DMProjectItem>> insertObjectFromDictionnariesInItemNextTo(
        const QVariantMap & /*payload*/, const std::shared_ptr<DMProjectItem> & /*parent*/,
        const std::shared_ptr<DMProjectItem> & /*sibling*/)
    {
        return {};
    }
};
