#pragma once

#include "DMObjectViewDelegate.h"

class QAction;
class DMProjectView;

// What the Gantt canvas and its objects ask of the canvas delegate beyond the gestures of every
// canvas (the project document implements it). Defaults mean "not handled".
class DMProjectViewDelegate : public DMObjectViewDelegate
{
public:
    // The task bars' context-menu command; the sender carries the bar and the canvas
    // (DMProjectViewMenuItem) and the command's code as its tag.
    virtual bool respondsToProjectViewConvertTaskToProcessFromItem() const { return false; }
    virtual void projectViewConvertTaskToProcessFromItem(QAction * /*sender*/) {}

    // True while the document renders the canvas for a page (print, PDF, JPEG): the canvas then
    // draws as if all of it were visible, whatever device it draws on.
    virtual bool projectViewIsPrinting(const DMProjectView * /*view*/) const { return false; }
};
