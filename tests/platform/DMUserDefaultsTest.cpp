#include "DMUserDefaults.h"

#include "DMObservable.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DMUserDefaultsTest : public ::testing::Test
{
protected:
    void SetUp() override { DMUserDefaults::setStorageFileForTesting(m_dir.filePath(QStringLiteral("defaults.ini"))); }
    void TearDown() override { DMUserDefaults::setStorageFileForTesting(m_dir.filePath(QStringLiteral("unused.ini"))); }

    // As on the next launch: the same file, defaults registered again.
    void relaunch(const QVariantMap &defaults)
    {
        DMUserDefaults::standardUserDefaults().synchronize();
        DMUserDefaults::setStorageFileForTesting(m_dir.filePath(QStringLiteral("defaults.ini")));
        DMUserDefaults::standardUserDefaults().registerDefaults(defaults);
    }

    QTemporaryDir m_dir;
};

const QVariantMap kDefaults{
    {QStringLiteral("ShowGrid"), QVariant(true)},
    {QStringLiteral("Zoom"), QVariant(1.5)},
    {QStringLiteral("RecentCount"), QVariant(10)},
    {QStringLiteral("Title"), QStringLiteral("Untitled")},
};

} // namespace

TEST_F(DMUserDefaultsTest, StoredValuesWinOverRegisteredDefaultsAndRemovingRestoresThem)
{
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    defaults.registerDefaults(kDefaults);
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("ShowGrid")));
    EXPECT_FALSE(defaults.hasStoredValueForKey(QStringLiteral("ShowGrid")));
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("Unknown")).isValid());

    defaults.setBoolForKey(false, QStringLiteral("ShowGrid"));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("ShowGrid")));
    EXPECT_TRUE(defaults.hasStoredValueForKey(QStringLiteral("ShowGrid")));
    // Registering again does not touch what was stored.
    defaults.registerDefaults({{QStringLiteral("ShowGrid"), QVariant(true)}});
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("ShowGrid")));

    defaults.removeObjectForKey(QStringLiteral("ShowGrid"));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("ShowGrid")));
}

TEST_F(DMUserDefaultsTest, ValuesKeepTheirTypesAcrossALaunch)
{
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    defaults.registerDefaults(kDefaults);
    const QVariantMap window{{QStringLiteral("frame"), QVariantList{QVariant(10), QVariant(20)}},
                             {QStringLiteral("title"), QStringLiteral("Plan")}};
    const QVariantList recent{QStringLiteral("/a.plan"), QStringLiteral("/b.plan")};
    defaults.setBoolForKey(false, QStringLiteral("ShowGrid"));
    defaults.setDoubleForKey(0.75, QStringLiteral("Zoom"));
    defaults.setIntegerForKey(-3, QStringLiteral("RecentCount"));
    defaults.setObjectForKey(QStringLiteral("@odd, \"text\"; with=signs"), QStringLiteral("Title"));
    defaults.setObjectForKey(window, QStringLiteral("Window"));
    defaults.setObjectForKey(recent, QStringLiteral("Recent"));

    relaunch(kDefaults);
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("ShowGrid")), QVariant(false));
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("Zoom")), QVariant(0.75));
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("RecentCount")), QVariant(-3));
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("Title")), QStringLiteral("@odd, \"text\"; with=signs"));
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("Window")), QVariant(window));
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("Recent")), QVariant(recent));
}

TEST_F(DMUserDefaultsTest, ObserversHearChangesOfTheirKey)
{
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    QStringList heard;
    DMObservation observation = defaults.observe(QStringLiteral("Zoom"), [&](const QString &key) {
        heard << key + QLatin1Char('=') + QString::number(DMUserDefaults::standardUserDefaults().doubleForKey(key));
    });
    defaults.setDoubleForKey(2, QStringLiteral("Zoom"));
    defaults.setBoolForKey(true, QStringLiteral("ShowGrid"));
    defaults.removeObjectForKey(QStringLiteral("Zoom"));
    EXPECT_EQ(heard, (QStringList{QStringLiteral("Zoom=2"), QStringLiteral("Zoom=0")}));
}
