#include "DMProjectItemProxy.h"

#include "DMProject.h"
#include "DMProjectObject.h"

DMProjectItemProxy::DMProjectItemProxy(const DMProjectObject &object)
    : m_objectID(object.objectID()), m_className(object.className()), m_project(object.project())
{
}

DMProjectItemProxy::DMProjectItemProxy(quint64 objectID, const QString &className, const std::weak_ptr<DMProject> &project)
    : m_objectID(objectID), m_className(className), m_project(project)
{
}

std::shared_ptr<DMProjectObject> DMProjectItemProxy::resolve() const
{
    const std::shared_ptr<DMProject> project = m_project.lock();
    if (!project)
        return nullptr;
    std::shared_ptr<DMProjectObject> object = project->indexedObject(m_objectID);
    if (!object || object->className() != m_className)
        return nullptr;
    return object;
}
