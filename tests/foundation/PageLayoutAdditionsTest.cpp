#include "DMPageLayoutAdditions.h"

#include <gtest/gtest.h>

namespace {

TEST(PageLayoutAdditions, PrintZoneStartsAtLeftAndBottomMarginsWithYUp)
{
    // A4 in points with margins left 20, top 30, right 40, bottom 50.
    const DMPageRects rects = DMPageRectsForPaper(QSizeF(595, 842), QMarginsF(20, 30, 40, 50));
    EXPECT_EQ(rects.pageRect, QRectF(0, 0, 595, 842));
    EXPECT_EQ(rects.printZoneRect, QRectF(20, 50, 535, 762));
    // In y-down page coordinates the zone starts below the top margin.
    EXPECT_EQ(DMPageRects_flipped(rects.printZoneRect, 842), QRectF(20, 30, 535, 762));
    EXPECT_EQ(DMPageRects_flipped(DMPageRects_flipped(rects.printZoneRect, 842), 842), rects.printZoneRect);

    const DMPageRects tooWide = DMPageRectsForPaper(QSizeF(100, 100), QMarginsF(60, 10, 60, 10));
    EXPECT_EQ(tooWide.printZoneRect, QRectF(60, 10, 0, 80));
}

TEST(PageLayoutAdditions, LayoutGivesOrientedPaperInPoints)
{
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 20, 30, 40),
                             QPageLayout::Point);
    QRectF page, zone;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    getPageRectPrintZoneRectOrientation(layout, &page, &zone, &orientation);
    EXPECT_EQ(page, QRectF(0, 0, 842, 595));
    EXPECT_EQ(zone, QRectF(10, 40, 802, 535));
    EXPECT_EQ(orientation, QPageLayout::Landscape);

    QRectF onlyZone;
    getPageRectPrintZoneRectOrientation(layout, nullptr, &onlyZone, nullptr);
    EXPECT_EQ(onlyZone, zone);
}

} // namespace
