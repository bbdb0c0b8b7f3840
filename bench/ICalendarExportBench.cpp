// The iCalendar export of a project of 10,000 items (100 processes of 99 tasks and one
// milestone, two people assigned to every task, 200 to-dos): the whole file, as the command
// writes it, beside its place and then renamed into it.
#include "BenchProjects.h"
#include "BenchSupport.h"
#include "DMDate.h"
#include "DMModalUI.h"
#include "DMProject.h"
#include "DMProjectDocument.h"
#include "DMProjectDocumentUICallbacks.h"
#include "DMProjectKeys.h"
#include "DMProjectMilestone.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Answers the save panel with a fixed path.
class SavePanelAnswer : public DMModalUI
{
public:
    QString path;
    QString runSavePanel(const FilePanel &, QWidget * = nullptr) override { return path; }
};

std::shared_ptr<DMProject> makeProject()
{
    auto project = DMProject::create();
    project->setTitle(QStringLiteral("Ten thousand items"));
    const DMDate start(2024, 1, 1, 8 * 3600);
    QList<std::shared_ptr<DMProjectResource>> people;
    for (int r = 0; r < 20; ++r) {
        auto person = std::make_shared<DMProjectResource>();
        person->setProject(project);
        person->setName(QStringLiteral("Person %1, team \u00fc").arg(r));
        person->setAttribute(kDMProjectResource_Email, QStringLiteral("p%1@example.org").arg(r));
        project->resources().append(person);
        people.append(person);
    }
    DMBench_addProcessesOfTasks(project, 100, 99, [&people](DMProjectTask &task, int n) {
        task.setTitle(QStringLiteral("Task %1: pour the concrete; check, then sign off").arg(n));
        task.setAttribute(kDMProjectItem_Notes, QStringLiteral("Notes of task %1\nsecond line").arg(n));
        task.addResource(people.at(n % people.size()));
        task.addResource(people.at((n + 1) % people.size()));
    });
    const DMDate end = start.dateByAddingSeconds(86400 * 100);
    for (const auto &process : project->tasks()) {
        auto milestone = std::make_shared<DMProjectMilestone>();
        milestone->setProject(project);
        milestone->setTitle(QStringLiteral("Milestone of ") + process->title());
        milestone->setBeginDateAndEndDate(end, end);
        process->subitems().append(milestone);
    }
    for (int i = 0; i < 200; ++i) {
        auto todo = std::make_shared<DMProjectTodo>();
        todo->setProject(project);
        todo->setText(QStringLiteral("To-do %1").arg(i));
        todo->setDate(start.dateByAddingSeconds(qint64(86400) * i));
        project->todoContainer()->todos().append(todo);
    }
    return project;
}

void BM_ICalendarExport10000Items(benchmark::State &state)
{
    QTemporaryDir folder;
    SavePanelAnswer panel;
    panel.path = folder.filePath(QStringLiteral("Bench.ics"));
    DMModalUI::setInstance(&panel);
    auto document = std::make_shared<DMProjectDocument>();
    document->setProject(makeProject());
    for (auto _ : state)
        document->uiCallbacks()->exportToICalendar();
    state.counters["bytes"] = double(QFileInfo(panel.path).size());
    state.SetItemsProcessed(state.iterations() * 10000);
    DMModalUI::setInstance(nullptr);
}
BENCHMARK(BM_ICalendarExport10000Items)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
