#pragma once

#include <QObject>
#include <QtGlobal>

#include <functional>

// Runs fn once on the event loop after the delay, unless the context is destroyed first.
void performAfterDelay(QObject *context, double seconds, std::function<void()> fn);

// The one clock of deferred work: delayed calls and the idle-timeout scheduler (DMIdleTimeout)
// run on it. It is the event loop's real time unless a test makes it manual: then time stands
// still and calls wait until advance() moves the clock past their time, which runs them in the
// order of their times (then of their requests), as the event loop would.
class DMDeferredWorkClock
{
public:
    // Milliseconds on the clock; only differences mean anything.
    static qint64 nowMilliseconds();

    static bool isManual();
    // Calls waiting on the manual clock when it goes back to real time keep their remaining
    // delays.
    static void setManual(bool manual);
    // Counts the switches between manual and real time: a call scheduled before a switch waits
    // on the other kind of clock now.
    static quint64 switchCount();
    // Manual time only: moves the clock forward, running every call that comes due meanwhile,
    // also those that the calls themselves make. advance(0) runs what is due now.
    static void advance(qint64 milliseconds);
};

// For objects that are not QObjects: a member whose destruction (or cancelAll) cancels every
// call it scheduled.
class DMDelayedCalls
{
public:
    DMDelayedCalls();
    ~DMDelayedCalls();
    DMDelayedCalls(const DMDelayedCalls &) = delete;
    DMDelayedCalls &operator=(const DMDelayedCalls &) = delete;

    void performAfterDelay(double seconds, std::function<void()> fn);
    void cancelAll();
    int pendingCount() const;

private:
    QObject *m_context;
};
