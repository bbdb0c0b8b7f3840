#pragma once

#include "DMBaseObject.h"

class DMEvent;

// Decides what gestures on a DMObjectView mean. Every function's default means "not handled".
class DMObjectViewDelegate
{
public:
    virtual ~DMObjectViewDelegate() = default;

    // The operation a press at the canvas point starts; object is the hit object or null. The
    // delegate may set the operation's concerned objects from here.
    virtual qint32 objectViewDragOperationForPointWithObject(DMObjectView *, QPointF,
                                                             const std::shared_ptr<DMBaseObject> &)
    {
        return 0;
    }
    virtual bool objectViewShouldSelectObjectInLayer(DMObjectView *, const std::shared_ptr<DMBaseObject> &,
                                                     quint16)
    {
        return true;
    }
    virtual void objectViewSelectionDidChange(DMObjectView *) {}
    // At mouse up, while the operation and its concerned objects still stand; rect is the
    // dragged area in canvas coordinates.
    virtual void objectViewWillFinishDragOperationWithRect(DMObjectView *, qint32, const QRectF &) {}
    // At mouse up, after the operation was cleared.
    virtual void objectViewDidFinishDragOperationWithRect(DMObjectView *, qint32, const QRectF &) {}
    virtual void objectViewReceivedKeyEvent(DMObjectView *, const DMEvent &) {}
    virtual void objectViewMagnifyWithEvent(DMObjectView *, const DMEvent &) {}
};
