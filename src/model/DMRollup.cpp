#include "DMRollup.h"

#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"

#include <vector>

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

void DMRollup::refreshProgressOfTrees(const QList<std::shared_ptr<DMProjectItem>> &roots)
{
    // Depth first; a parent is summed up when its last subitem is done, from its subitems' sums.
    struct Entry
    {
        DMProjectItem *item;
        qsizetype next = 0; // the next subitem to visit
        Sum sum;
    };
    std::vector<Entry> stack;
    for (const auto &root : roots) {
        stack.push_back({root.get(), 0, Sum()});
        while (!stack.empty()) {
            Entry &entry = stack.back();
            if (showsMeanProgress(*entry.item) && entry.next < entry.item->subitems().size()) {
                stack.push_back({entry.item->subitems().at(entry.next++).get(), 0, Sum()});
                continue;
            }
            Sum sum;
            if (showsMeanProgress(*entry.item)) {
                sum = entry.sum;
                if (sum.items > 0)
                    entry.item->setRolledUpProgress(sum.progress / float(sum.items));
            } else {
                addItem(*entry.item, &sum);
            }
            stack.pop_back();
            if (!stack.empty()) {
                stack.back().sum.progress += sum.progress;
                stack.back().sum.items += sum.items;
            }
        }
    }
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
