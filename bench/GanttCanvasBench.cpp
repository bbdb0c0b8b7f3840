// Drawing the visible part of the Gantt canvas and hit-testing a point, through the document's
// canvas controller as the canvas's data source, for a project of 100 items and one of 10,000
// items with as many links. The visible part holds about the same bars in both, so the costs
// should be close: the controller finds the rows and links near a rectangle by binary search,
// not by walking the tree.
#include "BenchSupport.h"
#include "GanttBenchDocument.h"

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectDocument.h"
#include "DMProjectKeys.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"

#include <QImage>
#include <QPainter>
#include <QScrollArea>

#include <memory>

namespace {

// Processes of ten tasks each, every task a working day after the one before, linked to it.
struct GanttProject
{
    explicit GanttProject(int items)
    {
        project = DMBench_beginGanttProject(items);
        const DMDate begin = project->beginDate();
        std::shared_ptr<DMProjectProcess> process;
        std::shared_ptr<DMProjectItem> previous;
        for (int i = 0; i < items; ++i) {
            if (i % 11 == 0) {
                process = std::make_shared<DMProjectProcess>();
                process->setProject(project);
                process->setTitle(QStringLiteral("Phase %1").arg(i / 11 + 1));
                process->setBeginDateAndEndDate(begin.dateByAddingSeconds(qint64(i) * 86400),
                                                begin.dateByAddingSeconds(qint64(i + 11) * 86400));
                process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
                project->tasks().append(process);
                continue;
            }
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            task->setTitle(QStringLiteral("Task %1").arg(i + 1));
            const DMDate day = begin.dateByAddingSeconds(qint64(i) * 86400 + 9 * 3600);
            task->setBeginDateAndEndDate(day, day.dateByAddingSeconds(6 * 3600));
            process->subitems().append(task);
            if (previous)
                previous->addOutboundDependencyToItem(task);
            previous = task;
        }
        // As many links as items: the rest go two tasks ahead.
        int links = 0;
        for (const auto &phase : project->tasks())
            for (const auto &task : phase->subitems())
                links += int(task->outboundDependencies().size());
        for (const auto &phase : project->tasks()) {
            const auto &tasks = phase->subitems();
            for (qsizetype i = 0; i + 2 < tasks.size() && links < items; ++i)
                if (tasks.at(i)->addOutboundDependencyToItem(tasks.at(i + 2)))
                    ++links;
        }
        project->endLoading();

        document = DMBench_showGanttDocument(project);
        canvas = document->outlets().projectView;
        // The part in view: the middle of the project.
        const QSize viewport = document->outlets().projectViewScrollArea->viewport()->size();
        const double middle = items / 2.0;
        visible = QRect(int(middle * project->displayAttributes().pixelsPerDay) - viewport.width() / 2,
                        int(middle * 20.0) - viewport.height() / 2, viewport.width(), viewport.height());
    }
    ~GanttProject() { document.reset(); }

    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectDocument> document;
    DMProjectView *canvas = nullptr;
    QRect visible;
};

void drawVisiblePart(benchmark::State &state)
{
    GanttProject gantt(int(state.range(0)));
    QImage image(gantt.visible.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        gantt.canvas->render(&painter, QPoint(), QRegion(gantt.visible));
    }
}
BENCHMARK(drawVisiblePart)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void hitTestPoint(benchmark::State &state)
{
    GanttProject gantt(int(state.range(0)));
    const QRectF area = gantt.canvas->convertRectFromViewToCanvas(QRectF(gantt.visible));
    int i = 0;
    for (auto _ : state) {
        const QPointF point(area.left() + (i * 37) % int(area.width()), area.top() + (i * 13) % int(area.height()));
        benchmark::DoNotOptimize(gantt.canvas->hitTestObjectAtPoint(point));
        ++i;
    }
}
BENCHMARK(hitTestPoint)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
