// The items view's tasks page of a 10,000-item project in the shown window (offscreen): building
// the page's array and putting it on screen (cards made only for what is visible), then
// scrolling the grid by a screenful.
#include "BenchSupport.h"
#include "DMCollectionView.h"
#include "DMProjectDocumentItemsView.h"
#include "ProjectBenchSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

namespace {

void showTasksPage(benchmark::State &state)
{
    const auto document = benchShownDocument(benchProjectOfProcesses(int(state.range(0)), true));
    for (auto _ : state) {
        document->showPageWithTag(10);
        document->showPageWithTag(2); // the array is rebuilt and sorted, the contents set again
        QApplication::processEvents();
        document->mainWindow()->repaint();
    }
    state.counters["cards"] = double(document->itemsView()->itemsCollectionView()->visibleItems().size());
    state.counters["entries"] = double(document->itemsView()->itemsViewContentsArray().size());
}
BENCHMARK(showTasksPage)->Arg(10000)->Unit(benchmark::kMillisecond);

void scrollTasksPage(benchmark::State &state)
{
    const auto document = benchShownDocument(benchProjectOfProcesses(int(state.range(0)), true));
    document->showPageWithTag(2);
    QApplication::processEvents();
    QScrollBar *bar = document->itemsView()->itemsCollectionView()->verticalScrollBar();
    int page = 0;
    for (auto _ : state) {
        page = (page + 1) % 200;
        bar->setValue(page * bar->pageStep());
        document->mainWindow()->repaint();
    }
}
BENCHMARK(scrollTasksPage)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
