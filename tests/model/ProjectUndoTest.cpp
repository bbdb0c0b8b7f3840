#include "ModelTestSupport.h"
#include "TestSupport.h"

#include <functional>

using namespace halcyra::test;

namespace {

struct Edit
{
    const char *name;
    std::function<void(FullProject &)> change;
};

// The project's dictionary without the ID counter: new objects draw IDs that undo never
// hands out again.
QVariantMap state(const DMProject &project)
{
    QVariantMap d = project.dictionaryRepresentation();
    d.remove(QStringLiteral("lastObjectID"));
    return d;
}

} // namespace

// Every setter and list change, undone and redone, restores the project's full dictionary.
TEST(ProjectUndo, EveryChangeIsUndoneAndRedoneExactly)
{
    const std::vector<Edit> edits = {
        {"project title", [](FullProject &f) { f.project->setTitle(QStringLiteral("x")); }},
        {"project begin", [](FullProject &f) { f.project->setBeginDate(at(2023, 1, 2)); }},
        {"project end", [](FullProject &f) { f.project->setEndDate(DMDate()); }},
        {"setting replaced", [](FullProject &f) { f.project->setAttribute(kDMProject_Settings_Budget, 1.0); }},
        {"setting removed", [](FullProject &f) { f.project->setAttribute(kDMProject_Settings_DaysOff, QVariant()); }},
        {"item title", [](FullProject &f) { f.task1->setTitle(QStringLiteral("x")); }},
        {"item dates", [](FullProject &f) { f.task1->setBeginDateAndEndDate(at(2024, 3, 5, 8), at(2024, 3, 12, 12)); }},
        {"milestone date", [](FullProject &f) { f.milestone->setBeginDate(at(2024, 3, 9, 8)); }},
        {"duration", [](FullProject &f) { f.task2->setDuration(7); }},
        {"working schedule", [](FullProject &f) { f.task1->setUseWorkingSchedule(false); }},
        {"progress", [](FullProject &f) { f.task2->setProgress(0.75f); }},
        {"locked", [](FullProject &f) { f.task1->setLocked(false); }},
        {"fill colour", [](FullProject &f) { f.group->setFillColor(Qt::magenta); }},
        {"item attribute", [](FullProject &f) { f.task1->setAttribute(kDMProjectItem_Notes, QStringLiteral("y")); }},
        {"item attributes", [](FullProject &f) { f.task1->setAttributes({{kDMProjectItem_CostKind, 2}}); }},
        {"link kind", [](FullProject &f) { f.task1->outboundDependencies().first()->setKind(3); }},
        {"link colour", [](FullProject &f) { f.task1->outboundDependencies().first()->setColor(Qt::green); }},
        {"link style", [](FullProject &f) { f.task1->outboundDependencies().first()->setLinkStyle(4); }},
        {"link arrow", [](FullProject &f) { f.task1->outboundDependencies().first()->setHasArrow(false); }},
        {"link dash", [](FullProject &f) { f.task1->outboundDependencies().first()->setDashStyle(3); }},
        {"link thickness", [](FullProject &f) { f.task1->outboundDependencies().first()->setThickness(2); }},
        {"link added", [](FullProject &f) { f.plainItem->addOutboundDependencyToItem(f.task2); }},
        {"styled link removed", [](FullProject &f) { f.milestone->removeOutboundDependencyToItem(f.task2.get()); }},
        {"resource name", [](FullProject &f) { f.resource1->setName(QStringLiteral("Grace")); }},
        {"resource attribute", [](FullProject &f) { f.resource2->setAttribute(kDMProjectResource_HourlyCost, 1.0); }},
        {"assignment added", [](FullProject &f) { f.task2->addResource(f.resource2); }},
        {"assignment removed", [](FullProject &f) { f.task1->removeResource(f.resource1); }},
        {"all assignments deleted", [](FullProject &f) { f.resource1->deleteAllAssignments(); }},
        {"to-do date", [](FullProject &f) { f.todo1->setDate(at(2025, 1, 1)); }},
        {"to-do done", [](FullProject &f) { f.todo1->setDone(true); }},
        {"to-do no due date", [](FullProject &f) { f.todo2->setNoDueDate(false); }},
        {"to-do text", [](FullProject &f) { f.todo2->setText(QStringLiteral("z")); }},
        {"to-do sorting", [](FullProject &f) { f.project->todoContainer()->setSortingMode(0); }},
        {"subtree removed", [](FullProject &f) { f.project->tasks().removeAt(0); }},
        {"item moved", [](FullProject &f) {
             f.process->subitems().removeOne(f.task1);
             f.group->subitems().insert(0, f.task1);
         }},
        {"item inserted", [](FullProject &f) {
             auto item = makeItem<DMProjectTask>(f.project, QStringLiteral("new"), at(2024, 4, 1, 8), at(2024, 4, 2, 8));
             f.group->subitems().append(item);
         }},
        {"items reordered", [](FullProject &f) { f.process->subitems().exchange(0, 2); }},
        {"items sorted", [](FullProject &f) {
             f.process->subitems().sort([](const auto &a, const auto &b) { return a->title() < b->title(); });
         }},
        {"item replaced", [](FullProject &f) {
             f.project->tasks().replace(1, makeItem<DMProjectItem>(f.project, QStringLiteral("r"), at(2024, 4, 1, 8), at(2024, 4, 2, 8)));
         }},
        {"resource group removed", [](FullProject &f) { f.project->resources().removeAt(0); }},
        {"resource member removed", [](FullProject &f) { f.resourceGroup->subitems().removeAt(0); }},
        {"event removed", [](FullProject &f) { f.project->eventContainer()->events().removeAt(0); }},
        {"to-dos removed", [](FullProject &f) { f.project->todoContainer()->todos().removeRange(0, 2); }},
    };
    for (const Edit &edit : edits) {
        SCOPED_TRACE(edit.name);
        FullProject f = makeFullProject();
        StepUndo undo(f.project);
        const QVariantMap before = state(*f.project);
        undo.step([&] { edit.change(f); });
        const QVariantMap after = state(*f.project);
        ASSERT_NE(before, after);
        ASSERT_EQ(undo.manager.undoStepCount(), 1);
        undo.manager.undo();
        EXPECT_EQ(state(*f.project), before);
        undo.manager.redo();
        EXPECT_EQ(state(*f.project), after);
        undo.manager.undo();
        EXPECT_EQ(state(*f.project), before);
    }
}

TEST(ProjectUndo, UndoingARemovalRestoresTheSameObjectsWithTheirLinks)
{
    FullProject f = makeFullProject();
    StepUndo undo(f.project);
    const auto process = f.process;
    undo.step([&] { f.project->tasks().removeAt(0); });
    EXPECT_FALSE(f.project->objectWithIDAndClass<DMProjectTask>(f.task1->objectID()));
    undo.manager.undo();
    EXPECT_EQ(f.project->tasks().first(), process);
    EXPECT_EQ(f.project->objectWithIDAndClass<DMProjectTask>(f.task1->objectID()), f.task1);
    EXPECT_EQ(f.task1->concernedResources().size(), 2);
    EXPECT_EQ(f.resource1->assignedTasks().size(), 2);
    EXPECT_TRUE(f.task1->outboundDependencyToItem(f.milestone.get()));
    EXPECT_EQ(f.project->removedObjectCount(), 0);
}

TEST(ProjectUndo, ChangesThatTheUndoStackOutlivesDoNothing)
{
    FullProject f = makeFullProject();
    StepUndo undo(f.project);
    undo.step([&] { f.task1->setTitle(QStringLiteral("renamed")); });
    undo.step([&] { f.process->subitems().removeOne(f.task1); });
    f.project->purgeRemovedObjects();
    undo.manager.undo(); // the removed task is gone: nothing to put back
    undo.manager.undo(); // the proxy finds no task: nothing to rename
    EXPECT_FALSE(f.project->objectWithIDAndClass<DMProjectTask>(f.task1->objectID()));
    EXPECT_EQ(f.task1->title(), QStringLiteral("renamed"));
}

TEST(ProjectUndo, ADragsManyDateChangesMakeOneStep)
{
    FullProject f = makeFullProject();
    ManualClock clock; // the fence lasts through the drag however slowly it runs
    DMUndoManager manager; // fence-off keys on, one group per event-loop turn
    f.project->setUndoManager(&manager);
    const DMDate begin = f.task1->beginDate();
    const DMDate end = f.task1->endDate();
    for (int i = 1; i <= 20; ++i) {
        const DMUndoManager::ContinuousEdit edit(&manager, 1); // each step in a turn of its own
        f.task1->setBeginDateAndEndDate(begin.dateByAddingSeconds(i * 300), end.dateByAddingSeconds(i * 300));
        clock.advance(5);
        finishEventLoopTurn();
    }
    EXPECT_EQ(manager.undoStepCount(), 1);
    manager.undo();
    EXPECT_EQ(f.task1->beginDate(), begin);
    EXPECT_EQ(f.task1->endDate(), end);
}

TEST(ProjectUndo, LoadingAndDetachedObjectsRegisterNothing)
{
    DMUndoManager manager(false);
    manager.setGroupsByEvent(false);
    FullProject f = makeFullProject();
    f.project->setUndoManager(&manager);
    auto detached = std::make_shared<DMProjectTask>();
    detached->setProject(f.project);
    detached->setTitle(QStringLiteral("not yet in the tree"));
    EXPECT_EQ(manager.undoStepCount(), 0);
    auto loaded = DMProject::projectWithDictionaryRepresentation(f.project->dictionaryRepresentation());
    loaded->setUndoManager(&manager);
    EXPECT_EQ(manager.undoStepCount(), 0);
    EXPECT_EQ(loaded->removedObjectCount(), 0);
}

// The cases in which undo lost data, through the document's manager (fence-off keys, one step
// per event-loop turn, all within one fence): undoing every step gives the original project,
// redoing every step the final one, lists in their exact orders.
TEST(ProjectUndo, NothingIsLostUnderTheDocumentsFence)
{
    struct Case
    {
        const char *name;
        std::vector<std::function<void(FullProject &)>> steps; // one event-loop turn each
    };
    const auto unassignBoth = [](FullProject &f) {
        f.task1->removeResource(f.resource1);
        f.task1->removeResource(f.resource2);
    };
    const std::vector<Case> cases = {
        {"both outbound links of a task removed in one step",
         {[](FullProject &f) {
             f.task1->removeOutboundDependencyToItem(f.milestone.get());
             f.task1->removeOutboundDependencyToItem(f.task2.get());
         }}},
        {"two resources assigned in one step",
         {[](FullProject &f) {
             f.task2->addResource(f.resource1);
             f.task2->addResource(f.resource2);
         }}},
        {"two unassignments in one step", {unassignBoth}},
        {"two unassignments 50 ms apart",
         {[](FullProject &f) { f.task1->removeResource(f.resource1); },
          [](FullProject &f) {
              halcyra::test::skipTime(50);
              f.task1->removeResource(f.resource2);
          }}},
        {"a task removed, then all assignments of its resource deleted",
         {[](FullProject &f) { f.process->subitems().removeOne(f.task1); },
          [](FullProject &f) { f.resource1->deleteAllAssignments(); }}},
        {"a resource removed, then unassigned",
         {[](FullProject &f) { f.resourceGroup->subitems().removeOne(f.resource1); },
          [](FullProject &f) { f.task1->removeResource(f.resource1); }}},
        {"a link removed, a later move of its source undone first",
         {[](FullProject &f) { f.task1->removeOutboundDependencyToItem(f.milestone.get()); },
          [](FullProject &f) { f.task1->setLocked(false); },
          [](FullProject &f) { f.task1->validateAndSetBeginDateAndEndDate(at(2024, 3, 5, 8), at(2024, 3, 11, 18)); }}},
        {"a successor removed, then its predecessor moved",
         {[](FullProject &f) { f.process->subitems().removeOne(f.milestone); },
          [](FullProject &f) { f.task1->setLocked(false); },
          [](FullProject &f) { f.task1->validateAndSetBeginDateAndEndDate(at(2024, 3, 6, 8), at(2024, 3, 12, 18)); }}},
        {"a drag pushes an item changed after the drag began",
         {[](FullProject &f) { f.milestone->validateAndSetBeginDateAndEndDate(at(2024, 3, 9, 18), at(2024, 3, 9, 18)); },
          [](FullProject &f) { f.task2->setBeginDateAndEndDate(at(2024, 3, 12, 8), at(2024, 3, 22, 18)); },
          [](FullProject &f) { f.milestone->validateAndSetBeginDateAndEndDate(at(2024, 3, 13, 8), at(2024, 3, 13, 8)); }}},
        {"a date set twice, a link removed between",
         {[](FullProject &f) { f.task2->setBeginDateAndEndDate(at(2024, 3, 12, 8), at(2024, 3, 13, 8)); },
          [](FullProject &f) { f.milestone->removeOutboundDependencyToItem(f.task2.get()); },
          [](FullProject &f) { f.task2->setBeginDateAndEndDate(at(2024, 3, 14, 8), at(2024, 3, 15, 8)); }}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FullProject f = makeFullProject();
        DMUndoManager manager;
        f.project->setUndoManager(&manager);
        const QVariantMap original = state(*f.project);
        const auto milestoneDates = std::make_pair(f.milestone->beginDate(), f.milestone->endDate());
        for (const auto &step : c.steps) {
            step(f);
            finishEventLoopTurn();
        }
        const QVariantMap final = state(*f.project);
        ASSERT_NE(original, final);
        // A removed successor is not pushed: nothing outside the project moves.
        if (!f.milestone->isAttached()) {
            EXPECT_EQ(std::make_pair(f.milestone->beginDate(), f.milestone->endDate()), milestoneDates);
        }
        while (manager.canUndo())
            manager.undo();
        EXPECT_EQ(firstDifference(state(*f.project), original), "");
        EXPECT_EQ(f.resource1->assignedTasks().first()->objectID(), f.task1->objectID());
        EXPECT_EQ(f.task2->inboundDependencies().first()->fromItem()->objectID(), f.milestone->objectID());
        while (manager.canRedo())
            manager.redo();
        EXPECT_EQ(firstDifference(state(*f.project), final), "");
        f.project->setUndoManager(nullptr);
    }
}

// A removed object takes its links and assignments along: nothing left in the project names it
// (the saved file has no dangling reference), and putting it back anywhere restores them.
TEST(ProjectUndo, ARemovedObjectTakesItsLinksAndAssignmentsAlong)
{
    FullProject f = makeFullProject();
    f.process->subitems().removeOne(f.task1);
    EXPECT_EQ(f.milestone->inboundDependencies().size(), 0);
    EXPECT_EQ(f.task2->inboundDependencies().size(), 1);
    EXPECT_EQ(f.resource1->assignedTasks(), QList<std::shared_ptr<DMProjectTask>>{f.milestone});
    EXPECT_EQ(f.task1->outboundDependencies().size(), 2); // it keeps them while it is out
    EXPECT_FALSE(f.project->objectWithIDAndClass<DMProjectDependency>(f.task1->outboundDependencies().first()->objectID()));
    // Nothing links across: a link between the project and an object outside it is refused.
    EXPECT_FALSE(f.plainItem->addOutboundDependencyToItem(f.task1));
    f.task1->addResource(f.resource2); // already assigned while out: unchanged
    EXPECT_EQ(f.task1->concernedResources().size(), 2);

    f.project->resources().removeOne(f.resource2);
    auto loaded = DMProject::projectWithDictionaryRepresentation(f.project->dictionaryRepresentation());
    EXPECT_EQ(loaded->indexedObjectCount(), f.project->indexedObjectCount());
    // Assigning across the edge (an importer assigns tasks before adding them): the end in the
    // project lists the assignment once the other joins, and only once.
    auto newcomer = std::make_shared<DMProjectTask>();
    newcomer->setProject(f.project);
    newcomer->addResource(f.resource1);
    EXPECT_FALSE(f.resource1->assignedTasks().contains(newcomer));
    f.task2->addResource(f.resource2);
    f.task2->addResource(f.resource2);
    EXPECT_TRUE(f.task2->concernedResources().isEmpty());

    // Back in another place (a move): every link and assignment is there again, in order.
    f.group->subitems().append(f.task1);
    f.project->resources().append(f.resource2);
    EXPECT_EQ(f.task2->inboundDependencies().at(1)->fromItem(), f.task1);
    EXPECT_EQ(f.milestone->inboundDependencies().first()->fromItem(), f.task1);
    EXPECT_EQ(f.resource1->assignedTasks(), (QList<std::shared_ptr<DMProjectTask>>{f.task1, f.milestone}));
    EXPECT_EQ(f.resource2->assignedTasks(), (QList<std::shared_ptr<DMProjectTask>>{f.task1, f.task2}));
    EXPECT_EQ(f.task2->concernedResources(), QList<std::shared_ptr<DMProjectResource>>{f.resource2});
    EXPECT_TRUE(f.project->objectWithIDAndClass<DMProjectDependency>(f.task1->outboundDependencies().first()->objectID()));
    f.project->tasks().append(newcomer);
    EXPECT_EQ(f.resource1->assignedTasks().last(), newcomer);
}

// Commands issued one right after the other through the document's manager (fence-off keys, a
// step per event-loop turn, all within 0.2 s): each undo takes back its own step and nothing
// more, whatever was set again or removed meanwhile.
TEST(ProjectUndo, EachUndoUnderTheDocumentsFenceTakesBackOnlyItsOwnStep)
{
    struct Case
    {
        const char *name;
        std::vector<std::function<void(FullProject &)>> steps; // one command each
    };
    const std::vector<Case> cases = {
        {"a begin date set again after a rename",
         {[](FullProject &f) { f.project->setBeginDate(at(2024, 3, 1, 8)); },
          [](FullProject &f) { f.resource1->setName(QStringLiteral("Grace")); },
          [](FullProject &f) { f.project->setBeginDate(at(2024, 2, 1, 8)); }}},
        {"a milestone moved out of its process, then removed",
         {[](FullProject &f) {
              f.process->subitems().removeOne(f.milestone);
              f.project->tasks().append(f.milestone);
          },
          [](FullProject &f) { f.project->tasks().removeOne(f.milestone); }}},
        {"a resource assigned, then deleted with its assignments",
         {[](FullProject &f) { f.task2->addResource(f.resource2); },
          [](FullProject &f) {
              f.resource2->deleteAllAssignments();
              f.project->resources().removeOne(f.resource2);
          }}},
        {"progress set twice, a rename between",
         {[](FullProject &f) { f.task1->setProgress(0.75f); },
          [](FullProject &f) { f.task1->setTitle(QStringLiteral("Survey again")); },
          [](FullProject &f) { f.task1->setProgress(1.0f); }}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FullProject f = makeFullProject();
        DMUndoManager manager;
        f.project->setUndoManager(&manager);
        std::vector<QVariantMap> states{state(*f.project)};
        for (const auto &step : c.steps) {
            step(f);
            halcyra::test::finishEventLoopTurn();
            states.push_back(state(*f.project));
        }
        EXPECT_EQ(manager.undoStepCount(), int(c.steps.size()));
        for (size_t i = c.steps.size(); i > 0; --i) {
            manager.undo();
            EXPECT_EQ(firstDifference(state(*f.project), states[i - 1]), "") << "undoing step " << i;
        }
        for (size_t i = 1; i <= c.steps.size(); ++i) {
            manager.redo();
            EXPECT_EQ(firstDifference(state(*f.project), states[i]), "") << "redoing step " << i;
        }
        f.project->setUndoManager(nullptr);
    }
}
