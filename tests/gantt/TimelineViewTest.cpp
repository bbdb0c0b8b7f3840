// The timeline header's geometry, hour labels and layout, against a scripted data source.

#include "DMTimelineView.h"
#include "DMTimelineViewDataSource.h"
#include "OCVColumnGroup.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

// Columns of a fixed width, all in view from x = 0; groups of a fixed length.
class ScriptedDataSource : public DMTimelineView_DataSource
{
public:
    int mode = 2;
    int total = 30;
    int first = 0;
    int last = 29;
    float width = 20.0f;
    int selected = -1;
    int beginMinute = 0;
    int weekLength = 7;
    bool badGroups = false; // every column answers a group that ends before it

    int modeForTimeLineView(DMTimelineView *) override { return mode; }
    void timeLineViewTotalColumnsGetMinColumnMinColumnMinXMaxColumnMaxColumnMaxX(DMTimelineView *, int *t, int *mn,
                                                                               double *mnx, int *mx, double *mxx) override
    {
        *t = total;
        *mn = first;
        *mnx = first * width;
        *mx = last;
        *mxx = (last + 1) * width;
    }
    int timeLineViewGetSelectedColumn(DMTimelineView *) override { return selected; }
    float columnWidthForTimeLineView(DMTimelineView *) override { return width; }
    QString timeLineViewTitleForColumn(DMTimelineView *, int column) override { return QString::number(column + 1); }
    void timeLineViewBeginMinuteForDayViewEndMinute(DMTimelineView *, int *b, int *e) override
    {
        *b = beginMinute;
        *e = 1440;
    }
    std::shared_ptr<OCVColumnGroup> timeLineViewWeekGroupForColumn(DMTimelineView *, int column) override
    {
        if (badGroups)
            return std::make_shared<OCVColumnGroup>(QStringLiteral("W"), 0, 0);
        const int begin = column / weekLength * weekLength;
        return std::make_shared<OCVColumnGroup>(QStringLiteral("Week %1").arg(column / weekLength + 1), begin,
                                                std::min(total - 1, begin + weekLength - 1));
    }
    std::shared_ptr<OCVColumnGroup> timeLineViewMonthGroupForColumn(DMTimelineView *, int column) override
    {
        if (column % 10 == 9)
            return nullptr; // a hole in the groups
        return std::make_shared<OCVColumnGroup>(QStringLiteral("Mar 2024"), column, column);
    }
};

class TimelineView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        rebuildHourNames();
        view.resize(600, 57);
        view.setDataSource(&source);
    }
    void TearDown() override { view.setDataSource(nullptr); }

    ScriptedDataSource source;
    DMTimelineView view;
};

} // namespace

TEST(TimelineGeometry, BandsStackUpwardsAndConvertOnceToQt)
{
    const QRectF bounds(0, 0, 600, 57);
    for (const auto band : {DMTimelineView::ColumnBand, DMTimelineView::WeekBand, DMTimelineView::MonthBand})
        EXPECT_EQ(DMTimelineView::bandRect(band, bounds), QRectF(0, 19 * int(band), 600, 19)) << band;
    // In Qt's coordinates the month band is on top and the columns at the bottom.
    EXPECT_EQ(DMTimelineView::toQtRect(QRectF(0, 38, 600, 19), 57), QRectF(0, 0, 600, 19));
    EXPECT_EQ(DMTimelineView::toQtRect(QRectF(0, 0, 600, 19), 57), QRectF(0, 38, 600, 19));
    EXPECT_EQ(DMTimelineView::fromQtPoint(QPointF(5, 50), 57), QPointF(5, 7));

    const std::pair<QPointF, DMTimelineView::Band> points[] = {
        {{10, 0}, DMTimelineView::ColumnBand}, {{10, 19}, DMTimelineView::WeekBand},
        {{10, 56.9}, DMTimelineView::MonthBand}, {{10, 57}, DMTimelineView::NoBand}, {{-1, 5}, DMTimelineView::NoBand}};
    for (const auto &[point, band] : points)
        EXPECT_EQ(DMTimelineView::bandAtPoint(point, bounds), band) << point.y();
}

TEST(TimelineGeometry, CellsAndGroupsSnapToWholePoints)
{
    const QRectF bounds(0, 0, 600, 57);
    // nearest(12.4) = 12 to nearest(12.4 + 7.3) = 20.
    EXPECT_EQ(DMTimelineView::cellRect(12.4, 7.3, bounds), QRectF(12, 0, 8, 19));
    EXPECT_EQ(DMTimelineView::cellRect(12.5, 7.0, bounds), QRectF(13, 0, 7, 19)); // halves round away from zero
    EXPECT_EQ(DMTimelineView::groupRect(DMTimelineView::WeekBand, 10.2, 80.4, bounds), QRectF(10, 19, 70, 19));
    // The month image reaches 0.33 further: nearest(80.2 + 0.33) = 81.
    EXPECT_EQ(DMTimelineView::groupRect(DMTimelineView::MonthBand, 10.2, 80.2, bounds), QRectF(10, 38, 71, 19));
    // Text: x = trunc(10 + (20 - 7) / 2) = 16, y = trunc(19 + (19 - 12) / 2) = 22.
    EXPECT_EQ(DMTimelineView::centredTextRect(DMTimelineView::WeekBand, 10, 20, QSizeF(7, 12), bounds),
              QRectF(16, 22, 7, 12));
    EXPECT_EQ(DMTimelineView::centredTextRect(DMTimelineView::ColumnBand, 0, 20, QSizeF(7, 12), bounds),
              QRectF(6, 3, 7, 12));
}

TEST(TimelineHourLabels, ShortTimeFormatsReduceToHourAndMarker)
{
    // Quoted text is dropped; with no hour left the 24-hour "H" stays.
    const std::pair<QString, QString> patterns[] = {{"h:mm a", "h a"}, {"HH:mm", "HH"}, {"HH'h'mm", "HH"},
                                                    {"a h:mm", "ah"},  {"mm:ss", "H"},  {"", "H"}};
    for (const auto &[pattern, format] : patterns)
        EXPECT_EQ(DMTimelineView_hourFormatFromTimePattern(pattern), format) << pattern.toStdString();
    // Qt formats: h is a 12-hour clock only beside AM/PM.
    EXPECT_EQ(DMTimelineView_hourFormatFromQtTimeFormat("h:mm AP"), "h a");
    EXPECT_EQ(DMTimelineView_hourFormatFromQtTimeFormat("HH:mm"), "HH");
    EXPECT_EQ(DMTimelineView_hourFormatFromQtTimeFormat("h:mm"), "H");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const std::tuple<QString, int, QString> hours[] = {{"h a", 9, "9"},   {"h a", 15, "3 PM"}, {"h a", 0, "12"},
                                                       {"HH", 9, "09"},   {"HH", 24, "00"},    {"k", 0, "24"}};
    for (const auto &[format, hour, text] : hours)
        EXPECT_EQ(DMTimelineView_formatHour(format, hour, english), text) << format.toStdString() << " " << hour;

    QLocale::setDefault(english);
    rebuildHourNames();
    const QStringList &names = DMTimelineView_hourNames();
    ASSERT_EQ(names.size(), 25);
    EXPECT_EQ(names.at(9), "9");
    EXPECT_EQ(names.at(15), "3 PM");
}

TEST(TimelineHourLabels, DensityFollowsTheQuarterHourWidth)
{
    // Every hour at 10, every second hour at 5, ..., none below 1.33.
    for (const auto &[width, step] : {std::pair{10.0, 4}, {5.0, 8}, {3.0, 16}, {1.5, 24}, {1.2, 0}})
        EXPECT_EQ(DMTimelineView::hourLabelStep(width), step) << width;

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    rebuildHourNames();
    auto labelled = [](double width) {
        QList<int> columns;
        for (int i = 0; i <= 40; ++i) // 8:00 to 18:00
            if (!DMTimelineView::hourLabelForColumn(i, 40, 480, width).isEmpty())
                columns.append(i);
        return columns;
    };
    EXPECT_EQ(labelled(10), (QList<int>{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40}));
    EXPECT_EQ(labelled(5), (QList<int>{0, 8, 16, 24, 32, 40}));
    EXPECT_EQ(labelled(1.2), QList<int>{});
    EXPECT_EQ(DMTimelineView::hourLabelForColumn(4, 40, 480, 10), "9");
    EXPECT_EQ(DMTimelineView::hourLabelForColumn(41, 40, 480, 10), QString()); // past the last column
}

TEST_F(TimelineView, DayScaleDrawsOneColumnMoreAndHidesLabelsWiderThanTheirColumn)
{
    std::tie(source.mode, source.total, source.last, source.beginMinute, source.width) = std::tuple(0, 40, 39, 480, 10.0f);
    DMTimelineView::Layout layout = view.layout();
    ASSERT_EQ(layout.cells.size(), 41);
    EXPECT_EQ(layout.cells.last().rect, QRectF(400, 0, 10, 19));
    // "9" fits in 10 points; "3 PM" (column 28) does not.
    EXPECT_EQ(layout.cells.at(4).label, "9");
    EXPECT_TRUE(layout.cells.at(28).label.isEmpty());
    EXPECT_TRUE(layout.cells.at(5).label.isEmpty());

    source.width = 30;
    layout = view.layout();
    EXPECT_EQ(layout.cells.at(28).label, "3 PM");
    const QRectF label = layout.cells.at(28).labelRect;
    EXPECT_EQ(label.x(), std::trunc(28 * 30 + (30 - label.width()) / 2));
    EXPECT_EQ(label.y(), std::trunc((19 - label.height()) / 2));
}

TEST_F(TimelineView, OnlyColumnsInViewAreLaidOutUnlessPrinting)
{
    std::tie(source.first, source.last) = std::pair(10, 14);
    DMTimelineView::Layout layout = view.layout();
    ASSERT_EQ(layout.cells.size(), 5);
    EXPECT_EQ(layout.cells.first().column, 10);
    EXPECT_EQ(layout.cells.first().rect.x(), 200);

    view.setPrinting(true);
    layout = view.layout();
    ASSERT_EQ(layout.cells.size(), 30);
    EXPECT_EQ(layout.cells.first().rect.x(), 0);
    EXPECT_EQ(layout.cells.last().rect.x(), 580);

    view.setPrinting(false);
    std::tie(source.first, source.last) = std::pair(5, 4);
    EXPECT_TRUE(view.layout().cells.isEmpty());
}

TEST_F(TimelineView, GroupsSpanTheirColumnsFromWhereverTheWalkStarts)
{
    // From column 10, inside the second week (columns 7 to 13), with column 12 selected.
    std::tie(source.first, source.last, source.selected) = std::tuple(10, 29, 12);
    const DMTimelineView::Layout layout = view.layout();
    QList<DMTimelineView::Group> weeks;
    for (const auto &group : layout.groups)
        if (group.band == DMTimelineView::WeekBand)
            weeks.append(group);
    ASSERT_EQ(weeks.size(), 4);
    EXPECT_EQ(weeks.at(0).rect, QRectF(140, 19, 140, 19)); // reaches back to column 7
    EXPECT_TRUE(weeks.at(0).selected);
    EXPECT_FALSE(weeks.at(1).selected);
    EXPECT_EQ(weeks.at(3).rect, QRectF(560, 19, 40, 19)); // columns 28 and 29
    EXPECT_FALSE(weeks.at(0).bold);                        // 30 columns: not the week scale
    EXPECT_TRUE(layout.cells.at(2).selected);

    // Month groups: one per column, none for the holes at columns 19 and 29; bold with 30 columns.
    int months = 0;
    for (const auto &group : layout.groups)
        if (group.band == DMTimelineView::MonthBand) {
            ++months;
            EXPECT_TRUE(group.bold);
            EXPECT_EQ(group.rect.width(), 20); // nearest(x + 20.33) - x
        }
    EXPECT_EQ(months, 18);

    // Seven columns: the week scale, where the week titles are bold and the month titles not.
    std::tie(source.first, source.total, source.last, source.width) = std::tuple(0, 7, 6, 80.0f);
    for (const auto &group : view.layout().groups)
        EXPECT_EQ(group.bold, group.band == DMTimelineView::WeekBand) << group.band;
}

TEST_F(TimelineView, AGroupEndingBeforeItsColumnDoesNotStopTheWalk)
{
    source.badGroups = true;
    const auto groups = view.layout().groups;
    EXPECT_EQ(std::count_if(groups.begin(), groups.end(), [](const auto &g) { return g.band == DMTimelineView::WeekBand; }), 30);
}
