// Bar geometry: frames from the model, the handle tables at the widths where handles appear and
// disappear, and where a task's title goes.
#include "GanttTestSupport.h"

#include "DMUIProjectItemGeometry.h"

using namespace gantttest;

namespace {

QList<qint32> operations(const DMUIProjectItemDragHandleTable &table)
{
    QList<qint32> result;
    for (int i = 0; i < table.count(); ++i)
        result << table.at(i).operation;
    return result;
}

} // namespace

TEST(BarGeometry, TaskBarTakesItsFrameFromTheModel)
{
    GanttCanvas canvas;
    auto task = canvas.addTask(QStringLiteral("Pour"), at(2024, 1, 2, 13), at(2024, 1, 4, 18));
    auto bar = GanttCanvas::barOf(task);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->frame(), QRectF(30.5, 0, 50, 20));

    // A new day window moves the bar when the model reports it.
    canvas.project->displayAttributes().pixelsPerDay = 40.0f;
    bar->representedObject_timeSpanChanged();
    EXPECT_EQ(bar->frame(), QRectF(60.5, 0, 100, 20));
}

TEST(BarGeometry, PlainBarHandlesAppearWithWidth)
{
    DMUIProjectItemDragHandleTable table;
    // Up to 12 wide: no progress handle; below 24 the resize handles would overlap; at 13 the link
    // circles {4..9} and {4..9} overlap; at 24 the ends only touch.
    const std::pair<qreal, QList<qint32>> widths[] = {{11, {116}},
                                                      {12, {116}},
                                                      {13, {121, 116}},
                                                      {23, {121, 119, 120, 116}},
                                                      {24, {121, 117, 118, 119, 120, 116}},
                                                      {25, {121, 117, 118, 119, 120, 116}}};
    for (const auto &[width, expected] : widths) {
        DMUIProjectItem_fillHandleTable(table, width, 20, 0.5);
        EXPECT_EQ(operations(table), expected) << width;
    }
    EXPECT_EQ(table.at(0).rect, QRectF(25 * 0.5 - 2, 16, 4, 4));
    EXPECT_EQ(table.operationAtPoint(QPointF(6.5, 10)), 117);  // the begin handle before its circle
    EXPECT_EQ(table.operationAtPoint(QPointF(30, 10)), 0);
}

TEST(BarGeometry, TaskBarHandlesAppearWithWidth)
{
    DMUIProjectItemDragHandleTable table;
    const DMUIProjectTaskHandleMetrics metrics;
    const auto fill = [&](qreal w) {
        DMUIProjectTask_fillHandleTable(table, w, 16, 0.5, true, metrics, QSizeF());
        return operations(table);
    };
    // rw = w/2 within 2...12: the resize handles meet in the middle below 24.
    const QList<qint32> withResize = {119, 120, 117, 118, 116};
    for (qreal w : {11.0, 12.0, 13.0, 23.0, 24.0, 25.0})
        EXPECT_EQ(fill(w), withResize) << "width " << w;
    fill(11);
    EXPECT_EQ(table.find(118)->rect, QRectF(5.5, 0, 5.5, 16));
    fill(25);
    EXPECT_EQ(table.find(118)->rect, QRectF(13, 0, 12, 16));
    EXPECT_EQ(table.find(120)->rect, QRectF(20, 3, 10, 10)); // centred on the right end

    // Below 4 points the two 2-point handles overlap and neither is kept.
    EXPECT_EQ(fill(3), QList<qint32>({119, 120, 116}));
    EXPECT_EQ(fill(4), withResize);
    // Progress only beyond three slider widths.
    EXPECT_EQ(fill(36), withResize);
    EXPECT_EQ(fill(37), QList<qint32>({119, 120, 121, 117, 118, 116}));
    EXPECT_EQ(table.find(121)->rect, QRectF(37 * 0.5 - 6, 6, 12, 12));

    // Outside the Gantt view no link handles.
    DMUIProjectTask_fillHandleTable(table, 25, 16, 0, false, metrics, QSizeF());
    EXPECT_EQ(operations(table), QList<qint32>({117, 118, 116}));
    // A title beside the bar gets a move handle on each side it may be drawn.
    DMUIProjectTask_fillHandleTable(table, 25, 16, 0, true, metrics, QSizeF(40, 12));
    EXPECT_EQ(operations(table), QList<qint32>({119, 120, 117, 118, 116, 116, 116}));
    EXPECT_EQ(table.at(5).rect, QRectF(29, 2, 40, 12));
    EXPECT_EQ(table.at(6).rect, QRectF(-44, 2, 40, 12));
}

TEST(BarGeometry, CircleHandlesHitOnlyInsideTheInscribedCircle)
{
    const DMUIProjectItem_DragHandle circle{QRectF(0, 0, 10, 6), DMUIProjectItem_DragHandle::Circle, 119};
    // Radius 3: the edge hits, beyond it and the rect's corner do not.
    for (const auto &[point, hits] : {std::pair{QPointF(5, 3), true}, std::pair{QPointF(8, 3), true},
                                      std::pair{QPointF(8.5, 3), false}, std::pair{QPointF(1, 1), false}})
        EXPECT_EQ(DMUIProjectItem_DragHandle_IsPointHitting(circle, point), hits) << point.x();
    const DMUIProjectItem_DragHandle empty{QRectF(0, 0, 10, 6), DMUIProjectItem_DragHandle::Empty, 116};
    EXPECT_FALSE(DMUIProjectItem_DragHandle_IsPointHitting(empty, QPointF(5, 3)));
}

TEST(BarGeometry, TitleGoesBesideTheBarOnlyWhenItDoesNotFit)
{
    DMUIProjectTaskTitleInput input;
    input.barRect = QRectF(100.5, 2, 60, 16);
    input.frameWidth = 60;
    input.titleSize = QSizeF(52, 12);
    input.displayTaskNames = true;
    input.ganttView = true;
    input.visibleRect = QRectF(0, 0, 400, 100);

    DMUIProjectTaskTitleLayout layout = DMUIProjectTask_titleLayout(input);
    EXPECT_EQ(layout.placement, DMUIProjectTaskTitleLayout::Inside); // 52 fits 60 - 8
    EXPECT_EQ(layout.rect, QRectF(104.5, 4, 52, 12));

    input.lockRoom = 12; // a locked task keeps room for its lock
    EXPECT_EQ(DMUIProjectTask_titleLayout(input).placement, DMUIProjectTaskTitleLayout::Right);
    input.lockRoom = 0;

    input.titleSize = QSizeF(53, 12);
    layout = DMUIProjectTask_titleLayout(input);
    EXPECT_EQ(layout.placement, DMUIProjectTaskTitleLayout::Right);
    EXPECT_EQ(layout.rect, QRectF(164.5, 4, 53, 12));

    // Near the right edge it goes left of the bar (rendered), and hidden names leave no title
    // (pressed on a real bar).
    // Outside the Gantt view it stays inside, truncated to the room.
    input.ganttView = false;
    layout = DMUIProjectTask_titleLayout(input);
    EXPECT_EQ(layout.placement, DMUIProjectTaskTitleLayout::Inside);
    EXPECT_EQ(layout.rect.width(), 52);
}

TEST(BarGeometry, ATitleBesideTheBarIsPressedWhereItIsDrawn)
{
    GanttCanvas canvas;
    auto task = canvas.addTask(QStringLiteral("A rather long title for a short task"), at(2024, 1, 2, 8),
                               at(2024, 1, 2, 18));
    auto bar = GanttCanvas::barOf(task);
    const DMUIProjectTaskTitleLayout layout = bar->titleLayout(&canvas.view);
    ASSERT_EQ(layout.placement, DMUIProjectTaskTitleLayout::Right);
    EXPECT_TRUE(bar->boundingBox().contains(layout.rect));
    EXPECT_EQ(bar->dragOperationForPoint(layout.rect.center(), &canvas.view), 116);
    // The empty place on the other side is not part of the bar.
    const QPointF mirror(bar->frame().x() - 4 - layout.rect.width() / 2, layout.rect.center().y());
    EXPECT_EQ(bar->dragOperationForPoint(mirror, &canvas.view), 0);

    // Hidden task names: no title and no title handles.
    canvas.project->displayAttributes().displayTaskNames = false;
    bar->updateUIFeatures();
    EXPECT_EQ(bar->titleLayout(&canvas.view).placement, DMUIProjectTaskTitleLayout::None);
    EXPECT_EQ(bar->dragOperationForPoint(layout.rect.center(), &canvas.view), 0);
}

TEST(BarGeometry, LinksAttachToTheBarsEnds)
{
    GanttCanvas canvas;
    auto task = canvas.addTask(QStringLiteral("T"), at(2024, 1, 2, 8), at(2024, 1, 4, 8));
    auto bar = GanttCanvas::barOf(task);
    const QRectF f = bar->frame();
    EXPECT_EQ(bar->dependencyEndRect(), QRectF(f.x() - 5, f.y() + 5, 10, 10));
    EXPECT_EQ(bar->dependencyStartRect(), QRectF(f.right() - 5, f.y() + 5, 10, 10));
    bar->setFrame(QRectF(f.x(), f.y(), 10, f.height())); // 2 x (dw + m) reaches the width
    EXPECT_EQ(bar->dependencyEndRect(), QRectF(f.x(), f.y() + 5, 1, 10));
    EXPECT_EQ(bar->dependencyStartRect(), QRectF(f.x() + 10, f.y() + 5, 1, 10));
    EXPECT_TRUE(bar->acceptsDependencies());
    bar->setViewModeVisibility(1);
    EXPECT_FALSE(bar->acceptsDependencies());
}
