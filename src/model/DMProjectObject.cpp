#include "DMProjectObject.h"

#include "DMProject.h"
#include "DMProjectItemProxy.h"
#include "DMUndoManager.h"

DMProjectObject::~DMProjectObject() = default;

bool DMProjectObject::isKindOfClass(const QString &className) const
{
    return className == this->className();
}

void DMProjectObject::setObjectID(quint64 objectID)
{
    if (objectID == m_objectID)
        return;
    DMProject *project = projectPointer();
    const bool indexed = m_attached && project;
    if (indexed)
        project->unindexObject(this);
    m_objectID = objectID;
    if (project)
        project->noteObjectID(objectID);
    if (indexed)
        project->indexObject(this);
}

DMProject *DMProjectObject::projectPointer() const
{
    return m_project.lock().get();
}

void DMProjectObject::setProject(const std::shared_ptr<DMProject> &project)
{
    m_project = project;
    if (project && m_objectID == 0)
        m_objectID = project->nextObjectID();
}

DMUndoManager *DMProjectObject::undoManager() const
{
    if (!m_attached)
        return nullptr;
    const std::shared_ptr<DMProject> project = m_project.lock();
    return project ? project->undoManagerForRegistration() : nullptr;
}

void DMProjectObject::registerUndo(const char *setterName, std::function<void(DMProjectObject &)> action) const
{
    DMUndoManager *manager = undoManager();
    if (!manager)
        return;
    const DMProjectItemProxy proxy(*this);
    manager->registerUndo(
        [proxy, action = std::move(action)] {
            if (const std::shared_ptr<DMProjectObject> object = proxy.resolve())
                action(*object);
        },
        DMUndoManager::fenceOffKeyForObject(this, setterName));
}
