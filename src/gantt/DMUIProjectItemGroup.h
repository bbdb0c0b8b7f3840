#pragma once

#include "DMUIProjectItem.h"

// The bar of an item group: looks and behaves exactly as a plain item bar.
class DMUIProjectItemGroup : public DMUIProjectItem
{
public:
    using DMUIProjectItem::DMUIProjectItem;
    ~DMUIProjectItemGroup() override;
};
