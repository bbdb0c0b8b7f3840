// Files written whole or not at all.
#include "DMSaveFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(DMSaveFile, AFileIsReplacedOnlyOnceEveryByteIsWritten)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.csv"));
    ASSERT_TRUE(DMSaveFile_write(path, QByteArray("first")));
    EXPECT_EQ(contents(path), QByteArray("first"));

    // A writer that fails half way gives the file up: the old one stays, and nothing is left beside it.
    QString error;
    EXPECT_FALSE(DMSaveFile_write(path, [](QIODevice &device) {
        device.write("sec");
        return false;
    }, &error));
    EXPECT_EQ(contents(path), QByteArray("first"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("plan.csv")});

    ASSERT_TRUE(DMSaveFile_write(path, [](QIODevice &device) { return device.write("second") == 6; }));
    EXPECT_EQ(contents(path), QByteArray("second"));
}

TEST(DMSaveFile, AFileThatCannotBeMadeSaysWhy)
{
    QTemporaryDir folder;
    QString error;
    EXPECT_FALSE(DMSaveFile_write(folder.filePath(QStringLiteral("missing/plan.csv")), QByteArray("x"), &error));
    EXPECT_FALSE(error.isEmpty());

    const QString locked = halcyra::test::unwritableFolder(folder.path());
    error.clear();
    EXPECT_FALSE(DMSaveFile_write(QDir(locked).filePath(QStringLiteral("plan.csv")), QByteArray("x"), &error));
    EXPECT_FALSE(error.isEmpty());
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
