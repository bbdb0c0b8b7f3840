#include "DMDelayedCall.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using halcyra::test::ManualClock;

TEST(DMDelayedCall, RunsOnceAfterTheDelay)
{
    ManualClock clock;
    QObject context;
    int runs = 0;
    performAfterDelay(&context, 0.05, [&] { ++runs; });
    clock.advance(49);
    EXPECT_EQ(runs, 0);
    clock.advance(1);
    EXPECT_EQ(runs, 1);
    clock.advance(100);
    EXPECT_EQ(runs, 1);
}

TEST(DMDelayedCall, ManualTimeRunsCallsInTheOrderOfTheirTimesWithThoseTheyMake)
{
    ManualClock clock;
    QObject context;
    QStringList order;
    performAfterDelay(&context, 0.03, [&] { order << "30"; });
    performAfterDelay(&context, 0.01, [&] {
        order << "10";
        performAfterDelay(&context, 0.01, [&] { order << "20"; }); // due within the same advance
    });
    performAfterDelay(&context, 0.03, [&] { order << "30 again"; });
    const qint64 start = DMDeferredWorkClock::nowMilliseconds();
    clock.advance(30);
    EXPECT_EQ(order, (QStringList{"10", "20", "30", "30 again"}));
    EXPECT_EQ(DMDeferredWorkClock::nowMilliseconds() - start, 30);
}

TEST(DMDelayedCall, CallsDieWithTheirContextOrMemberOrWhenCancelled)
{
    ManualClock clock;
    int calls = 0;
    auto context = std::make_unique<QObject>();
    performAfterDelay(context.get(), 0, [&] { ++calls; });
    performAfterDelay(context.get(), 0.01, [&] { ++calls; });
    context.reset();
    {
        DMDelayedCalls member;
        member.performAfterDelay(0, [&] { ++calls; });
        member.performAfterDelay(0.01, [&] { ++calls; });
        EXPECT_EQ(member.pendingCount(), 2);
    }
    DMDelayedCalls member;
    member.performAfterDelay(0.01, [&] { ++calls; });
    member.cancelAll();
    EXPECT_EQ(member.pendingCount(), 0);
    clock.advance(40);
    EXPECT_EQ(calls, 0);

    member.performAfterDelay(0, [&] { calls += 10; });
    clock.advance(0);
    EXPECT_EQ(calls, 10);
    EXPECT_EQ(member.pendingCount(), 0);
}

TEST(DMDelayedCall, ACallMayDestroyItsOwner)
{
    struct Owner
    {
        DMDelayedCalls delayed;
    };
    ManualClock clock;
    auto owner = std::make_unique<Owner>();
    int later = 0;
    owner->delayed.performAfterDelay(0, [&] { owner.reset(); });
    owner->delayed.performAfterDelay(0.02, [&] { ++later; });
    clock.advance(50);
    EXPECT_FALSE(owner);
    EXPECT_EQ(later, 0);
}

TEST(DMDelayedCall, RealTimeRunsOnTheEventLoopAndKeepsWhatWasLeftOfAManualDelay)
{
    QObject context;
    int runs = 0;
    {
        ManualClock clock;
        performAfterDelay(&context, 0.03, [&] { ++runs; });
        clock.advance(20);
    } // back to real time with 10 ms to go
    const qint64 start = halcyra::test::elapsedMilliseconds();
    EXPECT_EQ(runs, 0);
    ASSERT_TRUE(halcyra::test::waitFor([&] { return runs == 1; }));
    EXPECT_LT(halcyra::test::elapsedMilliseconds() - start, 1000);
}
