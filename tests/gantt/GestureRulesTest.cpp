// The worked rules of the canvas gestures: the create-by-drag rounding interval, the zoom
// limits and the keyboard nudge steps.
#include "GanttTestSupport.h"

#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMProjectViewDateGrid.h"

using namespace gantttest;

TEST(GestureRules, CreateByDragRoundsTheAnchorByScale)
{
    // A 600-minute working day: a whole one at 20 pixels per day or fewer, half of it to 40 (20
    // and 30 are dragged on the document's canvas).
    EXPECT_EQ(DMProjectDocumentObjectViewDataSource::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 5.0f, 480, 1080)), 36000);
    EXPECT_EQ(DMProjectDocumentObjectViewDataSource::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 40.0f, 480, 1080)), 18000);
    // Finer scales go by seconds per pixel: 600 x 60 / 100 = 360 s, then 180 s.
    EXPECT_EQ(DMProjectDocumentObjectViewDataSource::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 100.0f, 480, 1080)), 1800);
    EXPECT_EQ(DMProjectDocumentObjectViewDataSource::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 200.0f, 480, 1080)), 300);
    // No zero or negative interval, whatever the settings.
    EXPECT_EQ(DMProjectDocumentObjectViewDataSource::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 0.0f, 480, 1080)), 36000);
    EXPECT_EQ(DMProjectDocumentObjectViewDataSource::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 50.0f, 600, 600)), 3600);
    EXPECT_GE(DMProjectDocumentObjectViewDataSource::createByDragRoundingInterval(DMProjectViewDateGrid(at(2024, 1, 1), 1e9f, 480, 481)), 300);
}

TEST(GestureRules, ZoomStaysBetweenOneAndAHundredPixelsPerDay)
{
    EXPECT_FLOAT_EQ(DMProjectDocumentObjectViewDataSource::magnifiedPixelsPerDay(1.0f, -0.5), 1.0f);
    EXPECT_FLOAT_EQ(DMProjectDocumentObjectViewDataSource::magnifiedPixelsPerDay(10.0f, 1.0), 100.0f);
    EXPECT_NEAR(DMProjectDocumentObjectViewDataSource::magnifiedPixelsPerDay(10.0f, 0.5), 31.6228f, 1e-3);
    EXPECT_FLOAT_EQ(DMProjectDocumentObjectViewDataSource::magnifiedPixelsPerDay(500.0f, 0.0), 100.0f);
    EXPECT_FLOAT_EQ(DMProjectDocumentObjectViewDataSource::magnifiedPixelsPerDay(0.0f, 0.2), float(std::pow(10.0, 0.2)));
    EXPECT_FLOAT_EQ(DMProjectDocumentObjectViewDataSource::magnifiedPixelsPerDay(20.0f, std::nan("")), 20.0f);
}

TEST(GestureRules, NudgeStepsGrowByATenthBetweenTwoAndTenPoints)
{
    EXPECT_DOUBLE_EQ(DMProjectDocumentObjectViewDataSource::nextNudgeStep(0.0, true), 2.0);
    EXPECT_DOUBLE_EQ(DMProjectDocumentObjectViewDataSource::nextNudgeStep(-2.0, false), -2.2);
    EXPECT_DOUBLE_EQ(DMProjectDocumentObjectViewDataSource::nextNudgeStep(9.5, true), 10.0);
    EXPECT_DOUBLE_EQ(DMProjectDocumentObjectViewDataSource::nextNudgeStep(10.0, false), -10.0);
    EXPECT_DOUBLE_EQ(DMProjectDocumentObjectViewDataSource::nextNudgeStep(std::nan(""), true), 2.0);
}
