#include "DMProjectDocument.h"

#include "DMAttachedDocuments.h"
#include "DMCurrencyFormatter.h"
#include "DMDateFormatter.h"
#include "DMDocumentController.h"
#include "DMIdleTimeout.h"
#include "DMIndexSet_64.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMNotificationCenter.h"
#include "DMObjectView.h"
#include "DMPasswordPanel.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectPackage.h"
#include "DMProjectTimelineDataSource.h"
#include "DMProjectView.h"
#include "DMReadGuard.h"
#include "DMTextField.h"
#include "DMUndoManager.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QUrl>

#include <utility>

const QString DMProjectDocument::kDocumentType = QStringLiteral("Orvesta Document");
const QString DMProjectDocument::kModelType = QStringLiteral("Orvesta Model");
const QString DMProjectDocument::kMSProjectXMLType = QStringLiteral("MS Project XML Document");
const QString DMProjectDocument::kPenduloType = QStringLiteral("Pendulo Project Document");
const QString DMProjectDocument::kMergedType = QStringLiteral("HalcyraMergedProjects");
const QString DMProjectDocument::kPasteboardType = QStringLiteral("application/x-halcyra-project-items");

QString DMProjectDocument::typeForPath(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == DMProjectPackage::kExtension)
        return kDocumentType;
    if (extension == QLatin1String("xml"))
        return kMSProjectXMLType;
    if (extension == QLatin1String("pendulo"))
        return kPenduloType;
    return QString();
}

DMProjectDocument::DMProjectDocument() : m_undoManager(std::make_unique<DMUndoManager>(true))
{
    QTemporaryDir folder(QDir(QDir::tempPath()).filePath(QStringLiteral("halcyra-document-XXXXXX")));
    if (folder.isValid()) {
        folder.setAutoRemove(false);
        m_temporaryFolder = folder.path();
    }
    connect(m_undoManager.get(), &DMUndoManager::didCloseUndoGroup, this, [this] { updateChangeCount(DMDocumentChangeKind::Done); });
    connect(m_undoManager.get(), &DMUndoManager::didUndo, this, [this] { updateChangeCount(DMDocumentChangeKind::Undone); });
    connect(m_undoManager.get(), &DMUndoManager::didRedo, this, [this] { updateChangeCount(DMDocumentChangeKind::Redone); });
    m_autosaveTimer.setSingleShot(true);
    connect(&m_autosaveTimer, &QTimer::timeout, this, &DMProjectDocument::autosaveNow);

    m_projectOutlineDS = std::make_unique<DMProjectDocumentProjectOutlineDS>(*this);
    m_sourceListDS = std::make_unique<DMProjectDocumentSourceListOutlineDS>(*this);
    m_timelineDataSource = std::make_unique<DMProjectTimelineDataSource>();
    m_objectViewDataSource = std::make_unique<DMProjectDocumentObjectViewDataSource>(*this);
    m_itemsView = std::make_unique<DMProjectDocumentItemsView>(*this);
    // Undo and redo change the tree or the links behind the outline's back.
    const auto undoneOrRedone = [this] { m_objectViewDataSource->projectDidUndoOrRedo(); };
    connect(m_undoManager.get(), &DMUndoManager::didUndo, this, undoneOrRedone);
    connect(m_undoManager.get(), &DMUndoManager::didRedo, this, undoneOrRedone);
    connect(m_undoManager.get(), &DMUndoManager::didCloseUndoGroup, this, [this] { m_objectViewDataSource->undoStepDidClose(); });
    // The lists show the undone state at once: their rows may name objects that went.
    connect(m_undoManager.get(), &DMUndoManager::didUndo, this, &DMProjectDocument::reloadListOutlines);
    connect(m_undoManager.get(), &DMUndoManager::didRedo, this, &DMProjectDocument::reloadListOutlines);
    // Edits made elsewhere (an inspector, a popover) show in every view at once.
    for (const auto signal : {&DMUndoManager::didCloseUndoGroup, &DMUndoManager::didUndo, &DMUndoManager::didRedo})
        connect(m_undoManager.get(), signal, this, &DMProjectDocument::redisplayEditedValues);
}

DMProjectDocument::~DMProjectDocument()
{
    m_autosaveTimer.stop();
    destroyPendingIdleInvocations(this);
    DMNotificationCenter::defaultCenter().dequeueNotificationsForObject(this);
    m_projectObservations.clear();
    m_notificationObservers.clear();
    detachViews();
    // The controllers go before the views they serve and the outlets they read them through.
    m_projectOutlineDS.reset();
    m_sourceListDS.reset();
    m_objectViewDataSource.reset();
    m_itemsView.reset();
    m_window.reset();
    if (m_project) {
        m_project->displayAttributes().projectDocument = nullptr;
        m_project->displayAttributes().projectView = nullptr;
        m_project->setUndoManager(nullptr);
    }
    m_project.reset();
    if (!m_temporaryFolder.isEmpty())
        QDir(m_temporaryFolder).removeRecursively();
}

std::shared_ptr<DMProject> DMProjectDocument::newDefaultProject(const DMDate &today)
{
    auto project = DMProject::create();
    project->beginLoading(); // the defaults are not edits
    project->setTitle(DMLocalizedString("Untitled"));
    project->setAttribute(kDMProject_ViewMode, kDMProjectViewMode_Gantt);
    project->setAttribute(kDMProject_Settings_CurrencyUnit, QLocale().currencySymbol());
    // Settings whose absence other code would read its own way (a whole day, the reader's
    // locale) are written, so that the file keeps what the new project showed.
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 8 * 60}, {kDMTimeSpanEnd, 18 * 60}});
    project->setAttribute(kDMProject_Settings_FirstDayOfWeek, int(QLocale().firstDayOfWeek()) % 7);
    // The locale's weekend is not worked (week days 0 = Sunday to 6 = Saturday).
    DMMutableIndexSet_64 weekend;
    const QList<Qt::DayOfWeek> working = QLocale().weekdays();
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        if (!working.contains(Qt::DayOfWeek(day)))
            weekend.addIndex(day % 7);
    if (weekend.count() < 7)
        project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekend)));
    // New tasks last one working day.
    project->setAttribute(kDMProject_Settings_DefaultTaskDuration_Days, 1);
    project->setAttribute(kDMProject_Settings_DefaultTaskDuration_Hours, 0);
    project->setAttribute(kDMProject_Settings_DefaultTaskDuration_Minutes, 0);
    // The plan begins where work can begin, which new items take as their begin.
    const DMDate begin = project->nextWorkingInstant(DMDate(today.year(), today.month(), today.day(), 0));
    project->setBeginDate(begin);
    project->setEndDate(DMDate(begin.year(), begin.month(), begin.day(), 0).dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 1, 0, 0, 0, 0));
    project->endLoading();
    return project;
}

void DMProjectDocument::initWithDefaultProject()
{
    setProject(newDefaultProject());
    m_fileType = kDocumentType;
}

void DMProjectDocument::setProject(const std::shared_ptr<DMProject> &project)
{
    m_projectObservations.clear();
    if (m_project) {
        m_project->displayAttributes().projectDocument = nullptr;
        m_project->displayAttributes().projectView = nullptr;
        m_project->setUndoManager(nullptr);
    }
    // The old project dies only when this function returns: its items and resources announce
    // their teardown to views that may ask for project(), which must then be whole. Assigning
    // over it would release it while the pointer is half replaced, and a copy taken then would
    // destroy it a second time.
    const std::shared_ptr<DMProject> previous = std::exchange(m_project, project);
    m_hasReadDictionary = false;
    m_readProject = DMPropertyListNode();
    m_currencyFormatter.reset();
    if (!m_project)
        return;
    // The attached documents' counts start from what the project refers to: no undo step of
    // this document can refer to anything yet.
    if (const QVariant table = m_project->attribute(kDMProject_AttachedDocumentsTable); table.isValid()) {
        const QVariantMap counted = DMAttachedDocuments::tableCountingReferences(table.toMap(), *m_project);
        if (QVariant(counted) != table) {
            m_project->beginLoading();
            m_project->setAttribute(kDMProject_AttachedDocumentsTable, counted);
            m_project->endLoading();
        }
    }
    DMProject_DisplayAttributes &attributes = m_project->displayAttributes();
    attributes.projectDocument = this;
    attributes.projectIsEdited = isDocumentEdited();
    attributes.viewMode = m_project->attribute(kDMProject_ViewMode).toInt();
    // The day window drawn is the calendar's, also for a project that never set one.
    attributes.dayViewBeginMinute = m_project->workingCalendar().dayBeginMinute();
    attributes.dayViewEndMinute = m_project->workingCalendar().dayEndMinute();
    const QVariantMap span = effectiveProjectTimeSpan();
    attributes.timeSpanBeginDate = span.value(kDMTimeSpanBegin).value<DMDate>();
    attributes.timeSpanEndDate = span.value(kDMTimeSpanEnd).value<DMDate>();
    if (m_outlets.projectView)
        attributes.projectView = m_outlets.projectView;
    m_projectOutlineDS->projectDidChange();
    m_timelineDataSource->setProject(m_project);
    m_objectViewDataSource->projectDidChange();
    if (m_sourceListDS)
        m_sourceListDS->badgesNeedUpdate();
    m_project->setUndoManager(m_undoManager.get());
    observeProject();
    m_itemsView->projectDidChange();
    updateItemsArrayWithTag(DMPage::AllItemsArrays);
}

void DMProjectDocument::observeProject()
{
    m_projectObservations.push_back(m_project->observe(
        DMProjectKey::attributes + QLatin1Char('.') + kDMProject_Settings_CurrencyUnit,
        [this](const DMChange &, DMObservable *) { currencyUnitDidChange(); }));
    m_projectObservations.push_back(m_project->observe(
        DMProjectKey::attributes + QLatin1Char('.') + kDMProject_ViewMode,
        [this](const DMChange &change, DMObservable *) {
            if (!change.prior)
                viewModeDidChange();
        }));
    // The scale and the range of the timeline, and the working calendar that shades its days and
    // numbers its weeks: the canvas follows at once, so that a rendering right after the change
    // shows the new state.
    for (const QString &key : {kDMProject_TimelineViewPixelsPerDay, kDMProject_TimelineViewTimeSpan,
                               kDMProject_TimelineViewMode, kDMProject_TimelineViewCustomTimeSpan,
                               kDMProject_Settings_NonWorkingWeekDays, kDMProject_Settings_DaysOff,
                               kDMProject_Settings_DayTimeSpan, kDMProject_Settings_FirstDayOfWeek,
                               kDMProject_Settings_WeekFormat})
        m_projectObservations.push_back(m_project->observe(DMProjectKey::attributes + QLatin1Char('.') + key,
                                                           [this](const DMChange &change, DMObservable *) {
                                                               if (!change.prior)
                                                                   m_objectViewDataSource->relayoutProjectView();
                                                           }));
}

void DMProjectDocument::setFileURL(const QString &path)
{
    const QString absolute = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (absolute == m_fileURL)
        return;
    m_fileURL = absolute;
    if (m_window)
        m_window->setWindowTitle(displayName() + QStringLiteral("[*]"));
    emit fileURLChanged(m_fileURL);
}

QString DMProjectDocument::displayName() const
{
    if (m_fileURL.isEmpty())
        return DMLocalizedString("Untitled");
    return QFileInfo(m_fileURL).completeBaseName();
}

void DMProjectDocument::setPasswordString(const QString &password)
{
    if (password == m_password)
        return;
    m_password = password;
    updateChangeCount(DMDocumentChangeKind::Done);
}

void DMProjectDocument::setPassword()
{
    DMPasswordPanel *panel = DMPasswordPanel::passwordPanel(windowForSheet());
    panel->informativeLabel()->setText(DMLocalizedString("Please enter the new password."));
    // Only a password that exists can be removed, by confirming two empty entries.
    panel->setAllowsEmptyPassword(!m_password.isEmpty());
    QPointer<DMPasswordPanel> sheet = panel;
    // The sheet ends from the event loop: the document may have gone by then.
    auto completion = [sheet, weakSelf = weak_from_this()](int code) {
        const std::shared_ptr<DMProjectDocument> self = weakSelf.lock();
        if (!self || !sheet || code != 1)
            return;
        const QString password = sheet->password();
        if (password.isNull())
            return;
        if (password.isEmpty()) {
            DMModalUI::Alert alert;
            alert.title = DMLocalizedString("Remove Password");
            alert.messageText = DMLocalizedString("Remove the password of this project?");
            alert.informativeText = DMLocalizedString("The project will be saved without encryption.");
            alert.buttons = {DMLocalizedString("Remove Password"), DMLocalizedString("Cancel")};
            if (DMModalUI::instance().runAlert(alert, self->windowForSheet()) != DMModalUI::DefaultReturn)
                return;
        }
        self->setPasswordString(password);
    };
    DMModalUI::instance().beginSheetWithPanel(panel, windowForSheet(), completion);
}

// ---- Change count and autosave ----

void DMProjectDocument::updateChangeCount(int kind)
{
    const bool wasEdited = isDocumentEdited();
    switch (kind) {
    case DMDocumentChangeKind::Done:
    case DMDocumentChangeKind::Redone:
        ++m_changeCount;
        break;
    case DMDocumentChangeKind::Undone:
        --m_changeCount;
        break;
    case DMDocumentChangeKind::Cleared:
        m_changeCount = 0;
        break;
    default:
        break;
    }
    const bool edited = isDocumentEdited();
    if (m_project)
        m_project->displayAttributes().projectIsEdited = edited;
    // Every edit, its undo and its redo pass here: items, resources and events may have come or
    // gone, unless the project's lists stayed as they were (a drag and its undo move dates).
    if (m_sourceListDS && m_project && m_project->layoutStamp() != m_badgesLayoutStamp) {
        m_badgesLayoutStamp = m_project->layoutStamp();
        m_sourceListDS->badgesNeedUpdate();
    }
    if (m_window)
        m_window->setWindowModified(edited);
    if (edited)
        scheduleAutosave();
    else
        m_autosaveTimer.stop();
    if (edited != wasEdited)
        emit editedChanged(edited);
}

void DMProjectDocument::markDocumentAsEdited()
{
    updateChangeCount(DMDocumentChangeKind::Done);
}

void DMProjectDocument::scheduleAutosave()
{
    const double delay = DMDocumentController::sharedDocumentController().autosavingDelay();
    // Autosaving writes in place only: an untitled or imported document is saved by the user.
    if (delay <= 0.0 || m_fileURL.isEmpty() || m_fileType != kDocumentType || m_closed)
        return;
    if (!m_autosaveTimer.isActive())
        m_autosaveTimer.start(int(delay * 1000.0));
}

void DMProjectDocument::autosaveNow()
{
    if (!isDocumentEdited() || m_fileURL.isEmpty() || m_closed)
        return;
    QString error;
    if (!saveToPath(m_fileURL, AutosaveInPlaceOperation, &error))
        presentError(DMLocalizedString("The document \"%1\" could not be autosaved.").arg(displayName()), error,
                     DMLocalizedString("Autosave"));
}

// ---- File commands ----

bool DMProjectDocument::save()
{
    if (m_fileURL.isEmpty() || m_fileType != kDocumentType)
        return saveAs();
    QString error;
    if (!saveToPath(m_fileURL, SaveOperation, &error)) {
        presentError(DMLocalizedString("The document \"%1\" could not be saved.").arg(displayName()), error,
                     DMLocalizedString("Save"));
        return false;
    }
    return true;
}

QString DMProjectDocument::documentFileName() const
{
    return m_fileURL.isEmpty() ? QString() : displayName();
}

QString DMProjectDocument::folderForPanels() const
{
    return m_fileURL.isEmpty() ? QDir::homePath() : QFileInfo(m_fileURL).absolutePath();
}

bool DMProjectDocument::saveAs()
{
    DMModalUI::FilePanel panel = DMDocumentController::projectFilePanel(DMLocalizedString("Save As"));
    panel.proposedName = displayName() + QLatin1Char('.') + DMProjectPackage::kExtension;
    panel.directory = folderForPanels();
    QString path = DMModalUI::instance().runSavePanel(panel, windowForSheet());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix() != DMProjectPackage::kExtension)
        path += QLatin1Char('.') + DMProjectPackage::kExtension;
    QString error;
    if (!saveToPath(path, SaveAsOperation, &error)) {
        presentError(DMLocalizedString("The document \"%1\" could not be saved.").arg(QFileInfo(path).completeBaseName()),
                     error, DMLocalizedString("Save As"));
        return false;
    }
    return true;
}

bool DMProjectDocument::saveToPath(const QString &path, SaveOperationType operation, QString *error)
{
    if (!writeToURLOfTypeForSaveOperation(path, kDocumentType, operation, error))
        return false;
    if (operation == SaveToOperation || operation == AutosaveElsewhereOperation)
        return true;
    setFileType(kDocumentType);
    setFileURL(path);
    updateChangeCount(DMDocumentChangeKind::Cleared);
    DMDocumentController::sharedDocumentController().noteNewRecentDocumentURL(m_fileURL);
    return true;
}

bool DMProjectDocument::revertToSaved()
{
    if (!canRevertToSaved())
        return false;
    QString error;
    // The package is read again with the password that opened it; a changed password asks. What
    // reading throws leaves the document as it was.
    const auto read = [&] { return readFromURLOfType(m_fileURL, kDocumentType, &error) && loadProjectIfNeeded(&error); };
    if (!DMReadGuard::run(read, &error)) {
        if (!error.isEmpty())
            presentError(DMLocalizedString("The document \"%1\" could not be reverted.").arg(displayName()), error,
                         DMLocalizedString("Revert to Saved"));
        return false;
    }
    m_undoManager->removeAllActions();
    updateChangeCount(DMDocumentChangeKind::Cleared);
    reloadViews();
    return true;
}

bool DMProjectDocument::canClose()
{
    if (!isDocumentEdited())
        return true;
    if (!m_fileURL.isEmpty() && m_fileType == kDocumentType
        && DMDocumentController::sharedDocumentController().autosavingDelay() > 0.0) {
        QString error;
        if (saveToPath(m_fileURL, AutosaveInPlaceOperation, &error))
            return true;
        presentError(DMLocalizedString("The document \"%1\" could not be saved.").arg(displayName()), error,
                     DMLocalizedString("Save"));
        return false;
    }
    DMModalUI::Alert alert;
    alert.title = DMLocalizedString("Save Changes");
    alert.messageText = DMLocalizedString("Do you want to save the changes made to the document \"%1\"?").arg(displayName());
    alert.informativeText = DMLocalizedString("Your changes will be lost if you don't save them.");
    alert.buttons = {DMLocalizedString("Save"), DMLocalizedString("Cancel"), DMLocalizedString("Don't Save")};
    switch (DMModalUI::instance().runAlert(alert, windowForSheet())) {
    case DMModalUI::DefaultReturn:
        return save();
    case DMModalUI::OtherReturn:
        return true;
    default:
        return false;
    }
}

void DMProjectDocument::close()
{
    closeDocument(true);
}

void DMProjectDocument::closeWithoutShowingRecentItemsWindow()
{
    closeDocument(false);
}

void DMProjectDocument::closeDocument(bool showWelcomeWindow)
{
    if (m_closed)
        return;
    m_closed = true;
    m_autosaveTimer.stop();
    emit willClose();
    if (m_window && !m_fileURL.isEmpty())
        saveMainWindowFrame();
    if (m_project)
        m_project->setIsValid(false);
    m_projectObservations.clear();
    m_notificationObservers.clear();
    DMNotificationCenter::defaultCenter().postNotification(kDMProjectDocument_CloseNotification, nullptr);
    detachViews();
    if (m_window)
        m_window->hide();
    // The controller drops its reference last: this object may be destroyed on return.
    DMDocumentController::sharedDocumentController().removeDocument(this, showWelcomeWindow);
}

// ---- Formatters ----

std::shared_ptr<DMCurrencyFormatter> DMProjectDocument::sharedCurrencyFormatter()
{
    if (!m_currencyFormatter)
        m_currencyFormatter = std::make_shared<DMCurrencyFormatter>(
            m_project ? m_project->attribute(kDMProject_Settings_CurrencyUnit).toString() : QString());
    return m_currencyFormatter;
}

std::shared_ptr<DMFormatter> DMProjectDocument::currencyFormatter()
{
    return sharedCurrencyFormatter();
}

void DMProjectDocument::currencyUnitDidChange()
{
    const std::shared_ptr<DMCurrencyFormatter> old = sharedCurrencyFormatter();
    m_currencyFormatter.reset();
    const std::shared_ptr<DMCurrencyFormatter> replacement = sharedCurrencyFormatter();
    // Announced as the controls' formatter type, which the formatter-following fields read.
    QVariantMap userInfo;
    userInfo.insert(QStringLiteral("new formatter"), QVariant::fromValue(std::shared_ptr<DMFormatter>(replacement)));
    userInfo.insert(QStringLiteral("old formatter"), QVariant::fromValue(std::shared_ptr<DMFormatter>(old)));
    DMNotificationCenter::defaultCenter().postNotification(kDMTextField_UpdateFormatter_Notification, old.get(), userInfo);
}

std::shared_ptr<DMDateFormatter> DMProjectDocument::sharedYMDDateFormatter()
{
    if (!m_ymdFormatter)
        m_ymdFormatter = std::make_shared<DMDateFormatter>(DMDateFormatter::YearMonthDay);
    return m_ymdFormatter;
}

std::shared_ptr<DMDateFormatter> DMProjectDocument::sharedHMSDateFormatter()
{
    if (!m_hmsFormatter)
        m_hmsFormatter = std::make_shared<DMDateFormatter>(DMDateFormatter::HourMinuteSecond);
    return m_hmsFormatter;
}

std::shared_ptr<DMDateFormatter> DMProjectDocument::sharedYMDHMSDateFormatter()
{
    if (!m_ymdhmsFormatter)
        m_ymdhmsFormatter = std::make_shared<DMDateFormatter>(DMDateFormatter::YearMonthDayHourMinuteSecond);
    return m_ymdhmsFormatter;
}

// ---- Messages ----

void DMProjectDocument::presentError(const QString &message, const QString &informativeText, const QString &title) const
{
    DMModalUI::instance().presentError(message, informativeText, windowForSheet(), title);
}

void DMProjectDocument::openURLWithWebBrowser(const QString &url) const
{
    const QUrl parsed(url);
    if (parsed.isValid() && !parsed.isRelative())
        QDesktopServices::openUrl(parsed);
}

// ---- The model's callbacks ----

void DMProjectDocument::itemDatesDidChange(const QList<DMProjectItem *> &items)
{
    if (items.isEmpty() || !m_project)
        return;
    m_projectOutlineDS->itemDatesDidChange(items);
    m_objectViewDataSource->itemDatesDidChange();
}

void DMProjectDocument::objectsDidLeaveProject()
{
    m_objectViewDataSource->projectObjectsDidLeave();
}

void DMProjectDocument::updateItemsArrayWithTag(int tag)
{
    // The model asks for the links after adding or removing one, which the canvas may not have
    // laid out.
    if (tag == DMPage::ItemsLinksPage || tag == DMPage::AllItemsArrays)
        m_objectViewDataSource->linksDidChange();
    if (m_itemsView) {
        m_itemsView->updateItemsArrayWithTag(tag);
        // The items-view page shown follows its array.
        if (DMProjectDocumentItemsView::pageShowsArrayWithTag(m_currentPageTag, tag))
            m_itemsView->updateItemsViewContentsArray();
    }
}

void DMProjectDocument::reloadSourceList()
{
    if (m_sourceListDS)
        m_sourceListDS->badgesNeedUpdate();
}
