// The texts and markup pieces of the reports: durations, the CSV split, the header colour, the
// completion bars and the column hiding of the template.
#include "OutputTestSupport.h"

#include "DMDurationSplit.h"
#include "DMObjectSerialization.h"
#include "DMReportDurations.h"
#include "DMReportHTML.h"

#include <cmath>

using namespace halcyra::test;

namespace {

constexpr qint64 kDay = 86400;
constexpr qint64 kHour = 3600;

struct DurationCase
{
    const char *name;
    qint64 seconds;
    qint64 span;
    const char *report;
    const char *csv;
};

const DurationCase kDurations[] = {
    {"ninety_minutes", 90 * 60, kDay, "1 H 30 min ", "0D 1H 30M 0S"},
    {"two_days", 2 * kDay, kDay, "2 days ", "2D 0H 0M 0S"},
    {"two_days_and_15_minutes", 2 * kDay + 15 * 60, kDay, "2 days 0 H 15 min ", "2D 0H 15M 0S"},
    {"25_hours_on_the_24_hour_day", 25 * kHour, kDay, "1 days 1 H ", "1D 1H 0M 0S"},
    {"25_working_hours_on_an_8_hour_day", 25 * kHour, 8 * kHour, "3 days 1 H ", "3D 1H 0M 0S"},
    {"seconds_are_dropped_from_the_report", 59, kDay, "", "0D 0H 0M 59S"},
    {"zero", 0, kDay, "", "0D 0H 0M 0S"},
    {"negative_duration_reads_empty", -2 * kHour, kDay, "", "-0D 2H 0M 0S"},
    {"empty_working_day_counts_whole_days", 25 * kHour, 0, "1 days 1 H ", "1D 1H 0M 0S"},
};

} // namespace

TEST(ReportDurations, ReportAndCSVForms)
{
    for (const DurationCase &c : kDurations) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DMReport_durationText(c.seconds, c.span), QLatin1String(c.report));
        EXPECT_EQ(DMReport_csvDurationText(c.seconds, c.span), QLatin1String(c.csv));
    }
}

TEST(ReportDurations, NegativeFloatAndTheDaySpanOfAnItem)
{
    EXPECT_EQ(DMReport_floatText(-3 * kHour, kDay), QStringLiteral("-3 H "));
    EXPECT_EQ(DMReport_floatText(3 * kHour, kDay), QStringLiteral("3 H "));

    // The day span follows the item's schedule.
    auto project = DMProject::create();
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 540}, {kDMTimeSpanEnd, 1020}});
    auto task = makeItem<DMProjectTask>(project, QStringLiteral("T"), at(2024, 1, 8, 9), at(2024, 1, 8, 17));
    EXPECT_EQ(DMDurationSplit::dayLengthForItem(*task), 8 * kHour);
    task->setUseWorkingSchedule(false);
    EXPECT_EQ(DMDurationSplit::dayLengthForItem(*task), kDay);
    task->setUseWorkingSchedule(true);
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 540}, {kDMTimeSpanEnd, 540}});
    EXPECT_EQ(DMDurationSplit::dayLengthForItem(*task), kDay);
}

TEST(ReportHTMLPieces, HeaderColourText)
{
    const auto stored = [](const QColor &colour) { return DMObjectSerialization::encode(QVariant::fromValue(colour)); };
    EXPECT_EQ(DMReport_headerColorText(stored(QColor(225, 230, 236))), QStringLiteral("#E1E6EC"));
    EXPECT_EQ(DMReport_headerColorText(stored(QColor(1, 2, 15))), QStringLiteral("#01020F"));
    EXPECT_EQ(DMReport_headerColorText(stored(Qt::black)), QStringLiteral("#000000"));
    EXPECT_EQ(DMReport_headerColorText(stored(Qt::white)), QStringLiteral("#FFFFFF"));
    // A stored value that is no colour, and no stored value at all.
    EXPECT_EQ(DMReport_headerColorText(DMObjectSerialization::encode(QStringLiteral("red"))), QStringLiteral("#E1E6EC"));
    EXPECT_EQ(DMReport_headerColorText(QVariant()), QStringLiteral("#000000"));
}

TEST(ReportHTMLPieces, CompletionBarsByThreshold)
{
    const QString none = DMReport_progressBar(0, DMReportBar::Global);
    EXPECT_TRUE(none.contains(QStringLiteral(">0%<")));
    EXPECT_FALSE(none.contains(QStringLiteral("ui-progress\"")));
    EXPECT_TRUE(DMReport_progressBar(34, DMReportBar::Global).contains(QStringLiteral("#EFD242")));
    EXPECT_TRUE(DMReport_progressBar(35, DMReportBar::Global).contains(QStringLiteral("#EDFF0C")));
    EXPECT_TRUE(DMReport_progressBar(69, DMReportBar::Global).contains(QStringLiteral("#EDFF0C")));
    const QString full = DMReport_progressBar(70, DMReportBar::Global);
    EXPECT_FALSE(full.contains(QStringLiteral("bgcolor"))) << "the template's own colour";
    EXPECT_TRUE(DMReport_progressBar(70, DMReportBar::Striped).contains(QStringLiteral("#EDFF0C")));
    EXPECT_TRUE(DMReport_progressBar(100, DMReportBar::Global).contains(QStringLiteral("width=\"100%\"")));
    // w = round(1 x 0.85 + 15) = 16: the first coloured bar; the label sits in the middle, except
    // in the grouped reports' task rows.
    EXPECT_TRUE(DMReport_progressBar(1, DMReportBar::Striped).contains(QStringLiteral("width=\"16%\" align=\"center\"")));
    EXPECT_TRUE(DMReport_progressBar(1, DMReportBar::StripedTaskRow).contains(QStringLiteral("align=\"right\"")));

    // Odd progress values give no odd percentages.
    EXPECT_EQ(DMReport_percent(0.999), 99);
    EXPECT_EQ(DMReport_percent(double(0.7f)), 70); // a float's progress keeps its whole percent
    EXPECT_EQ(DMReport_percent(double(0.29f)), 29);
    EXPECT_EQ(DMReport_percent(std::nan("")), 0);
    EXPECT_EQ(DMReport_percent(INFINITY), 0);
}


TEST(ReportHTMLPieces, HidingAColumnChangesOnlyThisPagesStyleSheet)
{
    const QString stored = DMReport_templateText();
    ASSERT_TRUE(stored.contains(QStringLiteral("<!-- ### INSERT BODY HERE ### -->")));
    ASSERT_TRUE(stored.contains(QStringLiteral(".cost1PxWide ")));
    const QString body = QStringLiteral("<p>Move the .cost item and the .completion item</p>");

    const QString hidden = DMReport_pageWithBody(stored, body, DMReportColumns{false, false});
    EXPECT_TRUE(hidden.contains(QStringLiteral(".cost100PxWide {")));
    EXPECT_TRUE(hidden.contains(QStringLiteral(".cost { width: 1px; }")));
    EXPECT_TRUE(hidden.contains(QStringLiteral(".completion { width: 1px; }")));
    EXPECT_TRUE(hidden.contains(body)) << "the inserted text is not swapped";
    EXPECT_EQ(DMReport_templateText(), stored);

    // Hiding, then showing again, gives the same page as never hiding.
    EXPECT_EQ(DMReport_pageWithBody(stored, body, DMReportColumns{}), QString(stored).replace(QStringLiteral("<!-- ### INSERT BODY HERE ### -->"), body));
}
