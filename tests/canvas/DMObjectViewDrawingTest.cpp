#include "CanvasTestDoubles.h"
#include "DMObjectViewDragOperation.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace canvastest;

namespace {

QColor pixel(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

// Objects are drawn with a 1-point outline in their stroke colour; the pixels checked lie
// well inside or outside them.
TEST(DMObjectViewDrawing, LayersAscendingEachListBackToFront)
{
    Canvas canvas;
    canvas.source.add(1, "blue front", QRectF(30, 20, 40, 30), Qt::blue);
    canvas.source.add(1, "red back", QRectF(10, 10, 40, 30), Qt::red);
    canvas.source.add(2, "green link", QRectF(60, 40, 30, 30), Qt::green);
    canvas.source.add(0, "yellow background", QRectF(0, 0, 120, 90), Qt::yellow);

    canvas.source.queriedLayers.clear();
    const QImage image = canvas.view.grab().toImage();
    EXPECT_EQ(canvas.source.queriedLayers, QList<quint16>({0, 1, 2}));
    EXPECT_EQ(pixel(image, 20, 15), QColor(Qt::red));
    EXPECT_EQ(pixel(image, 40, 30), QColor(Qt::blue));   // front-most of its layer wins
    EXPECT_EQ(pixel(image, 65, 45), QColor(Qt::green));  // a higher layer is drawn later
    EXPECT_EQ(pixel(image, 100, 80), QColor(Qt::yellow));
    EXPECT_EQ(pixel(image, 150, 95), QColor(Qt::white)); // the background colour
}

TEST(DMObjectViewDrawing, ZoomScalesObjects)
{
    Canvas canvas;
    canvas.view.setBackgroundColor(Qt::black);
    canvas.view.setZoomLevel(2.0);
    canvas.source.add(1, "red", QRectF(10, 10, 20, 10), Qt::red);
    const QImage image = canvas.view.grab().toImage();
    EXPECT_EQ(pixel(image, 50, 35), QColor(Qt::red));
    EXPECT_EQ(pixel(image, 15, 15), QColor(Qt::black));
    EXPECT_EQ(pixel(image, 65, 35), QColor(Qt::black));
}

TEST(DMObjectViewDrawing, SelectedObjectHasAWiderOutline)
{
    Canvas canvas;
    auto object = canvas.source.add(1, "box", QRectF(20, 20, 40, 40), Qt::white);
    object->setStrokeColor(Qt::black);
    canvas.view.setBackgroundColor(Qt::gray);
    EXPECT_EQ(pixel(canvas.view.grab().toImage(), 19, 40), QColor(Qt::gray));
    canvas.view.selectObjectInLayerExtendSelection(object, 1, false);
    EXPECT_EQ(pixel(canvas.view.grab().toImage(), 19, 40), QColor(Qt::black));
}

TEST(DMObjectViewDrawing, RubberBandShowsWhileDraggingOnly)
{
    Canvas canvas;
    canvas.view.setZoomLevel(2.0);
    canvas.delegate.operationForPress = [](DMObjectView *, const std::shared_ptr<DMBaseObject> &) {
        return kDMObjectViewDragOperation_RubberBand;
    };
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(&canvas.view, QPoint(100, 60));
    EXPECT_EQ(canvas.view.rubberBandRect(), QRectF(5, 5, 45, 25));

    const QImage during = canvas.view.grab().toImage();
    const QColor inside = pixel(during, 50, 40);
    EXPECT_NE(inside, QColor(Qt::white));
    EXPECT_GT(inside.blue(), inside.red());
    const QColor edge = pixel(during, 10, 30);
    EXPECT_LT(edge.red(), inside.red()); // the outline is darker than the tinted inside
    EXPECT_EQ(pixel(during, 120, 80), QColor(Qt::white));

    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
    EXPECT_EQ(pixel(canvas.view.grab().toImage(), 50, 40), QColor(Qt::white));
}

// A subclass whose bounding box takes in a handle outside the frame: the frame setter goes
// through it, and hit tests, rectangle selection and redraws use the box.
class HandledObject : public TestObject
{
public:
    using TestObject::TestObject;
    void setBoundingBox(const QRectF &box) override
    {
        boxesSet.append(box);
        TestObject::setBoundingBox(box);
    }
    void updateBoundingBox() override { setBoundingBox(frame().adjusted(0, 0, 10, 0)); }
    QList<QRectF> boxesSet;
};

TEST(DMBaseObject, FrameChangesGoThroughTheBoundingBoxOfTheSubclass)
{
    HandledObject object("handled", QRectF(0, 0, 10, 10));
    EXPECT_EQ(object.boundingBox(), QRectF(0, 0, 10, 10));
    object.setFrame(QRectF(20, 20, 10, 10));
    EXPECT_EQ(object.boxesSet, QList<QRectF>({QRectF(20, 20, 20, 10)}));
    EXPECT_TRUE(object.isPointHitting(QPointF(25, 25), nullptr));
    EXPECT_FALSE(object.isPointHitting(QPointF(35, 25), nullptr)); // the handle is not the frame

    Canvas canvas;
    auto shared = std::make_shared<HandledObject>("handled", QRectF(20, 20, 10, 10));
    shared->updateBoundingBox();
    canvas.source.layers[1].append(shared);
    canvas.view.selectObjectsInRectExtendSelectionEditSelection(QRectF(35, 20, 2, 2), false, false);
    EXPECT_EQ(canvas.view.selectedObjects().size(), 1);
}

} // namespace
