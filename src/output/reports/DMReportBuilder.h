#pragma once

#include "DMReportBody.h"
#include "DMReportOptions.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class DMProject;
class DMProjectItem;
class DMProjectProcess;
class DMProjectResource;
class DMProjectTask;

// The reports as functions of a project and the options of their page, with no widget: the
// global report, the tasks-by-resource and tasks-by-process reports, their title, and the rows of
// the CSV export. Every build reads the model afresh.
namespace DMReportBuilder {

using ItemList = QList<std::shared_ptr<DMProjectItem>>;
using ResourceList = QList<std::shared_ptr<DMProjectResource>>;

// The report the options ask for; none when a grouped report's resource or process is not in
// the project.
std::optional<DMReportBody> report(const DMProject &project, const DMReportOptions &options, const DMReportFormat &format);

// The global report: a header with the budget, the cost and what is left; a row per task of
// the item tree; a row per resource (the members of groups, not the groups).
DMReportBody globalReport(const DMProject &project, const DMReportOptions &options, const DMReportFormat &format);

// The report of one resource or process: the items within the options' dates, by date; a task
// below a chosen item is listed in the global report's form. A resource's rows show its cost on
// each task, a process's the tasks' costs. The header shows the project's dates, the completion,
// and the sum of the rows' costs.
DMReportBody resourceReport(const DMProject &project, const DMProjectResource &resource, const DMReportOptions &options,
                            const DMReportFormat &format);
DMReportBody processReport(const DMProject &project, const DMProjectProcess &process, const DMReportOptions &options,
                           const DMReportFormat &format);

// What the report is about: the project's title; on a grouped report "Assignments for" the
// resource or process, when it is in the project.
QString title(const DMProject &project, const DMReportOptions &options);

// The rows of the global report's task block: the tasks among the items and all their
// descendants, each with its cost (DMProjectItem::cost), which the project cost grows by (when
// costs are shown).
void appendTaskRows(const ItemList &items, const DMReportColumns &columns, const DMReportFormat &format,
                    DMReportBody &content, int *row, float *projectCost);
// The rows of the resources (the members of groups, not the groups), each with its cost: its
// shares of the tasks' costs.
void appendResourceRows(const ResourceList &resources, const DMReportColumns &columns, const DMReportFormat &format,
                        DMReportBody &content, int *row);

// CSV lines: one per task and milestone of the items and their descendants, each with its cost,
// which the project cost grows by.
void appendCSVTaskLines(const ItemList &items, const DMReportFormat &format, QString &content, int *row,
                        float *projectCost);
// One line per resource (the members of groups, depth first).
void appendCSVResourceLines(const ResourceList &resources, const DMReportFormat &format, QString &content, int *row);

// ---- Shared by the report rows and the CSV lines ----

// The names of the task's resources, joined by ", ".
QString assignedNames(const DMProjectTask &task);
// "<rate> / hour", "<rate> / day" or "Global", by the resource's cost kind.
QString baseRateText(const DMProjectResource &resource, const std::function<QString(double)> &currency);
// Every resource of the list and of the groups below it, depth first (groups themselves are not
// visited), with its progress, cost and info text.
void forEachResourceInGroups(
    const ResourceList &resources,
    const std::function<void(const DMProjectResource &, float progress, float cost, const QString &info)> &visit);

} // namespace DMReportBuilder
