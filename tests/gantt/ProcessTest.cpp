// Process brackets: the tips fall on the dates, a drag of the bracket shifts the process with its
// subitems, the tips change one date, and the title follows one rule for drawing and pressing.
// Rendered with its children and a progress overlay (gantt2-process.png).
#include "GanttTestSupport.h"

#include "DMProjectProcess.h"
#include "DMUIProjectProcess.h"

using namespace gantttest;

namespace {

// A process over two tasks, Tuesday 8:00 to Thursday 18:00 (dates at x 20.5 and 80.5), its
// bracket in row 0 and the tasks in rows 1 and 2.
struct ProcessCanvas : ::testing::Test
{
    void SetUp() override
    {
        canvas.show();
        process = makeItem<DMProjectProcess>(canvas.project, QStringLiteral("Build"), at(2024, 1, 2, 8),
                                             at(2024, 1, 4, 18));
        canvas.project->tasks().append(process);
        canvas.place(process, 0);
        for (const auto &[title, begin, end] : {std::tuple{"Walls", at(2024, 1, 2, 8), at(2024, 1, 3, 18)},
                                                std::tuple{"Roof", at(2024, 1, 4, 8), at(2024, 1, 4, 18)}}) {
            children.append(makeItem<DMProjectTask>(canvas.project, QString::fromLatin1(title), begin, end));
            process->subitems().append(children.last());
            canvas.place(children.last(), children.size());
        }
        bracket = std::dynamic_pointer_cast<DMUIProjectProcess>(process->ganttUIObject());
        ASSERT_TRUE(bracket);
    }

    GanttCanvas canvas;
    BeepCounter beeps;
    std::shared_ptr<DMProjectProcess> process;
    QList<std::shared_ptr<DMProjectTask>> children;
    std::shared_ptr<DMUIProjectProcess> bracket;
};

} // namespace

TEST_F(ProcessCanvas, TipsFallOnTheDates)
{
    EXPECT_EQ(bracket->frame(), QRectF(15.5, 0, 70, 20));
    const QPainterPath path = bracket->bracket();
    // The tips' points at the bottom, on the dates; the bar's underside 5 points higher.
    EXPECT_TRUE(path.contains(QPointF(20.5, 19.5)));
    EXPECT_TRUE(path.contains(QPointF(80.5, 19.5)));
    EXPECT_FALSE(path.contains(QPointF(50, 17)));
    EXPECT_TRUE(path.contains(QPointF(50, 14)));
    EXPECT_FALSE(bracket->acceptsDependencies());
    // Handles: tips 5 wide, then the move.
    for (const auto &[x, operation] : {std::pair{17, 117}, {84, 118}, {50, 116}})
        EXPECT_EQ(bracket->dragOperationForPoint(QPointF(x, 10), &canvas.view), operation) << x;
}

TEST_F(ProcessCanvas, AMoveShiftsTheSubitems)
{
    // 20 points are one day: Wednesday 8:00.
    const int edits = canvas.recordedEdits();
    canvas.drag(QPoint(50, 5), QPoint(70, 5));
    const auto span = [](const std::shared_ptr<DMProjectItem> &item) {
        return std::make_pair(item->beginDate(), item->endDate());
    };
    EXPECT_EQ(span(process), std::make_pair(at(2024, 1, 3, 8), at(2024, 1, 5, 18)));
    EXPECT_EQ(span(children.at(0)), std::make_pair(at(2024, 1, 3, 8), at(2024, 1, 4, 18)));
    EXPECT_EQ(span(children.at(1)), std::make_pair(at(2024, 1, 5, 8), at(2024, 1, 5, 18)));
    EXPECT_EQ(bracket->frame().x(), 35.5);
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_GT(canvas.recordedEdits(), edits);
}

TEST_F(ProcessCanvas, TipsChangeOneDateAndInvertedDatesAreDropped)
{
    // The right tip 12 points on: 6 working hours after Thursday 18:00, Friday 14:00.
    canvas.drag(QPoint(83, 10), QPoint(95, 10));
    EXPECT_EQ(process->endDate(), at(2024, 1, 5, 14));
    EXPECT_EQ(process->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(children.at(1)->endDate(), at(2024, 1, 4, 18)); // subitems stay
    const int edits = canvas.recordedEdits();
    canvas.drag(QPoint(17, 10), QPoint(140, 10), 1); // begin past the end
    EXPECT_EQ(process->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(canvas.recordedEdits(), edits);
    EXPECT_EQ(beeps.count(), 0);
}

TEST_F(ProcessCanvas, TheTitleIsPressedWhereItIsDrawn)
{
    // "Build" fits the 52-point room: inside, no title handles.
    EXPECT_EQ(bracket->titleLayout(&canvas.view).placement, DMUIProjectTaskTitleLayout::Inside);
    EXPECT_EQ(bracket->dragHandles().count(), 3);
    // A long title goes beside, right of the bracket, and only that place is pressed.
    process->setTitle(QStringLiteral("Build the whole house from the ground up"));
    const DMUIProjectTaskTitleLayout title = bracket->titleLayout(&canvas.view);
    ASSERT_EQ(title.placement, DMUIProjectTaskTitleLayout::Right);
    EXPECT_EQ(title.rect.x(), 89.5);
    EXPECT_EQ(bracket->dragHandles().count(), 5);
    EXPECT_EQ(bracket->dragOperationForPoint(title.rect.center(), &canvas.view), 116);
    EXPECT_EQ(bracket->dragOperationForPoint(QPointF(10, title.rect.center().y()), &canvas.view), 0);
}

TEST_F(ProcessCanvas, RenderedWithProgressAndChildren)
{
    canvas.view.resize(140, 64);
    process->setFillColor(QColor(90, 90, 100));
    children.at(0)->setProgress(1.0f); // the process shows the mean, 0.5
    for (const auto &child : children)
        child->setFillColor(QColor(120, 170, 230));
    const QImage image = renderView(canvas.view, QRectF(0, 0, 140, 64), 3, QStringLiteral("gantt2-process.png"));
    ASSERT_GT(process->progress(), 0.4f);
    // Left of the progress the overlay changes the fill; right of it the plain fill shows.
    const int y = 4 * 3;
    EXPECT_NE(QColor(image.pixel(25 * 3, y)).rgb(), QColor(90, 90, 100).rgb());
    EXPECT_EQ(QColor(image.pixel(80 * 3, y)).rgb(), QColor(90, 90, 100).rgb());
    // Between the tips, below the bar, is white; the tips themselves are filled.
    EXPECT_EQ(image.pixel(50 * 3, int(18.5 * 3)), qRgb(255, 255, 255));
    EXPECT_NE(image.pixel(int(20.5 * 3), int(18 * 3)), qRgb(255, 255, 255));
}
