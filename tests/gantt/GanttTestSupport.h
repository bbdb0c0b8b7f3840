#pragma once

// A Gantt canvas over a small project without a document: the project reaches the real
// DMProjectView (redraws) and records its edits with an undo manager of its own, one step per
// registration; a data source and a delegate stand in for the document's canvas controller.
// Beeps are counted, never sounded.

#include "DMBeep.h"
#include "DMGanttUIObjectFactory.h"
#include "DMObjectViewDataSource.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewCursor.h"
#include "DMProjectViewDelegate.h"
#include "DMUIProjectTask.h"
#include "DMUndoManager.h"
#include "TestSupport.h"

#include <QDir>
#include <QImage>
#include <QPainter>
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

// Display attributes from Monday 1 January 2024 with the given scale and day window.
inline DMProject_DisplayAttributes displayAt(float pixelsPerDay, int beginMinute = 480, int endMinute = 1080)
{
    DMProject_DisplayAttributes display;
    display.timeSpanBeginDate = at(2024, 1, 1);
    display.pixelsPerDay = pixelsPerDay;
    display.dayViewBeginMinute = beginMinute;
    display.dayViewEndMinute = endMinute;
    return display;
}

// An item of any kind with its project, title and dates, not yet in the tree.
template <typename Item>
std::shared_ptr<Item> makeItem(const std::shared_ptr<DMProject> &project, const QString &title, const DMDate &begin,
                               const DMDate &end)
{
    auto item = std::make_shared<Item>();
    item->setProject(project);
    item->setTitle(title);
    item->setBeginDateAndEndDate(begin, end);
    return item;
}

// Writes an image for review to the folder named by HALCYRA_SCREENS_DIR, or else to "screens" in
// the build tree: a test writes nothing outside the build tree and its temporary folders.
inline void saveScreen(const QImage &image, const QString &fileName)
{
    const QString folder = qEnvironmentVariable("HALCYRA_SCREENS_DIR", QStringLiteral(HALCYRA_BINARY_DIR "/screens"));
    if (QDir().mkpath(folder))
        image.save(QDir(folder).filePath(fileName));
}

// A canvas rect drawn on white at the given scale, saved for review when a name is given.
inline QImage renderView(DMObjectView &view, const QRectF &rect, int scale = 3, const QString &fileName = QString())
{
    QImage image(int(rect.width() * scale), int(rect.height() * scale), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.translate(-rect.topLeft());
    view.drawRect(&painter, rect);
    painter.end();
    if (!fileName.isEmpty())
        saveScreen(image, fileName);
    return image;
}

// A pointer move with the left button held, sent straight to the widget (QTest sends no buttons).
inline void dragStep(QWidget *widget, QPoint point)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(point), widget->mapToGlobal(QPointF(point)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
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
        display.projectView = &view;
        undoManager.setGroupsByEvent(false);
        project->setUndoManager(&undoManager);

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
        project->setUndoManager(nullptr);
    }

    void show()
    {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        // Enter and leave events of windows shown and closed before arrive now, not mid-test.
        halcyra::test::finishEventLoopTurn();
        // A move to where the pointer already is is dropped; start every test from one corner.
        QTest::mouseMove(&view, QPoint(view.width() - 1, view.height() - 1));
    }

    // A top-level task in the given row, laid out as the document would.
    std::shared_ptr<DMProjectTask> addTask(const QString &title, const DMDate &begin, const DMDate &end, int row = 0)
    {
        auto task = makeItem<DMProjectTask>(project, title, begin, end);
        project->tasks().append(task);
        place(task, row);
        return task;
    }
    // Puts an item's Gantt object on the canvas, 20 high in the given row.
    void place(const std::shared_ptr<DMProjectItem> &item, int row)
    {
        source.items.append(item);
        auto object = std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject());
        const QRectF f = object->frame();
        object->setFrame(QRectF(f.x(), row * 20.0, f.width(), 20.0));
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

    // The edits recorded so far: each registration is a step of its own.
    int recordedEdits() const { return undoManager.undoStepCount(); }

    std::shared_ptr<DMProject> project;
    DMUndoManager undoManager{false}; // no fence-off keys: every change is recorded
    GanttDataSource source;
    GanttDelegate delegate;
    DMProjectView view;
};

} // namespace gantttest
