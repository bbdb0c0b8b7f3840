#include "DMProjectCoder.h"
#include "DMPropertyList.h"
#include "DMPropertyListNode.h"
#include "ModelTestSupport.h"

#include "DMColorAdditions.h"

#include <QColor>
#include <QRegularExpression>
#include <QUuid>

using namespace halcyra::test;

namespace {

// Loads the dictionary as a document reads its file: from the parsed property list in place.
std::shared_ptr<DMProject> loadFromXML(const QVariantMap &dictionary, QStringList *problems = nullptr)
{
    QString error;
    const QByteArray xml = DMPropertyList::dataWithPropertyList(dictionary, DMPropertyList::XML, &error);
    EXPECT_FALSE(xml.isEmpty()) << error.toStdString();
    const DMPropertyListNode root = DMPropertyListNode::parse(xml, &error);
    EXPECT_TRUE(root.isDictionary()) << error.toStdString();
    return DMProjectCoder::loadProject(root, problems);
}

std::shared_ptr<DMProject> throughXML(const DMProject &project, QStringList *problems = nullptr)
{
    return loadFromXML(project.dictionaryRepresentation(), problems);
}

QVariantMap taskDictionary(qint64 id, const QString &title = QStringLiteral("t"))
{
    return {{QStringLiteral("class"), QStringLiteral("DMProjectTask")},
            {QStringLiteral("objectID"), id},
            {QStringLiteral("title"), title},
            {QStringLiteral("beginDate"), at(2024, 1, 8, 8).absoluteSecond()},
            {QStringLiteral("endDate"), at(2024, 1, 8, 18).absoluteSecond()},
            {QStringLiteral("duration"), 36000}};
}

QVariantMap link(qint64 id, qint64 to)
{
    return {{QStringLiteral("class"), QStringLiteral("DMProjectDependency")}, {QStringLiteral("objectID"), id},
            {QStringLiteral("toItem"), to}};
}

} // namespace

TEST(ProjectPersistence, EveryKindOfObjectSurvivesTheXMLRoundTrip)
{
    FullProject f = makeFullProject();
    QStringList problems;
    auto loaded = throughXML(*f.project, &problems);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    expectSameProject(*f.project, *loaded);
    EXPECT_EQ(loaded->dictionaryRepresentation(), f.project->dictionaryRepresentation());

    // The loaded objects are linked to each other, not only labelled alike.
    auto task1 = loaded->objectWithIDAndClass<DMProjectTask>(f.task1->objectID());
    auto task2 = loaded->objectWithIDAndClass<DMProjectTask>(f.task2->objectID());
    auto milestone = loaded->objectWithIDAndClass<DMProjectMilestone>(f.milestone->objectID());
    auto resource1 = loaded->objectWithIDAndClass<DMProjectResource>(f.resource1->objectID());
    ASSERT_TRUE(task1 && task2 && milestone && resource1);
    EXPECT_EQ(task1->outboundDependencyToItem(milestone.get())->toItem(), milestone);
    EXPECT_EQ(milestone->outboundDependencyToItem(task2.get())->kind(), 2);
    EXPECT_EQ(task2->parentItem()->parentItem()->objectID(), f.process->objectID());
    EXPECT_EQ(resource1->assignedTasks().size(), 2);
    EXPECT_EQ(resource1->parentItem()->name(), QStringLiteral("Crew"));
    EXPECT_EQ(loaded->attribute(kDMProject_TimelineViewTimeSpan).toMap().value(kDMTimeSpanEnd).value<DMDate>(), at(2024, 7, 1));
    EXPECT_EQ(loaded->lastObjectID(), f.project->lastObjectID());
    // The rebuilt calendar follows the loaded settings: Christmas and Sundays are off.
    EXPECT_FALSE(loaded->isWorkingDay(at(2024, 12, 25)));
    EXPECT_FALSE(loaded->isWorkingDay(at(2024, 3, 10)));
    EXPECT_TRUE(loaded->isWorkingDay(at(2024, 3, 11)));
    EXPECT_EQ(loaded->nextObjectID(), f.project->nextObjectID());
}

TEST(ProjectPersistence, ValuesEqualToTheirDefaultsAreLeftOutAndReadBackTheSame)
{
    auto project = DMProject::create();
    auto plain = makeItem<DMProjectTask>(project, "Plain", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    auto styled = makeItem<DMProjectTask>(project, "Styled", at(2024, 1, 9, 8), at(2024, 1, 9, 18));
    auto process = makeItem<DMProjectProcess>(project, "Process", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    project->tasks().append(plain);
    project->tasks().append(styled);
    project->tasks().append(process);
    styled->setProgress(0.5f);
    styled->setLocked(true);
    styled->setUseWorkingSchedule(false);
    const auto plainLink = plain->addOutboundDependencyToItem(styled);
    const auto styledLink = styled->addOutboundDependencyToItem(process);
    styledLink->setColor(QColor(200, 0, 0));
    styledLink->setHasArrow(false);
    styledLink->setKind(2);

    const QVariantMap d = project->dictionaryRepresentation();
    const QVariantList tasks = d.value("tasks").toList();
    const QVariantMap plainD = tasks.at(0).toMap();
    for (const char *key : {"progress", "locked", "useWorkingSchedule"})
        EXPECT_FALSE(plainD.contains(key)) << key;
    EXPECT_FALSE(plainD.contains("fillColor")); // the project's shared one
    const QVariantMap linkD = plainD.value("outboundDependencies").toList().first().toMap();
    EXPECT_EQ(QStringList(linkD.keys()), (QStringList{"objectID", "toItem"}));
    const QVariantMap styledD = tasks.at(1).toMap();
    for (const char *key : {"progress", "locked", "useWorkingSchedule"})
        EXPECT_TRUE(styledD.contains(key)) << key;

    auto loaded = throughXML(*project);
    ASSERT_TRUE(loaded);
    expectSameProject(*project, *loaded);
    const auto loadedStyled = loaded->objectWithIDAndClass<DMProjectTask>(styled->objectID());
    ASSERT_TRUE(loadedStyled);
    EXPECT_EQ(loadedStyled->progress(), 0.5f);
    EXPECT_TRUE(loadedStyled->locked());
    const auto loadedLink = loadedStyled->outboundDependencies().first();
    EXPECT_EQ(loadedLink->color(), QColor(200, 0, 0));
    EXPECT_FALSE(loadedLink->hasArrow());
    EXPECT_EQ(loadedLink->kind(), 2);
    EXPECT_EQ(loaded->objectWithIDAndClass<DMProjectTask>(plain->objectID())->outboundDependencies().first()->color(),
              plainLink->color());

    // A file that writes every value out, as earlier versions did, reads the same.
    QVariantMap full = d;
    QVariantList fullTasks = tasks;
    QVariantMap fullPlain = plainD;
    fullPlain.insert("progress", 0.0);
    fullPlain.insert("locked", false);
    fullPlain.insert("useWorkingSchedule", true);
    fullPlain.insert("outboundDependencies", QVariantList{plainLink->dictionaryRepresentation()});
    fullTasks[0] = fullPlain;
    full.insert("tasks", fullTasks);
    auto old = DMProject::projectWithDictionaryRepresentation(full);
    ASSERT_TRUE(old);
    EXPECT_EQ(old->dictionaryRepresentation(), d);
}

// Files are written without line breaks between tags; files of earlier versions, indented or
// with one tag per line, read exactly as before, and text keeps its own line breaks and tabs.
TEST(ProjectPersistence, EarlierLayoutsOfTheFileReadTheSame)
{
    FullProject f = makeFullProject();
    f.task1->setAttribute(kDMProjectItem_Notes, QStringLiteral("Check the piers\n\tthen the deck\n"));
    f.task2->setTitle(QStringLiteral("\tResurface <west> & east "));
    const QVariantMap d = DMProjectCoder::projectRepresentation(*f.project);
    const QByteArray indented = DMPropertyList::dataWithPropertyList(d, DMPropertyList::XML);
    const QByteArray lines = QString::fromUtf8(indented).replace(QRegularExpression(QStringLiteral(">\n\t+<")), QStringLiteral(">\n<")).toUtf8();
    const QByteArray compact = DMPropertyList::dataWithPropertyList(d, DMPropertyList::CompactXML);
    ASSERT_NE(lines, indented);
    const qsizetype body = compact.indexOf("<plist");
    ASSERT_GT(body, 0);
    EXPECT_FALSE(compact.mid(body).contains(">\n<"));
    EXPECT_TRUE(compact.endsWith("</plist>\n"));
    EXPECT_LT(compact.size(), lines.size());

    for (const QByteArray &xml : {indented, lines, compact}) {
        QString error;
        const DMPropertyListNode root = DMPropertyListNode::parse(xml, &error);
        ASSERT_TRUE(root.isDictionary()) << error.toStdString();
        QStringList problems;
        const auto loaded = DMProjectCoder::loadProject(root, &problems);
        ASSERT_TRUE(loaded);
        EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
        expectSameProject(*f.project, *loaded);
        EXPECT_EQ(DMProjectCoder::projectRepresentation(*loaded), d);
        EXPECT_EQ(loaded->objectWithIDAndClass<DMProjectTask>(f.task1->objectID())->attribute(kDMProjectItem_Notes),
                  QStringLiteral("Check the piers\n\tthen the deck\n"));
    }
}

// The most frequent fill colour is written once for the project and left out of the items that
// have it; an item without a colour in an older file still takes the preferred default.
TEST(ProjectPersistence, TheSharedFillColourIsWrittenOnceAndItemsReadTheirOwn)
{
    const QColor blue(20, 40, 200);
    const QColor red = QColor::fromRgbF(0.9f, 0.1f, 0.1f, 0.5f);
    auto project = DMProject::create();
    auto process = makeItem<DMProjectProcess>(project, "Process", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    project->tasks().append(process);
    QList<std::shared_ptr<DMProjectTask>> tasks;
    for (int i = 0; i < 4; ++i) {
        tasks.append(makeItem<DMProjectTask>(project, QStringLiteral("T%1").arg(i), at(2024, 1, 8, 8), at(2024, 1, 8, 18)));
        process->subitems().append(tasks.last());
        tasks.last()->setFillColor(i == 3 ? red : blue);
    }
    auto event = std::make_shared<DMProjectEvent>();
    project->eventContainer()->events().append(event);
    event->setFillColor(blue);

    const QVariantMap d = project->dictionaryRepresentation();
    EXPECT_EQ(colorWithComponentsDictionary(d.value("itemFillColor").toMap()), blue);
    const QVariantList written = d.value("tasks").toList().first().toMap().value("subitems").toList();
    ASSERT_EQ(written.size(), 4);
    EXPECT_FALSE(written.at(0).toMap().contains("fillColor"));
    EXPECT_TRUE(written.at(3).toMap().contains("fillColor"));
    EXPECT_TRUE(d.value("tasks").toList().first().toMap().contains("fillColor")); // the process keeps its own

    QStringList problems;
    auto loaded = throughXML(*project, &problems);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    for (const auto &item : {std::static_pointer_cast<DMProjectItem>(process), std::static_pointer_cast<DMProjectItem>(tasks.at(0)),
                             std::static_pointer_cast<DMProjectItem>(tasks.at(3))})
        EXPECT_EQ(loaded->objectWithIDAndClass<DMProjectItem>(item->objectID())->fillColor(), item->fillColor());
    EXPECT_EQ(loaded->eventContainer()->events().first()->fillColor(), blue);
    EXPECT_EQ(loaded->dictionaryRepresentation(), d);

    // Older files give every item its colour; one without any takes the default.
    QVariantMap old{{QStringLiteral("tasks"), QVariantList{taskDictionary(5)}}};
    auto oldProject = DMProject::projectWithDictionaryRepresentation(old);
    EXPECT_EQ(oldProject->tasks().first()->fillColor(), DMProjectTask().fillColor());
    // A damaged shared colour is reported and the default stays.
    old.insert(QStringLiteral("itemFillColor"), QStringLiteral("blue"));
    problems.clear();
    oldProject = loadFromXML(old, &problems);
    EXPECT_EQ(oldProject->tasks().first()->fillColor(), DMProjectTask().fillColor());
    EXPECT_EQ(problems.size(), 1);
}

// Durations are counted again on load, over a table of working time from the 17th item on:
// items thousands of years apart keep the durations they were saved with.
TEST(ProjectPersistence, ItemsThousandsOfYearsApartKeepTheirDurations)
{
    for (const int farYear : {9000, 3900, 1339}) {
        SCOPED_TRACE(farYear);
        auto project = workingWeekProject();
        for (int i = 0; i < 17; ++i)
            addTask(project, QStringLiteral("near %1").arg(i), at(2024, 1, 8, 8), at(2024, 1, 8, 18));
        // Working days: a Friday in 9000, a Monday in 3900, a Thursday in 1339.
        const int day = farYear == 9000 ? 10 : farYear == 3900 ? 15 : 14;
        const auto far = addTask(project, QStringLiteral("far"), at(farYear, 1, day, 8), at(farYear, 1, day, 18));
        const auto group = addTask<DMProjectItemGroup>(project, QStringLiteral("group"), at(farYear, 1, day, 8),
                                                       at(farYear, 1, day + 5, 12));
        EXPECT_EQ(far->duration(), 36000);
        EXPECT_GT(group->duration(), 3 * 36000);
        QStringList problems;
        const auto loaded = throughXML(*project, &problems);
        ASSERT_TRUE(loaded);
        EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
        EXPECT_EQ(loaded->objectWithIDAndClass<DMProjectItem>(far->objectID())->duration(), 36000);
        EXPECT_EQ(loaded->objectWithIDAndClass<DMProjectItem>(group->objectID())->duration(), group->duration());
        EXPECT_EQ(firstDifference(loaded->dictionaryRepresentation(), project->dictionaryRepresentation()), "");
    }
}

TEST(ProjectPersistence, ResourceLoaderDrawsNewIDsAndFillsTheSortedList)
{
    FullProject f = makeFullProject();
    const QVariantMap group = f.resourceGroup->dictionaryRepresentation();
    f.project->setObjectIDSortedResourcesArray(QList<std::shared_ptr<DMProjectResource>>());
    auto copy = DMProjectResource::resourceWithDictionaryRepresentation(group, f.project, true);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->isGroup());
    ASSERT_EQ(copy->subitems().size(), 1);
    EXPECT_NE(copy->objectID(), f.resourceGroup->objectID());
    EXPECT_NE(copy->subitems().at(0)->objectID(), f.resource1->objectID());
    EXPECT_EQ(copy->subitems().at(0)->attribute(kDMProjectResource_Email), QStringLiteral("ada@example.org"));
    const auto &sorted = *f.project->objectIDSortedResourcesArray();
    ASSERT_EQ(sorted.size(), 2);
    EXPECT_LT(sorted.at(0)->objectID(), sorted.at(1)->objectID());
    f.project->setObjectIDSortedResourcesArray(std::nullopt);
}

TEST(ProjectPersistence, BadInputLoadsWhatIsSound)
{
    struct Case
    {
        const char *name;
        QVariantMap dictionary;
        int tasks;      // top-level items expected
        int links;      // links expected in the whole project
        bool problems;  // a problem is reported
        int objects = -1; // when given: objects in the project, its two containers included
    };
    QVariantMap deep = taskDictionary(10);
    deep.insert(QStringLiteral("subitems"), QVariantList{QStringLiteral("not an item"), taskDictionary(11)});
    QVariantMap badDates = taskDictionary(20);
    badDates.insert(QStringLiteral("beginDate"), QStringLiteral("yesterday"));
    badDates.insert(QStringLiteral("endDate"), qint64(1) << 60);
    QVariantMap linked1 = taskDictionary(31);
    linked1.insert(QStringLiteral("outboundDependencies"), QVariantList{link(40, 32), link(41, 999), link(42, 31)});
    QVariantMap linked2 = taskDictionary(32);
    linked2.insert(QStringLiteral("outboundDependencies"), QVariantList{link(43, 31), QStringLiteral("junk")});
    QVariantMap assigned = taskDictionary(50);
    assigned.insert(QStringLiteral("resources"), QVariantList{qint64(60), qint64(12345), QStringLiteral("x")});
    QVariantMap mapOfSubitems = taskDictionary(70);
    mapOfSubitems.insert(QStringLiteral("subitems"), QVariantMap{{QStringLiteral("a"), taskDictionary(71)}});
    const QVariantMap resource{{QStringLiteral("class"), QStringLiteral("DMProjectResource")},
                               {QStringLiteral("objectID"), qint64(60)}};

    const std::vector<Case> cases = {
        {"empty dictionary", {}, 0, 0, false},
        {"tasks of the wrong type", {{QStringLiteral("tasks"), QStringLiteral("many")}}, 0, 0, false},
        {"unknown class and non-dictionary entries",
         {{QStringLiteral("tasks"), QVariantList{QVariantMap{{QStringLiteral("class"), QStringLiteral("NSWindow")}}, 42, deep}}},
         1, 0, true},
        {"dates of the wrong type and out of range", {{QStringLiteral("tasks"), QVariantList{badDates}}}, 1, 0, true},
        {"duplicate IDs", {{QStringLiteral("tasks"), QVariantList{taskDictionary(7), taskDictionary(7)}}}, 2, 0, true},
        {"dangling, self and cyclic links", {{QStringLiteral("tasks"), QVariantList{linked1, linked2}}}, 2, 1, true},
        {"dangling assignment",
         {{QStringLiteral("tasks"), QVariantList{assigned}}, {QStringLiteral("resources"), QVariantList{resource}}},
         1, 0, true},
        {"subitems in a dictionary instead of a list", {{QStringLiteral("tasks"), QVariantList{mapOfSubitems}}}, 1, 0, true, 3},
        {"damaged settings", {{QStringLiteral("attributes"), QVariantMap{{QStringLiteral("k"), QStringLiteral("x")}}}}, 0, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList problems;
        auto project = DMProject::projectWithDictionaryRepresentation(c.dictionary, &problems);
        ASSERT_TRUE(project);
        EXPECT_EQ(project->tasks().size(), c.tasks);
        int links = 0;
        for (const auto &item : project->tasks())
            links += int(item->outboundDependencies().size());
        EXPECT_EQ(links, c.links);
        if (c.objects >= 0) {
            EXPECT_EQ(project->indexedObjectCount(), c.objects);
        }
        EXPECT_EQ(!problems.isEmpty(), c.problems) << problems.join('\n').toStdString();
        // Whatever was loaded is consistent: every object is found under its own ID.
        for (const auto &item : project->tasks())
            EXPECT_EQ(project->objectWithIDAndClass<DMProjectItem>(item->objectID()), item);
        // Read from the file in place, the same damage gives the same project and report.
        QStringList fileProblems;
        auto fromFile = loadFromXML(c.dictionary, &fileProblems);
        ASSERT_TRUE(fromFile);
        // (Each load of a file without an identifier makes its own.)
        QVariantMap fileRepresentation = fromFile->dictionaryRepresentation();
        QVariantMap representation = project->dictionaryRepresentation();
        fileRepresentation.remove(QStringLiteral("identifier"));
        representation.remove(QStringLiteral("identifier"));
        EXPECT_EQ(fileRepresentation, representation);
        EXPECT_EQ(fileProblems, problems);
    }
}

TEST(ProjectPersistence, TheProjectsIdentifierIsKeptMadeForOlderFilesAndNeverShared)
{
    auto project = DMProject::create();
    EXPECT_FALSE(QUuid::fromString(project->identifier()).isNull());
    EXPECT_NE(DMProject::create()->identifier(), project->identifier());
    EXPECT_EQ(throughXML(*project)->identifier(), project->identifier());

    // An older file has none: it gets one, which its next save keeps.
    QVariantMap older = project->dictionaryRepresentation();
    older.remove(QStringLiteral("identifier"));
    QStringList problems;
    const auto loaded = loadFromXML(older, &problems);
    EXPECT_TRUE(problems.isEmpty());
    EXPECT_FALSE(QUuid::fromString(loaded->identifier()).isNull());
    EXPECT_NE(loaded->identifier(), project->identifier());
    EXPECT_EQ(throughXML(*loaded)->identifier(), loaded->identifier());

    // An unreadable one is replaced and told.
    older.insert(QStringLiteral("identifier"), QStringLiteral("HALCYRA-1"));
    const auto damaged = loadFromXML(older, &problems);
    EXPECT_FALSE(QUuid::fromString(damaged->identifier()).isNull());
    EXPECT_EQ(problems.size(), 1);
}

TEST(ProjectPersistence, DuplicateIDsGetFreshOnesAboveTheFilesAndLinksStayWithTheFirst)
{
    QVariantMap first = taskDictionary(7, QStringLiteral("first"));
    first.insert(QStringLiteral("outboundDependencies"), QVariantList{link(9, 8)});
    const QVariantMap d{{QStringLiteral("tasks"), QVariantList{first, taskDictionary(7, QStringLiteral("second")), taskDictionary(8)}}};
    auto project = DMProject::projectWithDictionaryRepresentation(d);
    ASSERT_EQ(project->tasks().size(), 3);
    EXPECT_EQ(project->tasks().at(0)->objectID(), 7u);
    EXPECT_GT(project->tasks().at(1)->objectID(), quint64(1) << 32);
    EXPECT_EQ(project->tasks().at(0)->outboundDependencies().size(), 1);
    EXPECT_EQ(project->indexedObjectCount(), 2 + 3 + 1);
}

TEST(ProjectPersistence, MilestoneWithUnequalDatesIsMendedAndTaskWithEqualDatesToo)
{
    QVariantMap milestone = taskDictionary(1);
    milestone.insert(QStringLiteral("class"), QStringLiteral("DMProjectMilestone"));
    QVariantMap task = taskDictionary(2);
    task.insert(QStringLiteral("endDate"), task.value(QStringLiteral("beginDate")));
    QStringList problems;
    auto project = DMProject::projectWithDictionaryRepresentation({{QStringLiteral("tasks"), QVariantList{milestone, task}}}, &problems);
    ASSERT_EQ(project->tasks().size(), 2);
    EXPECT_EQ(project->tasks().at(0)->beginDate(), project->tasks().at(0)->endDate());
    EXPECT_LT(project->tasks().at(1)->beginDate(), project->tasks().at(1)->endDate());
}

TEST(ProjectPersistence, HostileDeepTreeIsCutWithoutExhaustingTheStack)
{
    constexpr int depth = 100000;
    QVariantMap node = taskDictionary(depth);
    for (int i = depth - 1; i >= 1; --i) {
        QVariantMap parent = taskDictionary(i);
        parent.insert(QStringLiteral("subitems"), QVariantList{node});
        node = std::move(parent);
    }
    QVariantMap root{{QStringLiteral("tasks"), QVariantList{node}}};
    node.clear();
    QStringList problems;
    {
        auto project = DMProject::projectWithDictionaryRepresentation(root, &problems);
        int levels = 0;
        for (auto item = project->tasks().first(); item; item = item->subitems().isEmpty() ? nullptr : item->subitems().first())
            ++levels;
        EXPECT_EQ(levels, DMProjectCoder::kMaximumItemDepth);
        EXPECT_FALSE(problems.isEmpty());
        const QVariantMap written = project->dictionaryRepresentation();
        EXPECT_EQ(written.value(QStringLiteral("tasks")).toList().size(), 1);
    }
    // Take the nested dictionary apart one level at a time: its own destructor would recurse.
    QVariant level = root.take(QStringLiteral("tasks")).toList().first();
    while (level.isValid()) {
        QVariantMap map = level.toMap();
        level = QVariant();
        const QVariantList children = map.take(QStringLiteral("subitems")).toList();
        level = children.isEmpty() ? QVariant() : children.first();
    }
}

TEST(ProjectPersistence, CyclesAmongLinksDropOneLinkPerCycle)
{
    QVariantList tasks;
    constexpr int count = 2000;
    for (int i = 1; i <= count; ++i) {
        QVariantMap task = taskDictionary(i);
        task.insert(QStringLiteral("outboundDependencies"), QVariantList{link(10000 + i, i % count + 1)});
        tasks.append(task);
    }
    auto project = DMProject::projectWithDictionaryRepresentation({{QStringLiteral("tasks"), tasks}});
    int links = 0;
    for (const auto &item : project->tasks())
        links += int(item->outboundDependencies().size());
    EXPECT_EQ(links, count - 1);
    // Always the same link goes, whatever the items' places in memory: the one that closes the
    // cycle last in file order.
    EXPECT_TRUE(project->tasks().last()->outboundDependencies().isEmpty());

    QVariantMap first = taskDictionary(1), second = taskDictionary(2);
    first.insert(QStringLiteral("outboundDependencies"), QVariantList{link(3, 2)});
    second.insert(QStringLiteral("outboundDependencies"), QVariantList{link(4, 1)});
    for (int round = 0; round < 20; ++round) {
        auto pair = DMProject::projectWithDictionaryRepresentation({{QStringLiteral("tasks"), QVariantList{first, second}}});
        ASSERT_EQ(pair->tasks().first()->outboundDependencies().size(), 1);
        EXPECT_TRUE(pair->tasks().last()->outboundDependencies().isEmpty());
    }
}

// IDs near 2^64 come back the same through the file, and the counter standing at the top
// hands out free IDs instead of wrapping to 0.
TEST(ProjectPersistence, ObjectIDsNearTheTopNeverWrap)
{
    constexpr quint64 top = std::numeric_limits<quint64>::max();
    QVariantMap high = taskDictionary(0);
    high.insert(QStringLiteral("objectID"), top);
    QVariantMap other = taskDictionary(0);
    other.insert(QStringLiteral("objectID"), top - 1);
    other.insert(QStringLiteral("outboundDependencies"), QVariantList{QVariantMap{
        {QStringLiteral("class"), QStringLiteral("DMProjectDependency")}, {QStringLiteral("objectID"), top - 2},
        {QStringLiteral("toItem"), top}}});
    auto project = DMProject::projectWithDictionaryRepresentation(
        {{QStringLiteral("tasks"), QVariantList{high, other}}, {QStringLiteral("lastObjectID"), top}});
    ASSERT_EQ(project->tasks().size(), 2);
    EXPECT_EQ(project->tasks().at(0)->objectID(), top);
    EXPECT_EQ(project->tasks().at(1)->outboundDependencies().size(), 1);

    auto again = throughXML(*project);
    EXPECT_EQ(again->tasks().at(0)->objectID(), top);
    EXPECT_EQ(again->tasks().at(1)->outboundDependencies().first()->objectID(), top - 2);
    EXPECT_EQ(again->lastObjectID(), top);

    QSet<quint64> ids{top, top - 1, top - 2};
    for (int i = 0; i < 3; ++i) {
        auto task = makeItem<DMProjectTask>(again, QStringLiteral("new"), at(2024, 1, 8, 8), at(2024, 1, 8, 18));
        again->tasks().append(task);
        EXPECT_GT(task->objectID(), quint64(1) << 32);
        EXPECT_FALSE(ids.contains(task->objectID()));
        ids.insert(task->objectID());
    }
}

// A file with a million damaged entries logs one line per kind of damage, with its count.
TEST(ProjectPersistence, MassDamageIsCountedNotListed)
{
    QVariantList tasks(1000000, QVariant(42));
    tasks.append(taskDictionary(7));
    static int warnings = 0;
    warnings = 0;
    const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) { ++warnings; });
    QStringList problems;
    auto project = DMProject::projectWithDictionaryRepresentation({{QStringLiteral("tasks"), tasks}}, &problems);
    qInstallMessageHandler(previous);
    EXPECT_EQ(project->tasks().size(), 1);
    EXPECT_EQ(problems, QStringList{QStringLiteral("an item that is not a dictionary was dropped, 1000000 times")});
    EXPECT_EQ(warnings, 1);
}
