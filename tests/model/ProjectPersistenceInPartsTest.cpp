// A large project file whose items are parsed and built in parts on several threads opens as the
// same project, with the same problems in the same order, as its dictionary loaded in one piece.
#include "DMColorAdditions.h"
#include "DMProjectCoder.h"
#include "DMPropertyList.h"
#include "DMPropertyListNode.h"
#include "ModelTestSupport.h"
#include "TestSupport.h"

using namespace halcyra::test;

namespace {

constexpr int kItems = 4200; // links a third of the file on, from every seventh item, close cycles
constexpr qint64 kFirstID = 1000;

QVariantMap itemDictionary(const QString &className, qint64 id, int index)
{
    const qint64 begin = at(2024, 1, 8, 8).absoluteSecond() + qint64(index % 200) * 86400;
    const bool milestone = className == QLatin1String("DMProjectMilestone");
    return {{QStringLiteral("class"), className},
            {QStringLiteral("objectID"), id},
            {QStringLiteral("title"), QStringLiteral("Item %1: Grüße & <b>").arg(index)},
            {QStringLiteral("beginDate"), begin},
            {QStringLiteral("endDate"), milestone ? begin : begin + 36000},
            {QStringLiteral("duration"), milestone ? 0 : 36000},
            {QStringLiteral("progress"), (index % 11) / 10.0}};
}

QVariantMap linkTo(qint64 id, qint64 to)
{
    return {{QStringLiteral("class"), QStringLiteral("DMProjectDependency")},
            {QStringLiteral("objectID"), id},
            {QStringLiteral("toItem"), to}};
}

qint64 idOf(int index)
{
    return kFirstID + index;
}

// Items of every class, processes and groups with subitems, links from every seventh item to the
// one a third of the file further on (so from part to part, closing cycles across parts), tasks
// assigned to resources, and damage spread over the file: the same kinds of problem early and
// late with different details, an ID given twice in different parts, unknown classes, elements
// that are no dictionaries, unreadable IDs and dates, links and assignments to nothing.
QVariantMap largeProject()
{
    const QStringList classes = {QStringLiteral("DMProjectTask"), QStringLiteral("DMProjectMilestone"),
                                 QStringLiteral("DMProjectProcess"), QStringLiteral("DMProjectItemGroup"),
                                 QStringLiteral("DMProjectItem")};
    QVariantList tasks;
    for (int i = 0; i < kItems; ++i) {
        const QString className = classes.at(i % classes.size());
        QVariantMap item = itemDictionary(className, i == kItems * 3 / 4 ? idOf(kItems / 4) : idOf(i), i);
        if (className == QLatin1String("DMProjectProcess") || className == QLatin1String("DMProjectItemGroup")) {
            QVariantMap inner = itemDictionary(QStringLiteral("DMProjectItemGroup"), 100000 + qint64(i) * 10, i);
            inner.insert(QStringLiteral("subitems"), QVariantList{itemDictionary(QStringLiteral("DMProjectTask"), 100001 + qint64(i) * 10, i)});
            item.insert(QStringLiteral("subitems"),
                        QVariantList{itemDictionary(QStringLiteral("DMProjectTask"), 100002 + qint64(i) * 10, i),
                                     itemDictionary(QStringLiteral("DMProjectMilestone"), 100003 + qint64(i) * 10, i), inner});
        }
        if (i % 7 == 0)
            item.insert(QStringLiteral("outboundDependencies"),
                        QVariantList{linkTo(500000 + i, idOf((i + kItems / 3) % kItems)),
                                     linkTo(600000 + i, i % 700 == 0 ? 999999 : idOf((i + 1) % kItems))});
        if (className == QLatin1String("DMProjectTask"))
            item.insert(QStringLiteral("resources"), QVariantList{qint64(50 + i % 3), qint64(i % 900 == 0 ? 99 : 53)});
        if (i % 2 == 0)
            item.remove(QStringLiteral("progress"));
        if (i % 3 == 0)
            item.insert(QStringLiteral("fillColor"), componentsDictionary(QColor::fromRgb(0x336699 + i)));
        tasks.append(item);
    }
    tasks[kItems / 10] = QVariantMap{{QStringLiteral("class"), QStringLiteral("NSWindow")},
                                     {QStringLiteral("subitems"), QVariantList{itemDictionary(QStringLiteral("DMProjectTask"), 7, 0)}}};
    tasks[kItems * 8 / 10] = QVariantMap{{QStringLiteral("class"), QStringLiteral("NSView")}};
    tasks[kItems * 6 / 10] = QStringLiteral("not an item");
    QVariantMap mended = itemDictionary(QStringLiteral("DMProjectTask"), -5, kItems * 7 / 10);
    mended.insert(QStringLiteral("beginDate"), QStringLiteral("yesterday"));
    tasks[kItems * 7 / 10] = mended;
    tasks[kItems * 9 / 10] = itemDictionary(QStringLiteral("DMProjectTask"), 0, kItems * 9 / 10);
    // New IDs are drawn above the file's highest, which a late part holds.
    tasks[kItems - 2] = itemDictionary(QStringLiteral("DMProjectTask"), qint64(5) << 32, kItems - 2);

    QVariantList resources;
    for (qint64 id = 50; id <= 53; ++id)
        resources.append(QVariantMap{{QStringLiteral("class"), QStringLiteral("DMProjectResource")},
                                     {QStringLiteral("objectID"), id},
                                     {QStringLiteral("name"), QStringLiteral("Resource %1").arg(id)}});
    return {{QStringLiteral("class"), QStringLiteral("DMProject")},
            {QStringLiteral("title"), QStringLiteral("Large")},
            {QStringLiteral("identifier"), QStringLiteral("6f1c5a52-3c8e-4d1b-9a57-0d1f0b6a2c11")},
            {QStringLiteral("beginDate"), at(2024, 1, 8).absoluteSecond()},
            {QStringLiteral("lastObjectID"), qint64(700000)}, // below the highest ID
            {QStringLiteral("itemFillColor"), componentsDictionary(QColor::fromRgb(0x123456))},
            {QStringLiteral("resources"), resources},
            {QStringLiteral("tasks"), tasks}};
}

} // namespace

TEST(ProjectPersistenceInParts, ALargeFileLoadsAsItsDictionaryDoesWithTheSameProblems)
{
    const PoolThreads threads(4);
    const QVariantMap dictionary = largeProject();
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
    const auto first = loaded->objectWithIDAndClass<DMProjectItem>(quint64(idOf(kItems / 4)));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->title(), QStringLiteral("Item %1: Grüße & <b>").arg(kItems / 4));
    const auto source = loaded->objectWithIDAndClass<DMProjectItem>(quint64(idOf(7)));
    const auto target = loaded->objectWithIDAndClass<DMProjectItem>(quint64(idOf(7 + kItems / 3)));
    ASSERT_TRUE(source && target);
    EXPECT_TRUE(source->outboundDependencyToItem(target.get()));
    const auto resource = loaded->objectWithIDAndClass<DMProjectResource>(51);
    ASSERT_TRUE(resource);
    EXPECT_EQ(resource->assignedTasks().size(), expected->objectWithIDAndClass<DMProjectResource>(51)->assignedTasks().size());
    EXPECT_GT(resource->assignedTasks().size(), kItems / 20);
}
