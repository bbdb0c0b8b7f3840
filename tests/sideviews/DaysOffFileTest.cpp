// The days-off file: what is written reads back the same, files of earlier versions read as
// they did, and damage is refused or left out.
#include "DaysOffTestSupport.h"

#include "DMDaysOffFile.h"
#include "DMPropertyList.h"

#include <QFile>

using namespace daysofftest;

namespace {

QByteArray fileWithEntries(const QByteArray &entries)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>halcyra version</key><string>2.0.3</string><key>days off</key><array>"
        + entries + "</array></dict></plist>";
}

} // namespace

TEST(DaysOffFile, RoundTripsEveryKindOfDayOffIncludingTwentyNineFebruary)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("days.xml"));
    const QVariantList entries{dayOff(yearly(2, 29), 0, QStringLiteral("Leap day")),
                               dayOff(yearly(12, 20), yearly(2, 29), QStringLiteral("Long winter")),
                               dayOff(dated(2024, 2, 29), dated(2024, 3, 4), QStringLiteral("Ferienwoche \u00e9t\u00e9")),
                               QVariantMap{{DMDaysOffEntry::kIndexKey, dated(2025, 1, 1)}}};
    ASSERT_TRUE(DMDaysOffFile::writeToFile(entries, path));

    const QVariantMap root = DMPropertyList::propertyListWithContentsOfFile(path).toMap();
    EXPECT_EQ(root.keys(), QStringList({"days off", "halcyra version"}));
    DMDaysOffFile::Contents read;
    ASSERT_TRUE(DMDaysOffFile::readFromFile(path, &read));
    EXPECT_EQ(read.entries, entries);
    EXPECT_EQ(read.skippedCount, 0);

    // The calendar built from the file knows 29 February as a day off of every leap year.
    DMWorkingCalendar calendar;
    calendar.setDaysOff(read.entries);
    EXPECT_FALSE(calendar.isWorkingDay(DMDate(2032, 2, 29, 0)));
    EXPECT_TRUE(calendar.isWorkingDay(DMDate(2032, 3, 1, 0)));
    EXPECT_EQ(DMDaysOffEntry(read.entries.at(0).toMap()).firstDate().day(), 29);
}

TEST(DaysOffFile, FilesOfEarlierVersionsReadAsBefore)
{
    // Yearly days carry a month and day only; a dated day in 2009 (the earlier placeholder year a
    // yearly day became when made dated) stays a dated day of 2009.
    DMDaysOffFile::Contents read;
    ASSERT_TRUE(DMDaysOffFile::readData(fileWithEntries(
                                            "<dict><key>kDMDayOffIndex</key><integer>11225</integer>"
                                            "<key>kDMDayOffEndIndex</key><integer>11226</integer>"
                                            "<key>kDMDayOffDescription</key><string>Christmas</string></dict>"
                                            "<dict><key>kDMDayOffIndex</key><integer>220090501</integer>"
                                            "<key>kDMDayOffEndIndex</key><integer>0</integer>"
                                            "<key>kDMDayOffDescription</key><string></string></dict>"),
                                        &read));
    ASSERT_EQ(read.entries.size(), 2);
    EXPECT_EQ(read.skippedCount, 0);
    const DMDaysOffEntry christmas(read.entries.at(0).toMap());
    EXPECT_TRUE(christmas.isYearly());
    EXPECT_EQ(christmas.lastDate().month(), 12);
    EXPECT_EQ(christmas.lastDate().day(), 26);
    DMWorkingCalendar calendar;
    calendar.setDaysOff(read.entries);
    EXPECT_FALSE(calendar.isWorkingDay(DMDate(2030, 12, 26, 0)));
    EXPECT_FALSE(calendar.isWorkingDay(DMDate(2009, 5, 1, 0)));
    EXPECT_TRUE(calendar.isWorkingDay(DMDate(2010, 5, 1, 0)));
}

TEST(DaysOffFile, FilesThatDoNotReadAreRefused)
{
    const std::pair<const char *, QByteArray> files[] = {
        {"not a property list", "days off: none"},
        {"truncated", fileWithEntries("<dict><key>kDMDayOffIndex</key><integer>2202").left(120)},
        {"root is an array", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"},
        {"no version", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>days off</key><array/></dict></plist>"},
        {"no days off", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>halcyra version</key><string>2</string></dict></plist>"},
        {"days off not an array", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>halcyra version</key>"
                                  "<string>2</string><key>days off</key><dict/></dict></plist>"},
    };
    for (const auto &[name, data] : files) {
        DMDaysOffFile::Contents read;
        read.skippedCount = -1;
        QString error;
        EXPECT_FALSE(DMDaysOffFile::readData(data, &read, &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
        EXPECT_EQ(read.skippedCount, -1) << name;
    }
}

TEST(DaysOffFile, UnsoundEntriesAreSkippedAndCounted)
{
    const std::pair<const char *, QByteArray> unsound[] = {
        {"29 February 2023", "<dict><key>kDMDayOffIndex</key><integer>220230229</integer></dict>"},
        {"month 13", "<dict><key>kDMDayOffIndex</key><integer>220241301</integer></dict>"},
        {"yearly 31 April", "<dict><key>kDMDayOffIndex</key><integer>10431</integer></dict>"},
        {"year 0", "<dict><key>kDMDayOffIndex</key><integer>200000101</integer></dict>"},
        {"week day", "<dict><key>kDMDayOffIndex</key><integer>3</integer></dict>"},
        {"no index", "<dict><key>kDMDayOffDescription</key><string>x</string></dict>"},
        {"index as text", "<dict><key>kDMDayOffIndex</key><string>220240101</string></dict>"},
        {"index as real", "<dict><key>kDMDayOffIndex</key><real>220240101</real></dict>"},
        {"index too large", "<dict><key>kDMDayOffIndex</key><integer>18446744073709551615</integer></dict>"},
        {"reversed dated range", "<dict><key>kDMDayOffIndex</key><integer>220240110</integer>"
                                 "<key>kDMDayOffEndIndex</key><integer>220240101</integer></dict>"},
        {"end of another kind", "<dict><key>kDMDayOffIndex</key><integer>220240110</integer>"
                                "<key>kDMDayOffEndIndex</key><integer>10115</integer></dict>"},
        {"end as boolean", "<dict><key>kDMDayOffIndex</key><integer>10115</integer>"
                           "<key>kDMDayOffEndIndex</key><true/></dict>"},
        {"description as number", "<dict><key>kDMDayOffIndex</key><integer>10115</integer>"
                                  "<key>kDMDayOffDescription</key><integer>7</integer></dict>"},
        {"description with a control character",
         QByteArray("<dict><key>kDMDayOffIndex</key><integer>10115</integer><key>kDMDayOffDescription</key><string>a")
             + '\0' + "b</string></dict>"},
        {"not a dictionary", "<string>1 May</string>"},
    };
    for (const auto &[name, entry] : unsound) {
        DMDaysOffFile::Contents read;
        ASSERT_TRUE(DMDaysOffFile::readData(fileWithEntries(entry), &read)) << name;
        EXPECT_TRUE(read.entries.isEmpty()) << name;
        EXPECT_EQ(read.skippedCount, 1) << name;
    }

    // Sound entries keep the three keys and nothing else.
    DMDaysOffFile::Contents read;
    ASSERT_TRUE(DMDaysOffFile::readData(fileWithEntries("<dict><key>kDMDayOffIndex</key><integer>11220</integer>"
                                                        "<key>kDMDayOffEndIndex</key><integer>10105</integer>"
                                                        "<key>color</key><string>red</string></dict>"),
                                        &read));
    EXPECT_EQ(read.entries, QVariantList({QVariantMap{{DMDaysOffEntry::kIndexKey, yearly(12, 20)},
                                                      {DMDaysOffEntry::kEndIndexKey, yearly(1, 5)}}}));
}
