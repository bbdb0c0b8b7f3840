#pragma once

#include <QRectF>

class DMProjectViewObject;

// Receives the redraw reports of the Gantt objects (the Gantt canvas implements it). Rectangles
// are in canvas coordinates. Defaults mean "not handled".
class DMProjectViewObjectDelegate
{
public:
    virtual ~DMProjectViewObjectDelegate() = default;

    virtual void projectViewObjectBoundingBoxDidChangeFromTo(DMProjectViewObject * /*object*/, const QRectF & /*from*/,
                                                             const QRectF & /*to*/)
    {
    }
    virtual void projectViewObjectNeedsUpdateWithBoundingBox(DMProjectViewObject * /*object*/, const QRectF & /*box*/) {}
    // The object was left to be placed when next read: where it will be is not known yet, so
    // what is in view is redrawn (and the drawing places what it shows).
    virtual void projectViewObjectWillBePlacedAgain(DMProjectViewObject * /*object*/) {}
};
