// Saving and opening project packages: round trips, passwords, failed saves, damaged input.
#include "DocumentTestSupport.h"

#include "DMEncryptionContext.h"
#include "DMProjectCoder.h"
#include "DMPropertyList.h"

#include <QProcess>
#include <QStandardPaths>

using namespace halcyra::test;

namespace {

class ProjectPackageTest : public DocumentTestBase
{
protected:
    // Saves the full project at the path and returns its dictionary as saved.
    QVariantMap saveFullProject(const QString &package, const QString &password = QString())
    {
        FullProject full = makeFullProject();
        auto document = documentWithProject(full.project);
        document->setPasswordString(password);
        QString error;
        EXPECT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation, &error)) << error.toStdString();
        EXPECT_FALSE(document->isDocumentEdited());
        return full.project->dictionaryRepresentation();
    }
};

TEST_F(ProjectPackageTest, SavedProjectReopensEqualWithAndWithoutPassword)
{
    for (const QString &password : {QString(), QStringLiteral("s3cret pässword")}) {
        SCOPED_TRACE(password.toStdString());
        const QString package = path(password.isEmpty() ? QStringLiteral("Plain.hy2") : QStringLiteral("Locked.hy2"));
        const QVariantMap saved = saveFullProject(package, password);

        const QDir dir(package);
        EXPECT_TRUE(dir.exists(QStringLiteral("project.xml")));
        EXPECT_TRUE(dir.exists(QStringLiteral("metadata.xml")));
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("Documents"))).isDir());
        EXPECT_EQ(dir.exists(QStringLiteral(".encryptedProject")), !password.isEmpty());
        QFile projectFile(dir.filePath(QStringLiteral("project.xml")));
        ASSERT_TRUE(projectFile.open(QIODevice::ReadOnly));
        const QByteArray bytes = projectFile.readAll();
        EXPECT_EQ(bytes.startsWith(DMEncryptionContext::magic()), !password.isEmpty());
        EXPECT_EQ(bytes.contains("Bridge renovation"), password.isEmpty());

        ui.promptAnswers = {password};
        QString error;
        auto reopened = open(package, &error);
        ASSERT_TRUE(reopened) << error.toStdString();
        EXPECT_EQ(ui.promptLabels.size(), password.isEmpty() ? 0 : 1);
        EXPECT_EQ(reopened->project()->dictionaryRepresentation(), saved);
        EXPECT_EQ(reopened->password(), password);
        EXPECT_EQ(reopened->fileURL(), QFileInfo(package).absoluteFilePath());
        EXPECT_FALSE(reopened->isDocumentEdited());

        // Saved again in place (the password kept), it still reads back the same.
        reopened->markDocumentAsEdited();
        ASSERT_TRUE(reopened->saveToPath(reopened->fileURL(), DMProjectDocument::SaveOperation, &error)) << error.toStdString();
        reopened->closeWithoutShowingRecentItemsWindow();
        runUntilIdle();
        ui.promptAnswers = {password};
        auto again = open(package, &error);
        ASSERT_TRUE(again) << error.toStdString();
        EXPECT_EQ(again->project()->dictionaryRepresentation(), saved);
        again->closeWithoutShowingRecentItemsWindow();
        ui.promptLabels.clear();
    }
}

// A project of some megabytes has its items read in parts on several threads: it reopens, with
// and without a password, as it was saved.
TEST_F(ProjectPackageTest, ALargeProjectReadInPartsReopensEqual)
{
    const PoolThreads threads(4);
    const std::shared_ptr<DMProject> project = DMProjectCoder::loadProject(largeProjectDictionary(), nullptr);
    const QVariantMap saved = project->dictionaryRepresentation();
    auto document = documentWithProject(project);
    for (const QString &password : {QString(), QStringLiteral("s3cret")}) {
        SCOPED_TRACE(password.toStdString());
        const QString package = path(password.isEmpty() ? QStringLiteral("Large.hy2") : QStringLiteral("LargeLocked.hy2"));
        document->setPasswordString(password);
        QString error;
        ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation, &error)) << error.toStdString();

        const auto read = DMProjectPackage::read(package, [&](QString *answer) { *answer = password; return true; }, &error);
        ASSERT_TRUE(read) << error.toStdString();
        EXPECT_GT(read->project.valueForKey("tasks").arrayParts().size(), 2);

        ui.promptAnswers = {password};
        auto reopened = open(package, &error);
        ASSERT_TRUE(reopened) << error.toStdString();
        EXPECT_EQ(firstDifference(reopened->project()->dictionaryRepresentation(), saved), "");
        reopened->closeWithoutShowingRecentItemsWindow();
    }
}

TEST_F(ProjectPackageTest, AWrongPasswordAsksAgainUntilTheRightOneOrCancel)
{
    const QString package = path(QStringLiteral("Locked.hy2"));
    saveFullProject(package, QStringLiteral("right"));
    const auto before = snapshot(package);
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();

    // Two wrong answers, then Cancel: asked three times, nothing opened, nothing to explain.
    ui.promptAnswers = {QStringLiteral("wrong"), QStringLiteral("also wrong")};
    QString error;
    EXPECT_FALSE(open(package, &error));
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(ui.promptLabels.size(), 3);
    EXPECT_FALSE(ui.promptLabels.at(0).contains(QStringLiteral("incorrect")));
    EXPECT_TRUE(ui.promptLabels.at(1).contains(QStringLiteral("The password is incorrect.")));
    EXPECT_TRUE(ui.promptLabels.at(2).contains(QStringLiteral("Locked")));
    EXPECT_TRUE(ui.alerts.isEmpty());
    EXPECT_TRUE(controller.documents().isEmpty());
    EXPECT_EQ(snapshot(package), before);

    // A wrong answer, then the right one.
    ui.promptLabels.clear();
    ui.promptAnswers = {QStringLiteral("wrong"), QStringLiteral("right")};
    const auto document = open(package, &error);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_EQ(ui.promptLabels.size(), 2);
    EXPECT_EQ(document->password(), QStringLiteral("right"));
    EXPECT_TRUE(ui.alerts.isEmpty());
}

TEST_F(ProjectPackageTest, PythonPlistlibReadsBothFilesOfAnUnencryptedPackage)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    const QString package = path(QStringLiteral("Readable.hy2"));
    saveFullProject(package);
    QProcess process;
    process.start(python, {QStringLiteral("-c"),
                           QStringLiteral("import plistlib,sys\n"
                                          "p=plistlib.load(open(sys.argv[1]+'/project.xml','rb'))\n"
                                          "m=plistlib.load(open(sys.argv[1]+'/metadata.xml','rb'))\n"
                                          "print(type(p).__name__, m['title'], m['version'], round(m['progress'],3))\n"),
                           package});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    // The mean progress of the two tasks (0.5 and 0).
    EXPECT_EQ(process.readAllStandardOutput().trimmed(), QByteArray("dict Bridge renovation 1 0.25"));
}

TEST_F(ProjectPackageTest, SaveFailingAtAnyStepLeavesThePreviousPackageByteIdentical)
{
    for (const QString &password : {QString(), QStringLiteral("pw")}) {
        const QString package = path(QStringLiteral("Kept%1.hy2").arg(password));
        FullProject full = makeFullProject();
        auto document = documentWithProject(full.project);
        document->setPasswordString(password);
        const QString attachment = path(QStringLiteral("notes.txt"));
        writeFile(attachment, "attached notes");
        document->addAttachedDocumentTableKey(attachment);
        QString error;
        ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation, &error));
        const auto before = snapshot(package);
        writeFile(path(QStringLiteral("second.txt")), "second");
        const QStringList entriesBefore = entriesOf(folder.path());
        ASSERT_TRUE(before.contains(QStringLiteral("Documents/notes.txt")));

        full.project->setTitle(QStringLiteral("Changed"));
        document->addAttachedDocumentTableKey(attachment + QStringLiteral(".missing"));
        document->addAttachedDocumentTableKey(path(QStringLiteral("second.txt")));
        const QVariant tableBefore = full.project->attribute(kDMProject_AttachedDocumentsTable);
        document->markDocumentAsEdited();
        for (int step = 0; step < DMProjectPackage::RemoveOld; ++step) {
            SCOPED_TRACE(step);
            DMProjectPackage::setFailingStepForTesting(step);
            EXPECT_FALSE(document->saveToPath(package, DMProjectDocument::SaveOperation, &error));
            EXPECT_FALSE(error.isEmpty());
            EXPECT_EQ(snapshot(package), before);
            EXPECT_EQ(entriesOf(folder.path()), entriesBefore); // no half-written folder left
            EXPECT_TRUE(document->isDocumentEdited());
            EXPECT_EQ(full.project->attribute(kDMProject_AttachedDocumentsTable), tableBefore);
        }
        DMProjectPackage::setFailingStepForTesting(-1);
        ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveOperation, &error)) << error.toStdString();
        EXPECT_EQ(entriesOf(folder.path()), entriesBefore);
        const auto after = snapshot(package);
        EXPECT_EQ(after.value(QStringLiteral("Documents/notes.txt")), QByteArray("attached notes"));
        EXPECT_EQ(after.value(QStringLiteral("Documents/second.txt")), QByteArray("second"));
        EXPECT_FALSE(document->isDocumentEdited());
    }
}

TEST_F(ProjectPackageTest, AttachedFilesAreCopiedInAtSaveAndCarriedToANewLocation)
{
    auto document = documentWithProject(makeFullProject().project);
    const QString source = path(QStringLiteral("plan.pdf"));
    writeFile(source, "%PDF-1.4 plan");
    const QString key = document->addAttachedDocumentTableKey(source);
    EXPECT_EQ(document->addAttachedDocumentTableKey(source), key); // the same file: the same entry
    EXPECT_EQ(ui.alerts.size(), 1); // the one-time notice
    writeFile(path(QStringLiteral("other/plan.pdf")), "another plan");
    const QString otherKey = document->addAttachedDocumentTableKey(path(QStringLiteral("other/plan.pdf")));
    EXPECT_NE(otherKey, key);
    EXPECT_EQ(ui.alerts.size(), 1);

    QString error;
    const QString first = path(QStringLiteral("First.hy2"));
    ASSERT_TRUE(document->saveToPath(first, DMProjectDocument::SaveAsOperation, &error)) << error.toStdString();
    const QVariantMap table = document->project()->attribute(kDMProject_AttachedDocumentsTable).toMap();
    const QVariantMap record = table.value(key).toMap();
    EXPECT_FALSE(record.value(kDMProject_AttachedDocument_PendingAttachment).toBool());
    EXPECT_EQ(record.value(kDMProject_AttachedDocument_Path).toString(), QStringLiteral("plan.pdf"));
    EXPECT_EQ(table.value(otherKey).toMap().value(kDMProject_AttachedDocument_Path).toString(), QStringLiteral("plan 2.pdf"));
    QFile::remove(source); // the package keeps its own copy

    const QString second = path(QStringLiteral("Second.hy2"));
    ASSERT_TRUE(document->saveToPath(second, DMProjectDocument::SaveAsOperation, &error)) << error.toStdString();
    const auto files = snapshot(second);
    EXPECT_EQ(files.value(QStringLiteral("Documents/plan.pdf")), QByteArray("%PDF-1.4 plan"));
    EXPECT_EQ(files.value(QStringLiteral("Documents/plan 2.pdf")), QByteArray("another plan"));
}

struct DamagedCase
{
    const char *name;
    std::function<void(const QString &package)> damage;
};

TEST_F(ProjectPackageTest, DamagedPackagesAreRefusedWithAReasonAndLeftAlone)
{
    const QString good = path(QStringLiteral("Good.hy2"));
    saveFullProject(good);
    const QList<DamagedCase> cases = {
        {"missing project file", [](const QString &p) { QFile::remove(p + "/project.xml"); }},
        {"garbage project file", [](const QString &p) { writeFile(p + "/project.xml", QByteArray(300, '\x17')); }},
        {"truncated project file",
         [](const QString &p) {
             QFile f(p + "/project.xml");
             f.open(QIODevice::ReadWrite);
             f.resize(f.size() / 2);
         }},
        {"project file is not a dictionary",
         [](const QString &p) { writeFile(p + "/project.xml", DMPropertyList::dataWithPropertyList(QVariantList{1, 2})); }},
        {"later package version",
         [](const QString &p) {
             writeFile(p + "/metadata.xml", DMPropertyList::dataWithPropertyList(QVariantMap{{QStringLiteral("version"), 99}}));
         }},
        {"damaged metadata", [](const QString &p) { writeFile(p + "/metadata.xml", "not a plist"); }},
        {"later project format",
         [](const QString &p) {
             QVariantMap d = DMPropertyList::propertyListWithContentsOfFile(p + "/project.xml").toMap();
             d.insert(QStringLiteral("formatVersion"), 99);
             writeFile(p + "/project.xml", DMPropertyList::dataWithPropertyList(d));
         }},
        {"encryption marker over damaged data",
         [](const QString &p) {
             writeFile(p + "/.encryptedProject", QByteArray());
             writeFile(p + "/project.xml", DMEncryptionContext::magic() + QByteArray(10, '\0'));
         }},
        {"a plain file", [](const QString &p) {
             QDir(p).removeRecursively();
             writeFile(p, "plain");
         }},
        {"no such package", [](const QString &p) { QDir(p).removeRecursively(); }},
    };
    int n = 0;
    for (const DamagedCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString package = path(QStringLiteral("Damaged%1.hy2").arg(n++));
        QDir().mkpath(package);
        for (auto [file, bytes] : snapshot(good).asKeyValueRange())
            if (bytes != "<folder>")
                writeFile(package + QLatin1Char('/') + file, bytes);
        c.damage(package);
        const auto before = snapshot(package);
        const QStringList entries = entriesOf(folder.path());
        ui.alerts.clear();
        ui.promptAnswers = {QStringLiteral("any")};
        QString error;
        EXPECT_FALSE(open(package, &error));
        EXPECT_FALSE(error.isEmpty());
        ASSERT_EQ(ui.alerts.size(), 1);
        EXPECT_TRUE(ui.alerts.first().messageText.contains(QFileInfo(package).fileName()));
        EXPECT_EQ(snapshot(package), before);
        EXPECT_EQ(entriesOf(folder.path()), entries);
        EXPECT_TRUE(DMDocumentController::sharedDocumentController().documents().isEmpty());
    }
}

} // namespace
