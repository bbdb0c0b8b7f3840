#include "CanvasTestDoubles.h"
#include "DMObjectViewDragOperation.h"

#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <gtest/gtest.h>

using namespace canvastest;

namespace {

constexpr qint32 kMove = 116;

TEST(DMObjectViewHitTest, LayersByDescendingPriorityKeyThenListOrder)
{
    Canvas canvas;
    canvas.view.addLayerEventPriority(3, 0); // with 0/p0, 1/p1, 2/p2: order 2, 1, 3, 0
    canvas.source.add(0, "background", QRectF(0, 0, 200, 100));
    canvas.source.add(3, "label", QRectF(10, 10, 20, 20));
    canvas.source.add(1, "bar", QRectF(10, 10, 20, 20));
    canvas.source.add(2, "link", QRectF(10, 10, 20, 20));
    canvas.source.add(2, "link behind", QRectF(10, 10, 20, 20));

    for (const auto &[name, expectedLayer] : {std::pair{"link", 2}, {"bar", 1}, {"label", 3}, {"background", 0}}) {
        quint16 layer = 0;
        const auto hit = std::static_pointer_cast<TestObject>(canvas.view.hitTestObjectAtPoint(QPointF(15, 15), &layer));
        ASSERT_TRUE(hit) << name;
        EXPECT_EQ(hit->name, name);
        EXPECT_EQ(layer, expectedLayer) << name;
        canvas.source.layers[layer].clear();
    }
    canvas.source.queriedLayers.clear();
    EXPECT_EQ(canvas.view.hitTestObjectAtPoint(QPointF(15, 15)), nullptr);
    EXPECT_EQ(canvas.source.queriedLayers, QList<quint16>({2, 1, 3, 0}));
}

TEST(DMObjectViewHitTest, PressAsksTheDelegateWithTheHitObjectAndShowsItsCursor)
{
    Canvas canvas;
    canvas.source.add(1, "bar", QRectF(10, 10, 20, 20));
    canvas.source.cursors = {{kMove, Qt::ClosedHandCursor}, {0, Qt::CrossCursor}};
    canvas.delegate.operationForPress = [](DMObjectView *, const std::shared_ptr<DMBaseObject> &object) {
        return object ? kMove : 0;
    };
    // Re-adding a layer replaces its priority: layer 1 now comes before layer 2.
    canvas.view.addLayerEventPriority(1, 5);
    EXPECT_EQ(canvas.view.visibleLayersPriority(), std::set<quint32>({0, 2 * 65536 + 2, 5 * 65536 + 1}));

    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(12, 28));
    EXPECT_EQ(canvas.delegate.log.last(), "dragOperation bar");
    EXPECT_EQ(canvas.delegate.pressPoint, QPointF(12, 28));
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(12, 28));
    EXPECT_EQ(canvas.view.cursor().shape(), Qt::CrossCursor);

    canvas.click(QPoint(100, 50));
    EXPECT_TRUE(canvas.delegate.log.contains("dragOperation -"));
}

// A press on "bar" starts a move of "bar" and "other" together.
struct DragCanvas : Canvas
{
    DragCanvas()
    {
        bar = source.add(1, "bar", QRectF(5, 5, 20, 20));
        other = source.add(1, "other", QRectF(50, 5, 20, 20));
        source.cursors = {{0, Qt::CrossCursor}};
        delegate.operationForPress = [this](DMObjectView *view, const std::shared_ptr<DMBaseObject> &object) {
            if (!object)
                return operationOnEmpty;
            view->setDragOperationConcernedObjects({bar, other});
            return kMove;
        };
    }
    std::shared_ptr<TestObject> bar, other;
    qint32 operationOnEmpty = 0;
};

TEST(DMObjectViewDrag, StepsGoToEveryConcernedObjectInCanvasPointsDividedByZoom)
{
    DragCanvas canvas;
    canvas.view.setZoomLevel(2.0);
    canvas.drag(QPoint(20, 20), {QPoint(40, 30), QPoint(60, 20)});
    for (const auto &object : {canvas.bar, canvas.other}) {
        ASSERT_EQ(object->steps.size(), 2u) << object->name.toStdString();
        EXPECT_EQ(object->steps[0].operation, kMove);
        EXPECT_EQ(object->steps[0].start, QPointF(10, 10));
        EXPECT_EQ(object->steps[0].end, QPointF(20, 15));
        EXPECT_EQ(object->steps[1].start, QPointF(10, 10));
        EXPECT_EQ(object->steps[1].end, QPointF(30, 10));
        EXPECT_EQ(object->steps[0].eventNumber, object->steps[1].eventNumber);
    }
    EXPECT_EQ(canvas.delegate.finishRect, QRectF(10, 10, 20, 0));

    canvas.drag(QPoint(20, 20), {QPoint(22, 20)}); // the next gesture is a new series
    ASSERT_EQ(canvas.bar->steps.size(), 3u);
    EXPECT_NE(canvas.bar->steps[2].eventNumber, canvas.bar->steps[0].eventNumber);
}

TEST(DMObjectViewDrag, MouseUpFinishesInOrderAndDoubleClickReportsTwelve)
{
    DragCanvas canvas;
    canvas.drag(QPoint(10, 10), {QPoint(30, 10)});
    const QString cross = QString::number(int(Qt::CrossCursor));
    EXPECT_EQ(canvas.delegate.log, QStringList({"dragOperation bar", "willFinish 116 current=116 concerned=2",
                                                "didFinish 116 current=0 concerned=0 cursor=" + cross}));

    // A rubber band selects before the delegate hears of the end.
    canvas.operationOnEmpty = DMObjectViewDragOperation::RubberBand;
    canvas.delegate.log.clear();
    canvas.drag(QPoint(1, 1), {QPoint(30, 30)});
    EXPECT_EQ(canvas.delegate.log, QStringList({"dragOperation -", "selectionDidChange 1", "willFinish 2 current=2 concerned=0",
                                                "didFinish 2 current=0 concerned=0 cursor=" + cross}));
    EXPECT_EQ(canvas.delegate.finishRect, QRectF(1, 1, 29, 29));

    // A double click reports 12; a delegate's 12 for a single click is not passed on.
    canvas.delegate.log.clear();
    canvas.click(QPoint(10, 10));
    QTest::mouseDClick(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    canvas.operationOnEmpty = DMObjectViewDragOperation::DoubleClick;
    canvas.click(QPoint(100, 80));
    const QStringList finishes = canvas.delegate.log.filter("didFinish");
    ASSERT_EQ(finishes.size(), 3);
    EXPECT_TRUE(finishes[0].startsWith("didFinish 116 "));
    EXPECT_TRUE(finishes[1].startsWith("didFinish 12 "));
    EXPECT_TRUE(finishes[2].startsWith("didFinish 0 "));
}

TEST(DMObjectViewDrag, ObjectsDroppedByTheirOwnerDuringAGestureEndSafely)
{
    DragCanvas canvas;
    std::weak_ptr<TestObject> bar = canvas.bar;
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    // The model destroys the bar while it is dragged: the canvas holds it until mouse up.
    canvas.source.layers.clear();
    canvas.bar.reset();
    QTest::mouseMove(&canvas.view, QPoint(20, 10));
    ASSERT_FALSE(bar.expired());
    EXPECT_EQ(bar.lock()->steps.size(), 1u);
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    EXPECT_TRUE(bar.expired());

    // A pressed object that goes away before the release is not selected.
    auto pressed = canvas.source.add(1, "pressed", QRectF(5, 5, 20, 20));
    canvas.delegate.operationForPress = [](DMObjectView *, const std::shared_ptr<DMBaseObject> &) {
        return DMObjectViewDragOperation::Select;
    };
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    canvas.source.layers.clear();
    pressed.reset();
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_TRUE(canvas.view.selectedObjects().isEmpty());

    // The owner clears data source and delegate in the middle of a rubber band.
    canvas.source.add(1, "bar", QRectF(5, 5, 20, 20));
    canvas.delegate.operationForPress = [](DMObjectView *, const std::shared_ptr<DMBaseObject> &) {
        return DMObjectViewDragOperation::RubberBand;
    };
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    canvas.view.setDatasource(nullptr);
    canvas.view.setDelegate(nullptr);
    canvas.delegate.log.clear();
    QTest::mouseMove(&canvas.view, QPoint(40, 40));
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    EXPECT_TRUE(canvas.delegate.log.isEmpty());
    EXPECT_EQ(canvas.view.currentDragOperation(), 0);
}

TEST(DMObjectViewEvents, KeysAndMagnificationGoToTheDelegate)
{
    Canvas canvas;
    QTest::keyClick(&canvas.view, Qt::Key_Right, Qt::ShiftModifier); // Shift down, Right down, up, Shift up
    ASSERT_EQ(canvas.delegate.keyEvents.size(), 4u);
    EXPECT_EQ(canvas.delegate.keyEvents[1].type(), DMEvent::KeyDown);
    EXPECT_EQ(canvas.delegate.keyEvents[2].type(), DMEvent::KeyUp);
    EXPECT_EQ(canvas.delegate.keyEvents[2].key(), Qt::Key_Right);
    EXPECT_TRUE(canvas.delegate.keyEvents[2].hasModifier(DMEvent::Shift));

    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, QPointF(5, 5),
                              QPointF(5, 5), QPointF(5, 5), 0.25, QPointF());
    QApplication::sendEvent(&canvas.view, &pinch);
    EXPECT_EQ(canvas.delegate.magnifications, QList<double>({0.25}));
}

} // namespace
