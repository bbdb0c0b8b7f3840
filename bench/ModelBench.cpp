// The project model at scale: building, writing and loading a project of 10,000 items with
// 10,000 links and 100 resources, compared with a bare libxml2 parse of the same bytes; removing
// half of its processes (their links and assignments leave with them) and undoing it; and
// object look-up by ID in a 100,000-item tree.
#include "DMDate.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMPropertyList.h"
#include "DMUndoManager.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <memory>
#include <vector>

namespace {

// 100 processes of 99 tasks each (10,000 items); a finish-to-start chain through all 9,900 tasks,
// a link from each process to the next and two long links (10,000 links); 100 resources, each
// assigned to 99 tasks.
std::shared_ptr<DMProject> buildProject()
{
    auto project = DMProject::create();
    std::vector<std::shared_ptr<DMProjectResource>> resources;
    for (int r = 0; r < 100; ++r) {
        auto resource = std::make_shared<DMProjectResource>();
        resource->setProject(project);
        resource->setName(QStringLiteral("Resource %1").arg(r));
        project->resources().append(resource);
        resources.push_back(resource);
    }
    const DMDate begin(2024, 1, 8, 8 * 3600);
    std::shared_ptr<DMProjectTask> previous;
    std::shared_ptr<DMProjectTask> firstTask;
    std::shared_ptr<DMProjectProcess> previousProcess;
    for (int p = 0; p < 100; ++p) {
        auto process = std::make_shared<DMProjectProcess>();
        process->setProject(project);
        process->setTitle(QStringLiteral("Process %1").arg(p));
        process->setBeginDateAndEndDate(begin, begin.dateByAddingSeconds(86400 * 100));
        project->tasks().append(process);
        std::shared_ptr<DMProjectTask> first;
        for (int t = 0; t < 99; ++t) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            task->setTitle(QStringLiteral("Task %1.%2").arg(p).arg(t));
            const DMDate b = begin.dateByAddingSeconds(qint64(p * 99 + t) * 3600);
            task->setBeginDateAndEndDate(b, b.dateByAddingSeconds(3600));
            process->subitems().append(task);
            task->addResource(resources[size_t(t)]);
            if (previous)
                previous->addOutboundDependencyToItem(task);
            if (!first)
                first = task;
            previous = task;
        }
        if (previousProcess)
            previousProcess->addOutboundDependencyToItem(process);
        previousProcess = process;
        if (!firstTask)
            firstTask = first;
    }
    firstTask->addOutboundDependencyToItem(previous);
    std::static_pointer_cast<DMProjectItem>(project->tasks().first())->addOutboundDependencyToItem(previous);
    return project;
}

QByteArray projectXML(const DMProject &project)
{
    return DMPropertyList::dataWithPropertyList(project.dictionaryRepresentation(), DMPropertyList::XML);
}

const QByteArray &sharedXML()
{
    static const QByteArray xml = projectXML(*buildProject());
    return xml;
}

void BM_BuildProject(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(buildProject());
}
BENCHMARK(BM_BuildProject)->Unit(benchmark::kMillisecond);

void BM_WriteProjectDictionary(benchmark::State &state)
{
    const auto project = buildProject();
    for (auto _ : state)
        benchmark::DoNotOptimize(project->dictionaryRepresentation());
}
BENCHMARK(BM_WriteProjectDictionary)->Unit(benchmark::kMillisecond);

void BM_WriteProjectXML(benchmark::State &state)
{
    const auto project = buildProject();
    for (auto _ : state)
        benchmark::DoNotOptimize(projectXML(*project));
    state.counters["bytes"] = double(sharedXML().size());
}
BENCHMARK(BM_WriteProjectXML)->Unit(benchmark::kMillisecond);

void BM_LoadProjectFromDictionary(benchmark::State &state)
{
    const QVariantMap dictionary = buildProject()->dictionaryRepresentation();
    for (auto _ : state)
        benchmark::DoNotOptimize(DMProject::projectWithDictionaryRepresentation(dictionary));
}
BENCHMARK(BM_LoadProjectFromDictionary)->Unit(benchmark::kMillisecond);

void BM_LoadProjectFromXML(benchmark::State &state)
{
    const QByteArray &xml = sharedXML();
    for (auto _ : state) {
        const QVariant plist = DMPropertyList::propertyListWithData(xml);
        benchmark::DoNotOptimize(DMProject::projectWithDictionaryRepresentation(plist.toMap()));
    }
}
BENCHMARK(BM_LoadProjectFromXML)->Unit(benchmark::kMillisecond);

void BM_PropertyListParseOnly(benchmark::State &state)
{
    const QByteArray &xml = sharedXML();
    for (auto _ : state)
        benchmark::DoNotOptimize(DMPropertyList::propertyListWithData(xml));
}
BENCHMARK(BM_PropertyListParseOnly)->Unit(benchmark::kMillisecond);

void BM_BareLibxml2Parse(benchmark::State &state)
{
    const QByteArray &xml = sharedXML();
    for (auto _ : state) {
        xmlDocPtr document = xmlReadMemory(xml.constData(), int(xml.size()), "project.xml", nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(document);
        xmlFreeDoc(document);
    }
}
BENCHMARK(BM_BareLibxml2Parse)->Unit(benchmark::kMillisecond);

// Every other process leaves in one step (with 4,950 tasks, the links that cross to the rest
// and the tasks' assignments), then the step is undone.
void BM_RemoveHalfAndUndo(benchmark::State &state)
{
    auto project = buildProject();
    DMUndoManager undo(false);
    undo.setGroupsByEvent(false);
    project->setUndoManager(&undo);
    for (auto _ : state) {
        undo.beginUndoGrouping();
        for (qsizetype i = project->tasks().size() - 2; i >= 0; i -= 2)
            project->tasks().removeAt(i);
        undo.endUndoGrouping();
        undo.undo();
        state.PauseTiming();
        undo.removeAllActions();
        project->purgeRemovedObjects();
        state.ResumeTiming();
    }
    project->setUndoManager(nullptr);
}
BENCHMARK(BM_RemoveHalfAndUndo)->Unit(benchmark::kMillisecond);

void BM_ObjectWithIDAndClass(benchmark::State &state)
{
    // 100,000 items: 1,000 processes, each with 99 tasks nested four deep in groups of processes.
    auto project = DMProject::create();
    std::vector<quint64> ids;
    for (int p = 0; p < 1000; ++p) {
        auto process = std::make_shared<DMProjectProcess>();
        process->setProject(project);
        project->tasks().append(process);
        ids.push_back(process->objectID());
        std::shared_ptr<DMProjectItem> parent = process;
        for (int t = 0; t < 99; ++t) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            parent->subitems().append(task);
            ids.push_back(task->objectID());
            if (t % 25 == 24)
                parent = task;
        }
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(project->objectWithIDAndClass<DMProjectTask>(ids[i]));
        i = (i + 7919) % ids.size();
    }
    state.counters["items"] = double(ids.size());
}
BENCHMARK(BM_ObjectWithIDAndClass);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
