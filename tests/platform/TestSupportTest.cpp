// The tests' own event-loop helpers: work that never ends fails the test instead of passing
// unnoticed.
#include "TestSupport.h"

#include <QTimer>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

TEST(TestSupport, RunUntilIdleFailsWhenWorkKeepsComing)
{
    QTimer endless;
    endless.setInterval(0);
    int fired = 0;
    QObject::connect(&endless, &QTimer::timeout, [&fired] { ++fired; });
    endless.start();
    EXPECT_NONFATAL_FAILURE(halcyra::test::runUntilIdle(), "events kept coming");
    endless.stop();
    EXPECT_GT(fired, 0);

    // Work that ends lets it return without a failure.
    int runs = 0;
    QTimer::singleShot(0, [&runs] { ++runs; });
    halcyra::test::runUntilIdle();
    EXPECT_EQ(runs, 1);
}
