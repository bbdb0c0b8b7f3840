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
    // A step of its own, apart from what the same turn of the event loop registers before or
    // after it; the document learns of the edit when the step closes.
    undoManager->beginUndoStep();
    change();
    undoManager->setActionName(actionName);
    undoManager->endUndoStep();
}
