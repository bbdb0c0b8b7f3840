// DMProjectDocumentItemsView: the commands of the page, the cards' requests and the selection.
// Every command that changes the model is one undo step, from which the document learns that
// it was edited.
#include "DMResourceFileCommands.h"
#include "DMProjectDocumentItemsView.h"

#include "DMBeep.h"
#include "DMCollectionView.h"
#include "DMItemsViewDocument.h"
#include "DMItemsViewItem.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMProject.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemListController.h"
#include "DMProjectKeys.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMProjectUndoStep.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

constexpr qint64 kNewItemDuration = 86400;

// The New command's name on the page of that kind, which also titles a new item.
QString newCommandName(int tag)
{
    switch (tag) {
    case DMPage::ItemsResourcesPage:
        return DMLocalizedString("New Resource");
    case DMPage::ItemsToDoPage:
        return DMLocalizedString("New To-do");
    case DMPage::EventsPage:
        return DMLocalizedString("New Event");
    case DMPage::ItemsTasksPage:
        return DMLocalizedString("New Task");
    case DMPage::ItemsMilestonesPage:
        return DMLocalizedString("New Milestone");
    case DMPage::ItemsProcessesPage:
        return DMLocalizedString("New Process");
    default:
        return DMLocalizedString("New");
    }
}

// A new item of the project starting at the project's begin, a day long unless it is a moment.
void giveNewItemDates(DMProjectItem &item, const DMProject &project)
{
    DMProjectItemListController::giveNewItemDates(item, project.beginDate(), kNewItemDuration);
}

} // namespace

DMItemsViewObject DMProjectDocumentItemsView::firstSelectedObject() const
{
    if (!m_collectionView)
        return {};
    const QList<int> selection = m_collectionView->selectionIndexes();
    if (selection.isEmpty() || selection.first() >= m_contents.size())
        return {};
    return m_contents.at(selection.first());
}

void DMProjectDocumentItemsView::appendResource(const std::shared_ptr<DMProjectResource> &resource)
{
    const auto project = m_document.project();
    resource->setProject(project);
    if (const auto group = m_editedResourceGroup.lock(); group && group->isAttached())
        group->subitems().append(resource);
    else
        project->resources().append(resource);
}

void DMProjectDocumentItemsView::scrollToAndEditCard(const DMItemsViewObject &object, DMItemsViewItem::EditorKeyboard keyboard)
{
    const qsizetype index = m_contents.indexOf(object);
    if (!m_collectionView || index < 0 || object.isNull())
        return;
    // The collection view makes cards only for the places in sight: the object's place comes into
    // sight first, so that its card exists to answer.
    m_collectionView->scrollRectToVisible(m_collectionView->frameForItemAtIndex(int(index)));
    if (auto *card = dynamic_cast<DMItemsViewItem *>(m_collectionView->itemAtIndex(int(index)))) {
        card->scrollToVisible();
        card->edit(keyboard);
    }
}

void DMProjectDocumentItemsView::selectObject(const DMItemsViewObject &object)
{
    const qsizetype index = m_contents.indexOf(object);
    if (index >= 0 && m_collectionView)
        m_collectionView->setSelectionIndexes({int(index)});
}

void DMProjectDocumentItemsView::finishCreating(const DMItemsViewObject &created)
{
    updateItemsArrayWithTag(pageTag());
    updateItemsViewContentsArray();
    if (!created.isNull())
        selectObject(created);
    scrollToAndEditCard(created);
}

void DMProjectDocumentItemsView::itemsViewNew()
{
    const int tag = pageTag();
    const auto project = m_document.project();
    if (tag == DMPage::NoPage || !project)
        return;
    if (tag == DMPage::DocumentsPage) {
        DMModalUI::FilePanel panel;
        panel.allowsMultipleSelection = true;
        panel.directory = m_document.folderForPanels();
        const QStringList paths = DMModalUI::instance().runOpenPanel(panel, m_document.windowForSheet());
        attachFilesToProject(paths);
        finishCreating({});
        return;
    }
    // The undo step is named after what it makes.
    std::shared_ptr<DMProjectObject> created;
    DMProject_applyAsOneUndoStep(project, newCommandName(tag), [&] {
        if (tag == DMPage::ItemsResourcesPage) {
            auto resource = std::make_shared<DMProjectResource>();
            resource->setName(DMLocalizedString("New Resource"));
            appendResource(resource);
            created = resource;
        } else if (tag == DMPage::ItemsToDoPage) {
            auto todo = std::make_shared<DMProjectTodo>();
            todo->setProject(project);
            todo->setText(DMLocalizedString("To do..."));
            project->todoContainer()->todos().append(todo);
            created = todo;
        } else if (tag == DMPage::EventsPage) {
            auto event = std::make_shared<DMProjectEvent>();
            event->setProject(project);
            event->setTitle(newCommandName(tag));
            giveNewItemDates(*event, *project);
            project->eventContainer()->events().append(event);
            created = event;
        } else if (tag == DMPage::ItemsTasksPage || tag == DMPage::ItemsMilestonesPage || tag == DMPage::ItemsProcessesPage) {
            std::shared_ptr<DMProjectItem> item;
            if (tag == DMPage::ItemsTasksPage)
                item = std::make_shared<DMProjectTask>();
            else if (tag == DMPage::ItemsMilestonesPage)
                item = std::make_shared<DMProjectMilestone>();
            else
                item = std::make_shared<DMProjectProcess>();
            item->setTitle(newCommandName(tag));
            item->setProject(project);
            giveNewItemDates(*item, *project);
            project->tasks().append(item);
            created = item;
        }
    });
    if (created && tag != DMPage::ItemsResourcesPage && tag != DMPage::ItemsToDoPage)
        m_document.reloadViews();
    finishCreating(created ? DMItemsViewObject{created, nullptr} : DMItemsViewObject{});
}

void DMProjectDocumentItemsView::itemsViewNewGroup()
{
    const int tag = pageTag();
    const auto project = m_document.project();
    if (tag == DMPage::NoPage || !project)
        return;
    std::shared_ptr<DMProjectResource> group;
    if (tag == DMPage::ItemsResourcesPage) {
        group = std::make_shared<DMProjectResource>(DMProjectResource::Group);
        group->setName(DMLocalizedString("New Group"));
        DMProject_applyAsOneUndoStep(project, DMLocalizedString("New Group"), [&] { appendResource(group); });
    }
    finishCreating(group ? DMItemsViewObject{group, nullptr} : DMItemsViewObject{});
}

void DMProjectDocumentItemsView::itemsViewDelete()
{
    const int tag = pageTag();
    const auto project = m_document.project();
    const DMItemsViewObject selected = firstSelectedObject();
    if (tag == DMPage::NoPage || !project || selected.isNull())
        return;
    switch (tag) {
    case DMPage::ItemsResourcesPage:
        if (auto resource = std::dynamic_pointer_cast<DMProjectResource>(selected.object)) {
            // The assignments go in the same step, so that undo brings both back together.
            DMProject_applyAsOneUndoStep(project, DMLocalizedString("Delete"), [&] {
                resource->deleteAllAssignments();
                if (const auto parent = resource->parentItem())
                    parent->subitems().removeOne(resource);
                else
                    project->resources().removeOne(resource);
            });
        }
        break;
    case DMPage::ItemsToDoPage:
        if (auto todo = std::dynamic_pointer_cast<DMProjectTodo>(selected.object))
            DMProject_applyAsOneUndoStep(project, DMLocalizedString("Delete"),
                                         [&] { project->todoContainer()->todos().removeOne(todo); });
        break;
    case DMPage::DocumentsPage: {
        const QVariantMap row = selected.row ? *selected.row : QVariantMap();
        if (row.isEmpty() || row.value(kDMItemsViewDocumentItem_Separator).toBool()) {
            DMBeep();
            return;
        }
        const QString key = row.value(kDMItemsViewDocumentItem_AttachedDocumentsTableKey).toString();
        DMProject_applyAsOneUndoStep(project, DMLocalizedString("Delete"), [&] {
            if (row.value(kDMItemsViewDocumentItem_AttachedToProject).toBool()) {
                QVariantList keys = project->attribute(kDMProject_AttachedDocuments).toList();
                if (keys.removeAll(key) > 0)
                    m_document.removeAttachedDocumentWithTableKey(key);
                project->setAttribute(kDMProject_AttachedDocuments, keys);
            } else {
                m_document.removeAttachedDocumentWithTableKeyFromTasks(key, project->tasks().list());
            }
        });
        break;
    }
    default:
        if (selected.object)
            m_document.deleteItems({selected.object});
        break;
    }
    m_document.reloadViews();
    m_contents.clear();
    updateItemsArrayWithTag(tag);
    updateItemsViewContentsArray();
}

void DMProjectDocumentItemsView::itemsViewEdit()
{
    if (!m_collectionView)
        return;
    const QList<int> selection = m_collectionView->selectionIndexes();
    if (selection.isEmpty())
        return;
    const QList<DMItemsViewObject> contents = m_contents;
    itemsViewInspect();
    for (int index : selection)
        if (index < contents.size() && contents.at(index).row)
            documentsOpenFile(contents.at(index).row);
}

void DMProjectDocumentItemsView::itemsViewInspect()
{
    const DMItemsViewObject first = firstSelectedObject();
    if (!first.isNull())
        scrollToAndEditCard(first);
}

void DMProjectDocumentItemsView::itemsViewBack()
{
    if (pageTag() != DMPage::ItemsResourcesPage)
        return;
    const auto group = m_editedResourceGroup.lock();
    if (!group)
        return;
    m_editedResourceGroup = group->parentItem();
    updateItemsArrayWithTag(DMPage::ItemsResourcesPage);
    updateItemsViewContentsArray();
}

void DMProjectDocumentItemsView::itemsViewSortMatrixCallback(int column)
{
    const int tag = pageTag();
    const auto project = m_document.project();
    if (tag == DMPage::NoPage || !project || column < 0)
        return;
    DMProject_applyAsOneUndoStep(project, DMLocalizedString("Sort"), [&] {
        if (tag == DMPage::ItemsToDoPage) {
            project->todoContainer()->setSortingMode(column);
        } else if (const QString key = DMProjectDocument_SourceListItemsTagToString(tag); !key.isEmpty()) {
            QVariantMap modes = project->attribute(kDMProject_ItemsViewSortingModes).toMap();
            modes.insert(key, column);
            project->setAttribute(kDMProject_ItemsViewSortingModes, modes);
        }
    });
    updateItemsArrayWithTag(tag);
    updateItemsViewContentsArray();
}

// ---- The cards' requests ----

void DMProjectDocumentItemsView::documentsSeparatorToggled(const std::shared_ptr<QVariantMap> &row)
{
    if (!row || (row != m_projectSeparator && row != m_tasksSeparator))
        return;
    updateItemsArrayWithTag(DMPage::DocumentsPage);
    updateItemsViewContentsArray();
}

void DMProjectDocumentItemsView::documentsOpenFile(const std::shared_ptr<QVariantMap> &row)
{
    // Only rows of the page as it is now: a card can still show a row the page has dropped.
    const auto entries = m_arrays.value(DMPage::DocumentsPage);
    const bool known = std::any_of(entries.begin(), entries.end(), [&row](const DMItemsViewObject &entry) {
        return entry.row == row;
    });
    if (!row || !known)
        return;
    if (row->value(kDMItemsViewDocumentItem_Separator).toBool()) {
        DMBeep();
        return;
    }
    const QString path = pathForDocumentRow(*row);
    if (!path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void DMProjectDocumentItemsView::itemsViewResourceGroupOpen(const std::shared_ptr<DMProjectResource> &group)
{
    const auto project = m_document.project();
    if (!project)
        return;
    if (group && (!group->isGroup() || !group->isAttached() || group->project() != project))
        return;
    m_editedResourceGroup = group;
    updateItemsArrayWithTag(DMPage::ItemsResourcesPage);
    updateItemsViewContentsArray();
}

void DMProjectDocumentItemsView::itemsCollectionViewSelectionDidChange()
{
    // A card merely selected shows its editor, but the keys typed next are still meant for the
    // cards: a Delete must not empty the to-do's text.
    const DMItemsViewObject first = firstSelectedObject();
    if (!first.isNull())
        scrollToAndEditCard(first, DMItemsViewItem::EditorKeyboard::Leave);
    setItemsViewHasSelectedItems(m_collectionView && !m_collectionView->selectionIndexes().isEmpty());
}

void DMProjectDocumentItemsView::setItemsViewHasSelectedItems(bool selected)
{
    m_hasSelectedItems = selected;
    for (QPushButton *button : {m_deleteButton.data(), m_editButton.data()})
        if (button)
            button->setEnabled(selected);
}

// ---- Resource files ----

void DMProjectDocumentItemsView::itemsViewResourcesExport()
{
    DMResourceFileCommands::exportResources(m_document.project(), m_document.windowForSheet(), m_document.folderForPanels());
}

void DMProjectDocumentItemsView::itemsViewResourcesImport()
{
    if (!DMResourceFileCommands::importResources(m_document.project(), m_document.windowForSheet(), m_document.folderForPanels()))
        return;
    updateItemsArrayWithTag(DMPage::ItemsResourcesPage);
    updateItemsViewContentsArray();
}
