// The timeline's columns, titles and week and month groups in each scale, in a fixed locale.

#include "DMTimelineColumnCache.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

const QLocale kEnglishUS(QLocale::English, QLocale::UnitedStates);

DMTimelineColumnCacheInputs inputs(int mode, const DMDate &firstDay, int dayCount, int firstDayOfWeek = 1)
{
    DMTimelineColumnCacheInputs result;
    result.mode = mode;
    result.firstDay = firstDay;
    result.dayCount = dayCount;
    result.dayViewBeginMinute = 8 * 60;
    result.dayViewEndMinute = 18 * 60;
    result.firstDayOfWeek = firstDayOfWeek;
    result.weekFormat = 0;
    result.locale = kEnglishUS;
    return result;
}

struct Span
{
    QString title;
    int begin;
    int end;
    bool operator==(const Span &o) const { return title == o.title && begin == o.begin && end == o.end; }
};

void PrintTo(const Span &span, std::ostream *out)
{
    *out << span.title.toStdString() << " [" << span.begin << ", " << span.end << "]";
}

// The distinct groups in column order, checking that every column of a group shares its object.
std::vector<Span> groups(const DMTimelineColumnCache &cache, bool weeks)
{
    std::vector<Span> result;
    for (int i = 0; i < cache.columnCount();) {
        const auto group = weeks ? cache.weekGroupForColumn(i) : cache.monthGroupForColumn(i);
        EXPECT_TRUE(group) << "column " << i;
        if (!group)
            return result;
        EXPECT_EQ(group->beginColumn(), i);
        for (int j = group->beginColumn(); j <= group->endColumn(); ++j)
            EXPECT_EQ((weeks ? cache.weekGroupForColumn(j) : cache.monthGroupForColumn(j)).get(), group.get());
        result.push_back({group->title(), group->beginColumn(), group->endColumn()});
        i = group->endColumn() + 1;
    }
    return result;
}

} // namespace

TEST(TimelineColumnCache, DayScaleHasTheQuarterHoursOfTheDayWindowUnderOneWeekAndOneDay)
{
    DMTimelineColumnCache cache;
    cache.rebuild(inputs(0, DMDate(2024, 3, 4, 9 * 3600), 1));
    EXPECT_EQ(groups(cache, true), (std::vector<Span>{{"Week 10", 0, 39}}));
    EXPECT_EQ(groups(cache, false), (std::vector<Span>{{"Mon, March 4, 2024", 0, 39}}));
    // Shorter forms for a header too narrow for the titles.
    EXPECT_EQ(cache.weekGroupForColumn(0)->shorterTitles(), QStringList{"10"});
    EXPECT_EQ(cache.monthGroupForColumn(0)->shorterTitles(), (QStringList{"March 4, 2024", "3/4/24"}));
    EXPECT_EQ(cache.dayForColumn(39), DMDate(2024, 3, 4, 0));

    // The quarter hour holding a time of the shown day; none outside the window or the day.
    EXPECT_EQ(cache.columnForDate(DMDate(2024, 3, 4, 8 * 3600)), 0);
    EXPECT_EQ(cache.columnForDate(DMDate(2024, 3, 4, 18 * 3600)), -1);
    EXPECT_EQ(cache.columnForDate(DMDate(2024, 3, 4, 7 * 3600)), -1);
    EXPECT_EQ(cache.columnForDate(DMDate(2024, 3, 5, 9 * 3600)), -1);
}

TEST(TimelineColumnCache, MonthScaleSplitsWeeksAtTheFirstDayOfWeek)
{
    DMTimelineColumnCache cache;
    cache.rebuild(inputs(2, DMDate(2024, 3, 1, 0), 31));
    ASSERT_EQ(cache.columnCount(), 31);
    EXPECT_EQ(cache.titleForColumn(0), "1");
    EXPECT_EQ(cache.titleForColumn(30), "31");
    EXPECT_EQ(groups(cache, true), (std::vector<Span>{{"Week 9", 0, 2},
                                                      {"Week 10", 3, 9},
                                                      {"Week 11", 10, 16},
                                                      {"Week 12", 17, 23},
                                                      {"Week 13", 24, 30}}));
    EXPECT_EQ(groups(cache, false), (std::vector<Span>{{"Mar 2024", 0, 30}}));
    EXPECT_EQ(cache.monthGroupForColumn(0)->shorterTitles(), QStringList{"Mar"});
    EXPECT_EQ(cache.weekGroupForColumn(30)->shorterTitles(), QStringList{"13"});

    cache.rebuild(inputs(2, DMDate(2024, 3, 1, 0), 31, 0)); // weeks from Sunday
    EXPECT_EQ(groups(cache, true).at(1), (Span{"Week 10", 2, 8}));
}

TEST(TimelineColumnCache, YearAndProjectScalesGroupDaysByMonth)
{
    DMTimelineColumnCache cache;
    cache.rebuild(inputs(3, DMDate(2024, 1, 1, 0), 366));
    ASSERT_EQ(cache.columnCount(), 366);
    const std::vector<Span> months = groups(cache, false);
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months.at(1), (Span{"Feb 2024", 31, 59})); // a leap year's February
    EXPECT_EQ(months.at(11), (Span{"Dec 2024", 335, 365}));
    EXPECT_EQ(cache.titleForColumn(59), "29");
    EXPECT_EQ(cache.columnForDate(DMDate(2024, 12, 31, 23 * 3600)), 365);
    EXPECT_EQ(cache.columnForDate(DMDate(2025, 1, 1, 0)), -1);

    // Groups cut at the span's ends, across a year boundary.
    cache.rebuild(inputs(4, DMDate(2024, 12, 20, 0), 22));
    EXPECT_EQ(groups(cache, false), (std::vector<Span>{{"Dec 2024", 0, 11}, {"Jan 2025", 12, 21}}));
    EXPECT_EQ(groups(cache, true), (std::vector<Span>{{"Week 51", 0, 2},
                                                      {"Week 52", 3, 9},
                                                      {"Week 1", 10, 16},
                                                      {"Week 2", 17, 21}}));
}

TEST(TimelineColumnCache, WeekOfYearAtTheYearBoundary)
{
    // 3 January 2021 is a Sunday; 1 January 2021 a Friday.
    const DMDate sunday(2021, 1, 3, 0);
    EXPECT_EQ(DMTimelineColumnCache::weekOfYear(sunday, 1, 0), 53); // Monday weeks: the last of 2020
    EXPECT_EQ(DMTimelineColumnCache::weekOfYear(sunday, 0, 0), 1);  // Sunday weeks: the first of 2021
    const DMDate friday(2021, 1, 1, 0);
    EXPECT_EQ(DMTimelineColumnCache::weekOfYear(friday, 1, 0), 53); // three days of 2021 are too few
    EXPECT_EQ(DMTimelineColumnCache::weekOfYear(friday, 1, 1), 1);  // the week of January 1st
    EXPECT_EQ(DMTimelineColumnCache::weekOfYear(friday, 1, 2), 52); // the first full week starts 4 January
    EXPECT_EQ(DMTimelineColumnCache::weekOfYear(DMDate(2021, 1, 4, 0), 1, 2), 1);
    // 29 December 2025 (Monday) begins week 1 of 2026 in ISO weeks.
    EXPECT_EQ(DMTimelineColumnCache::weekOfYear(DMDate(2025, 12, 29, 0), 1, 0), 1);
    EXPECT_EQ(DMTimelineColumnCache::weekOfYear(DMDate(2025, 12, 28, 0), 1, 0), 52);

    DMTimelineColumnCache cache;
    cache.rebuild(inputs(4, DMDate(2020, 12, 28, 0), 14, 0));
    EXPECT_EQ(groups(cache, true), (std::vector<Span>{{"Week 53", 0, 5}, {"Week 1", 6, 12}, {"Week 2", 13, 13}}));
    cache.rebuild(inputs(4, DMDate(2020, 12, 28, 0), 14, 1));
    EXPECT_EQ(groups(cache, true), (std::vector<Span>{{"Week 53", 0, 6}, {"Week 1", 7, 13}}));
}

TEST(TimelineColumnCache, TitlesAreCapitalizedInTheLocale)
{
    const QLocale french(QLocale::French, QLocale::France);
    EXPECT_EQ(DMTimelineColumnCache::capitalized(QStringLiteral("mars 2024"), french), "Mars 2024");
    EXPECT_EQ(DMTimelineColumnCache::capitalized(QStringLiteral("lun., 4 MARS 2024"), french), "Lun., 4 Mars 2024");

    DMTimelineColumnCacheInputs in = inputs(2, DMDate(2024, 3, 1, 0), 31);
    in.locale = french;
    DMTimelineColumnCache cache;
    cache.rebuild(in);
    EXPECT_TRUE(cache.monthGroupForColumn(0)->title().startsWith(QStringLiteral("Mars"))) << qPrintable(cache.monthGroupForColumn(0)->title());
}

TEST(TimelineColumnCache, BadSpansGiveNoOrBoundedColumns)
{
    DMTimelineColumnCache cache;
    cache.rebuild(inputs(2, DMDate(), 31));
    EXPECT_EQ(cache.columnCount(), 0);
    EXPECT_FALSE(cache.weekGroupForColumn(0));
    cache.rebuild(inputs(4, DMDate(2024, 1, 1, 0), -5));
    EXPECT_EQ(cache.columnCount(), 0);
    cache.rebuild(inputs(4, DMDate(2024, 1, 1, 0), 2000000000));
    EXPECT_LE(cache.columnCount(), 100000);
}
