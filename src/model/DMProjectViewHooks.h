#pragma once

#include <QRectF>

// The Gantt canvas as the model and the canvas objects see it: it receives redraw reports.
// Reached through DMProject_DisplayAttributes::projectView, a pointer the document sets and
// clears. Defaults mean "not handled".
class DMProjectViewHooks
{
public:
    virtual ~DMProjectViewHooks() = default;

    virtual void setNeedsDisplayInRect(const QRectF & /*rect*/) {}
    virtual void setNeedsDisplay() {}
};
