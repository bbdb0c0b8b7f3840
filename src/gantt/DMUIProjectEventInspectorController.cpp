#include "DMUIProjectEventInspectorController.h"

#include "DMInspectorForm.h"

#include <QLineEdit>

DMUIProjectEventInspectorController *DMUIProjectEventInspectorController::sharedInstance()
{
    return sharedInstanceOf<DMUIProjectEventInspectorController>();
}

DMUIProjectEventInspectorController::DMUIProjectEventInspectorController()
    : DMUIProjectItemInspectorController(QStringLiteral("DMUIProjectEventInspector"))
{
}

bool DMUIProjectEventInspectorController::loadInterface()
{
    DMInspectorForm form(QStringLiteral("DMUIProjectEventInspectorContainerView"));
    addTitleField(form);
    addBeginDatePicker(form, QStringLiteral("Begin:"), QStringLiteral("beginDatePicker"));
    addEndDatePicker(form);
    addDurationFields(form);
    addFillColorWell(form);
    addNotes(form);
    QWidget *view = form.takeView();
    setContainerView(view, titleField());
    return true;
}
