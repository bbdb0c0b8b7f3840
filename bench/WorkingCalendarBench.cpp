#include "DMIndexSet_64.h"
#include "DMWorkingCalendar.h"
#include "DMWorkingTimeline.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr qint64 kWorkingDay = 10 * 3600;
constexpr qint64 kOneWorkingYear = 250 * kWorkingDay;

// Weekends off, 08:00 to 18:00, a few yearly holidays and a dated shutdown.
DMWorkingCalendar makeCalendar()
{
    DMWorkingCalendar calendar;
    calendar.setNonWorkingWeekDays(QVariantList{0, 6});
    calendar.setDayTimeSpan(QVariantMap{{"begin", 480}, {"end", 1080}});
    QVariantList daysOff;
    for (const auto &[month, day] : {std::pair{1, 1}, {5, 1}, {7, 14}, {11, 11}, {12, 25}})
        daysOff.append(QVariantMap{{"kDMDayOffIndex", DMProject_NonWorkingDayIndexForMonthDay(month, day)}});
    daysOff.append(QVariantMap{{"kDMDayOffIndex", DMProject_NonWorkingDayIndexForYearMonthDay(2024, 8, 5)},
                               {"kDMDayOffEndIndex", DMProject_NonWorkingDayIndexForYearMonthDay(2024, 8, 16)}});
    calendar.setDaysOff(daysOff);
    return calendar;
}

void BM_EndDateOneWorkingYear(benchmark::State &state)
{
    const DMWorkingCalendar calendar = makeCalendar();
    const DMDate begin = DMDate::dateWithYearMonthDayHourMinuteSecond(2024, 3, 4, 10, 0, 0);
    const bool withSlices = state.range(0) != 0;
    for (auto _ : state) {
        DMMutableIndexSet_64 slices;
        const DMDate end = calendar.endDateWithBeginDateAndDuration(begin, kOneWorkingYear, true,
                                                                    withSlices ? &slices : nullptr);
        benchmark::DoNotOptimize(end);
        benchmark::DoNotOptimize(slices);
    }
}
BENCHMARK(BM_EndDateOneWorkingYear)->Arg(1)->ArgName("slices")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EndDateOneWorkingYear)->Arg(0)->ArgName("slices")->Unit(benchmark::kMicrosecond);

void BM_DurationBetweenOneYear(benchmark::State &state)
{
    const DMWorkingCalendar calendar = makeCalendar();
    const DMDate begin = DMDate::dateWithYearMonthDayHourMinuteSecond(2024, 3, 4, 10, 0, 0);
    const DMDate end = begin.dateByAddingYearsMonthsDaysHoursMinutesSeconds(1, 0, 0, 0, 0, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(calendar.durationBetween(begin, end, true));
}
BENCHMARK(BM_DurationBetweenOneYear)->Unit(benchmark::kMicrosecond);

// A project's durations counted again as a load does, over a fresh timeline, with the items'
// dates anywhere from year 1 to 9999: most days lie beyond the timeline's table.
void BM_TimelineDurationsOverTenThousandYears(benchmark::State &state)
{
    const DMWorkingCalendar calendar = makeCalendar();
    std::mt19937 random(5);
    std::uniform_int_distribution<qint64> day(DMDate(1, 1, 1, 0).julianDay(), DMDate(9999, 12, 1, 0).julianDay());
    std::vector<std::pair<DMDate, DMDate>> spans;
    for (int i = 0; i < state.range(0); ++i) {
        const DMDate begin = DMDate::dateWithJulianDay(day(random), 9 * 3600);
        spans.emplace_back(begin, begin.dateByAddingSeconds(qint64(random() % 60) * 86400 + 3600));
    }
    for (auto _ : state) {
        DMWorkingTimeline timeline(calendar);
        qint64 total = 0;
        for (const auto &[begin, end] : spans)
            total += timeline.durationBetween(begin, end, true);
        benchmark::DoNotOptimize(total);
    }
    state.counters["per_item_ns"] = benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TimelineDurationsOverTenThousandYears)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
