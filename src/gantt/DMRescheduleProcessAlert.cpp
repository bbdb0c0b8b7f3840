#include "DMRescheduleProcessAlert.h"

#include "DMLocalizedString.h"
#include "DMScheduler.h"

DMModalUI::Alert DMRescheduleProcessAlert()
{
    DMModalUI::Alert alert;
    alert.title = DMLocalizedString("Reschedule Process");
    alert.messageText = DMLocalizedString(DMScheduler::kRescheduleProcessMessage);
    alert.informativeText = DMLocalizedString("Choose 'Reschedule' to shift child items in time accordingly.\n"
                                              "Choose 'Set Begin Date' to move this process' begin date only.");
    alert.buttons = {DMLocalizedString(DMScheduler::kRescheduleButton), DMLocalizedString(DMScheduler::kSetBeginDateButton)};
    return alert;
}
