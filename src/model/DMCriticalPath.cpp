#include "DMCriticalPath.h"

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectItemUIObject.h"
#include "DMWorkingTimeline.h"

#include <QSet>

#include <algorithm>
#include <vector>

// The project's items as compact arrays, kept between computations while the trees and the
// links stay as they are (any change of them drops it, see DMProject::setNeedsCriticalPathUpdate):
// the item tree with parents before their subitems, the links and subitems of each item as
// index ranges, and a topological order. A computation then only reads the items' dates.
struct DMCriticalPathGraph
{
    struct Edge
    {
        int node;
        int kind;
    };
    std::vector<DMProjectItem *> items;
    std::vector<int> parents;            // -1 for a top-level item
    std::vector<int> inStart, outStart;  // per node, into inEdges and outEdges; one past the end last
    std::vector<Edge> inEdges, outEdges; // the other end and the link's kind
    std::vector<int> childStart, children;
    std::vector<int> order;
    std::vector<char> critical;          // the last published set, once there is one
    bool published = false;
};

namespace {

// Times are kept per item in its own unit: working-time indexes for items on the working
// schedule, absolute seconds otherwise; a link between items of different units goes through
// a date.
struct Node
{
    bool working;
    qint64 end, duration;
    qint64 earlyStart, earlyFinish;
    qint64 lateStart, lateFinish;
};

} // namespace

class DMCriticalPath::Pass
{
public:
    explicit Pass(DMProject &project) : m_project(project), m_timeline(project.workingCalendar()) {}

    void run()
    {
        std::shared_ptr<DMCriticalPathGraph> &graph = m_project.m_criticalPathGraph;
        if (!graph) {
            graph = std::make_shared<DMCriticalPathGraph>();
            m_graph = graph.get();
            collectItems();
            sortTopologically();
        }
        m_graph = graph.get();
        forwardPass();
        backwardPass(projectEnd());
        publish();
    }

private:
    qint64 toUnit(const DMDate &date, bool working) { return working ? m_timeline.index(date) : date.absoluteSecond(); }
    // A time of node `from` in the unit of `to`; early times take the first instant of a
    // working-time index, late times the last.
    qint64 convert(qint64 value, const Node &from, const Node &to, bool late)
    {
        if (from.working == to.working)
            return value;
        const DMDate date = from.working ? (late ? m_timeline.latestDateForIndex(value) : m_timeline.earliestDateForIndex(value))
                                         : DMDate::dateWithAbsoluteSecond(value);
        return toUnit(date, to.working);
    }

    void collectItems();
    void sortTopologically();
    void forwardPass();
    DMDate projectEnd();
    void backwardPass(const DMDate &projectEnd);
    void publish();

    DMProject &m_project;
    DMWorkingTimeline m_timeline;
    DMCriticalPathGraph *m_graph = nullptr;
    std::vector<Node> m_nodes;
    qint64 m_lastWorkingEnd = INT64_MIN;
    qint64 m_lastPlainEnd = INT64_MIN;
};

// The item tree, parents before their subitems, with the links between its items.
void DMCriticalPath::Pass::collectItems()
{
    DMCriticalPathGraph &g = *m_graph;
    const quint64 stamp = DMProjectItem::nextScratchStamp();
    std::vector<std::pair<DMProjectItem *, int>> stack;
    for (qsizetype i = m_project.tasks().size() - 1; i >= 0; --i)
        stack.emplace_back(m_project.tasks().at(i).get(), -1);
    while (!stack.empty()) {
        const auto [item, parent] = stack.back();
        stack.pop_back();
        item->m_scheduleStamp = stamp;
        item->m_scheduleIndex = int(g.items.size());
        g.items.push_back(item);
        g.parents.push_back(parent);
        for (qsizetype i = item->subitems().size() - 1; i >= 0; --i)
            stack.emplace_back(item->subitems().at(i).get(), item->m_scheduleIndex);
    }
    const auto indexOf = [stamp](const DMProjectItem *item) {
        return item && item->m_scheduleStamp == stamp ? item->m_scheduleIndex : -1;
    };
    const size_t count = g.items.size();
    g.inStart.reserve(count + 1);
    g.outStart.reserve(count + 1);
    g.childStart.reserve(count + 1);
    for (const DMProjectItem *item : g.items) {
        g.inStart.push_back(int(g.inEdges.size()));
        for (const auto &link : item->inboundDependencies())
            if (const int from = indexOf(link->fromItemPointer()); from >= 0)
                g.inEdges.push_back({from, link->kind()});
        g.outStart.push_back(int(g.outEdges.size()));
        for (const auto &link : item->outboundDependencies())
            if (const int to = indexOf(link->toItemPointer()); to >= 0)
                g.outEdges.push_back({to, link->kind()});
        g.childStart.push_back(int(g.children.size()));
        for (const auto &child : item->subitems())
            g.children.push_back(indexOf(child.get()));
    }
    g.inStart.push_back(int(g.inEdges.size()));
    g.outStart.push_back(int(g.outEdges.size()));
    g.childStart.push_back(int(g.children.size()));
}

// Topological order over links and subitem-to-parent edges (Kahn); items caught in a cycle (a
// link between an item and its ancestor) follow in tree order.
void DMCriticalPath::Pass::sortTopologically()
{
    DMCriticalPathGraph &g = *m_graph;
    const size_t count = g.items.size();
    std::vector<int> pending(count, 0); // unprocessed predecessors (links in, subitems)
    for (size_t i = 0; i < count; ++i)
        pending[i] = (g.inStart[i + 1] - g.inStart[i]) + (g.childStart[i + 1] - g.childStart[i]);
    std::vector<int> &order = g.order;
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
    if (order.size() < count) {
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
    const DMCriticalPathGraph &g = *m_graph;
    m_nodes.resize(g.items.size());
    for (size_t i = 0; i < g.items.size(); ++i) {
        const DMProjectItem *item = g.items[i];
        Node &node = m_nodes[i];
        node.working = item->useWorkingSchedule();
        const qint64 begin = toUnit(item->beginDate(), node.working);
        node.end = std::max(begin, toUnit(item->endDate(), node.working));
        node.duration = node.end - begin;
        node.earlyStart = begin; // the own begin, until the pass below
    }
    for (const int index : g.order) {
        Node &node = m_nodes[size_t(index)];
        qint64 start = node.earlyStart;
        qint64 finishAtLeast = INT64_MIN;
        for (int e = g.inStart[size_t(index)]; e < g.inStart[size_t(index) + 1]; ++e) {
            const DMCriticalPathGraph::Edge edge = g.inEdges[size_t(e)];
            const Node &pred = m_nodes[size_t(edge.node)];
            const qint64 required = convert(DMProjectDependency::requiredTargetDate(edge.kind, pred.earlyStart, pred.earlyFinish),
                                            pred, node, false);
            qint64 &bound = DMProjectDependency::constrainsTargetEnd(edge.kind) ? finishAtLeast : start;
            bound = std::max(bound, required);
        }
        if (finishAtLeast != INT64_MIN)
            start = std::max(start, finishAtLeast - node.duration);
        qint64 finish = start + node.duration;
        for (int c = g.childStart[size_t(index)]; c < g.childStart[size_t(index) + 1]; ++c) {
            const Node &sub = m_nodes[size_t(g.children[size_t(c)])];
            finish = std::max(finish, convert(sub.earlyFinish, sub, node, false));
        }
        node.earlyStart = start;
        node.earlyFinish = finish;
        // The project ends with its last item as scheduled: that is the end not to delay. An
        // early finish past it (a broken link) shows as negative float before it.
        qint64 &last = node.working ? m_lastWorkingEnd : m_lastPlainEnd;
        last = std::max(last, node.end);
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
    const DMCriticalPathGraph &g = *m_graph;
    const qint64 projectEndWorking = projectEnd.isNull() ? 0 : m_timeline.index(projectEnd);
    const qint64 projectEndPlain = projectEnd.absoluteSecond();
    for (auto it = g.order.rbegin(); it != g.order.rend(); ++it) {
        const size_t index = size_t(*it);
        Node &node = m_nodes[index];
        qint64 finish = node.working ? projectEndWorking : projectEndPlain;
        for (int e = g.outStart[index]; e < g.outStart[index + 1]; ++e) {
            const DMCriticalPathGraph::Edge edge = g.outEdges[size_t(e)];
            const Node &succ = m_nodes[size_t(edge.node)];
            const qint64 latestBegin = convert(succ.lateStart, succ, node, true);
            const qint64 latestEnd = convert(succ.lateFinish, succ, node, true);
            finish = std::min(finish, DMProjectDependency::latestSourceEnd(edge.kind, latestBegin, latestEnd, node.duration));
        }
        if (const int parent = g.parents[index]; parent >= 0)
            finish = std::min(finish, convert(m_nodes[size_t(parent)].lateFinish, m_nodes[size_t(parent)], node, true));
        node.lateFinish = finish;
        node.lateStart = finish - node.duration;
    }
}

// The items without float form the critical-path set (an early finish past the latest one, as
// a broken link makes, counts too); each item's float is the time from its end to its latest.
// Only the items whose membership changed are announced; the set is rebuilt only then.
void DMCriticalPath::Pass::publish()
{
    DMCriticalPathGraph &g = *m_graph;
    const size_t count = g.items.size();
    for (size_t i = 0; i < count; ++i) {
        const Node &node = m_nodes[i];
        g.items[i]->setFloatDuration(qint32(std::clamp<qint64>(node.lateFinish - node.end, INT32_MIN, INT32_MAX)));
    }
    std::vector<char> critical(count, 0);
    for (size_t i = 0; i < count; ++i)
        critical[i] = m_nodes[i].lateFinish <= m_nodes[i].earlyFinish ? 1 : 0;
    std::vector<size_t> changed;
    if (g.published) {
        for (size_t i = 0; i < count; ++i)
            if (critical[i] != g.critical[i])
                changed.push_back(i);
        if (!changed.empty()) {
            QSet<quint64> ids = m_project.criticalPathObjectIDs();
            for (const size_t i : changed)
                if (critical[i])
                    ids.insert(g.items[i]->objectID());
                else
                    ids.remove(g.items[i]->objectID());
            m_project.setCriticalPathObjectIDs(ids);
        }
    } else {
        QSet<quint64> ids;
        ids.reserve(qsizetype(count / 4 + 1));
        for (size_t i = 0; i < count; ++i)
            if (critical[i])
                ids.insert(g.items[i]->objectID());
        const QSet<quint64> before = m_project.criticalPathObjectIDs();
        m_project.setCriticalPathObjectIDs(ids);
        for (size_t i = 0; i < count; ++i)
            if (before.contains(g.items[i]->objectID()) != bool(critical[i]))
                changed.push_back(i);
    }
    g.critical = std::move(critical);
    g.published = true;
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
