// The fills of the Gantt background as numbers: which columns and rows meet a rectangle, where
// the separators go, and tables that are empty, negative or without a column width.
#include "DMProjectViewBackgroundGeometry.h"
#include "DMProjectViewBackgroundObjectAttributes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const QColor kStroke(0, 0, 0);
const QColor kWork(220, 235, 255);
const QColor kOff(200, 200, 200);
using Rects = std::vector<QRectF>;

struct Recorder : DMProjectViewBackgroundGeometry::Sink
{
    std::vector<std::pair<QRectF, QColor>> fills;
    void fill(const QRectF &rect, const QColor &color) override { fills.push_back({rect, color}); }
    Rects withColor(const QColor &color) const
    {
        Rects out;
        for (const auto &[rect, c] : fills)
            if (c == color)
                out.push_back(rect);
        return out;
    }
};

Recorder fillsOf(const DMProjectViewBackgroundObjectAttributes &t, const QRectF &rect,
                 const QRectF &frame = QRectF(0, 0, 400, 400))
{
    Recorder r;
    DMProjectViewBackgroundGeometry::visitFills(t, frame, rect, kStroke, r);
    return r;
}

// Columns of the given width and colours (an invalid colour leaves a column uncoloured); no rows.
DMProjectViewBackgroundObjectAttributes columns(float width, std::initializer_list<QColor> colours)
{
    DMProjectViewBackgroundObjectAttributes t(qint32(colours.size()), 0);
    t.setColumnWidth(width);
    int i = 0;
    for (const QColor &colour : colours)
        t.setColumnBgColor(i++, colour);
    return t;
}

// Five columns of 20: three working days, one day off, one without colour.
DMProjectViewBackgroundObjectAttributes week()
{
    return columns(20, {kWork, kWork, kWork, kOff, QColor()});
}

DMProjectViewBackgroundObjectAttributes rows(std::initializer_list<float> heights)
{
    DMProjectViewBackgroundObjectAttributes t(0, qint32(heights.size()));
    int i = 0;
    for (float height : heights)
        t.setRowHeight(i++, height);
    return t;
}

} // namespace

TEST(BackgroundGridTable, OutOfRangeIndicesAndBadHeightsAreHarmless)
{
    DMProjectViewBackgroundObjectAttributes t(-3, 2);
    EXPECT_EQ(t.columns(), 0);
    t.setColumnBgColor(0, kWork);
    EXPECT_FALSE(t.columnBgColor(0).isValid());
    t.setRowHeight(2, 10);
    t.setRowHeight(-1, 10);
    // Negative and not-a-number heights count as 0, so the tops never go back up.
    t.setRowHeight(0, -15);
    t.setRowHeight(1, std::nanf(""));
    EXPECT_EQ(t.totalHeight(), 0.0f);
    t.setRowHeight(1, 12);
    EXPECT_EQ(t.rowTop(1), 0.0f);
    EXPECT_EQ(t.totalHeight(), 12.0f);
}

TEST(BackgroundGridColumns, OnlyColumnsMeetingTheRectAreDrawnAndTheFirstStartsARun)
{
    // From x 45 to 65: columns 2 and 3. Column 2 is the first drawn, so it gets a line although
    // it continues a run.
    Recorder r = fillsOf(week(), QRectF(45, 0, 20, 10));
    EXPECT_EQ(r.withColor(kWork), Rects{QRectF(40.5, 0, 20, 10)});
    EXPECT_EQ(r.withColor(kStroke).size(), 3u); // x 40, x 60, the closing line

    // Right of the last column: no column at all, the rows still draw their lines.
    DMProjectViewBackgroundObjectAttributes wide(3, 2);
    wide.setColumnWidth(20);
    wide.setColumnBgColor(0, kWork);
    wide.setRowHeight(0, 10);
    wide.setRowHeight(1, 10);
    r = fillsOf(wide, QRectF(70, 0, 30, 40));
    EXPECT_EQ(r.withColor(kStroke), (Rects{QRectF(70, 0, 30, 1), QRectF(70, 10, 30, 1), QRectF(70, 20, 30, 1)}));
    EXPECT_TRUE(r.withColor(kWork).empty());

    // Columns follow the frame's x; edges round to the nearest point, halves away from zero.
    const auto half = columns(12.5f, {kWork, kOff});
    EXPECT_EQ(fillsOf(half, QRectF(0, 0, 40, 5), QRectF(0, 0, 40, 5)).withColor(kOff),
              Rects{QRectF(13.5, 0, 12, 5)}); // 12.5 -> 13, 25
    EXPECT_EQ(fillsOf(half, QRectF(0, 0, 40, 5), QRectF(2, 0, 40, 5)).withColor(kWork),
              Rects{QRectF(2.5, 0, 13, 5)}); // 2 -> 15 (14.5 rounded up)
}

TEST(BackgroundGridColumns, WidthsThatAreNotPositiveOrFiniteDrawNoColumns)
{
    for (float width : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        auto t = week();
        t.setColumnWidth(width);
        EXPECT_EQ(fillsOf(t, QRectF(0, 0, 100, 50)).fills.size(), 1u) << width; // the closing line
    }
    // A width so small that the quotients leave the range of an index stays within the table.
    qint32 first = 0, last = 0;
    DMProjectViewBackgroundGeometry::columnsMeeting(0, 1e-30f, 7, -1e30f, 2e30f, &first, &last);
    EXPECT_EQ(std::make_pair(first, last), std::make_pair(0, 6));
    DMProjectViewBackgroundGeometry::columnsMeeting(0, 1e-30f, 7, 1e30f, 1, &first, &last);
    EXPECT_GT(first, last);
}

TEST(BackgroundGridRows, BandsLinesAndTheClosingLine)
{
    auto t = rows({20, 40, 20});
    t.setRowBgColor(1, kOff);
    // Only row 1 meets y 25 to 30: its band from half a point under its line, its line, and the
    // closing line at the total height.
    Recorder r = fillsOf(t, QRectF(5, 25, 50, 5));
    EXPECT_EQ(r.withColor(kOff), Rects{QRectF(5, 20.5, 50, 40)});
    EXPECT_EQ(r.withColor(kStroke), (Rects{QRectF(5, 20, 50, 1), QRectF(5, 80, 50, 1)}));
    ASSERT_EQ(r.fills.size(), 3u);
    EXPECT_EQ(r.fills[0].second, kOff);

    // The rect's top is measured from the frame's top.
    EXPECT_EQ(fillsOf(t, QRectF(0, 125, 10, 5), QRectF(0, 100, 10, 100)).withColor(kOff).size(), 1u);
    // Rows of height 0 each draw a line at the same y; fractional heights at the rounded sum.
    EXPECT_EQ(fillsOf(rows({0, 0, 0}), QRectF(0, 0, 10, 10)).withColor(kStroke), Rects(4, QRectF(0, 0, 10, 1)));
    EXPECT_EQ(fillsOf(rows({10.5f, 10.5f}), QRectF(0, 0, 10, 30)).withColor(kStroke),
              (Rects{QRectF(0, 0, 10, 1), QRectF(0, 11, 10, 1), QRectF(0, 21, 10, 1)}));
}

TEST(BackgroundGridRows, WorkFollowsTheVisiblePartOfALargeTable)
{
    DMProjectViewBackgroundObjectAttributes t(2000, 10000);
    t.setColumnWidth(20);
    for (int column = 0; column < t.columns(); ++column)
        t.setColumnBgColor(column, kWork);
    for (int row = 0; row < t.rows(); ++row)
        t.setRowHeight(row, 20);
    const Recorder r = fillsOf(t, QRectF(20000, 100010, 100, 100), QRectF(0, 0, 40000, 200000));
    // Columns 1000 to 1005 (six bands, one separator as they are one run), rows 5000 to 5005
    // (a line each), the closing line.
    ASSERT_EQ(r.fills.size(), 6u + 1u + 6u + 1u);
    EXPECT_EQ(r.fills[0].first, QRectF(20000.5, 100010, 20, 100));
    EXPECT_EQ(r.fills[7].first, QRectF(20000, 100000, 100, 1));
    EXPECT_EQ(r.fills[13].first, QRectF(20000, 200000, 100, 1));

    // A rect that is not finite draws nothing.
    EXPECT_TRUE(fillsOf(t, QRectF(0, std::nan(""), 10, 10)).fills.empty());
    EXPECT_TRUE(fillsOf(t, QRectF(0, 0, std::numeric_limits<double>::infinity(), 10)).fills.empty());
}
