#include "DMIndexSet_64.h"
#include "SignedIndexSet.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using Range = DMIndexSet_64::Range;

namespace {

constexpr qint64 kMax = INT64_MAX;
constexpr qint64 kMin = INT64_MIN;

DMMutableIndexSet_64 setFrom(const char *rangeString)
{
    DMIndexSet_64 parsed;
    EXPECT_TRUE(DMIndexSet_64::fromRangeString(QString::fromLatin1(rangeString), &parsed)) << rangeString;
    DMMutableIndexSet_64 set;
    set.addIndexes(parsed);
    return set;
}

} // namespace

// The random edits at the end check the queries and that ranges stay merged; these check the
// exact ranges of a few splits, trims and fills.
TEST(IndexSet, AddAndRemoveMergeSplitAndTrimRanges)
{
    DMMutableIndexSet_64 set = setFrom("0-2,10-14,20-24");
    set.addIndex(15);
    set.addIndex(9);
    set.addIndexesInRange({16, 4}); // fills the gap exactly
    EXPECT_EQ(set.rangeString(), "0-2,9-24");
    set.addIndexesInRange({1, 30});
    EXPECT_EQ(set.ranges(), (std::vector<Range>{{0, 31}}));

    set = setFrom("0-20,30-40");
    set.removeIndex(5);
    set.removeIndexesInRange({18, 15}); // 18-32: trims the end of one range and the start of the next
    EXPECT_EQ(set.rangeString(), "0-4,6-17,33-40");
    set.removeIndexes(setFrom("6,17,35"));
    EXPECT_EQ(set.rangeString(), "0-4,7-16,33-34,36-40");
    set.removeIndexes(set); // itself
    EXPECT_TRUE(set.isEmpty());
}

TEST(IndexSet, RangeStrings)
{
    EXPECT_EQ(setFrom("7, 1-5").rangeString(), "1-5,7");  // any order, blanks around items
    EXPECT_EQ(setFrom("1-3,4-6").rangeString(), "1-6");   // adjacent items merge
    EXPECT_EQ(setFrom("").rangeString(), "");
    EXPECT_EQ(setFrom("-9223372036854775808-9223372036854775807").count(), kMax); // saturated

    for (const char *bad : {"1-", "-", "--5", "1--", "5-1", "1,,2", "1,", ",1", "a", "1-2-3", "1 2",
                            "9223372036854775808", "-9223372036854775809", "1.5"}) {
        DMIndexSet_64 out(Range{1, 3});
        EXPECT_FALSE(DMIndexSet_64::fromRangeString(QString::fromLatin1(bad), &out)) << bad;
        EXPECT_TRUE(out.isEmpty()) << bad;
    }
    EXPECT_FALSE(DMIndexSet_64::fromRangeString(QStringLiteral("x"), nullptr));
}

TEST(IndexSet, LimitsOfSixtyFourBits)
{
    DMMutableIndexSet_64 set;
    set.addIndexesInRange({kMax - 2, 10}); // clipped at INT64_MAX
    EXPECT_EQ(set.count(), 3);
    set.addIndex(kMax - 3); // merges below
    EXPECT_EQ(set.ranges(), (std::vector<Range>{{kMax - 3, 4}}));
    set.removeIndex(kMax);
    EXPECT_EQ(set.lastIndex(), kMax - 1);

    set.addIndex(kMin);
    set.addIndex(kMin + 1);
    EXPECT_EQ(set.ranges().front(), (Range{kMin, 2}));
    EXPECT_EQ(set.indexLessThanOrEqualToIndex(kMin), kMin);
    EXPECT_EQ(set.indexGreaterThanOrEqualToIndex(kMax), DMIndexSet_64::NotFound);
    set.removeIndex(kMin);
    EXPECT_EQ(set.firstIndex(), kMin + 1);

    const DMIndexSet_64 roundTrip = setFrom(qPrintable(set.rangeString()));
    EXPECT_EQ(roundTrip, set);
}

TEST(IndexSet, RunLongerThanInt64MaxIsKeptWhole)
{
    // Every index from INT64_MIN to INT64_MAX does not fit one range's length; nothing is lost.
    DMMutableIndexSet_64 set;
    set.addIndexesInRange({kMin, kMax});
    set.addIndexesInRange({-1, kMax});
    set.addIndexesInRange({kMax - 5, 10});
    EXPECT_TRUE(set.containsIndexesInRange({-5, kMax}));
    EXPECT_EQ(set.count(), kMax);

    set.removeIndex(0);
    EXPECT_EQ(set.ranges(), (std::vector<Range>{{kMin, kMax}, {-1, 1}, {1, kMax}}));
    set.addIndex(0);
    set.removeIndexesInRange({kMin, 3});
    EXPECT_EQ(set.ranges(), (std::vector<Range>{{kMin + 3, kMax}, {2, kMax - 1}}));
    set.removeIndexesInRange({0, kMax});
    EXPECT_EQ(set.ranges(), (std::vector<Range>{{kMin + 3, kMax - 2}, {kMax, 1}}));
}

TEST(IndexSet, Shift)
{
    DMMutableIndexSet_64 set = setFrom("1-3,6-8,12");
    set.shiftIndexesStartingAtIndex(7, 2); // splits 6-8
    EXPECT_EQ(set.rangeString(), "1-3,6,9-10,14");

    set.shiftIndexesStartingAtIndex(9, -3); // overwrites 6-8
    EXPECT_EQ(set.rangeString(), "1-3,6-7,11");

    set.shiftIndexesStartingAtIndex(4, -1); // 3 is overwritten, 6-7 lands on 5-6
    EXPECT_EQ(set.rangeString(), "1-2,5-6,10");
    set.shiftIndexesStartingAtIndex(5, -2); // lands next to 2 and merges
    EXPECT_EQ(set.rangeString(), "1-4,8");

    set.shiftIndexesStartingAtIndex(0, -10); // negative indexes are kept
    EXPECT_EQ(set.rangeString(), "-9--6,-2");

    DMMutableIndexSet_64 high = setFrom("0,9223372036854775800-9223372036854775807");
    high.shiftIndexesStartingAtIndex(1, 5); // indexes pushed past INT64_MAX are dropped
    EXPECT_EQ(high.rangeString(), "0,9223372036854775805-9223372036854775807");
    DMMutableIndexSet_64 low = setFrom("-9223372036854775808--9223372036854775805,3");
    low.shiftIndexesStartingAtIndex(kMin, -2);
    EXPECT_EQ(low.rangeString(), "-9223372036854775808--9223372036854775807,1");
}

TEST(IndexSet, MatchesAPlainSetUnderRandomEdits)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> position(-60, 60);
    std::uniform_int_distribution<int> length(-2, 8); // empty and negative lengths change nothing
    DMMutableIndexSet_64 set;
    std::set<qint64> reference;
    const auto queriesAgree = [&] {
        for (qint64 i = -70; i <= 70; ++i) {
            ASSERT_EQ(set.containsIndex(i), reference.count(i) == 1) << i;
            const auto above = reference.lower_bound(i);
            ASSERT_EQ(set.indexGreaterThanOrEqualToIndex(i), above == reference.end() ? DMIndexSet_64::NotFound : *above);
            const auto below = reference.upper_bound(i);
            ASSERT_EQ(set.indexLessThanOrEqualToIndex(i), below == reference.begin() ? DMIndexSet_64::NotFound : *std::prev(below));
            const qint64 inRange = std::distance(reference.lower_bound(i), reference.lower_bound(i + 5));
            ASSERT_EQ(set.countOfIndexesInRange({i, 5}), inRange) << i;
            ASSERT_EQ(set.containsIndexesInRange({i, 5}), inRange == 5) << i;
            ASSERT_EQ(set.intersectsIndexesInRange({i, 5}), inRange > 0) << i;
        }
    };
    for (int step = 1; step <= 3000; ++step) {
        const Range r{position(random), length(random)};
        if (random() % 3 == 0) {
            set.removeIndexesInRange(r);
            for (qint64 i = r.location; i < r.location + r.length; ++i)
                reference.erase(i);
        } else {
            set.addIndexesInRange(r);
            for (qint64 i = r.location; i < r.location + r.length; ++i)
                reference.insert(i);
        }
        ASSERT_EQ(set.count(), qint64(reference.size()));
        for (size_t k = 1; k < set.ranges().size(); ++k)
            ASSERT_GT(set.ranges()[k].location, set.ranges()[k - 1].last() + 1) << "ranges must stay disjoint and apart";
        if (step % 250 == 0)
            queriesAgree();
    }
    EXPECT_FALSE(set.containsIndexesInRange({0, 0}));
    EXPECT_EQ(DMIndexSet_64().firstIndex(), DMIndexSet_64::NotFound);
    EXPECT_EQ(DMIndexSet_64().lastIndex(), DMIndexSet_64::NotFound);
}

TEST(SignedIndexSet, NegativeIndexesAndRoundTrip)
{
    SignedIndexSet set;
    EXPECT_EQ(set.firstIndex(), SignedIndexSet::NotFound);
    for (int i : {3, -2, -1, 0, 7, INT_MIN, INT_MAX})
        set.addIndex(i);
    set.removeIndex(0);
    EXPECT_EQ(set.indexes(), (QList<int>{INT_MIN, -2, -1, 3, 7, INT_MAX}));
    EXPECT_EQ(set.rangeString(), "-2147483648,-2--1,3,7,2147483647");

    SignedIndexSet copy;
    ASSERT_TRUE(SignedIndexSet::fromRangeString(set.rangeString(), &copy));
    EXPECT_EQ(copy, set);

    EXPECT_FALSE(SignedIndexSet::fromRangeString(QStringLiteral("1,2147483648"), &copy));
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_FALSE(SignedIndexSet::fromRangeString(QStringLiteral("-2147483649-0"), &copy));
}
