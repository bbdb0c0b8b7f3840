#include "NBError.h"

#include "DMLocalizedString.h"
#include "NBJSON.h"

namespace {

NBError makeError(const QString &domain, int code, qint64 requestType, const QString &description)
{
    NBError error;
    error.domain = domain;
    error.code = code;
    error.localizedDescription = description;
    error.userInfo.insert(NBAPIEngineErrorRequestTypeKey, requestType);
    return error;
}

// An error of the service's answer: its status and, one a line, its messages.
NBError serviceError(int code, qint64 requestType, int statusCode, const QString &description,
                     const QStringList &messages)
{
    NBError error = makeError(NBAPIEngineErrorDomain, code, requestType, description);
    error.userInfo.insert(NBAPIEngineErrorStatusCodeKey, statusCode);
    if (!messages.isEmpty()) {
        error.userInfo.insert(NBAPIEngineErrorMessagesKey, messages);
        for (const QString &message : messages)
            error.recoverySuggestion += QStringLiteral("\u2022 %1\n").arg(message);
    }
    return error;
}

} // namespace

NBError NBError::HTTPStatusError(qint64 requestType, int statusCode, const QByteArray &body)
{
    QStringList messages;
    const std::optional<QVariant> value = NBJSONValueWithData(body);
    if (value && value->metaType().id() == QMetaType::QVariantList) {
        for (const QVariant &message : value->toList())
            messages.append(message.metaType().id() == QMetaType::QString ? message.toString()
                                                                           : QString::fromUtf8(NBJSONDataWithValue(message)));
    }
    return serviceError(NBAPIEngineErrorHTTPStatus, requestType, statusCode,
                        DMLocalizedString("The service answered with status %1.").arg(statusCode), messages);
}

NBError NBError::uploadLimitError(qint64 requestType, int statusCode)
{
    const QString text = DMLocalizedString("You've reached the daily upload limit allowed by the Free plan. Grab one "
                                           "of our snazzy Pro plans and never see this message again.");
    NBError error = serviceError(NBAPIEngineErrorUploadLimit, requestType, statusCode, text, {text});
    error.recoverySuggestion = text;
    return error;
}

NBError NBError::fileTooLargeError(qint64 requestType, int statusCode, quint64 maximumSize, qint64 fileSize)
{
    constexpr quint64 kMegabyte = 1048576;
    const QString text = DMLocalizedString("This file is too large. You can upload files up to %1MB but this file is %2MB.")
                             .arg(maximumSize / kMegabyte)
                             .arg(quint64(fileSize) / kMegabyte);
    NBError error = serviceError(NBAPIEngineErrorFileTooLarge, requestType, statusCode, text, {text});
    error.recoverySuggestion = text;
    return error;
}

NBError NBError::notReadyError(qint64 requestType)
{
    return makeError(NBAPIEngineErrorDomain, NBAPIEngineErrorNotReady, requestType,
                   DMLocalizedString("The account's e-mail address and password are not set."));
}

NBError NBError::invalidRequestError(qint64 requestType, const QString &description)
{
    return makeError(NBAPIEngineErrorDomain, NBAPIEngineErrorInvalidRequest, requestType, description);
}

NBError NBError::badServerResponseError(qint64 requestType)
{
    return makeError(NBURLErrorDomain, NBURLErrorBadServerResponse, requestType,
                    DMLocalizedString("The service sent an answer that could not be read."));
}

NBError NBError::timedOutError(qint64 requestType)
{
    return makeError(NBURLErrorDomain, NBURLErrorTimedOut, requestType, DMLocalizedString("The request timed out."));
}

NBError NBError::answerTooLargeError(qint64 requestType, qint64 maximumSize)
{
    return makeError(NBURLErrorDomain, NBURLErrorDataLengthExceedsMaximum, requestType,
                     DMLocalizedString("The service's answer is larger than the %1 KB this application reads.")
                         .arg(maximumSize / 1024));
}

NBError NBError::transferError(qint64 requestType, QNetworkReply::NetworkError code, const QString &description)
{
    return makeError(NBURLErrorDomain, int(code), requestType, description);
}
