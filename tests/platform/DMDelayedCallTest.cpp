#include "DMDelayedCall.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using halcyra::test::pumpEvents;
using halcyra::test::waitFor;

TEST(DMDelayedCall, RunsOnceAfterTheDelay)
{
    QObject context;
    std::vector<qint64> ranAt;
    const qint64 start = halcyra::test::elapsedMilliseconds();
    performAfterDelay(&context, 0.05, [&] { ranAt.push_back(halcyra::test::elapsedMilliseconds() - start); });
    EXPECT_TRUE(ranAt.empty());
    ASSERT_TRUE(waitFor([&] { return !ranAt.empty(); }));
    pumpEvents(60);
    ASSERT_EQ(ranAt.size(), 1u);
    EXPECT_GE(ranAt[0], 45);
}

TEST(DMDelayedCall, CallsDieWithTheirContextOrMemberOrWhenCancelled)
{
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
    pumpEvents(40);
    EXPECT_EQ(calls, 0);

    member.performAfterDelay(0, [&] { calls += 10; });
    ASSERT_TRUE(waitFor([&] { return calls == 10; }));
    EXPECT_EQ(member.pendingCount(), 0);
}

TEST(DMDelayedCall, ACallMayDestroyItsOwner)
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
