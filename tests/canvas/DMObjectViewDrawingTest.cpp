#include "CanvasTestDoubles.h"
#include "DMObjectViewDragOperation.h"

#include <QPaintEvent>

#include <gtest/gtest.h>

using namespace canvastest;

namespace {

using Pixels = std::initializer_list<std::tuple<int, int, QColor>>;

void expectPixels(const QImage &image, Pixels pixels)
{
    for (const auto &[x, y, color] : pixels)
        EXPECT_EQ(image.pixelColor(x, y), color) << x << "," << y;
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
    expectPixels(image, {{20, 15, Qt::red},
                         {40, 30, Qt::blue},   // front-most of its layer wins
                         {65, 45, Qt::green},  // a higher layer is drawn later
                         {100, 80, Qt::yellow},
                         {150, 95, Qt::white}}); // the background colour
}

TEST(DMObjectViewDrawing, ZoomScalesObjectsAndSelectionWidensTheOutline)
{
    Canvas canvas;
    canvas.view.setBackgroundColor(Qt::black);
    canvas.view.setZoomLevel(2.0);
    canvas.source.add(1, "red", QRectF(10, 10, 20, 10), Qt::red);
    expectPixels(canvas.view.grab().toImage(), {{50, 35, Qt::red}, {15, 15, Qt::black}, {65, 35, Qt::black}});

    Canvas plain;
    auto object = plain.source.add(1, "box", QRectF(20, 20, 40, 40), Qt::white);
    object->setStrokeColor(Qt::black);
    plain.view.setBackgroundColor(Qt::gray);
    EXPECT_EQ(plain.view.grab().toImage().pixelColor(19, 40), QColor(Qt::gray));
    plain.view.selectObjectInLayerExtendSelection(object, 1, false);
    EXPECT_EQ(plain.view.grab().toImage().pixelColor(19, 40), QColor(Qt::black));
}

TEST(DMObjectViewDrawing, RubberBandShowsWhileDraggingOnly)
{
    Canvas canvas;
    canvas.view.setZoomLevel(2.0);
    canvas.delegate.operationForPress = [](DMObjectView *, const std::shared_ptr<DMBaseObject> &) {
        return DMObjectViewDragOperation::RubberBand;
    };
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(&canvas.view, QPoint(100, 60));
    EXPECT_EQ(canvas.view.rubberBandRect(), QRectF(5, 5, 45, 25));

    const QImage during = canvas.view.grab().toImage();
    const QColor inside = during.pixelColor(50, 40);
    EXPECT_NE(inside, QColor(Qt::white));
    EXPECT_GT(inside.blue(), inside.red());
    EXPECT_LT(during.pixelColor(10, 30).red(), inside.red()); // the outline is darker than the tinted inside
    EXPECT_EQ(during.pixelColor(120, 80), QColor(Qt::white));

    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
    EXPECT_EQ(canvas.view.grab().toImage().pixelColor(50, 40), QColor(Qt::white));
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
    Canvas canvas;
    auto object = std::make_shared<HandledObject>("handled", QRectF(0, 0, 10, 10));
    object->setFrame(QRectF(20, 20, 10, 10));
    EXPECT_EQ(object->boxesSet, QList<QRectF>({QRectF(20, 20, 20, 10)}));
    EXPECT_TRUE(object->isPointHitting(QPointF(25, 25), nullptr));
    EXPECT_FALSE(object->isPointHitting(QPointF(35, 25), nullptr)); // the handle is not the frame

    canvas.source.layers[1].append(object);
    canvas.view.selectObjectsInRectExtendSelectionEditSelection(QRectF(35, 20, 2, 2), false, false);
    EXPECT_EQ(canvas.view.selectedObjects().size(), 1);
}

} // namespace

namespace {

// Records the region of every paint of a widget.
class PaintRecorder : public QObject
{
public:
    QList<QRegion> regions;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            regions.append(static_cast<QPaintEvent *>(event)->region());
        return false;
    }
};

} // namespace

TEST(DMObjectViewDrawing, RedrawRequestsOfOneTurnArePaintedTogether)
{
    Canvas canvas;
    canvas.view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas.view));
    QCoreApplication::processEvents();
    PaintRecorder paints;
    canvas.view.installEventFilter(&paints);

    // A few requests: one paint, covering each of them.
    const QList<QRect> few{QRect(5, 5, 10, 10), QRect(150, 60, 20, 20), QRect(90, 0, 5, 100)};
    for (const QRect &rect : few)
        canvas.view.setNeedsDisplayInRect(rect);
    canvas.view.setNeedsDisplayInRect(QRectF(900, 900, 10, 10)); // out of view: dropped
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(paints.regions.size(), 1);
    for (const QRect &rect : few)
        EXPECT_TRUE(paints.regions.first().contains(rect)) << rect.x();

    // Thousands of requests (a pushed chain): still one paint, over all of them.
    paints.regions.clear();
    for (int i = 0; i < 3000; ++i)
        canvas.view.setNeedsDisplayInRect(QRectF(i % 190, (i / 190) * 5 % 95, 4, 4));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(paints.regions.size(), 1);
    EXPECT_TRUE(paints.regions.first().contains(QRect(0, 0, 190, 95)));
}
