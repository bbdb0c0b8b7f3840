// The timeline header's geometry and hour labels.

#include "DMTimelineView.h"

#include <QLocale>

#include <gtest/gtest.h>

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
