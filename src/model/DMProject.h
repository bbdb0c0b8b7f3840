#pragma once

#include "DMDate.h"
#include "DMMutableArray.h"
#include "DMObservable.h"
#include "DMProject_DisplayAttributes.h"
#include "DMWorkingCalendar.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>
#include <optional>

class DMDelayedCalls;
class DMMutableIndexSet_64;
class DMProjectEventContainer;
class DMProjectItem;
class DMProjectItemGraph;
class DMProjectObject;
class DMProjectResource;
struct DMProjectRelationOrders;
class DMProjectTodoContainer;
class DMUndoManager;

// The root of one project: the item tree (tasks), the resource tree, the event and to-do
// containers, the settings dictionary (attributes), the object-ID counter and index, the
// working calendar, and the display attributes through which it reaches its document.
//
// Always made with DMProject::create(). Every object inserted anywhere in its trees (with
// its subitems and links) is entered in the ID index, so objectWithIDAndClass is a hash look-up.
class DMProject : public DMObservable, public std::enable_shared_from_this<DMProject>
{
    struct PrivateTag {};

public:
    using ItemList = DMMutableArray<std::shared_ptr<DMProjectItem>>;
    using ResourceList = DMMutableArray<std::shared_ptr<DMProjectResource>>;

    static std::shared_ptr<DMProject> create();
    explicit DMProject(PrivateTag);
    ~DMProject() override;

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    // The name that files exported from the project are proposed under: its document's, once
    // the document is saved, else the project's title.
    QString nameForExportedFiles() const;
    // The project's own identifier, a UUID without braces: made with the project (or on loading a
    // file that has none) and kept in its file, so that what is exported from it (calendar UIDs)
    // stays the same across exports and differs from every other project's.
    QString identifier() const { return m_identifier; }
    // May be null on a fresh project being imported.
    DMDate beginDate() const { return m_beginDate; }
    void setBeginDate(const DMDate &date);
    DMDate endDate() const { return m_endDate; }
    void setEndDate(const DMDate &date);

    // Top-level items and resources; inserting makes objects part of the project (appending is
    // how importers add), removing takes them out; both register their inverse for undo.
    ItemList &tasks() { return m_tasks; }
    const ItemList &tasks() const { return m_tasks; }
    ResourceList &resources() { return m_resources; }
    const ResourceList &resources() const { return m_resources; }
    std::shared_ptr<DMProjectEventContainer> eventContainer() const { return m_eventContainer; }
    std::shared_ptr<DMProjectTodoContainer> todoContainer() const { return m_todoContainer; }

    // The settings (kDMProject_ keys). A change is announced under "attributes" and
    // "attributes.<key>" and is undoable; an invalid value removes the key. Replacing
    // kDMProject_Settings_DaysOff, _NonWorkingWeekDays or _DayTimeSpan rebuilds the calendar,
    // and every item keeps its dates and stores the working time between them anew, in the
    // same undo step.
    const QVariantMap &attributes() const { return m_attributes; }
    QVariant attribute(const QString &key) const { return m_attributes.value(key); }
    void setAttribute(const QString &key, const QVariant &value);
    void setAttributes(const QVariantMap &attributes);

    // Moves with every change besides items' dates and durations that the views may have to lay
    // out again for: the trees and lists, links, settings, attributes, lanes. The document lays
    // its views out anew after an undo or redo only when it moved.
    quint64 layoutStamp() const { return m_layoutStamp; }
    void layoutDidChange() { ++m_layoutStamp; }

    // NO once the project is being closed (observable "isValid").
    bool isValid() const { return m_isValid; }
    void setIsValid(bool valid);

    // The next object ID: the counter starts at 2^32, so the first object gets 2^32 + 1. It
    // never wraps: once it stands at 2^64 - 1 (a file may hold IDs that high), the lowest IDs
    // from 2^32 + 1 up that no object of the project holds are handed out.
    quint64 nextObjectID();
    quint64 lastObjectID() const { return m_lastObjectID; }

    DMProject_DisplayAttributes &displayAttributes() { return m_displayAttributes; }
    const DMProject_DisplayAttributes &displayAttributes() const { return m_displayAttributes; }

    // Set by the document (tests set their own); not owned.
    void setUndoManager(DMUndoManager *undoManager);
    DMUndoManager *undoManager() const;
    // The undo manager when registration is open (not while loading), else null.
    DMUndoManager *undoManagerForRegistration() const;

    // Working time.
    const DMWorkingCalendar &workingCalendar() const { return m_calendar; }
    // Sets every item's duration to the working time between its dates (calendar time off the
    // working schedule, 0 for a milestone); returns how many changed.
    int recomputeDurations();
    int recomputeDurations(const QList<std::shared_ptr<DMProjectItem>> &roots);
    bool isWorkingDay(const DMDate &date, int *kind = nullptr) const;
    DMDate endDateWithBeginDateAndDurationWorkSlices(const DMDate &begin, qint64 duration, bool useWorkingSchedule,
                                                    DMMutableIndexSet_64 *workSlices = nullptr) const;
    qint64 durationBetween(const DMDate &begin, const DMDate &end, bool useWorkingSchedule) const;
    // The first working instant at or after the date: the date itself inside a working window,
    // else the start of the next one (the date itself when the calendar has no working days).
    DMDate nextWorkingInstant(const DMDate &date) const;
    // See DMWorkingCalendar; the snap threshold is in seconds (the canvas turns its pixels into
    // seconds, the model knows no pixels).
    DMDate dateByRoundingDateToIntervalSnapOption(const DMDate &date, int interval, int snapOption,
                                                  int snapThreshold, int intervalOrigin = 0) const;

    // objectWithID:andClass: the object with that ID among the to-dos ("DMProjectTodo"), the
    // events ("DMProjectEvent"), the item tree ("DMProjectItem" or a class of its family; the
    // object must be of that class), the links ("DMProjectDependency") or the resources
    // ("DMProjectResource"); null when absent or for any other class.
    std::shared_ptr<DMProjectObject> objectWithIDAndClass(quint64 objectID, const QString &className) const;
    template <typename T>
    std::shared_ptr<T> objectWithIDAndClass(quint64 objectID) const
    {
        return std::dynamic_pointer_cast<T>(objectWithIDAndClass(objectID, T::staticClassName()));
    }
    // Any object of the project's trees with that ID, whatever its class (containers included).
    std::shared_ptr<DMProjectObject> indexedObject(quint64 objectID) const;
    qsizetype indexedObjectCount() const { return m_index.size(); }

    // The critical-path set (object IDs), kept by the scheduler; observable "criticalPath".
    // Reading it brings a stale critical path up to date first (each item also answers
    // partOfCriticalPath).
    const QSet<quint64> &criticalPathObjectIDs() const;
    // Overrides the set until the critical path is computed again.
    void setCriticalPathObjectIDs(const QSet<quint64> &ids);
    // The items of the trees as compact arrays, built on first use after a change of the trees
    // or links (see DMProjectItemGraph); the critical path and the scheduler read it.
    DMProjectItemGraph &itemGraph() const;
    // The item's working schedule changed: the critical path counts its dates anew.
    void itemScheduleDidChange(const DMProjectItem &item);
    // Called on a change of links, calendar or tree (or, with structureChanged false, of dates
    // only): the critical path is recomputed soon after (once for many changes), or at the next
    // read of a result.
    void setNeedsCriticalPathUpdate(bool structureChanged = true);
    void updateCriticalPathIfNeeded() const;
    bool needsCriticalPathUpdate() const { return m_criticalPathDirty; }
    // Bracket a computation (DMCriticalPath), during which reads do not recompute.
    void beginCriticalPathUpdate();
    void endCriticalPathUpdate();

    // Load-time list of the resources the resource loader made, sorted by object ID; set to an
    // empty list by a resource import before loading and cleared (nullopt) afterwards.
    const std::optional<QList<std::shared_ptr<DMProjectResource>>> &objectIDSortedResourcesArray() const
    {
        return m_objectIDSortedResources;
    }
    void setObjectIDSortedResourcesArray(std::optional<QList<std::shared_ptr<DMProjectResource>>> list);

    // The document's callbacks: change count now; the links' items array (DMPage::ItemsLinksPage)
    // 0.05 s after a link change.
    void updateChangeCount(int kind) const;
    void scheduleUpdateItemsArrayWithTag(int tag);

    // Called by an item whose dates were applied: the document hears of every item changed
    // meanwhile in one call 0.1 s after the first, and the items' time span is kept up to date.
    void itemDatesDidChange(const DMProjectItem &item, const DMDate &oldBegin, const DMDate &oldEnd);
    // The earliest begin and latest end of every item (tasks and their subitems, events); null
    // dates when there is none. Kept as dates change, with the number of items at each end;
    // walked again only when the last item at an end moved inwards or the trees changed.
    DMDate itemsBeginDate() const;
    DMDate itemsEndDate() const;
    // The project's begin and end as every view and file shows them: the stored dates widened
    // over all its items, so that they enclose the plan. Null only when neither exists.
    DMDate effectiveBeginDate() const;
    DMDate effectiveEndDate() const;

    // The whole project as a dictionary, and back (see DMProjectCoder for the two-phase load).
    QVariantMap dictionaryRepresentation() const;
    // Builds a project; problems are logged (qWarning) and, when given, appended to *problems.
    static std::shared_ptr<DMProject> projectWithDictionaryRepresentation(const QVariantMap &dictionary,
                                                                          QStringList *problems = nullptr);

    // Objects taken out of the trees while undo registration is open are kept here, by ID, so
    // that undoing the removal puts the same objects back. The document may purge them when it
    // clears its undo stack.
    void purgeRemovedObjects();
    qsizetype removedObjectCount() const { return m_removedObjects.size(); }

    // Tree maintenance, called by the lists' owners. Leaving, a subtree takes its links and
    // assignments along (DMProjectRelations); the orders of the lists that changed are added to
    // *orders when given.
    void attachSubtree(DMProjectObject *root);
    void detachSubtree(DMProjectObject *root, DMProjectRelationOrders *orders = nullptr);
    // Tells the document that objects left the project (a subtree, an assignment), so that the
    // views let go of what they show of them (a selection, an inspector).
    void objectsDidLeave();
    void indexObject(DMProjectObject *object);
    void unindexObject(DMProjectObject *object);
    // The milestones in the project's trees, whatever their depth (few in any plan: the chart
    // looks among them rather than walking every item).
    std::vector<std::shared_ptr<const DMProjectItem>> milestones() const;
    void keepRemovedObject(const std::shared_ptr<DMProjectObject> &object);
    std::shared_ptr<DMProjectObject> takeRemovedObject(quint64 objectID);
    bool isLoading() const { return m_loading > 0; }
    // While loading, undoing or redoing, stored values are being put back: nothing is derived
    // (roll-ups, fits, durations), since the values come back through their own registrations.
    bool isRestoring() const;
    // After an insertion registered its undo: the items that joined store the working time
    // between their dates (they may have been out of the project when the calendar changed).
    void subtreeDidJoin(DMProjectObject *root);
    void beginLoading() { ++m_loading; }
    void endLoading()
    {
        --m_loading;
        m_itemsTimeSpan.valid = false; // loaders set dates without announcing them
    }
    void noteObjectID(quint64 objectID);

private:
    friend class DMCriticalPath;
    friend class DMLinkOrder;
    friend class DMProjectCoder;
    friend class DMProjectResource;
    template <typename T>
    class ListDelegate;

    // After a change of the trees or links: the graph is built again on first use, and the
    // critical path computed on the next read of a result.
    void dropItemGraph();
    // Around a change of the items' membership of the critical path (DMCriticalPath).
    void criticalPathWillChange();
    void criticalPathDidChange();
    // Assigns a changed value: registers `setter` with the old value for undo and announces the key.
    template <typename T>
    void assignWithUndo(T &field, const T &value, const QString &key, const char *setterName,
                        void (DMProject::*setter)(const T &));
    void settingDidChange(const QString &key);
    void rebuildCalendar();
    // The IDs of an object and everything it holds (subitems, their links, members).
    static void idsOfSubtree(const DMProjectObject *root, QSet<quint64> *ids);

    QString m_title;
    QString m_identifier;
    DMDate m_beginDate;
    DMDate m_endDate;
    ItemList m_tasks;
    ResourceList m_resources;
    std::shared_ptr<DMProjectEventContainer> m_eventContainer;
    std::shared_ptr<DMProjectTodoContainer> m_todoContainer;
    QVariantMap m_attributes;
    bool m_isValid = true;
    quint64 m_layoutStamp = 0;
    quint64 m_lastObjectID = quint64(1) << 32;
    quint64 m_freeIDSearch = (quint64(1) << 32) + 1; // where the search for free IDs goes on
    DMProject_DisplayAttributes m_displayAttributes;
    QPointer<DMUndoManager> m_undoManager;
    DMWorkingCalendar m_calendar;
    QHash<quint64, std::weak_ptr<DMProjectObject>> m_index;
    QSet<quint64> m_milestoneIDs; // indexed with m_index
    QHash<quint64, std::shared_ptr<DMProjectObject>> m_removedObjects;
    std::optional<QSet<quint64>> m_removedIDs; // of m_removedObjects, while the counter is at its top
    mutable QSet<quint64> m_criticalPath; // made from the items' membership when read
    mutable bool m_criticalPathSetStale = false;
    bool m_criticalPathDirty = false;
    bool m_criticalPathUpdateScheduled = false;
    bool m_updatingCriticalPath = false;
    mutable std::unique_ptr<DMProjectItemGraph> m_itemGraph; // dropped by any change of the trees or links
    bool m_linkOrderValid = true; // see DMLinkOrder
    std::optional<QList<std::shared_ptr<DMProjectResource>>> m_objectIDSortedResources;
    std::unique_ptr<ListDelegate<DMProjectItem>> m_taskDelegate;
    std::unique_ptr<ListDelegate<DMProjectResource>> m_resourceDelegate;
    std::unique_ptr<DMDelayedCalls> m_delayedCalls;
    int m_loading = 0;
    // Waiting for the document's notification; an item changed again is listed again (a drag
    // changes the same items step after step), the repeats are dropped when the list grows.
    std::vector<quint64> m_itemsWithChangedDates;
    size_t m_itemsWithChangedDatesDistinct = 0; // of the list when it was last thinned
    QSet<int> m_pendingItemsArrayTags;
    struct ItemsTimeSpan
    {
        bool valid = false;
        DMDate begin;
        DMDate end;
        qint64 itemsAtBegin = 0;
        qint64 itemsAtEnd = 0;
    };
    mutable ItemsTimeSpan m_itemsTimeSpan;
    const ItemsTimeSpan &itemsTimeSpan() const;
    size_t distinctItemsWithChangedDates();
};
