#include "DMUndoManager.h"

#include "DMDelayedCall.h"

#include <QDebug>
#include <QHash>
#include <QList>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <utility>

namespace {

// Fences last this long on the deferred-work clock, so tests step past them instead of waiting.
constexpr qint64 kFenceMilliseconds = 200;
constexpr int kFenceCleanupMilliseconds = 100;

struct Step
{
    QList<DMUndoManager::Action> actions; // run last to first
    QString name;
    quint64 serial = 0; // tells the steps apart for the fences; increasing along the undo stack
};

// A fenced key: until when, the step holding the action recorded under it (0: none, the key was
// fenced without registering), which action that was, the continuous edit it was recorded in
// (0: none), and what its registrant may extend.
struct Fence
{
    qint64 deadline = 0;
    quint64 step = 0;
    quint64 action = 0;
    quint64 edit = 0;
    std::shared_ptr<void> context;
};

} // namespace

struct DMUndoManager::Private
{
    bool fenceOffKeysEnabled = true;
    bool groupsByEvent = true;
    QList<Step> undoStack;
    QList<Step> redoStack;

    // The step being built: open while groupingLevel > 0. The bottom level is the automatic
    // group of the current event-loop turn when autoGroupOpen.
    Step openStep;
    int groupingLevel = 0;
    bool autoGroupOpen = false;

    // While undoing or redoing, registrations are collected here as the opposite step.
    Step *collecting = nullptr;
    bool undoing = false;
    bool redoing = false;

    int disableCount = 0;

    quint64 lastSerial = 0;
    quint64 lastAction = 0; // counts the actions recorded outside undo and redo
    quint64 continuousEdit = 0;

    QHash<QString, Fence> fences;
    QTimer endOfTurnTimer;
    QTimer fenceCleanupTimer;

    void openGroup()
    {
        openStep = Step();
        openStep.serial = ++lastSerial;
        groupingLevel = 1;
    }
    // True while the step is open or on the undo stack.
    bool isLive(quint64 serial) const
    {
        if (groupingLevel > 0 && openStep.serial == serial)
            return true;
        const auto it = std::lower_bound(undoStack.cbegin(), undoStack.cend(), serial,
                                         [](const Step &step, quint64 value) { return step.serial < value; });
        return it != undoStack.cend() && it->serial == serial;
    }
    const Fence *activeFence(const QString &key) const
    {
        const auto it = fences.constFind(key);
        if (it == fences.cend() || it->deadline <= DMDeferredWorkClock::nowMilliseconds() || (it->step != 0 && !isLive(it->step)))
            return nullptr;
        return &it.value();
    }
    // The fence under which a registration of the key is folded now: one set without a
    // registration, one in the step still open, or one of the same continuous edit whose step
    // is the last recorded (nothing recorded since).
    const Fence *foldingFence(const QString &key) const
    {
        const Fence *fence = activeFence(key);
        if (!fence || fence->step == 0 || (groupingLevel > 0 && openStep.serial == fence->step))
            return fence;
        const bool last = !undoStack.isEmpty() && undoStack.last().serial == fence->step
            && (groupingLevel == 0 || openStep.actions.isEmpty());
        return last && fence->edit != 0 && fence->edit == continuousEdit ? fence : nullptr;
    }
    void startCleanup()
    {
        if (!fenceCleanupTimer.isActive())
            fenceCleanupTimer.start();
    }
};

DMUndoManager::DMUndoManager(bool fenceOffKeysEnabled, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->fenceOffKeysEnabled = fenceOffKeysEnabled;

    // A zero-time single shot fires once control is back in the event loop, which ends the
    // automatic group of the turn that registered something.
    d->endOfTurnTimer.setSingleShot(true);
    d->endOfTurnTimer.setInterval(0);
    connect(&d->endOfTurnTimer, &QTimer::timeout, this, [this] {
        if (d->autoGroupOpen && d->groupingLevel == 1)
            endUndoGrouping();
    });

    d->fenceCleanupTimer.setInterval(kFenceCleanupMilliseconds);
    connect(&d->fenceCleanupTimer, &QTimer::timeout, this, [this] {
        const qint64 now = DMDeferredWorkClock::nowMilliseconds();
        d->fences.removeIf([now](const auto &entry) { return entry.value().deadline <= now; });
        if (d->fences.isEmpty())
            d->fenceCleanupTimer.stop();
    });
}

// The timers are members, so no deferred work outlives the manager.
DMUndoManager::~DMUndoManager() = default;

// What every registration does first: nothing while registration is disabled; while undoing
// or redoing, the action joins the opposite step whatever its key (the step must be restored
// whole); otherwise the redo steps are stale, recorded or not. True when the caller goes on.
bool DMUndoManager::beginRegistration(Action &action)
{
    if (!action || d->disableCount > 0)
        return false;
    if (d->collecting) {
        d->collecting->actions.append(std::move(action));
        return false;
    }
    d->redoStack.clear();
    return true;
}

void DMUndoManager::registerUndo(Action action, const QString &fenceOffKey)
{
    if (!beginRegistration(action))
        return;
    const bool keyed = d->fenceOffKeysEnabled && !fenceOffKey.isEmpty();
    if (keyed) {
        if (d->foldingFence(fenceOffKey)) {
            d->fences[fenceOffKey].deadline = DMDeferredWorkClock::nowMilliseconds() + kFenceMilliseconds;
            return;
        }
    }
    record(std::move(action));
    if (keyed)
        fence(fenceOffKey, nullptr);
}

void DMUndoManager::registerExtensibleUndo(Action action, const QString &fenceOffKey, std::shared_ptr<void> context)
{
    if (!beginRegistration(action))
        return;
    record(std::move(action));
    if (d->fenceOffKeysEnabled && !fenceOffKey.isEmpty())
        fence(fenceOffKey, std::move(context));
}

std::shared_ptr<void> DMUndoManager::fencedContext(const QString &fenceOffKey) const
{
    if (d->collecting)
        return nullptr;
    const Fence *fence = d->foldingFence(fenceOffKey);
    return fence && fence->step != 0 && fence->action == d->lastAction ? fence->context : nullptr;
}

void DMUndoManager::record(Action action)
{
    ++d->lastAction;
    if (d->groupingLevel == 0) {
        if (d->groupsByEvent) {
            d->openGroup();
            d->autoGroupOpen = true;
            d->endOfTurnTimer.start();
        } else {
            // No group to join: the action is a step of its own.
            Step step{{std::move(action)}, QString(), ++d->lastSerial};
            d->undoStack.append(std::move(step));
            emit didCloseUndoGroup();
            return;
        }
    }
    d->openStep.actions.append(std::move(action));
}

// After record(): the key is fenced with the action just recorded.
void DMUndoManager::fence(const QString &key, std::shared_ptr<void> context)
{
    Fence &fence = d->fences[key];
    fence.deadline = DMDeferredWorkClock::nowMilliseconds() + kFenceMilliseconds;
    fence.step = d->groupingLevel > 0 ? d->openStep.serial : d->undoStack.last().serial;
    fence.action = d->lastAction;
    fence.edit = d->continuousEdit;
    fence.context = std::move(context);
    d->startCleanup();
}

void DMUndoManager::setActionName(const QString &name)
{
    if (d->collecting)
        d->collecting->name = name;
    else if (d->groupingLevel > 0)
        d->openStep.name = name;
    else if (!d->undoStack.isEmpty())
        d->undoStack.last().name = name;
}

QString DMUndoManager::undoActionName() const
{
    if (d->groupingLevel > 0 && !d->openStep.actions.isEmpty())
        return d->openStep.name;
    return d->undoStack.isEmpty() ? QString() : d->undoStack.last().name;
}

QString DMUndoManager::redoActionName() const
{
    return d->redoStack.isEmpty() ? QString() : d->redoStack.last().name;
}

bool DMUndoManager::canUndo() const
{
    return !d->undoStack.isEmpty() || (d->groupingLevel > 0 && !d->openStep.actions.isEmpty());
}

bool DMUndoManager::canRedo() const
{
    return !d->redoStack.isEmpty();
}

// Runs a step's actions last to first, collecting what they register as the opposite step.
// An action that throws is logged and the rest of the step still runs.
static Step runStep(Step step, Step **collecting, quint64 serial)
{
    Step opposite{{}, step.name, serial};
    *collecting = &opposite;
    for (qsizetype i = step.actions.size() - 1; i >= 0; --i) {
        try {
            step.actions[i]();
        } catch (const std::exception &e) {
            qWarning("An exception occured: %s", e.what());
        } catch (...) {
            qWarning("An exception occured: %s", "unknown exception");
        }
    }
    *collecting = nullptr;
    return opposite;
}

void DMUndoManager::undo()
{
    if (d->undoing || d->redoing)
        return;
    if (d->autoGroupOpen && d->groupingLevel == 1)
        endUndoGrouping();
    if (d->groupingLevel > 0) {
        qWarning("DMUndoManager: undo called with an open undo group");
        return;
    }
    if (d->undoStack.isEmpty())
        return;
    d->undoing = true;
    Step redoStep = runStep(d->undoStack.takeLast(), &d->collecting, ++d->lastSerial);
    d->undoing = false;
    if (!redoStep.actions.isEmpty())
        d->redoStack.append(std::move(redoStep));
    emit didUndo();
}

void DMUndoManager::redo()
{
    if (d->undoing || d->redoing)
        return;
    if (d->autoGroupOpen && d->groupingLevel == 1)
        endUndoGrouping();
    if (d->groupingLevel > 0) {
        qWarning("DMUndoManager: redo called with an open undo group");
        return;
    }
    if (d->redoStack.isEmpty())
        return;
    d->redoing = true;
    Step undoStep = runStep(d->redoStack.takeLast(), &d->collecting, ++d->lastSerial);
    d->redoing = false;
    if (!undoStep.actions.isEmpty())
        d->undoStack.append(std::move(undoStep));
    emit didRedo();
}

bool DMUndoManager::isUndoing() const
{
    return d->undoing;
}

bool DMUndoManager::isRedoing() const
{
    return d->redoing;
}

void DMUndoManager::beginUndoGrouping()
{
    if (d->collecting)
        return; // everything an undo registers forms its one redo step
    // With grouping by event, an explicit group nests in the turn's automatic group, so
    // that all of one turn stays one step.
    if (d->groupingLevel == 0) {
        d->openGroup();
        if (!d->groupsByEvent)
            return;
        d->autoGroupOpen = true;
        d->endOfTurnTimer.start();
    }
    ++d->groupingLevel;
}

void DMUndoManager::endUndoGrouping()
{
    if (d->collecting)
        return;
    if (d->groupingLevel == 0) {
        qWarning("DMUndoManager: endUndoGrouping without beginUndoGrouping");
        return;
    }
    if (--d->groupingLevel > 0) {
        // Back to the turn's automatic group alone: it ends with the turn again.
        if (d->groupingLevel == 1 && d->autoGroupOpen)
            d->endOfTurnTimer.start();
        return;
    }
    d->autoGroupOpen = false;
    d->endOfTurnTimer.stop();
    Step step = std::move(d->openStep);
    d->openStep = Step();
    if (step.actions.isEmpty())
        return;
    d->undoStack.append(std::move(step));
    emit didCloseUndoGroup();
}

void DMUndoManager::beginUndoStep()
{
    if (!d->collecting && d->autoGroupOpen && d->groupingLevel == 1)
        endUndoGrouping();
    beginUndoGrouping();
}

void DMUndoManager::endUndoStep()
{
    endUndoGrouping();
    if (!d->collecting && d->autoGroupOpen && d->groupingLevel == 1)
        endUndoGrouping();
}

int DMUndoManager::groupingLevel() const
{
    return d->groupingLevel;
}

bool DMUndoManager::groupsByEvent() const
{
    return d->groupsByEvent;
}

void DMUndoManager::setGroupsByEvent(bool groupsByEvent)
{
    d->groupsByEvent = groupsByEvent;
}

void DMUndoManager::disableUndoRegistration()
{
    ++d->disableCount;
}

void DMUndoManager::enableUndoRegistration()
{
    if (d->disableCount > 0)
        --d->disableCount;
    else
        qWarning("DMUndoManager: enableUndoRegistration without disableUndoRegistration");
}

bool DMUndoManager::isUndoRegistrationEnabled() const
{
    return d->disableCount == 0;
}

void DMUndoManager::removeAllActions()
{
    d->undoStack.clear();
    d->redoStack.clear();
    d->openStep = Step();
    d->groupingLevel = 0;
    d->autoGroupOpen = false;
    d->endOfTurnTimer.stop();
}

int DMUndoManager::undoStepCount() const
{
    return int(d->undoStack.size());
}

int DMUndoManager::redoStepCount() const
{
    return int(d->redoStack.size());
}

bool DMUndoManager::fenceOffKeysEnabled() const
{
    return d->fenceOffKeysEnabled;
}

QString DMUndoManager::fenceOffKeyForObject(const void *object, const char *suffix)
{
    // The low 32 bits of the address: the key only has to tell apart objects alive together.
    return QString::asprintf("%x %s", unsigned(quintptr(object)), suffix ? suffix : "");
}

void DMUndoManager::disableRegistrationWithFenceOffKey(const QString &key)
{
    if (!d->fenceOffKeysEnabled || d->undoing || d->redoing || key.isEmpty())
        return;
    if (!d->activeFence(key))
        d->fences.insert(key, Fence());
    d->fences[key].deadline = DMDeferredWorkClock::nowMilliseconds() + kFenceMilliseconds;
    d->startCleanup();
}

bool DMUndoManager::isFenced(const QString &key) const
{
    return d->activeFence(key) != nullptr;
}

DMUndoManager::ContinuousEdit::ContinuousEdit(DMUndoManager *manager, quint64 edit) : m_manager(manager)
{
    if (m_manager)
        m_previous = std::exchange(m_manager->d->continuousEdit, edit);
}

DMUndoManager::ContinuousEdit::~ContinuousEdit()
{
    if (m_manager)
        m_manager->d->continuousEdit = m_previous;
}
