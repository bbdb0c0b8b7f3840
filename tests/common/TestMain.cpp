// Test entry point: a headless QApplication, and per-process configuration, data and temporary
// folders so that user defaults and support files written by one test run never touch the user's
// own or another run's, and nothing is left behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

// Plain storage, which nothing destroys before the handler below reads it.
char homeFolder[4096];

// Registered before anything else of the process is made, so it runs after every object with
// static storage is destroyed: the user defaults write their file on the way out, which would
// make the folder anew if it were removed before.
void removeHomeFolder()
{
    if (homeFolder[0] != '\0')
        QDir(QFile::decodeName(homeFolder)).removeRecursively();
}

} // namespace

int main(int argc, char **argv)
{
    std::atexit(removeHomeFolder);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/HalcyraTests-XXXXXX"));
    home.setAutoRemove(false);
    qstrncpy(homeFolder, QFile::encodeName(home.path()).constData(), sizeof homeFolder);
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
