#include "NBAccount.h"

#include "DMDictionaryAccess.h"
#include "NBArchiving.h"

namespace {

const QString kEmailKey = QStringLiteral("NBAccountEmailKey");
const QString kDomainKey = QStringLiteral("NBAccountDomainKey");
const QString kDomainHomePageKey = QStringLiteral("NBAccountDomainHomepageKey");
const QString kUploadsArePrivateKey = QStringLiteral("NBAccountUploadsArePrivateKey");
const QString kTypeKey = QStringLiteral("NBAccountTypeKey");
const QString kExpiresAtKey = QStringLiteral("NBAccountExpiresAtKey");
const QString kAlphaUserKey = QStringLiteral("NBAccountAlphaUserKey");
const QString kSocketKey = QStringLiteral("NBAccountSocketKey");

} // namespace

QVariantMap NBAccount::archive() const
{
    QVariantMap archive;
    NBArchiving::setString(archive, kEmailKey, m_email);
    NBArchiving::setURL(archive, kDomainKey, m_domain);
    NBArchiving::setURL(archive, kDomainHomePageKey, m_domainHomePage);
    archive.insert(kUploadsArePrivateKey, m_uploadsArePrivate);
    archive.insert(kTypeKey, m_type);
    NBArchiving::setDate(archive, kExpiresAtKey, m_subscriptionExpiresAt);
    archive.insert(kAlphaUserKey, m_alphaUser);
    if (m_socket)
        archive.insert(kSocketKey, m_socket->archive());
    return archive;
}

NBAccount NBAccount::accountWithArchive(const QVariantMap &archive)
{
    NBAccount account(stringForKey(archive, kEmailKey));
    account.m_domain = NBArchiving::url(archive, kDomainKey);
    account.m_domainHomePage = NBArchiving::url(archive, kDomainHomePageKey);
    account.m_uploadsArePrivate = boolForKey(archive, kUploadsArePrivateKey);
    account.m_type = longLongForKey(archive, kTypeKey);
    account.m_subscriptionExpiresAt = NBArchiving::date(archive, kExpiresAtKey);
    account.m_alphaUser = boolForKey(archive, kAlphaUserKey);
    const QVariant socket = archive.value(kSocketKey);
    if (socket.metaType().id() == QMetaType::QVariantMap)
        account.m_socket = std::make_shared<NBSocket>(NBSocket::socketWithArchive(socket.toMap()));
    return account;
}
