#include "DMProjectRelations.h"

#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"

namespace {

// The IDs of the objects at the other ends of a list of assignments (`end` picks that end).
template <typename End>
QList<quint64> idsOf(const QList<std::shared_ptr<DMProjectAssignment>> &assignments, End end)
{
    QList<quint64> ids;
    ids.reserve(assignments.size());
    for (const auto &assignment : assignments)
        ids.append(end(*assignment)->objectID());
    return ids;
}

} // namespace

// Side 0 of a link is its source's outbound list, side 1 its target's inbound list.
struct DMProjectRelations::LinkSides
{
    using Relation = DMProjectDependency;
    static std::shared_ptr<DMProjectItem> end(const Relation &link, int side)
    {
        return side == 0 ? link.fromItem() : link.toItem();
    }
    static bool attached(const Relation &link, int side)
    {
        const auto item = end(link, side);
        return item && item->isAttached();
    }
    static qsizetype &suspendedAt(Relation &link, int side) { return link.m_suspendedAt[side]; }
    static void noteOrder(const Relation &link, int side, DMProjectRelationOrders *orders)
    {
        const auto item = end(link, side);
        if (!item || !orders)
            return;
        const auto kind = side == 0 ? DMProjectRelationOrders::Outbound : DMProjectRelationOrders::Inbound;
        orders->note(item->objectID(), kind, [&] {
            QList<quint64> order;
            for (const auto &listed : side == 0 ? item->m_outbound : item->m_inbound)
                order.append(listed->objectID());
            return order;
        });
    }
    static qsizetype take(const std::shared_ptr<Relation> &link, int side)
    {
        const auto item = end(*link, side);
        return item ? item->takeDependency(side == 1, link.get()) : -1;
    }
    static void put(const std::shared_ptr<Relation> &link, int side, qsizetype index)
    {
        if (const auto item = end(*link, side))
            item->putDependency(side == 1, link, index);
    }
};

// Side 0 of an assignment is the task's list of resources, side 1 the resource's list of tasks.
struct DMProjectRelations::AssignmentSides
{
    using Relation = DMProjectAssignment;
    static bool attached(const Relation &assignment, int side)
    {
        if (side == 0) {
            const auto task = assignment.task.lock();
            return task && task->isAttached();
        }
        const auto resource = assignment.resource.lock();
        return resource && resource->isAttached();
    }
    static qsizetype &suspendedAt(Relation &assignment, int side) { return assignment.suspendedAt[side]; }
    static void noteOrder(const Relation &assignment, int side, DMProjectRelationOrders *orders)
    {
        if (!orders)
            return;
        if (side == 0) {
            if (const auto task = assignment.task.lock())
                orders->note(task->objectID(), DMProjectRelationOrders::TaskResources,
                             [&] { return idsOf(task->m_assignments, [](const auto &a) { return a.resourcePointer; }); });
        } else if (const auto resource = assignment.resource.lock()) {
            orders->note(resource->objectID(), DMProjectRelationOrders::ResourceTasks,
                         [&] { return idsOf(resource->m_tasks, [](const auto &a) { return a.taskPointer; }); });
        }
    }
    static qsizetype take(const std::shared_ptr<Relation> &assignment, int side)
    {
        if (side == 0) {
            const auto task = assignment->task.lock();
            return task ? task->takeAssignment(assignment.get()) : -1;
        }
        const auto resource = assignment->resource.lock();
        return resource ? resource->takeAssignment(assignment.get()) : -1;
    }
    static void put(const std::shared_ptr<Relation> &assignment, int side, qsizetype index)
    {
        if (side == 0) {
            if (const auto task = assignment->task.lock())
                task->putAssignment(assignment, index);
        } else if (const auto resource = assignment->resource.lock()) {
            resource->putAssignment(assignment, index);
        }
    }
};

namespace {

// The end on `side` left the project: the other end, if still in it, stops listing the relation.
template <typename Sides>
void relationDidLeave(const std::shared_ptr<typename Sides::Relation> &relation, int side, DMProjectRelationOrders *orders)
{
    const int other = 1 - side;
    if (Sides::attached(*relation, other) && Sides::suspendedAt(*relation, other) < 0) {
        Sides::noteOrder(*relation, other, orders);
        Sides::suspendedAt(*relation, other) = Sides::take(relation, other);
    }
}

// The end on `side` joined the project and lists the relation: the other end lists it again at
// its old place; if that end is outside the project, it alone keeps the relation.
template <typename Sides>
void relationDidJoin(const std::shared_ptr<typename Sides::Relation> &relation, int side)
{
    const int other = 1 - side;
    if (const qsizetype index = Sides::suspendedAt(*relation, other); index >= 0) {
        Sides::suspendedAt(*relation, other) = -1;
        Sides::put(relation, other, index);
    }
    if (!Sides::attached(*relation, other))
        Sides::suspendedAt(*relation, side) = Sides::take(relation, side);
}

template <typename List>
QList<typename List::value_type> reversed(const List &list)
{
    return QList<typename List::value_type>(list.rbegin(), list.rend());
}

} // namespace

void DMProjectRelations::itemsDidLeave(const std::vector<DMProjectItem *> &items, DMProjectRelationOrders *orders)
{
    // Each take changes the list of an end still in the project, never one of these items. The
    // items' own lists are noted too: while they are out, relations may move between them and
    // other objects outside the project.
    for (DMProjectItem *item : items) {
        for (const auto &link : item->m_outbound) {
            LinkSides::noteOrder(*link, 0, orders);
            relationDidLeave<LinkSides>(link, 0, orders);
        }
        for (const auto &link : item->m_inbound) {
            LinkSides::noteOrder(*link, 1, orders);
            relationDidLeave<LinkSides>(link, 1, orders);
        }
        if (const auto *task = dynamic_cast<DMProjectTask *>(item))
            for (const auto &assignment : task->m_assignments) {
                AssignmentSides::noteOrder(*assignment, 0, orders);
                relationDidLeave<AssignmentSides>(assignment, 0, orders);
            }
    }
}

void DMProjectRelations::resourcesDidLeave(const std::vector<DMProjectResource *> &resources, DMProjectRelationOrders *orders)
{
    for (DMProjectResource *resource : resources)
        for (const auto &assignment : resource->m_tasks) {
            AssignmentSides::noteOrder(*assignment, 1, orders);
            relationDidLeave<AssignmentSides>(assignment, 1, orders);
        }
}

// The exact reverse of the leaving walk, so that relations taken out of one list together go
// back in the opposite order and land at their old places.
void DMProjectRelations::itemsDidJoin(const std::vector<DMProjectItem *> &items)
{
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        DMProjectItem *item = *it;
        if (auto *task = dynamic_cast<DMProjectTask *>(item))
            for (const auto &assignment : reversed(task->m_assignments))
                relationDidJoin<AssignmentSides>(assignment, 0);
        for (const auto &link : reversed(item->m_inbound.list()))
            relationDidJoin<LinkSides>(link, 1);
        for (const auto &link : reversed(item->m_outbound.list()))
            relationDidJoin<LinkSides>(link, 0);
    }
}

void DMProjectRelations::resourcesDidJoin(const std::vector<DMProjectResource *> &resources)
{
    for (auto it = resources.rbegin(); it != resources.rend(); ++it)
        for (const auto &assignment : reversed((*it)->m_tasks))
            relationDidJoin<AssignmentSides>(assignment, 1);
}

void DMProjectRelations::restoreOrders(const DMProject &project, const DMProjectRelationOrders &orders)
{
    for (const auto &list : orders.lists) {
        const std::shared_ptr<DMProjectObject> owner = project.indexedObject(list.owner);
        switch (list.kind) {
        case DMProjectRelationOrders::Outbound:
        case DMProjectRelationOrders::Inbound:
            if (auto *item = dynamic_cast<DMProjectItem *>(owner.get()))
                item->reorderDependencies(list.kind == DMProjectRelationOrders::Inbound, list.order);
            break;
        case DMProjectRelationOrders::TaskResources:
            if (auto *task = dynamic_cast<DMProjectTask *>(owner.get()))
                task->reorderAssignments(list.order);
            break;
        case DMProjectRelationOrders::ResourceTasks:
            if (auto *resource = dynamic_cast<DMProjectResource *>(owner.get()))
                resource->reorderAssignments(list.order);
            break;
        }
    }
}
