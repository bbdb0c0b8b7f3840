#include "DMProjectProcess.h"

#include <vector>

// The time effort of a process or group: its subitems' efforts summed, down to the items that
// are neither (without recursion).
qint32 DMProjectItem_sumOfSubitemsTimeEffort(const DMProjectItem &root)
{
    qint64 sum = 0;
    std::vector<const DMProjectItem *> stack;
    for (const auto &child : root.subitems())
        stack.push_back(child.get());
    while (!stack.empty()) {
        const DMProjectItem *item = stack.back();
        stack.pop_back();
        if (item->kind() == kDMProjectItem_Kind_Process || item->kind() == kDMProjectItem_Kind_ItemGroup) {
            for (const auto &child : item->subitems())
                stack.push_back(child.get());
        } else {
            sum += item->duration();
        }
    }
    return qint32(qBound(qint64(INT32_MIN), sum, qint64(INT32_MAX)));
}

DMProjectProcess::DMProjectProcess()
{
    setFillColor(defaultFillColorForKind(kDMProjectItem_Kind_Process));
}

bool DMProjectProcess::isKindOfClass(const QString &className) const
{
    return className == staticClassName() || DMProjectItem::isKindOfClass(className);
}

qint32 DMProjectProcess::subitemsTimeEffort() const
{
    return DMProjectItem_sumOfSubitemsTimeEffort(*this);
}
