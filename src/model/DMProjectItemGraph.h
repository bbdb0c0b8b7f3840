#pragma once

#include "DMWorkingTimeline.h"

#include <QtGlobal>

#include <vector>

class DMProject;
class DMProjectItem;

// The items of a project's tree as compact arrays, kept by the project while its trees and links
// stay as they are (any change of them drops it; see DMProject::setNeedsCriticalPathUpdate): the
// items with parents before their subitems, the links and subitems of each item as index ranges,
// and two orders over them that a change of dates leaves valid. The critical path reruns its
// passes over these arrays and the cached dates below; a validated change of dates walks the
// items it reaches in the propagation order instead of sorting them again.
class DMProjectItemGraph
{
public:
    struct Edge
    {
        int node;
        int kind;
    };

    // Walks the project's trees and links; gives each item its index.
    explicit DMProjectItemGraph(const DMProject &project);

    int size() const { return int(items.size()); }
    // The item's index, or -1 for an item that is not in the graph.
    int indexOf(const DMProjectItem *item) const;

    std::vector<DMProjectItem *> items;
    std::vector<int> parents;            // -1 for a top-level item
    std::vector<int> inStart, outStart;  // per node, into inEdges and outEdges; one past the end last
    std::vector<Edge> inEdges, outEdges; // the other end and the link's kind
    std::vector<int> childStart, children;

    // ---- Dates, as the critical path counts them ----
    // Each item's dates in its own unit (working-time indexes on the working schedule, absolute
    // seconds otherwise; an end before the begin counts as the begin), taken again whenever the
    // item's dates or schedule change, while the item is at hand. Working-time indexes count
    // from the origin of one timeline, kept here with them (a change of the calendar drops the
    // graph).
    void datesDidChange(const DMProjectItem &item);
    DMWorkingTimeline timeline;
    std::vector<char> working;
    std::vector<qint64> begin, end;

    // ---- The critical path's passes and results ----
    std::vector<int> criticalPathOrder; // topological over links and subitem-to-parent edges
    bool criticalPathHasCycle = false;  // the items of a cycle close the order
    std::vector<qint64> earlyStart, earlyFinish, lateFinish;
    std::vector<char> critical;         // the last published set, once there is one
    std::vector<qint32> floats;         // each item's float, once published
    bool published = false;

    // ---- The propagation order ----
    // Each item has its own step (node i) and, with subitems, a parent step (node size() + i)
    // that follows theirs. The rank orders the steps so that each follows everything it reads:
    // an item's own step follows the final steps of its links' sources and its parent's own
    // step; a parent step follows its own step and its subitems' final steps. False when a
    // link between an item and its ancestor (or through one) makes a cycle: the propagation
    // then searches the items it reaches itself.
    bool hasPropagationOrder();
    int rankOfStep(int node) const { return m_ranks[size_t(node)]; }
    // The item of the step at that rank, or null past the last.
    DMProjectItem *itemAtRank(int rank) const
    {
        if (rank >= int(m_steps.size()))
            return nullptr;
        const int node = m_steps[size_t(rank)];
        return items[size_t(node < size() ? node : node - size())];
    }

private:
    void takeDates(size_t index);
    void buildPropagationOrder();

    std::vector<int> m_ranks;
    std::vector<int> m_steps; // by rank
    bool m_ranksBuilt = false;
    bool m_acyclic = false;
};
