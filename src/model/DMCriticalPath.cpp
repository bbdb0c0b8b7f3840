#include "DMCriticalPath.h"

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectItemUIObject.h"
#include "DMWorkingTimeline.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace {


// Times are kept per item in its own unit: working-time indexes for items on the working
// schedule, absolute seconds otherwise; a link between items of different units goes through
// a date.
} // namespace

namespace {
struct Node
{
    DMProjectItem *item;
    bool working;
    qint64 begin, end, duration;
    qint64 earlyStart, earlyFinish;
    qint64 lateStart, lateFinish;
    int pending = 0; // unprocessed predecessors (links in, subitems)
};
} // namespace

class DMCriticalPath::Pass
{
public:
    explicit Pass(DMProject &project) : m_project(project), m_timeline(project.workingCalendar()), m_stamp(DMProjectItem::nextScratchStamp()) {}
    void run();

private:
    int indexOf(const DMProjectItem *item) const
    {
        return item && item->m_scheduleStamp == m_stamp ? item->m_scheduleIndex : -1;
    }
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

    DMProject &m_project;
    DMWorkingTimeline m_timeline;
    quint64 m_stamp;
    std::vector<Node> m_nodes;
};

void DMCriticalPath::Pass::run()
{
    // The item tree, parents before their subitems.
    std::vector<DMProjectItem *> stack;
    for (qsizetype i = m_project.tasks().size() - 1; i >= 0; --i)
        stack.push_back(m_project.tasks().at(i).get());
    while (!stack.empty()) {
        DMProjectItem *item = stack.back();
        stack.pop_back();
        item->m_scheduleStamp = m_stamp;
        item->m_scheduleIndex = int(m_nodes.size());
        Node node{};
        node.item = item;
        node.working = item->useWorkingSchedule();
        node.begin = toUnit(item->beginDate(), node.working);
        node.end = std::max(node.begin, toUnit(item->endDate(), node.working));
        node.duration = node.end - node.begin;
        m_nodes.push_back(node);
        for (qsizetype i = item->subitems().size() - 1; i >= 0; --i)
            stack.push_back(item->subitems().at(i).get());
    }

    // Topological order over links and subitem-to-parent edges (Kahn); items caught in a
    // cycle (a link between an item and its ancestor) follow in tree order.
    for (Node &node : m_nodes) {
        for (const auto &link : node.item->inboundDependencies())
            if (indexOf(link->fromItemPointer()) >= 0)
                ++node.pending;
        node.pending += int(node.item->subitems().size());
    }
    std::vector<int> order;
    order.reserve(m_nodes.size());
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (m_nodes[i].pending == 0)
            order.push_back(int(i));
    for (size_t head = 0; head < order.size(); ++head) {
        const Node &node = m_nodes[size_t(order[head])];
        const auto release = [&](int index) {
            if (index >= 0 && --m_nodes[size_t(index)].pending == 0)
                order.push_back(index);
        };
        for (const auto &link : node.item->outboundDependencies())
            release(indexOf(link->toItemPointer()));
        release(indexOf(node.item->parentItemPointer()));
    }
    if (order.size() < m_nodes.size()) {
        std::vector<char> placed(m_nodes.size(), 0);
        for (const int index : order)
            placed[size_t(index)] = 1;
        for (size_t i = 0; i < m_nodes.size(); ++i)
            if (!placed[i])
                order.push_back(int(i));
    }

    // Forward pass.
    for (Node &node : m_nodes) {
        node.earlyStart = node.begin;
        node.earlyFinish = node.end;
    }
    qint64 lastWorking = INT64_MIN;
    qint64 lastPlain = INT64_MIN;
    for (const int index : order) {
        Node &node = m_nodes[size_t(index)];
        qint64 start = node.begin;
        qint64 finishAtLeast = INT64_MIN;
        for (const auto &link : node.item->inboundDependencies()) {
            const int from = indexOf(link->fromItemPointer());
            if (from < 0)
                continue;
            const Node &pred = m_nodes[size_t(from)];
            switch (link->kind()) {
            case DMProjectDependency::StartToFinish:
                finishAtLeast = std::max(finishAtLeast, convert(pred.earlyStart, pred, node, false));
                break;
            case DMProjectDependency::StartToStart:
                start = std::max(start, convert(pred.earlyStart, pred, node, false));
                break;
            case DMProjectDependency::FinishToFinish:
                finishAtLeast = std::max(finishAtLeast, convert(pred.earlyFinish, pred, node, false));
                break;
            default:
                start = std::max(start, convert(pred.earlyFinish, pred, node, false));
                break;
            }
        }
        if (finishAtLeast != INT64_MIN)
            start = std::max(start, finishAtLeast - node.duration);
        qint64 finish = start + node.duration;
        for (const auto &child : node.item->subitems()) {
            const Node &sub = m_nodes[size_t(indexOf(child.get()))];
            finish = std::max(finish, convert(sub.earlyFinish, sub, node, false));
        }
        node.earlyStart = start;
        node.earlyFinish = finish;
        // The project ends with its last item as scheduled: that is the end not to delay. An
        // early finish past it (a broken link) shows as negative float before it.
        (node.working ? lastWorking : lastPlain) = std::max(node.working ? lastWorking : lastPlain, node.end);
    }
    DMDate projectEnd;
    if (lastWorking != INT64_MIN)
        projectEnd = m_timeline.earliestDateForIndex(lastWorking);
    if (lastPlain != INT64_MIN) {
        const DMDate plainEnd = DMDate::dateWithAbsoluteSecond(lastPlain);
        if (projectEnd.isNull() || plainEnd > projectEnd)
            projectEnd = plainEnd;
    }
    const qint64 projectEndWorking = projectEnd.isNull() ? 0 : m_timeline.index(projectEnd);
    const qint64 projectEndPlain = projectEnd.absoluteSecond();

    // Backward pass.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Node &node = m_nodes[size_t(*it)];
        qint64 finish = node.working ? projectEndWorking : projectEndPlain;
        for (const auto &link : node.item->outboundDependencies()) {
            const int to = indexOf(link->toItemPointer());
            if (to < 0)
                continue;
            const Node &succ = m_nodes[size_t(to)];
            switch (link->kind()) {
            case DMProjectDependency::StartToFinish:
                finish = std::min(finish, convert(succ.lateFinish, succ, node, true) + node.duration);
                break;
            case DMProjectDependency::StartToStart:
                finish = std::min(finish, convert(succ.lateStart, succ, node, true) + node.duration);
                break;
            case DMProjectDependency::FinishToFinish:
                finish = std::min(finish, convert(succ.lateFinish, succ, node, true));
                break;
            default:
                finish = std::min(finish, convert(succ.lateStart, succ, node, true));
                break;
            }
        }
        if (const int parent = indexOf(node.item->parentItemPointer()); parent >= 0)
            finish = std::min(finish, convert(m_nodes[size_t(parent)].lateFinish, m_nodes[size_t(parent)], node, true));
        node.lateFinish = finish;
        node.lateStart = finish - node.duration;
    }

    QSet<quint64> critical;
    critical.reserve(qsizetype(m_nodes.size() / 4 + 1));
    for (const Node &node : m_nodes)
        if (node.lateFinish <= node.earlyFinish)
            critical.insert(node.item->objectID());
    const QSet<quint64> before = m_project.criticalPathObjectIDs();
    for (const Node &node : m_nodes)
        node.item->setFloatDuration(qint32(std::clamp<qint64>(node.lateFinish - node.end, INT32_MIN, INT32_MAX)));
    m_project.setCriticalPathObjectIDs(critical);
    for (const Node &node : m_nodes) {
        const quint64 id = node.item->objectID();
        if (before.contains(id) != critical.contains(id))
            node.item->notifyUIObjects(&DMProjectItemUIObject::representedObject_criticalPathChanged);
    }
}

void DMCriticalPath::update(DMProject &project)
{
    project.beginCriticalPathUpdate();
    Pass(project).run();
    project.endCriticalPathUpdate();
}

void DMCriticalPath::scheduleUpdate(DMProject &project)
{
    project.setNeedsCriticalPathUpdate();
}
