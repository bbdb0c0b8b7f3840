#pragma once

#include "DMDate.h"
#include "DMObjectViewDelegate.h"

#include <QPointF>

class DMProjectView;
class QAction;

// What the Gantt canvas and its objects ask of the canvas delegate beyond the gestures of every
// canvas (the project document implements it). Defaults mean "not handled".
class DMProjectViewDelegate : public DMObjectViewDelegate
{
public:
    // The date at a canvas point; null when not handled.
    virtual DMDate projectViewDateForPoint(DMProjectView * /*view*/, QPointF /*point*/) { return DMDate(); }

    // The task bars' context-menu command; the sender carries the bar and the canvas
    // (DMProjectViewMenuItem) and the command's code as its tag.
    virtual bool respondsToProjectViewConvertTaskToProcessFromItem() const { return false; }
    virtual void projectViewConvertTaskToProcessFromItem(QAction * /*sender*/) {}
};
