#pragma once

#include "DMProjectItem.h"
#include "DMProjectRelations.h"

class DMProjectResource;

// A task: an item with resources assigned. Each assignment makes the item's bar in that
// resource's row of the resource view (when a canvas factory is registered).
class DMProjectTask : public DMProjectItem
{
public:
    DMProjectTask();
    ~DMProjectTask() override;

    static QString staticClassName() { return QStringLiteral("DMProjectTask"); }
    QString className() const override { return staticClassName(); }
    bool isKindOfClass(const QString &className) const override;
    std::uint32_t kind() const override { return kDMProjectItem_Kind_Task; }
    bool acceptsResources() const override { return true; }

    // The assigned resources, in order of assignment (resources no longer alive are skipped).
    QList<std::shared_ptr<DMProjectResource>> concernedResources() const;
    bool isAssignedToResource(const DMProjectResource *resource) const;
    // Ignored for null, a group or a resource already assigned. When only one of the two is in
    // the project, that one lists the assignment once the other joins. Observable as
    // "concernedResources" (and the resource's "UIObjects"), undoable.
    void addResource(const std::shared_ptr<DMProjectResource> &resource);
    // Undo puts the assignment back at its places in both lists.
    void removeResource(const std::shared_ptr<DMProjectResource> &resource);

    // Its own cost and what each of its resources costs on it (DMProjectResource::costForTask).
    float cost() const override;
    // The cost the task carries itself, by its cost kind (DMProjectItemCostKind): the fixed
    // kDMProjectItem_Cost, or kDMProjectItem_Cost per hour of its duration, plus the extra fixed
    // cost of the other kinds; nothing of its resources.
    float ownCost() const;
    QList<std::shared_ptr<DMProjectItemUIObject>> uiObjects() const override;

    // The bar of this task in the resource's row, or null.
    std::shared_ptr<DMProjectItemUIObject> resourceUIObject(const DMProjectResource *resource) const;

    bool loadFields(const QVariantMap &dictionary, QString *problem) override;

protected:
    void notifyOtherUIObjects(void (DMProjectItemUIObject::*update)()) const override;
    QVariantMap fieldsRepresentation() const override;

private:
    friend class DMProjectResource;
    friend class DMProjectCoder;
    friend class DMProjectRelations;
    // A new assignment, listed at those places of the task's and the resource's lists.
    void assign(const std::shared_ptr<DMProjectResource> &resource, qsizetype taskIndex, qsizetype resourceIndex);
    qsizetype assignmentIndex(const DMProjectResource *resource) const;
    // Takes the assignment out of the task's list (its index, or -1), or lists it at index.
    qsizetype takeAssignment(const DMProjectAssignment *assignment);
    void putAssignment(const std::shared_ptr<DMProjectAssignment> &assignment, qsizetype index);
    // Puts the list in that order of resource IDs (see DMProjectRelations::restoreOrders).
    void reorderAssignments(const QList<quint64> &order);

    QList<std::shared_ptr<DMProjectAssignment>> m_assignments;
    // Resource IDs read by loadFields, resolved once every object exists.
    QList<quint64> m_pendingResourceIDs;
};
