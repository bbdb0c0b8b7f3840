#include "DMIdleTimeout.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using halcyra::test::ManualClock;

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
    ManualClock clock;
    Receiver r;
    for (int i = 1; i <= 3; ++i) {
        performSelectorWithObjectAfterIdleTimeout(&r, "textDidChange:", [&](const QVariant &v) { r.received.append(v); },
                                                  i, 0.1);
        if (i < 3)
            clock.advance(20);
    }
    // The last request, at 40 ms, is due at 140 ms; the 0.02 s tick fires it at 140.
    clock.advance(99);
    EXPECT_TRUE(r.received.isEmpty());
    EXPECT_TRUE(hasPendingIdleInvocation(&r, "textDidChange:"));
    clock.advance(1);
    EXPECT_EQ(r.received, (QList<QVariant>{3}));
    clock.advance(200);
    EXPECT_EQ(r.received, (QList<QVariant>{3}));
    EXPECT_FALSE(hasPendingIdleInvocation(&r, "textDidChange:"));
}

TEST(IdleTimeout, DueCallsFireInDeadlineOrderThenRequestOrder)
{
    ManualClock clock;
    Receiver a, b;
    QStringList order;
    // All three are due by the first tick, which fires them by deadline.
    performSelectorAfterIdleTimeout(&a, "third", [&] { order << "a.third"; }, 0.015);
    performSelectorAfterIdleTimeout(&b, "first", [&] { order << "b.first"; }, 0.005);
    performSelectorAfterIdleTimeout(&a, "second", [&] { order << "a.second"; }, 0.01);
    clock.advance(20);
    EXPECT_EQ(order, (QStringList{"b.first", "a.second", "a.third"}));

    // A push of thousands of items schedules a callback per item; all fire, in request order.
    std::vector<Receiver> receivers(5000);
    std::vector<int> fired;
    for (int i = 0; i < int(receivers.size()); ++i)
        performSelectorAfterIdleTimeout(&receivers[size_t(i)], "changed", [&fired, i] { fired.push_back(i); }, 0);
    clock.advance(20);
    EXPECT_EQ(fired.size(), receivers.size());
    EXPECT_TRUE(std::is_sorted(fired.begin(), fired.end()));
}

TEST(IdleTimeout, CancellingByReceiver)
{
    ManualClock clock;
    int fired = 0;
    Receiver kept;
    {
        Receiver gone;
        performSelectorAfterIdleTimeout(&gone, "one", [&] { fired += 100; }, 0.02);
        performSelectorAfterIdleTimeout(&gone, "two", [&] { fired += 100; }, 0.02);
        performSelectorAfterIdleTimeout(&kept, "one", [&] { fired += 1; }, 0.02);
    } // gone's destructor cancels its two calls only
    EXPECT_TRUE(hasPendingIdleInvocation(&kept, "one"));
    clock.advance(100);
    EXPECT_EQ(fired, 1);
}

// Names made at run time (a control's key) are told apart by their text, not their address:
// the same text from another buffer folds into the pending call, another text does not.
TEST(IdleTimeout, NamesAreComparedByText)
{
    ManualClock clock;
    Receiver r;
    int fired = 0;
    QByteArray name("commit:title");
    performSelectorAfterIdleTimeout(&r, name.constData(), [&] { fired += 1; }, 0.02);
    name = QByteArray("commit:") + QByteArray("title");
    performSelectorAfterIdleTimeout(&r, name.constData(), [&] { fired += 10; }, 0.02);
    name = "commit:notes";
    performSelectorAfterIdleTimeout(&r, name.constData(), [&] { fired += 100; }, 0.02);
    name.clear();
    EXPECT_TRUE(hasPendingIdleInvocation(&r, "commit:title"));
    EXPECT_FALSE(hasPendingIdleInvocation(&r, "commit:"));
    clock.advance(40);
    EXPECT_EQ(fired, 110);
    EXPECT_FALSE(hasPendingIdleInvocation(&r, "commit:title"));
}

TEST(IdleTimeout, CallsMayScheduleAndCancelWhileFiring)
{
    ManualClock clock;
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
    performSelectorAfterIdleTimeout(&other, "late", [&] { ++otherRuns; }, 0.015);
    clock.advance(20);
    EXPECT_EQ(selfRuns, 1);
    clock.advance(40);
    EXPECT_EQ(selfRuns, 3);
    clock.advance(100);
    EXPECT_EQ(selfRuns, 3);
    EXPECT_EQ(otherRuns, 0);
    EXPECT_FALSE(hasPendingIdleInvocation(&r, "again"));
}

TEST(IdleTimeout, RealTimeFiresOnTheEventLoop)
{
    Receiver r;
    performSelectorAfterIdleTimeout(&r, "soon", [&] { r.received.append(1); }, 0.01);
    ASSERT_TRUE(halcyra::test::waitFor([&] { return !r.received.isEmpty(); }));
    EXPECT_FALSE(hasPendingIdleInvocation(&r, "soon"));
}

TEST(IdleTimeout, ACallLeftPendingWhenAManualClockEndsDoesNotStopTheNextOnesTicks)
{
    // A test that ends while a call waits hands its tick over to real time; the next manual
    // clock must still fire what is asked under it.
    Receiver earlier;
    Receiver later;
    {
        ManualClock clock;
        performSelectorAfterIdleTimeout(&earlier, "apply", [&earlier] { earlier.received << 1; }, 0.25);
    }
    ManualClock clock;
    performSelectorAfterIdleTimeout(&later, "apply", [&later] { later.received << 2; }, 0.25);
    clock.advance(300);
    EXPECT_EQ(later.received, QList<QVariant>{2});
    EXPECT_EQ(earlier.received, QList<QVariant>{1});
}
