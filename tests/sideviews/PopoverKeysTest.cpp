// Keys of the editing popovers: Escape closes one and keeps what was typed.
#include "SideViewsTestSupport.h"

#include "DMAttachedWindow.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QWindow>

using namespace sideviewstest;
using halcyra::test::waitFor;

TEST_F(PopoverTestBase, EscapeClosesAPopoverAndKeepsTheTextTyped)
{
    auto resource = std::make_shared<DMProjectResource>(DMProjectResource::Resource);
    resource->setProject(project);
    resource->setName(QStringLiteral("Ann"));
    project->resources().append(resource);
    endTurn();
    undoManager.removeAllActions();

    DMProjectResourceEditorController *editor = DMProjectResourceEditorController::sharedInstance();
    editor->setEditedObject(resource);
    editor->showAtPointInView(QPointF(300, 150), &window);
    DMAttachedWindow *popover = editor->containerWindow();
    ASSERT_NE(popover, nullptr);
    ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == popover->windowHandle(); }));

    QTest::keyClick(editor->nameField(), Qt::Key_End);
    QTest::keyClicks(editor->nameField(), QStringLiteral(" Smith"));
    QTest::keyClick(editor->nameField(), Qt::Key_Escape);
    EXPECT_FALSE(popover->isVisible());
    EXPECT_EQ(editor->editedObject(), nullptr);
    endTurn();
    EXPECT_EQ(resource->name(), QStringLiteral("Ann Smith"));
    EXPECT_EQ(undoManager.undoStepCount(), 1);
}
