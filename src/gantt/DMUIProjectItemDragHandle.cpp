#include "DMUIProjectItemDragHandle.h"

#include <algorithm>

bool DMUIProjectItem_DragHandle_IsPointHitting(const DMUIProjectItem_DragHandle &handle, QPointF point)
{
    const QRectF &r = handle.rect;
    if (handle.shape == DMUIProjectItem_DragHandle::Rectangle)
        return point.x() >= r.left() && point.x() < r.right() && point.y() >= r.top() && point.y() < r.bottom();
    if (handle.shape != DMUIProjectItem_DragHandle::Circle)
        return false;
    const float radius = std::max(0.0f, float(std::min(r.width(), r.height())) * 0.5f);
    const float dx = float(point.x()) - float(r.center().x());
    const float dy = float(point.y()) - float(r.center().y());
    return dx * dx + dy * dy <= radius * radius;
}

void DMUIProjectItemDragHandleTable::clear()
{
    m_slots.fill(DMUIProjectItem_DragHandle());
    m_slots.back().shape = DMUIProjectItem_DragHandle::EndOfTable;
    m_count = 0;
}

bool DMUIProjectItemDragHandleTable::append(const QRectF &rect, quint8 shape, qint32 operation)
{
    if (m_count >= kSlotCount - 1)
        return false;
    m_slots[size_t(m_count++)] = DMUIProjectItem_DragHandle{rect, shape, operation};
    return true;
}

qint32 DMUIProjectItemDragHandleTable::operationAtPoint(QPointF point) const
{
    for (const DMUIProjectItem_DragHandle &handle : m_slots) {
        if (handle.shape == DMUIProjectItem_DragHandle::EndOfTable)
            break;
        if (DMUIProjectItem_DragHandle_IsPointHitting(handle, point))
            return handle.operation;
    }
    return 0;
}

const DMUIProjectItem_DragHandle *DMUIProjectItemDragHandleTable::find(qint32 operation) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_slots[size_t(i)].operation == operation)
            return &m_slots[size_t(i)];
    return nullptr;
}
