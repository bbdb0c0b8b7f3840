#pragma once

#include "DMDate.h"
#include "DMImportReport.h"
#include "DMIndexSet_64.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace halcyra::test {

inline DMDate at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return DMDate(year, month, day, hour * 3600 + minute * 60 + second);
}

// What a project holds, counted over its whole item and resource trees.
struct ProjectCounts
{
    int tasks = 0;      // 'Task' items
    int milestones = 0;
    int processes = 0;
    int resources = 0;  // resources, not groups
    int assignments = 0;
    int links = 0;
    bool operator==(const ProjectCounts &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const ProjectCounts &c)
{
    return out << "{tasks " << c.tasks << ", milestones " << c.milestones << ", processes " << c.processes
               << ", resources " << c.resources << ", assignments " << c.assignments << ", links " << c.links << "}";
}

inline ProjectCounts countsOf(const DMProject &project)
{
    ProjectCounts c;
    DMProjectItem_forEachItem(project.tasks().list(), [&c](const DMProjectItem &item) {
        c.tasks += item.kind() == kDMProjectItem_Kind_Task;
        c.milestones += item.kind() == kDMProjectItem_Kind_Milestone;
        c.processes += item.kind() == kDMProjectItem_Kind_Process;
        c.links += int(item.outboundDependencies().size());
        if (const auto *task = dynamic_cast<const DMProjectTask *>(&item))
            c.assignments += int(task->concernedResources().size());
    });
    QList<std::shared_ptr<DMProjectResource>> stack = project.resources().list();
    while (!stack.isEmpty()) {
        const auto resource = stack.takeLast();
        if (resource->isGroup())
            stack.append(resource->subitems().list());
        else
            ++c.resources;
    }
    return c;
}

// The first item of the tree with that title, or null.
inline std::shared_ptr<DMProjectItem> itemTitled(const DMProject &project, const QString &title)
{
    std::shared_ptr<DMProjectItem> found;
    DMProjectItem_forEachItem(project.tasks().list(), [&](const DMProjectItem &item) {
        if (!found && item.title() == title)
            found = std::const_pointer_cast<DMProjectItem>(
                std::static_pointer_cast<const DMProjectItem>(item.shared_from_this()));
    });
    return found;
}

inline QStringList titlesOf(const QList<std::shared_ptr<DMProjectItem>> &items)
{
    QStringList titles;
    for (const auto &item : items)
        titles.append(item->title());
    return titles;
}

inline bool isNonWorkingWeekDay(const DMProject &project, int weekDay)
{
    const QVariant value = project.attribute(kDMProject_Settings_NonWorkingWeekDays);
    return value.canConvert<DMIndexSet_64>() && value.value<DMIndexSet_64>().containsIndex(weekDay);
}

// The text of the first element of that name in the XML, from the first place where `after` is
// when it is given; empty when there is none.
inline QString elementOf(const QString &text, const QString &name, const QString &after = QString())
{
    const qsizetype from = after.isEmpty() ? 0 : text.indexOf(after);
    const QRegularExpression pattern(QStringLiteral("<%1>([^<]*)</%1>").arg(name));
    return pattern.match(text, qMax<qsizetype>(0, from)).captured(1);
}

} // namespace halcyra::test
