#include "DMDate.h"
#include "DMDateToNSDateTransformer.h"

#include <QDate>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

DMDate at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return DMDate::dateWithYearMonthDayHourMinuteSecond(year, month, day, hour, minute, second);
}

TEST(DMDate, FieldsAgreeWithQDateAcrossTheCommonEra)
{
    // QDate has no year 0, so the cross-check runs from 1 January of year 1.
    for (qint64 jd = QDate(1, 1, 1).toJulianDay(); jd < QDate(9999, 12, 31).toJulianDay(); jd += 97) {
        const DMDate date = DMDate::dateWithJulianDay(jd, 0);
        const QDate reference = QDate::fromJulianDay(jd);
        ASSERT_EQ(date.year(), reference.year()) << jd;
        ASSERT_EQ(date.month(), reference.month()) << jd;
        ASSERT_EQ(date.day(), reference.day()) << jd;
        ASSERT_EQ(date.dayOfWeek(), reference.dayOfWeek() % 7) << jd;
        ASSERT_EQ(DMDate(date.year(), date.month(), date.day(), 0).julianDay(), jd);
    }
    EXPECT_EQ(at(2000, 1, 1).julianDay(), 2451545);
    EXPECT_EQ(at(2000, 1, 1).dayOfWeek(), 6); // a Saturday
}

TEST(DMDate, OutOfRangePartsCarryOver)
{
    EXPECT_EQ(DMDate(2023, 13, 1, 0), at(2024, 1, 1));
    EXPECT_EQ(DMDate(2024, 3, 0, 0), at(2024, 2, 29));
    EXPECT_EQ(DMDate(2024, 1, 1, 86400), at(2024, 1, 2));
    EXPECT_EQ(DMDate(2024, 1, 1, -1), at(2023, 12, 31, 23, 59, 59));
    EXPECT_EQ(DMDate(2024, -1, 1, 0), at(2023, 11, 1));
    EXPECT_EQ(at(2024, 1, 1, 25, 0, 0), at(2024, 1, 2, 1));
}

TEST(DMDate, YearsBeforeOneAndAbsurdDaysNeitherCrashNorOverflow)
{
    const DMDate dayZero = DMDate::dateWithJulianDay(0, 0);
    EXPECT_EQ(dayZero.year(), -4713);
    EXPECT_EQ(dayZero.month(), 11);
    EXPECT_EQ(dayZero.day(), 24);
    EXPECT_EQ(dayZero.dayOfWeek(), 1);
    EXPECT_EQ(DMDate(0, 2, 29, 0).day(), 29); // year 0 is a leap year
    EXPECT_EQ(DMDate(-1, 12, 31, 0).dateByAddingSeconds(86400), DMDate(0, 1, 1, 0));

    EXPECT_TRUE(DMDate::dateWithJulianDay(INT64_MAX, 0).isNull());
    EXPECT_TRUE(DMDate::dateWithJulianDay(INT64_MIN + 5, 0).isNull());
    EXPECT_TRUE(DMDate::dateWithAbsoluteSecond(INT64_MIN).isNull());
    EXPECT_TRUE(DMDate::dateWithAbsoluteSecond(INT64_MAX).isNull());
    EXPECT_TRUE(DMDate(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX).isNull());
    EXPECT_TRUE(at(2024, 1, 1).dateByAddingSeconds(INT64_MAX).isNull());
    EXPECT_TRUE(at(2024, 1, 1).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, 0, 0, 0, INT64_MIN).isNull());
    EXPECT_TRUE(at(2024, 1, 1).dateByAddingYearsMonthsDaysHoursMinutesSeconds(INT32_MAX, INT32_MAX, 0, 0, 0, 0).isNull());
    EXPECT_FALSE(DMDate::dateWithJulianDay(DMDate::kMaxJulianDay, 86399).isNull());
    EXPECT_TRUE(DMDate::dateWithJulianDay(DMDate::kMaxJulianDay, 86400).isNull());
    EXPECT_EQ(DMDate().absoluteSecond(), 0);
}

TEST(DMDate, CompareOrdersByDayThenSecond)
{
    const DMDate a = at(2024, 5, 1, 10);
    EXPECT_EQ(a.compare(at(2024, 5, 1, 11)), -1);
    EXPECT_EQ(a.compare(at(2024, 4, 30, 23)), 1);
    EXPECT_EQ(a.compare(at(2024, 5, 1, 10)), 0);
    EXPECT_LT(DMDate(), a); // the null date sorts first
}

TEST(DMDate, CalendarAdditionClampsAtMonthEnds)
{
    EXPECT_EQ(at(2024, 1, 31).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 1, 0, 0, 0, 0), at(2024, 2, 29));
    EXPECT_EQ(at(2023, 1, 31).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 1, 0, 0, 0, 0), at(2023, 2, 28));
    EXPECT_EQ(at(2024, 3, 31).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, -1, 0, 0, 0, 0), at(2024, 2, 29));
    EXPECT_EQ(at(2024, 2, 29).dateByAddingYearsMonthsDaysHoursMinutesSeconds(1, 0, 0, 0, 0, 0), at(2025, 2, 28));
    EXPECT_EQ(at(2024, 2, 29).dateByAddingYearsMonthsDaysHoursMinutesSeconds(4, 0, 0, 0, 0, 0), at(2028, 2, 29));
    EXPECT_EQ(at(2100, 1, 29).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 1, 0, 0, 0, 0), at(2100, 2, 28));
    EXPECT_EQ(at(2024, 1, 15).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, -13, 0, 0, 0, 0), at(2022, 12, 15));
    // Months first, then days: 31 January + 1 month + 1 day is 1 March, not 2 or 3 March.
    EXPECT_EQ(at(2023, 1, 31).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 1, 1, 0, 0, 0), at(2023, 3, 1));
}

TEST(DMDate, CalendarAdditionCarriesTimeParts)
{
    const DMDate evening = at(2023, 12, 31, 23, 30);
    EXPECT_EQ(evening.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, 0, 0, 45, 0), at(2024, 1, 1, 0, 15));
    EXPECT_EQ(evening.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, -1, -24, 0, 0), at(2023, 12, 29, 23, 30));
    EXPECT_EQ(at(2024, 3, 1).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, 0, 0, 0, -1), at(2024, 2, 29, 23, 59, 59));
    EXPECT_TRUE(DMDate().dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, 1, 0, 0, 0).isNull());
}

TEST(DMDate, IntervalInDaysAndSecondsIsSignedBothWays)
{
    const DMDate a = at(2024, 3, 1, 12);
    const DMDate b = at(2024, 3, 3, 6);
    qint64 days = 0, seconds = 0;
    a.getIntervalToDateDaysSeconds(b, &days, &seconds);
    EXPECT_EQ(days, 1);
    EXPECT_EQ(seconds, 64800);
    b.getIntervalToDateDaysSeconds(a, &days, &seconds);
    EXPECT_EQ(days, -1);
    EXPECT_EQ(seconds, -64800);
    a.getIntervalToDateDaysSeconds(a, &days, nullptr);
    EXPECT_EQ(days, 0);
}

TEST(DMDate, PartOfDaysTrimsToTheDayWindow)
{
    const int begin = 8 * 3600, end = 18 * 3600;
    double part = 0;
    // Monday 13:00 is half-way through the window, Wednesday 10:00 a fifth of the way.
    at(2024, 3, 4, 13).getIntervalToDatePartOfDaysByTrimmingDaysTo(at(2024, 3, 6, 10), &part, begin, end);
    EXPECT_DOUBLE_EQ(part, 1.7);
    at(2024, 3, 6, 10).getIntervalToDatePartOfDaysByTrimmingDaysTo(at(2024, 3, 4, 13), &part, begin, end);
    EXPECT_DOUBLE_EQ(part, -1.7);
    // Times before the window count as its begin, times after it as its end.
    at(2024, 3, 4, 6).getIntervalToDatePartOfDaysByTrimmingDaysTo(at(2024, 3, 4, 20), &part, begin, end);
    EXPECT_DOUBLE_EQ(part, 1.0);
    at(2024, 3, 4, 20).getIntervalToDatePartOfDaysByTrimmingDaysTo(at(2024, 3, 5, 7), &part, begin, end);
    EXPECT_DOUBLE_EQ(part, 0.0);
    // A window without length gives whole days only.
    at(2024, 3, 4, 13).getIntervalToDatePartOfDaysByTrimmingDaysTo(at(2024, 3, 6, 10), &part, end, end);
    EXPECT_DOUBLE_EQ(part, 2.0);
    at(2024, 3, 6, 10).getIntervalToDatePartOfDaysByTrimmingDaysTo(at(2024, 3, 4, 13), &part, end, begin);
    EXPECT_DOUBLE_EQ(part, -2.0);
}

TEST(DMDate, DictionaryRepresentationRoundTripsAndRejectsDamage)
{
    const DMDate date = at(-44, 3, 15, 11, 30, 5);
    EXPECT_EQ(DMDate::dateWithDictionaryRepresentation(date.dictionaryRepresentation()), date);
    EXPECT_TRUE(DMDate().dictionaryRepresentation().isEmpty());
    EXPECT_TRUE(DMDate::dateWithDictionaryRepresentation(QVariantMap()).isNull());

    QVariantMap fromText{{"julianDay", "2451545"}, {"secondOfDay", 3600.0}};
    EXPECT_EQ(DMDate::dateWithDictionaryRepresentation(fromText), at(2000, 1, 1, 1));

    const QVariantMap damaged[] = {
        {{"julianDay", 2451545}},
        {{"julianDay", 2451545.5}, {"secondOfDay", 0}},
        {{"julianDay", "soon"}, {"secondOfDay", 0}},
        {{"julianDay", QVariantList{1}}, {"secondOfDay", 0}},
        {{"julianDay", 2451545}, {"secondOfDay", 86400}},
        {{"julianDay", 2451545}, {"secondOfDay", -1}},
        {{"julianDay", qint64(1) << 60}, {"secondOfDay", 0}},
        {{"julianDay", 1e300}, {"secondOfDay", 0}},
        {{"julianDay", qulonglong(UINT64_MAX)}, {"secondOfDay", 0}},
    };
    for (const QVariantMap &dictionary : damaged)
        EXPECT_TRUE(DMDate::dateWithDictionaryRepresentation(dictionary).isNull()) << dictionary.firstKey().toStdString();
    EXPECT_TRUE(DMDate::dateWithDictionaryRepresentation(QVariant("2000-01-01")).isNull());
}

TEST(DMDate, StoredInAVariantComparesByValue)
{
    const QVariant a = QVariant::fromValue(at(2024, 6, 1, 9));
    EXPECT_EQ(a, QVariant::fromValue(at(2024, 6, 1, 9)));
    EXPECT_NE(a, QVariant::fromValue(at(2024, 6, 1, 10)));
    EXPECT_EQ(a.value<DMDate>().hour(), 9);
}

TEST(DMDate, PlatformDateKeepsWallClockFields)
{
    const QByteArray savedZone = qgetenv("TZ");
    // 02:30 on 10 March 2024 does not exist in New York: the clocks jump from 02:00 to 03:00.
    qputenv("TZ", "America/New_York");
    tzset();
    for (const DMDate &date : {at(2024, 3, 10, 2, 30), at(2024, 11, 3, 1, 30), at(2024, 7, 4, 23, 59, 59), at(1, 1, 1)}) {
        const QDateTime converted = date.NSDate();
        EXPECT_TRUE(converted.isValid()) << date.description().toStdString();
        EXPECT_EQ(converted.date(), QDate(date.year(), date.month(), date.day()));
        EXPECT_EQ(converted.time(), QTime(date.hour(), date.minute(), date.second()));
        EXPECT_EQ(DMDate::dateWithNSDate(converted), date) << date.description().toStdString();
    }
    if (savedZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedZone);
    tzset();

    EXPECT_EQ(DMDate::dateWithNSDate(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC)), at(2024, 1, 2, 3, 4, 5));
    EXPECT_TRUE(DMDate::dateWithNSDate(QDateTime()).isNull());
    EXPECT_FALSE(DMDate().NSDate().isValid());
    const DMDate now = DMDate::dateForNow();
    EXPECT_LE(std::abs(now.julianDay() - QDate::currentDate().toJulianDay()), 1);
}

TEST(DMDate, TransformerIsRegisteredAndReversible)
{
    DMDateToNSDateTransformer::registerTransformer();
    const auto transformer = DMValueTransformer::valueTransformerForName("DMDateToNSDateTransformer");
    ASSERT_TRUE(transformer);
    EXPECT_TRUE(transformer->allowsReverseTransformation());
    const DMDate date = at(2024, 2, 29, 17, 45);
    const QVariant platform = transformer->transformedValue(QVariant::fromValue(date));
    ASSERT_EQ(platform.metaType().id(), QMetaType::QDateTime);
    EXPECT_EQ(platform.toDateTime().time(), QTime(17, 45));
    EXPECT_EQ(transformer->reverseTransformedValue(platform).value<DMDate>(), date);
    EXPECT_FALSE(transformer->transformedValue(QVariant(12)).isValid());
    EXPECT_FALSE(transformer->transformedValue(QVariant::fromValue(DMDate())).isValid());
    EXPECT_FALSE(transformer->reverseTransformedValue(QVariant(QDateTime())).isValid());
    EXPECT_EQ(date.description(), "2024-02-29 17:45:00");

    DMValueTransformer::registerValueTransformer("DMDateToNSDateTransformer", nullptr);
    EXPECT_FALSE(DMValueTransformer::valueTransformerForName("DMDateToNSDateTransformer"));
    DMDateToNSDateTransformer::registerTransformer();
}

} // namespace
