// DMReportBuilder: the lines of the CSV export.
#include "DMReportBuilder.h"

#include "DMCSVText.h"
#include "DMDictionaryAccess.h"
#include "DMDurationSplit.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMReportDurations.h"

namespace DMReportBuilder {

void appendCSVTaskLines(const ItemList &items, const DMReportFormat &format, QString &content, int *row,
                        float *projectCost)
{
    DMProjectItem_forEachItem(items, [&](const DMProjectItem &item) {
        const bool milestone = item.kind() == kDMProjectItem_Kind_Milestone;
        if (item.kind() != kDMProjectItem_Kind_Task && !milestone)
            return;
        const auto &task = static_cast<const DMProjectTask &>(item);
        const qint64 span = DMDurationSplit::dayLengthForItem(task);
        const float cost = task.cost();
        *projectCost += cost;
        QStringList fields{task.title(), DMCSV_dateText(task.beginDate())};
        if (milestone)
            fields << QString() << QString() << QString() << QString();
        else
            fields << DMCSV_dateText(task.endDate()) << DMReport_csvDurationText(task.duration(), span)
                   << format.fileCurrency(cost)
                   << QStringLiteral("%1%").arg(DMReport_percent(task.progress()));
        fields << DMReport_csvDurationText(task.floatDuration(), span) << assignedNames(task);
        content += DMCSV_line(fields);
        ++*row;
    });
}

void appendCSVResourceLines(const ResourceList &resources, const DMReportFormat &format, QString &content, int *row)
{
    forEachResourceInGroups(resources, [&](const DMProjectResource &resource, float progress, float cost,
                                           const QString &info) {
        content += DMCSV_line({resource.name(), stringForKey(resource.attributes(), kDMProjectResource_Email),
                               stringForKey(resource.attributes(), kDMProjectResource_Phone),
                               baseRateText(resource, format.fileCurrency), format.fileCurrency(cost),
                               QStringLiteral("%1%").arg(DMReport_percent(progress)), QString(), info});
        ++*row;
    });
}

} // namespace DMReportBuilder
