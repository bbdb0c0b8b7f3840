#include "StandInServer.h"

#include <QTcpSocket>

StandInServer::StandInServer(Handler handler, const QHostAddress &address)
    : m_handler(std::move(handler))
{
    m_server.listen(address, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

QString StandInServer::url(const QString &path) const
{
    return QStringLiteral("http://%1:%2%3").arg(m_server.serverAddress().toString()).arg(m_server.serverPort()).arg(path);
}

void StandInServer::readFrom(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    StandInRequest request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() < 2)
        return;
    request.method = requestLine[0];
    request.url = QUrl::fromEncoded(requestLine[1]);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    if (request.url.path() == stallPath) {
        // Stop taking bytes off the socket: the sender's buffers fill and its upload stalls.
        socket->setReadBufferSize(1);
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        return;
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() < headerEnd + 4 + length)
        return;
    request.body = buffer.mid(headerEnd + 4, length);
    buffer.clear();
    requests.append(request);

    const StandInResponse response = m_handler(request);
    if (response.silent)
        return;
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n";
    for (const auto &[name, value] : response.headers)
        answer += name + ": " + value + "\r\n";
    answer += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    socket->write(answer + response.body);
    socket->disconnectFromHost();
}
