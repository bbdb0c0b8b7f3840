// Process brackets: the tips fall on the dates, a drag of the bracket shifts the process with its
// subitems, the tips change one date, and the title follows one rule for drawing and pressing.
// Rendered with its children and a progress overlay (gantt2-process.png).
#include "GanttTestSupport.h"

#include "DMProjectProcess.h"
#include "DMUIProjectProcess.h"

#include <QDir>
#include <QPainter>

using namespace gantttest;

namespace {

// A process over two tasks, Tuesday 8:00 to Thursday 18:00 (dates at x 20.5 and 80.5), its
// bracket in row 0 and the tasks in rows 1 and 2.
struct ProcessCanvas : ::testing::Test
{
    void SetUp() override
    {
        canvas.show();
        process = std::make_shared<DMProjectProcess>();
        process->setProject(canvas.project);
        process->setTitle(QStringLiteral("Build"));
        process->setBeginDateAndEndDate(at(2024, 1, 2, 8), at(2024, 1, 4, 18));
        canvas.project->tasks().append(process);
        canvas.source.items.append(process);
        for (const auto &[title, begin, end] : {std::tuple{"Walls", at(2024, 1, 2, 8), at(2024, 1, 3, 18)},
                                                std::tuple{"Roof", at(2024, 1, 4, 8), at(2024, 1, 4, 18)}}) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(canvas.project);
            task->setTitle(QString::fromLatin1(title));
            task->setBeginDateAndEndDate(begin, end);
            process->subitems().append(task);
            canvas.source.items.append(task);
            auto bar = GanttCanvas::barOf(task);
            bar->setFrame(QRectF(bar->frame().x(), 20.0 * process->subitems().size(), bar->frame().width(), 20));
            children.append(task);
        }
        bracket = std::dynamic_pointer_cast<DMUIProjectProcess>(process->ganttUIObject());
        ASSERT_TRUE(bracket);
        bracket->setFrame(QRectF(bracket->frame().x(), 0, bracket->frame().width(), 20));
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
    EXPECT_EQ(bracket->dragOperationForPoint(QPointF(17, 10), &canvas.view), 117);
    EXPECT_EQ(bracket->dragOperationForPoint(QPointF(84, 10), &canvas.view), 118);
    EXPECT_EQ(bracket->dragOperationForPoint(QPointF(50, 10), &canvas.view), 116);
}

TEST_F(ProcessCanvas, AMoveShiftsTheSubitems)
{
    // The left tip to 40.5: Wednesday 8:15, snapped to the window's 8:00: one day later.
    canvas.drag(QPoint(50, 5), QPoint(70, 5));
    EXPECT_EQ(process->beginDate(), at(2024, 1, 3, 8));
    EXPECT_EQ(children.at(0)->beginDate(), at(2024, 1, 3, 8));
    EXPECT_EQ(children.at(0)->endDate(), at(2024, 1, 4, 18));
    EXPECT_EQ(children.at(1)->beginDate(), at(2024, 1, 5, 8));
    EXPECT_EQ(children.at(1)->endDate(), at(2024, 1, 5, 18));
    EXPECT_EQ(process->endDate(), at(2024, 1, 5, 18));
    EXPECT_EQ(bracket->frame().x(), 35.5);
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_FALSE(canvas.document.changeKinds.isEmpty());
}

TEST_F(ProcessCanvas, TipsChangeOneDateAndInvertedDatesAreDropped)
{
    // The right tip to 92.5: 4.625 days, Friday 14:15.
    canvas.drag(QPoint(83, 10), QPoint(95, 10));
    EXPECT_EQ(process->endDate(), at(2024, 1, 5, 14, 15));
    EXPECT_EQ(process->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(children.at(1)->endDate(), at(2024, 1, 4, 18)); // subitems stay
    const int changes = canvas.document.changeKinds.size();
    canvas.drag(QPoint(17, 10), QPoint(140, 10), 1); // begin past the end
    EXPECT_EQ(process->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(canvas.document.changeKinds.size(), changes);
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
    QImage image(140 * 3, 64 * 3, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(3, 3);
        canvas.view.drawRect(&painter, QRectF(0, 0, 140, 64));
    }
    const QString folder = qEnvironmentVariable("HALCYRA_SCREENS_DIR", QStringLiteral("/work/screens"));
    if (QDir().mkpath(folder))
        image.save(QDir(folder).filePath(QStringLiteral("gantt2-process.png")));
    ASSERT_GT(process->progress(), 0.4f);
    // Left of the progress the overlay changes the fill; right of it the plain fill shows.
    const int y = 4 * 3;
    EXPECT_NE(QColor(image.pixel(25 * 3, y)).rgb(), QColor(90, 90, 100).rgb());
    EXPECT_EQ(QColor(image.pixel(80 * 3, y)).rgb(), QColor(90, 90, 100).rgb());
    // Between the tips, below the bar, is white; the tips themselves are filled.
    EXPECT_EQ(image.pixel(50 * 3, int(18.5 * 3)), qRgb(255, 255, 255));
    EXPECT_NE(image.pixel(int(20.5 * 3), int(18 * 3)), qRgb(255, 255, 255));
}
