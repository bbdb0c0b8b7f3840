#include "DMProjectUIObjectFactory.h"

namespace {
DMProjectUIObjectFactory *s_factory = nullptr;
}

DMProjectUIObjectFactory *DMProjectUIObjectFactory::registeredFactory()
{
    return s_factory;
}

void DMProjectUIObjectFactory::registerFactory(DMProjectUIObjectFactory *factory)
{
    s_factory = factory;
}
