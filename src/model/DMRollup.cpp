#include "DMRollup.h"

#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"

namespace {

bool showsMeanProgress(const DMProjectItem &item)
{
    return item.kind() != kDMProjectItem_Kind_Task && item.kind() != kDMProjectItem_Kind_Milestone
        && item.kind() != kDMProjectItem_Kind_Event;
}

struct Sum
{
    float progress = 0.0f;
    int items = 0;
};

void addItem(const DMProjectItem &item, Sum *sum)
{
    item.computeProgressProgressItemsTasksMilestonesProcessesCost(&sum->progress, &sum->items, nullptr, nullptr, nullptr,
                                                                   nullptr);
}

// From `from` (whose subtree sums to `sum`) up through its ancestors.
void rollUp(DMProjectItem *from, Sum sum)
{
    for (DMProjectItem *parent = from->parentItemPointer(); parent; from = parent, parent = parent->parentItemPointer()) {
        if (!showsMeanProgress(*parent))
            return;
        for (const auto &child : parent->subitems())
            if (child.get() != from)
                addItem(*child, &sum);
        if (sum.items > 0)
            parent->setRolledUpProgress(sum.progress / float(sum.items));
    }
}

} // namespace

bool DMRollup::mayRollUp(const DMProject *project)
{
    // Items without a project are being built or loaded: their stored values stand.
    return project && !project->isRestoring();
}

void DMRollup::rollUpProgressFromItem(DMProjectItem &item)
{
    if (!mayRollUp(item.projectPointer()))
        return;
    Sum sum;
    if (showsMeanProgress(item)) {
        for (const auto &child : item.subitems())
            addItem(*child, &sum);
    } else {
        addItem(item, &sum);
    }
    rollUp(&item, sum);
}

bool DMRollup::containsProgressItems(const QList<std::shared_ptr<DMProjectItem>> &items)
{
    Sum sum;
    for (const auto &item : items)
        addItem(*item, &sum);
    return sum.items > 0;
}

void DMRollup::refreshProgressOfItem(DMProjectItem &item)
{
    if (!mayRollUp(item.projectPointer()) || !showsMeanProgress(item))
        return;
    Sum sum;
    for (const auto &child : item.subitems())
        addItem(*child, &sum);
    if (sum.items > 0)
        item.setRolledUpProgress(sum.progress / float(sum.items));
    rollUp(&item, sum);
}
