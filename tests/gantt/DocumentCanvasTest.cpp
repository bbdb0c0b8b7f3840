// The document as the Gantt canvas's data source: the rows a rectangle meets, the objects of
// each layer, selection and its mirror in the outline and the inspector.
#include "DocumentCanvasTestSupport.h"

#include "DMProjectViewDateGrid.h"
#include "DMUIProjectProcess.h"
#include "DMValidation.h"

#include <QAction>
#include <QHelpEvent>
#include <QToolTip>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>

using namespace gantttest;

namespace {

std::shared_ptr<DMProjectViewBackgroundObjectAttributes> tableWithRows(std::initializer_list<float> heights)
{
    auto table = DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRows(1, qint32(heights.size()));
    qint32 row = 0;
    for (float height : heights)
        table->setRowHeight(row++, height);
    return table;
}

std::pair<int, int> rowsMeeting(const DMProjectViewBackgroundObjectAttributes *table, int outlineRows, const QRectF &rect)
{
    int first = 0;
    int last = -1;
    DMProjectDocumentObjectViewDataSource::projectViewRowsMeetingRect(table, outlineRows, rect, &first, &last);
    return {first, last};
}

} // namespace

TEST(DocumentCanvasRows, WalkFindsTheRowsMeetingTheSpanWithBothEndsIncluded)
{
    const auto table = tableWithRows({20, 40, 20});
    // y 25-30: row 1 only; y 20 and y 60 are shared edges; the outline's shorter list limits the
    // walk, and so does the table's.
    const std::tuple<int, QRectF, std::pair<int, int>> cases[] = {
        {3, QRectF(0, 25, 10, 5), {1, 1}}, {3, QRectF(0, 20, 10, 0), {0, 1}},   {3, QRectF(0, 60, 10, 0), {1, 2}},
        {3, QRectF(0, -50, 10, 500), {0, 2}}, {2, QRectF(0, 0, 10, 100), {0, 1}}, {9, QRectF(0, 0, 10, 100), {0, 2}}};
    for (const auto &[outlineRows, rect, rows] : cases)
        EXPECT_EQ(rowsMeeting(table.get(), outlineRows, rect), rows) << rect.y();
    // Below the last row, or without a table: nothing.
    for (const auto &[first, last] : {rowsMeeting(table.get(), 3, QRectF(0, 81, 10, 5)), rowsMeeting(nullptr, 3, QRectF(0, 0, 10, 100))})
        EXPECT_GT(first, last);
}

TEST_F(DocumentCanvasTest, LayersHoldTheBackgroundTheBarsOfTheRowsAndTheLinks)
{
    auto first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto second = addTask("Second", at(2024, 1, 4, 8), at(2024, 1, 5, 18));
    auto link = first->addOutboundDependencyToItem(second);
    ASSERT_TRUE(link);
    open();

    // Row 0 is the events row; each task sits on its own outline row.
    ASSERT_EQ(outline()->numberOfRows(), 3);
    EXPECT_EQ(barOf(first)->frame().top(), rowRect(1).top());
    EXPECT_EQ(barOf(second)->frame().top(), rowRect(2).top());
    EXPECT_TRUE(barOf(first)->isDisplayed());

    const QRectF all(0, 0, canvas()->width(), canvas()->height());
    EXPECT_EQ(objectsIn(all, kDMProjectViewLayer_Background),
              DMBaseObjectList{controller()->projectViewBackgroundObject()});
    EXPECT_EQ(objectsIn(rowRect(2).adjusted(0, 1, 0, -1), kDMProjectViewLayer_Items), DMBaseObjectList{barOf(second)});
    const DMBaseObjectList links = objectsIn(all, kDMProjectViewLayer_Links);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links.first(), std::dynamic_pointer_cast<DMBaseObject>(link->ganttUIObject()));
    EXPECT_TRUE(objectsIn(all, kDMProjectViewLayer_Guides).isEmpty() && objectsIn(all, 7).isEmpty());

    // A click below the last row hits only the background.
    const QPointF below(barOf(first)->frame().center().x(), rowRect(2).bottom() + 30);
    quint16 layer = 99;
    EXPECT_EQ(canvas()->hitTestObjectAtPoint(below, &layer), controller()->projectViewBackgroundObject());
    EXPECT_EQ(layer, kDMProjectViewLayer_Background);
    EXPECT_EQ(canvas()->hitTestObjectAtPoint(barOf(second)->frame().center(), &layer), barOf(second));

    // The resource view shows no links even though the project has them.
    project->setAttribute(kDMProject_ViewMode, 1);
    EXPECT_TRUE(objectsIn(all, kDMProjectViewLayer_Links).isEmpty());
}

TEST_F(DocumentCanvasTest, AHoveredBarComesFirstAndAHiddenLinkIsNeitherDrawnNorHit)
{
    auto process = addTask<DMProjectProcess>("Phase", at(2024, 1, 2, 8), at(2024, 1, 12, 18));
    auto inner = newTask("Inner", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto other = newTask("Other", at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    process->subitems().append(inner);
    process->subitems().append(other);
    auto link = inner->addOutboundDependencyToItem(other);
    open();
    // Collapsed (the stored state says so): the two subitems have no rows and their link shows not.
    ASSERT_EQ(outline()->numberOfRows(), 2);
    EXPECT_FALSE(barOf(inner)->isDisplayed());
    const QRectF all(0, 0, canvas()->width(), canvas()->height());
    EXPECT_TRUE(objectsIn(all, kDMProjectViewLayer_Links).isEmpty());

    outline()->expandItem(process.get());
    controller()->syncProjectViewWithOutlineView();
    ASSERT_EQ(outline()->numberOfRows(), 4);
    EXPECT_EQ(objectsIn(all, kDMProjectViewLayer_Links).size(), 1);

    // The hovered one of two bars met by a rectangle is returned first.
    const QRectF both = rowRect(2).united(rowRect(3));
    EXPECT_EQ(objectsIn(both, kDMProjectViewLayer_Items).first(), barOf(inner));
    barOf(other)->setHovered(true);
    EXPECT_EQ(objectsIn(both, kDMProjectViewLayer_Items).first(), barOf(other));
    barOf(other)->setHovered(false);
    EXPECT_EQ(link->fromItem(), inner);
}

TEST_F(DocumentCanvasTest, TheEventsRowHoldsTheEventsAndTheBackgroundIsNeverSelected)
{
    auto event = addEvent("Review", at(2024, 1, 3, 9), at(2024, 1, 4, 12));
    addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    open();
    const DMBaseObjectList inEventsRow = objectsIn(rowRect(0), kDMProjectViewLayer_Items);
    ASSERT_EQ(inEventsRow.size(), 1);
    EXPECT_EQ(inEventsRow.first(), barOf(event));
    EXPECT_TRUE(rowRect(0).contains(barOf(event)->frame()));

    canvas()->selectAll();
    for (const auto &object : canvas()->selectedObjects())
        EXPECT_NE(object, controller()->projectViewBackgroundObject());
    EXPECT_EQ(canvas()->selectedObjects().size(), 2);
    EXPECT_FALSE(controller()->objectViewShouldSelectObjectInLayer(canvas(), controller()->projectViewBackgroundObject(), 0));
    EXPECT_TRUE(controller()->objectViewShouldSelectObjectInLayer(canvas(), barOf(event), 0xFFFF));
}

TEST_F(DocumentCanvasTest, SelectionReachesTheOutlineOnceAfterABurstAndTheInspectorAtOnce)
{
    auto first = addTask("First", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    auto second = addTask("Second", at(2024, 1, 4, 8), at(2024, 1, 5, 18));
    open();
    FakeInspector taskInspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    int outlineChanges = 0;
    QObject::connect(outline(), &DMOutlineView::selectionDidChange, [&outlineChanges] { ++outlineChanges; });

    for (int i = 0; i < 5; ++i)
        canvas()->selectObjectInLayerExtendSelection(i % 2 ? barOf(first) : barOf(second), kDMProjectViewLayer_Items, false);
    EXPECT_TRUE(controller()->isProjectOutlineViewSelectionSyncPending());
    EXPECT_EQ(outlineChanges, 0);
    EXPECT_EQ(taskInspector.edited, barOf(second).get()); // one bar: its own inspector
    clock.advance(40);
    EXPECT_TRUE(controller()->isProjectOutlineViewSelectionSyncPending());
    clock.advance(10);
    EXPECT_FALSE(controller()->isProjectOutlineViewSelectionSyncPending());
    EXPECT_EQ(outlineChanges, 1);
    EXPECT_EQ(outline()->selectedRowIndexes(), QList<int>{2});
    EXPECT_TRUE(controller()->projectViewHasSelectedItems());

    // Two bars: the inspector is emptied.
    canvas()->selectObjectInLayerExtendSelection(barOf(first), kDMProjectViewLayer_Items, true);
    EXPECT_EQ(taskInspector.edited, nullptr);

    // The outline's selection reaches the canvas at once, and its row is coloured.
    outline()->selectRowIndexesByExtendingSelection({1}, false);
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{barOf(first)});
    const auto table = controller()->projectViewBackgroundObject()->attributes();
    EXPECT_TRUE(table->rowBgColor(1).isValid());
    EXPECT_FALSE(table->rowBgColor(2).isValid());
    // A click never selects the events row.
    const int title = outline()->columnWithIdentifier(QStringLiteral("title"));
    const QPoint eventsRow = outline()->frameOfCellAtColumnRow(title, 0).center() - outline()->contentOffset();
    QTest::mouseClick(outline()->viewport(), Qt::LeftButton, Qt::NoModifier, eventsRow);
    EXPECT_FALSE(outline()->selectedRowIndexes().contains(0));
    const QPoint secondRow = outline()->frameOfCellAtColumnRow(title, 2).center() - outline()->contentOffset();
    QTest::mouseClick(outline()->viewport(), Qt::LeftButton, Qt::NoModifier, secondRow);
    EXPECT_EQ(canvas()->selectedObjects(), DMBaseObjectList{barOf(second)});
}

TEST_F(DocumentCanvasTest, AHoveredBarCastsItsShadowAroundItselfInTheWindow)
{
    // The canvas lies well inside the window: a shadow placed by the window's pixels instead of
    // the canvas's fell that far to the right and below, across other rows.
    auto task = addTask("Wiring", at(2024, 1, 2, 8), at(2024, 1, 9, 18));
    open();
    const auto bar = barOf(task);
    bar->setHovered(true);
    QWidget *window = document->mainWindow();
    const QImage image = window->grab().toImage();
    const QPoint offset = canvas()->mapTo(window, QPoint(0, 0));
    ASSERT_GT(offset.x(), 100);
    const auto tinted = [&](QPointF canvasPoint) {
        const QRgb c = image.pixel(offset + canvasPoint.toPoint());
        return qBlue(c) > 150 && qBlue(c) - qRed(c) > 25;
    };
    // The shadow shows just below the bar, in the next row, and nowhere far from it.
    const QRectF f = bar->frame();
    EXPECT_TRUE(tinted(QPointF(f.center().x(), f.bottom() + 1)));
    const QRect visible = outlets().projectViewScrollArea->viewport()->rect();
    int far = 0;
    for (int y = 0; y < visible.height(); ++y)
        for (int x = 0; x < visible.width(); ++x) {
            const QPointF p = canvas()->mapFrom(outlets().projectViewScrollArea->viewport(), QPoint(x, y));
            if (!f.adjusted(-16, -16, 16, 16).contains(p) && tinted(p))
                ++far;
        }
    EXPECT_EQ(far, 0);
}

TEST_F(DocumentCanvasTest, AHorizontalScrollRedrawsAllThatShowsSoTitlesAreNotLeftBehind)
{
    // A title sits in the visible part of its bar, so it moves when the view scrolls. A window
    // system that scrolls by copying the pixels still in sight would keep a stale copy of it
    // beside the new one: a horizontal move of the view redraws all that shows. (The offscreen
    // platform never copies, so the move is announced here without moving.)
    addTask("Painting", at(2024, 1, 2, 8), at(2024, 6, 28, 18));
    open();

    struct PaintRegions : QObject {
        QRegion painted;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
    } regions;
    canvas()->installEventFilter(&regions);
    const QRect visible = canvas()->visibleRegion().boundingRect();
    ASSERT_FALSE(visible.isEmpty());
    // The first frame, then nothing pending.
    canvas()->update();
    ASSERT_TRUE(halcyra::test::waitFor([&] { return regions.painted.contains(visible); }));
    halcyra::test::runUntilIdle();
    regions.painted = QRegion();

    const QPoint at = canvas()->pos();
    QMoveEvent vertical(at, at + QPoint(0, 40));
    QCoreApplication::sendEvent(canvas(), &vertical);
    halcyra::test::runUntilIdle();
    EXPECT_TRUE(regions.painted.isEmpty());
    QMoveEvent horizontal(at, at + QPoint(120, 0));
    QCoreApplication::sendEvent(canvas(), &horizontal);
    halcyra::test::waitFor([&] { return regions.painted.contains(visible); });
    canvas()->removeEventFilter(&regions);

    EXPECT_TRUE(regions.painted.contains(visible)) << regions.painted.boundingRect().width() << " of " << visible.width();
}

// A dark process whose end shows as a sliver at the left of the chart: its title, centred on what
// shows, runs past the bracket onto the light background, where it is drawn dark (as a title
// beside a bar) instead of in the white that reads on the bracket. A dark task bar alike.
TEST_F(DocumentCanvasTest, AnInsideTitleThatRunsPastItsScrolledShapeStaysReadable)
{
    auto process = addTask<DMProjectProcess>("Foundations", at(2024, 1, 2, 8), at(2024, 1, 26, 18));
    process->setFillColor(QColor(60, 60, 60));
    auto task = addTask("Drainage works", at(2024, 1, 2, 8), at(2024, 1, 26, 18));
    task->setFillColor(QColor(40, 40, 90));
    open();
    QScrollArea *scroll = outlets().projectViewScrollArea;
    const QRectF frame = barOf(process)->frame();
    scroll->horizontalScrollBar()->setValue(int(frame.right()) - 10);
    halcyra::test::finishEventLoopTurn();
    QWidget *window = document->mainWindow();
    const QImage image = window->grab().toImage();
    const QPoint offset = canvas()->mapTo(window, QPoint(0, 0));
    const auto darkPixelsPastTheEnd = [&](const QRectF &shape, const DMUIProjectTaskTitleLayout &title) {
        EXPECT_EQ(title.placement, DMUIProjectTaskTitleLayout::Inside);
        EXPECT_GT(title.rect.right(), shape.right() + 10);
        int dark = 0;
        for (int y = int(title.rect.top()); y < int(title.rect.bottom()); ++y)
            for (int x = int(shape.right()) + 2; x < int(title.rect.right()); ++x)
                if (qGray(image.pixel(offset + QPoint(x, y))) < 110)
                    ++dark;
        return dark;
    };
    const auto bracket = std::dynamic_pointer_cast<DMUIProjectProcess>(process->ganttUIObject());
    EXPECT_GT(darkPixelsPastTheEnd(bracket->frame(), bracket->titleLayout(canvas())), 20);
    const auto bar = std::dynamic_pointer_cast<DMUIProjectTask>(task->ganttUIObject());
    EXPECT_GT(darkPixelsPastTheEnd(bar->barRect(), bar->titleLayout(canvas())), 20);
    saveScreen(image, QStringLiteral("title-past-scrolled-bracket.png"));
}

TEST_F(DocumentCanvasTest, TodayScrollsTheChartToTodaysColumn)
{
    // Two months either side of today, scrolled to the far end.
    const DMDate now = DMDate::dateForNow();
    const DMDate today(now.year(), now.month(), now.day(), 0);
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan,
                          QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(today.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, -2, 0, 0, 0, 0))},
                                      {kDMTimeSpanEnd, QVariant::fromValue(today.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 2, 0, 0, 0, 0))}});
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 40.0f);
    open();
    QScrollBar *scroll = outlets().projectViewScrollArea->horizontalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    scroll->setValue(scroll->maximum());

    ASSERT_TRUE(outlets().todayButtonTBItem);
    outlets().todayButtonTBItem->trigger();
    // The day at the left edge of what shows is today.
    const QPoint left = canvas()->mapFrom(outlets().projectViewScrollArea->viewport(), QPoint(1, 10));
    const DMDate shown = DMProjectViewDateGrid(project->displayAttributes()).dateForX(canvas()->convertPointFromViewToCanvas(left).x());
    EXPECT_EQ(shown.julianDay(), today.julianDay());
    EXPECT_LT(scroll->value(), scroll->maximum());
}

// The rows recoloured as the selection moves, and the rows kept when dates widen the canvas,
// show what colouring every row anew shows: a process row goes back to its group colour, a
// deselected row to none. An undo of dates alone keeps the outline's rows and tables; an undo
// of a new item reloads them.
TEST_F(DocumentCanvasTest, RowColoursFollowTheSelectionAndOutliveAWideningAndAnUndoOfDates)
{
    auto process = addTask<DMProjectProcess>("Phase", at(2024, 1, 2, 8), at(2024, 1, 12, 18));
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
    process->subitems().append(newTask("Inner", at(2024, 1, 2, 8), at(2024, 1, 3, 18)));
    auto task = addTask("Task", at(2024, 1, 4, 8), at(2024, 1, 5, 18));
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan, QVariant()); // the project's span is shown
    open();
    const auto colours = [this] {
        QList<QColor> list;
        const auto table = controller()->projectViewBackgroundObject()->attributes();
        for (qint32 row = 0; row < table->rows(); ++row)
            list.append(table->rowBgColor(row));
        return list;
    };
    const auto expectColouredAsAnew = [&](const char *when) {
        const QList<QColor> kept = colours();
        controller()->updateBackgroundObjectRowsColor();
        EXPECT_EQ(kept, colours()) << when;
    };
    ASSERT_EQ(outline()->numberOfRows(), 4);
    outline()->selectRowIndexesByExtendingSelection({1, 3}, false);
    expectColouredAsAnew("process and task selected");
    outline()->selectRowIndexesByExtendingSelection({2}, false);
    expectColouredAsAnew("the inner task selected");

    // Dates past the last day widen the canvas: more columns, the same rows.
    const auto table = controller()->projectViewBackgroundObject()->attributes();
    ASSERT_EQ(task->validateAndSetBeginDateAndEndDate(at(2024, 4, 1, 8), at(2024, 4, 2, 18)), kDMValidation_OK);
    halcyra::test::finishEventLoopTurn();
    clock.advance(200);
    const auto widened = controller()->projectViewBackgroundObject()->attributes();
    EXPECT_GT(widened->columns(), table->columns());
    EXPECT_EQ(widened->rows(), table->rows());
    expectColouredAsAnew("widened");

    // Undoing the move keeps the outline's rows; undoing a new item takes its row away.
    const DMOutlineItem firstRow = outline()->itemAtRow(1);
    document->undoManager()->undo();
    clock.advance(200);
    EXPECT_EQ(task->beginDate(), at(2024, 1, 4, 8));
    EXPECT_EQ(outline()->itemAtRow(1), firstRow);
    EXPECT_EQ(barOf(task)->frame().x(), DMProjectViewDateGrid(project->displayAttributes()).alignedX(task->beginDate()));
    project->tasks().append(newTask("New", at(2024, 1, 8, 8), at(2024, 1, 9, 18)));
    halcyra::test::finishEventLoopTurn();
    document->reloadViews();
    ASSERT_EQ(outline()->numberOfRows(), 5);
    document->undoManager()->undo();
    clock.advance(200);
    EXPECT_EQ(outline()->numberOfRows(), 4);
    EXPECT_EQ(controller()->projectViewBackgroundObject()->attributes()->rows(), 4);
    expectColouredAsAnew("after the undo of a new item");
}

TEST_F(DocumentCanvasTest, TabGoesFromTheOutlineToTheCanvasAndTheHeaderScrollsOnlyWithIt)
{
    addTask("Long", at(2024, 1, 2, 8), at(2024, 2, 20, 18));
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 40.0f);
    open();
    QScrollBar *canvasScroll = outlets().projectViewScrollArea->horizontalScrollBar();
    QScrollBar *headerScroll = outlets().timelineViewScrollArea->horizontalScrollBar();
    ASSERT_GT(canvasScroll->maximum(), 200);
    canvasScroll->setValue(120);
    ASSERT_EQ(headerScroll->value(), 120);

    // From the outline, Tab passes the header by and reaches the canvas, whose keys nudge bars;
    // the keyboard coming and going scrolls nothing.
    document->mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(document->mainWindow()));
    outline()->setFocus(Qt::TabFocusReason);
    QList<QWidget *> reached;
    for (int i = 0; i < 3 && QApplication::focusWidget(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.append(QApplication::focusWidget());
    }
    EXPECT_FALSE(reached.contains(outlets().timelineViewScrollArea));
    EXPECT_TRUE(reached.contains(canvas()));
    EXPECT_EQ(canvasScroll->value(), 120);

    // A scroll the header makes of its own (a sideways wheel over it) is put back.
    QWheelEvent sideways(QPointF(20, 10), outlets().timelineViewScrollArea->mapToGlobal(QPointF(20, 10)), QPoint(),
                         QPoint(-120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(outlets().timelineViewScrollArea->viewport(), &sideways);
    EXPECT_EQ(canvasScroll->value(), 120);
    EXPECT_EQ(headerScroll->value(), 120);
}

TEST_F(DocumentCanvasTest, AMilestoneOnTheFirstDayIsNotCutByTheChartsLeftEdge)
{
    auto welcome = addTask("Welcome", at(2024, 1, 1, 8), at(2024, 1, 2, 18));
    auto doors = addTask<DMProjectMilestone>("Doors open", at(2024, 1, 1, 8), at(2024, 1, 1, 8));
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan, QVariant()); // the project's span is shown
    open();

    // The chart begins the day before, so the whole diamond shows, and the bar keeps its date.
    EXPECT_EQ(project->displayAttributes().timeSpanBeginDate, at(2023, 12, 31));
    EXPECT_GE(barOf(doors)->frame().left(), 0.0);
    const DMProjectViewDateGrid grid(project->displayAttributes());
    EXPECT_EQ(barOf(welcome)->frame().x(), grid.alignedX(welcome->beginDate()));

    // Moved to a later day, the milestone needs no room: the chart begins on the first day again.
    ASSERT_EQ(doors->validateAndSetBeginDateAndEndDate(at(2024, 1, 2, 18), at(2024, 1, 2, 18)), kDMValidation_OK);
    halcyra::test::finishEventLoopTurn();
    clock.advance(200);
    EXPECT_EQ(project->displayAttributes().timeSpanBeginDate, at(2024, 1, 1));
    EXPECT_EQ(barOf(welcome)->frame().x(), 0.5);
}

// The resource view of an office move: a one-day bar has no room for its title, and an event's
// title beside its bar meets the next event's bar in the same lane.
TEST_F(DocumentCanvasTest, ATitleThatDoesNotFitShowsOnHoverAndAnEventsTitleStopsBeforeTheNextBar)
{
    auto eve = addResource("Eve Ford");
    auto sort = addTask("Sort files", at(2024, 1, 2, 8), at(2024, 1, 2, 18));
    auto plan = addTask("Plan", at(2024, 1, 8, 8), at(2024, 1, 19, 18));
    sort->addResource(eve);
    plan->addResource(eve);
    auto kickoff = addEvent("Kick-off meeting with all staff", at(2024, 1, 3, 8), at(2024, 1, 3, 18));
    auto walk = addEvent("Walk-through", at(2024, 1, 4, 8), at(2024, 1, 5, 18));
    project->setAttribute(kDMProject_ViewMode, 1);
    open();
    ASSERT_EQ(kickoff->subRow(), walk->subRow());
    const auto toolTipOver = [this](const QRectF &frame) {
        QToolTip::hideText();
        EXPECT_TRUE(halcyra::test::waitFor([] { return !QToolTip::isVisible(); }));
        const QPoint over = viewPoint(frame.center());
        QTest::mouseMove(canvas(), over);
        QHelpEvent help(QEvent::ToolTip, over, canvas()->mapToGlobal(over));
        QApplication::sendEvent(canvas(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const auto barOn = [&eve](const std::shared_ptr<DMProjectTask> &task) {
        return std::dynamic_pointer_cast<DMUIProjectItem>(task->resourceUIObject(eve.get()));
    };
    EXPECT_EQ(toolTipOver(barOn(sort)->frame()), QStringLiteral("Sort files"));
    EXPECT_EQ(toolTipOver(barOn(plan)->frame()), QString()) << "a title shown whole";
    EXPECT_EQ(toolTipOver(barOf(kickoff)->frame()), kickoff->title());

    // The kick-off's title leaves the walk-through's bar as it is without it.
    QWidget *window = document->mainWindow();
    const QPoint offset = canvas()->mapTo(window, QPoint(0, 0));
    const QRect next = barOf(walk)->frame().toAlignedRect().translated(offset);
    const QImage titled = window->grab().toImage().copy(next);
    kickoff->setTitle(QString());
    EXPECT_TRUE(window->grab().toImage().copy(next) == titled);
}
