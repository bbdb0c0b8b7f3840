// What the user waits for in the inspectors, in a document window of 10,000 tasks shown offscreen:
// clicking from bar to bar with the Inspector window open (the window follows the selection and
// fills the task inspector), a date picked in the inspector that pushes a chain of 10,000 linked
// tasks until the canvas is laid out and painted again, and a step of a drag on the canvas with
// the dragged bar's inspector open or closed (the inspector follows the bar at every step).
#include "BenchSupport.h"
#include "ProjectBenchSupport.h"

#include "DMDelayedCall.h"
#include "DMEvent.h"
#include "DMInspectorWindow.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectDocument.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMUIProjectItem.h"
#include "DMUIProjectTaskInspectorController.h"
#include "DMUndoManager.h"

#include <QDateTimeEdit>

#include <memory>

namespace {

// Tasks of eight hours, every one linked to the one before: one a day, or back to back on the
// plain calendar (where moving the first pushes every other).
struct InspectedDocument
{
    explicit InspectedDocument(int items, bool backToBack = false)
    {
        project = benchBeginGanttProject(items);
        const DMDate begin = project->beginDate();
        std::shared_ptr<DMProjectItem> previous;
        for (int i = 0; i < items; ++i) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            task->setTitle(QStringLiteral("Task %1").arg(i + 1));
            task->setUseWorkingSchedule(!backToBack);
            const DMDate day = begin.dateByAddingSeconds(backToBack ? qint64(i) * 8 * 3600 : qint64(i) * 86400 + 8 * 3600);
            task->setBeginDateAndEndDate(day, day.dateByAddingSeconds(8 * 3600));
            project->tasks().append(task);
            if (previous)
                previous->addOutboundDependencyToItem(task);
            previous = task;
        }
        project->endLoading();
        document = benchShownDocument(project);
        canvas = document->outlets().projectView;
    }
    ~InspectedDocument()
    {
        DMUIProjectTaskInspectorController::sharedInstance()->editObject(nullptr);
        DMInspectorWindow::sharedWindow()->hide();
        document.reset();
    }
    std::shared_ptr<DMUIProjectItem> barAt(int index) const
    {
        return std::dynamic_pointer_cast<DMUIProjectItem>(project->tasks().at(index)->ganttUIObject());
    }

    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectDocument> document;
    DMProjectView *canvas = nullptr;
};

void selectBarsWithTheInspectorOpen(benchmark::State &state)
{
    InspectedDocument inspected(10000);
    inspected.barAt(0)->editInView(inspected.canvas);
    int i = 0;
    for (auto _ : state) {
        inspected.canvas->selectObjectInLayerExtendSelection(inspected.barAt(i % 50), kDMProjectViewLayer_Items, false);
        ++i;
    }
}
BENCHMARK(selectBarsWithTheInspectorOpen)->Unit(benchmark::kMicrosecond);

void pickABeginThatPushesTheChain(benchmark::State &state)
{
    InspectedDocument inspected(10000, true);
    inspected.barAt(0)->editInView(inspected.canvas);
    QDateTimeEdit *picker = DMUIProjectTaskInspectorController::sharedInstance()->beginDatePicker();
    DMUndoManager *undo = inspected.document->undoManager();
    const DMDate lastBegin = inspected.project->tasks().last()->beginDate();
    // The deferred work that follows the pick (the document hearing of the new dates, the canvas
    // laid out and painted) runs at once on a manual clock.
    DMDeferredWorkClock::setManual(true);
    int i = 0;
    for (auto _ : state) {
        // A day later every time: the first task pushes all the others.
        picker->setDateTime(DMDate(2024, 1, 1, 0).dateByAddingSeconds(qint64(i + 1) * 86400).NSDate());
        DMDeferredWorkClock::advance(200);
        QApplication::processEvents();
        state.PauseTiming();
        undo->removeAllActions();
        ++i;
        state.ResumeTiming();
    }
    DMDeferredWorkClock::setManual(false);
    if (!(lastBegin < inspected.project->tasks().last()->beginDate()))
        state.SkipWithError("The picked begin did not push the chain");
}
BENCHMARK(pickABeginThatPushesTheChain)->Unit(benchmark::kMillisecond);

void dragStep(benchmark::State &state)
{
    InspectedDocument inspected(10000);
    const auto bar = inspected.barAt(5000);
    if (state.range(0))
        bar->editInView(inspected.canvas);
    const qint64 press = 1;
    int i = 0;
    for (auto _ : state) {
        const double x = (i % 40) - 20.0; // back and forth within a day
        const DMEvent step = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(x, 0), press, DMEvent::NoModifier, 1, 1.0, 0.0);
        bar->handleDragOperation(DMProjectViewDragOperation::MoveItem, QPointF(0, 0), QPointF(x, 0), step, inspected.canvas);
        ++i;
    }
}
BENCHMARK(dragStep)->Arg(0)->Arg(1)->ArgName("inspector")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
