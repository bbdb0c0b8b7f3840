#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

// The main of the benchmarks that need a QApplication (widgets, painting, documents): they run
// offscreen unless QT_QPA_PLATFORM names another platform.
inline int runBenchmarksInApplication(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
