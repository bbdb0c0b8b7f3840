#pragma once

// Stand-ins for the canvas's data source, delegate and objects: objects kept per layer, and a
// delegate that writes every call it receives into one log so that tests can check the order.

#include "DMBaseObject.h"
#include "DMEvent.h"
#include "DMObjectView.h"
#include "DMObjectViewDataSource.h"
#include "DMObjectViewDelegate.h"

#include <QStringList>
#include <QTest>

#include <functional>
#include <map>

namespace canvastest {

struct DragStep
{
    qint32 operation;
    QPointF start, end;
    qint64 eventNumber;
};

class TestObject : public DMBaseObject
{
public:
    TestObject(const QString &name, const QRectF &frame, const QColor &fill = Qt::gray)
        : DMBaseObject(frame)
        , name(name)
    {
        setFillColor(fill);
    }

    void handleDragOperation(qint32 op, QPointF start, QPointF end, const DMEvent &event, DMObjectView *) override
    {
        steps.push_back({op, start, end, event.eventNumber()});
    }

    QString name;
    std::vector<DragStep> steps;
};

class FakeDataSource : public DMObjectViewDataSource
{
public:
    std::shared_ptr<TestObject> add(quint16 layer, const QString &name, const QRectF &frame,
                                    const QColor &fill = Qt::gray)
    {
        layers[layer].append(std::make_shared<TestObject>(name, frame, fill));
        return std::static_pointer_cast<TestObject>(layers[layer].last());
    }

    DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *, const QRectF &rect, quint16 layer) override
    {
        queriedLayers.append(layer);
        DMBaseObjectList result;
        for (const auto &object : layers[layer])
            if (object->boundingBox().intersects(rect))
                result.append(object);
        return result;
    }

    std::optional<QCursor> objectViewCursorForDragOperation(DMObjectView *, qint32 operation) override
    {
        if (const auto found = cursors.find(operation); found != cursors.end())
            return QCursor(found->second);
        return std::nullopt;
    }

    std::map<quint16, DMBaseObjectList> layers; // front-most first
    std::map<qint32, Qt::CursorShape> cursors;
    QList<quint16> queriedLayers;
};

class RecordingDelegate : public DMObjectViewDelegate
{
public:
    qint32 objectViewDragOperationForPointWithObject(DMObjectView *view, QPointF point,
                                                     const std::shared_ptr<DMBaseObject> &object) override
    {
        auto test = std::dynamic_pointer_cast<TestObject>(object);
        log << QStringLiteral("dragOperation %1").arg(test ? test->name : QStringLiteral("-"));
        pressPoint = point;
        return operationForPress ? operationForPress(view, object) : 0;
    }
    bool objectViewShouldSelectObjectInLayer(DMObjectView *, const std::shared_ptr<DMBaseObject> &,
                                             quint16 layer) override
    {
        askedLayers.append(layer);
        return !unselectableLayers.contains(layer);
    }
    void objectViewSelectionDidChange(DMObjectView *view) override
    {
        log << QStringLiteral("selectionDidChange %1").arg(view->selectedObjects().size());
    }
    // "willFinish 116 current=116 concerned=2", "didFinish 116 current=0 concerned=0 cursor=2"
    QString finishState(const char *what, DMObjectView *view, qint32 op) const
    {
        return QStringLiteral("%1 %2 current=%3 concerned=%4")
            .arg(QLatin1String(what))
            .arg(op)
            .arg(view->currentDragOperation())
            .arg(view->currentDragOperationConcernedObjects().size());
    }
    void objectViewWillFinishDragOperationWithRect(DMObjectView *view, qint32 op, const QRectF &rect) override
    {
        log << finishState("willFinish", view, op);
        finishRect = rect;
    }
    void objectViewDidFinishDragOperationWithRect(DMObjectView *view, qint32 op, const QRectF &) override
    {
        log << finishState("didFinish", view, op) + QStringLiteral(" cursor=%1").arg(int(view->cursor().shape()));
    }
    void objectViewReceivedKeyEvent(DMObjectView *, const DMEvent &event) override { keyEvents.push_back(event); }
    void objectViewMagnifyWithEvent(DMObjectView *, const DMEvent &event) override
    {
        magnifications.append(event.magnification());
    }

    std::function<qint32(DMObjectView *, const std::shared_ptr<DMBaseObject> &)> operationForPress;
    QList<quint16> unselectableLayers, askedLayers;
    QStringList log;
    QPointF pressPoint;
    QRectF finishRect;
    std::vector<DMEvent> keyEvents;
    QList<double> magnifications;
};

// A canvas of 200 x 100 with layers 0 (priority 0), 1 (priority 1) and 2 (priority 2) wired to
// a fake data source and a recording delegate, both of which outlive the view.
struct Canvas
{
    Canvas()
    {
        view.setDatasource(&source);
        view.setDelegate(&delegate);
        view.addLayerEventPriority(0, 0);
        view.addLayerEventPriority(2, 2);
        view.addLayerEventPriority(1, 1);
        view.resize(200, 100);
    }

    void click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(&view, Qt::LeftButton, modifiers, at);
    }

    // Presses at from, moves through each point and releases at the last one.
    void drag(QPoint from, std::initializer_list<QPoint> moves, Qt::KeyboardModifiers releaseModifiers = Qt::NoModifier)
    {
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, from);
        for (const QPoint &point : moves)
            QTest::mouseMove(&view, point);
        QTest::mouseRelease(&view, Qt::LeftButton, releaseModifiers, moves.size() ? *(moves.end() - 1) : from);
    }

    QStringList names(const DMBaseObjectList &objects) const
    {
        QStringList result;
        for (const auto &object : objects)
            result << std::static_pointer_cast<TestObject>(object)->name;
        return result;
    }

    FakeDataSource source;
    RecordingDelegate delegate;
    DMObjectView view;
};

} // namespace canvastest
