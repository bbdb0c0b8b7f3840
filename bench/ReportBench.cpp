// The global report of a project of 10,000 tasks (100 processes of 100 tasks, 50 resources
// assigned in turn), and of 1,000 and 100,000 tasks to see how it grows: building its text, and
// what the user waits for when choosing the page in an open document window: building, writing
// and loading the report until its first screen is drawn (the view writes the remaining rows
// and lays them out while idle), and until every row is written; and the PDF of the shown report
// that printing, the exports and the mail send.
#include "BenchProjects.h"
#include "BenchSupport.h"
#include "DMDate.h"
#include "DMProject.h"
#include "DMProjectDocument.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMReportDocument.h"

#include <QTextBrowser>

#include <benchmark/benchmark.h>

namespace {

std::shared_ptr<DMProject> makeProject(int processes)
{
    auto project = DMProject::create();
    project->setTitle(QStringLiteral("%1 tasks").arg(processes * 100));
    project->setBeginDate(DMDate(2024, 1, 1, 8 * 3600));
    project->setEndDate(DMDate(2025, 1, 1, 8 * 3600));
    project->setAttribute(kDMProject_Settings_Budget, 1.0e6);
    QList<std::shared_ptr<DMProjectResource>> resources;
    for (int r = 0; r < 50; ++r) {
        auto resource = std::make_shared<DMProjectResource>();
        resource->setProject(project);
        resource->setName(QStringLiteral("Resource %1").arg(r));
        resource->setAttribute(kDMProjectResource_HourlyCost, 40.0 + r);
        project->resources().append(resource);
        resources.append(resource);
    }
    DMBench_addProcessesOfTasks(project, processes, 100, [&resources](DMProjectTask &task, int n) {
        task.setTitle(QStringLiteral("Task %1 \"%2\"").arg(n).arg(n % 100));
        task.setProgress(float(n % 10) / 10.0f);
        task.setAttribute(kDMProjectItem_Cost, 100.0 + n % 100);
        task.addResource(resources.at(n % resources.size()));
    });
    return project;
}

void BM_GlobalReportHTML10000Tasks(benchmark::State &state)
{
    auto document = std::make_shared<DMProjectDocument>();
    document->setProject(makeProject(100));
    for (auto _ : state)
        benchmark::DoNotOptimize(document->report()->reportGenerateHTML().size());
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_GlobalReportHTML10000Tasks)->Unit(benchmark::kMillisecond);

void globalReportPageShown(benchmark::State &state, int processes, bool everyRow = false)
{
    auto document = std::make_shared<DMProjectDocument>();
    document->setProject(makeProject(processes));
    document->makeWindowControllers();
    document->showWindows();
    QTextBrowser *view = document->outlets().reportWebView;
    if (!view) {
        state.SkipWithError("no report view");
        return;
    }
    for (auto _ : state) {
        document->showPageWithTag(DMPage::GlobalReportPage);
        view->viewport()->repaint();
        if (everyRow)
            DMReportDocument_finish(view);
        state.PauseTiming();
        document->showPageWithTag(10);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * processes * 100);
}

void BM_GlobalReportPageShown1000Tasks(benchmark::State &state)
{
    globalReportPageShown(state, 10);
}
BENCHMARK(BM_GlobalReportPageShown1000Tasks)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_GlobalReportPageShown10000Tasks(benchmark::State &state)
{
    globalReportPageShown(state, 100);
}
BENCHMARK(BM_GlobalReportPageShown10000Tasks)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GlobalReportEveryRowWritten10000Tasks(benchmark::State &state)
{
    globalReportPageShown(state, 100, true);
}
BENCHMARK(BM_GlobalReportEveryRowWritten10000Tasks)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GlobalReportPageShown100000Tasks(benchmark::State &state)
{
    globalReportPageShown(state, 1000);
}
BENCHMARK(BM_GlobalReportPageShown100000Tasks)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_GlobalReportPDF1000Tasks(benchmark::State &state)
{
    auto document = std::make_shared<DMProjectDocument>();
    document->setProject(makeProject(10));
    document->makeWindowControllers();
    document->showWindows();
    document->showPageWithTag(DMPage::GlobalReportPage);
    for (auto _ : state)
        benchmark::DoNotOptimize(document->report()->pdfData().size());
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_GlobalReportPDF1000Tasks)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
