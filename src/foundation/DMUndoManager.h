#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Undo manager of a document. Actions registered during one turn of the event loop form one
// undo step (unless explicit groups are open). Registrations may carry a fence-off key: the
// first registration under a key is recorded and fences the key for 0.2 s; a registration under
// a fenced key is dropped and extends the fence, so a drag that sets the same object's dates
// many times leaves the one action that restores the state before the drag. Expired keys are
// cleaned every 0.1 s. While undoing or redoing, keys are ignored. A plain undo manager
// (fenceOffKeysEnabled == false) ignores keys altogether.
class DMUndoManager : public QObject
{
    Q_OBJECT
public:
    explicit DMUndoManager(bool fenceOffKeysEnabled = true, QObject *parent = nullptr);
    ~DMUndoManager() override;

    using Action = std::function<void()>;

    // The action runs on undo (or redo); it should register its own inverse, as setters do.
    void registerUndo(Action action, const QString &fenceOffKey = QString());
    void setActionName(const QString &name);
    QString undoActionName() const;
    QString redoActionName() const;

    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();
    bool isUndoing() const;
    bool isRedoing() const;

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const;
    bool groupsByEvent() const;
    void setGroupsByEvent(bool groupsByEvent);

    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const;

    void removeAllActions();
    int undoStepCount() const;
    int redoStepCount() const;

    bool fenceOffKeysEnabled() const;
    // "%x %s" from the object's identity and the suffix.
    static QString fenceOffKeyForObject(const void *object, const char *suffix);
    // Unless undoing or redoing, fences the key for the next 0.2 s without registering anything.
    void disableRegistrationWithFenceOffKey(const QString &key);
    bool isFenced(const QString &key) const;

signals:
    // After an undo step is closed, undone or redone (the document updates its change count).
    void didCloseUndoGroup();
    void didUndo();
    void didRedo();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
