// Drawing the visible part of the Gantt canvas and hit-testing a point, through the document's
// canvas controller as the canvas's data source, for a project of 100 items and one of 10,000
// items with as many links. The visible part holds about the same bars in both, so the costs
// should be close: the controller finds the rows and links near a rectangle by binary search,
// not by walking the tree.
#include "BenchSupport.h"
#include "ProjectBenchSupport.h"

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
        : project(benchProjectOfProcesses(items, true)), document(benchShownDocument(project))
    {
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
