// What the user waits for after choosing Print on a Gantt chart of 10,000 items (500 processes of
// 19 one-day tasks, a month wide, 10,000 outline rows) in its window: the print panel renders the
// outline, the timeline header and the canvas for the month, composes the A4 pages and joins them
// into the PDF of its preview. Counters: pages and PDF bytes.
#include "BenchProjects.h"
#include "BenchSupport.h"

#include "DMGanttUIObjectFactory.h"
#include "DMIdleTimeout.h"
#include "DMPrintInfo.h"
#include "DMPrintPanelController.h"
#include "DMProjectDocument.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectKeys.h"

#include <QMainWindow>
#include <QPageSize>

namespace {

struct PrintedChart
{
    explicit PrintedChart(int processes, int tasksPerProcess)
    {
        DMGanttUIObjectFactory::registerWithModel();
        auto project = DMProject::create();
        project->beginLoading();
        project->setTitle(QStringLiteral("Printed chart"));
        project->setBeginDate(DMDate(2024, 1, 1, 8 * 3600));
        project->setEndDate(DMDate(2024, 1, 31, 18 * 3600));
        project->setAttribute(kDMProject_ViewMode, 0);
        DMBench_addProcessesOfTasks(project, processes, tasksPerProcess, [](DMProjectTask &task, int n) {
            task.setTitle(QStringLiteral("Task %1").arg(n + 1));
        });
        for (const auto &process : project->tasks())
            process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
        project->endLoading();
        document = std::make_shared<DMProjectDocument>();
        document->setProject(project);
        document->makeWindowControllers();
        document->mainWindow()->resize(1100, 700);
        document->mainWindow()->show();
        QApplication::processEvents();
        document->reloadViews();
        DMPrintInfo::sharedPrintInfo().pageLayout =
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36));
        panel = document->print()->printPanelController().get();
        panel->setImageExport(false);
        panel->setDateMode(1);
        panel->setBeginDate(DMDate(2024, 1, 1, 0));
        panel->setEndDate(DMDate(2024, 1, 31, 0));
    }
    ~PrintedChart() { document.reset(); }

    std::shared_ptr<DMProjectDocument> document;
    DMPrintPanelController *panel = nullptr;
};

void composePrintedPDF(benchmark::State &state)
{
    PrintedChart chart(500, 19);
    for (auto _ : state) {
        // Now rather than 0.75 s after the settings changed.
        destroyPendingIdleInvocations(chart.panel);
        chart.panel->_updateImages();
        if (chart.panel->pageImages().isEmpty())
            state.SkipWithError(qPrintable(chart.panel->whyNoPages()));
    }
    state.counters["pages"] = double(chart.panel->pageImages().size());
    state.counters["pdfBytes"] = double(chart.panel->previewPDFData().size());
}
BENCHMARK(composePrintedPDF)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
