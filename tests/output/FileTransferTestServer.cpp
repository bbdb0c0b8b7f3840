#include "FileTransferTestServer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QUrl>

namespace {

const char *kServerScript = R"(
import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer
logging.basicConfig(level=logging.ERROR)
root, user, password, limit = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
handler = FTPHandler
handler.authorizer = authorizer
if limit > 0:
    ThrottledDTPHandler.read_limit = limit
    ThrottledDTPHandler.write_limit = limit
    handler.dtp_handler = ThrottledDTPHandler
server = FTPServer(("127.0.0.1", 0), handler)
print(server.socket.getsockname()[1], flush=True)
server.serve_forever()
)";

// The system's Python, which has the Debian package, rather than another one first on the path.
QString python()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                  : QStringLiteral("python3");
}

} // namespace

FileTransferTestServer::FileTransferTestServer(int bytesPerSecond)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(python(), {QStringLiteral("-c"), QString::fromUtf8(kServerScript), m_root.path(),
                               QString::fromLatin1(kUser), QString::fromLatin1(kPassword),
                               QString::number(bytesPerSecond)});
    if (!m_process.waitForStarted(5000)) {
        m_problem = QStringLiteral("python3 did not start");
        return;
    }
    QElapsedTimer clock;
    clock.start();
    while (!m_process.canReadLine() && m_process.state() == QProcess::Running && clock.elapsed() < 10000)
        m_process.waitForReadyRead(200);
    bool ok = false;
    m_port = m_process.readLine().trimmed().toInt(&ok);
    if (!ok) {
        m_port = 0;
        m_problem = QString::fromUtf8(m_process.readAllStandardError());
    }
}

FileTransferTestServer::~FileTransferTestServer()
{
    kill();
}

QString FileTransferTestServer::url(const QString &path, const QString &password) const
{
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_port);
    url.setUserName(QString::fromLatin1(kUser));
    url.setPassword(password);
    url.setPath(path);
    return url.toString(QUrl::FullyEncoded);
}

void FileTransferTestServer::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
