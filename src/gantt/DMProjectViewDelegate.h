#pragma once

#include "DMObjectViewDelegate.h"

class QAction;

// What the Gantt canvas and its objects ask of the canvas delegate beyond the gestures of every
// canvas (the project document implements it). Defaults mean "not handled".
class DMProjectViewDelegate : public DMObjectViewDelegate
{
public:
    // The task bars' context-menu command; the sender carries the bar and the canvas
    // (DMProjectViewMenuItem) and the command's code as its tag.
    virtual bool respondsToProjectViewConvertTaskToProcessFromItem() const { return false; }
    virtual void projectViewConvertTaskToProcessFromItem(QAction * /*sender*/) {}
};
