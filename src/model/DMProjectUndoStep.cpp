#include "DMProjectUndoStep.h"

#include "DMProject.h"
#include "DMProjectDocumentHooks.h"
#include "DMUndoManager.h"

void DMProject_applyAsOneUndoStep(const std::shared_ptr<DMProject> &project, const QString &actionName,
                                  const std::function<void()> &change)
{
    DMUndoManager *undoManager = project ? project->undoManagerForRegistration() : nullptr;
    if (!undoManager) {
        change();
        if (project)
            project->updateChangeCount(DMDocumentChangeKind::Done);
        return;
    }
    // The document learns of the edit when the step closes.
    undoManager->beginUndoGrouping();
    change();
    undoManager->setActionName(actionName);
    undoManager->endUndoGrouping();
}
