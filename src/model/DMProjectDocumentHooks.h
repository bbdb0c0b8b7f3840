#pragma once

#include <QList>

class DMProjectItem;

// The kinds of change of a document's change count (the platform's numbers).
namespace DMDocumentChangeKind {
inline constexpr int Done = 0;
inline constexpr int Undone = 1;
inline constexpr int Cleared = 2;
inline constexpr int Redone = 5;
} // namespace DMDocumentChangeKind

// The items view's pages (the source list's page tags), whose arrays updateItemsArrayWithTag
// rebuilds; AllArrays asks for every one.
namespace DMItemsViewTag {
inline constexpr int AllArrays = 0;
inline constexpr int Resources = 1;
inline constexpr int Tasks = 2;
inline constexpr int Milestones = 3;
inline constexpr int Processes = 4;
inline constexpr int ToDo = 5;
inline constexpr int Events = 6;
inline constexpr int Documents = 7;
inline constexpr int Links = 8;
} // namespace DMItemsViewTag

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
    // _updateItemsArrayWithTag (DMItemsViewTag): the model asks for the links 0.05 s after a
    // dependency is added or removed.
    virtual void updateItemsArrayWithTag(int /*tag*/) {}
};
