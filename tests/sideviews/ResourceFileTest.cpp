// The resource file read alone: files another program wrote, entries left out and counted, and
// the resources made from it.
#include "DMGanttUIObjectFactory.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectResourceFile.h"
#include "DMPropertyList.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QString corpusFile(const char *name)
{
    return QStringLiteral(HALCYRA_SOURCE_DIR "/fuzz/corpus/fuzz_resourcefile/") + QLatin1String(name);
}

QStringList names(const QList<std::shared_ptr<DMProjectResource>> &resources)
{
    QStringList shown;
    for (const auto &resource : resources) {
        shown.append(resource->name());
        for (const QString &member : names(resource->subitems().list()))
            shown.append(QLatin1Char('.') + member);
    }
    return shown;
}

TEST(ResourceFile, AFileWrittenElsewhereGivesItsResourcesWithFreshIdentities)
{
    for (const char *file : {"team.xml", "binary.xml"}) {
        SCOPED_TRACE(file);
        DMProjectResourceFile::Contents contents;
        ASSERT_TRUE(DMProjectResourceFile::readFromFile(corpusFile(file), &contents));
        EXPECT_EQ(contents.skippedCount, 0);
        const auto project = DMProject::create();
        const auto made = DMProjectResourceFile::resourcesForProject(contents, project);
        ASSERT_FALSE(made.isEmpty());
        EXPECT_EQ(names(made).mid(0, 2), (QStringList{"Team", ".Ann"}));
        const auto ann = made.at(0)->subitems().at(0);
        EXPECT_NE(ann->objectID(), quint64(4294967297)) << "the file's ID is not taken";
        EXPECT_EQ(ann->attribute(kDMProjectResource_HourlyCost).toDouble(), 42.5);
        EXPECT_EQ(ann->attribute(kDMProjectResource_Email).toString(), QStringLiteral("ann@example.org"));
        EXPECT_EQ(ann->attribute(kDMProjectResource_Icon).value<QImage>().size(), QSize(2, 2));
        EXPECT_FALSE(project->objectIDSortedResourcesArray()) << "the load-time table is cleared";
    }
}

TEST(ResourceFile, UnsoundEntriesAreLeftOutAndCountedWhileTheRestIsKept)
{
    DMProjectResourceFile::Contents contents;
    ASSERT_TRUE(DMProjectResourceFile::readFromFile(corpusFile("damaged-entries.xml"), &contents));
    // No name, a name that is no text, a negative and an absurd rate, an unknown kind, an e-mail
    // that is a number, and a text instead of a resource; of the group's members two are unsound.
    EXPECT_EQ(contents.skippedCount, 9);
    const auto made = DMProjectResourceFile::resourcesForProject(contents, DMProject::create());
    EXPECT_EQ(names(made), (QStringList{"Group", ".Inner"}));

    // Control characters in an attribute's key: the model drops them, so the project saves.
    ASSERT_TRUE(DMProjectResourceFile::readFromFile(corpusFile("control-character-in-key.xml"), &contents));
    EXPECT_EQ(contents.skippedCount, 0);
    const auto project = DMProject::create();
    for (const auto &resource : DMProjectResourceFile::resourcesForProject(contents, project))
        project->resources().append(resource);
    EXPECT_EQ(names(project->resources().list()).first(), QStringLiteral("Team"));
    EXPECT_EQ(project->resources().first()->subitems().size(), 1) << "the member is kept";
    const QByteArray saved = DMPropertyList::dataWithPropertyList(project->dictionaryRepresentation());
    EXPECT_FALSE(saved.isEmpty());
    EXPECT_FALSE(saved.contains('\x1b'));

    ASSERT_TRUE(DMProjectResourceFile::readFromFile(corpusFile("deep-groups.xml"), &contents));
    EXPECT_EQ(contents.skippedCount, 1) << "the group below the nesting limit";
    EXPECT_EQ(names(DMProjectResourceFile::resourcesForProject(contents, DMProject::create())).size(),
              DMProjectResourceFile::kMaximumDepth + 1);
}

TEST(ResourceFile, DataThatIsNoResourceFileIsRefused)
{
    for (const char *file : {"no-version.xml", "root-array.xml", "truncated.xml"}) {
        DMProjectResourceFile::Contents contents;
        QString error;
        EXPECT_FALSE(DMProjectResourceFile::readFromFile(corpusFile(file), &contents, &error)) << file;
        EXPECT_FALSE(error.isEmpty()) << file;
    }
    DMProjectResourceFile::Contents contents;
    ASSERT_TRUE(DMProjectResourceFile::readFromFile(corpusFile("empty.xml"), &contents));
    EXPECT_TRUE(contents.resources.isEmpty());
}

} // namespace
