// DMProjectDocumentProjectOutlineDS: the outline's columns, their cells, their arrangement and
// the column menu.
#include "DMProjectDocumentProjectOutlineDS.h"

#include "DMDatePickerCell.h"
#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMPercentCell.h"
#include "DMProjectOutlineDocument.h"
#include "DMProjectOutlineDragPayload.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr int kRowHeight = 20;
const QString kIdentifier = QStringLiteral("identifier");
const QString kChecked = QStringLiteral("checked");

struct ColumnLayout
{
    const QString &identifier;
    int width;
};

} // namespace

QString DMProjectDocumentProjectOutlineDS::columnMenuTitle(const QString &identifier)
{
    const QString key = QStringLiteral("taskListTitle-%1").arg(identifier);
    const QString localized = DMLocalizedString(key);
    if (localized != key)
        return localized;
    // The English texts of the keys, for a build without a translation of them.
    static const QHash<QString, const char *> english{
        {kIconColumn, "Icon"},         {kTitleColumn, "Title"}, {kBeginDateColumn, "Begin"},
        {kEndDateColumn, "End"},       {kDurationColumn, "Duration"}, {kCostColumn, "Cost"},
        {kProgressColumn, "Progress"}, {kIDColumn, "ID"}};
    const char *text = english.value(identifier, nullptr);
    return text ? QString::fromLatin1(text) : identifier;
}

void DMProjectDocumentProjectOutlineDS::attachToOutlineView()
{
    DMOutlineView *outline = m_document.projectOutlineView();
    if (!outline)
        return;
    if (outline->numberOfColumns() == 0) {
        for (const ColumnLayout &layout : {ColumnLayout{kIconColumn, 26}, ColumnLayout{kTitleColumn, 180},
                                       ColumnLayout{kBeginDateColumn, 130}, ColumnLayout{kEndDateColumn, 130},
                                       ColumnLayout{kDurationColumn, 110}, ColumnLayout{kCostColumn, 90},
                                       ColumnLayout{kProgressColumn, 70}, ColumnLayout{kIDColumn, 50}}) {
            // Every column is editable: the delegate decides what an edit click does.
            DMOutlineTableColumn column(layout.identifier,
                                        layout.identifier == kIconColumn ? QString() : columnMenuTitle(layout.identifier),
                                        layout.width);
            outline->addTableColumn(column);
        }
        outline->setDataCellForTableColumn(kBeginDateColumn, new DMDatePickerCell);
        outline->setDataCellForTableColumn(kEndDateColumn, new DMDatePickerCell);
        outline->setDataCellForTableColumn(kProgressColumn, new DMPercentCell);
        outline->setRowHeight(kRowHeight);
        // The titles show the tree; the icons stay in a column of their own.
        outline->setTreePosition(outline->outlineModel()->logicalColumnWithIdentifier(kTitleColumn));
        outline->setKeyboardEditedColumn(kTitleColumn);
    }
    outline->setDataSource(this);
    outline->setDelegate(this);
    outline->registerForDraggedTypes({DMProjectOutlineDragPayload::kType});
    outline->setHeaderMenu(m_document.projectOutlineViewMenu());
}

void DMProjectDocumentProjectOutlineDS::applyingTaskListColumns(const QVariantList &columns)
{
    QMenu *menu = m_document.projectOutlineViewMenu();
    if (menu) {
        // Deleted later: the action being triggered may be among them.
        for (QAction *action : menu->actions()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    if (viewMode() != kDMProjectViewMode_Gantt)
        return;
    DMOutlineView *outline = m_document.projectOutlineView();
    for (qsizetype position = 0; position < columns.size(); ++position) {
        const QVariantMap entry = columns.at(position).toMap();
        const QString identifier = entry.value(kIdentifier).toString();
        const bool checked = entry.value(kChecked).toBool();
        if (outline) {
            const int column = outline->columnWithIdentifier(identifier);
            if (column >= 0) {
                outline->moveColumnToColumn(column, int(position));
                outline->setTableColumnHidden(identifier, !checked);
            }
        }
        // A column that the outline lacks still has its menu item.
        if (menu && identifier != kIconColumn) {
            QAction *action = menu->addAction(columnMenuTitle(identifier));
            action->setCheckable(true);
            action->setChecked(checked);
            action->setData(identifier);
            connect(action, &QAction::triggered, this, [this, action] { toggleProjectOutlineViewColumn(action); });
        }
    }
}

void DMProjectDocumentProjectOutlineDS::showColumnsForViewMode(const QVariantList &columns)
{
    applyingTaskListColumns(columns);
    DMOutlineView *outline = m_document.projectOutlineView();
    if (viewMode() != kDMProjectViewMode_Resources || !outline)
        return;
    // Resources have a picture, a name, a cost and a progress.
    for (const QString &identifier : outline->tableColumnIdentifiers())
        outline->setTableColumnHidden(identifier, identifier != kIconColumn && identifier != kTitleColumn
                                                      && identifier != kCostColumn && identifier != kProgressColumn);
}

void DMProjectDocumentProjectOutlineDS::toggleProjectOutlineViewColumn(QAction *sender)
{
    if (sender)
        m_document.setTaskListColumnHidden(sender->data().toString(), !sender->isChecked());
}
