#include "DMIdleTimeout.h"

#include "DMDelayedCall.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <map>
#include <vector>
#include <utility>

namespace {

constexpr double kTickSeconds = 0.02;

struct PendingCall
{
    std::function<void()> call;
    qint64 deadline = 0;   // clock milliseconds
    quint64 sequence = 0;  // order of the latest request, for ties and for calls made while firing
};

using Key = std::pair<const void *, QByteArray>;

class IdleTimeoutScheduler
{
public:
    static IdleTimeoutScheduler &instance()
    {
        static IdleTimeoutScheduler scheduler;
        return scheduler;
    }

    void schedule(const void *receiver, const char *selector, std::function<void()> call, double delaySeconds)
    {
        if (!call)
            return;
        const qint64 delay = delaySeconds > 0 ? qint64(delaySeconds * 1000.0 + 0.5) : 0;
        PendingCall &pending = m_calls[Key(receiver, QByteArray(selector))];
        pending.call = std::move(call);
        pending.deadline = DMDeferredWorkClock::nowMilliseconds() + delay;
        pending.sequence = ++m_sequence;
        scheduleTick();
    }

    void cancel(const void *receiver)
    {
        auto it = m_calls.lower_bound(Key(receiver, QByteArray()));
        while (it != m_calls.end() && it->first.first == receiver)
            it = m_calls.erase(it);
    }

    bool isPending(const void *receiver, const char *selector) const
    {
        return m_calls.count(Key(receiver, QByteArray(selector))) > 0;
    }

private:
    IdleTimeoutScheduler() = default;

    // One tick every 0.02 s while calls wait, a delayed call on the deferred-work clock. A tick
    // made on the other kind of clock (before a test switched it) is replaced, and ignored when
    // it comes.
    void scheduleTick()
    {
        const bool manual = DMDeferredWorkClock::isManual();
        if (m_tickScheduled && m_tickContext && m_tickManual == manual)
            return;
        if (!m_tickContext) {
            // Owned by the application so that it never outlives the event loop's thread data.
            m_tickContext = new QObject(QCoreApplication::instance());
        }
        m_tickScheduled = true;
        m_tickManual = manual;
        performAfterDelay(m_tickContext, kTickSeconds, [this, tick = ++m_tick] {
            if (tick != m_tick)
                return;
            m_tickScheduled = false;
            fireDueCalls();
            if (!m_calls.empty())
                scheduleTick();
        });
    }

    // Fires the due calls in deadline order. The due calls are collected in one pass; each is
    // taken out before it runs, so a call may schedule or cancel any call, itself included. A
    // call cancelled or requested again while firing is skipped (a new request waits for its
    // new deadline on a later tick).
    void fireDueCalls()
    {
        struct Due
        {
            qint64 deadline;
            quint64 sequence;
            Key key;
        };
        const qint64 now = DMDeferredWorkClock::nowMilliseconds();
        std::vector<Due> due;
        for (const auto &[key, pending] : m_calls) {
            if (pending.deadline <= now)
                due.push_back({pending.deadline, pending.sequence, key});
        }
        std::sort(due.begin(), due.end(), [](const Due &a, const Due &b) {
            return a.deadline != b.deadline ? a.deadline < b.deadline : a.sequence < b.sequence;
        });
        for (const Due &d : due) {
            auto it = m_calls.find(d.key);
            if (it == m_calls.end() || it->second.sequence != d.sequence)
                continue;
            std::function<void()> call = std::move(it->second.call);
            m_calls.erase(it);
            call();
        }
    }

    std::map<Key, PendingCall> m_calls;
    quint64 m_sequence = 0;
    QPointer<QObject> m_tickContext;
    bool m_tickScheduled = false;
    bool m_tickManual = false;
    quint64 m_tick = 0;
};

} // namespace

void performSelectorAfterIdleTimeout(const void *receiver, const char *selector, std::function<void()> call, double delaySeconds)
{
    IdleTimeoutScheduler::instance().schedule(receiver, selector, std::move(call), delaySeconds);
}

void performSelectorWithObjectAfterIdleTimeout(const void *receiver, const char *selector,
                                               std::function<void(const QVariant &)> call,
                                               const QVariant &argument, double delaySeconds)
{
    if (!call)
        return;
    IdleTimeoutScheduler::instance().schedule(
        receiver, selector, [call = std::move(call), argument] { call(argument); }, delaySeconds);
}

void destroyPendingIdleInvocations(const void *receiver)
{
    IdleTimeoutScheduler::instance().cancel(receiver);
}

bool hasPendingIdleInvocation(const void *receiver, const char *selector)
{
    return IdleTimeoutScheduler::instance().isPending(receiver, selector);
}
