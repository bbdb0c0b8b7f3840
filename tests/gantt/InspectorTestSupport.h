#pragma once

// The inspectors over a project document with its window shown offscreen (DocumentCanvasTest):
// alerts and open panels are answered by a stand-in, beeps are counted, and each test ends with
// the shared Inspector window empty and hidden. Typed values wait for clock.advance().

#include "DocumentCanvasTestSupport.h"

#include "DMInspectorWindow.h"
#include "DMModalUI.h"
#include "DMPreferenceKeys.h"
#include "DMUIProjectDependencyInspectorController.h"
#include "DMUIProjectEventInspectorController.h"
#include "DMUIProjectMilestoneInspectorController.h"
#include "DMUIProjectProcessInspectorController.h"
#include "DMUIProjectTaskInspectorController.h"

#include <QLineEdit>

namespace gantttest {

// Answers every alert with `answer` and every open panel with `openPaths`, and keeps the alerts.
class StandInModalUI : public DMModalUI
{
public:
    int runAlert(const Alert &alert, QWidget * = nullptr) override
    {
        alerts.append(alert);
        return answer;
    }
    QStringList runOpenPanel(const FilePanel &panel, QWidget * = nullptr) override
    {
        openPanels.append(panel);
        return openPaths;
    }

    QList<Alert> alerts;
    QList<FilePanel> openPanels;
    int answer = DefaultReturn;
    QStringList openPaths;
};

class InspectorTest : public DocumentCanvasTest
{
protected:
    void SetUp() override
    {
        DocumentCanvasTest::SetUp();
        DMModalUI::setInstance(&modalUI);
        DMUserDefaults::standardUserDefaults().setBoolForKey(true, kDMDoNotShowDocumentCopyAlert);
    }
    void TearDown() override
    {
        for (DMUIProjectViewObjectEditorController *inspector : allInspectors())
            inspector->editObject(nullptr);
        DMInspectorWindow::sharedWindow()->hide();
        DocumentCanvasTest::TearDown();
        DMModalUI::setInstance(nullptr);
    }

    static QList<DMUIProjectViewObjectEditorController *> allInspectors()
    {
        return {DMUIProjectTaskInspectorController::sharedInstance(),
                DMUIProjectMilestoneInspectorController::sharedInstance(),
                DMUIProjectProcessInspectorController::sharedInstance(),
                DMUIProjectEventInspectorController::sharedInstance(),
                DMUIProjectDependencyInspectorController::sharedInstance()};
    }

    // Opens the window and shows the item's bar in its inspector, as a double click would. The
    // project as built so far is the document's unedited start.
    template <typename Inspector>
    Inspector *inspect(const std::shared_ptr<DMProjectItem> &item)
    {
        if (!document->mainWindow())
            open();
        barOf(item)->editInView(canvas());
        halcyra::test::finishEventLoopTurn();
        document->undoManager()->removeAllActions();
        document->updateChangeCount(DMDocumentChangeKind::Cleared);
        return Inspector::sharedInstance();
    }

    // Types into a field as the user would (replacing its text), without pressing Return.
    static void type(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    static QStringList durationShown(const DMUIProjectItemInspectorController *inspector)
    {
        return {inspector->durationDaysField()->text(), inspector->durationHoursField()->text(),
                inspector->durationMinutesField()->text()};
    }
    int undoSteps() const { return document->undoManager()->undoStepCount(); }

    StandInModalUI modalUI;
    BeepCounter beeps;
};

} // namespace gantttest
