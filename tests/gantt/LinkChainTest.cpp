// A long chain of linked items: placing one bar makes and places its link lines, but never the
// bars at their other ends, so no placement nests inside another along the chain.
#include "GanttTestSupport.h"

#include "DMProjectDependency.h"
#include "DMUIProjectDependency.h"

#include <QThread>

using namespace gantttest;

namespace {

constexpr int kChainLength = 20000;

// Tasks one day each, every one linked finish to start to the next.
std::vector<std::shared_ptr<DMProjectTask>> makeChain(const std::shared_ptr<DMProject> &project, int length)
{
    std::vector<std::shared_ptr<DMProjectTask>> tasks;
    tasks.reserve(size_t(length));
    project->beginLoading();
    for (int i = 0; i < length; ++i) {
        const DMDate day = at(2024, 1, 1, 8).dateByAddingSeconds(qint64(i) * 86400);
        auto task = makeItem<DMProjectTask>(project, QString(), day, day.dateByAddingSeconds(10 * 3600));
        project->tasks().append(task);
        if (!tasks.empty())
            tasks.back()->addOutboundDependencyToItem(task);
        tasks.push_back(task);
    }
    project->endLoading();
    return tasks;
}

// Runs `work` on a thread with a 256 KB stack: a placement nested along the chain overflows it.
void runWithSmallStack(const std::function<void()> &work)
{
    std::unique_ptr<QThread> thread(QThread::create(work));
    thread->setStackSize(256 * 1024);
    thread->start();
    ASSERT_TRUE(thread->wait(60000));
}

std::shared_ptr<DMUIProjectItem> existingBarOf(const DMProjectItem &item)
{
    const auto objects = item.DMProjectItem::uiObjects();
    return objects.isEmpty() ? nullptr : std::dynamic_pointer_cast<DMUIProjectItem>(objects.first());
}

} // namespace

TEST(LinkChain, PlacingTheFirstBarOfALongChainPlacesNoOtherBar)
{
    DMGanttUIObjectFactory::registerWithModel();
    const auto project = DMProject::create();
    project->displayAttributes() = displayAt(20.0f);
    const auto tasks = makeChain(project, kChainLength);

    std::shared_ptr<DMUIProjectItem> first;
    runWithSmallStack([&] {
        first = std::dynamic_pointer_cast<DMUIProjectItem>(tasks.front()->ganttUIObject());
        if (first)
            first->setFrame(QRectF(first->frame().x(), 40, first->frame().width(), 20));
    });
    ASSERT_TRUE(first);
    EXPECT_EQ(first->frame(), QRectF(0.5, 40, 20, 20));
    // The link line exists; the bar at its other end was neither made nor placed.
    const auto link = tasks.front()->outboundDependencies().list().first();
    const auto line = std::dynamic_pointer_cast<DMUIProjectDependency>(link->ganttUIObject());
    ASSERT_TRUE(line);
    EXPECT_FALSE(existingBarOf(*tasks.at(1)) || existingBarOf(*tasks.at(2)));
    EXPECT_FALSE(line->isDisplayed());

    // Once the second bar is made and placed, the line runs from the first bar's finish side to
    // the second's start side.
    const auto second = std::dynamic_pointer_cast<DMUIProjectItem>(tasks.at(1)->ganttUIObject());
    ASSERT_TRUE(second);
    second->setDisplayed(true);
    second->setFrame(QRectF(second->frame().x(), 60, second->frame().width(), 20));
    EXPECT_EQ(line->startPoint(), first->dependencyStartRect().center());
    EXPECT_EQ(line->endPoint(), second->dependencyEndRect().center());
    EXPECT_TRUE(line->isDisplayed());
    EXPECT_FALSE(existingBarOf(*tasks.at(2)));
}
