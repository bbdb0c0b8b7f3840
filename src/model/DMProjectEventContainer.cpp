#include "DMProjectEventContainer.h"

#include "DMProject.h"
#include "DMProjectChildList.h"
#include "DMProjectCoder.h"
#include "DMProjectEvent.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

DMProjectEventContainer::DMProjectEventContainer()
{
    m_events.setDelegate(this);
}

DMProjectEventContainer::~DMProjectEventContainer()
{
    m_events.setDelegate(nullptr);
}

void DMProjectEventContainer::layoutSubRows()
{
    QList<std::shared_ptr<DMProjectEvent>> ordered(m_events.begin(), m_events.end());
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto &a, const auto &b) { return a->chronologicalCompare(*b) < 0; });
    // lastInLane[i]: the last event placed in lane i so far.
    std::vector<DMProjectEvent *> lastInLane;
    for (const std::shared_ptr<DMProjectEvent> &event : ordered) {
        size_t lane = 0;
        while (lane < lastInLane.size() && lastInLane[lane]->endDate() > event->beginDate())
            ++lane;
        if (lane == lastInLane.size())
            lastInLane.push_back(event.get());
        else
            std::exchange(lastInLane[lane], event.get())->setNextInSubRow(event);
        event->setSubRow(int(lane));
        event->setNextInSubRow(nullptr);
    }
    if (assign(m_subRowCount, int(lastInLane.size()), DMProjectKey::subRowCount))
        projectLayoutDidChange();
}

void DMProjectEventContainer::mutableArrayWillChange(EventList &list, const EventList::Change &change)
{
    if (change.kind == EventList::Change::Insert || change.kind == EventList::Change::Replace)
        for (const auto &event : change.objects)
            if (!event || event->isAttached() || event->parentItemPointer() || list.contains(event))
                throw std::invalid_argument("events: the event is null or already in a list");
    m_orderBefore = DMProjectChildList<DMProjectEvent>::orderBefore(list, change);
    willChangeList(DMProjectKey::events, DMProjectChildList<DMProjectEvent>::observedKind(change),
                   DMProjectChildList<DMProjectEvent>::indexesOf(list, change));
}

void DMProjectEventContainer::mutableArrayDidChange(EventList &list, const EventList::Change &change)
{
    if (change.kind == EventList::Change::Insert || change.kind == EventList::Change::Replace)
        for (const auto &event : change.objects)
            if (!event->project() && project())
                event->setProject(project());
    DMProjectChildList<DMProjectEvent>::didChange(
        projectPointer(), isAttached(),
        [](DMProject &p) { return p.eventContainer() ? &p.eventContainer()->events() : nullptr; }, change, m_orderBefore);
    didChangeList(DMProjectKey::events, DMProjectChildList<DMProjectEvent>::observedKind(change),
                  DMProjectChildList<DMProjectEvent>::indexesOf(list, change));
    layoutSubRows();
}

QVariantMap DMProjectEventContainer::dictionaryRepresentation() const
{
    QVariantMap d;
    d.insert(QStringLiteral("class"), className());
    d.insert(QStringLiteral("objectID"), DMProjectCoder::idValue(objectID()));
    QVariantList events;
    for (const auto &event : m_events)
        events.append(DMProjectCoder::itemTreeRepresentation(*event));
    d.insert(QStringLiteral("events"), events);
    return d;
}
