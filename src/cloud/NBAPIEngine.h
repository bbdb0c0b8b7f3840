#pragma once

#include "NBAPITransaction.h"
#include "NBWebItem.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

#include <map>
#include <memory>

class NBAPIEngineDelegate;
class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;

// The upload and bookmark option that sets the new item's privacy: "public" or "private"; any
// other value leaves the service's default.
inline const QString NBAPIEngineUploadOptionPrivacyKey = QStringLiteral("NBAPIEngineUploadOptionPrivacy");

// The client of the cloud file-sharing service. Each operation sends one HTTP request to the
// service's REST interface and returns the identifier of its transaction at once; the outcome
// reaches the delegate on the event loop, once. A call whose requirements are not met (no e-mail
// or password, an item without href, a missing argument) sends nothing and fails on the next
// pass of the event loop, under its own identifier.
//
// Credentials are given only in answer to the first authentication challenge of a request, and
// only to the configured base host over HTTPS (plain HTTP only for a loopback host), never to
// another host that a request was redirected to. Every request ends with a timeout error when no
// byte moves for timeoutInterval() seconds, uploads included. An answer is read up to
// maximumAnswerSize() bytes; a longer one ends its request with an error.
class NBAPIEngine : public QObject
{
    Q_OBJECT
public:
    // The service's base URL: the user default "NimbrelBaseURL" when it holds a non-empty string,
    // else the built-in address; without a trailing slash.
    static QUrl defaultBaseURL();

    explicit NBAPIEngine(NBAPIEngineDelegate *delegate = nullptr, QObject *parent = nullptr);
    // Cancels every request; no callback follows.
    ~NBAPIEngine() override;

    // Not owned; the owner clears it before the delegate goes away.
    NBAPIEngineDelegate *delegate() const { return m_delegate; }
    void setDelegate(NBAPIEngineDelegate *delegate) { m_delegate = delegate; }
    QString email() const { return m_email; }
    void setEmail(const QString &email);
    QString password() const { return m_password; }
    void setPassword(const QString &password);
    // Every request path is appended to it; a trailing slash is dropped.
    QUrl baseURL() const { return m_baseURL; }
    void setBaseURL(const QUrl &url);
    // When set, every request first deletes the cookies held for the base URL.
    bool clearsCookies() const { return m_clearsCookies; }
    void setClearsCookies(bool clears) { m_clearsCookies = clears; }
    double timeoutInterval() const { return m_timeoutInterval; }
    void setTimeoutInterval(double seconds) { m_timeoutInterval = seconds; }
    // The largest answer the service gives (a page of the item list) is far below the default.
    static constexpr qint64 kDefaultMaximumAnswerSize = 8 * 1024 * 1024;
    qint64 maximumAnswerSize() const { return m_maximumAnswerSize; }
    void setMaximumAnswerSize(qint64 bytes) { m_maximumAnswerSize = bytes; }

    // Whether the e-mail and the password are both set.
    bool isReady() const;
    // Whether an authentication challenge from this address may be answered with the account's
    // credentials: the base URL's scheme, host and port, over HTTPS or on a loopback host.
    bool mayAnswerChallengeFromURL(const QUrl &url) const;

    QString changePrivacyOfItemToPrivateUserInfo(const NBWebItem &item, bool isPrivate, const QVariant &userInfo = {});
    QString changeNameOfItemToNameUserInfo(const NBWebItem &item, const QString &name, const QVariant &userInfo = {});
    QString deleteItemUserInfo(const NBWebItem &item, const QVariant &userInfo = {});
    QString restoreItemUserInfo(const NBWebItem &item, const QVariant &userInfo = {});
    QString getItemListStartingAtPageOfTypeItemsPerPageShowOnlyItemsInTrashUserInfo(int page, qint64 type,
                                                                                    int itemsPerPage, bool trash,
                                                                                    const QVariant &userInfo = {});
    // A bookmark with an empty name is named with the URL.
    QString bookmarkLinkWithURLNameOptionsUserInfo(const QUrl &url, const QString &name, const QVariantMap &options,
                                                   const QVariant &userInfo = {});
    // Needs no e-mail or password on the engine.
    QString createAccountWithEmailPasswordAcceptTermsUserInfo(const QString &email, const QString &password,
                                                              bool acceptTerms, const QVariant &userInfo = {});
    QString getAccountInformationWithUserInfo(const QVariant &userInfo = {});
    // Asks the item's public URL; needs no e-mail or password.
    QString getItemInformationUserInfo(const NBWebItem &item, const QVariant &userInfo = {});
    // Two requests under one identifier: upload parameters from the service, then the file to
    // the storage address they name. Progress is reported during the second.
    QString uploadFileWithNameFileDataOptionsUserInfo(const QString &name, const QByteArray &data,
                                                      const QVariantMap &options, const QVariant &userInfo = {});
    QString getStoreProductsWithUserInfo(const QVariant &userInfo = {});
    QString redeemStoreReceiptUserInfo(const QString &base64Receipt, const QVariant &userInfo = {});

    // Convenience forms: a web item with only the given href or URL; lists of every type
    // outside the trash; no options.
    QString changeNameOfItemAtHrefToNameUserInfo(const QUrl &href, const QString &name, const QVariant &userInfo = {});
    QString changePrivacyOfItemAtHrefToPrivateUserInfo(const QUrl &href, bool isPrivate, const QVariant &userInfo = {});
    QString deleteItemAtHrefUserInfo(const QUrl &href, const QVariant &userInfo = {});
    QString restoreItemAtHrefUserInfo(const QUrl &href, const QVariant &userInfo = {});
    QString getItemInformationAtURLUserInfo(const QUrl &url, const QVariant &userInfo = {});
    QString getItemListStartingAtPageItemsPerPageUserInfo(int page, int itemsPerPage, const QVariant &userInfo = {});
    QString getItemListStartingAtPageOfTypeItemsPerPageUserInfo(int page, qint64 type, int itemsPerPage,
                                                                const QVariant &userInfo = {});
    QString bookmarkLinkWithURLNameUserInfo(const QUrl &url, const QString &name, const QVariant &userInfo = {});
    QString uploadFileWithNameFileDataUserInfo(const QString &name, const QByteArray &data,
                                               const QVariant &userInfo = {});

    // Stops the request and forgets it; no callback follows.
    void cancelConnection(const QString &identifier);
    void cancelAllConnections();
    // The identifiers of the requests in flight.
    QStringList connectionIdentifiers() const;
    // Of the request in flight with that identifier; an invalid QVariant and 0 without one.
    QVariant userInfoForConnectionIdentifier(const QString &identifier) const;
    qint64 requestTypeForConnectionIdentifier(const QString &identifier) const;

private:
    using Transaction = std::unique_ptr<NBAPITransaction>;

    QString startRequest(NBAPIRequestType type, const QByteArray &method, const QUrl &url, const QByteArray &jsonBody,
                         const QVariant &userInfo, Transaction transaction = nullptr);
    QString refuse(NBAPIRequestType type, const NBError &error, const QVariant &userInfo);
    QString startItemRequest(NBAPIRequestType type, const NBWebItem &item, const QByteArray &method,
                             const QByteArray &jsonBody, const QVariant &userInfo);
    void send(Transaction transaction);
    QUrl serviceURL(const QString &path) const;

    // Reply handling (NBAPIEngine_Connection.cpp).
    NBAPITransaction *transactionForReply(const QNetworkReply *reply) const;
    Transaction takeTransaction(const QString &identifier, const QNetworkReply *reply);
    void connectReply(NBAPITransaction *transaction);
    void answerChallenge(QNetworkReply *reply, QAuthenticator *authenticator);
    void replyFinished(const QString &identifier, QNetworkReply *reply);
    void transactionTimedOut(const QString &identifier, QNetworkReply *reply);
    // Moves what the reply has into the transaction; false, once the request has failed, when
    // that would make the answer longer than the engine reads.
    bool readAnswer(const QString &identifier, NBAPITransaction *transaction, QNetworkReply *reply);
    void stopTransaction(const QString &identifier, QNetworkReply *reply, const NBError &error);
    void finishTransaction(Transaction transaction, int statusCode);
    void startUploadSecondStep(Transaction transaction, int statusCode);
    void deliverSuccess(const NBAPITransaction &transaction, int statusCode);
    void fail(const NBAPITransaction &transaction, const NBError &error);

    NBAPIEngineDelegate *m_delegate = nullptr;
    QString m_email;
    QString m_password;
    QUrl m_baseURL;
    bool m_clearsCookies = false;
    double m_timeoutInterval = 60.0;
    qint64 m_maximumAnswerSize = kDefaultMaximumAnswerSize;
    QNetworkAccessManager *m_manager;
    std::map<QString, Transaction> m_transactions;
};
