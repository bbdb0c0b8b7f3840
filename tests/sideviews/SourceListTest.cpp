// The source list's controller on a shown outline, with a document that records the pages it is
// asked to show: its rows and tags, what a click chooses, the badges and how they are drawn.
#include "../model/ModelTestSupport.h"

#include "DMOutlineView.h"
#include "DMProjectDocumentSourceListOutlineDS.h"
#include "DMSourceListDocument.h"
#include "TestSupport.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace halcyra::test;
using DS = DMProjectDocumentSourceListOutlineDS;

namespace {

class FakeSourceListDocument : public DMSourceListDocument
{
public:
    std::shared_ptr<DMProject> project() const override { return m_project; }
    DMOutlineView *sourceListOutlineView() const override { return outline; }
    void showPageWithTag(int tag) override { shownPages.append(tag); }
    int itemsViewContentsCountWithTag(int tag) const override { return itemsViewCounts.value(tag); }

    std::shared_ptr<DMProject> m_project = DMProject::create();
    DMOutlineView *outline = nullptr;
    QList<int> shownPages;
    QHash<int, int> itemsViewCounts;
};

class SourceListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        document.outline = &outline;
        controller.attachToOutlineView();
        outline.resize(200, 420);
        outline.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&outline));
    }

    int rowOfTag(int tag) { return controller.sourceListTree_indexOfItemWithTag(tag); }
    void click(int row)
    {
        QTest::mouseClick(outline.viewport(), Qt::LeftButton, {}, outline.rectOfRow(row).center() - outline.contentOffset());
    }

    FakeSourceListDocument document;
    DMOutlineView outline;
    DS controller{document};
};

TEST_F(SourceListTest, FifteenEntriesInFourSectionsWithTheirTags)
{
    QAbstractItemModelTester tester(outline.outlineModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
    const QList<int> tags = {0, 12, 14, 0, 9, 10, 0, 17, 18, 6, 7, 0, 11, 19, 20};
    const QVariantList &tree = controller.sourceListTree();
    ASSERT_EQ(tree.size(), tags.size());
    ASSERT_EQ(outline.numberOfRows(), tags.size());
    // Rows have tool tips; headers none.
    for (int i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(tree.at(i).toMap().value(DS::kDMProjectDocument_SourceList_Key_Tag).toInt(), tags[i]) << i;
        const QVariant tip = outline.outlineModel()->data(outline.outlineModel()->indexForRow(i), Qt::ToolTipRole);
        EXPECT_EQ(tip.isValid(), tags[i] != 0) << i;
    }
    EXPECT_EQ(rowOfTag(10), 5);
    for (int pageWithoutRow : {1, 5, 8, 15, 13, 21})
        EXPECT_EQ(rowOfTag(pageWithoutRow), -1) << pageWithoutRow;
    EXPECT_EQ(DS::pageTitleForTag(8), QStringLiteral("Links"));
    EXPECT_TRUE(DMPage_isPage(15));
    for (int none : {0, 13, 16, 21})
        EXPECT_FALSE(DMPage_isPage(none));
}

TEST_F(SourceListTest, ARowIsChosenAloneAndAHeaderKeepsThePage)
{
    click(rowOfTag(14));
    EXPECT_EQ(document.shownPages, QList<int>{14});
    EXPECT_EQ(controller.selectedTag(), 14);
    click(3); // "VIEWS"
    EXPECT_EQ(controller.selectedTag(), 14);
    // Extending the selection keeps its first row alone.
    QTest::mouseClick(outline.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      outline.rectOfRow(rowOfTag(10)).center() - outline.contentOffset());
    EXPECT_EQ(outline.selectedRowIndexes(), QList<int>{rowOfTag(14)});
    EXPECT_EQ(document.shownPages, QList<int>{14});
    click(rowOfTag(10));
    EXPECT_EQ(document.shownPages, (QList<int>{14, 10}));

    // The document showing a page selects its row without being asked to show it again.
    controller.selectRowForPageWithTag(18);
    EXPECT_EQ(controller.selectedTag(), 18);
    controller.selectRowForPageWithTag(8); // no row
    EXPECT_EQ(outline.selectedRow(), -1);
    EXPECT_EQ(document.shownPages, (QList<int>{14, 10}));
    // The list never edits a title.
    EXPECT_FALSE(controller.outlineViewShouldEditTableColumnItem(&outline, DS::kTitleColumn, outline.itemAtRow(1)));
}

TEST_F(SourceListTest, BadgesCountEveryLevelAndOnlyFromOne)
{
    const auto project = document.m_project;
    EXPECT_EQ(controller.badgeTextForTag(6), QString()); // no events: no badge
    EXPECT_EQ(controller.badgeTextForTag(17), QString());
    EXPECT_EQ(controller.badgeTextForTag(7), QString()); // only the documents' two separators

    auto process = makeItem<DMProjectProcess>(project, QStringLiteral("Works"), at(2024, 3, 4), at(2024, 3, 8));
    process->subitems().append(makeItem<DMProjectTask>(project, QStringLiteral("A"), at(2024, 3, 4), at(2024, 3, 5)));
    process->subitems().append(makeItem<DMProjectTask>(project, QStringLiteral("B"), at(2024, 3, 5), at(2024, 3, 6)));
    project->tasks().append(process);
    for (int i = 0; i < 3; ++i)
        project->eventContainer()->events().append(
            makeItem<DMProjectEvent>(project, QStringLiteral("E"), at(2024, 3, 4 + i, 9), at(2024, 3, 4 + i, 10)));
    auto group = std::make_shared<DMProjectResource>(DMProjectResource::Group);
    group->subitems().append(std::make_shared<DMProjectResource>());
    project->resources().append(group);
    document.itemsViewCounts = {{7, 3}, {8, 4}};

    // Counted again only when told.
    EXPECT_EQ(controller.badgeTextForTag(17), QString());
    controller.badgesNeedUpdate();
    EXPECT_EQ(controller.badgeTextForTag(17), QStringLiteral("3"));
    EXPECT_EQ(controller.badgeTextForTag(6), QStringLiteral("3"));
    EXPECT_EQ(controller.badgeTextForTag(18), QStringLiteral("2"));
    EXPECT_EQ(controller.badgeTextForTag(7), QStringLiteral("1"));
    EXPECT_EQ(controller.badgeTextForTag(8), QStringLiteral("4"));
    EXPECT_EQ(controller.badgeTextForTag(10), QString());
}

TEST_F(SourceListTest, TheBadgeIsADarkPillAtTheRightOfItsRow)
{
    document.m_project->eventContainer()->events().append(
        makeItem<DMProjectEvent>(document.m_project, QStringLiteral("E"), at(2024, 3, 4, 9), at(2024, 3, 4, 10)));
    controller.badgesNeedUpdate();
    const QImage image = outline.viewport()->grab().toImage();
    const auto pillPixel = [&](int tag) {
        const QRect cell = outline.frameOfCellAtColumnRow(0, rowOfTag(tag)).translated(-outline.contentOffset());
        // The badge's frame (40 wide for one digit) ends at the right margin, 8; its pill (24 wide)
        // is centred in it, the digit in the pill's middle: a point of the pill left of the digit.
        return image.pixelColor(cell.right() + 1 - 8 - 20 - 9, cell.center().y());
    };
    EXPECT_LT(pillPixel(6).lightness(), 120);  // "Events": 1
    EXPECT_GT(pillPixel(18).lightness(), 180); // "Resources": none
}

} // namespace
