#include "DMProjectResource.h"

#include "DMDictionaryAccess.h"
#include "DMDurationSplit.h"
#include "DMProject.h"
#include "DMProjectChildList.h"
#include "DMProjectCoder.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectKeys.h"
#include "DMProjectTask.h"
#include "DMPropertyList.h"

#include <QDebug>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

DMProjectResource::DMProjectResource(int kind) : m_kind(kind == Group ? Group : Resource)
{
    m_attributes.insert(kDMProjectResource_Human, true);
    m_subitems.setDelegate(this);
}

DMProjectResource::~DMProjectResource()
{
    // Tasks keep no assignment to a resource that is gone.
    for (const auto &assignment : std::as_const(m_tasks))
        if (const auto task = assignment->task.lock())
            task->takeAssignment(assignment.get());
    m_subitems.setDelegate(nullptr);
}

void DMProjectResource::setName(const QString &text)
{
    const QString name = DMPropertyList::storableString(text);
    if (name == m_name)
        return;
    registerUndo("setName", [old = m_name](DMProjectObject &o) { static_cast<DMProjectResource &>(o).setName(old); });
    assign(m_name, name, DMProjectKey::name);
}

void DMProjectResource::setAttribute(const QString &key, const QVariant &value)
{
    if (assignAttribute(m_attributes, key, value, &DMProjectResource::setAttribute))
        DMProjectItem::costInputsDidChange(); // also while the resource is outside the project
}

void DMProjectResource::setAttributes(const QVariantMap &attributes)
{
    for (const QString &key : attributeKeysToSet(m_attributes, attributes))
        setAttribute(key, attributes.value(key));
}

void DMProjectResource::setSubRowCount(int count)
{
    if (assign(m_subRowCount, qMax(0, count), DMProjectKey::subRowCount))
        projectLayoutDidChange();
}

// ---- members ----

void DMProjectResource::mutableArrayWillChange(ResourceList &list, const ResourceList::Change &change)
{
    if (change.kind == ResourceList::Change::Insert || change.kind == ResourceList::Change::Replace) {
        if (!isGroup())
            throw std::invalid_argument("DMProjectResource: only a group has members");
        for (const auto &resource : change.objects) {
            if (!resource || resource.get() == this || resource->m_parentItemRaw || resource->isAttached())
                throw std::invalid_argument("DMProjectResource: the member is null, the group, or already in a list");
            for (const DMProjectResource *parent = m_parentItemRaw; parent; parent = parent->m_parentItemRaw)
                if (parent == resource.get())
                    throw std::invalid_argument("DMProjectResource: a group cannot join its own member");
        }
    }
    m_orderBefore = DMProjectChildList<DMProjectResource>::orderBefore(list, change);
    willChangeList(DMProjectKey::subitems, DMProjectChildList<DMProjectResource>::observedKind(change),
                   DMProjectChildList<DMProjectResource>::indexesOf(list, change));
}

void DMProjectResource::mutableArrayDidChange(ResourceList &list, const ResourceList::Change &change)
{
    if (change.kind == ResourceList::Change::Remove || change.kind == ResourceList::Change::Replace)
        for (const auto &resource : change.kind == ResourceList::Change::Remove ? change.objects : change.oldObjects) {
            resource->m_parentItem.reset();
            resource->m_parentItemRaw = nullptr;
        }
    if (change.kind == ResourceList::Change::Insert || change.kind == ResourceList::Change::Replace) {
        const auto self = std::static_pointer_cast<DMProjectResource>(shared_from_this());
        for (const auto &resource : change.objects) {
            resource->m_parentItem = self;
            resource->m_parentItemRaw = this;
            if (!resource->project() && project())
                resource->setProject(project());
        }
    }
    const quint64 id = objectID();
    DMProjectChildList<DMProjectResource>::didChange(
        projectPointer(), isAttached(),
        [id](DMProject &p) -> ResourceList * {
            auto group = std::dynamic_pointer_cast<DMProjectResource>(p.indexedObject(id));
            return group ? &group->subitems() : nullptr;
        },
        change, m_orderBefore);
    didChangeList(DMProjectKey::subitems, DMProjectChildList<DMProjectResource>::observedKind(change),
                  DMProjectChildList<DMProjectResource>::indexesOf(list, change));
}

// ---- assignments ----

qsizetype DMProjectResource::takeAssignment(const DMProjectAssignment *assignment)
{
    for (qsizetype i = 0; i < m_tasks.size(); ++i)
        if (m_tasks.at(i).get() == assignment) {
            const QList<qsizetype> indexes{i};
            willChangeList(QStringLiteral("UIObjects"), DMChange::Removal, indexes);
            m_tasks.removeAt(i);
            didChangeList(QStringLiteral("UIObjects"), DMChange::Removal, indexes);
            return i;
        }
    return -1;
}

void DMProjectResource::putAssignment(const std::shared_ptr<DMProjectAssignment> &assignment, qsizetype index)
{
    index = qBound<qsizetype>(0, index, m_tasks.size());
    const QList<qsizetype> indexes{index};
    willChangeList(QStringLiteral("UIObjects"), DMChange::Insertion, indexes);
    m_tasks.insert(index, assignment);
    didChangeList(QStringLiteral("UIObjects"), DMChange::Insertion, indexes);
}

void DMProjectResource::reorderAssignments(const QList<quint64> &order)
{
    const auto id = [](const auto &assignment) { return assignment->taskPointer->objectID(); };
    DMProjectRelations::reorder(m_tasks, order, id, *this, QStringLiteral("UIObjects"));
}

QList<std::shared_ptr<DMProjectTask>> DMProjectResource::assignedTasks() const
{
    QList<std::shared_ptr<DMProjectTask>> tasks;
    for (const auto &assignment : m_tasks)
        if (auto task = assignment->task.lock())
            tasks.append(task);
    return tasks;
}

QList<std::shared_ptr<DMProjectItemUIObject>> DMProjectResource::UIObjects() const
{
    QList<std::shared_ptr<DMProjectItemUIObject>> objects;
    for (const auto &assignment : m_tasks)
        if (assignment->uiObject)
            objects.append(assignment->uiObject);
    return objects;
}

float DMProjectResource::costForTask(const DMProjectTask &task) const
{
    if (task.kind() == kDMProjectItem_Kind_Milestone)
        return 0.0f;
    const double rate = doubleForKey(m_attributes, kDMProjectResource_HourlyCost);
    const double seconds = qMax(0, task.duration());
    switch (integerForKey(m_attributes, kDMProjectResource_CostKind)) {
    case kDMProjectResourceCostKind_Hourly:
        return float(rate * seconds / 3600.0);
    case kDMProjectResourceCostKind_Daily:
        return float(rate * seconds / double(DMDurationSplit::dayLengthForItem(task)));
    default:
        return float(rate);
    }
}

void DMProjectResource::computeProgressCostInfoString(float *progress, float *cost, QString *infoString) const
{
    int taskCount = 0;
    int milestoneCount = 0;
    double progressSum = 0.0;
    double costSum = 0.0;
    std::vector<const DMProjectResource *> stack{this};
    while (!stack.empty()) {
        const DMProjectResource *resource = stack.back();
        stack.pop_back();
        for (const auto &member : resource->m_subitems)
            stack.push_back(member.get());
        for (const auto &task : resource->assignedTasks()) {
            if (task->kind() == kDMProjectItem_Kind_Milestone)
                ++milestoneCount;
            else
                ++taskCount;
            progressSum += task->progress();
            costSum += resource->costForTask(*task);
        }
    }
    const int count = taskCount + milestoneCount;
    const float mean = count > 0 ? float(progressSum / count) : 0.0f;
    if (progress)
        *progress = mean;
    if (cost)
        *cost = float(costSum);
    if (infoString)
        *infoString = QString::asprintf("%d tasks, %d milestones (%.0f%%)", taskCount, milestoneCount, double(mean) * 100.0);
}

float DMProjectResource::progress() const
{
    float value = 0.0f;
    computeProgressCostInfoString(&value, nullptr, nullptr);
    return value;
}

float DMProjectResource::cost() const
{
    float value = 0.0f;
    computeProgressCostInfoString(nullptr, &value, nullptr);
    return value;
}

void DMProjectResource::deleteAllAssignments()
{
    std::vector<std::shared_ptr<DMProjectResource>> stack{std::static_pointer_cast<DMProjectResource>(shared_from_this())};
    while (!stack.empty()) {
        const std::shared_ptr<DMProjectResource> resource = std::move(stack.back());
        stack.pop_back();
        for (const auto &member : resource->m_subitems)
            stack.push_back(member);
        for (const auto &task : resource->assignedTasks())
            task->removeResource(resource);
    }
}

// ---- dictionary representation ----

QVariantMap DMProjectResource::dictionaryRepresentation() const
{
    QVariantMap d;
    d.insert(QStringLiteral("class"), className());
    d.insert(QStringLiteral("objectID"), DMProjectCoder::idValue(objectID()));
    d.insert(QStringLiteral("kind"), qint64(m_kind));
    if (m_tag != 0)
        d.insert(QStringLiteral("tag"), m_tag);
    d.insert(QStringLiteral("name"), m_name);
    if (!m_attributes.isEmpty())
        d.insert(QStringLiteral("attributes"), DMProjectCoder::encodeAttributes(m_attributes));
    if (m_subRowCount > 0)
        d.insert(QStringLiteral("subRowCount"), qint64(m_subRowCount));
    if (!m_subitems.isEmpty()) {
        QVariantList members;
        for (const auto &member : m_subitems)
            members.append(member->dictionaryRepresentation());
        d.insert(QStringLiteral("subitems"), members);
    }
    return d;
}

bool DMProjectResource::loadFields(const QVariantMap &d, QString *problem)
{
    if (d.value(QStringLiteral("class")).toString() != staticClassName())
        return false;
    m_kind = integerForKey(d, QStringLiteral("kind")) == Group ? Group : Resource;
    m_tag = longLongForKey(d, QStringLiteral("tag"));
    m_name = DMPropertyList::storableString(stringForKey(d, QStringLiteral("name")));
    if (d.contains(QStringLiteral("attributes"))) {
        bool damaged = false;
        m_attributes = DMProjectCoder::decodeAttributes(d.value(QStringLiteral("attributes")), &damaged);
        DMProjectItem::costInputsDidChange();
        if (damaged && problem)
            *problem = QStringLiteral("damaged attributes dropped");
    }
    m_subRowCount = qMax(0, integerForKey(d, QStringLiteral("subRowCount")));
    return true;
}

bool DMProjectResource::loadDictionaryRepresentationProjectIgnoreObjectID(const QVariantMap &dictionary,
                                                                        const std::shared_ptr<DMProject> &project,
                                                                        bool ignoreObjectID)
{
    constexpr int kMaximumDepth = 64;
    if (!m_subitems.isEmpty() || !loadFields(dictionary))
        return false;
    struct Pending
    {
        DMProjectResource *resource;
        QVariantMap dictionary;
        int depth;
    };
    std::vector<Pending> stack{{this, dictionary, 0}};
    int dropped = 0;
    while (!stack.empty()) {
        Pending pending = std::move(stack.back());
        stack.pop_back();
        DMProjectResource *resource = pending.resource;
        quint64 id = 0;
        if (ignoreObjectID || !DMProjectCoder::readObjectID(pending.dictionary, &id) || !project
            || project->indexedObject(id))
            id = 0;
        if (resource->objectID() == 0 || id != 0)
            resource->setObjectID(id ? id : (project ? project->nextObjectID() : 0));
        resource->setProject(project);
        if (project && project->m_objectIDSortedResources) {
            auto &list = *project->m_objectIDSortedResources;
            const auto at = std::lower_bound(list.begin(), list.end(), resource->objectID(),
                                             [](const auto &r, quint64 value) { return r->objectID() < value; });
            list.insert(at, std::static_pointer_cast<DMProjectResource>(resource->shared_from_this()));
        }
        if (!resource->isGroup())
            continue;
        for (const QVariant &value : arrayForKey(pending.dictionary, QStringLiteral("subitems"))) {
            const QVariantMap memberDictionary = value.toMap();
            if (pending.depth + 1 > kMaximumDepth) {
                qWarning("A resource group nested deeper than %d levels was dropped", kMaximumDepth);
                break;
            }
            auto member = std::make_shared<DMProjectResource>();
            if (value.typeId() != QMetaType::QVariantMap || !member->loadFields(memberDictionary)) {
                ++dropped;
                continue;
            }
            resource->m_subitems.append(member);
            stack.push_back({member.get(), memberDictionary, pending.depth + 1});
        }
    }
    if (dropped > 0)
        qWarning("%d resources that are not resource dictionaries were dropped", dropped);
    return true;
}

std::shared_ptr<DMProjectResource> DMProjectResource::resourceWithDictionaryRepresentation(const QVariantMap &dictionary,
                                                                                           const std::shared_ptr<DMProject> &project,
                                                                                           bool ignoreObjectID)
{
    auto resource = std::make_shared<DMProjectResource>();
    if (!resource->loadDictionaryRepresentationProjectIgnoreObjectID(dictionary, project, ignoreObjectID))
        return nullptr;
    return resource;
}
