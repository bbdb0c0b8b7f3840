#include "CanvasTestDoubles.h"
#include "DMObjectViewDragOperation.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace canvastest;

namespace {

// Objects: a background in layer 0, A and B in layer 1, C in layer 2. A press on an object
// selects (operation 1); a press on the background starts a rubber band (operation 2).
struct SelectionCanvas : Canvas
{
    SelectionCanvas()
    {
        background = source.add(0, "background", QRectF(0, 0, 200, 100));
        a = source.add(1, "A", QRectF(10, 10, 20, 20));
        b = source.add(1, "B", QRectF(50, 10, 20, 20));
        c = source.add(2, "C", QRectF(150, 60, 20, 20));
        delegate.unselectableLayers = {0};
        delegate.operationForPress = [this](DMObjectView *, const std::shared_ptr<DMBaseObject> &object) {
            return object && object != background ? kDMObjectViewDragOperation_Select
                                                  : kDMObjectViewDragOperation_RubberBand;
        };
    }

    void click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(&view, Qt::LeftButton, modifiers, at);
    }

    void band(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(&view, to);
        QTest::mouseRelease(&view, Qt::LeftButton, modifiers, to);
    }

    QStringList selection() const { return names(view.selectedObjects()); }

    std::shared_ptr<TestObject> background, a, b, c;
};

TEST(DMObjectViewSelection, ClickSelectsThePressedObjectShiftExtendsControlToggles)
{
    SelectionCanvas canvas;
    canvas.click(QPoint(15, 15));
    EXPECT_EQ(canvas.selection(), QStringList({"A"}));
    EXPECT_TRUE(canvas.a->isSelected());

    canvas.click(QPoint(55, 15));
    EXPECT_EQ(canvas.selection(), QStringList({"B"}));
    EXPECT_FALSE(canvas.a->isSelected());

    canvas.click(QPoint(15, 15), Qt::ShiftModifier);
    EXPECT_EQ(canvas.selection(), QStringList({"B", "A"}));
    canvas.click(QPoint(15, 15), Qt::ShiftModifier); // extending keeps it
    EXPECT_EQ(canvas.selection(), QStringList({"B", "A"}));

    canvas.click(QPoint(55, 15), Qt::ControlModifier);
    EXPECT_EQ(canvas.selection(), QStringList({"A"}));
    EXPECT_FALSE(canvas.b->isSelected());
    canvas.click(QPoint(155, 65), Qt::ControlModifier);
    EXPECT_EQ(canvas.selection(), QStringList({"A", "C"}));
    EXPECT_TRUE(canvas.delegate.log.contains("selectionDidChange 2"));
}

TEST(DMObjectViewSelection, PressMovedMoreThanTwoPointsDoesNotSelect)
{
    SelectionCanvas canvas;
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(17, 15));
    EXPECT_EQ(canvas.selection(), QStringList({"A"})); // exactly 2.0 is still a click

    canvas.view.deselectAll();
    QTest::mousePress(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
    QTest::mouseMove(&canvas.view, QPoint(18, 15));
    QTest::mouseRelease(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(18, 15));
    EXPECT_TRUE(canvas.selection().isEmpty());
}

TEST(DMObjectViewSelection, RubberBandSelectsWhatItMeetsShiftExtendsControlToggles)
{
    SelectionCanvas canvas;
    canvas.band(QPoint(5, 5), QPoint(80, 40));
    // Layers walked from the highest number down; the background is refused in its own layer.
    EXPECT_EQ(canvas.selection(), QStringList({"A", "B"}));
    EXPECT_FALSE(canvas.background->isSelected());
    EXPECT_TRUE(canvas.delegate.askedLayers.contains(0));
    EXPECT_FALSE(canvas.delegate.askedLayers.contains(kDMObjectView_AllLayers));

    canvas.band(QPoint(140, 50), QPoint(199, 99), Qt::ShiftModifier);
    EXPECT_EQ(canvas.selection(), QStringList({"A", "B", "C"}));

    canvas.band(QPoint(45, 5), QPoint(199, 99), Qt::ControlModifier);
    EXPECT_EQ(canvas.selection(), QStringList({"A"}));

    canvas.band(QPoint(100, 40), QPoint(120, 50));
    EXPECT_TRUE(canvas.selection().isEmpty());
    EXPECT_FALSE(canvas.view.isRubberBandShown());
}

TEST(DMObjectViewSelection, RectSelectionInOneLayerOrSingleSelect)
{
    SelectionCanvas canvas;
    auto front = canvas.source.add(2, "front", QRectF(10, 10, 20, 20));
    const QRectF overA(12, 12, 2, 2);

    canvas.source.queriedLayers.clear();
    canvas.view.selectObjectsInRectInLayerSingleSelectExtendSelectionEditSelection(overA, kDMObjectView_AllLayers,
                                                                                  true, false, false);
    EXPECT_EQ(canvas.selection(), QStringList({"front"}));
    EXPECT_EQ(canvas.source.queriedLayers, QList<quint16>({2}));

    canvas.view.selectObjectsInRectInLayerSingleSelectExtendSelectionEditSelection(overA, 1, false, false, false);
    EXPECT_EQ(canvas.selection(), QStringList({"A"}));

    canvas.source.queriedLayers.clear();
    canvas.view.selectObjectsInRectExtendSelectionEditSelection(QRectF(0, 0, 200, 100), false, false);
    EXPECT_EQ(canvas.source.queriedLayers, QList<quint16>({2, 1, 0}));
    EXPECT_EQ(canvas.selection(), QStringList({"C", "front", "A", "B"}));
}

} // namespace
