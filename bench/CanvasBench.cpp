// Drawing and hit-testing a canvas of 10,000 objects, with a data source that filters its
// objects by rectangle the way the document does.
#include "BenchSupport.h"
#include "DMBaseObject.h"
#include "DMObjectView.h"
#include "DMObjectViewDataSource.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

class GridSource : public DMObjectViewDataSource
{
public:
    explicit GridSource(int count)
    {
        for (int i = 0; i < count; ++i) {
            auto object = std::make_shared<DMBaseObject>(QRectF((i % 100) * 20.0, (i / 100) * 12.0, 16.0, 10.0));
            object->setFillColor(QColor::fromHsv(i % 360, 200, 230));
            objects.append(object);
        }
    }
    DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *, const QRectF &rect, quint16 layer) override
    {
        DMBaseObjectList result;
        if (layer != 1)
            return result;
        for (const auto &object : objects) {
            if (object->boundingBox().intersects(rect))
                result.append(object);
        }
        return result;
    }
    DMBaseObjectList objects;
};

void drawPass(benchmark::State &state)
{
    GridSource source(10000);
    DMObjectView view;
    view.setDatasource(&source);
    view.addLayerEventPriority(0, 0);
    view.addLayerEventPriority(1, 1);
    view.resize(2000, 1200); // every object visible
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.render(&painter);
    }
    view.setDatasource(nullptr);
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(drawPass)->Unit(benchmark::kMillisecond);

void hitTest(benchmark::State &state)
{
    GridSource source(10000);
    DMObjectView view;
    view.setDatasource(&source);
    view.addLayerEventPriority(0, 0);
    view.addLayerEventPriority(1, 1);
    view.resize(2000, 1200);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(view.hitTestObjectAtPoint(QPointF((i % 100) * 20.0 + 5, (i / 100 % 100) * 12.0 + 5)));
        ++i;
    }
    view.setDatasource(nullptr);
}
BENCHMARK(hitTest)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
