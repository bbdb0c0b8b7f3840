#include "DMUIProjectMilestoneInspectorController.h"

#include "DMDate.h"
#include "DMInspectorForm.h"

#include <QLineEdit>

DMUIProjectMilestoneInspectorController *DMUIProjectMilestoneInspectorController::sharedInstance()
{
    return sharedInstanceOf<DMUIProjectMilestoneInspectorController>();
}

DMUIProjectMilestoneInspectorController::DMUIProjectMilestoneInspectorController()
    : DMUIProjectItemInspectorController(QStringLiteral("DMUIProjectMilestoneInspector"))
{
}

bool DMUIProjectMilestoneInspectorController::loadInterface()
{
    DMInspectorForm form(QStringLiteral("DMUIProjectMilestoneInspectorContainerView"));
    addTitleField(form);
    addBeginDatePicker(form, QStringLiteral("Date:"), QStringLiteral("datePicker"));
    addFillColorWell(form);
    addResourcesOutline(form);
    addNotes(form);
    QWidget *view = form.takeView();
    setContainerView(view, titleField());
    return true;
}

void DMUIProjectMilestoneInspectorController::beginDatePicked(DMProjectItem &item, const DMDate &date)
{
    if (date.isNull() || date.year() < 1970) {
        refuse();
        return;
    }
    applyDates(item, date, date);
}
