#pragma once

#include <QApplication>
#include <QByteArray>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <plist/plist.h>

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

// The yardstick of opening a project: libplist parsing its project.xml into a tree and freeing it.
inline void benchmarkBarePlistParse(benchmark::State &state, const QByteArray &xml)
{
    for (auto _ : state) {
        plist_t root = nullptr;
        plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
        if (!root)
            state.SkipWithError("not parsed");
        plist_free(root);
    }
}

// The yardstick of the readers of XML files: libxml2 parsing the same bytes into a tree and
// freeing it, with no network access.
inline void benchmarkBareLibxml2Parse(benchmark::State &state, const QByteArray &xml)
{
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadMemory(xml.constData(), int(xml.size()), nullptr, nullptr, XML_PARSE_NONET);
        if (!doc)
            state.SkipWithError("not parsed");
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(state.iterations() * xml.size());
}
