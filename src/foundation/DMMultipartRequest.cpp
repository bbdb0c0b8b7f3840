#include "DMMultipartRequest.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

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

// Longest boundary the multipart format allows.
constexpr int kMaximumBoundaryLength = 70;

QByteArray filePartHeaders(const QString &name, const QString &fileName)
{
    return multipartContentDispositionLine(name, &fileName) + "Content-Type: application/octet-stream" + kCRLF;
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

QByteArray multipartBoundaryNotIn(const QByteArray &preferred, const QList<QByteArray> &contents)
{
    const auto absent = [&contents](const QByteArray &candidate) {
        return std::none_of(contents.begin(), contents.end(),
                            [&candidate](const QByteArray &content) { return content.contains(candidate); });
    };
    if (absent(preferred))
        return preferred;
    // Contents made to hold the fixed boundary cannot guess a random one; a try is checked all the
    // same.
    for (;;) {
        const QByteArray candidate =
            (preferred.left(kMaximumBoundaryLength - 16) + QByteArray::number(QRandomGenerator::system()->generate64(), 16)
                                                              .rightJustified(16, '0'));
        if (absent(candidate))
            return candidate;
    }
}

DMMultipartRequest requestForMultipartMessageWithURLHTTPMethodDictionary(const QUrl &url, const QByteArray &method,
                                                                         const QVariantMap &dictionary)
{
    // The parts first: the boundary is chosen from what they hold.
    struct Part
    {
        QByteArray headers;
        QByteArray contents;
    };
    QList<Part> parts;
    QList<QByteArray> contents;
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        const QVariant &value = it.value();
        const int type = value.typeId();
        Part part;
        if (type == QMetaType::QString) {
            part = {multipartContentDispositionLine(it.key()), value.toString().toUtf8()};
        } else if (type == QMetaType::QUrl) {
            const QUrl fileURL = value.toUrl();
            part = {filePartHeaders(it.key(), QFileInfo(fileURL.path()).fileName()), fileContents(fileURL)};
        } else if (type == QMetaType::QByteArray) {
            part = {filePartHeaders(it.key(), it.key()), value.toByteArray()};
        } else {
            continue;
        }
        contents << part.headers << part.contents;
        parts.append(part);
    }
    const QByteArray boundary = multipartBoundaryNotIn(DMMultipartRequest::boundary(), contents);

    DMMultipartRequest result;
    result.request.setUrl(url);
    result.request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary);
    result.method = method;
    QByteArray &body = result.body;
    for (const Part &part : std::as_const(parts))
        body.append("--" + boundary + kCRLF + part.headers + kCRLF + part.contents + kCRLF);
    body.append("--" + boundary + "--" + kCRLF);
    return result;
}
