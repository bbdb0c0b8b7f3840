// The collapsing split view: the fixed pane shown at its size or collapsed, whichever pane it is,
// the other pane taking the rest, and a divider that cannot be dragged.
#include "ControlsTestSupport.h"

#include "DMCollapsingSplitview.h"

#include <QMouseEvent>
#include <QSplitterHandle>
#include <QTest>

namespace {

// Side by side, 800 wide, a divider of 1; the given pane collapses at 200.
struct SplitView
{
    explicit SplitView(int collapsingIndex, Qt::Orientation orientation = Qt::Horizontal)
        : split(orientation)
    {
        split.setHandleWidth(1);
        split.addWidget(&first);
        split.addWidget(&second);
        split.resize(orientation == Qt::Horizontal ? QSize(800, 300) : QSize(300, 800));
        split.show();
        QWidget *pane = collapsingIndex == 0 ? &first : &second;
        pane->resize(orientation == Qt::Horizontal ? QSize(200, 300) : QSize(300, 200));
        split.setCollapsingView(pane);
    }
    // Start and length of each pane along the split.
    std::pair<int, int> span(const QWidget &pane) const
    {
        const QRect g = pane.geometry();
        return split.orientation() == Qt::Horizontal ? std::pair(g.x(), g.width()) : std::pair(g.y(), g.height());
    }

    DMCollapsingSplitview split;
    QWidget first;
    QWidget second;
};

using Span = std::pair<int, int>;

} // namespace

TEST(CollapsingSplitview, CollapsesAndRestoresEitherPane)
{
    SplitView view(1);
    EXPECT_EQ(view.span(view.first), Span(0, 599));
    EXPECT_EQ(view.span(view.second), Span(600, 200));

    view.split.toggleCollapse();
    EXPECT_TRUE(view.split.isCollapsed());
    EXPECT_EQ(view.span(view.first), Span(0, 799));
    EXPECT_EQ(view.split.sizes(), QList<int>({799, 0}));
    view.split.collapse(); // twice changes nothing
    EXPECT_EQ(view.split.sizes(), QList<int>({799, 0}));

    // The window grows: the collapsed pane stays at nothing.
    view.split.resize(1000, 300);
    EXPECT_EQ(view.split.sizes(), QList<int>({999, 0}));

    view.split.toggleCollapse();
    EXPECT_FALSE(view.split.isCollapsed());
    EXPECT_EQ(view.span(view.first), Span(0, 799));
    EXPECT_EQ(view.span(view.second), Span(800, 200));
    view.split.expand(); // expanding a shown pane changes nothing
    EXPECT_EQ(view.split.sizes(), QList<int>({799, 200}));

    // The first pane, across a vertical split.
    SplitView vertical(0, Qt::Vertical);
    EXPECT_EQ(vertical.span(vertical.first), Span(0, 200));
    EXPECT_EQ(vertical.span(vertical.second), Span(201, 599));
    vertical.split.collapse();
    EXPECT_EQ(vertical.split.sizes(), QList<int>({0, 799}));
    vertical.split.resize(300, 600);
    EXPECT_EQ(vertical.split.sizes(), QList<int>({0, 599}));
    vertical.split.expand();
    EXPECT_EQ(vertical.span(vertical.first), Span(0, 200));
    EXPECT_EQ(vertical.span(vertical.second), Span(201, 399));
}

TEST(CollapsingSplitview, DividerStaysWhereverItIsDragged)
{
    for (int collapsing : {0, 1}) {
        SplitView view(collapsing);
        const QList<int> before = view.split.sizes();
        QSplitterHandle *handle = view.split.handle(1);
        ASSERT_NE(handle, nullptr);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, QPoint(0, 150));
        QMouseEvent move(QEvent::MouseMove, QPointF(-250, 150), handle->mapToGlobal(QPointF(-250, 150)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, QPoint(-250, 150));
        EXPECT_EQ(view.split.sizes(), before) << "collapsing pane " << collapsing;
        EXPECT_EQ(view.split.constrainSplitPosition(100), before[0]);
    }
}

TEST(CollapsingSplitview, WithoutCollapsingViewItIsAPlainSplitter)
{
    DMCollapsingSplitview split(Qt::Horizontal);
    QWidget first;
    QWidget second;
    split.addWidget(&first);
    split.addWidget(&second);
    split.setHandleWidth(1);
    split.resize(401, 100);
    split.show();
    split.setSizes({100, 300});
    EXPECT_EQ(split.constrainSplitPosition(250), 250);
    split.collapse();
    EXPECT_EQ(split.sizes(), QList<int>({100, 300}));
    split.resize(801, 100);
    EXPECT_EQ(split.sizes()[0] + split.sizes()[1], 800);
}
