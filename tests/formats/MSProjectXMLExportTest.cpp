// Exporting MS Project XML: the text written, its round trip through our import, and what other
// programs make of it (xmllint, and the converter stylesheet of another planner).
#include "DMMSProjectXMLConverter.h"
#include "FormatsTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

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
// resource group, assignments, costs and notes.
struct SampleProject
{
    std::shared_ptr<DMProject> project = DMProject::create();
    std::shared_ptr<DMProjectProcess> outer, middle, inner;
    std::shared_ptr<DMProjectTask> deepest, hostile, elapsed, hourly;
    std::shared_ptr<DMProjectProcess> second;
    std::shared_ptr<DMProjectMilestone> milestone;
    std::shared_ptr<DMProjectResource> group, ada, crane;

    SampleProject()
    {
        DMProject &p = *project;
        p.setTitle(QStringLiteral("Brücke & <Tunnel> \"Ost\" 😀"));
        p.setBeginDate(at(2024, 3, 4, 8));
        p.setEndDate(at(2024, 6, 28, 17));
        p.setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("€"));
        p.setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1020}});
        DMMutableIndexSet_64 weekend;
        weekend.addIndex(0);
        weekend.addIndex(6);
        p.setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekend)));

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
        add<DMProjectTask>(project, second, QStringLiteral("Survey A"), at(2024, 4, 2, 8), at(2024, 4, 2, 17));
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
        group->subitems().append(ada);
        p.resources().append(group);
        p.resources().append(crane);
        deepest->addResource(ada);
        deepest->addResource(crane);
        milestone->addResource(ada);
    }
};

// Every field the format carries, one line per object, in tree order.
QStringList describe(const DMProject &project)
{
    QStringList lines;
    lines << QStringLiteral("project %1 %2 %3 %4").arg(project.title(), project.beginDate().description(),
                                                        project.endDate().description(),
                                                        project.attribute(kDMProject_Settings_CurrencyUnit).toString());
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
            + item.endDate().description() + (item.useWorkingSchedule() ? QString() : QStringLiteral(" elapsed"))
            + QStringLiteral(" notes=") + item.attribute(kDMProjectItem_Notes).toString();
        if (item.kind() == kDMProjectItem_Kind_Task)
            line += QStringLiteral(" progress=%1 cost=%2/%3")
                        .arg(item.progress())
                        .arg(item.attribute(kDMProjectItem_CostKind).toInt())
                        .arg(item.attribute(kDMProjectItem_Cost).toDouble());
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
        lines << QStringLiteral("resource %1 human=%2 rate=%3 kind=%4 email=%5")
                     .arg(resource->name())
                     .arg(resource->attribute(kDMProjectResource_Human).toBool())
                     .arg(resource->attribute(kDMProjectResource_HourlyCost).toDouble())
                     .arg(resource->attribute(kDMProjectResource_CostKind).toInt())
                     .arg(resource->attribute(kDMProjectResource_Email).toString());
    }
    return lines;
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
    // An hourly-rate task comes back as the fixed cost it came to (3 hours at 80).
    QStringList expected = describe(*sample.project);
    expected.replaceInStrings(QStringLiteral("Inspection 2024-04-01 09:00:00 - 2024-04-01 12:00:00 notes= progress=0 cost=1/80"),
                              QStringLiteral("Inspection 2024-04-01 09:00:00 - 2024-04-01 12:00:00 notes= progress=0 cost=0/240"));
    // Groups are not part of the format: their members come back at the top level.
    EXPECT_EQ(describe(*imported), expected);

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
    const ProjectCounts counts = countsOf(*sample.project);
    EXPECT_EQ(planner.count(QRegularExpression(QStringLiteral("<task "))), counts.tasks + counts.milestones + counts.processes);
    EXPECT_EQ(planner.count(QRegularExpression(QStringLiteral("<predecessor "))), counts.links);
    EXPECT_TRUE(planner.contains(QStringLiteral("name=\"Deck done\"")));
}

QString elementOf(const QString &text, const QString &name, const QString &after = QString())
{
    const qsizetype from = after.isEmpty() ? 0 : text.indexOf(after);
    const QRegularExpression pattern(QStringLiteral("<%1>([^<]*)</%1>").arg(name));
    const QRegularExpressionMatch match = pattern.match(text, qMax<qsizetype>(0, from));
    return match.hasMatch() ? match.captured(1) : QStringLiteral("(none)");
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
    EXPECT_EQ(elementOf(deepest, "FixedCost"), QStringLiteral("1250.750000"));
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

    // Resources: the fixed one, then the group's member and the crane; the group writes none.
    EXPECT_EQ(text.count(QStringLiteral("<Resource>")), 3);
    EXPECT_FALSE(text.contains(QStringLiteral("<Name>Crew</Name>")));
    EXPECT_LT(text.indexOf(QStringLiteral("Ada &quot;the&quot;")), text.indexOf(QStringLiteral("<Name>Crane</Name>")));
    EXPECT_EQ(elementOf(text, "StandardRate", QStringLiteral("Ada &quot;")), QStringLiteral("52.5"));
    EXPECT_EQ(elementOf(text, "StandardRateFormat", QStringLiteral("<Name>Crane</Name>")), QStringLiteral("3"));
    EXPECT_EQ(text.count(QStringLiteral("<Assignment>")), 3);
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
