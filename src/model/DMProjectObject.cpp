#include "DMProjectObject.h"

#include "DMProject.h"
#include "DMProjectKeys.h"
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

void DMProjectObject::projectLayoutDidChange() const
{
    if (DMProject *project = m_attached ? projectPointer() : nullptr)
        project->layoutDidChange();
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
        setterName ? DMUndoManager::fenceOffKeyForObject(this, setterName) : QString());
}

bool DMProjectObject::attributeWouldChange(const QVariantMap &attributes, const QString &key, const QVariant &value)
{
    const bool had = attributes.contains(key);
    return had != value.isValid() || (had && attributes.value(key) != value);
}

void DMProjectObject::storeAttribute(DMObservable &owner, QVariantMap &attributes, const QString &key,
                                     const QVariant &value, const std::function<void()> &inside)
{
    const QString keyPath = DMProjectKey::attributes + QLatin1Char('.') + key;
    owner.willChangeValueForKey(keyPath);
    owner.willChangeValueForKey(DMProjectKey::attributes);
    if (value.isValid())
        attributes.insert(key, value);
    else
        attributes.remove(key);
    if (inside)
        inside();
    owner.didChangeValueForKey(DMProjectKey::attributes);
    owner.didChangeValueForKey(keyPath);
}

QStringList DMProjectObject::attributeKeysToSet(const QVariantMap &current, const QVariantMap &incoming)
{
    QStringList keys = current.keys();
    for (auto it = incoming.begin(); it != incoming.end(); ++it)
        if (!current.contains(it.key()))
            keys.append(it.key());
    return keys;
}
