#pragma once

#include "DMProjectItem.h"

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
    // Ignored when already assigned or null; observable as "concernedResources", undoable.
    void addResource(const std::shared_ptr<DMProjectResource> &resource);
    void removeResource(const std::shared_ptr<DMProjectResource> &resource);

    float cost() const override;
    QList<std::shared_ptr<DMProjectItemUIObject>> uiObjects() const override;
    // The bar of this task in the resource's row, or null.
    std::shared_ptr<DMProjectItemUIObject> resourceUIObject(const DMProjectResource *resource) const;

    bool loadFields(const QVariantMap &dictionary, QString *problem) override;

protected:
    QVariantMap fieldsRepresentation() const override;

private:
    friend class DMProjectResource;
    friend class DMProjectCoder;
    struct Assignment
    {
        std::weak_ptr<DMProjectResource> resource;
        const DMProjectResource *raw = nullptr;
        std::shared_ptr<DMProjectItemUIObject> uiObject; // its bar in the resource view
    };
    void insertAssignment(const std::shared_ptr<DMProjectResource> &resource, qsizetype index);
    void removeAssignmentAt(qsizetype index);
    qsizetype assignmentIndex(const DMProjectResource *resource) const;

    QList<Assignment> m_assignments;
    // Resource IDs read by loadFields, resolved once every object exists.
    QList<quint64> m_pendingResourceIDs;
};
