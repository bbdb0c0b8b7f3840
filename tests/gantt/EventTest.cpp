// Event bars in the events row: overlapping events take separate lanes, the bar shows its icon
// only when there is room, drags move and resize it with dates rounded to 300 s, and a closing
// project leaves the bars alone. Rendered as an events row (gantt2-events.png).
#include "GanttTestSupport.h"

#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMUIProjectEvent.h"
#include "DMUISimpleTextObject.h"

using namespace gantttest;

namespace {

// Three events: two overlapping ones and a third after them; the events row is 40 high at the
// top of the canvas, split into the container's lanes.
struct EventsRow : ::testing::Test
{
    void SetUp() override
    {
        canvas.show();
        for (const auto &[title, begin, end] :
             {std::tuple{"Inspection", at(2024, 1, 2, 8), at(2024, 1, 4, 18)},
              std::tuple{"Delivery", at(2024, 1, 3, 13), at(2024, 1, 5, 18)},
              std::tuple{"Party", at(2024, 1, 8, 8), at(2024, 1, 8, 18)}}) {
            auto event = makeItem<DMProjectEvent>(canvas.project, QString::fromLatin1(title), begin, end);
            canvas.project->eventContainer()->events().append(event);
            canvas.source.items.append(event);
            events.append(event);
        }
        layout();
    }
    void layout()
    {
        bars.clear();
        for (const auto &event : events) {
            auto bar = std::dynamic_pointer_cast<DMUIProjectEvent>(event->ganttUIObject());
            ASSERT_TRUE(bar);
            bar->layoutInEventsRow(QRectF(0, 0, 400, 40));
            bars.append(bar);
        }
    }

    GanttCanvas canvas;
    BeepCounter beeps;
    QList<std::shared_ptr<DMProjectEvent>> events;
    QList<std::shared_ptr<DMUIProjectEvent>> bars;
};

} // namespace

TEST_F(EventsRow, OverlappingEventsTakeSeparateLanes)
{
    EXPECT_EQ(canvas.project->eventContainer()->subRowCount(), 2);
    const QRectF frames[] = {QRectF(20.5, 0, 60, 20), QRectF(50.5, 20, 50, 20), QRectF(140.5, 0, 20, 20)};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bars.at(i)->frame(), frames[i]) << i;
    // Lanes from a row split evenly; a lane past the count stays in the last one.
    EXPECT_EQ(DMUIProjectEvent_laneRect(QRectF(0, 100, 50, 60), 1, 3), QRectF(0, 120, 50, 20));
    EXPECT_EQ(DMUIProjectEvent_laneRect(QRectF(0, 100, 50, 60), 5, 3), QRectF(0, 140, 50, 20));
    EXPECT_EQ(DMUIProjectEvent_laneRect(QRectF(0, 100, 50, 20), 0, 0), QRectF(0, 100, 50, 20));
}

TEST_F(EventsRow, IconOnlyWhereThereIsRoomAndHandlesThreePointsWide)
{
    // A 16-high bar shows a 12-point icon when wider than 22 points.
    EXPECT_EQ(DMUIProjectEvent_iconRect(QRectF(0, 2, 23, 16)), QRectF(5.5, 4, 12, 12));
    EXPECT_TRUE(DMUIProjectEvent_iconRect(QRectF(0, 2, 22, 16)).isEmpty());
    const auto &bar = bars.at(0);
    // The title beside the bar (x 90) is not a handle.
    for (const auto &[x, operation] : {std::pair{22.0, 117}, {24.0, 116}, {78.5, 118}, {90.0, 0}})
        EXPECT_EQ(bar->dragOperationForPoint(QPointF(x, 10), &canvas.view), operation) << x;
    // Narrower than 6 points: no resize handles.
    bar->setFrame(QRectF(20.5, 0, 5, 20));
    EXPECT_EQ(bar->dragHandles().count(), 1);
}

TEST_F(EventsRow, DragsMoveAndResizeAndLabelTheDates)
{
    // Move: 12 points are 6 working hours, Tuesday 14:00 (as for tasks).
    canvas.drag(QPoint(50, 10), QPoint(62, 10));
    EXPECT_EQ(events.at(0)->beginDate(), at(2024, 1, 2, 14));
    // End: 12 points after Friday 14:00, Saturday 10:00 (events are not held to working days).
    canvas.drag(QPoint(92, 10), QPoint(104, 10));
    EXPECT_EQ(events.at(0)->endDate(), at(2024, 1, 6, 10));
    EXPECT_EQ(beeps.count(), 0);
    // The date labels sit against the bar's ends, centred on it, each sized from its text.
    const DMBaseObjectList labels = bars.at(0)->guideAnchorsObjects();
    ASSERT_EQ(labels.size(), 2);
    const QRectF f = bars.at(0)->frame();
    EXPECT_EQ(labels.at(0)->frame().right(), f.x());
    EXPECT_EQ(labels.at(1)->frame().left(), f.right());
    for (const auto &object : labels) {
        const auto label = std::static_pointer_cast<DMUISimpleTextObject>(object);
        EXPECT_EQ(label->frame().size(), label->textAttributes().sizeOfString(label->text()) + QSizeF(8, 4));
        EXPECT_EQ(label->frame().center().y(), 20); // the middle of the 40-high row
    }
}

TEST_F(EventsRow, AClosingProjectLeavesTheBarsAlone)
{
    const QRectF before = bars.at(2)->frame();
    canvas.project->setIsValid(false);
    events.at(2)->setBeginDateAndEndDate(at(2024, 1, 9, 8), at(2024, 1, 9, 18));
    EXPECT_EQ(bars.at(2)->frame(), before);
    canvas.project->setIsValid(true);
}

TEST_F(EventsRow, RenderedAsARowWithOverlappingEvents)
{
    canvas.view.resize(220, 40);
    events.at(0)->setProgress(0.5f);
    for (const auto &event : events)
        event->setFillColor(QColor(250, 200, 120));
    bars.at(1)->setSelected(true);
    const QImage image = renderView(canvas.view, QRectF(0, 0, 220, 40), 3, QStringLiteral("gantt2-events.png"));
    // The icon's red header in the middle of the long bar; none on the short one.
    const QRectF icon = DMUIProjectEvent_iconRect(bars.at(0)->barRect());
    bool red = false;
    for (int y = int(icon.top() * 3); y < int(icon.center().y() * 3); ++y) {
        const QRgb c = image.pixel(int(icon.center().x() * 3), y);
        red |= qRed(c) > 180 && qGreen(c) < 100;
    }
    EXPECT_TRUE(red);
    EXPECT_TRUE(DMUIProjectEvent_iconRect(bars.at(2)->barRect()).isEmpty());
    // Only the selected bar has a black outline: its top edge.
    EXPECT_LT(qGray(image.pixel(int(75 * 3), int(22 * 3))), 60);
    EXPECT_GT(qGray(image.pixel(int(140 * 3), int(2 * 3))), 100);
}

TEST_F(EventsRow, RenamingRedrawsWhereTheOldAndNewTitlesAre)
{
    const auto &bar = bars.at(2);
    QList<QRectF> redraws;
    canvas.view.setRedrawObserver([&](const QRectF &rect) { redraws.append(rect); });
    const auto covered = [&](const QRectF &title) {
        QRegion region;
        for (const QRectF &rect : redraws)
            region += rect.toAlignedRect();
        return region.contains(canvas.view.convertRectFromCanvasToView(title).toAlignedRect());
    };
    // Longer, then back to the short title (as an undo does): each time both titles are redrawn.
    for (const char *title : {"Party at the riverside hall for everybody", "Party"}) {
        const QRectF before = bar->titleRect();
        redraws.clear();
        events.at(2)->setTitle(QString::fromLatin1(title));
        const QRectF after = bar->titleRect();
        ASSERT_FALSE(after.isEmpty());
        EXPECT_TRUE(covered(before)) << title;
        EXPECT_TRUE(covered(after)) << title;
        EXPECT_TRUE(bar->boundingBox().contains(after)) << title;
    }
}
