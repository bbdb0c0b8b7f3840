#include "DMUIProjectItemGroup.h"

DMUIProjectItemGroup::~DMUIProjectItemGroup() = default;
