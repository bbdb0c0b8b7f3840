// Scheduling at scale: moving the first task of a finish-to-start chain so that every task is
// pushed (10,000 and 100,000 tasks, on a working week with weekends off), reported per pushed
// task as well; the same through a chain of processes, each holding a chain of ten tasks (the
// links into the processes push their subitems); undo and redo of a push; linking a chain one
// link at a time; and the critical path of 10,000 items with 20,000 links.
#include "DMCriticalPath.h"
#include "DMDate.h"
#include "DMIndexSet_64.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectKeys.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"
#include "DMUndoManager.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

std::shared_ptr<DMProject> workingWeekProject()
{
    auto project = DMProject::create();
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    DMMutableIndexSet_64 weekend;
    weekend.addIndex(0);
    weekend.addIndex(6);
    project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekend)));
    return project;
}

// Tasks of one working day (10 h), each beginning where the previous ends.
std::vector<std::shared_ptr<DMProjectTask>> buildChain(const std::shared_ptr<DMProject> &project, int count)
{
    std::vector<std::shared_ptr<DMProjectTask>> tasks;
    tasks.reserve(size_t(count));
    DMDate begin(2024, 1, 8, 8 * 3600);
    for (int i = 0; i < count; ++i) {
        auto task = std::make_shared<DMProjectTask>();
        task->setProject(project);
        const DMDate end = project->endDateWithBeginDateAndDurationWorkSlices(begin, 10 * 3600, true);
        task->setBeginDateAndEndDate(begin, end);
        project->tasks().append(task);
        if (!tasks.empty())
            tasks.back()->addOutboundDependencyToItem(task);
        tasks.push_back(task);
        begin = end;
    }
    return tasks;
}

// Moves `first` one working day later per iteration (every item after it is pushed), with
// undo registration on, the undo stack cleared now and then outside the timing; `items` pushed
// per iteration give the counter.
void runPushes(benchmark::State &state, const std::shared_ptr<DMProject> &project, const std::shared_ptr<DMProjectTask> &first,
               double items, const char *counter)
{
    DMUndoManager undo(false);
    undo.setGroupsByEvent(false);
    project->setUndoManager(&undo);
    project->criticalPathObjectIDs();
    int iteration = 0;
    for (auto _ : state) {
        const DMDate begin = first->endDate();
        const DMDate end = project->endDateWithBeginDateAndDurationWorkSlices(begin, 10 * 3600, true);
        if (first->validateAndSetBeginDateAndEndDate(begin, end) != 0)
            state.SkipWithError("refused");
        if (++iteration % 8 == 0) {
            state.PauseTiming();
            undo.removeAllActions();
            state.ResumeTiming();
        }
    }
    state.counters[counter] = benchmark::Counter(items * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    project->setUndoManager(nullptr);
}

void BM_PushChain(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto project = workingWeekProject();
    auto tasks = buildChain(project, count);
    runPushes(state, project, tasks.front(), count, "per_task_ns");
}
BENCHMARK(BM_PushChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Processes of ten one-day tasks, each task linked to the next, each process to the next.
void BM_PushProcesses(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto project = workingWeekProject();
    std::shared_ptr<DMProjectTask> first;
    std::shared_ptr<DMProjectProcess> previous;
    DMDate begin(2024, 1, 8, 8 * 3600);
    for (int p = 0; p < count; ++p) {
        auto process = std::make_shared<DMProjectProcess>();
        process->setProject(project);
        std::vector<std::shared_ptr<DMProjectTask>> tasks;
        const DMDate processBegin = begin;
        for (int i = 0; i < 10; ++i) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            const DMDate end = project->endDateWithBeginDateAndDurationWorkSlices(begin, 10 * 3600, true);
            task->setBeginDateAndEndDate(begin, end);
            tasks.push_back(task);
            begin = end;
        }
        process->setBeginDateAndEndDate(processBegin, begin);
        project->tasks().append(process);
        for (const auto &task : tasks)
            process->subitems().append(task);
        for (size_t i = 1; i < tasks.size(); ++i)
            tasks[i - 1]->addOutboundDependencyToItem(tasks[i]);
        if (previous)
            previous->addOutboundDependencyToItem(process);
        if (!first)
            first = tasks.front();
        previous = process;
    }
    runPushes(state, project, first, count * 11.0, "per_item_ns");
}
BENCHMARK(BM_PushProcesses)->Arg(1000)->Unit(benchmark::kMillisecond);

// Undo and redo of a push through the whole chain, the critical path kept up to date; the
// figure is one undo and one redo.
void BM_UndoRedoPushChain(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto project = workingWeekProject();
    auto tasks = buildChain(project, count);
    DMUndoManager undo(false);
    undo.setGroupsByEvent(false);
    project->setUndoManager(&undo);
    const std::shared_ptr<DMProjectTask> &first = tasks.front();
    const DMDate begin = first->endDate();
    if (first->validateAndSetBeginDateAndEndDate(begin, project->endDateWithBeginDateAndDurationWorkSlices(begin, 10 * 3600, true)) != 0)
        state.SkipWithError("refused");
    for (auto _ : state) {
        undo.undo();
        undo.redo();
    }
    if (tasks.back()->beginDate() <= DMDate(2024, 1, 8, 8 * 3600).dateByAddingSeconds(qint64(count) * 86400))
        state.SkipWithError("the chain was not pushed");
    project->setUndoManager(nullptr);
}
BENCHMARK(BM_UndoRedoPushChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Linking a chain of tasks already in the project one link at a time, from its last link to
// its first: each new link's target already leads through the rest of the chain.
void BM_LinkChainBackwards(benchmark::State &state)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto project = workingWeekProject();
        std::vector<std::shared_ptr<DMProjectTask>> tasks;
        for (int i = 0; i < count; ++i) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            project->tasks().append(task);
            tasks.push_back(task);
        }
        state.ResumeTiming();
        for (int i = count - 1; i > 0; --i)
            if (!tasks[size_t(i - 1)]->addOutboundDependencyToItem(tasks[size_t(i)]))
                state.SkipWithError("refused");
        state.PauseTiming();
        tasks.clear();
        project.reset();
        state.ResumeTiming();
    }
    state.counters["per_link_ns"] = benchmark::Counter(
        double(count - 1) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LinkChainBackwards)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CriticalPath(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto project = workingWeekProject();
    std::vector<std::shared_ptr<DMProjectTask>> tasks;
    std::mt19937 random(7);
    DMDate begin(2024, 1, 8, 8 * 3600);
    for (int i = 0; i < count; ++i) {
        auto task = std::make_shared<DMProjectTask>();
        task->setProject(project);
        const DMDate start = project->endDateWithBeginDateAndDurationWorkSlices(begin, qint64(random() % 200) * 3600, true);
        task->setBeginDateAndEndDate(start, project->endDateWithBeginDateAndDurationWorkSlices(start, 3600 + qint64(random() % 40) * 3600, true));
        project->tasks().append(task);
        tasks.push_back(task);
    }
    // Two links per item, from an earlier item to a later one (no cycles), of every kind.
    int links = 0;
    while (links < 2 * count) {
        const int to = 1 + int(random() % unsigned(count - 1));
        const int from = int(random() % unsigned(to));
        if (auto link = tasks[size_t(from)]->addOutboundDependencyToItem(tasks[size_t(to)])) {
            link->setKind(int(random() % 4));
            ++links;
        }
    }
    for (auto _ : state) {
        DMCriticalPath::update(*project);
        benchmark::DoNotOptimize(project->criticalPathObjectIDs().size());
    }
    state.counters["links"] = links;
}
BENCHMARK(BM_CriticalPath)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
