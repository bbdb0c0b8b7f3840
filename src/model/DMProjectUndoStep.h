#pragma once

#include <QString>

#include <functional>
#include <memory>

class DMProject;

// Applies a change of the project's model as one undo step under the name, a step of its own
// however fast other edits precede or follow it (DMUndoManager::beginUndoStep). Without an
// undo manager taking registrations (none, the project loading, registration paused) the
// change is applied and the document is marked edited directly. A null project only applies
// the change.
void DMProject_applyAsOneUndoStep(const std::shared_ptr<DMProject> &project, const QString &actionName,
                                  const std::function<void()> &change);
