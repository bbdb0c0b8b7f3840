#pragma once

#include "DMMutableArray.h"
#include "DMProjectObject.h"
#include "DMProjectRelations.h"

#include <QList>
#include <QVariantMap>

#include <memory>

class DMProjectItemUIObject;
class DMProjectTask;

// A resource (kind 0) or a resource group (kind 1) in the project's resource tree. A group's
// members are its subitems. Tasks and milestones are assigned through DMProjectTask::addResource;
// the resource keeps the assigned tasks (not owned) and the bars of its row in the resource
// view (its UIObjects).
class DMProjectResource : public DMProjectObject, private DMMutableArray<std::shared_ptr<DMProjectResource>>::Delegate
{
public:
    enum Kind { Resource = 0, Group = 1 };
    using ResourceList = DMMutableArray<std::shared_ptr<DMProjectResource>>;

    explicit DMProjectResource(int kind = Resource);
    ~DMProjectResource() override;

    static QString staticClassName() { return QStringLiteral("DMProjectResource"); }
    QString className() const override { return staticClassName(); }
    int kind() const { return m_kind; }
    bool isGroup() const { return m_kind == Group; }

    QString name() const { return m_name; }
    void setName(const QString &name);
    // A number that other planners keep with the resource; read and written, never used here.
    qint64 tag() const { return m_tag; }

    // kDMProjectResource_ keys; an invalid value removes the key. Human is YES by default.
    const QVariantMap &attributes() const { return m_attributes; }
    QVariant attribute(const QString &key) const { return m_attributes.value(key); }
    void setAttribute(const QString &key, const QVariant &value);
    void setAttributes(const QVariantMap &attributes);

    // A group's members. Inserting throws std::invalid_argument for a null resource, one that
    // already has a parent, the receiver or one of its ancestors, or into a plain resource.
    ResourceList &subitems() { return m_subitems; }
    const ResourceList &subitems() const { return m_subitems; }
    std::shared_ptr<DMProjectResource> parentItem() const { return m_parentItem.lock(); }
    DMProjectResource *parentItemPointer() const { return m_parentItemRaw; }

    // The tasks and milestones assigned to the resource (a group: to none of its own).
    QList<std::shared_ptr<DMProjectTask>> assignedTasks() const;
    // The bars of the resource's row in the resource view.
    QList<std::shared_ptr<DMProjectItemUIObject>> UIObjects() const;
    // Number of lanes of its row in the resource view (at least 0), observable "subRowCount".
    int subRowCount() const { return m_subRowCount; }
    void setSubRowCount(int count);

    // The mean progress of its tasks (a group: of its members' tasks), its cost, and the text
    // "%d tasks, %d milestones (%.0f%%)". Any output may be null.
    void computeProgressCostInfoString(float *progress, float *cost, QString *infoString) const;
    float progress() const;
    float cost() const;
    // The resource's cost for one task, its share of the task's cost: hourly rate x working
    // hours, daily rate x working days, or the rate once for a cost that is not rate-based;
    // nothing on a milestone.
    float costForTask(const DMProjectTask &task) const;

    // Removes the resource (a group: each member) from every task it is assigned to.
    void deleteAllAssignments();

    // {"class", "objectID", "kind", "tag" (when not 0), "name", "attributes" (serialized),
    // "subRowCount" (when above 0), "subitems" (a group's members, when there are some)}.
    QVariantMap dictionaryRepresentation() const override;
    // Fills a new resource or group (and its members) from that form. With ignoreObjectID a new
    // object ID is drawn for each. Loaded resources are also added to the project's
    // objectIDSortedResourcesArray while one is set. Returns false for an unusable dictionary.
    bool loadDictionaryRepresentationProjectIgnoreObjectID(const QVariantMap &dictionary,
                                                           const std::shared_ptr<DMProject> &project,
                                                           bool ignoreObjectID);
    static std::shared_ptr<DMProjectResource> resourceWithDictionaryRepresentation(const QVariantMap &dictionary,
                                                                                   const std::shared_ptr<DMProject> &project,
                                                                                   bool ignoreObjectID);

private:
    friend class DMProject;
    friend class DMProjectTask;
    friend class DMProjectCoder;
    friend class DMProjectRelations;

    void mutableArrayWillChange(ResourceList &array, const ResourceList::Change &change) override;
    void mutableArrayDidChange(ResourceList &array, const ResourceList::Change &change) override;
    // Takes the assignment out of the resource's list (its index, or -1), or lists it at index.
    qsizetype takeAssignment(const DMProjectAssignment *assignment);
    void putAssignment(const std::shared_ptr<DMProjectAssignment> &assignment, qsizetype index);
    // Puts the list in that order of task IDs (see DMProjectRelations::restoreOrders).
    void reorderAssignments(const QList<quint64> &order);
    // False for a dictionary that is not a resource's; *problem names what was mended.
    bool loadFields(const QVariantMap &dictionary, QString *problem = nullptr);

    int m_kind = Resource;
    qint64 m_tag = 0;
    QString m_name;
    QVariantMap m_attributes;
    ResourceList m_subitems;
    std::weak_ptr<DMProjectResource> m_parentItem;
    DMProjectResource *m_parentItemRaw = nullptr;
    QList<std::shared_ptr<DMProjectAssignment>> m_tasks;
    int m_subRowCount = 0;
    QList<quint64> m_orderBefore;
};
