#pragma once

#include "DMProjectEnums.h"

#include <QList>
#include <QString>

class DMProjectItem;

// The kinds of change of a document's change count (the platform's numbers).
namespace DMDocumentChangeKind {
inline constexpr int Done = 0;
inline constexpr int Undone = 1;
inline constexpr int Cleared = 2;
inline constexpr int Redone = 5;
} // namespace DMDocumentChangeKind

// Posted on the default notification centre, with no sender, when a document closes: the
// shared inspectors and popovers let go of what they edit.
inline const QString kDMProjectDocument_CloseNotification = QStringLiteral("DMProjectDocumentCloseNotification");

// What the model asks of its document (DMProjectDocument implements it). The model reaches it
// through DMProject_DisplayAttributes::projectDocument, a pointer the document sets when it
// takes the project and clears before it goes. Every default means "not handled".
class DMProjectDocumentHooks
{
public:
    virtual ~DMProjectDocumentHooks() = default;

    // The document's change count (DMDocumentChangeKind).
    virtual void updateChangeCount(int /*kind*/) {}
    // Called 0.1 s after the dates of items were applied, once for all the items whose dates
    // changed meanwhile (each once, still in the project).
    virtual void itemDatesDidChange(const QList<DMProjectItem *> & /*items*/) {}
    // _updateItemsArrayWithTag (a DMPage items-view kind): the model asks for the links 0.05 s after a
    // dependency is added or removed.
    virtual void updateItemsArrayWithTag(int /*tag*/) {}
    // Objects left the project's trees (items with their links, a link, resources) by an edit or
    // an undo; called as each leaves, while the change may still be under way (a move takes an
    // item out and puts it back).
    virtual void objectsDidLeaveProject() {}
    // The folder that the panels of the document's views start in: beside the document.
    virtual QString folderForPanels() const { return QString(); }
    // The name of the document's file without its extension; empty until it is saved.
    virtual QString documentFileName() const { return QString(); }
};
