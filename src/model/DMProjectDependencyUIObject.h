#pragma once

// The link line of a dependency, as the model sees it; the Gantt chart implements it. The
// dependency owns it and tells it when its ends or its look change.
class DMProjectDependencyUIObject
{
public:
    virtual ~DMProjectDependencyUIObject() = default;

    virtual void representedObject_endsChanged() {}
    virtual void representedObject_styleChanged() {}
};
