#include "NBAPIEngine.h"

#include "DMLocalizedString.h"
#include "DMUserDefaults.h"
#include "NBAPISerializer.h"
#include "NBAdditions.h"

#include <QAuthenticator>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>

namespace {

const QString kBuiltInBaseURL = QStringLiteral("https://api.nimbrel.com");

// Request paths are appended to the base URL as text, so it must not end in a slash (a root
// path "/" included, which QUrl::StripTrailingSlash keeps).
QUrl withoutTrailingSlash(const QUrl &url)
{
    QString text = url.toString(QUrl::FullyEncoded);
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return QUrl(text);
}

bool isLoopbackHost(const QString &host)
{
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

// The privacy query of an upload's first step, or nothing for the service's default.
QString privacyQuery(const QVariantMap &options)
{
    const QString privacy = options.value(NBAPIEngineUploadOptionPrivacyKey).toString();
    if (privacy == QLatin1String("public"))
        return QStringLiteral("?item[private]=false");
    if (privacy == QLatin1String("private"))
        return QStringLiteral("?item[private]=true");
    return {};
}

} // namespace

QUrl NBAPIEngine::defaultBaseURL()
{
    const QString configured = DMUserDefaults::standardUserDefaults().stringForKey(QStringLiteral("NimbrelBaseURL"));
    return withoutTrailingSlash(QUrl(configured.isEmpty() ? kBuiltInBaseURL : configured));
}

NBAPIEngine::NBAPIEngine(NBAPIEngineDelegate *delegate, QObject *parent)
    : QObject(parent)
    , m_delegate(delegate)
    , m_baseURL(defaultBaseURL())
    , m_manager(new QNetworkAccessManager(this))
{
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    connect(m_manager, &QNetworkAccessManager::authenticationRequired, this, &NBAPIEngine::answerChallenge);
}

NBAPIEngine::~NBAPIEngine()
{
    cancelAllConnections();
    m_delegate = nullptr;
}

void NBAPIEngine::setEmail(const QString &email)
{
    if (email == m_email)
        return;
    m_email = email;
    // The manager keeps the credentials it was given; new ones must answer the next challenge.
    m_manager->clearAccessCache();
}

void NBAPIEngine::setPassword(const QString &password)
{
    if (password == m_password)
        return;
    m_password = password;
    m_manager->clearAccessCache();
}

void NBAPIEngine::setBaseURL(const QUrl &url)
{
    m_baseURL = withoutTrailingSlash(url);
}

bool NBAPIEngine::isReady() const
{
    return !m_email.isEmpty() && !m_password.isEmpty();
}

bool NBAPIEngine::mayAnswerChallengeFromURL(const QUrl &url) const
{
    const QString scheme = m_baseURL.scheme().toLower();
    const bool secure = scheme == QLatin1String("https")
        || (scheme == QLatin1String("http") && isLoopbackHost(m_baseURL.host()));
    const int defaultPort = scheme == QLatin1String("https") ? 443 : 80;
    return secure && url.scheme().toLower() == scheme
        && url.host().compare(m_baseURL.host(), Qt::CaseInsensitive) == 0
        && url.port(defaultPort) == m_baseURL.port(defaultPort);
}

QUrl NBAPIEngine::serviceURL(const QString &path) const
{
    return QUrl(m_baseURL.toString(QUrl::FullyEncoded) + path);
}

QString NBAPIEngine::changePrivacyOfItemToPrivateUserInfo(const NBWebItem &item, bool isPrivate,
                                                           const QVariant &userInfo)
{
    return startItemRequest(NBAPIRequestTypeChangePrivacy, item, "PUT", NBAPISerializer::itemWithPrivate(isPrivate),
                            userInfo);
}

QString NBAPIEngine::changeNameOfItemToNameUserInfo(const NBWebItem &item, const QString &name,
                                                     const QVariant &userInfo)
{
    if (name.isEmpty())
        return refuse(NBAPIRequestTypeChangeName, NBError::invalidRequestError(NBAPIRequestTypeChangeName,
                                                                              DMLocalizedString("The new name is empty.")),
                      userInfo);
    return startItemRequest(NBAPIRequestTypeChangeName, item, "PUT", NBAPISerializer::itemWithName(name), userInfo);
}

QString NBAPIEngine::deleteItemUserInfo(const NBWebItem &item, const QVariant &userInfo)
{
    return startItemRequest(NBAPIRequestTypeDeleteItem, item, "DELETE", {}, userInfo);
}

QString NBAPIEngine::restoreItemUserInfo(const NBWebItem &item, const QVariant &userInfo)
{
    return startItemRequest(NBAPIRequestTypeRestoreItem, item, "PUT", NBAPISerializer::itemForRestore(), userInfo);
}

QString NBAPIEngine::startItemRequest(NBAPIRequestType type, const NBWebItem &item, const QByteArray &method,
                                      const QByteArray &jsonBody, const QVariant &userInfo)
{
    if (!isReady())
        return refuse(type, NBError::notReadyError(type), userInfo);
    if (item.href().isEmpty())
        return refuse(type,
                      NBError::invalidRequestError(type, DMLocalizedString("The item has no address on the service.")),
                      userInfo);
    return startRequest(type, method, item.href(), jsonBody, userInfo);
}

QString NBAPIEngine::getItemListStartingAtPageOfTypeItemsPerPageShowOnlyItemsInTrashUserInfo(
    int page, qint64 type, int itemsPerPage, bool trash, const QVariant &userInfo)
{
    if (!isReady())
        return refuse(NBAPIRequestTypeGetItemList, NBError::notReadyError(NBAPIRequestTypeGetItemList), userInfo);
    QString path = QStringLiteral("/items?page=%1&per_page=%2&deleted=%3")
                       .arg(page)
                       .arg(itemsPerPage)
                       .arg(trash ? QStringLiteral("true") : QStringLiteral("false"));
    if (type != NBWebItemTypeAll)
        path += QStringLiteral("&type=") + NBAPISerializer::webItemTypeStringForType(type);
    return startRequest(NBAPIRequestTypeGetItemList, "GET", serviceURL(path), {}, userInfo);
}

QString NBAPIEngine::bookmarkLinkWithURLNameOptionsUserInfo(const QUrl &url, const QString &name,
                                                             const QVariantMap &options, const QVariant &userInfo)
{
    const NBAPIRequestType type = NBAPIRequestTypeBookmarkLink;
    if (!isReady())
        return refuse(type, NBError::notReadyError(type), userInfo);
    if (url.isEmpty())
        return refuse(type, NBError::invalidRequestError(type, DMLocalizedString("The bookmark has no address.")),
                      userInfo);
    const QString bookmarkName = name.isEmpty() ? QString::fromUtf8(url.toEncoded()) : name;
    const QString privacy = options.value(NBAPIEngineUploadOptionPrivacyKey).toString();
    const QByteArray body = privacy == QLatin1String("public") || privacy == QLatin1String("private")
        ? NBAPISerializer::bookmarkWithURLNamePrivate(url, bookmarkName, privacy == QLatin1String("private"))
        : NBAPISerializer::bookmarkWithURLName(url, bookmarkName);
    return startRequest(type, "POST", serviceURL(QStringLiteral("/items")), body, userInfo);
}

QString NBAPIEngine::createAccountWithEmailPasswordAcceptTermsUserInfo(const QString &email,
                                                                        const QString &password, bool acceptTerms,
                                                                        const QVariant &userInfo)
{
    const NBAPIRequestType type = NBAPIRequestTypeCreateAccount;
    const QByteArray body = NBAPISerializer::accountWithEmailPasswordAcceptTerms(email, password, acceptTerms);
    if (body.isEmpty())
        return refuse(type,
                      NBError::invalidRequestError(type, DMLocalizedString("An account needs an e-mail address and "
                                                                           "a password.")),
                      userInfo);
    return startRequest(type, "POST", serviceURL(QStringLiteral("/register")), body, userInfo);
}

QString NBAPIEngine::getAccountInformationWithUserInfo(const QVariant &userInfo)
{
    const NBAPIRequestType type = NBAPIRequestTypeGetAccountInformation;
    if (!isReady())
        return refuse(type, NBError::notReadyError(type), userInfo);
    return startRequest(type, "GET", serviceURL(QStringLiteral("/account")), {}, userInfo);
}

QString NBAPIEngine::getItemInformationUserInfo(const NBWebItem &item, const QVariant &userInfo)
{
    const NBAPIRequestType type = NBAPIRequestTypeGetItemInformation;
    if (item.URL().isEmpty())
        return refuse(type, NBError::invalidRequestError(type, DMLocalizedString("The item has no link.")), userInfo);
    return startRequest(type, "GET", item.URL(), {}, userInfo);
}

QString NBAPIEngine::uploadFileWithNameFileDataOptionsUserInfo(const QString &name, const QByteArray &data,
                                                                const QVariantMap &options, const QVariant &userInfo)
{
    const NBAPIRequestType type = NBAPIRequestTypeUploadParameters;
    if (!isReady())
        return refuse(type, NBError::notReadyError(type), userInfo);
    auto transaction = std::make_unique<NBAPITransaction>(type, NBUniqueString(), userInfo);
    transaction->internalContext = NBAPITransaction::UploadFile{name, data};
    return startRequest(type, "GET", serviceURL(QStringLiteral("/items/new") + privacyQuery(options)), {}, userInfo,
                        std::move(transaction));
}

QString NBAPIEngine::getStoreProductsWithUserInfo(const QVariant &userInfo)
{
    return startRequest(NBAPIRequestTypeGetStoreProducts, "GET", serviceURL(QStringLiteral("/purchases")), {},
                        userInfo);
}

QString NBAPIEngine::redeemStoreReceiptUserInfo(const QString &base64Receipt, const QVariant &userInfo)
{
    const NBAPIRequestType type = NBAPIRequestTypeRedeemStoreReceipt;
    if (!isReady())
        return refuse(type, NBError::notReadyError(type), userInfo);
    return startRequest(type, "POST", serviceURL(QStringLiteral("/purchases")),
                        NBAPISerializer::receiptWithBase64String(base64Receipt), userInfo);
}

QString NBAPIEngine::changeNameOfItemAtHrefToNameUserInfo(const QUrl &href, const QString &name,
                                                           const QVariant &userInfo)
{
    NBWebItem item;
    item.setHref(href);
    return changeNameOfItemToNameUserInfo(item, name, userInfo);
}

QString NBAPIEngine::changePrivacyOfItemAtHrefToPrivateUserInfo(const QUrl &href, bool isPrivate,
                                                                 const QVariant &userInfo)
{
    NBWebItem item;
    item.setHref(href);
    return changePrivacyOfItemToPrivateUserInfo(item, isPrivate, userInfo);
}

QString NBAPIEngine::deleteItemAtHrefUserInfo(const QUrl &href, const QVariant &userInfo)
{
    NBWebItem item;
    item.setHref(href);
    return deleteItemUserInfo(item, userInfo);
}

QString NBAPIEngine::restoreItemAtHrefUserInfo(const QUrl &href, const QVariant &userInfo)
{
    NBWebItem item;
    item.setHref(href);
    return restoreItemUserInfo(item, userInfo);
}

QString NBAPIEngine::getItemInformationAtURLUserInfo(const QUrl &url, const QVariant &userInfo)
{
    NBWebItem item;
    item.setURL(url);
    return getItemInformationUserInfo(item, userInfo);
}

QString NBAPIEngine::getItemListStartingAtPageItemsPerPageUserInfo(int page, int itemsPerPage,
                                                                    const QVariant &userInfo)
{
    return getItemListStartingAtPageOfTypeItemsPerPageShowOnlyItemsInTrashUserInfo(page, NBWebItemTypeAll,
                                                                                  itemsPerPage, false, userInfo);
}

QString NBAPIEngine::getItemListStartingAtPageOfTypeItemsPerPageUserInfo(int page, qint64 type, int itemsPerPage,
                                                                          const QVariant &userInfo)
{
    return getItemListStartingAtPageOfTypeItemsPerPageShowOnlyItemsInTrashUserInfo(page, type, itemsPerPage, false,
                                                                                  userInfo);
}

QString NBAPIEngine::bookmarkLinkWithURLNameUserInfo(const QUrl &url, const QString &name, const QVariant &userInfo)
{
    return bookmarkLinkWithURLNameOptionsUserInfo(url, name, {}, userInfo);
}

QString NBAPIEngine::uploadFileWithNameFileDataUserInfo(const QString &name, const QByteArray &data,
                                                        const QVariant &userInfo)
{
    return uploadFileWithNameFileDataOptionsUserInfo(name, data, {}, userInfo);
}

QString NBAPIEngine::startRequest(NBAPIRequestType type, const QByteArray &method, const QUrl &url,
                                  const QByteArray &jsonBody, const QVariant &userInfo, Transaction transaction)
{
    if (!transaction)
        transaction = std::make_unique<NBAPITransaction>(type, NBUniqueString(), userInfo);
    QNetworkRequest &request = transaction->request;
    request.setUrl(url);
    request.setRawHeader("Accept", "application/json");
    if (!jsonBody.isEmpty())
        request.setRawHeader("Content-Type", "application/json");
    if (type == NBAPIRequestTypeGetAccountInformation || type == NBAPIRequestTypeGetStoreProducts
        || type == NBAPIRequestTypeRedeemStoreReceipt)
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    transaction->method = method;
    transaction->body = jsonBody;
    const QString identifier = transaction->identifier;
    send(std::move(transaction));
    return identifier;
}

QString NBAPIEngine::refuse(NBAPIRequestType type, const NBError &error, const QVariant &userInfo)
{
    auto transaction = std::make_unique<NBAPITransaction>(type, NBUniqueString(), userInfo);
    transaction->refusal = error;
    const QString identifier = transaction->identifier;
    m_transactions.emplace(identifier, std::move(transaction));
    // Reported on the next pass, so that the caller holds the identifier first; a cancel in
    // between removes the transaction and with it the report.
    QMetaObject::invokeMethod(
        this,
        [this, identifier] {
            if (Transaction refused = takeTransaction(identifier, nullptr))
                fail(*refused, *refused->refusal);
        },
        Qt::QueuedConnection);
    return identifier;
}

void NBAPIEngine::send(Transaction transaction)
{
    if (m_clearsCookies) {
        QNetworkCookieJar *jar = m_manager->cookieJar();
        for (const QNetworkCookie &cookie : jar->cookiesForUrl(m_baseURL))
            jar->deleteCookie(cookie);
    }
    NBAPITransaction *running = transaction.get();
    m_transactions[transaction->identifier] = std::move(transaction);
    running->connection = m_manager->sendCustomRequest(running->request, running->method, running->body);
    connectReply(running);
}

void NBAPIEngine::cancelConnection(const QString &identifier)
{
    const auto found = m_transactions.find(identifier);
    if (found == m_transactions.end())
        return;
    Transaction transaction = std::move(found->second);
    m_transactions.erase(found);
    if (QNetworkReply *reply = transaction->connection) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void NBAPIEngine::cancelAllConnections()
{
    for (const QString &identifier : connectionIdentifiers())
        cancelConnection(identifier);
}

QStringList NBAPIEngine::connectionIdentifiers() const
{
    QStringList identifiers;
    for (const auto &[identifier, transaction] : m_transactions)
        identifiers.append(identifier);
    return identifiers;
}

QVariant NBAPIEngine::userInfoForConnectionIdentifier(const QString &identifier) const
{
    const auto found = m_transactions.find(identifier);
    return found == m_transactions.end() ? QVariant() : found->second->userInfo;
}

qint64 NBAPIEngine::requestTypeForConnectionIdentifier(const QString &identifier) const
{
    const auto found = m_transactions.find(identifier);
    return found == m_transactions.end() ? 0 : qint64(found->second->requestType);
}
