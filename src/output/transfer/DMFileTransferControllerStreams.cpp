#include "DMFileTransferControllerStreams.h"

#include "DMFileTransferControllerCurl.h"
#include "DMStringAdditions.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

// A stalled HTTP source fails after this long without a byte.
constexpr int kHTTPTransferTimeoutMilliseconds = 60000;
// Bytes an HTTP reply buffers ahead of the destination before it stops reading the socket.
constexpr qint64 kHTTPReadBufferSize = 256 * 1024;

QHash<quint64, QByteArray> &registeredData()
{
    static QHash<quint64, QByteArray> data;
    return data;
}

// The number an "nsdata" URL names. URL parsing writes a host of up to 32 bits as an IPv4
// address ("nsdata://123" has the host "0.0.0.123"), so such a host is read back as a number.
quint64 dataHandleOfURL(const QUrl &url)
{
    const QString host = url.host();
    QHostAddress address;
    if (address.setAddress(host) && address.protocol() == QAbstractSocket::IPv4Protocol)
        return address.toIPv4Address();
    return pointerValue(host);
}

class DataReadStream : public DMFileTransferReadStream
{
public:
    explicit DataReadStream(const QUrl &url) : m_url(url) {}

    bool open(QString *error) override
    {
        std::optional<QByteArray> data = DMFileTransferTakeDataOfURL(m_url);
        if (!data) {
            *error = QStringLiteral("No data is held under %1.").arg(dataHandleOfURL(m_url));
            return false;
        }
        m_data = std::move(*data);
        return true;
    }
    qint64 read(char *data, qint64 maxLength) override
    {
        const qint64 count = std::min<qint64>(maxLength, m_data.size() - m_offset);
        std::memcpy(data, m_data.constData() + m_offset, size_t(count));
        m_offset += count;
        return count;
    }
    bool atEnd() const override { return m_offset >= m_data.size(); }
    QString errorString() const override { return QString(); }
    quint64 size() const override { return quint64(m_data.size()); }

private:
    QUrl m_url;
    QByteArray m_data; // shared with the caller's copy, never duplicated
    qint64 m_offset = 0;
};

class FileReadStream : public DMFileTransferReadStream
{
public:
    explicit FileReadStream(const QUrl &url) : m_file(url.toLocalFile()) {}

    bool open(QString *error) override
    {
        if (!QFileInfo(m_file.fileName()).isFile() || !m_file.open(QIODevice::ReadOnly)) {
            *error = m_file.exists() ? m_file.errorString() : QStringLiteral("No file at %1.").arg(m_file.fileName());
            return false;
        }
        m_size = quint64(m_file.size());
        return true;
    }
    qint64 read(char *data, qint64 maxLength) override
    {
        const qint64 count = m_file.read(data, maxLength);
        if (count < 0)
            m_error = m_file.errorString();
        return count;
    }
    bool atEnd() const override { return m_error.isEmpty() && m_file.atEnd(); }
    QString errorString() const override { return m_error; }
    quint64 size() const override { return m_size; }

private:
    QFile m_file;
    quint64 m_size = kUnknownSize;
    QString m_error;
};

// A GET of HTTP/1.1. The credentials travel in the Authorization header, never in the URL.
class HTTPReadStream : public DMFileTransferReadStream
{
public:
    explicit HTTPReadStream(const DMFileTransferEndpoint &source) : m_source(source) {}
    ~HTTPReadStream() override
    {
        setReadableCallback(nullptr);
        if (m_reply)
            m_reply->abort();
    }

    bool open(QString *) override
    {
        QNetworkRequest request(m_source.url);
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
        request.setTransferTimeout(kHTTPTransferTimeoutMilliseconds);
        if (!m_source.user.isEmpty() || !m_source.password.isEmpty()) {
            const QByteArray pair = (m_source.user + QLatin1Char(':') + m_source.password).toUtf8();
            request.setRawHeader("Authorization", "Basic " + pair.toBase64());
        }
        m_reply = m_manager.get(request);
        m_reply->setReadBufferSize(kHTTPReadBufferSize);
        QObject::connect(m_reply, &QNetworkReply::readyRead, this, [this] { notifyReadable(); });
        QObject::connect(m_reply, &QNetworkReply::finished, this, [this] { notifyReadable(); });
        return true;
    }
    qint64 read(char *data, qint64 maxLength) override
    {
        if (!m_reply || !errorString().isEmpty())
            return m_reply ? 0 : -1;
        return std::max<qint64>(0, m_reply->read(data, maxLength));
    }
    bool atEnd() const override
    {
        return m_reply && m_reply->isFinished() && m_reply->error() == QNetworkReply::NoError
               && m_reply->bytesAvailable() == 0;
    }
    QString errorString() const override
    {
        if (m_reply && m_reply->isFinished() && m_reply->error() != QNetworkReply::NoError)
            return m_reply->errorString();
        return QString();
    }

private:
    DMFileTransferEndpoint m_source;
    QNetworkAccessManager m_manager;
    QPointer<QNetworkReply> m_reply; // a child of the manager
};

// Writes into a temporary file that replaces the destination only when every byte is written,
// so that a failed copy never leaves a truncated file under the destination's name.
class FileWriteStream : public DMFileTransferWriteStream
{
public:
    explicit FileWriteStream(const QUrl &url) : m_file(url.toLocalFile())
    {
        m_pump.setSingleShot(true);
        m_pump.setInterval(0);
        QObject::connect(&m_pump, &QTimer::timeout, this, [this] { pump(); });
    }

    bool open(QString *error) override
    {
        if (!m_file.open(QIODevice::WriteOnly)) {
            *error = m_file.errorString();
            return false;
        }
        QTimer::singleShot(0, this, [this] { pump(); });
        return true;
    }
    qint64 write(const char *data, qint64 length) override
    {
        if (m_closed || m_finished)
            return -1;
        const qint64 written = m_file.write(data, length);
        if (written < 0)
            m_error = m_file.errorString();
        else if (written > 0)
            m_wrote = true;
        return written;
    }
    void finishWriting() override
    {
        if (m_finished || m_closed)
            return;
        m_finished = true;
        QTimer::singleShot(0, this, [this] {
            if (m_closed)
                return;
            if (m_file.commit()) {
                send(EndEncountered);
            } else {
                m_error = m_file.errorString();
                send(ErrorOccurred);
            }
        });
    }
    void wake() override
    {
        if (!m_closed && !m_finished && !m_pump.isActive())
            m_pump.start();
    }
    QString errorString() const override { return m_error; }
    void close() override
    {
        m_closed = true;
        m_pump.stop();
        setClient(nullptr);
        if (!m_finished)
            m_file.cancelWriting();
    }

private:
    // One chunk per turn of the event loop; when the source had nothing, wait for wake().
    void pump()
    {
        if (m_closed || m_finished)
            return;
        m_wrote = false;
        send(CanAcceptBytes);
        if (m_wrote)
            wake();
    }

    QSaveFile m_file;
    QTimer m_pump;
    QString m_error;
    bool m_wrote = false;
    bool m_finished = false;
    bool m_closed = false;
};

} // namespace

DMFileTransferEndpoint DMFileTransferEndpoint::fromURL(const QUrl &url)
{
    return {url.adjusted(QUrl::RemoveUserInfo), url.userName(), url.password()};
}

std::unique_ptr<DMFileTransferReadStream> DMFileTransferReadStreamForEndpoint(const DMFileTransferEndpoint &source)
{
    const QString scheme = source.url.scheme();
    if (scheme == QLatin1String("nsdata"))
        return std::make_unique<DataReadStream>(source.url);
    if (scheme == QLatin1String("file"))
        return std::make_unique<FileReadStream>(source.url);
    if (scheme == QLatin1String("http"))
        return std::make_unique<HTTPReadStream>(source);
    if (scheme == QLatin1String("ftp"))
        return std::make_unique<DMFileTransferFTPReadStream>(source);
    return nullptr;
}

std::unique_ptr<DMFileTransferWriteStream> DMFileTransferWriteStreamForEndpoint(const DMFileTransferEndpoint &destination,
                                                                               quint64 sourceSize)
{
    const QString scheme = destination.url.scheme();
    if (scheme == QLatin1String("file"))
        return std::make_unique<FileWriteStream>(destination.url);
    if (scheme == QLatin1String("ftp"))
        return std::make_unique<DMFileTransferFTPWriteStream>(destination, sourceSize);
    return nullptr;
}

quint64 DMFileTransferRegisterData(const QByteArray &data)
{
    static quint64 lastHandle = 0;
    registeredData().insert(++lastHandle, data);
    return lastHandle;
}

std::optional<QByteArray> DMFileTransferTakeDataOfURL(const QUrl &url)
{
    if (url.scheme() != QLatin1String("nsdata"))
        return std::nullopt;
    auto it = registeredData().find(dataHandleOfURL(url));
    if (it == registeredData().end())
        return std::nullopt;
    QByteArray data = it.value();
    registeredData().erase(it);
    return data;
}
