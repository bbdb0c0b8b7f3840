// A document window made narrow: the chart's outline gives way before the source list does, and
// the source list, however narrow, ends its titles in "…" and keeps its count badges in view.
#include "DocumentTestSupport.h"

#include "DMGanttUIObjectFactory.h"
#include "DMOutlineView.h"

#include <QMainWindow>
#include <QSplitter>

using namespace halcyra::test;
using DS = DMProjectDocumentSourceListOutlineDS;

namespace {

class NarrowWindowTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        full = makeFullProject();
        document = documentWithProject(full.project);
        showWindow(document, QSize(1100, 700));
        document->showPageWithTag(DMPage::GanttPage);
        finishEventLoopTurns();
    }
    DMOutlineView *sourceList() const { return document->outlets().sourceListOutlineView; }
    QSplitter *ganttSplit() const { return qobject_cast<QSplitter *>(document->outlets().projectContainer.data()); }
    void resizeWindow(int width)
    {
        document->mainWindow()->resize(width, 700);
        finishEventLoopTurns();
    }
    // A source-list row as drawn.
    QImage rowImage(int tag) const
    {
        const QImage image = sourceList()->viewport()->grab().toImage();
        const int row = document->sourceListDS()->sourceListTree_indexOfItemWithTag(tag);
        return image.copy(sourceList()->rectOfRow(row).translated(-sourceList()->contentOffset()));
    }
    static bool dark(QRgb pixel) { return QColor(pixel).lightness() < 130; }
    // The right end of a row, where the badge of a one-digit count stands, right of the icon
    // however narrow the list.
    static QImage rightEnd(const QImage &row) { return row.copy(row.width() - 38, 0, 38, row.height()); }
    // A title cut where the list ends runs into its right margin; one that ends in "…" does not.
    static bool rightMarginIsEmpty(const QImage &row)
    {
        for (int x = std::max(0, row.width() - 8); x < row.width(); ++x)
            for (int y = 0; y < row.height(); ++y)
                if (dark(row.pixel(x, y)))
                    return false;
        return true;
    }

    FullProject full;
    std::shared_ptr<DMProjectDocument> document;
};

TEST_F(NarrowWindowTest, TheOutlineGivesWayAndTheSourceListKeepsItsBadgesAndEndsItsTitlesInAnEllipsis)
{
    const int listWidth = sourceList()->width();
    const int outlineWidth = ganttSplit()->sizes().at(0);
    const QList<int> badged{DMPage::TasksPage, DMPage::ResourcesPage, DMPage::EventsPage};
    QList<QImage> badges;
    for (const int tag : badged)
        badges.append(rightEnd(rowImage(tag)));

    // Narrower than the outline and the source list at their widths: the outline gives way,
    // down to half the page, and the source list keeps its width. Wide again, the outline takes
    // its width back.
    resizeWindow(560);
    EXPECT_EQ(document->mainWindow()->width(), 560);
    EXPECT_EQ(sourceList()->width(), listWidth);
    EXPECT_LT(ganttSplit()->sizes().at(0), outlineWidth);
    EXPECT_GE(ganttSplit()->sizes().at(1), ganttSplit()->sizes().at(0));
    resizeWindow(1100);
    EXPECT_EQ(ganttSplit()->sizes().at(0), outlineWidth);
    resizeWindow(560);

    // As narrow as the window goes: the source list's rows keep their badges in view, and
    // titles that no longer fit end before the list's edge.
    resizeWindow(1);
    ASSERT_LT(sourceList()->width(), listWidth);
    for (qsizetype i = 0; i < badged.size(); ++i)
        EXPECT_EQ(rightEnd(rowImage(badged.at(i))), badges.at(i)) << badged.at(i);
    for (const int tag : {DMPage::ProjectSettingsPage, DMPage::ByResourcesPage, DMPage::DaysOffPage,
                          DMPage::TasksByResourcePage, DMPage::TasksByProcessesPage})
        EXPECT_TRUE(rightMarginIsEmpty(rowImage(tag))) << tag;
}

} // namespace
