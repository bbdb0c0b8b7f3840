#pragma once

#include "DMModalUI.h"

// The question a new begin date of a process asks (DMScheduler::RescheduleMode): its default
// button reschedules the process with its subitems, the other sets the begin date only.
DMModalUI::Alert DMRescheduleProcessAlert();
