// The Gantt object base, the drag handler and the date labels: when redraws are reported, how
// the handler filters the pointer path, what the labels show, and inspectors by class name.
#include "GanttTestSupport.h"

#include "DMGanttGuideLabels.h"
#include "DMProjectViewDragHandlerObject.h"
#include "DMProjectViewDragHandlerObjectDelegate.h"
#include "DMProjectViewObjectEditor.h"
#include "DMUISimpleTextObject.h"

#include <QImage>
#include <QPainter>

using namespace gantttest;

namespace {

// Records the redraw reports of one object (canvas coordinates).
class RecordingCanvas : public DMProjectViewHooks, public DMProjectViewObjectDelegate
{
public:
    void projectViewObjectBoundingBoxDidChangeFromTo(DMProjectViewObject *object, const QRectF &from,
                                                     const QRectF &to) override
    {
        if (object == watched)
            reports << from << to;
    }
    void projectViewObjectNeedsUpdateWithBoundingBox(DMProjectViewObject *object, const QRectF &box) override
    {
        if (object == watched)
            reports << box;
    }
    const DMProjectViewObject *watched = nullptr;
    QList<QRectF> reports;
};

class CountingDelegate : public DMProjectViewDragHandlerObjectDelegate
{
public:
    void dragHandlerObjectDidUpdate(DMProjectViewDragHandlerObject *handler) override
    {
        ++updates;
        lastPoint = handler->dragPoint();
    }
    int updates = 0;
    QPointF lastPoint;
};

class RecordingEditor : public DMProjectViewObjectEditor
{
public:
    void editObject(DMProjectViewObject *object) override { edited.append(object); }
    void showWindow() override { ++shown; }
    QList<DMProjectViewObject *> edited;
    int shown = 0;
};

struct LooseBar
{
    LooseBar()
    {
        project->displayAttributes().timeSpanBeginDate = at(2024, 1, 1);
        project->displayAttributes().pixelsPerDay = 20.0f;
        project->displayAttributes().projectView = &canvas;
        task->setProject(project);
        task->setBeginDateAndEndDate(at(2024, 1, 2, 8), at(2024, 1, 4, 18));
        bar->setRepresentedObject(task);
        canvas.watched = bar.get();
    }
    ~LooseBar() { project->displayAttributes().projectView = nullptr; }

    std::shared_ptr<DMProject> project = DMProject::create();
    std::shared_ptr<DMProjectTask> task = std::make_shared<DMProjectTask>();
    std::shared_ptr<DMUIProjectTask> bar = std::make_shared<DMUIProjectTask>();
    RecordingCanvas canvas;
};

const DMEvent kStep = DMEvent::mouseEvent(DMEvent::LeftMouseDragged, QPointF(), 42);

} // namespace

TEST(GanttObject, ANewObjectReportsNothingUntilItsViewModeIsSet)
{
    LooseBar loose;
    EXPECT_EQ(loose.bar->viewModeVisibility(), -1);
    loose.bar->representedObject_timeSpanChanged();
    loose.bar->objectNeedsUpdate();
    EXPECT_TRUE(loose.canvas.reports.isEmpty());

    loose.bar->setViewModeVisibility(0);
    const QRectF old = loose.bar->boundingBox();
    loose.bar->setFrame(loose.bar->frame().translated(5, 0));
    ASSERT_EQ(loose.canvas.reports.size(), 2);
    EXPECT_EQ(loose.canvas.reports.at(0), old);
    EXPECT_EQ(loose.canvas.reports.at(1), loose.bar->boundingBox());
}

TEST(GanttObject, AnObjectOfAnotherViewModeStaysQuietButMovesItsLabels)
{
    LooseBar loose;
    loose.bar->setViewModeVisibility(0);
    loose.project->displayAttributes().viewMode = 1;
    loose.bar->setFrame(QRectF(100.5, 30, 60, 20));
    EXPECT_TRUE(loose.canvas.reports.isEmpty());
    const DMBaseObjectList labels = loose.bar->guideAnchorsObjects();
    ASSERT_EQ(labels.size(), 3);
    // Each sized from its text: the begin date left of the bar and the end date right of it,
    // both centred on the slot of 40 above the bar's middle; the progress above its middle.
    EXPECT_EQ(labels.at(0)->frame().right(), 100.5);
    EXPECT_EQ(labels.at(1)->frame().left(), 160.5);
    EXPECT_EQ(labels.at(0)->frame().center().y(), 40);
    EXPECT_EQ(labels.at(1)->frame().center().y(), 40);
    EXPECT_EQ(labels.at(2)->frame().center().x(), 130.5);
    EXPECT_EQ(labels.at(2)->frame().bottom(), 30);
    for (const auto &label : labels) {
        const auto *text = static_cast<const DMUISimpleTextObject *>(label.get());
        EXPECT_EQ(label->frame().size(), text->textAttributes().sizeOfString(text->text()) + QSizeF(8, 4));
    }
    auto progress = std::static_pointer_cast<DMUISimpleTextObject>(labels.at(2));
    EXPECT_EQ(progress->text(), QStringLiteral("0%"));
    EXPECT_EQ(progress->project(), loose.project);
    EXPECT_TRUE(std::static_pointer_cast<DMUISimpleTextObject>(labels.at(0))->text().contains(QLatin1Char('\n')));

    // Labels of a bar that is gone have no project.
    loose.bar.reset();
    EXPECT_FALSE(progress->project());
}

TEST(GanttObject, ALabelBoxHoldsItsTextAndIsRedrawnWhereItWasAndWhereItGoes)
{
    // A text 50 x 26 in a box 58 x 30, against the slot's edges the alignment names.
    const QRectF slot(10, 20, 68, 40);
    const QSizeF text(50, 26);
    EXPECT_EQ(DMGanttGuideLabels::labelFrame(slot, Qt::AlignRight | Qt::AlignVCenter, text), QRectF(20, 25, 58, 30));
    EXPECT_EQ(DMGanttGuideLabels::labelFrame(slot, Qt::AlignLeft | Qt::AlignTop, text), QRectF(10, 20, 58, 30));
    EXPECT_EQ(DMGanttGuideLabels::labelFrame(slot, Qt::AlignHCenter | Qt::AlignBottom, text), QRectF(15, 30, 58, 30));
    // A text wider than the slot makes the box wider, never spills out of it.
    EXPECT_EQ(DMGanttGuideLabels::labelFrame(slot, Qt::AlignRight | Qt::AlignVCenter, QSizeF(90, 26)),
              QRectF(-20, 25, 98, 30));

    LooseBar loose;
    loose.bar->setViewModeVisibility(0);
    loose.bar->setFrame(QRectF(100.5, 30, 60, 20));
    auto progress = std::static_pointer_cast<DMUISimpleTextObject>(loose.bar->guideAnchorsObjects().at(2));
    loose.canvas.watched = progress.get();
    const auto redrawn = [&loose](const QRectF &area) {
        return std::any_of(loose.canvas.reports.cbegin(), loose.canvas.reports.cend(),
                           [&area](const QRectF &report) { return report.contains(area); });
    };
    const auto setProgress = [&loose](float progress) {
        loose.canvas.reports.clear();
        loose.task->setProgress(progress);
        loose.bar->representedObject_progressChanged(); // as the item tells its objects
    };
    // A new text, a little wider: the old place and the new one are redrawn.
    const QRectF before = progress->frame();
    setProgress(0.5f);
    ASSERT_EQ(progress->text(), QStringLiteral("50%"));
    EXPECT_GT(progress->frame().width(), before.width());
    EXPECT_TRUE(redrawn(before));
    EXPECT_TRUE(redrawn(progress->frame()));
    // A new text of the same width, in the same box: still redrawn.
    const QRectF fifty = progress->frame();
    setProgress(0.6f);
    ASSERT_EQ(progress->frame(), fifty);
    EXPECT_TRUE(redrawn(fifty));
    // Moved with its bar: where it was and where it is now.
    loose.canvas.reports.clear();
    const QRectF moved = progress->frame();
    loose.bar->setFrame(QRectF(140.5, 30, 60, 20));
    loose.bar->guideAnchorsObjects(); // the labels are placed when asked for, to be drawn
    EXPECT_EQ(loose.canvas.reports, (QList<QRectF>{moved, progress->frame()}));
}

TEST(GanttObject, DragHandlerLocksToTheFirstDominantAxis)
{
    auto handler = DMProjectViewDragHandlerObject::dragHandlerObjectWithPointAndDragOperation(QPointF(10, 10), 116);
    CountingDelegate delegate;
    handler->setDelegate(&delegate);
    handler->setFlags(7);

    // A first step that moves equally along both axes is undecided: nothing is forwarded.
    handler->handleDragOperation(116, QPointF(10, 10), QPointF(13, 13), kStep, nullptr);
    EXPECT_EQ(delegate.updates, 0);
    EXPECT_EQ(handler->flags(), 7u);

    handler->handleDragOperation(116, QPointF(10, 10), QPointF(15, 11), kStep, nullptr);
    EXPECT_EQ(handler->flags(), 1u);
    EXPECT_EQ(handler->dragPoint(), QPointF(15, 10));
    handler->handleDragOperation(116, QPointF(10, 10), QPointF(16, 40), kStep, nullptr);
    EXPECT_EQ(handler->dragPoint(), QPointF(16, 10)); // vertical movement is ignored from now on
    EXPECT_EQ(delegate.updates, 2);                    // without a target the delegate still hears
    EXPECT_EQ(handler->frame(), QRectF(10, 10, 6, 0));
}

TEST(GanttObject, DragHandlerForwardsItsOwnOperationAndRedrawsAroundTheTarget)
{
    GanttCanvas canvas;
    auto task = canvas.addTask(QStringLiteral("T"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
    auto bar = GanttCanvas::barOf(task);
    auto handler = DMProjectViewDragHandlerObject::dragHandlerObjectWithPointAndDragOperation(QPointF(50, 10), 118);
    handler->setTargetUIObject(bar);
    handler->setFlags(1); // follow x only
    // The canvas passes 116; the handler forwards its own 118 (an end resize) at y of the start.
    handler->handleDragOperation(116, QPointF(73, 10), QPointF(85, 99), kStep, &canvas.view);
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(task->endDate(), at(2024, 1, 5, 14));
    EXPECT_EQ(handler->frame(), bar->boundingBox().adjusted(-10, -10, 10, 10));
}

TEST(GanttObject, DateLabelWithoutTextDrawsOnlyItsBackground)
{
    DMUISimpleTextObject label(QRectF(2, 2, 68, 20));
    label.setFillColor(QColor::fromRgbF(0, 0, 0, 0.5));
    QImage image(72, 24, QImage::Format_ARGB32);
    image.fill(Qt::white);
    const auto draw = [&] {
        QPainter painter(&image);
        label.drawInRect(&painter, QRectF(0, 0, 72, 24), nullptr);
    };
    draw();
    const QRgb background = image.pixel(36, 12);
    EXPECT_NEAR(qRed(background), 127, 2);
    for (int x = 5; x < 67; ++x)
        EXPECT_EQ(image.pixel(x, 12), background) << x;

    label.setText(QStringLiteral("50%"));
    draw();
    int light = 0;
    for (int x = 20; x < 52; ++x)
        light += qRed(image.pixel(x, 12)) > 200;
    EXPECT_GT(light, 0); // white text over the dark label
}

TEST(GanttObject, InspectorOpensOnlyForAClassWithAnInstance)
{
    LooseBar loose;
    RecordingEditor editor;
    DMUISimpleTextObject label;
    label.editInView(nullptr); // no inspector class: nothing happens
    loose.bar->editInView(nullptr); // no instance registered yet
    EXPECT_TRUE(editor.edited.isEmpty());

    DMProjectViewObjectEditor::registerSharedInstance(QStringLiteral("DMUIProjectTaskInspectorController"), &editor);
    loose.bar->editInView(nullptr);
    loose.bar->editInView(nullptr);
    EXPECT_EQ(editor.edited, QList<DMProjectViewObject *>({loose.bar.get(), loose.bar.get()}));
    EXPECT_EQ(editor.shown, 2);
    // An editor that is unregistered is no longer listed as shown.
    DMProjectViewObjectEditor::registerSharedInstance(QStringLiteral("DMUIProjectTaskInspectorController"), nullptr);
    EXPECT_EQ(DMProjectViewObjectEditor::shownEditors().count(&editor), 0);
}

TEST(GanttObject, ABarRedrawsWhenItsTaskIsLocked)
{
    GanttCanvas canvas;
    auto task = canvas.addTask(QStringLiteral("T"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
    // The model does not report lock changes; the bar follows them itself (icon, title room).
    QList<QRectF> redraws;
    canvas.view.setRedrawObserver([&](const QRectF &rect) { redraws.append(rect); });
    task->setLocked(true);
    EXPECT_FALSE(redraws.isEmpty());
}
