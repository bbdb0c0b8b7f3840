// Reading a large XML property list, shaped like a project file, against a bare libxml2 parse of
// the same bytes: the reader should stay within a small factor of the parse alone.
#include "BenchSupport.h"
#include "DMPropertyList.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QVariant>

namespace {

// About 20 MB: a document dictionary holding ~100k task dictionaries of strings, integers,
// reals and dates, each with a small nested dictionary.
const QByteArray &projectLikePlist()
{
    static const QByteArray xml = [] {
        QByteArray text;
        text.reserve(21 * 1024 * 1024);
        text += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                "<plist version=\"1.0\">\n<dict>\n\t<key>version</key>\n\t<integer>3</integer>\n"
                "\t<key>tasks</key>\n\t<array>\n";
        for (int i = 0; text.size() < 20 * 1000 * 1000; ++i) {
            const QByteArray n = QByteArray::number(i);
            const QByteArray day = QByteArray::number(10 + i % 18);
            text += "\t\t<dict>\n"
                    "\t\t\t<key>title</key>\n\t\t\t<string>Task " + n + " &amp; review</string>\n"
                    "\t\t\t<key>identifier</key>\n\t\t\t<integer>" + n + "</integer>\n"
                    "\t\t\t<key>duration</key>\n\t\t\t<real>" + QByteArray::number(i % 40) + ".5</real>\n"
                    "\t\t\t<key>start</key>\n\t\t\t<date>2024-03-" + day + "T08:00:00Z</date>\n"
                    "\t\t\t<key>style</key>\n\t\t\t<dict>\n"
                    "\t\t\t\t<key>color</key>\n\t\t\t\t<string>#3366CC</string>\n"
                    "\t\t\t\t<key>priority</key>\n\t\t\t\t<integer>-" + QByteArray::number(i % 5) + "</integer>\n"
                    "\t\t\t</dict>\n"
                    "\t\t</dict>\n";
        }
        text += "\t</array>\n</dict>\n</plist>\n";
        return text;
    }();
    return xml;
}

void BM_DMPropertyListReadXML(benchmark::State &state)
{
    const QByteArray &xml = projectLikePlist();
    for (auto _ : state) {
        QVariant value = DMPropertyList::propertyListWithData(xml);
        if (!value.isValid())
            state.SkipWithError("not read");
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * xml.size());
}

void BM_Libxml2ParseOnly(benchmark::State &state)
{
    benchmarkBareLibxml2Parse(state, projectLikePlist());
}

} // namespace

BENCHMARK(BM_DMPropertyListReadXML)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Libxml2ParseOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
