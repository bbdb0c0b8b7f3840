#pragma once

#include "DMUIProjectItem.h"
#include "DMUIProjectShapeGeometry.h"

// The bracket of a process: a bar whose ends carry downward tips on the process's begin and end
// dates, with a progress overlay and the title inside or beside it. Dragging the bracket shifts
// the process with all its subitems; its tips change the begin or end date. Takes no links.
class DMUIProjectProcess : public DMUIProjectItem
{
public:
    explicit DMUIProjectProcess(const QRectF &frame = QRectF(0, 0, 10, 10));
    ~DMUIProjectProcess() override;

    QPainterPath bracket() const { return DMUIProjectProcess_bracket(frame()); }
    // Where the title goes in this view (the same rule for drawing and pressing).
    DMUIProjectTaskTitleLayout titleLayout(DMObjectView *view) const override;

    bool acceptsDependencies() const override { return false; }
    QString objectEditorControllerClass() const override;

    // A move shifts the process with its subitems; the tips change one date of the process alone.
    DMUIProjectItemDragRule dragRule() const override;
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;
    // The begin and end date labels.
    void updateGuideAnchorObjects() override;

protected:
    QPointF horizontalFrameRangeInGrid(const DMProjectViewDateGrid &grid, const DMProjectItem &item) const override;
    void _updateDragHandleList() override;

private:
    DMUIProjectProcessTitleInput titleInput(DMObjectView *view) const;
    QString titleText() const;

};
