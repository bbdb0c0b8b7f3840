// The engine's side of a running request: the reply's signals, authentication, timeouts, the
// reading of the answer and the second step of an upload.
#include "NBAPIDeserializer.h"
#include "NBAPIEngine.h"
#include "NBAPIEngineDelegate.h"

#include "DMDictionaryAccess.h"
#include "NBJSON.h"

#include <QAuthenticator>
#include <QNetworkReply>
#include <QPointer>

#include <cmath>

namespace {

bool isSuccessStatus(int statusCode)
{
    return statusCode == 200 || statusCode == 201 || statusCode == 304;
}

// Errors of the transfer itself (no connection, a broken one, a protocol fault), as opposed to
// the errors Qt derives from an HTTP status, which the status handling reports.
bool isTransferError(QNetworkReply::NetworkError error)
{
    return (error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied)
        || (error >= QNetworkReply::ProtocolUnknownError && error < QNetworkReply::InternalServerError);
}

bool hasValue(const QVariantMap &dictionary, const QString &key)
{
    return dictionary.contains(key) && !NBJSONIsNull(dictionary.value(key));
}

// A record answered by the service must name itself: a web item its href, an account its e-mail.
std::optional<NBWebItem> completeItem(const QByteArray &data)
{
    std::optional<NBWebItem> item = NBAPIDeserializer::webItemWithJSONDictionaryData(data);
    return item && !item->href().isEmpty() ? item : std::nullopt;
}

std::optional<NBAccount> completeAccount(const QByteArray &data)
{
    std::optional<NBAccount> account = NBAPIDeserializer::accountWithJSONDictionaryData(data);
    return account && !account->email().isEmpty() ? account : std::nullopt;
}

std::optional<QList<NBWebItem>> completeItems(const QByteArray &data)
{
    std::optional<QList<NBWebItem>> items = NBAPIDeserializer::webItemArrayWithJSONArrayData(data);
    if (items) {
        for (const NBWebItem &item : *items) {
            if (item.href().isEmpty())
                return std::nullopt;
        }
    }
    return items;
}

} // namespace

NBAPITransaction *NBAPIEngine::transactionForReply(const QNetworkReply *reply) const
{
    for (const auto &[identifier, transaction] : m_transactions) {
        if (transaction->connection == reply)
            return transaction.get();
    }
    return nullptr;
}

NBAPIEngine::Transaction NBAPIEngine::takeTransaction(const QString &identifier, const QNetworkReply *reply)
{
    const auto found = m_transactions.find(identifier);
    if (found == m_transactions.end() || found->second->connection != reply)
        return nullptr;
    Transaction transaction = std::move(found->second);
    m_transactions.erase(found);
    return transaction;
}

void NBAPIEngine::connectReply(NBAPITransaction *transaction)
{
    QNetworkReply *reply = transaction->connection;
    const QString identifier = transaction->identifier;
    const auto restartTimer = [transaction, this] {
        transaction->inactivityTimer.start(std::max(1, int(std::lround(m_timeoutInterval * 1000.0))));
    };
    // The lambdas below run only while the reply is connected to this engine: every way a
    // transaction ends disconnects its reply first, so `transaction` is alive when they run.
    connect(reply, &QNetworkReply::readyRead, this, [this, identifier, transaction, reply, restartTimer] {
        if (readAnswer(identifier, transaction, reply))
            restartTimer();
    });
    connect(reply, &QNetworkReply::downloadProgress, this, restartTimer);
    connect(reply, &QNetworkReply::uploadProgress, this,
            [this, transaction, restartTimer](qint64 sent, qint64 total) {
                restartTimer();
                if (transaction->requestType == NBAPIRequestTypeUploadFile && total > 0 && m_delegate)
                    m_delegate->fileUploadDidProgressConnectionIdentifierUserInfo(
                        double(sent) / double(total), transaction->identifier, transaction->userInfo);
            });
    connect(reply, &QNetworkReply::finished, this, [this, identifier, reply] { replyFinished(identifier, reply); });
    connect(&transaction->inactivityTimer, &QTimer::timeout, this,
            [this, identifier, reply] { transactionTimedOut(identifier, reply); });
    restartTimer();
}

void NBAPIEngine::answerChallenge(QNetworkReply *reply, QAuthenticator *authenticator)
{
    NBAPITransaction *transaction = transactionForReply(reply);
    if (!transaction)
        return;
    // A challenge left unanswered ends the request with the service's 401 answer.
    if (++transaction->challengeCount > 1 || !isReady() || !mayAnswerChallengeFromURL(reply->url()))
        return;
    authenticator->setUser(m_email.toLower());
    authenticator->setPassword(m_password);
}

void NBAPIEngine::transactionTimedOut(const QString &identifier, QNetworkReply *reply)
{
    const NBAPITransaction *transaction = transactionForReply(reply);
    if (transaction)
        stopTransaction(identifier, reply, NBError::timedOutError(transaction->requestType));
}

void NBAPIEngine::stopTransaction(const QString &identifier, QNetworkReply *reply, const NBError &error)
{
    Transaction transaction = takeTransaction(identifier, reply);
    if (!transaction)
        return;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    fail(*transaction, error);
}

bool NBAPIEngine::readAnswer(const QString &identifier, NBAPITransaction *transaction, QNetworkReply *reply)
{
    // The length the server announces, then what actually comes: neither may pass the limit.
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > m_maximumAnswerSize
        || transaction->receivedData.size() + reply->bytesAvailable() > m_maximumAnswerSize) {
        stopTransaction(identifier, reply, NBError::answerTooLargeError(transaction->requestType, m_maximumAnswerSize));
        return false;
    }
    transaction->receivedData += reply->readAll();
    return true;
}

void NBAPIEngine::replyFinished(const QString &identifier, QNetworkReply *reply)
{
    Transaction transaction = takeTransaction(identifier, reply);
    if (!transaction)
        return;
    reply->disconnect(this);
    reply->deleteLater();
    transaction->inactivityTimer.stop();
    if (transaction->receivedData.size() + reply->bytesAvailable() > m_maximumAnswerSize) {
        fail(*transaction, NBError::answerTooLargeError(transaction->requestType, m_maximumAnswerSize));
        return;
    }
    transaction->receivedData += reply->readAll();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (isTransferError(reply->error()) || !status.isValid()) {
        fail(*transaction, NBError::transferError(transaction->requestType, reply->error(), reply->errorString()));
        return;
    }
    finishTransaction(std::move(transaction), status.toInt());
}

void NBAPIEngine::finishTransaction(Transaction transaction, int statusCode)
{
    if (!isSuccessStatus(statusCode))
        fail(*transaction, NBError::HTTPStatusError(transaction->requestType, statusCode, transaction->receivedData));
    else if (transaction->requestType == NBAPIRequestTypeUploadParameters)
        startUploadSecondStep(std::move(transaction), statusCode);
    else
        deliverSuccess(*transaction, statusCode);
}

void NBAPIEngine::startUploadSecondStep(Transaction transaction, int statusCode)
{
    const NBAPIRequestType type = transaction->requestType;
    const std::optional<QVariantMap> parameters = NBAPIDeserializer::dictionaryFromJSONData(transaction->receivedData);
    if (!parameters) {
        fail(*transaction, NBError::badServerResponseError(type));
        return;
    }
    const NBAPITransaction::UploadFile file = *transaction->internalContext;
    const QString remainingKey = QStringLiteral("uploads_remaining");
    const QString maximumKey = QStringLiteral("max_upload_size");
    if (hasValue(*parameters, remainingKey) && longLongForKey(*parameters, remainingKey) < 1) {
        fail(*transaction, NBError::uploadLimitError(type, statusCode));
        return;
    }
    if (hasValue(*parameters, maximumKey)) {
        const auto maximum = quint64(longLongForKey(*parameters, maximumKey));
        if (maximum < quint64(file.data.size())) {
            fail(*transaction, NBError::fileTooLargeError(type, statusCode, maximum, file.data.size()));
            return;
        }
    }
    const std::optional<DMMultipartRequest> request =
        NBAPIDeserializer::URLRequestWithS3ParametersDictionary(*parameters, file.name, file.data);
    auto upload = std::make_unique<NBAPITransaction>(NBAPIRequestTypeUploadFile, transaction->identifier,
                                                     transaction->userInfo);
    if (!request) {
        fail(*upload, NBError::badServerResponseError(NBAPIRequestTypeUploadFile));
        return;
    }
    upload->request = request->request;
    upload->method = request->method;
    upload->body = request->body;
    send(std::move(upload));
}

void NBAPIEngine::deliverSuccess(const NBAPITransaction &transaction, int statusCode)
{
    // A 304 answer may come without a body: a success without a result. Any other success must
    // carry the record its kind expects.
    const QByteArray &data = transaction.receivedData;
    const bool mayBeEmpty = statusCode == 304 && data.trimmed().isEmpty();
    const QString &identifier = transaction.identifier;
    const QVariant &userInfo = transaction.userInfo;

    std::optional<NBWebItem> item;
    std::optional<NBAccount> account;
    std::optional<QList<NBWebItem>> items;
    std::optional<QVariantList> products;
    bool mapped = mayBeEmpty;
    switch (transaction.requestType) {
    case NBAPIRequestTypeGetItemList:
        items = completeItems(data);
        mapped = mapped || items.has_value();
        break;
    case NBAPIRequestTypeCreateAccount:
    case NBAPIRequestTypeGetAccountInformation:
    case NBAPIRequestTypeRedeemStoreReceipt:
        account = completeAccount(data);
        mapped = mapped || account.has_value();
        break;
    case NBAPIRequestTypeGetStoreProducts:
        products = NBAPIDeserializer::productsWithJSONArrayData(data);
        mapped = mapped || products.has_value();
        break;
    default:
        item = completeItem(data);
        mapped = mapped || item.has_value();
        break;
    }
    if (!mapped) {
        fail(transaction, NBError::badServerResponseError(transaction.requestType));
        return;
    }

    QPointer<NBAPIEngine> alive(this);
    if (m_delegate)
        m_delegate->requestDidSucceedWithConnectionIdentifierUserInfo(identifier, userInfo);
    // The first callback may have destroyed the engine or cleared its delegate.
    if (!alive || !m_delegate)
        return;
    const NBWebItem *itemResult = item ? &*item : nullptr;
    const NBAccount *accountResult = account ? &*account : nullptr;
    switch (transaction.requestType) {
    case NBAPIRequestTypeChangePrivacy:
    case NBAPIRequestTypeChangeName:
        m_delegate->itemUpdateDidSucceedConnectionIdentifierUserInfo(itemResult, identifier, userInfo);
        break;
    case NBAPIRequestTypeDeleteItem:
        m_delegate->itemDeletionDidSucceedConnectionIdentifierUserInfo(itemResult, identifier, userInfo);
        break;
    case NBAPIRequestTypeRestoreItem:
        m_delegate->itemRestorationDidSucceedConnectionIdentifierUserInfo(itemResult, identifier, userInfo);
        break;
    case NBAPIRequestTypeGetItemList:
        m_delegate->itemListRetrievalSucceededConnectionIdentifierUserInfo(items ? &*items : nullptr, identifier,
                                                                           userInfo);
        break;
    case NBAPIRequestTypeBookmarkLink:
        m_delegate->linkBookmarkDidSucceedWithResultingItemConnectionIdentifierUserInfo(itemResult, identifier,
                                                                                        userInfo);
        break;
    case NBAPIRequestTypeCreateAccount:
        m_delegate->accountCreationSucceededConnectionIdentifierUserInfo(accountResult, identifier, userInfo);
        break;
    case NBAPIRequestTypeGetAccountInformation:
        m_delegate->accountInformationRetrievalSucceededConnectionIdentifierUserInfo(accountResult, identifier,
                                                                                     userInfo);
        break;
    case NBAPIRequestTypeGetItemInformation:
        m_delegate->itemInformationRetrievalSucceededConnectionIdentifierUserInfo(itemResult, identifier, userInfo);
        break;
    case NBAPIRequestTypeUploadFile:
        m_delegate->fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(itemResult, identifier,
                                                                                      userInfo);
        break;
    case NBAPIRequestTypeGetStoreProducts:
        m_delegate->storeProductInformationRetrievalSucceededConnectionIdentifierUserInfo(
            products ? &*products : nullptr, identifier, userInfo);
        break;
    case NBAPIRequestTypeRedeemStoreReceipt:
        m_delegate->storeReceiptRedemptionSucceededConnectionIdentifierUserInfo(accountResult, identifier, userInfo);
        break;
    case NBAPIRequestTypeAccountUpdate:
    case NBAPIRequestTypeUploadParameters:
        break;
    }
}

void NBAPIEngine::fail(const NBAPITransaction &transaction, const NBError &error)
{
    if (m_delegate)
        m_delegate->requestDidFailWithErrorConnectionIdentifierUserInfo(error, transaction.identifier,
                                                                        transaction.userInfo);
}
