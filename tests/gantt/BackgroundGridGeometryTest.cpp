// The fills of the Gantt background as numbers: which columns and rows meet a rectangle, where
// the separators go, and tables that are empty, negative or without a column width.
#include "DMProjectViewBackgroundGeometry.h"
#include "DMProjectViewBackgroundObjectAttributes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

static void PrintTo(const QRectF &r, std::ostream *out)
{
    *out << "(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}

namespace {

const QColor kStroke(0, 0, 0);
const QColor kWork(220, 235, 255);
const QColor kOff(200, 200, 200);

struct Fill
{
    QRectF rect;
    QColor color;
};

struct Recorder : DMProjectViewBackgroundGeometry::Sink
{
    std::vector<Fill> fills;
    void fill(const QRectF &rect, const QColor &color) override { fills.push_back({rect, color}); }

    std::vector<QRectF> withColor(const QColor &color) const
    {
        std::vector<QRectF> out;
        for (const Fill &f : fills)
            if (f.color == color)
                out.push_back(f.rect);
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

// Five columns of 20: three working days, one day off, one without colour; no rows.
DMProjectViewBackgroundObjectAttributes week()
{
    DMProjectViewBackgroundObjectAttributes t(5, 0);
    t.setColumnWidth(20);
    for (int i = 0; i < 3; ++i)
        t.setColumnBgColor(i, kWork);
    t.setColumnBgColor(3, kOff);
    return t;
}

// Rows of 20, 40 and 20, no columns.
DMProjectViewBackgroundObjectAttributes rows204020()
{
    DMProjectViewBackgroundObjectAttributes t(0, 3);
    t.setRowHeight(0, 20);
    t.setRowHeight(1, 40);
    t.setRowHeight(2, 20);
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

TEST(BackgroundGridTable, RowWalkFindsTheRowsARangeMeets)
{
    const auto t = rows204020();
    qint32 first = 0, last = 0;
    t.rowsMeeting(25, 30, &first, &last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 1);
    t.rowsMeeting(20, 20, &first, &last); // a shared edge belongs to both rows
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 1);
    t.rowsMeeting(81, 200, &first, &last);
    EXPECT_GT(first, last);
    t.rowsMeeting(-50, -1, &first, &last);
    EXPECT_GT(first, last);
}

TEST(BackgroundGridColumns, SeparatorsMarkTheLeftEdgeOfEachRunOfEqualColours)
{
    const Recorder r = fillsOf(week(), QRectF(0, 10, 100, 50));
    // Bands start half a point into their column and are as wide as the column.
    const std::vector<QRectF> work = {QRectF(0.5, 10, 20, 50), QRectF(20.5, 10, 20, 50), QRectF(40.5, 10, 20, 50)};
    EXPECT_EQ(r.withColor(kWork), work);
    EXPECT_EQ(r.withColor(kOff), std::vector<QRectF>{QRectF(60.5, 10, 20, 50)});
    // One line before the working run, one at the day off, one where the uncoloured column
    // follows it, and the closing line of the empty row set at y 0.
    const std::vector<QRectF> lines = {QRectF(0, 10, 1, 50), QRectF(60, 10, 1, 50), QRectF(80, 10, 1, 50),
                                       QRectF(0, 0, 100, 1)};
    EXPECT_EQ(r.withColor(kStroke), lines);
}

TEST(BackgroundGridColumns, OnlyColumnsMeetingTheRectAreDrawnAndTheFirstStartsARun)
{
    auto t = week();
    // From x 45 to 65: columns 2 and 3. Column 2 is the first drawn, so it gets a line although
    // it continues a run.
    Recorder r = fillsOf(t, QRectF(45, 0, 20, 10));
    EXPECT_EQ(r.withColor(kWork), std::vector<QRectF>{QRectF(40.5, 0, 20, 10)});
    EXPECT_EQ(r.withColor(kStroke).size(), 3u); // x 40, x 60, the closing line

    // Right of the last column: no column at all, the rows still draw their lines.
    DMProjectViewBackgroundObjectAttributes wide(3, 2);
    wide.setColumnWidth(20);
    wide.setColumnBgColor(0, kWork);
    wide.setRowHeight(0, 10);
    wide.setRowHeight(1, 10);
    r = fillsOf(wide, QRectF(70, 0, 30, 40));
    const std::vector<QRectF> lines = {QRectF(70, 0, 30, 1), QRectF(70, 10, 30, 1), QRectF(70, 20, 30, 1)};
    EXPECT_EQ(r.withColor(kStroke), lines);
    EXPECT_TRUE(r.withColor(kWork).empty());

    // Columns follow the frame's x; edges round to the nearest point, halves away from zero.
    DMProjectViewBackgroundObjectAttributes half(2, 0);
    half.setColumnWidth(12.5f);
    half.setColumnBgColor(0, kWork);
    half.setColumnBgColor(1, kOff);
    r = fillsOf(half, QRectF(0, 0, 40, 5), QRectF(0, 0, 40, 5));
    EXPECT_EQ(r.withColor(kOff), std::vector<QRectF>{QRectF(13.5, 0, 12, 5)}); // 12.5 -> 13, 25
    r = fillsOf(half, QRectF(0, 0, 40, 5), QRectF(2, 0, 40, 5));
    EXPECT_EQ(r.withColor(kWork), std::vector<QRectF>{QRectF(2.5, 0, 13, 5)}); // 2 -> 15 (14.5 rounded up)
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
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 6);
    DMProjectViewBackgroundGeometry::columnsMeeting(0, 1e-30f, 7, 1e30f, 1, &first, &last);
    EXPECT_GT(first, last);
}

TEST(BackgroundGridRows, BandsLinesAndTheClosingLine)
{
    auto t = rows204020();
    t.setRowBgColor(1, kOff);
    Recorder r = fillsOf(t, QRectF(5, 25, 50, 5));
    // Only row 1 meets y 25 to 30: its band from half a point under its line, then its line.
    ASSERT_EQ(r.fills.size(), 3u);
    EXPECT_EQ(r.fills[0].rect, QRectF(5, 20.5, 50, 40));
    EXPECT_EQ(r.fills[0].color, kOff);
    EXPECT_EQ(r.fills[1].rect, QRectF(5, 20, 50, 1));
    EXPECT_EQ(r.fills[2].rect, QRectF(5, 80, 50, 1)); // closing line at the total height

    // The rect's top is measured from the frame's top.
    r = fillsOf(t, QRectF(0, 125, 10, 5), QRectF(0, 100, 10, 100));
    EXPECT_EQ(r.withColor(kOff).size(), 1u);

    // Rows of height 0 each draw a line at the same y.
    r = fillsOf(DMProjectViewBackgroundObjectAttributes(0, 3), QRectF(0, 0, 10, 10));
    EXPECT_EQ(r.withColor(kStroke), std::vector<QRectF>(4, QRectF(0, 0, 10, 1)));

    // Fractional heights: lines at the rounded running sum.
    DMProjectViewBackgroundObjectAttributes frac(0, 2);
    frac.setRowHeight(0, 10.5f);
    frac.setRowHeight(1, 10.5f);
    r = fillsOf(frac, QRectF(0, 0, 10, 30));
    const std::vector<QRectF> fracLines = {QRectF(0, 0, 10, 1), QRectF(0, 11, 10, 1), QRectF(0, 21, 10, 1)};
    EXPECT_EQ(r.withColor(kStroke), fracLines);
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
    EXPECT_EQ(r.fills[0].rect, QRectF(20000.5, 100010, 20, 100));
    EXPECT_EQ(r.fills[7].rect, QRectF(20000, 100000, 100, 1));
    EXPECT_EQ(r.fills[13].rect, QRectF(20000, 200000, 100, 1));

    // A rect that is not finite draws nothing.
    EXPECT_TRUE(fillsOf(t, QRectF(0, std::nan(""), 10, 10)).fills.empty());
    EXPECT_TRUE(fillsOf(t, QRectF(0, 0, std::numeric_limits<double>::infinity(), 10)).fills.empty());
}
