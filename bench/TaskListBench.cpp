// What a user waits for in the task list of a 10,000-item project, with the document window
// open: the list shown (its page chosen, the rows of one screen drawn, previews included) and
// scrolled by one screen (the next screen's rows drawn).
#include "BenchSupport.h"
#include "ProjectBenchSupport.h"

#include "DMOutlineView.h"
#include "DMProjectItemsOutlineViewDS.h"

#include <QScrollBar>

#include <memory>

namespace {

constexpr int kTaskListPage = 17;
constexpr int kGanttPage = 10;

// Processes of ten tasks each, all expanded in the list.
struct TaskList
{
    explicit TaskList(int items) : project(benchProjectOfProcesses(items, false)), document(benchShownDocument(project))
    {
        document->showPageWithTag(kTaskListPage);
        outline = document->projectItemsOutlineViewDS()->outlineView();
        outline->expandItemExpandChildren(nullptr, true);
        QApplication::processEvents();
    }
    ~TaskList() { document.reset(); }

    // Draws the rows the viewport shows, as a paint of the window would.
    void drawScreen() { benchmark::DoNotOptimize(outline->viewport()->grab()); }

    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectDocument> document;
    DMOutlineView *outline = nullptr;
};

void showTaskList(benchmark::State &state)
{
    TaskList list(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        list.document->showPageWithTag(kGanttPage);
        state.ResumeTiming();
        list.document->showPageWithTag(kTaskListPage);
        list.drawScreen();
    }
    state.counters["rows"] = list.outline->numberOfRows();
}
BENCHMARK(showTaskList)->Arg(10000)->Unit(benchmark::kMillisecond);

void scrollTaskListByOneScreen(benchmark::State &state)
{
    TaskList list(int(state.range(0)));
    QScrollBar *bar = list.outline->verticalScrollBar();
    list.drawScreen();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        list.drawScreen();
    }
    state.counters["rows"] = list.outline->numberOfRows();
}
BENCHMARK(scrollTaskListByOneScreen)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
