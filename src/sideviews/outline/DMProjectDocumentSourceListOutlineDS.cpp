#include "DMProjectDocumentSourceListOutlineDS.h"

#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemTree.h"
#include "DMProjectResource.h"
#include "DMProjectTodoContainer.h"
#include "DMSourceListCell.h"
#include "DMSourceListDocument.h"
#include "DMSourceListIcons.h"

#include <algorithm>
#include <QHeaderView>

#include <vector>

const QString DMProjectDocumentSourceListOutlineDS::kDMProjectDocument_SourceList_Key_Title =
    QStringLiteral("kDMProjectDocument_SourceList_Key_Title");
const QString DMProjectDocumentSourceListOutlineDS::kDMProjectDocument_SourceList_Key_Kind =
    QStringLiteral("kDMProjectDocument_SourceList_Key_Kind");
const QString DMProjectDocumentSourceListOutlineDS::kDMProjectDocument_SourceList_Key_Tag =
    QStringLiteral("kDMProjectDocument_SourceList_Key_Tag");
const QString DMProjectDocumentSourceListOutlineDS::kDMProjectDocument_SourceList_Key_Tooltip =
    QStringLiteral("kDMProjectDocument_SourceList_Key_Tooltip");
const QString DMProjectDocumentSourceListOutlineDS::kDMProjectDocument_SourceList_Key_Icon =
    QStringLiteral("kDMProjectDocument_SourceList_Key_Icon");
const QString DMProjectDocumentSourceListOutlineDS::kDMProjectDocument_SourceList_Key_Icon_Selected =
    QStringLiteral("kDMProjectDocument_SourceList_Key_Icon_Selected");
const QString DMProjectDocumentSourceListOutlineDS::kTitleColumn = QStringLiteral("title");

namespace {

using DS = DMProjectDocumentSourceListOutlineDS;

struct Entry
{
    const char *title;
    int tag; // NoPage: a section header
    const char *tooltip;
    const char *icon;
};

const Entry kEntries[] = {
    {"SETTINGS", DMPage::NoPage, nullptr, nullptr},
    {"Project", DMPage::ProjectSettingsPage, "Click here to edit the settings of this project", "icon_settings_project"},
    {"Days off / dates", DMPage::DaysOffPage, "Click here to edit the list of day offs / vacations", "icon_settings_days"},
    {"VIEWS", DMPage::NoPage, nullptr, nullptr},
    {"By Resources", DMPage::ByResourcesPage, "Calendar with a view that focus on resources allocation", "icon_resources_view"},
    {"By Tasks (Gantt)", DMPage::GanttPage, "Calendar with a list of tasks", "icon_gantt_view"},
    {"ITEMS", DMPage::NoPage, nullptr, nullptr},
    {"Tasks", DMPage::TasksPage, "Displays the whole project structure", "icon_items_tasks"},
    {"Resources", DMPage::ResourcesPage, "Displays the whole resource structure", "icon_resources_view2"},
    {"Events", DMPage::EventsPage, "List of used events", "icon_items_events"},
    {"Documents", DMPage::DocumentsPage, "List of attached documents", "icon_items_documents"},
    {"REPORTS", DMPage::NoPage, nullptr, nullptr},
    {"Global", DMPage::GlobalReportPage, "Financial report", "icon_report_view"},
    {"Tasks by Resource", DMPage::TasksByResourcePage, "Tasks by Resource report", "icon_report_view"},
    {"Tasks by Processes", DMPage::TasksByProcessesPage, "Tasks by Processes report", "icon_report_view"},
};

// The pages without a row, titled as in the View menu.
const Entry kPagesWithoutRow[] = {
    {"Resources", DMPage::ItemsResourcesPage, nullptr, nullptr},
    {"Tasks", DMPage::ItemsTasksPage, nullptr, nullptr},
    {"Milestones", DMPage::ItemsMilestonesPage, nullptr, nullptr},
    {"Processes", DMPage::ItemsProcessesPage, nullptr, nullptr},
    {"To-Dos", DMPage::ItemsToDoPage, nullptr, nullptr},
    {"Links", DMPage::ItemsLinksPage, nullptr, nullptr},
    {"Styles", DMPage::StylesPage, nullptr, nullptr},
};

// Colour of the section headers.
const QColor kHeaderColor = QColor::fromRgbF(0.3843137f, 0.4274510f, 0.5019608f, 1.0f);

QFont smallSystemFont(bool bold)
{
    QFont font;
    font.setPointSizeF(10.5);
    font.setBold(bold);
    return font;
}

// Resource trees in files can be very deep: counted without recursion.
int countResources(const QList<std::shared_ptr<DMProjectResource>> &roots)
{
    int count = 0;
    std::vector<const DMProjectResource *> stack;
    for (const auto &root : roots)
        stack.push_back(root.get());
    while (!stack.empty()) {
        const DMProjectResource *resource = stack.back();
        stack.pop_back();
        ++count;
        for (const auto &child : resource->subitems().list())
            stack.push_back(child.get());
    }
    return count;
}

} // namespace

QString DMProjectDocumentSourceListOutlineDS::pageTitleForTag(int tag)
{
    if (tag == DMPage::NoPage)
        return QString();
    for (const Entry &entry : kEntries)
        if (entry.tag == tag)
            return DMLocalizedString(entry.title);
    for (const Entry &entry : kPagesWithoutRow)
        if (entry.tag == tag)
            return DMLocalizedString(entry.title);
    return QString();
}

DMProjectDocumentSourceListOutlineDS::DMProjectDocumentSourceListOutlineDS(DMSourceListDocument &document)
    : m_document(document)
{
}

DMProjectDocumentSourceListOutlineDS::~DMProjectDocumentSourceListOutlineDS()
{
    detachFromOutlineView();
}

void DMProjectDocumentSourceListOutlineDS::attachToOutlineView()
{
    DMOutlineView *view = m_document.sourceListOutlineView();
    if (!view || view->dataSource() == this)
        return;
    if (view->columnWithIdentifier(kTitleColumn) < 0) {
        DMOutlineTableColumn column(kTitleColumn, QString(), 180);
        column.editable = false;
        view->addTableColumn(column);
    }
    m_cell = new DMSourceListCell;
    m_cell->setIconSize({18, 18});
    _DMSourceListCellMargins margins;
    margins.top = 3;
    margins.bottom = 3;
    margins.right = 8;
    margins.contentLeft = 6;
    margins.contentRight = 6;
    m_cell->setMargins(margins);
    view->setDataCellForTableColumn(kTitleColumn, m_cell); // the view owns it
    view->setRowHeight(24);
    view->header()->hide();
    view->header()->setStretchLastSection(true);
    view->setDataSource(this);
    view->setDelegate(this);
}

void DMProjectDocumentSourceListOutlineDS::detachFromOutlineView()
{
    DMOutlineView *view = m_document.sourceListOutlineView();
    if (!view)
        return;
    if (view->delegate() == this)
        view->setDelegate(nullptr);
    if (view->dataSource() == this)
        view->setDataSource(nullptr);
}

// ---- The tree ----

void DMProjectDocumentSourceListOutlineDS::createSourceListTree()
{
    if (!m_tree.isEmpty())
        return;
    for (const Entry &entry : kEntries) {
        QVariantMap row;
        row.insert(kDMProjectDocument_SourceList_Key_Title, DMLocalizedString(entry.title));
        row.insert(kDMProjectDocument_SourceList_Key_Kind, entry.tag == DMPage::NoPage ? HeaderKind : RowKind);
        row.insert(kDMProjectDocument_SourceList_Key_Tag, entry.tag);
        if (entry.tag != DMPage::NoPage) {
            const QString icon = QLatin1String(entry.icon);
            row.insert(kDMProjectDocument_SourceList_Key_Tooltip, DMLocalizedString(entry.tooltip));
            row.insert(kDMProjectDocument_SourceList_Key_Icon, icon);
            row.insert(kDMProjectDocument_SourceList_Key_Icon_Selected, icon + QLatin1String("_on"));
        }
        m_tree.append(row);
    }
}

const QVariantList &DMProjectDocumentSourceListOutlineDS::sourceListTree()
{
    createSourceListTree();
    return m_tree;
}

int DMProjectDocumentSourceListOutlineDS::sourceListTree_indexOfItemWithTag(int tag)
{
    const QVariantList &tree = sourceListTree();
    for (qsizetype i = 0; i < tree.size(); ++i)
        if (tree.at(i).toMap().value(kDMProjectDocument_SourceList_Key_Tag).toInt() == tag)
            return int(i);
    return -1;
}

QVariantMap DMProjectDocumentSourceListOutlineDS::entryForItem(DMOutlineItem item)
{
    const qsizetype index = qsizetype(reinterpret_cast<quintptr>(item)) - 1;
    const QVariantList &tree = sourceListTree();
    return index >= 0 && index < tree.size() ? tree.at(index).toMap() : QVariantMap();
}

// ---- Badges ----

void DMProjectDocumentSourceListOutlineDS::badgesNeedUpdate()
{
    m_badgesValid = false;
    if (DMOutlineView *view = m_document.sourceListOutlineView())
        view->viewport()->update();
}

void DMProjectDocumentSourceListOutlineDS::countBadges()
{
    m_badgeCounts.clear();
    m_badgesValid = true;
    if (const std::shared_ptr<DMProject> project = m_document.project()) {
        int items = 0;
        DMProjectItem_forEachItem(project->tasks().list(), [&items](const DMProjectItem &) { ++items; });
        m_badgeCounts.insert(DMPage::TasksPage, items);
        m_badgeCounts.insert(DMPage::ResourcesPage, countResources(project->resources().list()));
        if (const auto events = project->eventContainer())
            m_badgeCounts.insert(DMPage::EventsPage, int(events->events().size()));
        if (const auto todos = project->todoContainer())
            m_badgeCounts.insert(DMPage::ItemsToDoPage, int(todos->todos().size()));
    }
    for (int tag : {DMPage::ItemsResourcesPage, DMPage::ItemsTasksPage, DMPage::ItemsMilestonesPage,
                    DMPage::ItemsProcessesPage, DMPage::ItemsLinksPage})
        m_badgeCounts.insert(tag, m_document.itemsViewContentsCountWithTag(tag));
    // The documents' array begins with its two section separators.
    m_badgeCounts.insert(DMPage::DocumentsPage, std::max(0, m_document.itemsViewContentsCountWithTag(DMPage::DocumentsPage) - 2));
}

int DMProjectDocumentSourceListOutlineDS::badgeCountForTag(int tag)
{
    if (!m_badgesValid)
        countBadges();
    return m_badgeCounts.value(tag, 0);
}

QString DMProjectDocumentSourceListOutlineDS::badgeTextForTag(int tag)
{
    const int count = badgeCountForTag(tag);
    return count >= 1 ? QString::number(count) : QString();
}

// ---- Selection ----

int DMProjectDocumentSourceListOutlineDS::selectedTag() const
{
    DMOutlineView *view = m_document.sourceListOutlineView();
    if (!view || view->selectedRow() < 0)
        return DMPage::NoPage;
    return const_cast<DMProjectDocumentSourceListOutlineDS *>(this)
        ->entryForItem(view->itemAtRow(view->selectedRow()))
        .value(kDMProjectDocument_SourceList_Key_Tag)
        .toInt();
}

void DMProjectDocumentSourceListOutlineDS::selectRowForPageWithTag(int tag)
{
    DMOutlineView *view = m_document.sourceListOutlineView();
    if (!view)
        return;
    // Headers carry NoPage too: a tag that is no page has no row.
    const int index = tag > DMPage::NoPage ? sourceListTree_indexOfItemWithTag(tag) : -1;
    const int row = index >= 0 ? view->rowForItem(itemForIndex(index)) : -1;
    m_chosenRow = row;
    if (view->selectedRowIndexes() == (row >= 0 ? QList<int>{row} : QList<int>()))
        return;
    m_selectingRowForPage = true;
    if (row >= 0)
        view->selectRowIndexesByExtendingSelection({row}, false);
    else
        view->deselectAll();
    m_selectingRowForPage = false;
}

QList<int> DMProjectDocumentSourceListOutlineDS::outlineViewSelectionIndexesForProposedSelection(DMOutlineView *view,
                                                                                                const QList<int> &proposed)
{
    // A row is chosen alone; a click on a header (or on no row) keeps the row chosen before. The
    // outline proposes with the new selection already made, so that row is remembered here.
    if (!proposed.isEmpty()
        && entryForItem(view->itemAtRow(proposed.first())).value(kDMProjectDocument_SourceList_Key_Kind).toInt() == RowKind)
        return {proposed.first()};
    return m_chosenRow >= 0 ? QList<int>{m_chosenRow} : QList<int>();
}

void DMProjectDocumentSourceListOutlineDS::outlineViewSelectionDidChange(DMOutlineView *view)
{
    // A refused change (a header clicked) leaves the chosen row and its page as they were.
    if (m_selectingRowForPage || !view || view->selectedRow() == m_chosenRow)
        return;
    m_chosenRow = view->selectedRow();
    m_document.showPageWithTag(selectedTag());
}

// ---- Rows ----

int DMProjectDocumentSourceListOutlineDS::outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem item)
{
    return item ? 0 : int(sourceListTree().size());
}

DMOutlineItem DMProjectDocumentSourceListOutlineDS::outlineViewChildOfItem(DMOutlineView *, int index, DMOutlineItem item)
{
    return item || index < 0 || index >= sourceListTree().size() ? nullptr : itemForIndex(index);
}

QVariant DMProjectDocumentSourceListOutlineDS::outlineViewObjectValueForTableColumnByItem(DMOutlineView *, const QString &,
                                                                                         DMOutlineItem item)
{
    return entryForItem(item).value(kDMProjectDocument_SourceList_Key_Title);
}

bool DMProjectDocumentSourceListOutlineDS::outlineViewShouldEditTableColumnItem(DMOutlineView *, const QString &,
                                                                                DMOutlineItem)
{
    return false;
}

QString DMProjectDocumentSourceListOutlineDS::outlineViewToolTipForTableColumnItem(DMOutlineView *, const QString &,
                                                                                   DMOutlineItem item)
{
    return entryForItem(item).value(kDMProjectDocument_SourceList_Key_Tooltip).toString();
}

void DMProjectDocumentSourceListOutlineDS::outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view,
                                                                                        DMOutlineCell &cell,
                                                                                        const QString &, DMOutlineItem item)
{
    auto *sourceCell = qobject_cast<DMSourceListCell *>(cell.dataCell);
    if (!sourceCell)
        return;
    const QVariantMap entry = entryForItem(item);
    const bool isRow = entry.value(kDMProjectDocument_SourceList_Key_Kind).toInt() == RowKind;
    _DMSourceListCellMargins margins = sourceCell->margins();
    sourceCell->badgeCell()->setStringValue(QString());
    sourceCell->setStringValue(entry.value(kDMProjectDocument_SourceList_Key_Title).toString());
    if (isRow) {
        const bool highlighted = view && view->selectedRow() >= 0 && view->itemAtRow(view->selectedRow()) == item;
        const QString icon = entry.value(highlighted ? kDMProjectDocument_SourceList_Key_Icon_Selected
                                                     : kDMProjectDocument_SourceList_Key_Icon)
                                 .toString();
        sourceCell->setIcon(QIcon(QPixmap::fromImage(DMSourceListIcons::imageNamed(icon))));
        cell.font = smallSystemFont(false);
        cell.textColor = Qt::black;
        margins.left = 0;
        sourceCell->setDrawsIcon(true);
        const QString badge = badgeTextForTag(entry.value(kDMProjectDocument_SourceList_Key_Tag).toInt());
        sourceCell->setDrawsBadge(!badge.isEmpty());
        sourceCell->badgeCell()->setStringValue(badge);
    } else {
        sourceCell->setIcon(QIcon());
        cell.font = smallSystemFont(true);
        cell.textColor = kHeaderColor;
        margins.left = -5.0;
        sourceCell->setDrawsIcon(false);
        sourceCell->setDrawsBadge(false);
    }
    sourceCell->setFont(cell.font);
    sourceCell->setTextColor(cell.textColor);
    sourceCell->setMargins(margins);
}
