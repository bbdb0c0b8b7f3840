#include "DMOutlineObjectTable.h"

#include "DMProjectObject.h"

DMOutlineItem DMOutlineObjectTable::remember(const std::shared_ptr<DMProjectObject> &object)
{
    if (!object)
        return nullptr;
    DMOutlineItem item = object.get();
    m_objects.insert(item, object);
    return item;
}

std::shared_ptr<DMProjectObject> DMOutlineObjectTable::objectForItem(DMOutlineItem item) const
{
    if (!item)
        return nullptr;
    const auto it = m_objects.constFind(item);
    return it == m_objects.constEnd() ? nullptr : it->lock();
}

void DMOutlineObjectTable::forgetGoneObjects()
{
    m_objects.removeIf([](const auto &entry) { return entry.value().expired(); });
}
