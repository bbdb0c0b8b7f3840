// DMMSProjectXMLConverter: the import.
#include "DMMSProjectXMLConverter.h"

#include "DMImportReport.h"
#include "DMImportSupport.h"
#include "DMLocalizedString.h"
#include "DMMSProjectXMLCalendar.h"
#include "DMMSProjectXMLOutline.h"
#include "DMMSProjectXMLValues.h"
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
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMRollup.h"
#include "DMXMLTree.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

const QString kImporterName = QStringLiteral("+[DMMSProjectXMLConverter importMSProjectXMLDocumentAtPath:inProject:]");
// The format's "no resource" in an assignment.
const QString kUnassignedResourceUID = QStringLiteral("-65535");

using OutlineKey = DMMSProjectXMLOutline::Key;

// The values of one Task element that the import reads: the first child element of each name,
// found in one pass over the children; every PredecessorLink.
struct TaskFields
{
    enum Field {
        UID, OutlineNumber, OutlineLevel, Milestone, Summary, Start, ManualStart, EarlyStart, LateStart,
        Finish, ManualFinish, LateFinish, EarlyFinish, Duration, RemainingDuration, DurationFormat,
        FixedCost, PercentComplete, PercentWorkComplete, Name, Notes, IsNull, FieldCount
    };
    const xmlNode *nodes[FieldCount] = {};
    std::vector<const xmlNode *> links;

    explicit TaskFields(const xmlNode *task)
    {
        static const std::unordered_map<std::string_view, Field> fields = {
            {"UID", UID}, {"OutlineNumber", OutlineNumber}, {"OutlineLevel", OutlineLevel},
            {"Milestone", Milestone}, {"Summary", Summary}, {"Start", Start}, {"ManualStart", ManualStart},
            {"EarlyStart", EarlyStart}, {"LateStart", LateStart}, {"Finish", Finish},
            {"ManualFinish", ManualFinish}, {"LateFinish", LateFinish}, {"EarlyFinish", EarlyFinish},
            {"Duration", Duration}, {"RemainingDuration", RemainingDuration}, {"DurationFormat", DurationFormat},
            {"FixedCost", FixedCost}, {"PercentComplete", PercentComplete},
            {"PercentWorkComplete", PercentWorkComplete}, {"Name", Name}, {"Notes", Notes}, {"IsNull", IsNull}};
        for (const xmlNode *child = task->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE)
                continue;
            const std::string_view name(reinterpret_cast<const char *>(child->name));
            if (name == "PredecessorLink") {
                links.push_back(child);
                continue;
            }
            const auto found = fields.find(name);
            if (found != fields.end() && !nodes[found->second])
                nodes[found->second] = child;
        }
    }
    QString value(Field field) const { return DMXMLTree::text(nodes[field]); }
};

// Elapsed (calendar-time) duration formats of the format: minutes, hours, days, weeks, months and
// percent, plain and estimated.
bool isElapsedDurationFormat(int format)
{
    switch (format) {
    case 4: case 6: case 8: case 10: case 12: case 20:
    case 36: case 38: case 40: case 42: case 44: case 52:
        return true;
    default:
        return false;
    }
}

// Durations that differ by less than this are the same (the format counts work in minutes).
constexpr qint64 kDurationTolerance = 60;

// The seconds of a duration of days and time ("PT80H0M0S", "P2DT4H"); false for one that is
// unreadable or counts years or months, whose length depends on the calendar.
bool durationSeconds(QStringView text, qint64 *seconds)
{
    int years = 0, months = 0, days = 0, hours = 0, minutes = 0, secs = 0;
    if (text.isNull() || !MSXMLTimeSpanReader(text, &years, &months, &days, &hours, &minutes, &secs) || years != 0 || months != 0)
        return false;
    *seconds = ((qint64(days) * 24 + hours) * 60 + minutes) * 60 + secs;
    return true;
}

// A task or resource as the user's report names it: its noun ("Task", "Resource"), its name and
// UID.
QString reportLabel(const char *noun, const QString &name, const QString &uid)
{
    const QString shown = name.trimmed().left(80);
    return shown.isEmpty() ? DMLocalizedString("%1 UID %2").arg(DMLocalizedString(noun), uid)
                           : DMLocalizedString("%1 \"%2\" (UID %3)").arg(DMLocalizedString(noun), shown, uid);
}

// A date as the report shows it: "2024-03-04 08:00".
QString dateText(const DMDate &date)
{
    return date.description().left(16);
}

QString amountText(double amount)
{
    return QString::number(amount, 'f', 2);
}

struct TaskRecord
{
    TaskFields fields;
    QString uid;
    QString label; // as the report names the task
    OutlineKey key;
};

struct LinkRecord
{
    QString predecessorUID;
    QString taskUID;
    QString type;
    bool hasLag = false; // a LinkLag other than 0, which a dependency cannot hold
};

class Importer
{
public:
    Importer(DMProject &project, DMImportReport &report)
        : m_project(project), m_projectPointer(project.shared_from_this()), m_report(report), m_outline(kImporterName)
    {
    }

    bool run(const QByteArray &data);

private:
    void readHeader(const xmlNode *root);
    void readResources(const xmlNode *resources);
    void fillResource(const xmlNode *element, DMProjectResource &resource);
    std::vector<TaskRecord> taskRecords(const xmlNode *tasks);
    void makeItem(const TaskRecord &record, bool hasSubtasks);
    bool itemDates(const TaskFields &fields, const QString &uid, const QString &label, bool milestone, DMDate *begin,
                   DMDate *end);
    void setItemDates(DMProjectItem &item, const DMDate &begin, const DMDate &end, const QString &label);
    bool keepFileWork(const TaskFields &fields, const QString &uid, const QString &label, const DMDate &begin, DMDate *end);
    void buildTree();
    void readAssignments(const xmlNode *assignments);
    void makeLinks();
    void completeProjectDates();

    DMProject &m_project;
    std::shared_ptr<DMProject> m_projectPointer;
    DMImportReport &m_report;
    QHash<QString, std::shared_ptr<DMProjectResource>> m_resourcesByUID;
    QHash<QString, std::shared_ptr<DMProjectItem>> m_itemsByUID;
    std::map<OutlineKey, std::shared_ptr<DMProjectItem>> m_itemsByOutline;
    std::vector<LinkRecord> m_links;
    DMMSProjectXMLOutline m_outline;
    DMMSProjectXMLCalendar m_calendar;
    int m_roundTheClockTasks = 0;
    // The file's StartDate and FinishDate when the start lay after the finish.
    DMDate m_reversedStart;
    DMDate m_reversedFinish;
};

bool Importer::run(const QByteArray &data)
{
    QString parseError;
    bool recovered = false;
    const DMXMLTree tree = DMXMLTree::parse(data, &parseError, &recovered);
    if (tree.isNull()) {
        m_report.fail(QStringLiteral("The file is not an XML document (%1).").arg(parseError));
        return false;
    }
    const xmlNode *root = tree.rootElement();
    if (!DMXMLTree::isElementNamed(root, "Project")) {
        m_report.fail(QStringLiteral("The file is not an MS Project XML document: its root element is \"%1\", not \"Project\".")
                          .arg(QString::fromUtf8(reinterpret_cast<const char *>(root->name))));
        return false;
    }
    if (recovered)
        m_report.log(QStringLiteral("%1: the file is not well-formed XML%2; reading what could be recovered.")
                         .arg(kImporterName, parseError.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(parseError)));
    const xmlNode *calendars = DMXMLTree::childElement(root, "Calendars");
    const xmlNode *resources = DMXMLTree::childElement(root, "Resources");
    const xmlNode *tasks = DMXMLTree::childElement(root, "Tasks");
    for (auto [element, name] : {std::pair{calendars, "Calendars"}, {resources, "Resources"}, {tasks, "Tasks"}})
        if (!element) {
            m_report.fail(QStringLiteral("The MS Project XML document has no %1.").arg(QLatin1String(name)));
            return false;
        }

    DMProjectLoadingScope loading(m_project);
    readHeader(root);
    const int firstYear = m_project.beginDate().isValid() ? m_project.beginDate().year() : 0;
    const int lastYear = m_project.endDate().isValid() ? m_project.endDate().year() : firstYear;
    m_calendar = DMMSProjectXMLCalendar::read(calendars, DMXMLTree::childValue(root, "CalendarUID").trimmed(), m_report,
                                              firstYear, lastYear);
    m_calendar.applyToProject(m_project);
    readResources(resources);

    const std::vector<TaskRecord> records = taskRecords(tasks);
    // In outline order a task's descendants follow it at once: a task has subtasks when the next
    // number begins with its own.
    std::vector<size_t> order(records.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&records](size_t a, size_t b) { return records[a].key < records[b].key; });
    std::vector<bool> hasSubtasks(records.size(), false);
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        const OutlineKey &key = records[order[i]].key;
        const OutlineKey &next = records[order[i + 1]].key;
        hasSubtasks[order[i]] = DMMSProjectXMLOutline::isAncestor(key, next);
    }
    for (size_t i = 0; i < records.size(); ++i)
        makeItem(records[i], hasSubtasks[i]);
    buildTree();

    if (const xmlNode *assignments = DMXMLTree::childElement(root, "Assignments"))
        readAssignments(assignments);
    makeLinks();
    completeProjectDates();
    // Processes show the mean progress of the tasks below them, as after any edit.
    DMRollup::refreshProgressOfTrees(m_project.tasks().list());
    if (m_roundTheClockTasks > 0)
        m_report.note(DMLocalizedString("Tasks scheduled outside the calendar's working time, kept with their dates and "
                                        "durations off the working schedule: %1.")
                          .arg(m_roundTheClockTasks));
    m_project.setAttribute(kDMProject_ClearFilename, true);
    m_project.setAttribute(kDMProject_ClearFromRecentItems, true);
    return true;
}

void Importer::readHeader(const xmlNode *root)
{
    QString title = DMXMLTree::childValue(root, "Title");
    if (title.isNull())
        title = DMXMLTree::childValue(root, "Name");
    m_project.setTitle(title);
    DMDate begin = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(root, "StartDate"));
    DMDate end = DMDate_dateWithMSProjectFormat(DMXMLTree::childValue(root, "FinishDate"));
    if (end.isNull() && begin.isValid())
        end = begin.dateByAddingYearsMonthsDaysHoursMinutesSeconds(3, 0, 0, 0, 0, 0);
    // Dates of a plan whose start lies after its finish are not the plan's: they are swapped, and
    // widened to enclose the tasks once these are read.
    if (begin.isValid() && end.isValid() && begin > end) {
        m_reversedStart = begin;
        m_reversedFinish = end;
        std::swap(begin, end);
    }
    m_project.setBeginDate(begin);
    m_project.setEndDate(end);
    const QString currency = DMXMLTree::childValue(root, "CurrencySymbol");
    if (!currency.isNull())
        m_project.setAttribute(kDMProject_Settings_CurrencyUnit, currency);
    const QString budget = DMXMLTree::childProcessingInstruction(root, kMSXMLBudgetInstruction);
    if (!budget.isNull())
        m_project.setAttribute(kDMProject_Settings_Budget, MSXMLLenientDouble(budget));
}

void Importer::readResources(const xmlNode *resources)
{
    QList<std::shared_ptr<DMProjectResource>> made;
    DMXMLTree::forEachChildElement(resources, [&](const xmlNode *element) {
        const QString uid = DMXMLTree::childValue(element, "UID").trimmed();
        const QString name = DMXMLTree::childValue(element, "Name");
        // The format's own placeholder resource (UID 0, no name) is no resource of the plan.
        if (uid == QLatin1String("0") && name.isNull())
            return;
        if (!uid.isEmpty() && m_resourcesByUID.contains(uid)) {
            m_report.skip(QStringLiteral("%1: Resource with UID %2 appears twice; the second is skipped.").arg(kImporterName, uid),
                          DMLocalizedString("%1 appears twice; the second is skipped.")
                              .arg(reportLabel("Resource", name, uid)));
            return;
        }
        auto resource = std::make_shared<DMProjectResource>();
        resource->setProject(m_projectPointer);
        fillResource(element, *resource);
        if (!uid.isEmpty())
            m_resourcesByUID.insert(uid, resource);
        made.append(resource);
    });
    m_project.resources().insertObjects(m_project.resources().size(), made);
}

void Importer::fillResource(const xmlNode *element, DMProjectResource &resource)
{
    const QString name = DMXMLTree::childValue(element, "Name");
    if (!name.isNull())
        resource.setName(name);
    const int type = MSXMLLenientInteger(DMXMLTree::childValue(element, "Type"));
    if (type == 1)
        resource.setAttribute(kDMProjectResource_Human, true);
    else if (type == 0 || type == 3)
        resource.setAttribute(kDMProjectResource_Human, false);
    const int rateFormat = MSXMLLenientInteger(DMXMLTree::childValue(element, "StandardRateFormat"));
    if (rateFormat == 3)
        resource.setAttribute(kDMProjectResource_CostKind, kDMProjectResourceCostKind_Daily);
    else if (rateFormat == 1 || rateFormat == 2)
        resource.setAttribute(kDMProjectResource_CostKind, kDMProjectResourceCostKind_Hourly);
    // The rate is per hour whatever unit StandardRateFormat names (the unit a program shows it
    // in); the cost per use is an amount.
    const double standardRate = MSXMLLenientDouble(DMXMLTree::childValue(element, "StandardRate"));
    const double costPerUse = MSXMLAmount(DMXMLTree::childValue(element, "CostPerUse"));
    // A resource paid by the task rather than by the hour: its amount per assigned task. Our
    // files say so also of an amount of 0.
    const bool perTask = DMXMLTree::childProcessingInstruction(element, kMSXMLCostKindInstruction)
        == QLatin1String(kMSXMLCostKindPerTask);
    if (perTask || (standardRate == 0.0 && costPerUse > 0.0)) {
        resource.setAttribute(kDMProjectResource_CostKind, kDMProjectResourceCostKind_Fixed);
        resource.setAttribute(kDMProjectResource_HourlyCost, costPerUse);
    } else {
        const bool daily = resource.attribute(kDMProjectResource_CostKind).toInt() == kDMProjectResourceCostKind_Daily;
        const double amount = daily ? MSXMLAmountPerDay(standardRate, DMMSProjectXMLCalendar::workingDayHours(m_project)) : standardRate;
        resource.setAttribute(kDMProjectResource_HourlyCost, amount);
        // A resource here is paid by the hour, the day or the task, not by both.
        if (costPerUse != 0.0) {
            const QString uid = DMXMLTree::childValue(element, "UID").trimmed();
            m_report.repair(QStringLiteral("%1: Resource with UID %2 has a cost per use of %3 beside its rate; the cost per "
                                           "use is not kept.")
                                .arg(kImporterName, uid, amountText(costPerUse)),
                            (daily ? DMLocalizedString("%1: its cost per use of %2 is not kept; it is paid %3 a day.")
                                   : DMLocalizedString("%1: its cost per use of %2 is not kept; it is paid %3 an hour."))
                                .arg(reportLabel("Resource", resource.name(), uid), amountText(costPerUse),
                                     amountText(amount)));
        }
    }
    const QString email = DMXMLTree::childValue(element, "EmailAddress");
    if (!email.isNull())
        resource.setAttribute(kDMProjectResource_Email, email);
}

std::vector<TaskRecord> Importer::taskRecords(const xmlNode *tasks)
{
    std::vector<TaskRecord> records;
    records.reserve(size_t(xmlChildElementCount(const_cast<xmlNode *>(tasks))));
    std::set<OutlineKey> seen;
    DMXMLTree::forEachChildElement(tasks, [&](const xmlNode *element) {
        TaskFields fields(element);
        const QString uid = fields.value(TaskFields::UID).trimmed();
        const QString label = reportLabel("Task", fields.value(TaskFields::Name), uid);
        // An empty row of the file's task table: no task, but told.
        if (MSXMLLenientInteger(fields.value(TaskFields::IsNull)) != 0) {
            m_report.skip(QStringLiteral("%1: task UID=%2 is an empty row (IsNull) and is skipped.").arg(kImporterName, uid),
                          DMLocalizedString("%1 is an empty row and is skipped.").arg(label));
            return;
        }
        if (uid.isEmpty()) {
            const QString name = fields.value(TaskFields::Name);
            m_report.skip(QStringLiteral("%1: a task without UID (\"%2\") is skipped.").arg(kImporterName, name),
                          DMLocalizedString("A task without UID (\"%1\") is skipped.").arg(name.left(80)));
            return;
        }
        OutlineKey key;
        if (!m_outline.keyForTask(fields.value(TaskFields::OutlineNumber), fields.value(TaskFields::OutlineLevel), uid, label,
                                  m_report, &key))
            return;
        // A second task with the same number would take the first one's place in the outline
        // while links still name both; the first one stays.
        if (!seen.insert(key).second) {
            m_report.skip(QStringLiteral("%1: task UID=%2 repeats the OutlineNumber %3 and is skipped.")
                              .arg(kImporterName, uid, DMMSProjectXMLOutline::text(key)),
                          DMLocalizedString("%1 repeats the outline number %2 and is skipped.")
                              .arg(label, DMMSProjectXMLOutline::text(key)));
            return;
        }
        records.push_back({std::move(fields), uid, label, std::move(key)});
    });
    return records;
}

void Importer::makeItem(const TaskRecord &record, bool hasSubtasks)
{
    const TaskFields &fields = record.fields;
    const QString &label = record.label;
    if (m_itemsByUID.contains(record.uid)) {
        m_report.skip(QStringLiteral("%1: task UID=%2 appears twice; the second is skipped.").arg(kImporterName, record.uid),
                      DMLocalizedString("%1 appears twice; the second is skipped.").arg(label));
        return;
    }
    const bool milestone = (MSXMLLenientInteger(fields.value(TaskFields::Milestone)) & 0xff) != 0;
    bool summary = (MSXMLLenientInteger(fields.value(TaskFields::Summary)) & 0xff) != 0;
    if (!summary)
        summary = hasSubtasks;

    DMDate begin;
    DMDate end;
    if (!itemDates(fields, record.uid, label, milestone && !summary, &begin, &end))
        return;

    std::shared_ptr<DMProjectItem> item;
    if (summary)
        item = std::make_shared<DMProjectProcess>();
    else if (milestone)
        item = std::make_shared<DMProjectMilestone>();
    else
        item = std::make_shared<DMProjectTask>();
    item->setProject(m_projectPointer);
    if (isElapsedDurationFormat(MSXMLLenientInteger(fields.value(TaskFields::DurationFormat))))
        item->setUseWorkingSchedule(false);
    else if (!summary && !milestone && !keepFileWork(fields, record.uid, label, begin, &end))
        item->setUseWorkingSchedule(false);

    QString percent = fields.value(TaskFields::PercentComplete);
    if (percent.isNull())
        percent = fields.value(TaskFields::PercentWorkComplete);
    if (summary) {
        item->setAttribute(kDMProjectItem_ExpandToFitSubitems, true);
        // The file's completion stands for a process without tasks below it; the others show
        // their tasks' mean once the tree is built.
        item->setProgress(float(MSXMLLenientDouble(percent) * 0.01));
        setItemDates(*item, begin, end, label);
    } else if (milestone) {
        item->setBeginDate(begin);
    } else {
        const QString fixedCost = fields.value(TaskFields::FixedCost);
        if (!fixedCost.isEmpty()) {
            item->setAttribute(kDMProjectItem_CostKind, kDMProjectItemCostKind_Fixed);
            item->setAttribute(kDMProjectItem_Cost, MSXMLAmount(fixedCost));
        } else {
            item->setAttribute(kDMProjectItem_CostKind, kDMProjectItemCostKind_FromResources);
            item->setAttribute(kDMProjectItem_Cost, 0.0);
        }
        item->setProgress(float(MSXMLLenientDouble(percent) * 0.01));
        setItemDates(*item, begin, end, label);
    }
    const QString name = fields.value(TaskFields::Name);
    if (!name.isNull())
        item->setTitle(name);
    const QString notes = fields.value(TaskFields::Notes);
    if (!notes.isNull())
        item->setAttribute(kDMProjectItem_Notes, notes);

    m_itemsByUID.insert(record.uid, item);
    m_itemsByOutline.emplace(record.key, item);
    for (const xmlNode *link : fields.links)
        m_links.push_back({DMXMLTree::childValue(link, "PredecessorUID").trimmed(), record.uid,
                           DMXMLTree::childValue(link, "Type"), MSXMLLenientInteger(DMXMLTree::childValue(link, "LinkLag")) != 0});
}

bool Importer::itemDates(const TaskFields &fields, const QString &uid, const QString &label, bool milestone, DMDate *begin,
                         DMDate *end)
{
    for (TaskFields::Field field : {TaskFields::Start, TaskFields::ManualStart, TaskFields::EarlyStart, TaskFields::LateStart})
        if ((*begin = DMDate_dateWithMSProjectFormat(fields.value(field))).isValid())
            break;
    for (TaskFields::Field field : {TaskFields::Finish, TaskFields::ManualFinish, TaskFields::LateFinish, TaskFields::EarlyFinish})
        if ((*end = DMDate_dateWithMSProjectFormat(fields.value(field))).isValid())
            break;
    if (end->isNull() && begin->isValid()) {
        QString duration = fields.value(TaskFields::Duration);
        if (duration.isNull())
            duration = fields.value(TaskFields::RemainingDuration);
        int years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
        if (!duration.isNull() && !MSXMLTimeSpanReader(duration, &years, &months, &days, &hours, &minutes, &seconds)) {
            m_report.skip(QStringLiteral("%1: task UID=%2 has no finish and the unreadable duration \"%3\"; it is skipped.")
                              .arg(kImporterName, uid, duration.left(80)),
                          DMLocalizedString("%1 has no finish and the unreadable duration \"%2\"; it is skipped.")
                              .arg(label, duration.left(80)));
            return false;
        }
        *end = begin->dateByAddingYearsMonthsDaysHoursMinutesSeconds(years, months, days, hours, minutes, seconds);
    }
    if (begin->isNull() && (milestone || end->isNull())) {
        m_report.skip(QStringLiteral("%1: task UID=%2 has no usable dates and is skipped.").arg(kImporterName, uid),
                      DMLocalizedString("%1 has no usable dates and is skipped.").arg(label));
        return false;
    }
    if (milestone)
        return true;
    if (begin->isNull()) {
        *begin = end->dateByAddingSeconds(-3600);
        m_report.repair(QStringLiteral("%1: task UID=%2 has no start; it begins an hour before its finish.").arg(kImporterName, uid),
                        DMLocalizedString("%1 has no start; it begins an hour before its finish.").arg(label));
    } else if (end->isNull()) {
        m_report.skip(QStringLiteral("%1: task UID=%2 ends outside the calendar and is skipped.").arg(kImporterName, uid),
                      DMLocalizedString("%1 ends outside the calendar and is skipped.").arg(label));
        return false;
    }
    if (*begin > *end) {
        std::swap(*begin, *end);
        m_report.repair(QStringLiteral("%1: task UID=%2 finishes before it starts; its dates are swapped.").arg(kImporterName, uid),
                        DMLocalizedString("%1 finishes before it starts; its dates are swapped.").arg(label));
    } else if (*begin == *end) {
        *end = begin->dateByAddingSeconds(3600);
        m_report.repair(QStringLiteral("%1: task UID=%2 starts and finishes at once; it is made an hour long.").arg(kImporterName, uid),
                        DMLocalizedString("%1 starts and finishes at once; it is made an hour long.").arg(label));
    }
    return true;
}

// The file's Duration is the task's work, done on the project's calendar from the task's begin.
// Where the project's day (one window) counts the time between the file's dates otherwise than
// the file's own working times do, the end follows from that work; so does the end of a split
// task, whose gaps the file does not count. A task whose Duration is the whole time between its
// dates while the file's working times hold less (a plan scheduled round the clock on a calendar
// of office hours) keeps its dates off the working schedule: false then. One whose Duration is
// more than the file's working times hold otherwise (a resource's second shift, which the
// project cannot hold) keeps the file's dates. Without a Duration the dates are all there is: a
// task that begins or ends where the file's working times do not (round the clock) keeps its
// elapsed time off the working schedule; whole days (midnight to midnight) are working days.
bool Importer::keepFileWork(const TaskFields &fields, const QString &uid, const QString &label, const DMDate &begin,
                            DMDate *end)
{
    const QString duration = fields.value(TaskFields::Duration);
    if (duration.isNull()) {
        const bool wholeDays = begin.secondOfDay() == 0 && end->secondOfDay() == 0;
        if (wholeDays || m_calendar.dayBeginSecond() >= m_calendar.dayEndSecond()
            || (m_calendar.holdsInstant(m_project, begin, false) && m_calendar.holdsInstant(m_project, *end, true)))
            return true;
        ++m_roundTheClockTasks;
        return false;
    }
    qint64 work = 0;
    if (!durationSeconds(duration, &work) || work <= 0)
        return true;
    const qint64 working = m_project.durationBetween(begin, *end, true);
    const qint64 fileWorking = m_calendar.convertsWorkingTimes()
        ? m_calendar.fileWorkingSecondsBetween(m_project, begin, *end).value_or(working)
        : working;
    if (fileWorking + kDurationTolerance < work) {
        const qint64 elapsed = end->absoluteSecond() - begin.absoluteSecond();
        if (std::abs(elapsed - work) > kDurationTolerance)
            return true;
        ++m_roundTheClockTasks;
        return false;
    }
    if (std::abs(working - work) <= kDurationTolerance)
        return true;
    const DMDate workDone = m_project.endDateWithBeginDateAndDurationWorkSlices(begin, work, true);
    if (workDone.isNull() || !(begin < workDone))
        return true;
    // A difference that comes from the project's one window alone is told once, by the
    // calendar's note.
    if (fileWorking > work + kDurationTolerance)
        m_report.repair(QStringLiteral("%1: task UID=%2 is split; it keeps its work of %3 and ends at %4 instead of %5.")
                            .arg(kImporterName, uid, MSXMLDurationString(work), DMDate_MSProjectFormatString(workDone),
                                 DMDate_MSProjectFormatString(*end)),
                        DMLocalizedString("%1 is split; it keeps its work of %2 hours and ends at %3 instead of %4.")
                            .arg(label, MSXMLDecimalText(double(work) / 3600.0, 2), dateText(workDone), dateText(*end)));
    *end = workDone;
    return true;
}

void Importer::setItemDates(DMProjectItem &item, const DMDate &begin, const DMDate &end, const QString &label)
{
    try {
        item.setBeginDateAndEndDate(begin, end);
    } catch (const std::exception &exception) {
        m_report.repair(QStringLiteral("An exception occured: %1").arg(QString::fromUtf8(exception.what())),
                        DMLocalizedString("%1: its dates could not be set; it lasts one day from its start.").arg(label));
        item.setBeginDateAndEndDate(begin, begin.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 0, 1, 0, 0, 0));
    }
}

void Importer::buildTree()
{
    QList<std::shared_ptr<DMProjectItem>> roots;
    QHash<DMProjectItem *, QList<std::shared_ptr<DMProjectItem>>> children;
    std::vector<DMProjectItem *> parentsInOrder;
    // Walked in outline order, the imported ancestors of the current number are a chain of
    // prefixes; the nearest one takes the item (its own parent may have been skipped).
    std::vector<std::pair<const OutlineKey *, DMProjectItem *>> chain;
    for (const auto &[key, item] : m_itemsByOutline) {
        while (!chain.empty() && !DMMSProjectXMLOutline::isAncestor(*chain.back().first, key))
            chain.pop_back();
        DMProjectItem *parent = chain.empty() ? nullptr : chain.back().second;
        chain.emplace_back(&key, item.get());
        if (key.size() > 1 && (!parent || chain[chain.size() - 2].first->size() + 1 != key.size()))
            m_report.log(QStringLiteral("%1: Parent Item with OutlineNumber %2 not found! Adding as %3.")
                             .arg(kImporterName, DMMSProjectXMLOutline::text(OutlineKey(key.begin(), key.end() - 1)),
                                  parent ? QStringLiteral("a subitem of \"%1\"").arg(parent->title())
                                         : QStringLiteral("root element")));
        if (!parent) {
            roots.append(item);
            continue;
        }
        if (parent->kind() != kDMProjectItem_Kind_Process)
            m_report.log(QStringLiteral("%1: Parent Item with OutlineNumber %2 is not a process")
                             .arg(kImporterName, DMMSProjectXMLOutline::text(*chain[chain.size() - 2].first)));
        auto &list = children[parent];
        if (list.isEmpty())
            parentsInOrder.push_back(parent);
        list.append(item);
    }
    for (DMProjectItem *parent : parentsInOrder)
        parent->subitems().insertObjects(parent->subitems().size(), children.value(parent));
    m_project.tasks().insertObjects(m_project.tasks().size(), roots);
}

void Importer::readAssignments(const xmlNode *assignments)
{
    DMXMLTree::forEachChildElement(assignments, [&](const xmlNode *element) {
        const QString taskUID = DMXMLTree::childValue(element, "TaskUID").trimmed();
        const QString resourceUID = DMXMLTree::childValue(element, "ResourceUID").trimmed();
        const QString uid = DMXMLTree::childValue(element, "UID").trimmed();
        if (resourceUID == kUnassignedResourceUID)
            return;
        const std::shared_ptr<DMProjectItem> item = m_itemsByUID.value(taskUID);
        const std::shared_ptr<DMProjectResource> resource = m_resourcesByUID.value(resourceUID);
        if (!item) {
            m_report.skip(QStringLiteral("%1: Could not load assignment (UID=%2). Concerned task not found (UID=%3).")
                              .arg(kImporterName, uid, taskUID),
                          DMLocalizedString("Assignment UID %1 is skipped: its task (UID %2) was not imported.").arg(uid, taskUID));
        } else if (!resource) {
            m_report.skip(QStringLiteral("%1: Could not load assignment (UID=%2). Concerned resource not found (UID=%3).")
                              .arg(kImporterName, uid, resourceUID),
                          DMLocalizedString("Assignment UID %1 of %2 is skipped: its resource (UID %3) was not imported.")
                              .arg(uid, reportLabel("Task", item->title(), taskUID), resourceUID));
        } else if (auto task = std::dynamic_pointer_cast<DMProjectTask>(item); task && item->acceptsResources()) {
            task->addResource(resource);
        } else {
            m_report.skip(QStringLiteral("%1: Could not load assignment (UID=%2). Concerned item is not a Task or Milestone. (concernedItem=%3)")
                              .arg(kImporterName, uid, item->title()),
                          DMLocalizedString("Assignment UID %1 of %2 is skipped: a process takes no resources.")
                              .arg(uid, reportLabel("Task", item->title(), taskUID)));
        }
    });
}

void Importer::makeLinks()
{
    int linksWithLag = 0;
    for (const LinkRecord &link : m_links) {
        const std::shared_ptr<DMProjectItem> predecessor = m_itemsByUID.value(link.predecessorUID);
        const std::shared_ptr<DMProjectItem> target = m_itemsByUID.value(link.taskUID);
        if (!predecessor) {
            m_report.skip(QStringLiteral("%1: Could not load dependency to task (UID=%2). Predecessor task not found (UID=%3).")
                              .arg(kImporterName, link.taskUID, link.predecessorUID),
                          DMLocalizedString("The link to %1 is skipped: its predecessor (UID %2) was not imported.")
                              .arg(reportLabel("Task", target ? target->title() : QString(), link.taskUID),
                                   link.predecessorUID));
            continue;
        }
        if (!target) {
            m_report.skip(QStringLiteral("%1: Could not load dependency to task (UID=%2). Target task not found (UID=%3).")
                              .arg(kImporterName, link.predecessorUID, link.taskUID),
                          DMLocalizedString("The link from %1 is skipped: the task it leads to (UID %2) was not imported.")
                              .arg(reportLabel("Task", predecessor->title(), link.predecessorUID), link.taskUID));
            continue;
        }
        const std::shared_ptr<DMProjectDependency> dependency = predecessor->addOutboundDependencyToItem(target);
        if (!dependency) {
            m_report.skip(QStringLiteral("%1: the dependency from task UID=%2 to task UID=%3 repeats a link or closes a cycle and is skipped.")
                              .arg(kImporterName, link.predecessorUID, link.taskUID),
                          DMLocalizedString("The link from %1 to %2 repeats a link or closes a cycle and is skipped.")
                              .arg(reportLabel("Task", predecessor->title(), link.predecessorUID),
                                   reportLabel("Task", target->title(), link.taskUID)));
            continue;
        }
        // The format's link types: 0 finish to finish, 1 finish to start, 2 start to finish, 3
        // start to start.
        switch (MSXMLLenientInteger(link.type)) {
        case 0: dependency->setKind(DMProjectDependency::FinishToFinish); break;
        case 1: dependency->setKind(DMProjectDependency::FinishToStart); break;
        case 2: dependency->setKind(DMProjectDependency::StartToFinish); break;
        case 3: dependency->setKind(DMProjectDependency::StartToStart); break;
        default: break;
        }
        linksWithLag += link.hasLag ? 1 : 0;
    }
    // The tasks keep the file's dates; the next change that follows such a link moves its task
    // without the lag, which the user should know before relying on it.
    if (linksWithLag > 0)
        m_report.note(DMLocalizedString("Links with a lag between their tasks, read without the lag: %1.").arg(linksWithLag));
}

// The project's begin and end, when the file gave none: the earliest and latest dates of its
// items, events and to-dos, starting from 3000-01-01 01:00 and 1970-01-01 01:00. Dates of a
// file whose start lay after its finish are widened to them.
void Importer::completeProjectDates()
{
    auto extreme = [this](DMDate found, bool earliest) {
        auto consider = [&found, earliest](const DMDate &date) {
            if (date.isValid() && (earliest ? date < found : date > found))
                found = date;
        };
        for (const auto &item : m_project.tasks())
            consider(earliest ? DMMSProjectXMLConverter::earliestDate(*item) : DMMSProjectXMLConverter::laterDate(*item));
        for (const auto &event : m_project.eventContainer()->events())
            consider(event->beginDate());
        for (const auto &todo : m_project.todoContainer()->todos())
            consider(todo->date());
        return found;
    };
    if (m_project.beginDate().isNull())
        m_project.setBeginDate(extreme(DMDate::dateWithYearMonthDayHourMinuteSecond(3000, 1, 1, 1, 0, 0), true));
    if (m_project.endDate().isNull())
        m_project.setEndDate(extreme(DMDate::dateWithYearMonthDayHourMinuteSecond(1970, 1, 1, 1, 0, 0), false));
    if (m_reversedStart.isNull())
        return;
    m_project.setBeginDate(extreme(m_project.beginDate(), true));
    m_project.setEndDate(extreme(m_project.endDate(), false));
    m_report.repair(QStringLiteral("%1: the project's StartDate lies after its FinishDate; the two are swapped.").arg(kImporterName),
                    DMLocalizedString("The project's StartDate (%1) lies after its FinishDate (%2); it runs from %3 to %4, "
                                      "enclosing its tasks.")
                        .arg(dateText(m_reversedStart), dateText(m_reversedFinish), dateText(m_project.beginDate()),
                             dateText(m_project.endDate())));
}


} // namespace

bool DMMSProjectXMLConverter::importMSProjectXMLDocumentAtPathInProject(const QString &path, DMProject &project,
                                                                        DMImportReport *report)
{
    return DMImport_run(report, [&](DMImportReport &used) {
        QByteArray data;
        return DMImport_readFile(path, kDMImport_MaximumMSProjectXMLFileSize, &data, used)
            && Importer(project, used).run(data);
    });
}

bool DMMSProjectXMLConverter::importMSProjectXMLDataInProject(const QByteArray &data, DMProject &project,
                                                              DMImportReport *report)
{
    return DMImport_run(report, [&](DMImportReport &used) { return Importer(project, used).run(data); });
}

DMDate DMMSProjectXMLConverter::earliestDate(const DMProjectItem &item)
{
    DMDate earliest = item.beginDate();
    DMProjectItem_forEachItem(item.subitems().list(), [&earliest](const DMProjectItem &subitem) {
        if (subitem.beginDate().isValid() && (earliest.isNull() || subitem.beginDate() < earliest))
            earliest = subitem.beginDate();
    });
    return earliest;
}

DMDate DMMSProjectXMLConverter::laterDate(const DMProjectItem &item)
{
    DMDate latest = item.endDate();
    DMProjectItem_forEachItem(item.subitems().list(), [&latest](const DMProjectItem &subitem) {
        if (subitem.endDate().isValid() && (latest.isNull() || subitem.endDate() > latest))
            latest = subitem.endDate();
    });
    return latest;
}
