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

    void run()
    {
        collectItems();
        sortTopologically();
        forwardPass();
        backwardPass(projectEnd());
        publish();
    }

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

    void collectItems();
    void sortTopologically();
    void forwardPass();
    DMDate projectEnd();
    void backwardPass(const DMDate &projectEnd);
    void publish();

    DMProject &m_project;
    DMWorkingTimeline m_timeline;
    quint64 m_stamp;
    std::vector<Node> m_nodes;
    std::vector<int> m_order;
    qint64 m_lastWorkingEnd = INT64_MIN;
    qint64 m_lastPlainEnd = INT64_MIN;
};

// The item tree, parents before their subitems.
void DMCriticalPath::Pass::collectItems()
{
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
}

// Topological order over links and subitem-to-parent edges (Kahn); items caught in a cycle (a
// link between an item and its ancestor) follow in tree order.
void DMCriticalPath::Pass::sortTopologically()
{
    for (Node &node : m_nodes) {
        for (const auto &link : node.item->inboundDependencies())
            if (indexOf(link->fromItemPointer()) >= 0)
                ++node.pending;
        node.pending += int(node.item->subitems().size());
    }
    m_order.reserve(m_nodes.size());
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (m_nodes[i].pending == 0)
            m_order.push_back(int(i));
    for (size_t head = 0; head < m_order.size(); ++head) {
        const Node &node = m_nodes[size_t(m_order[head])];
        const auto release = [&](int index) {
            if (index >= 0 && --m_nodes[size_t(index)].pending == 0)
                m_order.push_back(index);
        };
        for (const auto &link : node.item->outboundDependencies())
            release(indexOf(link->toItemPointer()));
        release(indexOf(node.item->parentItemPointer()));
    }
    if (m_order.size() < m_nodes.size()) {
        std::vector<char> placed(m_nodes.size(), 0);
        for (const int index : m_order)
            placed[size_t(index)] = 1;
        for (size_t i = 0; i < m_nodes.size(); ++i)
            if (!placed[i])
                m_order.push_back(int(i));
    }
}

// Early dates: an item begins no earlier than its own begin nor than its links allow, and a
// parent finishes no earlier than its subitems.
void DMCriticalPath::Pass::forwardPass()
{
    for (const int index : m_order) {
        Node &node = m_nodes[size_t(index)];
        qint64 start = node.begin;
        qint64 finishAtLeast = INT64_MIN;
        for (const auto &link : node.item->inboundDependencies()) {
            const int from = indexOf(link->fromItemPointer());
            if (from < 0)
                continue;
            const Node &pred = m_nodes[size_t(from)];
            const int kind = link->kind();
            const qint64 required = convert(DMProjectDependency::requiredTargetDate(kind, pred.earlyStart, pred.earlyFinish),
                                            pred, node, false);
            qint64 &bound = DMProjectDependency::constrainsTargetEnd(kind) ? finishAtLeast : start;
            bound = std::max(bound, required);
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
    const qint64 projectEndWorking = projectEnd.isNull() ? 0 : m_timeline.index(projectEnd);
    const qint64 projectEndPlain = projectEnd.absoluteSecond();
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        Node &node = m_nodes[size_t(*it)];
        qint64 finish = node.working ? projectEndWorking : projectEndPlain;
        for (const auto &link : node.item->outboundDependencies()) {
            const int to = indexOf(link->toItemPointer());
            if (to < 0)
                continue;
            const Node &succ = m_nodes[size_t(to)];
            const qint64 latestBegin = convert(succ.lateStart, succ, node, true);
            const qint64 latestEnd = convert(succ.lateFinish, succ, node, true);
            finish = std::min(finish, DMProjectDependency::latestSourceEnd(link->kind(), latestBegin, latestEnd, node.duration));
        }
        if (const int parent = indexOf(node.item->parentItemPointer()); parent >= 0)
            finish = std::min(finish, convert(m_nodes[size_t(parent)].lateFinish, m_nodes[size_t(parent)], node, true));
        node.lateFinish = finish;
        node.lateStart = finish - node.duration;
    }
}

// The items without float form the critical-path set (an early finish past the latest one, as
// a broken link makes, counts too); each item's float is the time from its end to its latest.
void DMCriticalPath::Pass::publish()
{
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
