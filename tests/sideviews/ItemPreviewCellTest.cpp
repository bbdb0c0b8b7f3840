// The preview cell drawn into an image: the shape of each kind where the item's colours and its
// progress should be, the critical path's red outline, and frames too small for the shape.
#include "../model/ModelTestSupport.h"

#include "DMGanttUIObjectFactory.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemGroup.h"
#include "DMProjectItemPreviewCell.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"
#include "DMProjectViewObject.h"
#include "DMUIProjectEvent.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace halcyra::test;

namespace {

const QColor kBackground(Qt::white);
const QColor kFill(40, 90, 200);

class ItemPreviewCellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DMGanttUIObjectFactory::registerWithModel();
        project = DMProject::create();
    }

    template <typename T>
    std::shared_ptr<T> add(float progress = 0)
    {
        auto item = makeItem<T>(project, QStringLiteral("Item"), at(2024, 1, 8, 8), T().hasEqualDates() ? at(2024, 1, 8, 8) : at(2024, 1, 9, 8));
        item->setFillColor(kFill);
        if (progress > 0)
            item->setProgress(progress);
        if constexpr (std::is_same_v<T, DMProjectEvent>)
            project->eventContainer()->events().append(item);
        else
            project->tasks().append(item);
        return item;
    }
    // The item drawn in the frame on a white image of the size.
    QImage render(const DMProjectItem &item, const QRectF &frame, QSize size = QSize(120, 40), bool critical = false)
    {
        project->updateCriticalPathIfNeeded();
        project->setCriticalPathObjectIDs(critical ? QSet<quint64>{item.objectID()} : QSet<quint64>{});
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(kBackground);
        QPainter painter(&image);
        DMProjectItemPreviewCell::drawItemInFrame(painter, frame, item);
        return image;
    }
    // The fill with the item's contrast colour laid over it, as the progress shows.
    static QColor progressOf(const DMProjectItem &item)
    {
        const QColor over = std::dynamic_pointer_cast<DMProjectViewObject>(item.ganttUIObject())->bestContrastColor();
        QImage pixel(1, 1, QImage::Format_ARGB32_Premultiplied);
        pixel.fill(kFill);
        QPainter(&pixel).fillRect(0, 0, 1, 1, over);
        return pixel.pixelColor(0, 0);
    }
    static int paintedPixels(const QImage &image)
    {
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                painted += image.pixelColor(x, y) != kBackground;
        return painted;
    }

    std::shared_ptr<DMProject> project;
};

TEST_F(ItemPreviewCellTest, ATaskIsARoundedBarWithItsProgressInTheContrastColour)
{
    const auto task = add<DMProjectTask>(0.5f);
    // Frame 100 x 24: the bar is (4.5, 4.5, 91, 15); half of it is done.
    const QImage image = render(*task, QRectF(0, 0, 100, 24));
    EXPECT_EQ(image.pixelColor(30, 12), progressOf(*task));
    EXPECT_EQ(image.pixelColor(75, 12), kFill);
    EXPECT_EQ(image.pixelColor(2, 12), kBackground) << "the inset stays clear";
    EXPECT_EQ(image.pixelColor(5, 5), kBackground) << "the ends are rounded";

    // No progress: no overlay; a sliver below half a point: none either.
    task->setProgress(0);
    EXPECT_EQ(render(*task, QRectF(0, 0, 100, 24)).pixelColor(30, 12), kFill);
    task->setProgress(0.004f);
    EXPECT_EQ(render(*task, QRectF(0, 0, 100, 24)).pixelColor(8, 12), kFill);
}

TEST_F(ItemPreviewCellTest, CriticalTasksAndMilestonesAreOutlinedInRedButProcessesAreNot)
{
    const auto isRed = [](QColor c) { return c.red() > 200 && c.green() < 80 && c.blue() < 80; };
    const auto task = add<DMProjectTask>();
    EXPECT_TRUE(isRed(render(*task, QRectF(0, 0, 100, 24), {120, 40}, true).pixelColor(50, 4)));
    EXPECT_FALSE(isRed(render(*task, QRectF(0, 0, 100, 24), {120, 40}, false).pixelColor(50, 4)));
    const auto milestone = add<DMProjectMilestone>();
    // The diamond's top corner is at (30, 4.5).
    EXPECT_TRUE(isRed(render(*milestone, QRectF(0, 0, 60, 24), {120, 40}, true).pixelColor(30, 5)));
    const auto process = add<DMProjectProcess>();
    EXPECT_FALSE(isRed(render(*process, QRectF(0, 0, 100, 24), {120, 40}, true).pixelColor(50, 4)));
}

TEST_F(ItemPreviewCellTest, MilestonesProcessesEventsAndGroupsTakeTheirOwnShapes)
{
    const auto milestone = add<DMProjectMilestone>();
    // A diamond in the 15-point square centred in (4.5, 4.5, 51, 15): centre (30, 12).
    QImage image = render(*milestone, QRectF(0, 0, 60, 24));
    EXPECT_EQ(image.pixelColor(30, 12), kFill);
    EXPECT_EQ(image.pixelColor(24, 6), kBackground) << "the square's corner is outside the diamond";

    const auto process = add<DMProjectProcess>(0.5f);
    // A bracket over (4.5, 4.5, 91, 15): the bar down to 14.5, tips down to 19.5 at 9.5 and 90.5.
    image = render(*process, QRectF(0, 0, 100, 24));
    const QColor overlay = image.pixelColor(30, 8);
    EXPECT_NE(overlay, kFill) << "the done half is lightened";
    EXPECT_EQ(image.pixelColor(75, 8), kFill);
    EXPECT_EQ(image.pixelColor(50, 18), kBackground) << "between the tips";
    EXPECT_NE(image.pixelColor(90, 17), kBackground) << "the right tip";

    const auto event = add<DMProjectEvent>();
    image = render(*event, QRectF(0, 0, 100, 24));
    EXPECT_EQ(image.pixelColor(10, 12), kFill);
    // The event image sits in the middle, in a square of min(H - 3, its height).
    const int side = std::min(12, DMUIProjectEvent::eventImage().height());
    bool imageShows = false;
    for (int y = 12 - side / 2; y < 12 + side / 2; ++y)
        for (int x = 50 - side / 2; x < 50 + side / 2; ++x)
            imageShows |= image.pixelColor(x, y) != kFill;
    EXPECT_TRUE(imageShows);

    const auto group = add<DMProjectItemGroup>();
    EXPECT_EQ(paintedPixels(render(*group, QRectF(0, 0, 100, 24))), 0) << "an item group shows an empty preview";
}

TEST_F(ItemPreviewCellTest, FramesTooSmallForTheShapeDrawAClippedShapeOrNothing)
{
    const auto task = add<DMProjectTask>(1.0f);
    const auto milestone = add<DMProjectMilestone>();
    // Nothing at all when the inset leaves no room.
    EXPECT_EQ(paintedPixels(render(*task, QRectF(10, 10, 8, 30))), 0);
    EXPECT_EQ(paintedPixels(render(*milestone, QRectF(10, 10, 30, 9))), 0);
    // Below 15 points the bar is a plain rectangle: its corners are filled.
    EXPECT_EQ(render(*task, QRectF(0, 0, 100, 14)).pixelColor(5, 5), progressOf(*task));
    // A milestone wider than its cell is cut at the cell's edges.
    const QImage narrow = render(*milestone, QRectF(20, 0, 12, 40), {60, 40});
    EXPECT_NE(narrow.pixelColor(26, 20), kBackground);
    for (int y = 0; y < 40; ++y) {
        EXPECT_EQ(narrow.pixelColor(19, y), kBackground) << y;
        EXPECT_EQ(narrow.pixelColor(32, y), kBackground) << y;
    }
}

} // namespace
