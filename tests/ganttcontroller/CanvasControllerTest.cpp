// The Gantt canvas's controller on its own: an executable that links the Gantt library without
// the document's, with a stand-in for the document behind DMGanttDocumentHooks. What the
// controller asks of its document goes through the hooks and nowhere else.
#include "DMGanttDocumentHooks.h"
#include "DMGanttUIObjectFactory.h"
#include "DMProject.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectItem.h"
#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMProjectKeys.h"
#include "DMProjectView.h"
#include "DMProjectViewBackgroundObject.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewDragHandlerObject.h"
#include "DMUndoManager.h"

#include <gtest/gtest.h>

// Dates print readably in failures.
inline void PrintTo(const DMDate &date, std::ostream *out)
{
    *out << date.description().toStdString();
}

namespace {

struct StandInDocument : DMGanttDocumentHooks
{
    StandInDocument()
    {
        DMGanttUIObjectFactory::registerWithModel();
        undo.setGroupsByEvent(false);
        m_project->beginLoading();
        m_project->setAttribute(kDMProject_ViewMode, 0);
        m_project->setAttribute(kDMProject_Settings_DayTimeSpan,
                                QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
        m_project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 20.0f);
        m_project->endLoading();
        m_project->setUndoManager(&undo);
        DMProject_DisplayAttributes &display = m_project->displayAttributes();
        display.timeSpanBeginDate = DMDate(2024, 1, 1, 0); // a Monday
        display.pixelsPerDay = 20.0f;
    }
    ~StandInDocument() override { m_project->setUndoManager(nullptr); }

    std::shared_ptr<DMProject> project() const override { return m_project; }
    DMUndoManager *undoManager() const override { return &undo; }
    DMProjectView *projectView() const override { return &view; }
    QScrollArea *projectViewScrollArea() const override { return nullptr; }
    DMTimelineView *timelineView() const override { return nullptr; }
    DMOutlineView *projectOutlineView() const override { return nullptr; }
    std::shared_ptr<DMProjectObject> projectOutlineObjectAtRow(int) const override { return nullptr; }
    int projectOutlineRowForObject(const DMProjectObject *) const override { return -1; }
    void reloadProjectOutline() override {}
    void markDocumentAsEdited() override { ++marks; }
    void deleteSelectedItem() override { ++deletes; }
    void updateItemsArrayWithTag(int tag) override { tags.append(tag); }

    std::shared_ptr<DMProject> m_project = DMProject::create();
    mutable DMUndoManager undo{false};
    mutable DMProjectView view;
    int marks = 0;
    int deletes = 0;
    QList<int> tags;
};

} // namespace

TEST(CanvasController, ServesTheCanvasAndReachesTheDocumentOnlyThroughItsHooks)
{
    StandInDocument document;
    DMProjectDocumentObjectViewDataSource controller(document);
    controller.attachToViews();
    EXPECT_EQ(document.view.datasource(), &controller);
    EXPECT_EQ(document.view.delegate(), &controller);
    ASSERT_TRUE(controller.projectViewBackgroundObject());
    EXPECT_EQ(controller.objectViewObjectsInRectForLayer(&document.view, QRectF(0, 0, 5, 5), kDMProjectViewLayer_Background),
              DMBaseObjectList{controller.projectViewBackgroundObject()});

    // The delete key acts on its release, through the document's command.
    controller.objectViewReceivedKeyEvent(&document.view, DMEvent::keyEvent(DMEvent::KeyDown, Qt::Key_Delete, QString()));
    EXPECT_EQ(document.deletes, 0);
    controller.objectViewReceivedKeyEvent(&document.view, DMEvent::keyEvent(DMEvent::KeyUp, Qt::Key_Delete, QString()));
    EXPECT_EQ(document.deletes, 1);

    // A pinch doubles the scale, a view setting the undo manager does not record.
    controller.objectViewMagnifyWithEvent(&document.view, DMEvent::magnifyEvent(std::log10(2.0), QPointF()));
    EXPECT_FLOAT_EQ(document.m_project->attribute(kDMProject_TimelineViewPixelsPerDay).toFloat(), 40.0f);
    EXPECT_EQ(document.undo.undoStepCount(), 0);

    controller.detachFromViews();
    EXPECT_EQ(document.view.datasource(), nullptr);
    EXPECT_EQ(document.marks, 0);
}

TEST(CanvasController, ACreatedItemIsOneUndoStepAndRefreshesTheTasksPage)
{
    StandInDocument document;
    DMProjectDocumentObjectViewDataSource controller(document);
    controller.attachToViews();
    // A press on the empty canvas, then a drag to the right from Tuesday 13:00 (x 30) to
    // Thursday 13:00 (x 70): the anchor rounded down to a whole working day from its 8:00.
    ASSERT_EQ(controller.objectViewDragOperationForPointWithObject(&document.view, QPointF(30, 10), nullptr),
              DMProjectViewDragOperation::CreateItem);
    const auto handler = std::dynamic_pointer_cast<DMProjectViewDragHandlerObject>(
        document.view.currentDragOperationConcernedObjects().value(0));
    ASSERT_TRUE(handler);
    handler->handleDragOperation(0, QPointF(30, 10), QPointF(70, 10), DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 1),
                                 &document.view);
    ASSERT_EQ(document.m_project->tasks().size(), 1);
    const auto task = document.m_project->tasks().first();
    EXPECT_EQ(task->beginDate(), DMDate(2024, 1, 2, 8 * 3600));
    EXPECT_EQ(task->endDate(), DMDate(2024, 1, 4, 13 * 3600));
    EXPECT_EQ(document.tags, QList<int>{DMPage::ItemsTasksPage});
    // The drag goes on as a resize of the new bar's end; the release ends the one step.
    EXPECT_EQ(handler->dragOperation(), DMProjectViewDragOperation::ChangeEnd);
    EXPECT_EQ(document.undo.undoStepCount(), 0);
    controller.objectViewDidFinishDragOperationWithRect(&document.view, DMProjectViewDragOperation::CreateItem, QRectF());
    EXPECT_EQ(document.undo.undoStepCount(), 1);
    EXPECT_EQ(document.undo.undoActionName(), QStringLiteral("New Task"));
}
