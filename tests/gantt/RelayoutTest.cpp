// The document's relayout of the Gantt page: frames from the scale and the shown span, the
// background table from the timeline's columns and the outline's rows, bars on their rows and,
// in the resource view, in the lanes of their resource's row.
#include "DocumentCanvasTestSupport.h"

#include "DMTimelineView.h"
#include "DMUIProjectItemGeometry.h"

#include <QScrollBar>

using namespace gantttest;

TEST_F(DocumentCanvasTest, ScaleAndSpanChangesRelayOutAtOnce)
{
    auto task = addTask("Task", at(2024, 1, 10, 8), at(2024, 1, 11, 18));
    open();
    EXPECT_EQ(canvas()->width(), 60 * 20);
    EXPECT_EQ(outlets().timelineView->width(), canvas()->width() + outlets().projectViewScrollArea->verticalScrollBar()->sizeHint().width());
    const double x = barOf(task)->frame().x();

    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 40.0f);
    EXPECT_FLOAT_EQ(project->displayAttributes().pixelsPerDay, 40.0f);
    EXPECT_EQ(canvas()->width(), 60 * 40);
    EXPECT_NEAR(barOf(task)->frame().x(), 2 * x, 1.5);

    // A new shown span moves the origin: the task is now 9 days in, not 9 days from 1 January.
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan,
                          QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(at(2024, 1, 8))},
                                      {kDMTimeSpanEnd, QVariant::fromValue(at(2024, 1, 18))}});
    EXPECT_EQ(project->displayAttributes().timeSpanBeginDate, at(2024, 1, 8));
    EXPECT_NEAR(barOf(task)->frame().x(), 2 * project->displayAttributes().pixelsPerDay, 1.0);
}

TEST_F(DocumentCanvasTest, TheScaleFillsTheVisibleWidthExceptWhenPrintingAndIsNeverZero)
{
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 0.0f);
    open();
    const int visible = outlets().projectViewScrollArea->viewport()->width();
    ASSERT_GT(visible, 100);
    // Zero stored: at least the visible width over the 60 days.
    EXPECT_NEAR(project->displayAttributes().pixelsPerDay, visible / 60.0, 0.01);
    controller()->setIsPrinting(true);
    controller()->relayoutProjectView();
    EXPECT_FLOAT_EQ(project->displayAttributes().pixelsPerDay, 0.1f);
    EXPECT_EQ(canvas()->width(), 6);
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 3.0f);
    EXPECT_FLOAT_EQ(project->displayAttributes().pixelsPerDay, 3.0f);
    controller()->setIsPrinting(false);
    controller()->relayoutProjectView();
    EXPECT_GT(project->displayAttributes().pixelsPerDay, 3.0f);
}

TEST_F(DocumentCanvasTest, AResizedWindowRefitsTheScaleAndTheBarsKeepTheirDatesAndRows)
{
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 0.0f);
    addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto task = addTask("Task", at(2024, 1, 10, 8), at(2024, 1, 11, 18));
    open();
    const QRectF before = barOf(task)->frame();
    const double scaleBefore = project->displayAttributes().pixelsPerDay;

    document->mainWindow()->resize(1400, 800);
    QCoreApplication::processEvents();
    clock.advance(0);
    const QSize visible = outlets().projectViewScrollArea->viewport()->size();
    const double scale = project->displayAttributes().pixelsPerDay;
    ASSERT_GT(scale, scaleBefore);
    EXPECT_NEAR(scale, visible.width() / 60.0, 0.01);
    EXPECT_NEAR(canvas()->width(), visible.width(), 1);
    EXPECT_EQ(controller()->projectViewBackgroundObject()->frame().height(), std::max(canvas()->height(), visible.height()));
    const QRectF after = barOf(task)->frame();
    EXPECT_NEAR(after.x(), before.x() * scale / scaleBefore, 1.5);
    EXPECT_NEAR(after.width(), before.width() * scale / scaleBefore, 1.5);
    EXPECT_EQ(after.top(), before.top());
    EXPECT_EQ(after.height(), before.height());
}

TEST_F(DocumentCanvasTest, TheBackgroundTableFollowsColumnsDaysOffAndRows)
{
    addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto event = addEvent("Review", at(2024, 1, 3, 9), at(2024, 1, 5, 12));
    auto overlapping = addEvent("Visit", at(2024, 1, 4, 9), at(2024, 1, 4, 12));
    open();
    const auto background = controller()->projectViewBackgroundObject();
    const auto table = background->attributes();
    ASSERT_TRUE(table);
    EXPECT_EQ(background->frame(), QRectF(QPointF(0, 0), QSizeF(canvas()->size())));
    EXPECT_EQ(table->columns(), 60);
    EXPECT_FLOAT_EQ(table->columnWidth(), 20.0f);
    // Monday 1 January is a working day, Saturday 6 and Sunday 7 are not.
    EXPECT_FALSE(table->columnBgColor(0).isValid());
    EXPECT_TRUE(table->columnBgColor(5).isValid());
    EXPECT_TRUE(table->columnBgColor(6).isValid());
    EXPECT_FALSE(table->columnBgColor(7).isValid());
    // The events row holds two lanes; rows follow the outline.
    ASSERT_EQ(table->rows(), 2);
    EXPECT_FLOAT_EQ(table->rowHeight(0), 40.0f);
    EXPECT_FLOAT_EQ(table->rowHeight(1), 20.0f);
    EXPECT_TRUE(table->rowBgColor(0).isValid());
    EXPECT_NE(barOf(event)->frame().top(), barOf(overlapping)->frame().top());

    // The day scale: one column per quarter hour of the 10-hour window.
    project->setAttribute(kDMProject_TimelineViewMode, 0);
    project->setAttribute(kDMProject_TimelineViewTimeSpan,
                          QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(at(2024, 1, 6))},
                                      {kDMTimeSpanEnd, QVariant::fromValue(at(2024, 1, 7))}});
    const auto dayTable = background->attributes();
    EXPECT_EQ(dayTable->columns(), 40);
    EXPECT_NEAR(dayTable->columnWidth() * 40, project->displayAttributes().pixelsPerDay, 1e-3);
    EXPECT_TRUE(dayTable->columnBgColor(0).isValid()); // a Saturday
}

TEST_F(DocumentCanvasTest, CollapsingHidesTheBarsAndExpandingResyncsHalfASecondLater)
{
    auto process = addTask<DMProjectProcess>("Phase", at(2024, 1, 2, 8), at(2024, 1, 12, 18));
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
    auto inner = newTask("Inner", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    process->subitems().append(inner);
    auto after = addTask("After", at(2024, 1, 4, 8), at(2024, 1, 5, 18));
    open();
    ASSERT_EQ(outline()->numberOfRows(), 4);
    EXPECT_TRUE(barOf(inner)->isDisplayed());
    EXPECT_EQ(barOf(after)->frame().top(), rowRect(3).top());

    outline()->collapseItem(process.get());
    EXPECT_FALSE(process->attribute(kDMProjectItem_GanttView_NodeIsExpanded).toBool());
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(controller()->isProjectViewSyncScheduled());
    // The bars leave the hidden rows 0.1 s later, the whole canvas follows 0.5 s after the change.
    clock.advance(80);
    EXPECT_TRUE(barOf(inner)->isDisplayed());
    clock.advance(40);
    EXPECT_FALSE(barOf(inner)->isDisplayed());
    EXPECT_EQ(barOf(after)->frame().top(), rowRect(2).top());
    EXPECT_TRUE(controller()->isProjectViewSyncScheduled());
    clock.advance(400);
    EXPECT_FALSE(controller()->isProjectViewSyncScheduled());
    EXPECT_EQ(controller()->projectViewBackgroundObject()->attributes()->rows(), 3);

    outline()->expandItem(process.get());
    EXPECT_TRUE(controller()->isProjectViewSyncScheduled());
    EXPECT_FALSE(barOf(inner)->isDisplayed());
    clock.advance(520);
    EXPECT_TRUE(barOf(inner)->isDisplayed());
    EXPECT_EQ(controller()->projectViewBackgroundObject()->attributes()->rows(), 4);
}

TEST_F(DocumentCanvasTest, ALinkFromATaskInACollapsedProcessLeavesTheProcesssRow)
{
    auto process = addTask<DMProjectProcess>("Logistics", at(2024, 1, 2, 8), at(2024, 1, 5, 18));
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
    auto venue = newTask("Book venue", at(2024, 1, 2, 8), at(2024, 1, 5, 18));
    process->subitems().append(venue);
    auto speakers = addTask("Invite speakers", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto sound = addTask("Sound check", at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    auto link = venue->addOutboundDependencyToItem(sound);
    ASSERT_TRUE(link);
    open();
    ASSERT_EQ(outline()->numberOfRows(), 5);
    const auto line = std::dynamic_pointer_cast<DMUIProjectDependency>(link->ganttUIObject());
    EXPECT_TRUE(rowRect(2).contains(line->startPoint()));

    // Collapsed, the task has no row: the link comes out of the process that holds it, not out
    // of the row the task had (now another task's), and still ends on its successor.
    outline()->collapseItem(process.get());
    clock.advance(520);
    ASSERT_EQ(outline()->numberOfRows(), 4);
    EXPECT_FALSE(barOf(venue)->isDisplayed());
    EXPECT_TRUE(line->isDisplayed());
    EXPECT_TRUE(rowRect(1).contains(line->startPoint())) << line->startPoint().y();
    EXPECT_TRUE(rowRect(3).contains(line->endPoint()));
    EXPECT_EQ(objectsIn(rowRect(2).adjusted(0, 1, 0, -1), kDMProjectViewLayer_Items), DMBaseObjectList{barOf(speakers)});
}

TEST_F(DocumentCanvasTest, AResourceRowLaysItsBarsInLanesThatFollowDatesAndAssignments)
{
    // Alice works on two overlapping tasks and a later one; Bob's row lies below hers.
    auto alice = addResource("Alice");
    auto bob = addResource("Bob");
    auto survey = addTask("Survey", at(2024, 1, 2, 8), at(2024, 1, 4, 18));
    auto drawings = addTask("Drawings", at(2024, 1, 3, 8), at(2024, 1, 5, 18));
    auto report = addTask<DMProjectMilestone>("Report", at(2024, 1, 9, 12), at(2024, 1, 9, 12));
    for (const auto &task : {survey, drawings, std::static_pointer_cast<DMProjectTask>(report)})
        task->addResource(alice);
    project->setAttribute(kDMProject_ViewMode, 1);
    open();
    const auto bar = [&alice](const std::shared_ptr<DMProjectTask> &task) {
        return std::dynamic_pointer_cast<DMUIProjectItem>(task->resourceUIObject(alice.get()));
    };
    ASSERT_EQ(outline()->numberOfRows(), 3); // the events row, Alice, Bob
    EXPECT_EQ(alice->subRowCount(), 2);
    EXPECT_EQ(outline()->outlineModel()->heightOfRow(1), 40);
    EXPECT_EQ(bar(survey)->frame().top(), rowRect(1).top());
    EXPECT_EQ(bar(drawings)->frame().top(), rowRect(1).top() + 20);
    EXPECT_EQ(bar(report)->frame().top(), rowRect(1).top());
    EXPECT_EQ(bar(drawings)->frame().height(), 20);
    EXPECT_EQ(controller()->projectViewBackgroundObject()->attributes()->rowHeight(1), 40.0f);

    // The drawings move after the survey: one lane, and Bob's row moves up.
    ASSERT_EQ(drawings->validateAndSetBeginDateAndEndDate(at(2024, 1, 5, 8), at(2024, 1, 8, 18)), 0);
    clock.advance(150);
    EXPECT_EQ(alice->subRowCount(), 1);
    EXPECT_EQ(bar(drawings)->frame().top(), rowRect(1).top());
    EXPECT_EQ(rowRect(2).top(), rowRect(1).bottom());
    EXPECT_EQ(rowRect(1).height(), 20);

    // A new assignment over the survey opens a second lane again, wherever it was made.
    auto survey2 = addTask("Second survey", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    document->reloadViews();
    survey2->addResource(alice);
    clock.advance(10);
    EXPECT_EQ(alice->subRowCount(), 2);
    EXPECT_EQ(rowRect(1).height(), 40);
    // Of two bars that begin together the shorter takes the first lane.
    EXPECT_EQ(bar(survey2)->frame().top(), rowRect(1).top());
    EXPECT_EQ(bar(survey)->frame().top(), rowRect(1).top() + 20);
    EXPECT_TRUE(bar(survey2)->isDisplayed());
    // Removed, its lane closes.
    survey2->removeResource(alice);
    clock.advance(10);
    EXPECT_EQ(alice->subRowCount(), 1);
    EXPECT_EQ(rowRect(1).height(), 20);
}

TEST(ResourceLanes, EachBarTakesTheFirstLaneFreeAtItsLeftEdge)
{
    int count = -1;
    // Touching bars share a lane; order of x decides, not the order given.
    const QList<QPointF> ranges{{50, 20}, {0, 30}, {10, 10}, {30, 20}, {15, 40}};
    EXPECT_EQ(DMUIProjectItem_lanesForHorizontalRanges(ranges, &count), (QList<int>{0, 0, 1, 0, 2}));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(DMUIProjectItem_lanesForHorizontalRanges({}, &count), QList<int>{});
    EXPECT_EQ(count, 0);
}

TEST_F(DocumentCanvasTest, ACanvasRenderedForAPageTakesAllOfItselfAsVisible)
{
    addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    open();
    QScrollBar *scroll = outlets().projectViewScrollArea->horizontalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    scroll->setValue(scroll->maximum());
    QApplication::processEvents();
    const QRectF bounds = canvas()->convertRectFromViewToCanvas(QRectF(canvas()->rect()));
    QImage page(canvas()->size(), QImage::Format_ARGB32_Premultiplied);

    // QWidget::render paints through the view itself: as the screen, only the part in view.
    canvas()->render(&page);
    EXPECT_LT(canvas()->drawRectVisibleRect().width(), bounds.width());

    // For a page, all of it, wherever the window is scrolled; and the screen again afterwards.
    controller()->setIsPrinting(true);
    canvas()->render(&page);
    EXPECT_EQ(canvas()->drawRectVisibleRect(), bounds);
    controller()->setIsPrinting(false);
    canvas()->render(&page);
    EXPECT_LT(canvas()->drawRectVisibleRect().width(), bounds.width());
}
