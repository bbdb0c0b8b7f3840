// The timeline header: rebuilding the column cache of a ten-year span, and one drawing pass over
// a year of columns as when printing.

#include "BenchSupport.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectTimelineDataSource.h"
#include "DMTimelineColumnCache.h"
#include "DMTimelineView.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

static void columnCacheTenYears(benchmark::State &state)
{
    DMTimelineColumnCacheInputs inputs;
    inputs.mode = 4;
    inputs.dayCount = 3653;
    inputs.firstDayOfWeek = 1;
    inputs.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    int day = 0;
    for (auto _ : state) {
        inputs.firstDay = DMDate(2020, 1, 1 + (day++ % 2), 0); // a new span each time
        DMTimelineColumnCache cache;
        cache.rebuild(inputs);
        benchmark::DoNotOptimize(cache.columnCount());
    }
}
BENCHMARK(columnCacheTenYears)->Unit(benchmark::kMillisecond);

static void printYear(benchmark::State &state)
{
    auto project = DMProject::create();
    project->setAttribute(kDMProject_TimelineViewMode, 3);
    DMProject_DisplayAttributes &attributes = project->displayAttributes();
    attributes.timeSpanBeginDate = DMDate(2024, 1, 1, 0);
    attributes.timeSpanEndDate = DMDate(2025, 1, 1, 0);
    attributes.pixelsPerDay = 16;
    DMProjectTimelineDataSource source(project);
    DMTimelineView view;
    view.resize(366 * 16, 57);
    view.setDataSource(&source);
    view.setPrinting(true);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    view.setDataSource(nullptr);
}
BENCHMARK(printYear)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
