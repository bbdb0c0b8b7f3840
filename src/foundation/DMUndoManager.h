#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Undo manager of a document. Actions registered during one turn of the event loop form one
// undo step (unless explicit groups are open). Registrations may carry a fence-off key: the
// first registration under a key is recorded and fences the key for 0.2 s; a registration under
// a fenced key may be dropped (folded into the step holding the first) and then extends the
// fence, so a drag that sets the same object's dates many times leaves the one action that
// restores the state before the drag. Expired keys are cleaned every 0.1 s. While undoing or
// redoing, keys are ignored. A plain undo manager (fenceOffKeysEnabled == false) ignores keys
// altogether.
//
// A fence folds only what belongs to one edit: a registration in the step that is still open
// (one command, or a drag grouped from press to release), or one made during the same
// continuous edit as the first (typing into one text, moving one slider, a keyboard nudge
// series: see ContinuousEdit) while the step holding the first is the last one recorded.
// Separate commands are never folded, however fast they follow each other.
//
// Only registrations that restore one value may carry a key (a setter's "set it back to v"):
// dropping a later one is safe because the earlier one restores the older value. Anything else
// (an insertion, a removal, an assignment) registers without a key and is always recorded. A
// fence lifts early when the step holding its recorded action leaves the undo stack (undone or
// cleared), so a change made after an undo is never dropped.
class DMUndoManager : public QObject
{
    Q_OBJECT
public:
    explicit DMUndoManager(bool fenceOffKeysEnabled = true, QObject *parent = nullptr);
    ~DMUndoManager() override;

    using Action = std::function<void()>;

    // The action runs on undo (or redo); it should register its own inverse, as setters do.
    void registerUndo(Action action, const QString &fenceOffKey = QString());
    // Records the action whatever the fence and fences the key with it. While the fence would
    // fold a registration under the key (above) and this action is still the last one recorded,
    // fencedContext(key) answers `context`, which the caller may extend in place of registering
    // again (a drag's date snapshot gains the items that later steps of the drag move).
    void registerExtensibleUndo(Action action, const QString &fenceOffKey, std::shared_ptr<void> context);
    std::shared_ptr<void> fencedContext(const QString &fenceOffKey) const;
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
    // A command's group, a step of its own however fast it follows or is followed: begun when
    // no group but the turn's automatic one is open, it closes what the turn recorded before it
    // as a step, and when it ends, the step ends with it. Inside another explicit group (a
    // drag's) it nests as beginUndoGrouping does.
    void beginUndoStep();
    void endUndoStep();
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
    // Unless undoing or redoing, fences the key for the next 0.2 s without registering anything
    // (a fence already holding a recorded action keeps it).
    void disableRegistrationWithFenceOffKey(const QString &key);
    bool isFenced(const QString &key) const;

    // Marks the registrations made while it lives as part of the continuous edit named by
    // `edit` (any number other than 0 that stays the same for the whole edit, such as the
    // control being moved); the one it replaces comes back when it ends.
    class ContinuousEdit
    {
    public:
        ContinuousEdit(DMUndoManager *manager, quint64 edit);
        ~ContinuousEdit();
        ContinuousEdit(const ContinuousEdit &) = delete;
        ContinuousEdit &operator=(const ContinuousEdit &) = delete;

    private:
        DMUndoManager *m_manager;
        quint64 m_previous = 0;
    };

signals:
    // After an undo step is closed, undone or redone (the document updates its change count).
    void didCloseUndoGroup();
    void didUndo();
    void didRedo();

private:
    bool beginRegistration(Action &action);
    void record(Action action);
    void fence(const QString &key, std::shared_ptr<void> context);

    struct Private;
    std::unique_ptr<Private> d;
};
