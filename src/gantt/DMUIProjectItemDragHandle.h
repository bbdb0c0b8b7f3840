#pragma once

#include <QPointF>
#include <QRectF>
#include <QtGlobal>

#include <array>

// One drag handle of an item bar: a rectangle relative to the bar, a shape and the drag
// operation a press in it starts.
struct DMUIProjectItem_DragHandle
{
    enum Shape : quint8 {
        Empty = 0,
        Rectangle = 1,
        Circle = 2, // the circle inscribed in the rectangle
        EndOfTable = 255,
    };

    QRectF rect;
    quint8 shape = Empty;
    qint32 operation = 0;
};

// YES when the shape is a rectangle containing the point (right and bottom edges excluded), or a circle containing it (squared
// distance from the centre at most the squared radius, in single precision); NO otherwise.
bool DMUIProjectItem_DragHandle_IsPointHitting(const DMUIProjectItem_DragHandle &handle, QPointF point);

// The 17 slots of a bar's handles; the last always ends the table, so at most 16 handles exist.
// Handles are kept in order of precedence: the first that contains a point wins.
class DMUIProjectItemDragHandleTable
{
public:
    static constexpr int kSlotCount = 17;

    DMUIProjectItemDragHandleTable() { clear(); }

    void clear();
    // Fills the next free slot; false when the table is full.
    bool append(const QRectF &rect, quint8 shape, qint32 operation);
    // The operation of the first handle hit by the point (relative to the handles' origin); 0
    // for none.
    qint32 operationAtPoint(QPointF point) const;
    // The filled handles, in order.
    int count() const { return m_count; }
    const DMUIProjectItem_DragHandle &at(int index) const { return m_slots[size_t(index)]; }
    const DMUIProjectItem_DragHandle *find(qint32 operation) const;

private:
    std::array<DMUIProjectItem_DragHandle, kSlotCount> m_slots;
    int m_count = 0;
};
