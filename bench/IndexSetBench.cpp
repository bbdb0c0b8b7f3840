// Work slices: a year of working time as absolute seconds (Julian day * 86400 + second of day),
// 08:00 to 18:00 on weekdays.
#include "DMIndexSet_64.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

constexpr qint64 kFirstJulianDay = 2460311; // a Monday
constexpr qint64 kDays = 365;

std::vector<DMIndexSet_64::Range> workingDayRanges()
{
    std::vector<DMIndexSet_64::Range> ranges;
    for (qint64 day = kFirstJulianDay; day < kFirstJulianDay + kDays; ++day) {
        const int weekday = int((day + 1) % 7); // 0 = Sunday
        if (weekday != 0 && weekday != 6)
            ranges.push_back({day * 86400 + 8 * 3600, 10 * 3600});
    }
    return ranges;
}

DMMutableIndexSet_64 workingYear()
{
    DMMutableIndexSet_64 set;
    for (const auto &r : workingDayRanges())
        set.addIndexesInRange(r);
    return set;
}

void BM_AddWorkingYearInOrder(benchmark::State &state)
{
    const auto ranges = workingDayRanges();
    for (auto _ : state) {
        DMMutableIndexSet_64 set;
        for (const auto &r : ranges)
            set.addIndexesInRange(r);
        benchmark::DoNotOptimize(set.count());
    }
    state.SetItemsProcessed(state.iterations() * qint64(ranges.size()));
}
BENCHMARK(BM_AddWorkingYearInOrder);

void BM_AddWorkingYearShuffled(benchmark::State &state)
{
    auto ranges = workingDayRanges();
    std::shuffle(ranges.begin(), ranges.end(), std::mt19937(7));
    for (auto _ : state) {
        DMMutableIndexSet_64 set;
        for (const auto &r : ranges)
            set.addIndexesInRange(r);
        benchmark::DoNotOptimize(set.count());
    }
    state.SetItemsProcessed(state.iterations() * qint64(ranges.size()));
}
BENCHMARK(BM_AddWorkingYearShuffled);

// Second-by-second, as a naive caller filling a day would.
void BM_AddWorkingDaySecondBySecond(benchmark::State &state)
{
    const qint64 begin = kFirstJulianDay * 86400 + 8 * 3600;
    for (auto _ : state) {
        DMMutableIndexSet_64 set;
        for (qint64 s = begin; s < begin + 10 * 3600; ++s)
            set.addIndex(s);
        benchmark::DoNotOptimize(set.count());
    }
    state.SetItemsProcessed(state.iterations() * 10 * 3600);
}
BENCHMARK(BM_AddWorkingDaySecondBySecond);

void BM_ContainsIndexInWorkingYear(benchmark::State &state)
{
    const DMMutableIndexSet_64 set = workingYear();
    std::mt19937_64 random(11);
    std::uniform_int_distribution<qint64> second(kFirstJulianDay * 86400, (kFirstJulianDay + kDays) * 86400 - 1);
    std::vector<qint64> probes(4096);
    for (qint64 &p : probes)
        p = second(random);
    size_t i = 0;
    qint64 hits = 0;
    for (auto _ : state) {
        hits += set.containsIndex(probes[i++ & 4095]);
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ContainsIndexInWorkingYear);

} // namespace

BENCHMARK_MAIN();
