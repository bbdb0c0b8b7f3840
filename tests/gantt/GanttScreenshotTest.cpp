// Screenshots of the Gantt page for review, written to the folder named by HALCYRA_SCREENS_DIR
// (skipped without it): the timeline header with groups reaching out of view, the date labels of
// a dragged bar, and the lanes of the resource view. The window is taken from the screen, as
// the user sees it after the partial redraws of a drag; run them under xvfb-run -a with
// QT_QPA_PLATFORM=xcb.
#include "DocumentCanvasTestSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>

using namespace gantttest;

namespace {

class GanttScreenshots : public DocumentCanvasTest
{
protected:
    void SetUp() override
    {
        DocumentCanvasTest::SetUp();
        screens = qEnvironmentVariable("HALCYRA_SCREENS_DIR");
        if (screens.isEmpty())
            GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
        QDir().mkpath(screens);
    }
    // What the screen shows of the window, after the pending redraws.
    void take(const QString &fileName)
    {
        halcyra::test::pumpEvents(100);
        QWidget *window = document->mainWindow();
        QImage image = QGuiApplication::primaryScreen()->grabWindow(window->winId()).toImage();
        if (image.isNull() || image.width() < 10)
            image = window->grab().toImage();
        EXPECT_TRUE(image.save(QDir(screens).filePath(fileName)));
    }
    void scrollCanvasTo(int x)
    {
        outlets().projectViewScrollArea->horizontalScrollBar()->setValue(x);
    }

    QString screens;
};

} // namespace

TEST_F(GanttScreenshots, TimelineGroupsReachingOutOfView)
{
    // September 2023 to February 2024 at 6 points a day: weeks 42 points wide, too narrow for
    // "Week 40"; the canvas scrolled so that October begins out of view.
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan,
                          QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(at(2023, 9, 1))},
                                      {kDMTimeSpanEnd, QVariant::fromValue(at(2024, 3, 1))}});
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 6.0f);
    addTask("Foundations", at(2023, 10, 2, 8), at(2023, 10, 20, 18));
    addTask("Walls", at(2023, 10, 23, 8), at(2023, 11, 24, 18));
    open();
    scrollCanvasTo(250);
    take(QStringLiteral("timeline-groups-scrolled.png"));
    // Twelve points a day: the weeks have room for their titles, a month reaches out on the left.
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 12.0f);
    scrollCanvasTo(700);
    take(QStringLiteral("timeline-groups-wider.png"));
}

TEST_F(GanttScreenshots, DateLabelsOfADraggedBar)
{
    auto task = addTask("Framing", at(2024, 1, 9, 8), at(2024, 1, 11, 18));
    addTask("Roof", at(2024, 1, 15, 8), at(2024, 1, 19, 18));
    open();
    const QPointF press = barOf(task)->frame().center();
    QTest::mousePress(canvas(), Qt::LeftButton, Qt::NoModifier, viewPoint(press));
    for (int dx = 4; dx <= 40; dx += 4) {
        dragStep(canvas(), viewPoint(press + QPointF(dx, 0)));
        halcyra::test::pumpEvents(10);
    }
    take(QStringLiteral("guide-labels-dragging.png"));
    for (int dx = 44; dx <= 120; dx += 4) {
        dragStep(canvas(), viewPoint(press + QPointF(dx, 0)));
        halcyra::test::pumpEvents(10);
    }
    take(QStringLiteral("guide-labels-moved.png"));
    // The labels close up, as drawn at three times the size.
    const QRectF around = barOf(task)->frame().adjusted(-90, -20, 90, 30);
    renderView(*canvas(), around, 3, QStringLiteral("guide-labels-close-up.png"));
    QTest::mouseRelease(canvas(), Qt::LeftButton, Qt::NoModifier, viewPoint(press + QPointF(120, 0)));
}

TEST_F(GanttScreenshots, ResourceRowsWithLanes)
{
    auto alice = addResource("Alice");
    auto bob = addResource("Bob");
    auto survey = addTask("Survey", at(2024, 1, 2, 8), at(2024, 1, 5, 18));
    auto drawings = addTask("Drawings", at(2024, 1, 4, 8), at(2024, 1, 9, 18));
    auto permits = addTask("Permits", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    auto report = addTask<DMProjectMilestone>("Report", at(2024, 1, 12, 18), at(2024, 1, 12, 18));
    for (const auto &task : {survey, drawings, permits})
        task->addResource(alice);
    std::static_pointer_cast<DMProjectTask>(report)->addResource(alice);
    drawings->addResource(bob);
    project->setAttribute(kDMProject_ViewMode, 1);
    open();
    take(QStringLiteral("resource-lanes.png"));
}
