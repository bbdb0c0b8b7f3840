// The first pane of a yielding splitter gives way as the splitter narrows and takes its length
// back as it widens; a drag gives it a new one.
#include "ControlsTestSupport.h"

#include "DMYieldingSplitter.h"

#include <QMouseEvent>
#include <QSplitterHandle>
#include <QTest>

namespace {

TEST(YieldingSplitter, TheFirstPaneGivesWayToKeepTheSecondsRoomOrHalfAndTakesItsLengthBack)
{
    // A divider of 1: the panes share the width less 1; the second keeps 300, or half.
    DMYieldingSplitter split(Qt::Horizontal);
    QWidget first, second;
    split.addWidget(&first);
    split.addWidget(&second);
    split.setHandleWidth(1);
    split.resize(1001, 300);
    split.show();
    split.setGivenFirstLength(360);
    EXPECT_EQ(split.sizes(), QList<int>({360, 640}));
    split.resize(601, 300);
    EXPECT_EQ(split.sizes(), QList<int>({300, 300}));
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

} // namespace
