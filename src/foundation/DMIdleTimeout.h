#pragma once

#include <QVariant>

#include <functional>

// The idle-timeout scheduler: debounced deferred calls on the main event loop, keyed by the
// receiver and the call's name. A request whose key already has a pending call moves that call's
// deadline to now + delay (and replaces its argument) instead of queueing a second call. Due
// calls are fired by a tick every 0.02 s, a delayed call on the deferred-work clock
// (DMDeferredWorkClock), so tests advance time instead of waiting. Every receiver that schedules
// such calls cancels them in its destructor with destroyPendingIdleInvocations(this).

void performSelectorAfterIdleTimeout(const void *receiver, const char *selector, std::function<void()> call, double delaySeconds);
void performSelectorWithObjectAfterIdleTimeout(const void *receiver, const char *selector,
                                               std::function<void(const QVariant &)> call,
                                               const QVariant &argument, double delaySeconds);
void destroyPendingIdleInvocations(const void *receiver);
bool hasPendingIdleInvocation(const void *receiver, const char *selector);
