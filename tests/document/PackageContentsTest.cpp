// What a package's contents can make the application do: crafted attachment entries, links
// out of the package, FIFOs, devices and oversized files, on opening and on saving.
#include "DocumentTestSupport.h"

#include "DMAttachedDocuments.h"
#include "DMPropertyList.h"

using namespace halcyra::test;

namespace {

QVariantMap entry(const QString &path, bool pending)
{
    return {{kDMProject_AttachedDocument_Path, path},
            {kDMProject_AttachedDocument_PendingAttachment, pending},
            {DMAttachedDocuments::kReferenceCount, 1}};
}

QVariantMap tableOf(const DMProjectDocument &document)
{
    return document.project()->attribute(kDMProject_AttachedDocumentsTable).toMap();
}

class PackageContentsTest : public DocumentTestBase
{
protected:
    // A package whose project carries the attached-documents table as given, each entry
    // attached to the project.
    void writePackage(const QString &package, const QVariantMap &table)
    {
        const FullProject full = makeFullProject();
        full.project->setAttribute(kDMProject_AttachedDocumentsTable, table);
        full.project->setAttribute(kDMProject_AttachedDocuments, QVariantList(table.keyBegin(), table.keyEnd()));
        QDir().mkpath(DMProjectPackage::documentsFolderPath(package));
        writeFile(package + "/project.xml", DMPropertyList::dataWithPropertyList(full.project->dictionaryRepresentation()));
    }

    // True when no file of the package holds bytes that only exist outside it.
    bool holdsSecret(const QString &package)
    {
        for (const QByteArray &bytes : snapshot(package))
            if (bytes.contains("SECRET"))
                return true;
        return false;
    }

    void saveInPlace(DMProjectDocument &document)
    {
        document.markDocumentAsEdited();
        QString error;
        EXPECT_TRUE(document.saveToPath(document.fileURL(), DMProjectDocument::SaveOperation, &error)) << error.toStdString();
    }
};

TEST_F(PackageContentsTest, CraftedAttachmentEntriesNeverBringOutsideFilesIntoThePackage)
{
    const QString secret = path("outside/secret.txt");
    writeFile(secret, "SECRET file");
    writeFile(path("outside/tree/deep.txt"), "SECRET tree");
    const QString package = path("Crafted.hy2");
    const QString documents = DMProjectPackage::documentsFolderPath(package);
    writePackage(package, {{"good", entry("good.txt", false)},
                           {"absolute", entry(secret, true)},
                           {"dotdot", entry("../../outside/secret.txt", true)},
                           {"storedAbsolute", entry(secret, false)},
                           {"storedDotdot", entry("../../outside/secret.txt", false)},
                           {"fileLink", entry("link", false)},
                           {"treeLink", entry("tree", false)},
                           {"loop", entry("loop", false)},
                           {"fifo", entry("fifo", false)},
                           {"missing", entry("gone.txt", false)}});
    writeFile(documents + "/good.txt", "good");
    makeLink(secret, documents + "/link");
    makeLink(path("outside/tree"), documents + "/tree");
    makeLink(documents + "/loop", documents + "/loop");
    makeFifo(documents + "/fifo");

    QString error;
    auto document = open(package, &error);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_EQ(tableOf(*document).keys(), QStringList{"good"});
    saveInPlace(*document);
    EXPECT_TRUE(ui.alerts.isEmpty()); // dropped on opening, logged there
    EXPECT_EQ(entriesOf(documents), QStringList{"good.txt"});
    EXPECT_FALSE(holdsSecret(package));
    EXPECT_EQ(snapshot(path("outside")).value("secret.txt"), QByteArray("SECRET file"));
    document->closeWithoutShowingRecentItemsWindow();

    // "Documents" itself a link to a folder outside: nothing in it is taken.
    const QString linked = path("LinkedDocuments.hy2");
    writePackage(linked, {{"deep", entry("deep.txt", false)}});
    QDir(DMProjectPackage::documentsFolderPath(linked)).removeRecursively();
    makeLink(path("outside/tree"), DMProjectPackage::documentsFolderPath(linked));
    document = open(linked, &error);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_TRUE(tableOf(*document).isEmpty());
    saveInPlace(*document);
    EXPECT_TRUE(QFileInfo(DMProjectPackage::documentsFolderPath(linked)).isDir());
    EXPECT_FALSE(QFileInfo(DMProjectPackage::documentsFolderPath(linked)).isSymLink());
    EXPECT_FALSE(holdsSecret(linked));
    EXPECT_EQ(snapshot(path("outside/tree")).value("deep.txt"), QByteArray("SECRET tree"));
}

TEST_F(PackageContentsTest, AnAttachedDocumentIsOpenedOnlyFromInsideDocumentsOrWhereTheUserChoseIt)
{
    const QString secret = path("outside/secret.txt");
    writeFile(secret, "SECRET file");
    const QString package = path("Open.hy2");
    const QString documents = DMProjectPackage::documentsFolderPath(package);
    writePackage(package, {{"good", entry("good.txt", false)}});
    writeFile(documents + "/good.txt", "good");
    makeLink(secret, documents + "/link");
    QString error;
    auto document = open(package, &error);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_EQ(document->attachedDocumentPathForTableKey("good", &error), documents + "/good.txt");
    EXPECT_TRUE(error.isEmpty());

    // Entries that would lead out of the folder, however they came into the table.
    const struct
    {
        QVariant entry;
        const char *why;
    } refused[] = {{entry("../outside/secret.txt", false), "Documents"},
                   {entry(secret, false), "Documents"},
                   {entry("link", false), "symbolic link"},
                   {entry("gone.txt", false), "not in"},
                   {QVariant(QStringLiteral("good.txt")), "no record"}};
    for (const auto &row : refused) {
        EXPECT_TRUE(DMAttachedDocuments::resolvedPath(row.entry, documents, &error).isEmpty()) << row.why;
        EXPECT_TRUE(error.contains(QLatin1String(row.why))) << error.toStdString();
    }
    EXPECT_TRUE(DMAttachedDocuments::resolvedPath(entry("good.txt", false), QString(), &error).isEmpty());
    // A file the user chose in this session opens from where it is, until it is saved inside.
    EXPECT_EQ(DMAttachedDocuments::resolvedPath(entry(secret, true), documents, &error), secret);
    EXPECT_TRUE(DMAttachedDocuments::resolvedPath(entry("relative.txt", true), documents, &error).isEmpty());
}

TEST_F(PackageContentsTest, AttachmentsThatCannotBeCopiedAreDroppedAndTheSaveGoesOn)
{
    writeFile(path("outside/secret.txt"), "SECRET file");
    writeFile(path("plain.txt"), "plain");
    writeFile(path("pipe"), "a file for now");
    writeFile(path("zero"), "a file for now");
    writeFile(path("folder/a.txt"), "a");
    makeFifo(path("folder/inner-pipe"));
    makeLink(path("outside/secret.txt"), path("folder/out"));
    makeLink(path("folder/loop"), path("folder/loop"));

    auto document = documentWithProject(makeFullProject().project);
    for (const char *name : {"plain.txt", "pipe", "zero", "folder"})
        document->addAttachedDocumentTableKey(path(name));
    // Attached as files, they have become a FIFO and a device by the time of the save.
    QFile::remove(path("pipe"));
    makeFifo(path("pipe"));
    QFile::remove(path("zero"));
    makeLink("/dev/zero", path("zero"));
    ui.alerts.clear();
    const QString package = path("Saved.hy2");
    QString error;
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation, &error)) << error.toStdString();
    ASSERT_EQ(ui.alerts.size(), 1);
    for (const char *named : {"\"pipe\" is not a regular file or folder.", "\"zero\" is not a regular file or folder.",
                              "\"folder/inner-pipe\" is not a regular file or folder.",
                              "\"folder/out\" is a symbolic link.", "\"folder/loop\" is a symbolic link."})
        EXPECT_TRUE(ui.alerts.first().informativeText.contains(named)) << named;
    EXPECT_EQ(tableOf(*document).keys(), (QStringList{"folder", "plain.txt"}));
    const auto files = snapshot(DMProjectPackage::documentsFolderPath(package));
    EXPECT_EQ(files.keys(), (QStringList{"folder", "folder/a.txt", "plain.txt"}));
    EXPECT_FALSE(holdsSecret(package));

    // A stored copy that became a symbolic-link loop no longer makes every save fail.
    const QString stored = DMProjectPackage::documentsFolderPath(package) + "/plain.txt";
    QFile::remove(stored);
    makeLink(stored, stored);
    ui.alerts.clear();
    saveInPlace(*document);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_TRUE(ui.alerts.first().informativeText.contains("\"plain.txt\" is a symbolic link."));
    EXPECT_EQ(tableOf(*document).keys(), QStringList{"folder"});
    EXPECT_FALSE(document->isDocumentEdited());
}

struct SpecialEntry
{
    const char *name;
    std::function<void(const QString &package)> make;
    QString error;
};

TEST_F(PackageContentsTest, PackageFilesThatAreNotRegularOrTooLargeAreRefusedWithoutBeingRead)
{
    const QString good = path("Good.hy2");
    writePackage(good, {});
    writeFile(good + "/metadata.xml", DMPropertyList::dataWithPropertyList(QVariantMap{{"version", 1}}));
    auto replace = [](const QString &file, const std::function<void(const QString &)> &make) {
        QFile::remove(file);
        make(file);
    };
    const QList<SpecialEntry> cases = {
        {"project FIFO", [&](const QString &p) { replace(p + "/project.xml", makeFifo); },
         "\"project.xml\" is not a regular file."},
        {"metadata FIFO", [&](const QString &p) { replace(p + "/metadata.xml", makeFifo); },
         "\"metadata.xml\" is not a regular file."},
        {"project linked to an endless device",
         [&](const QString &p) { replace(p + "/project.xml", [](const QString &f) { makeLink("/dev/zero", f); }); },
         "\"project.xml\" is not a regular file."},
        {"project linked to a good file outside",
         [&](const QString &p) {
             QFile::copy(good + "/project.xml", p + ".outside.xml");
             replace(p + "/project.xml", [&](const QString &f) { makeLink(p + ".outside.xml", f); });
         },
         "\"project.xml\" is not a regular file."},
        {"project link loop",
         [&](const QString &p) { replace(p + "/project.xml", [](const QString &f) { makeLink(f, f); }); },
         "\"project.xml\" is not a regular file."},
        {"project is a folder",
         [&](const QString &p) { replace(p + "/project.xml", [](const QString &f) { QDir().mkpath(f); }); },
         "\"project.xml\" is not a regular file."},
        {"huge project",
         [&](const QString &p) { ASSERT_TRUE(QFile::resize(p + "/project.xml", (qint64(128) << 20) + 1)); },
         "\"project.xml\" is larger than 128 MB."},
        {"large metadata",
         [&](const QString &p) { ASSERT_TRUE(QFile::resize(p + "/metadata.xml", (qint64(1) << 20) + 1)); },
         "\"metadata.xml\" is larger than 1 MB."},
    };
    int n = 0;
    for (const SpecialEntry &c : cases) {
        SCOPED_TRACE(c.name);
        const QString package = path(QStringLiteral("Special%1.hy2").arg(n++));
        QDir().mkpath(package);
        for (const QString &file : {QStringLiteral("project.xml"), QStringLiteral("metadata.xml")})
            QFile::copy(good + "/" + file, package + "/" + file);
        c.make(package);
        QString error;
        EXPECT_FALSE(open(package, &error));
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(DMDocumentController::sharedDocumentController().documents().isEmpty());
    }
}

} // namespace
