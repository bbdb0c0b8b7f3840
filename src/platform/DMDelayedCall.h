#pragma once

#include <QObject>

#include <functional>

// Runs fn once on the event loop after the delay, unless the context is destroyed first.
void performAfterDelay(QObject *context, double seconds, std::function<void()> fn);

// For objects that are not QObjects: a member whose destruction (or cancelAll) cancels every
// call it scheduled.
class DMDelayedCalls
{
public:
    DMDelayedCalls();
    ~DMDelayedCalls();
    DMDelayedCalls(const DMDelayedCalls &) = delete;
    DMDelayedCalls &operator=(const DMDelayedCalls &) = delete;

    void performAfterDelay(double seconds, std::function<void()> fn);
    void cancelAll();
    int pendingCount() const;

private:
    QObject *m_context;
};
