#pragma once

#include <QTreeWidget>

#include <functional>

class DMProject;
class DMProjectObject;
class DMProjectResource;
class DMProjectTask;

// The resources tree of the task and milestone inspectors: the project's resources with their
// groups expanded, each row showing a check box (on when the task has the resource; groups have
// none), the icon and the name. A click on the box, or Space, Return or Enter on the row the
// keyboard is on, checks or unchecks it; that is reported with the resource, and the inspector
// makes the change.
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

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void addResources(const DMProjectTask &task, const QList<std::shared_ptr<DMProjectResource>> &resources,
                      QTreeWidgetItem *parent);
    void itemDidChange(QTreeWidgetItem *item, int column);
    static void appendShape(const QList<std::shared_ptr<DMProjectResource>> &resources, QList<QVariant> *shape);
    void updateRows(const DMProjectTask &task);

    std::weak_ptr<DMProject> m_project;
    std::weak_ptr<const DMProjectObject> m_task; // the task shown last
    QList<QVariant> m_shape; // the tree's resources and groups as last built
    bool m_reloading = false;
};
