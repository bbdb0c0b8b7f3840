#pragma once

#include <memory>

class DMProjectItem;
class DMProjectResource;

// The canvas object of an item (task bar, milestone diamond, process bracket, group or event
// bar), as the model sees it. The Gantt chart implements it; the item owns its objects and
// sends them these updates. An object refers to its item without owning it.
class DMProjectItemUIObject
{
public:
    virtual ~DMProjectItemUIObject() = default;

    // The item whose dates, progress, title or colour changed; recompute frame and look.
    virtual void representedObject_timeSpanChanged() {}
    virtual void representedObject_progressChanged() {}
    virtual void representedObject_titleChanged() {}
    virtual void representedObject_fillColorChanged() {}
    virtual void representedObject_criticalPathChanged() {}
    // The lock or an attribute (attached documents, expansion...) changed.
    virtual void representedObject_lockOrAttributesChanged() {}

    // Resource-view fields: the lane of the bar within its resource's row, and that resource
    // (not owned). The model writes them; subRow is 0 after creation.
    virtual void setResourceViewFields(int /*subRow*/, DMProjectResource * /*resource*/) {}
    virtual int resourceViewSubRow() const { return 0; }

    // The item the object stands for, or null once the item is gone.
    virtual std::shared_ptr<DMProjectItem> representedItem() const { return nullptr; }
};
