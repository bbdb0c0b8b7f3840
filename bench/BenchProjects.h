#pragma once

#include "DMDate.h"
#include "DMProject.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"

#include <functional>
#include <memory>

// Appends `processes` processes of `tasksPerProcess` tasks of eight hours each, the tasks of a
// process one a day from 1 January 2024; setUp(task, n) finishes the n-th task (from 0).
inline void DMBench_addProcessesOfTasks(const std::shared_ptr<DMProject> &project, int processes, int tasksPerProcess,
                                        const std::function<void(DMProjectTask &, int)> &setUp)
{
    const DMDate start(2024, 1, 1, 8 * 3600);
    int n = 0;
    for (int p = 0; p < processes; ++p) {
        auto process = std::make_shared<DMProjectProcess>();
        process->setProject(project);
        process->setTitle(QStringLiteral("Process %1").arg(p));
        process->setBeginDateAndEndDate(start, start.dateByAddingSeconds(qint64(86400) * (tasksPerProcess + 10)));
        for (int t = 0; t < tasksPerProcess; ++t, ++n) {
            auto task = std::make_shared<DMProjectTask>();
            task->setProject(project);
            const DMDate begin = start.dateByAddingSeconds(qint64(86400) * t);
            task->setBeginDateAndEndDate(begin, begin.dateByAddingSeconds(8 * 3600));
            process->subitems().append(task);
            setUp(*task, n);
        }
        project->tasks().append(process);
    }
}
