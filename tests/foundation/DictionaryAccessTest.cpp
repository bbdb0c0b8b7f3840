#include "DMDictionaryAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(DictionaryAccess, NumbersAndNumericStringsAreReadAnythingElseIsZero)
{
    const QVariantMap d{
        {"int", 42}, {"double", 2.75}, {"negative", -3}, {"string", " 17 "}, {"real", "1.5"}, {"yes", "YES"},
        {"prefix", "12abc"}, {"exponent", "2.5e2x"}, {"word", "abc12"}, {"zero", "0"}, {"no", "NO"},
        {"list", QVariantList{1}}, {"map", QVariantMap{{"a", 1}}},
    };
    const std::tuple<const char *, int, double, bool> cases[] = { // key, integer, double, bool
        {"int", 42, 42.0, true}, {"double", 2, 2.75, true}, {"negative", -3, -3.0, true},
        {"string", 17, 17.0, true}, {"real", 1, 1.5, true}, {"yes", 0, 0.0, true}, {"prefix", 12, 12.0, true},
        {"exponent", 250, 250.0, true}, {"word", 0, 0.0, false}, {"zero", 0, 0.0, false}, {"no", 0, 0.0, false},
        {"list", 0, 0.0, false}, {"map", 0, 0.0, false}, {"absent", 0, 0.0, false},
    };
    for (const auto &[key, integer, real, boolean] : cases) {
        EXPECT_EQ(integerForKey(d, key), integer) << key;
        EXPECT_DOUBLE_EQ(doubleForKey(d, key), real) << key;
        EXPECT_EQ(boolForKey(d, key), boolean) << key;
    }
    EXPECT_EQ(stringForKey(d, "int"), QString());
    EXPECT_EQ(stringForKey(d, "word"), "abc12");
    EXPECT_TRUE(dictionaryForKey(d, "list").isEmpty());
    EXPECT_EQ(dictionaryForKey(d, "map").value("a"), 1);
    EXPECT_TRUE(arrayForKey(d, "map").isEmpty());
    EXPECT_EQ(arrayForKey(d, "list").size(), 1);
}

TEST(DictionaryAccess, OutOfRangeNumbersFromFilesAreClampedNotUndefined)
{
    const QVariantMap d{
        {"large", qint64(1) << 40}, {"huge", 1e300}, {"tiny", -1e300},
        {"nan", std::numeric_limits<double>::quiet_NaN()}, {"nanText", "nan"}, {"infText", "inf"},
    };
    EXPECT_EQ(longLongForKey(d, "large"), qint64(1) << 40);
    EXPECT_EQ(longLongForKey(d, "huge"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(longLongForKey(d, "tiny"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(longLongForKey(d, "nan"), 0);
    EXPECT_EQ(longLongForKey(d, "nanText"), 0);
    EXPECT_EQ(longLongForKey(d, "infText"), std::numeric_limits<qint64>::max());
    EXPECT_TRUE(std::isnan(doubleForKey(d, "nan")));

    QVariantMap written;
    setIntegerForKey(written, 7, "n");
    EXPECT_EQ(written.value("n").metaType().id(), QMetaType::LongLong);
}
