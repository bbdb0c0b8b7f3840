#include "DMUserDefaults.h"

#include "DMObservable.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

const QVariantMap kDefaults{
    {QStringLiteral("ShowGrid"), QVariant(true)},
    {QStringLiteral("Zoom"), QVariant(1.5)},
    {QStringLiteral("RecentCount"), QVariant(10)},
};

// The shared defaults over a file of their own, with kDefaults registered.
class DMUserDefaultsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DMUserDefaults::setStorageFileForTesting(m_dir.filePath(QStringLiteral("defaults.ini")));
        defaults.registerDefaults(kDefaults);
    }
    void TearDown() override { DMUserDefaults::setStorageFileForTesting(m_dir.filePath(QStringLiteral("unused.ini"))); }

    // As on the next launch: the same file, defaults registered again.
    void relaunch()
    {
        defaults.synchronize();
        SetUp();
    }

    QTemporaryDir m_dir;
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
};

} // namespace

TEST_F(DMUserDefaultsTest, StoredValuesWinOverRegisteredDefaultsAndRemovingRestoresThem)
{
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("ShowGrid")));
    EXPECT_FALSE(defaults.hasStoredValueForKey(QStringLiteral("ShowGrid")));
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("Unknown")).isValid());

    defaults.setBoolForKey(false, QStringLiteral("ShowGrid"));
    EXPECT_TRUE(defaults.hasStoredValueForKey(QStringLiteral("ShowGrid")));
    // Registering again does not touch what was stored.
    defaults.registerDefaults({{QStringLiteral("ShowGrid"), QVariant(true)}});
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("ShowGrid")));

    defaults.removeObjectForKey(QStringLiteral("ShowGrid"));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("ShowGrid")));
}

TEST_F(DMUserDefaultsTest, ValuesKeepTheirTypesAcrossALaunch)
{
    const QVariantMap stored{
        {QStringLiteral("ShowGrid"), QVariant(false)},
        {QStringLiteral("Zoom"), QVariant(0.75)},
        {QStringLiteral("RecentCount"), QVariant(-3)},
        {QStringLiteral("Title"), QStringLiteral("@odd, \"text\"; with=signs")},
        {QStringLiteral("Window"), QVariantMap{{QStringLiteral("frame"), QVariantList{QVariant(10), QVariant(20)}},
                                               {QStringLiteral("title"), QStringLiteral("Plan")}}},
        {QStringLiteral("Recent"), QVariantList{QStringLiteral("/a.plan"), QStringLiteral("/b.plan")}},
    };
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it)
        defaults.setObjectForKey(it.value(), it.key());

    relaunch();
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it) {
        EXPECT_EQ(defaults.objectForKey(it.key()), it.value()) << qPrintable(it.key());
        EXPECT_EQ(defaults.objectForKey(it.key()).metaType(), it.value().metaType()) << qPrintable(it.key());
    }
}

TEST_F(DMUserDefaultsTest, ObserversHearChangesOfTheirKey)
{
    QStringList heard;
    DMObservation observation = defaults.observe(QStringLiteral("Zoom"), [&](const QString &key) {
        heard << key + QLatin1Char('=') + QString::number(defaults.doubleForKey(key));
    });
    defaults.setDoubleForKey(2, QStringLiteral("Zoom"));
    defaults.setBoolForKey(true, QStringLiteral("ShowGrid"));
    defaults.removeObjectForKey(QStringLiteral("Zoom"));
    EXPECT_EQ(heard, (QStringList{QStringLiteral("Zoom=2"), QStringLiteral("Zoom=1.5")}));
}

TEST_F(DMUserDefaultsTest, TheFileHoldingPasswordsIsReadableByItsOwnerOnly)
{
    const auto mode = [](const QString &path) {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777 : 0;
    };
    // A new file, and a file that others could read before.
    const QString fresh = m_dir.filePath(QStringLiteral("settings/new.ini"));
    const QString open = m_dir.filePath(QStringLiteral("open.ini"));
    QFile file(open);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nShowGrid=false\n");
    file.close();
    ASSERT_TRUE(file.setPermissions(file.permissions() | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    for (const QString &path : {fresh, open}) {
        DMUserDefaults::setStorageFileForTesting(path);
        defaults.setObjectForKey(QStringLiteral("s3cret"), QStringLiteral("kDMHalcyra_WebExportFTPPassword"));
        defaults.synchronize();
        EXPECT_EQ(mode(path), 0600u) << path.toStdString();
        EXPECT_EQ(defaults.stringForKey(QStringLiteral("kDMHalcyra_WebExportFTPPassword")), QStringLiteral("s3cret"));
    }
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("ShowGrid"))); // what the old file held is kept
}

TEST_F(DMUserDefaultsTest, TheSettingsFileIsNamedAsTheUserFindsIt)
{
    // Under the home folder it is written from "~", as the README names it.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_dir.path()));
    DMUserDefaults::setStorageFileForTesting(m_dir.filePath(QStringLiteral(".config/Halcyra/Halcyra.ini")));
    EXPECT_EQ(defaults.storageFileName(), QStringLiteral("~/.config/Halcyra/Halcyra.ini"));
    // Elsewhere, as it stands.
    qputenv("HOME", "/nonexistent-home");
    EXPECT_EQ(defaults.storageFileName(), m_dir.filePath(QStringLiteral(".config/Halcyra/Halcyra.ini")));
    qputenv("HOME", home);
}
