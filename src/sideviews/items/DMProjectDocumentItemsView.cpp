// DMProjectDocumentItemsView: the page, its arrays and their orders, and the refresh of the
// collection view.
#include "DMProjectDocumentItemsView.h"

#include "DMCollectionView.h"
#include "DMCollectionViewItem.h"
#include "DMItemBackgroundView.h"
#include "DMItemsViewDependenciesItem.h"
#include "DMItemsViewDocument.h"
#include "DMItemsViewDocumentsItem.h"
#include "DMItemsViewEventsItem.h"
#include "DMItemsViewMilestonesItem.h"
#include "DMItemsViewProcessesItem.h"
#include "DMItemsViewResourcesItem.h"
#include "DMItemsViewSorting.h"
#include "DMItemsViewTasksItem.h"
#include "DMItemsViewTodoItem.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMProjectTodoEditorController.h"
#include "DMStringAdditions.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSortColumns = 7;

template <typename T, typename Compare>
QList<DMItemsViewObject> sortedEntries(QList<std::shared_ptr<T>> objects, Compare compare, int mode)
{
    std::stable_sort(objects.begin(), objects.end(),
                     [&](const auto &a, const auto &b) { return compare(*a, *b, mode) < 0; });
    QList<DMItemsViewObject> entries;
    entries.reserve(objects.size());
    for (const auto &object : objects)
        entries.append({object, nullptr});
    return entries;
}

// The separators of the documents' sections and of the to-do categories head a section of cards.
bool headsSection(const DMItemsViewObject &entry)
{
    if (entry.row)
        return entry.row->value(kDMItemsViewDocumentItem_Separator).toBool();
    const auto todo = std::dynamic_pointer_cast<DMProjectTodo>(entry.object);
    return todo && todo->isSeparator();
}

bool isTaskArrayTag(int tag)
{
    return tag == DMPage::ItemsTasksPage || tag == DMPage::ItemsMilestonesPage || tag == DMPage::ItemsProcessesPage
           || tag == DMPage::ItemsLinksPage;
}

} // namespace

DMProjectDocumentItemsView::DMProjectDocumentItemsView(DMItemsViewDocument &document) : m_document(document)
{
    m_rebuildTimer.setSingleShot(true);
    m_rebuildTimer.setInterval(0);
    connect(&m_rebuildTimer, &QTimer::timeout, this, [this] {
        const QList<int> tags = std::exchange(m_pendingRebuilds, {});
        for (int tag : tags)
            updateItemsArrayWithTag(tag);
        if (std::any_of(tags.begin(), tags.end(), [this](int tag) { return pageShowsArrayWithTag(pageTag(), tag); }))
            updateItemsViewContentsArray();
    });
}

DMProjectDocumentItemsView::~DMProjectDocumentItemsView()
{
    if (m_collectionView)
        m_collectionView->setDragOperationDelegate(nullptr);
}

// ---- The page ----

void DMProjectDocumentItemsView::buildItemsContainerView(QWidget *container)
{
    if (m_container || !container)
        return;
    m_container = container;
    auto *layout = new QVBoxLayout(container);
    layout->setContentsMargins(8, 8, 8, 8);

    auto *top = new QHBoxLayout;
    m_backButton = new QPushButton(DMLocalizedString("Back"), container);
    m_headerImageView = new QLabel(container);
    QFont headerFont = m_headerImageView->font();
    headerFont.setPointSize(16);
    headerFont.setBold(true);
    m_headerImageView->setFont(headerFont);
    m_addButton = new QPushButton(DMLocalizedString("New"), container);
    m_newGroupButton = new QPushButton(DMLocalizedString("New Group"), container);
    m_deleteButton = new QPushButton(DMLocalizedString("Delete"), container);
    m_editButton = new QPushButton(DMLocalizedString("Edit"), container);
    m_editButton->setToolTip(DMLocalizedString("Edit the selected card in its inspector or editor, or open the selected documents"));
    m_exportButton = new QPushButton(DMLocalizedString("Export..."), container);
    m_importButton = new QPushButton(DMLocalizedString("Import..."), container);
    top->addWidget(m_backButton);
    top->addWidget(m_headerImageView, 1);
    for (QPushButton *button : {m_addButton.data(), m_newGroupButton.data(), m_deleteButton.data(), m_editButton.data(),
                                m_exportButton.data(), m_importButton.data()})
        top->addWidget(button);
    layout->addLayout(top);

    m_sortMatrix = new QWidget(container);
    m_sortButtons = new QButtonGroup(m_sortMatrix);
    m_sortButtons->setExclusive(true);
    for (int column = 0; column < kSortColumns; ++column) {
        auto *button = new QPushButton(m_sortMatrix);
        button->setCheckable(true);
        m_sortButtons->addButton(button, column);
    }
    m_sortMatrix->setFixedHeight(26);
    layout->addWidget(m_sortMatrix, 0, Qt::AlignLeft);

    m_collectionView = new DMCollectionView(container);
    m_collectionView->setObjectName(QStringLiteral("itemsCollectionView"));
    layout->addWidget(m_collectionView, 1);
    // Tells the buttons at once that no card is selected.
    m_collectionView->setDragOperationDelegate(this);
    // The to-do editor of a card merely selected leaves the keyboard to the cards: Escape there
    // closes it, as it does inside the editor.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_collectionView, nullptr, nullptr, Qt::WidgetShortcut);
    connect(escape, &QShortcut::activated, this, [] { DMProjectTodoEditorController::sharedInstance()->close(); });

    connect(m_backButton, &QPushButton::clicked, this, &DMProjectDocumentItemsView::itemsViewBack);
    connect(m_addButton, &QPushButton::clicked, this, &DMProjectDocumentItemsView::itemsViewNew);
    connect(m_newGroupButton, &QPushButton::clicked, this, &DMProjectDocumentItemsView::itemsViewNewGroup);
    connect(m_deleteButton, &QPushButton::clicked, this, &DMProjectDocumentItemsView::itemsViewDelete);
    connect(m_editButton, &QPushButton::clicked, this, &DMProjectDocumentItemsView::itemsViewEdit);
    connect(m_exportButton, &QPushButton::clicked, this, &DMProjectDocumentItemsView::itemsViewResourcesExport);
    connect(m_importButton, &QPushButton::clicked, this, &DMProjectDocumentItemsView::itemsViewResourcesImport);
    connect(m_sortButtons, &QButtonGroup::idClicked, this, &DMProjectDocumentItemsView::itemsViewSortMatrixCallback);
    connect(m_collectionView, &DMCollectionView::selectionIndexesChanged, this,
            &DMProjectDocumentItemsView::itemsCollectionViewSelectionDidChange);

    // The resource inspector is shared by every document: only a move in this project's
    // resources concerns this view.
    m_resourceInspectorConnection =
        connect(DMProjectResourceEditorController::sharedInstance(), &DMProjectResourceEditorController::resourceGroupOpened,
                this, [this](const std::shared_ptr<DMProject> &project, const std::shared_ptr<DMProjectResource> &group) {
                    if (project && project == m_document.project())
                        itemsViewResourceGroupOpen(group);
                });
    setItemsViewSortingModesMatrixArray({});
}

void DMProjectDocumentItemsView::detachFromWindow()
{
    disconnect(m_resourceInspectorConnection);
    m_projectObservations.clear();
    m_rebuildTimer.stop();
    if (m_collectionView) {
        m_collectionView->setDragOperationDelegate(nullptr);
        m_collectionView->setItemPrototype(nullptr, nullptr);
    }
}

void DMProjectDocumentItemsView::projectDidChange()
{
    m_editedResourceGroup.reset();
    observeProject();
}

// Lists whose changes reach no other path to this view: the project's resources, top-level
// items, events and arranged to-dos. Their changes are coalesced into one rebuild.
void DMProjectDocumentItemsView::observeProject()
{
    m_projectObservations.clear();
    const auto project = m_document.project();
    if (!project)
        return;
    const auto rebuild = [this](int tag) {
        return [this, tag](const DMChange &, DMObservable *) { scheduleRebuild(tag); };
    };
    m_projectObservations.push_back(project->observe(DMProjectKey::resources, rebuild(DMPage::ItemsResourcesPage)));
    m_projectObservations.push_back(project->observe(DMProjectKey::tasks, rebuild(DMPage::ItemsTasksPage)));
    m_projectObservations.push_back(project->eventContainer()->observe(DMProjectKey::events, rebuild(DMPage::EventsPage)));
    m_projectObservations.push_back(
        project->todoContainer()->observe(DMProjectKey::arrangedObjects, rebuild(DMPage::ItemsToDoPage)));
    m_projectObservations.push_back(project->observe(QStringLiteral("attributes.") + kDMProject_AttachedDocuments,
                                                     rebuild(DMPage::DocumentsPage)));
}

void DMProjectDocumentItemsView::projectWasEdited()
{
    // The documents array reads the items' attachment lists and titles, which no observer
    // follows: every edit, undo or redo builds it again (and with it the source list's badge).
    // A project without attached files, whose array lists none, spares the walk over its items.
    const auto project = m_document.project();
    const bool nothingAttached = !project || project->attribute(kDMProject_AttachedDocumentsTable).toMap().isEmpty();
    if (nothingAttached && m_arrays.value(DMPage::DocumentsPage).size() <= 2)
        return;
    scheduleRebuild(DMPage::DocumentsPage);
}

bool DMProjectDocumentItemsView::pageShowsArrayWithTag(int page, int tag)
{
    const auto tasksAndLinks = [](int t) {
        return t == DMPage::ItemsTasksPage || t == DMPage::ItemsMilestonesPage || t == DMPage::ItemsProcessesPage
            || t == DMPage::ItemsLinksPage;
    };
    if (!DMPage_showsItemsView(page))
        return false;
    return tag == DMPage::AllItemsArrays || tag == page || (tasksAndLinks(tag) && tasksAndLinks(page));
}

void DMProjectDocumentItemsView::scheduleRebuild(int tag)
{
    if (!m_pendingRebuilds.contains(tag))
        m_pendingRebuilds.append(tag);
    // Started once: a later request joins the pending rebuild instead of putting it off.
    if (!m_rebuildTimer.isActive())
        m_rebuildTimer.start();
}

int DMProjectDocumentItemsView::pageTag() const
{
    return m_document.itemsViewSelectedPageTag();
}

int DMProjectDocumentItemsView::sortingModeForTag(int tag) const
{
    const auto project = m_document.project();
    if (!project)
        return 0;
    if (tag == DMPage::ItemsToDoPage)
        return project->todoContainer()->sortingMode();
    return project->attribute(kDMProject_ItemsViewSortingModes).toMap().value(DMProjectDocument_SourceListItemsTagToString(tag)).toInt();
}

// ---- Arrays ----

void DMProjectDocumentItemsView::updateItemsArrayWithTag(int tag)
{
    switch (tag) {
    case DMPage::AllItemsArrays:
        updateItemsArrayForResources();
        m_taskArraysStale = true;
        m_staleTaskArrayCounts.clear();
        if (isTaskArrayTag(pageTag()))
            updateItemsArraysForTasksAndDependencies();
        updateItemsArrayForToDo();
        updateItemsArrayForEvents();
        updateItemsArrayForDocuments();
        break;
    case DMPage::ItemsResourcesPage:
        updateItemsArrayForResources();
        break;
    case DMPage::ItemsTasksPage:
    case DMPage::ItemsMilestonesPage:
    case DMPage::ItemsProcessesPage:
    case DMPage::ItemsLinksPage:
        m_taskArraysStale = true;
        m_staleTaskArrayCounts.clear();
        if (isTaskArrayTag(pageTag()))
            updateItemsArraysForTasksAndDependencies();
        break;
    case DMPage::ItemsToDoPage:
        updateItemsArrayForToDo();
        break;
    case DMPage::EventsPage:
        updateItemsArrayForEvents();
        break;
    case DMPage::DocumentsPage:
        updateItemsArrayForDocuments();
        break;
    default:
        return;
    }
    m_document.reloadSourceList();
}

QList<DMItemsViewObject> DMProjectDocumentItemsView::itemsArrayWithTag(int tag)
{
    if (m_taskArraysStale && isTaskArrayTag(tag))
        updateItemsArraysForTasksAndDependencies();
    return m_arrays.value(tag);
}

int DMProjectDocumentItemsView::itemsCountWithTag(int tag)
{
    if (!m_taskArraysStale || !isTaskArrayTag(tag))
        return int(m_arrays.value(tag).size());
    if (m_staleTaskArrayCounts.isEmpty()) {
        int tasks = 0, milestones = 0, processes = 0, links = 0;
        if (const auto project = m_document.project())
            DMProjectItem_forEachItem(project->tasks().list(), [&](const DMProjectItem &item) {
                tasks += item.kind() == kDMProjectItem_Kind_Task ? 1 : 0;
                milestones += item.kind() == kDMProjectItem_Kind_Milestone ? 1 : 0;
                processes += item.kind() == kDMProjectItem_Kind_Process ? 1 : 0;
                links += int(item.outboundDependencies().size());
            });
        m_staleTaskArrayCounts = {{DMPage::ItemsTasksPage, tasks},
                                  {DMPage::ItemsMilestonesPage, milestones},
                                  {DMPage::ItemsProcessesPage, processes},
                                  {DMPage::ItemsLinksPage, links}};
    }
    return m_staleTaskArrayCounts.value(tag);
}

void DMProjectDocumentItemsView::updateAllItemsArrays()
{
    updateItemsArrayForDocuments();
    updateItemsArrayForToDo();
}

void DMProjectDocumentItemsView::updateItemsArraysForTasksAndDependencies()
{
    m_taskArraysStale = false;
    const auto project = m_document.project();
    QList<std::shared_ptr<DMProjectItem>> tasks, milestones, processes;
    QList<std::shared_ptr<DMProjectDependency>> links;
    if (project) {
        DMProjectItem_forEachItem(project->tasks().list(), [&](DMProjectItem &item) {
            const auto shared = std::static_pointer_cast<DMProjectItem>(item.shared_from_this());
            switch (item.kind()) {
            case kDMProjectItem_Kind_Task:
                tasks.append(shared);
                break;
            case kDMProjectItem_Kind_Milestone:
                milestones.append(shared);
                break;
            case kDMProjectItem_Kind_Process:
                processes.append(shared);
                break;
            default:
                break;
            }
            for (const auto &link : item.outboundDependencies())
                links.append(link);
        });
    }
    m_arrays.insert(DMPage::ItemsTasksPage, sortedEntries(tasks, DMProjectDocument_ItemsView_TasksSortFunction,
                                                          sortingModeForTag(DMPage::ItemsTasksPage)));
    m_arrays.insert(DMPage::ItemsMilestonesPage, sortedEntries(milestones, DMProjectDocument_ItemsView_MilestonesSortFunction,
                                                               sortingModeForTag(DMPage::ItemsMilestonesPage)));
    m_arrays.insert(DMPage::ItemsProcessesPage, sortedEntries(processes, DMProjectDocument_ItemsView_ProcessesSortFunction,
                                                              sortingModeForTag(DMPage::ItemsProcessesPage)));
    m_arrays.insert(DMPage::ItemsLinksPage, sortedEntries(links, DMProjectDocument_ItemsView_DependenciesSortFunction,
                                                          sortingModeForTag(DMPage::ItemsLinksPage)));
}

void DMProjectDocumentItemsView::updateItemsArrayForResources()
{
    const auto project = m_document.project();
    QList<std::shared_ptr<DMProjectResource>> resources;
    m_resourcesCount = 0;
    if (project) {
        // A group deleted since it was opened is gone: the page shows the top level again.
        auto group = m_editedResourceGroup.lock();
        if (group && !group->isAttached()) {
            m_editedResourceGroup.reset();
            group.reset();
        }
        const auto &list = group ? group->subitems() : project->resources();
        for (const auto &resource : list)
            resources.append(resource);
        std::function<void(const DMProjectResource::ResourceList &)> count = [&](const DMProjectResource::ResourceList &level) {
            for (const auto &resource : level) {
                if (!resource->isGroup())
                    ++m_resourcesCount;
                count(resource->subitems());
            }
        };
        count(project->resources());
    }
    m_arrays.insert(DMPage::ItemsResourcesPage, sortedEntries(resources, DMProjectDocument_ItemsView_ResourcesSortFunction,
                                                              sortingModeForTag(DMPage::ItemsResourcesPage)));
}

void DMProjectDocumentItemsView::updateItemsArrayForEvents()
{
    const auto project = m_document.project();
    QList<std::shared_ptr<DMProjectEvent>> events;
    if (project)
        for (const auto &event : project->eventContainer()->events())
            events.append(event);
    m_arrays.insert(DMPage::EventsPage, sortedEntries(events, DMProjectDocument_ItemsView_EventsSortFunction,
                                                      sortingModeForTag(DMPage::EventsPage)));
}

void DMProjectDocumentItemsView::updateItemsArrayForToDo()
{
    const auto project = m_document.project();
    QList<DMItemsViewObject> entries;
    if (project)
        for (const auto &todo : project->todoContainer()->arrangedObjects())
            entries.append({todo, nullptr});
    m_arrays.insert(DMPage::ItemsToDoPage, entries);
}

std::shared_ptr<QVariantMap> DMProjectDocumentItemsView::documentsSeparator(bool projectSeparator)
{
    std::shared_ptr<QVariantMap> &separator = projectSeparator ? m_projectSeparator : m_tasksSeparator;
    if (!separator)
        separator = std::make_shared<QVariantMap>(QVariantMap{
            {kDMItemsViewDocumentItem_Name, projectSeparator ? DMLocalizedString("Project") : DMLocalizedString("Tasks")},
            {kDMItemsViewDocumentItem_Separator, true},
            {kDMItemsViewDocumentItem_SeparatorCollapsed, false}});
    return separator;
}

QString DMProjectDocumentItemsView::pathForDocumentRow(const QVariantMap &row) const
{
    const auto project = m_document.project();
    if (!project || row.value(kDMItemsViewDocumentItem_Separator).toBool())
        return {};
    const QVariantMap table = project->attribute(kDMProject_AttachedDocumentsTable).toMap();
    const QString key = row.value(kDMItemsViewDocumentItem_AttachedDocumentsTableKey).toString();
    if (!table.contains(key))
        return {};
    const QVariantMap record = table.value(key).toMap();
    const QString path = record.value(kDMProject_AttachedDocument_Path).toString();
    if (record.value(kDMProject_AttachedDocument_PendingAttachment).toBool())
        return path;
    // A stored name is a name inside "Documents", never a way out of it.
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name != path || name == QLatin1String("..") || name == QLatin1String("."))
        return {};
    const QString folder = m_document.itemsViewDocumentsFolderPath();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

std::shared_ptr<QVariantMap> DMProjectDocumentItemsView::documentRow(const QVariantMap &record, const QString &tableKey,
                                                                     bool attachedToProject, const QString &) const
{
    auto row = std::make_shared<QVariantMap>();
    row->insert(kDMItemsViewDocumentItem_AttachedDocumentsTableKey, tableKey);
    const QString path = pathForDocumentRow(*row);
    const QFileInfo info(path);
    static QFileIconProvider icons;
    const QString storedName = record.value(kDMProject_AttachedDocument_Path).toString();
    row->insert(kDMItemsViewDocumentItem_Icon, path.isEmpty() ? QIcon() : icons.icon(info));
    row->insert(kDMItemsViewDocumentItem_Name, QFileInfo(path.isEmpty() ? storedName : path).fileName());
    row->insert(kDMItemsViewDocumentItem_Size, dataStringForValue(0, double(std::max<qint64>(0, info.size()))));
    row->insert(kDMItemsViewDocumentItem_FileSize, QVariant::fromValue<quint64>(quint64(std::max<qint64>(0, info.size()))));
    const QString suffix = info.suffix();
    row->insert(kDMItemsViewDocumentItem_Kind,
                suffix.isEmpty() ? QString() : QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment());
    row->insert(kDMItemsViewDocumentItem_Info, QString());
    row->insert(kDMItemsViewDocumentItem_Separator, false);
    row->insert(kDMItemsViewDocumentItem_AttachedToProject, attachedToProject);
    return row;
}

void DMProjectDocumentItemsView::updateItemsArrayForDocuments()
{
    const auto project = m_document.project();
    const auto projectSeparator = documentsSeparator(true);
    const auto tasksSeparator = documentsSeparator(false);
    QList<DMItemsViewObject> entries;
    const int mode = sortingModeForTag(DMPage::DocumentsPage);
    const auto sortRowsByMode = [mode](QList<std::shared_ptr<QVariantMap>> &rows) {
        std::stable_sort(rows.begin(), rows.end(), [mode](const auto &a, const auto &b) {
            return DMProjectDocument_ItemsView_DocumentsSortFunction(*a, *b, mode) < 0;
        });
    };
    const QString folder = m_document.itemsViewDocumentsFolderPath();
    const QVariantMap table = project ? project->attribute(kDMProject_AttachedDocumentsTable).toMap() : QVariantMap();

    entries.append({nullptr, projectSeparator});
    if (project && !projectSeparator->value(kDMItemsViewDocumentItem_SeparatorCollapsed).toBool()) {
        QList<std::shared_ptr<QVariantMap>> rows;
        for (const QVariant &key : project->attribute(kDMProject_AttachedDocuments).toList())
            if (table.contains(key.toString()))
                rows.append(documentRow(table.value(key.toString()).toMap(), key.toString(), true, folder));
        sortRowsByMode(rows);
        for (const auto &row : rows)
            entries.append({nullptr, row});
    }
    entries.append({nullptr, tasksSeparator});
    if (project && !tasksSeparator->value(kDMItemsViewDocumentItem_SeparatorCollapsed).toBool()) {
        QList<std::shared_ptr<QVariantMap>> rows;
        QHash<QString, std::shared_ptr<QVariantMap>> byKey;
        DMProjectItem_forEachItem(project->tasks().list(), [&](DMProjectItem &item) {
            for (const QVariant &value : item.attribute(kDMProjectItem_AttachedDocuments).toList()) {
                const QString key = value.toString();
                if (!table.contains(key))
                    continue;
                if (auto row = byKey.value(key)) {
                    row->insert(kDMItemsViewDocumentItem_Info,
                                row->value(kDMItemsViewDocumentItem_Info).toString() + QStringLiteral(", ") + item.title());
                    continue;
                }
                auto row = documentRow(table.value(key).toMap(), key, false, folder);
                row->insert(kDMItemsViewDocumentItem_Info, item.title());
                byKey.insert(key, row);
                rows.append(row);
            }
        });
        sortRowsByMode(rows);
        for (const auto &row : rows)
            entries.append({nullptr, row});
    }
    m_arrays.insert(DMPage::DocumentsPage, entries);
}

// ---- Contents ----

std::unique_ptr<DMItemsViewItem> DMProjectDocumentItemsView::makeCard(int tag)
{
    DMCollectionView *view = m_collectionView;
    switch (tag) {
    case DMPage::ItemsResourcesPage:
        return std::make_unique<DMItemsViewResourcesItem>(m_document, view);
    case DMPage::ItemsTasksPage:
        return std::make_unique<DMItemsViewTasksItem>(m_document, view);
    case DMPage::ItemsMilestonesPage:
        return std::make_unique<DMItemsViewMilestonesItem>(m_document, view);
    case DMPage::ItemsProcessesPage:
        return std::make_unique<DMItemsViewProcessesItem>(m_document, view);
    case DMPage::ItemsToDoPage:
        return std::make_unique<DMItemsViewTodoItem>(m_document, view);
    case DMPage::EventsPage:
        return std::make_unique<DMItemsViewEventsItem>(m_document, view);
    case DMPage::DocumentsPage: {
        // The card asks this view, and no other, to open its row or rebuild the page.
        auto card = std::make_unique<DMItemsViewDocumentsItem>(m_document, view);
        connect(card.get(), &DMItemsViewDocumentsItem::separatorToggled, this,
                &DMProjectDocumentItemsView::documentsSeparatorToggled);
        connect(card.get(), &DMItemsViewDocumentsItem::openRequested, this, &DMProjectDocumentItemsView::documentsOpenFile);
        return card;
    }
    case DMPage::ItemsLinksPage:
        return std::make_unique<DMItemsViewDependenciesItem>(m_document, view);
    default:
        return nullptr;
    }
}

void DMProjectDocumentItemsView::updateItemsViewContentsArray()
{
    const int tag = pageTag();
    if (tag == DMPage::NoPage || !m_collectionView)
        return;
    // A refresh of the same page keeps the selected objects that are still shown.
    QList<DMItemsViewObject> selected;
    if (tag == m_contentsTag)
        for (int index : m_collectionView->selectionIndexes())
            if (index < m_contents.size())
                selected.append(m_contents.at(index));
    const qsizetype editedTodoIndex = tag == m_contentsTag ? indexOfEditedTodo() : -1;
    m_contents.clear();
    if (DMPage_isItemsViewKind(tag)) {
        if (tag != m_contentsTag) {
            // The page's card: its size sets the grid's; new cards come from it.
            const auto prototype = makeCard(tag);
            m_collectionView->setMinItemSize(prototype->cardSize());
            m_collectionView->setMaxItemSize(QSize(100000, prototype->cardSize().height()));
            m_collectionView->setItemPrototype([this, tag]() -> std::unique_ptr<DMCollectionViewItem> { return makeCard(tag); },
                                               [this](DMCollectionViewItem &item, int index) {
                                                   static_cast<DMItemsViewItem &>(item).setRepresentedObject(
                                                       index >= 0 && index < m_contents.size() ? m_contents.at(index)
                                                                                                : DMItemsViewObject());
                                               });
        }
        m_contents = itemsArrayWithTag(tag);
    }
    m_contentsTag = tag;
    QList<int> headings;
    for (qsizetype index = 0; index < m_contents.size(); ++index)
        if (headsSection(m_contents.at(index)))
            headings.append(int(index));
    m_collectionView->setContentCount(int(m_contents.size()), headings);
    QList<int> reselected;
    for (const DMItemsViewObject &object : selected)
        if (const qsizetype index = m_contents.indexOf(object); index >= 0)
            reselected.append(int(index));
    if (!reselected.isEmpty()) {
        const QSignalBlocker quiet(m_collectionView);
        m_collectionView->setSelectionIndexes(reselected);
    }
    repointTodoEditorIfItsCardMoved(editedTodoIndex);
    closeTodoEditorIfItsTodoWent();

    if (m_backButton)
        m_backButton->setVisible(tag == DMPage::ItemsResourcesPage && !m_editedResourceGroup.expired());
    if (m_newGroupButton)
        m_newGroupButton->setVisible(tag == DMPage::ItemsResourcesPage);
    if (m_exportButton)
        m_exportButton->setVisible(tag == DMPage::ItemsResourcesPage);
    if (m_importButton)
        m_importButton->setVisible(tag == DMPage::ItemsResourcesPage);
    if (m_addButton)
        m_addButton->setEnabled(tag != DMPage::ItemsLinksPage);
    if (m_headerImageView) {
        static const char *const titles[] = {"Resources", "Tasks", "Milestones", "Processes", "To Do", "Events", "Documents", "Links"};
        QString title = DMPage_isItemsViewKind(tag) ? DMLocalizedString(titles[tag - DMPage::ItemsResourcesPage]) : QString();
        if (const auto group = m_editedResourceGroup.lock(); group && tag == DMPage::ItemsResourcesPage)
            title += QStringLiteral(" \u203a ") + group->name();
        m_headerImageView->setText(title);
    }
    setItemsViewSortingModesMatrixArray(DMProjectDocument_SourceListItemsSortingModesForTag(tag));
    if (QAbstractButton *button = m_sortButtons ? m_sortButtons->button(sortingModeForTag(tag)) : nullptr)
        button->setChecked(true);
}

qsizetype DMProjectDocumentItemsView::indexOfEditedTodo() const
{
    if (m_contentsTag != DMPage::ItemsToDoPage)
        return -1;
    const DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    const auto todo = editor->editedObject();
    if (!todo || !editor->isShown())
        return -1;
    return m_contents.indexOf(DMItemsViewObject{todo, nullptr});
}

void DMProjectDocumentItemsView::repointTodoEditorIfItsCardMoved(qsizetype oldIndex)
{
    const qsizetype index = oldIndex < 0 ? -1 : indexOfEditedTodo();
    if (index < 0 || index == oldIndex)
        return;
    m_collectionView->scrollRectToVisible(m_collectionView->frameForItemAtIndex(int(index)));
    if (const DMCollectionViewItem *card = m_collectionView->itemAtIndex(int(index)))
        DMProjectTodoEditorController::sharedInstance()->repointAtPointInView(
            QRectF(card->view()->geometry()).center(), m_collectionView->viewport());
}

void DMProjectDocumentItemsView::closeTodoEditorIfItsTodoWent()
{
    // The editor may stay open beside the cards (a card merely selected): a to-do deleted by a
    // key, a button or an undo takes its editor with it.
    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    const auto todo = editor->editedObject();
    const auto project = m_document.project();
    if (todo && editor->isShown() && project && todo->project() == project
        && !project->todoContainer()->todos().contains(todo))
        editor->close();
}

int DMProjectDocumentItemsView::sortButtonWidth(int rowWidth, int columns, const QList<int> &titleWidths)
{
    columns = std::max(1, columns);
    int width = rowWidth / columns;
    for (int titleWidth : titleWidths)
        if (titleWidth + 16 > width)
            width = int(titleWidth + 16.99);
    return width;
}

void DMProjectDocumentItemsView::setItemsViewSortingModesMatrixArray(const QStringList &titles)
{
    if (!m_sortButtons)
        return;
    const QList<QAbstractButton *> buttons = m_sortButtons->buttons();
    QList<int> widths;
    for (const QString &title : titles)
        widths.append(buttons.first()->fontMetrics().horizontalAdvance(title));
    const int width = sortButtonWidth(m_sortMatrixDefaultWidth, int(buttons.size()), widths);
    for (int column = 0; column < buttons.size(); ++column) {
        QAbstractButton *button = buttons.at(column);
        const bool used = column < titles.size();
        button->setText(used ? titles.at(column) : QString());
        button->setEnabled(used);
        button->setVisible(used);
        button->setGeometry(column * width, 0, width, 26);
    }
    m_sortMatrix->setFixedWidth(std::max(m_sortMatrixDefaultWidth, width * int(buttons.size())));
}
