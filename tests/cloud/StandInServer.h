#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>

class QTcpSocket;

// A small HTTP/1.1 server on a loopback address and a free port, in this process: it reads each
// request (headers and a Content-Length body), asks the handler for the answer and closes the
// connection after writing it.
struct StandInRequest
{
    QByteArray method;
    QUrl url; // path and query of the request target
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
};

struct StandInResponse
{
    StandInResponse(int status = 200, const QByteArray &body = {},
                    const QList<std::pair<QByteArray, QByteArray>> &headers = {}, bool silent = false)
        : status(status), body(body), headers(headers), silent(silent)
    {
    }

    int status = 200;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;
    bool silent = false; // never answer: the connection stays open
};

class StandInServer : public QObject
{
public:
    using Handler = std::function<StandInResponse(const StandInRequest &)>;

    explicit StandInServer(Handler handler, const QHostAddress &address = QHostAddress::LocalHost);

    // "http://address:port" followed by the path.
    QString url(const QString &path = QString()) const;

    // Every complete request, in order of arrival.
    QList<StandInRequest> requests;
    // Requests to this path are read no further than their headers, so that their bodies stall.
    QString stallPath;

private:
    void readFrom(QTcpSocket *socket);

    Handler m_handler;
    // Before the server: its sockets still report their disconnection while it is destroyed.
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QTcpServer m_server;
};
