// DMProjectDocument: the window set-up and window state.
#include "DMProjectDocument.h"

#include "DMApplication.h"
#include "DMApplicationDelegate.h"
#include "DMCollapsingSplitview.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMProjectSettingsController.h"
#include "DMDateFormatter.h"
#include "DMDelayedCall.h"
#include "DMDocumentController.h"
#include "DMLocalizedString.h"
#include "DMMainMenu.h"
#include "DMOutlineView.h"
#include "DMPageStack.h"
#include "DMYieldingSplitter.h"
#include "DMProjectEventsOutlineViewDS.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMProjectTimelineDataSource.h"
#include "DMProjectView.h"
#include "DMTimelineView.h"
#include "DMPreferenceKeys.h"
#include "DMProject.h"
#include "DMProjectDocumentWindow.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMPropertyList.h"
#include "DMReportPage.h"
#include "DMSearchField.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"
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
#include <QMenu>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// In the window-state file: the width of the outline beside the Gantt chart, and whether the
// window was maximised (the frame stored is then the one it comes back to when unmaximised).
const QString kProjectOutlineWidthKey = QStringLiteral("projectContainer.outlineWidth");
const QString kWindowMaximizedKey = QStringLiteral("mainWindow.maximized");
constexpr int kLargestOutlineWidth = 20000;
// How often, and how far apart in milliseconds, a window put back is checked for its frame.
constexpr int kFramingChecks = 20;
constexpr int kFramingCheckInterval = 50;

// The frame moved, and shrunk where it must, so that it lies in the area.
QRect fittedInto(const QRect &frame, const QRect &area)
{
    QRect fitted(frame.topLeft(), frame.size().boundedTo(area.size()));
    fitted.moveLeft(std::clamp(fitted.left(), area.left(), area.right() + 1 - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), area.top(), area.bottom() + 1 - fitted.height()));
    return fitted;
}

// The screen showing most of the frame; the primary screen when none shows any of it.
QScreen *screenShowing(const QRect &frame)
{
    QScreen *best = QGuiApplication::primaryScreen();
    qint64 largest = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry() & frame;
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (area > largest) {
            largest = area;
            best = screen;
        }
    }
    return best;
}

} // namespace

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
    // A window put back where it was has its whole frame, title bar included, brought onto the
    // screen once the window system has framed it; shown again later, it stays where the user
    // put it.
    if (std::exchange(m_windowFrameRestored, false))
        keepWindowOnScreenOnceFramed(m_window.get(), kFramingChecks);
}

void DMProjectDocument::keepWindowOnScreenOnceFramed(QWidget *window, int checks)
{
    // On the deferred-work clock, so that tests step past the checks instead of waiting.
    performAfterDelay(window, kFramingCheckInterval / 1000.0, [window, checks] {
        // A frame without margins is not there yet, or never will be (no window manager).
        if (window->frameGeometry() == window->geometry() && checks > 1)
            keepWindowOnScreenOnceFramed(window, checks - 1);
        else
            keepWindowOnScreen(window);
    });
}

void DMProjectDocument::keepWindowOnScreen(QWidget *window)
{
    if (!window || !window->isVisible() || (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QRect frame = window->frameGeometry();
    const QScreen *screen = screenShowing(frame);
    if (!screen)
        return;
    const QRect fitted = fittedInto(frame, screen->availableGeometry());
    if (fitted == frame)
        return;
    // The content is what is placed: the frame keeps its margins around it.
    const QMargins margins(window->geometry().left() - frame.left(), window->geometry().top() - frame.top(),
                           frame.right() - window->geometry().right(), frame.bottom() - window->geometry().bottom());
    window->setGeometry(fitted.marginsRemoved(margins));
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
    QObject::connect(m_outlets.todayButtonTBItem, &QAction::triggered, window.get(), [weakSelf] {
        if (auto self = weakSelf.lock(); self && self->m_objectViewDataSource)
            self->m_objectViewDataSource->scrollToDay(DMDate::dateForNow());
    });
    auto *spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    auto *search = new DMSearchField(toolbar);
    search->setObjectName(QStringLiteral("projectViewSearchField"));
    search->setMaximumWidth(220);
    search->setDataSource(this);
    m_searchFieldAction = toolbar->addWidget(search);
    m_outlets.projectViewSearchField = search;
    // Pages without the Gantt controls hide them; the toolbar keeps its height so that the
    // content below does not jump.
    toolbar->setMinimumHeight(toolbar->sizeHint().height());

    // The source list, at its fixed width or collapsed, beside the content area.
    auto *split = new DMCollapsingSplitview(Qt::Horizontal, window.get());
    split->setObjectName(QStringLiteral("sourceListSplitview"));
    split->setChildrenCollapsible(true);
    auto *sourceList = new DMOutlineView(split);
    sourceList->setObjectName(QStringLiteral("sourceListOutlineView"));
    sourceList->setFrameShape(QFrame::NoFrame);
    sourceList->setRootIsDecorated(true); // the rows' indentation; no row has children
    sourceList->setIndentation(12);
    sourceList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette sourceListPalette = sourceList->palette();
    sourceListPalette.setColor(QPalette::Base, QColor(0xe3, 0xe8, 0xee));
    sourceList->setPalette(sourceListPalette);
    sourceList->resize(190, sourceList->height());
    m_outlets.sourceListOutlineView = sourceList;
    auto *content = new DMPageStack(split);
    m_outlets.topLevelContentSplitSubview = content;
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setCollapsingView(sourceList);
    m_outlets.sourceListSplitview = split;

    buildGanttPage(content);

    // Pages of their own; the styles page is the empty page with its title.
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
    buildListPages(content);
    auto *itemsPage = new QWidget(content);
    itemsPage->setObjectName(QStringLiteral("itemsContainerView"));
    content->addWidget(itemsPage);
    m_outlets.itemsContainerView = itemsPage;
    m_itemsView->buildItemsContainerView(m_outlets.itemsContainerView);
    installDeleteKeysOnOutlines();
    m_outlets.itemsCollectionView = m_itemsView->itemsCollectionView();
    m_outlets.itemsViewSortMatrix = m_itemsView->itemsViewSortMatrix();
    m_outlets.itemsViewHeaderImageView = m_itemsView->itemsViewHeaderImageView();
    m_outlets.itemsBackButton = m_itemsView->itemsBackButton();
    m_outlets.itemsNewGroupButton = m_itemsView->itemsNewGroupButton();
    m_outlets.itemsAddButton = m_itemsView->itemsAddButton();
    m_outlets.itemsExportButton = m_itemsView->itemsExportButton();
    m_outlets.itemsImportButton = m_itemsView->itemsImportButton();
    m_outlets.daysOffSettingsController = std::make_shared<DMProjectDaysOffSettingsController>();
    content->addWidget(m_outlets.daysOffSettingsController->containerView());
    m_outlets.projectSettingsController = std::make_shared<DMProjectSettingsController>();
    m_outlets.projectSettingsView = m_outlets.projectSettingsController->containerView();
    content->addWidget(m_outlets.projectSettingsView);
    content->setCurrentWidget(m_outlets.projectContainer);

    m_outlets.projectOutlineViewMenu = new QMenu(window.get());
    window->setCentralWidget(split);
    m_window = std::move(window);
    DMMainMenu::installMenuBar(m_window.get(), this);
    restoreWindowFrame();
}

void DMProjectDocument::buildListPages(QWidget *content)
{
    auto *pages = qobject_cast<QStackedWidget *>(content);
    m_outlets.projectItemsOutlineViewDS = std::make_shared<DMProjectItemsOutlineViewDS>(*this);
    m_outlets.projectResourcesOutlineViewDS = std::make_shared<DMProjectResourcesOutlineViewDS>(*this);
    m_outlets.projectEventsOutlineViewDS = std::make_shared<DMProjectEventsOutlineViewDS>(*this);
    for (DMProjectListController *list :
         std::initializer_list<DMProjectListController *>{m_outlets.projectItemsOutlineViewDS.get(),
                                                          m_outlets.projectResourcesOutlineViewDS.get(),
                                                          m_outlets.projectEventsOutlineViewDS.get()}) {
        list->loadView();
        if (pages)
            pages->addWidget(list->containerView());
    }
    m_outlets.projectItemsOutlineViewDS->containerView()->setObjectName(QStringLiteral("projectItemsOutlineView"));
    m_outlets.projectResourcesOutlineViewDS->containerView()->setObjectName(QStringLiteral("projectResourcesOutlineView"));
    m_outlets.projectEventsOutlineViewDS->containerView()->setObjectName(QStringLiteral("projectEventsOutlineView"));
}

void DMProjectDocument::installDeleteKeysOnOutlines()
{
    // The items view's cards as well: Delete removes the selected card.
    for (QWidget *outline : std::initializer_list<QWidget *>{
             m_outlets.projectOutlineView, m_outlets.projectItemsOutlineViewDS->outlineView(),
             m_outlets.projectResourcesOutlineViewDS->outlineView(), m_outlets.projectEventsOutlineViewDS->outlineView(),
             m_itemsView->itemsCollectionView()}) {
        if (!outline)
            continue;
        for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
            // Only while the outline itself has the keyboard: an editor open in a cell keeps
            // its own Delete.
            auto *shortcut = new QShortcut(QKeySequence(key), outline, this, [this] { deleteSelectionOfShownPage(); },
                                           Qt::WidgetShortcut);
            shortcut->setAutoRepeat(false);
        }
    }
}

void DMProjectDocument::reloadListOutlines()
{
    // Only the list shown: the others reload when their page is shown.
    for (DMProjectListController *list :
         std::initializer_list<DMProjectListController *>{m_outlets.projectItemsOutlineViewDS.get(),
                                                          m_outlets.projectResourcesOutlineViewDS.get(),
                                                          m_outlets.projectEventsOutlineViewDS.get()})
        if (list && list->containerView() && list->containerView()->isVisible())
            list->reload();
}

void DMProjectDocument::redisplayEditedValues()
{
    // The outline and the lists ask for their values while they draw: drawing their rows again
    // shows the edited values, and nothing else needs to be rebuilt.
    for (DMOutlineView *outline : {m_outlets.projectOutlineView.data(),
                                   m_outlets.projectItemsOutlineViewDS ? m_outlets.projectItemsOutlineViewDS->outlineView() : nullptr,
                                   m_outlets.projectResourcesOutlineViewDS ? m_outlets.projectResourcesOutlineViewDS->outlineView() : nullptr,
                                   m_outlets.projectEventsOutlineViewDS ? m_outlets.projectEventsOutlineViewDS->outlineView() : nullptr})
        if (outline)
            outline->viewport()->update();
    if (m_itemsView)
        m_itemsView->projectWasEdited();
}

void DMProjectDocument::reloadTaskListOutline()
{
    if (m_outlets.projectItemsOutlineViewDS)
        m_outlets.projectItemsOutlineViewDS->reload();
}

QString DMProjectDocument::dragPayloadDocumentToken() const
{
    return m_projectOutlineDS ? m_projectOutlineDS->documentToken() : QString();
}

void DMProjectDocument::projectListDidChangeProject()
{
    // The outline's rows, then every bar on its row, at once; the other lists show the change.
    m_objectViewDataSource->reloadProjectOutlineAndRelayout();
    reloadListOutlines();
}

void DMProjectDocument::awakeFromNib()
{
    m_objectViewDataSource->attachToViews();
    if (m_project && m_outlets.projectView)
        m_project->displayAttributes().projectView = m_outlets.projectView;
    m_projectOutlineDS->attachToOutlineView();
    m_sourceListDS->attachToOutlineView();
    if (m_outlets.timelineView) {
        m_timelineDataSource->setProject(m_project);
        m_outlets.timelineView->setDataSource(m_timelineDataSource.get());
    }
    if (m_outlets.daysOffSettingsController)
        m_outlets.daysOffSettingsController->setDocument(this);
    if (m_outlets.projectSettingsController)
        m_outlets.projectSettingsController->setDocument(this);
    applyingTaskListColumns(DMApplicationDelegate::taskListArrangedColumnDictionaries());
    applyImportedProjectAttributes();
    updateItemsArrayWithTag(DMPage::AllItemsArrays);
    reloadViews();
    // The Gantt area in the project's own mode; the reports' mode would leave it empty.
    const bool byResources =
        m_project && m_project->attribute(kDMProject_ViewMode).toInt() == kDMProjectViewMode_Resources;
    showPageWithTag(byResources ? DMPage::ByResourcesPage : DMPage::GanttPage);
}

void DMProjectDocument::applyImportedProjectAttributes()
{
    if (!m_project)
        return;
    const bool clearRecent = m_project->attribute(kDMProject_ClearFromRecentItems).toBool();
    const bool clearFilename = m_project->attribute(kDMProject_ClearFilename).toBool();
    if (!clearRecent && !clearFilename)
        return;
    const DMUndoRegistrationPause pause(m_undoManager.get());
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
}

void DMProjectDocument::reloadViews()
{
    m_objectViewDataSource->reloadProjectOutlineAndRelayout();
    reloadListOutlines();
    // After a revert the settings pages show, and follow, the project read again.
    if (m_outlets.daysOffSettingsController)
        m_outlets.daysOffSettingsController->updateUI();
    if (m_outlets.projectSettingsController)
        m_outlets.projectSettingsController->updateUI();
}

// ---- View modes and columns ----

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
    const QVariantMap state = m_fileURL.isEmpty()
                                  ? QVariantMap()
                                  : DMPropertyList::propertyListWithContentsOfFile(windowStateFilePath(m_fileURL)).toMap();
    restoreProjectContainerSplit(state);
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
    if (!(ok[0] && ok[1] && ok[2] && ok[3] && w >= 200 && h >= 150 && w <= 20000 && h <= 20000))
        return;
    // The frame stored is the window's content, where it was put back: on a screen, whole.
    const QRect stored(x, y, w, h);
    const QScreen *screen = screenShowing(stored);
    m_window->setGeometry(screen ? fittedInto(stored, screen->availableGeometry()) : stored);
    m_windowFrameRestored = true;
    if (state.value(kWindowMaximizedKey).toBool())
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
}

void DMProjectDocument::restoreProjectContainerSplit(const QVariantMap &state)
{
    auto *split = qobject_cast<DMYieldingSplitter *>(m_outlets.projectContainer.data());
    if (!split || split->count() != 2 || m_fileURL.isEmpty())
        return;
    bool ok = false;
    const int width = state.value(kProjectOutlineWidthKey).toInt(&ok);
    if (!ok || width < 0 || width > kLargestOutlineWidth)
        return;
    // The chart takes the rest; it grows and shrinks with the window, the outline keeps its width
    // while there is room for it.
    split->setGivenFirstLength(width);
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
    const bool isMaximized = m_window && (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    if (m_window) {
        DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
        QVariantMap frames = defaults.objectForKey(kDMRecentDocumentsFrames).toMap();
        // The content's place and size; a maximised window's is the one it had before.
        const QRect frame = isMaximized ? m_window->normalGeometry() : m_window->geometry();
        frames.insert(m_fileURL, QStringLiteral("%1 %2 %3 %4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()));
        defaults.setObjectForKey(frames, kDMRecentDocumentsFrames);
    }
    // The column layouts of the three lists; written for the record, never read back.
    const auto status = [](const auto &list) { return list ? list->columnStatusDictionary() : QVariantMap(); };
    QVariantMap state;
    state.insert(QStringLiteral("projectEventsOutlineViewDS.columnStatusDictionary"), status(m_outlets.projectEventsOutlineViewDS));
    state.insert(QStringLiteral("projectItemsOutlineViewDS.columnStatusDictionary"), status(m_outlets.projectItemsOutlineViewDS));
    state.insert(QStringLiteral("projectResourcesOutlineViewDS.columnStatusDictionary"),
                 status(m_outlets.projectResourcesOutlineViewDS));
    // The outline's width beside the chart, read back when the document's window opens again.
    if (const auto *split = qobject_cast<DMYieldingSplitter *>(m_outlets.projectContainer.data()); split && split->count() == 2)
        state.insert(kProjectOutlineWidthKey, split->givenFirstLength());
    state.insert(kWindowMaximizedKey, isMaximized);
    QDir().mkpath(DMApplication::applicationSupportPath());
    DMPropertyList::writePropertyListToFile(state, windowStateFilePath(m_fileURL));
}
