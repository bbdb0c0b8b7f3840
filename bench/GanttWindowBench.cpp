// What the user waits for in the document window (1600 x 1000, canvas, outline and timeline
// header shown), for projects of 1,000, 10,000 and 100,000 items of two shapes: a flat
// finish-to-start chain, and processes of 99 linked tasks. Each figure includes the painting
// that follows: the event loop runs until nothing more is queued.
//
//   open        reading a package and showing its window up to the first painted frame of the
//               canvas; "idle_ms" counts until the application has no more work (bare_parse
//               gives libplist parsing the same project.xml alone, the yardstick of opening)
//   dragStep    one pointer move of a drag of the first task that pushes the whole chain
//   release     the release that ends such a drag
//   undo, redo  of that drag
//   zoomNotch   one Control+wheel notch over the canvas
//   collapse    collapsing and expanding a process of 1,000 tasks (in its own project)
//   relayout    laying out the canvas again
//   costly*     one process over every other item, unlinked tasks each with an hourly cost and a
//               paid resource: the outline's repaint and a drag step of the first task, both of
//               which show the process's cost (the Cost column is on by default)
//
// The documents are opened once per project and kept for the cases that follow.
#include "BenchSupport.h"

#include "DMDate.h"
#include "DMDocumentController.h"
#include "DMGanttUIObjectFactory.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectDocument.h"
#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMProjectDocumentProjectOutlineDS.h"
#include "DMProjectKeys.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMUIProjectItem.h"
#include "DMUndoManager.h"
#include "DMUserDefaults.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QMap>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <QWheelEvent>

#include <algorithm>
#include <map>
#include <memory>

namespace {

enum Shape { FlatChain = 0, Processes = 1, BigProcess = 2, CostlyProcess = 3 };

constexpr qint64 kTaskSeconds = 8 * 3600;
constexpr float kPixelsPerDay = 150.0f;
const DMDate kStart(2024, 1, 1, 0);

// A chain of tight 8-hour tasks (each begins where the one before ends, so moving the first
// pushes all), in `parent` or at the top level.
void appendChain(const std::shared_ptr<DMProject> &project, const std::shared_ptr<DMProjectItem> &parent, int count,
                 int &number)
{
    std::shared_ptr<DMProjectItem> previous;
    for (int t = 0; t < count; ++t, ++number) {
        auto task = std::make_shared<DMProjectTask>();
        task->setProject(project);
        task->setTitle(QStringLiteral("Task %1").arg(number));
        task->setUseWorkingSchedule(false);
        const DMDate begin = kStart.dateByAddingSeconds(kTaskSeconds * t);
        task->setBeginDateAndEndDate(begin, begin.dateByAddingSeconds(kTaskSeconds));
        if (parent)
            parent->subitems().append(task);
        else
            project->tasks().append(task);
        if (previous)
            previous->addOutboundDependencyToItem(task);
        previous = task;
    }
}

std::shared_ptr<DMProjectProcess> newProcess(const std::shared_ptr<DMProject> &project, int number)
{
    auto process = std::make_shared<DMProjectProcess>();
    process->setProject(project);
    process->setTitle(QStringLiteral("Process %1").arg(number));
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
    project->tasks().append(process);
    return process;
}

// One process holding items - 1 tasks of 8 hours, unlinked, side by side; each task costs 10 an
// hour of its own and has one of ten resources paid by the hour.
void appendCostlyProcess(const std::shared_ptr<DMProject> &project, int items)
{
    QList<std::shared_ptr<DMProjectResource>> resources;
    for (int r = 0; r < 10; ++r) {
        auto resource = std::make_shared<DMProjectResource>();
        resource->setProject(project);
        resource->setName(QStringLiteral("Resource %1").arg(r));
        resource->setAttribute(kDMProjectResource_HourlyCost, 20.0 + r);
        resource->setAttribute(kDMProjectResource_CostKind, int(kDMProjectResourceCostKind_Hourly));
        project->resources().append(resource);
        resources.append(resource);
    }
    const auto process = newProcess(project, 0);
    for (int t = 0; t + 1 < items; ++t) {
        auto task = std::make_shared<DMProjectTask>();
        task->setProject(project);
        task->setTitle(QStringLiteral("Task %1").arg(t));
        task->setUseWorkingSchedule(false);
        const DMDate begin = kStart.dateByAddingSeconds(kTaskSeconds * (t % 1000));
        task->setBeginDateAndEndDate(begin, begin.dateByAddingSeconds(kTaskSeconds));
        task->setAttribute(kDMProjectItem_CostKind, int(kDMProjectItemCostKind_Hourly));
        task->setAttribute(kDMProjectItem_Cost, 10.0);
        process->subitems().append(task);
        task->addResource(resources.at(t % resources.size()));
    }
}

std::shared_ptr<DMProject> buildProject(Shape shape, int items)
{
    auto project = DMProject::create();
    project->setTitle(QStringLiteral("Bench"));
    project->setBeginDate(kStart);
    project->setEndDate(kStart.dateByAddingSeconds(86400));
    project->setAttribute(kDMProject_ViewMode, 0);
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, kPixelsPerDay);
    int number = 0;
    switch (shape) {
    case FlatChain:
        appendChain(project, nullptr, items, number);
        break;
    case Processes:
        for (int p = 0; p < items / 100; ++p)
            appendChain(project, newProcess(project, p), 99, number);
        break;
    case BigProcess:
        appendChain(project, newProcess(project, 0), 1000, number);
        appendChain(project, nullptr, items - 1001, number);
        break;
    case CostlyProcess:
        appendCostlyProcess(project, items);
        break;
    }
    // Each process spans its chain, as the scheduler keeps it.
    for (const auto &item : project->tasks())
        if (!item->subitems().isEmpty()) {
            DMDate end = item->subitems().last()->endDate();
            for (const auto &task : item->subitems())
                end = std::max(end, task->endDate());
            item->setBeginDateAndEndDate(item->subitems().first()->beginDate(), end.dateByAddingSeconds(86400));
        }
    return project;
}

// The packages go to a temporary folder, or to HALCYRA_BENCH_PACKAGES when it names one (the
// memory script opens them there with the application).
QString packageFolder()
{
    static QTemporaryDir temporary;
    const QByteArray chosen = qgetenv("HALCYRA_BENCH_PACKAGES");
    return chosen.isEmpty() ? temporary.path() : QString::fromLocal8Bit(chosen);
}

QString packagePath(Shape shape, int items)
{
    static QMap<QPair<int, int>, QString> made;
    const auto key = qMakePair(int(shape), items);
    if (made.contains(key))
        return made.value(key);
    auto document = std::make_shared<DMProjectDocument>();
    document->setProject(buildProject(shape, items));
    const QString path = packageFolder() + QStringLiteral("/Bench-%1-%2.hy2").arg(int(shape)).arg(items);
    if (QFile::exists(path + QStringLiteral("/project.xml"))) {
        made.insert(key, path);
        return path;
    }
    if (!document->saveToPath(path, DMProjectDocument::SaveAsOperation))
        std::abort();
    made.insert(key, path);
    return path;
}

// Runs the event loop until it has had nothing to do for `quietMs`; returns the time, from the
// start of the call, at which it was last busy.
qint64 runUntilIdle(int quietMs = 300)
{
    QElapsedTimer clock;
    clock.start();
    qint64 lastBusy = 0;
    while (clock.elapsed() - lastBusy < quietMs) {
        const qint64 before = clock.nsecsElapsed();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const qint64 after = clock.nsecsElapsed();
        if (after - before > 1'000'000)
            lastBusy = after / 1'000'000;
        else
            QThread::usleep(500);
    }
    return lastBusy;
}

// Runs what the last input queued, painting included: the posted events and the zero-time
// timers, until a turn finds nothing to do.
void finishTurn()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void closeAll()
{
    DMDocumentController::sharedDocumentController().closeAllDocuments();
    DMDocumentController::sharedDocumentController().releaseClosedDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens the package and waits for the canvas's first painted frame; returns the document.
std::shared_ptr<DMProjectDocument> openToFirstFrame(const QString &path)
{
    QString error;
    auto document = DMDocumentController::sharedDocumentController().openDocumentWithContentsOfURL(path, false, &error, false);
    if (!document)
        return nullptr;
    document->makeWindowControllers();
    QMainWindow *window = document->mainWindow();
    window->resize(1600, 1000);
    PaintCounter counter;
    DMProjectView *canvas = document->outlets().projectView;
    canvas->installEventFilter(&counter);
    document->showWindows();
    while (counter.paints == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    canvas->removeEventFilter(&counter);
    return document;
}

// The document of the cases running now, opened once and left idle.
struct OpenProject
{
    Shape shape = FlatChain;
    int items = 0;
    std::shared_ptr<DMProjectDocument> document;
};

OpenProject &current()
{
    static OpenProject open;
    return open;
}

DMProjectDocument *documentFor(Shape shape, int items)
{
    OpenProject &open = current();
    if (!open.document || open.shape != shape || open.items != items) {
        open.document.reset();
        closeAll();
        open.document = openToFirstFrame(packagePath(shape, items));
        open.shape = shape;
        open.items = items;
        if (shape == CostlyProcess) {
            // The outline scrolled to its last columns, so that the Cost column is on screen.
            QScrollBar *bar = open.document->outlets().projectOutlineView->horizontalScrollBar();
            bar->setValue(bar->maximum());
        }
        runUntilIdle();
    }
    return open.document.get();
}

std::shared_ptr<DMProjectItem> firstTask(const DMProject &project)
{
    std::shared_ptr<DMProjectItem> item = project.tasks().first();
    while (!item->subitems().isEmpty())
        item = item->subitems().first();
    return item;
}

QPoint viewPointOfBar(DMProjectView *canvas, const DMProjectItem &item)
{
    const auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(item.ganttUIObject());
    return canvas->convertRectFromCanvasToView(QRectF(bar->frame().center(), QSizeF())).topLeft().toPoint();
}

void press(QWidget *canvas, QPoint point)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(point), canvas->mapToGlobal(QPointF(point)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
}

void move(QWidget *canvas, QPoint point)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(point), canvas->mapToGlobal(QPointF(point)), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
}

void release(QWidget *canvas, QPoint point)
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(point), canvas->mapToGlobal(QPointF(point)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
}

// A drag step moves the pointer 10 points (1.6 hours) to the right.
constexpr int kStep = 10;

void setLabel(benchmark::State &state, Shape shape)
{
    state.SetLabel(shape == FlatChain       ? "flat chain"
                   : shape == Processes     ? "processes of 99"
                   : shape == BigProcess    ? "process of 1000"
                                            : "one process of all, costed");
}

void BM_open(benchmark::State &state, Shape shape)
{
    const int items = int(state.range(0));
    current().document.reset();
    closeAll();
    const QString path = packagePath(shape, items);
    double idle = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto document = openToFirstFrame(path);
        if (!document) {
            state.SkipWithError("not opened");
            break;
        }
        const double firstFrame = double(clock.nsecsElapsed()) / 1e6;
        state.PauseTiming();
        idle += firstFrame + double(runUntilIdle());
        document.reset();
        closeAll();
        state.ResumeTiming();
    }
    state.counters["idle_ms"] = idle / double(state.iterations());
    state.counters["file_bytes_per_task"] =
        double(QFile(path + QStringLiteral("/project.xml")).size()) / double(items);
    setLabel(state, shape);
}

void BM_bareParse(benchmark::State &state, Shape shape)
{
    const int items = int(state.range(0));
    QFile file(packagePath(shape, items) + QStringLiteral("/project.xml"));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no project.xml");
        return;
    }
    benchmarkBarePlistParse(state, file.readAll());
    setLabel(state, shape);
}

// Presses on the first task and drags it right step by step, each step painted.
void BM_dragStep(benchmark::State &state, Shape shape)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    DMProjectView *canvas = document->outlets().projectView;
    const auto first = firstTask(*document->project());
    QPoint point = viewPointOfBar(canvas, *first);
    const DMDate before = first->beginDate();
    press(canvas, point);
    finishTurn();
    for (auto _ : state) {
        point.rx() += kStep;
        move(canvas, point);
        finishTurn();
    }
    release(canvas, point);
    runUntilIdle();
    if (first->beginDate() == before)
        state.SkipWithError("the bar did not move");
    document->undoManager()->undo();
    runUntilIdle();
    setLabel(state, shape);
}

// One drag of the first task by a day, with its release measured.
void dragByADay(DMProjectView *canvas, const DMProjectItem &first, bool releaseToo)
{
    QPoint point = viewPointOfBar(canvas, first);
    press(canvas, point);
    finishTurn();
    point.rx() += int(kPixelsPerDay);
    move(canvas, point);
    finishTurn();
    if (releaseToo) {
        release(canvas, point);
        finishTurn();
    }
}

void BM_release(benchmark::State &state, Shape shape)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    DMProjectView *canvas = document->outlets().projectView;
    const auto first = firstTask(*document->project());
    for (auto _ : state) {
        state.PauseTiming();
        dragByADay(canvas, *first, false);
        const QPoint point = viewPointOfBar(canvas, *first);
        state.ResumeTiming();
        release(canvas, point);
        finishTurn();
        state.PauseTiming();
        runUntilIdle(150);
        document->undoManager()->undo();
        runUntilIdle(150);
        state.ResumeTiming();
    }
    setLabel(state, shape);
}

void BM_undoRedo(benchmark::State &state, Shape shape, bool redo)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    DMProjectView *canvas = document->outlets().projectView;
    const auto first = firstTask(*document->project());
    DMUndoManager *undo = document->undoManager();
    dragByADay(canvas, *first, true);
    runUntilIdle(150);
    for (auto _ : state) {
        if (redo) {
            state.PauseTiming();
            undo->undo();
            runUntilIdle(150);
            state.ResumeTiming();
            undo->redo();
            finishTurn();
        } else {
            undo->undo();
            finishTurn();
            state.PauseTiming();
            runUntilIdle(150);
            undo->redo();
            runUntilIdle(150);
            state.ResumeTiming();
        }
    }
    undo->undo();
    runUntilIdle(150);
    setLabel(state, shape);
}

void BM_undo(benchmark::State &state, Shape shape)
{
    BM_undoRedo(state, shape, false);
}

void BM_redo(benchmark::State &state, Shape shape)
{
    BM_undoRedo(state, shape, true);
}

void BM_zoomNotch(benchmark::State &state, Shape shape)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    DMProjectView *canvas = document->outlets().projectView;
    const QPointF at(canvas->visibleRegion().boundingRect().center());
    int notch = 0;
    for (auto _ : state) {
        // In and out by turns, so the scale stays near its own.
        const int delta = (notch++ % 2 == 0) ? 120 : -120;
        QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
        finishTurn();
    }
    setLabel(state, shape);
}

void BM_relayout(benchmark::State &state, Shape shape)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    for (auto _ : state) {
        document->objectViewDataSource()->relayoutProjectView();
        finishTurn();
    }
    setLabel(state, shape);
}

void BM_collapseExpand(benchmark::State &state, Shape shape)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    DMOutlineView *outline = document->outlets().projectOutlineView;
    const DMProjectItem *process = document->project()->tasks().first().get();
    for (auto _ : state) {
        outline->collapseItem(process);
        finishTurn();
        outline->expandItem(process);
        finishTurn();
    }
    setLabel(state, shape);
}

// The cases of one project in a row, so that its document opens once; fewer rounds at 100,000
// items, whose figures before the work on speed ran to minutes.
void registerCases()
{
    using Case = void (*)(benchmark::State &, Shape);
    const struct
    {
        const char *name;
        Case run;
        int rounds;
    } cases[] = {{"bareParse", BM_bareParse, 0}, {"open", BM_open, 2},       {"dragStep", BM_dragStep, 5},
                 {"release", BM_release, 3},     {"undo", BM_undo, 3},       {"redo", BM_redo, 3},
                 {"zoomNotch", BM_zoomNotch, 4}, {"relayout", BM_relayout, 3}};
    const char *shapes[] = {"FlatChain", "Processes"};
    for (const Shape shape : {FlatChain, Processes})
        for (const int items : {1000, 10000, 100000})
            for (const auto &c : cases) {
                const std::string name = std::string("BM_") + c.name + "/" + shapes[shape];
                auto *b = benchmark::RegisterBenchmark(name.c_str(), [run = c.run, shape, items](benchmark::State &state) {
                    run(state, shape);
                });
                b->Unit(benchmark::kMillisecond)->Arg(items);
                if (c.rounds > 0)
                    b->Iterations(items >= 100000 ? 1 : c.rounds);
            }
    for (const int items : {1001, 10000, 100000}) {
        const std::string name = "BM_collapseExpand/BigProcess";
        benchmark::RegisterBenchmark(name.c_str(), [](benchmark::State &state) { BM_collapseExpand(state, BigProcess); })
            ->Unit(benchmark::kMillisecond)
            ->Arg(items)
            ->Iterations(items >= 100000 ? 1 : 2);
    }
}

// The outline's part of a drag step, an undo or a zoom notch: its visible rows painted again
// (their dates changed), and the reload that follows an undo or a redo.
void BM_outlineRepaint(benchmark::State &state, Shape shape)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    DMOutlineView *outline = document->outlets().projectOutlineView;
    for (auto _ : state)
        outline->viewport()->repaint();
    const int cost = outline->outlineModel()->logicalColumnWithIdentifier(QStringLiteral("cost"));
    const int x = outline->columnViewportPosition(cost);
    state.counters["cost_on_screen"] = x >= 0 && x < outline->viewport()->width() && !outline->isColumnHidden(cost);
    setLabel(state, shape);
}

// What the outline redraws when the dates of every item changed, as after a drag step.
void BM_outlineDatesChanged(benchmark::State &state, Shape shape)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    QList<DMProjectItem *> items;
    std::vector<std::shared_ptr<DMProjectItem>> pending(document->project()->tasks().begin(),
                                                        document->project()->tasks().end());
    while (!pending.empty()) {
        const std::shared_ptr<DMProjectItem> item = pending.back();
        pending.pop_back();
        items.append(item.get());
        pending.insert(pending.end(), item->subitems().begin(), item->subitems().end());
    }
    for (auto _ : state) {
        document->projectOutlineDS()->itemDatesDidChange(items);
        finishTurn();
    }
    setLabel(state, shape);
}

void BM_outlineReload(benchmark::State &state, Shape shape)
{
    DMProjectDocument *document = documentFor(shape, int(state.range(0)));
    for (auto _ : state) {
        document->reloadProjectOutline();
        finishTurn();
    }
    setLabel(state, shape);
}

void registerOutlineCases()
{
    const char *shapes[] = {"FlatChain", "Processes"};
    for (const Shape shape : {FlatChain, Processes})
        for (const int items : {1000, 10000, 100000}) {
            const std::string suffix = std::string("/") + shapes[shape];
            benchmark::RegisterBenchmark(("BM_outlineRepaint" + suffix).c_str(),
                                         [shape](benchmark::State &state) { BM_outlineRepaint(state, shape); })
                ->Unit(benchmark::kMillisecond)
                ->Arg(items);
            benchmark::RegisterBenchmark(("BM_outlineDatesChanged" + suffix).c_str(),
                                         [shape](benchmark::State &state) { BM_outlineDatesChanged(state, shape); })
                ->Unit(benchmark::kMillisecond)
                ->Arg(items);
            benchmark::RegisterBenchmark(("BM_outlineReload" + suffix).c_str(),
                                         [shape](benchmark::State &state) { BM_outlineReload(state, shape); })
                ->Unit(benchmark::kMillisecond)
                ->Arg(items)
                ->Iterations(items >= 100000 ? 2 : 10);
        }
}

void registerCostCases()
{
    for (const int items : {10000, 100000}) {
        benchmark::RegisterBenchmark("BM_costlyOutlineRepaint",
                                     [](benchmark::State &state) { BM_outlineRepaint(state, CostlyProcess); })
            ->Unit(benchmark::kMillisecond)
            ->Arg(items);
        benchmark::RegisterBenchmark("BM_costlyDragStep",
                                     [](benchmark::State &state) { BM_dragStep(state, CostlyProcess); })
            ->Unit(benchmark::kMillisecond)
            ->Arg(items)
            ->Iterations(20);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir defaults;
    DMUserDefaults::setStorageFileForTesting(defaults.filePath(QStringLiteral("defaults.ini")));
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    DMGanttUIObjectFactory::registerWithModel();
    registerCases();
    registerOutlineCases();
    registerCostCases();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    current().document.reset();
    closeAll();
    return 0;
}
