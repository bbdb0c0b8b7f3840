#pragma once

#include "DMNotificationCenter.h"
#include "DMObservable.h"
#include "DMProjectViewObjectEditor.h"

#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class DMBaseObject;
class DMGanttDocumentHooks;
class DMProject;
class DMProjectObject;
class DMProjectViewObject;
class QLineEdit;

// Base of the item and link inspectors. Each inspector class is a process-wide singleton
// (sharedInstance) whose view (containerView, built in code by loadInterface) is swapped into the
// one shared "Inspector" window (DMInspectorWindow) when it shows an object.
//
// The edited object is a canvas object, never owned: the inspector holds it weakly and lets go of
// it, emptying the window, as soon as it or its model object leaves the project (deleted,
// converted, undone) or its document closes. Every control action writes one change into the
// model object through applyChange, as one undo step: the document learns of it from its undo
// manager, a refused change beeps, and the controls are filled from the model again afterwards,
// so that a refused value snaps back. A value typed into a field is applied once the user pauses
// (idleDelay), or at once when another object is shown, to the object it was typed for.
class DMUIProjectViewObjectEditorController : public QObject, public DMProjectViewObjectEditor
{
    Q_OBJECT

public:
    ~DMUIProjectViewObjectEditorController() override;
    DMUIProjectViewObjectEditorController(const DMUIProjectViewObjectEditorController &) = delete;
    DMUIProjectViewObjectEditorController &operator=(const DMUIProjectViewObjectEditorController &) = delete;

    // The shared window, made on first use.
    static QWidget *inspectorWindow();

    // The name of the inspector's interface, as its failure to load is reported.
    QString nibName() const { return m_nibName; }
    QWidget *containerView() const { return m_containerView; }
    QWidget *initialFirstResponder() const { return m_initialFirstResponder; }

    // Whether the shared window is on screen.
    bool isVisible() const;
    // Brings the shared window to the front, made active; one already on screen is only raised.
    void showWindow() override;
    // Brings it to the front made active whether or not it was on screen, its first field
    // taking the keyboard with the text selected.
    void showWindowForNewObject() override;
    // Null empties the window (which stays on screen); otherwise the object is edited and this
    // inspector's view replaces whatever the window showed.
    void editObject(DMProjectViewObject *object) override;
    void editNoObjectSaying(const QString &message) override;
    void stepAsideFromPage() override;
    // Inspectors shown in a popover would place it; the shared window's inspectors do nothing.
    virtual void showAtPointInView(QPointF point, QWidget *view);
    // Orders the shared window out when it shows this inspector.
    void hide();
    // Lets go of the edited object, empties the window when it shows this inspector, and hides.
    void close();

    // Null when none, or when it is gone.
    std::shared_ptr<DMProjectViewObject> editedObject() const;
    // Stores the object (first applying any typed value to the previous one) and fills the
    // controls from it.
    void setEditedObject(DMProjectViewObject *object);

    // Fills every control from the edited object's model object; nothing without one.
    virtual void refreshUI() {}
    // Writes the value of one control into the model object; nothing without one.
    virtual void commonCallback(QObject *sender) = 0;
    // A field's text changed: its value is applied once the user pauses for idleDelay.
    void controlTextDidChange(QWidget *control);
    bool hasPendingTextEdit(const QWidget *control) const { return m_pendingTextControls.contains(pendingKeyOf(control)); }

protected:
    explicit DMUIProjectViewObjectEditorController(const QString &nibName);

    // The singleton of a subclass, made once under a lock; null (logged, and tried again at the
    // next call) when its interface cannot be built.
    template <typename Controller>
    static Controller *sharedInstanceOf();

    // Builds the view with setContainerView; false when it cannot be built.
    virtual bool loadInterface() = 0;
    void setContainerView(QWidget *view, QWidget *initialFirstResponder);
    // Seconds a typed value waits before it is applied.
    virtual double idleDelay() const { return 0.5; }
    // The model object a canvas object stands for; null when none.
    virtual std::shared_ptr<DMProjectObject> modelObjectOf(const DMProjectViewObject &object) const = 0;

    // The edited object's model object while it is part of a valid project; else null, and no
    // control may write anywhere.
    std::shared_ptr<DMProjectObject> liveModelObject() const;
    std::shared_ptr<DMProject> editedProject() const;
    // The document of the edited object's project; null when none.
    DMGanttDocumentHooks *document() const;
    static DMGanttDocumentHooks *documentOfProject(const std::shared_ptr<DMProject> &project);

    // Runs the change as one undo step named actionName (a change that changes nothing records
    // nothing); a result other than 0 beeps. Then the controls are refilled, or the window
    // emptied when the change took the edited object away. Nothing without a live model object.
    void applyChange(const char *actionName, const std::function<int()> &change);
    // The same in a given project, for a change made after the inspector let go of its object.
    void applyChangeInProject(const std::shared_ptr<DMProject> &project, const char *actionName,
                              const std::function<int()> &change);
    // Beeps and refills the controls: a value refused before the model is asked.
    void refuse();
    bool isRefreshing() const { return m_refreshing; }
    // Calls refreshUI with the controls' own signals ignored.
    void refreshControls();

    // Sends the control's user actions to commonCallback: a text field's typing after the idle
    // delay, its Return (or leaving it) at once; buttons and pop-ups when clicked; colour wells,
    // date pickers, sliders and text views at each change.
    void connectControl(QWidget *control);
    // Fields that hold one value between them (a duration's days, hours and minutes): moving from
    // one to another is still typing it, so their value is applied once, with the first field as
    // commonCallback's sender, when the user pauses, presses Return or leaves the group.
    void groupTextFields(const QList<QWidget *> &fields);
    // Shows the text, except in a field whose typed value is still pending; unchanged text is
    // left alone so that the cursor stays where it is.
    void setFieldText(QLineEdit *field, const QString &text) const;

private:
    bool loadInterfaceOrLog();
    void giveKeyboardToInitialFirstResponder();
    void act(QObject *sender);
    // act() for a control that sets its value again at each move (typing into a text view,
    // moving a slider, a colour panel's drag): the changes fold into one undo step.
    void actContinuously(QObject *sender);
    void textFieldDidEndEditing(QWidget *field);
    void displayInInspectorWindow();
    void clearInspectorWindow();
    bool isDisplayed() const;
    void applyPendingTextEdits();
    // The field whose pending value stands for this one: the first of its group, or itself.
    QWidget *pendingKeyOf(const QWidget *control) const;
    void observeEditedObject();
    void modelDidChange();
    // The edited object left its project: the inspector lets go of it and empties the window.
    void letGoOfEditedObject();
    void documentDidClose();

    QString m_nibName;
    QPointer<QWidget> m_containerView;
    QPointer<QWidget> m_initialFirstResponder;
    std::weak_ptr<DMBaseObject> m_editedObject;
    bool m_hasEditedObject = false; // an object was given, which may have gone since
    bool m_refreshing = false;
    bool m_applying = false;
    QSet<const QWidget *> m_pendingTextControls;
    QHash<const QWidget *, QWidget *> m_textFieldGroups; // a grouped field -> its group's first
    DMObservation m_modelObservation;
    DMObservation m_projectObservations[2];
    QList<QMetaObject::Connection> m_undoConnections;
    DMNotificationObserver m_closeObserver;
};

template <typename Controller>
Controller *DMUIProjectViewObjectEditorController::sharedInstanceOf()
{
    static QMutex lock;
    static Controller *shared = nullptr;
    const QMutexLocker locker(&lock);
    if (!shared) {
        auto *made = new Controller;
        if (made->loadInterfaceOrLog())
            shared = made;
        else
            delete made;
    }
    return shared;
}
