#pragma once

#include "DMUIProjectShapeGeometry.h"
#include "DMUIProjectTask.h"

#include <memory>

class QMenu;

// The diamond of a milestone: 14 points wide, centred on the milestone's date, with link
// handles on its left and right corners (shown while hovered), its title always beside it and
// one date label under it while dragged. A drag moves both dates together to a date rounded to
// 300 s and snapped to either end of the day window; there is no resize and no progress.
class DMUIProjectMilestone : public DMUIProjectTask
{
public:
    explicit DMUIProjectMilestone(const QRectF &frame = QRectF(0, 0, 10, 10));
    ~DMUIProjectMilestone() override;

    // Link handles the size of the link image, centred on the corners.
    static DMUIProjectMilestoneHandleMetrics milestoneHandleMetrics();
    // The milestones' title attributes: the project view's font size (at least 8, else 9), black,
    // never truncated.
    static DMTextAttributes titleTextAttributes();
    static void resetTitleTextAttributes();

    // The frame inset by 2 at top and bottom: the diamond's box.
    QRectF diamondRect() const { return barRect(); }
    QPolygonF diamond() const;
    DMUIProjectTaskTitleLayout titleLayout(DMObjectView *view) const override;

    QRectF dependencyEndRect() const override;
    QRectF dependencyStartRect() const override;
    QString objectEditorControllerClass() const override;
    DMTextAttributes defaultTextAttributes() const override;

    // Only moves: both dates go to the date under the diamond's centre, snapped to either end of
    // the day window; a locked milestone is refused by the model.
    DMUIProjectItemDragRule dragRule() const override;
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;
    // The date label centred under the diamond.
    void updateGuideAnchorObjects() override;

    // "task option": convert to a task, convert to a process, embed in a process; empty when the
    // delegate does not handle the conversion.
    std::unique_ptr<QMenu> contextMenuInView(DMProjectView *view, DMObjectViewDelegate *delegate) override;

protected:
    QPointF horizontalFrameRangeInGrid(const DMProjectViewDateGrid &grid, const DMProjectItem &item) const override;
    void _updateDragHandleList() override;

private:
    QString shownTitle() const;

};
