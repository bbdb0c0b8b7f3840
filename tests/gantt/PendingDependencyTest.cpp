// The rubber-band link dragged out of a bar's link handle, driven through the canvas with QTest:
// it snaps to the nearer side of the bar under the pointer and records the kind, highlights that
// bar, never targets its own bar, and reports every move through the origin bar's project so
// that no trail stays behind.
#include "GanttTestSupport.h"

#include "DMUIProjectPendingDependency.h"

using namespace gantttest;

namespace {

// Stands in for the document at a press on a link handle: a pending link starts at the press.
class LinkingDelegate : public GanttDelegate
{
public:
    using GanttDelegate::GanttDelegate;
    qint32 objectViewDragOperationForPointWithObject(DMObjectView *view, QPointF point,
                                                     const std::shared_ptr<DMBaseObject> &object) override
    {
        auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(object);
        const qint32 operation = bar ? bar->dragOperationForPoint(point, view) : 0;
        if (operation != DMProjectViewDragOperation::LinkFromBegin && operation != DMProjectViewDragOperation::LinkFromEnd)
            return GanttDelegate::objectViewDragOperationForPointWithObject(view, point, object);
        pending = std::make_shared<DMUIProjectPendingDependency>(QRectF(point, QSizeF(1, 1)));
        pending->setFromObject(bar);
        pending->setSource(operation == DMProjectViewDragOperation::LinkFromBegin ? 1 : 0);
        pending->setViewModeVisibility(kDMProjectViewMode_Gantt);
        pending->setStartPointEndPoint(point, point);
        view->setDragOperationConcernedObjects({pending});
        return pending->dragOperationForPoint(point, view);
    }
    std::shared_ptr<DMUIProjectPendingDependency> pending;
};

// A (x 20.5 to 80.5) in row 0, B (x 140.5 to 180.5) in row 2.
struct PendingLink : ::testing::Test
{
    void SetUp() override
    {
        canvas.view.setDelegate(&linking);
        canvas.show();
        a = canvas.addTask(QStringLiteral("A"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
        b = canvas.addTask(QStringLiteral("B"), at(2024, 1, 8, 8), at(2024, 1, 9, 18), 2);
        barA = GanttCanvas::barOf(a);
        barB = GanttCanvas::barOf(b);
    }
    void TearDown() override { canvas.view.setDelegate(&canvas.delegate); }

    GanttCanvas canvas;
    LinkingDelegate linking{*canvas.project};
    std::shared_ptr<DMProjectTask> a;
    std::shared_ptr<DMProjectTask> b;
    std::shared_ptr<DMUIProjectTask> barA;
    std::shared_ptr<DMUIProjectTask> barB;
};

} // namespace

TEST_F(PendingLink, FromAFinishSideTheNearerSideOfTheTargetChoosesTheKind)
{
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(80, 10));
    ASSERT_TRUE(linking.pending);
    auto &pending = *linking.pending;
    EXPECT_EQ(canvas.view.currentDragOperation(), 216);
    EXPECT_EQ(pending.fromObject(), barA);

    QTest::mouseMove(&canvas.view, QPoint(145, 50)); // near B's start
    EXPECT_EQ(pending.toObject(), barB);
    EXPECT_TRUE(barB->isHovered());
    EXPECT_EQ(pending.linkKind(), 0);
    EXPECT_EQ(pending.startPoint(), QPointF(80, 10));
    EXPECT_EQ(pending.endPoint(), QPointF(140.5, 50));
    EXPECT_EQ(pending.frame(), QRectF(80, 10, 60.5, 40));

    QTest::mouseMove(&canvas.view, QPoint(170, 50)); // nearer B's finish
    EXPECT_EQ(pending.linkKind(), 3);
    EXPECT_EQ(pending.endPoint(), QPointF(180.5, 50));
    // At the tie between B's sides (160.5, reachable only by a step fed directly): the finish side.
    pending.handleDragOperation(216, QPointF(80, 10), QPointF(160.5, 50),
                                DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 1), &canvas.view);
    EXPECT_EQ(pending.linkKind(), 3);

    // Over empty canvas the end follows the pointer, the kind stays, nothing is highlighted.
    QTest::mouseMove(&canvas.view, QPoint(300, 90));
    EXPECT_FALSE(pending.toObject());
    EXPECT_FALSE(barB->isHovered());
    EXPECT_EQ(pending.endPoint(), QPointF(300, 90));
    EXPECT_EQ(pending.linkKind(), 3);

    // The origin bar is never its own target.
    QTest::mouseMove(&canvas.view, QPoint(50, 10));
    EXPECT_FALSE(pending.toObject());

    // From one target to another: the first is no longer highlighted.
    auto barC = GanttCanvas::barOf(canvas.addTask(QStringLiteral("C"), at(2024, 1, 8, 8), at(2024, 1, 9, 18), 4));
    QTest::mouseMove(&canvas.view, QPoint(150, 50));
    EXPECT_TRUE(barB->isHovered());
    QTest::mouseMove(&canvas.view, QPoint(150, 90));
    EXPECT_EQ(pending.toObject(), barC);
    EXPECT_FALSE(barB->isHovered());
    EXPECT_TRUE(barC->isHovered());
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(150, 90));
}

TEST_F(PendingLink, FromAStartSideTheStartPointFollowsAndATieTakesTheStartSide)
{
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(21, 10));
    ASSERT_TRUE(linking.pending);
    auto &pending = *linking.pending;
    EXPECT_EQ(pending.source(), 1);
    QTest::mouseMove(&canvas.view, QPoint(178, 50));
    EXPECT_EQ(pending.linkKind(), 1); // start to finish
    EXPECT_EQ(pending.startPoint(), QPointF(180.5, 50));
    EXPECT_EQ(pending.endPoint(), QPointF(21, 10));
    // B's sides are centred at 140.5 and 180.5: 160.5 is the tie, which the pointer cannot hit
    // in whole points; a step fed directly can.
    const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 1);
    pending.handleDragOperation(216, QPointF(21, 10), QPointF(160.5, 50), step, &canvas.view);
    EXPECT_EQ(pending.linkKind(), 2);
    EXPECT_EQ(pending.startPoint(), QPointF(140.5, 50));
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(160, 50));
}

TEST_F(PendingLink, EveryMoveRedrawsTheOldAndTheNewLineWhicheverEndMoves)
{
    for (const QPoint press : {QPoint(80, 10), QPoint(21, 10)}) {
        QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, press);
        ASSERT_TRUE(linking.pending);
        auto &pending = *linking.pending;
        // The project of the origin bar, also while the moving end has no bar (source 1).
        EXPECT_EQ(pending.project(), canvas.project) << pending.source();
        QTest::mouseMove(&canvas.view, QPoint(150, 50));
        QTest::mouseMove(&canvas.view, QPoint(300, 90));
        QList<QRectF> redraws;
        canvas.view.setRedrawObserver([&](const QRectF &rect) { redraws.append(rect); });
        const QRectF before = pending.frame();
        QTest::mouseMove(&canvas.view, QPoint(200, 30));
        const QRectF after = pending.frame();
        canvas.view.setRedrawObserver({});
        const auto covered = [&](const QRectF &area) {
            return std::any_of(redraws.begin(), redraws.end(), [&](const QRectF &r) { return r.contains(area); });
        };
        EXPECT_TRUE(covered(before)) << pending.source();
        EXPECT_TRUE(covered(after)) << pending.source();
        QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 30));
        linking.pending.reset();
    }
}
