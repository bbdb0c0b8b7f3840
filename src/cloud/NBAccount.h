#pragma once

#include "NBSocket.h"

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <memory>

// An account of the cloud file-sharing service. A value type: a copy carries every field and
// shares the socket object.
class NBAccount
{
public:
    NBAccount() = default;
    explicit NBAccount(const QString &email) : m_email(email) {}

    QString email() const { return m_email; }
    void setEmail(const QString &email) { m_email = email; }
    QUrl domain() const { return m_domain; }
    void setDomain(const QUrl &domain) { m_domain = domain; }
    QUrl domainHomePage() const { return m_domainHomePage; }
    void setDomainHomePage(const QUrl &page) { m_domainHomePage = page; }
    bool uploadsArePrivate() const { return m_uploadsArePrivate; }
    void setUploadsArePrivate(bool isPrivate) { m_uploadsArePrivate = isPrivate; }
    // 1 for a subscribed account, 0 otherwise.
    qint64 type() const { return m_type; }
    void setType(qint64 type) { m_type = type; }
    QDateTime subscriptionExpiresAt() const { return m_subscriptionExpiresAt; }
    void setSubscriptionExpiresAt(const QDateTime &date) { m_subscriptionExpiresAt = date; }
    bool isAlphaUser() const { return m_alphaUser; }
    void setAlphaUser(bool alpha) { m_alphaUser = alpha; }
    std::shared_ptr<NBSocket> socket() const { return m_socket; }
    void setSocket(std::shared_ptr<NBSocket> socket) { m_socket = std::move(socket); }

    // The keyed archive under the "NBAccount...Key" keys (the socket as its own archive), and back.
    QVariantMap archive() const;
    static NBAccount accountWithArchive(const QVariantMap &archive);

private:
    QString m_email;
    QUrl m_domain;
    QUrl m_domainHomePage;
    bool m_uploadsArePrivate = false;
    qint64 m_type = 0;
    QDateTime m_subscriptionExpiresAt;
    bool m_alphaUser = false;
    std::shared_ptr<NBSocket> m_socket;
};
