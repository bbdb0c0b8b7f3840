#include "NBPOSTBody.h"

#include "DMMultipartRequest.h"

namespace {

void openPart(QByteArray *body, const QByteArray &boundary)
{
    if (body->isEmpty())
        body->append("--" + boundary + "\r\n");
}

void closePart(QByteArray *body, const QByteArray &boundary)
{
    body->append("\r\n--" + boundary + "\r\n");
}

} // namespace

namespace NBPOSTBody {

const QByteArray &boundary()
{
    static const QByteArray value("-----NBRequestBoundary-----");
    return value;
}

void addToHTTPBodyValueForKey(QByteArray *body, const QString &value, const QString &key, const QByteArray &boundary)
{
    openPart(body, boundary);
    body->append(multipartContentDispositionLine(key) + "\r\n");
    body->append(value.toUtf8());
    closePart(body, boundary);
}

void addToHTTPBodyFileDataFileNameMimeTypeForKey(QByteArray *body, const QByteArray &data, const QString &fileName,
                                                 const QString &mimeType, const QString &key, const QByteArray &boundary)
{
    const QString name = fileName.isEmpty() ? QStringLiteral("UnknownFileName") : fileName;
    openPart(body, boundary);
    body->append(multipartContentDispositionLine(key, &name));
    body->append("Content-Type: "
                 + (mimeType.isEmpty() ? QByteArray("application/octet-stream") : mimeType.toUtf8()) + "\r\n\r\n");
    body->append(data);
    closePart(body, boundary);
}

void finalizeHTTPBody(QByteArray *body)
{
    if (body->endsWith("\r\n")) {
        body->chop(2);
        body->append("--\r\n");
    }
}

} // namespace NBPOSTBody
