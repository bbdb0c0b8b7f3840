#include "StandInService.h"

#include "NBJSON.h"

#include <QRegularExpression>
#include <QUrlQuery>

StandInResponse jsonResponse(int status, const QVariant &value)
{
    return {status, NBJSONDataWithValue(value), {{"Content-Type", "application/json"}}};
}

StandInService::StandInService()
    : server([this](const StandInRequest &request) { return answer(request); })
{
}

QList<StandInService::Part> StandInService::multipartParts(const QByteArray &contentType, const QByteArray &body)
{
    const QRegularExpression boundaryPattern(QStringLiteral("boundary=([^;]+)"));
    const QByteArray boundary = boundaryPattern.match(QString::fromLatin1(contentType)).captured(1).toLatin1();
    const QByteArray delimiter = "--" + boundary;
    QList<Part> parts;
    qsizetype start = body.indexOf(delimiter);
    while (start >= 0) {
        start += delimiter.size();
        if (body.mid(start, 2) == "--")
            break;
        const qsizetype next = body.indexOf("\r\n" + delimiter, start);
        if (next < 0)
            break;
        const QByteArray text = body.mid(start + 2, next - start - 2);
        const qsizetype headerEnd = text.indexOf("\r\n\r\n");
        Part part;
        for (const QByteArray &line : text.left(headerEnd).split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                part.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        part.content = text.mid(headerEnd + 4);
        parts.append(part);
        start = next + 2;
    }
    return parts;
}

QByteArray StandInService::dispositionParameter(const QByteArray &disposition, const QByteArray &parameter)
{
    const QByteArray key = "; " + parameter + "=\"";
    const qsizetype start = disposition.indexOf(key);
    if (start < 0)
        return {};
    const qsizetype end = disposition.indexOf('"', start + key.size());
    return disposition.mid(start + key.size(), end - start - key.size());
}

QVariantMap StandInService::addItem(const QString &name, const QString &type)
{
    const int number = items.empty() ? 1 : items.rbegin()->first + 1;
    const QVariantMap item{{"name", name},
                           {"item_type", type},
                           {"view_counter", 0},
                           {"href", server.url(QStringLiteral("/items/%1").arg(number))},
                           {"url", server.url(QStringLiteral("/s/%1").arg(number))},
                           {"private", false},
                           {"created_at", "2024-03-01T09:30:00Z"},
                           {"deleted_at", QVariant::fromValue(nullptr)}};
    items[number] = item;
    return item;
}

StandInResponse StandInService::answer(const StandInRequest &request)
{
    const QString path = request.url.path();
    if (overrides.contains(path))
        return overrides.value(path);
    if (path == QLatin1String("/storage"))
        return upload(request);
    if (path == QLatin1String("/register")) {
        const QVariantMap user = NBJSONValueWithData(request.body).value_or(QVariant()).toMap().value("user").toMap();
        return jsonResponse(201, QVariantMap{{"email", user.value("email")}, {"subscribed", false}});
    }
    if (path.startsWith(QLatin1String("/s/")) && items.count(path.mid(3).toInt()))
        return jsonResponse(200, items[path.mid(3).toInt()]);
    if (path == QLatin1String("/purchases") && request.method == "GET")
        return jsonResponse(200, QVariantList{QVariantMap{{"id", "pro"}}});

    const QByteArray credentials = "Basic " + (email + ':' + password).toUtf8().toBase64();
    if (request.headers.value("authorization") != credentials)
        return {401, "[\"Sign in first\"]", {{"WWW-Authenticate", "Basic realm=\"StandIn\""}}};

    if (path == QLatin1String("/account"))
        return jsonResponse(200, QVariantMap{{"email", email}, {"subscribed", true}, {"alpha", "true"}});
    if (path == QLatin1String("/items/new")) {
        QVariantMap parameters{{"url", server.url(QStringLiteral("/storage"))},
                               {"params", QVariantMap{{"key", "uploads/${filename}"}, {"acl", "public-read"}}}};
        if (uploadsRemaining)
            parameters.insert("uploads_remaining", *uploadsRemaining);
        if (maximumUploadSize)
            parameters.insert("max_upload_size", *maximumUploadSize);
        return jsonResponse(200, parameters);
    }
    if (path == QLatin1String("/items") && request.method == "POST") {
        const QVariantMap body = NBJSONValueWithData(request.body).value_or(QVariant()).toMap().value("item").toMap();
        addItem(body.value("name").toString(), QStringLiteral("bookmark"));
        QVariantMap &item = items.rbegin()->second;
        item.insert("redirect_url", body.value("redirect_url"));
        return jsonResponse(201, item);
    }
    if (path == QLatin1String("/items")) {
        const QUrlQuery query(request.url);
        QVariantList list;
        for (const auto &[number, item] : items) {
            const bool deleted = !NBJSONIsNull(item.value("deleted_at"));
            if (deleted == (query.queryItemValue("deleted") == QLatin1String("true"))
                && (!query.hasQueryItem("type") || item.value("item_type") == query.queryItemValue("type")))
                list.append(item);
        }
        return jsonResponse(200, list);
    }
    if (path.startsWith(QLatin1String("/items/"))) {
        const int number = path.mid(7).toInt();
        if (items.count(number))
            return answerItem(request, number);
    }
    return jsonResponse(404, QVariantList{"Not found"});
}

StandInResponse StandInService::answerItem(const StandInRequest &request, int number)
{
    QVariantMap &item = items[number];
    if (request.method == "DELETE") {
        item.insert("deleted_at", "2024-03-02T10:00:00Z");
        return jsonResponse(200, item);
    }
    const QVariantMap body = NBJSONValueWithData(request.body).value_or(QVariant()).toMap();
    const QVariantMap changes = body.value("item").toMap();
    if (changes.contains("name"))
        item.insert("name", changes.value("name"));
    if (changes.contains("private"))
        item.insert("private", changes.value("private"));
    if (body.value("deleted").toBool())
        item.insert("deleted_at", QVariant::fromValue(nullptr));
    return jsonResponse(200, item);
}

StandInResponse StandInService::upload(const StandInRequest &request)
{
    lastUploadParts = multipartParts(request.headers.value("content-type"), request.body);
    for (const Part &part : lastUploadParts) {
        const QByteArray disposition = part.headers.value("content-disposition");
        if (dispositionParameter(disposition, "name") == "file") {
            return jsonResponse(201, addItem(QString::fromUtf8(dispositionParameter(disposition, "filename"))));
        }
    }
    return jsonResponse(400, QVariantList{"No file"});
}
