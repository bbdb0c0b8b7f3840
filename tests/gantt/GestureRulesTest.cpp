// The worked rules of the canvas gestures: the create-by-drag rounding interval, the zoom
// limits and the keyboard nudge steps.
#include "GanttTestSupport.h"

#include "DMProjectDocument.h"
#include "DMProjectViewDateGrid.h"

using namespace gantttest;

TEST(GestureRules, CreateByDragRoundsTheAnchorByScale)
{
    // A 600-minute working day: a whole one at 20 pixels per day or fewer, half of it to 40 (20
    // and 30 are dragged on the document's canvas).
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 5.0f, 480, 1080)), 36000);
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 40.0f, 480, 1080)), 18000);
    // Finer scales go by seconds per pixel: 600 x 60 / 100 = 360 s, then 180 s.
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 100.0f, 480, 1080)), 1800);
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 200.0f, 480, 1080)), 300);
    // No zero or negative interval, whatever the settings.
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 0.0f, 480, 1080)), 36000);
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 50.0f, 600, 600)), 3600);
    EXPECT_GE(DMProjectDocument::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 1e9f, 480, 481)), 300);
}

TEST(GestureRules, ZoomStaysBetweenOneAndAHundredPixelsPerDay)
{
    EXPECT_FLOAT_EQ(DMProjectDocument::magnifiedPixelsPerDay(1.0f, -0.5), 1.0f);
    EXPECT_FLOAT_EQ(DMProjectDocument::magnifiedPixelsPerDay(10.0f, 1.0), 100.0f);
    EXPECT_NEAR(DMProjectDocument::magnifiedPixelsPerDay(10.0f, 0.5), 31.6228f, 1e-3);
    EXPECT_FLOAT_EQ(DMProjectDocument::magnifiedPixelsPerDay(500.0f, 0.0), 100.0f);
    EXPECT_FLOAT_EQ(DMProjectDocument::magnifiedPixelsPerDay(0.0f, 0.2), float(std::pow(10.0, 0.2)));
    EXPECT_FLOAT_EQ(DMProjectDocument::magnifiedPixelsPerDay(20.0f, std::nan("")), 20.0f);
}

TEST(GestureRules, NudgeStepsGrowByATenthBetweenTwoAndTenPoints)
{
    EXPECT_DOUBLE_EQ(DMProjectDocument::nextNudgeStep(0.0, true), 2.0);
    EXPECT_DOUBLE_EQ(DMProjectDocument::nextNudgeStep(-2.0, false), -2.2);
    EXPECT_DOUBLE_EQ(DMProjectDocument::nextNudgeStep(9.5, true), 10.0);
    EXPECT_DOUBLE_EQ(DMProjectDocument::nextNudgeStep(10.0, false), -10.0);
    EXPECT_DOUBLE_EQ(DMProjectDocument::nextNudgeStep(std::nan(""), true), 2.0);
}
