#pragma once

// A data source whose tree is written as a literal: "A(B C:40(D)) E()" is A with children B
// and C (40 pixels high, with child D), then E, expandable but empty. Nodes keep their address
// while their name stays in a later literal, so items survive setTree as they survive edits of
// a real model.

#include "DMOutlineView.h"

#include <QAbstractItemDelegate>
#include <QHash>
#include <QHeaderView>
#include <QMimeData>
#include <QRegularExpression>

#include <map>
#include <memory>

namespace outline_test {

struct Node
{
    QString name;
    int height = 0; // 0: not answered
    bool expandable = false;
    std::vector<Node *> children;
};

class TreeSource : public DMOutlineViewDataSource
{
public:
    explicit TreeSource(const QString &literal = QString()) { setTree(literal); }

    void setTree(const QString &literal)
    {
        root.children.clear();
        std::vector<Node *> parents{&root};
        Node *last = nullptr;
        static const QRegularExpression tokens(QStringLiteral("[()]|[^\\s()]+"));
        for (const QRegularExpressionMatch &match : tokens.globalMatch(literal)) {
            const QStringList parts = match.captured().split(QLatin1Char(':'));
            if (parts[0] == QLatin1String("(")) {
                last->expandable = true;
                parents.push_back(last);
            } else if (parts[0] == QLatin1String(")")) {
                parents.pop_back();
            } else {
                auto &slot = pool[parts[0]];
                if (!slot)
                    slot = std::make_unique<Node>();
                last = slot.get();
                *last = Node{parts[0], parts.value(1).toInt(), false, {}};
                parents.back()->children.push_back(last);
            }
        }
    }

    Node *node(const QString &name) const { return pool.at(name).get(); }
    DMOutlineItem item(const QString &name) const { return node(name); }
    static QString nameOf(DMOutlineItem item) { return item ? static_cast<const Node *>(item)->name : QString(); }

    int outlineViewNumberOfChildrenOfItem(DMOutlineView *, DMOutlineItem item) override
    {
        ++childCountQueries[nameOf(item)];
        return int(at(item)->children.size());
    }
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *, int i, DMOutlineItem item) override { return at(item)->children[size_t(i)]; }
    bool outlineViewIsItemExpandable(DMOutlineView *, DMOutlineItem item) override { return at(item)->expandable; }
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *, const QString &column,
                                                        DMOutlineItem item) override
    {
        return column == QLatin1String("title") ? QVariant(nameOf(item)) : QVariant(int(at(item)->children.size()));
    }
    void outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *, const QVariant &value, const QString &column,
                                                       DMOutlineItem item) override
    {
        edits.append(column + QLatin1Char('=') + value.toString());
        if (column == QLatin1String("title"))
            const_cast<Node *>(at(item))->name = value.toString();
    }
    std::optional<int> outlineViewHeightOfRowByItem(DMOutlineView *, DMOutlineItem item) override
    {
        return at(item)->height > 0 ? std::optional<int>(at(item)->height) : std::nullopt;
    }
    bool outlineViewWriteItemsToPasteboard(DMOutlineView *, const QList<DMOutlineItem> &items,
                                           QMimeData *pasteboard) override
    {
        QStringList names;
        for (DMOutlineItem item : items)
            names.append(nameOf(item));
        pasteboard->setData(QStringLiteral("application/x-outline-test"), names.join(QLatin1Char(',')).toUtf8());
        return items.size() <= maximumDraggedItems;
    }
    Qt::DropAction outlineViewValidateDropProposedItemProposedChildIndex(DMOutlineView *, const DMDraggingInfo &,
                                                                         DMOutlineItem item, int index) override
    {
        validated.append(QStringLiteral("%1@%2").arg(nameOf(item)).arg(index));
        return dropOperation;
    }
    bool outlineViewAcceptDropItemChildIndex(DMOutlineView *, const DMDraggingInfo &info, DMOutlineItem item,
                                             int index) override
    {
        accepted.append(QStringLiteral("%1@%2:%3").arg(nameOf(item)).arg(index)
                            .arg(QString::fromUtf8(info.pasteboard->data(QStringLiteral("application/x-outline-test")))));
        return true;
    }

    Node root;
    std::map<QString, std::unique_ptr<Node>> pool;
    std::map<QString, int> childCountQueries;
    QStringList edits;
    QStringList validated;
    QStringList accepted;
    Qt::DropAction dropOperation = Qt::MoveAction;
    int maximumDraggedItems = 1;

private:
    const Node *at(DMOutlineItem item) const { return item ? static_cast<const Node *>(item) : &root; }
};

// Records what a view tells its delegate, and refuses what it is told to, by item name.
class RecordingDelegate : public DMOutlineViewDelegate
{
public:
    bool outlineViewShouldExpandItem(DMOutlineView *, DMOutlineItem item) override { return !refuseExpand.contains(name(item)); }
    bool outlineViewShouldCollapseItem(DMOutlineView *, DMOutlineItem item) override { return !refuseCollapse.contains(name(item)); }
    bool outlineViewShouldSelectItem(DMOutlineView *, DMOutlineItem item) override { return !refuseSelect.contains(name(item)); }
    bool selectionShouldChangeInOutlineView(DMOutlineView *) override { return !refuseSelectionChange; }
    QAbstractItemDelegate *outlineViewDataCellForTableColumnItem(DMOutlineView *, const QString &column,
                                                                 DMOutlineItem item) override
    {
        return column == rowCellColumn && name(item) == rowCellItem ? rowCell : nullptr;
    }
    void outlineViewItemDidExpand(DMOutlineView *, DMOutlineItem item) override { events.append("expanded " + name(item)); }
    void outlineViewItemDidCollapse(DMOutlineView *, DMOutlineItem item) override { events.append("collapsed " + name(item)); }
    void outlineViewSelectionDidChange(DMOutlineView *) override { ++selectionChanges; }
    bool outlineViewShouldEditTableColumnItem(DMOutlineView *, const QString &column, DMOutlineItem item) override
    {
        events.append(QStringLiteral("edit %1 %2").arg(column, name(item)));
        return !refuseEdit.contains(column);
    }
    void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *, DMOutlineCell &cell, const QString &column,
                                                      DMOutlineItem item) override
    {
        if (name(item) == redItem)
            cell.textColor = Qt::red;
        if (cell.dataCell)
            displayedDataCells.insert(name(item) + QLatin1Char('/') + column, cell.dataCell);
    }
    static QString name(DMOutlineItem item) { return TreeSource::nameOf(item); }

    QStringList events;
    QStringList refuseExpand;
    QStringList refuseCollapse;
    QStringList refuseEdit;
    QStringList refuseSelect;
    QString redItem;
    int selectionChanges = 0;
    bool refuseSelectionChange = false;
    // One row's cell of one column drawn by rowCell.
    QAbstractItemDelegate *rowCell = nullptr;
    QString rowCellColumn;
    QString rowCellItem;
    QHash<QString, QAbstractItemDelegate *> displayedDataCells; // "item/column"

};

// A shown outline with a "title" and a "count" column, rows 20 pixels high by default.
struct ShownOutline
{
    explicit ShownOutline(const QString &literal) : source(literal)
    {
        view.addTableColumn({QStringLiteral("title"), QStringLiteral("Title"), 120});
        view.addTableColumn({QStringLiteral("count"), QStringLiteral("Count"), 60});
        view.header()->setStretchLastSection(false);
        view.setRowHeight(20);
        view.setDataSource(&source);
        view.setDelegate(&delegate);
        view.resize(320, 240);
        view.show();
    }
    DMOutlineItem item(const char *name) const { return source.item(QString::fromLatin1(name)); }
    // The centre of a row's cell in viewport coordinates.
    QPoint cellCentre(int column, int row) const
    {
        return view.frameOfCellAtColumnRow(column, row).center() - view.contentOffset();
    }

    TreeSource source;
    RecordingDelegate delegate;
    DMOutlineView view;
};

// The rows a view shows, each name prefixed with one dot per level: {"A", ".B", "C"}.
inline QStringList shownRows(const DMOutlineView &view)
{
    QStringList rows;
    for (int row = 0; row < view.numberOfRows(); ++row)
        rows.append(QString(view.levelForRow(row), QLatin1Char('.')) + TreeSource::nameOf(view.itemAtRow(row)));
    return rows;
}

} // namespace outline_test
