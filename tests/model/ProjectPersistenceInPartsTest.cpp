// A large project file whose items are parsed and built in parts on several threads opens as the
// same project, with the same problems in the same order, as its dictionary loaded in one piece.
#include "DMProjectCoder.h"
#include "DMPropertyList.h"
#include "DMPropertyListNode.h"
#include "ModelTestSupport.h"
#include "TestSupport.h"

using namespace halcyra::test;

TEST(ProjectPersistenceInParts, ALargeFileLoadsAsItsDictionaryDoesWithTheSameProblems)
{
    const PoolThreads threads(4);
    const QVariantMap dictionary = largeProjectDictionary();
    QStringList expectedProblems;
    const std::shared_ptr<DMProject> expected = DMProjectCoder::loadProject(dictionary, &expectedProblems);

    QString error;
    const QByteArray xml = DMPropertyList::dataWithPropertyList(dictionary, DMPropertyList::CompactXML, &error);
    ASSERT_GT(xml.size(), 1 << 20) << error.toStdString();
    const DMPropertyListNode root = DMPropertyListNode::parse(xml, &error, "tasks");
    ASSERT_GT(root.valueForKey("tasks").arrayParts().size(), 2);
    QStringList problems;
    const std::shared_ptr<DMProject> loaded = DMProjectCoder::loadProject(root, &problems);
    ASSERT_TRUE(loaded);

    EXPECT_EQ(problems, expectedProblems);
    EXPECT_EQ(firstDifference(loaded->dictionaryRepresentation(), expected->dictionaryRepresentation()), "");
    expectSameProject(*expected, *loaded);
    EXPECT_EQ(loaded->nextObjectID(), expected->nextObjectID());
    EXPECT_GT(loaded->nextObjectID(), quint64(5) << 32);

    // The damage was there to be found, early and late in the file.
    const QString found = problems.join('\n');
    for (const char *kind : {"an item of unknown class was dropped with its subitems (first: NSWindow), 2 times",
                             "a duplicate object ID was replaced (" /* the second of the two */,
                             "an item that is not a dictionary was dropped", "an object ID that is not a positive integer",
                             "a link closing a cycle was dropped", "a link to a missing item was dropped",
                             "an assignment to a missing resource was dropped", "an item was mended"})
        EXPECT_TRUE(found.contains(QLatin1String(kind))) << kind << "\n" << found.toStdString();
    // The first of the items that share an ID, in file order, keeps it; links and assignments
    // reach across the parts.
    const auto item = [&](int index) {
        return loaded->objectWithIDAndClass<DMProjectItem>(quint64(kLargeProjectFirstID + index));
    };
    ASSERT_TRUE(item(kLargeProjectItems / 4));
    EXPECT_EQ(item(kLargeProjectItems / 4)->title(), QStringLiteral("Item %1: Grüße & <b>").arg(kLargeProjectItems / 4));
    ASSERT_TRUE(item(7) && item(7 + kLargeProjectItems / 3));
    EXPECT_TRUE(item(7)->outboundDependencyToItem(item(7 + kLargeProjectItems / 3).get()));
    const auto resource = loaded->objectWithIDAndClass<DMProjectResource>(51);
    ASSERT_TRUE(resource);
    EXPECT_EQ(resource->assignedTasks().size(), expected->objectWithIDAndClass<DMProjectResource>(51)->assignedTasks().size());
    EXPECT_GT(resource->assignedTasks().size(), kLargeProjectItems / 20);
}
