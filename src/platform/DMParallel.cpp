#include "DMParallel.h"

#include <QThreadPool>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <vector>

namespace {

thread_local bool runningPart = false;

// Threads that wait for jobs, each with a queue of its own. They live as long as the process:
// they hold nothing between jobs, and exiting does not wait for them.
class Workers
{
public:
    // Makes threads until there are at least count.
    void reserve(int count)
    {
        while (int(m_threads.size()) < count)
            m_threads.push_back(std::make_unique<Worker>());
    }
    void post(int worker, std::function<void()> job) { m_threads[size_t(worker)]->post(std::move(job)); }

private:
    class Worker
    {
    public:
        Worker() : m_thread([this] { loop(); }) { m_thread.detach(); }
        void post(std::function<void()> job)
        {
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_jobs.push_back(std::move(job));
            }
            m_wake.notify_one();
        }

    private:
        void loop()
        {
            runningPart = true;
            for (;;) {
                std::function<void()> job;
                {
                    std::unique_lock<std::mutex> lock(m_mutex);
                    m_wake.wait(lock, [this] { return !m_jobs.empty(); });
                    job = std::move(m_jobs.front());
                    m_jobs.pop_front();
                }
                job();
            }
        }
        std::mutex m_mutex;
        std::condition_variable m_wake;
        std::deque<std::function<void()>> m_jobs;
        std::thread m_thread;
    };
    std::vector<std::unique_ptr<Worker>> m_threads;
};

Workers *instance = nullptr;

Workers &workers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // A child made by fork has none of the threads: it makes its own when it needs them.
        pthread_atfork(nullptr, nullptr, [] { instance = nullptr; });
    });
    if (!instance)
        instance = new Workers;
    return *instance;
}

} // namespace

void DMParallel::run(int count, const std::function<void(int)> &work)
{
    const int threads = parallelism();
    if (threads < 2 || count < 2 || runningPart) {
        for (int i = 0; i < count; ++i)
            work(i);
        return;
    }
    Workers &pool = workers();
    pool.reserve(threads);
    std::mutex mutex;
    std::condition_variable done;
    int pending = count;
    for (int i = 0; i < count; ++i)
        pool.post(i % threads, [&, i] {
            work(i);
            const std::lock_guard<std::mutex> lock(mutex);
            if (--pending == 0)
                done.notify_one();
        });
    std::unique_lock<std::mutex> lock(mutex);
    done.wait(lock, [&] { return pending == 0; });
}

int DMParallel::parallelism()
{
    return qMax(1, QThreadPool::globalInstance()->maxThreadCount());
}
