#pragma once

#include <QTreeWidget>

#include <functional>

class DMProject;
class DMProjectResource;
class DMProjectTask;

// The resources tree of the task and milestone inspectors: the project's resources with their
// groups expanded, in the columns "state" (a check box, on when the task has the resource; groups
// have none), "icon" and "name". Checking or unchecking a resource is reported with the resource;
// the inspector makes the change.
class DMInspectorResourcesOutline : public QTreeWidget
{
    Q_OBJECT

public:
    explicit DMInspectorResourcesOutline(QWidget *parent = nullptr);

    // Rebuilds the tree from the task's project (empty without a task).
    void reloadForTask(const DMProjectTask *task);
    // The row showing the resource; null when none.
    QTreeWidgetItem *itemForResource(const DMProjectResource *resource) const;

    // Called when the user turns a resource's check box on (assign) or off.
    std::function<void(const std::shared_ptr<DMProjectResource> &resource, bool assign)> onResourceToggled;

private:
    void addResources(const DMProjectTask &task, const QList<std::shared_ptr<DMProjectResource>> &resources,
                      QTreeWidgetItem *parent);
    void itemDidChange(QTreeWidgetItem *item, int column);
    static void appendShape(const QList<std::shared_ptr<DMProjectResource>> &resources, QList<QVariant> *shape);
    void updateRows(const DMProjectTask &task);

    std::weak_ptr<DMProject> m_project;
    QList<QVariant> m_shape; // the tree's resources and groups as last built
    bool m_reloading = false;
};
