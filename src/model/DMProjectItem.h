#pragma once

#include "DMDate.h"
#include "DMMutableArray.h"
#include "DMProjectKeys.h"
#include "DMProjectObject.h"
#include "DMScheduler.h"

#include <QColor>
#include <QList>
#include <QVariantMap>

#include <cstddef>
#include <memory>

class DMMutableIndexSet_64;
class DMProjectDependency;
class DMProjectItemUIObject;

// Base of every scheduled item: 'Item' itself, and the kinds DMProjectTask, DMProjectMilestone,
// DMProjectProcess, DMProjectItemGroup and DMProjectEvent. Made detached with the model's
// defaults (std::make_shared), given its project with setProject, then inserted into a list
// (the project's tasks, an item's subitems, the event container's events).
//
// Every setter is observable under its DMProjectKey, does nothing when the value is unchanged,
// and registers its undo through the item's proxy under the fence-off key of the item and the
// setter, so the many changes of one drag make one undo step.
class DMProjectItem : public DMProjectObject, private DMMutableArray<std::shared_ptr<DMProjectItem>>::Delegate
{
public:
    using Pointer = std::shared_ptr<DMProjectItem>;
    using ItemList = DMMutableArray<std::shared_ptr<DMProjectItem>>;
    using DependencyList = DMMutableArray<std::shared_ptr<DMProjectDependency>>;

    DMProjectItem();
    ~DMProjectItem() override;

    static QString staticClassName() { return QStringLiteral("DMProjectItem"); }
    QString className() const override { return staticClassName(); }
    bool isKindOfClass(const QString &className) const override;
    virtual std::uint32_t kind() const { return kDMProjectItem_Kind_Item; }
    // Milestones have equal begin and end dates; every other kind needs begin before end.
    bool hasEqualDates() const { return m_hasEqualDates; }
    // Tasks and milestones can be assigned resources.
    virtual bool acceptsResources() const { return false; }

    QString title() const { return m_title; }
    void setTitle(const QString &title);

    DMDate beginDate() const { return m_beginDate; }
    DMDate endDate() const { return m_endDate; }
    // Keep the other date (a milestone moves both).
    virtual void setBeginDate(const DMDate &date);
    virtual void setEndDate(const DMDate &date);
    // setBeginDate:andEndDate: sets both dates without validation and recomputes the duration
    // from the project's calendar. Throws std::invalid_argument, changing nothing, for a null
    // date, a begin after the end, or equal dates on an item that is not a milestone (a
    // milestone needs equal dates).
    void setBeginDateAndEndDate(const DMDate &begin, const DMDate &end);

    // Validated changes (codes in DMValidation.h). The new dates are checked against the
    // item's inbound links (and its ancestors'), its lock, their order and 1970; every
    // successor whose link they break is pushed later just enough (and its own successors; a
    // link into an item with subitems constrains each subitem), every parent grows to enclose
    // its subitems (and shrinks with kDMProjectItem_ExpandToFitSubitems). DMPropagation gives
    // the rules. All new dates are computed first; then all are applied as one undo step, or
    // nothing changes and the refusal's code is returned.
    int validateAndSetBeginDateAndEndDate(const DMDate &begin, const DMDate &end);
    // Moves the item and all its subitems by the same amount, in working time for the items on
    // the working schedule (begin - beginDate); the end gives the item's new end.
    int validateTimeShiftAndSetBeginDateAndEndDate(const DMDate &begin, const DMDate &end);
    // The validated date keys: the setters validate, keeping the other date. A new begin date
    // of a process moves its subitems too only with RescheduleProcess: the view asks the user
    // (DMScheduler::kRescheduleProcessMessage) and passes the answer; other items ignore it.
    DMDate validatedBeginDate() const { return m_beginDate; }
    int setValidatedBeginDate(const DMDate &date,
                              DMScheduler::RescheduleMode mode = DMScheduler::RescheduleMode::SetBeginDate);
    DMDate validatedEndDate() const { return m_endDate; }
    int setValidatedEndDate(const DMDate &date);
    // Pushes every successor whose inbound link the current dates break, and refits the
    // parents, as one validated change of the item's current dates.
    int enforceLinkedItemsConstrainedDates();

    // Signed seconds: the working time between the dates when the item uses the working
    // schedule, calendar time otherwise. Every change of the dates, of the schedule or of the
    // calendar keeps it so; loading mends a file's stale value.
    qint32 duration() const { return m_duration; }
    void setDuration(qint32 seconds); // the field only (loading, undo, recomputing); the dates stay
    // The duration; a process or item group sums its subitems.
    virtual qint32 subitemsTimeEffort() const { return m_duration; }
    // Signed seconds from the end to the float end, as the critical path last computed it (0
    // for an item outside a project's trees). Reading it brings a stale critical path up to
    // date first; it is not announced (the critical path computes every item's at once).
    qint32 floatDuration() const;
    // Overrides the computed value until the critical path is computed again.
    void setFloatDuration(qint32 seconds);

    bool useWorkingSchedule() const { return m_useWorkingSchedule; }
    void setUseWorkingSchedule(bool use);

    // 0 to 1; setting it updates the item's canvas objects and rolls the progress up the
    // parents (a process or group shows the mean of the tasks below it).
    float progress() const { return m_progress; }
    void setProgress(float progress);
    // A parent's computed mean: set and undoable like setProgress, without a roll-up of its own.
    void setRolledUpProgress(float progress);
    // What the item costs, the one answer every view and report shows: a task its own cost and
    // its resources' costs on it (DMProjectTask), a milestone nothing, any other item the cost of
    // the tasks below it. An item in a project's trees keeps that sum until the project's layout
    // stamp or the cost inputs stamp moves (the outline asks for it at every paint).
    virtual float cost() const;
    // Moves the cost inputs stamp, which moves with every change of what a cost is made of that
    // the project's layout stamp does not follow: durations, the working schedule, assignments
    // and, to be safe, the attributes of items and resources. Shared by every project.
    static void costInputsDidChange();

    bool locked() const { return m_locked; }
    void setLocked(bool locked);

    QColor fillColor() const { return m_fillColor; }
    void setFillColor(const QColor &color);
    // Default fill colour of new items of a kind (the application applies the user's colours).
    static QColor defaultFillColorForKind(std::uint32_t kind);
    static void setDefaultFillColorForKind(std::uint32_t kind, const QColor &color);

    // Attributes: the kDMProjectItem_ keys. setAttribute with an invalid value removes the key;
    // turning kDMProjectItem_ExpandToFitSubitems on fits the item to its subitems at once.
    const QVariantMap &attributes() const { return m_attributes; }
    QVariant attribute(const QString &key) const { return m_attributes.value(key); }
    void setAttribute(const QString &key, const QVariant &value);
    void setAttributes(const QVariantMap &attributes);

    bool partOfCriticalPath() const;

    // The tree. Inserting sets the inserted items' parentItem (and project membership), removing
    // clears it; both announce "subitems" before and after and register their inverse, and the
    // receiver then encloses its subitems (widened as a validated change, or fitted to them with
    // kDMProjectItem_ExpandToFitSubitems). Inserting throws std::invalid_argument for a null item,
    // an item that already has a parent or list, an item of another project, or the receiver or
    // one of its ancestors.
    std::shared_ptr<DMProjectItem> parentItem() const { return m_parentItem.lock(); }
    DMProjectItem *parentItemPointer() const { return m_parentItemRaw; }
    ItemList &subitems() { return m_subitems; }
    const ItemList &subitems() const { return m_subitems; }
    // YES when item is an ancestor of the receiver; NO for null.
    bool isChildOfItem(const DMProjectItem *item) const;
    // Begin dates, then end dates: -1, 0, 1.
    int chronologicalCompare(const DMProjectItem &item) const;

    // Dependencies. Both ends list a link (shared); the lists change only through these calls.
    const DependencyList &inboundDependencies() const { return m_inbound; }
    const DependencyList &outboundDependencies() const { return m_outbound; }
    // The new link from the receiver to target, or null with no change for a null target, the
    // receiver itself, an existing link, a cycle (target already reaches the receiver), or a
    // target on the other side of the project's trees (one of the two in the project, the
    // other not). Removing a link registers where it stood in both lists, for undo.
    std::shared_ptr<DMProjectDependency> addOutboundDependencyToItem(const std::shared_ptr<DMProjectItem> &target);
    std::shared_ptr<DMProjectDependency> addInboundDependencyFromItem(const std::shared_ptr<DMProjectItem> &source);
    std::shared_ptr<DMProjectDependency> outboundDependencyToItem(const DMProjectItem *item) const;
    std::shared_ptr<DMProjectDependency> inboundDependencyFromItem(const DMProjectItem *item) const;
    void removeOutboundDependencyToItem(const DMProjectItem *item);
    // True when a chain of outbound links leads from the receiver to item (iterative).
    bool reachesItemThroughDependencies(const DMProjectItem *item) const;

    // The end date of `duration` seconds from begin, on working time when the item uses the
    // working schedule; work slices (absolute seconds) are added when given.
    DMDate endDateWithBeginDateAndDurationWorkSlices(const DMDate &begin, qint64 duration,
                                                    DMMutableIndexSet_64 *workSlices = nullptr) const;

    // The roll-up over the item and its subitems (the caller zeroes the outputs; any may be null):
    // the cost is the sum of the tasks' cost().
    void computeProgressProgressItemsTasksMilestonesProcessesCost(float *progress, int *progressItems, int *tasks,
                                                                 int *milestones, int *processes, float *cost) const;

    // Canvas objects. The Gantt one is made through the registered factory on first request.
    std::shared_ptr<DMProjectItemUIObject> ganttUIObject() const;
    // The same without a reference of the caller's own (a layout of every row asks for each).
    DMProjectItemUIObject *ganttUIObjectPointer() const;
    std::shared_ptr<DMProjectItemUIObject> newUIObjectForViewMode(int viewMode);
    // Every canvas object of the item (Gantt and resource view), for updates.
    virtual QList<std::shared_ptr<DMProjectItemUIObject>> uiObjects() const;
    // Tells each of them, without building the list (a pushed chain tells thousands).
    void notifyUIObjects(void (DMProjectItemUIObject::*update)()) const;

    // The item's own dictionary: its fields, attributes, outbound links and (for tasks) the IDs
    // of its resources; subitems are written by the caller under "subitems" (see
    // DMProjectCoder). setProject must precede loading.
    QVariantMap dictionaryRepresentation() const override;
    // Fills the fields from a dictionary. An unusable entry is mended (a missing or out-of-range
    // date keeps the item's own, an end not after the begin is moved) and named in *problem,
    // which stays empty when nothing was mended. Always answers true: nothing makes the item
    // unusable.
    virtual bool loadFields(const QVariantMap &dictionary, QString *problem);

protected:
    // Tells the canvas objects a subclass keeps besides the Gantt one (a task's resource-view bars),
    // once the subclass said it has made one.
    virtual void notifyOtherUIObjects(void (DMProjectItemUIObject::*)()) const {}
    void otherUIObjectWasMade() { m_hasOtherUIObjects = true; }
    // A kind whose begin and end dates are always equal says so as it is made.
    void keepDatesEqual() { m_hasEqualDates = true; }
    virtual QVariantMap fieldsRepresentation() const;
    // After the dates were applied (events re-lay their row out).
    virtual void itemDatesDidChange();

private:
    friend class DMProject;
    friend class DMProjectCoder;
    friend class DMProjectDependency;
    friend class DMScheduler;
    friend class DMPropagation;
    friend class DMCriticalPath;
    friend class DMLinkOrder;
    friend class DMProjectItemGraph;
    friend class DMProjectRelations;

    void mutableArrayWillChange(ItemList &array, const ItemList::Change &change) override;
    void mutableArrayDidChange(ItemList &array, const ItemList::Change &change) override;
    // Takes the link out of the inbound or outbound list (its index, or -1), or lists it at index.
    qsizetype takeDependency(bool inbound, const DMProjectDependency *dependency);
    void putDependency(bool inbound, const std::shared_ptr<DMProjectDependency> &dependency, qsizetype index);
    // Puts the list in that order of link IDs (see DMProjectRelations::restoreOrders).
    void reorderDependencies(bool inbound, const QList<quint64> &order);
    void setParentItemInternal(DMProjectItem *parent);
    void setDatesAndDuration(const DMDate &begin, const DMDate &end, qint32 duration);
    // Sets the dates without undo: announces them, updates the canvas objects and calls the
    // document back after the idle delay. `project` is the item's (null when it has none): a
    // change of many items passes the one it holds.
    void applyDates(const DMDate &begin, const DMDate &end, qint32 duration, DMProject *project);
    // Undo of a removal: the link with its ID and look, at its old places in both lists.
    void restoreOutboundDependency(const std::shared_ptr<DMProjectItem> &target, quint64 objectID, const QVariantMap &style,
                                   qsizetype outboundIndex, qsizetype inboundIndex);
    // A new link listed at the ends of both lists (or at the given places).
    static std::shared_ptr<DMProjectDependency> linkItems(const std::shared_ptr<DMProjectItem> &from,
                                                          const std::shared_ptr<DMProjectItem> &to, quint64 objectID,
                                                          qsizetype outboundIndex = -1, qsizetype inboundIndex = -1);
    // After a link from this item to the target was made: its undo removes it again.
    void registerUndoOfLinkTo(const DMProjectItem &target);
    // After a link was made or removed: the document's items array and the critical path follow.
    void linksDidChange();

    // Asks for the fields below, and the object's head (its observers), from memory ahead of
    // their use: every cache line from the head to the Gantt object's pointer.
    void prefetchScheduledFields() const { prefetchScheduledFieldsAt(this); }
    // The same at an address where an item was: only a hint (the item may be gone), never read.
    static void prefetchScheduledFieldsAt(const DMProjectItem *item);
    // First the fields that a push through many items reads and writes, in as few cache lines
    // as they fit in: a chain of 100,000 items does not stay in the cache between its steps.
    DMDate m_beginDate;
    DMDate m_endDate;
    qint32 m_duration = 0;
    int m_graphIndex = -1; // in the project's item graph, while it holds the item
    bool m_useWorkingSchedule = true;
    bool m_locked = false;
    bool m_partOfCriticalPath = false; // as the critical path last published it
    mutable bool m_ganttUIObjectRequested = false;
    bool m_hasOtherUIObjects = false;
    bool m_hasEqualDates = false; // a milestone's, set when it is made (read beside the dates)
    // Scratch of the scheduler and the link order: valid while the stamp is current. One
    // counter serves both, so that neither takes the other's marks for its own.
    static quint64 nextScratchStamp()
    {
        static quint64 stamp = 0;
        return ++stamp;
    }
    int m_scheduleIndex = -1;
    quint64 m_scheduleStamp = 0;
    quint64 m_snapshotMark = 0; // the scheduler's date snapshot that holds the item's dates
    DMProjectItem *m_parentItemRaw = nullptr;
    mutable std::shared_ptr<DMProjectItemUIObject> m_ganttUIObject;
    // cost() of a parent, as it was at those stamps; made on the first request.
    struct CostMemo
    {
        const DMProject *project = nullptr;
        quint64 layoutStamp = 0;
        quint64 inputsStamp = 0;
        int workingDayLength = 0;
        float cost = 0.0f;
    };
    mutable std::unique_ptr<CostMemo> m_costMemo;
    QString m_title;
    float m_progress = 0.0f;
    QColor m_fillColor;
    QVariantMap m_attributes;
    std::weak_ptr<DMProjectItem> m_parentItem;
    ItemList m_subitems;
    DependencyList m_inbound;
    DependencyList m_outbound;
    QList<quint64> m_orderBefore;
    unsigned long long m_linkOrder; // see DMLinkOrder
};

inline void DMProjectItem::prefetchScheduledFieldsAt(const DMProjectItem *item)
{
    // The class has no virtual base: its members sit at fixed offsets.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
    constexpr size_t end = offsetof(DMProjectItem, m_ganttUIObject) + sizeof(m_ganttUIObject);
#pragma GCC diagnostic pop
    const char *const first = reinterpret_cast<const char *>(item);
    for (size_t offset = 0; offset < end; offset += 64)
        __builtin_prefetch(first + offset);
    __builtin_prefetch(first + end - 1);
}
