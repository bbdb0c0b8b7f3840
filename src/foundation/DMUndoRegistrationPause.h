#pragma once

#include "DMUndoManager.h"

#include <QPointer>

// Pauses undo registration for the life of the guard, so that what changes meanwhile makes no
// undo step (a view setting, a state put back, a new item's first dates). Registration resumes
// on every path out of the scope, early returns and exceptions included. Pauses nest. A null
// manager pauses nothing, and a manager destroyed meanwhile is not touched.
class DMUndoRegistrationPause
{
public:
    explicit DMUndoRegistrationPause(DMUndoManager *undoManager) : m_undoManager(undoManager)
    {
        if (m_undoManager)
            m_undoManager->disableUndoRegistration();
    }
    ~DMUndoRegistrationPause()
    {
        if (m_undoManager)
            m_undoManager->enableUndoRegistration();
    }
    DMUndoRegistrationPause(const DMUndoRegistrationPause &) = delete;
    DMUndoRegistrationPause &operator=(const DMUndoRegistrationPause &) = delete;

private:
    QPointer<DMUndoManager> m_undoManager;
};
