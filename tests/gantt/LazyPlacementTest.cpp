// Bars and links are placed when their geometry is read. Whatever reads them (drawing, hit tests,
// the link index, a whole-canvas rendering) must find them exactly where a placement of every
// object from scratch puts them, after zooms, pushes of a chain, drags, undo, collapsing and
// scrolling.
#include "DocumentCanvasTestSupport.h"

#include "DMProjectViewDateGrid.h"

#include <QImage>
#include <QScrollBar>

using namespace gantttest;

namespace {

constexpr int kChainLength = 40; // rows reach well below the 600-point window
const QColor kBarColor(0, 0, 255);

struct LineGeometry
{
    QPolygonF route;
    QPolygonF arrow;
    bool displayed = false;
    bool operator==(const LineGeometry &) const = default;
};

} // namespace

class LazyPlacementTest : public DocumentCanvasTest
{
protected:
    // A process of three tasks, then a chain of one-day tasks linked finish to start, the
    // process's last task linked to the chain's first.
    void build()
    {
        process = addTask<DMProjectProcess>("Phase", at(2024, 1, 2, 8), at(2024, 1, 5, 18));
        process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
        for (int i = 0; i < 3; ++i) {
            auto inner = newTask(QString(), at(2024, 1, 2 + i, 8), at(2024, 1, 2 + i, 18));
            process->subitems().append(inner);
            inner->setFillColor(kBarColor);
            tasks.push_back(inner);
        }
        for (int i = 0; i < kChainLength; ++i) {
            const DMDate day = at(2024, 1, 8, 8).dateByAddingSeconds(qint64(i / 5) * 7 * 86400 + (i % 5) * 86400);
            auto task = addTask(QString(), day, day.dateByAddingSeconds(10 * 3600));
            task->setFillColor(kBarColor);
            tasks.back()->addOutboundDependencyToItem(task);
            tasks.push_back(task);
        }
        open();
        clock.advance(600);
    }

    std::vector<std::shared_ptr<DMUIProjectDependency>> lines() const
    {
        std::vector<std::shared_ptr<DMUIProjectDependency>> all;
        for (const auto &task : tasks)
            for (const auto &dependency : task->outboundDependencies())
                all.push_back(std::static_pointer_cast<DMUIProjectDependency>(dependency->ganttUIObject()));
        return all;
    }

    // Every bar's frame and bounding box and every line's route, read as they are now.
    void readAll(QList<QRectF> *frames, QList<QRectF> *boxes, QList<LineGeometry> *routes) const
    {
        for (const auto &task : tasks) {
            frames->append(barOf(task)->frame());
            boxes->append(barOf(task)->boundingBox());
        }
        frames->append(barOf(process)->frame());
        for (const auto &line : lines())
            routes->append({line->route(), line->arrow(), line->isDisplayed()});
    }

    // What is read now is what a placement of everything from scratch gives, and each bar
    // starts at its begin date.
    void expectPlacedAsFromScratch(const char *step)
    {
        SCOPED_TRACE(step);
        QList<QRectF> frames, boxes, freshFrames, freshBoxes;
        QList<LineGeometry> routes, freshRoutes;
        readAll(&frames, &boxes, &routes);
        DMProjectViewObject::invalidateAllPlacements();
        readAll(&freshFrames, &freshBoxes, &freshRoutes);
        EXPECT_EQ(frames, freshFrames);
        EXPECT_EQ(boxes, freshBoxes);
        EXPECT_TRUE(routes == freshRoutes);
        const DMProjectViewDateGrid grid(project->displayAttributes());
        for (const auto &task : tasks) {
            const auto bar = barOf(task);
            EXPECT_FLOAT_EQ(float(bar->frame().x()), float(grid.alignedX(task->beginDate())));
            EXPECT_TRUE(bar->boundingBox().contains(bar->frame()));
        }
        // The items layer finds every shown bar in its row.
        for (int row = 0; row < outline()->numberOfRows(); ++row)
            if (const auto task = std::dynamic_pointer_cast<DMProjectItem>(document->projectOutlineObjectAtRow(row))) {
                const DMBaseObjectList found = objectsIn(rowRect(row), kDMProjectViewLayer_Items);
                EXPECT_TRUE(found.contains(barOf(task))) << "row " << row;
            }
    }

    // The links layer finds exactly the shown lines that meet the rectangle.
    void expectLinksFoundIn(const QRectF &rect)
    {
        QSet<const DMBaseObject *> found;
        for (const auto &object : objectsIn(rect, kDMProjectViewLayer_Links))
            found.insert(object.get());
        QSet<const DMBaseObject *> expected;
        for (const auto &line : lines())
            if (line->isDisplayed() && line->boundingBox().intersects(rect))
                expected.insert(line.get());
        EXPECT_EQ(found, expected);
    }

    // Pushes the process's last task `days` later; the chain after it follows.
    void push(int days)
    {
        const auto &first = tasks.at(2);
        ASSERT_EQ(first->validateAndSetBeginDateAndEndDate(first->beginDate().dateByAddingSeconds(days * 86400),
                                                           first->endDate().dateByAddingSeconds(days * 86400)),
                  0);
    }

    bool isBarColoured(const QImage &image, QPointF canvasPoint) const
    {
        const QColor pixel = image.pixelColor(canvasPoint.toPoint());
        return pixel.blue() > pixel.red() + 60 && pixel.blue() > pixel.green() + 60;
    }

    std::shared_ptr<DMProjectProcess> process;
    std::vector<std::shared_ptr<DMProjectTask>> tasks;
};

TEST_F(LazyPlacementTest, GeometryIsWhereAFullPlacementPutsItAfterEveryKindOfChange)
{
    build();
    expectPlacedAsFromScratch("opened");

    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 31.0f);
    canvas()->grab();
    expectPlacedAsFromScratch("zoomed after a paint");

    // Only the bars in view are drawn; the others wait, and then are read.
    push(2);
    canvas()->grab();
    expectPlacedAsFromScratch("pushed");

    const auto last = barOf(tasks.back());
    const QPointF from = barOf(tasks.front())->frame().center();
    drag(from, from + QPointF(62, 0));
    clock.advance(600);
    expectPlacedAsFromScratch("dragged");

    document->undoManager()->undo();
    clock.advance(600);
    expectPlacedAsFromScratch("undone");
    document->undoManager()->redo();
    clock.advance(600);
    expectPlacedAsFromScratch("redone");

    outline()->collapseItem(process.get());
    clock.advance(600);
    EXPECT_FALSE(barOf(tasks.front())->isDisplayed());
    expectPlacedAsFromScratch("collapsed");
    push(-1);
    outline()->expandItem(process.get());
    clock.advance(600);
    EXPECT_TRUE(barOf(tasks.front())->isDisplayed());
    expectPlacedAsFromScratch("expanded after a push while collapsed");

    QScrollArea *scroll = outlets().projectViewScrollArea;
    scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    halcyra::test::finishEventLoopTurn();
    push(1);
    canvas()->grab();
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 20.0f);
    expectPlacedAsFromScratch("scrolled far right and down, pushed and zoomed");
    EXPECT_TRUE(last->isDisplayed());
}

TEST_F(LazyPlacementTest, TheLinksLayerFindsEveryLineWhereItIsNow)
{
    build();
    const QRectF all(0, 0, canvas()->width(), canvas()->height());
    const QRectF bottom(0, rowRect(kChainLength - 10).top(), canvas()->width(), 400);
    expectLinksFoundIn(all);

    // The routes move with their bars; the index, keyed by rows, still finds them.
    push(9);
    expectLinksFoundIn(all);
    expectLinksFoundIn(bottom);
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 12.0f);
    expectLinksFoundIn(bottom);

    // Rows moved: the index follows.
    outline()->collapseItem(process.get());
    clock.advance(600);
    expectLinksFoundIn(all);
    expectLinksFoundIn(QRectF(0, 0, canvas()->width(), 120));

    // A line that moved while out of view is hit where it is now.
    const auto line = lines().back();
    const QPolygonF route = line->route();
    ASSERT_GE(route.size(), 2);
    const QPointF onLine = (route.at(route.size() - 2) + route.last()) / 2;
    EXPECT_TRUE(line->isPointHitting(onLine, canvas()));
    EXPECT_TRUE(objectsIn(QRectF(onLine - QPointF(2, 2), QSizeF(4, 4)), kDMProjectViewLayer_Links).contains(line));
}

TEST_F(LazyPlacementTest, RenderingTheWholeCanvasDrawsEveryBarWhereItIsNow)
{
    build();
    // Bars below the window move while out of view: a rendering of the whole canvas, as a page
    // printed or exported, draws them at their new places and not at the old.
    QList<QPointF> before;
    for (const auto &task : tasks)
        before.append(barOf(task)->frame().center());
    push(7);
    const QImage image = canvas()->grab(QRect(0, 0, canvas()->width(), canvas()->height())).toImage();
    ASSERT_FALSE(image.isNull());
    int drawn = 0;
    for (size_t i = 0; i < tasks.size(); ++i) {
        const QRectF frame = barOf(tasks.at(i))->frame();
        if (!image.rect().contains(frame.center().toPoint()))
            continue; // pushed beyond the shown span
        SCOPED_TRACE(i);
        ++drawn;
        EXPECT_TRUE(isBarColoured(image, frame.center()));
        if (!frame.adjusted(-12, 0, 12, 0).contains(before.at(qsizetype(i)))) {
            EXPECT_FALSE(isBarColoured(image, before.at(qsizetype(i))));
        }
    }
    EXPECT_GT(drawn, kChainLength / 2);
}
