#include "DMDelayedCall.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int delayMilliseconds(double seconds)
{
    if (!(seconds > 0))
        return 0;
    return int(std::min(std::llround(seconds * 1000.0), qint64(std::numeric_limits<int>::max())));
}

} // namespace

// The timer is connected through the context, so Qt drops the call when the context dies.
// Without a context the call belongs to the application.
void performAfterDelay(QObject *context, double seconds, std::function<void()> fn)
{
    if (!fn)
        return;
    if (!context)
        context = QCoreApplication::instance();
    QTimer::singleShot(delayMilliseconds(seconds), context, std::move(fn));
}

DMDelayedCalls::DMDelayedCalls() : m_context(new QObject) {}

DMDelayedCalls::~DMDelayedCalls()
{
    delete m_context;
}

void DMDelayedCalls::performAfterDelay(double seconds, std::function<void()> fn)
{
    if (!fn)
        return;
    // A timer per call, owned by the context: deleting the context deletes and so stops them.
    // The call may destroy this object, so nothing of it is touched after fn runs.
    auto *timer = new QTimer(m_context);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, fn = std::move(fn)]() {
        timer->deleteLater();
        fn();
    });
    timer->start(delayMilliseconds(seconds));
}

void DMDelayedCalls::cancelAll()
{
    delete m_context;
    m_context = new QObject;
}

int DMDelayedCalls::pendingCount() const
{
    int count = 0;
    for (const QTimer *timer : m_context->findChildren<QTimer *>(Qt::FindDirectChildrenOnly))
        if (timer->isActive())
            ++count;
    return count;
}
