#include "DMUIProjectProcessInspectorController.h"

#include "DMGanttDocumentHooks.h"
#include "DMInspectorForm.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMRescheduleProcessAlert.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>

DMUIProjectProcessInspectorController *DMUIProjectProcessInspectorController::sharedInstance()
{
    return sharedInstanceOf<DMUIProjectProcessInspectorController>();
}

DMUIProjectProcessInspectorController::DMUIProjectProcessInspectorController()
    : DMUIProjectItemInspectorController(QStringLiteral("DMUIProjectProcessInspector"))
{
}

bool DMUIProjectProcessInspectorController::loadInterface()
{
    DMInspectorForm form(QStringLiteral("DMUIProjectProcessInspectorContainerView"));
    addTitleField(form);
    addBeginDatePicker(form, QStringLiteral("Begin:"), QStringLiteral("beginDatePicker"));
    addEndDatePicker(form);
    addDurationFields(form);
    addUseWorkingScheduleCheckBox(form);
    m_fitContainedItemsCheckBox =
        form.addCheckBox(QStringLiteral("Fit contained items"), QStringLiteral("fitContainedItemsCheckBox"));
    connectControl(m_fitContainedItemsCheckBox);
    addFillColorWell(form);
    addProgress(form);
    addNotes(form);
    QWidget *view = form.takeView();
    setContainerView(view, titleField());
    return true;
}

void DMUIProjectProcessInspectorController::refreshUI()
{
    DMUIProjectItemInspectorController::refreshUI();
    const std::shared_ptr<DMProjectItem> item = editedItem();
    if (!item)
        return;
    const bool fits = item->attribute(kDMProjectItem_ExpandToFitSubitems).toBool();
    m_fitContainedItemsCheckBox->setChecked(fits);
    // The pickers sit in rows with their calendar buttons, which go with them.
    for (QDateTimeEdit *picker : {beginDatePicker(), endDatePicker()})
        picker->parentWidget()->setEnabled(!fits);
}

void DMUIProjectProcessInspectorController::commonCallback(QObject *sender)
{
    const std::shared_ptr<DMProjectItem> item = editedItem();
    if (!item || !sender)
        return;
    if (sender != m_fitContainedItemsCheckBox) {
        DMUIProjectItemInspectorController::commonCallback(sender);
        return;
    }
    const bool fits = m_fitContainedItemsCheckBox->isChecked();
    applyChange("Fit Contained Items", [&item, fits] {
        item->setAttribute(kDMProjectItem_ExpandToFitSubitems, fits);
        return 0;
    });
}

void DMUIProjectProcessInspectorController::beginDatePicked(DMProjectItem &item, const DMDate &begin)
{
    if (begin == item.beginDate())
        return;
    if (begin.isNull() || begin.year() < 1970) {
        refuse();
        return;
    }
    const DMDate end = endDateKeepingDuration(item, begin);
    DMGanttDocumentHooks *hooks = document();
    const int answer = DMModalUI::instance().runAlert(DMRescheduleProcessAlert(), hooks ? hooks->windowForSheet() : nullptr);
    // The question may have let the object go (its document closed meanwhile).
    if (editedItem().get() != &item) {
        refreshControls();
        return;
    }
    if (answer == DMModalUI::DefaultReturn)
        applyChange("Reschedule Process", [&item, begin, end] {
            return item.validateTimeShiftAndSetBeginDateAndEndDate(begin, end);
        });
    else if (answer == DMModalUI::AlternateReturn)
        applyDates(item, begin, end);
    else
        refreshControls();
}
