#pragma once

#include "NBError.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <optional>

class QNetworkReply;

// The kinds of request of the engine.
enum NBAPIRequestType : qint64 {
    NBAPIRequestTypeAccountUpdate = 0, // never issued
    NBAPIRequestTypeChangePrivacy = 1,
    NBAPIRequestTypeChangeName = 2,
    NBAPIRequestTypeDeleteItem = 3,
    NBAPIRequestTypeRestoreItem = 4,
    NBAPIRequestTypeGetItemList = 5,
    NBAPIRequestTypeBookmarkLink = 6,
    NBAPIRequestTypeCreateAccount = 7,
    NBAPIRequestTypeGetAccountInformation = 8,
    NBAPIRequestTypeGetItemInformation = 9,
    NBAPIRequestTypeUploadParameters = 10, // first step of an upload
    NBAPIRequestTypeUploadFile = 11,       // second step of an upload
    NBAPIRequestTypeGetStoreProducts = 12,
    NBAPIRequestTypeRedeemStoreReceipt = 13,
};

// One request of the engine, from its start until its failure, its finish or its cancellation.
// Owned by the engine; its reply is owned by the engine's network manager and deleted when the
// transaction ends.
class NBAPITransaction
{
public:
    NBAPITransaction(NBAPIRequestType requestType, const QString &identifier, const QVariant &userInfo);

    NBAPIRequestType requestType;
    QString identifier; // the connection identifier given to the caller
    QVariant userInfo;  // the caller's context, handed back in every callback

    QNetworkRequest request;
    QByteArray method;
    QByteArray body;
    QNetworkReply *connection = nullptr;
    QByteArray receivedData;

    // The first step of an upload keeps the file here for the second.
    struct UploadFile
    {
        QString name;
        QByteArray data;
    };
    std::optional<UploadFile> internalContext;

    // A request refused before it was sent: the failure reported on the next pass of the loop.
    std::optional<NBError> refusal;

    // Authentication challenges met so far; only the first one is answered.
    int challengeCount = 0;

    // Restarted whenever bytes move; firing ends the request with a timeout.
    QTimer inactivityTimer;
};
