#include "DMOutlineView.h"
#include "DMOutlineViewTestSupport.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace outline_test;

namespace {

const QString kDragType = QStringLiteral("application/x-outline-test");

// What a person's double click delivers: a click, then the double click and its release.
void doubleClick(QWidget *widget, const QPoint &point)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
}

TEST(DMOutlineViewEditing, DoubleClickAsksTheDelegateAndEditsRoundTrip)
{
    ShownOutline outline(QStringLiteral("A B C"));
    DMOutlineView &view = outline.view;
    outline.delegate.refuseEdit = {QStringLiteral("count")};

    doubleClick(view.viewport(), outline.cellCentre(1, 1));
    EXPECT_EQ(outline.delegate.events, QStringList{"edit count B"});
    EXPECT_EQ(view.viewport()->findChild<QLineEdit *>(), nullptr);

    doubleClick(view.viewport(), outline.cellCentre(0, 1));
    ASSERT_FALSE(outline.delegate.events.isEmpty());
    EXPECT_EQ(outline.delegate.events.last(), QStringLiteral("edit title B"));
    auto *editor = view.viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("B"));
    editor->setText(QStringLiteral("Bee"));
    QSignalSpy changed(view.outlineModel(), &QAbstractItemModel::dataChanged);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the item delegate commits on a queued call
    EXPECT_EQ(outline.source.edits, QStringList{"title=Bee"});
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(view.outlineModel()->indexForRow(1).data().toString(), QStringLiteral("Bee"));

    // A column that is not editable never asks.
    DMOutlineTableColumn fixed(QStringLiteral("fixed"));
    fixed.editable = false;
    view.addTableColumn(fixed);
    outline.delegate.events.clear();
    doubleClick(view.viewport(), outline.cellCentre(2, 0));
    EXPECT_TRUE(outline.delegate.events.isEmpty());
}

// A cell that fills its rectangle with its text colour and edits its number with a spin box.
class SwatchCell : public QStyledItemDelegate
{
public:
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        painter->fillRect(option.rect.adjusted(2, 2, -2, -2), option.palette.color(QPalette::Text));
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return new QSpinBox(parent);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        ++commits;
        model->setData(index, static_cast<QSpinBox *>(editor)->value());
    }
    mutable int commits = 0;
};

// Draws nothing and edits nothing.
class BlankCell : public QStyledItemDelegate
{
public:
    void paint(QPainter *, const QStyleOptionViewItem &, const QModelIndex &) const override {}
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override { return nullptr; }
};

int pixelsWhere(const QImage &image, const QRect &area, const std::function<bool(QColor)> &test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

TEST(DMOutlineViewDataCells, DrawAndEditTheirCellsAfterTheDelegateSawThem)
{
    ShownOutline outline(QStringLiteral("A B C"));
    DMOutlineView &view = outline.view;
    auto *swatch = new SwatchCell;
    view.setDataCellForTableColumn(QStringLiteral("count"), swatch);
    EXPECT_EQ(view.dataCellForTableColumn(QStringLiteral("count")), swatch);
    EXPECT_EQ(swatch->parent(), &view) << "the view keeps the cell";
    BlankCell blank;
    outline.delegate.rowCell = &blank;
    outline.delegate.rowCellColumn = QStringLiteral("count");
    outline.delegate.rowCellItem = QStringLiteral("B");
    outline.delegate.redItem = QStringLiteral("C");
    QApplication::processEvents();

    const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto red = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };
    auto dark = [](QColor c) { return c.lightness() < 80; };
    EXPECT_GT(pixelsWhere(image, view.frameOfCellAtColumnRow(1, 0), dark), 100) << "A's swatch in the text colour";
    EXPECT_EQ(pixelsWhere(image, view.frameOfCellAtColumnRow(1, 1), dark), 0) << "B's own cell draws nothing";
    EXPECT_GT(pixelsWhere(image, view.frameOfCellAtColumnRow(1, 2), red), 100)
        << "the colour willDisplayCell chose applies to a data cell";
    EXPECT_EQ(outline.delegate.displayedDataCells.value(QStringLiteral("A/count")), swatch);
    EXPECT_EQ(outline.delegate.displayedDataCells.value(QStringLiteral("B/count")), &blank);
    EXPECT_FALSE(outline.delegate.displayedDataCells.contains(QStringLiteral("A/title")));

    // The data cell's editor, and its commit, are the cell's own; B's cell offers none.
    doubleClick(view.viewport(), outline.cellCentre(1, 1));
    EXPECT_EQ(view.viewport()->findChild<QSpinBox *>(), nullptr);
    doubleClick(view.viewport(), outline.cellCentre(1, 2));
    auto *editor = view.viewport()->findChild<QSpinBox *>();
    ASSERT_NE(editor, nullptr);
    editor->setValue(7);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(swatch->commits, 1);
    EXPECT_EQ(outline.source.edits, QStringList{"count=7"});

    view.setDataCellForTableColumn(QStringLiteral("count"), nullptr);
    EXPECT_EQ(view.dataCellForTableColumn(QStringLiteral("count")), nullptr);
}

TEST(DMOutlineViewSelection, TheDelegateMayFreezeTheUsersSelectionAndTypingSelectsNothing)
{
    ShownOutline outline(QStringLiteral("Apple Berry Cherry"));
    DMOutlineView &view = outline.view;
    view.setFocus();
    QTest::keyClicks(&view, QStringLiteral("Ch"));
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{}) << "no selection by typing a row's text";

    outline.delegate.refuseSelectionChange = true;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, outline.cellCentre(0, 1));
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{});
    view.selectRowIndexesByExtendingSelection({2}, false);
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{2}) << "the program's selection is not the user's";
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{2});
    outline.delegate.refuseSelectionChange = false;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, outline.cellCentre(0, 0));
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{0});
}

TEST(DMOutlineViewSelection, TheDelegateFiltersTheUsersSelectionButNotTheProgramsOne)
{
    ShownOutline outline(QStringLiteral("A B C D"));
    DMOutlineView &view = outline.view;
    outline.delegate.refuseSelect = {QStringLiteral("A")};

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, outline.cellCentre(0, 0));
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{});
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, outline.cellCentre(0, 2));
    EXPECT_EQ(view.selectedRowIndexes(), QList<int>{2});
    const int changes = outline.delegate.selectionChanges;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, outline.cellCentre(0, 0));
    EXPECT_EQ(view.selectedRowIndexes(), (QList<int>{1, 2}));
    EXPECT_EQ(outline.delegate.selectionChanges, changes + 1) << "told once, after the delegate's correction";

    view.selectRowIndexesByExtendingSelection({0, 3}, true);
    EXPECT_EQ(view.selectedRowIndexes(), (QList<int>{0, 1, 2, 3}));
    view.deselectAll();
    EXPECT_EQ(view.selectedRow(), -1);
    EXPECT_EQ(outline.delegate.selectionChanges, changes + 3);
}

// Sends a drag over the viewport and the drop; answers the operation the view accepted.
Qt::DropAction dragTo(DMOutlineView &view, const QPoint &point, bool drop, const QString &type = kDragType)
{
    QMimeData data;
    data.setData(type, "B");
    QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDragMoveEvent move(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &move);
    if (!drop || !move.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(view.viewport(), &leave);
        return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
    }
    QDropEvent dropEvent(QPointF(point), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &dropEvent);
    return dropEvent.isAccepted() ? dropEvent.dropAction() : Qt::IgnoreAction;
}

TEST(DMOutlineViewDrop, ProposesParentAndChildIndexByPositionAndObeysTheDataSource)
{
    ShownOutline outline(QStringLiteral("A(B C) D"));
    DMOutlineView &view = outline.view;
    view.registerForDraggedTypes({kDragType});
    view.expandItem(outline.item("A"));
    // Rows: A 0-19, B 20-39, C 40-59, D 60-79; the edges are a quarter of a row.
    for (const auto &[y, proposal] : std::vector<std::pair<int, const char *>>{
             {10, "A@-1"}, {2, "@0"}, {18, "A@0"}, {22, "A@0"}, {30, "B@-1"}, {57, "A@2"}, {62, "@1"}, {78, "@2"}, {150, "@2"}}) {
        outline.source.validated.clear();
        EXPECT_EQ(dragTo(view, {60, y}, false), Qt::MoveAction) << y;
        EXPECT_EQ(outline.source.validated, QStringList{QString::fromLatin1(proposal)}) << y;
    }
    EXPECT_TRUE(outline.source.accepted.isEmpty());

    outline.source.dropOperation = Qt::CopyAction;
    EXPECT_EQ(dragTo(view, {60, 30}, true), Qt::CopyAction);
    EXPECT_EQ(outline.source.accepted, QStringList{"B@-1:B"});

    outline.source.dropOperation = Qt::IgnoreAction;
    EXPECT_EQ(dragTo(view, {60, 30}, true), Qt::IgnoreAction);
    EXPECT_EQ(outline.source.accepted.size(), 1);

    outline.source.validated.clear();
    EXPECT_EQ(dragTo(view, {60, 30}, true, QStringLiteral("text/plain")), Qt::IgnoreAction);
    EXPECT_TRUE(outline.source.validated.isEmpty()) << "types not registered never reach the data source";
}

TEST(DMOutlineViewDrawing, RowsShowTheirTextInTheColourTheDelegateChose)
{
    ShownOutline outline(QStringLiteral("Alpha Beta:40 Gamma"));
    DMOutlineView &view = outline.view;
    outline.delegate.redItem = QStringLiteral("Beta");
    QApplication::processEvents();
    const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QColor background = image.pixelColor(view.rectOfRow(0).right() - 2, 2);
    auto dark = [&](QColor c) { return c.lightness() < background.lightness() - 80 && c.red() < 120; };
    auto red = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };

    const QRect title0 = view.frameOfCellAtColumnRow(0, 0);
    const QRect title1 = view.frameOfCellAtColumnRow(0, 1);
    const QRect below(0, view.rectOfRow(2).bottom() + 2, 180, 30);
    EXPECT_GT(pixelsWhere(image, title0, dark), 10) << "Alpha is drawn";
    EXPECT_EQ(pixelsWhere(image, title0, red), 0);
    EXPECT_GT(pixelsWhere(image, title1, red), 10) << "Beta is drawn red";
    EXPECT_EQ(pixelsWhere(image, title1, dark), 0);
    EXPECT_EQ(pixelsWhere(image, below, dark), 0) << "nothing below the rows";
}

} // namespace
