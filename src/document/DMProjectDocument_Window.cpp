// DMProjectDocument: the window set-up, pages and window state.
#include "DMProjectDocument.h"

#include "DMApplication.h"
#include "DMDateFormatter.h"
#include "DMDocumentController.h"
#include "DMLocalizedString.h"
#include "DMMainMenu.h"
#include "DMObjectView.h"
#include "DMPreferenceKeys.h"
#include "DMProject.h"
#include "DMProjectDocumentWindow.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMPropertyList.h"
#include "DMUndoManager.h"
#include "DMUserDefaults.h"

#include <QAction>
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
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <vector>

namespace {
const QString kSourceListKeyTag = QStringLiteral("kDMProjectDocument_SourceList_Key_Tag");
constexpr int kGanttPageTag = 10;
constexpr int kResourcesPageTag = 9;
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

    // The Gantt page: the outline beside the timeline header over the canvas.
    auto *projectContainer = new QSplitter(Qt::Horizontal, content);
    m_outlets.projectContainer = projectContainer;
    auto *outline = new QTreeWidget(projectContainer);
    outline->setObjectName(QStringLiteral("projectOutlinePlaceholder"));
    outline->setHeaderLabels({DMLocalizedString("Title"), DMLocalizedString("Begin"), DMLocalizedString("End")});
    outline->setRootIsDecorated(true);
    outline->header()->setStretchLastSection(false);
    m_outlinePlaceholder = outline;
    auto *chart = new QWidget(projectContainer);
    auto *chartLayout = new QVBoxLayout(chart);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(0);
    auto *timeline = new QLabel(chart);
    timeline->setObjectName(QStringLiteral("timelinePlaceholder"));
    timeline->setFixedHeight(48);
    timeline->setStyleSheet(QStringLiteral("background: #ececec; border-bottom: 1px solid #c0c0c0;"));
    chartLayout->addWidget(timeline);
    auto *scroll = new QScrollArea(chart);
    scroll->setObjectName(QStringLiteral("projectViewScrollArea"));
    auto *canvas = new DMObjectView;
    scroll->setWidget(canvas);
    scroll->setWidgetResizable(false);
    chartLayout->addWidget(scroll, 1);
    m_outlets.projectView = canvas;
    projectContainer->setStretchFactor(0, 0);
    projectContainer->setStretchFactor(1, 1);
    projectContainer->setSizes({320, 600});
    content->addWidget(projectContainer);

    // Pages that later parts of the application fill.
    auto makePage = [content](const char *name) {
        auto *page = new QWidget(content);
        page->setObjectName(QLatin1String(name));
        content->addWidget(page);
        return page;
    };
    m_outlets.projectSettingsView = makePage("projectSettingsView");
    m_outlets.stylesContainerView = makePage("stylesContainerView");
    m_outlets.reportContainerView = makePage("reportContainerView");
    m_outlets.itemsContainerView = makePage("itemsContainerView");
    content->setCurrentWidget(projectContainer);

    m_outlets.projectOutlineViewMenu = new QMenu(window.get());
    window->setCentralWidget(split);
    m_window = std::move(window);
    DMMainMenu::installMenuBar(m_window.get(), this);
    restoreWindowFrame();
}

void DMProjectDocument::awakeFromNib()
{
    DMObjectView *canvas = m_outlets.projectView;
    if (canvas) {
        canvas->addLayerEventPriority(0, 0);
        canvas->addLayerEventPriority(2, 2);
        canvas->addLayerEventPriority(1, 1);
        canvas->addLayerEventPriority(3, 0);
        canvas->setDatasource(this);
        canvas->setDelegate(this);
        if (m_project)
            m_project->displayAttributes().projectView = nullptr; // the Gantt canvas sets itself
    }
    applyingTaskListColumns(QVariantList());
    applyImportedProjectAttributes();
    updateItemsArrayWithTag(0);
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
        updateChangeCount(ChangeCleared);
    }
    m_undoManager->enableUndoRegistration();
}

void DMProjectDocument::reloadViews()
{
    if (m_project) {
        const QVariantMap span = effectiveProjectTimeSpan();
        DMProject_DisplayAttributes &attributes = m_project->displayAttributes();
        attributes.timeSpanBeginDate = span.value(kDMTimeSpanBegin).value<DMDate>();
        attributes.timeSpanEndDate = span.value(kDMTimeSpanEnd).value<DMDate>();
        if (m_outlets.projectView) {
            qint64 days = 0;
            qint64 seconds = 0;
            attributes.timeSpanBeginDate.getIntervalToDateDaysSeconds(attributes.timeSpanEndDate, &days, &seconds);
            const double width = qBound(200.0, double(days) * attributes.pixelsPerDay, 1.0e6);
            m_outlets.projectView->setCanvasSize(QSizeF(width, 600));
            m_outlets.projectView->resize(int(width), 600);
            m_outlets.projectView->setNeedsDisplay();
        }
    }
    reloadOutlinePlaceholder();
}

void DMProjectDocument::reloadOutlinePlaceholder()
{
    if (!m_outlinePlaceholder || !m_project)
        return;
    QTreeWidget *outline = m_outlinePlaceholder;
    outline->clear();
    const std::shared_ptr<DMDateFormatter> formatter = sharedYMDDateFormatter();
    auto rowFor = [&formatter](const DMProjectItem &item) {
        return QStringList{item.title(), formatter->stringFromDate(item.beginDate()), formatter->stringFromDate(item.endDate())};
    };
    struct Entry
    {
        const DMProjectItem *item;
        QTreeWidgetItem *parent;
    };
    std::vector<Entry> stack;
    const auto &tasks = m_project->tasks().list();
    for (auto it = tasks.crbegin(); it != tasks.crend(); ++it)
        stack.push_back({it->get(), nullptr});
    while (!stack.empty()) {
        const Entry entry = stack.back();
        stack.pop_back();
        auto *row = entry.parent ? new QTreeWidgetItem(entry.parent, rowFor(*entry.item))
                                 : new QTreeWidgetItem(outline, rowFor(*entry.item));
        row->setExpanded(true);
        const auto &children = entry.item->subitems().list();
        for (auto it = children.crbegin(); it != children.crend(); ++it)
            stack.push_back({it->get(), row});
    }
    if (!m_project->eventContainer()->events().isEmpty()) {
        auto *events = new QTreeWidgetItem(outline, QStringList{DMLocalizedString("Events")});
        for (const auto &event : m_project->eventContainer()->events())
            new QTreeWidgetItem(events, rowFor(*event));
        events->setExpanded(true);
    }
    outline->resizeColumnToContents(0);
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
    if (tag == kGanttPageTag || tag == kResourcesPageTag) {
        if (m_project && m_project->attribute(kDMProject_ViewMode).toInt() != (tag == kResourcesPageTag ? 1 : 0)) {
            m_undoManager->disableUndoRegistration();
            m_project->setAttribute(kDMProject_ViewMode, tag == kResourcesPageTag ? 1 : 0);
            m_undoManager->enableUndoRegistration();
        }
        if (auto *content = qobject_cast<QStackedWidget *>(m_outlets.topLevelContentSplitSubview.data()))
            if (m_outlets.projectContainer)
                content->setCurrentWidget(m_outlets.projectContainer);
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
    m_outlets.projectOutlineViewStateRestore = true;
    reloadViews();
    m_outlets.projectOutlineViewStateRestore = false;
}

void DMProjectDocument::applyingTaskListColumns(const QVariantList &)
{
    if (m_outlets.projectOutlineViewMenu)
        m_outlets.projectOutlineViewMenu->clear();
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
