// The one drag rule of every bar, kind by kind and operation by operation: each row drags the bar
// of a fresh item by a number of points and names the dates it must end with, worked out by
// hand at 20 points per day over the 8:00 to 18:00 window (a point is 30 working minutes).
#include "GanttTestSupport.h"

#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemGroup.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMUIProjectItem.h"

using namespace gantttest;

namespace {

enum class Kind { Task, Milestone, Process, Event, ItemGroup };

const char *name(Kind kind)
{
    switch (kind) {
    case Kind::Task:
        return "task";
    case Kind::Milestone:
        return "milestone";
    case Kind::Process:
        return "process";
    case Kind::Event:
        return "event";
    case Kind::ItemGroup:
        return "item group";
    }
    return "";
}

struct Row
{
    Kind kind;
    qint32 operation;
    qreal deltaX;
    DMDate begin; // expected
    DMDate end;
};

// Tuesday 8:00 (x 20) to Thursday 18:00 (x 80); a milestone on Wednesday 13:00 (x 50). A process
// holds one task of its own dates.
std::shared_ptr<DMProjectItem> makeKind(GanttCanvas &canvas, Kind kind)
{
    const DMDate begin = at(2024, 1, 2, 8);
    const DMDate end = at(2024, 1, 4, 18);
    std::shared_ptr<DMProjectItem> item;
    switch (kind) {
    case Kind::Task:
        item = makeItem<DMProjectTask>(canvas.project, QStringLiteral("Task"), begin, end);
        break;
    case Kind::Milestone:
        item = makeItem<DMProjectMilestone>(canvas.project, QStringLiteral("Milestone"), at(2024, 1, 3, 13),
                                            at(2024, 1, 3, 13));
        break;
    case Kind::Process:
        item = makeItem<DMProjectProcess>(canvas.project, QStringLiteral("Process"), begin, end);
        break;
    case Kind::Event:
        item = makeItem<DMProjectEvent>(canvas.project, QStringLiteral("Event"), begin, end);
        canvas.project->eventContainer()->events().append(std::static_pointer_cast<DMProjectEvent>(item));
        canvas.place(item, 0);
        return item;
    case Kind::ItemGroup:
        item = makeItem<DMProjectItemGroup>(canvas.project, QStringLiteral("Group"), begin, end);
        break;
    }
    canvas.project->tasks().append(item);
    if (kind == Kind::Process)
        item->subitems().append(makeItem<DMProjectTask>(canvas.project, QStringLiteral("Inside"), begin, end));
    canvas.place(item, 0);
    return item;
}

const DMDate kBegin = at(2024, 1, 2, 8);
const DMDate kEnd = at(2024, 1, 4, 18);
const DMDate kMilestone = at(2024, 1, 3, 13);

const Row kRows[] = {
    // A move keeps the duration (30 working hours); 12 points are 6 hours.
    {Kind::Task, 116, 12, at(2024, 1, 2, 14), at(2024, 1, 5, 14)},
    {Kind::Task, 117, -8, at(2024, 1, 1, 14), kEnd},
    {Kind::Task, 118, 12, kBegin, at(2024, 1, 5, 14)},
    // 7 points after Thursday 18:00: Friday 11:30.
    {Kind::Task, 118, 7, kBegin, at(2024, 1, 5, 11, 30)},
    // A begin past the end is dropped; a step that has not moved changes nothing.
    {Kind::Task, 117, 100, kBegin, kEnd},
    {Kind::Task, 116, 0, kBegin, kEnd},
    // Both dates move together and snap to the nearer end of the window within 3 points: 12
    // points on is Thursday 9:00, so 8:00; 8 points on is Wednesday 17:00, so 18:00.
    {Kind::Milestone, 116, 12, at(2024, 1, 4, 8), at(2024, 1, 4, 8)},
    {Kind::Milestone, 116, 8, at(2024, 1, 3, 18), at(2024, 1, 3, 18)},
    {Kind::Milestone, 117, -8, kMilestone, kMilestone},
    {Kind::Milestone, 118, 12, kMilestone, kMilestone},
    // A process moves by whole working time with its subitems; its tips change one date.
    {Kind::Process, 116, 20, at(2024, 1, 3, 8), at(2024, 1, 5, 18)},
    {Kind::Process, 117, -8, at(2024, 1, 1, 14), kEnd},
    {Kind::Process, 118, 12, kBegin, at(2024, 1, 5, 14)},
    {Kind::Event, 116, 12, at(2024, 1, 2, 14), at(2024, 1, 5, 14)},
    {Kind::Event, 117, -8, at(2024, 1, 1, 14), kEnd},
    {Kind::Event, 118, 12, kBegin, at(2024, 1, 5, 14)},
    {Kind::Event, 118, -100, kBegin, kEnd},
    // A plain bar takes the same rule: 7.3 points back is Monday 14:21, rounded down to 14:20.
    {Kind::ItemGroup, 116, 12, at(2024, 1, 2, 14), at(2024, 1, 5, 14)},
    {Kind::ItemGroup, 117, -7.3, at(2024, 1, 1, 14, 20), kEnd},
    {Kind::ItemGroup, 117, 100, kBegin, kEnd},
    {Kind::ItemGroup, 118, 12, kBegin, at(2024, 1, 5, 14)},
};

} // namespace

TEST(DragRule, EveryKindAndOperationEndsOnTheWorkedOutDates)
{
    qint64 press = 100;
    for (const Row &row : kRows) {
        GanttCanvas canvas;
        BeepCounter beeps;
        const std::shared_ptr<DMProjectItem> item = makeKind(canvas, row.kind);
        auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(item->ganttUIObject());
        ASSERT_TRUE(bar) << name(row.kind);
        const QPointF start(50, 10);
        const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), ++press);
        bar->handleDragOperation(row.operation, start, start + QPointF(row.deltaX, 0), step, &canvas.view);
        EXPECT_EQ(std::make_pair(item->beginDate(), item->endDate()), std::make_pair(row.begin, row.end))
            << name(row.kind) << " " << row.operation << " by " << row.deltaX;
        EXPECT_EQ(beeps.count(), 0) << name(row.kind) << " " << row.operation << " by " << row.deltaX;
    }
}

TEST(DragRule, MovingBackToThePressRestoresThePressDates)
{
    // Off the 300 s grid and near the window's end: a date read back from any x would round or
    // snap; the press dates come back as they were.
    for (Kind kind : {Kind::Task, Kind::Milestone, Kind::Process, Kind::Event, Kind::ItemGroup}) {
        GanttCanvas canvas;
        const std::shared_ptr<DMProjectItem> item = makeKind(canvas, kind);
        const DMDate begin = at(2024, 1, 2, 17, 52);
        const DMDate end = kind == Kind::Milestone ? begin : at(2024, 1, 4, 17, 58);
        if (kind == Kind::Process)
            item->subitems().first()->setBeginDateAndEndDate(begin, end);
        item->setBeginDateAndEndDate(begin, end);
        auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(item->ganttUIObject());
        const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 7);
        for (qint32 operation : {116, 117, 118}) {
            bar->handleDragOperation(operation, QPointF(50, 10), QPointF(75, 10), step, &canvas.view);
            bar->handleDragOperation(operation, QPointF(50, 10), QPointF(50, 10), step, &canvas.view);
            EXPECT_EQ(std::make_pair(item->beginDate(), item->endDate()), std::make_pair(begin, end))
                << name(kind) << " " << operation;
        }
    }
}
