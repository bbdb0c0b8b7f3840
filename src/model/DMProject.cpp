#include "DMProject.h"

#include "DMCriticalPath.h"
#include "DMDelayedCall.h"
#include "DMProjectChildList.h"
#include "DMProjectCoder.h"
#include "DMProjectDependency.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMUndoManager.h"

#include <QDebug>

#include <vector>

// The delegates of the two top-level lists: items and resources have no parent there.
class DMProject::TaskDelegate : public ItemList::Delegate
{
public:
    explicit TaskDelegate(DMProject *project) : m_project(project) {}

    void mutableArrayWillChange(ItemList &list, const ItemList::Change &change) override
    {
        if (change.kind == ItemList::Change::Insert || change.kind == ItemList::Change::Replace)
            for (const auto &item : change.objects) {
                if (!item || item->parentItemPointer() || item->isAttached())
                    throw std::invalid_argument("DMProject: the item is null or already in a list");
                if (item->projectPointer() && item->projectPointer() != m_project)
                    throw std::invalid_argument("DMProject: the item belongs to another project");
            }
        m_orderBefore = DMProjectChildList<DMProjectItem>::orderBefore(list, change);
        m_project->willChangeList(DMProjectKey::tasks, DMProjectChildList<DMProjectItem>::observedKind(change),
                                  DMProjectChildList<DMProjectItem>::indexesOf(list, change));
    }

    void mutableArrayDidChange(ItemList &list, const ItemList::Change &change) override
    {
        for (const auto &item : change.objects)
            if (change.kind == ItemList::Change::Insert || change.kind == ItemList::Change::Replace)
                if (!item->projectPointer())
                    item->setProject(m_project->shared_from_this());
        DMProjectChildList<DMProjectItem>::didChange(
            m_project, true, [](DMProject &p) { return &p.tasks(); }, change, m_orderBefore);
        m_project->didChangeList(DMProjectKey::tasks, DMProjectChildList<DMProjectItem>::observedKind(change),
                                 DMProjectChildList<DMProjectItem>::indexesOf(list, change));
        m_project->setNeedsCriticalPathUpdate();
    }

private:
    DMProject *m_project;
    QList<quint64> m_orderBefore;
};

class DMProject::ResourceDelegate : public ResourceList::Delegate
{
public:
    explicit ResourceDelegate(DMProject *project) : m_project(project) {}

    void mutableArrayWillChange(ResourceList &list, const ResourceList::Change &change) override
    {
        if (change.kind == ResourceList::Change::Insert || change.kind == ResourceList::Change::Replace)
            for (const auto &resource : change.objects) {
                if (!resource || resource->parentItemPointer() || resource->isAttached())
                    throw std::invalid_argument("DMProject: the resource is null or already in a list");
                if (resource->projectPointer() && resource->projectPointer() != m_project)
                    throw std::invalid_argument("DMProject: the resource belongs to another project");
            }
        m_orderBefore = DMProjectChildList<DMProjectResource>::orderBefore(list, change);
        m_project->willChangeList(DMProjectKey::resources, DMProjectChildList<DMProjectResource>::observedKind(change),
                                  DMProjectChildList<DMProjectResource>::indexesOf(list, change));
    }

    void mutableArrayDidChange(ResourceList &list, const ResourceList::Change &change) override
    {
        for (const auto &resource : change.objects)
            if (change.kind == ResourceList::Change::Insert || change.kind == ResourceList::Change::Replace)
                if (!resource->projectPointer())
                    resource->setProject(m_project->shared_from_this());
        DMProjectChildList<DMProjectResource>::didChange(
            m_project, true, [](DMProject &p) { return &p.resources(); }, change, m_orderBefore);
        m_project->didChangeList(DMProjectKey::resources, DMProjectChildList<DMProjectResource>::observedKind(change),
                                 DMProjectChildList<DMProjectResource>::indexesOf(list, change));
    }

private:
    DMProject *m_project;
    QList<quint64> m_orderBefore;
};

std::shared_ptr<DMProject> DMProject::create()
{
    auto project = std::make_shared<DMProject>(PrivateTag{});
    project->m_eventContainer = std::make_shared<DMProjectEventContainer>();
    project->m_todoContainer = std::make_shared<DMProjectTodoContainer>();
    project->m_eventContainer->setProject(project);
    project->m_todoContainer->setProject(project);
    project->attachSubtree(project->m_eventContainer.get());
    project->attachSubtree(project->m_todoContainer.get());
    return project;
}

DMProject::DMProject(PrivateTag)
    : m_taskDelegate(std::make_unique<TaskDelegate>(this)),
      m_resourceDelegate(std::make_unique<ResourceDelegate>(this)),
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

void DMProject::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    const QString old = m_title;
    if (DMUndoManager *undo = undoManagerForRegistration()) {
        std::weak_ptr<DMProject> weak = weak_from_this();
        undo->registerUndo([weak, old] { if (auto p = weak.lock()) p->setTitle(old); },
                           DMUndoManager::fenceOffKeyForObject(this, "setTitle"));
    }
    willChangeValueForKey(DMProjectKey::title);
    m_title = title;
    didChangeValueForKey(DMProjectKey::title);
}

void DMProject::setBeginDate(const DMDate &date)
{
    if (date == m_beginDate && date.isNull() == m_beginDate.isNull())
        return;
    const DMDate old = m_beginDate;
    if (DMUndoManager *undo = undoManagerForRegistration()) {
        std::weak_ptr<DMProject> weak = weak_from_this();
        undo->registerUndo([weak, old] { if (auto p = weak.lock()) p->setBeginDate(old); },
                           DMUndoManager::fenceOffKeyForObject(this, "setBeginDate"));
    }
    willChangeValueForKey(DMProjectKey::beginDate);
    m_beginDate = date;
    didChangeValueForKey(DMProjectKey::beginDate);
}

void DMProject::setEndDate(const DMDate &date)
{
    if (date == m_endDate && date.isNull() == m_endDate.isNull())
        return;
    const DMDate old = m_endDate;
    if (DMUndoManager *undo = undoManagerForRegistration()) {
        std::weak_ptr<DMProject> weak = weak_from_this();
        undo->registerUndo([weak, old] { if (auto p = weak.lock()) p->setEndDate(old); },
                           DMUndoManager::fenceOffKeyForObject(this, "setEndDate"));
    }
    willChangeValueForKey(DMProjectKey::endDate);
    m_endDate = date;
    didChangeValueForKey(DMProjectKey::endDate);
}

void DMProject::setAttribute(const QString &key, const QVariant &value)
{
    const bool had = m_attributes.contains(key);
    const QVariant old = m_attributes.value(key);
    if (had == value.isValid() && (!had || old == value))
        return;
    if (DMUndoManager *undo = undoManagerForRegistration()) {
        std::weak_ptr<DMProject> weak = weak_from_this();
        undo->registerUndo([weak, key, old] { if (auto p = weak.lock()) p->setAttribute(key, old); },
                           DMUndoManager::fenceOffKeyForObject(this, qPrintable(QStringLiteral("setAttribute ") + key)));
    }
    const QString keyPath = DMProjectKey::attributes + QLatin1Char('.') + key;
    willChangeValueForKey(keyPath);
    willChangeValueForKey(DMProjectKey::attributes);
    if (value.isValid())
        m_attributes.insert(key, value);
    else
        m_attributes.remove(key);
    settingDidChange(key);
    didChangeValueForKey(DMProjectKey::attributes);
    didChangeValueForKey(keyPath);
}

void DMProject::setAttributes(const QVariantMap &attributes)
{
    QStringList keys = m_attributes.keys();
    for (const QString &key : attributes.keys())
        if (!m_attributes.contains(key))
            keys.append(key);
    for (const QString &key : keys)
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
    return ++m_lastObjectID;
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

DMDate DMProject::dateByRoundingDateToIntervalSnapOption(const DMDate &date, int interval, int snapOption) const
{
    return m_calendar.dateByRoundingDateToIntervalSnapOption(date, interval, snapOption,
                                                            m_displayAttributes.pixelsPerDay);
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
    return m_criticalPath;
}

void DMProject::setNeedsCriticalPathUpdate()
{
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
    if (ids == m_criticalPath)
        return;
    willChangeValueForKey(DMProjectKey::criticalPath);
    m_criticalPath = ids;
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
    if (m_loading > 0)
        return;
    m_delayedCalls->performAfterDelay(0.05, [this, tag] {
        if (DMProjectDocumentHooks *document = m_displayAttributes.projectDocument)
            document->updateItemsArrayWithTag(tag);
    });
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
}

void DMProject::keepRemovedObject(const std::shared_ptr<DMProjectObject> &object)
{
    if (object)
        m_removedObjects.insert(object->objectID(), object);
}

std::shared_ptr<DMProjectObject> DMProject::takeRemovedObject(quint64 objectID)
{
    return m_removedObjects.take(objectID);
}

void DMProject::indexObject(DMProjectObject *object)
{
    m_index.insert(object->objectID(), object->weak_from_this());
}

void DMProject::unindexObject(DMProjectObject *object)
{
    const auto it = m_index.find(object->objectID());
    if (it != m_index.end()) {
        const std::shared_ptr<DMProjectObject> indexed = it->lock();
        if (!indexed || indexed.get() == object)
            m_index.erase(it);
    }
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

void DMProject::attachSubtree(DMProjectObject *root)
{
    if (!root)
        return;
    const std::shared_ptr<DMProject> self = shared_from_this();
    if (auto *item = dynamic_cast<DMProjectItem *>(root)) {
        std::vector<DMProjectItem *> stack{item};
        std::vector<DMProjectItem *> visited;
        while (!stack.empty()) {
            DMProjectItem *current = stack.back();
            stack.pop_back();
            enterObject(this, current, self, m_index);
            current->m_attached = true;
            visited.push_back(current);
            for (const auto &child : current->subitems())
                stack.push_back(child.get());
        }
        for (DMProjectItem *current : visited)
            for (const auto *list : {&current->m_inbound, &current->m_outbound})
                for (const auto &dependency : *list)
                    if (!dependency->m_attached) {
                        enterObject(this, dependency.get(), self, m_index);
                        dependency->m_attached = true;
                    }
        return;
    }
    if (auto *resource = dynamic_cast<DMProjectResource *>(root)) {
        std::vector<DMProjectResource *> stack{resource};
        while (!stack.empty()) {
            DMProjectResource *current = stack.back();
            stack.pop_back();
            enterObject(this, current, self, m_index);
            current->m_attached = true;
            for (const auto &child : current->subitems())
                stack.push_back(child.get());
        }
        return;
    }
    enterObject(this, root, self, m_index);
    root->m_attached = true;
}

void DMProject::detachSubtree(DMProjectObject *root)
{
    if (!root)
        return;
    if (auto *item = dynamic_cast<DMProjectItem *>(root)) {
        std::vector<DMProjectItem *> stack{item};
        std::vector<DMProjectItem *> visited;
        while (!stack.empty()) {
            DMProjectItem *current = stack.back();
            stack.pop_back();
            unindexObject(current);
            current->m_attached = false;
            visited.push_back(current);
            for (const auto &child : current->subitems())
                stack.push_back(child.get());
        }
        // A link stays in the index while one of its ends is still part of the project.
        for (DMProjectItem *current : visited)
            for (const auto *list : {&current->m_inbound, &current->m_outbound})
                for (const auto &dependency : *list) {
                    const DMProjectItem *from = dependency->fromItemPointer();
                    const DMProjectItem *to = dependency->toItemPointer();
                    if ((!from || !from->m_attached) && (!to || !to->m_attached)) {
                        unindexObject(dependency.get());
                        dependency->m_attached = false;
                    }
                }
        return;
    }
    if (auto *resource = dynamic_cast<DMProjectResource *>(root)) {
        std::vector<DMProjectResource *> stack{resource};
        while (!stack.empty()) {
            DMProjectResource *current = stack.back();
            stack.pop_back();
            unindexObject(current);
            current->m_attached = false;
            for (const auto &child : current->subitems())
                stack.push_back(child.get());
        }
        return;
    }
    unindexObject(root);
    root->m_attached = false;
}
