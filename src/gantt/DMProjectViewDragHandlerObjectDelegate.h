#pragma once

class DMProjectViewDragHandlerObject;

// Told after each step a drag handler forwards; it may change the handler's operation, target,
// start point and delegate from there. Defaults mean "not handled".
class DMProjectViewDragHandlerObjectDelegate
{
public:
    virtual ~DMProjectViewDragHandlerObjectDelegate() = default;
    virtual void dragHandlerObjectDidUpdate(DMProjectViewDragHandlerObject * /*handler*/) {}
};
