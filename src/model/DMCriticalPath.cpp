#include "DMCriticalPath.h"

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectItemGraph.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectViewHooks.h"
#include "DMWorkingTimeline.h"

#include <algorithm>
#include <vector>

namespace {

// Above this many items whose membership changed, the canvas is redrawn once instead of each
// item's objects being told (a chain end that moves can turn the whole project).
constexpr size_t kMembershipChangesToldOneByOne = 64;

} // namespace

// Times are kept per item in its own unit: working-time indexes for items on the working
// schedule, absolute seconds otherwise; a link between items of different units goes through
// a date. The passes read and write only the project's item graph.
class DMCriticalPath::Pass
{
public:
    explicit Pass(DMProject &project) : m_project(project), m_graph(&project.itemGraph()), m_timeline(m_graph->timeline) {}

    void run()
    {
        if (m_graph->criticalPathOrder.empty())
            sortTopologically();
        forwardPass();
        backwardPass(projectEnd());
        publish();
    }

private:
    // A time of item `from` in the unit of item `to`; early times take the first instant of a
    // working-time index, late times the last.
    qint64 convert(qint64 value, size_t from, size_t to, bool late)
    {
        const bool fromWorking = m_graph->working[from];
        if (fromWorking == bool(m_graph->working[to]))
            return value;
        if (fromWorking)
            return (late ? m_timeline.latestDateForIndex(value) : m_timeline.earliestDateForIndex(value)).absoluteSecond();
        return m_timeline.index(DMDate::dateWithAbsoluteSecond(value));
    }
    qint64 duration(size_t i) const { return m_graph->end[i] - m_graph->begin[i]; }

    void sortTopologically();
    void forwardPass();
    DMDate projectEnd();
    void backwardPass(const DMDate &projectEnd);
    void publish();

    DMProject &m_project;
    DMProjectItemGraph *m_graph;
    DMWorkingTimeline &m_timeline;
    qint64 m_lastWorkingEnd = INT64_MIN;
    qint64 m_lastPlainEnd = INT64_MIN;
};

// Topological order over links and subitem-to-parent edges (Kahn); items caught in a cycle (a
// link between an item and its ancestor) follow in tree order.
void DMCriticalPath::Pass::sortTopologically()
{
    DMProjectItemGraph &g = *m_graph;
    const size_t count = g.items.size();
    std::vector<int> pending(count, 0); // unprocessed predecessors (links in, subitems)
    for (size_t i = 0; i < count; ++i)
        pending[i] = (g.inStart[i + 1] - g.inStart[i]) + (g.childStart[i + 1] - g.childStart[i]);
    std::vector<int> &order = g.criticalPathOrder;
    order.reserve(count);
    for (size_t i = 0; i < count; ++i)
        if (pending[i] == 0)
            order.push_back(int(i));
    for (size_t head = 0; head < order.size(); ++head) {
        const size_t index = size_t(order[head]);
        const auto release = [&](int next) {
            if (next >= 0 && --pending[size_t(next)] == 0)
                order.push_back(next);
        };
        for (int e = g.outStart[index]; e < g.outStart[index + 1]; ++e)
            release(g.outEdges[size_t(e)].node);
        release(g.parents[index]);
    }
    g.criticalPathHasCycle = order.size() < count;
    if (g.criticalPathHasCycle) {
        std::vector<char> placed(count, 0);
        for (const int index : order)
            placed[size_t(index)] = 1;
        for (size_t i = 0; i < count; ++i)
            if (!placed[i])
                order.push_back(int(i));
    }
}

// Early dates: an item begins no earlier than its own begin nor than its links allow, and a
// parent finishes no earlier than its subitems.
void DMCriticalPath::Pass::forwardPass()
{
    DMProjectItemGraph &g = *m_graph;
    const size_t count = g.items.size();
    g.earlyStart.resize(count);
    g.earlyFinish.resize(count);
    g.lateFinish.resize(count);
    // Items caught in a cycle read the times of items that come after them: those items' own
    // dates, whatever the computation before left.
    if (g.criticalPathHasCycle) {
        g.earlyStart = g.begin;
        g.earlyFinish = g.end;
        g.lateFinish = g.end;
    }
    for (const int index : g.criticalPathOrder) {
        const size_t i = size_t(index);
        qint64 start = g.begin[i];
        qint64 finishAtLeast = INT64_MIN;
        for (int e = g.inStart[i]; e < g.inStart[i + 1]; ++e) {
            const DMProjectItemGraph::Edge edge = g.inEdges[size_t(e)];
            const size_t pred = size_t(edge.node);
            const qint64 required = convert(
                DMProjectDependency::requiredTargetDate(edge.kind, g.earlyStart[pred], g.earlyFinish[pred]), pred, i, false);
            qint64 &bound = DMProjectDependency::constrainsTargetEnd(edge.kind) ? finishAtLeast : start;
            bound = std::max(bound, required);
        }
        if (finishAtLeast != INT64_MIN)
            start = std::max(start, finishAtLeast - duration(i));
        qint64 finish = start + duration(i);
        for (int c = g.childStart[i]; c < g.childStart[i + 1]; ++c) {
            const size_t sub = size_t(g.children[size_t(c)]);
            finish = std::max(finish, convert(g.earlyFinish[sub], sub, i, false));
        }
        g.earlyStart[i] = start;
        g.earlyFinish[i] = finish;
        // The project ends with its last item as scheduled: that is the end not to delay. An
        // early finish past it (a broken link) shows as negative float before it.
        qint64 &last = g.working[i] ? m_lastWorkingEnd : m_lastPlainEnd;
        last = std::max(last, g.end[i]);
    }
}

DMDate DMCriticalPath::Pass::projectEnd()
{
    DMDate end;
    if (m_lastWorkingEnd != INT64_MIN)
        end = m_timeline.earliestDateForIndex(m_lastWorkingEnd);
    if (m_lastPlainEnd != INT64_MIN) {
        const DMDate plainEnd = DMDate::dateWithAbsoluteSecond(m_lastPlainEnd);
        if (end.isNull() || plainEnd > end)
            end = plainEnd;
    }
    return end;
}

// Late dates: an item ends no later than its successors and its parent allow, nor than the
// project's end.
void DMCriticalPath::Pass::backwardPass(const DMDate &projectEnd)
{
    DMProjectItemGraph &g = *m_graph;
    const qint64 projectEndWorking = projectEnd.isNull() ? 0 : m_timeline.index(projectEnd);
    const qint64 projectEndPlain = projectEnd.absoluteSecond();
    for (auto it = g.criticalPathOrder.rbegin(); it != g.criticalPathOrder.rend(); ++it) {
        const size_t i = size_t(*it);
        qint64 finish = g.working[i] ? projectEndWorking : projectEndPlain;
        for (int e = g.outStart[i]; e < g.outStart[i + 1]; ++e) {
            const DMProjectItemGraph::Edge edge = g.outEdges[size_t(e)];
            const size_t succ = size_t(edge.node);
            const qint64 latestBegin = convert(g.lateFinish[succ] - duration(succ), succ, i, true);
            const qint64 latestEnd = convert(g.lateFinish[succ], succ, i, true);
            finish = std::min(finish, DMProjectDependency::latestSourceEnd(edge.kind, latestBegin, latestEnd, duration(i)));
        }
        if (const int parent = g.parents[i]; parent >= 0)
            finish = std::min(finish, convert(g.lateFinish[size_t(parent)], size_t(parent), i, true));
        g.lateFinish[i] = finish;
    }
}

// The items without float form the critical-path set (an early finish past the latest one, as
// a broken link makes, counts too); each item's float is the time from its end to its latest,
// read from the graph. Only the items whose membership changed are told.
void DMCriticalPath::Pass::publish()
{
    DMProjectItemGraph &g = *m_graph;
    const size_t count = g.items.size();
    g.floats.resize(count);
    // A graph built anew compares with the set the items hold from the last computation.
    if (!g.published) {
        g.critical.resize(count);
        for (size_t i = 0; i < count; ++i)
            g.critical[i] = g.items[i]->m_partOfCriticalPath ? 1 : 0;
        g.published = true;
    }
    std::vector<size_t> changed;
    for (size_t i = 0; i < count; ++i) {
        g.floats[i] = qint32(std::clamp<qint64>(g.lateFinish[i] - g.end[i], INT32_MIN, INT32_MAX));
        const char critical = g.lateFinish[i] <= g.earlyFinish[i] ? 1 : 0;
        if (critical != g.critical[i]) {
            g.critical[i] = critical;
            changed.push_back(i);
        }
    }
    if (changed.empty())
        return;
    m_project.criticalPathWillChange();
    for (const size_t i : changed)
        g.items[i]->m_partOfCriticalPath = g.critical[i] != 0;
    m_project.criticalPathDidChange();
    if (changed.size() > kMembershipChangesToldOneByOne) {
        if (DMProjectViewHooks *view = m_project.displayAttributes().projectView)
            view->setNeedsDisplay();
        return;
    }
    for (const size_t i : changed)
        g.items[i]->notifyUIObjects(&DMProjectItemUIObject::representedObject_criticalPathChanged);
}

void DMCriticalPath::update(DMProject &project)
{
    project.beginCriticalPathUpdate();
    Pass(project).run();
    project.endCriticalPathUpdate();
}

void DMCriticalPath::scheduleUpdate(DMProject &project)
{
    project.setNeedsCriticalPathUpdate(false);
}
