#pragma once

#include "DMUIProjectItem.h"
#include "DMUIProjectItemGeometry.h"

#include <initializer_list>
#include <memory>

class QAction;
class QMenu;

// The bar of a task: a bar with fully rounded ends and a progress overlay, link and progress
// handles shown while hovered, lock and attachment icons, and the title inside the bar or beside
// it. Its drags edit the dates rounded to 300 s (snapped to the day window) and the progress; a
// locked task ignores them all. While dragged it shows three date labels (begin, end, progress).
class DMUIProjectTask : public DMUIProjectItem
{
public:
    explicit DMUIProjectTask(const QRectF &frame = QRectF(0, 0, 10, 10));
    ~DMUIProjectTask() override;

    // The handle images' sizes: link handle at least 10 x 10, slider 12 x 12 with offset 2.
    static DMUIProjectTaskHandleMetrics handleMetrics();

    // The frame inset by 2 at top and bottom: what is drawn and where the handles are measured.
    QRectF barRect() const;

    QRectF dependencyEndRect() const override;
    QRectF dependencyStartRect() const override;
    bool acceptsDependencies() const override;
    QString objectEditorControllerClass() const override;

    // Where the title goes in this view (the same rule for drawing and pressing).
    DMUIProjectTaskTitleLayout titleLayout(DMObjectView *view) const override;

    // Dates rounded to 300 s and snapped to the day window; a locked task takes no drag at all.
    DMUIProjectItemDragRule dragRule() const override;
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;

    // The begin, end and progress labels, made on first use once the bar has a project.
    void updateGuideAnchorObjects() override;

    // "task option": convert to a milestone, convert to a process, embed in a process; empty
    // when the delegate does not handle the conversion. The milestone has its own.
    virtual std::unique_ptr<QMenu> contextMenuInView(DMProjectView *view, DMObjectViewDelegate *delegate);
    bool presentsContextMenuFromEventInViewWithDelegate(const DMEvent &event, DMProjectView *view,
                                                        DMObjectViewDelegate *delegate) override;

protected:
    struct MenuCommand
    {
        const char *title;
        quint32 tag;
    };
    // A "task option" menu of these commands on this object; empty without a view or when the
    // delegate does not handle them. `perform` runs a command with the canvas's delegate of the
    // moment: the document may have closed since the menu was made.
    std::unique_ptr<QMenu> commandMenu(DMProjectView *view, bool handled, std::initializer_list<MenuCommand> commands,
                                       void (*perform)(DMObjectViewDelegate *delegate, QAction *sender));

    // Black when selected, red and 2 wide on the critical path, else the stroke colour.
    void strokeOutline(QPainter *painter, const QPainterPath &outline) const;

    void _updateDragHandleList() override;
    QPointF dragHandlesOrigin() const override { return barRect().topLeft(); }

private:
    DMUIProjectTaskTitleInput titleInput(DMObjectView *view) const;
    QString titleText() const;
    // x of the icons (lock, attachment) relative to the bar: inside its left end, past the
    // begin link handle while that shows.
    qreal iconOffset() const;

};
