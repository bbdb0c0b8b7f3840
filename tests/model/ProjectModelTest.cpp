#include "DMProjectDocumentHooks.h"
#include "DMProjectItemProxy.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectUIObjectFactory.h"
#include "DMPropertyList.h"
#include "ModelTestSupport.h"
#include "TestSupport.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>

using namespace halcyra::test;

TEST(ProjectModel, ObjectIDsStartAbove2To32AndEveryKindIsFoundByIDAndClass)
{
    auto fresh = DMProject::create();
    auto task = std::make_shared<DMProjectTask>();
    task->setProject(fresh);
    // The two containers took the first IDs.
    EXPECT_EQ(task->objectID(), (quint64(1) << 32) + 3);
    EXPECT_EQ(fresh->eventContainer()->objectID(), (quint64(1) << 32) + 1);

    FullProject f = makeFullProject();
    const DMProject &p = *f.project;
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectTask>(f.task1->objectID()), f.task1);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectItem>(f.task2->objectID()), f.task2);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectMilestone>(f.milestone->objectID()), f.milestone);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectTask>(f.milestone->objectID()), f.milestone);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectProcess>(f.process->objectID()), f.process);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectItemGroup>(f.group->objectID()), f.group);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectItem>(f.plainItem->objectID()), f.plainItem);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectEvent>(f.event1->objectID()), f.event1);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectResource>(f.resource1->objectID()), f.resource1);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectResource>(f.resourceGroup->objectID()), f.resourceGroup);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectTodo>(f.separator->objectID()), f.separator);
    const auto link = f.milestone->outboundDependencyToItem(f.task2.get());
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectDependency>(link->objectID()), link);

    // Class mismatches, events asked as items, containers and unknown IDs answer null.
    EXPECT_FALSE(p.objectWithIDAndClass<DMProjectMilestone>(f.task1->objectID()));
    EXPECT_FALSE(p.objectWithIDAndClass<DMProjectProcess>(f.task1->objectID()));
    EXPECT_FALSE(p.objectWithIDAndClass<DMProjectResource>(f.task1->objectID()));
    EXPECT_FALSE(p.objectWithIDAndClass<DMProjectItem>(f.event1->objectID()));
    EXPECT_FALSE(p.objectWithIDAndClass(f.todo1->objectID(), QStringLiteral("DMProjectItem")));
    EXPECT_FALSE(p.objectWithIDAndClass(p.todoContainer()->objectID(), QStringLiteral("DMProjectTodoContainer")));
    EXPECT_FALSE(p.objectWithIDAndClass<DMProjectTask>(12345));
}

TEST(ProjectModel, IndexFollowsSubtreesInAndOut)
{
    FullProject f = makeFullProject();
    DMProject &p = *f.project;
    const qsizetype before = p.indexedObjectCount();
    auto branch = makeItem<DMProjectProcess>(f.project, QStringLiteral("branch"), at(2024, 5, 6, 8), at(2024, 5, 7, 18));
    auto leaf = makeItem<DMProjectTask>(f.project, QStringLiteral("leaf"), at(2024, 5, 6, 8), at(2024, 5, 7, 18));
    auto gate = makeItem<DMProjectMilestone>(f.project, QStringLiteral("gate"), at(2024, 5, 7, 18), at(2024, 5, 7, 18));
    branch->subitems().append(leaf); // built detached, then inserted whole
    branch->subitems().append(gate);
    EXPECT_FALSE(p.objectWithIDAndClass<DMProjectTask>(leaf->objectID()));
    const auto milestones = [&p] {
        QSet<const DMProjectItem *> set;
        for (const auto &milestone : p.milestones())
            set.insert(milestone.get());
        return set;
    };
    EXPECT_EQ(milestones(), QSet<const DMProjectItem *>({f.milestone.get()}));
    f.group->subitems().append(branch);
    EXPECT_EQ(p.objectWithIDAndClass<DMProjectTask>(leaf->objectID()), leaf);
    EXPECT_EQ(p.indexedObjectCount(), before + 3);
    // The milestones are known at any depth, also under a new ID.
    gate->setObjectID(p.nextObjectID());
    EXPECT_EQ(milestones(), QSet<const DMProjectItem *>({f.milestone.get(), gate.get()}));
    EXPECT_TRUE(leaf->isChildOfItem(f.process.get()));
    EXPECT_FALSE(f.process->isChildOfItem(leaf.get()));
    EXPECT_FALSE(leaf->isChildOfItem(nullptr));

    // Removing the process takes its whole subtree out, links inside it included.
    const auto innerLink = f.task1->outboundDependencyToItem(f.milestone.get());
    p.tasks().removeAt(0);
    EXPECT_FALSE(p.objectWithIDAndClass<DMProjectTask>(leaf->objectID()));
    EXPECT_FALSE(p.objectWithIDAndClass<DMProjectDependency>(innerLink->objectID()));
    EXPECT_FALSE(f.process->parentItem());
    EXPECT_EQ(f.task1->parentItem(), f.process);
    EXPECT_TRUE(milestones().isEmpty());
    p.tasks().append(f.process); // put back whole, as an undo does
    EXPECT_EQ(milestones(), QSet<const DMProjectItem *>({f.milestone.get(), gate.get()}));
}

TEST(ProjectModel, TreeRefusesCyclesDoubleParentsAndOtherProjects)
{
    FullProject f = makeFullProject();
    EXPECT_THROW(f.task2->subitems().append(f.process), std::invalid_argument);
    EXPECT_THROW(f.group->subitems().append(f.group), std::invalid_argument);
    EXPECT_THROW(f.group->subitems().append(f.task1), std::invalid_argument); // still in the process
    EXPECT_THROW(f.project->tasks().append(f.task1), std::invalid_argument);
    EXPECT_THROW(f.group->subitems().append(nullptr), std::invalid_argument);
    auto other = DMProject::create();
    auto stranger = std::make_shared<DMProjectTask>();
    stranger->setProject(other);
    EXPECT_THROW(f.project->tasks().append(stranger), std::invalid_argument);
    EXPECT_THROW(f.resource1->subitems().append(std::make_shared<DMProjectResource>()), std::invalid_argument);
    EXPECT_EQ(f.process->subitems().size(), 3);
    EXPECT_EQ(f.project->tasks().size(), 2);
}

TEST(ProjectModel, ChangesAreAnnouncedBeforeAndAfter)
{
    FullProject f = makeFullProject();
    QStringList seen;
    auto record = [&seen](const DMChange &change, DMObservable *) {
        seen << QStringLiteral("%1 %2 %3").arg(change.prior ? "will" : "did", change.key).arg(change.indexes.value(0, -1));
    };
    auto o1 = f.task1->observe(QString(), record, true);
    auto o2 = f.group->observe(DMProjectKey::subitems, record, true);
    f.task1->setTitle(QStringLiteral("Survey again"));
    f.task1->setAttribute(kDMProjectItem_Notes, QStringLiteral("n"));
    f.group->subitems().removeAt(0); // task2 leaves, and task1 stops listing its link to it
    EXPECT_EQ(seen, QStringList({"will title -1", "did title -1", "will attributes.kDMProjectItem_Notes -1",
                                 "will attributes -1", "did attributes -1", "did attributes.kDMProjectItem_Notes -1",
                                 "will subitems 0", "will outboundDependencies 1", "did outboundDependencies 1",
                                 "did subitems 0"}));
    seen.clear();
    f.task1->setTitle(QStringLiteral("Survey again")); // unchanged: no announcement
    EXPECT_TRUE(seen.isEmpty());
}

TEST(ProjectModel, DatesRefuseBadPairsButAcceptAMilestonesEqualDates)
{
    FullProject f = makeFullProject();
    const DMDate day = at(2024, 3, 12, 8);
    EXPECT_NO_THROW(f.milestone->setBeginDateAndEndDate(day, day));
    EXPECT_EQ(f.milestone->endDate(), day);
    EXPECT_THROW(f.milestone->setBeginDateAndEndDate(day, at(2024, 3, 12, 9)), std::invalid_argument);
    f.milestone->setEndDate(at(2024, 3, 13, 8)); // moves both
    EXPECT_EQ(f.milestone->beginDate(), at(2024, 3, 13, 8));

    const DMDate begin = f.task1->beginDate();
    EXPECT_THROW(f.task1->setBeginDateAndEndDate(day, day), std::invalid_argument);
    EXPECT_THROW(f.task1->setBeginDateAndEndDate(day, at(2024, 3, 11, 8)), std::invalid_argument);
    EXPECT_THROW(f.task1->setBeginDateAndEndDate(DMDate(), day), std::invalid_argument);
    EXPECT_EQ(f.task1->beginDate(), begin);

    // The duration follows the calendar: Mon 08:00 to the next Mon 18:00 is 6 working days
    // of 10 hours on the working schedule, 8 days 10 hours of plain time off it.
    f.task1->setBeginDateAndEndDate(at(2024, 3, 11, 8), at(2024, 3, 18, 18));
    EXPECT_EQ(f.task1->duration(), 6 * 36000);
    f.task1->setUseWorkingSchedule(false);
    EXPECT_EQ(f.task1->duration(), 7 * 86400 + 36000);
}

TEST(ProjectModel, DependenciesRefuseCyclesAndRepeatsEvenOnLongChains)
{
    auto project = DMProject::create();
    constexpr int count = 10000;
    QList<std::shared_ptr<DMProjectTask>> chain;
    for (int i = 0; i < count; ++i) {
        auto task = makeItem<DMProjectTask>(project, QString::number(i), at(2024, 1, 8, 8), at(2024, 1, 8, 18));
        project->tasks().append(task);
        if (!chain.isEmpty()) {
            ASSERT_TRUE(chain.last()->addOutboundDependencyToItem(task));
        }
        chain.append(task);
    }
    EXPECT_FALSE(chain.last()->addOutboundDependencyToItem(chain.first())); // closes a 10,000-link cycle
    EXPECT_FALSE(chain.first()->addInboundDependencyFromItem(chain.last()));
    EXPECT_FALSE(chain.at(0)->addOutboundDependencyToItem(chain.at(1))); // exists
    EXPECT_FALSE(chain.at(0)->addOutboundDependencyToItem(chain.at(0)));
    EXPECT_FALSE(chain.at(0)->addOutboundDependencyToItem(nullptr));
    EXPECT_EQ(chain.first()->inboundDependencies().size(), 0);
    EXPECT_EQ(chain.last()->outboundDependencies().size(), 0);
    EXPECT_TRUE(chain.at(0)->addOutboundDependencyToItem(chain.at(2))); // a shortcut is no cycle

    const auto link = chain.at(0)->outboundDependencyToItem(chain.at(1).get());
    chain.at(0)->removeOutboundDependencyToItem(chain.at(1).get());
    EXPECT_FALSE(chain.at(0)->outboundDependencyToItem(chain.at(1).get()));
    EXPECT_FALSE(chain.at(1)->inboundDependencyFromItem(chain.at(0).get()));
    EXPECT_FALSE(link->fromItem());
    EXPECT_FALSE(project->objectWithIDAndClass<DMProjectDependency>(link->objectID()));
}

// The cycle check keeps an order of the items over the links: a chain whose tasks were made
// last to first and linked in random order still refuses every link back along it and takes
// every link forward, also after its links were loaded from a file (the order is rebuilt).
TEST(ProjectModel, LinkOrderHoldsWhateverOrderItemsAreMadeAndLinkedIn)
{
    constexpr int count = 2000;
    std::mt19937 random(11);
    const auto checkChain = [&](const QList<std::shared_ptr<DMProjectItem>> &chain) {
        for (int probe = 0; probe < 200; ++probe) {
            const int a = int(random() % count);
            const int b = int(random() % count);
            if (a == b || chain.at(a)->outboundDependencyToItem(chain.at(b).get()))
                continue;
            const auto link = chain.at(a)->addOutboundDependencyToItem(chain.at(b));
            ASSERT_EQ(bool(link), a < b) << a << " -> " << b;
            if (link)
                chain.at(a)->removeOutboundDependencyToItem(chain.at(b).get());
        }
    };
    auto project = DMProject::create();
    QList<std::shared_ptr<DMProjectItem>> chain;
    for (int i = 0; i < count; ++i)
        chain.prepend(makeItem<DMProjectTask>(project, QString::number(count - i), at(2024, 1, 8, 8), at(2024, 1, 8, 18)));
    for (const auto &task : chain)
        project->tasks().insert(0, task);
    std::vector<int> links(count - 1);
    std::iota(links.begin(), links.end(), 0);
    std::shuffle(links.begin(), links.end(), random);
    for (const int i : links)
        ASSERT_TRUE(chain.at(i)->addOutboundDependencyToItem(chain.at(i + 1)));
    checkChain(chain);

    auto loaded = DMProject::projectWithDictionaryRepresentation(project->dictionaryRepresentation());
    QList<std::shared_ptr<DMProjectItem>> loadedChain;
    for (const auto &task : chain)
        loadedChain.append(loaded->objectWithIDAndClass<DMProjectItem>(task->objectID()));
    checkChain(loadedChain);
}

TEST(ProjectModel, LinkChangesReachTheDocumentOnceAfterADelay)
{
    struct Document : DMProjectDocumentHooks
    {
        QList<int> tags;
        void updateItemsArrayWithTag(int tag) override { tags.append(tag); }
    } document;
    FullProject f = makeFullProject();
    f.project->displayAttributes().projectDocument = &document;
    f.task1->removeOutboundDependencyToItem(f.milestone.get());
    EXPECT_TRUE(document.tags.isEmpty());
    EXPECT_TRUE(waitFor([&] { return !document.tags.isEmpty(); }, 1000));
    EXPECT_EQ(document.tags.first(), 8);

    // A project destroyed with a call pending never calls back.
    ManualClock clock;
    document.tags.clear();
    f.plainItem->addOutboundDependencyToItem(f.task2);
    f = FullProject();
    clock.advance(120);
    EXPECT_TRUE(document.tags.isEmpty());
}

TEST(ProjectModel, TheItemsTimeSpanFollowsDatesAdditionsAndRemovals)
{
    auto project = DMProject::create();
    EXPECT_TRUE(project->itemsBeginDate().isNull());
    auto process = makeItem<DMProjectProcess>(project, "P", at(2024, 1, 8), at(2024, 1, 31));
    auto early = makeItem<DMProjectTask>(project, "Early", at(2024, 1, 8), at(2024, 1, 9));
    auto late = makeItem<DMProjectTask>(project, "Late", at(2024, 1, 20), at(2024, 1, 21));
    process->subitems().append(early);
    process->subitems().append(late);
    project->tasks().append(process);
    auto event = makeItem<DMProjectEvent>(project, "E", at(2024, 1, 5), at(2024, 1, 6));
    project->eventContainer()->events().append(event);
    process->setBeginDateAndEndDate(at(2024, 1, 8), at(2024, 1, 21));
    EXPECT_EQ(project->itemsBeginDate(), at(2024, 1, 5));
    EXPECT_EQ(project->itemsEndDate(), at(2024, 1, 21));

    // Outwards at once; inwards from the end that held the span, to the next item's end.
    late->setBeginDateAndEndDate(at(2024, 2, 1), at(2024, 2, 2));
    EXPECT_EQ(project->itemsEndDate(), at(2024, 2, 2));
    late->setBeginDateAndEndDate(at(2024, 1, 10), at(2024, 1, 11));
    EXPECT_EQ(project->itemsEndDate(), process->endDate());
    event->setBeginDateAndEndDate(at(2024, 1, 7), at(2024, 1, 8));
    EXPECT_EQ(project->itemsBeginDate(), at(2024, 1, 7));

    project->eventContainer()->events().removeOne(event);
    EXPECT_EQ(project->itemsBeginDate(), at(2024, 1, 8));
    auto added = makeItem<DMProjectTask>(project, "Added", at(2024, 3, 1), at(2024, 3, 2));
    project->tasks().append(added);
    EXPECT_EQ(project->itemsEndDate(), at(2024, 3, 2));
}

TEST(ProjectModel, RollUpsCountKindsAndCosts)
{
    FullProject f = makeFullProject();
    float progress = 0, cost = 0;
    int items = 0, tasks = 0, milestones = 0, processes = 0;
    f.process->computeProgressProgressItemsTasksMilestonesProcessesCost(&progress, &items, &tasks, &milestones, &processes, &cost);
    EXPECT_EQ(tasks, 2);
    EXPECT_EQ(items, 2);
    EXPECT_EQ(milestones, 1);
    EXPECT_EQ(processes, 1);
    EXPECT_FLOAT_EQ(progress, 0.5f);
    // Survey: hourly 80 over 5 working days of 10 hours, plus 300 fixed, plus Ada at 50/h and the
    // crane at 400/day on it; Resurface: no cost.
    EXPECT_FLOAT_EQ(cost, 80.0f * 50 + 300.0f + 50.0f * 50 + 400.0f * 5);
    EXPECT_EQ(f.process->subitemsTimeEffort(), f.task1->duration() + f.milestone->duration() + f.task2->duration());

    f.task1->setAttribute(kDMProjectItem_CostKind, 2);
    f.task1->setAttribute(kDMProjectItem_HasFixedCost, false);
    // Ada 50/h over 50 h; the crane 400/day over 5 working days.
    EXPECT_FLOAT_EQ(f.task1->cost(), 50.0f * 50 + 400.0f * 5);

    float resourceProgress = 0, resourceCost = 0;
    QString info;
    f.resource1->computeProgressCostInfoString(&resourceProgress, &resourceCost, &info);
    EXPECT_EQ(info, QStringLiteral("1 tasks, 1 milestones (25%)"));
    EXPECT_FLOAT_EQ(resourceProgress, 0.25f);
    f.resourceGroup->computeProgressCostInfoString(nullptr, nullptr, &info);
    EXPECT_EQ(info, QStringLiteral("1 tasks, 1 milestones (25%)"));
}

TEST(ProjectModel, DeletingAssignmentsFreesEveryTaskOfTheGroup)
{
    FullProject f = makeFullProject();
    f.resourceGroup->deleteAllAssignments();
    EXPECT_TRUE(f.resource1->assignedTasks().isEmpty());
    EXPECT_EQ(f.task1->concernedResources().size(), 1);
    EXPECT_TRUE(f.milestone->concernedResources().isEmpty());
    f.task1->addResource(f.resourceGroup); // groups take no assignments
    f.task1->addResource(f.resource2);     // already assigned
    EXPECT_EQ(f.task1->concernedResources().size(), 1);
}

TEST(ProjectModel, TodosArrangeByDateOrNameAndEventsTakeLanes)
{
    FullProject f = makeFullProject();
    auto &container = *f.project->todoContainer();
    auto texts = [&container] {
        QStringList list;
        for (const auto &todo : container.arrangedObjects())
            list << todo->text();
        return list;
    };
    EXPECT_EQ(texts(), QStringList{""}) << "the collapsed separator hides its category";
    f.separator->setAttribute(kDMProjectTodo_Collapsed, false);
    EXPECT_EQ(texts(), QStringList({"", "Book crane", "Order asphalt"}));
    int announcements = 0;
    auto observation = container.observe(DMProjectKey::arrangedObjects, [&](const DMChange &, DMObservable *) { ++announcements; });
    container.setSortingMode(0);
    EXPECT_EQ(texts(), QStringList({"Order asphalt", "", "Book crane"}));
    EXPECT_EQ(announcements, 1);
    f.separator->setDate(at(2024, 3, 1));
    EXPECT_EQ(texts(), QStringList({"", "Order asphalt", "Book crane"}));
    EXPECT_EQ(container.undoneCount(), 1);
    // A category is what follows its separator up to the next one; collapsing it hides that only,
    // and is announced like any change of the arrangement.
    f.separator->setDate(at(2024, 3, 10));
    announcements = 0;
    f.separator->setAttribute(kDMProjectTodo_Collapsed, true);
    EXPECT_EQ(texts(), QStringList({"Order asphalt", ""}));
    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(container.todos().size(), 3) << "the list itself keeps every to-do";
    EXPECT_EQ(container.undoneCount(), 1);

    auto &events = *f.project->eventContainer();
    EXPECT_EQ(events.subRowCount(), 2);
    EXPECT_EQ(f.event2->subRow(), 1);
    f.event2->setBeginDateAndEndDate(at(2024, 3, 5, 12), at(2024, 3, 5, 13));
    EXPECT_EQ(events.subRowCount(), 1);
    events.events().removeAll();
    EXPECT_EQ(events.subRowCount(), 0);
}

TEST(ProjectModel, CanvasObjectsComeFromTheRegisteredFactoryOnly)
{
    struct Bar : DMProjectItemUIObject
    {
        int viewMode = 0;
        int timeSpanChanges = 0;
        DMProjectResource *resource = nullptr;
        void representedObject_timeSpanChanged() override { ++timeSpanChanges; }
        void setResourceViewFields(int, DMProjectResource *r) override { resource = r; }
    };
    struct Factory : DMProjectUIObjectFactory
    {
        std::shared_ptr<DMProjectItemUIObject> newUIObjectForItem(DMProjectItem &, int viewMode) override
        {
            auto bar = std::make_shared<Bar>();
            bar->viewMode = viewMode;
            return bar;
        }
    } factory;

    FullProject f = makeFullProject();
    EXPECT_FALSE(f.task1->ganttUIObject());
    EXPECT_TRUE(f.resource1->UIObjects().isEmpty());
    DMProjectUIObjectFactory::registerFactory(&factory);
    auto task = makeItem<DMProjectTask>(f.project, QStringLiteral("drawn"), at(2024, 3, 4, 8), at(2024, 3, 4, 18));
    f.project->tasks().append(task);
    auto bar = std::dynamic_pointer_cast<Bar>(task->ganttUIObject());
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->viewMode, 0);
    task->setEndDate(at(2024, 3, 5, 18));
    EXPECT_EQ(bar->timeSpanChanges, 1);
    task->addResource(f.resource2);
    ASSERT_EQ(f.resource2->UIObjects().size(), 1); // the earlier assignment was made without a factory
    auto resourceBar = std::dynamic_pointer_cast<Bar>(f.resource2->UIObjects().last());
    EXPECT_EQ(resourceBar->viewMode, 1);
    EXPECT_EQ(resourceBar->resource, f.resource2.get());
    task->removeResource(f.resource2);
    EXPECT_TRUE(f.resource2->UIObjects().isEmpty());
    DMProjectUIObjectFactory::registerFactory(nullptr);
}

TEST(ProjectModel, DeepTreesAreDestroyedWithoutRecursion)
{
    auto project = DMProject::create();
    auto root = makeItem<DMProjectProcess>(project, QStringLiteral("root"), at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    project->tasks().append(root);
    std::shared_ptr<DMProjectItem> parent = root;
    for (int i = 0; i < 100000; ++i) {
        auto child = std::make_shared<DMProjectProcess>();
        parent->subitems().append(child);
        parent = child;
    }
    EXPECT_TRUE(parent->isChildOfItem(root.get()));
    EXPECT_EQ(project->indexedObjectCount(), 100001 + 2);
    parent.reset();
    root.reset();
    project.reset(); // must not overflow the stack
}

TEST(ProjectModel, ProxyResolvesByIDAndExactClass)
{
    FullProject f = makeFullProject();
    const DMProjectItemProxy proxy(*f.task1);
    EXPECT_EQ(proxy.resolve(), f.task1);
    EXPECT_FALSE(DMProjectItemProxy(f.task1->objectID(), QStringLiteral("DMProjectItem"), f.project).resolve());
    f.process->subitems().removeOne(f.task1);
    EXPECT_FALSE(proxy.resolve());
    std::weak_ptr<DMProject> gone = f.project;
    f = FullProject();
    EXPECT_FALSE(proxy.resolve());
}

// Text entering the model, typed or loaded, is kept as every file can store it: control
// characters are dropped and an unpaired surrogate becomes U+FFFD, so the project always saves.
TEST(ProjectModel, TextEnteringTheModelIsStorable)
{
    const QString control = QStringLiteral("Sur") + QChar(1) + QStringLiteral("vey\tof\nthe") + QChar(0x1f) + QStringLiteral(" piers");
    const QString clean = QStringLiteral("Survey\tof\nthe piers");
    const QString lone = QStringLiteral("Deck ") + QChar(0xDC00) + QStringLiteral(" \U0001F309");
    const QString mended = QStringLiteral("Deck ") + QChar(QChar::ReplacementCharacter) + QStringLiteral(" \U0001F309");
    FullProject f = makeFullProject();
    f.project->setTitle(control);
    f.task1->setTitle(control);
    f.group->setTitle(lone);
    f.resource1->setName(control);
    f.task1->setAttribute(kDMProjectItem_Notes, control);
    f.todo1->setText(lone);
    f.project->setAttribute(kDMProject_AttachedDocumentsTable,
                            QVariantMap{{control, QVariantMap{{kDMProject_AttachedDocument_Path, lone}}}});
    EXPECT_EQ(f.project->title(), clean);
    EXPECT_EQ(f.task1->title(), clean);
    EXPECT_EQ(f.group->title(), mended);
    EXPECT_EQ(f.resource1->name(), clean);
    EXPECT_EQ(f.task1->attribute(kDMProjectItem_Notes).toString(), clean);
    EXPECT_EQ(f.todo1->text(), mended);
    const QVariantMap table = f.project->attribute(kDMProject_AttachedDocumentsTable).toMap();
    EXPECT_EQ(table.value(clean).toMap().value(kDMProject_AttachedDocument_Path).toString(), mended);

    // The XML save succeeds and writes nothing it had to mend.
    static int warnings = 0;
    warnings = 0;
    const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) { ++warnings; });
    QString error;
    const QByteArray xml = DMPropertyList::dataWithPropertyList(f.project->dictionaryRepresentation(), DMPropertyList::XML, &error);
    qInstallMessageHandler(previous);
    EXPECT_FALSE(xml.isEmpty()) << error.toStdString();
    EXPECT_EQ(warnings, 0);

    // A file written by another program loads mended.
    QVariantMap d = f.project->dictionaryRepresentation();
    d.insert(QStringLiteral("title"), control);
    QVariantList tasks = d.value(QStringLiteral("tasks")).toList();
    QVariantMap first = tasks.first().toMap();
    first.insert(QStringLiteral("title"), lone);
    tasks.replace(0, first);
    d.insert(QStringLiteral("tasks"), tasks);
    auto loaded = DMProject::projectWithDictionaryRepresentation(d);
    EXPECT_EQ(loaded->title(), clean);
    EXPECT_EQ(loaded->tasks().first()->title(), mended);
}
