// The pages of a document window by their tags, and the timeline modes read from files.
#include "DMProjectEnums.h"

#include <gtest/gtest.h>

namespace {

// Every tag that is a page shows exactly one area of the window; no other tag shows any.
TEST(PageTags, EveryPageShowsExactlyOneArea)
{
    for (int tag = -1; tag <= 22; ++tag) {
        const bool list = tag == DMPage::EventsPage || tag == DMPage::TasksPage || tag == DMPage::ResourcesPage;
        const bool settings =
            tag == DMPage::ProjectSettingsPage || tag == DMPage::DaysOffPage || tag == DMPage::StylesPage;
        const int areas = int(DMPage_isGantt(tag)) + int(DMPage_isReport(tag)) + int(DMPage_showsItemsView(tag))
            + int(list) + int(settings);
        EXPECT_EQ(areas, DMPage_isPage(tag) ? 1 : 0) << tag;
    }
    for (int tag : {0, 13, 16, 21})
        EXPECT_FALSE(DMPage_isPage(tag)) << tag;
}

// A timeline mode read from a file outside the modes' range is brought to the nearest one.
TEST(TimelineViewMode, StoredModesOutsideTheRangeClampToItsEnds)
{
    EXPECT_EQ(DMTimelineViewMode_clamped(-3), kDMTimelineViewMode_Day);
    EXPECT_EQ(DMTimelineViewMode_clamped(kDMTimelineViewMode_Month), kDMTimelineViewMode_Month);
    EXPECT_EQ(DMTimelineViewMode_clamped(qint64(1) << 40), kDMTimelineViewMode_WholeProject);
}

} // namespace
