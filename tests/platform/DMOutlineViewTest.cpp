#include "DMOutlineView.h"
#include "DMOutlineViewTestSupport.h"
#include "TestSupport.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QStyledItemDelegate>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace outline_test;

namespace {

TEST(DMOutlineView, RowGeometryFollowsVariableHeightsAndMatchesTheTreeView)
{
    ShownOutline outline(QStringLiteral("A:20 B:40(C:30 D) E:20 F G H I J K L"));
    DMOutlineView &view = outline.view;
    EXPECT_EQ(view.rectOfRow(1), QRect(0, 20, view.header()->length(), 40));
    EXPECT_EQ(view.rowAtPoint({0, 20}), 1) << "y 20 is the first pixel of row 1";

    view.expandItem(outline.item("B"));
    EXPECT_EQ(shownRows(view), (QStringList{"A", "B", ".C", ".D", "E", "F", "G", "H", "I", "J", "K", "L"}));
    EXPECT_EQ(view.rectOfRow(3).top(), 90);
    EXPECT_TRUE(view.rectOfRow(12).isNull());
    EXPECT_EQ(view.rowAtPoint({0, view.rectOfRow(11).bottom() + 1}), -1);

    view.verticalScrollBar()->setValue(35);
    ASSERT_EQ(view.contentOffset().y(), 35);
    for (int row = 0; row < view.numberOfRows(); ++row) {
        const QModelIndex index = view.outlineModel()->indexForRow(row);
        const QRect drawn = view.visualRect(index).translated(view.contentOffset());
        EXPECT_EQ(std::pair(drawn.top(), drawn.height()), std::pair(view.rectOfRow(row).top(), view.rectOfRow(row).height()))
            << "row " << row;
        EXPECT_EQ(view.indexAt(drawn.center() - view.contentOffset()), index);
    }

    // Cells: the outline column starts after the indentation of the row's level.
    const int indent = view.indentation() * (view.rootIsDecorated() ? 2 : 1);
    EXPECT_EQ(view.frameOfCellAtColumnRow(0, 2), QRect(indent, 60, 120 - indent, 30));
    EXPECT_EQ(view.frameOfCellAtColumnRow(1, 2), QRect(120, 60, 60, 30));
    EXPECT_TRUE(view.frameOfCellAtColumnRow(2, 2).isNull());

    view.scrollRowToVisible(11);
    const int bottom = view.rectOfRow(11).bottom() - view.contentOffset().y();
    EXPECT_LT(bottom, view.viewport()->height());
    EXPECT_GE(bottom, view.viewport()->height() - 2);
    view.scrollRowToVisible(1);
    EXPECT_EQ(view.contentOffset().y(), 20);
}

// Where the tree view draws each row, checked against the outline's own row geometry once the
// layout it deferred is done.
void expectTreeViewDrawsRowsWhereTheOutlineHasThem(DMOutlineView &view)
{
    QCoreApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->maximum(),
              std::max(0, view.outlineModel()->totalHeightOfRows() - view.viewport()->height()));
    for (int row = 0; row < view.numberOfRows(); ++row) {
        const QRect drawn = view.visualRect(view.outlineModel()->indexForRow(row)).translated(view.contentOffset());
        EXPECT_EQ(std::pair(drawn.top(), drawn.height()), std::pair(view.rectOfRow(row).top(), view.rectOfRow(row).height()))
            << "row " << row;
    }
}

TEST(DMOutlineView, RowsOfOneHeightStayWhereTheOutlineHasThemWhenARowTakesAnother)
{
    ShownOutline outline(QStringLiteral("A B(C:40 D) E F G H I J K L M N"));
    DMOutlineView &view = outline.view;
    expectTreeViewDrawsRowsWhereTheOutlineHasThem(view);

    // Rows of another height come into view.
    view.expandItem(outline.item("B"));
    expectTreeViewDrawsRowsWhereTheOutlineHasThem(view);
    view.collapseItem(outline.item("B"));
    expectTreeViewDrawsRowsWhereTheOutlineHasThem(view);

    // A row shown changes its height.
    outline.source.node(QStringLiteral("E"))->height = 35;
    view.reloadItem(outline.item("E"));
    expectTreeViewDrawsRowsWhereTheOutlineHasThem(view);
    EXPECT_EQ(view.rectOfRow(5).top(), 20 * 4 + 35);

    // And every row takes one height again.
    outline.source.node(QStringLiteral("E"))->height = 0;
    view.reloadData();
    expectTreeViewDrawsRowsWhereTheOutlineHasThem(view);
}

TEST(DMOutlineView, AnOutlineBuiltHiddenLaysOutItsRowsWhenShown)
{
    TreeSource source(QStringLiteral("A B C D E F G H I J K L M N O P Q R S T U V W X Y Z"));
    QWidget window;
    auto *view = new DMOutlineView(&window);
    view->addTableColumn({QStringLiteral("title"), QStringLiteral("Title"), 120});
    view->setRowHeight(20);
    view->setDataSource(&source);
    view->resize(200, 150);
    view->header()->resizeSection(0, 150);
    QCoreApplication::processEvents();
    window.resize(220, 170);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    expectTreeViewDrawsRowsWhereTheOutlineHasThem(*view);
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
}

TEST(DMOutlineView, ExpansionAsksTheDelegateAndTellsIt)
{
    ShownOutline outline(QStringLiteral("A(B(C) D(E)) F(G) H"));
    DMOutlineView &view = outline.view;
    outline.delegate.refuseExpand = {QStringLiteral("D")};
    QSignalSpy layout(&view, &DMOutlineView::rowLayoutChanged);

    view.expandItem(outline.item("H")); // a leaf
    view.expandItem(outline.item("A"));
    view.expandItem(outline.item("D"));
    EXPECT_EQ(outline.delegate.events, QStringList{"expanded A"});
    EXPECT_FALSE(view.isItemExpanded(outline.item("D")));
    EXPECT_EQ(shownRows(view), (QStringList{"A", ".B", ".D", "F", "H"}));

    outline.delegate.events.clear();
    layout.clear();
    view.expandItemExpandChildren(nullptr, true);
    EXPECT_EQ(outline.delegate.events, (QStringList{"expanded B", "expanded F"}));
    EXPECT_EQ(shownRows(view), (QStringList{"A", ".B", "..C", ".D", "F", ".G", "H"}));
    EXPECT_EQ(layout.count(), 1) << "one notice for the whole expansion";

    // The user collapses A with its disclosure triangle; a selected child is deselected.
    view.selectRowIndexesByExtendingSelection({2, 4}, false);
    const int triangleX = view.frameOfCellAtColumnRow(0, 0).left() - view.indentation() / 2;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(triangleX, 10));
    EXPECT_FALSE(view.isItemExpanded(outline.item("A")));
    EXPECT_EQ(shownRows(view), (QStringList{"A", "F", ".G", "H"}));
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{1});
    EXPECT_EQ(view.rowForItem(outline.item("B")), -1) << "a hidden item has no row";

    outline.delegate.refuseCollapse = {QStringLiteral("F")};
    view.collapseItem(outline.item("F"));
    EXPECT_TRUE(view.isItemExpanded(outline.item("F")));
    view.expandItem(outline.item("A"));
    EXPECT_EQ(shownRows(view), (QStringList{"A", ".B", "..C", ".D", "F", ".G", "H"})) << "B stayed expanded";
    EXPECT_EQ(view.rowForItem(outline.item("G")), 5);
}

TEST(DMOutlineView, ReloadShowsTheChangedDataSourceAndKeepsWhatSurvives)
{
    ShownOutline outline(QStringLiteral("A(B) C:30"));
    DMOutlineView &view = outline.view;
    view.expandItem(outline.item("A"));
    view.selectRowIndexesByExtendingSelection({1}, false);
    QSignalSpy layout(&view, &DMOutlineView::rowLayoutChanged);

    outline.source.setTree(QStringLiteral("N C:30 A(B D)"));
    view.reloadData();
    EXPECT_EQ(shownRows(view), (QStringList{"N", "C", "A", ".B", ".D"}));
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{3}) << "the selection follows B";
    EXPECT_EQ(layout.count(), 1);

    outline.source.setTree(QStringLiteral("N C:30 A(D B E)"));
    view.reloadItemReloadChildren(outline.item("A"), true);
    EXPECT_EQ(shownRows(view), (QStringList{"N", "C", "A", ".D", ".B", ".E"}));
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{4});

    outline.source.node(QStringLiteral("C"))->height = 50;
    view.reloadItem(outline.item("C"));
    EXPECT_EQ(view.rectOfRow(2).top(), 70);
    EXPECT_EQ(view.visualRect(view.outlineModel()->indexForRow(2)).top() + view.contentOffset().y(), 70);

    // An item that becomes a leaf loses its children even without reloadChildren.
    outline.source.node(QStringLiteral("A"))->expandable = false;
    view.reloadItem(outline.item("A"));
    EXPECT_EQ(shownRows(view), (QStringList{"N", "C", "A"}));
}

// Counts the values the data source gives out.
class CountingSource : public TreeSource
{
public:
    using TreeSource::TreeSource;
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *view, const QString &column,
                                                        DMOutlineItem item) override
    {
        ++valueQueries;
        return TreeSource::outlineViewObjectValueForTableColumnByItem(view, column, item);
    }
    int valueQueries = 0;
};

// Records the values its cells are drawn with, as a date cell reads them.
class RecordingCell : public QStyledItemDelegate
{
public:
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        drawn.append(index.data(Qt::EditRole).toString());
    }
    mutable QStringList drawn;
};

TEST(DMOutlineView, PaintingAsksForEachValueOnceAndShowsTheValueOfTheMoment)
{
    CountingSource source(QStringLiteral("A B C"));
    DMOutlineView view;
    view.addTableColumn({QStringLiteral("title"), QStringLiteral("Title"), 120});
    view.addTableColumn({QStringLiteral("count"), QStringLiteral("Count"), 60});
    auto *cell = new RecordingCell;
    view.setDataCellForTableColumn(QStringLiteral("title"), cell);
    view.setDataSource(&source);
    view.resize(320, 240);
    view.show();
    QCoreApplication::processEvents();

    source.valueQueries = 0;
    cell->drawn.clear();
    view.viewport()->repaint();
    EXPECT_EQ(source.valueQueries, 6) << "three rows of two cells";
    EXPECT_EQ(cell->drawn, (QStringList{"A", "B", "C"}));

    // A value changed behind the view's back is read again by the next paint, and outside
    // painting every question reaches the data source.
    source.node(QStringLiteral("B"))->name = QStringLiteral("B2");
    const QModelIndex b = view.outlineModel()->indexForRow(1);
    EXPECT_EQ(b.data().toString(), QStringLiteral("B2"));
    cell->drawn.clear();
    view.viewport()->repaint();
    EXPECT_EQ(cell->drawn, (QStringList{"A", "B2", "C"}));
}

// Records the regions the viewport paints.
class PaintRecorder : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
    QRegion painted;
};

TEST(DMOutlineView, UpdatingCellsOfColumnsPaintsOnlyThoseCellsOfRowsShown)
{
    ShownOutline outline(QStringLiteral("A(B) C D"));
    DMOutlineView &view = outline.view;
    halcyra::test::runUntilIdle();
    PaintRecorder recorder;
    view.viewport()->installEventFilter(&recorder);
    const auto paintAfter = [&](auto &&update) {
        QCoreApplication::processEvents();
        recorder.painted = QRegion();
        update();
        QCoreApplication::processEvents();
        return recorder.painted;
    };
    const int countX = view.header()->sectionViewportPosition(1);
    const QRect countColumn(countX, 0, 60, view.viewport()->height());

    EXPECT_EQ(paintAfter([&] { view.updateCellsOfColumns({QStringLiteral("count")}); }), QRegion(countColumn));

    const QList<DMOutlineItem> items{outline.item("C"), outline.item("B")};
    const QRect rowOfC = view.rectOfRow(view.rowForItem(outline.item("C")));
    EXPECT_EQ(paintAfter([&] { view.updateCellsOfColumns({QStringLiteral("count")}, &items); }),
              QRegion(QRect(countX, rowOfC.top(), 60, rowOfC.height())))
        << "B is not shown: A is collapsed";

    view.setTableColumnHidden(QStringLiteral("count"), true);
    halcyra::test::runUntilIdle();
    EXPECT_TRUE(paintAfter([&] { view.updateCellsOfColumns({QStringLiteral("count"), QStringLiteral("none")}); })
                    .isEmpty());
}

TEST(DMOutlineView, ColumnsAreHiddenAndMovedByIdentifierAndSurviveReloads)
{
    ShownOutline outline(QStringLiteral("A B"));
    DMOutlineView &view = outline.view;
    view.addTableColumn({QStringLiteral("note"), QStringLiteral("Note"), 80});
    view.moveColumnToColumn(2, 0);
    view.setTableColumnHidden(QStringLiteral("count"), true);
    halcyra::test::runUntilIdle();
    EXPECT_EQ(view.tableColumnIdentifiers(), (QStringList{"note", "title", "count"}));
    EXPECT_EQ(view.frameOfCellAtColumnRow(0, 0).left(), 0);
    EXPECT_EQ(view.frameOfCellAtColumnRow(1, 0).left(), 80 + view.indentation() * (view.rootIsDecorated() ? 1 : 0));
    EXPECT_EQ(view.frameOfCellAtColumnRow(2, 0).width(), 0);

    outline.source.setTree(QStringLiteral("C B"));
    view.reloadData();
    EXPECT_EQ(view.tableColumnIdentifiers(), (QStringList{"note", "title", "count"}));
    EXPECT_TRUE(view.isTableColumnHidden(QStringLiteral("count")));
    view.setTableColumnHidden(QStringLiteral("count"), false);
    EXPECT_EQ(view.frameOfCellAtColumnRow(2, 0).width(), 60);
}

TEST(DMOutlineView, EitherSideMayBeDestroyedFirst)
{
    auto source = std::make_unique<TreeSource>(QStringLiteral("A B"));
    auto delegate = std::make_unique<RecordingDelegate>();
    DMOutlineView view;
    view.addTableColumn({QStringLiteral("title")});
    view.setDataSource(source.get());
    view.setDelegate(delegate.get());
    delegate.reset();
    EXPECT_EQ(view.delegate(), nullptr);
    source.reset();
    EXPECT_EQ(view.dataSource(), nullptr);
    EXPECT_EQ(view.numberOfRows(), 0);

    TreeSource outlivingSource(QStringLiteral("A"));
    RecordingDelegate outlivingDelegate;
    {
        DMOutlineView shortLived;
        shortLived.setDataSource(&outlivingSource);
        shortLived.setDelegate(&outlivingDelegate);
    }
    // Neither destructor may reach the destroyed view.
}

} // namespace
