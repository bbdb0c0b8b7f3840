#pragma once

// A project document with its window shown offscreen: the Gantt page as the user sees it, the
// document's canvas controller as the canvas's data source and delegate. The project is shown
// from Monday 1 January 2024 for 60 days at 20 pixels per day, with a working window of 8:00 to
// 18:00 and the weekend off; rows are 20 points high. Deferred work waits for clock.advance().

#include "FakeInspector.h"
#include "GanttTestSupport.h"

#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMProjectDependency.h"
#include "DMProjectDocument.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectViewBackgroundObject.h"
#include "DMProjectViewBackgroundObjectAttributes.h"
#include "DMUIProjectDependency.h"
#include "DMUndoManager.h"
#include "DMUserDefaults.h"
#include "TestSupport.h"

#include <QMainWindow>
#include <QScrollArea>
#include <QTemporaryDir>

namespace gantttest {

class DocumentCanvasTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("defaults.ini")));
        DMGanttUIObjectFactory::registerWithModel();
        project = DMProject::create();
        project->beginLoading();
        project->setBeginDate(at(2024, 1, 1));
        project->setEndDate(at(2024, 1, 31));
        project->setAttribute(kDMProject_ViewMode, 0);
        project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
        project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariantList{0, 6});
        project->setAttribute(kDMProject_TimelineViewMode, 4);
        project->setAttribute(kDMProject_TimelineViewCustomTimeSpan,
                              QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(at(2024, 1, 1))},
                                          {kDMTimeSpanEnd, QVariant::fromValue(at(2024, 3, 1))}});
        project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 20.0f);
        project->endLoading();
        document = std::make_shared<DMProjectDocument>();
        document->setProject(project);
    }
    void TearDown() override
    {
        document.reset();
        halcyra::test::finishEventLoopTurn();
    }

    // Builds and shows the window, with the rows and bars laid out.
    void open()
    {
        document->makeWindowControllers();
        ASSERT_TRUE(document->mainWindow());
        document->mainWindow()->resize(1000, 600);
        document->mainWindow()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(document->mainWindow()));
        document->reloadViews();
    }

    std::shared_ptr<DMProjectTask> newTask(const QString &title, const DMDate &begin, const DMDate &end)
    {
        return makeItem<DMProjectTask>(project, title, begin, end);
    }
    // A top-level item of the given kind (a task by default).
    template <typename Item = DMProjectTask>
    std::shared_ptr<Item> addTask(const QString &title, const DMDate &begin, const DMDate &end)
    {
        auto item = makeItem<Item>(project, title, begin, end);
        project->tasks().append(item);
        return item;
    }
    std::shared_ptr<DMProjectEvent> addEvent(const QString &title, const DMDate &begin, const DMDate &end)
    {
        auto event = makeItem<DMProjectEvent>(project, title, begin, end);
        project->eventContainer()->events().append(event);
        return event;
    }
    // A new resource (or group) at the end of the group's members, or of the project's list.
    std::shared_ptr<DMProjectResource> addResource(const QString &name, int kind = DMProjectResource::Resource,
                                                   const std::shared_ptr<DMProjectResource> &group = nullptr)
    {
        auto resource = std::make_shared<DMProjectResource>(kind);
        resource->setProject(project);
        resource->setName(name);
        if (group)
            group->subitems().append(resource);
        else
            project->resources().append(resource);
        return resource;
    }

    // The top-level items of that title.
    QList<std::shared_ptr<DMProjectItem>> itemsTitled(const QString &title) const
    {
        QList<std::shared_ptr<DMProjectItem>> found;
        for (const auto &item : project->tasks())
            if (item->title() == title)
                found.append(item);
        return found;
    }

    DMProjectView *canvas() const { return document->outlets().projectView; }
    DMProjectDocumentObjectViewDataSource *controller() const { return document->objectViewDataSource(); }
    DMOutlineView *outline() const { return document->outlets().projectOutlineView; }
    const DMProjectDocumentOutlets &outlets() const { return document->outlets(); }

    // Canvas rectangle of an outline row.
    QRectF rowRect(int row) const
    {
        const DMOutlineViewModel *model = outline()->outlineModel();
        return QRectF(0, model->topOfRow(row), canvas()->width(), model->heightOfRow(row));
    }
    static std::shared_ptr<DMUIProjectItem> barOf(const std::shared_ptr<DMProjectItem> &item)
    {
        return std::dynamic_pointer_cast<DMUIProjectItem>(item->ganttUIObject());
    }
    DMBaseObjectList objectsIn(const QRectF &rect, quint16 layer)
    {
        return controller()->objectViewObjectsInRectForLayer(canvas(), rect, layer);
    }
    // A canvas point in view (widget) coordinates of the canvas.
    QPoint viewPoint(QPointF canvasPoint) const
    {
        return canvas()->convertRectFromCanvasToView(QRectF(canvasPoint, QSizeF(0, 0))).topLeft().toPoint();
    }
    void drag(QPointF from, QPointF to, int steps = 6)
    {
        const QPoint a = viewPoint(from);
        const QPoint b = viewPoint(to);
        QTest::mousePress(canvas(), Qt::LeftButton, Qt::NoModifier, a);
        for (int i = 1; i <= steps; ++i)
            dragStep(canvas(), a + (b - a) * i / steps);
        QTest::mouseRelease(canvas(), Qt::LeftButton, Qt::NoModifier, b);
    }
    // One mouse event to the canvas at a canvas point, then the rest of its turn.
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QPointF point(viewPoint(at));
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, point, canvas()->mapToGlobal(point), button, held, modifiers);
        QApplication::sendEvent(canvas(), &event);
        halcyra::test::finishEventLoopTurn();
    }
    // Press, steps and release, each in a turn of its own, as a person drags.
    void dragInTurns(QPointF from, QPointF to, int steps = 6)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        for (int i = 1; i <= steps; ++i)
            mouse(QEvent::MouseMove, from + (to - from) * i / steps, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
    void clickInTurns(QPointF at)
    {
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    // x of a time on the shown canvas (the window 8:00 to 18:00 fills each day's column).
    double xOf(int day, int hour, int minute = 0) const
    {
        const float ppd = project->displayAttributes().pixelsPerDay;
        return (day - 1) * ppd + ppd * ((hour * 60 + minute) - 480) / 600.0;
    }
    // Below every row: a drag there appends to the top level.
    double freeY() const { return rowRect(outline()->numberOfRows() - 1).bottom() + 40; }
    void key(Qt::Key key, QEvent::Type type, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(canvas(), &event);
    }

    halcyra::test::ManualClock clock;
    QTemporaryDir folder;
    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectDocument> document;
};

} // namespace gantttest
