#pragma once

#include "DMProjectItem.h"

// A process: sums up the items below it (its time effort is the sum of its subitems').
class DMProjectProcess : public DMProjectItem
{
public:
    DMProjectProcess();

    static QString staticClassName() { return QStringLiteral("DMProjectProcess"); }
    QString className() const override { return staticClassName(); }
    bool isKindOfClass(const QString &className) const override;
    std::uint32_t kind() const override { return kDMProjectItem_Kind_Process; }
    qint32 subitemsTimeEffort() const override;
};
