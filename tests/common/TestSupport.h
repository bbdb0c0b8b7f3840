#pragma once

#include "DMDelayedCall.h"
#include "DMWallClock.h"

#include <QString>
#include <QThreadPool>

namespace halcyra::test {

// While it lives, the deferred-work clock (delayed calls, idle timeouts, autoscroll) stands still
// and advance() moves it: tests step through time instead of waiting for it.
class ManualClock
{
public:
    ManualClock() { DMDeferredWorkClock::setManual(true); }
    ~ManualClock() { DMDeferredWorkClock::setManual(false); }
    ManualClock(const ManualClock &) = delete;
    ManualClock &operator=(const ManualClock &) = delete;
    void advance(qint64 milliseconds) { DMDeferredWorkClock::advance(milliseconds); }
};

// While it lives, the application's now is the given local date and time.
class FixedNow
{
public:
    explicit FixedNow(const QDateTime &now) { DMWallClock::setFixedNow(now); }
    ~FixedNow() { DMWallClock::setFixedNow(QDateTime()); }
    FixedNow(const FixedNow &) = delete;
    FixedNow &operator=(const FixedNow &) = delete;
};

// While it lives, the global thread pool has at least the given number of threads, so that work
// split across threads is split on any machine, a single-core one included.
class PoolThreads
{
public:
    explicit PoolThreads(int atLeast) : m_saved(QThreadPool::globalInstance()->maxThreadCount())
    {
        QThreadPool::globalInstance()->setMaxThreadCount(qMax(atLeast, m_saved));
    }
    ~PoolThreads() { QThreadPool::globalInstance()->setMaxThreadCount(m_saved); }
    PoolThreads(const PoolThreads &) = delete;
    PoolThreads &operator=(const PoolThreads &) = delete;

private:
    int m_saved;
};

// Ends the event loop's current turn without waiting: posted events, deferred deletions and
// zero-time timers (the undo manager closes the turn's undo step on one) run once.
void finishEventLoopTurn();

// The files other programs wrote, kept in the project's tests/data (their origin and licence
// are in its README).
QString testDataPath(const QString &relative = QString());

// A folder in which no file can be made: the given folder made read-only, or, when the
// permissions do not stop this process (root), a folder of the kernel's read-only file system.
QString unwritableFolder(const QString &folder);

// Moves the deferred-work clock forward without waiting, as if the time had passed: undo fences
// lift, and delayed calls and idle timeouts that come due meanwhile run.
void skipTime(qint64 milliseconds);

// Runs the event loop until the predicate holds or the time is up; returns the predicate.
template <typename Predicate>
bool waitFor(Predicate predicate, int timeoutMilliseconds = 2000);

// Runs the event loop until nothing is ready to run (posted and window-system events, zero-time
// and due timers), without waiting for timers that are not yet due.
void runUntilIdle();

void pumpEventsOnce();
qint64 elapsedMilliseconds();

template <typename Predicate>
bool waitFor(Predicate predicate, int timeoutMilliseconds)
{
    const qint64 start = elapsedMilliseconds();
    while (!predicate()) {
        if (elapsedMilliseconds() - start > timeoutMilliseconds)
            return predicate();
        pumpEventsOnce();
    }
    return true;
}

} // namespace halcyra::test
