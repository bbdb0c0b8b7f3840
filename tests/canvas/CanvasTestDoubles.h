#pragma once

// Stand-ins for the canvas's data source, delegate and objects: objects kept per layer, and a
// delegate that writes every call it receives into one log so that tests can check the order.

#include "DMBaseObject.h"
#include "DMEvent.h"
#include "DMObjectView.h"
#include "DMObjectViewDataSource.h"
#include "DMObjectViewDelegate.h"

#include <QStringList>

#include <functional>
#include <map>

namespace canvastest {

struct DragStep
{
    qint32 operation;
    QPointF start;
    QPointF end;
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

    qint32 dragOperationForPoint(QPointF, DMObjectView *) const override { return operation; }
    void handleDragOperation(qint32 op, QPointF start, QPointF end, const DMEvent &event,
                             DMObjectView *view) override
    {
        steps.push_back({op, start, end, event.eventNumber()});
        if (onStep)
            onStep(view);
    }

    QString name;
    qint32 operation = 0;
    std::vector<DragStep> steps;
    std::function<void(DMObjectView *)> onStep;
};

class FakeDataSource : public DMObjectViewDataSource
{
public:
    std::shared_ptr<TestObject> add(quint16 layer, const QString &name, const QRectF &frame,
                                    const QColor &fill = Qt::gray)
    {
        auto object = std::make_shared<TestObject>(name, frame, fill);
        layers[layer].append(object);
        return object;
    }

    DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *, const QRectF &rect, quint16 layer) override
    {
        queriedLayers.append(layer);
        DMBaseObjectList result;
        for (const auto &object : layers[layer]) {
            if (object->boundingBox().intersects(rect))
                result.append(object);
        }
        return result;
    }

    std::optional<QCursor> objectViewCursorForDragOperation(DMObjectView *, qint32 operation) override
    {
        const auto found = cursors.find(operation);
        if (found == cursors.end())
            return std::nullopt;
        return QCursor(found->second);
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
    void objectViewWillFinishDragOperationWithRect(DMObjectView *view, qint32 op, const QRectF &rect) override
    {
        log << QStringLiteral("willFinish %1 current=%2 concerned=%3")
                   .arg(op)
                   .arg(view->currentDragOperation())
                   .arg(view->currentDragOperationConcernedObjects().size());
        finishRect = rect;
    }
    void objectViewDidFinishDragOperationWithRect(DMObjectView *view, qint32 op, const QRectF &) override
    {
        log << QStringLiteral("didFinish %1 current=%2 concerned=%3 cursor=%4")
                   .arg(op)
                   .arg(view->currentDragOperation())
                   .arg(view->currentDragOperationConcernedObjects().size())
                   .arg(int(view->cursor().shape()));
    }
    void objectViewReceivedKeyEvent(DMObjectView *, const DMEvent &event) override { keyEvents.push_back(event); }
    void objectViewMagnifyWithEvent(DMObjectView *, const DMEvent &event) override
    {
        magnifications.append(event.magnification());
    }

    std::function<qint32(DMObjectView *, const std::shared_ptr<DMBaseObject> &)> operationForPress;
    QList<quint16> unselectableLayers;
    QList<quint16> askedLayers;
    QStringList log;
    QPointF pressPoint;
    QRectF finishRect;
    std::vector<DMEvent> keyEvents;
    QList<double> magnifications;
};

// A shown canvas of 200 x 100 with layers 0 (priority 0), 1 (priority 1) and 2 (priority 2)
// wired to a fake data source and a recording delegate.
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
    ~Canvas()
    {
        view.setDatasource(nullptr);
        view.setDelegate(nullptr);
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
