// Importing the earlier planner's keyed archives, written for the test by Python's plistlib
// (make_pendulo_archives.py): the same project in binary and XML form, and damaged archives.
#include "DMPenduloProjectConverter.h"
#include "FormatsTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

using namespace halcyra::test;

class PenduloImportTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = new QTemporaryDir;
        QProcess python;
        python.setProcessChannelMode(QProcess::MergedChannels);
        python.start(QStandardPaths::findExecutable(QStringLiteral("python3")),
                     {QStringLiteral(HALCYRA_SOURCE_DIR "/tests/formats/make_pendulo_archives.py"), s_folder->path()});
        python.waitForFinished(60000);
        s_scriptOutput = QString::fromUtf8(python.readAll());
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    static QString file(const QString &name) { return s_folder->filePath(name); }
    static QByteArray bytes(const QString &name)
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A fresh project with the working day of the worked examples: 08:00 to 20:00.
    static std::shared_ptr<DMProject> freshProject()
    {
        auto project = DMProject::create();
        project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1200}});
        return project;
    }

    static bool import(const QString &name, DMProject &project, DMImportReport *report, QStringList folders = {})
    {
        if (folders.isEmpty())
            folders = {file(QStringLiteral("preferences"))};
        return DMPenduloProjectConverter::importPenduloProjectDataInProject(bytes(name), project, folders, report);
    }

    static inline QTemporaryDir *s_folder = nullptr;
    static inline QString s_scriptOutput;
};

TEST_F(PenduloImportTest, EveryFieldInBothFormats)
{
    ASSERT_TRUE(QFile::exists(file(QStringLiteral("full-binary.pendulo")))) << s_scriptOutput.toStdString();
    for (const QString &name : {QStringLiteral("full-binary.pendulo"), QStringLiteral("full-xml.pendulo")}) {
        SCOPED_TRACE(name.toStdString());
        auto project = freshProject();
        DMImportReport report;
        ASSERT_TRUE(import(name, *project, &report)) << report.failureReason().toStdString();
        DMProject &p = *project;

        EXPECT_EQ(p.title(), QStringLiteral("Bridge ✓ renovation"));
        EXPECT_EQ(p.beginDate(), at(2024, 3, 4));
        // The end was archived without a time zone: the wall-clock time of this system's zone.
        const QDateTime localEnd = QDateTime::fromSecsSinceEpoch(QDateTime(QDate(2024, 4, 30), QTime(12, 0), Qt::UTC).toSecsSinceEpoch(), Qt::LocalTime);
        EXPECT_EQ(p.endDate(), DMDate::dateWithNSDate(localEnd));
        const QVariantMap span{{kDMTimeSpanBegin, QVariant::fromValue(at(2024, 3, 4))},
                               {kDMTimeSpanEnd, QVariant::fromValue(DMDate::dateWithJulianDay(p.endDate().julianDay(), 0))}};
        EXPECT_EQ(p.attribute(kDMProject_TimelineViewTimeSpan).toMap().value(kDMTimeSpanBegin).value<DMDate>(), at(2024, 3, 4));
        EXPECT_EQ(p.attribute(kDMProject_TimelineViewCustomTimeSpan).toMap().value(kDMTimeSpanEnd).value<DMDate>(),
                  span.value(kDMTimeSpanEnd).value<DMDate>());
        EXPECT_DOUBLE_EQ(p.attribute(kDMProject_Settings_Budget).toDouble(), 15000.5);
        // The working week of the earlier application's preferences: Saturday and Sunday off.
        for (int day = 0; day < 7; ++day)
            EXPECT_EQ(isNonWorkingWeekDay(p, day), day == 0 || day == 6) << day;

        // Resources: a cost of 120 per working day of 12 hours is 10 per hour.
        ASSERT_EQ(p.resources().size(), 2);
        const auto crew = p.resources().at(0);
        const auto crane = p.resources().at(1);
        EXPECT_TRUE(crew->isGroup());
        ASSERT_EQ(crew->subitems().size(), 2);
        const auto ada = crew->subitems().at(0);
        const auto bob = crew->subitems().at(1);
        EXPECT_EQ(ada->name(), QStringLiteral("Ada"));
        EXPECT_NEAR(ada->attribute(kDMProjectResource_HourlyCost).toDouble(), 10.0, 1e-4);
        EXPECT_NEAR(bob->attribute(kDMProjectResource_HourlyCost).toDouble(), 20.0, 1e-4);
        EXPECT_NEAR(crane->attribute(kDMProjectResource_HourlyCost).toDouble(), 80.0, 1e-4);
        EXPECT_EQ(crane->attribute(kDMProjectResource_Icon).value<QImage>().size(), QSize(2, 2));

        // Tasks in archive order, the unknown type and the repeat left out, no hierarchy.
        EXPECT_EQ(titlesOf(p.tasks().list()),
                  (QStringList{"Survey", "Night shift", "Phase", "Milestone", "Backwards", "Same", "No dates"}));
        const auto survey = std::dynamic_pointer_cast<DMProjectTask>(p.tasks().at(0));
        ASSERT_TRUE(survey);
        // Day 1 00:00 to day 3 23:59 on the working schedule: 08:00 on day 1 to 20:00 on day 3.
        EXPECT_EQ(survey->beginDate(), at(2024, 3, 4, 8));
        EXPECT_EQ(survey->endDate(), at(2024, 3, 6, 20));
        EXPECT_TRUE(survey->useWorkingSchedule());
        EXPECT_FLOAT_EQ(survey->progress(), 0.4f);
        EXPECT_EQ(survey->attribute(kDMProjectItem_Notes).toString(), QStringLiteral("Check the piers"));
        EXPECT_EQ(survey->attribute(kDMProjectItem_CostKind).toInt(), 0);
        EXPECT_DOUBLE_EQ(survey->attribute(kDMProjectItem_Cost).toDouble(), 500.0);
        EXPECT_EQ(survey->fillColor(), QColor::fromRgbF(0.25f, 0.5f, 0.75f));
        EXPECT_EQ(survey->concernedResources(), (QList{ada, crane}));

        const auto night = p.tasks().at(1);
        EXPECT_EQ(night->kind(), kDMProjectItem_Kind_Task);
        EXPECT_FALSE(night->useWorkingSchedule());
        EXPECT_EQ(night->beginDate(), at(2024, 3, 5, 22));
        EXPECT_EQ(night->endDate(), at(2024, 3, 6, 6));
        const auto phase = p.tasks().at(2);
        EXPECT_EQ(phase->kind(), kDMProjectItem_Kind_Process);
        EXPECT_EQ(phase->attribute(kDMProjectItem_CostKind).toInt(), 2);
        EXPECT_EQ(phase->endDate(), at(2024, 3, 8, 20));
        const auto milestone = std::dynamic_pointer_cast<DMProjectTask>(p.tasks().at(3));
        EXPECT_EQ(milestone->kind(), kDMProjectItem_Kind_Milestone);
        EXPECT_EQ(milestone->beginDate(), at(2024, 3, 8, 8));
        EXPECT_EQ(milestone->endDate(), at(2024, 3, 8, 8));
        EXPECT_EQ(milestone->concernedResources(), (QList{bob}));

        // Repairs: swapped, made a minute long, given the project's begin and one day.
        EXPECT_EQ(p.tasks().at(4)->beginDate(), at(2024, 3, 10, 20));
        EXPECT_EQ(p.tasks().at(4)->endDate(), at(2024, 3, 12, 8));
        EXPECT_EQ(p.tasks().at(5)->endDate(), at(2024, 3, 13, 9, 1));
        EXPECT_EQ(p.tasks().at(6)->beginDate(), at(2024, 3, 4));
        EXPECT_EQ(p.tasks().at(6)->endDate(), at(2024, 3, 5));
        EXPECT_TRUE(report.lines().contains(
            QStringLiteral("PenduloProject Importer: item \"Backwards\" end date is earlier than its begin date! Inverting them.")));
        EXPECT_TRUE(report.lines().contains(
            QStringLiteral("PenduloProject Importer: item \"Same\" begins and ends at the same date! Making it 1 minute long.")));

        // Links: those to and from the skipped task, and the one to a missing task, make nothing.
        ProjectCounts counts = countsOf(p);
        EXPECT_EQ(counts.links, 2);
        const auto first = survey->outboundDependencyToItem(night.get());
        ASSERT_TRUE(first);
        EXPECT_EQ(first->color(), QColor::fromRgbF(0.0f, 0.0f, 0.0f, 1.0f));
        EXPECT_TRUE(night->outboundDependencyToItem(milestone.get()));
        EXPECT_EQ(report.repairedCount(), 3);
        EXPECT_EQ(report.skippedCount(), 5); // the unknown task, the repeated one and three links
        EXPECT_EQ(report.userSummary(), QStringLiteral("Items repaired: 3. Items skipped: 5."));

        // The alert: 10:00 on its day, ending at the time of day of its end hour.
        ASSERT_EQ(p.eventContainer()->events().size(), 1);
        const auto event = p.eventContainer()->events().first();
        EXPECT_EQ(event->title(), QStringLiteral("Review"));
        EXPECT_EQ(event->beginDate(), at(2024, 3, 7, 10));
        EXPECT_EQ(event->endDate(), at(2024, 3, 7, 11, 30));

        EXPECT_TRUE(p.attribute(kDMProject_ClearFilename).toBool());
        EXPECT_TRUE(p.attribute(kDMProject_ClearFromRecentItems).toBool());
    }
}

TEST_F(PenduloImportTest, DamagedArchivesOpenNothingAndSayWhy)
{
    const struct
    {
        const char *file;
        const char *reason;
    } rows[] = {
        {"damaged-cycle.pendulo", "reference cycle"},
        {"damaged-bad-reference.pendulo", "reference to object 9999"},
        {"damaged-wrong-type.pendulo", "\"project tasks\" is of type QString, not array"},
        {"damaged-root-not-a-project.pendulo", "not a PenduloProject project"},
        {"damaged-unknown-class.pendulo", "unknown class ZQMystery"},
        {"damaged-too-deep.pendulo", "deeper than 200 levels"},
        {"damaged-truncated-binary.pendulo", "not a property list"},
        {"damaged-truncated-xml.pendulo", "not a property list"},
        {"damaged-not-an-archive.pendulo", "not a keyed archive"},
    };
    for (const auto &row : rows) {
        auto project = freshProject();
        DMImportReport report;
        EXPECT_FALSE(import(QLatin1String(row.file), *project, &report)) << row.file;
        EXPECT_TRUE(report.failureReason().contains(QLatin1String(row.reason)))
            << row.file << ": " << report.failureReason().toStdString();
        EXPECT_TRUE(project->tasks().isEmpty()) << row.file;
    }
}

TEST_F(PenduloImportTest, WorkingWeekFromTheEarlierPreferences)
{
    // No preferences anywhere: the project keeps its own week.
    QTemporaryDir empty;
    auto project = freshProject();
    DMMutableIndexSet_64 wednesday;
    wednesday.addIndex(3);
    project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(wednesday)));
    ASSERT_TRUE(import(QStringLiteral("full-binary.pendulo"), *project, nullptr, {empty.path()}));
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(isNonWorkingWeekDay(*project, day), day == 3) << day;

    // The document's path: a preferences file beside the archive is found.
    QTemporaryDir beside;
    ASSERT_TRUE(QFile::copy(file(QStringLiteral("full-xml.pendulo")), beside.filePath(QStringLiteral("plan.pendulo"))));
    ASSERT_TRUE(QFile::copy(file(QStringLiteral("preferences/com.qelm.Pendulo4.plist")),
                            beside.filePath(QStringLiteral("com.qelm.Pendulo.plist"))));
    project = freshProject();
    ASSERT_TRUE(DMPenduloProjectConverter::importPenduloProjectDocumentAtPathInProject(beside.filePath(QStringLiteral("plan.pendulo")), *project));
    EXPECT_TRUE(isNonWorkingWeekDay(*project, 6));
    EXPECT_FALSE(isNonWorkingWeekDay(*project, 1));
}

TEST(PenduloResourceCost, CostPerDayOverTheWorkingDay)
{
    EXPECT_NEAR(DMPenduloProjectConverter::hourlyCostForCostPerDay(120.0, 480, 1200), 10.0, 1e-4);
    EXPECT_NEAR(DMPenduloProjectConverter::hourlyCostForCostPerDay(90.0, 540, 1080), 10.0, 1e-4);
    // A working day shorter than 0.01 hours spreads the cost over 24 hours.
    EXPECT_NEAR(DMPenduloProjectConverter::hourlyCostForCostPerDay(240.0, 600, 600), 10.0, 1e-4);
    EXPECT_NEAR(DMPenduloProjectConverter::hourlyCostForCostPerDay(240.0, 0, 1440), 10.0, 1e-4);
}

} // namespace
