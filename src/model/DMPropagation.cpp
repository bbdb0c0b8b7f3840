#include "DMPropagation.h"

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectItemGraph.h"
#include "DMProjectKeys.h"
#include "DMValidation.h"
#include "DMWorkingTimeline.h"

#include <algorithm>
#include <functional>

namespace {

// The later of two dates, a null date counting as none.
void raise(DMDate *bound, const DMDate &date)
{
    if (!date.isNull() && (bound->isNull() || date > *bound))
        *bound = date;
}

} // namespace

void DMPropagation::Requirement::add(const Requirement &other)
{
    raise(&begin, other.begin);
    raise(&end, other.end);
}

bool DMPropagation::Requirement::heldBy(const DMDate &itemBegin, const DMDate &itemEnd) const
{
    return (begin.isNull() || itemBegin >= begin) && (end.isNull() || itemEnd >= end);
}

// The whole requirements of items (their links' and their ancestors' links'), from the dates
// this change leaves (final) or from the dates before it; each ancestor's is computed once.
class DMPropagation::Requirements
{
public:
    Requirements(const DMPropagation &propagation, bool final) : m_propagation(propagation), m_final(final) {}

    Requirement of(const DMProjectItem &item)
    {
        std::vector<const DMProjectItem *> chain;
        Requirement inherited;
        for (const DMProjectItem *a = item.parentItemPointer(); a; a = a->parentItemPointer()) {
            if (const auto it = m_ancestors.constFind(a); it != m_ancestors.cend()) {
                inherited = *it;
                break;
            }
            chain.push_back(a);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            inherited.add(m_propagation.linksRequirementOf(**it, m_final));
            m_ancestors.insert(*it, inherited);
        }
        Requirement requirement = m_propagation.linksRequirementOf(item, m_final);
        requirement.add(inherited);
        return requirement;
    }

private:
    const DMPropagation &m_propagation;
    const bool m_final;
    QHash<const DMProjectItem *, Requirement> m_ancestors;
};

namespace {

// The states' storage of the last change, kept for the next one up to a bound, and the number
// of states it held: a drag reaches the same items step after step, and fresh storage of that
// size, grown as states are added, costs more than the steps' own work.
thread_local std::vector<DMPropagation::State> t_spareStates;
thread_local size_t t_lastStateCount = 0;
constexpr size_t kKeptStatesBytes = size_t(32) << 20;

} // namespace

DMPropagation::DMPropagation(DMProjectItem &root, DMScheduler::Mode mode, DMWorkingTimeline *timeline)
    : m_root(root), m_mode(mode), m_timeline(timeline), m_stamp(DMProjectItem::nextScratchStamp())
{
    m_states.swap(t_spareStates); // empty while a propagation runs inside another
    m_states.clear();
    m_states.reserve(t_lastStateCount);
}

DMPropagation::~DMPropagation()
{
    t_lastStateCount = m_states.size();
    if (m_states.capacity() > t_spareStates.capacity() && m_states.capacity() * sizeof(State) <= kKeptStatesBytes) {
        m_states.clear();
        m_states.swap(t_spareStates);
    }
}

int DMPropagation::stateOf(DMProjectItem *item)
{
    if (item->m_scheduleStamp == m_stamp)
        return item->m_scheduleIndex;
    item->m_scheduleStamp = m_stamp;
    item->m_scheduleIndex = int(m_states.size());
    State &state = m_states.emplace_back();
    state.item = item;
    state.begin0 = state.inBegin = state.begin = item->beginDate();
    state.end0 = state.inEnd = state.end = item->endDate();
    // The model keeps every stored duration equal to the working time between the item's dates
    // (a calendar change or a join recomputes them, a file's stale ones are mended on loading).
    state.duration = item->duration();
    state.locked = item->locked();
    state.equalDates = item->hasEqualDates();
    const int index = m_graph ? m_graph->indexOf(item) : -1;
    state.hasSubitems = index >= 0 ? m_graph->childStart[size_t(index) + 1] > m_graph->childStart[size_t(index)]
                                   : !item->subitems().isEmpty();
    return item->m_scheduleIndex;
}

int DMPropagation::findState(const DMProjectItem *item) const
{
    return item->m_scheduleStamp == m_stamp ? item->m_scheduleIndex : -1;
}

// The item's own (in) or parent (out) step, made on first use.
int DMPropagation::nodeOf(DMProjectItem *item, bool out)
{
    const int s = stateOf(item); // may grow m_states: look the state up after it
    int &node = out ? m_states[size_t(s)].outNode : m_states[size_t(s)].inNode;
    if (node < 0) {
        node = int(m_nodes.size());
        m_nodes.push_back({s, out});
    }
    return node;
}

// The dates of an item as this change leaves them.
void DMPropagation::datesOf(const DMProjectItem *item, DMDate *begin, DMDate *end) const
{
    const int s = findState(item);
    *begin = s < 0 ? item->beginDate() : m_states[size_t(s)].begin;
    *end = s < 0 ? item->endDate() : m_states[size_t(s)].end;
}

DMPropagation::Requirement DMPropagation::linksRequirementOf(const DMProjectItem &item, bool final) const
{
    Requirement requirement;
    const auto require = [&](const DMProjectItem *from, int kind) {
        DMDate fromBegin = from->beginDate();
        DMDate fromEnd = from->endDate();
        if (final)
            datesOf(from, &fromBegin, &fromEnd);
        raise(DMProjectDependency::constrainsTargetEnd(kind) ? &requirement.end : &requirement.begin,
              DMProjectDependency::requiredTargetDate(kind, fromBegin, fromEnd));
    };
    // The graph lists each link's source and kind beside the item.
    if (const int index = m_graph ? m_graph->indexOf(&item) : -1; index >= 0) {
        for (int e = m_graph->inStart[size_t(index)]; e < m_graph->inStart[size_t(index) + 1]; ++e) {
            const DMProjectItemGraph::Edge edge = m_graph->inEdges[size_t(e)];
            require(m_graph->items[size_t(edge.node)], edge.kind);
        }
        return requirement;
    }
    for (const auto &link : item.inboundDependencies()) {
        if (const DMProjectItem *from = link->fromItemPointer())
            require(from, link->kind());
    }
    return requirement;
}

// What the links into the item's ancestors require: the parent's whole requirement when its
// own step ran in this change (its sources were final then), else the ancestors' links as
// they stand (none of their sources changed).
DMPropagation::Requirement DMPropagation::inheritedRequirementOf(const DMProjectItem &item)
{
    const DMProjectItem *parent = item.parentItemPointer();
    if (!parent)
        return {};
    if (const int p = findState(parent); p >= 0 && m_states[size_t(p)].inVisited)
        return {m_states[size_t(p)].requiredBegin, m_states[size_t(p)].requiredEnd};
    Requirement requirement;
    for (const DMProjectItem *ancestor = parent; ancestor; ancestor = ancestor->parentItemPointer())
        requirement.add(linksRequirementOf(*ancestor));
    return requirement;
}

// The explicit time shift: every subitem moves by the root's shift, in working time on the
// working schedule (a working-time position maps to its latest instant, so nothing lands at the
// end of a window), in calendar time off it; each keeps its working duration.
void DMPropagation::shiftSubitems(const DMDate &begin)
{
    const qint64 calendarShift = begin.absoluteSecond() - m_root.beginDate().absoluteSecond();
    const qint64 workingShift = m_timeline->index(begin) - m_timeline->index(m_root.beginDate());
    std::vector<DMProjectItem *> stack;
    for (const auto &child : m_root.subitems())
        stack.push_back(child.get());
    while (!stack.empty()) {
        DMProjectItem *item = stack.back();
        stack.pop_back();
        State &state = m_states[size_t(stateOf(item))];
        state.fixed = true;
        if (item->useWorkingSchedule() ? workingShift == 0 : calendarShift == 0) {
            // Nothing to shift by on its schedule: its dates stay exactly as they are.
            state.inBegin = state.begin = state.begin0;
            state.inEnd = state.end = state.end0;
        } else {
            const DMDate shifted = item->useWorkingSchedule()
                ? m_timeline->latestDateForIndex(m_timeline->index(state.begin0) + workingShift)
                : state.begin0.dateByAddingSeconds(calendarShift);
            state.inBegin = state.begin = shifted;
            state.inEnd = state.end = endFor(state, shifted);
        }
        for (const auto &child : item->subitems())
            stack.push_back(child.get());
    }
}

void DMPropagation::successorsOf(int node, std::vector<int> *out)
{
    out->clear();
    const Node n = m_nodes[size_t(node)];
    DMProjectItem *item = m_states[size_t(n.state)].item;
    if (!n.out && !item->subitems().isEmpty()) {
        // The subitems take the item's requirement; then the item encloses them.
        out->push_back(outNodeOf(item));
        for (const auto &child : item->subitems())
            out->push_back(inNodeOf(child.get()));
        return;
    }
    // The item's final step: its successors and its parent follow it.
    for (const auto &link : item->outboundDependencies())
        if (DMProjectItem *to = link->toItemPointer())
            out->push_back(inNodeOf(to));
    if (DMProjectItem *parent = item->parentItemPointer())
        out->push_back(outNodeOf(parent));
}

// Reverse post-order of an iterative depth-first search from the root's step; notes a cycle.
// The successors of the nodes on the search path sit end to end in one list, each frame
// owning its tail of it.
void DMPropagation::sortTopologically()
{
    enum : char { White, Grey, Black };
    struct Frame
    {
        int node;
        size_t next;  // the next successor to visit, in `successors`
        size_t begin; // where this frame's successors begin
    };
    std::vector<char> colour;
    std::vector<int> successors;
    std::vector<Frame> stack;
    std::vector<int> postOrder;
    std::vector<int> found;
    const auto enter = [&](int node) {
        if (colour.size() < m_nodes.size())
            colour.resize(m_nodes.size(), White);
        colour[size_t(node)] = Grey;
        successorsOf(node, &found);
        const size_t begin = successors.size();
        successors.insert(successors.end(), found.begin(), found.end());
        stack.push_back({node, begin, begin});
    };
    enter(inNodeOf(&m_root));
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next < successors.size()) {
            const int successor = successors[frame.next++];
            if (colour.size() < m_nodes.size())
                colour.resize(m_nodes.size(), White);
            if (colour[size_t(successor)] == Grey)
                m_cyclic = true;
            else if (colour[size_t(successor)] == White)
                enter(successor);
            continue;
        }
        colour[size_t(frame.node)] = Black;
        postOrder.push_back(frame.node);
        successors.resize(frame.begin);
        stack.pop_back();
    }
    m_order.assign(postOrder.rbegin(), postOrder.rend());
}

DMDate DMPropagation::pushedBegin(const State &state, const DMDate &date) const
{
    return state.item->useWorkingSchedule() ? m_timeline->latestDateAtPositionOf(date) : date;
}

DMDate DMPropagation::endFor(State &state, const DMDate &begin) const
{
    if (state.equalDates)
        return begin;
    if (state.workingDuration() > 0) {
        const DMDate end = m_timeline->endDate(begin, state.workingDuration(), state.item->useWorkingSchedule());
        if (end > begin) {
            // The working time between these dates is known: the change need not count it.
            state.keptBegin = begin;
            state.keptEnd = end;
            return end;
        }
    }
    // An item without working time keeps its calendar span.
    return begin.dateByAddingSeconds(std::max<qint64>(state.end0.absoluteSecond() - state.begin0.absoluteSecond(), 1));
}

qint64 DMPropagation::durationOf(const DMProjectItem &item, const DMDate &begin, const DMDate &end) const
{
    return m_timeline->durationBetween(begin, end, item.useWorkingSchedule());
}

// The item's own step: its requested or shifted dates, or the push of what its links and its
// ancestors' links require.
void DMPropagation::runItemStep(State &state)
{
    state.inVisited = true;
    DMProjectItem &item = *state.item;
    Requirement required = linksRequirementOf(item);
    required.add(inheritedRequirementOf(item));
    state.requiredBegin = required.begin;
    state.requiredEnd = required.end;
    if (state.fixed) {
        state.begin = state.inBegin;
        state.end = state.inEnd;
        return;
    }
    DMDate begin = state.begin0;
    DMDate end = state.end0;
    const bool pushBegin = !required.begin.isNull() && required.begin > begin;
    if (state.equalDates) {
        if (pushBegin)
            begin = pushedBegin(state, required.begin);
        if (!required.end.isNull() && required.end > begin)
            begin = pushedBegin(state, required.end); // a milestone's date is its begin
        end = begin;
    } else if (state.hasSubitems) {
        // Its subitems are pushed by the same requirement; the parent step encloses them.
        if (pushBegin)
            begin = pushedBegin(state, required.begin);
        if (!required.end.isNull() && required.end > end)
            end = required.end;
        if (end <= begin)
            end = endFor(state, begin);
    } else {
        if (pushBegin) {
            // Keeping the working duration; an end that was after its working position (in
            // the night, say) stays, so that nothing moves earlier.
            begin = pushedBegin(state, required.begin);
            end = std::max(end, endFor(state, begin));
        }
        if (!required.end.isNull() && required.end > end) {
            // The end lands on the requirement and the begin keeps the working duration.
            const DMDate from = state.workingDuration() > 0
                ? m_timeline->beginDate(required.end, state.workingDuration(), item.useWorkingSchedule())
                : required.end.dateByAddingSeconds(-(end.absoluteSecond() - begin.absoluteSecond()));
            begin = std::max(begin, from);
            end = required.end;
            if (begin >= end)
                begin = end.dateByAddingSeconds(-1);
        }
    }
    state.inBegin = state.begin = begin;
    state.inEnd = state.end = end;
}

// The parent step: enclose the subitems (exactly with kDMProjectItem_ExpandToFitSubitems).
void DMPropagation::runParentStep(State &state)
{
    DMDate first, last;
    for (const auto &child : state.item->subitems()) {
        DMDate begin, end;
        datesOf(child.get(), &begin, &end);
        if (first.isNull() || begin < first)
            first = begin;
        if (last.isNull() || end > last)
            last = end;
    }
    DMDate begin = state.inVisited ? state.inBegin : state.begin0;
    DMDate end = state.inVisited ? state.inEnd : state.end0;
    if (state.item->attribute(kDMProjectItem_ExpandToFitSubitems).toBool() && !state.equalDates
        && first < last) {
        begin = first;
        end = last;
    } else {
        begin = std::min(begin, first);
        end = std::max(end, last);
    }
    state.begin = begin;
    state.end = end;
}

bool DMPropagation::runNode(const Node &node)
{
    State &state = m_states[size_t(node.state)];
    const DMDate begin = state.begin;
    const DMDate end = state.end;
    if (node.out)
        runParentStep(state);
    else
        runItemStep(state);
    return state.begin != begin || state.end != end;
}

// One pass over the states, which reaches no item unless a link's requirement must be
// computed again: a refusal of the new dates themselves (locked, before 1970, begin not before
// end) comes before a broken link, wherever the two are found.
int DMPropagation::checkAndTakeDurations()
{
    // What the links into an item and into its ancestors require must hold for the item changed
    // and for every item this change moves (pushed items hold by construction, unless a cycle
    // through a parent keeps them from it). A break that was there before the change (a file's,
    // or a subitem inserted too early) refuses nothing but a change of the item itself.
    Requirements after(*this, true);
    Requirements before(*this, false);
    int broken = kDMValidation_OK;
    for (State &state : m_states) {
        const bool moved = state.begin != state.begin0 || state.end != state.end0;
        const bool changed = state.item == &m_root && m_mode != DMScheduler::Enforce;
        if (moved) {
            if (state.locked)
                return kDMValidation_Locked;
            if (state.begin < DMValidation_EarliestDate() || state.end < DMValidation_EarliestDate())
                return kDMValidation_Before1970;
            if (state.equalDates ? state.begin != state.end : state.begin >= state.end)
                return kDMValidation_BeginNotBeforeEnd;
        }
        if (!broken && (moved || state.fixed) && (state.item != &m_root || changed)) {
            // Without a cycle an item's own step saw its sources' final dates: what it noted holds.
            const Requirement required = !m_cyclic && state.inVisited ? Requirement{state.requiredBegin, state.requiredEnd}
                                                                       : after.of(*state.item);
            if (!required.heldBy(state.begin, state.end)
                && (changed || before.of(*state.item).heldBy(state.begin0, state.end0)))
                broken = kDMValidation_InboundDependencyBroken;
        }
        if (!moved && !changed)
            continue;
        // Every item whose dates change stores the working time between them.
        const bool kept = state.begin == state.keptBegin && state.end == state.keptEnd;
        const qint64 duration = state.equalDates ? 0
            : kept                               ? state.workingDuration()
                                                 : durationOf(*state.item, state.begin, state.end);
        const qint32 stored = qint32(std::clamp<qint64>(duration, INT32_MIN, INT32_MAX));
        state.changes = moved || stored != state.duration;
        state.duration = stored;
    }
    return broken;
}

// A min-heap of steps by their rank in the graph's order: a change reaches few items or a long
// chain of them one after another, so the heap stays small.
int DMPropagation::walkInKeptOrder()
{
    constexpr int kRanksAhead = 16;
    DMProjectItemGraph &g = *m_graph;
    const int count = g.size();
    std::vector<std::pair<int, int>> heap; // (rank, node)
    const auto push = [&](int index, bool out) {
        const int s = stateOf(g.items[size_t(index)]);
        int &node = out ? m_states[size_t(s)].outNode : m_states[size_t(s)].inNode;
        if (node >= 0)
            return; // taken or waiting
        node = int(m_nodes.size());
        m_nodes.push_back({s, out});
        heap.emplace_back(g.rankOfStep(out ? count + index : index), node);
        std::push_heap(heap.begin(), heap.end(), std::greater<>());
    };
    push(g.indexOf(&m_root), false);
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), std::greater<>());
        const auto [rank, nodeIndex] = heap.back();
        heap.pop_back();
        // The item some steps further in the order is asked for from memory: a push through a
        // long chain takes the steps one rank after another, and the chain is far larger than
        // the cache.
        if (DMProjectItem *ahead = g.itemAtRank(rank + kRanksAhead))
            ahead->prefetchScheduledFields();
        m_order.push_back(nodeIndex);
        const Node node = m_nodes[size_t(nodeIndex)];
        runNode(node);
        const State &state = m_states[size_t(node.state)];
        const bool moved = state.begin != state.begin0 || state.end != state.end0;
        if (moved && state.locked)
            return kDMValidation_Locked;
        const size_t index = size_t(g.indexOf(state.item));
        if (!node.out && g.childStart[index + 1] > g.childStart[index]) {
            // The subitems take the item's requirement; then the item encloses them.
            push(int(index), true);
            for (int c = g.childStart[index]; c < g.childStart[index + 1]; ++c)
                push(g.children[size_t(c)], false);
            continue;
        }
        // The item's final step: an item that stays where it was moves none of its successors
        // (the requested and shifted ones pass their dates on in any case).
        if (!moved && !m_states[size_t(node.state)].fixed)
            continue;
        for (int e = g.outStart[index]; e < g.outStart[index + 1]; ++e) {
            const size_t next = size_t(g.outEdges[size_t(e)].node);
            // The items after the next are asked for from memory while the next one is worked
            // on (a long chain is far larger than the cache).
            for (int f = g.outStart[next]; f < g.outStart[next + 1]; ++f)
                g.items[size_t(g.outEdges[size_t(f)].node)]->prefetchScheduledFields();
            push(int(next), false);
        }
        if (g.parents[index] >= 0)
            push(g.parents[index], true);
    }
    return kDMValidation_OK;
}

int DMPropagation::runSortedSteps()
{
    sortTopologically();
    // A cycle (a link between an item and its ancestor, or through a parent) is relaxed by
    // repeated passes; one that never settles cannot be satisfied.
    const int passes = m_cyclic ? 64 : 1;
    bool settled = false;
    for (int pass = 0; pass < passes && !settled; ++pass) {
        settled = true;
        for (const int node : m_order) {
            if (runNode(m_nodes[size_t(node)]))
                settled = false;
            const State &state = m_states[size_t(m_nodes[size_t(node)].state)];
            if (!m_cyclic && state.locked && (state.begin != state.begin0 || state.end != state.end0))
                return kDMValidation_Locked;
        }
        if (!m_cyclic)
            settled = true;
    }
    if (!settled)
        return kDMValidation_InboundDependencyBroken;
    return kDMValidation_OK;
}

int DMPropagation::run(const DMDate &begin, const DMDate &end)
{
    DMProject *project = m_root.isAttached() && !s_searchesForTesting ? m_root.projectPointer() : nullptr;
    if (project && project->itemGraph().hasPropagationOrder() && project->itemGraph().indexOf(&m_root) >= 0)
        m_graph = &project->itemGraph();
    State &root = m_states[size_t(stateOf(&m_root))];
    root.fixed = true;
    root.inBegin = root.begin = begin;
    root.inEnd = root.end = end;
    if (m_mode == DMScheduler::Shift)
        shiftSubitems(begin);
    if (const int code = m_graph ? walkInKeptOrder() : runSortedSteps())
        return code;
    return checkAndTakeDurations();
}

std::vector<const DMPropagation::State *> DMPropagation::changesInOrder() const
{
    std::vector<const State *> states;
    std::vector<char> seen(m_states.size(), 0);
    for (const int node : m_order) {
        const int index = m_nodes[size_t(node)].state;
        if (!seen[size_t(index)]) {
            seen[size_t(index)] = 1;
            if (m_states[size_t(index)].changes)
                states.push_back(&m_states[size_t(index)]);
        }
    }
    return states;
}
