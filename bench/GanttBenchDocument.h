#pragma once

// A project laid out in the Gantt view of a document window shown offscreen, for the benchmarks
// of what the user waits for on the canvas.

#include "DMDate.h"
#include "DMGanttUIObjectFactory.h"
#include "DMProject.h"
#include "DMProjectDocument.h"
#include "DMProjectKeys.h"

#include <QApplication>
#include <QMainWindow>

#include <memory>

// A new project of `days` days from 1 January 2024, at 20 pixels a day, still loading: the caller
// adds its items and ends the loading.
inline std::shared_ptr<DMProject> DMBench_beginGanttProject(int days)
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

// The project in a document window of 1100 x 700 on screen, its views loaded.
inline std::shared_ptr<DMProjectDocument> DMBench_showGanttDocument(const std::shared_ptr<DMProject> &project)
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
