#pragma once

#include "FakeModalUI.h"
#include "DMProject.h"
#include "DMProjectDocumentHooks.h"
#include "DMUndoManager.h"

#include "TestSupport.h"

#include <QFile>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace sideviewstest {

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The shared fake modal UI, which also records the save panels and can act while an open
// panel runs (as the user turning to another window).
class FakeModalUI : public halcyra::test::FakeModalUI
{
public:
    std::function<void()> whileOpenPanelRuns;
    QList<FilePanel> savePanels;

    QString runSavePanel(const FilePanel &panel, QWidget *window = nullptr) override
    {
        savePanels.append(panel);
        return halcyra::test::FakeModalUI::runSavePanel(panel, window);
    }
    QStringList runOpenPanel(const FilePanel &panel, QWidget *window = nullptr) override
    {
        const QStringList paths = halcyra::test::FakeModalUI::runOpenPanel(panel, window);
        if (whileOpenPanelRuns)
            whileOpenPanelRuns();
        return paths;
    }
};

// The document as the model sees it: it counts the changes it is told of.
class CountingDocument : public DMProjectDocumentHooks
{
public:
    int changeCount = 0;
    void updateChangeCount(int kind) override { changeCount += kind == 1 ? -1 : kind == 2 ? -changeCount : 1; }
};

// A project with an undo manager and a document that learns of every closed undo step from it,
// as the real document does; the modal UI is the fake while the fixture lives.
class PopoverTestBase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DMModalUI::setInstance(&ui);
        project = DMProject::create();
        project->setUndoManager(&undoManager);
        project->displayAttributes().projectDocument = &document;
        QObject::connect(&undoManager, &DMUndoManager::didCloseUndoGroup, &undoManager, [this] { document.updateChangeCount(0); });
        QObject::connect(&undoManager, &DMUndoManager::didUndo, &undoManager, [this] { document.updateChangeCount(1); });
        window.setGeometry(100, 100, 600, 400);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override
    {
        project->displayAttributes().projectDocument = nullptr;
        DMModalUI::setInstance(nullptr);
    }
    // Ends the event-loop turn, which closes the undo step it opened.
    void endTurn() { halcyra::test::finishEventLoopTurn(); }

    FakeModalUI ui;
    DMUndoManager undoManager;
    CountingDocument document;
    std::shared_ptr<DMProject> project;
    QWidget window;
};

} // namespace sideviewstest
