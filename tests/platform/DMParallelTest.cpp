#include "DMParallel.h"
#include "TestSupport.h"

#include <QSemaphore>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using halcyra::test::PoolThreads;

// Every part runs once, whether the pool's threads are free or all busy with other work (the
// parts run on threads of their own), and when the parts themselves run work in parts (which
// then runs within the part): nothing waits on work that nobody runs.
TEST(DMParallel, EveryPartRunsOnceEvenWithoutAFreeThread)
{
    const PoolThreads threads(4);
    const auto runAll = [](int count) {
        std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
        DMParallel::run(count, [&](int i) { ++runs[size_t(i)]; });
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(runs[size_t(i)].load(), 1) << "part " << i << " of " << count;
    };
    runAll(0);
    runAll(1);
    runAll(100);

    std::atomic<int> inner{0};
    DMParallel::run(8, [&](int) { DMParallel::run(8, [&](int) { ++inner; }); });
    EXPECT_EQ(inner.load(), 64);

    // Every pool thread held up until the parts are done.
    QThreadPool *pool = QThreadPool::globalInstance();
    QSemaphore started;
    QSemaphore release;
    const int busy = pool->maxThreadCount();
    for (int i = 0; i < busy; ++i)
        pool->start([&] {
            started.release();
            release.acquire();
        });
    started.acquire(busy);
    runAll(50);
    release.release(busy);
    pool->waitForDone();
}
