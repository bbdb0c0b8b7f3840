// DMProjectItemsOutlineViewDS: the tree of rows, the columns and their values, and the commands.
#include "DMDurationSplit.h"
#include "DMProjectItemsOutlineViewDS.h"

#include "DMCheckBoxCell.h"
#include "DMCurrencyFormatter.h"
#include "DMDurationCell.h"
#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMPercentCell.h"
#include "DMPopUpCell.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectListDocument.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectOutlineDragPayload.h"
#include "DMProjectTask.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"
#include "DMUIProjectItem.h"

#include <QBoxLayout>

#include <cmath>

const QString DMProjectItemsOutlineViewDS::kEffortColumn = QStringLiteral("effort");
const QString DMProjectItemsOutlineViewDS::kCostColumn = QStringLiteral("cost");
const QString DMProjectItemsOutlineViewDS::kBaseCostColumn = QStringLiteral("baseCost");
const QString DMProjectItemsOutlineViewDS::kCostKindColumn = QStringLiteral("costKind");
const QString DMProjectItemsOutlineViewDS::kCompletionColumn = QStringLiteral("completion");
const QString DMProjectItemsOutlineViewDS::kUseWorkingScheduleColumn = QStringLiteral("useWorkingSchedule");
const QString DMProjectItemsOutlineViewDS::kDocumentsColumn = QStringLiteral("documents");
const QString DMProjectItemsOutlineViewDS::kIDColumn = QStringLiteral("id");

namespace {

// Object IDs are counted from 2^32: the first object shows 1.
constexpr quint64 kFirstObjectID = quint64(1) << 32;
constexpr qint32 kProcessDuration = 86400;

bool isTask(const DMProjectItem &item)
{
    return item.kind() == kDMProjectItem_Kind_Task;
}

bool isMilestone(const DMProjectItem &item)
{
    return item.kind() == kDMProjectItem_Kind_Milestone;
}

bool isExpandable(const DMProjectItem &item)
{
    return item.kind() == kDMProjectItem_Kind_Process || item.kind() == kDMProjectItem_Kind_ItemGroup;
}

int costKindOf(const DMProjectItem &item)
{
    return item.attribute(kDMProjectItem_CostKind).toInt();
}

} // namespace

DMProjectItemsOutlineViewDS::DMProjectItemsOutlineViewDS(DMProjectListDocument &document)
    : DMProjectItemListController(document)
{
}

DMProjectItemsOutlineViewDS::~DMProjectItemsOutlineViewDS() = default;

// ---- The page ----

void DMProjectItemsOutlineViewDS::setUpColumns(DMOutlineView *outline)
{
    addItemColumn(outline, kPreviewColumn, QString(), 60);
    addItemColumn(outline, kTitleColumn, DMLocalizedString("Title"), 200);
    addItemColumn(outline, kBeginDateColumn, DMLocalizedString("Begin"), 130);
    addItemColumn(outline, kEndDateColumn, DMLocalizedString("End"), 130);
    addItemColumn(outline, kDurationColumn, DMLocalizedString("Duration"), 110);
    addItemColumn(outline, kEffortColumn, DMLocalizedString("Effort"), 110, false);
    addItemColumn(outline, kCostColumn, DMLocalizedString("Cost"), 90);
    addItemColumn(outline, kBaseCostColumn, DMLocalizedString("Base Cost"), 90);
    addItemColumn(outline, kCostKindColumn, DMLocalizedString("Cost Kind"), 130);
    addItemColumn(outline, kCompletionColumn, DMLocalizedString("Completion"), 80);
    addItemColumn(outline, kUseWorkingScheduleColumn, DMLocalizedString("Working Schedule"), 60);
    addItemColumn(outline, kDocumentsColumn, QString(), 26, false);
    addItemColumn(outline, kIDColumn, DMLocalizedString("ID"), 50, false);
    outline->setDataCellForTableColumn(
        kCostKindColumn,
        new DMPopUpCell({DMLocalizedString("Fixed Cost"), DMLocalizedString("Hourly Rate"), DMLocalizedString("From Resources")}));
    outline->setDataCellForTableColumn(kCompletionColumn, new DMPercentCell);
    outline->setDataCellForTableColumn(kUseWorkingScheduleColumn, new DMCheckBoxCell);
    outline->setRowHeight(22);
    // The titles show the tree; the previews keep a column of their own.
    outline->setTreePosition(outline->outlineModel()->logicalColumnWithIdentifier(kTitleColumn));
    outline->setKeyboardEditedColumn(kTitleColumn);
    outline->registerForDraggedTypes({DMProjectOutlineDragPayload::kType});
}

void DMProjectItemsOutlineViewDS::addButtons(QBoxLayout *bar)
{
    addButton(bar, DMLocalizedString("New Task"), DMLocalizedString("Add a task"), [this] { addTask(); });
    addButton(bar, DMLocalizedString("New Milestone"), DMLocalizedString("Add a milestone"), [this] { addMilestone(); });
    addButton(bar, DMLocalizedString("New Process"), DMLocalizedString("Add a process"), [this] { addProcess(); });
    addSelectionButton(bar, DMLocalizedString("Delete"), DMLocalizedString("Delete the selected items"),
                       [this] { deleteSelectedItems(); });
    addSelectionButton(bar, DMLocalizedString("Inspect"), DMLocalizedString("Show the inspector of the selected item"),
                       [this] { editSelectedItem(); });
}

// ---- Tree ----

int DMProjectItemsOutlineViewDS::outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem outlineItem)
{
    const auto project = m_document.project();
    if (!project)
        return 0;
    if (!outlineItem)
        return int(project->tasks().size());
    const auto item = itemForOutlineItem(outlineItem);
    return item && isExpandable(*item) ? int(item->subitems().size()) : 0;
}

DMOutlineItem DMProjectItemsOutlineViewDS::outlineViewChildOfItem(DMOutlineView *, int index, DMOutlineItem outlineItem)
{
    const auto project = m_document.project();
    if (!project || index < 0)
        return nullptr;
    if (!outlineItem)
        return index < project->tasks().size() ? remember(project->tasks().at(index)) : nullptr;
    const auto item = itemForOutlineItem(outlineItem);
    return item && index < item->subitems().size() ? remember(item->subitems().at(index)) : nullptr;
}

bool DMProjectItemsOutlineViewDS::outlineViewIsItemExpandable(DMOutlineView *, DMOutlineItem outlineItem)
{
    const auto item = itemForOutlineItem(outlineItem);
    return item && isExpandable(*item);
}

// ---- Values ----

bool DMProjectItemsOutlineViewDS::showsNothing(const DMProjectItem &item, const QString &column) const
{
    if (isMilestone(item)
        && (column == kEndDateColumn || column == kDurationColumn || column == kEffortColumn || column == kCostColumn
            || column == kUseWorkingScheduleColumn))
        return true;
    return !isTask(item) && (column == kCostKindColumn || column == kBaseCostColumn);
}

bool DMProjectItemsOutlineViewDS::opensInspector(const QString &column) const
{
    return column == kCostColumn || DMProjectItemListController::opensInspector(column);
}

QVariant DMProjectItemsOutlineViewDS::itemValue(const DMProjectItem &item, const QString &column) const
{
    if (column == kEffortColumn)
        return DMDurationCell_text(item.subitemsTimeEffort(), DMDurationSplit::dayLengthForItem(item));
    if (column == kCostColumn)
        return isTask(item) ? QVariant(double(item.cost())) : QVariant(QString());
    if (column == kBaseCostColumn)
        return costKindOf(item) == kDMProjectItemCostKind_FromResources
            ? QVariant(QString())
            : QVariant(item.attribute(kDMProjectItem_Cost).toDouble());
    if (column == kCostKindColumn)
        return costKindOf(item);
    if (column == kCompletionColumn)
        return isMilestone(item) ? QVariant() : QVariant(item.progress());
    if (column == kUseWorkingScheduleColumn)
        return item.useWorkingSchedule();
    if (column == kDocumentsColumn)
        return item.attribute(kDMProjectItem_AttachedDocuments).toList().isEmpty() ? QVariant()
                                                                                  : QVariant(DMUIProjectItem::attachedImage());
    if (column == kIDColumn)
        return QVariant::fromValue<quint64>(item.objectID() - kFirstObjectID);
    return DMProjectItemListController::itemValue(item, column);
}

void DMProjectItemsOutlineViewDS::setItemValue(DMProjectItem &item, const QVariant &value, const QString &column)
{
    if (column == kEndDateColumn && isMilestone(item))
        return;
    if (column == kBaseCostColumn) {
        bool ok = false;
        const double cost = value.toDouble(&ok);
        // A cost that is no number, or an impossible one, is refused silently.
        if (ok && std::isfinite(cost) && std::abs(cost) < 1e12 && costKindOf(item) != kDMProjectItemCostKind_FromResources)
            item.setAttribute(kDMProjectItem_Cost, cost);
    } else if (column == kCostKindColumn) {
        const int kind = value.toInt();
        if (DMProjectItemCostKind_isValid(kind))
            item.setAttribute(kDMProjectItem_CostKind, kind);
    } else if (column == kCompletionColumn) {
        item.setProgress(std::clamp(value.toFloat(), 0.0f, 1.0f));
    } else if (column == kUseWorkingScheduleColumn) {
        item.setUseWorkingSchedule(value.toBool());
    } else {
        DMProjectItemListController::setItemValue(item, value, column);
    }
}

void DMProjectItemsOutlineViewDS::outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view, DMOutlineCell &cell,
                                                                              const QString &column,
                                                                              DMOutlineItem outlineItem)
{
    DMProjectItemListController::outlineViewWillDisplayCellForTableColumnItem(view, cell, column, outlineItem);
    if (column == kCostColumn || column == kBaseCostColumn) {
        const auto formatter = m_document.sharedCurrencyFormatter();
        if (formatter && cell.objectValue.typeId() == QMetaType::Double)
            cell.text = formatter->stringForObjectValue(cell.objectValue);
        cell.alignment = Qt::AlignRight | Qt::AlignVCenter;
    } else if (column == kDocumentsColumn && cell.objectValue.typeId() == QMetaType::QImage) {
        cell.image = QIcon(QPixmap::fromImage(cell.objectValue.value<QImage>()));
        cell.text.clear();
    }
}

// ---- Commands ----

void DMProjectItemsOutlineViewDS::addTask()
{
    auto task = std::make_shared<DMProjectTask>();
    task->setTitle(DMLocalizedString("New Task"));
    addItem(task, DMLocalizedString("New Task"), DMPage::ItemsTasksPage);
}

void DMProjectItemsOutlineViewDS::addMilestone()
{
    auto milestone = std::make_shared<DMProjectMilestone>();
    milestone->setTitle(DMLocalizedString("New Milestone"));
    addItem(milestone, DMLocalizedString("New Milestone"), DMPage::ItemsMilestonesPage);
}

void DMProjectItemsOutlineViewDS::addProcess()
{
    auto process = std::make_shared<DMProjectProcess>();
    process->setTitle(DMLocalizedString("New Process"));
    addItem(process, DMLocalizedString("New Process"), DMPage::ItemsProcessesPage);
}

void DMProjectItemsOutlineViewDS::addItem(const std::shared_ptr<DMProjectItem> &item, const QString &actionName,
                                          int itemsViewTag)
{
    const auto project = m_document.project();
    if (!project)
        return;
    item->setProject(project);
    const std::shared_ptr<DMProjectItem> selected = selectedItem();
    const bool intoSelected = selected && isExpandable(*selected);
    const bool selectedIsProcess = selected && selected->kind() == kDMProjectItem_Kind_Process;

    qint32 duration = 0;
    if (item->kind() == kDMProjectItem_Kind_Process)
        duration = kProcessDuration;
    else if (isTask(*item))
        duration = defaultTaskDuration(*project, DMDurationSplit::dayLengthForItem(*item));
    const DMDate begin = selectedIsProcess ? selected->beginDate() : project->beginDate();
    bool dated = false;
    {
        // The first dates make no undo step of their own: the insertion is the step.
        const DMUndoRegistrationPause pause(project->undoManager());
        dated = giveNewItemDates(*item, begin.isNull() ? DMDate::dateForNow() : begin, duration);
    }
    if (!dated)
        return;
    insertNewItem(
        item, actionName,
        [&] {
            if (intoSelected) {
                selected->subitems().insert(0, item);
            } else if (selected) {
                const auto parent = selected->parentItem();
                auto &siblings = parent ? parent->subitems() : project->tasks();
                const qsizetype index = siblings.indexOf(selected);
                siblings.insert(index < 0 ? siblings.size() : index + 1, item);
            } else {
                project->tasks().append(item);
            }
        },
        intoSelected ? selected.get() : nullptr, itemsViewTag);
}
