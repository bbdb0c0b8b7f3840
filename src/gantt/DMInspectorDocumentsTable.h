#pragma once

#include <QStringList>
#include <QTableWidget>

#include <functional>

// The attached-documents table of the task inspector: one row per table key, with the columns
// "icon" and "name". It takes local files dropped on it, and a try to edit a row (a double click,
// Return) asks for that row's document to be opened; nothing in it is ever edited.
class DMInspectorDocumentsTable : public QTableWidget
{
    Q_OBJECT

public:
    explicit DMInspectorDocumentsTable(QWidget *parent = nullptr);

    struct Row
    {
        QString key;
        QString name;
        QIcon icon;
    };
    void setRows(const QList<Row> &rows);
    QStringList keys() const { return m_keys; }
    // The keys of the selected rows, in row order.
    QStringList selectedKeys() const;

    // The local files of a drag; empty when it carries none.
    static QStringList localFilesOf(const QMimeData *data);

    std::function<void(const QStringList &paths)> onFilesDropped;
    std::function<void(const QString &key)> onOpenRequested;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    // Takes a drag or drop that carries local files (as a copy); false, ignoring it, otherwise.
    static bool acceptFiles(QDropEvent *event);

    QStringList m_keys;
};
