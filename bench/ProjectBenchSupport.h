#pragma once

#include "DMGanttUIObjectFactory.h"
#include "DMProject.h"
#include "DMProjectDocument.h"
#include "DMProjectKeys.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"

#include <QApplication>
#include <QMainWindow>

#include <memory>

// A new project of `days` days from 1 January 2024, at 20 pixels a day, still loading: the caller
// adds its items and ends the loading.
inline std::shared_ptr<DMProject> benchBeginGanttProject(int days)
{
    DMGanttUIObjectFactory::registerWithModel();
    auto project = DMProject::create();
    project->beginLoading();
    const DMDate begin(2024, 1, 1, 0);
    project->setBeginDate(begin);
    project->setEndDate(begin.dateByAddingSeconds(qint64(days) * 86400));
    project->setAttribute(kDMProject_ViewMode, 0);
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 20.0f);
    return project;
}

// A project of the given number of items from 1 January 2024: processes of ten tasks each, all
// expanded, every task six hours on the day after the one before. With links, every task is
// linked to the next of its process, and more links two tasks ahead make as many links as items.
inline std::shared_ptr<DMProject> benchProjectOfProcesses(int items, bool linked)
{
    auto project = benchBeginGanttProject(items);
    const DMDate begin = project->beginDate();
    std::shared_ptr<DMProjectProcess> process;
    std::shared_ptr<DMProjectItem> previous;
    for (int i = 0; i < items; ++i) {
        if (i % 11 == 0) {
            process = std::make_shared<DMProjectProcess>();
            process->setProject(project);
            process->setTitle(QStringLiteral("Phase %1").arg(i / 11 + 1));
            process->setBeginDateAndEndDate(begin.dateByAddingSeconds(qint64(i) * 86400),
                                            begin.dateByAddingSeconds(qint64(i + 11) * 86400));
            process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
            project->tasks().append(process);
            continue;
        }
        auto task = std::make_shared<DMProjectTask>();
        task->setProject(project);
        task->setTitle(QStringLiteral("Task %1").arg(i + 1));
        const DMDate day = begin.dateByAddingSeconds(qint64(i) * 86400 + 9 * 3600);
        task->setBeginDateAndEndDate(day, day.dateByAddingSeconds(6 * 3600));
        process->subitems().append(task);
        if (linked && previous)
            previous->addOutboundDependencyToItem(task);
        previous = task;
    }
    if (linked) {
        int links = 0;
        for (const auto &phase : project->tasks())
            for (const auto &task : phase->subitems())
                links += int(task->outboundDependencies().size());
        for (const auto &phase : project->tasks()) {
            const auto &tasks = phase->subitems();
            for (qsizetype i = 0; i + 2 < tasks.size() && links < items; ++i)
                if (tasks.at(i)->addOutboundDependencyToItem(tasks.at(i + 2)))
                    ++links;
        }
    }
    project->endLoading();
    return project;
}

// The project's document with its window shown (1100 x 700) and its views laid out.
inline std::shared_ptr<DMProjectDocument> benchShownDocument(const std::shared_ptr<DMProject> &project)
{
    auto document = std::make_shared<DMProjectDocument>();
    document->setProject(project);
    document->makeWindowControllers();
    document->mainWindow()->resize(1100, 700);
    document->mainWindow()->show();
    QApplication::processEvents();
    document->reloadViews();
    return document;
}
