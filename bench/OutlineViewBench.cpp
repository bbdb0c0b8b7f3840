// An outline of groups with children (10,000 or 100,000 rows when all is expanded), rows of
// two heights: reloading, hit-testing rows, row rectangles and expanding everything.
#include "BenchSupport.h"
#include "DMOutlineView.h"

#include <QHeaderView>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <random>

namespace {

struct BenchNode
{
    int number = 0;
    std::vector<BenchNode *> children;
};

class GroupSource : public DMOutlineViewDataSource
{
public:
    // Groups of 19 children: one row in 20 is a group.
    explicit GroupSource(int rows) : nodes(size_t(rows))
    {
        for (int i = 0; i < rows; ++i) {
            nodes[size_t(i)].number = i;
            if (i % 20 == 0)
                root.children.push_back(&nodes[size_t(i)]);
            else
                root.children.back()->children.push_back(&nodes[size_t(i)]);
        }
    }
    const BenchNode *at(DMOutlineItem item) const { return item ? static_cast<const BenchNode *>(item) : &root; }
    int outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem item) override
    {
        return int(at(item)->children.size());
    }
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *, int index, DMOutlineItem item) override
    {
        return at(item)->children[size_t(index)];
    }
    bool outlineViewIsItemExpandable(DMOutlineView *, DMOutlineItem item) override
    {
        return !at(item)->children.empty();
    }
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *, const QString &, DMOutlineItem item) override
    {
        return at(item)->number;
    }
    std::optional<int> outlineViewHeightOfRowByItem(DMOutlineView *, DMOutlineItem item) override
    {
        return at(item)->number % 7 == 0 ? std::optional<int>(40) : std::nullopt;
    }

    BenchNode root;
    std::vector<BenchNode> nodes;
};

// An outline shown with everything expanded and laid out.
struct Outline
{
    explicit Outline(int rows) : source(rows)
    {
        view.addTableColumn({QStringLiteral("title"), QStringLiteral("Title"), 200});
        view.addTableColumn({QStringLiteral("begin"), QStringLiteral("Begin"), 100});
        view.addTableColumn({QStringLiteral("end"), QStringLiteral("End"), 100});
        view.setRowHeight(20);
        view.setDataSource(&source);
        view.resize(600, 800);
        view.show();
        view.expandItemExpandChildren(nullptr, true);
        layOut();
    }
    ~Outline() { view.setDataSource(nullptr); }
    // Makes the tree view and the outline's own row cache catch up, as painting would.
    void layOut()
    {
        benchmark::DoNotOptimize(view.indexAt(QPoint(1, 1)));
        benchmark::DoNotOptimize(view.numberOfRows());
    }

    GroupSource source;
    DMOutlineView view;
};

void reloadData(benchmark::State &state)
{
    Outline outline(int(state.range(0)));
    for (auto _ : state) {
        outline.view.reloadData();
        outline.layOut();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(reloadData)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void rowAtPoint(benchmark::State &state)
{
    Outline outline(int(state.range(0)));
    const int height = outline.view.rectOfRow(outline.view.numberOfRows() - 1).bottom();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> ys(0, height);
    for (auto _ : state)
        benchmark::DoNotOptimize(outline.view.rowAtPoint(QPoint(10, ys(random))));
}
BENCHMARK(rowAtPoint)->Arg(10000)->Arg(100000);

void rectOfRow(benchmark::State &state)
{
    Outline outline(int(state.range(0)));
    std::mt19937 random(7);
    std::uniform_int_distribution<int> rows(0, outline.view.numberOfRows() - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(outline.view.rectOfRow(rows(random)));
}
BENCHMARK(rectOfRow)->Arg(10000)->Arg(100000);

void rowForItem(benchmark::State &state)
{
    Outline outline(int(state.range(0)));
    std::mt19937 random(7);
    std::uniform_int_distribution<int> numbers(0, int(state.range(0)) - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(outline.view.rowForItem(&outline.source.nodes[size_t(numbers(random))]));
}
BENCHMARK(rowForItem)->Arg(10000)->Arg(100000);

// Collapsing every group (not timed), then expanding everything and laying out once.
void expandAll(benchmark::State &state)
{
    Outline outline(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        for (const BenchNode *group : outline.source.root.children)
            outline.view.collapseItem(group);
        outline.layOut();
        state.ResumeTiming();
        outline.view.expandItemExpandChildren(nullptr, true);
        outline.layOut();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(expandAll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A change of the rows (one group collapsed and expanded again) and the first query after it.
void toggleOneGroup(benchmark::State &state)
{
    Outline outline(int(state.range(0)));
    const BenchNode *group = outline.source.root.children[outline.source.root.children.size() / 2];
    for (auto _ : state) {
        outline.view.collapseItem(group);
        outline.view.expandItem(group);
        outline.layOut();
    }
}
BENCHMARK(toggleOneGroup)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void paintScrolled(benchmark::State &state)
{
    Outline outline(int(state.range(0)));
    QImage image(outline.view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int value = 0;
    for (auto _ : state) {
        value = (value + 5003) % std::max(1, outline.view.verticalScrollBar()->maximum());
        outline.view.verticalScrollBar()->setValue(value);
        outline.view.viewport()->render(&image);
    }
}
BENCHMARK(paintScrolled)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv);
}
