#pragma once

#include <QNetworkReply>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Errors of the service (NBAPIEngineErrorDomain) and of the transfer (NBURLErrorDomain).
inline const QString NBAPIEngineErrorDomain = QStringLiteral("NBAPIEngineErrorDomain");
inline const QString NBURLErrorDomain = QStringLiteral("NBURLErrorDomain");

// User-info keys of the service's errors.
inline const QString NBAPIEngineErrorRequestTypeKey = QStringLiteral("requestType"); // qint64
inline const QString NBAPIEngineErrorStatusCodeKey = QStringLiteral("statusCode");   // int
inline const QString NBAPIEngineErrorMessagesKey = QStringLiteral("messages");       // QStringList

enum NBAPIEngineErrorCode {
    NBAPIEngineErrorHTTPStatus = -1,    // a status other than 200, 201 and 304
    NBAPIEngineErrorUploadLimit = 1,    // no uploads remaining today
    NBAPIEngineErrorFileTooLarge = 2,   // larger than the account's upload size
    NBAPIEngineErrorNotReady = 3,       // a call before the e-mail and password are set
    NBAPIEngineErrorInvalidRequest = 4, // a call whose arguments cannot make a request
};

// Codes of NBURLErrorDomain; any other transfer failure carries its QNetworkReply::NetworkError.
enum NBURLErrorCode {
    NBURLErrorTimedOut = -1001,          // nothing moved for the engine's timeout interval
    NBURLErrorBadServerResponse = -1011, // a success whose body is not the expected record
    NBURLErrorDataLengthExceedsMaximum = -1103, // an answer longer than the engine reads
};

class NBError
{
public:
    QString domain;
    int code = 0;
    QString localizedDescription;
    QString recoverySuggestion;
    QVariantMap userInfo;

    qint64 requestType() const { return userInfo.value(NBAPIEngineErrorRequestTypeKey).toLongLong(); }
    int statusCode() const { return userInfo.value(NBAPIEngineErrorStatusCodeKey).toInt(); }
    QStringList messages() const { return userInfo.value(NBAPIEngineErrorMessagesKey).toStringList(); }

    // Code -1; a body that is a JSON array gives the messages (one "• message\n" line each in the
    // recovery suggestion).
    static NBError HTTPStatusError(qint64 requestType, int statusCode, const QByteArray &body);
    // Codes 1 and 2 of the first upload step.
    static NBError uploadLimitError(qint64 requestType, int statusCode);
    static NBError fileTooLargeError(qint64 requestType, int statusCode, quint64 maximumSize, qint64 fileSize);
    // Codes 3 and 4: requests refused before anything is sent.
    static NBError notReadyError(qint64 requestType);
    static NBError invalidRequestError(qint64 requestType, const QString &description);

    static NBError badServerResponseError(qint64 requestType);
    static NBError timedOutError(qint64 requestType);
    static NBError answerTooLargeError(qint64 requestType, qint64 maximumSize);
    static NBError transferError(qint64 requestType, QNetworkReply::NetworkError code, const QString &description);
};
