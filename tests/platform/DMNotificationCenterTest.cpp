#include "DMNotificationCenter.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>

using halcyra::test::runUntilIdle;

namespace {

const QString kChanged = QStringLiteral("Changed");
const QString kSaved = QStringLiteral("Saved");

} // namespace

TEST(DMNotificationCenter, PostReachesObserversByNameAndSender)
{
    DMNotificationCenter center;
    int a = 0, b = 0;
    QStringList seen;
    DMNotificationObserver ofA = center.addObserver(kChanged, &a, [&](const DMNotification &) { ++a; });
    DMNotificationObserver anySender = center.addObserver(kChanged, nullptr, [&](const DMNotification &n) {
        seen << n.userInfo.value(QStringLiteral("what")).toString();
    });
    DMNotificationObserver everything = center.addObserver(QString(), nullptr, [&](const DMNotification &) { ++b; });

    center.postNotification(kChanged, &a, {{QStringLiteral("what"), QStringLiteral("first")}});
    center.postNotification(kChanged, &b, {{QStringLiteral("what"), QStringLiteral("second")}});
    center.postNotification(kSaved, &a);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(b, 3);
}

TEST(DMNotificationCenter, DestroyedOrResetTokensRemoveTheirObserver)
{
    DMNotificationCenter center;
    int calls = 0;
    {
        DMNotificationObserver scoped = center.addObserver(kChanged, nullptr, [&](const DMNotification &) { ++calls; });
        center.postNotification(kChanged);
    }
    center.postNotification(kChanged);
    EXPECT_EQ(calls, 1);

    DMNotificationObserver moved;
    {
        DMNotificationObserver original = center.addObserver(kChanged, nullptr, [&](const DMNotification &) { ++calls; });
        moved = std::move(original);
    }
    center.postNotification(kChanged);
    moved.reset();
    center.postNotification(kChanged);
    EXPECT_EQ(calls, 2) << "a moved token keeps its observer until reset";

    // A token may outlive its centre.
    auto transient = std::make_unique<DMNotificationCenter>();
    DMNotificationObserver outliving = transient->addObserver(kChanged, nullptr, [](const DMNotification &) {});
    transient.reset();
    outliving.reset();
}

TEST(DMNotificationCenter, AnObserverRemovedDuringAPostIsNotCalled)
{
    DMNotificationCenter center;
    int secondCalls = 0;
    std::optional<DMNotificationObserver> second;
    DMNotificationObserver first = center.addObserver(kChanged, nullptr, [&](const DMNotification &) { second.reset(); });
    second = center.addObserver(kChanged, nullptr, [&](const DMNotification &) { ++secondCalls; });
    center.postNotification(kChanged);
    EXPECT_EQ(secondCalls, 0);
}

TEST(DMNotificationCenter, IdleNotificationsAreCoalescedByNameAndSender)
{
    DMNotificationCenter center;
    int senderA = 0, senderB = 0;
    QList<std::pair<const void *, QString>> seen;
    DMNotificationObserver observer = center.addObserver(kChanged, nullptr, [&](const DMNotification &n) {
        seen.append({n.object, n.userInfo.value(QStringLiteral("n")).toString()});
    });
    for (int i = 0; i < 5; ++i) {
        center.enqueueNotificationWhenIdle(kChanged, &senderA, {{QStringLiteral("n"), QString::number(i)}});
        center.enqueueNotificationWhenIdle(kChanged, &senderB, {{QStringLiteral("n"), QString::number(i)}});
    }
    EXPECT_TRUE(seen.isEmpty()) << "posted before the loop was idle";
    runUntilIdle();
    EXPECT_EQ(seen, (QList<std::pair<const void *, QString>>{{&senderA, QStringLiteral("4")}, {&senderB, QStringLiteral("4")}}));

    // Once posted, the next one queues anew.
    center.enqueueNotificationWhenIdle(kChanged, &senderA);
    runUntilIdle();
    EXPECT_EQ(seen.size(), 3);
}

TEST(DMNotificationCenter, QueuedNotificationsDieWithTheirSenderOrCentre)
{
    int calls = 0;
    int sender = 0;
    {
        DMNotificationCenter center;
        DMNotificationObserver observer = center.addObserver(QString(), nullptr, [&](const DMNotification &) { ++calls; });
        center.enqueueNotificationWhenIdle(kChanged, &sender);
        center.enqueueNotificationWhenIdle(kSaved, nullptr);
        center.dequeueNotificationsForObject(&sender);
        runUntilIdle();
        EXPECT_EQ(calls, 1);
        center.enqueueNotificationWhenIdle(kSaved, nullptr);
    }
    runUntilIdle();
    EXPECT_EQ(calls, 1);
}
