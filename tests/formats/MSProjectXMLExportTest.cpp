// Exporting MS Project XML: the text written, its round trip through our import, and what other
// programs make of it (xmllint, and the converter stylesheet of another planner).
#include "DMMSProjectXMLConverter.h"
#include "FormatsTestSupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

using namespace halcyra::test;

const QString kPlannerStylesheet = QStringLiteral("/usr/share/planner/stylesheets/msp2planner.xsl");

template <typename T>
std::shared_ptr<T> add(const std::shared_ptr<DMProject> &project, const std::shared_ptr<DMProjectItem> &parent,
                       const QString &title, const DMDate &begin, const DMDate &end)
{
    auto item = std::make_shared<T>();
    item->setProject(project);
    item->setTitle(title);
    if (item->hasEqualDates())
        item->setBeginDate(begin);
    else
        item->setBeginDateAndEndDate(begin, end);
    if (parent)
        parent->subitems().append(item);
    else
        project->tasks().append(item);
    return item;
}

std::shared_ptr<DMProjectResource> resource(const std::shared_ptr<DMProject> &project, const QString &name)
{
    auto made = std::make_shared<DMProjectResource>();
    made->setProject(project);
    made->setName(name);
    return made;
}

// A project with titles no markup may break, every link kind, processes three levels deep, a
// resource group, resources of every cost kind, assignments, costs, notes and days off of every
// kind.
struct SampleProject
{
    std::shared_ptr<DMProject> project = DMProject::create();
    std::shared_ptr<DMProjectProcess> outer, middle, inner;
    std::shared_ptr<DMProjectTask> deepest, hostile, elapsed, hourly;
    std::shared_ptr<DMProjectProcess> second;
    std::shared_ptr<DMProjectMilestone> milestone;
    std::shared_ptr<DMProjectResource> group, ada, crane, scaffold, permit;

    SampleProject()
    {
        DMProject &p = *project;
        p.setTitle(QStringLiteral("Brücke & <Tunnel> \"Ost\" 😀"));
        p.setBeginDate(at(2024, 3, 4, 8));
        p.setEndDate(at(2024, 6, 28, 17));
        p.setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("€"));
        p.setAttribute(kDMProject_Settings_Budget, 25000.5);
        p.setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1020}});
        DMMutableIndexSet_64 weekend;
        weekend.addIndex(0);
        weekend.addIndex(6);
        p.setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekend)));
        auto dayOff = [](qint64 first, qint64 last, const QString &description) {
            QVariantMap entry{{kDMDayOffIndex, first}, {kDMDayOffDescription, description}};
            if (last)
                entry.insert(kDMDayOffEndIndex, last);
            return entry;
        };
        p.setAttribute(kDMProject_Settings_DaysOff,
                       QVariantList{dayOff(DMProject_NonWorkingDayIndexForYearMonthDay(2024, 3, 12), 0, QStringLiteral("Inspection & <audit>")),
                                    dayOff(DMProject_NonWorkingDayIndexForYearMonthDay(2024, 5, 20),
                                           DMProject_NonWorkingDayIndexForYearMonthDay(2024, 5, 22), QStringLiteral("Fair")),
                                    dayOff(DMProject_NonWorkingDayIndexForMonthDay(5, 1), 0, QStringLiteral("Labour day")),
                                    dayOff(DMProject_NonWorkingDayIndexForMonthDay(2, 28), DMProject_NonWorkingDayIndexForMonthDay(3, 1), QString()),
                                    dayOff(DMProject_NonWorkingDayIndexForMonthDay(12, 31), DMProject_NonWorkingDayIndexForMonthDay(1, 1),
                                           QStringLiteral("New Year"))});

        outer = add<DMProjectProcess>(project, nullptr, QStringLiteral("Works"), at(2024, 3, 4, 8), at(2024, 3, 29, 17));
        middle = add<DMProjectProcess>(project, outer, QStringLiteral("Deck"), at(2024, 3, 4, 8), at(2024, 3, 15, 17));
        inner = add<DMProjectProcess>(project, middle, QStringLiteral("Joints"), at(2024, 3, 4, 8), at(2024, 3, 8, 17));
        deepest = add<DMProjectTask>(project, inner, QStringLiteral("عربي עברית 中文 𝄞"), at(2024, 3, 4, 8), at(2024, 3, 6, 17));
        deepest->setProgress(0.5f);
        deepest->setAttribute(kDMProjectItem_Notes, QStringLiteral("Line one\nLine\ttwo\r\nthree & <four>"));
        deepest->setAttribute(kDMProjectItem_CostKind, 0);
        deepest->setAttribute(kDMProjectItem_Cost, 1250.75);
        hostile = add<DMProjectTask>(project, inner, QStringLiteral("</Name><Task>]]>&amp;' \"x\"  padded "),
                                     at(2024, 3, 7, 8), at(2024, 3, 8, 17));
        hostile->setAttribute(kDMProjectItem_CostKind, 2);
        hostile->setAttribute(kDMProjectItem_Cost, 0.0);
        milestone = add<DMProjectMilestone>(project, middle, QStringLiteral("Deck done"), at(2024, 3, 15, 17), DMDate());
        elapsed = add<DMProjectTask>(project, outer, QStringLiteral("Curing"), at(2024, 3, 16, 8), DMDate(2024, 3, 16, 18 * 3600));
        elapsed->setUseWorkingSchedule(false);
        elapsed->setBeginDateAndEndDate(at(2024, 3, 16, 8), at(2024, 3, 16, 18));
        elapsed->setProgress(0.7f);
        second = add<DMProjectProcess>(project, nullptr, QStringLiteral("Survey"), at(2024, 4, 2, 8), at(2024, 4, 3, 17));
        add<DMProjectTask>(project, second, QStringLiteral("Survey A"), at(2024, 4, 2, 8), at(2024, 4, 2, 17))->setProgress(1.0f);
        add<DMProjectTask>(project, second, QStringLiteral("Survey B"), at(2024, 4, 2, 8), at(2024, 4, 2, 17));
        add<DMProjectTask>(project, second, QStringLiteral("Survey C"), at(2024, 4, 3, 8), at(2024, 4, 3, 17));
        hourly = add<DMProjectTask>(project, nullptr, QStringLiteral("Inspection"), at(2024, 4, 1, 9), at(2024, 4, 1, 12));
        hourly->setAttribute(kDMProjectItem_CostKind, 1);
        hourly->setAttribute(kDMProjectItem_Cost, 80.0);

        deepest->addOutboundDependencyToItem(hostile);                                        // finish to start
        hostile->addOutboundDependencyToItem(milestone)->setKind(DMProjectDependency::StartToFinish);
        milestone->addOutboundDependencyToItem(elapsed)->setKind(DMProjectDependency::StartToStart);
        elapsed->addOutboundDependencyToItem(hourly)->setKind(DMProjectDependency::FinishToFinish);

        group = std::make_shared<DMProjectResource>(DMProjectResource::Group);
        group->setProject(project);
        group->setName(QStringLiteral("Crew"));
        ada = resource(project, QStringLiteral("Ada \"the\" <Engineer>"));
        ada->setAttribute(kDMProjectResource_Email, QStringLiteral("ada@example.org"));
        ada->setAttribute(kDMProjectResource_HourlyCost, 52.5);
        ada->setAttribute(kDMProjectResource_CostKind, 0);
        crane = resource(project, QStringLiteral("Crane"));
        crane->setAttribute(kDMProjectResource_Human, false);
        crane->setAttribute(kDMProjectResource_HourlyCost, 400.0);
        crane->setAttribute(kDMProjectResource_CostKind, 1);
        scaffold = resource(project, QStringLiteral("Scaffold"));
        scaffold->setAttribute(kDMProjectResource_Human, false);
        scaffold->setAttribute(kDMProjectResource_HourlyCost, 120.0);
        scaffold->setAttribute(kDMProjectResource_CostKind, 2);
        // Paid by the task, its amount not known yet: still paid by the task after a round trip.
        permit = resource(project, QStringLiteral("Permit"));
        permit->setAttribute(kDMProjectResource_Human, false);
        permit->setAttribute(kDMProjectResource_HourlyCost, 0.0);
        permit->setAttribute(kDMProjectResource_CostKind, 2);
        group->subitems().append(ada);
        p.resources().append(group);
        p.resources().append(crane);
        p.resources().append(scaffold);
        p.resources().append(permit);
        deepest->addResource(ada);
        deepest->addResource(crane);
        milestone->addResource(ada);
        deepest->addResource(scaffold);
        hourly->addResource(scaffold);
        hourly->addResource(permit);
    }
};

// Every field the format carries, one line per object, in tree order.
QStringList describe(const DMProject &project)
{
    QStringList lines;
    lines << QStringLiteral("project %1 %2 %3 %4 budget=%5")
                 .arg(project.title(), project.beginDate().description(), project.endDate().description(),
                      project.attribute(kDMProject_Settings_CurrencyUnit).toString())
                 .arg(project.attribute(kDMProject_Settings_Budget).toDouble(), 0, 'g', 12);
    const QVariantMap span = project.attribute(kDMProject_Settings_DayTimeSpan).toMap();
    QString week;
    for (int day = 0; day < 7; ++day)
        week += isNonWorkingWeekDay(project, day) ? QLatin1Char('-') : QLatin1Char('W');
    lines << QStringLiteral("calendar %1-%2 %3").arg(span.value(kDMTimeSpanBegin).toInt()).arg(span.value(kDMTimeSpanEnd).toInt()).arg(week);
    DMProjectItem_forEachItem(project.tasks().list(), [&lines](const DMProjectItem &item) {
        int depth = 0;
        for (auto parent = item.parentItem(); parent; parent = parent->parentItem())
            ++depth;
        QString line = QString(depth * 2, QLatin1Char(' ')) + QString::number(item.kind(), 16) + QLatin1Char(' ')
            + item.title() + QLatin1Char(' ') + item.beginDate().description() + QStringLiteral(" - ")
            + item.endDate().description() + QStringLiteral(" duration=%1").arg(item.duration())
            + (item.useWorkingSchedule() ? QString() : QStringLiteral(" elapsed"))
            + QStringLiteral(" notes=") + item.attribute(kDMProjectItem_Notes).toString();
        if (item.kind() == kDMProjectItem_Kind_Task)
            line += QStringLiteral(" progress=%1 cost=%2/%3 total=%4")
                        .arg(item.progress())
                        .arg(item.attribute(kDMProjectItem_CostKind).toInt())
                        .arg(item.attribute(kDMProjectItem_Cost).toDouble(), 0, 'g', 12)
                        .arg(item.cost(), 0, 'g', 12);
        if (item.kind() == kDMProjectItem_Kind_Process)
            line += QStringLiteral(" progress=%1").arg(item.progress());
        if (const auto *task = dynamic_cast<const DMProjectTask *>(&item))
            for (const auto &resource : task->concernedResources())
                line += QStringLiteral(" [%1]").arg(resource->name());
        lines << line;
        for (const auto &dependency : item.outboundDependencies())
            lines << QStringLiteral("link %1 -> %2 kind %3").arg(item.title(), dependency->toItem()->title()).arg(dependency->kind());
    });
    QList<std::shared_ptr<DMProjectResource>> stack(project.resources().list().crbegin(), project.resources().list().crend());
    while (!stack.isEmpty()) {
        const auto resource = stack.takeLast();
        if (resource->isGroup()) {
            for (auto it = resource->subitems().list().crbegin(); it != resource->subitems().list().crend(); ++it)
                stack.append(*it);
            continue;
        }
        lines << QStringLiteral("resource %1 human=%2 rate=%3 kind=%4 email=%5 cost=%6")
                     .arg(resource->name())
                     .arg(resource->attribute(kDMProjectResource_Human).toBool())
                     .arg(resource->attribute(kDMProjectResource_HourlyCost).toDouble(), 0, 'g', 12)
                     .arg(resource->attribute(kDMProjectResource_CostKind).toInt())
                     .arg(resource->attribute(kDMProjectResource_Email).toString())
                     .arg(resource->cost(), 0, 'g', 12);
    }
    // A day off without an end is one day: its end is its first day.
    for (const QVariant &value : project.attribute(kDMProject_Settings_DaysOff).toList()) {
        const QVariantMap entry = value.toMap();
        const qint64 first = entry.value(kDMDayOffIndex).toLongLong();
        const qint64 last = entry.value(kDMDayOffEndIndex).toLongLong();
        lines << QStringLiteral("day off %1-%2 %3").arg(first).arg(last ? last : first).arg(entry.value(kDMDayOffDescription).toString());
    }
    return lines;
}

// What the other planner's converter made of a file: task names by ID, the links as "from ->
// to TYPE" and the allocations as "task / resource", both by the names the IDs lead to; the
// tasks' work in seconds and the resources' standard rates, by name.
struct PlannerFile
{
    QMap<QString, QString> taskNames;
    QStringList links;
    QStringList allocations;
    QMap<QString, qint64> taskWork;
    QMap<QString, double> resourceRates;
};

PlannerFile readPlannerFile(const QString &text)
{
    PlannerFile file;
    QMap<QString, QString> resourceNames;
    QList<std::pair<QString, QXmlStreamAttributes>> predecessors; // (task ID, predecessor)
    QList<QXmlStreamAttributes> allocations;
    QXmlStreamReader reader(text);
    QString task;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        const auto name = reader.name();
        if (name == QLatin1String("task")) {
            task = attributes.value("id").toString();
            EXPECT_FALSE(task.isEmpty());
            EXPECT_FALSE(file.taskNames.contains(task)) << task.toStdString();
            file.taskNames.insert(task, attributes.value("name").toString());
            file.taskWork.insert(attributes.value("name").toString(), attributes.value("work").toLongLong());
        } else if (name == QLatin1String("predecessor")) {
            predecessors.append({task, attributes});
        } else if (name == QLatin1String("resource")) {
            resourceNames.insert(attributes.value("id").toString(), attributes.value("name").toString());
            file.resourceRates.insert(attributes.value("name").toString(), attributes.value("std-rate").toDouble());
        } else if (name == QLatin1String("allocation")) {
            allocations.append(attributes);
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    const auto named = [](const QMap<QString, QString> &names, QStringView id) {
        return names.value(id.toString(), QStringLiteral("(no ID \"%1\")").arg(id));
    };
    for (const auto &[to, predecessor] : predecessors)
        file.links << QStringLiteral("%1 -> %2 %3").arg(named(file.taskNames, predecessor.value("predecessor-id")),
                                                        named(file.taskNames, to), predecessor.value("type").toString());
    for (const QXmlStreamAttributes &allocation : allocations)
        file.allocations << named(file.taskNames, allocation.value("task-id")) + QStringLiteral(" / ")
                + named(resourceNames, allocation.value("resource-id"));
    return file;
}

QString run(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput()) + QString::fromUtf8(process.readAllStandardError());
}

TEST(MSProjectXMLExport, RoundTripAndOtherReaders)
{
    SampleProject sample;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.xml"));
    QString error;
    ASSERT_TRUE(DMMSProjectXMLConverter::exportProjectToURLError(*sample.project, path, &error)) << error.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("plan.xml")});

    auto imported = DMProject::create();
    DMImportReport report;
    ASSERT_TRUE(DMMSProjectXMLConverter::importMSProjectXMLDocumentAtPathInProject(path, *imported, &report))
        << report.failureReason().toStdString();
    EXPECT_EQ(report.skippedCount() + report.repairedCount(), 0) << report.lines().join('\n').toStdString();
    // Field by field: dates, durations, costs, links, assignments, resources and days off. An
    // hourly-rate task comes back as the fixed cost it came to (3 hours at 80), its total with the
    // scaffold paid by the task.
    QStringList expected = describe(*sample.project);
    ASSERT_EQ(expected.filter(QStringLiteral("cost=1/80 total=360")).size(), 1);
    expected.replaceInStrings(QStringLiteral("cost=1/80 total=360"), QStringLiteral("cost=0/240 total=360"));
    // Groups are not part of the format: their members come back at the top level.
    EXPECT_EQ(describe(*imported).join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());

    int exitCode = 0;
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    ASSERT_FALSE(xmllint.isEmpty()) << "xmllint is installed by scripts/install-deps.sh";
    const QString lint = run(xmllint, {QStringLiteral("--noout"), path}, &exitCode);
    EXPECT_EQ(exitCode, 0) << lint.toStdString();

    const QString xsltproc = QStandardPaths::findExecutable(QStringLiteral("xsltproc"));
    ASSERT_FALSE(xsltproc.isEmpty()) << "xsltproc is installed by scripts/install-deps.sh";
    ASSERT_TRUE(QFile::exists(kPlannerStylesheet)) << "planner-data is installed by scripts/install-deps.sh";
    const QString planner = run(xsltproc, {kPlannerStylesheet, path}, &exitCode);
    ASSERT_EQ(exitCode, 0) << planner.toStdString();
    // The converter links tasks and allocations by the tasks' IDs: every one is there, and
    // every reference names the right task and resource.
    const PlannerFile converted = readPlannerFile(planner);
    const ProjectCounts counts = countsOf(*sample.project);
    EXPECT_EQ(converted.taskNames.size(), counts.tasks + counts.milestones + counts.processes) << planner.toStdString();
    QStringList links;
    QStringList allocations;
    DMProjectItem_forEachItem(sample.project->tasks().list(), [&](const DMProjectItem &item) {
        for (const auto &dependency : item.inboundDependencies())
            links << QStringLiteral("%1 -> %2 %3").arg(dependency->fromItem()->title(), item.title())
                         .arg(QStringList{"FS", "SF", "SS", "FF"}.at(dependency->kind()));
        if (const auto *task = dynamic_cast<const DMProjectTask *>(&item))
            for (const auto &resource : task->concernedResources())
                allocations << item.title() + QStringLiteral(" / ") + resource->name();
    });
    EXPECT_EQ(converted.links, links);
    EXPECT_EQ(converted.allocations, allocations);
    // Rates per hour: the crane's 400 a day over the day of 9 hours. A task's work is its
    // duration for each of its resources.
    EXPECT_DOUBLE_EQ(converted.resourceRates.value(sample.ada->name()), 52.5);
    EXPECT_NEAR(converted.resourceRates.value(QStringLiteral("Crane")), 400.0 / 9.0, 1e-9);
    EXPECT_DOUBLE_EQ(converted.resourceRates.value(QStringLiteral("Scaffold")), 0.0);
    EXPECT_EQ(converted.taskWork.value(sample.deepest->title()), 3 * 27 * 3600);
    EXPECT_EQ(converted.taskWork.value(QStringLiteral("Inspection")), 2 * 3 * 3600);
    EXPECT_EQ(converted.taskWork.value(QStringLiteral("Survey A")), 9 * 3600);
}

// The body of the task element whose Name is the (escaped) title.
QString taskWithName(const QString &text, const QString &escapedTitle)
{
    const qsizetype name = text.indexOf(QStringLiteral("<Name>") + escapedTitle + QStringLiteral("</Name>"));
    const qsizetype begin = text.lastIndexOf(QStringLiteral("<Task>"), name);
    return text.mid(begin, text.indexOf(QStringLiteral("</Task>"), name) - begin);
}

TEST(MSProjectXMLExport, WhatTheFileSays)
{
    SampleProject sample;
    const QString text = QString::fromUtf8(DMMSProjectXMLConverter::MSProjectXMLDataForProject(*sample.project));

    // Header and calendar: five working days of 08:00 to 17:00.
    EXPECT_EQ(elementOf(text, "Title"), QStringLiteral("Brücke &amp; &lt;Tunnel&gt; &quot;Ost&quot; &#128512;").replace("ü", "&#252;"));
    EXPECT_EQ(elementOf(text, "CurrencySymbol"), QStringLiteral("&#8364;"));
    EXPECT_EQ(elementOf(text, "MinutesPerDay"), QStringLiteral("540"));
    EXPECT_EQ(elementOf(text, "MinutesPerWeek"), QStringLiteral("2700"));
    EXPECT_EQ(elementOf(text, "DaysPerMonth"), QStringLiteral("20"));
    EXPECT_EQ(text.count(QStringLiteral("<FromTime>08:00:00</FromTime>")), 5);
    EXPECT_EQ(text.count(QStringLiteral("<ToTime>17:00:00</ToTime>")), 5);

    // Outline numbers: the third child of the second top-level item is 2.3, at level 2.
    const QString surveyC = taskWithName(text, QStringLiteral("Survey C"));
    EXPECT_EQ(elementOf(surveyC, "WBS"), QStringLiteral("2.3"));
    EXPECT_EQ(elementOf(surveyC, "OutlineLevel"), QStringLiteral("2"));
    const QString joints = taskWithName(text, QStringLiteral("Joints"));
    EXPECT_EQ(elementOf(joints, "OutlineNumber"), QStringLiteral("1.1.1"));
    EXPECT_EQ(elementOf(joints, "OutlineLevel"), QStringLiteral("3"));
    EXPECT_EQ(elementOf(taskWithName(text, QStringLiteral("Curing")), "OutlineNumber"), QStringLiteral("1.2"));

    // Durations and their formats: 5 hours of working time, 6 elapsed hours.
    const QString curing = taskWithName(text, QStringLiteral("Curing"));
    EXPECT_EQ(elementOf(curing, "Duration"), QStringLiteral("PT10H0M0S"));
    EXPECT_EQ(elementOf(curing, "DurationFormat"), QStringLiteral("6"));
    EXPECT_EQ(elementOf(curing, "PercentComplete"), QStringLiteral("70.000000")); // not 69.999999
    const QString deepest = taskWithName(text, QStringLiteral("&#1593;&#1585;&#1576;&#1610; &#1506;&#1489;&#1512;&#1497;&#1514; &#20013;&#25991; &#119070;"));
    EXPECT_EQ(elementOf(deepest, "DurationFormat"), QStringLiteral("5"));
    EXPECT_EQ(elementOf(deepest, "Duration"), QStringLiteral("PT27H0M0S")); // three days of nine hours
    EXPECT_EQ(elementOf(deepest, "PercentComplete"), QStringLiteral("50.000000"));
    // Amounts in hundredths; work for each of the three resources.
    EXPECT_EQ(elementOf(deepest, "FixedCost"), QStringLiteral("125075"));
    EXPECT_EQ(elementOf(deepest, "Work"), QStringLiteral("PT81H0M0S"));
    EXPECT_EQ(elementOf(deepest, "Notes"), QStringLiteral("Line one\nLine\ttwo&#13;\nthree &amp; &lt;four&gt;"));

    // Milestones: assignments but no PercentComplete or FixedCost; processes: PercentComplete,
    // no FixedCost; a task whose cost comes from its resources: no FixedCost.
    const QString milestone = taskWithName(text, QStringLiteral("Deck done"));
    EXPECT_EQ(elementOf(milestone, "Milestone"), QStringLiteral("1"));
    EXPECT_FALSE(milestone.contains(QStringLiteral("PercentComplete")));
    EXPECT_FALSE(milestone.contains(QStringLiteral("FixedCost")));
    EXPECT_TRUE(joints.contains(QStringLiteral("<PercentComplete>")));
    EXPECT_FALSE(joints.contains(QStringLiteral("FixedCost")));
    EXPECT_EQ(elementOf(joints, "Summary"), QStringLiteral("1"));
    EXPECT_FALSE(taskWithName(text, QStringLiteral("&lt;/Name&gt;&lt;Task&gt;]]&gt;&amp;amp;' &quot;x&quot;  padded ")).contains("FixedCost"));

    // Link types: finish to finish 0, finish to start 1, start to finish 2, start to start 3.
    const QString hourly = taskWithName(text, QStringLiteral("Inspection"));
    EXPECT_EQ(elementOf(hourly, "Type", QStringLiteral("<PredecessorLink>")), QStringLiteral("0"));
    EXPECT_EQ(elementOf(curing, "Type", QStringLiteral("<PredecessorLink>")), QStringLiteral("3"));
    EXPECT_EQ(elementOf(milestone, "Type", QStringLiteral("<PredecessorLink>")), QStringLiteral("2"));

    // Actual dates only for work begun or done.
    EXPECT_FALSE(hourly.contains(QStringLiteral("<ActualStart>")));
    EXPECT_FALSE(milestone.contains(QStringLiteral("<ActualStart>")));
    EXPECT_EQ(elementOf(joints, "ActualStart"), QStringLiteral("2024-03-04T08:00:00")); // half its work is done
    EXPECT_EQ(elementOf(deepest, "ActualStart"), QStringLiteral("2024-03-04T08:00:00"));
    EXPECT_FALSE(deepest.contains(QStringLiteral("<ActualFinish>")));
    EXPECT_EQ(elementOf(taskWithName(text, QStringLiteral("Survey A")), "ActualFinish"), QStringLiteral("2024-04-02T17:00:00"));

    // Tasks are numbered in file order from 1, as the format's rows.
    EXPECT_EQ(elementOf(taskWithName(text, QStringLiteral("Works")), "ID"), QStringLiteral("1"));
    EXPECT_EQ(elementOf(surveyC, "ID"), QStringLiteral("11"));

    // Days off as calendar exceptions: the dated day and range, a yearly day over the project's
    // year, a yearly range day by day (28 February to 1 March of a leap year, New Year's Eve and
    // Day).
    EXPECT_EQ(text.count(QStringLiteral("<Exception>")), 8);
    const QString fair = text.mid(text.lastIndexOf(QStringLiteral("<Exception>"), text.indexOf(QStringLiteral("<Name>Fair</Name>"))));
    EXPECT_EQ(elementOf(fair, "FromDate"), QStringLiteral("2024-05-20T00:00:00"));
    EXPECT_EQ(elementOf(fair, "ToDate"), QStringLiteral("2024-05-22T23:59:00"));
    const QString labour = text.mid(text.lastIndexOf(QStringLiteral("<Exception>"), text.indexOf(QStringLiteral("<Name>Labour day</Name>"))));
    EXPECT_EQ(elementOf(labour, "Type"), QStringLiteral("2"));
    EXPECT_EQ(elementOf(labour, "Month"), QStringLiteral("4"));
    EXPECT_EQ(elementOf(labour, "MonthDay"), QStringLiteral("1"));

    // Resources: the fixed one, then the group's member, the crane, the scaffold and the permit;
    // the group writes none. The scaffold's amount per task is its cost per use; the two paid by
    // the task say so to our reader.
    EXPECT_EQ(text.count(QStringLiteral("<Resource>")), 5);
    EXPECT_EQ(text.count(QStringLiteral("<?halcyra-cost-kind per-task?>")), 2);
    EXPECT_EQ(elementOf(text, "CostPerUse", QStringLiteral("<Name>Scaffold</Name>")), QStringLiteral("12000"));
    EXPECT_EQ(elementOf(text, "StandardRate", QStringLiteral("<Name>Scaffold</Name>")), QStringLiteral("0"));
    // Two tasks of the scaffold: 240.00.
    EXPECT_EQ(elementOf(text, "Cost", QStringLiteral("<Name>Scaffold</Name>")), QStringLiteral("24000"));
    EXPECT_FALSE(text.contains(QStringLiteral("<Name>Crew</Name>")));
    EXPECT_LT(text.indexOf(QStringLiteral("Ada &quot;the&quot;")), text.indexOf(QStringLiteral("<Name>Crane</Name>")));
    EXPECT_EQ(elementOf(text, "StandardRate", QStringLiteral("Ada &quot;")), QStringLiteral("52.5"));
    EXPECT_EQ(elementOf(text, "StandardRateFormat", QStringLiteral("<Name>Crane</Name>")), QStringLiteral("3"));
    EXPECT_EQ(elementOf(text, "StandardRate", QStringLiteral("<Name>Crane</Name>")), QStringLiteral("44.4444444444"));
    EXPECT_EQ(text.count(QStringLiteral("<Assignment>")), 6);
    // Each assignment works its task's duration; the budget travels as our own instruction.
    EXPECT_EQ(elementOf(text, "Work", QStringLiteral("<Assignments>")), QStringLiteral("PT27H0M0S"));
    EXPECT_EQ(text.count(QStringLiteral("<?halcyra-budget 25000.5?>")), 1);
}

// Numbers in the file do not follow the user's locale: a German one writes the same file, and
// every number in it reads with a decimal point.
TEST(MSProjectXMLExport, NumbersDoNotFollowTheUserLocale)
{
    SampleProject sample;
    const QByteArray plain = DMMSProjectXMLConverter::MSProjectXMLDataForProject(*sample.project);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QByteArray german = DMMSProjectXMLConverter::MSProjectXMLDataForProject(*sample.project);
    QLocale::setDefault(before);
    EXPECT_EQ(german, plain);

    const QString text = QString::fromUtf8(german);
    // Digits with a comma or a point in them: outline numbers ("1.2.3") and decimals ("52.5").
    const QRegularExpression numeric(QStringLiteral("<(\\w+)>-?[0-9]+([.,][0-9]+)+</\\1>"));
    int numbers = 0;
    for (const QRegularExpressionMatch &match : numeric.globalMatch(text)) {
        EXPECT_FALSE(match.captured(0).contains(QLatin1Char(','))) << match.captured(0).toStdString();
        ++numbers;
    }
    EXPECT_GT(numbers, 50);
    EXPECT_EQ(elementOf(text, "MaxUnits"), QStringLiteral("1.00"));
    EXPECT_EQ(elementOf(text, "BCWP"), QStringLiteral("0.00"));
}

TEST(MSProjectXMLExport, TextOutsideWhatXMLCarriesAndFailedWrites)
{
    auto project = DMProject::create();
    project->setTitle(QStringLiteral("bell") + QChar(7) + QStringLiteral(" and ") + QChar(0xFFFF) + QStringLiteral(" end"));
    add<DMProjectTask>(project, nullptr, QString(QChar(0xD800)) + QStringLiteral("lone"), at(2024, 1, 1, 8), at(2024, 1, 1, 9));
    const QByteArray data = DMMSProjectXMLConverter::MSProjectXMLDataForProject(*project);
    // The model already dropped the bell and made the lone surrogate U+FFFD.
    EXPECT_TRUE(data.contains("<Name>bell and &#65533; end</Name>")) << data.toStdString();
    EXPECT_TRUE(data.contains("<Name>&#65533;lone</Name>"));
    auto imported = DMProject::create();
    EXPECT_TRUE(DMMSProjectXMLConverter::importMSProjectXMLDataInProject(data, *imported));

    QTemporaryDir folder;
    QString error;
    EXPECT_FALSE(DMMSProjectXMLConverter::exportProjectToURLError(*project, folder.filePath("missing/plan.xml"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

} // namespace
