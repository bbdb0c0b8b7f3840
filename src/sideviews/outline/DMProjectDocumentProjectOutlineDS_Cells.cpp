// DMProjectDocumentProjectOutlineDS: the cells: their values and how they show, edits in place,
// the date editor laid over a date cell, and the inspectors opened from the other cells.
#include "DMProjectDocumentProjectOutlineDS.h"

#include "DMDurationSplit.h"

#include "DMBeep.h"
#include "DMCurrencyFormatter.h"
#include "DMDateCellPreferences.h"
#include "DMDatePickerCell.h"
#include "DMDurationCell.h"
#include "DMDateToNSDateTransformer.h"
#include "DMEmptyCell.h"
#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectKeys.h"
#include "DMProjectOutlineDocument.h"
#include "DMProjectOutlineIcons.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMProjectUndoStep.h"
#include "DMProjectView.h"
#include "DMProjectViewObject.h"
#include "DMValidation.h"

#include <QCursor>

#include <cmath>

const QString DMProjectDocumentProjectOutlineDS::kIconColumn = QStringLiteral("icon");
const QString DMProjectDocumentProjectOutlineDS::kTitleColumn = QStringLiteral("title");
const QString DMProjectDocumentProjectOutlineDS::kBeginDateColumn = QStringLiteral("beginDate");
const QString DMProjectDocumentProjectOutlineDS::kEndDateColumn = QStringLiteral("endDate");
const QString DMProjectDocumentProjectOutlineDS::kDurationColumn = QStringLiteral("duration");
const QString DMProjectDocumentProjectOutlineDS::kCostColumn = QStringLiteral("cost");
const QString DMProjectDocumentProjectOutlineDS::kProgressColumn = QStringLiteral("progress");
const QString DMProjectDocumentProjectOutlineDS::kIDColumn = QStringLiteral("id");

namespace {

// Object IDs are counted from 2^32: the first object shows 1.
constexpr quint64 kFirstObjectID = quint64(1) << 32;

bool hasCostAndProgress(const DMProjectItem &item)
{
    return item.kind() == kDMProjectItem_Kind_Task || item.kind() == kDMProjectItem_Kind_Process;
}

bool isMilestone(const DMProjectItem &item)
{
    return item.kind() == kDMProjectItem_Kind_Milestone;
}

DMDate dateFromPlatformDate(const QVariant &value)
{
    return DMItemDateEditor::dateFromPlatformDate(value);
}

QVariant platformDate(const DMDate &date)
{
    return DMItemDateEditor::platformDate(date);
}

} // namespace

// ---- Values ----

QVariant DMProjectDocumentProjectOutlineDS::itemValue(const DMProjectItem &item, const QString &column) const
{
    if (column == kTitleColumn)
        return item.title();
    if (column == kBeginDateColumn)
        return platformDate(item.beginDate());
    if (column == kEndDateColumn)
        return isMilestone(item) ? QVariant() : platformDate(item.endDate());
    if (column == kDurationColumn)
        return isMilestone(item) ? QString() : DMDurationCell_text(item.duration(), DMDurationSplit::dayLengthForItem(item));
    if (column == kCostColumn)
        return hasCostAndProgress(item) ? QVariant(item.cost()) : QVariant(QString());
    if (column == kProgressColumn)
        return hasCostAndProgress(item) ? QVariant(item.progress()) : QVariant(QString());
    if (column == kIDColumn)
        return QVariant::fromValue<quint64>(item.objectID() - kFirstObjectID);
    return {};
}

QVariant DMProjectDocumentProjectOutlineDS::resourceValue(const DMProjectResource &resource, const QString &column) const
{
    if (column == kIconColumn) {
        const QImage icon = resource.attribute(kDMProjectResource_Icon).value<QImage>();
        if (!icon.isNull())
            return icon.copy();
        return DMProjectOutlineIcons::imageNamed(DMProjectOutlineIcons::resourceImageName(resource)).copy();
    }
    if (column == kTitleColumn)
        return resource.name();
    if (column == kCostColumn)
        return resource.isGroup() ? QVariant(QString()) : QVariant(resource.cost());
    if (column == kProgressColumn)
        return resource.isGroup() ? QVariant(QString()) : QVariant(resource.progress());
    return QString();
}

QVariant DMProjectDocumentProjectOutlineDS::outlineViewObjectValueForTableColumnByItem(DMOutlineView *,
                                                                                      const QString &column,
                                                                                      DMOutlineItem item)
{
    const int mode = viewMode();
    if (!DMProjectViewMode_showsRows(mode))
        return {};
    if (isEventsRow(item))
        return column == kIconColumn ? QVariant() : QVariant(QString());
    const std::shared_ptr<DMProjectObject> object = objectForItem(item);
    if (mode == kDMProjectViewMode_Resources) {
        const auto *resource = dynamic_cast<const DMProjectResource *>(object.get());
        return resource ? resourceValue(*resource, column) : QVariant();
    }
    const auto *projectItem = dynamic_cast<const DMProjectItem *>(object.get());
    return projectItem && column != kIconColumn ? itemValue(*projectItem, column) : QVariant();
}

// ---- Edits in place ----

void DMProjectDocumentProjectOutlineDS::outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *,
                                                                                     const QVariant &value,
                                                                                     const QString &column,
                                                                                     DMOutlineItem item)
{
    if (viewMode() != kDMProjectViewMode_Gantt || !item || isEventsRow(item))
        return;
    const auto projectItem = std::dynamic_pointer_cast<DMProjectItem>(objectForItem(item));
    if (!projectItem)
        return;
    if (column == kBeginDateColumn) {
        const DMDate begin = dateFromPlatformDate(value);
        if (begin.isNull()) {
            DMBeep();
            return;
        }
        const DMDate end = projectItem->endDateWithBeginDateAndDurationWorkSlices(begin, projectItem->duration());
        if (projectItem->validateAndSetBeginDateAndEndDate(begin, end) != kDMValidation_OK)
            DMBeep();
    } else if (column == kEndDateColumn && !isMilestone(*projectItem)) {
        // An end at or before the begin is refused without asking the model.
        const DMDate end = dateFromPlatformDate(value);
        if (end.isNull() || !(projectItem->beginDate() < end)
            || projectItem->validateAndSetBeginDateAndEndDate(projectItem->beginDate(), end) != kDMValidation_OK)
            DMBeep();
    } else if (column == kTitleColumn) {
        // Named as the inspector and the lists name a new title.
        DMProject_applyAsOneUndoStep(projectItem->project(), DMLocalizedString("Set Title"),
                                     [&] { projectItem->setTitle(value.toString()); });
    } else if (column == kProgressColumn && hasCostAndProgress(*projectItem)) {
        projectItem->setProgress(value.toFloat());
    }
}

// ---- How cells show ----

QAbstractItemDelegate *DMProjectDocumentProjectOutlineDS::outlineViewDataCellForTableColumnItem(DMOutlineView *,
                                                                                              const QString &column,
                                                                                              DMOutlineItem item)
{
    if (column.isEmpty())
        return nullptr;
    if (isEventsRow(item))
        return column == kIconColumn || column == kTitleColumn ? nullptr : m_emptyCell.get();
    if (column == kEndDateColumn && viewMode() == kDMProjectViewMode_Gantt) {
        const auto projectItem = std::dynamic_pointer_cast<DMProjectItem>(objectForItem(item));
        if (projectItem && isMilestone(*projectItem))
            return m_emptyCell.get();
    }
    return nullptr; // the column's own
}

void DMProjectDocumentProjectOutlineDS::outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *,
                                                                                    DMOutlineCell &cell,
                                                                                    const QString &column,
                                                                                    DMOutlineItem item)
{
    if (cell.dataCell && cell.dataCell == m_emptyCell.get())
        return;
    if (column == kIconColumn) {
        cell.representedObject = nullptr;
        if (viewMode() == kDMProjectViewMode_Gantt && !isEventsRow(item)) {
            if (const auto projectItem = std::dynamic_pointer_cast<DMProjectItem>(objectForItem(item))) {
                cell.representedObject = item;
                // The cell may be drawn after the item went: it draws what is left then.
                const std::weak_ptr<DMProjectItem> weakItem = projectItem;
                cell.draw = [weakItem](QPainter &painter, const QRect &rect, DMOutlineItem) {
                    if (const auto drawn = weakItem.lock())
                        DMProjectOutlineIcons::drawItemIcon(painter, rect, *drawn);
                };
            }
        } else if (cell.objectValue.typeId() == QMetaType::QImage) {
            cell.image = QIcon(QPixmap::fromImage(cell.objectValue.value<QImage>()));
            cell.text.clear();
        }
    } else if (column == kTitleColumn && isEventsRow(item)) {
        cell.text = DMLocalizedString("Events");
        cell.font.setItalic(true);
    } else if (column == kCostColumn) {
        const auto formatter = m_document.sharedCurrencyFormatter();
        if (formatter && cell.objectValue.typeId() == QMetaType::Float)
            cell.text = formatter->stringForObjectValue(cell.objectValue);
    } else if (column == kBeginDateColumn || column == kEndDateColumn) {
        DMDateCellPreferences_prepareCell(cell);
    }
}

// ---- What an edit click does ----

bool DMProjectDocumentProjectOutlineDS::outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &column,
                                                                            DMOutlineItem)
{
    if (!view)
        return false;
    const int mode = viewMode();
    if (mode == kDMProjectViewMode_Resources) {
        showResourceInspector(view);
        return false;
    }
    if (mode != kDMProjectViewMode_Gantt)
        return false;
    // The first selected row decides, not the clicked one.
    const auto item = std::dynamic_pointer_cast<DMProjectItem>(objectForItem(view->itemAtRow(view->selectedRow())));
    if (!item)
        return false;
    if (editsInPlace(column, *item))
        return true;
    if (editsDateInPlace(column, *item) && view->columnWithIdentifier(column) >= 0 && !view->isTableColumnHidden(column)) {
        m_dateEditor.open(view, column, item, column == kEndDateColumn);
        return false;
    }
    if (const auto object = std::dynamic_pointer_cast<DMProjectViewObject>(item->ganttUIObject()))
        object->editInView(m_document.projectView());
    return false;
}

bool DMProjectDocumentProjectOutlineDS::outlineViewEditsTableColumnItemInPlace(DMOutlineView *, const QString &column,
                                                                              DMOutlineItem outlineItem)
{
    // In the task view the title, the progress and the dates (in their editor); the rest and the
    // resource view's rows open an inspector.
    const auto item = std::dynamic_pointer_cast<DMProjectItem>(objectForItem(outlineItem));
    if (!item || viewMode() != kDMProjectViewMode_Gantt)
        return false;
    return editsInPlace(column, *item) || editsDateInPlace(column, *item);
}

bool DMProjectDocumentProjectOutlineDS::editsDateInPlace(const QString &column, const DMProjectItem &item)
{
    return column == kBeginDateColumn || (column == kEndDateColumn && !isMilestone(item));
}

bool DMProjectDocumentProjectOutlineDS::editsInPlace(const QString &column, const DMProjectItem &item)
{
    return column == kTitleColumn || (column == kProgressColumn && hasCostAndProgress(item));
}

void DMProjectDocumentProjectOutlineDS::showResourceInspector(DMOutlineView *view)
{
    if (DMProjectView *canvas = m_document.projectView())
        canvas->deselectAll();
    const int row = view->selectedRow();
    const auto resource = std::dynamic_pointer_cast<DMProjectResource>(objectForItem(view->itemAtRow(row)));
    if (!resource)
        return;
    // At the pointer; from the keyboard, at the middle of the row's first cell.
    QPoint point = view->mapFromGlobal(QCursor::pos());
    if (!view->rect().contains(point))
        point = view->viewport()->mapTo(view, view->frameOfCellAtColumnRow(0, row).center() - view->contentOffset());
    DMProjectResourceEditorController *inspector = DMProjectResourceEditorController::sharedInstance();
    inspector->setEditedObject(resource);
    inspector->showAtPointInView(point, view);
}
