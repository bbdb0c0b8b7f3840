#include "DMPenduloProjectConverter.h"

#include "DMImportReport.h"
#include "DMImportSupport.h"
#include "DMIndexSet_64.h"
#include "DMKeyedUnarchiver.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectKeys.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMPropertyList.h"
#include "DMRegularFile.h"
#include "NSRectObject.h"
#include "ZQAlert.h"
#include "ZQDependency.h"
#include "ZQProject.h"
#include "ZQRessourcesTree.h"
#include "ZQTask.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QStandardPaths>

namespace {

const QString kLogPrefix = QStringLiteral("PenduloProject Importer: ");

enum TaskType { Task = 0, Process = 1, Milestone = 4, TaskOffSchedule = 5 };

DMDate dayStart(const DMDate &date)
{
    return DMDate::dateWithJulianDay(date.julianDay(), 0);
}

class Importer
{
public:
    Importer(DMProject &project, DMImportReport &report)
        : m_project(project), m_projectPointer(project.shared_from_this()), m_report(report)
    {
    }

    bool run(const QByteArray &data, const QStringList &preferencesFolders);

private:
    void readWorkingWeek(const QStringList &folders);
    void readResources(const ZQProject &archived);
    void readHeader(const ZQProject &archived);
    void readAlerts(const ZQProject &archived);
    void readTasks(const ZQProject &archived);
    std::shared_ptr<DMProjectItem> makeItem(const ZQTask &task);
    void taskDates(const ZQTask &task, bool onSchedule, bool milestone, DMDate *begin, DMDate *end);
    void readLinks(const ZQProject &archived);
    // An archive may list one object many times (a reference costs it a few bytes): it is
    // imported once, and the repeats are counted as skipped.
    template <typename T>
    bool isFirstMention(const T *object, QSet<const T *> &seen)
    {
        if (!seen.contains(object)) {
            seen.insert(object);
            return true;
        }
        m_report.skip(kLogPrefix + QStringLiteral("an object listed twice in the archive is imported once."));
        return false;
    }

    DMProject &m_project;
    std::shared_ptr<DMProject> m_projectPointer;
    DMImportReport &m_report;
    DMPenduloProjectConverter::TranslationTable m_table;
    int m_dayBegin = 0;
    int m_dayEnd = 1440;
};

bool Importer::run(const QByteArray &data, const QStringList &preferencesFolders)
{
    DMProjectLoadingScope loading(m_project);
    // The working day that the archive's dates are moved into: the project's own, before import.
    m_dayBegin = m_project.workingCalendar().dayBeginMinute();
    m_dayEnd = m_project.workingCalendar().dayEndMinute();
    readWorkingWeek(preferencesFolders);

    DMKeyedUnarchiver unarchiver(data);
    if (!unarchiver.isValid()) {
        m_report.fail(unarchiver.errorString());
        return false;
    }
    DMPenduloProjectConverter::registerArchiveClasses(unarchiver);
    const QVariant root = unarchiver.decodeTopObjectForKey(QStringLiteral("root"));
    const std::shared_ptr<ZQProject> archived = DMArchivedObject_cast<ZQProject>(root);
    // Every object the project reaches is read by now. An archive with a damaged object (a
    // cycle, a reference out of range, a value of the wrong type, an unknown class) is not
    // trusted with the rest either.
    if (!unarchiver.problems().isEmpty()) {
        for (const QString &problem : unarchiver.problems())
            m_report.log(kLogPrefix + problem);
        m_report.fail(QStringLiteral("The archive is damaged: %1.").arg(unarchiver.problems().first()));
        return false;
    }
    if (!archived) {
        m_report.fail(QStringLiteral("The archive's root object is not a PenduloProject project."));
        return false;
    }

    readResources(*archived);
    m_project.setAttribute(kDMProject_Settings_Budget, double(float(archived->projectCost())));
    readHeader(*archived);
    readAlerts(*archived);
    readTasks(*archived);
    readLinks(*archived);
    m_project.setAttribute(kDMProject_ClearFilename, true);
    m_project.setAttribute(kDMProject_ClearFromRecentItems, true);
    return true;
}

void Importer::readWorkingWeek(const QStringList &folders)
{
    const QVariantMap preferences = DMPenduloProjectConverter::earlierPreferencesInFolders(folders);
    const QVariant activeDays = preferences.value(QStringLiteral("active days"));
    if (activeDays.metaType().id() != QMetaType::QVariantList)
        return;
    DMMutableIndexSet_64 nonWorking;
    const QVariantList days = activeDays.toList();
    for (int day = 0; day < 7 && day < days.size(); ++day)
        if (!days.at(day).toBool())
            nonWorking.addIndex(day);
    m_project.setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(nonWorking)));
}

void Importer::readResources(const ZQProject &archived)
{
    const std::shared_ptr<ZQRessourcesTree> tree = archived.ressources();
    if (!tree || tree->ressourcesTree().isEmpty())
        return;
    const auto rootNode = DMArchivedObject_cast<DMArchivedDictionary>(tree->ressourcesTree().first());
    if (!rootNode) {
        m_report.skip(kLogPrefix + QStringLiteral("the resource tree has no readable root; no resources are imported."));
        return;
    }
    QList<std::shared_ptr<DMProjectResource>> resources;
    DMPenduloProjectConverter::importPenduloProjectResourcesInArrayTargetProjectTranslationTable(
        rootNode->value(QStringLiteral("Childs")).toList(), resources, m_project, m_table, m_dayBegin, m_dayEnd, m_report);
    m_project.resources().insertObjects(m_project.resources().size(), resources);
}

void Importer::readHeader(const ZQProject &archived)
{
    m_project.setTitle(archived.projectName());
    const DMDate begin = DMDate::dateWithNSDate(archived.projectBeginDate());
    const DMDate end = DMDate::dateWithNSDate(archived.projectEndDate());
    m_project.setBeginDate(begin);
    m_project.setEndDate(end);
    if (begin.isValid() && end.isValid()) {
        const QVariantMap span{{kDMTimeSpanBegin, QVariant::fromValue(dayStart(begin))},
                               {kDMTimeSpanEnd, QVariant::fromValue(dayStart(end))}};
        m_project.setAttribute(kDMProject_TimelineViewCustomTimeSpan, span);
        m_project.setAttribute(kDMProject_TimelineViewTimeSpan, span);
    }
}

void Importer::readAlerts(const ZQProject &archived)
{
    QList<std::shared_ptr<DMProjectEvent>> events;
    QSet<const ZQAlert *> seen;
    for (const QVariant &entry : archived.projectAlerts()) {
        const std::shared_ptr<ZQAlert> alert = DMArchivedObject_cast<ZQAlert>(entry);
        if (alert && !isFirstMention(alert.get(), seen))
            continue;
        DMDate begin = alert ? DMDate::dateWithNSDate(alert->alertStartHour()) : DMDate();
        if (begin.isNull()) {
            m_report.skip(kLogPrefix + QStringLiteral("an alert without a readable start is skipped."));
            continue;
        }
        // The end is a time of day on the alert's first day.
        const DMDate endHour = DMDate::dateWithNSDate(alert->alertEndHour());
        DMDate end = DMDate::dateWithJulianDay(begin.julianDay(), endHour.isValid() ? endHour.secondOfDay() : begin.secondOfDay());
        if (end < begin) {
            std::swap(begin, end);
            m_report.repair(kLogPrefix + QStringLiteral("alert \"%1\" ends before it begins! Inverting them.").arg(alert->alertName()));
        } else if (end == begin) {
            end = begin.dateByAddingSeconds(60);
            m_report.repair(kLogPrefix + QStringLiteral("alert \"%1\" begins and ends at the same time! Making it 1 minute long.").arg(alert->alertName()));
        }
        auto event = std::make_shared<DMProjectEvent>();
        event->setProject(m_projectPointer);
        event->setTitle(alert->alertName());
        event->setBeginDateAndEndDate(begin, end);
        events.append(event);
    }
    auto &list = m_project.eventContainer()->events();
    list.insertObjects(list.size(), events);
}

void Importer::readTasks(const ZQProject &archived)
{
    QList<std::shared_ptr<DMProjectItem>> items;
    QSet<const ZQTask *> seen;
    for (const QVariant &entry : archived.projectTasks()) {
        const std::shared_ptr<ZQTask> task = DMArchivedObject_cast<ZQTask>(entry);
        if (!task) {
            m_report.skip(kLogPrefix + QStringLiteral("an entry of the project's tasks that is no task is skipped."));
            continue;
        }
        if (!isFirstMention(task.get(), seen))
            continue;
        if (std::shared_ptr<DMProjectItem> item = makeItem(*task)) {
            task->setNewProjectItem(item);
            items.append(item);
        }
    }
    m_project.tasks().insertObjects(m_project.tasks().size(), items);
}

std::shared_ptr<DMProjectItem> Importer::makeItem(const ZQTask &task)
{
    std::shared_ptr<DMProjectItem> item;
    switch (task.type()) {
    case Task:
    case TaskOffSchedule: item = std::make_shared<DMProjectTask>(); break;
    case Process: item = std::make_shared<DMProjectProcess>(); break;
    case Milestone: item = std::make_shared<DMProjectMilestone>(); break;
    default:
        m_report.skip(kLogPrefix + QStringLiteral("item \"%1\" of the unknown type %2 is skipped.").arg(task.taskName()).arg(task.type()));
        return nullptr;
    }
    const bool onSchedule = task.type() != TaskOffSchedule;
    const bool milestone = task.type() == Milestone;
    item->setProject(m_projectPointer);
    item->setUseWorkingSchedule(onSchedule);
    if (task.usesCostPerTask()) {
        item->setAttribute(kDMProjectItem_CostKind, kDMProjectItemCostKind_Fixed);
        item->setAttribute(kDMProjectItem_Cost, task.cost());
    } else {
        item->setAttribute(kDMProjectItem_CostKind, kDMProjectItemCostKind_FromResources);
        item->setAttribute(kDMProjectItem_Cost, 0.0);
    }
    item->setAttribute(kDMProjectItem_Notes, task.taskNotes().isNull() ? QVariant() : QVariant(task.taskNotes()));

    DMDate begin;
    DMDate end;
    taskDates(task, onSchedule, milestone, &begin, &end);
    if (milestone)
        item->setBeginDate(begin); // a milestone is one moment: its begin
    else
        item->setBeginDateAndEndDate(begin, end);
    item->setTitle(task.taskName());
    item->setProgress(float(double(task.taskCompletion()) * 0.01));
    if (task.taskColor().isValid())
        item->setFillColor(task.taskColor().toRgb());
    if (auto assignable = std::dynamic_pointer_cast<DMProjectTask>(item))
        for (const QVariant &node : task.taskRessources())
            if (auto resource = DMPenduloProjectConverter::DMPenduloProjectConverter_newResourceForPenduloResource(
                    DMArchivedObject_cast<DMArchivedObject>(node).get(), m_table))
                assignable->addResource(resource);
    return item;
}

// The item's dates: the archived ones moved into the working day when the item uses it (an end
// archived at 23:59 lands on the working day's end), in order and apart; dates the archive
// lacks come from the project's begin as a one-day span.
void Importer::taskDates(const ZQTask &task, bool onSchedule, bool milestone, DMDate *begin, DMDate *end)
{
    *begin = DMDate::dateWithNSDate(task.taskBeginDate());
    *end = DMDate::dateWithNSDate(task.taskEndDate());
    if (begin->isNull() || end->isNull()) {
        DMDate anchor = begin->isValid() ? *begin : end->isValid() ? end->dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, -1, 0, 0, 0)
                                                                  : m_project.beginDate();
        if (anchor.isNull())
            anchor = dayStart(DMDate::dateForNow());
        *begin = anchor;
        *end = anchor.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, 1, 0, 0, 0);
        m_report.repair(kLogPrefix + QStringLiteral("item \"%1\" has no dates! Giving it one day from %2.")
                                         .arg(task.taskName(), begin->description()));
        return;
    }
    if (onSchedule) {
        *begin = begin->dateByAddingSeconds(qint64(m_dayBegin) * 60);
        *end = end->dateByAddingSeconds(qint64(m_dayEnd - 1439) * 60);
    }
    if (milestone)
        return;
    if (*begin > *end) {
        m_report.repair(kLogPrefix + QStringLiteral("item \"%1\" end date is earlier than its begin date! Inverting them.").arg(task.taskName()));
        std::swap(*begin, *end);
    } else if (*begin == *end) {
        m_report.repair(kLogPrefix + QStringLiteral("item \"%1\" begins and ends at the same date! Making it 1 minute long.").arg(task.taskName()));
        *end = begin->dateByAddingSeconds(60);
    }
}

void Importer::readLinks(const ZQProject &archived)
{
    for (const QVariant &entry : archived.projectDependencies()) {
        const std::shared_ptr<ZQDependency> link = DMArchivedObject_cast<ZQDependency>(entry);
        const std::shared_ptr<ZQTask> preceding = link ? link->dependencyPrecedingTask() : nullptr;
        const std::shared_ptr<ZQTask> following = link ? link->dependencyFollowingTask() : nullptr;
        const std::shared_ptr<DMProjectItem> from = preceding ? preceding->newProjectItem() : nullptr;
        const std::shared_ptr<DMProjectItem> to = following ? following->newProjectItem() : nullptr;
        // A link from or to a task that was skipped or is missing makes nothing.
        if (!from || !to) {
            m_report.skip(kLogPrefix + QStringLiteral("a link from \"%1\" to \"%2\" reaches a task that was not imported; it is skipped.")
                                           .arg(preceding ? preceding->taskName() : QStringLiteral("?"),
                                                following ? following->taskName() : QStringLiteral("?")));
            continue;
        }
        if (const std::shared_ptr<DMProjectDependency> dependency = from->addOutboundDependencyToItem(to))
            dependency->setColor(QColor::fromRgbF(0.0f, 0.0f, 0.0f, 1.0f));
        else
            m_report.skip(kLogPrefix + QStringLiteral("a link from \"%1\" to \"%2\" repeats a link or closes a cycle; it is skipped.")
                                           .arg(preceding->taskName(), following->taskName()));
    }
}

} // namespace

bool DMPenduloProjectConverter::importPenduloProjectDocumentAtPathInProject(const QString &path, DMProject &project,
                                                                           DMImportReport *report)
{
    return DMImport_run(report, [&](DMImportReport &used) {
        QByteArray data;
        return DMImport_readFile(path, kDMImport_MaximumArchiveFileSize, &data, used)
            && Importer(project, used).run(data, preferencesFoldersForArchiveAtPath(path));
    });
}

bool DMPenduloProjectConverter::importPenduloProjectDataInProject(const QByteArray &data, DMProject &project,
                                                                 const QStringList &preferencesFolders,
                                                                 DMImportReport *report)
{
    return DMImport_run(report, [&](DMImportReport &used) { return Importer(project, used).run(data, preferencesFolders); });
}

QStringList DMPenduloProjectConverter::preferencesFoldersForArchiveAtPath(const QString &path)
{
    QStringList folders{QFileInfo(path).absolutePath()};
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty())
        folders.append(config);
    return folders;
}

QStringList DMPenduloProjectConverter::preferencesFileNames()
{
    return {QStringLiteral("com.qelm.PenduloProject.plist"), QStringLiteral("com.qelm.Pendulo4.plist"),
            QStringLiteral("com.qelm.Pendulo.plist")};
}

QVariantMap DMPenduloProjectConverter::earlierPreferencesInFolders(const QStringList &folders)
{
    for (const QString &folder : folders)
        for (const QString &name : preferencesFileNames()) {
            // Only a regular file of a preferences file's size is read; anything else counts as absent.
            const std::optional<QByteArray> data = DMRegularFile::read(
                QDir(folder).filePath(name), kMaximumPreferencesFileSize, DMRegularFile::FollowLinks, nullptr);
            if (!data)
                continue;
            const QVariant preferences = DMPropertyList::propertyListWithData(*data);
            if (preferences.metaType().id() == QMetaType::QVariantMap)
                return preferences.toMap();
        }
    return QVariantMap();
}

void DMPenduloProjectConverter::importPenduloProjectResourcesInArrayTargetProjectTranslationTable(
    const QVariantList &nodes, QList<std::shared_ptr<DMProjectResource>> &resources, DMProject &project,
    TranslationTable &table, int dayBegin, int dayEnd, DMImportReport &report, int depth)
{
    for (const QVariant &entry : nodes) {
        const auto node = DMArchivedObject_cast<DMArchivedDictionary>(entry);
        // A node met twice (the archive is a graph, not a tree) is imported once.
        if (!node || table.contains(node.get()) || depth > DMKeyedUnarchiver::kMaximumDepth) {
            report.skip(kLogPrefix + QStringLiteral("a resource node that is no dictionary, or is met twice, is skipped."));
            continue;
        }
        const QVariant children = node->value(QStringLiteral("Childs"));
        const bool group = children.metaType().id() == QMetaType::QVariantList;
        auto resource = std::make_shared<DMProjectResource>(group ? DMProjectResource::Group : DMProjectResource::Resource);
        resource->setProject(project.shared_from_this());
        resource->setName(node->value(QStringLiteral("Name")).toString());
        const QVariant icon = node->value(QStringLiteral("Icon"));
        if (icon.metaType().id() == QMetaType::QImage)
            resource->setAttribute(kDMProjectResource_Icon, icon);
        table.insert(node.get(), resource);
        if (group) {
            QList<std::shared_ptr<DMProjectResource>> members;
            importPenduloProjectResourcesInArrayTargetProjectTranslationTable(children.toList(), members, project, table,
                                                                              dayBegin, dayEnd, report, depth + 1);
            resource->subitems().insertObjects(0, members);
        } else {
            resource->setAttribute(kDMProjectResource_HourlyCost,
                                   hourlyCostForCostPerDay(node->value(QStringLiteral("Cost")).toDouble(), dayBegin, dayEnd));
        }
        resources.append(resource);
    }
}

std::shared_ptr<DMProjectResource> DMPenduloProjectConverter::DMPenduloProjectConverter_newResourceForPenduloResource(
    const DMArchivedObject *node, const TranslationTable &table)
{
    return node ? table.value(node) : nullptr;
}

double DMPenduloProjectConverter::hourlyCostForCostPerDay(double costPerDay, int dayBegin, int dayEnd)
{
    const float span = float(dayEnd - dayBegin);
    const float factor = span * 0.016666668f > 0.01f ? 59.999996f / span : 0.041666668f;
    return double(float(costPerDay) * factor);
}

void DMPenduloProjectConverter::registerArchiveClasses(DMKeyedUnarchiver &unarchiver)
{
    unarchiver.setClassForClassName(QStringLiteral("ZQProject"), [] { return std::make_shared<ZQProject>(); });
    unarchiver.setClassForClassName(QStringLiteral("ZQTask"), [] { return std::make_shared<ZQTask>(); });
    unarchiver.setClassForClassName(QStringLiteral("ZQDependency"), [] { return std::make_shared<ZQDependency>(); });
    unarchiver.setClassForClassName(QStringLiteral("ZQRessourcesTree"), [] { return std::make_shared<ZQRessourcesTree>(); });
    unarchiver.setClassForClassName(QStringLiteral("ZQAlert"), [] { return std::make_shared<ZQAlert>(); });
    unarchiver.setClassForClassName(QStringLiteral("NSRectObject"), [] { return std::make_shared<NSRectObject>(); });
}
