// DMProjectDocument: the pages of the content area, chosen by the source list and the View menu,
// the commands that depend on the page shown, and the toolbar's search.
#include "DMProjectDocument.h"

#include "DMApplicationDelegate.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMProjectSettingsController.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectEventsOutlineViewDS.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMMainMenu.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectOutlineIcons.h"
#include "DMProjectViewObjectEditor.h"
#include "DMSearchField.h"
#include "DMToolbarItem.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QImage searchResultIcon(const DMProjectItem &item)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DMProjectOutlineIcons::drawItemIcon(painter, QRectF(0, 0, 16, 16), item);
    return image;
}

} // namespace

int DMProjectDocument::pageTagForViewMenuTag(int tag)
{
    switch (tag) {
    case DMMainMenu::ViewResourcesTag:
        return DMPage::ResourcesPage;
    case DMMainMenu::ViewTasksTag:
        return DMPage::TasksPage;
    // Milestones and processes have no list of their own: their cards show them alone.
    case DMMainMenu::ViewMilestonesTag:
        return DMPage::ItemsMilestonesPage;
    case DMMainMenu::ViewProcessesTag:
        return DMPage::ItemsProcessesPage;
    case DMMainMenu::ViewToDosTag:
        return DMPage::ItemsToDoPage;
    case DMMainMenu::ViewEventsTag:
        return DMPage::EventsPage;
    case DMMainMenu::ViewDocumentsTag:
        return DMPage::DocumentsPage;
    case DMMainMenu::ViewLinksTag:
        return DMPage::ItemsLinksPage;
    case DMMainMenu::ViewByResourcesTag:
        return DMPage::ByResourcesPage;
    case DMMainMenu::ViewGanttTag:
        return DMPage::GanttPage;
    case DMMainMenu::ViewGlobalReportTag:
        return DMPage::GlobalReportPage;
    case DMMainMenu::ViewTasksByResourceTag:
        return DMPage::TasksByResourcePage;
    case DMMainMenu::ViewTasksByProcessesTag:
        return DMPage::TasksByProcessesPage;
    default:
        return DMPage::NoPage;
    }
}

void DMProjectDocument::viewMenuCallback(int tag)
{
    const int page = pageTagForViewMenuTag(tag);
    if (page != DMPage::NoPage)
        showPageWithTag(page);
}

DMOutlineView *DMProjectDocument::sourceListOutlineView() const
{
    return m_outlets.sourceListOutlineView;
}

int DMProjectDocument::itemsViewContentsCountWithTag(int tag) const
{
    return m_itemsView ? m_itemsView->itemsCountWithTag(tag) : 0;
}

// ---- Showing a page ----

void DMProjectDocument::showPageWithTag(int tag)
{
    // The item inspector must not go on editing an object of the page left, nor stay over the
    // page shown with nothing in it.
    if (DMProjectViewObjectEditor *editor = DMProjectViewObjectEditor::sharedInstance(DMProjectViewObjectEditor::kTaskInspectorClass))
        editor->stepAsideFromPage();
    if (m_report && m_report->shownPageTag() != DMPage::NoPage && !DMPage_isReport(tag))
        m_report->pageDidHide();
    m_currentPageTag = tag;
    QWidget *page = preparePageWithTag(tag);
    if (!page && DMPage_isPage(tag))
        page = emptyPageWithTitle(DMProjectDocumentSourceListOutlineDS::pageTitleForTag(tag));

    // The toolbar's Gantt controls; the items view sets its own buttons for its page.
    const bool gantt = DMPage_isGantt(tag);
    DMToolbarItem_setHidden(m_outlets.todayButtonTBItem, !gantt);
    DMToolbarItem_setHidden(m_searchFieldAction, !gantt);

    if (auto *content = qobject_cast<QStackedWidget *>(m_outlets.topLevelContentSplitSubview.data()))
        content->setCurrentWidget(page ? page : emptyPageWithTitle(QString()));
    m_sourceListDS->selectRowForPageWithTag(tag);
    // Back on the chart, the inspector follows its selection again.
    if (gantt && m_objectViewDataSource)
        m_objectViewDataSource->inspectSelection(m_outlets.projectView);
}

QWidget *DMProjectDocument::preparePageWithTag(int tag)
{
    switch (tag) {
    case DMPage::ByResourcesPage:
    case DMPage::GanttPage:
        setViewModeForPage(tag == DMPage::ByResourcesPage ? kDMProjectViewMode_Resources : kDMProjectViewMode_Gantt);
        applyingTaskListColumns(DMApplicationDelegate::taskListArrangedColumnDictionaries());
        return m_outlets.projectContainer;
    case DMPage::GlobalReportPage:
    case DMPage::TasksByResourcePage:
    case DMPage::TasksByProcessesPage: {
        const QVariantMap span = effectiveProjectTimeSpan();
        report()->showPageWithTag(tag, span.value(kDMTimeSpanBegin).value<DMDate>(), span.value(kDMTimeSpanEnd).value<DMDate>());
        // No outline rows and no bars in the report's mode.
        setViewModeForPage(kDMProjectViewMode_Reports);
        return m_outlets.reportContainerView;
    }
    case DMPage::ProjectSettingsPage:
    case DMPage::DaysOffPage: {
        // Both pages refresh the working calendar's controls.
        const auto &daysOff = m_outlets.daysOffSettingsController;
        if (daysOff)
            daysOff->updateUI();
        if (tag == DMPage::DaysOffPage)
            return daysOff ? daysOff->containerView() : nullptr;
        if (m_outlets.projectSettingsController)
            m_outlets.projectSettingsController->updateUI();
        return m_outlets.projectSettingsView;
    }
    case DMPage::StylesPage:
        return m_outlets.stylesContainerView;
    case DMPage::TasksPage:
    case DMPage::ResourcesPage:
    case DMPage::EventsPage: {
        DMProjectListController *list = listControllerForPageWithTag(tag);
        if (!list || !list->containerView())
            return nullptr;
        list->reload();
        return list->containerView();
    }
    default:
        if (!DMPage_showsItemsView(tag) || !m_itemsView)
            return nullptr;
        m_itemsView->updateItemsArrayWithTag(tag);
        m_itemsView->updateItemsViewContentsArray();
        return m_outlets.itemsContainerView;
    }
}

void DMProjectDocument::setViewModeForPage(DMProjectViewMode mode)
{
    if (!m_project || m_project->attribute(kDMProject_ViewMode).toInt() == mode)
        return;
    // Choosing a page is no edit of the project.
    const DMUndoRegistrationPause pause(m_undoManager.get());
    m_project->setAttribute(kDMProject_ViewMode, mode);
}

QWidget *DMProjectDocument::emptyPageWithTitle(const QString &title)
{
    auto *content = qobject_cast<QStackedWidget *>(m_outlets.topLevelContentSplitSubview.data());
    if (!content)
        return nullptr;
    if (!m_emptyPage) {
        m_emptyPage = new QWidget(content);
        m_emptyPage->setObjectName(QStringLiteral("emptyPage"));
        auto *layout = new QVBoxLayout(m_emptyPage);
        auto *label = new QLabel(m_emptyPage);
        label->setObjectName(QStringLiteral("emptyPageTitle"));
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 1.6);
        font.setBold(true);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("color: #7a8594;"));
        layout->addWidget(label);
        content->addWidget(m_emptyPage);
    }
    if (auto *label = m_emptyPage->findChild<QLabel *>(QStringLiteral("emptyPageTitle")))
        label->setText(title);
    return m_emptyPage;
}

// ---- Commands that depend on the page ----

void DMProjectDocument::fileNewMenuCallback(int tag)
{
    // The new-item commands go to the list shown: tasks, milestones and processes to the task
    // list, resources and groups to the resource list.
    if (m_currentPageTag == DMPage::TasksPage && m_outlets.projectItemsOutlineViewDS) {
        DMProjectItemsOutlineViewDS &tasks = *m_outlets.projectItemsOutlineViewDS;
        if (tag == DMMainMenu::NewTaskTag)
            tasks.addTask();
        else if (tag == DMMainMenu::NewMilestoneTag)
            tasks.addMilestone();
        else if (tag == DMMainMenu::NewProcessTag)
            tasks.addProcess();
    } else if (m_currentPageTag == DMPage::ResourcesPage && m_outlets.projectResourcesOutlineViewDS) {
        if (tag == DMMainMenu::NewResourceTag || tag == DMMainMenu::NewResourceGroupTag)
            m_outlets.projectResourcesOutlineViewDS->add(tag == DMMainMenu::NewResourceGroupTag);
    }
}

bool DMProjectDocument::isCanvasPageShown() const
{
    return DMPage_isGantt(m_currentPageTag);
}

void DMProjectDocument::deleteSelectionOfShownPage()
{
    if (isCanvasPageShown()) {
        deleteSelectedItem();
        return;
    }
    switch (m_currentPageTag) {
    case DMPage::TasksPage:
        if (m_outlets.projectItemsOutlineViewDS)
            m_outlets.projectItemsOutlineViewDS->deleteSelectedItems();
        return;
    case DMPage::EventsPage:
        if (m_outlets.projectEventsOutlineViewDS)
            m_outlets.projectEventsOutlineViewDS->deleteSelectedItems();
        return;
    case DMPage::ResourcesPage:
        if (m_outlets.projectResourcesOutlineViewDS)
            m_outlets.projectResourcesOutlineViewDS->deleteSelected();
        return;
    default:
        if (DMPage_showsItemsView(m_currentPageTag) && m_itemsView)
            m_itemsView->itemsViewDelete();
    }
}

bool DMProjectDocument::canDeleteSelectionOfShownPage() const
{
    if (isCanvasPageShown())
        return m_outlets.projectView && !m_outlets.projectView->selectedObjects().isEmpty();
    if (const DMProjectListController *list = listControllerForPageWithTag(m_currentPageTag))
        return list->hasSelection();
    return DMPage_showsItemsView(m_currentPageTag) && m_itemsView && m_itemsView->itemsViewHasSelectedItems();
}

DMProjectListController *DMProjectDocument::listControllerForPageWithTag(int tag) const
{
    switch (tag) {
    case DMPage::TasksPage:
        return m_outlets.projectItemsOutlineViewDS.get();
    case DMPage::ResourcesPage:
        return m_outlets.projectResourcesOutlineViewDS.get();
    case DMPage::EventsPage:
        return m_outlets.projectEventsOutlineViewDS.get();
    default:
        return nullptr;
    }
}

DMOutlineView *DMProjectDocument::listOutlineViewForPageWithTag(int tag) const
{
    if (DMPage_isGantt(tag))
        return m_outlets.projectOutlineView;
    DMProjectListController *list = listControllerForPageWithTag(tag);
    return list ? list->outlineView() : nullptr;
}

void DMProjectDocument::showInspectorForSelectedItem()
{
    // On the chart, the object selected there: an event or a link has no outline row.
    if (isCanvasPageShown() && m_objectViewDataSource
        && m_objectViewDataSource->editSelectedObjectInView(m_outlets.projectView))
        return;
    // On a page of cards, the first selected card's object.
    if (DMPage_showsItemsView(m_currentPageTag) && m_itemsView) {
        m_itemsView->itemsViewInspect();
        return;
    }
    DMOutlineView *list = listOutlineViewForPageWithTag(m_currentPageTag);
    if (!list || !list->delegate() || list->selectedRow() < 0 || list->numberOfColumns() == 0)
        return;
    list->delegate()->outlineViewShouldEditTableColumnItem(list, list->tableColumnIdentifiers().first(),
                                                           list->itemAtRow(list->selectedRow()));
}

// ---- Search ----

QVariantList DMProjectDocument::searchResultsForField(const QString &text) const
{
    QVariantList results;
    if (!m_project || text.isEmpty())
        return results;
    auto consider = [&results, &text](const DMProjectItem &item) {
        if (!item.title().contains(text, Qt::CaseInsensitive))
            return;
        QVariantMap result;
        result.insert(QStringLiteral("title"), item.title());
        result.insert(QStringLiteral("icon"), searchResultIcon(item));
        result.insert(QStringLiteral("objectID"), QVariant::fromValue(item.objectID()));
        results.append(result);
    };
    for (const auto &event : m_project->eventContainer()->events())
        consider(*event);
    DMProjectItem_forEachItem(m_project->tasks().list(), consider);
    return results;
}

QVariantList DMProjectDocument::searchResultsForField(DMSearchField *field)
{
    return field ? searchResultsForField(field->text()) : QVariantList();
}

void DMProjectDocument::searchFieldDidSelectItem(DMSearchField *field, const QVariant &result)
{
    const quint64 objectID = result.toMap().value(QStringLiteral("objectID")).toULongLong();
    // Items and events, whatever their class.
    const auto item = m_project ? std::dynamic_pointer_cast<DMProjectItem>(m_project->indexedObject(objectID)) : nullptr;
    if (field)
        field->dismiss();
    if (!item)
        return;
    // Items have their bars in the Gantt view.
    if (m_currentPageTag != DMPage::GanttPage)
        showPageWithTag(DMPage::GanttPage);
    // An item inside a collapsed process has no bar shown until its parents expand.
    if (item->parentItem()) {
        m_projectOutlineDS->expandParentsOfItem(*item);
        m_objectViewDataSource->syncProjectViewWithOutlineView();
    }
    m_objectViewDataSource->selectItemShowingInspector(item);
}
