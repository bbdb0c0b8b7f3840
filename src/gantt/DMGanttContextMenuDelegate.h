#pragma once

class QAction;

// The context-menu commands of milestone diamonds and link lines that the canvas delegate (the
// project document) carries out; it derives from this beside DMProjectViewDelegate. Each sender
// carries the canvas and the object (DMProjectViewMenuItem) and the command's code as its tag:
// 'task', 'cnvt', 'embd' for a milestone, a line style 0 to 4 or a dash pattern 0 to 3 for a
// link. Defaults mean "not handled".
class DMGanttContextMenuDelegate
{
public:
    virtual ~DMGanttContextMenuDelegate() = default;

    virtual bool respondsToProjectViewConvertMilestoneToProcessFromItem() const { return false; }
    virtual void projectViewConvertMilestoneToProcessFromItem(QAction * /*sender*/) {}

    virtual bool respondsToProjectViewChangeDependencyLineStyle() const { return false; }
    virtual void projectViewChangeDependencyLineStyle(QAction * /*sender*/) {}
    virtual bool respondsToProjectViewChangeDependencyPatternStyle() const { return false; }
    virtual void projectViewChangeDependencyPatternStyle(QAction * /*sender*/) {}
};
