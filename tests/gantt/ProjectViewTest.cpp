// The Gantt canvas driven with QTest: hover from bar to bar, the cursor table, the redraw filter,
// selection by list, autoscroll while dragging, tool tips and context menus.
#include "GanttTestSupport.h"

#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectViewMenuItem.h"

#include <QAction>
#include <QMenu>

using namespace gantttest;

namespace {

struct TwoBars : ::testing::Test
{
    void SetUp() override
    {
        canvas.show();
        first = canvas.addTask(QStringLiteral("First"), at(2024, 1, 2, 8), at(2024, 1, 4, 18), 0);
        second = canvas.addTask(QStringLiteral("Second"), at(2024, 1, 3, 8), at(2024, 1, 5, 18), 1);
    }

    int hoveredCount() const
    {
        return int(GanttCanvas::barOf(first)->isHovered()) + int(second && GanttCanvas::barOf(second)->isHovered());
    }

    GanttCanvas canvas;
    std::shared_ptr<DMProjectTask> first;
    std::shared_ptr<DMProjectTask> second;
};

class ConvertingDelegate : public GanttDelegate
{
public:
    using GanttDelegate::GanttDelegate;
    bool respondsToProjectViewConvertTaskToProcessFromItem() const override { return true; }
    void projectViewConvertTaskToProcessFromItem(QAction *sender) override
    {
        received = DMProjectViewMenuItem::representedObject(sender);
        tag = DMProjectViewMenuItem::tag(sender);
    }
    DMProjectViewMenuItem received;
    qint32 tag = 0;
};

} // namespace

TEST_F(TwoBars, HoverMovesFromBarToBarLeavingExactlyOneHovered)
{
    QTest::mouseMove(&canvas.view, QPoint(50, 10));
    EXPECT_TRUE(GanttCanvas::barOf(first)->isHovered());
    EXPECT_EQ(hoveredCount(), 1);
    // Where the two bars' rows meet nothing else is hovered; then the second takes over.
    QTest::mouseMove(&canvas.view, QPoint(70, 30));
    EXPECT_TRUE(GanttCanvas::barOf(second)->isHovered());
    EXPECT_EQ(hoveredCount(), 1);
    QTest::mouseMove(&canvas.view, QPoint(300, 80)); // empty canvas
    EXPECT_EQ(hoveredCount(), 0);
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::ArrowCursor);

    QTest::mouseMove(&canvas.view, QPoint(50, 10));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&canvas.view, &leave);
    EXPECT_EQ(hoveredCount(), 0);
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(TwoBars, TheCanvasHoldsTheHoveredObjectWithoutOwningIt)
{
    QTest::mouseMove(&canvas.view, QPoint(70, 30));
    ASSERT_EQ(canvas.view.hoveredObject(), GanttCanvas::barOf(second));
    // The hovered bar goes with its item; the canvas lets go and hovers the next bar as usual.
    canvas.source.items.removeOne(second);
    canvas.project->tasks().removeOne(second);
    second.reset();
    canvas.project->purgeRemovedObjects();
    EXPECT_EQ(canvas.view.hoveredObject(), nullptr);
    QTest::mouseMove(&canvas.view, QPoint(50, 10));
    EXPECT_EQ(canvas.view.hoveredObject(), GanttCanvas::barOf(first));
}

TEST_F(TwoBars, CursorFollowsTheOperationUnderThePointer)
{
    const std::pair<QList<qint32>, Qt::CursorShape> table[] = {
        {{116}, Qt::ClosedHandCursor}, {{117, 118}, Qt::SizeHorCursor}, {{119, 120, 121, 216}, Qt::PointingHandCursor},
        {{0, 1, 2, 12, qint32(DMProjectViewDragOperation::CreateItem)}, Qt::ArrowCursor}};
    for (const auto &[operations, shape] : table)
        for (qint32 operation : operations)
            EXPECT_EQ(DMProjectView_cursorShapeForDragOperation(operation), shape) << operation;

    // Hovering a move shows the open hand; pressing shows the closed one.
    QTest::mouseMove(&canvas.view, QPoint(50, 10));
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::OpenHandCursor);
    QTest::mouseMove(&canvas.view, QPoint(28, 10));
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(&canvas.view, QPoint(21, 10)); // the link handle on the left end
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::PointingHandCursor);
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(TwoBars, RedrawsOnlyOnChangeAndNotAfterTheDocumentClosed)
{
    QList<QRectF> redraws;
    canvas.view.setRedrawObserver([&](const QRectF &rect) { redraws.append(rect); });
    auto bar = GanttCanvas::barOf(first);
    // A hover change redraws the box grown by 20, once.
    bar->setHovered(true);
    bar->setHovered(true);
    ASSERT_EQ(redraws.size(), 1);
    EXPECT_EQ(redraws.first(), bar->boundingBox().adjusted(-20, -20, 20, 20));
    bar->setHovered(false);

    redraws.clear();
    canvas.view.setDelegate(nullptr);
    canvas.view.setDatasource(nullptr);
    bar->setFrame(bar->frame().translated(10, 0));
    bar->objectNeedsUpdate();
    EXPECT_TRUE(redraws.isEmpty());
}

TEST_F(TwoBars, SelectionByListKeepsWhatTheDelegateAllows)
{
    auto a = GanttCanvas::barOf(first);
    auto b = GanttCanvas::barOf(second);
    canvas.view.setSelectedObjectsInLayer({a, b}, kDMProjectViewLayer_Items);
    EXPECT_EQ(canvas.view.selectedObjectsCount(), 2);
    EXPECT_TRUE(a->isSelected() && b->isSelected());
    const int changes = canvas.delegate.selectionChanges;
    canvas.view.setSelectedObjectsInLayer({}, kDMProjectViewLayer_Items);
    EXPECT_EQ(canvas.view.selectedObjectsCount(), 0);
    EXPECT_FALSE(a->isSelected() || b->isSelected());
    EXPECT_EQ(canvas.delegate.selectionChanges, changes + 1);
    // The layer is reduced to its low 16 bits: 0x10000 is the background layer.
    canvas.view.setSelectedObjectsInLayer({a}, kDMProjectViewLayer_Background);
    EXPECT_EQ(canvas.view.selectedObjectsCount(), 0);

    canvas.view.selectAll();
    EXPECT_EQ(canvas.view.selectedObjectsCount(), 2);
}

TEST_F(TwoBars, AutoscrollRunsFromTheFirstDragStepUntilRelease)
{
    // Counts the steps the canvas forwards to the bar's drag.
    struct StepCounter : DMBaseObject
    {
        void handleDragOperation(qint32, QPointF, QPointF, const DMEvent &, DMObjectView *) override { ++steps; }
        int steps = 0;
    };
    halcyra::test::ManualClock clock;
    auto counter = std::make_shared<StepCounter>();
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    EXPECT_FALSE(canvas.view.isAutoscrolling());
    canvas.view.setDragOperationConcernedObjects({counter});
    dragStep(&canvas.view, QPoint(55, 10));
    EXPECT_TRUE(canvas.view.isAutoscrolling());
    EXPECT_EQ(counter->steps, 1);
    // Every 0.1 s the last drag step is replayed while the pointer rests.
    clock.advance(250);
    EXPECT_EQ(counter->steps, 3);
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(55, 10));
    EXPECT_FALSE(canvas.view.isAutoscrolling());
    clock.advance(500);
    EXPECT_EQ(counter->steps, 3);
}

TEST_F(TwoBars, EventBarsShowTheirTitlesOnHoverAndATaskBarWhoseTitleFitsNothing)
{
    auto event = makeItem<DMProjectEvent>(canvas.project, QStringLiteral("Inspection"), at(2024, 1, 8, 8),
                                          at(2024, 1, 9, 18));
    canvas.project->eventContainer()->events().append(event);
    canvas.place(event, 2);
    auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(event->ganttUIObject());

    EXPECT_EQ(canvas.view.toolTipAtViewPoint(bar->frame().center()), QStringLiteral("Inspection"));
    EXPECT_EQ(canvas.view.toolTipAtViewPoint(QPointF(50, 10)), QString()); // a task bar
}

TEST_F(TwoBars, TaskContextMenuCarriesTheBarAndTheCommand)
{
    auto bar = GanttCanvas::barOf(first);
    EXPECT_TRUE(bar->contextMenuInView(&canvas.view, &canvas.delegate)->isEmpty());

    ConvertingDelegate converting(*canvas.project);
    canvas.view.setDelegate(&converting);
    std::unique_ptr<QMenu> menu = bar->contextMenuInView(&canvas.view, &converting);
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->title(), QStringLiteral("task option"));
    EXPECT_EQ(menu->actions().at(0)->text(), QStringLiteral("Convert to Milestone"));
    EXPECT_EQ(menu->actions().at(2)->text(), QStringLiteral("Embed in Process"));
    menu->actions().at(1)->trigger();
    EXPECT_EQ(converting.tag, qint32(DMFourCharCode("cnvt")));
    EXPECT_EQ(converting.received.object.lock(), bar);
    EXPECT_EQ(converting.received.view, &canvas.view);

    // A command chosen after the document let go of the canvas does nothing.
    canvas.view.setDelegate(nullptr);
    converting.tag = 0;
    menu->actions().at(0)->trigger();
    EXPECT_EQ(converting.tag, 0);
    canvas.view.setDelegate(&canvas.delegate);
}
