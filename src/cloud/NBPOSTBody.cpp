#include "NBPOSTBody.h"

#include "DMMultipartRequest.h"

namespace {

void openPart(QByteArray *body)
{
    if (body->isEmpty())
        body->append("--" + NBPOSTBody::boundary() + "\r\n");
}

void closePart(QByteArray *body)
{
    body->append("\r\n--" + NBPOSTBody::boundary() + "\r\n");
}

} // namespace

namespace NBPOSTBody {

const QByteArray &boundary()
{
    static const QByteArray value("-----NBRequestBoundary-----");
    return value;
}

void addToHTTPBodyValueForKey(QByteArray *body, const QString &value, const QString &key)
{
    openPart(body);
    body->append(multipartContentDispositionLine(key) + "\r\n");
    body->append(value.toUtf8());
    closePart(body);
}

void addToHTTPBodyFileDataFileNameMimeTypeForKey(QByteArray *body, const QByteArray &data, const QString &fileName,
                                                 const QString &mimeType, const QString &key)
{
    const QString name = fileName.isEmpty() ? QStringLiteral("UnknownFileName") : fileName;
    openPart(body);
    body->append(multipartContentDispositionLine(key, &name));
    body->append("Content-Type: "
                 + (mimeType.isEmpty() ? QByteArray("application/octet-stream") : mimeType.toUtf8()) + "\r\n\r\n");
    body->append(data);
    closePart(body);
}

void finalizeHTTPBody(QByteArray *body)
{
    if (body->endsWith("\r\n")) {
        body->chop(2);
        body->append("--\r\n");
    }
}

} // namespace NBPOSTBody
