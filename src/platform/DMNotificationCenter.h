#pragma once

#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <memory>

struct DMNotification
{
    QString name;
    const void *object = nullptr; // the sender's identity
    QVariantMap userInfo;
};

class DMNotificationCenter;

// Keeps one observer registered; destroying it removes the observer.
class DMNotificationObserver
{
public:
    DMNotificationObserver() = default;
    DMNotificationObserver(DMNotificationObserver &&) noexcept;
    DMNotificationObserver &operator=(DMNotificationObserver &&) noexcept;
    ~DMNotificationObserver();
    void reset();

private:
    friend class DMNotificationCenter;
    DMNotificationObserver(std::weak_ptr<void> center, std::uint64_t token);
    std::weak_ptr<void> m_center;
    std::uint64_t m_token = 0;
};

class DMNotificationCenter
{
public:
    static DMNotificationCenter &defaultCenter();
    DMNotificationCenter();
    ~DMNotificationCenter();

    // name empty = every name; object null = every sender.
    [[nodiscard]] DMNotificationObserver addObserver(const QString &name, const void *object,
                                                     std::function<void(const DMNotification &)> callback);
    void postNotification(const QString &name, const void *object = nullptr, const QVariantMap &userInfo = {});
    // Posted when the event loop is next idle; a pending notification of the same name and
    // sender is replaced (coalesced by name).
    void enqueueNotificationWhenIdle(const QString &name, const void *object = nullptr, const QVariantMap &userInfo = {});
    // Drops queued notifications from this sender (a sender being destroyed calls it).
    void dequeueNotificationsForObject(const void *object);

private:
    struct Private;
    std::shared_ptr<Private> d;
};
