// DMMSProjectXMLConverter: the export.
#include "DMMSProjectXMLConverter.h"

#include "DMDictionaryAccess.h"
#include "DMIndexSet_64.h"
#include "DMMSProjectXMLCalendar.h"
#include "DMMSProjectXMLValues.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMSaveFile.h"

#include <QHash>
#include <QSet>

#include <vector>

namespace {

QString timeOfDay(int minutes)
{
    return QString::asprintf("%.2d:%.2d:00", minutes / 60, minutes % 60);
}

// UIDs are the low 32 bits of object IDs; one taken already (or 0, which the format keeps for
// its own) gets the next free number, so that no two elements share one.
class UIDTable
{
public:
    quint32 uidFor(quint64 objectID)
    {
        const auto found = m_byObject.constFind(objectID);
        if (found != m_byObject.constEnd())
            return found.value();
        quint32 uid = quint32(objectID);
        while (uid == 0 || m_used.contains(uid))
            uid = ++m_next;
        m_used.insert(uid);
        m_byObject.insert(objectID, uid);
        return uid;
    }

private:
    QHash<quint64, quint32> m_byObject;
    QSet<quint32> m_used;
    quint32 m_next = 0;
};

bool isNonWorkingWeekDay(const QVariant &value, int weekDay)
{
    if (value.metaType() == QMetaType::fromType<DMIndexSet_64>())
        return static_cast<const DMIndexSet_64 *>(value.constData())->containsIndex(weekDay);
    if (value.metaType() == QMetaType::fromType<DMMutableIndexSet_64>())
        return static_cast<const DMMutableIndexSet_64 *>(value.constData())->containsIndex(weekDay);
    if (value.metaType().id() == QMetaType::QVariantList)
        for (const QVariant &entry : value.toList())
            if (entry.toLongLong() == weekDay)
                return true;
    return false;
}

const char *const kResourceFixedBlock = R"(<IsNull>0</IsNull>
<WorkGroup>0</WorkGroup>
<MaxUnits>1.00</MaxUnits>
<PeakUnits>0.00</PeakUnits>
<OverAllocated>0</OverAllocated>
<CanLevel>1</CanLevel>
<AccrueAt>3</AccrueAt>
<Work>PT0H0M0S</Work>
<RegularWork>PT0H0M0S</RegularWork>
<OvertimeWork>PT0H0M0S</OvertimeWork>
<ActualWork>PT0H0M0S</ActualWork>
<RemainingWork>PT0H0M0S</RemainingWork>
<ActualOvertimeWork>PT0H0M0S</ActualOvertimeWork>
<RemainingOvertimeWork>PT0H0M0S</RemainingOvertimeWork>
)";

QString resourceClosingBlock(const char *creationDate)
{
    return QStringLiteral(R"(<ActualOvertimeCost>0</ActualOvertimeCost>
<RemainingCost>0</RemainingCost>
<RemainingOvertimeCost>0</RemainingOvertimeCost>
<WorkVariance>0.00</WorkVariance>
<CostVariance>0</CostVariance>
<SV>0.00</SV>
<CV>0.00</CV>
<ACWP>0.00</ACWP>
<CalendarUID>1</CalendarUID>
<BCWS>0.00</BCWS>
<BCWP>0.00</BCWP>
<IsGeneric>0</IsGeneric>
<IsInactive>0</IsInactive>
<IsEnterprise>0</IsEnterprise>
<BookingType>0</BookingType>
<CreationDate>%1</CreationDate>
<IsCostResource>0</IsCostResource>
<IsBudget>0</IsBudget>
)")
        .arg(QLatin1String(creationDate));
}

class Exporter
{
public:
    explicit Exporter(const DMProject &project) : m_project(project) {}
    QString document();

private:
    // The task's work: its duration for each assigned resource (each works the whole task), or
    // its duration alone when it has none.
    static qint64 workOf(const DMProjectItem &item);

    void element(const char *name, const QString &value)
    {
        m_text += QLatin1Char('<') + QLatin1String(name) + QLatin1Char('>') + value + QLatin1String("</")
            + QLatin1String(name) + QLatin1String(">\n");
    }
    void header();
    void calendar(int begin, int end);
    void yearsSpanned(int *firstYear, int *lastYear) const;
    void resources();
    QString resourceElement(const DMProjectResource &resource);
    void tasks();
    QString taskBody(const DMProjectItem &item, int id);
    void assignments();

    struct Assignment
    {
        quint32 task;
        quint32 resource;
        qint64 work; // seconds
    };

    const DMProject &m_project;
    QString m_text;
    UIDTable m_taskUIDs;
    UIDTable m_resourceUIDs;
    std::vector<Assignment> m_assignments;
};

QString Exporter::document()
{
    m_text.reserve(4096 + int(m_project.indexedObjectCount()) * 1200);
    header();
    resources();
    tasks();
    assignments();
    m_text += QLatin1String("</Project>\n");
    return m_text;
}

void Exporter::header()
{
    m_text += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                            "<Project xmlns=\"http://schemas.microsoft.com/project\">\n");
    element("Name", MSXMLText(m_project.title()));
    element("Title", MSXMLText(m_project.title()));
    if (const DMDate begin = m_project.effectiveBeginDate(); begin.isValid())
        element("StartDate", DMDate_MSProjectFormatString(begin));
    if (const DMDate end = m_project.effectiveEndDate(); end.isValid())
        element("FinishDate", DMDate_MSProjectFormatString(end));
    element("CalendarUID", QStringLiteral("1"));
    element("CurrencyDigits", QStringLiteral("2"));
    element("CurrencySymbol", MSXMLText(m_project.attribute(kDMProject_Settings_CurrencyUnit).toString()));
    element("CurrencySymbolPosition", QStringLiteral("0"));
    // The budget, which the format has no field for, in a form other readers pass over.
    if (const QVariant budget = m_project.attribute(kDMProject_Settings_Budget); budget.isValid())
        m_text += QStringLiteral("<?%1 %2?>\n")
                      .arg(QLatin1String(kMSXMLBudgetInstruction), MSXMLDecimalText(budget.toDouble()));

    const QVariantMap span = m_project.attribute(kDMProject_Settings_DayTimeSpan).toMap();
    const int begin = span.isEmpty() ? m_project.workingCalendar().dayBeginMinute() : integerForKey(span, kDMTimeSpanBegin);
    const int end = span.isEmpty() ? m_project.workingCalendar().dayEndMinute() : integerForKey(span, kDMTimeSpanEnd);
    element("DefaultStartTime", timeOfDay(begin));
    element("DefaultFinishTime", timeOfDay(end));
    element("MinutesPerDay", QString::number(end - begin));
    m_text += QLatin1String(R"(<DefaultTaskType>0</DefaultTaskType>
<DefaultFixedCostAccrual>2</DefaultFixedCostAccrual>
<DefaultStandardRate>0</DefaultStandardRate>
<DefaultOvertimeRate>0</DefaultOvertimeRate>
<DurationFormat>7</DurationFormat>
<WorkFormat>2</WorkFormat>
<EditableActualCosts>0</EditableActualCosts>
<HonorConstraints>0</HonorConstraints>
<EarnedValueMethod>0</EarnedValueMethod>
<InsertedProjectsLikeSummary>0</InsertedProjectsLikeSummary>
<MultipleCriticalPaths>0</MultipleCriticalPaths>
<NewTasksEffortDriven>0</NewTasksEffortDriven>
<NewTasksEstimated>1</NewTasksEstimated>
<SplitsInProgressTasks>1</SplitsInProgressTasks>
<SpreadActualCost>0</SpreadActualCost>
<SpreadPercentComplete>0</SpreadPercentComplete>
<TaskUpdatesResource>1</TaskUpdatesResource>
<FiscalYearStart>0</FiscalYearStart>
<WeekStartDay>1</WeekStartDay>
)");
    calendar(begin, end);
}

void Exporter::calendar(int begin, int end)
{
    m_text += QLatin1String("<Calendars>\n<Calendar>\n<UID>1</UID>\n<Name>Standard</Name>\n<IsBaseCalendar>1</IsBaseCalendar>\n"
                            "<IsBaselineCalendar>0</IsBaselineCalendar>\n<BaseCalendarUID>-1</BaseCalendarUID>\n<WeekDays>\n");
    const QVariant nonWorking = m_project.attribute(kDMProject_Settings_NonWorkingWeekDays);
    int workingDays = 0;
    for (int day = 0; day < 7; ++day) {
        m_text += QLatin1String("<WeekDay>\n");
        element("DayType", QString::number(day + 1));
        if (!isNonWorkingWeekDay(nonWorking, day)) {
            element("DayWorking", QStringLiteral("1"));
            m_text += QLatin1String("<WorkingTimes>\n<WorkingTime>\n");
            element("FromTime", timeOfDay(begin));
            element("ToTime", timeOfDay(end));
            m_text += QLatin1String("</WorkingTime>\n</WorkingTimes>\n");
            ++workingDays;
        } else {
            element("DayWorking", QStringLiteral("0"));
        }
        m_text += QLatin1String("</WeekDay>\n");
    }
    m_text += QLatin1String("</WeekDays>\n");
    int firstYear = 0;
    int lastYear = 0;
    yearsSpanned(&firstYear, &lastYear);
    m_text += DMMSProjectXMLCalendar::exceptionsElement(m_project.attribute(kDMProject_Settings_DaysOff).toList(), firstYear,
                                                        lastYear);
    m_text += QLatin1String("</Calendar>\n</Calendars>\n");
    element("MinutesPerWeek", QString::number((end - begin) * workingDays));
    element("DaysPerMonth", QString::number(4 * workingDays));
}

// The years of the project's dates and of every item, so that yearly days off are written for
// all of them; the current year for a project without dates.
void Exporter::yearsSpanned(int *firstYear, int *lastYear) const
{
    DMDate first = m_project.beginDate();
    DMDate last = m_project.endDate();
    for (const auto &item : m_project.tasks()) {
        const DMDate begin = DMMSProjectXMLConverter::earliestDate(*item);
        const DMDate end = DMMSProjectXMLConverter::laterDate(*item);
        if (begin.isValid() && (first.isNull() || begin < first))
            first = begin;
        if (end.isValid() && (last.isNull() || end > last))
            last = end;
    }
    if (first.isNull())
        first = last.isValid() ? last : DMDate::dateForNow();
    if (last.isNull() || last < first)
        last = first;
    *firstYear = first.year();
    *lastYear = last.year();
}

void Exporter::resources()
{
    m_text += QLatin1String("<Resources>\n<Resource>\n<UID>0</UID>\n<ID>0</ID>\n<Type>1</Type>\n");
    m_text += QLatin1String(kResourceFixedBlock);
    m_text += QLatin1String("<PercentWorkComplete>0</PercentWorkComplete>\n<StandardRate>0</StandardRate>\n"
                            "<StandardRateFormat>2</StandardRateFormat>\n<Cost>0</Cost>\n<OvertimeRate>0</OvertimeRate>\n"
                            "<OvertimeRateFormat>2</OvertimeRateFormat>\n<OvertimeCost>0</OvertimeCost>\n"
                            "<CostPerUse>0</CostPerUse>\n<ActualCost>0</ActualCost>\n");
    m_text += resourceClosingBlock("2011-09-26T09:34:00");
    m_text += QLatin1String("</Resource>\n");

    // Groups write nothing of their own: their members follow in tree order.
    std::vector<const DMProjectResource *> stack;
    const auto &top = m_project.resources().list();
    for (auto it = top.crbegin(); it != top.crend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        const DMProjectResource *resource = stack.back();
        stack.pop_back();
        if (resource->kind() == DMProjectResource::Resource) {
            m_text += resourceElement(*resource);
            continue;
        }
        const auto &members = resource->subitems().list();
        for (auto it = members.crbegin(); it != members.crend(); ++it)
            stack.push_back(it->get());
    }
    m_text += QLatin1String("</Resources>\n");
}

QString Exporter::resourceElement(const DMProjectResource &resource)
{
    const QVariantMap &attributes = resource.attributes();
    const QString uid = QString::number(m_resourceUIDs.uidFor(resource.objectID()));
    // A rate per hour or per day; any other cost kind is an amount per assigned task, which the
    // format calls the cost per use. The format's rate is per hour whatever unit it is shown in:
    // a rate per day is the day's amount over the working day's hours.
    const int costKind = integerForKey(attributes, kDMProjectResource_CostKind);
    const bool perUse = costKind != kDMProjectResourceCostKind_Hourly && costKind != kDMProjectResourceCostKind_Daily;
    const double amount = doubleForKey(attributes, kDMProjectResource_HourlyCost);
    const double hourlyRate = costKind == kDMProjectResourceCostKind_Daily
        ? MSXMLRatePerHour(amount, DMMSProjectXMLCalendar::workingDayHours(m_project))
        : amount;
    const QString rateFormat = costKind == kDMProjectResourceCostKind_Daily ? QStringLiteral("3") : QStringLiteral("2");
    float progress = 0.0f;
    float cost = 0.0f;
    resource.computeProgressCostInfoString(&progress, &cost, nullptr);
    QString text = QLatin1String("<Resource>\n<UID>") + uid + QLatin1String("</UID>\n<ID>") + uid + QLatin1String("</ID>\n");
    text += QLatin1String("<Name>") + MSXMLText(resource.name()) + QLatin1String("</Name>\n");
    text += QLatin1String("<Type>") + QLatin1String(attributes.value(kDMProjectResource_Human, true).toBool() ? "1" : "0")
        + QLatin1String("</Type>\n");
    const QString email = stringForKey(attributes, kDMProjectResource_Email);
    if (!email.isEmpty())
        text += QLatin1String("<EmailAddress>") + MSXMLText(email) + QLatin1String("</EmailAddress>\n");
    text += QLatin1String(kResourceFixedBlock);
    text += QStringLiteral("<PercentWorkComplete>%1</PercentWorkComplete>\n").arg(int(progress * 100.0f));
    text += QStringLiteral("<StandardRate>%1</StandardRate>\n")
                .arg(perUse ? QStringLiteral("0") : MSXMLRateText(hourlyRate));
    text += QStringLiteral("<StandardRateFormat>%1</StandardRateFormat>\n").arg(rateFormat);
    text += QStringLiteral("<Cost>%1</Cost>\n<OvertimeRate>0</OvertimeRate>\n").arg(MSXMLAmountText(cost));
    text += QStringLiteral("<OvertimeRateFormat>%1</OvertimeRateFormat>\n<OvertimeCost>0</OvertimeCost>\n").arg(rateFormat);
    if (perUse)
        text += QStringLiteral("<?%1 %2?>\n").arg(QLatin1String(kMSXMLCostKindInstruction), QLatin1String(kMSXMLCostKindPerTask));
    text += QStringLiteral("<CostPerUse>%1</CostPerUse>\n<ActualCost>%2</ActualCost>\n")
                .arg(perUse ? MSXMLAmountText(amount) : QStringLiteral("0"), MSXMLAmountText(cost));
    text += resourceClosingBlock("2005-01-01T00:00:00");
    text += QLatin1String("</Resource>\n");
    return text;
}

void Exporter::tasks()
{
    struct Entry
    {
        const DMProjectItem *item;
        QString number;
        int level;
    };
    m_text += QLatin1String("<Tasks>\n");
    // Depth first without recursion: an item, then its subitems, numbered "2.3" after "2".
    std::vector<Entry> stack;
    auto push = [&stack](const QList<std::shared_ptr<DMProjectItem>> &items, const QString &prefix, int level) {
        for (qsizetype i = items.size(); i > 0; --i)
            stack.push_back({items.at(i - 1).get(), prefix + QString::number(i), level});
    };
    push(m_project.tasks().list(), QString(), 1);
    // IDs number the tasks in file order, from 1 (0 is the format's project summary task).
    int id = 0;
    while (!stack.empty()) {
        const Entry entry = stack.back();
        stack.pop_back();
        QString body = taskBody(*entry.item, ++id);
        body += QLatin1String("<WBS>") + entry.number + QLatin1String("</WBS>\n<OutlineNumber>") + entry.number
            + QLatin1String("</OutlineNumber>\n<OutlineLevel>") + QString::number(entry.level) + QLatin1String("</OutlineLevel>");
        if (const auto *task = dynamic_cast<const DMProjectTask *>(entry.item)) {
            const quint32 taskUID = m_taskUIDs.uidFor(task->objectID());
            for (const auto &resource : task->concernedResources())
                m_assignments.push_back(
                    {taskUID, m_resourceUIDs.uidFor(resource->objectID()), qMax<qint64>(0, task->duration())});
        }
        m_text += QLatin1String("<Task>\n") + body + QLatin1String("\n</Task>\n");
        push(entry.item->subitems().list(), entry.number + QLatin1Char('.'), entry.level + 1);
    }
    m_text += QLatin1String("</Tasks>\n");
}

QString Exporter::taskBody(const DMProjectItem &item, int id)
{
    const std::uint32_t kind = item.kind();
    const QString begin = DMDate_MSProjectFormatString(item.beginDate());
    const QString end = DMDate_MSProjectFormatString(item.endDate());
    const QString duration = MSXMLDurationString(qMax<qint64>(0, item.duration()));
    QString text;
    auto add = [&text](const char *name, const QString &value) {
        text += QLatin1Char('<') + QLatin1String(name) + QLatin1Char('>') + value + QLatin1String("</")
            + QLatin1String(name) + QLatin1String(">\n");
    };
    add("Milestone", QLatin1String(kind == kDMProjectItem_Kind_Milestone ? "1" : "0"));
    add("Summary", QLatin1String(kind == kDMProjectItem_Kind_Process ? "1" : "0"));
    add("Start", begin);
    add("Finish", end);
    // Actual dates only for work that has begun, or is done.
    if (item.progress() > 0.0f)
        add("ActualStart", begin);
    if (item.progress() >= 1.0f)
        add("ActualFinish", end);
    add("ManualStart", begin);
    add("ManualFinish", end);
    // The format's duration formats: 5 hours (of working time), 6 elapsed hours.
    add("DurationFormat", QLatin1String(item.useWorkingSchedule() ? "5" : "6"));
    add("Duration", duration);
    add("Work", MSXMLDurationString(workOf(item)));
    add("ConstraintType", QStringLiteral("4"));
    add("ConstraintDate", begin);
    text += QLatin1String(R"(<Type>0</Type>
<IsNull>0</IsNull>
<Active>1</Active>
<Manual>1</Manual>
<ResumeValid>0</ResumeValid>
<EffortDriven>0</EffortDriven>
<Recurring>0</Recurring>
<OverAllocated>0</OverAllocated>
<Estimated>0</Estimated>
<IsSubproject>0</IsSubproject>
<IsSubprojectReadOnly>0</IsSubprojectReadOnly>
<ExternalTask>0</ExternalTask>
<StartVariance>0</StartVariance>
<FinishVariance>0</FinishVariance>
<CalendarUID>-1</CalendarUID>
)");
    if (kind == kDMProjectItem_Kind_Task) {
        // A fixed cost is the item's cost; one at an hourly rate is written as the cost it comes
        // to; the cost of the assigned resources follows from their rates.
        const int costKind = integerForKey(item.attributes(), kDMProjectItem_CostKind);
        if (costKind == kDMProjectItemCostKind_Fixed)
            add("FixedCost", MSXMLAmountText(doubleForKey(item.attributes(), kDMProjectItem_Cost)));
        else if (costKind == kDMProjectItemCostKind_Hourly)
            add("FixedCost", MSXMLAmountText(static_cast<const DMProjectTask &>(item).ownCost()));
    }
    if (kind == kDMProjectItem_Kind_Task || kind == kDMProjectItem_Kind_Process) {
        // In float, as the progress is kept: 0.7 gives 70, not 69.999999.
        const QString percent = QString::number(double(item.progress() * 100.0f), 'f', 6);
        add("PercentComplete", percent);
        add("PercentWorkComplete", percent);
    }
    add("Name", MSXMLText(item.title()));
    const QString notes = item.attribute(kDMProjectItem_Notes).toString();
    if (!notes.isEmpty())
        add("Notes", MSXMLText(notes));
    add("UID", QString::number(m_taskUIDs.uidFor(item.objectID())));
    add("ID", QString::number(id));
    for (const auto &dependency : item.inboundDependencies()) {
        const DMProjectItem *from = dependency->fromItemPointer();
        if (!from)
            continue;
        // The format's link types: 0 finish to finish, 1 finish to start, 2 start to finish, 3
        // start to start.
        const int kind = dependency->kind();
        text += QStringLiteral("<PredecessorLink>\n<PredecessorUID>%1</PredecessorUID>\n<Type>%2</Type>\n"
                               "<CrossProject>0</CrossProject>\n<LinkLag>0</LinkLag>\n<LagFormat>7</LagFormat>\n</PredecessorLink>\n")
                    .arg(m_taskUIDs.uidFor(from->objectID()))
                    .arg(kind <= 2 ? kind + 1 : 0);
    }
    return text;
}

qint64 Exporter::workOf(const DMProjectItem &item)
{
    const qint64 duration = qMax<qint64>(0, item.duration());
    const auto *task = dynamic_cast<const DMProjectTask *>(&item);
    const qint64 resources = task ? task->concernedResources().size() : 0;
    return resources > 0 ? duration * resources : duration;
}

void Exporter::assignments()
{
    m_text += QLatin1String("<Assignments>\n");
    quint32 index = 0;
    for (const Assignment &assignment : m_assignments)
        m_text += QStringLiteral("<Assignment>\n                <UID>%1</UID>\n                <TaskUID>%2</TaskUID>\n"
                                 "                <ResourceUID>%3</ResourceUID>\n                <Units>1</Units>\n"
                                 "                <Work>%4</Work>                </Assignment>\n")
                      .arg(index++)
                      .arg(assignment.task)
                      .arg(assignment.resource)
                      .arg(MSXMLDurationString(assignment.work));
    m_text += QLatin1String("</Assignments>\n");
}

} // namespace

QByteArray DMMSProjectXMLConverter::MSProjectXMLDataForProject(const DMProject &project)
{
    return Exporter(project).document().toUtf8();
}

bool DMMSProjectXMLConverter::exportProjectToURLError(const DMProject &project, const QString &path, QString *error)
{
    return DMSaveFile_write(path, MSProjectXMLDataForProject(project), error);
}
