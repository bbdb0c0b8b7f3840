#pragma once

#include "DMDate.h"
#include "DMIndexSet_64.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemGroup.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMUndoManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Dates and texts in failure messages as "2024-01-08 08:00:00" and as text.
inline void PrintTo(const DMDate &date, std::ostream *os)
{
    *os << date.description().toStdString();
}
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace halcyra::test {

inline DMDate at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return DMDate(year, month, day, hour * 3600 + minute * 60);
}

template <typename T>
std::shared_ptr<T> makeItem(const std::shared_ptr<DMProject> &project, const QString &title, const DMDate &begin,
                            const DMDate &end)
{
    auto item = std::make_shared<T>();
    item->setProject(project);
    item->setTitle(title);
    item->setBeginDateAndEndDate(begin, end);
    return item;
}

// 2024-01-08 is a Monday. Working time: 8:00 to 18:00, Saturdays and Sundays off.
inline std::shared_ptr<DMProject> workingWeekProject()
{
    auto project = DMProject::create();
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    DMMutableIndexSet_64 weekend;
    weekend.addIndex(0);
    weekend.addIndex(6);
    project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekend)));
    return project;
}

// A new item in the project's top level, or at the end of the parent's subitems.
template <typename T = DMProjectTask>
std::shared_ptr<T> addTask(const std::shared_ptr<DMProject> &project, const QString &title, const DMDate &begin,
                           const DMDate &end, const std::shared_ptr<DMProjectItem> &parent = nullptr)
{
    auto item = makeItem<T>(project, title, begin, end);
    if (parent)
        parent->subitems().append(item);
    else
        project->tasks().append(item);
    return item;
}

// Every item of the project's trees, each before its subitems.
inline QList<std::shared_ptr<DMProjectItem>> itemsOf(const DMProject &project)
{
    QList<std::shared_ptr<DMProjectItem>> all;
    DMProjectItem_forEachItem(project.tasks().list(), [&all](DMProjectItem &item) {
        all.append(std::static_pointer_cast<DMProjectItem>(item.shared_from_this()));
    });
    return all;
}

// A new resource (or group) of the project, in no list yet.
inline std::shared_ptr<DMProjectResource> makeResource(const std::shared_ptr<DMProject> &project, const QString &name,
                                                       int kind = DMProjectResource::Resource)
{
    auto resource = std::make_shared<DMProjectResource>(kind);
    resource->setProject(project);
    resource->setName(name);
    return resource;
}

// A new resource of the project, in no list yet, paid at the rate by the hour, the day or the task.
inline std::shared_ptr<DMProjectResource> makeResource(const std::shared_ptr<DMProject> &project, const QString &name,
                                                       DMProjectResourceCostKind costKind, double rate)
{
    auto resource = makeResource(project, name);
    resource->setAttribute(kDMProjectResource_CostKind, int(costKind));
    resource->setAttribute(kDMProjectResource_HourlyCost, rate);
    return resource;
}

inline std::shared_ptr<DMProjectDependency> link(const std::shared_ptr<DMProjectItem> &from,
                                                 const std::shared_ptr<DMProjectItem> &to,
                                                 int kind = DMProjectDependency::FinishToStart)
{
    auto dependency = from->addOutboundDependencyToItem(to);
    if (dependency)
        dependency->setKind(kind);
    return dependency;
}

inline void expectDates(const DMProjectItem &item, const DMDate &begin, const DMDate &end)
{
    EXPECT_EQ(item.beginDate(), begin) << item.title().toStdString();
    EXPECT_EQ(item.endDate(), end) << item.title().toStdString();
}

// Named parts of the project that holds every kind of object, attribute and setting.
struct FullProject
{
    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectProcess> process;
    std::shared_ptr<DMProjectTask> task1, task2;
    std::shared_ptr<DMProjectMilestone> milestone;
    std::shared_ptr<DMProjectItemGroup> group;
    std::shared_ptr<DMProjectItem> plainItem;
    std::shared_ptr<DMProjectResource> resourceGroup, resource1, resource2;
    std::shared_ptr<DMProjectEvent> event1, event2;
    std::shared_ptr<DMProjectTodo> todo1, separator, todo2;
};

inline FullProject makeFullProject()
{
    FullProject f;
    f.project = DMProject::create();
    DMProject &p = *f.project;
    p.setTitle(QStringLiteral("Bridge renovation"));
    p.setBeginDate(at(2024, 3, 4, 8));
    p.setEndDate(at(2024, 6, 28, 18));
    p.setAttribute(kDMProject_ViewMode, 1);
    p.setAttribute(kDMProject_TimelineViewMode, 2);
    p.setAttribute(kDMProject_TimelineViewPixelsPerDay, 30.5);
    p.setAttribute(kDMProject_TimelineViewTimeSpan,
                   QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(at(2024, 3, 1))},
                               {kDMTimeSpanEnd, QVariant::fromValue(at(2024, 7, 1))}});
    p.setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    DMMutableIndexSet_64 weekend;
    weekend.addIndex(0);
    weekend.addIndex(6);
    p.setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekend)));
    p.setAttribute(kDMProject_Settings_DaysOff,
                   QVariantList{QVariantMap{{QStringLiteral("kDMDayOffIndex"), DMProject_NonWorkingDayIndexForMonthDay(12, 25)}}});
    p.setAttribute(kDMProject_Settings_FirstDayOfWeek, 1);
    p.setAttribute(kDMProject_Settings_WeekFormat, 2);
    p.setAttribute(kDMProject_Settings_Budget, 125000.5);
    p.setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("EUR"));
    p.setAttribute(kDMProject_Settings_DefaultTaskDuration_Days, 1);
    p.setAttribute(kDMProject_Settings_DefaultTaskDuration_Hours, 2);
    p.setAttribute(kDMProject_Settings_DefaultTaskDuration_Minutes, 30);
    p.setAttribute(kDMProject_ItemsViewSortingModes, QVariantList{0, 1, 1});
    p.setAttribute(kDMProject_AttachedDocumentsTable,
                   QVariantMap{{QStringLiteral("doc1"), QVariantMap{{kDMProject_AttachedDocument_Path, QStringLiteral("Documents/plan.pdf")},
                                                                    {kDMProject_AttachedDocument_PendingAttachment, false}}}});
    p.setAttribute(kDMProject_AttachedDocuments, QVariantList{QStringLiteral("doc1")});

    f.process = makeItem<DMProjectProcess>(f.project, QStringLiteral("Works"), at(2024, 3, 4, 8), at(2024, 3, 22, 18));
    f.task1 = makeItem<DMProjectTask>(f.project, QStringLiteral("Survey"), at(2024, 3, 4, 8), at(2024, 3, 8, 18));
    f.task1->setProgress(0.5f);
    f.task1->setLocked(true);
    f.task1->setFillColor(QColor::fromRgbF(0.25f, 0.5f, 0.75f, 1.0f));
    f.task1->setAttribute(kDMProjectItem_Notes, QStringLiteral("Check the piers"));
    f.task1->setAttribute(kDMProjectItem_Cost, 80.0);
    f.task1->setAttribute(kDMProjectItem_CostKind, 1);
    f.task1->setAttribute(kDMProjectItem_HasFixedCost, true);
    f.task1->setAttribute(kDMProjectItem_FixedCost, 300.0);
    f.task1->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{QStringLiteral("doc1")});
    f.task1->setAttribute(kDMProjectItem_EnforceWorkingDatesOnDrag, true);
    f.milestone = makeItem<DMProjectMilestone>(f.project, QStringLiteral("Survey done"), at(2024, 3, 8, 18), at(2024, 3, 8, 18));
    f.group = makeItem<DMProjectItemGroup>(f.project, QStringLiteral("Deck"), at(2024, 3, 11, 8), at(2024, 3, 22, 18));
    f.group->setAttribute(kDMProjectItem_ExpandToFitSubitems, true);
    f.group->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, false);
    f.task2 = makeItem<DMProjectTask>(f.project, QStringLiteral("Resurface"), at(2024, 3, 11, 8), at(2024, 3, 22, 18));
    f.task2->setUseWorkingSchedule(false);
    f.plainItem = makeItem<DMProjectItem>(f.project, QStringLiteral("Note"), at(2024, 4, 1, 9), at(2024, 4, 1, 12));
    f.group->subitems().append(f.task2);
    f.process->subitems().append(f.task1);
    f.process->subitems().append(f.milestone);
    f.process->subitems().append(f.group);
    p.tasks().append(f.process);
    p.tasks().append(f.plainItem);

    f.task1->addOutboundDependencyToItem(f.milestone);
    auto styled = f.milestone->addOutboundDependencyToItem(f.task2);
    styled->setKind(2);
    styled->setColor(QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.5f));
    styled->setLinkStyle(3);
    styled->setHasArrow(false);
    styled->setDashStyle(2);
    styled->setThickness(1);
    f.task2->addInboundDependencyFromItem(f.task1);

    f.resourceGroup = std::make_shared<DMProjectResource>(DMProjectResource::Group);
    f.resourceGroup->setProject(f.project);
    f.resourceGroup->setName(QStringLiteral("Crew"));
    f.resource1 = std::make_shared<DMProjectResource>();
    f.resource1->setProject(f.project);
    f.resource1->setName(QStringLiteral("Ada"));
    f.resource1->setAttribute(kDMProjectResource_Email, QStringLiteral("ada@example.org"));
    f.resource1->setAttribute(kDMProjectResource_Phone, QStringLiteral("+44 20 0000"));
    f.resource1->setAttribute(kDMProjectResource_HourlyCost, 50.0);
    f.resource1->setAttribute(kDMProjectResource_CostKind, 0);
    f.resource1->setAttribute(kDMProjectResource_ResourceView_NodeIsExpanded, true);
    f.resource2 = std::make_shared<DMProjectResource>();
    f.resource2->setProject(f.project);
    f.resource2->setName(QStringLiteral("Crane"));
    f.resource2->setAttribute(kDMProjectResource_Human, false);
    f.resource2->setAttribute(kDMProjectResource_HourlyCost, 400.0);
    f.resource2->setAttribute(kDMProjectResource_CostKind, 1);
    f.resourceGroup->subitems().append(f.resource1);
    p.resources().append(f.resourceGroup);
    p.resources().append(f.resource2);
    f.task1->addResource(f.resource1);
    f.task1->addResource(f.resource2);
    f.milestone->addResource(f.resource1);

    f.event1 = makeItem<DMProjectEvent>(f.project, QStringLiteral("Inspection"), at(2024, 3, 5, 9), at(2024, 3, 5, 12));
    f.event2 = makeItem<DMProjectEvent>(f.project, QStringLiteral("Audit"), at(2024, 3, 5, 10), at(2024, 3, 5, 11));
    p.eventContainer()->events().append(f.event1);
    p.eventContainer()->events().append(f.event2);

    f.todo1 = std::make_shared<DMProjectTodo>();
    f.todo1->setProject(f.project);
    f.todo1->setText(QStringLiteral("Order asphalt"));
    f.todo1->setDate(at(2024, 3, 9, 12));
    f.separator = std::make_shared<DMProjectTodo>(kDMProjectTodo_Kind_Separator);
    f.separator->setProject(f.project);
    f.separator->setAttribute(kDMProjectTodo_Collapsed, true);
    f.todo2 = std::make_shared<DMProjectTodo>();
    f.todo2->setProject(f.project);
    f.todo2->setText(QStringLiteral("Book crane"));
    f.todo2->setDone(true);
    f.todo2->setNoDueDate(true);
    p.todoContainer()->todos().append(f.todo1);
    p.todoContainer()->todos().append(f.separator);
    p.todoContainer()->todos().append(f.todo2);
    p.todoContainer()->setSortingMode(1);
    return f;
}

// Compares two projects field by field (not through their dictionaries): items, their kinds,
// parents, links and assignments by object ID, resources, events, to-dos and settings.
void expectSameProject(const DMProject &a, const DMProject &b);

// Where two dictionary forms first differ ("tasks[2].outboundDependencies[0].kind: 1 / 3"),
// empty when they are equal; for readable failures of dictionary comparisons.
std::string firstDifference(const QVariant &a, const QVariant &b);

// The dictionary of a project whose file takes more than a megabyte: kLargeProjectItems top-level
// items, with IDs from kLargeProjectFirstID on, of every class; processes and groups with
// subitems; links from every seventh item to the one a third of the file further on (so from
// part to part of the file, closing cycles across them); tasks assigned to resources; and damage
// spread over the file: the same kinds of problem early and late with different details, an ID
// given twice far apart, unknown classes, elements that are no dictionaries, unreadable IDs and
// dates, links and assignments to nothing.
constexpr int kLargeProjectItems = 4200;
constexpr qint64 kLargeProjectFirstID = 1000;
QVariantMap largeProjectDictionary();

// An undo manager that makes one step per explicit group, for exact undo and redo checks.
struct StepUndo
{
    StepUndo(const std::shared_ptr<DMProject> &project)
    {
        manager.setGroupsByEvent(false);
        project->setUndoManager(&manager);
    }
    template <typename F>
    void step(F &&change)
    {
        manager.beginUndoGrouping();
        change();
        manager.endUndoGrouping();
    }
    DMUndoManager manager{false};
};

} // namespace halcyra::test
