#include "DMNotificationCenter.h"

#include <QTimer>

#include <vector>

namespace {

// The state of a centre, reachable from its observer tokens.
struct NotificationRegistry
{
    struct Observer
    {
        std::uint64_t token;
        QString name;
        const void *object;
        std::function<void(const DMNotification &)> callback;
        bool removed = false; // set when removed while a post holds it
    };

    std::vector<std::shared_ptr<Observer>> observers;
    std::vector<DMNotification> queue;
    std::uint64_t nextToken = 1;
    // A zero-interval timer fires once the event loop has handled what is waiting: when idle.
    QTimer idleTimer;

    void remove(std::uint64_t token)
    {
        for (auto it = observers.begin(); it != observers.end(); ++it) {
            if ((*it)->token == token) {
                (*it)->removed = true;
                observers.erase(it);
                return;
            }
        }
    }

    void post(const DMNotification &notification)
    {
        // Callbacks may add or remove observers; run over a snapshot, skipping those removed.
        std::vector<std::shared_ptr<Observer>> matching;
        for (const auto &observer : observers)
            if ((observer->name.isEmpty() || observer->name == notification.name)
                && (!observer->object || observer->object == notification.object))
                matching.push_back(observer);
        for (const auto &observer : matching)
            if (!observer->removed)
                observer->callback(notification);
    }
};

} // namespace

struct DMNotificationCenter::Private : NotificationRegistry
{
};

DMNotificationObserver::DMNotificationObserver(std::weak_ptr<void> center, std::uint64_t token)
    : m_center(std::move(center)), m_token(token)
{
}

DMNotificationObserver::DMNotificationObserver(DMNotificationObserver &&other) noexcept
    : m_center(std::move(other.m_center)), m_token(other.m_token)
{
    other.m_token = 0;
}

DMNotificationObserver &DMNotificationObserver::operator=(DMNotificationObserver &&other) noexcept
{
    if (this != &other) {
        reset();
        m_center = std::move(other.m_center);
        m_token = other.m_token;
        other.m_token = 0;
    }
    return *this;
}

DMNotificationObserver::~DMNotificationObserver()
{
    reset();
}

void DMNotificationObserver::reset()
{
    if (auto center = m_center.lock())
        std::static_pointer_cast<NotificationRegistry>(center)->remove(m_token);
    m_center.reset();
    m_token = 0;
}

DMNotificationCenter &DMNotificationCenter::defaultCenter()
{
    static DMNotificationCenter center;
    return center;
}

DMNotificationCenter::DMNotificationCenter() : d(std::make_shared<Private>())
{
    d->idleTimer.setSingleShot(true);
    d->idleTimer.setInterval(0);
    // The timer belongs to d, so the queue is never flushed after the centre is gone; a callback
    // that destroys the centre leaves the rest to the lock held here.
    std::weak_ptr<Private> weak = d;
    QObject::connect(&d->idleTimer, &QTimer::timeout, [weak]() {
        const std::shared_ptr<Private> p = weak.lock();
        if (!p)
            return;
        std::vector<DMNotification> queued;
        queued.swap(p->queue);
        for (const DMNotification &notification : queued)
            p->post(notification);
    });
}

DMNotificationCenter::~DMNotificationCenter() = default;

DMNotificationObserver DMNotificationCenter::addObserver(const QString &name, const void *object,
                                                         std::function<void(const DMNotification &)> callback)
{
    const std::uint64_t token = d->nextToken++;
    d->observers.push_back(std::make_shared<NotificationRegistry::Observer>(NotificationRegistry::Observer{token, name, object, std::move(callback)}));
    return DMNotificationObserver(std::static_pointer_cast<void>(std::static_pointer_cast<NotificationRegistry>(d)), token);
}

void DMNotificationCenter::postNotification(const QString &name, const void *object, const QVariantMap &userInfo)
{
    const std::shared_ptr<Private> keep = d; // a callback may destroy this centre
    keep->post(DMNotification{name, object, userInfo});
}

void DMNotificationCenter::enqueueNotificationWhenIdle(const QString &name, const void *object, const QVariantMap &userInfo)
{
    for (DMNotification &queued : d->queue) {
        if (queued.name == name && queued.object == object) {
            queued.userInfo = userInfo;
            return;
        }
    }
    d->queue.push_back(DMNotification{name, object, userInfo});
    if (!d->idleTimer.isActive())
        d->idleTimer.start();
}

void DMNotificationCenter::dequeueNotificationsForObject(const void *object)
{
    std::erase_if(d->queue, [object](const DMNotification &queued) { return queued.object == object; });
}
