#include "DMDelayedCall.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using halcyra::test::pumpEvents;
using halcyra::test::waitFor;

TEST(DMDelayedCall, RunsOnceAfterTheDelay)
{
    QObject context;
    int calls = 0;
    const qint64 start = halcyra::test::elapsedMilliseconds();
    qint64 ranAt = 0;
    performAfterDelay(&context, 0.05, [&] {
        ++calls;
        ranAt = halcyra::test::elapsedMilliseconds();
    });
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(waitFor([&] { return calls == 1; }));
    EXPECT_GE(ranAt - start, 45);
    pumpEvents(60);
    EXPECT_EQ(calls, 1);
}

TEST(DMDelayedCall, IsCancelledWhenTheContextDies)
{
    int calls = 0;
    auto context = std::make_unique<QObject>();
    performAfterDelay(context.get(), 0, [&] { ++calls; });
    performAfterDelay(context.get(), 0.01, [&] { ++calls; });
    context.reset();
    pumpEvents(40);
    EXPECT_EQ(calls, 0);
}

TEST(DMDelayedCalls, DestroyingOrCancellingTheMemberCancelsItsCalls)
{
    int calls = 0;
    {
        DMDelayedCalls calls1;
        calls1.performAfterDelay(0, [&] { ++calls; });
        calls1.performAfterDelay(0.01, [&] { ++calls; });
        EXPECT_EQ(calls1.pendingCount(), 2);
    }
    pumpEvents(40);
    EXPECT_EQ(calls, 0);

    DMDelayedCalls member;
    member.performAfterDelay(0.01, [&] { ++calls; });
    member.cancelAll();
    EXPECT_EQ(member.pendingCount(), 0);
    member.performAfterDelay(0, [&] { calls += 10; });
    ASSERT_TRUE(waitFor([&] { return calls == 10; }));
    EXPECT_EQ(member.pendingCount(), 0);
}

TEST(DMDelayedCalls, ACallMayDestroyItsOwner)
{
    struct Owner
    {
        DMDelayedCalls delayed;
    };
    auto owner = std::make_unique<Owner>();
    int later = 0;
    owner->delayed.performAfterDelay(0, [&] { owner.reset(); });
    owner->delayed.performAfterDelay(0.02, [&] { ++later; });
    ASSERT_TRUE(waitFor([&] { return !owner; }));
    pumpEvents(50);
    EXPECT_EQ(later, 0);
}
