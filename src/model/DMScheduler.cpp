#include "DMScheduler.h"

#include "DMCriticalPath.h"
#include "DMDate.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectItemGraph.h"
#include "DMProjectKeys.h"
#include "DMPropagation.h"
#include "DMUndoManager.h"
#include "DMValidation.h"
#include "DMWorkingTimeline.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

const char *const DMScheduler::kRescheduleProcessMessage = "Would you like to reschedule the entire process?";
const char *const DMScheduler::kRescheduleButton = "Reschedule";
const char *const DMScheduler::kSetBeginDateButton = "Set Begin Date";

// The dates every changed item had before a validated change: the one undo action of the
// change. A drag's later changes, fenced off under the same key, add the items they move
// first, so the action restores everything the drag moved. The undo manager that records it
// holds it as the key's context while it may still be extended.
struct DMScheduler::DateSnapshot
{
    struct Entry
    {
        std::weak_ptr<DMProjectObject> item; // found again by its ID when it is no longer this one
        // Where the item was: only asked for from memory ahead of its turn, never read through.
        const DMProjectItem *address;
        quint64 objectID;
        DMDate begin;
        DMDate end;
        qint32 duration;
    };
    std::weak_ptr<DMProject> project;
    std::vector<Entry> entries;
    // Marks the items of the entries (DMProjectItem::m_snapshotMark), so that a later step of a
    // drag, which moves the same items again, finds them without a search.
    const quint64 mark = nextMark();

    // An item not yet in the snapshot (each item of one change is added once).
    void append(DMProjectItem &item)
    {
        item.m_snapshotMark = mark;
        entries.push_back({item.weak_from_this(), &item, item.objectID(), item.beginDate(), item.endDate(), item.duration()});
    }
    void add(DMProjectItem &item)
    {
        if (item.m_snapshotMark != mark)
            append(item);
    }
    static quint64 nextMark()
    {
        static quint64 last = 0;
        return ++last;
    }
};

using DateSnapshot = DMScheduler::DateSnapshot;

// Undo (and redo) of a validated change: the saved dates come back and the current ones are
// registered as the opposite step.
void DMScheduler::restoreSnapshot(const std::shared_ptr<DateSnapshot> &snapshot)
{
    const std::shared_ptr<DMProject> project = snapshot->project.lock();
    if (!project)
        return;
    auto opposite = std::make_shared<DateSnapshot>();
    opposite->project = project;
    opposite->entries.reserve(snapshot->entries.size());
    if (DMUndoManager *manager = project->undoManagerForRegistration())
        manager->registerUndo([opposite] { restoreSnapshot(opposite); });
    // One pass over the items: each is found, saved and set while it is at hand (a long chain is
    // far larger than the cache).
    constexpr size_t kAhead = 8;
    const std::vector<DateSnapshot::Entry> &entries = snapshot->entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i + kAhead < entries.size())
            DMProjectItem::prefetchScheduledFieldsAt(entries[i + kAhead].address);
        const DateSnapshot::Entry &entry = entries[i];
        std::shared_ptr<DMProjectItem> item = std::static_pointer_cast<DMProjectItem>(entry.item.lock());
        if (!item || !item->isInProject(project) || !item->isAttached() || item->objectID() != entry.objectID)
            item = std::dynamic_pointer_cast<DMProjectItem>(project->indexedObject(entry.objectID));
        if (!item)
            continue;
        opposite->append(*item);
        item->applyDates(entry.begin, entry.end, entry.duration, project.get());
    }
    DMCriticalPath::update(*project);
}

int DMScheduler::validateAndSetDates(DMProjectItem &item, const DMDate &begin, const DMDate &end, Mode mode)
{
    if (begin.isNull() || end.isNull() || begin < DMValidation_EarliestDate() || end < DMValidation_EarliestDate())
        return kDMValidation_Before1970;
    if (item.hasEqualDates() ? begin != end : begin >= end)
        return kDMValidation_BeginNotBeforeEnd;
    if (item.locked() && (begin != item.beginDate() || end != item.endDate()))
        return kDMValidation_Locked;

    DMProject *project = item.projectPointer();
    static const DMWorkingCalendar plainCalendar; // every day, all day
    // An item of the project's trees counts on the timeline kept with the project's item graph,
    // whose table of days a long chain would otherwise build again at every change.
    std::optional<DMWorkingTimeline> ownTimeline;
    if (!project || !item.isAttached())
        ownTimeline.emplace(project ? project->workingCalendar() : plainCalendar);
    DMWorkingTimeline &timeline = ownTimeline ? *ownTimeline : project->itemGraph().timeline;
    DMPropagation propagation(item, mode, &timeline);
    if (const int code = propagation.run(begin, end))
        return code;

    // Everything checked: apply in topological order as one undo step.
    const std::vector<const DMPropagation::State *> changes = propagation.changesInOrder();
    if (changes.empty())
        return kDMValidation_OK;

    // A change of items outside the project registers nothing: undo could not find them.
    DMUndoManager *manager = project && item.isAttached() ? project->undoManagerForRegistration() : nullptr;
    bool grouped = false;
    std::shared_ptr<DateSnapshot> snapshot; // takes each item's dates just before they change
    if (manager) {
        const QString key = DMUndoManager::fenceOffKeyForObject(&item, "validateAndSetBeginDateAndEndDate");
        snapshot = std::static_pointer_cast<DateSnapshot>(manager->fencedContext(key));
        if (snapshot) {
            manager->disableRegistrationWithFenceOffKey(key);
        } else {
            snapshot = std::make_shared<DateSnapshot>();
            snapshot->project = project->weak_from_this();
            snapshot->entries.reserve(changes.size());
            manager->beginUndoGrouping();
            grouped = true;
            manager->registerExtensibleUndo([snapshot] { restoreSnapshot(snapshot); }, key, snapshot);
        }
    }
    // One pass over the items, asking for those a few steps ahead from memory: a long chain is
    // far larger than the cache.
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < changes.size(); ++i) {
        if (i + kAhead < changes.size())
            changes[i + kAhead]->item->prefetchScheduledFields();
        DMProjectItem &changed = *changes[i]->item;
        if (snapshot)
            snapshot->add(changed);
        changed.applyDates(changes[i]->begin, changes[i]->end, changes[i]->duration, project);
    }
    if (grouped)
        manager->endUndoGrouping();
    if (project)
        DMCriticalPath::update(*project);
    return kDMValidation_OK;
}

int DMScheduler::setValidatedBeginDate(DMProjectItem &item, const DMDate &date, RescheduleMode mode)
{
    if (date == item.beginDate())
        return kDMValidation_OK;
    if (date.isNull() || date < DMValidation_EarliestDate())
        return kDMValidation_Before1970;
    if (item.hasEqualDates())
        return validateAndSetDates(item, date, date, Set);
    // The duration stays: the end follows the begin.
    DMDate end;
    if (const DMProject *project = item.projectPointer()) {
        DMWorkingTimeline timeline(project->workingCalendar());
        end = timeline.endDate(date, item.duration(), item.useWorkingSchedule());
    } else {
        end = date.dateByAddingSeconds(item.duration());
    }
    if (end <= date)
        end = date.dateByAddingSeconds(item.endDate().absoluteSecond() - item.beginDate().absoluteSecond());
    const bool shift = item.kind() == kDMProjectItem_Kind_Process && mode == RescheduleMode::RescheduleProcess;
    return validateAndSetDates(item, date, end, shift ? Shift : Set);
}

int DMScheduler::setValidatedEndDate(DMProjectItem &item, const DMDate &date)
{
    if (date == item.endDate())
        return kDMValidation_OK;
    if (item.hasEqualDates())
        return validateAndSetDates(item, date, date, Set);
    return validateAndSetDates(item, item.beginDate(), date, Set);
}
