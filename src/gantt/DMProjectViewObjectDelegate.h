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
};
