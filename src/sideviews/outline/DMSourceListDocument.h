#pragma once

#include <memory>

class DMOutlineView;
class DMProject;

// What the source list's controller (DMProjectDocumentSourceListOutlineDS) asks of the document
// that owns it; DMProjectDocument implements it. The outline is the document window's and is null
// until the window is built.
class DMSourceListDocument
{
public:
    virtual ~DMSourceListDocument() = default;

    virtual std::shared_ptr<DMProject> project() const = 0;
    virtual DMOutlineView *sourceListOutlineView() const = 0;
    // Swaps the page of the tag (DMPage) into the content area (NoPage: an empty area) and does
    // what choosing it does besides (the view mode, refreshing the page).
    virtual void showPageWithTag(int tag) = 0;
    // The number of entries of the items view's array of the tag (DMPage_isItemsViewKind); 0
    // while the items view has none.
    virtual int itemsViewContentsCountWithTag(int /*tag*/) const { return 0; }
};
