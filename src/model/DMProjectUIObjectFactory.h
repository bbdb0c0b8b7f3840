#pragma once

#include <memory>

class DMProjectItem;
class DMProjectDependency;
class DMProjectItemUIObject;
class DMProjectDependencyUIObject;

// The factory hook through which the Gantt chart makes the canvas objects of model objects
// (newUIObjectForViewMode:). Without a registered factory the model makes no canvas objects.
class DMProjectUIObjectFactory
{
public:
    virtual ~DMProjectUIObjectFactory() = default;

    // A new object for the item, frame {0, 0, 10, 10}, visible in the view mode (DMProjectViewMode),
    // representing the item, with the item's fill colour; null for "none".
    virtual std::shared_ptr<DMProjectItemUIObject> newUIObjectForItem(DMProjectItem & /*item*/, int /*viewMode*/)
    {
        return nullptr;
    }
    virtual std::shared_ptr<DMProjectDependencyUIObject> newUIObjectForDependency(DMProjectDependency & /*dependency*/)
    {
        return nullptr;
    }

    // The registered factory (not owned) or null; registering null removes it.
    static DMProjectUIObjectFactory *registeredFactory();
    static void registerFactory(DMProjectUIObjectFactory *factory);
};
