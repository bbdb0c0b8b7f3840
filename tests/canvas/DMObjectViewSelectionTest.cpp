#include "CanvasTestDoubles.h"
#include "DMObjectViewDragOperation.h"

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
            return object && object != background ? DMObjectViewDragOperation::Select
                                                  : DMObjectViewDragOperation::RubberBand;
        };
    }

    QStringList selection() const { return names(view.selectedObjects()); }

    std::shared_ptr<TestObject> background, a, b, c;
};

TEST(DMObjectViewSelection, ClickSelectsThePressedObjectShiftExtendsControlToggles)
{
    SelectionCanvas canvas;
    const std::tuple<QPoint, Qt::KeyboardModifiers, QStringList> clicks[] = {
        {{15, 15}, Qt::NoModifier, {"A"}}, {{55, 15}, Qt::NoModifier, {"B"}},
        {{15, 15}, Qt::ShiftModifier, {"B", "A"}}, {{15, 15}, Qt::ShiftModifier, {"B", "A"}}, // extending keeps it
        {{55, 15}, Qt::ControlModifier, {"A"}}, {{155, 65}, Qt::ControlModifier, {"A", "C"}},
    };
    for (const auto &[at, modifiers, selection] : clicks) {
        canvas.click(at, modifiers);
        EXPECT_EQ(canvas.selection(), selection) << at.x() << "," << at.y();
    }
    EXPECT_TRUE(canvas.a->isSelected());
    EXPECT_FALSE(canvas.b->isSelected());
    EXPECT_TRUE(canvas.delegate.log.contains("selectionDidChange 2"));

    // A press that moves more than two points is no click; exactly 2.0 still is.
    canvas.view.deselectAll();
    canvas.drag(QPoint(55, 15), {QPoint(58, 15)});
    EXPECT_TRUE(canvas.selection().isEmpty());
    canvas.drag(QPoint(55, 15), {QPoint(57, 15)});
    EXPECT_EQ(canvas.selection(), QStringList({"B"}));
}

TEST(DMObjectViewSelection, RubberBandSelectsWhatItMeetsShiftExtendsControlToggles)
{
    SelectionCanvas canvas;
    canvas.drag(QPoint(5, 5), {QPoint(80, 40)});
    // Layers walked from the highest number down; the background is refused in its own layer.
    EXPECT_EQ(canvas.selection(), QStringList({"A", "B"}));
    EXPECT_TRUE(canvas.delegate.askedLayers.contains(0));
    EXPECT_FALSE(canvas.delegate.askedLayers.contains(kDMObjectView_AllLayers));

    canvas.drag(QPoint(140, 50), {QPoint(199, 99)}, Qt::ShiftModifier);
    EXPECT_EQ(canvas.selection(), QStringList({"A", "B", "C"}));
    canvas.drag(QPoint(45, 5), {QPoint(199, 99)}, Qt::ControlModifier);
    EXPECT_EQ(canvas.selection(), QStringList({"A"}));
    canvas.drag(QPoint(100, 40), {QPoint(120, 50)});
    EXPECT_TRUE(canvas.selection().isEmpty());
    EXPECT_FALSE(canvas.view.isRubberBandShown());
}

TEST(DMObjectViewSelection, RectSelectionInOneLayerOrSingleSelect)
{
    SelectionCanvas canvas;
    canvas.source.add(2, "front", QRectF(10, 10, 20, 20));
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
