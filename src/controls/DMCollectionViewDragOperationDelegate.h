#pragma once

#include "DMOutlineViewDataSource.h"

class DMCollectionView;

// Takes every drag-and-drop step of a DMCollectionView, and learns whether any card is
// selected. Every default refuses or does nothing.
class DMCollectionViewDragOperationDelegate
{
public:
    virtual ~DMCollectionViewDragOperationDelegate() = default;

    virtual Qt::DropAction dmCollectionViewDraggingEntered(DMCollectionView *, const DMDraggingInfo &)
    {
        return Qt::IgnoreAction;
    }
    virtual bool dmCollectionViewWantsPeriodicDraggingUpdates(DMCollectionView *) { return false; }
    virtual Qt::DropAction dmCollectionViewDraggingUpdated(DMCollectionView *, const DMDraggingInfo &)
    {
        return Qt::IgnoreAction;
    }
    virtual void dmCollectionViewDraggingEnded(DMCollectionView *, const DMDraggingInfo &) {}
    virtual void dmCollectionViewDraggingExited(DMCollectionView *) {}
    virtual bool dmCollectionViewPerformDragOperation(DMCollectionView *, const DMDraggingInfo &) { return false; }
    virtual void dmCollectionViewConcludeDragOperation(DMCollectionView *, const DMDraggingInfo &) {}
    virtual bool dmCollectionViewPrepareForDragOperation(DMCollectionView *, const DMDraggingInfo &) { return false; }

    // "itemsViewHasSelectedItems": YES when at least one card is selected.
    virtual void setItemsViewHasSelectedItems(bool) {}
};
