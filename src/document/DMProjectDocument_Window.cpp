// DMProjectDocument: the window set-up, pages and window state.
#include "DMProjectDocument.h"

#include "DMApplication.h"
#include "DMApplicationDelegate.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMDateFormatter.h"
#include "DMDocumentController.h"
#include "DMLocalizedString.h"
#include "DMMainMenu.h"
#include "DMOutlineView.h"
#include "DMProjectTimelineDataSource.h"
#include "DMProjectView.h"
#include "DMTimelineView.h"
#include "DMPreferenceKeys.h"
#include "DMProject.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectDocumentWindow.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMPropertyList.h"
#include "DMReportPage.h"
#include "DMUndoManager.h"
#include "DMUserDefaults.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QCryptographicHash>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <vector>

namespace {
const QString kSourceListKeyTag = QStringLiteral("kDMProjectDocument_SourceList_Key_Tag");
constexpr int kGanttPageTag = 10;
constexpr int kResourcesPageTag = 9;
constexpr int kProjectSettingsPageTag = 12;
constexpr int kDaysOffPageTag = 14;
}

QMainWindow *DMProjectDocument::mainWindow() const
{
    return m_window.get();
}

QWidget *DMProjectDocument::windowForSheet() const
{
    return m_window.get();
}

void DMProjectDocument::makeWindowControllers()
{
    if (m_window)
        return;
    QString error;
    if (!loadProjectIfNeeded(&error))
        return;
    buildWindow();
    awakeFromNib();
}

void DMProjectDocument::showWindows()
{
    makeWindowControllers();
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void DMProjectDocument::buildWindow()
{
    auto window = std::make_unique<DMProjectDocumentWindow>();
    std::weak_ptr<DMProjectDocument> weakSelf = weak_from_this();
    window->setShouldCloseHandler([weakSelf] {
        auto self = weakSelf.lock();
        if (!self || self->m_closed)
            return true;
        if (!self->canClose())
            return false;
        self->close();
        return true;
    });
    window->setWindowTitle(displayName() + QStringLiteral("[*]"));
    window->setWindowModified(isDocumentEdited());
    window->resize(1100, 700);

    // Toolbar.
    QToolBar *toolbar = window->addToolBar(DMLocalizedString("Toolbar"));
    toolbar->setObjectName(QStringLiteral("documentToolbar"));
    toolbar->setMovable(false);
    m_outlets.todayButtonTBItem = toolbar->addAction(DMLocalizedString("Today"));
    auto *spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    auto *search = new QLineEdit(toolbar);
    search->setPlaceholderText(DMLocalizedString("Search"));
    search->setClearButtonEnabled(true);
    search->setMaximumWidth(220);
    toolbar->addWidget(search);
    m_outlets.projectViewSearchField = search;

    // Source-list column and content area.
    auto *split = new QSplitter(Qt::Horizontal, window.get());
    auto *sourceList = new QListWidget(split);
    sourceList->setObjectName(QStringLiteral("sourceListPlaceholder"));
    sourceList->setMinimumWidth(160);
    sourceList->setMaximumWidth(260);
    auto *content = new QStackedWidget(split);
    m_outlets.topLevelContentSplitSubview = content;
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({190, 900});

    buildGanttPage(content);

    // Pages that later parts of the application fill.
    auto makePage = [content](const char *name) {
        auto *page = new QWidget(content);
        page->setObjectName(QLatin1String(name));
        content->addWidget(page);
        return page;
    };
    m_outlets.projectSettingsView = makePage("projectSettingsView");
    m_outlets.stylesContainerView = makePage("stylesContainerView");
    auto *reportPage = new DMReportPage(content);
    content->addWidget(reportPage);
    m_outlets.reportContainerView = reportPage;
    m_outlets.reportWebView = reportPage->reportWebView();
    m_outlets.reportShowCostCheckbox = reportPage->reportShowCostCheckbox();
    m_outlets.reportShowCompletionCheckbox = reportPage->reportShowCompletionCheckbox();
    m_outlets.tasksByResourceReportPopUpButton = reportPage->tasksByResourceReportPopUpButton();
    m_outlets.tasksByResourceReportPopupLabel = reportPage->tasksByResourceReportPopupLabel();
    m_outlets.tasksByResourceReportMailButton = reportPage->tasksByResourceReportMailButton();
    m_outlets.tasksByResourceReportBeginDatePicker = reportPage->tasksByResourceReportBeginDatePicker();
    m_outlets.tasksByResourceReportEndDatePicker = reportPage->tasksByResourceReportEndDatePicker();
    m_outlets.itemsContainerView = makePage("itemsContainerView");
    m_outlets.daysOffSettingsController = std::make_shared<DMProjectDaysOffSettingsController>();
    content->addWidget(m_outlets.daysOffSettingsController->containerView());
    content->setCurrentWidget(m_outlets.projectContainer);

    m_outlets.projectOutlineViewMenu = new QMenu(window.get());
    window->setCentralWidget(split);
    m_window = std::move(window);
    DMMainMenu::installMenuBar(m_window.get(), this);
    restoreWindowFrame();
}

void DMProjectDocument::awakeFromNib()
{
    m_objectViewDataSource->attachToViews();
    if (m_project && m_outlets.projectView)
        m_project->displayAttributes().projectView = m_outlets.projectView;
    m_projectOutlineDS->attachToOutlineView();
    if (m_outlets.timelineView) {
        m_timelineDataSource->setProject(m_project);
        m_outlets.timelineView->setDataSource(m_timelineDataSource.get());
    }
    if (m_outlets.daysOffSettingsController)
        m_outlets.daysOffSettingsController->setDocument(this);
    applyingTaskListColumns(DMApplicationDelegate::taskListArrangedColumnDictionaries());
    applyImportedProjectAttributes();
    updateItemsArrayWithTag(DMItemsViewTag::AllArrays);
    reloadViews();
}

void DMProjectDocument::applyImportedProjectAttributes()
{
    if (!m_project)
        return;
    const bool clearRecent = m_project->attribute(kDMProject_ClearFromRecentItems).toBool();
    const bool clearFilename = m_project->attribute(kDMProject_ClearFilename).toBool();
    if (!clearRecent && !clearFilename)
        return;
    m_undoManager->disableUndoRegistration();
    if (clearRecent) {
        DMDocumentController::sharedDocumentController().removeRecentDocumentURL(m_fileURL);
        m_project->setAttribute(kDMProject_ClearFromRecentItems, QVariant());
    }
    if (clearFilename) {
        setFileURL(QString());
        m_fileType = kDocumentType;
        m_project->setAttribute(kDMProject_ClearFilename, QVariant());
        updateChangeCount(DMDocumentChangeKind::Cleared);
    }
    m_undoManager->enableUndoRegistration();
}

void DMProjectDocument::reloadViews()
{
    m_objectViewDataSource->reloadProjectOutlineAndRelayout();
    // After a revert the pane shows, and follows, the project read again.
    if (m_outlets.daysOffSettingsController)
        m_outlets.daysOffSettingsController->updateUI();
}

// ---- Pages ----

int DMProjectDocument::pageTagForViewMenuTag(int tag)
{
    switch (tag) {
    case 3001001:
        return 18;
    case 3001002:
    case 3001003:
    case 3001004:
        return 17;
    case 3001005:
        return 5;
    case 3001006:
        return 6;
    case 3001007:
        return 7;
    case 3001008:
        return 8;
    case 3002001:
        return 9;
    case 3002002:
        return 10;
    case 3002003:
        return 11;
    case 3002004:
        return 19;
    case 3002005:
        return 20;
    default:
        return 0;
    }
}

int DMProjectDocument::sourceListTree_indexOfItemWithTag(int tag) const
{
    for (qsizetype i = 0; i < m_outlets.sourceListTree.size(); ++i)
        if (m_outlets.sourceListTree.at(i).toMap().value(kSourceListKeyTag).toInt() == tag)
            return int(i);
    return -1;
}

void DMProjectDocument::viewMenuCallback(int tag)
{
    const int page = pageTagForViewMenuTag(tag);
    if (page != 0)
        showPageWithTag(page);
}

void DMProjectDocument::showPageWithTag(int tag)
{
    m_currentPageTag = tag;
    auto *content = qobject_cast<QStackedWidget *>(m_outlets.topLevelContentSplitSubview.data());
    if (tag == DMProjectDocumentReport::GlobalReportTag || tag == DMProjectDocumentReport::TasksByResourceTag
        || tag == DMProjectDocumentReport::TasksByProcessesTag) {
        if (content && m_outlets.reportContainerView)
            content->setCurrentWidget(m_outlets.reportContainerView);
        const QVariantMap span = effectiveProjectTimeSpan();
        report()->showPageWithTag(tag, span.value(kDMTimeSpanBegin).value<DMDate>(), span.value(kDMTimeSpanEnd).value<DMDate>());
        return;
    }
    if (m_report && m_report->shownPageTag() != 0)
        m_report->pageDidHide();
    if (tag == kGanttPageTag || tag == kResourcesPageTag) {
        if (m_project && m_project->attribute(kDMProject_ViewMode).toInt() != (tag == kResourcesPageTag ? 1 : 0)) {
            m_undoManager->disableUndoRegistration();
            m_project->setAttribute(kDMProject_ViewMode, tag == kResourcesPageTag ? 1 : 0);
            m_undoManager->enableUndoRegistration();
        }
        if (content && m_outlets.projectContainer)
            content->setCurrentWidget(m_outlets.projectContainer);
    } else if (tag == kProjectSettingsPageTag || tag == kDaysOffPageTag) {
        // Both pages show the working calendar's controls, which refresh.
        if (const auto &daysOff = m_outlets.daysOffSettingsController) {
            daysOff->updateUI();
            QWidget *page = tag == kDaysOffPageTag ? daysOff->containerView() : m_outlets.projectSettingsView.data();
            if (content && page)
                content->setCurrentWidget(page);
        }
    }
}

void DMProjectDocument::fileNewMenuCallback(int)
{
    // The new-item commands go to the task list (page 17) and the resource list (page 18),
    // whose controllers answer them once they exist.
}

void DMProjectDocument::viewModeDidChange()
{
    if (!m_project)
        return;
    m_project->displayAttributes().viewMode = m_project->attribute(kDMProject_ViewMode).toInt();
    // Bars of the other view mode are not the canvas's any more.
    if (m_outlets.projectView && !m_outlets.projectView->selectedObjects().isEmpty())
        m_outlets.projectView->deselectAll();
    m_projectOutlineDS->showColumnsForViewMode(DMApplicationDelegate::taskListArrangedColumnDictionaries());
    m_outlets.projectOutlineViewStateRestore = true;
    reloadViews();
    m_outlets.projectOutlineViewStateRestore = false;
}

void DMProjectDocument::applyingTaskListColumns(const QVariantList &columns)
{
    m_projectOutlineDS->applyingTaskListColumns(columns);
}

void DMProjectDocument::setTaskListColumnHidden(const QString &identifier, bool hidden)
{
    DMApplicationDelegate::setTaskListColumnHidden(identifier, hidden);
}

// ---- Window state ----

void DMProjectDocument::restoreWindowFrame()
{
    if (!m_window)
        return;
    const QVariantMap frames = DMUserDefaults::standardUserDefaults().objectForKey(kDMRecentDocumentsFrames).toMap();
    const QStringList parts = m_fileURL.isEmpty() ? QStringList() : frames.value(m_fileURL).toString().split(QLatin1Char(' '));
    if (parts.size() != 4) {
        // No stored frame: cascade from the last document window so that none hides another.
        for (const auto &document : DMDocumentController::sharedDocumentController().documents())
            if (document.get() != this && document->mainWindow() && document->mainWindow()->isVisible())
                m_window->move(document->mainWindow()->pos() + QPoint(28, 28));
        return;
    }
    bool ok[4];
    const int x = parts[0].toInt(&ok[0]);
    const int y = parts[1].toInt(&ok[1]);
    const int w = parts[2].toInt(&ok[2]);
    const int h = parts[3].toInt(&ok[3]);
    if (ok[0] && ok[1] && ok[2] && ok[3] && w >= 200 && h >= 150 && w <= 20000 && h <= 20000) {
        m_window->move(x, y);
        m_window->resize(w, h);
    }
}

QString DMProjectDocument::windowStateFilePath(const QString &documentPath)
{
    const QByteArray url = QUrl::fromLocalFile(documentPath).toString().toUtf8();
    const QString name = QString::fromLatin1(QCryptographicHash::hash(url, QCryptographicHash::Md5).toHex()) + QStringLiteral(".plist");
    return QDir(DMApplication::applicationSupportPath()).filePath(name);
}

void DMProjectDocument::saveMainWindowFrame()
{
    if (m_fileURL.isEmpty())
        return;
    if (m_window) {
        DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
        QVariantMap frames = defaults.objectForKey(kDMRecentDocumentsFrames).toMap();
        const QRect frame = m_window->geometry();
        frames.insert(m_fileURL, QStringLiteral("%1 %2 %3 %4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()));
        defaults.setObjectForKey(frames, kDMRecentDocumentsFrames);
    }
    // The column layouts of the three lists; written for the record, never read back.
    QVariantMap state;
    state.insert(QStringLiteral("projectEventsOutlineViewDS.columnStatusDictionary"), QVariantMap());
    state.insert(QStringLiteral("projectItemsOutlineViewDS.columnStatusDictionary"), QVariantMap());
    state.insert(QStringLiteral("projectResourcesOutlineViewDS.columnStatusDictionary"), QVariantMap());
    QDir().mkpath(DMApplication::applicationSupportPath());
    DMPropertyList::writePropertyListToFile(state, windowStateFilePath(m_fileURL));
}
