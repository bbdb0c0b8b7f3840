#include "DMOutlineViewModel.h"
#include "DMOutlineViewTestSupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace outline_test;

namespace {

// A model over a literal tree, with a "title" and a "count" column.
struct OutlineModel
{
    explicit OutlineModel(const QString &literal) : source(literal)
    {
        model.addTableColumn({QStringLiteral("title"), QStringLiteral("Title")});
        model.addTableColumn({QStringLiteral("count"), QStringLiteral("Count")});
        model.setDataSource(&source);
    }
    QModelIndex index(const char *name, int column = 0) const { return model.indexForItem(source.item(name), column); }

    TreeSource source;
    DMOutlineViewModel model;
};

// The tree as the model holds it, loading everything, in the notation of TreeSource.
QString dump(const DMOutlineViewModel &model, const QModelIndex &parent = {})
{
    QStringList parts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        QString part = TreeSource::nameOf(model.itemForIndex(index));
        if (model.isIndexExpandable(index))
            part += QLatin1Char('(') + dump(model, index) + QLatin1Char(')');
        parts.append(part);
    }
    return parts.join(QLatin1Char(' '));
}

QStringList g_modelTestFailures;

struct ReloadCase
{
    const char *name;
    const char *before;
    const char *after;
};

class OutlineModelReload : public ::testing::TestWithParam<ReloadCase>
{
};

// Each tree is walked by the tester, then changed behind the model and reloaded both ways.
TEST_P(OutlineModelReload, PassesTheModelTesterAndShowsTheNewTree)
{
    const ReloadCase &c = GetParam();
    g_modelTestFailures.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context, const QString &text) {
        if (QLatin1String(context.category) == QLatin1String("qt.modeltest"))
            g_modelTestFailures.append(text);
    });
    for (const bool wholeReload : {true, false}) {
        OutlineModel outline(QString::fromLatin1(c.before));
        DMOutlineViewModel &model = outline.model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        EXPECT_EQ(dump(model), QString::fromLatin1(c.before));

        outline.source.setTree(QString::fromLatin1(c.after));
        if (wholeReload) {
            model.reloadData();
        } else {
            for (int row = 0; row < model.rowCount(); ++row)
                model.reloadItem(model.itemForIndex(model.index(row, 0)), true);
            model.reloadItem(nullptr, false);
        }
        EXPECT_EQ(dump(model), QString::fromLatin1(c.after)) << (wholeReload ? "reloadData" : "reloadItem");
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_modelTestFailures.isEmpty()) << qPrintable(g_modelTestFailures.join(QLatin1Char('\n')));
}

INSTANTIATE_TEST_SUITE_P(Trees, OutlineModelReload,
                         ::testing::Values(ReloadCase{"empty", "", "A"},
                                           ReloadCase{"flat", "A B C", "A C"},
                                           ReloadCase{"nested", "A(B C(D)) E", "A(B C) D E"},
                                           ReloadCase{"emptyGroup", "A() B", "A(B)"},
                                           ReloadCase{"deep", "A(B(C(D(E))))", "A(B(C(D(E F))))"},
                                           ReloadCase{"becomesLeaf", "A(B C) D", "A B C D"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(DMOutlineViewModel, AsksForChildrenOnlyOfNodesShownOrAskedFor)
{
    OutlineModel outline(QStringLiteral("A(B(C)) D(E)"));
    EXPECT_EQ(outline.model.numberOfRows(), 2);
    EXPECT_TRUE(outline.model.hasChildren(outline.index("A")));
    EXPECT_EQ(outline.source.childCountQueries, (std::map<QString, int>{{QString(), 1}}));

    outline.model.setIndexExpanded(outline.index("A"), true);
    EXPECT_EQ(outline.model.numberOfRows(), 3);
    EXPECT_EQ(outline.model.numberOfRows(), 3); // cached
    EXPECT_EQ(outline.source.childCountQueries, (std::map<QString, int>{{QString(), 1}, {QStringLiteral("A"), 1}}));
}

TEST(DMOutlineViewModel, RowTopsFollowVariableHeights)
{
    OutlineModel outline(QStringLiteral("A:20 B:40 C"));
    DMOutlineViewModel &model = outline.model;
    model.setDefaultRowHeight(20);
    // Rows 20, 40, 20: y 20 is the first pixel of row 1, and 25 to 30 lie in it.
    for (const auto &[y, row] : std::vector<std::pair<int, int>>{{-1, -1}, {19, 0}, {20, 1}, {25, 1}, {30, 1},
                                                                 {59, 1}, {60, 2}, {79, 2}, {80, -1}})
        EXPECT_EQ(model.rowAtY(y), row) << "y " << y;
    EXPECT_EQ(model.totalHeightOfRows(), 80);

    QSignalSpy stale(&model, &DMOutlineViewModel::rowLayoutChanged);
    model.setDefaultRowHeight(30);
    model.setDefaultRowHeight(31);
    EXPECT_EQ(stale.count(), 1) << "once until the rows are read again";
    EXPECT_EQ(model.totalHeightOfRows(), 91);

    outline.source.node(QStringLiteral("B"))->height = 10;
    model.reloadItem(outline.source.item("B"), false);
    EXPECT_EQ(stale.count(), 2);
    EXPECT_EQ(model.topOfRow(2), 30);
}

TEST(DMOutlineViewModel, PersistentIndexesFollowTheirItemsAcrossReloads)
{
    OutlineModel outline(QStringLiteral("A(B C) D E"));
    DMOutlineViewModel &model = outline.model;
    TreeSource &source = outline.source;
    model.setIndexExpanded(outline.index("A"), true);
    const QPersistentModelIndex c = outline.index("C");
    const QPersistentModelIndex e = outline.index("E");
    const QPersistentModelIndex d = outline.index("D");

    source.setTree(QStringLiteral("C A(B E)"));
    model.reloadData();
    EXPECT_EQ(model.itemForIndex(c), source.item("C"));
    EXPECT_EQ(c.row(), 0);
    EXPECT_EQ(model.itemForIndex(e), source.item("E"));
    EXPECT_EQ(model.itemForIndex(e.parent()), source.item("A"));
    EXPECT_FALSE(d.isValid()) << "D is gone";
    EXPECT_TRUE(model.isItemExpanded(source.item("A"))) << "expansion survives by item";
}

// A reload that finds the tree as it was keeps its layout (an undo of a date change must not lay
// out every row again); any difference in the rows, their order, height or expandability is seen.
TEST(DMOutlineViewModel, ReloadKeepsTheLayoutOfAnUnchangedTreeAndSeesEveryChange)
{
    OutlineModel outline(QStringLiteral("A(B C) D:40 E"));
    DMOutlineViewModel &model = outline.model;
    TreeSource &source = outline.source;
    model.setIndexExpanded(outline.index("A"), true);
    EXPECT_EQ(model.numberOfRows(), 5);
    const QPersistentModelIndex c = outline.index("C");
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy rows(&model, &DMOutlineViewModel::rowLayoutChanged);

    model.reloadData();
    model.reloadItem(source.item("A"), true);
    EXPECT_EQ(layouts.count(), 0);
    EXPECT_EQ(rows.count(), 0);
    EXPECT_EQ(model.itemForIndex(c), source.item("C"));

    const struct
    {
        const char *tree;
        const char *change;
    } changes[] = {{"A(B C) D:10 E", "a height"},   {"A(B C) D:10 E()", "a row became expandable"},
                   {"A(C B) D:10 E()", "an order"}, {"A(C B) D:10 E() F", "a row added"},
                   {"A(C) D:10 E() F", "a child removed"}};
    for (const auto &change : changes) {
        source.setTree(QString::fromLatin1(change.tree));
        layouts.clear();
        model.reloadData();
        EXPECT_EQ(layouts.count(), 1) << change.change;
        EXPECT_EQ(dump(model), QString::fromLatin1(change.tree).remove(QStringLiteral(":10"))) << change.change;
    }
    EXPECT_EQ(model.topOfRow(model.rowForItem(source.item("E"))), 50) << "A, C, then D 10 high";
    EXPECT_EQ(model.itemForIndex(c), source.item("C"));
    EXPECT_EQ(c.row(), 0);
}

TEST(DMOutlineViewModel, PasteboardAndDropsGoThroughTheDataSource)
{
    OutlineModel outline(QStringLiteral("A(B C) D"));
    DMOutlineViewModel &model = outline.model;
    TreeSource &source = outline.source;
    model.setIndexExpanded(outline.index("A"), true);

    // One entry per item, in row order, whatever the order of the indexes.
    source.maximumDraggedItems = 2;
    std::unique_ptr<QMimeData> data(model.mimeData({outline.index("D", 1), outline.index("B"), outline.index("D")}));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->data(QStringLiteral("application/x-outline-test")), QByteArray("B,D"));
    source.maximumDraggedItems = 1;
    EXPECT_EQ(model.mimeData({outline.index("B"), outline.index("D")}), nullptr);

    EXPECT_TRUE(model.canDropMimeData(data.get(), Qt::MoveAction, 2, 0, {}));
    EXPECT_TRUE(model.dropMimeData(data.get(), Qt::MoveAction, -1, -1, outline.index("A")));
    EXPECT_EQ(source.validated, (QStringList{QStringLiteral("@2"), QStringLiteral("A@-1")}));
    EXPECT_EQ(source.accepted, QStringList{QStringLiteral("A@-1:B,D")});

    source.dropOperation = Qt::IgnoreAction;
    EXPECT_FALSE(model.dropMimeData(data.get(), Qt::MoveAction, 0, 0, {}));
    EXPECT_EQ(source.accepted.size(), 1) << "a refused drop is never accepted";
}

TEST(DMOutlineViewModel, DataSourceThatAnswersNothingShowsNothing)
{
    DMOutlineViewDataSource silent;
    DMOutlineViewModel model;
    model.addTableColumn({QStringLiteral("title")});
    model.setDataSource(&silent);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.rowAtY(0), -1);
    EXPECT_EQ(model.mimeData({}), nullptr);
}

} // namespace
