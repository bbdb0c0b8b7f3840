#include "DMProjectTask.h"

#include <QVarLengthArray>

#include "DMDictionaryAccess.h"
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectResource.h"

#include <limits>

DMProjectTask::DMProjectTask()
{
    setFillColor(defaultFillColorForKind(kDMProjectItem_Kind_Task));
}

DMProjectTask::~DMProjectTask()
{
    for (const auto &assignment : std::as_const(m_assignments))
        if (const auto resource = assignment->resource.lock())
            resource->takeAssignment(assignment.get());
}

bool DMProjectTask::isKindOfClass(const QString &className) const
{
    return className == staticClassName() || DMProjectItem::isKindOfClass(className);
}

QList<std::shared_ptr<DMProjectResource>> DMProjectTask::concernedResources() const
{
    QList<std::shared_ptr<DMProjectResource>> resources;
    for (const auto &assignment : m_assignments)
        if (auto resource = assignment->resource.lock())
            resources.append(resource);
    return resources;
}

qsizetype DMProjectTask::assignmentIndex(const DMProjectResource *resource) const
{
    for (qsizetype i = 0; i < m_assignments.size(); ++i)
        if (m_assignments.at(i)->resourcePointer == resource)
            return i;
    return -1;
}

bool DMProjectTask::isAssignedToResource(const DMProjectResource *resource) const
{
    return resource && assignmentIndex(resource) >= 0;
}

void DMProjectTask::addResource(const std::shared_ptr<DMProjectResource> &resource)
{
    if (!resource || resource->isGroup() || isAssignedToResource(resource.get()))
        return;
    // Listed by the resource alone while this task is in the project and the resource is not.
    for (const auto &assignment : resource->m_tasks)
        if (assignment->taskPointer == this)
            return;
    registerInverse([id = resource->objectID()](DMProjectObject &o) {
        auto &task = static_cast<DMProjectTask &>(o);
        if (const DMProject *project = task.projectPointer())
            task.removeResource(project->objectWithIDAndClass<DMProjectResource>(id));
    });
    // At the ends of both lists, also of one that lists it only when the other end joins.
    constexpr qsizetype atEnd = std::numeric_limits<qsizetype>::max();
    assign(resource, atEnd, atEnd);
}

void DMProjectTask::removeResource(const std::shared_ptr<DMProjectResource> &resource)
{
    const qsizetype index = resource ? assignmentIndex(resource.get()) : -1;
    if (index < 0)
        return;
    const std::shared_ptr<DMProjectAssignment> assignment = m_assignments.at(index);
    const qsizetype resourceIndex = resource->m_tasks.indexOf(assignment);
    registerInverse([id = resource->objectID(), index, resourceIndex](DMProjectObject &o) {
        auto &task = static_cast<DMProjectTask &>(o);
        const DMProject *project = task.projectPointer();
        auto resource = project ? project->objectWithIDAndClass<DMProjectResource>(id) : nullptr;
        if (!resource || task.isAssignedToResource(resource.get()))
            return;
        task.registerInverse([id](DMProjectObject &o2) {
            auto &t = static_cast<DMProjectTask &>(o2);
            if (const DMProject *p = t.projectPointer())
                t.removeResource(p->objectWithIDAndClass<DMProjectResource>(id));
        });
        task.assign(resource, index, resourceIndex < 0 ? resource->m_tasks.size() : resourceIndex);
    });
    takeAssignment(assignment.get());
    resource->takeAssignment(assignment.get());
    // The assignment's bar in the resource view goes with it.
    if (DMProject *project = projectPointer())
        project->objectsDidLeave();
}

void DMProjectTask::assign(const std::shared_ptr<DMProjectResource> &resource, qsizetype taskIndex, qsizetype resourceIndex)
{
    auto assignment = std::make_shared<DMProjectAssignment>();
    assignment->task = std::static_pointer_cast<DMProjectTask>(shared_from_this());
    assignment->resource = resource;
    assignment->taskPointer = this;
    assignment->resourcePointer = resource.get();
    assignment->uiObject = newUIObjectForViewMode(kDMProjectViewMode_Resources);
    if (assignment->uiObject) {
        assignment->uiObject->setResourceViewFields(0, resource.get());
        otherUIObjectWasMade();
    }
    // Across the project's edge (an importer assigns its tasks before they join), the end in the
    // project lists the assignment only once the other end joins, as after a removal.
    if (isAttached() && !resource->isAttached())
        assignment->suspendedAt[0] = taskIndex;
    else
        putAssignment(assignment, taskIndex);
    if (resource->isAttached() && !isAttached())
        assignment->suspendedAt[1] = resourceIndex;
    else
        resource->putAssignment(assignment, resourceIndex);
}

qsizetype DMProjectTask::takeAssignment(const DMProjectAssignment *assignment)
{
    for (qsizetype i = 0; i < m_assignments.size(); ++i)
        if (m_assignments.at(i).get() == assignment) {
            const QList<qsizetype> indexes{i};
            willChangeList(DMProjectKey::concernedResources, DMChange::Removal, indexes);
            m_assignments.removeAt(i);
            costInputsDidChange();
            didChangeList(DMProjectKey::concernedResources, DMChange::Removal, indexes);
            return i;
        }
    return -1;
}

void DMProjectTask::putAssignment(const std::shared_ptr<DMProjectAssignment> &assignment, qsizetype index)
{
    index = qBound<qsizetype>(0, index, m_assignments.size());
    const QList<qsizetype> indexes{index};
    willChangeList(DMProjectKey::concernedResources, DMChange::Insertion, indexes);
    m_assignments.insert(index, assignment);
    costInputsDidChange();
    didChangeList(DMProjectKey::concernedResources, DMChange::Insertion, indexes);
}

void DMProjectTask::reorderAssignments(const QList<quint64> &order)
{
    const auto id = [](const auto &assignment) { return assignment->resourcePointer->objectID(); };
    DMProjectRelations::reorder(m_assignments, order, id, *this, DMProjectKey::concernedResources);
    costInputsDidChange(); // the sum of the resources' costs may round otherwise
}

float DMProjectTask::cost() const
{
    // The resources concernedResources() lists, read through the assignments without a list or a
    // reference of their own: a parent's cost adds up every task below it.
    double cost = ownCost();
    for (const auto &assignment : m_assignments)
        if (!assignment->resource.expired())
            cost += assignment->resourcePointer->costForTask(*this);
    return float(cost);
}

float DMProjectTask::ownCost() const
{
    const int costKind = integerForKey(attributes(), kDMProjectItem_CostKind);
    const double rate = doubleForKey(attributes(), kDMProjectItem_Cost);
    if (costKind == kDMProjectItemCostKind_Fixed)
        return float(rate);
    double cost = 0.0;
    if (costKind == kDMProjectItemCostKind_Hourly)
        cost = rate * double(duration()) / 3600.0;
    if (boolForKey(attributes(), kDMProjectItem_HasFixedCost))
        cost += doubleForKey(attributes(), kDMProjectItem_FixedCost);
    return float(cost);
}

QList<std::shared_ptr<DMProjectItemUIObject>> DMProjectTask::uiObjects() const
{
    QList<std::shared_ptr<DMProjectItemUIObject>> objects = DMProjectItem::uiObjects();
    for (const auto &assignment : m_assignments)
        if (assignment->uiObject)
            objects.append(assignment->uiObject);
    return objects;
}

void DMProjectTask::notifyOtherUIObjects(void (DMProjectItemUIObject::*update)()) const
{
    if (m_assignments.isEmpty())
        return;
    // A copy: an update may change the assignments.
    QVarLengthArray<std::shared_ptr<DMProjectItemUIObject>, 4> bars;
    for (const auto &assignment : m_assignments)
        if (assignment->uiObject)
            bars.append(assignment->uiObject);
    for (const auto &bar : bars)
        (bar.get()->*update)();
}

std::shared_ptr<DMProjectItemUIObject> DMProjectTask::resourceUIObject(const DMProjectResource *resource) const
{
    const qsizetype index = assignmentIndex(resource);
    return index < 0 ? nullptr : m_assignments.at(index)->uiObject;
}

QVariantMap DMProjectTask::fieldsRepresentation() const
{
    QVariantMap d = DMProjectItem::fieldsRepresentation();
    QVariantList ids;
    for (const auto &resource : concernedResources())
        ids.append(DMProjectCoder::idValue(resource->objectID()));
    if (!ids.isEmpty())
        d.insert(QStringLiteral("resources"), ids);
    return d;
}

bool DMProjectTask::loadFields(const QVariantMap &dictionary, QString *problem)
{
    if (!DMProjectItem::loadFields(dictionary, problem))
        return false;
    m_pendingResourceIDs.clear();
    for (const QVariant &value : arrayForKey(dictionary, QStringLiteral("resources"))) {
        quint64 id = 0;
        if (DMProjectCoder::idFromValue(value, &id))
            m_pendingResourceIDs.append(id);
    }
    return true;
}
