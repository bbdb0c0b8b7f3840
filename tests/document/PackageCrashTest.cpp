// Saves that die or cannot finish: a child process killed at every step of a save, a disk that
// fills up, a package the user may not change, and what such saves leave beside the package.
#include "DocumentTestSupport.h"

#include "DMPackageFiles.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace halcyra::test;

namespace {

constexpr uid_t kNobody = 65534;

struct WriterRun
{
    bool stopped = false; // stopped at the step asked for, then killed
    int exitCode = -1;
    QByteArray errors;
};

// Runs the package writer (the build's, or a copy of it); a child stopped at its step is killed
// with SIGKILL.
WriterRun runWriter(const QStringList &arguments, const std::function<void()> &inChild = {},
                    const QString &program = QStringLiteral(HALCYRA_PACKAGE_WRITER))
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start();
    EXPECT_TRUE(process.waitForStarted(10000));
    WriterRun run;
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains("stopped") && process.state() != QProcess::NotRunning && timer.elapsed() < 120000) {
        process.waitForReadyRead(100);
        output += process.readAllStandardOutput();
    }
    run.stopped = output.contains("stopped");
    if (run.stopped)
        process.kill();
    process.waitForFinished(120000);
    run.errors = process.readAllStandardError();
    if (!run.stopped)
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(size).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The ".NAME.hy2.*" entries beside the package.
QStringList hiddenSiblings(const QString &package)
{
    const QString prefix = QLatin1Char('.') + QFileInfo(package).fileName() + QLatin1Char('.');
    return entriesOf(QFileInfo(package).absolutePath()).filter(QRegularExpression("^" + QRegularExpression::escape(prefix)));
}

class PackageCrashTest : public DocumentTestBase
{
protected:
    // A package of the full project under the title, with the file attached.
    void savePackage(const QString &package, const QString &title, const QString &attachment = QString())
    {
        FullProject full = makeFullProject();
        full.project->setTitle(title);
        auto document = documentWithProject(full.project);
        if (!attachment.isEmpty())
            document->addAttachedDocumentTableKey(attachment);
        QString error;
        ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation, &error)) << error.toStdString();
    }
};

TEST_F(PackageCrashTest, SaveKilledAtAnyStepLeavesTheOldOrTheNewPackageAndNoHiddenCopy)
{
    const QByteArray kept = randomBytes(16 << 20);
    const QByteArray added = randomBytes((16 << 20) + 4);
    writeFile(path("kept.bin"), kept);
    writeFile(path("added.bin"), added);
    const QString original = path("Original.hy2");
    savePackage(original, QStringLiteral("Old"), path("kept.bin"));
    const QString package = path("Large.hy2");
    for (const bool exchange : {true, false}) {
        // Killed at a step up to this one, the old package is what opens.
        const int lastOldStep = exchange ? DMProjectPackage::MoveOldAside : DMProjectPackage::MoveNewIntoPlace;
        for (int step = 0; step <= DMProjectPackage::WriteStepCount; ++step) {
            SCOPED_TRACE(QStringLiteral("%1 exchange, stopped at step %2").arg(exchange ? "with" : "without").arg(step).toStdString());
            ASSERT_TRUE(DMPackageFiles::removeTree(package));
            ASSERT_EQ(DMPackageFiles::copy(original, package, DMPackageFiles::LinkFiles, nullptr).status,
                      DMPackageFiles::CopyResult::Copied);
            QStringList arguments{package, QStringLiteral("New"), QStringLiteral("--attach"), path("added.bin"),
                                  QStringLiteral("--stop-at"), QString::number(step)};
            if (!exchange)
                arguments.append(QStringLiteral("--no-exchange"));
            const WriterRun run = runWriter(arguments);
            ASSERT_EQ(run.stopped, step < DMProjectPackage::WriteStepCount) << run.errors.toStdString();
            if (!run.stopped) {
                ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
            }
            const bool isNew = step > lastOldStep;

            QString error;
            auto document = open(package, &error);
            ASSERT_TRUE(document) << error.toStdString();
            EXPECT_EQ(document->project()->title(), isNew ? QStringLiteral("New") : QStringLiteral("Old"));
            const QString documents = DMProjectPackage::documentsFolderPath(package);
            EXPECT_TRUE(contents(documents + "/kept.bin") == kept);
            EXPECT_EQ(QFileInfo::exists(documents + "/added.bin"), isNew);
            if (isNew) {
                EXPECT_TRUE(contents(documents + "/added.bin") == added);
            }
            EXPECT_EQ(hiddenSiblings(package), QStringList());
            document->closeWithoutShowingRecentItemsWindow();
            runUntilIdle();
        }
    }
    EXPECT_TRUE(contents(DMProjectPackage::documentsFolderPath(original) + "/kept.bin") == kept);
}

TEST_F(PackageCrashTest, OpeningPutsTheSetAsidePackageBackAndRemovesSiblingsWithoutFollowingLinks)
{
    const QString package = path("Plan.hy2");
    savePackage(package, QStringLiteral("Old"));
    writeFile(path("outside/keep.txt"), "keep");
    // The state of a save without the exchange killed between its renames, with debris of others.
    ASSERT_TRUE(QDir().rename(package, path(".Plan.hy2.previous-00000000000000aa")));
    writeFile(path(".Plan.hy2.saving-00000000000000bb/project.xml"), "half written");
    ASSERT_EQ(::symlink(QFile::encodeName(path("outside")).constData(),
                        QFile::encodeName(path(".Plan.hy2.saving-00000000000000cc")).constData()), 0);
    writeFile(path(".Plan.hy2.previous-00000000000000dd"), "not a package");
    writeFile(path(".Other.hy2.saving-00000000000000ee/project.xml"), "another package's");
    // One that a running save holds stays.
    QDir().mkpath(path(".Plan.hy2.saving-00000000000000ff"));
    QProcess holder;
    holder.start(QStringLiteral("flock"), {path(".Plan.hy2.saving-00000000000000ff"), QStringLiteral("sleep"), QStringLiteral("30")});
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return DMPackageFiles::FolderLock(path(".Plan.hy2.saving-00000000000000ff"), false).isHeldElsewhere(); }, 10000));

    QString error;
    auto document = open(package, &error);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_EQ(document->project()->title(), QStringLiteral("Old"));
    EXPECT_EQ(hiddenSiblings(package), QStringList{".Plan.hy2.saving-00000000000000ff"});
    EXPECT_TRUE(QFileInfo::exists(path(".Other.hy2.saving-00000000000000ee/project.xml")));
    EXPECT_EQ(contents(path("outside/keep.txt")), QByteArray("keep"));
    holder.kill();
    holder.waitForFinished();
}

TEST_F(PackageCrashTest, SaveReportsFailureWhenThePackageFolderIsNotWritable)
{
    const QString package = path("ReadOnly.hy2");
    savePackage(package, QStringLiteral("Old"));
    const auto before = snapshot(package);
    std::function<void()> asOrdinaryUser;
    QString writer = QStringLiteral(HALCYRA_PACKAGE_WRITER);
    if (::geteuid() == 0) {
        // Root may change any folder: the save runs as an ordinary user who owns the package but
        // made its folder read-only. That user may not enter the build folder (a clone in root's
        // home, say), so it runs a copy of the writer from the test's folder, which it may enter.
        const QString copy = path(QStringLiteral("package_writer"));
        ASSERT_TRUE(QFile::copy(writer, copy));
        ASSERT_EQ(::chmod(QFile::encodeName(copy).constData(), 0755), 0);
        writer = copy;
        for (const QString &traversed : {folder.path(), QFileInfo(folder.path()).absolutePath()})
            ASSERT_EQ(::chmod(QFile::encodeName(traversed).constData(), 0711), 0);
        // The folders above the test's must let anyone through.
        for (QFileInfo above(QFileInfo(folder.path()).absolutePath()); !above.isRoot();
             above = QFileInfo(above.absolutePath())) {
            if (!(above.permissions() & QFileDevice::ExeOther))
                GTEST_SKIP() << qPrintable(above.absoluteFilePath())
                             << " may not be entered by other users: no other user can save in the test's folder";
        }
        ASSERT_EQ(::chown(QFile::encodeName(folder.path()).constData(), kNobody, kNobody), 0);
        for (const QString &file : QStringList{package} + QStringList(before.keys()).replaceInStrings(QRegularExpression("^"), package + "/"))
            ASSERT_EQ(::lchown(QFile::encodeName(file).constData(), kNobody, kNobody), 0);
        asOrdinaryUser = [] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(3);
        };
    }
    ASSERT_EQ(::chmod(QFile::encodeName(package).constData(), 0555), 0);
    const WriterRun run = runWriter({package, QStringLiteral("New")}, asOrdinaryUser, writer);
    ::chmod(QFile::encodeName(package).constData(), 0755);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("cannot be changed: Permission denied")) << run.errors.toStdString();
    EXPECT_EQ(snapshot(package), before);
    EXPECT_EQ(hiddenSiblings(package), QStringList());
}

TEST_F(PackageCrashTest, FullDiskNamesTheSystemErrorAndKeepsTheOldPackage)
{
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty())
        GTEST_SKIP() << "unshare is not installed";
    // A 1 MB file system of its own, in a mount namespace of the child alone.
    const QString disk = path("disk");
    QDir().mkpath(disk);
    const char *script = "mount -t tmpfs -o size=1m none \"$1\" || exit 77\n"
                         "\"$2\" \"$1/Full.hy2\" Small || exit 78\n"
                         "\"$2\" \"$1/Full.hy2\" Large --filler 3000000\n"
                         "echo \"exit $?\"\n"
                         "ls -A \"$1\"\n"
                         "\"$2\" \"$1/Full.hy2\" Small || exit 79\n";
    QProcess process;
    process.start(unshare, {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), QString::fromLatin1(script),
                            QStringLiteral("sh"), disk, QStringLiteral(HALCYRA_PACKAGE_WRITER)});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QByteArray output = process.readAllStandardOutput();
    const QByteArray errors = process.readAllStandardError();
    if (!output.startsWith("exit "))
        GTEST_SKIP() << "no private mount namespace here: " << errors.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
    // Refused with the system's words, leaving only the old package; saving it again still works.
    EXPECT_EQ(output, QByteArray("exit 1\nFull.hy2\n"));
    EXPECT_TRUE(errors.contains("\"project.xml\" could not be written: No space left on device")) << errors.toStdString();
}

} // namespace
