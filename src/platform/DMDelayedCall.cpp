#include "DMDelayedCall.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <list>

namespace {

int delayMilliseconds(double seconds)
{
    if (!(seconds > 0))
        return 0;
    return int(std::min(std::llround(seconds * 1000.0), qint64(std::numeric_limits<int>::max())));
}

// A call waiting on the manual clock; it is dropped when its context goes.
struct ManualCall
{
    qint64 deadline = 0;
    quint64 sequence = 0;
    QPointer<QObject> context;
    const QObject *contextAddress = nullptr; // for counting a member's calls
    std::function<void()> fn;
};

class Clock
{
public:
    static Clock &instance()
    {
        static Clock clock;
        return clock;
    }

    qint64 now() const { return m_manual ? m_manualNow : m_real.elapsed() + m_offset; }
    bool isManual() const { return m_manual; }
    quint64 switchCount() const { return m_switches; }

    void setManual(bool manual)
    {
        if (manual == m_manual)
            return;
        ++m_switches;
        if (manual) {
            m_manualNow = now();
            m_manual = true;
            return;
        }
        // Real time goes on from where the manual clock stopped; the waiting calls keep what
        // was left of their delays.
        m_offset = m_manualNow - m_real.elapsed();
        m_manual = false;
        for (ManualCall &call : std::exchange(m_calls, {}))
            if (call.context)
                QTimer::singleShot(int(std::clamp<qint64>(call.deadline - m_manualNow, 0, std::numeric_limits<int>::max())),
                                   call.context.data(), std::move(call.fn));
    }

    void schedule(QObject *context, qint64 delay, std::function<void()> fn)
    {
        m_calls.push_back({m_manualNow + delay, ++m_sequence, context, context, std::move(fn)});
    }

    void advance(qint64 milliseconds)
    {
        if (!m_manual)
            return;
        const qint64 target = m_manualNow + std::max<qint64>(0, milliseconds);
        for (;;) {
            auto next = m_calls.end();
            for (auto it = m_calls.begin(); it != m_calls.end(); ++it) {
                if (it->deadline > target)
                    continue;
                if (next == m_calls.end() || it->deadline < next->deadline
                    || (it->deadline == next->deadline && it->sequence < next->sequence))
                    next = it;
            }
            if (next == m_calls.end())
                break;
            m_manualNow = std::max(m_manualNow, next->deadline);
            ManualCall call = std::move(*next);
            m_calls.erase(next);
            if (call.context)
                call.fn();
        }
        m_manualNow = target;
    }

    int pendingCount(const QObject *context) const
    {
        return int(std::count_if(m_calls.cbegin(), m_calls.cend(), [context](const ManualCall &call) {
            return call.context && call.contextAddress == context;
        }));
    }

private:
    Clock() { m_real.start(); }

    QElapsedTimer m_real;
    qint64 m_offset = 0;
    bool m_manual = false;
    quint64 m_switches = 0;
    qint64 m_manualNow = 0;
    quint64 m_sequence = 0;
    std::list<ManualCall> m_calls;
};

} // namespace

// The timer is connected through the context, so Qt drops the call when the context dies.
// Without a context the call belongs to the application.
void performAfterDelay(QObject *context, double seconds, std::function<void()> fn)
{
    if (!fn)
        return;
    if (!context)
        context = QCoreApplication::instance();
    Clock &clock = Clock::instance();
    if (clock.isManual())
        clock.schedule(context, delayMilliseconds(seconds), std::move(fn));
    else
        QTimer::singleShot(delayMilliseconds(seconds), context, std::move(fn));
}

qint64 DMDeferredWorkClock::nowMilliseconds()
{
    return Clock::instance().now();
}

bool DMDeferredWorkClock::isManual()
{
    return Clock::instance().isManual();
}

void DMDeferredWorkClock::setManual(bool manual)
{
    Clock::instance().setManual(manual);
}

quint64 DMDeferredWorkClock::switchCount()
{
    return Clock::instance().switchCount();
}

void DMDeferredWorkClock::advance(qint64 milliseconds)
{
    Clock::instance().advance(milliseconds);
}

DMDelayedCalls::DMDelayedCalls() : m_context(new QObject) {}

DMDelayedCalls::~DMDelayedCalls()
{
    delete m_context;
}

void DMDelayedCalls::performAfterDelay(double seconds, std::function<void()> fn)
{
    if (!fn)
        return;
    if (DMDeferredWorkClock::isManual()) {
        ::performAfterDelay(m_context, seconds, std::move(fn));
        return;
    }
    // A timer per call, owned by the context: deleting the context deletes and so stops them.
    // The call may destroy this object, so nothing of it is touched after fn runs.
    auto *timer = new QTimer(m_context);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, fn = std::move(fn)]() {
        timer->deleteLater();
        fn();
    });
    timer->start(delayMilliseconds(seconds));
}

void DMDelayedCalls::cancelAll()
{
    delete m_context;
    m_context = new QObject;
}

int DMDelayedCalls::pendingCount() const
{
    int count = Clock::instance().pendingCount(m_context);
    for (const QTimer *timer : m_context->findChildren<QTimer *>(Qt::FindDirectChildrenOnly))
        if (timer->isActive())
            ++count;
    return count;
}
