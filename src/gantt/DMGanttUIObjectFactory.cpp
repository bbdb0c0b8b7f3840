#include "DMGanttUIObjectFactory.h"

#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectViewConstants.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectDependencyInspectorController.h"
#include "DMUIProjectEvent.h"
#include "DMUIProjectEventInspectorController.h"
#include "DMUIProjectItemGroup.h"
#include "DMUIProjectMilestone.h"
#include "DMUIProjectMilestoneInspectorController.h"
#include "DMUIProjectProcess.h"
#include "DMUIProjectProcessInspectorController.h"
#include "DMUIProjectTask.h"
#include "DMUIProjectTaskInspectorController.h"

std::shared_ptr<DMProjectItemUIObject> DMGanttUIObjectFactory::newUIObjectForItem(DMProjectItem &item, int viewMode)
{
    // The object refers to its item weakly; an item that no shared owner holds yet gets none.
    const auto owned = std::static_pointer_cast<DMProjectItem>(item.weak_from_this().lock());
    if (!owned)
        return nullptr;

    std::shared_ptr<DMUIProjectItem> object;
    const QRectF frame(0, 0, 10, 10);
    switch (item.kind()) {
    case kDMProjectItem_Kind_Task:
        object = std::make_shared<DMUIProjectTask>(frame);
        break;
    case kDMProjectItem_Kind_Milestone:
        object = std::make_shared<DMUIProjectMilestone>(frame);
        break;
    case kDMProjectItem_Kind_Process:
        object = std::make_shared<DMUIProjectProcess>(frame);
        break;
    case kDMProjectItem_Kind_Event:
        object = std::make_shared<DMUIProjectEvent>(frame);
        break;
    case kDMProjectItem_Kind_ItemGroup:
        object = std::make_shared<DMUIProjectItemGroup>(frame);
        break;
    default:
        object = std::make_shared<DMUIProjectItem>(frame);
        break;
    }
    object->setViewModeVisibility(viewMode);
    // Its colours before its item: the canvas learns of the new bar once, from its time span.
    if (item.fillColor().isValid())
        object->setFillColor(item.fillColor());
    object->setRepresentedObject(owned);
    object->representedObject_timeSpanChanged();
    object->updateUIFeatures();
    return object;
}

std::shared_ptr<DMProjectDependencyUIObject> DMGanttUIObjectFactory::newUIObjectForDependency(
    DMProjectDependency &dependency)
{
    const auto owned = std::static_pointer_cast<DMProjectDependency>(dependency.weak_from_this().lock());
    if (!owned)
        return nullptr;
    auto line = std::make_shared<DMUIProjectDependency>();
    line->setViewModeVisibility(kDMProjectViewMode_Gantt);
    line->setRepresentedObject(owned);
    return line;
}

void DMGanttUIObjectFactory::registerWithModel()
{
    static DMGanttUIObjectFactory factory;
    DMProjectUIObjectFactory::registerFactory(&factory);
    // The objects' inspectors, each made the first time an object asks for it.
    const auto registerInspector = [](const QString &className, auto sharedInstance) {
        DMProjectViewObjectEditor::registerSharedInstanceMaker(
            className, [sharedInstance]() -> DMProjectViewObjectEditor * { return sharedInstance(); });
    };
    registerInspector(DMUIProjectTaskInspectorController::className(), &DMUIProjectTaskInspectorController::sharedInstance);
    registerInspector(DMUIProjectMilestoneInspectorController::className(),
                      &DMUIProjectMilestoneInspectorController::sharedInstance);
    registerInspector(DMUIProjectProcessInspectorController::className(),
                      &DMUIProjectProcessInspectorController::sharedInstance);
    registerInspector(DMUIProjectEventInspectorController::className(), &DMUIProjectEventInspectorController::sharedInstance);
    registerInspector(DMUIProjectDependencyInspectorController::className(),
                      &DMUIProjectDependencyInspectorController::sharedInstance);
}

void DMGanttUIObjectFactory::resetDefaultTitleAttributes()
{
    // Tasks, processes, groups and plain bars share the item bar's attributes.
    DMUIProjectItem::resetTitleTextAttributes();
    DMUIProjectMilestone::resetTitleTextAttributes();
    DMUIProjectEvent::resetTitleTextAttributes();
}
