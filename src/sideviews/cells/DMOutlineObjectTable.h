#pragma once

#include "DMOutlineViewDataSource.h"

#include <QHash>

#include <memory>

class DMProjectObject;

// The outline items of a data source that shows model objects: an item is the object's address,
// used as a handle only. Every object handed out is remembered weakly, so an address the outline
// still holds after its object went away resolves to nothing instead of to freed memory.
class DMOutlineObjectTable
{
public:
    DMOutlineItem remember(const std::shared_ptr<DMProjectObject> &object);
    // The object behind an item; null for null, an unknown item, or an object that is gone.
    std::shared_ptr<DMProjectObject> objectForItem(DMOutlineItem item) const;
    // Forgets the objects that are gone, so the table does not grow for ever (before a reload).
    void forgetGoneObjects();
    void clear() { m_objects.clear(); }

private:
    QHash<DMOutlineItem, std::weak_ptr<DMProjectObject>> m_objects;
};
