// What a user waits for in the project outline of a 10,000-item project, with the document
// window open: the outline reloaded (as after an undo), the outline reloaded with the canvas laid
// out again (as after a revert), and one row moved by drag and drop into another process, which
// reloads the outline, relays the canvas out and closes the move's undo step. A move should cost
// no more than a few reloads.
#include "BenchSupport.h"
#include "ProjectBenchSupport.h"

#include "DMOutlineView.h"
#include "DMProjectDocumentProjectOutlineDS.h"

#include <QMimeData>

#include <memory>

namespace {

// Processes of ten tasks each, all expanded.
struct OutlineProject
{
    explicit OutlineProject(int items)
        : project(benchProjectOfProcesses(items, false)), document(benchShownDocument(project))
    {
        outline = document->outlets().projectOutlineView;
    }
    ~OutlineProject() { document.reset(); }

    void finishEventLoopTurn()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectDocument> document;
    DMOutlineView *outline = nullptr;
};

void reloadOutline(benchmark::State &state)
{
    OutlineProject outline(int(state.range(0)));
    for (auto _ : state)
        outline.document->reloadProjectOutline();
    state.counters["rows"] = outline.outline->numberOfRows();
}
BENCHMARK(reloadOutline)->Arg(10000)->Unit(benchmark::kMillisecond);

void reloadOutlineAndRelayoutCanvas(benchmark::State &state)
{
    OutlineProject outline(int(state.range(0)));
    for (auto _ : state)
        outline.document->reloadViews();
}
BENCHMARK(reloadOutlineAndRelayoutCanvas)->Arg(10000)->Unit(benchmark::kMillisecond);

// A task of the middle process dropped as the first child of the next process, and back on the
// next turn: every turn is one real move, validated and accepted as the outline's drop does it.
void dropMoveIntoAnotherProcess(benchmark::State &state)
{
    OutlineProject outline(int(state.range(0)));
    DMProjectDocumentProjectOutlineDS *controller = outline.document->projectOutlineDS();
    const auto &phases = outline.project->tasks();
    const std::shared_ptr<DMProjectItem> from = phases.at(phases.size() / 2);
    const std::shared_ptr<DMProjectItem> to = phases.at(phases.size() / 2 + 1);
    const std::shared_ptr<DMProjectItem> moved = from->subitems().at(4);
    bool there = false;
    for (auto _ : state) {
        QMimeData data;
        if (!controller->outlineViewWriteItemsToPasteboard(outline.outline, {moved.get()}, &data)) {
            state.SkipWithError("the row was not dragged");
            break;
        }
        const DMProjectItem *target = there ? from.get() : to.get();
        const int index = there ? 4 : 0;
        if (controller->outlineViewValidateDropProposedItemProposedChildIndex(outline.outline, {&data}, target, index)
                != Qt::MoveAction
            || !controller->outlineViewAcceptDropItemChildIndex(outline.outline, {&data}, target, index)) {
            state.SkipWithError("the drop was refused");
            break;
        }
        outline.finishEventLoopTurn(); // the move's undo step closes and marks the document
        there = !there;
    }
}
BENCHMARK(dropMoveIntoAnotherProcess)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
