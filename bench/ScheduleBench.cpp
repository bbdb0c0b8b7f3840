// Scheduling at scale: moving the first task of a finish-to-start chain so that every task is
// pushed (10,000 and 100,000 tasks, on a working week with weekends off), reported per pushed
// task as well; and the critical path of 10,000 items with 20,000 links.
#include "DMCriticalPath.h"
#include "DMDate.h"
#include "DMIndexSet_64.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectKeys.h"
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

void BM_PushChain(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto project = workingWeekProject();
    DMUndoManager undo(false);
    undo.setGroupsByEvent(false);
    project->setUndoManager(&undo);
    auto tasks = buildChain(project, count);
    project->criticalPathObjectIDs();
    const auto &first = tasks.front();
    int iteration = 0;
    for (auto _ : state) {
        // One working day later each time: the chain is tight, so every task moves.
        const DMDate begin = first->endDate();
        const DMDate end = project->endDateWithBeginDateAndDurationWorkSlices(begin, 10 * 3600, true);
        const int code = first->validateAndSetBeginDateAndEndDate(begin, end);
        if (code != 0)
            state.SkipWithError("refused");
        if (++iteration % 8 == 0) {
            state.PauseTiming();
            undo.removeAllActions();
            state.ResumeTiming();
        }
    }
    state.counters["per_task_ns"] = benchmark::Counter(double(count) * 1e-9,
                                                       benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    project->setUndoManager(nullptr);
}
BENCHMARK(BM_PushChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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
