#pragma once

#include "DMMutableArray.h"
#include "DMObservable.h"
#include "DMProject.h"
#include "DMProjectObject.h"
#include "DMProjectRelations.h"
#include "DMUndoManager.h"

#include <QHash>
#include <QList>

#include <functional>
#include <memory>

// The bookkeeping shared by every child list of the model (tasks, subitems, resources,
// members, events, to-dos): announcing the change before and after under the list's key,
// entering and leaving the project's ID index, and registering the inverse for undo. Undo
// actions locate the list again through the project at each use; removed objects wait in the
// project (by ID) so that undoing a removal re-inserts the very same objects, and the lists
// their links and assignments left get back their exact orders.
template <typename T>
class DMProjectChildList
{
public:
    using List = DMMutableArray<std::shared_ptr<T>>;
    using Change = typename List::Change;
    using Locator = std::function<List *(DMProject &)>;

    static QList<qsizetype> indexesOf(const List &list, const Change &change)
    {
        QList<qsizetype> indexes;
        switch (change.kind) {
        case Change::Insert:
        case Change::Remove:
        case Change::Replace:
            for (qsizetype i = 0; i < change.objects.size(); ++i)
                indexes.append(change.index + i);
            break;
        case Change::Exchange:
            indexes = {change.index, change.otherIndex};
            break;
        case Change::Sort:
            for (qsizetype i = 0; i < list.size(); ++i)
                indexes.append(i);
            break;
        }
        return indexes;
    }

    static DMChange::Kind observedKind(const Change &change)
    {
        switch (change.kind) {
        case Change::Insert:
            return DMChange::Insertion;
        case Change::Remove:
            return DMChange::Removal;
        default:
            return DMChange::Replacement;
        }
    }

    static QList<quint64> orderOf(const List &list)
    {
        QList<quint64> ids;
        ids.reserve(list.size());
        for (const auto &object : list)
            ids.append(object->objectID());
        return ids;
    }

    // The order before a reordering change (what its undo restores); empty for other changes.
    static QList<quint64> orderBefore(const List &list, const Change &change)
    {
        if (change.kind != Change::Exchange && change.kind != Change::Sort)
            return {};
        return orderOf(list);
    }

    // After the change: index bookkeeping (when the owner is part of the project) and undo.
    static void didChange(DMProject *project, bool ownerAttached, const Locator &locator, const Change &change,
                          const QList<quint64> &orderBefore)
    {
        if (!project || !ownerAttached)
            return;
        project->layoutDidChange();
        DMUndoManager *undo = project->undoManagerForRegistration();
        const std::weak_ptr<DMProject> weakProject = project->weak_from_this();
        switch (change.kind) {
        case Change::Insert: {
            QList<quint64> ids;
            for (const auto &object : change.objects) {
                project->attachSubtree(object.get());
                ids.append(object->objectID());
            }
            if (undo)
                undo->registerUndo([weakProject, locator, ids] {
                    if (auto p = weakProject.lock())
                        if (List *list = locator(*p))
                            removeIDs(*list, ids);
                });
            // After the registration, so that undo restores the durations while the objects
            // are still in the project.
            for (const auto &object : change.objects)
                project->subtreeDidJoin(object.get());
            break;
        }
        case Change::Remove:
        case Change::Replace: {
            const QList<std::shared_ptr<T>> &removed = change.kind == Change::Remove ? change.objects : change.oldObjects;
            QList<quint64> ids;
            DMProjectRelationOrders orders;
            for (const auto &object : removed) {
                project->detachSubtree(object.get(), &orders);
                if (undo)
                    project->keepRemovedObject(object);
                ids.append(object->objectID());
            }
            if (change.kind == Change::Replace)
                for (const auto &object : change.objects)
                    project->attachSubtree(object.get());
            const qsizetype index = change.index;
            if (undo && change.kind == Change::Remove) {
                undo->registerUndo([weakProject, locator, ids, index, orders] {
                    if (auto p = weakProject.lock())
                        if (List *list = locator(*p)) {
                            insertRemoved(*p, *list, index, ids);
                            DMProjectRelations::restoreOrders(*p, orders);
                        }
                });
            } else if (undo) {
                const quint64 oldID = ids.value(0);
                undo->registerUndo([weakProject, locator, oldID, index, orders] {
                    auto p = weakProject.lock();
                    List *list = p ? locator(*p) : nullptr;
                    if (!list || index >= list->size())
                        return;
                    if (auto object = std::dynamic_pointer_cast<T>(p->takeRemovedObject(oldID))) {
                        list->replace(index, object);
                        DMProjectRelations::restoreOrders(*p, orders);
                    }
                });
            }
            if (change.kind == Change::Replace)
                for (const auto &object : change.objects)
                    project->subtreeDidJoin(object.get());
            break;
        }
        case Change::Exchange:
        case Change::Sort:
            if (undo)
                undo->registerUndo([weakProject, locator, orderBefore] {
                    if (auto p = weakProject.lock())
                        if (List *list = locator(*p))
                            restoreOrder(*list, orderBefore);
                });
            break;
        }
    }

    static void removeIDs(List &list, const QList<quint64> &ids)
    {
        for (const quint64 id : ids)
            for (qsizetype i = 0; i < list.size(); ++i)
                if (list.at(i)->objectID() == id) {
                    list.removeAt(i);
                    break;
                }
    }

    static void insertRemoved(DMProject &project, List &list, qsizetype index, const QList<quint64> &ids)
    {
        QList<std::shared_ptr<T>> objects;
        for (const quint64 id : ids)
            if (auto object = std::dynamic_pointer_cast<T>(project.takeRemovedObject(id)))
                objects.append(object);
        list.insertObjects(qBound<qsizetype>(0, index, list.size()), objects);
    }

    static void restoreOrder(List &list, const QList<quint64> &order)
    {
        QHash<quint64, qsizetype> rank;
        for (qsizetype i = 0; i < order.size(); ++i)
            rank.insert(order.at(i), i);
        list.sort([&rank](const std::shared_ptr<T> &a, const std::shared_ptr<T> &b) {
            return rank.value(a->objectID(), INT_MAX) < rank.value(b->objectID(), INT_MAX);
        });
    }
};
