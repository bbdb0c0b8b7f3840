#pragma once

#include <QtGlobal>

// The numbers the project and its document give a meaning to, each declared here once: the
// pages of a document window, the view and timeline modes stored in the project's attributes,
// and the cost kinds stored in items and resources. Files store the numbers: never renumber.

// ---- Pages ----

// The page tags: a page's identity throughout the application (the source list, the View menu,
// the new-item commands, the items view, printing and export). Tags 1 to 8 are also the kinds of
// the items view's arrays and cards; 13, 16 and tags above 20 are no page.
namespace DMPage {
enum Tag : int {
    NoPage = 0, // also a source-list header's tag
    ItemsResourcesPage = 1,
    ItemsTasksPage = 2,
    ItemsMilestonesPage = 3,
    ItemsProcessesPage = 4,
    ItemsToDoPage = 5,
    EventsPage = 6, // the event list; the items view's kind 6 is the events' cards
    DocumentsPage = 7,
    ItemsLinksPage = 8,
    ByResourcesPage = 9,
    GanttPage = 10,
    GlobalReportPage = 11,
    ProjectSettingsPage = 12,
    DaysOffPage = 14,
    StylesPage = 15,
    TasksPage = 17,
    ResourcesPage = 18,
    TasksByResourcePage = 19,
    TasksByProcessesPage = 20,
};
// The items view's request for every one of its arrays at once (updateItemsArrayWithTag).
inline constexpr int AllItemsArrays = NoPage;
} // namespace DMPage

// Whether choosing the tag shows a page.
constexpr bool DMPage_isPage(int tag)
{
    return (tag >= DMPage::ItemsResourcesPage && tag <= DMPage::ProjectSettingsPage) || tag == DMPage::DaysOffPage
        || tag == DMPage::StylesPage || (tag >= DMPage::TasksPage && tag <= DMPage::TasksByProcessesPage);
}

// Whether the tag is a kind of the items view's arrays and cards (1 to 8, events included).
constexpr bool DMPage_isItemsViewKind(int tag)
{
    return tag >= DMPage::ItemsResourcesPage && tag <= DMPage::ItemsLinksPage;
}

// Whether the page is the items view: every kind but the events, whose page is their list.
constexpr bool DMPage_showsItemsView(int tag)
{
    return DMPage_isItemsViewKind(tag) && tag != DMPage::EventsPage;
}

// The Gantt area, by tasks or by resources.
constexpr bool DMPage_isGantt(int tag)
{
    return tag == DMPage::GanttPage || tag == DMPage::ByResourcesPage;
}

// The report area: the three reports, each printed from the report view.
constexpr bool DMPage_isReport(int tag)
{
    return tag == DMPage::GlobalReportPage || tag == DMPage::TasksByResourcePage || tag == DMPage::TasksByProcessesPage;
}

// The reports whose PDF the export and share commands send. The tasks-by-processes report is
// printed but neither exported nor shared: those commands do nothing on its page.
constexpr bool DMPage_exportsReport(int tag)
{
    return tag == DMPage::GlobalReportPage || tag == DMPage::TasksByResourcePage;
}

// ---- Modes stored in the project's attributes ----

// kDMProject_ViewMode and DMProject_DisplayAttributes::viewMode; also the view mode a canvas
// object is made for.
enum DMProjectViewMode : qint32 {
    kDMProjectViewMode_Gantt = 0,     // items on their outline rows
    kDMProjectViewMode_Resources = 1, // items on the rows of their resources
    kDMProjectViewMode_Reports = 2,   // a report is shown: no outline rows, no bars
};

// Whether the project outline and the canvas show rows and bars in the mode.
constexpr bool DMProjectViewMode_showsRows(qint64 mode)
{
    return mode == kDMProjectViewMode_Gantt || mode == kDMProjectViewMode_Resources;
}

// kDMProject_TimelineViewMode and DMProject_DisplayAttributes::timelineViewMode: the timeline's
// scale. The whole-project mode shows the custom time span (printing sets it too).
enum DMTimelineViewMode : qint32 {
    kDMTimelineViewMode_Day = 0, // columns of quarter hours of the working day
    kDMTimelineViewMode_Week = 1,
    kDMTimelineViewMode_Month = 2,
    kDMTimelineViewMode_Year = 3,
    kDMTimelineViewMode_WholeProject = 4,
};

// A stored timeline mode brought into the modes' range.
constexpr qint32 DMTimelineViewMode_clamped(qint64 mode)
{
    return mode < kDMTimelineViewMode_Day            ? kDMTimelineViewMode_Day
        : mode > kDMTimelineViewMode_WholeProject ? kDMTimelineViewMode_WholeProject
                                                   : qint32(mode);
}

// ---- Cost kinds ----

// kDMProjectItem_CostKind of a task: what kDMProjectItem_Cost means. Whatever the kind, the
// costs of the task's resources on it add to the task's cost.
enum DMProjectItemCostKind : qint32 {
    kDMProjectItemCostKind_Fixed = 0,         // the task's own cost
    kDMProjectItemCostKind_Hourly = 1,        // a rate per hour of the duration
    kDMProjectItemCostKind_FromResources = 2, // unused: the task costs its resources only
};

constexpr bool DMProjectItemCostKind_isValid(qint64 kind)
{
    return kind >= kDMProjectItemCostKind_Fixed && kind <= kDMProjectItemCostKind_FromResources;
}

// kDMProjectResource_CostKind of a resource: what kDMProjectResource_HourlyCost means.
enum DMProjectResourceCostKind : qint32 {
    kDMProjectResourceCostKind_Hourly = 0, // per hour of a task's duration
    kDMProjectResourceCostKind_Daily = 1,  // per working day of a task's duration
    kDMProjectResourceCostKind_Fixed = 2,  // once per task, not rate-based
};

constexpr bool DMProjectResourceCostKind_isValid(qint64 kind)
{
    return kind >= kDMProjectResourceCostKind_Hourly && kind <= kDMProjectResourceCostKind_Fixed;
}
