#include "DMLinkOrder.h"

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"

#include <algorithm>
#include <atomic>
#include <vector>

unsigned long long DMLinkOrder::nextKey()
{
    // Items are also made on the loader's threads.
    static std::atomic<unsigned long long> key = 0;
    return ++key;
}

void DMLinkOrder::invalidate(DMProject &project)
{
    project.m_linkOrderValid = false;
}

// Kahn's order over the links of the project's item tree, with fresh keys. False (the order
// stays stale) when the links hold a cycle.
bool DMLinkOrder::renumber(DMProject &project)
{
    const quint64 stamp = DMProjectItem::nextScratchStamp();
    std::vector<DMProjectItem *> items;
    std::vector<DMProjectItem *> stack;
    for (const auto &item : project.tasks())
        stack.push_back(item.get());
    while (!stack.empty()) {
        DMProjectItem *item = stack.back();
        stack.pop_back();
        item->m_scheduleStamp = stamp;
        item->m_scheduleIndex = int(items.size());
        items.push_back(item);
        for (const auto &child : item->subitems())
            stack.push_back(child.get());
    }
    const auto indexOf = [stamp](const DMProjectItem *item) {
        return item && item->m_scheduleStamp == stamp ? item->m_scheduleIndex : -1;
    };
    std::vector<int> pending(items.size(), 0);
    for (size_t i = 0; i < items.size(); ++i)
        for (const auto &link : items[i]->inboundDependencies())
            if (indexOf(link->fromItemPointer()) >= 0)
                ++pending[i];
    std::vector<int> order;
    order.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        if (pending[i] == 0)
            order.push_back(int(i));
    for (size_t head = 0; head < order.size(); ++head)
        for (const auto &link : items[size_t(order[head])]->outboundDependencies())
            if (const int to = indexOf(link->toItemPointer()); to >= 0 && --pending[size_t(to)] == 0)
                order.push_back(to);
    if (order.size() < items.size())
        return false;
    for (const int index : order)
        items[size_t(index)]->m_linkOrder = nextKey();
    project.m_linkOrderValid = true;
    return true;
}

// A link from `from` to `to`, whose key is lower: the items reachable from `to` with keys below
// `from`'s (if `from` is among them, the link closes a cycle) must come after the items that
// reach `from` with keys above `to`'s. Those two sets swap places among their own keys.
bool DMLinkOrder::reorder(DMProjectItem &from, DMProjectItem &to)
{
    const unsigned long long lower = to.m_linkOrder;
    const unsigned long long upper = from.m_linkOrder;
    const quint64 forwardStamp = DMProjectItem::nextScratchStamp();
    std::vector<DMProjectItem *> forward{&to};
    to.m_scheduleStamp = forwardStamp;
    for (size_t i = 0; i < forward.size(); ++i)
        for (const auto &link : forward[i]->outboundDependencies()) {
            DMProjectItem *next = link->toItemPointer();
            if (next == &from)
                return true;
            if (next && next->m_linkOrder < upper && next->m_scheduleStamp != forwardStamp) {
                next->m_scheduleStamp = forwardStamp;
                forward.push_back(next);
            }
        }
    const quint64 backwardStamp = DMProjectItem::nextScratchStamp();
    std::vector<DMProjectItem *> backward{&from};
    from.m_scheduleStamp = backwardStamp;
    for (size_t i = 0; i < backward.size(); ++i)
        for (const auto &link : backward[i]->inboundDependencies()) {
            DMProjectItem *previous = link->fromItemPointer();
            if (previous && previous->m_linkOrder > lower && previous->m_scheduleStamp != backwardStamp) {
                previous->m_scheduleStamp = backwardStamp;
                backward.push_back(previous);
            }
        }
    const auto byKey = [](const DMProjectItem *a, const DMProjectItem *b) { return a->m_linkOrder < b->m_linkOrder; };
    std::sort(forward.begin(), forward.end(), byKey);
    std::sort(backward.begin(), backward.end(), byKey);
    std::vector<unsigned long long> keys;
    keys.reserve(forward.size() + backward.size());
    for (const auto *list : {&forward, &backward})
        for (const DMProjectItem *item : *list)
            keys.push_back(item->m_linkOrder);
    std::sort(keys.begin(), keys.end());
    size_t k = 0;
    for (DMProjectItem *item : backward)
        item->m_linkOrder = keys[k++];
    for (DMProjectItem *item : forward)
        item->m_linkOrder = keys[k++];
    return false;
}

bool DMLinkOrder::linkWouldCloseCycle(DMProjectItem &from, DMProjectItem &to)
{
    if (&from == &to)
        return true;
    DMProject *project = from.projectPointer();
    if (!project || !from.isAttached() || !to.isAttached() || (!project->m_linkOrderValid && !renumber(*project)))
        return to.reachesItemThroughDependencies(&from);
    if (from.m_linkOrder < to.m_linkOrder)
        return false;
    return reorder(from, to);
}
