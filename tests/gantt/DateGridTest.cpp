// The date grid: the one mapping between dates and canvas x, its round trips at every zoom and
// day window, and what bars and columns take from it.
#include "GanttTestSupport.h"

#include "DMProjectViewDateGrid.h"

#include <cmath>

using namespace gantttest;

namespace {

struct Window
{
    int beginMinute;
    int endMinute;
};

const float kScales[] = {1.0f, 7.3f, 20.0f, 100.0f};
const Window kWindows[] = {{0, 1440}, {480, 960}};

// The rounding a drag applies, with the grid's snap threshold.
DMDate roundedForDrag(const DMProject &project, const DMProjectViewDateGrid &grid, const DMDate &date, int snap)
{
    return project.dateByRoundingDateToIntervalSnapOption(date, 300, snap, grid.snapThresholdSeconds());
}

} // namespace

TEST(DateGrid, EachDayColumnStandsForItsWorkingWindow)
{
    const DMProjectViewDateGrid grid(displayAt(20.0f));
    // 1.5 days in: one day plus 480 + 600 x 0.5 = 780 minutes.
    EXPECT_EQ(grid.dateForX(30.0), at(2024, 1, 2, 13));
    EXPECT_EQ(grid.dateForX(20.0), at(2024, 1, 2, 8));
    // x = 0 is the window's begin, as any x just inside the first day is.
    EXPECT_EQ(grid.dateForX(0.0), at(2024, 1, 1, 8));
    EXPECT_EQ(grid.dateForX(0.0001), at(2024, 1, 1, 8));
    // Left of the origin: the previous day's window, counted back from its end.
    EXPECT_EQ(grid.dateForX(-10.0), at(2023, 12, 31, 13));
    // Outside the window a date counts as the window's nearer edge.
    EXPECT_DOUBLE_EQ(grid.xForDate(at(2024, 1, 2, 6)), 20.0);
    EXPECT_DOUBLE_EQ(grid.xForDate(at(2024, 1, 1, 20)), 20.0);
    // Without an origin there are no dates; neither at an x that is not a number.
    EXPECT_TRUE(DMProjectViewDateGrid(DMDate(), 20.0f, 480, 1080).dateForX(30.0).isNull());
    EXPECT_TRUE(grid.dateForX(std::nan("")).isNull());
    EXPECT_TRUE(grid.dateForX(1e300).isNull());
}

TEST(DateGrid, ZeroOrInvalidScalesAndWindowsHaveSafeStandIns)
{
    // A zero, negative or not-a-number scale counts as 0.1 pixel per day.
    for (float scale : {0.0f, -5.0f, std::nanf("")})
        EXPECT_EQ(DMProjectViewDateGrid(displayAt(scale)).dateForX(1.0), at(2024, 1, 11, 8)) << scale;
    // A window that does not end after its begin is the whole day.
    const DMProjectViewDateGrid wholeDay(at(2024, 1, 1), 24.0f, 600, 600);
    EXPECT_EQ(wholeDay.windowSeconds(), 86400);
    EXPECT_EQ(wholeDay.dateForX(13.0), at(2024, 1, 1, 13));
    EXPECT_EQ(wholeDay.quarterHoursPerDay(), 96);
}

TEST(DateGrid, XToDateToXIsExactToThePixel)
{
    for (float scale : kScales) {
        for (const Window &window : kWindows) {
            const DMProjectViewDateGrid grid(at(2024, 1, 1), scale, window.beginMinute, window.endMinute);
            for (int x = -300; x <= 3000; ++x) {
                const DMDate date = grid.dateForX(x);
                ASSERT_LT(std::abs(grid.xForDate(date) - x), 1e-3)
                    << "x " << x << " at " << scale << " px/day, window " << window.beginMinute;
            }
        }
    }
}

TEST(DateGrid, DateToXToDateIsExactToTheRoundingInterval)
{
    const auto project = DMProject::create();
    for (float scale : kScales) {
        for (const Window &window : kWindows) {
            project->setAttribute(kDMProject_Settings_DayTimeSpan,
                                  QVariantMap{{kDMTimeSpanBegin, window.beginMinute}, {kDMTimeSpanEnd, window.endMinute}});
            const DMProjectViewDateGrid grid(at(2024, 1, 1), scale, window.beginMinute, window.endMinute);
            // Every 300 s step of the window, on days either side of the origin; a drag rounds
            // the date read back to the same step (without snapping).
            for (int day = -3; day <= 40; day += 7) {
                for (int second = window.beginMinute * 60; second < window.endMinute * 60; second += 300) {
                    const DMDate date = DMDate::dateWithJulianDay(at(2024, 1, 1).julianDay() + day, second);
                    const DMDate back = grid.dateForX(grid.xForDate(date));
                    ASSERT_EQ(back, date) << scale << " px/day";
                    ASSERT_EQ(roundedForDrag(*project, grid, back, 0), date) << scale << " px/day";
                }
            }
            // The window's end lies where the next window begins; an end date snaps back to it.
            if (window.endMinute < 1440) {
                const DMDate endOfDay = at(2024, 1, 3, window.endMinute / 60);
                const DMDate back = grid.dateForX(grid.xForDate(endOfDay));
                EXPECT_EQ(back, at(2024, 1, 4, window.beginMinute / 60));
                EXPECT_EQ(roundedForDrag(*project, grid, back, kDMProjectView_SnapEnd), endOfDay) << scale;
            }
        }
    }
}

TEST(DateGrid, SnapThresholdIsThreePixelsOfTheWindow)
{
    // 600 working minutes at 20 px/day: 1800 s a pixel; at 7.3 px/day floor(4931.5) s.
    EXPECT_EQ(DMProjectViewDateGrid(displayAt(20.0f)).snapThresholdSeconds(), 5400);
    EXPECT_EQ(DMProjectViewDateGrid(displayAt(7.3f)).snapThresholdSeconds(), 3 * 4931);
    EXPECT_EQ(DMProjectViewDateGrid(displayAt(100.0f, 0, 1440)).snapThresholdSeconds(), 3 * 864);
}

TEST(DateGrid, BarsAndColumnsTakeTheirPlaceFromTheGrid)
{
    const DMProjectViewDateGrid grid(displayAt(20.0f));
    // Whole points plus half a point; a width between dates is rounded on its own.
    EXPECT_DOUBLE_EQ(grid.alignedX(at(2024, 1, 2, 13)), 30.5);
    EXPECT_DOUBLE_EQ(grid.alignedWidth(at(2024, 1, 2, 13), at(2024, 1, 4, 18)), 50.0);
    // A milestone's 14 points centred on its date: roundf(30 - 7) + 0.5.
    EXPECT_DOUBLE_EQ(grid.alignedX(at(2024, 1, 2, 13), -7.0), 23.5);
    // 20:00 is the end of the day: a bar from there to 8:00 next morning has no width.
    EXPECT_DOUBLE_EQ(grid.alignedX(at(2024, 1, 1, 20)), 20.5);
    EXPECT_DOUBLE_EQ(grid.alignedWidth(at(2024, 1, 1, 20), at(2024, 1, 2, 8)), 0.0);

    // Day columns, or quarter hours of the window in the day scale.
    EXPECT_FLOAT_EQ(grid.columnWidth(false), 20.0f);
    EXPECT_FLOAT_EQ(grid.columnWidth(true), 0.5f);
    EXPECT_EQ(grid.columnAtX(39.9, false), 1);
    EXPECT_EQ(grid.columnAtX(-0.1, false), -1);
    EXPECT_EQ(DMProjectViewDateGrid::quarterHourCount(8 * 60, 18 * 60 + 10), 40);
    // The canvas width for a day count has no sliver of a column from the scale's rounding.
    EXPECT_DOUBLE_EQ(DMProjectViewDateGrid(at(2024, 1, 1), 7.3f, 480, 1080).widthOfDays(10), 73.0);
}
