#pragma once

#include "DMProjectItem.h"

#include <memory>
#include <vector>

// Visits the items of the lists and their subitems, parents before children in outline order,
// without recursion (item trees in files can be very deep). descend(item) decides whether the
// subitems of an item are visited.
template <typename Visit, typename Descend>
void DMProjectItem_forEachItem(const QList<std::shared_ptr<DMProjectItem>> &roots, Visit visit, Descend descend)
{
    std::vector<DMProjectItem *> stack;
    for (auto it = roots.crbegin(); it != roots.crend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        DMProjectItem *item = stack.back();
        stack.pop_back();
        visit(*item);
        if (!descend(*item))
            continue;
        const auto &children = item->subitems().list();
        for (auto it = children.crbegin(); it != children.crend(); ++it)
            stack.push_back(it->get());
    }
}

template <typename Visit>
void DMProjectItem_forEachItem(const QList<std::shared_ptr<DMProjectItem>> &roots, Visit visit)
{
    DMProjectItem_forEachItem(roots, visit, [](const DMProjectItem &) { return true; });
}
