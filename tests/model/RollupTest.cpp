#include "ModelTestSupport.h"

using namespace halcyra::test;

namespace {

struct Tree
{
    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectProcess> process;
    std::shared_ptr<DMProjectItemGroup> group;
    std::shared_ptr<DMProjectTask> t1, t2, t3;
    std::shared_ptr<DMProjectMilestone> milestone;
};

// process { t1, group { t2, t3 }, milestone }
Tree makeTree()
{
    Tree t;
    t.project = DMProject::create();
    t.process = makeItem<DMProjectProcess>(t.project, "P", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    t.group = makeItem<DMProjectItemGroup>(t.project, "G", at(2024, 1, 9, 8), at(2024, 1, 10, 18));
    t.t1 = makeItem<DMProjectTask>(t.project, "T1", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    t.t2 = makeItem<DMProjectTask>(t.project, "T2", at(2024, 1, 9, 8), at(2024, 1, 9, 18));
    t.t3 = makeItem<DMProjectTask>(t.project, "T3", at(2024, 1, 10, 8), at(2024, 1, 10, 18));
    t.milestone = makeItem<DMProjectMilestone>(t.project, "M", at(2024, 1, 12, 18), at(2024, 1, 12, 18));
    t.project->tasks().append(t.process);
    t.process->subitems().append(t.t1);
    t.process->subitems().append(t.group);
    t.group->subitems().append(t.t2);
    t.group->subitems().append(t.t3);
    t.process->subitems().append(t.milestone);
    return t;
}

// A resource in the project's list, paid at the rate by the hour, the day or the task.
std::shared_ptr<DMProjectResource> paidResource(const std::shared_ptr<DMProject> &project, double rate,
                                                DMProjectResourceCostKind costKind)
{
    auto resource = makeResource(project, QString(), costKind, rate);
    project->resources().append(resource);
    return resource;
}

} // namespace

TEST(Rollup, ProgressRollsUpAsTheMeanOfTheTasksBelow)
{
    Tree t = makeTree();
    t.t2->setProgress(0.5f);
    EXPECT_FLOAT_EQ(t.group->progress(), 0.25f);   // (0.5 + 0) / 2
    EXPECT_FLOAT_EQ(t.process->progress(), 0.5f / 3); // three tasks; the milestone is no progress item
    t.t1->setProgress(1.0f);
    t.t3->setProgress(0.9f);
    EXPECT_FLOAT_EQ(t.group->progress(), 0.7f);
    EXPECT_FLOAT_EQ(t.process->progress(), 0.8f);

    // A task leaving or joining moves the means of its former and new parents.
    t.group->subitems().removeOne(t.t3);
    EXPECT_FLOAT_EQ(t.group->progress(), 0.5f);
    EXPECT_FLOAT_EQ(t.process->progress(), 0.75f);
    t.process->subitems().append(t.t3);
    EXPECT_FLOAT_EQ(t.process->progress(), 0.8f);
    // Adding an item without tasks changes no mean.
    t.process->subitems().append(makeItem<DMProjectItemGroup>(t.project, "Empty", at(2024, 1, 8), at(2024, 1, 9)));
    EXPECT_FLOAT_EQ(t.process->progress(), 0.8f);
}

TEST(Rollup, UndoRestoresTheTaskAndEveryRolledUpParentExactly)
{
    Tree t = makeTree();
    t.process->setRolledUpProgress(0.3f); // a stored value that is not the mean, as files may hold
    StepUndo undo(t.project);
    const QVariantMap before = t.project->dictionaryRepresentation();
    undo.step([&] { t.t2->setProgress(1.0f); });
    const QVariantMap after = t.project->dictionaryRepresentation();
    EXPECT_FLOAT_EQ(t.group->progress(), 0.5f);
    undo.manager.undo();
    EXPECT_EQ(t.project->dictionaryRepresentation(), before);
    undo.manager.redo();
    EXPECT_EQ(t.project->dictionaryRepresentation(), after);
}

TEST(Rollup, CostByKindAndResourceCostOverWorkingTime)
{
    Tree t = makeTree();
    t.project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    // T2 and T3 were made on the whole-day calendar; give them two working days now.
    t.t2->setBeginDateAndEndDate(at(2024, 1, 9, 8), at(2024, 1, 10, 18)); // 20 working hours
    t.t1->setAttribute(kDMProjectItem_CostKind, 0);
    t.t1->setAttribute(kDMProjectItem_Cost, 250.0); // fixed
    t.t3->setAttribute(kDMProjectItem_CostKind, 1);
    t.t3->setAttribute(kDMProjectItem_Cost, 30.0); // 30 an hour x 10 h
    t.t3->setBeginDateAndEndDate(at(2024, 1, 10, 8), at(2024, 1, 10, 18));
    t.t2->setAttribute(kDMProjectItem_CostKind, 2);
    auto hourly = paidResource(t.project, 50.0, kDMProjectResourceCostKind_Hourly);
    auto daily = paidResource(t.project, 400.0, kDMProjectResourceCostKind_Daily);
    t.t2->addResource(hourly);
    t.t2->addResource(daily);
    t.t3->addResource(hourly);

    EXPECT_FLOAT_EQ(t.t1->cost(), 250.0f);
    // The hourly task's own 300 and the 10 hours of the resource on it.
    EXPECT_FLOAT_EQ(t.t3->ownCost(), 300.0f);
    EXPECT_FLOAT_EQ(t.t3->cost(), 300.0f + 50.0f * 10);
    EXPECT_FLOAT_EQ(t.t2->cost(), 50.0f * 20 + 400.0f * 2); // 20 working hours, 2 working days
    EXPECT_FLOAT_EQ(hourly->costForTask(*t.t3), 500.0f);

    float progress = 0, cost = 0;
    int items = 0, tasks = 0, milestones = 0, processes = 0;
    t.t2->setProgress(0.5f);
    t.process->computeProgressProgressItemsTasksMilestonesProcessesCost(&progress, &items, &tasks, &milestones, &processes, &cost);
    EXPECT_FLOAT_EQ(progress, 0.5f);
    EXPECT_EQ(items, 3);
    EXPECT_EQ(tasks, 3);
    EXPECT_EQ(milestones, 1);
    EXPECT_EQ(processes, 1);
    EXPECT_FLOAT_EQ(cost, 250.0f + 800.0f + 1800.0f);

    // The hourly resource: T2 (20 h, half done) and T3 (10 h, not started).
    float resourceProgress = 0, resourceCost = 0;
    QString info;
    hourly->computeProgressCostInfoString(&resourceProgress, &resourceCost, &info);
    EXPECT_FLOAT_EQ(resourceProgress, 0.25f);
    EXPECT_FLOAT_EQ(resourceCost, 50.0f * 30);
    EXPECT_EQ(info, QStringLiteral("2 tasks, 0 milestones (25%)"));
}

// A task costs what it carries itself and what its resources cost on it, whatever its cost
// kind; the items above it cost the sum of their tasks. So every resource's cost is in exactly
// one task's cost and the project's tasks add up to their own costs plus their resources'.
TEST(Rollup, TasksCostTheirResourcesAndParentsTheirTasks)
{
    Tree t = makeTree();
    t.project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    t.t1->setAttribute(kDMProjectItem_CostKind, 0);
    t.t1->setAttribute(kDMProjectItem_Cost, 1000.0); // a fixed amount, and a person's hours on it
    t.t3->setAttribute(kDMProjectItem_CostKind, 2);
    // T2 keeps the cost kind of a new task: only its people cost anything.
    auto person = paidResource(t.project, 50.0, kDMProjectResourceCostKind_Hourly);
    auto crane = paidResource(t.project, 400.0, kDMProjectResourceCostKind_Daily);
    auto notary = paidResource(t.project, 300.0, kDMProjectResourceCostKind_Fixed);
    t.t1->addResource(person);
    t.t2->addResource(person);
    t.t2->addResource(crane);
    t.t3->addResource(notary);
    t.milestone->addResource(notary);

    EXPECT_FLOAT_EQ(t.t1->cost(), 1000.0f + 50.0f * 10);
    EXPECT_FLOAT_EQ(t.t2->cost(), 50.0f * 10 + 400.0f);
    EXPECT_FLOAT_EQ(t.t3->cost(), 300.0f);
    // A milestone takes no time: it costs nothing, and no resource costs anything on it.
    EXPECT_FLOAT_EQ(t.milestone->cost(), 0.0f);
    EXPECT_FLOAT_EQ(notary->costForTask(*t.milestone), 0.0f);
    EXPECT_FLOAT_EQ(notary->cost(), 300.0f);
    // A process and a group cost their tasks.
    EXPECT_FLOAT_EQ(t.group->cost(), t.t2->cost() + t.t3->cost());
    EXPECT_FLOAT_EQ(t.process->cost(), t.t1->cost() + t.t2->cost() + t.t3->cost());
    const float resources = person->cost() + crane->cost() + notary->cost();
    EXPECT_FLOAT_EQ(t.process->cost(), 1000.0f + resources);

    // A new assignment or rate shows in the task and its parents at once.
    crane->setAttribute(kDMProjectResource_HourlyCost, 500.0);
    t.t3->addResource(person);
    EXPECT_FLOAT_EQ(t.t3->cost(), 300.0f + 50.0f * 10);
    EXPECT_FLOAT_EQ(t.process->cost(), 1500.0f + 1000.0f + 800.0f);
}

// A parent keeps its cost between requests (the outline asks at every paint): whatever its cost
// is made of changes, the next request answers the sum anew, and so does an undo.
TEST(Rollup, AParentsKeptCostFollowsEveryChangeOfWhatItIsMadeOf)
{
    Tree t = makeTree();
    t.project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    t.t3->setAttribute(kDMProjectItem_CostKind, 1);
    t.t3->setAttribute(kDMProjectItem_Cost, 30.0);
    auto person = paidResource(t.project, 50.0, kDMProjectResourceCostKind_Hourly);
    auto crane = paidResource(t.project, 400.0, kDMProjectResourceCostKind_Daily);
    t.t1->addResource(person);
    t.t2->addResource(crane);
    StepUndo undo(t.project);

    const auto walked = [](const DMProjectItem &item) {
        float cost = 0.0f;
        item.computeProgressProgressItemsTasksMilestonesProcessesCost(nullptr, nullptr, nullptr, nullptr, nullptr, &cost);
        return cost;
    };
    float shown = t.process->cost();
    const auto expectMoved = [&](const char *what) {
        SCOPED_TRACE(what);
        const float now = t.process->cost();
        EXPECT_NE(now, shown);
        EXPECT_FLOAT_EQ(now, walked(*t.process));
        EXPECT_FLOAT_EQ(t.group->cost(), walked(*t.group));
        shown = now;
    };
    EXPECT_FLOAT_EQ(shown, walked(*t.process));
    EXPECT_FLOAT_EQ(t.process->cost(), shown);

    undo.step([&] { person->setAttribute(kDMProjectResource_HourlyCost, 70.0); });
    expectMoved("a resource's rate");
    undo.manager.undo();
    expectMoved("its undo");
    crane->setAttribute(kDMProjectResource_CostKind, 0);
    expectMoved("a resource's cost kind");
    undo.step([&] { t.t3->addResource(person); });
    expectMoved("an assignment made");
    undo.manager.undo();
    expectMoved("its undo");
    t.t2->removeResource(crane);
    expectMoved("an assignment removed");
    t.t3->setBeginDateAndEndDate(at(2024, 1, 10, 8), at(2024, 1, 10, 12));
    expectMoved("a duration");
    t.t1->setAttribute(kDMProjectItem_Cost, 99.0);
    t.t1->setAttribute(kDMProjectItem_CostKind, 0);
    expectMoved("a task's own cost");
    t.t2->addResource(paidResource(t.project, 400.0, kDMProjectResourceCostKind_Daily));
    expectMoved("a resource paid by the day");
    t.project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 960}});
    expectMoved("the working day");
    t.t2->setUseWorkingSchedule(false);
    expectMoved("a task off the working schedule");
    t.group->subitems().removeOne(t.t3);
    expectMoved("a task taken out");
    t.project->resources().removeOne(person);
    expectMoved("a resource taken out of the project");
}
