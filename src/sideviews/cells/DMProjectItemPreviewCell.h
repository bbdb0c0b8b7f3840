#pragma once

#include <QRectF>
#include <QStyledItemDelegate>

#include <memory>

class DMProjectItem;

// The "preview" cell of the task and event lists: the row's item as a miniature of its Gantt
// shape in the item's colours (a rounded bar with its progress for a task, a diamond for a
// milestone, a bracket for a process, a rounded bar with the event image for an event; nothing
// for groups). The list sets the row's item as the represented object just before the cell is
// drawn; without one the cell draws the row's background only.
class DMProjectItemPreviewCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Not owned; the cell draws nothing once the item went.
    void setRepresentedObject(const std::shared_ptr<DMProjectItem> &item) { m_representedObject = item; }
    std::shared_ptr<DMProjectItem> representedObject() const { return m_representedObject.lock(); }

    // Where the shape goes in a cell frame: inset by 4, then by half a point more so that
    // 1-point lines fall on whole pixels. Empty (never negative) when the frame is too small.
    static QRectF drawingRect(const QRectF &frame);
    // Draws the item's shape for the cell frame, clipped to the frame.
    static void drawItemInFrame(QPainter &painter, const QRectF &frame, const DMProjectItem &item);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The miniature fills the width of its column: it asks for none of its own.
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override { return {}; }
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }

private:
    std::weak_ptr<DMProjectItem> m_representedObject;
};
