#pragma once

#include "DMProjectUIObjectFactory.h"

// Makes the Gantt objects of the model's items and links: task bars for tasks, diamonds for
// milestones, brackets for processes, event bars for events, group bars for item groups, plain
// item bars for any other kind, and a link line for each dependency. An item's object is made
// with frame {0, 0, 10, 10}, visible in the requested view mode, representing the item, in the
// item's fill colour, with its frame taken from the item's dates. A link line shows in the Gantt
// view only and is placed between its bars at once.
class DMGanttUIObjectFactory : public DMProjectUIObjectFactory
{
public:
    std::shared_ptr<DMProjectItemUIObject> newUIObjectForItem(DMProjectItem &item, int viewMode) override;
    std::shared_ptr<DMProjectDependencyUIObject> newUIObjectForDependency(DMProjectDependency &dependency) override;

    // Registers the process-wide factory with the model (the application does it at start-up).
    static void registerWithModel();
    // The title attributes of every kind of bar are read again from the user defaults (after the
    // preference "kDMHalcyra_ProjectViewFontSize" changed). Bars already made take them when
    // their document's canvas is told (DMProjectDocumentObjectViewDataSource::titleAttributesDidChange).
    static void resetDefaultTitleAttributes();
};
