#include "DMDictionaryAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(DictionaryAccess, NumbersAndNumericStringsAreRead)
{
    const QVariantMap d{
        {"int", 42}, {"double", 2.75}, {"negative", -3}, {"string", " 17 "}, {"real", "1.5"},
        {"bool", true}, {"yes", "YES"}, {"large", qint64(1) << 40}, {"prefix", "12abc"}, {"exponent", "2.5e2x"},
        {"word", "abc12"},
    };
    EXPECT_EQ(integerForKey(d, "prefix"), 12);
    EXPECT_DOUBLE_EQ(doubleForKey(d, "exponent"), 250.0);
    EXPECT_EQ(integerForKey(d, "word"), 0);
    EXPECT_EQ(integerForKey(d, "int"), 42);
    EXPECT_EQ(integerForKey(d, "double"), 2);
    EXPECT_EQ(integerForKey(d, "negative"), -3);
    EXPECT_EQ(integerForKey(d, "string"), 17);
    EXPECT_EQ(integerForKey(d, "real"), 1);
    EXPECT_DOUBLE_EQ(doubleForKey(d, "real"), 1.5);
    EXPECT_DOUBLE_EQ(doubleForKey(d, "int"), 42.0);
    EXPECT_EQ(longLongForKey(d, "large"), qint64(1) << 40);
    EXPECT_TRUE(boolForKey(d, "bool"));
    EXPECT_TRUE(boolForKey(d, "yes"));
    EXPECT_TRUE(boolForKey(d, "int"));
    EXPECT_TRUE(boolForKey(d, "real"));
}

TEST(DictionaryAccess, AbsentOrWronglyTypedEntriesGiveZero)
{
    const QVariantMap d{
        {"list", QVariantList{1}}, {"map", QVariantMap{{"a", 1}}}, {"text", "abc"}, {"zero", "0"},
        {"no", "NO"}, {"number", 5},
    };
    for (const char *key : {"absent", "list", "map", "text"}) {
        EXPECT_EQ(integerForKey(d, key), 0) << key;
        EXPECT_EQ(doubleForKey(d, key), 0.0) << key;
        EXPECT_FALSE(boolForKey(d, key)) << key;
    }
    EXPECT_FALSE(boolForKey(d, "zero"));
    EXPECT_FALSE(boolForKey(d, "no"));
    EXPECT_EQ(stringForKey(d, "number"), QString());
    EXPECT_EQ(stringForKey(d, "text"), "abc");
    EXPECT_TRUE(dictionaryForKey(d, "list").isEmpty());
    EXPECT_EQ(dictionaryForKey(d, "map").value("a"), 1);
    EXPECT_TRUE(arrayForKey(d, "map").isEmpty());
    EXPECT_EQ(arrayForKey(d, "list").size(), 1);
}

TEST(DictionaryAccess, OutOfRangeNumbersFromFilesAreClampedNotUndefined)
{
    const QVariantMap d{
        {"huge", 1e300}, {"tiny", -1e300}, {"nan", std::numeric_limits<double>::quiet_NaN()},
        {"nanText", "nan"}, {"infText", "inf"},
    };
    EXPECT_EQ(longLongForKey(d, "huge"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(longLongForKey(d, "tiny"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(longLongForKey(d, "nan"), 0);
    EXPECT_EQ(longLongForKey(d, "nanText"), 0);
    EXPECT_EQ(longLongForKey(d, "infText"), std::numeric_limits<qint64>::max());
    EXPECT_TRUE(std::isnan(doubleForKey(d, "nan")));
}

TEST(DictionaryAccess, SetIntegerWritesANumber)
{
    QVariantMap d;
    setIntegerForKey(d, 7, "n");
    EXPECT_EQ(d.value("n").metaType().id(), QMetaType::LongLong);
    EXPECT_EQ(integerForKey(d, "n"), 7);
}
