#include "DMProjectItemGraph.h"

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"

#include <algorithm>

DMProjectItemGraph::DMProjectItemGraph(const DMProject &project) : timeline(project.workingCalendar())
{
    std::vector<std::pair<DMProjectItem *, int>> stack;
    for (qsizetype i = project.tasks().size() - 1; i >= 0; --i)
        stack.emplace_back(project.tasks().at(i).get(), -1);
    while (!stack.empty()) {
        const auto [item, parent] = stack.back();
        stack.pop_back();
        item->m_graphIndex = int(items.size());
        items.push_back(item);
        parents.push_back(parent);
        for (qsizetype i = item->subitems().size() - 1; i >= 0; --i)
            stack.emplace_back(item->subitems().at(i).get(), item->m_graphIndex);
    }
    const size_t count = items.size();
    inStart.reserve(count + 1);
    outStart.reserve(count + 1);
    childStart.reserve(count + 1);
    for (const DMProjectItem *item : items) {
        inStart.push_back(int(inEdges.size()));
        for (const auto &link : item->inboundDependencies())
            if (const int from = indexOf(link->fromItemPointer()); from >= 0)
                inEdges.push_back({from, link->kind()});
        outStart.push_back(int(outEdges.size()));
        for (const auto &link : item->outboundDependencies())
            if (const int to = indexOf(link->toItemPointer()); to >= 0)
                outEdges.push_back({to, link->kind()});
        childStart.push_back(int(children.size()));
        for (const auto &child : item->subitems())
            children.push_back(indexOf(child.get()));
    }
    inStart.push_back(int(inEdges.size()));
    outStart.push_back(int(outEdges.size()));
    childStart.push_back(int(children.size()));

    working.assign(count, 0);
    begin.assign(count, 0);
    end.assign(count, 0);
    for (size_t i = 0; i < count; ++i)
        takeDates(i);
}

void DMProjectItemGraph::takeDates(size_t i)
{
    const DMProjectItem *item = items[i];
    const bool onSchedule = item->useWorkingSchedule();
    const auto unit = [&](const DMDate &date) { return onSchedule ? timeline.index(date) : date.absoluteSecond(); };
    working[i] = onSchedule ? 1 : 0;
    begin[i] = unit(item->beginDate());
    end[i] = std::max(begin[i], unit(item->endDate()));
}

int DMProjectItemGraph::indexOf(const DMProjectItem *item) const
{
    if (!item)
        return -1;
    const int index = item->m_graphIndex;
    return index >= 0 && size_t(index) < items.size() && items[size_t(index)] == item ? index : -1;
}

void DMProjectItemGraph::datesDidChange(const DMProjectItem &item)
{
    if (const int index = indexOf(&item); index >= 0)
        takeDates(size_t(index));
}

bool DMProjectItemGraph::hasPropagationOrder()
{
    if (!m_ranksBuilt)
        buildPropagationOrder();
    return m_acyclic;
}

// Kahn's order over the steps; see hasPropagationOrder for the edges.
void DMProjectItemGraph::buildPropagationOrder()
{
    m_ranksBuilt = true;
    const int count = size();
    const auto hasSubitems = [this](int i) { return childStart[size_t(i) + 1] > childStart[size_t(i)]; };
    std::vector<int> pending(size_t(2 * count), 0);
    for (int i = 0; i < count; ++i) {
        pending[size_t(i)] = (inStart[size_t(i) + 1] - inStart[size_t(i)]) + (parents[size_t(i)] >= 0 ? 1 : 0);
        if (hasSubitems(i))
            pending[size_t(count + i)] = 1 + (childStart[size_t(i) + 1] - childStart[size_t(i)]);
    }
    std::vector<int> order;
    order.reserve(size_t(2 * count));
    for (int node = 0; node < 2 * count; ++node)
        if (pending[size_t(node)] == 0 && (node < count || hasSubitems(node - count)))
            order.push_back(node);
    const auto release = [&](int node) {
        if (--pending[size_t(node)] == 0)
            order.push_back(node);
    };
    for (size_t head = 0; head < order.size(); ++head) {
        const int node = order[head];
        const int i = node < count ? node : node - count;
        if (node < count && hasSubitems(i)) {
            release(count + i);
            for (int c = childStart[size_t(i)]; c < childStart[size_t(i) + 1]; ++c)
                release(children[size_t(c)]);
            continue;
        }
        for (int e = outStart[size_t(i)]; e < outStart[size_t(i) + 1]; ++e)
            release(outEdges[size_t(e)].node);
        if (parents[size_t(i)] >= 0)
            release(count + parents[size_t(i)]);
    }
    int steps = count;
    for (int i = 0; i < count; ++i)
        steps += hasSubitems(i) ? 1 : 0;
    m_acyclic = int(order.size()) == steps;
    if (!m_acyclic)
        return;
    m_ranks.assign(size_t(2 * count), -1);
    for (size_t rank = 0; rank < order.size(); ++rank)
        m_ranks[size_t(order[rank])] = int(rank);
    m_steps = std::move(order);
}
