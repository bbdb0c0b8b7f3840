#include "DMDurationSplit.h"
#include "DMProjectItemListController.h"

#include "DMDateCellPreferences.h"
#include "DMDatePickerCell.h"
#include "DMDurationCell.h"
#include "DMEmptyCell.h"
#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectItemPreviewCell.h"
#include "DMProjectKeys.h"
#include "DMProjectListDocument.h"
#include "DMProjectUndoStep.h"
#include "DMProjectViewObject.h"
#include "DMProjectViewObjectEditor.h"

#include <QDateTime>
#include <QHeaderView>

#include <exception>

const QString DMProjectItemListController::kPreviewColumn = QStringLiteral("preview");
const QString DMProjectItemListController::kTitleColumn = QStringLiteral("title");
const QString DMProjectItemListController::kBeginDateColumn = QStringLiteral("beginDate");
const QString DMProjectItemListController::kEndDateColumn = QStringLiteral("endDate");
const QString DMProjectItemListController::kDurationColumn = QStringLiteral("duration");

namespace {
// The inspector that an empty selection empties.
const QString kTaskInspectorClass = QStringLiteral("DMUIProjectTaskInspectorController");
const DMDate kEarliestDate(1970, 1, 1, 0);
} // namespace

DMProjectItemListController::DMProjectItemListController(DMProjectListDocument &document)
    : DMProjectListController(document), m_dateEditor([this] {
          if (DMOutlineView *outline = outlineView())
              outline->viewport()->update();
      })
{
}

DMProjectItemListController::~DMProjectItemListController() = default;

std::shared_ptr<DMProjectItem> DMProjectItemListController::itemForOutlineItem(DMOutlineItem item) const
{
    return std::dynamic_pointer_cast<DMProjectItem>(objectForItem(item));
}

std::shared_ptr<DMProjectItem> DMProjectItemListController::selectedItem() const
{
    return std::dynamic_pointer_cast<DMProjectItem>(selectedObject());
}

void DMProjectItemListController::reload()
{
    // An editor over a row that may have moved or gone closes first.
    m_dateEditor.close();
    DMProjectListController::reload();
}

void DMProjectItemListController::addItemColumn(DMOutlineView *outline, const QString &identifier, const QString &title,
                                                int width, bool editable)
{
    DMOutlineTableColumn column(identifier, title, width);
    column.editable = editable;
    column.sortKey = sortKeyForColumn(identifier);
    outline->addTableColumn(column);
    // A column is never narrower than its title.
    const int logical = outline->outlineModel()->logicalColumnWithIdentifier(identifier);
    if (!title.isEmpty() && outline->header()->sectionSizeHint(logical) > width)
        outline->header()->resizeSection(logical, outline->header()->sectionSizeHint(logical));
    if (identifier == kBeginDateColumn || identifier == kEndDateColumn) {
        auto *cell = new DMDatePickerCell;
        QFont font = cell->font();
        font.setPointSizeF(font.pointSizeF() - 1);
        cell->setFont(font);
        outline->setDataCellForTableColumn(identifier, cell);
    } else if (identifier == kPreviewColumn) {
        m_previewCell = new DMProjectItemPreviewCell;
        outline->setDataCellForTableColumn(identifier, m_previewCell);
    }
}

QString DMProjectItemListController::sortKeyForColumn(const QString &identifier)
{
    // The item keys the document sorts by; "completion" shows the progress.
    if (identifier == kTitleColumn || identifier == kBeginDateColumn || identifier == kEndDateColumn
        || identifier == kDurationColumn || identifier == QLatin1String("cost"))
        return identifier;
    if (identifier == QLatin1String("completion"))
        return QStringLiteral("progress");
    return QString();
}

void DMProjectItemListController::outlineViewSortDescriptorsDidChange(DMOutlineView *, const QList<DMSortDescriptor> &descriptors)
{
    m_document.sortProjectWithDescriptors(descriptors);
    reload();
}

// ---- Values ----

QVariant DMProjectItemListController::itemValue(const DMProjectItem &item, const QString &column) const
{
    if (column == kTitleColumn)
        return item.title();
    if (column == kBeginDateColumn)
        return DMItemDateEditor::platformDate(item.beginDate());
    if (column == kEndDateColumn)
        return DMItemDateEditor::platformDate(item.endDate());
    if (column == kDurationColumn)
        return DMDurationCell_text(item.duration(), DMDurationSplit::dayLengthForItem(item));
    return {};
}

void DMProjectItemListController::setItemValue(DMProjectItem &item, const QVariant &value, const QString &column)
{
    if (column == kTitleColumn) {
        item.setTitle(value.toString());
    } else if (column == kBeginDateColumn || column == kEndDateColumn) {
        // The date cells edit through the date editor; a value given here is validated the same way.
        const DMDate date = DMItemDateEditor::dateFromPlatformDate(value);
        if (!date.isNull())
            column == kBeginDateColumn ? DMItemDateEditor::setValidatedBeginDate(item, date) : item.setValidatedEndDate(date);
    }
}

QVariant DMProjectItemListController::outlineViewObjectValueForTableColumnByItem(DMOutlineView *, const QString &column,
                                                                                DMOutlineItem outlineItem)
{
    const auto item = itemForOutlineItem(outlineItem);
    if (!item || showsNothing(*item, column))
        return item ? QVariant(QString()) : QVariant();
    return itemValue(*item, column);
}

void DMProjectItemListController::outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *, const QVariant &value,
                                                                               const QString &column,
                                                                               DMOutlineItem outlineItem)
{
    const auto item = itemForOutlineItem(outlineItem);
    if (!item || !item->isAttached() || showsNothing(*item, column))
        return;
    if (column == kTitleColumn)
        // Named as the inspector names a new title, so that the Edit menu says what it undoes.
        DMProject_applyAsOneUndoStep(item->project(), DMLocalizedString("Set Title"),
                                     [&] { setItemValue(*item, value, column); });
    else
        setItemValue(*item, value, column);
}

bool DMProjectItemListController::showsNothing(const DMProjectItem &, const QString &) const
{
    return false;
}

bool DMProjectItemListController::opensInspector(const QString &column) const
{
    return column == kPreviewColumn || column == kDurationColumn;
}

// ---- Cells ----

QAbstractItemDelegate *DMProjectItemListController::outlineViewDataCellForTableColumnItem(DMOutlineView *,
                                                                                        const QString &column,
                                                                                        DMOutlineItem outlineItem)
{
    if (column.isEmpty())
        return nullptr;
    const auto item = itemForOutlineItem(outlineItem);
    return item && showsNothing(*item, column) ? emptyCell() : nullptr;
}

void DMProjectItemListController::outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *, DMOutlineCell &cell,
                                                                              const QString &column,
                                                                              DMOutlineItem outlineItem)
{
    if (cell.dataCell && cell.dataCell == emptyCell())
        return;
    if (column == kPreviewColumn) {
        if (m_previewCell)
            m_previewCell->setRepresentedObject(itemForOutlineItem(outlineItem));
    } else if (column == kBeginDateColumn || column == kEndDateColumn) {
        DMDateCellPreferences_prepareCell(cell);
    }
}

// ---- Editing ----

bool DMProjectItemListController::outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &column,
                                                                      DMOutlineItem outlineItem)
{
    const auto item = itemForOutlineItem(outlineItem);
    if (!view || !item)
        return false;
    // The inspector opens for every item, also where the cell shows nothing (a milestone's
    // duration and cost).
    if (opensInspector(column)) {
        openInspector(*item, true);
        return false;
    }
    if (showsNothing(*item, column))
        return false; // a milestone's end date opens nothing
    if (column == kBeginDateColumn || column == kEndDateColumn) {
        if (view->columnWithIdentifier(column) >= 0 && !view->isTableColumnHidden(column))
            m_dateEditor.open(view, column, item, column == kEndDateColumn);
        return false;
    }
    return true;
}

bool DMProjectItemListController::outlineViewEditsTableColumnItemInPlace(DMOutlineView *, const QString &column,
                                                                        DMOutlineItem outlineItem)
{
    // The dates too: their editor is laid over the cell.
    const auto item = itemForOutlineItem(outlineItem);
    return item && !opensInspector(column) && !showsNothing(*item, column);
}

void DMProjectItemListController::openInspector(const DMProjectItem &item, bool show)
{
    const auto object = std::dynamic_pointer_cast<DMProjectViewObject>(item.ganttUIObject());
    if (!object)
        return;
    if (show)
        object->editInView(m_document.projectView());
    else
        object->editInInspector();
}

void DMProjectItemListController::outlineViewSelectionDidChange(DMOutlineView *view)
{
    DMProjectListController::outlineViewSelectionDidChange(view);
    if (view != outlineView())
        return;
    // The inspector follows the selection without opening.
    if (const auto item = selectedItem())
        openInspector(*item, false);
    else if (DMProjectViewObjectEditor *inspector = DMProjectViewObjectEditor::sharedInstance(kTaskInspectorClass))
        inspector->editObject(nullptr);
}

// ---- Commands ----

void DMProjectItemListController::editSelectedItem()
{
    if (const auto item = selectedItem())
        openInspector(*item, true);
}

void DMProjectItemListController::inspectSelection()
{
    const auto item = selectedItem();
    if (const auto object = item ? std::dynamic_pointer_cast<DMProjectViewObject>(item->ganttUIObject()) : nullptr)
        object->editNewObjectInView(m_document.projectView());
}

void DMProjectItemListController::deleteSelectedItems()
{
    DMOutlineView *outline = outlineView();
    if (!outline)
        return;
    QList<std::shared_ptr<DMProjectObject>> items;
    for (const int row : outline->selectedRowIndexes())
        if (const auto item = itemForOutlineItem(outline->itemAtRow(row)))
            items.append(item);
    if (items.isEmpty())
        return;
    m_dateEditor.close();
    outline->deselectAll();
    // One undo step, which the document learns of from its undo manager.
    m_document.deleteItems(items);
    reload();
}

bool DMProjectItemListController::giveNewItemDates(DMProjectItem &item, const DMDate &proposedBegin, qint64 duration)
{
    if (proposedBegin.isNull() || proposedBegin < kEarliestDate)
        return false;
    // An item on the working schedule begins when work can: a begin at night, on a weekend or
    // at the end of a working day would give it a bar that starts in time nobody works.
    const auto project = item.project();
    const DMDate begin = project && item.useWorkingSchedule() ? project->nextWorkingInstant(proposedBegin) : proposedBegin;
    const DMDate end = item.hasEqualDates() ? begin : item.endDateWithBeginDateAndDurationWorkSlices(begin, std::max<qint64>(duration, 1));
    try {
        item.setBeginDateAndEndDate(begin, end);
    } catch (const std::exception &exception) {
        qWarning("A new item's dates were refused: %s", exception.what());
        return false;
    }
    return true;
}

qint32 DMProjectItemListController::defaultTaskDuration(const DMProject &project, qint64 dayLength)
{
    const auto setting = [&project](const QString &key) { return qint64(project.attribute(key).toInt()); };
    // 32-bit arithmetic, as the durations are stored.
    return qint32(setting(kDMProject_Settings_DefaultTaskDuration_Days) * dayLength
                  + setting(kDMProject_Settings_DefaultTaskDuration_Hours) * 3600
                  + setting(kDMProject_Settings_DefaultTaskDuration_Minutes) * 60);
}

void DMProjectItemListController::insertNewItem(const std::shared_ptr<DMProjectItem> &item, const QString &actionName,
                                                const std::function<void()> &insert, const DMProjectObject *parent,
                                                int itemsViewTag)
{
    const auto project = m_document.project();
    DMOutlineView *outline = outlineView();
    if (!project || !outline)
        return;
    m_dateEditor.close();
    const bool hadSelection = outline->selectedRow() >= 0;
    DMProject_applyAsOneUndoStep(project, actionName, insert);
    m_document.projectListDidChangeProject();
    reload();
    showNewObject(item.get(), parent, editsTitleOfNewItem(hadSelection), kTitleColumn);
    m_document.updateItemsArrayWithTag(itemsViewTag);
}
