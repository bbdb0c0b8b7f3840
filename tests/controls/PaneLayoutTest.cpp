// Panes of a window that narrows: the first pane of a yielding splitter gives way and takes its
// length back, a drag gives it a new one; a stack of pages asks for the room of its page shown.
#include "ControlsTestSupport.h"

#include "DMPageStack.h"
#include "DMYieldingSplitter.h"

#include <QMouseEvent>
#include <QSplitterHandle>
#include <QTest>

namespace {

TEST(YieldingSplitter, TheFirstPaneGivesWayToKeepTheSecondsRoomOrHalfAndTakesItsLengthBack)
{
    // A divider of 1: the panes share the width less 1.
    EXPECT_EQ(DMYieldingSplitter::yieldedLength(360, 1000, 300), 360);
    EXPECT_EQ(DMYieldingSplitter::yieldedLength(360, 600, 300), 300);
    EXPECT_EQ(DMYieldingSplitter::yieldedLength(360, 400, 300), 200);

    DMYieldingSplitter split(Qt::Horizontal);
    QWidget first, second;
    split.addWidget(&first);
    split.addWidget(&second);
    split.setHandleWidth(1);
    split.resize(1001, 300);
    split.show();
    split.setGivenFirstLength(360);
    EXPECT_EQ(split.sizes(), QList<int>({360, 640}));
    split.resize(401, 300);
    EXPECT_EQ(split.sizes(), QList<int>({200, 200}));
    EXPECT_EQ(split.givenFirstLength(), 360);
    split.resize(1201, 300);
    EXPECT_EQ(split.sizes(), QList<int>({360, 840}));

    // Dragged to about 500, it keeps that length from then on.
    QSplitterHandle *handle = split.handle(1);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, QPoint(0, 150));
    QMouseEvent move(QEvent::MouseMove, QPointF(140, 150), handle->mapToGlobal(QPointF(140, 150)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, QPoint(140, 150));
    const int dragged = split.sizes().value(0);
    EXPECT_NEAR(dragged, 500, 3);
    split.resize(601, 300);
    EXPECT_EQ(split.givenFirstLength(), dragged);
    split.resize(1201, 300);
    EXPECT_EQ(split.sizes().value(0), dragged);
}

TEST(PageStack, AsksForTheRoomOfThePageShownOnly)
{
    DMPageStack stack;
    QWidget narrow, wide;
    narrow.setMinimumSize(100, 50);
    wide.setMinimumSize(700, 400);
    stack.addWidget(&narrow);
    stack.addWidget(&wide);
    stack.setCurrentWidget(&narrow);
    EXPECT_EQ(stack.minimumSizeHint(), QSize(100, 50));
    stack.setCurrentWidget(&wide);
    EXPECT_EQ(stack.minimumSizeHint(), QSize(700, 400));
}

} // namespace
