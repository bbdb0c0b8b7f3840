// DMReportBuilder: the tasks-by-resource and tasks-by-process reports.
#include "DMReportBuilder.h"

#include "DMDictionaryAccess.h"
#include "DMDurationSplit.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMReportDurations.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace DMReportBuilder {

namespace {

// The grouped report's resource or process, when the project has it.
template <typename T>
std::shared_ptr<T> chosenObject(const DMProject &project, const DMReportOptions &options)
{
    return options.chosenObjectID ? project.objectWithIDAndClass<T>(options.chosenObjectID) : nullptr;
}

// "%.0f%%" of progress x 100, rounded half away from zero.
QString completionText(double progress)
{
    const double percent = std::isfinite(progress) ? std::round(progress * 100.0) : 0.0;
    return QStringLiteral("%1%").arg(qint64(percent));
}

// The items that begin and end within the options' dates (both included; a null date is the
// project's own), each once, in their first order, then by date.
ItemList chosenItems(const DMProject &project, const ItemList &candidates, const DMReportOptions &options)
{
    const DMDate begin = options.begin.isNull() ? project.effectiveBeginDate() : options.begin;
    const DMDate end = options.end.isNull() ? project.effectiveEndDate() : options.end;
    ItemList chosen;
    QSet<const DMProjectItem *> seen;
    for (const auto &item : candidates) {
        if (!item || seen.contains(item.get()))
            continue;
        if (item->beginDate().compare(begin) >= 0 && item->endDate().compare(end) <= 0) {
            seen.insert(item.get());
            chosen.append(item);
        }
    }
    std::stable_sort(chosen.begin(), chosen.end(),
                     [](const auto &a, const auto &b) { return a->chronologicalCompare(*b) < 0; });
    return chosen;
}

// The rows of the chosen items, each task's costing what costOf says; the tasks below a chosen
// item are listed in the global report's form. *totalCost grows by the cost of every row when
// costs are shown.
void appendGroupedRows(const ItemList &items, const std::function<float(const DMProjectTask &)> &costOf,
                       const DMReportColumns &columns, const DMReportFormat &format, DMReportBody &content, int *row,
                       float *totalCost)
{
    for (const auto &item : items) {
        if (item->kind() == kDMProjectItem_Kind_Task) {
            const qint64 span = DMDurationSplit::dayLengthForItem(*item);
            DMReportTaskRow line;
            line.form = DMReportRowForm::GroupedTask;
            line.row = *row;
            line.title = item->title();
            line.beginText = format.dateAndTime(item->beginDate());
            line.endText = format.dateAndTime(item->endDate());
            line.durationText = DMReport_durationText(item->duration(), span);
            line.floatText = DMReport_floatText(item->floatDuration(), span);
            line.percent = DMReport_percent(item->progress());
            line.lineText = stringForKey(item->attributes(), kDMProjectItem_Notes);
            if (columns.showCost) {
                const float cost = costOf(static_cast<const DMProjectTask &>(*item));
                *totalCost += cost;
                line.costText = format.currency(cost);
            }
            content += line;
            ++*row;
        }
        appendTaskRows(item->subitems().list(), columns, format, content, row, totalCost);
    }
}

// A grouped report of the items under a header with the title, the completion and the cost of
// the rows. The header shows the project's dates.
DMReportBody groupedReport(const DMProject &project, const QString &title, double progress, const ItemList &items,
                           const std::function<float(const DMProjectTask &)> &costOf, const DMReportOptions &options,
                           const DMReportFormat &format)
{
    int row = 0;
    float total = 0.0f;
    DMReportHeader header;
    header.columns = options.columns;
    DMReportBody rows(header.columns);
    appendGroupedRows(items, costOf, header.columns, format, rows, &row, &total);

    header.title = title;
    header.beginText = format.calendarDate(project.effectiveBeginDate());
    header.endText = format.calendarDate(project.effectiveEndDate());
    header.costText = header.columns.showCost ? format.currency(total) : QString();
    header.completionText = completionText(progress);
    header.colorText = format.headerColorText;
    header.logoPath = format.logoPath;
    DMReportBody body(header.columns);
    body += DMReport_mainTableOpening() + DMReport_headerTableForTasksByResource(header);
    body += rows;
    body += DMReport_separatorRow() + DMReport_mainTableClosing();
    return body;
}

} // namespace

std::optional<DMReportBody> report(const DMProject &project, const DMReportOptions &options, const DMReportFormat &format)
{
    switch (options.kind) {
    case DMReportOptions::Kind::Global:
        return globalReport(project, options, format);
    case DMReportOptions::Kind::TasksByResource:
        if (const auto resource = chosenObject<DMProjectResource>(project, options))
            return resourceReport(project, *resource, options, format);
        break;
    case DMReportOptions::Kind::TasksByProcess:
        if (const auto process = chosenObject<DMProjectProcess>(project, options))
            return processReport(project, *process, options, format);
        break;
    }
    return std::nullopt;
}

DMReportBody resourceReport(const DMProject &project, const DMProjectResource &resource, const DMReportOptions &options,
                            const DMReportFormat &format)
{
    // Each task's row shows the resource's share of it.
    ItemList tasks;
    for (const auto &task : resource.assignedTasks())
        tasks.append(task);
    return groupedReport(project, resource.name(), resource.progress(), chosenItems(project, tasks, options),
                         [&resource](const DMProjectTask &task) { return resource.costForTask(task); }, options, format);
}

DMReportBody processReport(const DMProject &project, const DMProjectProcess &process, const DMReportOptions &options,
                           const DMReportFormat &format)
{
    return groupedReport(project, process.title(), process.progress(), chosenItems(project, process.subitems().list(), options),
                         [](const DMProjectTask &task) { return task.cost(); }, options, format);
}

QString title(const DMProject &project, const DMReportOptions &options)
{
    if (options.kind == DMReportOptions::Kind::TasksByResource) {
        if (const auto resource = chosenObject<DMProjectResource>(project, options))
            return DMLocalizedString("Assignments for %1").arg(resource->name());
    } else if (options.kind == DMReportOptions::Kind::TasksByProcess) {
        if (const auto process = chosenObject<DMProjectProcess>(project, options))
            return DMLocalizedString("Assignments for %1").arg(process->title());
    }
    return project.title();
}

} // namespace DMReportBuilder
