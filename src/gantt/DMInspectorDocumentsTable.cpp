#include "DMInspectorDocumentsTable.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

enum Column { IconColumn, NameColumn };

} // namespace

DMInspectorDocumentsTable::DMInspectorDocumentsTable(QWidget *parent)
    : QTableWidget(0, 2, parent)
{
    setObjectName(QStringLiteral("documentsTableView"));
    setHorizontalHeaderLabels({QStringLiteral("icon"), QStringLiteral("name")});
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(IconColumn, QHeaderView::Fixed);
    horizontalHeader()->resizeSection(IconColumn, 24);
    horizontalHeader()->setStretchLastSection(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
}

void DMInspectorDocumentsTable::setRows(const QList<Row> &rows)
{
    QStringList keys;
    for (const Row &row : rows)
        keys.append(row.key);
    const QStringList selected = selectedKeys();
    setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        auto *icon = new QTableWidgetItem;
        icon->setIcon(rows.at(i).icon);
        icon->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(i, IconColumn, icon);
        auto *name = new QTableWidgetItem(rows.at(i).name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(i, NameColumn, name);
    }
    m_keys = keys;
    // The selection follows the keys, not the row numbers.
    clearSelection();
    for (int i = 0; i < m_keys.size(); ++i)
        if (selected.contains(m_keys.at(i)))
            selectionModel()->select(model()->index(i, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QStringList DMInspectorDocumentsTable::selectedKeys() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QStringList keys;
    for (int row : rows)
        if (row >= 0 && row < m_keys.size())
            keys.append(m_keys.at(row));
    return keys;
}

QStringList DMInspectorDocumentsTable::localFilesOf(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.append(url.toLocalFile());
    return files;
}

bool DMInspectorDocumentsTable::acceptFiles(QDropEvent *event)
{
    if (localFilesOf(event->mimeData()).isEmpty()) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void DMInspectorDocumentsTable::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFiles(event);
}

void DMInspectorDocumentsTable::dragMoveEvent(QDragMoveEvent *event)
{
    acceptFiles(event);
}

void DMInspectorDocumentsTable::dropEvent(QDropEvent *event)
{
    if (acceptFiles(event) && onFilesDropped)
        onFilesDropped(localFilesOf(event->mimeData()));
}

bool DMInspectorDocumentsTable::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!index.isValid() || !(editTriggers() & trigger))
        return QTableWidget::edit(index, trigger, event);
    if (index.row() < m_keys.size() && onOpenRequested)
        onOpenRequested(m_keys.at(index.row()));
    return false;
}
