#include "DMIdleTimeout.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

using halcyra::test::pumpEvents;
using halcyra::test::waitFor;

namespace {

// A receiver that cancels its pending calls when it goes away, as every user does.
struct Receiver
{
    ~Receiver() { destroyPendingIdleInvocations(this); }
    QList<QVariant> received;
};

} // namespace

TEST(IdleTimeout, RepeatedRequestsFireOnceAtTheLastDeadlineWithTheLastArgument)
{
    Receiver r;
    QElapsedTimer clock;
    clock.start();
    qint64 firedAt = -1;
    qint64 lastRequestAt = 0;
    for (int i = 1; i <= 3; ++i) {
        lastRequestAt = clock.elapsed();
        performSelectorWithObjectAfterIdleTimeout(&r, "textDidChange:", [&](const QVariant &v) {
            r.received.append(v);
            firedAt = clock.elapsed();
        }, i, 0.1);
        if (i < 3)
            pumpEvents(20);
    }
    EXPECT_TRUE(r.received.isEmpty());
    EXPECT_TRUE(hasPendingIdleInvocation(&r, "textDidChange:"));
    ASSERT_TRUE(waitFor([&] { return !r.received.isEmpty(); }));
    pumpEvents(150);
    EXPECT_EQ(r.received, (QList<QVariant>{3}));
    EXPECT_GE(firedAt - lastRequestAt, 99);
    EXPECT_FALSE(hasPendingIdleInvocation(&r, "textDidChange:"));
}

TEST(IdleTimeout, DueCallsFireInDeadlineOrderThenRequestOrder)
{
    Receiver a, b;
    QStringList order;
    performSelectorAfterIdleTimeout(&a, "third", [&] { order << "a.third"; }, 0.06);
    performSelectorAfterIdleTimeout(&b, "first", [&] { order << "b.first"; }, 0.02);
    performSelectorAfterIdleTimeout(&a, "second", [&] { order << "a.second"; }, 0.04);
    QThread::msleep(80); // all three are due before the next tick
    ASSERT_TRUE(waitFor([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (QStringList{"b.first", "a.second", "a.third"}));

    // A push of thousands of items schedules a callback per item; all fire, in request order.
    std::vector<Receiver> receivers(5000);
    std::vector<int> fired;
    for (int i = 0; i < int(receivers.size()); ++i)
        performSelectorAfterIdleTimeout(&receivers[size_t(i)], "changed", [&fired, i] { fired.push_back(i); }, 0);
    ASSERT_TRUE(waitFor([&] { return fired.size() == receivers.size(); }));
    EXPECT_TRUE(std::is_sorted(fired.begin(), fired.end()));
}

TEST(IdleTimeout, CancellingByReceiver)
{
    int fired = 0;
    Receiver kept;
    {
        Receiver gone;
        performSelectorAfterIdleTimeout(&gone, "one", [&] { fired += 100; }, 0.02);
        performSelectorAfterIdleTimeout(&gone, "two", [&] { fired += 100; }, 0.02);
        performSelectorAfterIdleTimeout(&kept, "one", [&] { fired += 1; }, 0.02);
    } // gone's destructor cancels its two calls only
    EXPECT_TRUE(hasPendingIdleInvocation(&kept, "one"));
    ASSERT_TRUE(waitFor([&] { return fired > 0; }));
    pumpEvents(60);
    EXPECT_EQ(fired, 1);
}

TEST(IdleTimeout, CallsMayScheduleAndCancelWhileFiring)
{
    Receiver r, other;
    int selfRuns = 0;
    int otherRuns = 0;
    std::function<void()> again = [&] {
        ++selfRuns;
        destroyPendingIdleInvocations(&other); // due in the same tick, must not run
        if (selfRuns < 3)
            performSelectorAfterIdleTimeout(&r, "again", again, 0); // waits for a later tick
    };
    performSelectorAfterIdleTimeout(&r, "again", again, 0.01);
    performSelectorAfterIdleTimeout(&other, "late", [&] { ++otherRuns; }, 0.02);
    QThread::msleep(40);
    ASSERT_TRUE(waitFor([&] { return selfRuns == 3; }));
    pumpEvents(60);
    EXPECT_EQ(selfRuns, 3);
    EXPECT_EQ(otherRuns, 0);
    EXPECT_FALSE(hasPendingIdleInvocation(&r, "again"));
}
