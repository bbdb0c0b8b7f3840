#include "DMIndexSet_64.h"
#include "DMWorkingCalendar.h"
#include "DMWorkingTimeline.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr qint64 kHour = 3600;
constexpr qint64 kWorkingDay = 10 * kHour; // 08:00 to 18:00

DMDate at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return DMDate::dateWithYearMonthDayHourMinuteSecond(year, month, day, hour, minute, 0);
}

QVariantMap dayOff(qint64 index, qint64 endIndex = 0)
{
    QVariantMap entry{{"kDMDayOffIndex", index}, {"kDMDayOffDescription", "off"}};
    if (endIndex != 0)
        entry.insert("kDMDayOffEndIndex", endIndex);
    return entry;
}

qint64 dated(int year, int month, int day)
{
    return DMProject_NonWorkingDayIndexForYearMonthDay(year, month, day);
}

DMIndexSet_64::Range slice(const DMDate &from, qint64 length)
{
    return {from.absoluteSecond(), length};
}

// Weekends off, 08:00 to 18:00. March 2024: the 8th is a Friday, the 11th a Monday.
class WorkingCalendarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        calendar.setNonWorkingWeekDays(QVariantList{0, 6});
        calendar.setDayTimeSpan(QVariantMap{{"begin", 480}, {"end", 1080}});
    }

    DMDate end(const DMDate &begin, qint64 duration, DMMutableIndexSet_64 *slices = nullptr) const
    {
        return calendar.endDateWithBeginDateAndDuration(begin, duration, true, slices);
    }

    DMWorkingCalendar calendar;
};

TEST_F(WorkingCalendarTest, DurationRunsOverTheWeekend)
{
    DMMutableIndexSet_64 slices;
    EXPECT_EQ(end(at(2024, 3, 8, 14), 8 * kHour, &slices), at(2024, 3, 11, 12));
    const std::vector<DMIndexSet_64::Range> expected{slice(at(2024, 3, 8, 14), 4 * kHour),
                                                     slice(at(2024, 3, 11, 8), 4 * kHour)};
    EXPECT_EQ(slices.ranges(), expected);
    EXPECT_EQ(calendar.durationBetween(at(2024, 3, 8, 14), at(2024, 3, 11, 12), true), 8 * kHour);
    EXPECT_EQ(calendar.durationBetween(at(2024, 3, 11, 12), at(2024, 3, 8, 14), true), -8 * kHour);
}

TEST_F(WorkingCalendarTest, BeginsOutsideTheWindowMoveToWorkingTime)
{
    // Before the window: starts at its begin; a full day then ends at that day's window end.
    EXPECT_EQ(end(at(2024, 3, 11, 6), kWorkingDay), at(2024, 3, 11, 18));
    // After the window, or on a weekend: the next working day's window begin.
    EXPECT_EQ(end(at(2024, 3, 11, 19), kHour), at(2024, 3, 12, 9));
    EXPECT_EQ(end(at(2024, 3, 11, 18), kHour), at(2024, 3, 12, 9));
    EXPECT_EQ(end(at(2024, 3, 9, 10), kHour), at(2024, 3, 11, 9));
    // Two whole days from a Friday morning end on Monday evening, not Tuesday morning.
    EXPECT_EQ(end(at(2024, 3, 8, 8), 2 * kWorkingDay), at(2024, 3, 11, 18));
    // Nothing to do: the end is the begin, wherever it lies.
    EXPECT_EQ(end(at(2024, 3, 9, 10), 0), at(2024, 3, 9, 10));
    EXPECT_EQ(end(at(2024, 3, 9, 10), -50), at(2024, 3, 9, 10));
    EXPECT_TRUE(end(DMDate(), kHour).isNull());
}

TEST_F(WorkingCalendarTest, ItemOffTheWorkingScheduleUsesPlainTime)
{
    DMMutableIndexSet_64 slices;
    const DMDate begin = at(2024, 3, 8, 14);
    EXPECT_EQ(calendar.endDateWithBeginDateAndDuration(begin, 36 * kHour, false, &slices), at(2024, 3, 10, 2));
    const std::vector<DMIndexSet_64::Range> expected{slice(begin, 36 * kHour)};
    EXPECT_EQ(slices.ranges(), expected);
    EXPECT_EQ(calendar.durationBetween(begin, at(2024, 3, 10, 2), false), 36 * kHour);
}

TEST_F(WorkingCalendarTest, YearlyAndDatedDaysOff)
{
    calendar.setDaysOff(QVariantList{
        dayOff(DMProject_NonWorkingDayIndexForMonthDay(12, 25)),
        dayOff(DMProject_NonWorkingDayIndexForMonthDay(12, 31), DMProject_NonWorkingDayIndexForMonthDay(1, 1)),
        dayOff(dated(2024, 3, 12), dated(2024, 3, 14)),
        dayOff(dated(2024, 5, 10), dated(2024, 5, 8)), // entered backwards
    });
    int kind = -1;
    EXPECT_FALSE(calendar.isWorkingDay(at(2030, 12, 25), &kind));
    EXPECT_EQ(kind, 2);
    EXPECT_FALSE(calendar.isWorkingDay(at(2024, 12, 31), &kind));
    EXPECT_EQ(kind, 2);
    EXPECT_FALSE(calendar.isWorkingDay(at(2025, 1, 1)));
    EXPECT_TRUE(calendar.isWorkingDay(at(2025, 1, 2), &kind));
    EXPECT_EQ(kind, 0);
    EXPECT_FALSE(calendar.isWorkingDay(at(2024, 3, 13), &kind));
    EXPECT_EQ(kind, 3);
    EXPECT_FALSE(calendar.isWorkingDay(at(2024, 5, 9)));
    EXPECT_TRUE(calendar.isWorkingDay(at(2024, 3, 15)));
    EXPECT_FALSE(calendar.isWorkingDay(at(2024, 3, 16), &kind));
    EXPECT_EQ(kind, 1);
    EXPECT_FALSE(calendar.isWorkingDay(DMDate()));

    // Monday 11 March, then three dated days off, then Friday 15 March.
    EXPECT_EQ(end(at(2024, 3, 11, 8), kWorkingDay + kHour), at(2024, 3, 15, 9));
    // Across the year boundary: 31 December and 1 January are yearly days off.
    DMMutableIndexSet_64 slices;
    EXPECT_EQ(end(at(2024, 12, 30, 16), 4 * kHour, &slices), at(2025, 1, 2, 10));
    EXPECT_EQ(slices.ranges().size(), 2u);
    EXPECT_EQ(calendar.durationBetween(at(2024, 12, 30, 16), at(2025, 1, 2, 10), true), 4 * kHour);
    EXPECT_EQ(calendar.durationBetween(at(2025, 1, 2, 10), at(2024, 12, 30, 16), true), -4 * kHour);
}

TEST_F(WorkingCalendarTest, YearBoundaryWithoutDaysOff)
{
    EXPECT_EQ(end(at(2024, 12, 31, 16), 4 * kHour), at(2025, 1, 1, 10));
    EXPECT_EQ(end(at(2027, 12, 31, 16), 4 * kHour), at(2028, 1, 3, 10)); // a Friday
}

TEST_F(WorkingCalendarTest, DamagedDaysOffEntriesAreSkipped)
{
    calendar.setDaysOff(QVariantList{
        dayOff(dated(2024, 13, 1)),
        dayOff(dated(2024, 2, 30)),
        dayOff(DMProject_NonWorkingDayIndexForMonthDay(4, 31)),
        dayOff(5),
        QVariant("not an entry"),
        dayOff(dated(2024, 3, 12), DMProject_NonWorkingDayIndexForMonthDay(3, 20)), // end of another kind
        QVariantMap{{"kDMDayOffIndex", 1e300}},
        QVariantMap{{"kDMDayOffIndex", "220240314"}},
    });
    EXPECT_FALSE(calendar.isWorkingDay(at(2024, 3, 12)));
    EXPECT_TRUE(calendar.isWorkingDay(at(2024, 3, 13)));
    EXPECT_FALSE(calendar.isWorkingDay(at(2024, 3, 14))); // the numeric string is read
    EXPECT_TRUE(calendar.isWorkingDay(at(2024, 4, 30)));
    EXPECT_TRUE(calendar.isWorkingDay(at(2024, 3, 20)));

    calendar.setDaysOff(QVariant("junk"));
    EXPECT_TRUE(calendar.isWorkingDay(at(2024, 3, 12)));
}

TEST_F(WorkingCalendarTest, WeekDaysAcceptEveryStoredForm)
{
    DMWorkingCalendar other;
    other.setNonWorkingWeekDays(QVariant::fromValue(DMIndexSet_64(DMIndexSet_64::Range{5, 2})));
    EXPECT_FALSE(other.isWorkingDay(at(2024, 3, 8)));  // Friday
    EXPECT_TRUE(other.isWorkingDay(at(2024, 3, 10)));  // Sunday
    other.setNonWorkingWeekDays(QString("0,6"));
    EXPECT_FALSE(other.isWorkingDay(at(2024, 3, 10)));
    EXPECT_TRUE(other.isWorkingDay(at(2024, 3, 8)));
    other.setNonWorkingWeekDays(QVariantList{1, 9, -3});
    EXPECT_FALSE(other.isWorkingDay(at(2024, 3, 11)));
    EXPECT_TRUE(other.isWorkingDay(at(2024, 3, 12)));
    other.setNonWorkingWeekDays(QVariant());
    EXPECT_TRUE(other.isWorkingDay(at(2024, 3, 11)));
}

TEST_F(WorkingCalendarTest, EmptyDayWindowIsTheWholeDay)
{
    for (const QVariantMap &span : {QVariantMap{{"begin", 600}, {"end", 600}}, QVariantMap{{"begin", 900}, {"end", 300}},
                                    QVariantMap{{"begin", 2000}, {"end", 3000}}, QVariantMap{}}) {
        calendar.setDayTimeSpan(span);
        EXPECT_EQ(calendar.dayBeginSecond(), 0);
        EXPECT_EQ(calendar.dayEndSecond(), 86400);
        EXPECT_EQ(end(at(2024, 3, 8, 10), 24 * kHour), at(2024, 3, 11, 10));
        EXPECT_EQ(calendar.durationBetween(at(2024, 3, 8, 10), at(2024, 3, 11, 10), true), 24 * kHour);
        EXPECT_EQ(calendar.dateByRoundingDateToIntervalSnapOption(at(2024, 3, 8, 0, 1), 300, 3, 86400), at(2024, 3, 8));
    }
    // A window that ends at midnight ends a working day at the next 00:00.
    calendar.setDayTimeSpan(QVariantMap{{"begin", 1080}, {"end", 1440}});
    EXPECT_EQ(end(at(2024, 3, 11, 20), 4 * kHour), at(2024, 3, 12, 0));
}

TEST_F(WorkingCalendarTest, CalendarWithoutWorkingDaysFallsBackToPlainTime)
{
    calendar.setNonWorkingWeekDays(QString("0-6"));
    EXPECT_FALSE(calendar.hasWorkingDays());
    DMMutableIndexSet_64 slices;
    EXPECT_EQ(end(at(2024, 3, 8, 14), 8 * kHour, &slices), at(2024, 3, 8, 22));
    EXPECT_EQ(slices.count(), 8 * kHour);
    EXPECT_EQ(calendar.durationBetween(at(2024, 3, 8, 14), at(2024, 3, 8, 22), true), 8 * kHour);

    calendar.setNonWorkingWeekDays(QVariantList{});
    calendar.setDaysOff(QVariantList{
        dayOff(DMProject_NonWorkingDayIndexForMonthDay(1, 1), DMProject_NonWorkingDayIndexForMonthDay(12, 31))});
    EXPECT_FALSE(calendar.hasWorkingDays());
    EXPECT_EQ(end(at(2024, 3, 8, 14), 8 * kHour), at(2024, 3, 8, 22));

    // Only 29 February on a Monday works: the next such day is 28 years away, beyond any sound
    // calendar, so the search gives up rather than crawl.
    calendar.setNonWorkingWeekDays(QString("0,2-6"));
    calendar.setDaysOff(QVariantList{
        dayOff(DMProject_NonWorkingDayIndexForMonthDay(3, 1), DMProject_NonWorkingDayIndexForMonthDay(2, 28))});
    EXPECT_TRUE(calendar.hasWorkingDays());
    slices.removeAllIndexes();
    EXPECT_EQ(end(at(2017, 3, 1, 9), kHour, &slices), at(2017, 3, 1, 10));
    EXPECT_EQ(slices.count(), kHour);
}

TEST_F(WorkingCalendarTest, SlicesAndDurationsAgreeWithTheEndDate)
{
    calendar.setDaysOff(QVariantList{dayOff(DMProject_NonWorkingDayIndexForMonthDay(12, 20),
                                            DMProject_NonWorkingDayIndexForMonthDay(1, 5)),
                                     dayOff(dated(2024, 7, 1), dated(2024, 7, 31))});
    std::mt19937 random(7);
    std::uniform_int_distribution<qint64> second(0, 3 * 365 * 86400LL);
    std::uniform_int_distribution<qint64> duration(1, 400 * kWorkingDay);
    const DMDate origin = at(2023, 6, 1);
    for (int i = 0; i < 300; ++i) {
        const DMDate begin = origin.dateByAddingSeconds(second(random));
        const qint64 length = duration(random);
        DMMutableIndexSet_64 slices;
        const DMDate finish = end(begin, length, &slices);
        ASSERT_EQ(slices.count(), length) << begin.description().toStdString();
        ASSERT_EQ(calendar.durationBetween(begin, finish, true), length) << begin.description().toStdString();
        ASSERT_EQ(slices.lastIndex() + 1, finish.absoluteSecond());
        ASSERT_TRUE(calendar.isWorkingDay(DMDate::dateWithAbsoluteSecond(slices.firstIndex())));
    }
}

// The working-time line's shortcut for a pushed begin agrees with the look-up through the
// index, at every quarter hour around window edges, weekends and a month off, and far from the
// table's first day.
TEST_F(WorkingCalendarTest, TimelinePositionsAgreeWithTheIndexLookUp)
{
    calendar.setDaysOff(QVariantList{dayOff(dated(2024, 7, 1), dated(2024, 7, 31))});
    DMWorkingTimeline timeline(calendar);
    EXPECT_EQ(timeline.latestDateAtPositionOf(at(2024, 3, 8, 18)), at(2024, 3, 11, 8));
    EXPECT_EQ(timeline.latestDateAtPositionOf(at(2024, 6, 28, 18)), at(2024, 8, 1, 8));
    EXPECT_EQ(timeline.latestDateAtPositionOf(at(2024, 3, 11, 9, 15)), at(2024, 3, 11, 9, 15));
    for (const DMDate &from : {at(2024, 6, 20), at(2031, 1, 1), at(2019, 2, 25)})
        for (qint64 step = 0; step < 60 * 24 * 4; ++step) {
            const DMDate date = from.dateByAddingSeconds(step * 900);
            ASSERT_EQ(timeline.latestDateAtPositionOf(date), timeline.latestDateForIndex(timeline.index(date)))
                << date.description().toStdString();
        }
}

// Plans far apart in time: the timeline answers for every day as the calendar does, however far
// from its first day, and long spans are counted, not read as plain time.
TEST_F(WorkingCalendarTest, TimelineAnswersForEveryDayAsTheCalendarDoes)
{
    calendar.setDaysOff(QVariantList{dayOff(DMProject_NonWorkingDayIndexForMonthDay(12, 25)),
                                     dayOff(dated(2024, 7, 1), dated(2024, 7, 31)),
                                     dayOff(dated(9000, 1, 1), dated(9000, 1, 5)), dayOff(dated(3, 3, 3))});
    // Counting across 9,999 years agrees with walking them in pieces.
    const DMDate first = at(1, 1, 1, 9);
    const DMDate last = at(9999, 12, 31, 17);
    qint64 walked = 0;
    for (DMDate from = first; from < last;) {
        const DMDate to = std::min(last, from.dateByAddingYearsMonthsDaysHoursMinutesSeconds(1000, 0, 0, 0, 0, 0));
        walked += calendar.durationBetween(from, to, true);
        from = to;
    }
    EXPECT_EQ(calendar.durationBetween(first, last, true), walked);

    DMWorkingTimeline timeline(calendar);
    // The table is laid out around the first day asked; then everything else.
    EXPECT_EQ(timeline.durationBetween(at(2024, 1, 8, 8), at(2024, 1, 8, 18), true), kWorkingDay);
    EXPECT_EQ(timeline.durationBetween(at(9000, 1, 10, 8), at(9000, 1, 10, 18), true), kWorkingDay);
    // 1 January 9000 is a Wednesday: Tuesday 31 December, then Monday 6 and Tuesday 7 January.
    EXPECT_EQ(timeline.durationBetween(at(8999, 12, 31, 8), at(9000, 1, 7, 18), true), 3 * kWorkingDay);
    EXPECT_EQ(timeline.endDate(at(9000, 1, 1, 8), kWorkingDay, true), at(9000, 1, 6, 18));
    EXPECT_EQ(timeline.latestDateAtPositionOf(at(8999, 12, 31, 18)), at(9000, 1, 6, 8));
    std::mt19937 random(11);
    std::uniform_int_distribution<qint64> day(at(1, 1, 1).julianDay(), at(9999, 12, 31).julianDay());
    std::uniform_int_distribution<int> second(0, 86399);
    std::uniform_int_distribution<qint64> duration(1, 2000 * kWorkingDay);
    for (int i = 0; i < 300; ++i) {
        const DMDate a = DMDate::dateWithJulianDay(day(random), second(random));
        const DMDate b = i % 2 ? DMDate::dateWithJulianDay(day(random), second(random))
                               : a.dateByAddingSeconds(duration(random) * 3);
        ASSERT_EQ(timeline.durationBetween(a, b, true), calendar.durationBetween(a, b, true))
            << a.description().toStdString() << " " << b.description().toStdString();
        const qint64 length = duration(random);
        const DMDate end = calendar.endDateWithBeginDateAndDuration(a, length, true);
        ASSERT_EQ(timeline.endDate(a, length, true), end) << a.description().toStdString();
        ASSERT_EQ(timeline.beginDate(end, length, true), timeline.latestDateAtPositionOf(a)) << a.description().toStdString();
    }
}

TEST_F(WorkingCalendarTest, RoundingSnapsToWindowEdgesNearThem)
{
    // Near means closer than the threshold: 18 minutes here.
    const auto round = [&](const DMDate &date, int option, int threshold = 18 * 60) {
        return calendar.dateByRoundingDateToIntervalSnapOption(date, 300, option, threshold);
    };
    EXPECT_EQ(round(at(2024, 3, 12, 8, 10), 1), at(2024, 3, 12, 8));
    EXPECT_EQ(round(at(2024, 3, 12, 7, 50), 1), at(2024, 3, 12, 8));
    EXPECT_EQ(round(at(2024, 3, 12, 8, 10), 2), at(2024, 3, 11, 18));
    EXPECT_EQ(round(at(2024, 3, 12, 17, 50), 2), at(2024, 3, 12, 18));
    EXPECT_EQ(round(at(2024, 3, 12, 18, 10), 1), at(2024, 3, 13, 8));
    EXPECT_EQ(round(at(2024, 3, 12, 8, 10), 3), at(2024, 3, 12, 8));
    EXPECT_EQ(round(at(2024, 3, 12, 18, 10), 3), at(2024, 3, 12, 18));
    // Exactly the threshold away is not near; the time is rounded down instead.
    EXPECT_EQ(round(at(2024, 3, 12, 8, 18), 1), at(2024, 3, 12, 8, 15));
    EXPECT_EQ(round(DMDate(2024, 3, 12, 12 * 3600 + 7 * 60 + 59), 3), at(2024, 3, 12, 12, 5));
    EXPECT_EQ(round(at(2024, 3, 12, 8, 12), 0), at(2024, 3, 12, 8, 10));
    // A smaller threshold leaves 10 minutes alone; a day-long one makes everything near the begin.
    EXPECT_EQ(round(at(2024, 3, 12, 8, 10), 1, 108), at(2024, 3, 12, 8, 10));
    EXPECT_EQ(round(at(2024, 3, 12, 17, 0), 2, 86400), at(2024, 3, 11, 18));
    EXPECT_EQ(round(at(2024, 3, 12, 17, 0), 2, 0), at(2024, 3, 12, 17, 0));
    EXPECT_EQ(calendar.dateByRoundingDateToIntervalSnapOption(at(2024, 3, 12, 17, 1), 0, 0, 1080), at(2024, 3, 12, 17, 1));
    EXPECT_TRUE(round(DMDate(), 1).isNull());
}

TEST_F(WorkingCalendarTest, PartsOfTheWorkingDayCountFromTheWindowsBegin)
{
    // Halves (18000 s) and the whole (36000 s) of the 8:00 to 18:00 day, counted from 8:00; a
    // time before the origin takes the multiple before it, on the day before when it lies there.
    const std::tuple<DMDate, int, DMDate> cases[] = {
        {at(2024, 3, 12, 9, 30), 18000, at(2024, 3, 12, 8)},  {at(2024, 3, 12, 13, 0), 18000, at(2024, 3, 12, 13)},
        {at(2024, 3, 12, 17, 59), 18000, at(2024, 3, 12, 13)}, {at(2024, 3, 12, 17, 59), 36000, at(2024, 3, 12, 8)},
        {at(2024, 3, 12, 7, 0), 18000, at(2024, 3, 12, 3)},   {at(2024, 3, 12, 7, 0), 36000, at(2024, 3, 11, 22)}};
    for (const auto &[date, interval, rounded] : cases)
        EXPECT_EQ(calendar.dateByRoundingDateToIntervalSnapOption(date, interval, 0, 0, 8 * 3600), rounded)
            << date.description().toStdString() << " " << interval;
}

TEST(NonWorkingDayIndex, EncodesAndDecodesEachKind)
{
    EXPECT_EQ(DMProject_NonWorkingDayIndexForYearMonthDay(2024, 3, 9), 220240309);
    const std::pair<qint64, int> kinds[] = {{-1, 0},    {0, 1},     {6, 1},         {7, 0},        {10000, 0},
                                            {10001, 2}, {11231, 2}, {200000000, 2}, {200000001, 3}, {220240309, 3}};
    for (const auto &[index, kind] : kinds)
        EXPECT_EQ(DMProject_NonWorkingDayKindForIndex(index), kind) << index;

    int year = -1, month = -1, day = -1;
    DMProject_NonWorkingDayFromIndex(220240309, &year, &month, &day);
    EXPECT_EQ(std::tie(year, month, day), std::make_tuple(2024, 3, 9));
    DMProject_NonWorkingDayFromIndex(11225, &year, &month, &day);
    EXPECT_EQ(std::tie(year, month, day), std::make_tuple(2000, 12, 25));
    DMProject_NonWorkingDayFromIndex(10229, &year, &month, &day); // 29 February exists in the placeholder year
    EXPECT_EQ(std::tie(year, month, day), std::make_tuple(2000, 2, 29));
    DMProject_NonWorkingDayFromIndex(3, &year, &month, &day);
    EXPECT_EQ(std::tie(year, month, day), std::make_tuple(2000, 2, 29)); // untouched
    DMProject_NonWorkingDayFromIndex(220240309, nullptr, &month, nullptr);
    EXPECT_EQ(month, 3);

    // Only days that exist: 29 February yearly and in a leap year, no 31 April, no week days.
    for (qint64 index : {10229, 11231, 220240229, 220231231})
        EXPECT_TRUE(DMProject_NonWorkingDayIndexIsValid(index)) << index;
    for (qint64 index : {0, 6, 10100, 10230, 10431, 11301, 19999, 220230229, 220241301, 220240100})
        EXPECT_FALSE(DMProject_NonWorkingDayIndexIsValid(index)) << index;
}

} // namespace
