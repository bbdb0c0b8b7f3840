// DMReportBuilder: the global report, and what the reports and the CSV lines share.
#include "DMReportBuilder.h"

#include "DMDictionaryAccess.h"
#include "DMDurationSplit.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMReportDurations.h"

#include <vector>

namespace DMReportBuilder {

QString assignedNames(const DMProjectTask &task)
{
    QStringList names;
    for (const auto &resource : task.concernedResources())
        if (!resource->name().isEmpty())
            names.append(resource->name());
    return names.join(QStringLiteral(", "));
}

QString baseRateText(const DMProjectResource &resource, const std::function<QString(double)> &currency)
{
    const double rate = doubleForKey(resource.attributes(), kDMProjectResource_HourlyCost);
    switch (integerForKey(resource.attributes(), kDMProjectResource_CostKind)) {
    case kDMProjectResourceCostKind_Hourly:
        return DMLocalizedString("%1 / hour").arg(currency(rate));
    case kDMProjectResourceCostKind_Daily:
        return DMLocalizedString("%1 / day").arg(currency(rate));
    case kDMProjectResourceCostKind_Fixed:
        return DMLocalizedString("Global");
    default:
        return QString();
    }
}

void forEachResourceInGroups(
    const ResourceList &resources,
    const std::function<void(const DMProjectResource &, float progress, float cost, const QString &info)> &visit)
{
    std::vector<const DMProjectResource *> stack;
    for (auto it = resources.crbegin(); it != resources.crend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        const DMProjectResource *resource = stack.back();
        stack.pop_back();
        if (resource->kind() == DMProjectResource::Group) {
            const auto &members = resource->subitems().list();
            for (auto it = members.crbegin(); it != members.crend(); ++it)
                stack.push_back(it->get());
        } else if (resource->kind() == DMProjectResource::Resource) {
            float progress = 0.0f;
            float cost = 0.0f;
            QString info;
            resource->computeProgressCostInfoString(&progress, &cost, &info);
            visit(*resource, progress, cost, info);
        }
    }
}

// ---- The global report ----

void appendTaskRows(const ItemList &items, const DMReportColumns &columns, const DMReportFormat &format,
                    DMReportBody &content, int *row, float *projectCost)
{
    DMProjectItem_forEachItem(items, [&](const DMProjectItem &item) {
        if (item.kind() != kDMProjectItem_Kind_Task)
            return;
        const auto &task = static_cast<const DMProjectTask &>(item);
        const qint64 span = DMDurationSplit::dayLengthForItem(task);
        DMReportTaskRow line;
        line.form = DMReportRowForm::GlobalTask;
        line.row = *row;
        line.title = task.title();
        line.beginText = format.dateAndTime(task.beginDate());
        line.endText = format.dateAndTime(task.endDate());
        line.durationText = DMReport_durationText(task.duration(), span);
        line.floatText = DMReport_floatText(task.floatDuration(), span);
        line.percent = DMReport_percent(task.progress());
        line.lineText = assignedNames(task);
        if (columns.showCost) {
            const float cost = task.cost();
            *projectCost += cost;
            line.costText = format.currency(cost);
        }
        content += line;
        ++*row;
    });
}

void appendResourceRows(const ResourceList &resources, const DMReportColumns &columns, const DMReportFormat &format,
                        DMReportBody &content, int *row)
{
    forEachResourceInGroups(resources, [&](const DMProjectResource &resource, float progress, float cost,
                                           const QString &info) {
        QString contact;
        const QString email = stringForKey(resource.attributes(), kDMProjectResource_Email);
        const QString phone = stringForKey(resource.attributes(), kDMProjectResource_Phone);
        if (!email.isEmpty())
            contact += email + QLatin1Char(' ');
        contact += phone;
        DMReportTaskRow line;
        line.form = DMReportRowForm::Resource;
        line.row = *row;
        line.title = resource.name();
        line.beginText = contact;
        line.durationText = baseRateText(resource, format.currency);
        line.costText = columns.showCost ? format.currency(cost) : QString();
        line.percent = DMReport_percent(progress);
        line.lineText = info;
        content += line;
        ++*row;
    });
}

DMReportBody globalReport(const DMProject &project, const DMReportOptions &options, const DMReportFormat &format)
{
    const DMReportColumns &shown = options.columns;
    int row = 0;
    float projectCost = 0.0f;
    DMReportHeader header;
    header.colorText = format.headerColorText;
    header.logoPath = format.logoPath;
    header.columns = shown;

    DMReportBody rows(shown);
    appendTaskRows(project.tasks().list(), shown, format, rows, &row, &projectCost);
    rows += DMReport_separatorRow() + DMReport_mainTableClosing() + DMReport_mainTableOpening()
        + QStringLiteral("<br/><br/><br/><br/><br/><br/><br/>\n");
    rows += DMReport_columnHeaderRow(header.colorText,
                                     {DMLocalizedString("Resources"), QString(), DMLocalizedString("Base"),
                                      shown.showCost ? DMLocalizedString("Cost") : QString(),
                                      shown.showCompletion ? DMLocalizedString("Completion") : QString(), QString()},
                                     shown);
    // The resources' costs are shares of the tasks' costs, already in the total.
    appendResourceRows(project.resources().list(), shown, format, rows, &row);
    rows += DMReport_separatorRow() + DMReport_mainTableClosing();

    const double budget = doubleForKey(project.attributes(), kDMProject_Settings_Budget);
    header.title = project.title();
    header.beginText = format.calendarDate(project.effectiveBeginDate());
    header.endText = format.calendarDate(project.effectiveEndDate());
    header.budgetText = format.currency(budget);
    header.costText = format.currency(projectCost);
    header.leftText = format.currency(double(float(budget) - projectCost));
    // The header is known once the rows have added up the cost: it goes before them.
    DMReportBody body(shown);
    body += DMReport_mainTableOpening() + DMReport_headerTable(header);
    body += rows;
    return body;
}

} // namespace DMReportBuilder
