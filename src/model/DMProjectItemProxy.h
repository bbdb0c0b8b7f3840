#pragma once

#include <QString>

#include <memory>

class DMProject;
class DMProjectObject;

// Names a model object by object ID, class and project, and finds it again at each use. Undo
// actions capture proxies, never objects, so an undo step outlives the objects it names and
// reaches their replacements (an object re-made by undoing its removal keeps its ID).
class DMProjectItemProxy
{
public:
    DMProjectItemProxy() = default;
    explicit DMProjectItemProxy(const DMProjectObject &object);
    DMProjectItemProxy(quint64 objectID, const QString &className, const std::weak_ptr<DMProject> &project);

    quint64 objectID() const { return m_objectID; }
    QString className() const { return m_className; }
    std::shared_ptr<DMProject> project() const { return m_project.lock(); }

    // The object with that ID and exactly that class in the project, or null.
    std::shared_ptr<DMProjectObject> resolve() const;
    template <typename T>
    std::shared_ptr<T> resolveAs() const
    {
        return std::dynamic_pointer_cast<T>(resolve());
    }

private:
    quint64 m_objectID = 0;
    QString m_className;
    std::weak_ptr<DMProject> m_project;
};
