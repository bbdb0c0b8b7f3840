// Milestone diamonds: 14 points wide centred on the date, link handles on the corners, the title
// always beside the diamond, and a drag that moves both dates together to a date rounded to 300 s
// and snapped to either end of the day window. Rendered plain, hovered and critical
// (gantt2-milestone-*.png).
#include "GanttTestSupport.h"

#include "DMCriticalPath.h"
#include "DMProjectMilestone.h"
#include "DMUIProjectMilestone.h"
#include "DMUISimpleTextObject.h"

using namespace gantttest;

namespace {

// A milestone on Wednesday 3 January 13:00: 2.5 days at 20 pixels per day puts its centre at 50,
// so its frame is x 43.5, 14 wide, in row 0.
struct MilestoneCanvas : ::testing::Test
{
    void SetUp() override
    {
        canvas.show();
        milestone = makeItem<DMProjectMilestone>(canvas.project, QStringLiteral("Handover"), at(2024, 1, 3, 13),
                                                 at(2024, 1, 3, 13));
        canvas.project->tasks().append(milestone);
        canvas.place(milestone, 0);
        diamond = std::dynamic_pointer_cast<DMUIProjectMilestone>(milestone->ganttUIObject());
        ASSERT_TRUE(diamond);
    }
    QImage render(const QString &name)
    {
        return renderView(canvas.view, QRectF(0, 0, canvas.view.width(), 40), 3,
                          QStringLiteral("gantt2-milestone-%1.png").arg(name));
    }

    GanttCanvas canvas;
    BeepCounter beeps;
    std::shared_ptr<DMProjectMilestone> milestone;
    std::shared_ptr<DMUIProjectMilestone> diamond;
};

} // namespace

TEST_F(MilestoneCanvas, DiamondIsCentredOnItsDate)
{
    EXPECT_EQ(diamond->frame(), QRectF(43.5, 0, 14, 20));
    EXPECT_EQ(diamond->diamond(), QPolygonF({QPointF(50.5, 2), QPointF(57.5, 10), QPointF(50.5, 18), QPointF(43.5, 10),
                                             QPointF(50.5, 2)}));
    // Links meet the left and right corners.
    EXPECT_EQ(diamond->dependencyEndRect().center(), QPointF(43.5, 10));
    EXPECT_EQ(diamond->dependencyStartRect().center(), QPointF(57.5, 10));
    EXPECT_TRUE(diamond->acceptsDependencies());
    // Half-way dates round away from zero after the 7-point offset: 0.125 days = 2.5 points
    // gives roundf(2.5 - 7) = -5, not roundf(2.5) - 7 = -4.
    ASSERT_EQ(milestone->validateAndSetBeginDateAndEndDate(at(2024, 1, 1, 9, 15), at(2024, 1, 1, 9, 15)), 0);
    EXPECT_EQ(diamond->frame().x(), -4.5);
}

TEST_F(MilestoneCanvas, HandlesMoveInsideLinksOnTheCornersTitleWhereDrawn)
{
    // Inside the diamond's box the move wins, even where the link circles overlap it.
    // The title is drawn right of the diamond, and only there (x 70, not 20) it can be pressed.
    EXPECT_EQ(diamond->titleLayout(&canvas.view).placement, DMUIProjectTaskTitleLayout::Right);
    for (const auto &[x, operation] : {std::pair{44.5, 116}, {40.0, 119}, {61.0, 120}, {70.0, 116}, {20.0, 0}})
        EXPECT_EQ(diamond->dragOperationForPoint(QPointF(x, 10), &canvas.view), operation) << x;
    // Task names hidden: no title handles at all.
    canvas.project->displayAttributes().displayTaskNames = false;
    diamond->updateUIFeatures();
    EXPECT_EQ(diamond->dragOperationForPoint(QPointF(70, 10), &canvas.view), 0);
    EXPECT_EQ(diamond->dragHandles().count(), 3);
}

TEST_F(MilestoneCanvas, DragMovesBothDatesTogetherAndSnapsToTheDayWindow)
{
    // Its date, Wednesday 13:00, 12 points on: Thursday 9:00, within 3 points (90 minutes) of the
    // window's begin, so it snaps to Thursday 8:00.
    const int edits = canvas.recordedEdits();
    canvas.drag(QPoint(50, 10), QPoint(62, 10));
    EXPECT_EQ(milestone->beginDate(), at(2024, 1, 4, 8));
    EXPECT_EQ(milestone->endDate(), milestone->beginDate());
    EXPECT_EQ(diamond->frame().x(), 53.5); // roundf(60 - 7) + 0.5
    // Pressed anywhere in the diamond, 7 points on: Thursday 11:30.
    canvas.drag(QPoint(60, 10), QPoint(67, 10));
    EXPECT_EQ(std::make_pair(milestone->beginDate(), milestone->endDate()),
              std::make_pair(at(2024, 1, 4, 11, 30), at(2024, 1, 4, 11, 30)));
    // Near the window's end it snaps to the same day's 18:00, not the next morning: 11 points
    // on is 17:00, an hour before the end.
    ASSERT_EQ(diamond->frame().x(), 60.5);
    canvas.drag(QPoint(68, 10), QPoint(79, 10));
    EXPECT_EQ(milestone->beginDate(), at(2024, 1, 4, 18));
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_GT(canvas.recordedEdits(), edits);
    // The date label sits centred under the diamond.
    const DMBaseObjectList labels = diamond->guideAnchorsObjects();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.at(0)->frame().center().x(), diamond->frame().center().x());
    EXPECT_EQ(labels.at(0)->frame().top(), 20);
    EXPECT_TRUE(std::static_pointer_cast<DMUISimpleTextObject>(labels.at(0))->text().contains(QLatin1Char('\n')));
}

TEST_F(MilestoneCanvas, ARefusedMoveBeepsAndLeavesTheDocumentUnmarked)
{
    milestone->setLocked(true);
    const int edits = canvas.recordedEdits();
    canvas.drag(QPoint(50, 10), QPoint(90, 10), 1);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(milestone->beginDate(), at(2024, 1, 3, 13));
    EXPECT_EQ(canvas.recordedEdits(), edits);
    // A press on a non-working day with working dates enforced is dropped without a sound.
    milestone->setLocked(false);
    milestone->setAttribute(kDMProjectItem_EnforceWorkingDatesOnDrag, true);
    canvas.drag(QPoint(50, 10), QPoint(60 + 45, 10), 1); // Saturday
    EXPECT_EQ(milestone->beginDate(), at(2024, 1, 3, 13));
    EXPECT_EQ(beeps.count(), 1);
}

TEST_F(MilestoneCanvas, RenderedPlainHoveredAndCritical)
{
    canvas.view.resize(160, 40);
    milestone->setFillColor(QColor(240, 190, 40));
    // A longer task keeps the milestone off the critical path at first.
    auto longer = canvas.addTask(QStringLiteral("Long"), at(2024, 1, 2, 8), at(2024, 1, 20, 18), 5);
    DMCriticalPath::update(*canvas.project);
    ASSERT_FALSE(milestone->partOfCriticalPath());
    const QImage plain = render(QStringLiteral("plain"));
    const int cx = int(50.5 * 3);
    const int cy = 10 * 3;
    EXPECT_EQ(QColor(plain.pixel(cx, cy)).rgb(), QColor(240, 190, 40).rgb());
    // Outside the diamond, inside its box corner: white.
    EXPECT_EQ(plain.pixel(int(44 * 3), int(2.5 * 3)), qRgb(255, 255, 255));
    // Title to the right: dark pixels past the right corner.
    int dark = 0;
    for (int x = int(62 * 3); x < int(100 * 3); ++x)
        dark += qGray(plain.pixel(x, cy)) < 80;
    EXPECT_GT(dark, 0);

    diamond->setHovered(true);
    const QImage hovered = render(QStringLiteral("hovered"));
    const QRgb shadow = hovered.pixel(47 * 3, 4 * 3); // just outside the upper left edge
    EXPECT_GT(qBlue(shadow), qRed(shadow) + 40);
    // The link handle's blue centre on the left corner.
    const QRgb handle = hovered.pixel(int(43.5 * 3), cy);
    EXPECT_GT(qBlue(handle), 150);
    diamond->setHovered(false);

    canvas.source.items.removeAll(longer);
    canvas.project->tasks().removeOne(longer);
    DMCriticalPath::update(*canvas.project);
    ASSERT_TRUE(milestone->partOfCriticalPath());
    const QImage critical = render(QStringLiteral("critical"));
    const QRgb edge = critical.pixel(int(47 * 3), int(6 * 3)); // on the upper left edge
    EXPECT_GT(qRed(edge), 200);
    EXPECT_LT(qGreen(edge), 100);
}
