// Dragging the first task of a long finish-to-start chain: the whole chain follows the pointer
// during the drag, and the drag is one named undo step however long its steps take.
#include "DocumentCanvasTestSupport.h"


#include <vector>

using namespace gantttest;

namespace {

class LongChainDragTest : public DocumentCanvasTest
{
protected:
    void SetUp() override
    {
        DocumentCanvasTest::SetUp();
        // Tight tasks in plain time, each beginning where the one before ends: two hours long,
        // but for the first, two days long so that its bar has a middle to press.
        DMDate begin = at(2024, 1, 2, 8);
        for (int i = 0; i < 2000; ++i) {
            const qint64 hours = i == 0 ? 48 : 2;
            auto task = addTask(QStringLiteral("T%1").arg(i), begin, begin.dateByAddingSeconds(hours * 3600));
            task->setUseWorkingSchedule(false);
            if (!chain.empty())
                chain.back()->addOutboundDependencyToItem(task);
            chain.push_back(task);
            begin = task->endDate();
        }
    }
    std::vector<std::pair<DMDate, DMDate>> dates() const
    {
        std::vector<std::pair<DMDate, DMDate>> all;
        for (const auto &task : chain)
            all.emplace_back(task->beginDate(), task->endDate());
        return all;
    }

    std::vector<std::shared_ptr<DMProjectTask>> chain;
};

} // namespace

TEST_F(LongChainDragTest, ADragIsOneNamedUndoStepAndUndoRestoresEveryDate)
{
    open();
    halcyra::test::finishEventLoopTurn();
    DMUndoManager *undo = document->undoManager();
    undo->removeAllActions();
    const auto before = dates();
    const QRectF bar = barOf(chain.front())->frame();
    const QPoint press = viewPoint(bar.center());

    QTest::mousePress(canvas(), Qt::LeftButton, Qt::NoModifier, press);
    // Steps further apart than the undo manager's 0.2 s fence, with the event loop turning in
    // between, as a slow machine would deliver them.
    for (int step = 1; step <= 3; ++step) {
        dragStep(canvas(), press + QPoint(20 * step, 0)); // a day a step at 20 points per day
        halcyra::test::finishEventLoopTurn();
        // The bar and the last task's bar follow the pointer before the release.
        EXPECT_NEAR(barOf(chain.front())->frame().left(), bar.left() + 20 * step, 1.0) << step;
        EXPECT_GT(chain.back()->beginDate(), before.back().first);
        halcyra::test::skipTime(step < 3 ? 250 : 0);
    }
    QTest::mouseRelease(canvas(), Qt::LeftButton, Qt::NoModifier, press + QPoint(60, 0));
    halcyra::test::finishEventLoopTurn();

    const auto moved = dates();
    EXPECT_EQ(moved.front().first, before.front().first.dateByAddingSeconds(3 * 86400));
    for (size_t i = 1; i < moved.size(); ++i)
        ASSERT_LE(moved[i - 1].second, moved[i].first) << "task " << i << " overlaps the one before";
    EXPECT_EQ(undo->undoStepCount(), 1);
    EXPECT_EQ(undo->undoActionName(), "Move");

    undo->undo();
    EXPECT_TRUE(dates() == before);
    EXPECT_FALSE(undo->canUndo());
    undo->redo();
    EXPECT_TRUE(dates() == moved);
}
