#include "DMOutlineViewModel.h"
#include "DMOutlineViewTestSupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace outline_test;

namespace {

QStringList g_modelTestFailures;

// Collects what QAbstractItemModelTester reports in Warning mode.
class ModelTesterFailures
{
public:
    ModelTesterFailures()
    {
        g_modelTestFailures.clear();
        m_previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context, const QString &text) {
            if (QLatin1String(context.category) == QLatin1String("qt.modeltest"))
                g_modelTestFailures.append(text);
        });
    }
    ~ModelTesterFailures() { qInstallMessageHandler(m_previous); }

private:
    QtMessageHandler m_previous;
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
    for (const bool wholeReload : {true, false}) {
        ModelTesterFailures failures;
        TreeSource source(QString::fromLatin1(c.before));
        DMOutlineViewModel model;
        model.addTableColumn({QStringLiteral("title"), QStringLiteral("Title")});
        model.addTableColumn({QStringLiteral("count"), QStringLiteral("Count")});
        model.setDataSource(&source);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        EXPECT_EQ(dump(model), QString::fromLatin1(c.before));

        source.setTree(QString::fromLatin1(c.after));
        if (wholeReload) {
            model.reloadData();
        } else {
            for (int row = 0; row < model.rowCount(); ++row)
                model.reloadItem(model.itemForIndex(model.index(row, 0)), true);
            model.reloadItem(nullptr, false);
        }
        EXPECT_EQ(dump(model), QString::fromLatin1(c.after)) << (wholeReload ? "reloadData" : "reloadItem");
        EXPECT_TRUE(g_modelTestFailures.isEmpty()) << qPrintable(g_modelTestFailures.join(QLatin1Char('\n')));
    }
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
    TreeSource source(QStringLiteral("A(B(C)) D(E)"));
    DMOutlineViewModel model;
    model.addTableColumn({QStringLiteral("title")});
    model.setDataSource(&source);
    EXPECT_EQ(model.numberOfRows(), 2);
    EXPECT_TRUE(model.hasChildren(model.indexForItem(source.item("A"))));
    EXPECT_EQ(source.childCountQueries, (std::map<QString, int>{{QString(), 1}}));

    model.setIndexExpanded(model.indexForItem(source.item("A")), true);
    EXPECT_EQ(model.numberOfRows(), 3);
    EXPECT_EQ(source.childCountQueries[QStringLiteral("A")], 1);
    EXPECT_EQ(source.childCountQueries.count(QStringLiteral("B")), 0u);
    EXPECT_EQ(model.numberOfRows(), 3); // cached
    EXPECT_EQ(source.childCountQueries[QStringLiteral("A")], 1);
}

TEST(DMOutlineViewModel, RowTopsFollowVariableHeights)
{
    TreeSource source(QStringLiteral("A:20 B:40 C"));
    DMOutlineViewModel model;
    model.addTableColumn({QStringLiteral("title")});
    model.setDefaultRowHeight(20);
    model.setDataSource(&source);
    EXPECT_EQ(model.rowAtY(19), 0);
    EXPECT_EQ(model.rowAtY(20), 1) << "the first pixel of row 1";
    for (int y = 25; y <= 30; ++y)
        EXPECT_EQ(model.rowAtY(y), 1);
    EXPECT_EQ(model.rowAtY(59), 1);
    EXPECT_EQ(model.rowAtY(60), 2);
    EXPECT_EQ(model.rowAtY(79), 2);
    EXPECT_EQ(model.rowAtY(80), -1);
    EXPECT_EQ(model.rowAtY(-1), -1);
    EXPECT_EQ(model.totalHeightOfRows(), 80);

    QSignalSpy stale(&model, &DMOutlineViewModel::rowLayoutChanged);
    model.setDefaultRowHeight(30);
    model.setDefaultRowHeight(31);
    EXPECT_EQ(stale.count(), 1) << "once until the rows are read again";
    EXPECT_EQ(model.totalHeightOfRows(), 91);

    source.node(QStringLiteral("B"))->height = 10;
    model.reloadItem(source.item("B"), false);
    EXPECT_EQ(stale.count(), 2);
    EXPECT_EQ(model.topOfRow(2), 30);
}

TEST(DMOutlineViewModel, PersistentIndexesFollowTheirItemsAcrossReloads)
{
    TreeSource source(QStringLiteral("A(B C) D E"));
    DMOutlineViewModel model;
    model.addTableColumn({QStringLiteral("title")});
    model.setDataSource(&source);
    model.setIndexExpanded(model.indexForItem(source.item("A")), true);
    const QPersistentModelIndex c = model.indexForItem(source.item("C"));
    const QPersistentModelIndex e = model.indexForItem(source.item("E"), 0);
    const QPersistentModelIndex d = model.indexForItem(source.item("D"));

    source.setTree(QStringLiteral("C A(B E)"));
    model.reloadData();
    EXPECT_EQ(model.itemForIndex(c), source.item("C"));
    EXPECT_EQ(c.row(), 0);
    EXPECT_EQ(model.itemForIndex(e), source.item("E"));
    EXPECT_EQ(model.itemForIndex(e.parent()), source.item("A"));
    EXPECT_FALSE(d.isValid()) << "D is gone";
    EXPECT_TRUE(model.isItemExpanded(source.item("A"))) << "expansion survives by item";
}

TEST(DMOutlineViewModel, EditsReachTheDataSourceByColumnAndItem)
{
    TreeSource source(QStringLiteral("A B"));
    DMOutlineViewModel model;
    model.addTableColumn({QStringLiteral("count")});
    model.addTableColumn({QStringLiteral("title")});
    model.setDataSource(&source);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex title = model.indexForItem(source.item("B"), 1);
    EXPECT_TRUE(model.setData(title, QStringLiteral("Bee")));
    EXPECT_EQ(source.edits, QStringList{QStringLiteral("title=Bee")});
    EXPECT_EQ(model.data(title).toString(), QStringLiteral("Bee"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(model.setData(title, QStringLiteral("x"), Qt::DisplayRole));
}

TEST(DMOutlineViewModel, PasteboardAndDropsGoThroughTheDataSource)
{
    TreeSource source(QStringLiteral("A(B C) D"));
    DMOutlineViewModel model;
    model.addTableColumn({QStringLiteral("title")});
    model.addTableColumn({QStringLiteral("count")});
    model.setDataSource(&source);
    model.setIndexExpanded(model.indexForItem(source.item("A")), true);

    // One entry per item, in row order, whatever the order of the indexes.
    source.maximumDraggedItems = 2;
    std::unique_ptr<QMimeData> data(model.mimeData(
        {model.indexForItem(source.item("D"), 1), model.indexForItem(source.item("B")),
         model.indexForItem(source.item("D"))}));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->data(QStringLiteral("application/x-outline-test")), QByteArray("B,D"));
    source.maximumDraggedItems = 1;
    EXPECT_EQ(model.mimeData({model.indexForItem(source.item("B")), model.indexForItem(source.item("D"))}), nullptr);

    EXPECT_TRUE(model.canDropMimeData(data.get(), Qt::MoveAction, 2, 0, {}));
    EXPECT_TRUE(model.dropMimeData(data.get(), Qt::MoveAction, -1, -1, model.indexForItem(source.item("A"))));
    EXPECT_EQ(source.validated, (QStringList{QStringLiteral("@2"), QStringLiteral("A@-1")}));
    EXPECT_EQ(source.accepted, QStringList{QStringLiteral("A@-1:B,D")});

    source.dropOperation = Qt::IgnoreAction;
    EXPECT_FALSE(model.canDropMimeData(data.get(), Qt::MoveAction, 0, 0, {}));
    EXPECT_FALSE(model.dropMimeData(data.get(), Qt::MoveAction, 0, 0, {}));
    EXPECT_EQ(source.accepted.size(), 1) << "a refused drop is never accepted";
}

TEST(DMOutlineViewModel, EitherSideMayBeDestroyedFirst)
{
    auto source = std::make_unique<TreeSource>(QStringLiteral("A B"));
    DMOutlineViewModel model;
    model.addTableColumn({QStringLiteral("title")});
    model.setDataSource(source.get());
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    source.reset();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.dataSource(), nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.numberOfRows(), 0);

    TreeSource outliving(QStringLiteral("A"));
    {
        DMOutlineViewModel shortLived;
        shortLived.setDataSource(&outliving);
        EXPECT_EQ(shortLived.rowCount(), 1);
    }
    // outliving's destructor must not reach the destroyed model.
}

TEST(DMOutlineViewModel, DataSourceThatAnswersNothingShowsNothing)
{
    DMOutlineViewDataSource silent;
    DMOutlineViewModel model;
    model.addTableColumn({QStringLiteral("title")});
    model.setDataSource(&silent);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.numberOfRows(), 0);
    EXPECT_EQ(model.rowAtY(0), -1);
    EXPECT_EQ(model.mimeData({}), nullptr);
}

} // namespace
