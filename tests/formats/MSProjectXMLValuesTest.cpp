// The value forms of MS Project XML: dates, durations, times of day and lenient numbers.
#include "DMMSProjectXMLValues.h"

#include <gtest/gtest.h>

namespace {

TEST(MSProjectXMLValues, DatesReadOnlyInTheirOwnShapeAndRange)
{
    EXPECT_EQ(DMDate_dateWithMSProjectFormat(u"2003-01-07T08:00:00"), DMDate(2003, 1, 7, 8 * 3600));
    EXPECT_EQ(DMDate_dateWithMSProjectFormat(u" 2024-02-29T23:59:59\n"), DMDate(2024, 2, 29, 86399));
    EXPECT_EQ(DMDate_dateWithMSProjectFormat(u"2018-10-18T14:33:00.000"), DMDate(2018, 10, 18, 14 * 3600 + 33 * 60));
    // Out of range fields are errors, never dates carried into the next month or day.
    for (const char16_t *text : {u"2003-13-01T08:00:00", u"2003-01-32T08:00:00", u"2023-02-29T08:00:00",
                                 u"2003-01-07T25:00:00", u"2003-01-07T24:00:00", u"2003-01-07T08:60:00",
                                 u"2003-00-07T08:00:00", u"2003-01-07", u"2003-01-07T08:00", u"2003-01-07T08:00:00T",
                                 u"2003-1a-07T08:00:00", u"-2003-01-07T08:00:00", u"2003-01-07 08:00:00", u""})
        EXPECT_TRUE(DMDate_dateWithMSProjectFormat(text).isNull()) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(DMDate_MSProjectFormatString(DMDate(2006, 9, 5, 7 * 3600 + 3 * 60 + 9)), QStringLiteral("2006-09-05T07:03:09"));
}

struct Span
{
    int years, months, days, hours, minutes, seconds;
    bool operator==(const Span &) const = default;
};

TEST(MSProjectXMLValues, DurationsReadAsTheFormatSays)
{
    const struct
    {
        const char16_t *text;
        Span span;
    } rows[] = {
        {u"PT16H0M0S", {0, 0, 0, 16, 0, 0}},
        {u"PT0H30M0S", {0, 0, 0, 0, 30, 0}},
        {u"PT7H30M0S", {0, 0, 0, 7, 30, 0}},
        {u"PT0.5H", {0, 0, 0, 0, 30, 0}}, // half an hour, never five
        {u"PT1.25H0M0S", {0, 0, 0, 1, 15, 0}},
        {u"PT0H0.5M0S", {0, 0, 0, 0, 0, 30}},
        {u"PT400H0M0S", {0, 0, 0, 400, 0, 0}},
        {u"P1Y2M3DT4H5M6S", {1, 2, 3, 4, 5, 6}},
        {u"P1.5D", {0, 0, 1, 12, 0, 0}},
        {u"P0.5Y", {0, 6, 0, 0, 0, 0}},
        {u"P2W", {0, 0, 14, 0, 0, 0}},
        {u"pt8h", {0, 0, 0, 8, 0, 0}},
        {u"PT90M", {0, 0, 0, 1, 30, 0}},
    };
    for (const auto &row : rows) {
        Span span{};
        EXPECT_TRUE(MSXMLTimeSpanReader(row.text, &span.years, &span.months, &span.days, &span.hours, &span.minutes,
                                        &span.seconds))
            << QString::fromUtf16(row.text).toStdString();
        EXPECT_EQ(span, row.span) << QString::fromUtf16(row.text).toStdString();
    }
    for (const char16_t *text : {u"", u"T8H", u"P", u"PT", u"PT8", u"PT8X", u"-PT8H", u"PT8H9", u"P1H", u"PTT8H",
                                 u"PT1.2.3H", u"PT99999999999H", u"0.5"}) {
        int hours = 7;
        EXPECT_FALSE(MSXMLTimeSpanReader(text, nullptr, nullptr, nullptr, &hours, nullptr, nullptr))
            << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(hours, 0);
    }
    EXPECT_EQ(MSXMLDurationString(36000), QStringLiteral("PT10H0M0S"));
    EXPECT_EQ(MSXMLDurationString(5430), QStringLiteral("PT1H30M30S"));
}

TEST(MSProjectXMLValues, TimesOfDayAndLenientNumbers)
{
    EXPECT_EQ(MSXMLTimeFormatToSecondOfDay(u"08:00:00"), 28800);
    EXPECT_EQ(MSXMLTimeFormatToSecondOfDay(u"13:30"), 48600);
    EXPECT_EQ(MSXMLTimeFormatToSecondOfDay(u"24:00:00"), 86400);
    EXPECT_EQ(MSXMLTimeFormatToSecondOfDay(u""), 0);
    for (const char16_t *text : {u"25:00:00", u"10:61:00", u"24:00:01", u"8h", u"1:2:3:4", u"-1:00:00"})
        EXPECT_EQ(MSXMLTimeFormatToSecondOfDay(text), -1) << QString::fromUtf16(text).toStdString();

    EXPECT_EQ(MSXMLLenientInteger(u" 42abc"), 42);
    EXPECT_EQ(MSXMLLenientInteger(u"-7"), -7);
    EXPECT_EQ(MSXMLLenientInteger(u"0.5"), 0);
    EXPECT_EQ(MSXMLLenientInteger(u"x1"), 0);
    EXPECT_EQ(MSXMLLenientInteger(u"99999999999999"), INT_MAX);
    EXPECT_DOUBLE_EQ(MSXMLLenientDouble(u"12.5 units"), 12.5);
    EXPECT_DOUBLE_EQ(MSXMLLenientDouble(u"1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(MSXMLLenientDouble(u"-.25"), -0.25);
    EXPECT_DOUBLE_EQ(MSXMLLenientDouble(u"abc"), 0.0);
    EXPECT_DOUBLE_EQ(MSXMLLenientDouble(u"1e999"), 0.0);
}

} // namespace
