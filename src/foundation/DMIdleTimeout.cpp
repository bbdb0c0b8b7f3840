#include "DMIdleTimeout.h"

#include "DMDelayedCall.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr double kTickSeconds = 0.02;

struct PendingCall
{
    std::function<void()> call;
    qint64 deadline = 0;   // clock milliseconds
    quint64 sequence = 0;  // order of the latest request, for ties and for calls made while firing
};

// The pending calls of one receiver, by the call's name: a receiver has a few at most, so a
// look-up hashes the pointer and compares the names in place, without copying the name.
struct NamedCall
{
    QByteArray selector;
    PendingCall pending;
};
using ReceiverCalls = std::vector<NamedCall>;

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
        ReceiverCalls &calls = m_calls[receiver];
        NamedCall *named = find(calls, selector);
        if (!named)
            named = &calls.emplace_back(NamedCall{QByteArray(selector), {}});
        PendingCall &pending = named->pending;
        pending.call = std::move(call);
        pending.deadline = DMDeferredWorkClock::nowMilliseconds() + delay;
        pending.sequence = ++m_sequence;
        scheduleTick();
    }

    void cancel(const void *receiver)
    {
        m_calls.erase(receiver);
    }

    bool isPending(const void *receiver, const char *selector) const
    {
        const auto it = m_calls.find(receiver);
        return it != m_calls.end() && find(const_cast<ReceiverCalls &>(it->second), selector);
    }

private:
    static NamedCall *find(ReceiverCalls &calls, const char *selector)
    {
        const char *name = selector ? selector : "";
        for (NamedCall &call : calls)
            if (std::strcmp(call.selector.constData(), name) == 0)
                return &call;
        return nullptr;
    }

    IdleTimeoutScheduler() = default;

    // One tick every 0.02 s while calls wait, a delayed call on the deferred-work clock. A tick
    // made before the clock last switched between manual and real time (a test began or ended)
    // waits on the other kind of clock: it is replaced, and ignored when it comes.
    void scheduleTick()
    {
        const quint64 clockSwitches = DMDeferredWorkClock::switchCount();
        if (m_tickScheduled && m_tickContext && m_tickClockSwitches == clockSwitches)
            return;
        if (!m_tickContext) {
            // Owned by the application so that it never outlives the event loop's thread data.
            m_tickContext = new QObject(QCoreApplication::instance());
        }
        m_tickScheduled = true;
        m_tickClockSwitches = clockSwitches;
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
            const void *receiver;
        };
        const qint64 now = DMDeferredWorkClock::nowMilliseconds();
        std::vector<Due> due;
        for (const auto &[receiver, calls] : m_calls)
            for (const NamedCall &named : calls)
                if (named.pending.deadline <= now)
                    due.push_back({named.pending.deadline, named.pending.sequence, receiver});
        std::sort(due.begin(), due.end(), [](const Due &a, const Due &b) {
            return a.deadline != b.deadline ? a.deadline < b.deadline : a.sequence < b.sequence;
        });
        // A sequence number names one request: a call requested again has a new one.
        for (const Due &d : due) {
            const auto it = m_calls.find(d.receiver);
            if (it == m_calls.end())
                continue;
            ReceiverCalls &calls = it->second;
            const auto named = std::find_if(calls.begin(), calls.end(),
                                            [&](const NamedCall &c) { return c.pending.sequence == d.sequence; });
            if (named == calls.end())
                continue;
            std::function<void()> call = std::move(named->pending.call);
            calls.erase(named);
            if (calls.empty())
                m_calls.erase(it);
            call();
        }
    }

    std::unordered_map<const void *, ReceiverCalls> m_calls;
    quint64 m_sequence = 0;
    QPointer<QObject> m_tickContext;
    bool m_tickScheduled = false;
    quint64 m_tickClockSwitches = 0;
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
