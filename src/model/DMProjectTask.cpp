#include "DMProjectTask.h"

#include "DMDictionaryAccess.h"
#include "DMProject.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectResource.h"

DMProjectTask::DMProjectTask()
{
    setFillColor(defaultFillColorForKind(kDMProjectItem_Kind_Task));
}

DMProjectTask::~DMProjectTask()
{
    for (const Assignment &assignment : m_assignments)
        if (const auto resource = assignment.resource.lock())
            resource->detachTask(this);
}

bool DMProjectTask::isKindOfClass(const QString &className) const
{
    return className == staticClassName() || DMProjectItem::isKindOfClass(className);
}

QList<std::shared_ptr<DMProjectResource>> DMProjectTask::concernedResources() const
{
    QList<std::shared_ptr<DMProjectResource>> resources;
    for (const Assignment &assignment : m_assignments)
        if (auto resource = assignment.resource.lock())
            resources.append(resource);
    return resources;
}

qsizetype DMProjectTask::assignmentIndex(const DMProjectResource *resource) const
{
    for (qsizetype i = 0; i < m_assignments.size(); ++i)
        if (m_assignments.at(i).raw == resource && !m_assignments.at(i).resource.expired())
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
    registerUndo("addResource", [id = resource->objectID()](DMProjectObject &o) {
        auto &task = static_cast<DMProjectTask &>(o);
        if (const DMProject *project = task.projectPointer())
            task.removeResource(project->objectWithIDAndClass<DMProjectResource>(id));
    });
    insertAssignment(resource, m_assignments.size());
}

void DMProjectTask::removeResource(const std::shared_ptr<DMProjectResource> &resource)
{
    const qsizetype index = resource ? assignmentIndex(resource.get()) : -1;
    if (index < 0)
        return;
    registerUndo("removeResource", [id = resource->objectID(), index](DMProjectObject &o) {
        auto &task = static_cast<DMProjectTask &>(o);
        const DMProject *project = task.projectPointer();
        auto resource = project ? project->objectWithIDAndClass<DMProjectResource>(id) : nullptr;
        if (!resource || task.isAssignedToResource(resource.get()))
            return;
        task.registerUndo("addResource", [id](DMProjectObject &o2) {
            auto &t = static_cast<DMProjectTask &>(o2);
            if (const DMProject *p = t.projectPointer())
                t.removeResource(p->objectWithIDAndClass<DMProjectResource>(id));
        });
        task.insertAssignment(resource, qMin(index, task.m_assignments.size()));
    });
    removeAssignmentAt(index);
}

void DMProjectTask::insertAssignment(const std::shared_ptr<DMProjectResource> &resource, qsizetype index)
{
    const QList<qsizetype> indexes{index};
    willChangeList(DMProjectKey::concernedResources, DMChange::Insertion, indexes);
    Assignment assignment;
    assignment.resource = resource;
    assignment.raw = resource.get();
    assignment.uiObject = newUIObjectForViewMode(1);
    if (assignment.uiObject)
        assignment.uiObject->setResourceViewFields(0, resource.get());
    m_assignments.insert(index, assignment);
    resource->attachTask(this, assignment.uiObject);
    didChangeList(DMProjectKey::concernedResources, DMChange::Insertion, indexes);
}

void DMProjectTask::removeAssignmentAt(qsizetype index)
{
    const QList<qsizetype> indexes{index};
    willChangeList(DMProjectKey::concernedResources, DMChange::Removal, indexes);
    const Assignment assignment = m_assignments.takeAt(index);
    if (const auto resource = assignment.resource.lock())
        resource->detachTask(this);
    didChangeList(DMProjectKey::concernedResources, DMChange::Removal, indexes);
}

float DMProjectTask::cost() const
{
    if (integerForKey(attributes(), kDMProjectItem_CostKind) != 2)
        return DMProjectItem::cost();
    double cost = 0.0;
    for (const auto &resource : concernedResources())
        cost += resource->costForTask(*this);
    if (boolForKey(attributes(), kDMProjectItem_HasFixedCost))
        cost += doubleForKey(attributes(), kDMProjectItem_FixedCost);
    return float(cost);
}

QList<std::shared_ptr<DMProjectItemUIObject>> DMProjectTask::uiObjects() const
{
    QList<std::shared_ptr<DMProjectItemUIObject>> objects = DMProjectItem::uiObjects();
    for (const Assignment &assignment : m_assignments)
        if (assignment.uiObject)
            objects.append(assignment.uiObject);
    return objects;
}

std::shared_ptr<DMProjectItemUIObject> DMProjectTask::resourceUIObject(const DMProjectResource *resource) const
{
    const qsizetype index = assignmentIndex(resource);
    return index < 0 ? nullptr : m_assignments.at(index).uiObject;
}

QVariantMap DMProjectTask::fieldsRepresentation() const
{
    QVariantMap d = DMProjectItem::fieldsRepresentation();
    QVariantList ids;
    for (const Assignment &assignment : m_assignments)
        if (const auto resource = assignment.resource.lock())
            ids.append(qint64(resource->objectID()));
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
        bool ok = false;
        const qint64 id = value.toLongLong(&ok);
        if (ok && id > 0)
            m_pendingResourceIDs.append(quint64(id));
    }
    return true;
}
