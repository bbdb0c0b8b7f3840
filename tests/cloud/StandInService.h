#pragma once

#include "StandInServer.h"

#include <QHash>
#include <QVariantMap>

#include <map>
#include <optional>

// A stand-in of the cloud file-sharing service: account, item list, bookmarks, the two-step
// upload with its storage form, rename, privacy, deletion and restoration, registration and
// store products. Everything but registration, store products and the storage form requires
// HTTP Basic credentials of its one account, and challenges without them.
class StandInService
{
public:
    StandInService();

    // One multipart part as the storage form received it.
    struct Part
    {
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray content;
    };
    // Splits a multipart/form-data body at the boundary its Content-Type names.
    static QList<Part> multipartParts(const QByteArray &contentType, const QByteArray &body);
    // A parameter of a Content-Disposition header: name="..." or filename="...".
    static QByteArray dispositionParameter(const QByteArray &disposition, const QByteArray &parameter);

    QString email = QStringLiteral("ann@example.org");
    QString password = QStringLiteral("secret");
    // Stored items by number, as the service's JSON objects.
    std::map<int, QVariantMap> items;
    // Limits sent with the upload parameters, when set.
    std::optional<qint64> uploadsRemaining;
    std::optional<qint64> maximumUploadSize;
    // The parts of the last upload.
    QList<Part> lastUploadParts;
    // Fixed answers by path, in place of the service's own.
    QHash<QString, StandInResponse> overrides;

    StandInServer server;

    // Adds an item and gives its JSON object.
    QVariantMap addItem(const QString &name, const QString &type = QStringLiteral("image"));

private:
    StandInResponse answer(const StandInRequest &request);
    StandInResponse answerItem(const StandInRequest &request, int number);
    StandInResponse upload(const StandInRequest &request);
};

// Answers of the stand-ins.
StandInResponse jsonResponse(int status, const QVariant &value);
