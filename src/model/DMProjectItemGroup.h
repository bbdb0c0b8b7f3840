#pragma once

#include "DMProjectItem.h"

// An item group: gathers items without being a unit of work itself.
class DMProjectItemGroup : public DMProjectItem
{
public:
    DMProjectItemGroup();

    static QString staticClassName() { return QStringLiteral("DMProjectItemGroup"); }
    QString className() const override { return staticClassName(); }
    bool isKindOfClass(const QString &className) const override;
    std::uint32_t kind() const override { return kDMProjectItem_Kind_ItemGroup; }
    qint32 subitemsTimeEffort() const override;
};
