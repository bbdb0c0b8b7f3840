#pragma once

#include "DMObservable.h"
#include "DMPropertyList.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>

class DMProject;
class DMUndoManager;

// Base of every model object that has an identity in a project: items, dependencies,
// resources, to-dos and the two containers. Always owned through std::shared_ptr.
//
// Text entering the model (titles, names, attribute and setting strings, set or loaded) is kept
// as every file can store it (DMPropertyList::storableString: control characters other than
// tab, line feed and carriage return dropped, an unpaired surrogate made U+FFFD), so that a
// save never fails for what the user typed, pasted or imported.
class DMProjectObject : public DMObservable, public std::enable_shared_from_this<DMProjectObject>
{
public:
    ~DMProjectObject() override;

    // The class name written under "class" and used by proxies and objectWithIDAndClass.
    virtual QString className() const = 0;
    // True for the object's class and the classes it derives from ("DMProjectItem" for a task).
    virtual bool isKindOfClass(const QString &className) const;

    quint64 objectID() const { return m_objectID; }
    // Draws a new ID from the project when the object has none. Loading and undo set IDs with
    // setObjectID, which the project's index follows.
    void setObjectID(quint64 objectID);

    std::shared_ptr<DMProject> project() const { return m_project.lock(); }
    DMProject *projectPointer() const;
    // Whether the object's project is that one, without taking a reference to it.
    bool isInProject(const std::shared_ptr<DMProject> &project) const
    {
        return project && !m_project.owner_before(project) && !project.owner_before(m_project);
    }
    // Sets the project (before the object joins one of its lists); draws an object ID from it
    // when the object has none yet.
    virtual void setProject(const std::shared_ptr<DMProject> &project);

    // True while the object is part of its project's trees (and in its ID index).
    bool isAttached() const { return m_attached; }

    virtual QVariantMap dictionaryRepresentation() const = 0;

protected:
    DMProjectObject() = default;

    // The project's undo manager when undo registration is open, else null.
    DMUndoManager *undoManager() const;
    // Registers an undo action that resolves this object by ID and class at each use (the undo
    // stack holds no model object). For a setter that restores one value: its fence-off key is
    // this object and the setter (with an attribute's key), so the many sets of one drag fold
    // into the action that restores the value before the drag.
    void registerUndo(const char *setterName, std::function<void(DMProjectObject &)> action) const;
    // For every other change (a link or an assignment made or removed): never folded.
    void registerInverse(std::function<void(DMProjectObject &)> action) const { registerUndo(nullptr, std::move(action)); }
    // Announces a change of one key around the assignment.
    template <typename T, typename V>
    bool assign(T &field, const V &value, const QString &key)
    {
        if (field == value)
            return false;
        willChangeValueForKey(key);
        field = value;
        didChangeValueForKey(key);
        return true;
    }

    // Sets one entry of an attribute dictionary (an invalid value removes it), announcing
    // "attributes.<key>" and "attributes" around it, with `setter` and the old value as its undo.
    // Texts are stored as every file can hold them (DMPropertyList::storableValue). False when
    // the dictionary already held that value.
    template <typename Self>
    bool assignAttribute(QVariantMap &attributes, const QString &keyText, const QVariant &valueText,
                         void (Self::*setter)(const QString &, const QVariant &))
    {
        const QString key = DMPropertyList::storableString(keyText);
        const QVariant value = DMPropertyList::storableValue(valueText);
        if (!attributeWouldChange(attributes, key, value))
            return false;
        registerUndo(qPrintable(QStringLiteral("setAttribute ") + key),
                     [setter, key, old = attributes.value(key)](DMProjectObject &o) { (static_cast<Self &>(o).*setter)(key, old); });
        storeAttribute(*this, attributes, key, value);
        projectLayoutDidChange();
        return true;
    }

    // Tells the project that its views may have to lay out again (DMProject::layoutStamp).
    void projectLayoutDidChange() const;
    // The pieces of assignAttribute, shared with the project (which registers its own undo).
    static bool attributeWouldChange(const QVariantMap &attributes, const QString &key, const QVariant &value);
    // Stores the entry inside the announcements; `inside` runs before the closing ones.
    static void storeAttribute(DMObservable &owner, QVariantMap &attributes, const QString &key, const QVariant &value,
                               const std::function<void()> &inside = {});
    // What setAttributes walks to make the dictionary equal `incoming`: the current keys (those
    // missing from it are removed), then the new ones.
    static QStringList attributeKeysToSet(const QVariantMap &current, const QVariantMap &incoming);

private:
    friend class DMProject;
    std::weak_ptr<DMProject> m_project;
    quint64 m_objectID = 0;
    bool m_attached = false;
};
