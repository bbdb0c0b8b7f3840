#pragma once

#include "DMDate.h"
#include "DMScheduler.h"

#include <QHash>

#include <vector>

class DMProjectItem;
class DMProjectItemGraph;
class DMWorkingTimeline;

// One validated change of an item's dates, computed before anything is applied (see
// DMScheduler). The items it reaches are visited once each in topological order over two
// steps per item: its own step (the requested dates, or the push of its links) and, for an
// item with subitems, its parent step (enclosing its subitems). In a project's trees the order
// is the one its item graph keeps, and only the steps of items whose sources moved are taken
// (an item that stays where it was pushes nothing); items outside a project, and projects
// whose links and parents make a cycle, are searched for the items the change reaches. The
// rules:
//  - An item is pushed later just enough by what its inbound links require (DMProjectDependency),
//    never pulled earlier. A link into an item with subitems constrains each subitem as a link
//    into it would: what the links into an item's ancestors require, it requires too.
//  - A pushed leaf keeps its working duration (its calendar span when it has no working time).
//    A pushed begin on the working schedule is placed at the latest instant of its working-time
//    position, so a begin that falls on the end of a working window (or between windows) goes to
//    the next window's start. An item with subitems moves its own begin or end only as far as
//    the requirement, then encloses its subitems (fits them exactly with
//    kDMProjectItem_ExpandToFitSubitems).
//  - Only the explicit time shift moves subitems by one amount: counted in working time for the
//    items on the working schedule, in calendar time for the others.
//  - Every changed item's duration is the working time between its new dates (calendar time off
//    the working schedule; 0 for a milestone).
class DMPropagation
{
public:
    struct State
    {
        DMProjectItem *item;
        DMDate begin0, end0;   // before the change
        DMDate inBegin, inEnd; // after the item's own step (requested, shifted or pushed)
        DMDate begin, end;     // after its parent step (enclosing its subitems)
        qint32 duration;           // the stored duration, until the change is computed
        DMDate keptBegin, keptEnd; // dates found to hold workingDuration() exactly
        // What the links into the item and into its ancestors require of it (null: nothing).
        DMDate requiredBegin, requiredEnd;
        bool fixed : 1 = false;     // requested or shifted dates: never pushed, checked instead
        bool inVisited : 1 = false; // the item's own step ran
        // The item's flags, read once: the passes after the walk need not reach the item (a
        // long chain is far larger than the cache).
        bool locked : 1 = false;
        bool equalDates : 1 = false;
        bool hasSubitems : 1 = false;
        bool changes : 1 = false; // new dates or a new duration to apply
        int inNode = -1;
        int outNode = -1;

        // Between begin0 and end0, on the item's schedule: the stored duration, while it is held.
        qint64 workingDuration() const { return equalDates ? 0 : duration; }
    };

    DMPropagation(DMProjectItem &root, DMScheduler::Mode mode, DMWorkingTimeline *timeline);
    ~DMPropagation();
    DMPropagation(const DMPropagation &) = delete;
    DMPropagation &operator=(const DMPropagation &) = delete;

    // 0, or the refusal's code (DMValidation.h).
    int run(const DMDate &begin, const DMDate &end);
    // Tests compare the walk in the kept order with the search it replaces.
    static void setSearchesForTesting(bool searches) { s_searchesForTesting = searches; }
    // The states whose dates or duration change, in topological order, each once.
    std::vector<const State *> changesInOrder() const;

private:
    struct Node
    {
        int state;
        bool out; // the parent step of an item with subitems
    };
    struct Requirement
    {
        DMDate begin, end;
        void add(const Requirement &other);
        bool heldBy(const DMDate &itemBegin, const DMDate &itemEnd) const;
    };
    class Requirements;

    int stateOf(DMProjectItem *item);
    int findState(const DMProjectItem *item) const;
    int inNodeOf(DMProjectItem *item) { return nodeOf(item, false); }
    int outNodeOf(DMProjectItem *item) { return nodeOf(item, true); }
    int nodeOf(DMProjectItem *item, bool out);
    void datesOf(const DMProjectItem *item, DMDate *begin, DMDate *end) const;
    // What the item's own links require, from its sources' dates as this change leaves them
    // (final) or as they were.
    Requirement linksRequirementOf(const DMProjectItem &item, bool final = true) const;
    Requirement inheritedRequirementOf(const DMProjectItem &item);
    void shiftSubitems(const DMDate &begin);
    void successorsOf(int node, std::vector<int> *out);
    void sortTopologically();
    // The steps from the root's, in the graph's order, each taken once its sources are final;
    // 0 or kDMValidation_Locked.
    int walkInKeptOrder();
    // The relaxation of the searched order (repeated passes over a cycle); 0 or the refusal's code.
    int runSortedSteps();
    bool runNode(const Node &node);
    void runItemStep(State &state);
    void runParentStep(State &state);
    DMDate pushedBegin(const State &state, const DMDate &date) const;
    // The end keeping the item's working duration from `begin`.
    DMDate endFor(State &state, const DMDate &begin) const;
    qint64 durationOf(const DMProjectItem &item, const DMDate &begin, const DMDate &end) const;
    // Checks the new dates and notes each moved item's new duration; 0 or the refusal's code.
    int checkAndTakeDurations();

    DMProjectItem &m_root;
    DMScheduler::Mode m_mode;
    DMWorkingTimeline *m_timeline;
    DMProjectItemGraph *m_graph = nullptr; // the project's, when its order serves
    quint64 m_stamp;
    std::vector<State> m_states;
    std::vector<Node> m_nodes;
    std::vector<int> m_order; // node indexes, topological
    bool m_cyclic = false;
    static inline bool s_searchesForTesting = false;
};
