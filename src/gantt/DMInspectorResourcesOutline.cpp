#include "DMInspectorResourcesOutline.h"

#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"

#include <QHeaderView>
#include <QImage>

namespace {

enum Column { StateColumn, IconColumn, NameColumn };
constexpr int kObjectIDRole = Qt::UserRole;
constexpr int kIconSize = 16;

QIcon iconOfResource(const DMProjectResource &resource)
{
    const QVariant value = resource.attribute(kDMProjectResource_Icon);
    QImage image;
    if (value.metaType() == QMetaType::fromType<QImage>())
        image = value.value<QImage>();
    else if (value.metaType() == QMetaType::fromType<QByteArray>())
        image = QImage::fromData(value.toByteArray());
    // An icon that does not read shows none.
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace

DMInspectorResourcesOutline::DMInspectorResourcesOutline(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("resourcesOutlineView"));
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("state"), QStringLiteral("icon"), QStringLiteral("name")});
    header()->hide();
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(StateColumn, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(IconColumn, QHeaderView::Fixed);
    header()->resizeSection(IconColumn, kIconSize + 8);
    setIconSize(QSize(kIconSize, kIconSize));
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemChanged, this, &DMInspectorResourcesOutline::itemDidChange);
}

void DMInspectorResourcesOutline::reloadForTask(const DMProjectTask *task)
{
    const std::shared_ptr<DMProject> project = task ? task->project() : nullptr;
    QList<QVariant> shape;
    if (project)
        appendShape(project->resources().list(), &shape);
    m_reloading = true;
    if (project != m_project.lock() || shape != m_shape) {
        // The rows are rebuilt only when the tree itself changed: a check box toggled by the user
        // refreshes the inspector from inside the tree's own signal, where its rows must stay.
        clear();
        m_project = project;
        m_shape = shape;
        if (project)
            addResources(*task, project->resources().list(), nullptr);
        expandAll();
    } else if (task) {
        updateRows(*task);
    }
    m_reloading = false;
}

void DMInspectorResourcesOutline::appendShape(const QList<std::shared_ptr<DMProjectResource>> &resources,
                                              QList<QVariant> *shape)
{
    for (const auto &resource : resources) {
        if (!resource)
            continue;
        shape->append(resource->objectID());
        shape->append(resource->isGroup());
        appendShape(resource->subitems().list(), shape);
        shape->append(QVariant()); // the end of the group
    }
}

void DMInspectorResourcesOutline::updateRows(const DMProjectTask &task)
{
    const std::shared_ptr<DMProject> project = m_project.lock();
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const auto resource = project ? project->objectWithIDAndClass<DMProjectResource>(
                                            (*it)->data(StateColumn, kObjectIDRole).toULongLong())
                                      : nullptr;
        if (!resource)
            continue;
        (*it)->setIcon(IconColumn, iconOfResource(*resource));
        (*it)->setText(NameColumn, resource->name());
        if (!resource->isGroup())
            (*it)->setCheckState(StateColumn,
                                 task.isAssignedToResource(resource.get()) ? Qt::Checked : Qt::Unchecked);
    }
}

void DMInspectorResourcesOutline::addResources(const DMProjectTask &task,
                                               const QList<std::shared_ptr<DMProjectResource>> &resources,
                                               QTreeWidgetItem *parent)
{
    for (const auto &resource : resources) {
        if (!resource)
            continue;
        auto *row = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        row->setData(StateColumn, kObjectIDRole, resource->objectID());
        row->setIcon(IconColumn, iconOfResource(*resource));
        row->setText(NameColumn, resource->name());
        if (resource->isGroup()) {
            // A group has no check box of its own.
            row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            addResources(task, resource->subitems().list(), row);
        } else {
            row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            row->setCheckState(StateColumn, task.isAssignedToResource(resource.get()) ? Qt::Checked : Qt::Unchecked);
        }
    }
}

QTreeWidgetItem *DMInspectorResourcesOutline::itemForResource(const DMProjectResource *resource) const
{
    if (!resource)
        return nullptr;
    for (QTreeWidgetItemIterator it(const_cast<DMInspectorResourcesOutline *>(this)); *it; ++it)
        if ((*it)->data(StateColumn, kObjectIDRole).toULongLong() == resource->objectID())
            return *it;
    return nullptr;
}

void DMInspectorResourcesOutline::itemDidChange(QTreeWidgetItem *item, int column)
{
    if (m_reloading || column != StateColumn || !(item->flags() & Qt::ItemIsUserCheckable) || !onResourceToggled)
        return;
    const std::shared_ptr<DMProject> project = m_project.lock();
    const auto resource = project ? project->objectWithIDAndClass<DMProjectResource>(
                                        item->data(StateColumn, kObjectIDRole).toULongLong())
                                  : nullptr;
    if (resource && !resource->isGroup())
        onResourceToggled(resource, item->checkState(StateColumn) == Qt::Checked);
}
