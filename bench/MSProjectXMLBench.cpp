// Importing a 100,000-task MS Project XML file, against a bare libxml2 parse of the same bytes:
// the import should stay within three times the parse alone.
#include "BenchSupport.h"
#include "DMImportReport.h"
#include "DMMSProjectXMLConverter.h"
#include "DMProject.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

namespace {

constexpr int kTasks = 100000;
constexpr int kTasksPerPhase = 20;
constexpr int kResources = 200;

QByteArray dateText(int dayOffset, int hour)
{
    // Working days from Monday 2024-01-01, five a week.
    const int week = dayOffset / 5;
    const int day = 1 + week * 7 + dayOffset % 5;
    const QDate date = QDate(2024, 1, 1).addDays(day - 1);
    return date.toString(Qt::ISODate).toLatin1() + "T" + QByteArray::number(hour).rightJustified(2, '0') + ":00:00";
}

// A file shaped like the ones MS Project writes: the standard calendar, resources, phases of
// tasks with their elements, a chain of links inside each phase, and one assignment per task.
const QByteArray &largeProjectFile()
{
    static const QByteArray xml = [] {
        QByteArray text;
        text.reserve(160 * 1024 * 1024);
        text += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                "<Project xmlns=\"http://schemas.microsoft.com/project\">\n<Name>Large plan</Name>\n"
                "<StartDate>2024-01-01T08:00:00</StartDate>\n<FinishDate>2030-12-31T17:00:00</FinishDate>\n"
                "<CalendarUID>1</CalendarUID>\n<Calendars>\n<Calendar>\n<UID>1</UID>\n<Name>Standard</Name>\n<WeekDays>\n";
        for (int day = 1; day <= 7; ++day) {
            text += "<WeekDay>\n<DayType>" + QByteArray::number(day) + "</DayType>\n";
            if (day == 1 || day == 7)
                text += "<DayWorking>0</DayWorking>\n";
            else
                text += "<DayWorking>1</DayWorking>\n<WorkingTimes>\n<WorkingTime>\n<FromTime>08:00:00</FromTime>\n"
                        "<ToTime>12:00:00</ToTime>\n</WorkingTime>\n<WorkingTime>\n<FromTime>13:00:00</FromTime>\n"
                        "<ToTime>17:00:00</ToTime>\n</WorkingTime>\n</WorkingTimes>\n";
            text += "</WeekDay>\n";
        }
        text += "</WeekDays>\n</Calendar>\n</Calendars>\n<Tasks>\n";
        int uid = 1;
        int phase = 0;
        for (int task = 0; task < kTasks; ++phase) {
            const int first = task;
            const int count = std::min(kTasksPerPhase, kTasks - task);
            auto element = [&](int number, const QByteArray &outline, int level, bool summary, int begin, int length,
                               int predecessor) {
                const QByteArray n = QByteArray::number(number);
                text += "<Task>\n<UID>" + n + "</UID>\n<ID>" + n + "</ID>\n<Name>Task " + n + " &amp; review</Name>\n"
                        "<Type>1</Type>\n<IsNull>0</IsNull>\n<CreateDate>2023-12-01T09:00:00</CreateDate>\n"
                        "<WBS>" + outline + "</WBS>\n<OutlineNumber>" + outline + "</OutlineNumber>\n<OutlineLevel>"
                    + QByteArray::number(level) + "</OutlineLevel>\n<Priority>500</Priority>\n<Start>"
                    + dateText(begin, 8) + "</Start>\n<Finish>" + dateText(begin + length - 1, 17) + "</Finish>\n"
                        "<Duration>PT" + QByteArray::number(8 * length) + "H0M0S</Duration>\n<DurationFormat>7</DurationFormat>\n"
                        "<Work>PT" + QByteArray::number(8 * length) + "H0M0S</Work>\n<ResumeValid>0</ResumeValid>\n"
                        "<EffortDriven>0</EffortDriven>\n<Recurring>0</Recurring>\n<OverAllocated>0</OverAllocated>\n"
                        "<Estimated>0</Estimated>\n<Milestone>0</Milestone>\n<Summary>" + QByteArray(summary ? "1" : "0")
                    + "</Summary>\n<Critical>0</Critical>\n<IsSubproject>0</IsSubproject>\n<ExternalTask>0</ExternalTask>\n"
                        "<EarlyStart>" + dateText(begin, 8) + "</EarlyStart>\n<EarlyFinish>" + dateText(begin + length - 1, 17)
                    + "</EarlyFinish>\n<FixedCost>" + QByteArray::number(number % 7 * 100) + "</FixedCost>\n"
                        "<FixedCostAccrual>3</FixedCostAccrual>\n<PercentComplete>" + QByteArray::number(number % 101)
                    + "</PercentComplete>\n<PercentWorkComplete>0</PercentWorkComplete>\n<Cost>0</Cost>\n"
                        "<ConstraintType>0</ConstraintType>\n<CalendarUID>-1</CalendarUID>\n<LevelAssignments>1</LevelAssignments>\n"
                        "<Notes>Notes of task " + n + "</Notes>\n";
                if (predecessor > 0)
                    text += "<PredecessorLink>\n<PredecessorUID>" + QByteArray::number(predecessor) + "</PredecessorUID>\n"
                            "<Type>1</Type>\n<CrossProject>0</CrossProject>\n<LinkLag>0</LinkLag>\n<LagFormat>7</LagFormat>\n"
                            "</PredecessorLink>\n";
                text += "</Task>\n";
            };
            const QByteArray phaseNumber = QByteArray::number(phase + 1);
            element(uid++, phaseNumber, 1, true, first / 4, count, 0);
            for (int i = 0; i < count; ++i, ++task) {
                const int number = uid++;
                element(number, phaseNumber + "." + QByteArray::number(i + 1), 2, false, first / 4 + i, 1 + i % 3,
                        i > 0 ? number - 1 : 0);
            }
        }
        text += "</Tasks>\n<Resources>\n";
        for (int r = 1; r <= kResources; ++r)
            text += "<Resource>\n<UID>" + QByteArray::number(r) + "</UID>\n<Name>Resource " + QByteArray::number(r)
                + "</Name>\n<Type>1</Type>\n<StandardRate>" + QByteArray::number(20 + r % 50)
                + "</StandardRate>\n<StandardRateFormat>2</StandardRateFormat>\n</Resource>\n";
        text += "</Resources>\n<Assignments>\n";
        for (int a = 1; a < uid; ++a)
            if (a % (kTasksPerPhase + 1) != 1)
                text += "<Assignment>\n<UID>" + QByteArray::number(a) + "</UID>\n<TaskUID>" + QByteArray::number(a)
                    + "</TaskUID>\n<ResourceUID>" + QByteArray::number(1 + a % kResources)
                    + "</ResourceUID>\n<Units>1</Units>\n</Assignment>\n";
        text += "</Assignments>\n</Project>\n";
        return text;
    }();
    return xml;
}

void BM_MSProjectXMLImport(benchmark::State &state)
{
    const QByteArray &xml = largeProjectFile();
    for (auto _ : state) {
        auto project = DMProject::create();
        DMImportReport report;
        if (!DMMSProjectXMLConverter::importMSProjectXMLDataInProject(xml, *project, &report))
            state.SkipWithError("not imported");
        state.PauseTiming();
        if (project->tasks().size() != (kTasks + kTasksPerPhase - 1) / kTasksPerPhase)
            state.SkipWithError("wrong number of phases");
        project.reset(); // closing the project is not part of the import
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * xml.size());
}

void BM_Libxml2ParseOnly(benchmark::State &state)
{
    benchmarkBareLibxml2Parse(state, largeProjectFile());
}

} // namespace

BENCHMARK(BM_MSProjectXMLImport)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Libxml2ParseOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
