#pragma once

#include "DMObservable.h"

#include <QHash>
#include <QList>
#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <vector>

class DMProject;
class DMProjectItem;
class DMProjectItemUIObject;
class DMProjectResource;
class DMProjectTask;

// One assignment of a resource to a task or milestone. Both ends list it, in order: the task
// among its resources, the resource among its tasks.
struct DMProjectAssignment
{
    std::weak_ptr<DMProjectTask> task;
    std::weak_ptr<DMProjectResource> resource;
    // The same, unlocked: valid while the assignment is in either end's list (each end takes it
    // out of the other's list when it is destroyed).
    const DMProjectTask *taskPointer = nullptr;
    const DMProjectResource *resourcePointer = nullptr;
    std::shared_ptr<DMProjectItemUIObject> uiObject; // the task's bar in the resource's row
    // Side 0 is the task's list, side 1 the resource's; see DMProjectRelations.
    qsizetype suspendedAt[2] = {-1, -1};
};

// The orders of the lists a removal took relations out of, as they were before it: undoing the
// removal restores them exactly, whatever happened to the index hints meanwhile (an object
// reinserted and removed again in between records new ones).
struct DMProjectRelationOrders
{
    enum ListKind { Outbound, Inbound, TaskResources, ResourceTasks };
    struct List
    {
        quint64 owner;
        ListKind kind;
        QList<quint64> order; // link IDs, or the IDs of the objects at the other ends
    };
    QList<List> lists;

    // Notes the order of one list, once: the first note is the order before any change.
    template <typename Order>
    void note(quint64 owner, ListKind kind, Order order)
    {
        int &kinds = m_noted[owner];
        if (kinds & (1 << kind))
            return;
        kinds |= 1 << kind;
        lists.append({owner, kind, order()});
    }

private:
    QHash<quint64, int> m_noted; // owner -> a bit per list kind
};

// Links and assignments relate two objects, and each end lists the relation. An object that
// leaves the project's trees takes its relations along: the ends still in the project stop
// listing them, so nothing in the project reaches a removed object (propagation, the critical
// path, costs, the saved file), and each remembers where in its list the relation stood
// (suspendedAt of that side, -1 while listed). When the object joins the project again the
// relations go back to those places, so undoing a removal restores every list exactly, and a
// move (a removal, then an insertion elsewhere) keeps them. An end outside the project keeps
// listing its relations; a relation whose two ends are both outside stays with at least one.
class DMProjectRelations
{
public:
    // After a subtree left the project (its objects already marked as out of it); the orders of
    // the lists it changed are added to *orders when given.
    static void itemsDidLeave(const std::vector<DMProjectItem *> &items, DMProjectRelationOrders *orders);
    static void resourcesDidLeave(const std::vector<DMProjectResource *> &resources, DMProjectRelationOrders *orders);
    // After a subtree joined the project (its objects already marked as part of it); the
    // objects in the order the leaving walk took, which this walk reverses.
    static void itemsDidJoin(const std::vector<DMProjectItem *> &items);
    static void resourcesDidJoin(const std::vector<DMProjectResource *> &resources);
    // After the undone removal put its objects back: the lists it changed get their old orders.
    static void restoreOrders(const DMProject &project, const DMProjectRelationOrders &orders);
    // Sorts a list to a recorded order of IDs (`id` of an element; one not recorded goes after
    // the rest), announced as a replacement of the list under `key` of its owner; untouched when
    // it is in that order already.
    template <typename List, typename Id>
    static void reorder(List &list, const QList<quint64> &order, Id id, DMObservable &owner, const QString &key)
    {
        // Mostly the list is in that order already (undo put the relations back at their places).
        std::vector<quint64> ids;
        ids.reserve(size_t(list.size()));
        for (const auto &element : list)
            ids.push_back(id(element));
        if (std::equal(ids.begin(), ids.end(), order.begin(), order.end()))
            return;
        QHash<quint64, qsizetype> rank;
        for (qsizetype i = 0; i < order.size(); ++i)
            rank.insert(order.at(i), i);
        QHash<quint64, qsizetype> rankOfID;
        for (const quint64 elementID : ids)
            rankOfID.insert(elementID, rank.value(elementID, order.size()));
        const auto less = [&](const auto &a, const auto &b) { return rankOfID.value(id(a)) < rankOfID.value(id(b)); };
        if (std::is_sorted(list.begin(), list.end(), less))
            return;
        QList<qsizetype> indexes;
        for (qsizetype i = 0; i < list.size(); ++i)
            indexes.append(i);
        owner.willChangeList(key, DMChange::Replacement, indexes);
        if constexpr (requires { list.sort(less); })
            list.sort(less);
        else
            std::stable_sort(list.begin(), list.end(), less);
        owner.didChangeList(key, DMChange::Replacement, indexes);
    }

private:
    struct LinkSides;
    struct AssignmentSides;
};
