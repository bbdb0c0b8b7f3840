// Test entry point: a headless QApplication, and per-process configuration, data and temporary
// folders so that user defaults and support files written by one test run never touch the user's
// own or another run's, and nothing is left behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Static, and made before anything else of the process that outlives main, so it is removed
    // after all of those are destroyed: the user defaults write their file on the way out, which
    // would make the folder anew if it were removed before.
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/HalcyraTests-XXXXXX"));
    setenv("XDG_CONFIG_HOME", qPrintable(home.filePath("config")), 1);
    setenv("XDG_DATA_HOME", qPrintable(home.filePath("data")), 1);
    setenv("XDG_CACHE_HOME", qPrintable(home.filePath("cache")), 1);
    setenv("TMPDIR", qPrintable(home.path()), 1);

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("HalcyraTests"));
    QCoreApplication::setApplicationName(QStringLiteral("HalcyraTests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
