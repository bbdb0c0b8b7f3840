// The collection view: cards made only for what can be seen and reused while scrolling, the
// selection by clicks reported to the drag delegate, drags refused without a delegate, and the
// background view that paints the selection and lets clicks on passive parts reach the card.
#include "ControlsTestSupport.h"

#include "DMCollectionView.h"
#include "DMCollectionViewDragOperationDelegate.h"
#include "DMCollectionViewItem.h"
#include "DMItemBackgroundView.h"

#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace controlstest;

namespace {

class Card : public DMCollectionViewItem, public DMItemBackgroundViewDelegate
{
public:
    Card()
    {
        view()->setDelegate(this);
        label = new QLabel(QStringLiteral("title"), view());
        label->setGeometry(10, 10, 80, 20);
        button = new QPushButton(QStringLiteral("b"), view());
        button->setGeometry(100, 10, 40, 20);
        QObject::connect(button, &QPushButton::clicked, [this] { ++buttonClicks; });
    }
    void viewMouseDown(DMItemBackgroundView *, QMouseEvent *) override { ++presses; }

    QLabel *label;
    QPushButton *button;
    int shown = -1;
    int presses = 0;
    int buttonClicks = 0;
};

struct Delegate : DMCollectionViewDragOperationDelegate
{
    Qt::DropAction dmCollectionViewDraggingEntered(DMCollectionView *, const DMDraggingInfo &) override
    {
        return Qt::CopyAction;
    }
    void setItemsViewHasSelectedItems(bool selected) override { hasSelection = selected; }
    bool hasSelection = false;
};

struct Grid
{
    Grid(int count)
    {
        view.resize(420, 330);
        view.setMinItemSize(QSize(200, 100));
        view.setItemPrototype(
            [this] {
                ++made;
                return std::make_unique<Card>();
            },
            [](DMCollectionViewItem &item, int index) { static_cast<Card &>(item).shown = index; });
        view.setContentCount(count);
        view.show();
    }
    Card *card(int index) { return static_cast<Card *>(view.itemAtIndex(index)); }
    DMCollectionView view;
    int made = 0;
};

} // namespace

TEST(CollectionView, MakesCardsOnlyForWhatCanBeSeenAndReusesThemWhileScrolling)
{
    Grid grid(10000);
    // Two columns of 100-point rows in 330 points: 4 rows in sight and one more below.
    EXPECT_EQ(grid.view.columnCount(), 2);
    EXPECT_EQ(grid.made, 10);
    ASSERT_NE(grid.card(0), nullptr);
    EXPECT_EQ(grid.card(0)->shown, 0);
    EXPECT_EQ(grid.view.itemAtIndex(500), nullptr);

    grid.view.verticalScrollBar()->setValue(250 * 100);
    ASSERT_NE(grid.card(500), nullptr);
    EXPECT_EQ(grid.card(500)->shown, 500);
    EXPECT_EQ(grid.card(500)->view()->geometry().topLeft(), QPoint(0, 0));
    // In the middle a row above joins: 6 rows of 2.
    EXPECT_EQ(grid.made, 12);
    grid.view.verticalScrollBar()->setValue(3000 * 100);
    EXPECT_EQ(grid.card(6000)->shown, 6000);
    EXPECT_EQ(grid.made, 12) << "scrolling reuses the cards that left the sight";
    EXPECT_EQ(grid.view.itemAtIndex(0), nullptr);

    // The last row ends at the bottom of the range.
    grid.view.verticalScrollBar()->setValue(grid.view.verticalScrollBar()->maximum());
    ASSERT_NE(grid.card(9999), nullptr);
    EXPECT_EQ(grid.card(9999)->view()->geometry().bottom(), grid.view.viewport()->height() - 1);
}

TEST(CollectionView, ASectionHeadingHasARowOfItsOwnWhereverTheGridIsScrolled)
{
    // Sections of a heading and nine entries: the heading's row, then five rows of two.
    Grid grid(0);
    QList<int> headings;
    for (int heading = 0; heading < 1000; heading += 10)
        headings.append(heading);
    grid.view.setContentCount(1000, headings);
    EXPECT_EQ(grid.view.rowCount(), 600);
    EXPECT_EQ(grid.view.verticalScrollBar()->maximum(), 600 * 100 - grid.view.viewport()->height());

    grid.view.verticalScrollBar()->setValue(300 * 100);
    const int width = grid.view.frameForItemAtIndex(1).width();
    ASSERT_NE(grid.card(500), nullptr);
    EXPECT_EQ(grid.card(500)->view()->geometry(), QRect(0, 0, 2 * width, 100));
    EXPECT_EQ(grid.card(501)->view()->geometry().topLeft(), QPoint(0, 100));
    EXPECT_EQ(grid.card(502)->view()->geometry().topLeft(), QPoint(width, 100));
    ASSERT_NE(grid.card(508), nullptr);
    EXPECT_EQ(grid.card(508)->view()->geometry().topLeft(), QPoint(width, 400));
    EXPECT_EQ(grid.card(509), nullptr) << "below the row under the sight";
    ASSERT_NE(grid.card(499), nullptr);
    EXPECT_EQ(grid.card(499)->view()->geometry().topLeft(), QPoint(0, -100)) << "the last of the section above";
    EXPECT_EQ(grid.view.indexAtPoint(QPoint(300, 50)), 500);
    EXPECT_EQ(grid.view.indexAtPoint(QPoint(300, -50)), -1) << "beside the last entry of a section";
}

TEST(CollectionView, ClicksSelectTheDelegateHearsOfTheSelectionAndDragsNeedIt)
{
    Grid grid(300);
    Delegate delegate;
    grid.view.setDragOperationDelegate(&delegate);

    // A click on the card's label reaches the card, then selects it.
    QTest::mouseClick(grid.card(3)->label, Qt::LeftButton);
    EXPECT_EQ(grid.card(3)->presses, 1);
    EXPECT_EQ(grid.view.selectionIndexes(), QList<int>{3});
    EXPECT_TRUE(grid.card(3)->isSelected());
    EXPECT_TRUE(delegate.hasSelection);

    // A button of a card takes its click alone.
    QTest::mouseClick(grid.card(4)->button, Qt::LeftButton);
    EXPECT_EQ(grid.card(4)->buttonClicks, 1);
    EXPECT_EQ(grid.card(4)->presses, 0);
    EXPECT_EQ(grid.view.selectionIndexes(), QList<int>{3});

    // Control toggles, Shift extends from the last plain click.
    QTest::mouseClick(grid.card(0)->view(), Qt::LeftButton, Qt::ControlModifier, QPoint(150, 60));
    EXPECT_EQ(grid.view.selectionIndexes(), (QList<int>{0, 3}));
    QTest::mouseClick(grid.card(6)->view(), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 60));
    EXPECT_EQ(grid.view.selectionIndexes(), (QList<int>{0, 1, 2, 3, 4, 5, 6}));

    QList<int> all;
    for (int i = 0; i < 256; ++i)
        all.append(i);
    grid.view.setSelectionIndexes(all);
    EXPECT_TRUE(delegate.hasSelection);
    grid.view.setSelectionIndexes({});
    EXPECT_FALSE(delegate.hasSelection);

    // New contents drop the selection.
    grid.view.setSelectionIndexes({1});
    grid.view.setContentCount(2);
    EXPECT_TRUE(grid.view.selectionIndexes().isEmpty());
    EXPECT_FALSE(delegate.hasSelection);
    grid.view.setDragOperationDelegate(nullptr);

    // Drags are refused without a delegate.
    QMimeData data;
    data.setText(QStringLiteral("x"));
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.view.viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    grid.view.setDragOperationDelegate(&delegate);
    QDragEnterEvent accepted(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.view.viewport(), &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    EXPECT_EQ(accepted.dropAction(), Qt::CopyAction);
    grid.view.setDragOperationDelegate(nullptr);
}

TEST(CollectionView, SelectedBackgroundIsFilledAndDeselectingClearsIt)
{
    DMItemBackgroundView view;
    view.resize(40, 30);
    const QColor highlight = view.selectionColor();
    view.setSelected(true);
    EXPECT_EQ(QColor(renderWidget(view).pixel(20, 15)), highlight);
    view.setSelected(false);
    EXPECT_EQ(QColor(renderWidget(view).pixel(20, 15)), QColor(Qt::white));
}

// For print, the whole grid draws, every card showing its own entry, unselected, whatever part
// the view shows; the cards in sight stay as they were.
TEST(CollectionView, DrawsEveryCardOfTheWholeGridForPrinting)
{
    Grid grid(40);
    grid.view.setItemPrototype([&grid] {
        ++grid.made;
        return std::make_unique<Card>();
    }, [](DMCollectionViewItem &item, int index) {
        auto &card = static_cast<Card &>(item);
        card.shown = index;
        card.label->setText(index < 0 ? QString() : QStringLiteral("card %1").arg(index));
    });
    grid.view.setSelectionIndexes({0});
    const int madeBefore = grid.made;
    const QSize size = grid.view.contentsSize();
    EXPECT_EQ(size.height(), 20 * 100);
    EXPECT_EQ(size.width(), 2 * grid.view.frameForItemAtIndex(0).width());

    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    grid.view.renderContents(&painter, QRect(QPoint(0, 0), size));
    painter.end();
    // Each card's label has its text, the last card's too; the selected card is drawn plain.
    for (int index : {0, 1, 9, 10, 39}) {
        const QRect label = grid.view.frameForItemAtIndex(index).adjusted(10, 10, 0, 0);
        int ink = 0;
        for (int y = label.top(); y < label.top() + 20; ++y)
            for (int x = label.left(); x < label.left() + 80; ++x)
                ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        EXPECT_GT(ink, 20) << index;
    }
    EXPECT_EQ(image.pixel(grid.view.frameForItemAtIndex(0).topLeft() + QPoint(2, 2)), qRgb(255, 255, 255));
    EXPECT_TRUE(grid.card(0)->isSelected());
    EXPECT_EQ(grid.card(0)->shown, 0);
    // Cards out of sight were borrowed from those set aside: at most one more was made.
    EXPECT_LE(grid.made, madeBefore + 1);
}
