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
    // A negative and an absurd rate, an unknown kind, an e-mail that is a number, and a text
    // instead of a resource; of the group's members one is unsound. Resources without a name, or
    // whose name is no text, are kept as "New Resource".
    EXPECT_EQ(contents.skippedCount, 6);
    const auto made = DMProjectResourceFile::resourcesForProject(contents, DMProject::create());
    EXPECT_EQ(names(made), (QStringList{"New Resource", "New Resource", "Group", ".Inner", ".New Resource"}));

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

TEST(ResourceFile, EachResourceIsWrittenWithExactlyTheExchangedKeys)
{
    const auto project = DMProject::create();
    const QVariantMap team{{QStringLiteral("class"), QStringLiteral("DMProjectResource")},
                           {QStringLiteral("kind"), 1},
                           {QStringLiteral("tag"), -7},
                           {QStringLiteral("name"), QStringLiteral("Team")},
                           {QStringLiteral("subRowCount"), 3},
                           {QStringLiteral("subitems"), QVariantList{QVariantMap{{QStringLiteral("class"), QStringLiteral("DMProjectResource")},
                                                                                {QStringLiteral("name"), QString()}}}}};
    const auto group = DMProjectResource::resourceWithDictionaryRepresentation(team, project, true);
    ASSERT_TRUE(group);
    project->resources().append(group);
    EXPECT_EQ(group->dictionaryRepresentation().value(QStringLiteral("tag")).toLongLong(), -7) << "the project file keeps it";

    const QVariantList written = DMProjectResourceFile::exportDictionary(*project).value(QStringLiteral("resources")).toList();
    ASSERT_EQ(written.size(), 1);
    const QVariantMap d = written.first().toMap();
    EXPECT_EQ(d.keys(), (QStringList{"attributes", "kind", "name", "objectID", "subitems", "tag"}));
    EXPECT_EQ(d.value(QStringLiteral("tag")).toLongLong(), -7);
    EXPECT_EQ(d.value(QStringLiteral("kind")).toInt(), 1);
    const QVariantMap member = d.value(QStringLiteral("subitems")).toList().first().toMap();
    EXPECT_EQ(member.keys(), (QStringList{"attributes", "kind", "objectID", "subitems", "tag"})) << "no name: no key";
    EXPECT_EQ(member.value(QStringLiteral("subitems")), QVariant(QVariantList())) << "a resource has an empty list";
    EXPECT_EQ(member.value(QStringLiteral("tag")).toLongLong(), 0);
}

TEST(ResourceFile, AnotherPlannersFileReadsWithItsTagsAndNamesTheNamelessNewResource)
{
    DMProjectResourceFile::Contents contents;
    ASSERT_TRUE(DMProjectResourceFile::readFromFile(corpusFile("exchange.xml"), &contents));
    EXPECT_EQ(contents.skippedCount, 0);
    const auto project = DMProject::create();
    const auto made = DMProjectResourceFile::resourcesForProject(contents, project);
    EXPECT_EQ(names(made), (QStringList{"Site team", ".New Resource", "Crane"}));
    EXPECT_EQ(made.at(0)->tag(), -7);
    EXPECT_EQ(made.at(0)->subitems().at(0)->tag(), 12);
    EXPECT_EQ(made.at(0)->subitems().at(0)->attribute(kDMProjectResource_HourlyCost).toDouble(), 55.0);
    EXPECT_EQ(made.at(1)->tag(), 0) << "a tag that is no number";
    EXPECT_FALSE(made.at(1)->attribute(kDMProjectResource_Human).toBool());

    // Written again, then read again: the same resources and tags.
    for (const auto &resource : made)
        project->resources().append(resource);
    DMProjectResourceFile::Contents again;
    ASSERT_TRUE(DMProjectResourceFile::readData(DMPropertyList::dataWithPropertyList(DMProjectResourceFile::exportDictionary(*project)),
                                                &again));
    const auto copies = DMProjectResourceFile::resourcesForProject(again, DMProject::create());
    EXPECT_EQ(names(copies), names(made));
    EXPECT_EQ(copies.at(0)->subitems().at(0)->tag(), 12);
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
