#include "DMParallel.h"

#include <QSemaphore>
#include <QThreadPool>

#include <atomic>

void DMParallel::run(int count, const std::function<void(int)> &work)
{
    if (count <= 0)
        return;
    std::atomic<int> next{0};
    const auto drain = [&] {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
            work(i);
    };
    QThreadPool *pool = QThreadPool::globalInstance();
    QSemaphore finished;
    int helpers = 0;
    for (; helpers + 1 < count && helpers < pool->maxThreadCount(); ++helpers)
        if (!pool->tryStart([&] {
                drain();
                finished.release();
            }))
            break;
    drain();
    finished.acquire(helpers);
}

int DMParallel::parallelism()
{
    return qMax(1, QThreadPool::globalInstance()->maxThreadCount());
}
