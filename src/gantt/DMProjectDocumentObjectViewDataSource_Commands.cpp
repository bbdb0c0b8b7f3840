// DMProjectDocumentObjectViewDataSource: the commands of the bars' and links' context menus:
// converting a task or a milestone, embedding an item in a new process, and a link's line style
// and dash pattern.
#include "DMProjectDocumentObjectViewDataSource.h"

#include "DMBeep.h"
#include "DMGanttDocumentHooks.h"
#include "DMProjectDocumentHooks.h"
#include "DMLocalizedString.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectUndoStep.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewMenuItem.h"
#include "DMProjectViewObjectEditor.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectItem.h"
#include "DMUndoManager.h"

#include <QAction>
#include <QApplication>

namespace {

constexpr quint32 kConvertToProcess = DMFourCharCode("cnvt");
constexpr quint32 kEmbedInProcess = DMFourCharCode("embd");
constexpr quint32 kConvertToMilestone = DMFourCharCode("mile");
constexpr quint32 kConvertToTask = DMFourCharCode("task");
constexpr qint32 kConvertedTaskDuration = 43200;

struct LinkCopy
{
    std::shared_ptr<DMProjectItem> other;
    QVariantMap style;
    int kind = 0;
};

// The item's fields, ready to load into an item of another kind with a new identity.
QVariantMap conversionFields(const DMProjectItem &item)
{
    QVariantMap fields = item.dictionaryRepresentation();
    for (const char *key : {"objectID", "outboundDependencies", "resources", "subitems", "class"})
        fields.remove(QLatin1String(key));
    return fields;
}

// The inspector panel must not keep pointing at the converted item's bar, which goes with it.
void releaseFromInspector(const std::shared_ptr<DMProjectItem> &item)
{
    const auto bar = item ? std::dynamic_pointer_cast<DMProjectViewObject>(item->ganttUIObject()) : nullptr;
    if (!bar)
        return;
    for (const QString &name : {bar->objectEditorControllerClass(), DMProjectViewObjectEditor::kTaskInspectorClass})
        if (DMProjectViewObjectEditor *editor = DMProjectViewObjectEditor::sharedInstance(name))
            editor->editObject(nullptr);
}

} // namespace

bool DMProjectDocumentObjectViewDataSource::acceptsMenuCommands() const
{
    if (m_document.project() && viewModeForProjectView(canvas()) == kDMProjectViewMode_Gantt)
        return true;
    DMBeep();
    return false;
}

void DMProjectDocumentObjectViewDataSource::projectViewConvertTaskToProcessFromItem(QAction *sender)
{
    convertFromMenuItem(sender, false);
}

void DMProjectDocumentObjectViewDataSource::projectViewConvertMilestoneToProcessFromItem(QAction *sender)
{
    convertFromMenuItem(sender, true);
}

void DMProjectDocumentObjectViewDataSource::convertFromMenuItem(QAction *sender, bool milestoneAction)
{
    if (!acceptsMenuCommands())
        return;
    if (const std::shared_ptr<DMBaseObject> object = DMProjectViewMenuItem::representedObject(sender).object.lock())
        convertItemOfObjectWithTag(object, quint32(DMProjectViewMenuItem::tag(sender)), milestoneAction);
}

bool DMProjectDocumentObjectViewDataSource::convertItemOfObjectWithTag(const std::shared_ptr<DMBaseObject> &object, quint32 tag,
                                                   bool milestoneAction)
{
    const auto *bar = dynamic_cast<const DMUIProjectItem *>(object.get());
    const std::shared_ptr<DMProjectItem> item = bar ? bar->representedObject() : nullptr; // held throughout
    const std::shared_ptr<DMProject> project = m_document.project();
    DMUndoManager *undo = m_document.undoManager();
    if (!item || !project || !undo || !item->isAttached())
        return false;
    const bool toMilestone = tag == kConvertToMilestone && !milestoneAction;
    const bool toTask = tag == kConvertToTask && milestoneAction;
    if (tag != kConvertToProcess && tag != kEmbedInProcess && !toMilestone && !toTask)
        return false;
    // A cell being edited in the outline is finished first: the outline takes the focus back.
    if (DMOutlineView *outline = m_document.projectOutlineView())
        if (QWidget *focus = QApplication::focusWidget(); focus && focus != outline && outline->isAncestorOf(focus))
            outline->setFocus();

    const std::shared_ptr<DMProjectItem> parent = item->parentItem();
    DMProjectItem::ItemList &list = parent ? parent->subitems() : project->tasks();
    qsizetype index = list.indexOf(item);

    // Links and assignments as they are now, to rebuild them on a milestone or a task.
    QList<LinkCopy> outbound;
    QList<LinkCopy> inbound;
    for (const auto &dependency : item->outboundDependencies().list())
        outbound.append({dependency->toItem(), dependency->styleRepresentation(), dependency->kind()});
    for (const auto &dependency : item->inboundDependencies().list())
        inbound.append({dependency->fromItem(), dependency->styleRepresentation(), dependency->kind()});
    QList<std::shared_ptr<DMProjectResource>> resources;
    if (const auto task = std::dynamic_pointer_cast<DMProjectTask>(item))
        resources = task->concernedResources();

    std::shared_ptr<DMProjectItem> replacement;
    QVariantMap fields = conversionFields(*item);
    if (tag == kConvertToProcess) {
        replacement = std::make_shared<DMProjectProcess>();
    } else if (tag == kEmbedInProcess) {
        replacement = std::make_shared<DMProjectProcess>();
        fields = QVariantMap{{QStringLiteral("beginDate"), DMProjectCoder::dateValue(item->beginDate())},
                             {QStringLiteral("endDate"), DMProjectCoder::dateValue(item->endDate())}};
    } else {
        replacement = DMProjectCoder::newItemForClassName(toTask ? QStringLiteral("DMProjectTask")
                                                                 : QStringLiteral("DMProjectMilestone"));
        if (toTask) {
            // 43200 s of the task's own time: working time on the working schedule, so its end
            // is that much work after the milestone's date, not that many hours of the clock.
            fields.insert(QStringLiteral("endDate"), DMProjectCoder::dateValue(item->endDateWithBeginDateAndDurationWorkSlices(
                                                         item->beginDate(), kConvertedTaskDuration)));
            fields.insert(QStringLiteral("duration"), kConvertedTaskDuration);
        }
    }
    if (!replacement)
        return false;
    replacement->setProject(project);
    QString problem;
    replacement->loadFields(fields, &problem);
    if (!problem.isEmpty() && tag != kEmbedInProcess)
        qWarning("Converting \"%s\": %s", qPrintable(item->title()), qPrintable(problem));

    // The canvas selection and the inspector let go of the item before it leaves the tree.
    if (DMProjectView *view = canvas())
        view->deselectAll();
    releaseFromInspector(item);

    undo->beginUndoGrouping();
    const auto removeAllLinks = [&item] {
        // Copies: each removal changes the lists.
        const QList<std::shared_ptr<DMProjectDependency>> outboundLinks = item->outboundDependencies().list();
        const QList<std::shared_ptr<DMProjectDependency>> inboundLinks = item->inboundDependencies().list();
        for (const auto &dependency : outboundLinks)
            item->removeOutboundDependencyToItem(dependency->toItemPointer());
        for (const auto &dependency : inboundLinks)
            if (const auto source = dependency->fromItem())
                source->removeOutboundDependencyToItem(item.get());
    };
    if (tag == kConvertToProcess)
        removeAllLinks();
    list.removeOne(item);
    if (index < 0 || index > list.size())
        index = list.size();
    list.insert(index, replacement);
    if (tag == kEmbedInProcess) {
        replacement->subitems().append(item);
    } else if (toMilestone || toTask) {
        // Each link is rebuilt with its look; one the model refuses gets nothing copied.
        const auto copyLink = [](const std::shared_ptr<DMProjectDependency> &link, const LinkCopy &copy) {
            if (!link)
                return;
            link->loadStyle(copy.style);
            link->setKind(copy.kind);
        };
        removeAllLinks();
        for (const LinkCopy &copy : outbound)
            copyLink(replacement->addOutboundDependencyToItem(copy.other), copy);
        for (const LinkCopy &copy : inbound)
            copyLink(replacement->addInboundDependencyFromItem(copy.other), copy);
        if (const auto task = std::dynamic_pointer_cast<DMProjectTask>(replacement))
            for (const auto &resource : resources)
                task->addResource(resource);
    }
    undo->setActionName(DMLocalizedString("Convert"));
    undo->endUndoGrouping();

    if (DMOutlineView *outline = m_document.projectOutlineView())
        outline->deselectAll();
    m_document.updateItemsArrayWithTag(DMPage::ItemsTasksPage);
    reloadProjectOutlineAndRelayout();
    return true;
}

// The link menus: the menu item's tag is the new value, its represented object the link line.
// One undo step under the command's name.
void DMProjectDocumentObjectViewDataSource::changeDependencyFromMenuItem(QAction *sender, const QString &actionName,
                                                                         void (DMProjectDependency::*setter)(int))
{
    if (!acceptsMenuCommands())
        return;
    const auto line = std::dynamic_pointer_cast<DMUIProjectDependency>(DMProjectViewMenuItem::representedObject(sender).object.lock());
    const auto dependency = line ? line->representedObject() : nullptr;
    if (!dependency)
        return;
    DMProject_applyAsOneUndoStep(m_document.project(), actionName,
                                 [&] { ((*dependency).*setter)(DMProjectViewMenuItem::tag(sender)); });
    relayoutProjectView();
}

void DMProjectDocumentObjectViewDataSource::projectViewChangeDependencyLineStyle(QAction *sender)
{
    changeDependencyFromMenuItem(sender, DMLocalizedString("Change Link Style"), &DMProjectDependency::setLinkStyle);
}

void DMProjectDocumentObjectViewDataSource::projectViewChangeDependencyPatternStyle(QAction *sender)
{
    changeDependencyFromMenuItem(sender, DMLocalizedString("Change Link Pattern"), &DMProjectDependency::setDashStyle);
}
