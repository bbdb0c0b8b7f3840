// Opening a project package of 10,000 items (100 processes of 99 tasks, each task linked to the
// next), plain and encrypted: reading the files, decrypting, and building the project. Beside
// them libplist alone parses the same project.xml, the yardstick of reading.
#include "BenchSupport.h"
#include "DMDate.h"
#include "DMDocumentController.h"
#include "DMProject.h"
#include "DMProjectDocument.h"
#include "DMProjectItem.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QString makePackage(const QTemporaryDir &folder, const QString &name, const QString &password)
{
    auto project = DMProject::create();
    project->setTitle(QStringLiteral("Ten thousand items"));
    const DMDate start(2024, 1, 1, 8 * 3600);
    project->setBeginDate(start);
    project->setEndDate(start.dateByAddingYearsMonthsDaysHoursMinutesSeconds(1, 0, 0, 0, 0, 0));
    int n = 0;
    for (int p = 0; p < 100; ++p) {
        auto process = std::make_shared<DMProjectProcess>();
        process->setProject(project);
        process->setTitle(QStringLiteral("Process %1").arg(p));
        process->setBeginDateAndEndDate(start, start.dateByAddingSeconds(86400 * 100));
        std::shared_ptr<DMProjectItem> previous;
        for (int t = 0; t < 99; ++t, ++n) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            task->setTitle(QStringLiteral("Task %1").arg(n));
            const DMDate begin = start.dateByAddingSeconds(qint64(86400) * t);
            task->setBeginDateAndEndDate(begin, begin.dateByAddingSeconds(8 * 3600));
            task->setProgress(float(t % 10) / 10.0f);
            process->subitems().append(task);
            if (previous)
                previous->addOutboundDependencyToItem(task);
            previous = task;
        }
        project->tasks().append(process);
    }
    auto document = std::make_shared<DMProjectDocument>();
    document->setProject(project);
    document->setPasswordString(password);
    const QString path = folder.filePath(name);
    if (!document->saveToPath(path, DMProjectDocument::SaveAsOperation))
        std::abort();
    return path;
}

void openPackage(benchmark::State &state, const QString &password)
{
    QTemporaryDir folder;
    const QString path = makePackage(folder, QStringLiteral("Bench.hy2"), password);
    for (auto _ : state) {
        auto document = std::make_shared<DMProjectDocument>();
        document->setPasswordString(password); // answers the password request without a prompt
        QString error;
        if (!document->readFromURLOfType(path, DMProjectDocument::kDocumentType, &error) || !document->loadProjectIfNeeded(&error))
            state.SkipWithError(qPrintable(error));
        benchmark::DoNotOptimize(document->project()->indexedObjectCount());
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}

void BM_OpenPackage10000Items(benchmark::State &state)
{
    openPackage(state, QString());
}
BENCHMARK(BM_OpenPackage10000Items)->Unit(benchmark::kMillisecond);

void BM_BareParse10000Items(benchmark::State &state)
{
    QTemporaryDir folder;
    QFile file(makePackage(folder, QStringLiteral("Bench.hy2"), QString()) + QStringLiteral("/project.xml"));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no project.xml");
        return;
    }
    benchmarkBarePlistParse(state, file.readAll());
}
BENCHMARK(BM_BareParse10000Items)->Unit(benchmark::kMillisecond);

void BM_OpenEncryptedPackage10000Items(benchmark::State &state)
{
    openPackage(state, QStringLiteral("bench password"));
}
BENCHMARK(BM_OpenEncryptedPackage10000Items)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
