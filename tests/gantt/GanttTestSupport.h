#pragma once

// A Gantt canvas over a small project without a document: the project reaches a fake document
// (change counts) and the real DMProjectView (redraws); a data source and a delegate stand in for
// the document's canvas category. Beeps are counted, never sounded.

#include "DMBeep.h"
#include "DMGanttUIObjectFactory.h"
#include "DMObjectViewDataSource.h"
#include "DMProject.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectKeys.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewCursor.h"
#include "DMProjectViewDateForPoint.h"
#include "DMProjectViewDelegate.h"
#include "DMUIProjectTask.h"

#include <QTest>

#include <gtest/gtest.h>

// Dates print readably in failures.
inline void PrintTo(const DMDate &date, std::ostream *out)
{
    *out << date.description().toStdString();
}

namespace gantttest {

inline DMDate at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return DMDate(year, month, day, hour * 3600 + minute * 60);
}

// Counts the beeps while it lives.
class BeepCounter
{
public:
    BeepCounter()
    {
        DMBeep_setHook([this] { ++m_count; });
    }
    ~BeepCounter() { DMBeep_setHook({}); }
    int count() const { return m_count; }

private:
    int m_count = 0;
};

class FakeDocument : public DMProjectDocumentHooks
{
public:
    void updateChangeCount(int kind) override { changeKinds.append(kind); }
    QList<int> changeKinds;
};

// Layer 1 holds the items' Gantt objects (hovered first); layer 3 the guide labels of the dragged
// objects; the cursors follow the Gantt table.
class GanttDataSource : public DMObjectViewDataSource
{
public:
    DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *view, const QRectF &rect, quint16 layer) override
    {
        DMBaseObjectList result;
        if (layer == kDMProjectViewLayer_Items) {
            for (const auto &item : items) {
                auto object = std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject());
                if (!object || !object->boundingBox().intersects(rect))
                    continue;
                auto *bar = static_cast<DMProjectViewObject *>(object.get());
                if (bar->isHovered())
                    result.prepend(object);
                else
                    result.append(object);
            }
        } else if (layer == kDMProjectViewLayer_Guides && view->currentDragOperation() != 0) {
            for (const auto &object : view->currentDragOperationConcernedObjects())
                result += object->guideAnchorsObjects();
        }
        return result;
    }
    std::optional<QCursor> objectViewCursorForDragOperation(DMObjectView *, qint32 operation) override
    {
        return QCursor(DMProjectView_cursorShapeForDragOperation(operation));
    }

    QList<std::shared_ptr<DMProjectItem>> items;
};

// A press on a bar starts the bar's own operation with the bar as the only concerned object.
class GanttDelegate : public DMProjectViewDelegate
{
public:
    explicit GanttDelegate(DMProject &project)
        : project(project)
    {
    }
    qint32 objectViewDragOperationForPointWithObject(DMObjectView *view, QPointF point,
                                                     const std::shared_ptr<DMBaseObject> &object) override
    {
        if (!object)
            return 0;
        view->setDragOperationConcernedObjects({object});
        return object->dragOperationForPoint(point, view);
    }
    bool objectViewShouldSelectObjectInLayer(DMObjectView *, const std::shared_ptr<DMBaseObject> &,
                                             quint16 layer) override
    {
        return layer != kDMProjectViewLayer_Background;
    }
    void objectViewSelectionDidChange(DMObjectView *) override { ++selectionChanges; }
    DMDate projectViewDateForPoint(DMProjectView *, QPointF point) override
    {
        return DMProjectView_dateForCanvasX(project.displayAttributes(), point.x());
    }

    DMProject &project;
    int selectionChanges = 0;
};

// A project shown from Monday 1 January 2024 at 20 pixels per day with a working window of 8:00
// to 18:00 and the weekend off, on a shown 400 x 100 canvas. Bars are 20 points high, one row each.
struct GanttCanvas
{
    explicit GanttCanvas(const DMDate &timeSpanBegin = at(2024, 1, 1))
        : project(DMProject::create())
        , delegate(*project)
    {
        DMGanttUIObjectFactory::registerWithModel();
        project->setAttribute(kDMProject_Settings_DayTimeSpan,
                              QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
        project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariantList{0, 6});
        DMProject_DisplayAttributes &display = project->displayAttributes();
        display.timeSpanBeginDate = timeSpanBegin;
        display.pixelsPerDay = 20.0f;
        display.projectDocument = &document;
        display.projectView = &view;

        view.setDatasource(&source);
        view.setDelegate(&delegate);
        view.addLayerEventPriority(kDMProjectViewLayer_Background, kDMProjectViewLayerPriority_Background);
        view.addLayerEventPriority(kDMProjectViewLayer_Links, kDMProjectViewLayerPriority_Links);
        view.addLayerEventPriority(kDMProjectViewLayer_Items, kDMProjectViewLayerPriority_Items);
        view.addLayerEventPriority(kDMProjectViewLayer_Guides, kDMProjectViewLayerPriority_Guides);
        view.resize(400, 100);
    }
    ~GanttCanvas()
    {
        view.setDatasource(nullptr);
        view.setDelegate(nullptr);
        project->displayAttributes().projectView = nullptr;
        project->displayAttributes().projectDocument = nullptr;
    }

    void show()
    {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        // Enter and leave events of windows shown and closed before arrive now, not mid-test.
        QTest::qWait(20);
        // A move to where the pointer already is is dropped; start every test from one corner.
        QTest::mouseMove(&view, QPoint(view.width() - 1, view.height() - 1));
    }

    // A top-level task in the given row, laid out as the document would.
    std::shared_ptr<DMProjectTask> addTask(const QString &title, const DMDate &begin, const DMDate &end, int row = 0)
    {
        auto task = std::make_shared<DMProjectTask>();
        task->setProject(project);
        task->setTitle(title);
        task->setBeginDateAndEndDate(begin, end);
        project->tasks().append(task);
        source.items.append(task);
        auto bar = barOf(task);
        const QRectF f = bar->frame();
        bar->setFrame(QRectF(f.x(), row * 20.0, f.width(), 20.0));
        return task;
    }

    static std::shared_ptr<DMUIProjectTask> barOf(const std::shared_ptr<DMProjectItem> &item)
    {
        return std::dynamic_pointer_cast<DMUIProjectTask>(item->ganttUIObject());
    }

    // Press, move in steps and release with QTest (view points).
    void drag(QPoint from, QPoint to, int steps = 4)
    {
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, from);
        for (int i = 1; i <= steps; ++i)
            QTest::mouseMove(&view, from + (to - from) * i / steps);
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, to);
    }

    std::shared_ptr<DMProject> project;
    FakeDocument document;
    GanttDataSource source;
    GanttDelegate delegate;
    DMProjectView view;
};

} // namespace gantttest
