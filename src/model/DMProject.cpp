#include "DMProject.h"

#include "DMCriticalPath.h"
#include "DMDelayedCall.h"
#include "DMProjectChildList.h"
#include "DMProjectCoder.h"
#include "DMProjectDependency.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectItemGraph.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectRelations.h"
#include "DMProjectResource.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMPropertyList.h"
#include "DMUndoManager.h"
#include "DMWorkingTimeline.h"

#include <QDebug>
#include <QUuid>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

// The delegate of a top-level list (tasks, resources): its objects have no parent there.
template <typename T>
class DMProject::ListDelegate : public DMMutableArray<std::shared_ptr<T>>::Delegate
{
    using List = DMMutableArray<std::shared_ptr<T>>;
    using Change = typename List::Change;
    using ChildList = DMProjectChildList<T>;

public:
    // `noun` names the objects in the errors; a change of the task list makes the critical
    // path stale.
    ListDelegate(DMProject *project, const QString &key, const char *noun, typename ChildList::Locator locate,
                 bool affectsCriticalPath)
        : m_project(project), m_key(key), m_noun(noun), m_locate(std::move(locate)),
          m_affectsCriticalPath(affectsCriticalPath)
    {
    }

    void mutableArrayWillChange(List &list, const Change &change) override
    {
        if (change.kind == Change::Insert || change.kind == Change::Replace)
            for (const auto &object : change.objects) {
                if (!object || object->parentItemPointer() || object->isAttached())
                    throw std::invalid_argument("DMProject: the " + m_noun + " is null or already in a list");
                if (object->projectPointer() && object->projectPointer() != m_project)
                    throw std::invalid_argument("DMProject: the " + m_noun + " belongs to another project");
            }
        m_orderBefore = ChildList::orderBefore(list, change);
        m_project->willChangeList(m_key, ChildList::observedKind(change), ChildList::indexesOf(list, change));
    }

    void mutableArrayDidChange(List &list, const Change &change) override
    {
        for (const auto &object : change.objects)
            if (change.kind == Change::Insert || change.kind == Change::Replace)
                if (!object->projectPointer())
                    object->setProject(m_project->shared_from_this());
        ChildList::didChange(m_project, true, m_locate, change, m_orderBefore);
        m_project->didChangeList(m_key, ChildList::observedKind(change), ChildList::indexesOf(list, change));
        if (m_affectsCriticalPath)
            m_project->setNeedsCriticalPathUpdate();
    }

private:
    DMProject *m_project;
    const QString m_key;
    const std::string m_noun;
    const typename ChildList::Locator m_locate;
    const bool m_affectsCriticalPath;
    QList<quint64> m_orderBefore;
};

std::shared_ptr<DMProject> DMProject::create()
{
    auto project = std::make_shared<DMProject>(PrivateTag{});
    project->m_identifier = QUuid::createUuid().toString(QUuid::WithoutBraces);
    project->m_eventContainer = std::make_shared<DMProjectEventContainer>();
    project->m_todoContainer = std::make_shared<DMProjectTodoContainer>();
    project->m_eventContainer->setProject(project);
    project->m_todoContainer->setProject(project);
    project->attachSubtree(project->m_eventContainer.get());
    project->attachSubtree(project->m_todoContainer.get());
    return project;
}

DMProject::DMProject(PrivateTag)
    : m_taskDelegate(std::make_unique<ListDelegate<DMProjectItem>>(
          this, DMProjectKey::tasks, "item", [](DMProject &p) { return &p.tasks(); }, true)),
      m_resourceDelegate(std::make_unique<ListDelegate<DMProjectResource>>(
          this, DMProjectKey::resources, "resource", [](DMProject &p) { return &p.resources(); }, false)),
      m_delayedCalls(std::make_unique<DMDelayedCalls>())
{
    m_tasks.setDelegate(m_taskDelegate.get());
    m_resources.setDelegate(m_resourceDelegate.get());
}

DMProject::~DMProject()
{
    // Tear down without announcements or undo: nobody may observe a project being destroyed.
    m_delayedCalls->cancelAll();
    m_tasks.setDelegate(nullptr);
    m_resources.setDelegate(nullptr);
    m_tasks.removeAll();
    m_resources.removeAll();
    m_removedObjects.clear();
}

template <typename T>
void DMProject::assignWithUndo(T &field, const T &value, const QString &key, const char *setterName,
                               void (DMProject::*setter)(const T &))
{
    if (DMUndoManager *undo = undoManagerForRegistration()) {
        std::weak_ptr<DMProject> weak = weak_from_this();
        undo->registerUndo([weak, setter, old = field] { if (auto p = weak.lock()) (p.get()->*setter)(old); },
                           DMUndoManager::fenceOffKeyForObject(this, setterName));
    }
    willChangeValueForKey(key);
    field = value;
    didChangeValueForKey(key);
}

QString DMProject::nameForExportedFiles() const
{
    const QString name = m_displayAttributes.projectDocument ? m_displayAttributes.projectDocument->documentFileName() : QString();
    return name.isEmpty() ? m_title : name;
}

void DMProject::setTitle(const QString &text)
{
    const QString title = DMPropertyList::storableString(text);
    if (title != m_title)
        assignWithUndo(m_title, title, DMProjectKey::title, "setTitle", &DMProject::setTitle);
}

// DMDate's == compares the fields only; a null date must also stay apart from a real one.
void DMProject::setBeginDate(const DMDate &date)
{
    if (!(date == m_beginDate && date.isNull() == m_beginDate.isNull()))
        assignWithUndo(m_beginDate, date, DMProjectKey::beginDate, "setBeginDate", &DMProject::setBeginDate);
}

void DMProject::setEndDate(const DMDate &date)
{
    if (!(date == m_endDate && date.isNull() == m_endDate.isNull()))
        assignWithUndo(m_endDate, date, DMProjectKey::endDate, "setEndDate", &DMProject::setEndDate);
}

void DMProject::setAttribute(const QString &keyText, const QVariant &valueText)
{
    const QString key = DMPropertyList::storableString(keyText);
    const QVariant value = DMPropertyList::storableValue(valueText);
    if (!DMProjectObject::attributeWouldChange(m_attributes, key, value))
        return;
    layoutDidChange();
    DMUndoManager *undo = undoManagerForRegistration();
    const bool calendar = key == kDMProject_Settings_DaysOff || key == kDMProject_Settings_NonWorkingWeekDays
        || key == kDMProject_Settings_DayTimeSpan;
    if (undo && calendar)
        undo->beginUndoGrouping();
    if (undo) {
        std::weak_ptr<DMProject> weak = weak_from_this();
        undo->registerUndo([weak, key, old = m_attributes.value(key)] { if (auto p = weak.lock()) p->setAttribute(key, old); },
                           DMUndoManager::fenceOffKeyForObject(this, qPrintable(QStringLiteral("setAttribute ") + key)));
    }
    DMProjectObject::storeAttribute(*this, m_attributes, key, value, [this, &key] { settingDidChange(key); });
    if (calendar && !isRestoring())
        recomputeDurations();
    if (undo && calendar)
        undo->endUndoGrouping();
}

int DMProject::recomputeDurations()
{
    QList<std::shared_ptr<DMProjectItem>> roots = m_tasks.list();
    for (const auto &event : m_eventContainer->events())
        roots.append(event);
    return recomputeDurations(roots);
}

int DMProject::recomputeDurations(const QList<std::shared_ptr<DMProjectItem>> &roots)
{
    // A table of working time pays off over many items; a few are counted day by day.
    std::optional<DMWorkingTimeline> timeline;
    int counted = 0;
    int changed = 0;
    const auto recompute = [&](DMProjectItem &item) {
        if (!timeline && ++counted > 16)
            timeline.emplace(m_calendar);
        const bool working = item.useWorkingSchedule();
        const qint64 seconds = item.hasEqualDates() ? 0
            : timeline ? timeline->durationBetween(item.beginDate(), item.endDate(), working)
                       : m_calendar.durationBetween(item.beginDate(), item.endDate(), working);
        const qint32 duration = qint32(std::clamp<qint64>(seconds, INT32_MIN, INT32_MAX));
        if (duration != item.duration()) {
            item.setDuration(duration);
            ++changed;
        }
    };
    DMProjectItem_forEachItem(roots, recompute);
    return changed;
}

bool DMProject::isRestoring() const
{
    return m_loading > 0 || (m_undoManager && (m_undoManager->isUndoing() || m_undoManager->isRedoing()));
}

void DMProject::subtreeDidJoin(DMProjectObject *root)
{
    if (auto *item = dynamic_cast<DMProjectItem *>(root); item && !isRestoring())
        recomputeDurations({std::static_pointer_cast<DMProjectItem>(item->shared_from_this())});
}

void DMProject::setAttributes(const QVariantMap &attributes)
{
    for (const QString &key : DMProjectObject::attributeKeysToSet(m_attributes, attributes))
        setAttribute(key, attributes.value(key));
}

void DMProject::settingDidChange(const QString &key)
{
    const QVariant value = m_attributes.value(key);
    if (key == kDMProject_Settings_DaysOff)
        m_calendar.setDaysOff(value);
    else if (key == kDMProject_Settings_NonWorkingWeekDays)
        m_calendar.setNonWorkingWeekDays(value);
    else if (key == kDMProject_Settings_DayTimeSpan) {
        m_calendar.setDayTimeSpan(value);
        // The calendar reads a window of zero length as the whole day; the canvas follows it.
        m_displayAttributes.dayViewBeginMinute = m_calendar.dayBeginSecond() / 60;
        m_displayAttributes.dayViewEndMinute = m_calendar.dayEndSecond() / 60;
    }
    if (key == kDMProject_Settings_DaysOff || key == kDMProject_Settings_NonWorkingWeekDays
        || key == kDMProject_Settings_DayTimeSpan)
        setNeedsCriticalPathUpdate();
}

void DMProject::rebuildCalendar()
{
    settingDidChange(kDMProject_Settings_NonWorkingWeekDays);
    settingDidChange(kDMProject_Settings_DaysOff);
    settingDidChange(kDMProject_Settings_DayTimeSpan);
}

void DMProject::setIsValid(bool valid)
{
    if (valid == m_isValid)
        return;
    willChangeValueForKey(DMProjectKey::isValid);
    m_isValid = valid;
    didChangeValueForKey(DMProjectKey::isValid);
}

quint64 DMProject::nextObjectID()
{
    if (m_lastObjectID < std::numeric_limits<quint64>::max())
        return ++m_lastObjectID;
    // Objects out of the trees (removed, waiting for undo) keep their IDs too.
    if (!m_removedIDs) {
        m_removedIDs.emplace();
        for (const auto &object : std::as_const(m_removedObjects))
            idsOfSubtree(object.get(), &*m_removedIDs);
    }
    while (m_index.contains(m_freeIDSearch) || m_removedIDs->contains(m_freeIDSearch))
        ++m_freeIDSearch;
    return m_freeIDSearch++;
}

void DMProject::noteObjectID(quint64 objectID)
{
    if (objectID > m_lastObjectID)
        m_lastObjectID = objectID;
}

void DMProject::setUndoManager(DMUndoManager *undoManager)
{
    m_undoManager = undoManager;
}

DMUndoManager *DMProject::undoManager() const
{
    return m_undoManager.data();
}

DMUndoManager *DMProject::undoManagerForRegistration() const
{
    if (m_loading > 0 || !m_undoManager || !m_undoManager->isUndoRegistrationEnabled())
        return nullptr;
    return m_undoManager.data();
}

bool DMProject::isWorkingDay(const DMDate &date, int *kind) const
{
    return m_calendar.isWorkingDay(date, kind);
}

DMDate DMProject::endDateWithBeginDateAndDurationWorkSlices(const DMDate &begin, qint64 duration, bool useWorkingSchedule,
                                                           DMMutableIndexSet_64 *workSlices) const
{
    return m_calendar.endDateWithBeginDateAndDuration(begin, duration, useWorkingSchedule, workSlices);
}

qint64 DMProject::durationBetween(const DMDate &begin, const DMDate &end, bool useWorkingSchedule) const
{
    return m_calendar.durationBetween(begin, end, useWorkingSchedule);
}

DMDate DMProject::nextWorkingInstant(const DMDate &date) const
{
    return DMWorkingTimeline(m_calendar).latestDateAtPositionOf(date);
}

DMDate DMProject::dateByRoundingDateToIntervalSnapOption(const DMDate &date, int interval, int snapOption,
                                                        int snapThreshold, int intervalOrigin) const
{
    return m_calendar.dateByRoundingDateToIntervalSnapOption(date, interval, snapOption, snapThreshold, intervalOrigin);
}

std::shared_ptr<DMProjectObject> DMProject::indexedObject(quint64 objectID) const
{
    const auto it = m_index.constFind(objectID);
    return it == m_index.constEnd() ? nullptr : it->lock();
}

std::shared_ptr<DMProjectObject> DMProject::objectWithIDAndClass(quint64 objectID, const QString &className) const
{
    std::shared_ptr<DMProjectObject> object = indexedObject(objectID);
    if (!object)
        return nullptr;
    const QString found = object->className();
    static const QString event = QStringLiteral("DMProjectEvent");
    if (className == event || className == QLatin1String("DMProjectTodo") || className == QLatin1String("DMProjectDependency")
        || className == QLatin1String("DMProjectResource"))
        return found == className ? object : nullptr;
    static const QStringList itemFamily = {QStringLiteral("DMProjectItem"), QStringLiteral("DMProjectTask"),
                                           QStringLiteral("DMProjectMilestone"), QStringLiteral("DMProjectProcess"),
                                           QStringLiteral("DMProjectItemGroup")};
    // Events live in the event list, not in the item tree.
    if (itemFamily.contains(className) && found != event && object->isKindOfClass(className))
        return object;
    return nullptr;
}

const QSet<quint64> &DMProject::criticalPathObjectIDs() const
{
    updateCriticalPathIfNeeded();
    if (m_criticalPathSetStale && m_itemGraph) {
        m_criticalPath.clear();
        const DMProjectItemGraph &graph = *m_itemGraph;
        for (size_t i = 0; i < graph.critical.size(); ++i)
            if (graph.critical[i])
                m_criticalPath.insert(graph.items[i]->objectID());
        m_criticalPathSetStale = false;
    }
    return m_criticalPath;
}

DMProjectItemGraph &DMProject::itemGraph() const
{
    if (!m_itemGraph)
        m_itemGraph = std::make_unique<DMProjectItemGraph>(*this);
    return *m_itemGraph;
}

void DMProject::itemScheduleDidChange(const DMProjectItem &item)
{
    if (m_itemGraph)
        m_itemGraph->datesDidChange(item);
}

void DMProject::dropItemGraph()
{
    layoutDidChange();
    m_itemGraph.reset();
    m_criticalPathDirty = true;
}

void DMProject::setNeedsCriticalPathUpdate(bool structureChanged)
{
    if (structureChanged)
        dropItemGraph();
    m_criticalPathDirty = true;
    if (m_loading > 0 || m_criticalPathUpdateScheduled)
        return;
    m_criticalPathUpdateScheduled = true;
    m_delayedCalls->performAfterDelay(0, [this] {
        m_criticalPathUpdateScheduled = false;
        updateCriticalPathIfNeeded();
    });
}

void DMProject::updateCriticalPathIfNeeded() const
{
    if (m_criticalPathDirty && !m_updatingCriticalPath && m_loading == 0)
        DMCriticalPath::update(const_cast<DMProject &>(*this));
}

void DMProject::beginCriticalPathUpdate()
{
    m_updatingCriticalPath = true;
    m_criticalPathDirty = false;
}

void DMProject::endCriticalPathUpdate()
{
    m_updatingCriticalPath = false;
}

void DMProject::setCriticalPathObjectIDs(const QSet<quint64> &ids)
{
    updateCriticalPathIfNeeded();
    DMProjectItemGraph &graph = itemGraph();
    graph.critical.resize(graph.items.size());
    graph.published = true;
    criticalPathWillChange();
    for (size_t i = 0; i < graph.items.size(); ++i) {
        graph.items[i]->m_partOfCriticalPath = ids.contains(graph.items[i]->objectID());
        graph.critical[i] = graph.items[i]->m_partOfCriticalPath ? 1 : 0;
    }
    criticalPathDidChange();
}

void DMProject::criticalPathWillChange()
{
    willChangeValueForKey(DMProjectKey::criticalPath);
}

void DMProject::criticalPathDidChange()
{
    m_criticalPathSetStale = true;
    didChangeValueForKey(DMProjectKey::criticalPath);
}

void DMProject::setObjectIDSortedResourcesArray(std::optional<QList<std::shared_ptr<DMProjectResource>>> list)
{
    m_objectIDSortedResources = std::move(list);
}

void DMProject::updateChangeCount(int kind) const
{
    if (m_displayAttributes.projectDocument)
        m_displayAttributes.projectDocument->updateChangeCount(kind);
}

void DMProject::scheduleUpdateItemsArrayWithTag(int tag)
{
    // One call per tag for many changes (a pasted chain adds its links one by one).
    if (m_loading > 0 || m_pendingItemsArrayTags.contains(tag))
        return;
    m_pendingItemsArrayTags.insert(tag);
    m_delayedCalls->performAfterDelay(0.05, [this, tag] {
        m_pendingItemsArrayTags.remove(tag);
        if (DMProjectDocumentHooks *document = m_displayAttributes.projectDocument)
            document->updateItemsArrayWithTag(tag);
    });
}

void DMProject::itemDatesDidChange(const DMProjectItem &item, const DMDate &oldBegin, const DMDate &oldEnd)
{
    if (m_itemGraph)
        m_itemGraph->datesDidChange(item);
    ItemsTimeSpan &span = m_itemsTimeSpan;
    if (span.valid) {
        // An end that moves outwards widens the span; the last item at an end that moves inwards
        // leaves it to another item, found by the next walk.
        const DMDate begin = item.beginDate();
        if (begin < span.begin) {
            span.begin = begin;
            span.itemsAtBegin = 1;
        } else if (begin == span.begin) {
            span.itemsAtBegin += oldBegin != span.begin ? 1 : 0;
        } else if (oldBegin == span.begin && --span.itemsAtBegin == 0) {
            span.valid = false;
        }
        const DMDate end = item.endDate();
        if (end > span.end) {
            span.end = end;
            span.itemsAtEnd = 1;
        } else if (end == span.end) {
            span.itemsAtEnd += oldEnd != span.end ? 1 : 0;
        } else if (oldEnd == span.end && --span.itemsAtEnd == 0) {
            span.valid = false;
        }
    }
    if (m_loading > 0 || !m_displayAttributes.projectDocument)
        return;
    const bool first = m_itemsWithChangedDates.empty();
    m_itemsWithChangedDates.push_back(item.objectID());
    if (m_itemsWithChangedDates.size() > 2 * m_itemsWithChangedDatesDistinct + 1024)
        m_itemsWithChangedDatesDistinct = distinctItemsWithChangedDates();
    if (!first)
        return;
    m_delayedCalls->performAfterDelay(0.1, [this] {
        QList<DMProjectItem *> items;
        items.reserve(qsizetype(distinctItemsWithChangedDates()));
        for (const quint64 id : std::as_const(m_itemsWithChangedDates))
            if (const auto object = m_index.value(id).lock())
                if (auto *changed = dynamic_cast<DMProjectItem *>(object.get()))
                    items.append(changed);
        m_itemsWithChangedDates.clear();
        m_itemsWithChangedDatesDistinct = 0;
        if (DMProjectDocumentHooks *document = m_displayAttributes.projectDocument; document && !items.isEmpty())
            document->itemDatesDidChange(items);
    });
}

// Sorts the list of items waiting for the date notification and drops its repeats: the part
// added since it was last thinned is sorted (a push lists its items in order, mostly) and
// merged into the part thinned before.
size_t DMProject::distinctItemsWithChangedDates()
{
    const auto thinned = m_itemsWithChangedDates.begin() + qsizetype(std::min(m_itemsWithChangedDatesDistinct, m_itemsWithChangedDates.size()));
    if (!std::is_sorted(thinned, m_itemsWithChangedDates.end()))
        std::sort(thinned, m_itemsWithChangedDates.end());
    std::inplace_merge(m_itemsWithChangedDates.begin(), thinned, m_itemsWithChangedDates.end());
    m_itemsWithChangedDates.erase(std::unique(m_itemsWithChangedDates.begin(), m_itemsWithChangedDates.end()),
                                  m_itemsWithChangedDates.end());
    return m_itemsWithChangedDates.size();
}

const DMProject::ItemsTimeSpan &DMProject::itemsTimeSpan() const
{
    ItemsTimeSpan &span = m_itemsTimeSpan;
    if (span.valid)
        return span;
    span = ItemsTimeSpan{true, DMDate(), DMDate()};
    std::vector<const DMProjectItem *> stack;
    for (const auto &item : m_tasks)
        stack.push_back(item.get());
    if (m_eventContainer)
        for (const auto &event : m_eventContainer->events())
            stack.push_back(event.get());
    while (!stack.empty()) {
        const DMProjectItem *item = stack.back();
        stack.pop_back();
        const DMDate begin = item->beginDate();
        if (!begin.isNull() && (span.begin.isNull() || begin <= span.begin)) {
            span.itemsAtBegin = begin == span.begin ? span.itemsAtBegin + 1 : 1;
            span.begin = begin;
        }
        const DMDate end = item->endDate();
        if (!end.isNull() && (span.end.isNull() || end >= span.end)) {
            span.itemsAtEnd = end == span.end ? span.itemsAtEnd + 1 : 1;
            span.end = end;
        }
        for (const auto &child : item->subitems())
            stack.push_back(child.get());
    }
    return span;
}

DMDate DMProject::itemsBeginDate() const
{
    return itemsTimeSpan().begin;
}

DMDate DMProject::itemsEndDate() const
{
    return itemsTimeSpan().end;
}

DMDate DMProject::effectiveBeginDate() const
{
    const DMDate first = itemsBeginDate();
    return first.isNull() || (!m_beginDate.isNull() && m_beginDate <= first) ? m_beginDate : first;
}

DMDate DMProject::effectiveEndDate() const
{
    const DMDate last = itemsEndDate();
    return last.isNull() || (!m_endDate.isNull() && m_endDate >= last) ? m_endDate : last;
}

QVariantMap DMProject::dictionaryRepresentation() const
{
    return DMProjectCoder::projectRepresentation(*this);
}

std::shared_ptr<DMProject> DMProject::projectWithDictionaryRepresentation(const QVariantMap &dictionary, QStringList *problems)
{
    return DMProjectCoder::loadProject(dictionary, problems);
}

void DMProject::purgeRemovedObjects()
{
    m_removedObjects.clear();
    m_removedIDs.reset();
}

void DMProject::keepRemovedObject(const std::shared_ptr<DMProjectObject> &object)
{
    if (object)
        m_removedObjects.insert(object->objectID(), object);
    m_removedIDs.reset();
}

std::shared_ptr<DMProjectObject> DMProject::takeRemovedObject(quint64 objectID)
{
    m_removedIDs.reset();
    return m_removedObjects.take(objectID);
}

namespace {

bool isMilestone(const DMProjectObject *object)
{
    const auto *item = dynamic_cast<const DMProjectItem *>(object);
    return item && item->kind() == kDMProjectItem_Kind_Milestone;
}

} // namespace

void DMProject::indexObject(DMProjectObject *object)
{
    m_index.insert(object->objectID(), object->weak_from_this());
    if (isMilestone(object))
        m_milestoneIDs.insert(object->objectID());
}

void DMProject::unindexObject(DMProjectObject *object)
{
    const auto it = m_index.find(object->objectID());
    if (it != m_index.end()) {
        const std::shared_ptr<DMProjectObject> indexed = it->lock();
        if (!indexed || indexed.get() == object) {
            m_index.erase(it);
            m_milestoneIDs.remove(object->objectID());
        }
    }
}

std::vector<std::shared_ptr<const DMProjectItem>> DMProject::milestones() const
{
    std::vector<std::shared_ptr<const DMProjectItem>> found;
    found.reserve(size_t(m_milestoneIDs.size()));
    for (const quint64 id : m_milestoneIDs)
        if (auto item = std::dynamic_pointer_cast<const DMProjectItem>(m_index.value(id).lock());
            item && item->kind() == kDMProjectItem_Kind_Milestone)
            found.push_back(std::move(item));
    return found;
}

namespace {

// Gives the object an ID of this project that no other object holds, then indexes it.
void enterObject(DMProject *project, DMProjectObject *object, const std::shared_ptr<DMProject> &self,
                 QHash<quint64, std::weak_ptr<DMProjectObject>> &index)
{
    if (!object->project())
        object->setProject(self);
    quint64 id = object->objectID();
    const auto it = index.constFind(id);
    if (id == 0 || (it != index.constEnd() && it->lock() && it->lock().get() != object)) {
        if (id != 0)
            qWarning("Object ID %llu is already used in the project; a new one is given", static_cast<unsigned long long>(id));
        object->setObjectID(project->nextObjectID());
    } else {
        project->noteObjectID(id);
    }
    project->indexObject(object);
}

} // namespace

namespace {

// A subtree of items or resources, parents first, in the order both walks below rely on.
template <typename T>
std::vector<T *> subtreeOf(T *root)
{
    std::vector<T *> nodes;
    std::vector<T *> stack{root};
    while (!stack.empty()) {
        T *current = stack.back();
        stack.pop_back();
        nodes.push_back(current);
        const auto &children = current->subitems().list();
        for (auto it = children.crbegin(); it != children.crend(); ++it)
            stack.push_back(it->get());
    }
    return nodes;
}

} // namespace

void DMProject::idsOfSubtree(const DMProjectObject *root, QSet<quint64> *ids)
{
    ids->insert(root->objectID());
    if (const auto *item = dynamic_cast<const DMProjectItem *>(root)) {
        for (DMProjectItem *current : subtreeOf(const_cast<DMProjectItem *>(item))) {
            ids->insert(current->objectID());
            for (const auto *list : {&current->m_inbound, &current->m_outbound})
                for (const auto &dependency : *list)
                    ids->insert(dependency->objectID());
        }
    } else if (const auto *resource = dynamic_cast<const DMProjectResource *>(root)) {
        for (DMProjectResource *current : subtreeOf(const_cast<DMProjectResource *>(resource)))
            ids->insert(current->objectID());
    }
}

void DMProject::attachSubtree(DMProjectObject *root)
{
    if (!root)
        return;
    m_itemsTimeSpan.valid = false;
    const std::shared_ptr<DMProject> self = shared_from_this();
    if (auto *item = dynamic_cast<DMProjectItem *>(root)) {
        dropItemGraph();
        const std::vector<DMProjectItem *> items = subtreeOf(item);
        for (DMProjectItem *current : items) {
            enterObject(this, current, self, m_index);
            current->m_attached = true;
        }
        DMProjectRelations::itemsDidJoin(items);
        // A link is part of the project while both its ends are.
        for (DMProjectItem *current : items)
            for (const auto *list : {&current->m_inbound, &current->m_outbound})
                for (const auto &dependency : *list) {
                    const DMProjectItem *from = dependency->fromItemPointer();
                    const DMProjectItem *to = dependency->toItemPointer();
                    if (!dependency->m_attached && from && to && from->m_attached && to->m_attached) {
                        enterObject(this, dependency.get(), self, m_index);
                        dependency->m_attached = true;
                        if (from->m_linkOrder >= to->m_linkOrder)
                            m_linkOrderValid = false;
                    }
                }
        return;
    }
    if (auto *resource = dynamic_cast<DMProjectResource *>(root)) {
        const std::vector<DMProjectResource *> resources = subtreeOf(resource);
        for (DMProjectResource *current : resources) {
            enterObject(this, current, self, m_index);
            current->m_attached = true;
        }
        DMProjectRelations::resourcesDidJoin(resources);
        return;
    }
    enterObject(this, root, self, m_index);
    root->m_attached = true;
}

void DMProject::detachSubtree(DMProjectObject *root, DMProjectRelationOrders *orders)
{
    if (!root)
        return;
    m_itemsTimeSpan.valid = false;
    if (auto *item = dynamic_cast<DMProjectItem *>(root)) {
        dropItemGraph();
        const std::vector<DMProjectItem *> items = subtreeOf(item);
        for (DMProjectItem *current : items) {
            unindexObject(current);
            current->m_attached = false;
        }
        for (DMProjectItem *current : items)
            for (const auto *list : {&current->m_inbound, &current->m_outbound})
                for (const auto &dependency : *list)
                    if (dependency->m_attached) {
                        unindexObject(dependency.get());
                        dependency->m_attached = false;
                    }
        DMProjectRelations::itemsDidLeave(items, orders);
    } else if (auto *resource = dynamic_cast<DMProjectResource *>(root)) {
        const std::vector<DMProjectResource *> resources = subtreeOf(resource);
        for (DMProjectResource *current : resources) {
            unindexObject(current);
            current->m_attached = false;
        }
        DMProjectRelations::resourcesDidLeave(resources, orders);
    } else {
        unindexObject(root);
        root->m_attached = false;
    }
    objectsDidLeave();
}

void DMProject::objectsDidLeave()
{
    if (DMProjectDocumentHooks *document = m_displayAttributes.projectDocument)
        document->objectsDidLeaveProject();
}
