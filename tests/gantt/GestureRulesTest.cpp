// The worked rules of the canvas gestures: the date under a canvas x, the create-by-drag
// rounding interval, the zoom limits and the keyboard nudge steps.
#include "GanttTestSupport.h"

#include "DMProjectDocument.h"
#include "DMProject_DisplayAttributes.h"

using namespace gantttest;

TEST(GestureRules, DateForPointCountsEachDayAsItsWorkingWindow)
{
    const auto attributes = displayAt(20.0f);
    // 1.5 days in: one day plus 480 + 600 x 0.5 = 780 minutes.
    EXPECT_EQ(DMProjectView_dateForCanvasX(attributes, 30.0), at(2024, 1, 2, 13));
    EXPECT_EQ(DMProjectView_dateForCanvasX(attributes, 20.0), at(2024, 1, 2, 8));
    // x = 0 is the window's begin, as any x just inside the first day is.
    EXPECT_EQ(DMProjectView_dateForCanvasX(attributes, 0.0), at(2024, 1, 1, 8));
    EXPECT_EQ(DMProjectView_dateForCanvasX(attributes, 0.0001), at(2024, 1, 1, 8));
    // Left of the origin: the previous day's window, counted back from its end.
    EXPECT_EQ(DMProjectView_dateForCanvasX(attributes, -10.0), at(2023, 12, 31, 13));
    // The y coordinate plays no part; a missing origin gives no date.
    DMProject_DisplayAttributes noOrigin = attributes;
    noOrigin.timeSpanBeginDate = DMDate();
    EXPECT_TRUE(DMProjectView_dateForCanvasX(noOrigin, 30.0).isNull());
    EXPECT_TRUE(DMProjectView_dateForCanvasX(attributes, std::nan("")).isNull());
}

TEST(GestureRules, DateForPointNeverDividesByAZeroScale)
{
    // A zero, negative or not-a-number scale counts as 0.1 pixel per day.
    for (float scale : {0.0f, -5.0f, std::nanf("")}) {
        const auto attributes = displayAt(scale);
        EXPECT_EQ(DMProjectView_dateForCanvasX(attributes, 1.0), at(2024, 1, 11, 8)) << scale;
    }
}

TEST(GestureRules, CreateByDragRoundsTheAnchorByScale)
{
    // A 600-minute working day: a whole one at 20 pixels per day or fewer, half of it to 40 (20
    // and 30 are dragged on the document's canvas).
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(5.0f, 480, 1080), 36000);
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(40.0f, 480, 1080), 18000);
    // Finer scales go by seconds per pixel: 600 x 60 / 100 = 360 s, then 180 s.
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(100.0f, 480, 1080), 1800);
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(200.0f, 480, 1080), 300);
    // No zero or negative interval, whatever the settings.
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(0.0f, 480, 1080), 36000);
    EXPECT_EQ(DMProjectDocument::createByDragRoundingInterval(50.0f, 600, 600), 3600);
    EXPECT_GE(DMProjectDocument::createByDragRoundingInterval(1e9f, 480, 481), 300);
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
