#include "DMInspectorResourcesOutline.h"

#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"

#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace {

// One column: each row shows its box, its icon and its name side by side, so that the box
// a person ticks is the one beside their name.
constexpr int kColumn = 0;
constexpr int kObjectIDRole = Qt::UserRole;
constexpr int kIconSize = 16;
constexpr int kRowPadding = 3; // above and below each row's content, so that boxes never touch

class RowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 2 * kRowPadding);
    }
};

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
    setColumnCount(1);
    header()->hide();
    setItemDelegate(new RowDelegate(this));
    setIconSize(QSize(kIconSize, kIconSize));
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    // The boxes are the choices: no row is highlighted as chosen. The keyboard's row shows by its
    // focus frame.
    setSelectionMode(QAbstractItemView::NoSelection);
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
    if (task != m_task.lock().get()) {
        // Another task starts with no row reached: the last one's row would look like a choice.
        m_task = task ? task->shared_from_this() : nullptr;
        setCurrentIndex(QModelIndex());
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
                                            (*it)->data(kColumn, kObjectIDRole).toULongLong())
                                      : nullptr;
        if (!resource)
            continue;
        (*it)->setIcon(kColumn, iconOfResource(*resource));
        (*it)->setText(kColumn, resource->name());
        if (!resource->isGroup())
            (*it)->setCheckState(kColumn,
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
        row->setData(kColumn, kObjectIDRole, resource->objectID());
        row->setIcon(kColumn, iconOfResource(*resource));
        row->setText(kColumn, resource->name());
        if (resource->isGroup()) {
            // A group has no check box of its own.
            row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            addResources(task, resource->subitems().list(), row);
        } else {
            row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            row->setCheckState(kColumn, task.isAssignedToResource(resource.get()) ? Qt::Checked : Qt::Unchecked);
        }
    }
}

QTreeWidgetItem *DMInspectorResourcesOutline::itemForResource(const DMProjectResource *resource) const
{
    if (!resource)
        return nullptr;
    for (QTreeWidgetItemIterator it(const_cast<DMInspectorResourcesOutline *>(this)); *it; ++it)
        if ((*it)->data(kColumn, kObjectIDRole).toULongLong() == resource->objectID())
            return *it;
    return nullptr;
}

void DMInspectorResourcesOutline::itemDidChange(QTreeWidgetItem *item, int column)
{
    if (m_reloading || column != kColumn || !(item->flags() & Qt::ItemIsUserCheckable) || !onResourceToggled)
        return;
    const std::shared_ptr<DMProject> project = m_project.lock();
    const auto resource = project ? project->objectWithIDAndClass<DMProjectResource>(
                                        item->data(kColumn, kObjectIDRole).toULongLong())
                                  : nullptr;
    if (resource && !resource->isGroup())
        onResourceToggled(resource, item->checkState(kColumn) == Qt::Checked);
}

void DMInspectorResourcesOutline::keyPressEvent(QKeyEvent *event)
{
    // Return and Enter tick or clear the box of the row the keyboard is on, as Space does through
    // the item delegate.
    const int key = event->key();
    QTreeWidgetItem *item = currentItem();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && item
        && (item->flags() & Qt::ItemIsUserCheckable)) {
        item->setCheckState(kColumn, item->checkState(kColumn) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
