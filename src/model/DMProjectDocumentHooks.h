#pragma once

class DMProjectItem;

// What the model asks of its document (DMProjectDocument implements it). The model reaches it
// through DMProject_DisplayAttributes::projectDocument, a pointer the document sets when it
// takes the project and clears before it goes. Every default means "not handled".
class DMProjectDocumentHooks
{
public:
    virtual ~DMProjectDocumentHooks() = default;

    // The document's change count (the platform's change kinds: 0 done, 1 undone, 2 cleared...).
    virtual void updateChangeCount(int /*kind*/) {}
    // Called 0.1 s after the dates of an item were applied, once per item and idle period.
    virtual void beginDateDidChangeForItem(DMProjectItem * /*item*/) {}
    virtual void endDateDidChangeForItem(DMProjectItem * /*item*/) {}
    // _updateItemsArrayWithTag: the model asks for tag 8 (links) 0.05 s after a dependency is
    // added or removed.
    virtual void updateItemsArrayWithTag(int /*tag*/) {}
};
