#include "DMScheduler.h"

#include "DMCriticalPath.h"
#include "DMDate.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMUndoManager.h"
#include "DMValidation.h"
#include "DMWorkingTimeline.h"

#include <QHash>

#include <algorithm>
#include <memory>
#include <vector>

const char *const DMScheduler::kRescheduleProcessMessage = "Would you like to reschedule the entire process?";
const char *const DMScheduler::kRescheduleButton = "Reschedule";
const char *const DMScheduler::kSetBeginDateButton = "Set Begin Date";

namespace {

const DMDate &epoch()
{
    static const DMDate date(1970, 1, 1, 0);
    return date;
}

} // namespace

// The dates every changed item had before a validated change: the one undo action of the
// change. A drag's later changes, fenced off under the same key, add the items they move
// first, so the action restores everything the drag moved. The undo manager that records it
// holds it as the key's context while it may still be extended.
struct DMScheduler::DateSnapshot
{
    struct Entry
    {
        quint64 objectID;
        DMDate begin;
        DMDate end;
        qint32 duration;
    };
    std::weak_ptr<DMProject> project;
    std::vector<Entry> entries;
    QSet<quint64> ids;

    void add(const DMProjectItem &item)
    {
        if (!ids.contains(item.objectID())) {
            ids.insert(item.objectID());
            entries.push_back({item.objectID(), item.beginDate(), item.endDate(), item.duration()});
        }
    }
};

namespace {

using DateSnapshot = DMScheduler::DateSnapshot;

qint32 clampToInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, INT32_MIN, INT32_MAX));
}

} // namespace

// Undo (and redo) of a validated change: the saved dates come back and the current ones are
// registered as the opposite step.
void DMScheduler::restoreSnapshot(const std::shared_ptr<DateSnapshot> &snapshot)
{
    const std::shared_ptr<DMProject> project = snapshot->project.lock();
    if (!project)
        return;
    auto opposite = std::make_shared<DateSnapshot>();
    opposite->project = project;
    std::vector<std::pair<DMProjectItem *, const DateSnapshot::Entry *>> items;
    items.reserve(snapshot->entries.size());
    for (const DateSnapshot::Entry &entry : snapshot->entries) {
        auto item = std::dynamic_pointer_cast<DMProjectItem>(project->indexedObject(entry.objectID));
        if (!item)
            continue;
        opposite->add(*item);
        items.emplace_back(item.get(), &entry);
    }
    if (DMUndoManager *manager = project->undoManagerForRegistration())
        manager->registerUndo([opposite] { restoreSnapshot(opposite); });
    for (const auto &[item, entry] : items)
        item->applyDates(entry->begin, entry->end, entry->duration);
    DMCriticalPath::update(*project);
}

// One validated change in progress.
class DMScheduler::Propagation
{
public:
    Propagation(DMProjectItem &root, DMScheduler::Mode mode, DMWorkingTimeline *timeline)
        : m_root(root), m_mode(mode), m_timeline(timeline), m_stamp(DMProjectItem::nextScratchStamp())
    {
    }

    struct State
    {
        DMProjectItem *item;
        DMDate begin0, end0;  // before the change
        DMDate inBegin, inEnd; // after the item's own step (requested, shifted or pushed)
        DMDate begin, end;     // after its parent step (fitted to its subitems)
        qint32 duration;
        bool fixed = false;        // requested dates: never pushed, checked instead
        bool inVisited = false;    // the item's own step ran
        int inNode = -1;
        int outNode = -1;
    };

    int run(const DMDate &begin, const DMDate &end);
    const std::vector<State> &states() const { return m_states; }
    const std::vector<int> &order() const { return m_order; }
    int stateOfNode(int node) const { return m_nodes[size_t(node)].state; }

private:
    struct Node
    {
        int state;
        bool out; // the parent step of an item with subitems
    };

    int stateOf(DMProjectItem *item)
    {
        if (item->m_scheduleStamp == m_stamp)
            return item->m_scheduleIndex;
        item->m_scheduleStamp = m_stamp;
        item->m_scheduleIndex = int(m_states.size());
        State state;
        state.item = item;
        state.begin0 = state.inBegin = state.begin = item->beginDate();
        state.end0 = state.inEnd = state.end = item->endDate();
        state.duration = item->duration();
        m_states.push_back(state);
        return item->m_scheduleIndex;
    }
    int findState(const DMProjectItem *item) const
    {
        return item->m_scheduleStamp == m_stamp ? item->m_scheduleIndex : -1;
    }
    int inNodeOf(DMProjectItem *item) { return nodeOf(item, false); }
    int outNodeOf(DMProjectItem *item) { return nodeOf(item, true); }
    // The item's own (in) or parent (out) step, made on first use.
    int nodeOf(DMProjectItem *item, bool out)
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
    void datesOf(const DMProjectItem *item, DMDate *begin, DMDate *end) const
    {
        const int s = findState(item);
        if (s < 0) {
            *begin = item->beginDate();
            *end = item->endDate();
        } else {
            *begin = m_states[size_t(s)].begin;
            *end = m_states[size_t(s)].end;
        }
    }
    bool shiftsSubitems(const State &state) const
    {
        return !(state.item == &m_root && m_mode != DMScheduler::Shift);
    }
    void successorsOf(int node, std::vector<int> *out);
    bool sortTopologically();
    bool runNode(const Node &node);
    void runItemStep(State &state);
    void runParentStep(State &state);
    DMDate endFor(const State &state, const DMDate &begin) const;
    qint32 durationOf(const DMProjectItem &item, const DMDate &begin, const DMDate &end) const;
    int check();

    DMProjectItem &m_root;
    DMScheduler::Mode m_mode;
    DMWorkingTimeline *m_timeline;
    quint64 m_stamp;
    std::vector<State> m_states;
    std::vector<Node> m_nodes;
    std::vector<int> m_order; // node indexes, topological
    bool m_cyclic = false;
};

void DMScheduler::Propagation::successorsOf(int node, std::vector<int> *out)
{
    out->clear();
    const Node n = m_nodes[size_t(node)];
    DMProjectItem *item = m_states[size_t(n.state)].item;
    const bool hasSubitems = !item->subitems().isEmpty();
    if (!n.out && hasSubitems) {
        out->push_back(outNodeOf(item));
        if (shiftsSubitems(m_states[size_t(n.state)]))
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
bool DMScheduler::Propagation::sortTopologically()
{
    enum : char { White, Grey, Black };
    std::vector<char> colour;
    std::vector<std::pair<int, std::vector<int>>> stack;
    std::vector<int> postOrder;
    const int first = inNodeOf(&m_root);
    colour.resize(m_nodes.size(), White);
    std::vector<int> next;
    successorsOf(first, &next);
    colour[size_t(first)] = Grey;
    stack.emplace_back(first, next);
    std::vector<size_t> position{0};
    while (!stack.empty()) {
        auto &[node, successors] = stack.back();
        size_t &at = position.back();
        if (at < successors.size()) {
            const int successor = successors[at++];
            if (colour.size() < m_nodes.size())
                colour.resize(m_nodes.size(), White);
            if (colour[size_t(successor)] == Grey) {
                m_cyclic = true;
            } else if (colour[size_t(successor)] == White) {
                colour[size_t(successor)] = Grey;
                successorsOf(successor, &next);
                if (colour.size() < m_nodes.size())
                    colour.resize(m_nodes.size(), White);
                stack.emplace_back(successor, next);
                position.push_back(0);
            }
            continue;
        }
        colour[size_t(node)] = Black;
        postOrder.push_back(node);
        stack.pop_back();
        position.pop_back();
    }
    m_order.assign(postOrder.rbegin(), postOrder.rend());
    return !m_cyclic;
}

DMDate DMScheduler::Propagation::endFor(const State &state, const DMDate &begin) const
{
    if (state.item->hasEqualDates())
        return begin;
    const qint64 span = state.end0.absoluteSecond() - state.begin0.absoluteSecond();
    DMDate end;
    if (state.duration > 0)
        end = m_timeline->endDate(begin, state.duration, state.item->useWorkingSchedule());
    // An item without work time keeps its calendar span.
    if (end.isNull() || end <= begin)
        end = begin.dateByAddingSeconds(std::max<qint64>(span, 1));
    return end;
}

qint32 DMScheduler::Propagation::durationOf(const DMProjectItem &item, const DMDate &begin, const DMDate &end) const
{
    return clampToInt32(m_timeline->durationBetween(begin, end, item.useWorkingSchedule()));
}

// The item's own step: requested dates, a parent's shift, then the push by its inbound links.
void DMScheduler::Propagation::runItemStep(State &state)
{
    state.inVisited = true;
    DMDate begin = state.begin0;
    DMDate end = state.end0;
    if (!state.fixed) {
        const DMProjectItem *parent = state.item->parentItemPointer();
        const int p = parent ? findState(parent) : -1;
        if (p >= 0 && m_states[size_t(p)].inVisited && shiftsSubitems(m_states[size_t(p)])) {
            const qint64 delta = m_states[size_t(p)].inBegin.absoluteSecond() - m_states[size_t(p)].begin0.absoluteSecond();
            if (delta != 0) {
                begin = begin.dateByAddingSeconds(delta);
                end = endFor(state, begin);
            }
        }
        // Pushed later by the max over its links, never pulled earlier.
        DMDate requiredBegin = begin;
        DMDate requiredEnd = end;
        for (const auto &link : state.item->inboundDependencies()) {
            const DMProjectItem *from = link->fromItemPointer();
            if (!from)
                continue;
            DMDate fromBegin, fromEnd;
            datesOf(from, &fromBegin, &fromEnd);
            const int kind = link->kind();
            DMDate &bound = DMProjectDependency::constrainsTargetEnd(kind) ? requiredEnd : requiredBegin;
            bound = std::max(bound, DMProjectDependency::requiredTargetDate(kind, fromBegin, fromEnd));
        }
        if (requiredBegin > begin) {
            begin = requiredBegin;
            end = endFor(state, begin);
        }
        if (requiredEnd > end) {
            // The end lands on the requirement and the begin keeps the working duration.
            if (state.item->hasEqualDates()) {
                begin = end = requiredEnd;
            } else {
                DMDate pushedBegin = state.duration > 0
                    ? m_timeline->beginDate(requiredEnd, state.duration, state.item->useWorkingSchedule())
                    : requiredEnd.dateByAddingSeconds(-(end.absoluteSecond() - begin.absoluteSecond()));
                begin = std::max(begin, pushedBegin);
                end = requiredEnd;
                if (begin >= end)
                    begin = end.dateByAddingSeconds(-1);
            }
        }
    } else {
        begin = state.inBegin;
        end = state.inEnd;
    }
    state.inBegin = state.begin = begin;
    state.inEnd = state.end = end;
}

// The parent step: enclose the subitems (exactly with kDMProjectItem_ExpandToFitSubitems).
void DMScheduler::Propagation::runParentStep(State &state)
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
    if (state.item->attribute(kDMProjectItem_ExpandToFitSubitems).toBool() && !state.item->hasEqualDates()
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

bool DMScheduler::Propagation::runNode(const Node &node)
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

int DMScheduler::Propagation::check()
{
    for (const State &state : m_states) {
        if (state.begin == state.begin0 && state.end == state.end0)
            continue;
        if (state.item->locked())
            return kDMValidation_Locked;
        if (state.begin < epoch() || state.end < epoch())
            return kDMValidation_Before1970;
        if (state.item->hasEqualDates() ? state.begin != state.end : state.begin >= state.end)
            return kDMValidation_BeginNotBeforeEnd;
    }
    // Every link into an item this change sets must hold (pushed items hold by construction,
    // unless a cycle through a parent keeps them from it).
    for (const State &state : m_states) {
        const bool moved = state.begin != state.begin0 || state.end != state.end0;
        const bool exempt = m_mode == DMScheduler::Enforce && state.item == &m_root;
        if ((!moved && !state.fixed) || exempt)
            continue;
        for (const auto &link : state.item->inboundDependencies()) {
            const DMProjectItem *from = link->fromItemPointer();
            if (!from)
                continue;
            DMDate fromBegin, fromEnd;
            datesOf(from, &fromBegin, &fromEnd);
            if (!DMProjectDependency::holds(link->kind(), fromBegin, fromEnd, state.begin, state.end))
                return kDMValidation_InboundDependencyBroken;
        }
    }
    return kDMValidation_OK;
}

int DMScheduler::Propagation::run(const DMDate &begin, const DMDate &end)
{
    State &root = m_states[size_t(stateOf(&m_root))];
    root.fixed = true;
    root.inBegin = root.begin = begin;
    root.inEnd = root.end = end;
    if (m_mode == DMScheduler::Shift) {
        // The subitems move by the same amount, keeping their working durations.
        const qint64 delta = begin.absoluteSecond() - m_root.beginDate().absoluteSecond();
        std::vector<DMProjectItem *> stack;
        for (const auto &child : m_root.subitems())
            stack.push_back(child.get());
        while (!stack.empty()) {
            DMProjectItem *item = stack.back();
            stack.pop_back();
            State &state = m_states[size_t(stateOf(item))];
            state.fixed = true;
            state.inBegin = state.begin = state.begin0.dateByAddingSeconds(delta);
            state.inEnd = state.end = endFor(state, state.begin);
            for (const auto &child : item->subitems())
                stack.push_back(child.get());
        }
    }
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
            if (!m_cyclic && state.item->locked() && (state.begin != state.begin0 || state.end != state.end0))
                return kDMValidation_Locked;
        }
        if (!m_cyclic)
            settled = true;
    }
    if (!settled)
        return kDMValidation_InboundDependencyBroken;
    if (const int code = check())
        return code;
    // New durations: the requested and fitted items count theirs anew; moved ones keep theirs.
    for (const int node : m_order) {
        State &state = m_states[size_t(m_nodes[size_t(node)].state)];
        const bool refitted = state.outNode >= 0 && (state.begin != state.inBegin || state.end != state.inEnd);
        if ((state.item == &m_root && m_mode != DMScheduler::Enforce) || refitted)
            state.duration = state.item->hasEqualDates() ? 0 : durationOf(*state.item, state.begin, state.end);
    }
    return kDMValidation_OK;
}


int DMScheduler::validateAndSetDates(DMProjectItem &item, const DMDate &begin, const DMDate &end, Mode mode)
{
    if (begin.isNull() || end.isNull() || begin < epoch() || end < epoch())
        return kDMValidation_Before1970;
    if (item.hasEqualDates() ? begin != end : begin >= end)
        return kDMValidation_BeginNotBeforeEnd;
    if (item.locked() && (begin != item.beginDate() || end != item.endDate()))
        return kDMValidation_Locked;

    DMProject *project = item.projectPointer();
    static const DMWorkingCalendar plainCalendar; // every day, all day
    DMWorkingTimeline timeline(project ? project->workingCalendar() : plainCalendar);
    Propagation propagation(item, mode, &timeline);
    if (const int code = propagation.run(begin, end))
        return code;

    // Everything checked: apply in topological order as one undo step.
    std::vector<const Propagation::State *> changes;
    const auto sameDates = [](const Propagation::State &state) {
        return state.begin == state.begin0 && state.end == state.end0 && state.duration == state.item->duration();
    };
    std::vector<char> seen(propagation.states().size(), 0);
    for (const int node : propagation.order()) {
        const int index = propagation.stateOfNode(node);
        const Propagation::State &state = propagation.states()[size_t(index)];
        if (!seen[size_t(index)] && !sameDates(state)) {
            seen[size_t(index)] = 1;
            changes.push_back(&state);
        }
    }
    if (changes.empty())
        return kDMValidation_OK;

    // A change of items outside the project registers nothing: undo could not find them.
    DMUndoManager *manager = project && item.isAttached() ? project->undoManagerForRegistration() : nullptr;
    bool grouped = false;
    if (manager) {
        const QString key = DMUndoManager::fenceOffKeyForObject(&item, "validateAndSetBeginDateAndEndDate");
        if (const auto open = std::static_pointer_cast<DateSnapshot>(manager->fencedContext(key))) {
            for (const Propagation::State *state : changes)
                open->add(*state->item);
            manager->disableRegistrationWithFenceOffKey(key);
        } else {
            auto snapshot = std::make_shared<DateSnapshot>();
            snapshot->project = project->weak_from_this();
            snapshot->entries.reserve(changes.size());
            for (const Propagation::State *state : changes)
                snapshot->add(*state->item);
            manager->beginUndoGrouping();
            grouped = true;
            manager->registerExtensibleUndo([snapshot] { restoreSnapshot(snapshot); }, key, snapshot);
        }
    }
    for (const Propagation::State *state : changes)
        state->item->applyDates(state->begin, state->end, state->duration);
    if (grouped)
        manager->endUndoGrouping();
    if (project)
        DMCriticalPath::update(*project);
    return kDMValidation_OK;
}

int DMScheduler::setValidatedBeginDate(DMProjectItem &item, const DMDate &date, RescheduleMode mode)
{
    if (date == item.beginDate())
        return kDMValidation_OK;
    if (date.isNull() || date < epoch())
        return kDMValidation_Before1970;
    if (item.hasEqualDates())
        return validateAndSetDates(item, date, date, Set);
    // The duration stays: the end follows the begin.
    DMDate end;
    if (const DMProject *project = item.projectPointer()) {
        DMWorkingTimeline timeline(project->workingCalendar());
        end = timeline.endDate(date, item.duration(), item.useWorkingSchedule());
    } else {
        end = date.dateByAddingSeconds(item.duration());
    }
    if (end <= date)
        end = date.dateByAddingSeconds(item.endDate().absoluteSecond() - item.beginDate().absoluteSecond());
    const bool shift = item.kind() == kDMProjectItem_Kind_Process && mode == RescheduleMode::RescheduleProcess;
    return validateAndSetDates(item, date, end, shift ? Shift : Set);
}

int DMScheduler::setValidatedEndDate(DMProjectItem &item, const DMDate &date)
{
    if (date == item.endDate())
        return kDMValidation_OK;
    if (item.hasEqualDates())
        return validateAndSetDates(item, date, date, Set);
    return validateAndSetDates(item, item.beginDate(), date, Set);
}
