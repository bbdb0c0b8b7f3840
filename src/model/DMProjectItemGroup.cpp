#include "DMProjectItemGroup.h"

qint32 DMProjectItem_sumOfSubitemsTimeEffort(const DMProjectItem &root);

DMProjectItemGroup::DMProjectItemGroup()
{
    setFillColor(defaultFillColorForKind(kDMProjectItem_Kind_ItemGroup));
}

bool DMProjectItemGroup::isKindOfClass(const QString &className) const
{
    return className == staticClassName() || DMProjectItem::isKindOfClass(className);
}

qint32 DMProjectItemGroup::subitemsTimeEffort() const
{
    return DMProjectItem_sumOfSubitemsTimeEffort(*this);
}
