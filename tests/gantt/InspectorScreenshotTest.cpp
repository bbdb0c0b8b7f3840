// The five inspectors as the user sees them, saved for review (HALCYRA_SCREENS_DIR, default
// /work/screens).
#include "InspectorTestSupport.h"

#include "DMColorWell.h"

using namespace gantttest;

TEST_F(InspectorTest, ScreenshotsOfTheFiveInspectors)
{
    auto resource = addResource(QStringLiteral("Ada"));
    auto task = addTask("Write the report", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    task->addResource(resource);
    task->setAttribute(kDMProjectItem_Notes, QStringLiteral("Two chapters left."));
    task->setProgress(0.4f);
    auto milestone = addTask<DMProjectMilestone>("Report handed in", at(2024, 1, 5, 12), at(2024, 1, 5, 12));
    auto process = addTask<DMProjectProcess>("Publication", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    auto event = addEvent("Fair", at(2024, 1, 9, 8), at(2024, 1, 10, 18));
    auto link = task->addOutboundDependencyToItem(milestone);
    ASSERT_TRUE(link);

    const auto shoot = [&](DMUIProjectViewObjectEditorController *inspector, const QString &name) {
        ASSERT_TRUE(inspector);
        QWidget *view = inspector->containerView();
        ASSERT_TRUE(view);
        EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), view);
        EXPECT_EQ(DMInspectorWindow::sharedWindow()->size(), view->size());
        const QImage image = view->grab().toImage();
        EXPECT_FALSE(image.isNull());
        saveScreen(image, QStringLiteral("inspectors/%1.png").arg(name));
    };
    shoot(inspect<DMUIProjectTaskInspectorController>(task), QStringLiteral("task"));
    shoot(inspect<DMUIProjectMilestoneInspectorController>(milestone), QStringLiteral("milestone"));
    shoot(inspect<DMUIProjectProcessInspectorController>(process), QStringLiteral("process"));
    shoot(inspect<DMUIProjectEventInspectorController>(event), QStringLiteral("event"));
    std::dynamic_pointer_cast<DMProjectViewObject>(link->ganttUIObject())->editInView(canvas());
    shoot(DMUIProjectDependencyInspectorController::sharedInstance(), QStringLiteral("link"));
}
