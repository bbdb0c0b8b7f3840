#pragma once

#include <functional>

// The system beep of a refused edit. Tests install a hook to count beeps.
void DMBeep();
void DMBeep_setHook(std::function<void()> hook); // empty restores the default
int DMBeep_count();                              // beeps since the process started
