#include "DMObservable.h"

#include <gtest/gtest.h>

namespace {

struct Thing : DMObservable
{
    int value = 0;
    void setValue(int v)
    {
        willChangeValueForKey(QStringLiteral("value"));
        value = v;
        didChangeValueForKey(QStringLiteral("value"));
    }
};

TEST(DMObservable, AnnouncesBeforeAndAfterToObserversOfTheKey)
{
    Thing thing;
    std::vector<std::pair<bool, int>> seen;
    DMObservation observation = thing.observe(
        QStringLiteral("value"), [&](const DMChange &change, DMObservable *) { seen.push_back({change.prior, thing.value}); },
        true);
    int others = 0;
    DMObservation other = thing.observe(QStringLiteral("title"), [&](const DMChange &, DMObservable *) { ++others; });
    thing.setValue(5);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(true, 0));
    EXPECT_EQ(seen[1], std::make_pair(false, 5));
    EXPECT_EQ(others, 0);
}

TEST(DMObservable, ResetOrDestroyedObservationStopsCallsAndMayOutliveTheObject)
{
    int calls = 0;
    DMObservation outliving;
    {
        Thing thing;
        DMObservation observation = thing.observe(QString(), [&](const DMChange &, DMObservable *) { ++calls; });
        thing.setValue(1);
        observation.reset();
        thing.setValue(2);
        outliving = thing.observe(QString(), [&](const DMChange &, DMObservable *) { ++calls; });
    }
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(outliving.isActive());
    outliving.reset(); // no crash after the object is gone
}

TEST(DMObservable, ObserverMayRemoveItselfWhileCalled)
{
    Thing thing;
    int calls = 0;
    DMObservation observation;
    observation = thing.observe(QStringLiteral("value"), [&](const DMChange &, DMObservable *) {
        ++calls;
        observation.reset();
    });
    thing.setValue(1);
    thing.setValue(2);
    EXPECT_EQ(calls, 1);
}

} // namespace
