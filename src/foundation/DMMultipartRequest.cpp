#include "DMMultipartRequest.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QByteArray kCRLF("\r\n");

QByteArray headerValue(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('"', "%22");
    bytes.replace('\r', "%0D");
    bytes.replace('\n', "%0A");
    return bytes;
}

void appendFilePart(QByteArray *body, const QString &name, const QString &fileName, const QByteArray &content)
{
    body->append(multipartContentDispositionLine(name, &fileName));
    body->append("Content-Type: application/octet-stream" + kCRLF + kCRLF);
    body->append(content);
    body->append(kCRLF);
}

QByteArray fileContents(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

QByteArray multipartContentDispositionLine(const QString &name, const QString *fileName)
{
    QByteArray line = "Content-Disposition: form-data; name=\"" + headerValue(name) + '"';
    if (fileName)
        line += "; filename=\"" + headerValue(*fileName) + '"';
    return line + kCRLF;
}

const QByteArray &DMMultipartRequest::boundary()
{
    static const QByteArray value("B7E2C9A41D6F4E83A5C07D19F2B68E4A3C5D");
    return value;
}

DMMultipartRequest requestForMultipartMessageWithURLHTTPMethodDictionary(const QUrl &url, const QByteArray &method,
                                                                         const QVariantMap &dictionary)
{
    const QByteArray &boundary = DMMultipartRequest::boundary();
    DMMultipartRequest result;
    result.request.setUrl(url);
    result.request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary);
    result.method = method;

    QByteArray &body = result.body;
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        const QVariant &value = it.value();
        const int type = value.typeId();
        if (type != QMetaType::QString && type != QMetaType::QUrl && type != QMetaType::QByteArray)
            continue;
        body.append("--" + boundary + kCRLF);
        if (type == QMetaType::QString) {
            body.append(multipartContentDispositionLine(it.key()) + kCRLF);
            body.append(value.toString().toUtf8());
            body.append(kCRLF);
        } else if (type == QMetaType::QUrl) {
            const QUrl fileURL = value.toUrl();
            appendFilePart(&body, it.key(), QFileInfo(fileURL.path()).fileName(), fileContents(fileURL));
        } else {
            appendFilePart(&body, it.key(), it.key(), value.toByteArray());
        }
    }
    body.append("--" + boundary + "--" + kCRLF);
    return result;
}
