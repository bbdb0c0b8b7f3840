#include "DMReadGuard.h"
#include "DMRegularFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include <unistd.h>

namespace {

TEST(RegularFile, ReadsUpToTheBoundAndFollowsOnlyThePickedFilesLinks)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("plan.xml"));
    const QString link = folder.filePath(QStringLiteral("link.xml"));
    const QString loop = folder.filePath(QStringLiteral("loop.xml"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray(1000, 'x'));
    out.close();
    ASSERT_EQ(::symlink(QFile::encodeName(file).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(loop).constData(), QFile::encodeName(loop).constData()), 0);

    QString error;
    EXPECT_EQ(DMRegularFile::read(file, 1000, DMRegularFile::FollowLinks, &error).value_or("").size(), 1000);
    EXPECT_FALSE(DMRegularFile::read(file, 999, DMRegularFile::FollowLinks, &error));
    EXPECT_EQ(error, QStringLiteral("\"plan.xml\" is larger than 999 bytes."));
    EXPECT_TRUE(DMRegularFile::read(link, 1000, DMRegularFile::FollowLinks, &error));
    EXPECT_FALSE(DMRegularFile::read(link, 1000, DMRegularFile::RefuseLinks, &error));
    EXPECT_EQ(error, QStringLiteral("\"link.xml\" is not a regular file."));
    for (const auto links : {DMRegularFile::FollowLinks, DMRegularFile::RefuseLinks}) {
        bool missing = true;
        EXPECT_FALSE(DMRegularFile::read(loop, 1000, links, &error, &missing));
        EXPECT_FALSE(missing);
        EXPECT_EQ(error, DMRegularFile::notRegularMessage(QStringLiteral("loop.xml"), links));
        EXPECT_FALSE(DMRegularFile::read(folder.filePath(QStringLiteral("none")), 1000, links, &error, &missing));
        EXPECT_TRUE(missing);
    }
    EXPECT_TRUE(DMRegularFile::isAttachable(link, &error));
    EXPECT_TRUE(DMRegularFile::isAttachable(folder.path(), &error));
    EXPECT_FALSE(DMRegularFile::isAttachable(loop, &error));
}

TEST(ReadGuard, WhatAReaderThrowsBecomesAPlainReason)
{
    QString error = QStringLiteral("kept");
    EXPECT_TRUE(DMReadGuard::run([] { return true; }, &error));
    EXPECT_FALSE(DMReadGuard::run([] { return false; }, &error));
    EXPECT_EQ(error, QStringLiteral("kept"));
    EXPECT_FALSE(DMReadGuard::run([]() -> bool { throw std::bad_alloc(); }, &error));
    EXPECT_EQ(error, QStringLiteral("There is not enough memory to read the file."));
    for (const auto &thrown : {std::function<bool()>([]() -> bool { throw std::out_of_range("index"); }),
                               std::function<bool()>([]() -> bool { throw 1; })}) {
        EXPECT_FALSE(DMReadGuard::run(thrown, &error));
        EXPECT_EQ(error, QStringLiteral("The file holds content that Halcyra cannot use."));
    }
}

} // namespace
