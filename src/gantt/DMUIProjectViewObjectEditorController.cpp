#include "DMUIProjectViewObjectEditorController.h"

#include "DMBeep.h"
#include "DMGanttDocumentHooks.h"
#include "DMIdleTimeout.h"
#include "DMInspectorWindow.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectObject.h"
#include "DMProjectViewObject.h"
#include "DMUndoManager.h"

#include "DMColorWell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDebug>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace {

// The idle-timeout key of a field's pending value: one per field, so that a value typed into one
// field never replaces another's.
QByteArray idleKeyOf(const QWidget *control)
{
    return QByteArrayLiteral("commonCallback:") + QByteArray::number(quintptr(control), 16);
}

} // namespace

DMUIProjectViewObjectEditorController::DMUIProjectViewObjectEditorController(const QString &nibName)
    : m_nibName(nibName)
{
    m_closeObserver = DMNotificationCenter::defaultCenter().addObserver(
        kDMProjectDocument_CloseNotification, nullptr, [this](const DMNotification &) { documentDidClose(); });
}

DMUIProjectViewObjectEditorController::~DMUIProjectViewObjectEditorController()
{
    destroyPendingIdleInvocations(this);
    for (const QMetaObject::Connection &connection : std::as_const(m_undoConnections))
        disconnect(connection);
    // A view that the window never took is still this controller's.
    if (m_containerView && !m_containerView->parent())
        delete m_containerView.data();
}

QWidget *DMUIProjectViewObjectEditorController::inspectorWindow()
{
    return DMInspectorWindow::sharedWindow();
}

bool DMUIProjectViewObjectEditorController::loadInterfaceOrLog()
{
    if (loadInterface() && m_containerView)
        return true;
    qWarning().noquote() << QStringLiteral("Couldn't load \"%1\" nib.").arg(m_nibName);
    return false;
}

void DMUIProjectViewObjectEditorController::setContainerView(QWidget *view, QWidget *initialFirstResponder)
{
    m_containerView = view;
    m_initialFirstResponder = initialFirstResponder;
    if (view)
        view->resize(view->sizeHint());
}

void DMUIProjectViewObjectEditorController::showAtPointInView(QPointF, QWidget *)
{
}

// ---- The shared window ----

bool DMUIProjectViewObjectEditorController::isVisible() const
{
    return inspectorWindow()->isVisible();
}

void DMUIProjectViewObjectEditorController::showWindow()
{
    DMInspectorWindow *window = DMInspectorWindow::sharedWindow();
    // Asked for while on screen (the window may lie behind another), it comes to the front and
    // leaves the keyboard where it is.
    if (window->isVisible()) {
        window->raise();
        return;
    }
    // The document window of the object shown, which is the active one.
    window->placeBesideWindowUnlessRemembered(QApplication::activeWindow());
    window->show();
    window->raise();
    giveKeyboardToInitialFirstResponder();
}

void DMUIProjectViewObjectEditorController::showWindowForNewObject()
{
    DMInspectorWindow *window = DMInspectorWindow::sharedWindow();
    if (!window->isVisible()) {
        showWindow();
        return;
    }
    window->raise();
    giveKeyboardToInitialFirstResponder();
}

void DMUIProjectViewObjectEditorController::giveKeyboardToInitialFirstResponder()
{
    DMInspectorWindow *window = DMInspectorWindow::sharedWindow();
    window->activateWindow();
    // The first field takes the keyboard with the whole text selected, so that what is typed
    // next replaces the title ("New Task") instead of running on after it.
    if (auto *field = qobject_cast<QLineEdit *>(m_initialFirstResponder.data()); field && field->isVisibleTo(window)) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
}

bool DMUIProjectViewObjectEditorController::isDisplayed() const
{
    return m_containerView && DMInspectorWindow::sharedWindow()->displayedView() == m_containerView;
}

void DMUIProjectViewObjectEditorController::displayInInspectorWindow()
{
    DMInspectorWindow *window = DMInspectorWindow::sharedWindow();
    window->displayView(m_containerView);
    if (DMGanttDocumentHooks *hooks = document())
        window->setCommandWindow(hooks->windowForSheet());
}

void DMUIProjectViewObjectEditorController::clearInspectorWindow()
{
    DMInspectorWindow::sharedWindow()->clear();
}

void DMUIProjectViewObjectEditorController::editObject(DMProjectViewObject *object)
{
    setEditedObject(object);
    if (object && liveModelObject())
        displayInInspectorWindow();
    else
        clearInspectorWindow();
}

void DMUIProjectViewObjectEditorController::editNoObjectSaying(const QString &message)
{
    setEditedObject(nullptr);
    DMInspectorWindow::sharedWindow()->clear(message);
}

void DMUIProjectViewObjectEditorController::stepAsideFromPage()
{
    setEditedObject(nullptr);
    DMInspectorWindow::sharedWindow()->stepAside();
}

void DMUIProjectViewObjectEditorController::hide()
{
    if (isDisplayed())
        inspectorWindow()->hide();
}

void DMUIProjectViewObjectEditorController::close()
{
    const bool displayed = isDisplayed();
    setEditedObject(nullptr);
    if (!displayed)
        return;
    clearInspectorWindow();
    inspectorWindow()->hide();
}

// ---- The edited object ----

std::shared_ptr<DMProjectViewObject> DMUIProjectViewObjectEditorController::editedObject() const
{
    return std::dynamic_pointer_cast<DMProjectViewObject>(m_editedObject.lock());
}

void DMUIProjectViewObjectEditorController::setEditedObject(DMProjectViewObject *object)
{
    // A value typed for the previous object goes to that object, never to the next one.
    applyPendingTextEdits();
    m_editedObject = object ? object->weak_from_this() : std::weak_ptr<DMBaseObject>();
    m_hasEditedObject = object != nullptr;
    observeEditedObject();
    if (object)
        refreshControls();
}

std::shared_ptr<DMProjectObject> DMUIProjectViewObjectEditorController::liveModelObject() const
{
    const std::shared_ptr<DMProjectViewObject> object = editedObject();
    std::shared_ptr<DMProjectObject> model = object ? modelObjectOf(*object) : nullptr;
    if (!model || !model->isAttached())
        return nullptr;
    const std::shared_ptr<DMProject> project = model->project();
    return project && project->isValid() ? model : nullptr;
}

std::shared_ptr<DMProject> DMUIProjectViewObjectEditorController::editedProject() const
{
    const std::shared_ptr<DMProjectObject> model = liveModelObject();
    return model ? model->project() : nullptr;
}

DMGanttDocumentHooks *DMUIProjectViewObjectEditorController::document() const
{
    return documentOfProject(editedProject());
}

DMGanttDocumentHooks *DMUIProjectViewObjectEditorController::documentOfProject(const std::shared_ptr<DMProject> &project)
{
    // The document implements the model's hooks and the Gantt chart's.
    return project ? dynamic_cast<DMGanttDocumentHooks *>(project->displayAttributes().projectDocument) : nullptr;
}

void DMUIProjectViewObjectEditorController::observeEditedObject()
{
    m_modelObservation.reset();
    for (DMObservation &observation : m_projectObservations)
        observation.reset();
    for (const QMetaObject::Connection &connection : std::as_const(m_undoConnections))
        disconnect(connection);
    m_undoConnections.clear();
    const std::shared_ptr<DMProjectObject> model = liveModelObject();
    if (!model)
        return;
    // Drags, undo and other views change the object behind the inspector's back; undo and
    // deletion take it out of the project.
    m_modelObservation = model->observe(QString(), [this](const DMChange &change, DMObservable *) {
        if (!change.prior)
            modelDidChange();
    });
    const std::shared_ptr<DMProject> project = model->project();
    // The project's validity, and its settings (the working day, the attached documents).
    const auto projectChanged = [this](const DMChange &change, DMObservable *) {
        if (!change.prior)
            modelDidChange();
    };
    m_projectObservations[0] = project->observe(QStringLiteral("isValid"), projectChanged);
    m_projectObservations[1] = project->observe(QStringLiteral("attributes"), projectChanged);
    if (DMUndoManager *undo = project->undoManager()) {
        const auto changed = [this] { modelDidChange(); };
        m_undoConnections.append(connect(undo, &DMUndoManager::didCloseUndoGroup, this, changed));
        m_undoConnections.append(connect(undo, &DMUndoManager::didUndo, this, changed));
        m_undoConnections.append(connect(undo, &DMUndoManager::didRedo, this, changed));
    }
}

void DMUIProjectViewObjectEditorController::modelDidChange()
{
    if (m_refreshing)
        return;
    // A change being applied refills the controls once it is done.
    if (m_applying)
        return;
    if (!m_hasEditedObject || liveModelObject()) {
        refreshControls();
        return;
    }
    // A project made invalid is its document closing: the window goes with it.
    const std::shared_ptr<DMProjectViewObject> object = editedObject();
    const std::shared_ptr<DMProject> project = object ? object->project() : nullptr;
    if (project && !project->isValid())
        close();
    else
        letGoOfEditedObject();
}

void DMUIProjectViewObjectEditorController::letGoOfEditedObject()
{
    const bool displayed = isDisplayed();
    setEditedObject(nullptr);
    if (displayed)
        clearInspectorWindow();
}

void DMUIProjectViewObjectEditorController::documentDidClose()
{
    // An object of a document still open stays inspected.
    if (!shownEditors().contains(this) || liveModelObject())
        return;
    const bool displayed = isDisplayed();
    setEditedObject(nullptr);
    // The window showing this inspector, or nothing at all, has nothing left to show.
    if (displayed || !DMInspectorWindow::sharedWindow()->displayedView()) {
        clearInspectorWindow();
        inspectorWindow()->hide();
    }
}

// ---- Edits ----

void DMUIProjectViewObjectEditorController::refreshControls()
{
    if (m_refreshing)
        return;
    m_refreshing = true;
    refreshUI();
    m_refreshing = false;
}

void DMUIProjectViewObjectEditorController::applyChange(const char *actionName, const std::function<int()> &change)
{
    applyChangeInProject(editedProject(), actionName, change);
}

void DMUIProjectViewObjectEditorController::applyChangeInProject(const std::shared_ptr<DMProject> &project,
                                                                 const char *actionName,
                                                                 const std::function<int()> &change)
{
    if (!project || !project->isValid())
        return;
    DMUndoManager *undo = project->undoManagerForRegistration();
    m_applying = true;
    if (undo)
        undo->beginUndoGrouping();
    const int result = change();
    if (undo) {
        undo->setActionName(DMLocalizedString(actionName));
        undo->endUndoGrouping();
    }
    m_applying = false;
    if (result != 0)
        DMBeep();
    if (m_hasEditedObject && !liveModelObject())
        letGoOfEditedObject();
    else
        refreshControls();
}

void DMUIProjectViewObjectEditorController::refuse()
{
    DMBeep();
    refreshControls();
}

QWidget *DMUIProjectViewObjectEditorController::pendingKeyOf(const QWidget *control) const
{
    return m_textFieldGroups.value(control, const_cast<QWidget *>(control));
}

void DMUIProjectViewObjectEditorController::groupTextFields(const QList<QWidget *> &fields)
{
    for (QWidget *field : fields)
        m_textFieldGroups.insert(field, fields.value(0));
}

void DMUIProjectViewObjectEditorController::controlTextDidChange(QWidget *control)
{
    if (m_refreshing || !control || !liveModelObject())
        return;
    control = pendingKeyOf(control);
    m_pendingTextControls.insert(control);
    const QPointer<QWidget> field(control);
    performSelectorAfterIdleTimeout(this, idleKeyOf(control).constData(), [this, field] {
        if (!field || !m_pendingTextControls.remove(field.data()))
            return;
        commonCallback(field.data());
    }, idleDelay());
}

void DMUIProjectViewObjectEditorController::applyPendingTextEdits()
{
    if (m_pendingTextControls.isEmpty())
        return;
    destroyPendingIdleInvocations(this);
    // One at a time: refilling the controls after each leaves the fields still pending alone.
    while (!m_pendingTextControls.isEmpty()) {
        const QWidget *control = *m_pendingTextControls.cbegin();
        m_pendingTextControls.remove(control);
        commonCallback(const_cast<QWidget *>(control));
    }
}

// ---- Controls ----

void DMUIProjectViewObjectEditorController::act(QObject *sender)
{
    if (!m_refreshing)
        commonCallback(sender);
}

void DMUIProjectViewObjectEditorController::actContinuously(QObject *sender)
{
    if (m_refreshing)
        return;
    const std::shared_ptr<DMProject> project = editedProject();
    const DMUndoManager::ContinuousEdit edit(project ? project->undoManagerForRegistration() : nullptr, quintptr(sender));
    commonCallback(sender);
}

void DMUIProjectViewObjectEditorController::textFieldDidEndEditing(QWidget *field)
{
    QWidget *key = pendingKeyOf(field);
    // Focus moving on to another field of the same group: the value is still being typed.
    const QWidget *focus = QApplication::focusWidget();
    if (focus && focus != field && m_textFieldGroups.contains(focus) && pendingKeyOf(focus) == key)
        return;
    // The idle call still due finds nothing pending.
    if (m_pendingTextControls.remove(key))
        commonCallback(key);
}

void DMUIProjectViewObjectEditorController::connectControl(QWidget *control)
{
    if (auto *field = qobject_cast<QLineEdit *>(control)) {
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
        connect(field, &QLineEdit::editingFinished, this, [this, field] { textFieldDidEndEditing(field); });
    } else if (auto *well = qobject_cast<DMColorWell *>(control)) {
        connect(well, &DMColorWell::colorChanged, this, [this, well] { actContinuously(well); });
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        connect(button, &QAbstractButton::clicked, this, [this, button] { act(button); });
    } else if (auto *popup = qobject_cast<QComboBox *>(control)) {
        connect(popup, &QComboBox::activated, this, [this, popup] { act(popup); });
    } else if (auto *picker = qobject_cast<QDateTimeEdit *>(control)) {
        // A typed date counts once it is complete (Return, leaving the field, the arrows).
        picker->setKeyboardTracking(false);
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this, picker] { act(picker); });
    } else if (auto *slider = qobject_cast<QAbstractSlider *>(control)) {
        connect(slider, &QAbstractSlider::valueChanged, this, [this, slider] { actContinuously(slider); });
    } else if (auto *text = qobject_cast<QPlainTextEdit *>(control)) {
        connect(text, &QPlainTextEdit::textChanged, this, [this, text] { actContinuously(text); });
    }
}

void DMUIProjectViewObjectEditorController::setFieldText(QLineEdit *field, const QString &text) const
{
    // Set again also when the text is the same: typing the model now holds is no longer the
    // field's own to undo, so the undo keys reach the document (the window passes them on).
    if (field && !hasPendingTextEdit(field) && (field->text() != text || field->isUndoAvailable() || field->isRedoAvailable()))
        field->setText(text);
}
