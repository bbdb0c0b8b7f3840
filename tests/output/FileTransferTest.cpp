// Transfers end to end: in-memory, local, HTTP and FTP sources; local and FTP destinations on a
// real FTP server; every failure ends in an alert and never in success; credentials never show.
#include "DMFileTransferController.h"
#include "DMFileTransferControllerCurl.h"
#include "FakeModalUI.h"

#include "FileTransferTestServer.h"
#include "StandInServer.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using halcyra::test::runUntilIdle;
using halcyra::test::waitFor;

namespace {

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A port on which nothing listens.
int closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

class FileTransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        DMModalUI::setInstance(&ui);
    }
    void TearDown() override
    {
        delete controller.data();
        DMModalUI::setInstance(nullptr);
    }

    // Forgets the last transfer and its alerts.
    void reset()
    {
        ui.alerts.clear();
        finishedCount = 0;
        delete controller.data();
    }
    // A controller that the test keeps (it does not release itself), recording its end.
    DMFileTransferController *transfer(const QUrl &source, const QUrl &destination)
    {
        controller = new DMFileTransferController(source, destination);
        controller->setReleaseWhenStopped(false);
        QObject::connect(controller, &DMFileTransferController::finished, [this](bool succeeded) {
            ++finishedCount;
            this->succeeded = succeeded;
        });
        return controller;
    }
    bool runToEnd(int timeoutMilliseconds = 20000)
    {
        controller->start();
        return waitFor([this] { return finishedCount > 0; }, timeoutMilliseconds);
    }
    void expectFailureAlert(const QString &message)
    {
        EXPECT_FALSE(succeeded);
        EXPECT_EQ(finishedCount, 1);
        EXPECT_EQ(controller->outcome(), DMFileTransferController::Failed);
        ASSERT_EQ(ui.alerts.size(), 1);
        EXPECT_EQ(ui.alerts.first().messageText, message);
        EXPECT_EQ(ui.alerts.first().buttons, QStringList{QStringLiteral("Cancel")});
        EXPECT_FALSE(controller->window()->isVisible());
    }
    // Nothing the user or a log can see holds the password.
    void expectNoPasswordShown()
    {
        const QString password = QString::fromLatin1(FileTransferTestServer::kPassword);
        QStringList shown = {controller->topText(), controller->infoText(), controller->window()->windowTitle(),
                             controller->errorText(), controller->sourceURL().toString(),
                             controller->destinationURL().toString()};
        for (const DMModalUI::Alert &alert : ui.alerts)
            shown << alert.messageText << alert.informativeText;
        for (const QString &text : shown) {
            EXPECT_FALSE(text.contains(password)) << qPrintable(text);
            EXPECT_FALSE(text.contains(QUrl::toPercentEncoding(password))) << qPrintable(text);
        }
    }
    QString path(const QString &name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    halcyra::test::FakeModalUI ui;
    QPointer<DMFileTransferController> controller;
    int finishedCount = 0;
    bool succeeded = false;
};

TEST_F(FileTransferTest, InMemorySourceIsWrittenInChunksAndTheWindowClosesASecondAfterTheEnd)
{
    const QByteArray data = randomBytes(2500);
    transfer(DMFileTransferController::urlForData(data), QUrl::fromLocalFile(path(QStringLiteral("copy.bin"))));
    QList<double> progress;
    qint64 lastChunkAt = 0;
    qint64 finishedAt = 0;
    DMObservation observation = controller->observe(QStringLiteral("progress"), [&](const DMChange &, DMObservable *) {
        progress.append(controller->progress());
        lastChunkAt = halcyra::test::elapsedMilliseconds();
    });
    QObject::connect(controller, &DMFileTransferController::finished,
                     [&] { finishedAt = halcyra::test::elapsedMilliseconds(); });

    controller->start();
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_EQ(controller->window()->windowTitle(), QStringLiteral("File copy"));
    EXPECT_EQ(controller->topText(), QStringLiteral("Writing %1 to %2")
                                         .arg(controller->sourceURL().toDisplayString(), path(QStringLiteral("copy.bin"))));
    ASSERT_TRUE(waitFor([&] { return finishedCount > 0; }, 5000));

    EXPECT_EQ(progress, (QList<double>{1024 / 2500.0, 2048 / 2500.0, 1.0}));
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(contentsOf(path(QStringLiteral("copy.bin"))), data);
    EXPECT_GE(finishedAt - lastChunkAt, 950);
    EXPECT_LE(finishedAt - lastChunkAt, 4000); // loose: a loaded machine delays the timer
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_TRUE(controller->infoText().startsWith(QStringLiteral("2.4 KB of 2.4 KB - ")));
    EXPECT_TRUE(ui.alerts.isEmpty());
}

TEST_F(FileTransferTest, AStoppedControllerReleasesItselfAndItsDataOnce)
{
    const QUrl source = DMFileTransferController::urlForData(QByteArray("abc"));
    QPointer<DMFileTransferController> released = new DMFileTransferController(source, QUrl::fromLocalFile(path(QStringLiteral("a"))));
    bool done = false;
    QObject::connect(released, &DMFileTransferController::finished, [&](bool ok) { done = ok; });
    released->start();
    ASSERT_TRUE(waitFor([&] { return done; }, 5000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(released.isNull());
    EXPECT_EQ(contentsOf(path(QStringLiteral("a"))), QByteArray("abc"));

    // The data went with the first transfer, and with a controller deleted before it started:
    // a second transfer from the same URL cannot read it.
    const QUrl unused = DMFileTransferController::urlForData(QByteArray("xyz"));
    delete new DMFileTransferController(unused, QUrl::fromLocalFile(path(QStringLiteral("c"))));
    for (const QUrl &url : {source, unused}) {
        reset();
        transfer(url, QUrl::fromLocalFile(path(QStringLiteral("b"))));
        ASSERT_TRUE(runToEnd());
        expectFailureAlert(QStringLiteral("CFReadStreamOpen failure"));
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("b"))));
    }
}

TEST_F(FileTransferTest, SourcesAndDestinationsThatCannotBeOpenedAreRefusedWithAnAlert)
{
    struct Case
    {
        QUrl source, destination;
        QString message, informative;
    };
    QFile existing(path(QStringLiteral("existing.txt")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("content");
    existing.close();
    const QUrl existingURL = QUrl::fromLocalFile(existing.fileName());
    const QList<Case> cases = {
        {QUrl(QStringLiteral("https://example.com/a.pdf")), QUrl::fromLocalFile(path(QStringLiteral("x"))),
         QStringLiteral("Unable to read source file"), QStringLiteral("Unsupported source URL scheme: https")},
        {existingURL, QUrl(QStringLiteral("sftp://example.com/a.pdf")), QStringLiteral("Unable to write destination file"),
         QStringLiteral("Unsupported destination URL scheme: sftp")},
        {QUrl::fromLocalFile(path(QStringLiteral("missing"))), QUrl::fromLocalFile(path(QStringLiteral("x"))),
         QStringLiteral("CFReadStreamOpen failure"), QString()},
        {existingURL, QUrl::fromLocalFile(path(QStringLiteral("no/such/folder/x"))), QStringLiteral("CFWriteStreamOpen failure"),
         QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.message));
        reset();
        transfer(c.source, c.destination);
        controller->start();
        expectFailureAlert(c.message);
        if (!c.informative.isEmpty()) {
            EXPECT_EQ(ui.alerts.first().informativeText, c.informative);
        }
    }
}

TEST_F(FileTransferTest, FTPUploadArrivesByteIdenticalAndShowsNoCredentials)
{
    FileTransferTestServer server;
    ASSERT_TRUE(server.isRunning()) << qPrintable(server.whyNotRunning());
    const QByteArray data = randomBytes(3 * 1024 * 1024 + 7);
    QFile source(path(QStringLiteral("report.pdf")));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write(data);
    source.close();

    transfer(QUrl::fromLocalFile(source.fileName()), QUrl(server.url(QStringLiteral("/report.pdf"))));
    ASSERT_TRUE(runToEnd());

    EXPECT_TRUE(succeeded);
    EXPECT_EQ(controller->outcome(), DMFileTransferController::Succeeded);
    EXPECT_EQ(controller->bytesWritten(), quint64(data.size()));
    EXPECT_EQ(contentsOf(QDir(server.rootPath()).filePath(QStringLiteral("report.pdf"))), data);
    EXPECT_EQ(controller->window()->windowTitle(), QStringLiteral("FTP Upload"));
    EXPECT_EQ(controller->topText(), QStringLiteral("Uploading to ftp://127.0.0.1/report.pdf"));
    EXPECT_TRUE(controller->infoText().startsWith(QStringLiteral("3.0 MB of 3.0 MB - ")));
    EXPECT_TRUE(ui.alerts.isEmpty());
    expectNoPasswordShown();
}

TEST_F(FileTransferTest, RefusedLoginStoppedServerUnreachablePortAndTimeoutEachEndInAnError)
{
    {
        SCOPED_TRACE("wrong password");
        FileTransferTestServer server;
        ASSERT_TRUE(server.isRunning()) << qPrintable(server.whyNotRunning());
        transfer(DMFileTransferController::urlForData(randomBytes(5000)),
                 QUrl(server.url(QStringLiteral("/a.pdf"), QStringLiteral("wrong"))));
        ASSERT_TRUE(runToEnd());
        expectFailureAlert(QStringLiteral("An error occured while writing the file"));
        EXPECT_FALSE(QFile::exists(QDir(server.rootPath()).filePath(QStringLiteral("a.pdf"))));
        EXPECT_FALSE(ui.alerts.first().informativeText.contains(QStringLiteral("wrong")));
    }
    {
        SCOPED_TRACE("server stopped mid-transfer");
        reset();
        FileTransferTestServer server(256 * 1024);
        ASSERT_TRUE(server.isRunning()) << qPrintable(server.whyNotRunning());
        transfer(DMFileTransferController::urlForData(randomBytes(32 * 1024 * 1024)),
                 QUrl(server.url(QStringLiteral("/big.pdf"))));
        controller->start();
        ASSERT_TRUE(waitFor([&] { return controller->bytesWritten() > 0; }, 10000));
        server.kill();
        ASSERT_TRUE(waitFor([&] { return finishedCount > 0; }, 20000));
        expectFailureAlert(QStringLiteral("An error occured while writing the file"));
        EXPECT_LT(controller->bytesWritten(), quint64(32 * 1024 * 1024));
        expectNoPasswordShown();
    }
    {
        SCOPED_TRACE("unreachable port");
        reset();
        transfer(DMFileTransferController::urlForData(randomBytes(5000)),
                 QUrl(QStringLiteral("ftp://127.0.0.1:%1/a.pdf").arg(closedPort())));
        ASSERT_TRUE(runToEnd());
        expectFailureAlert(QStringLiteral("An error occured while writing the file"));
        EXPECT_FALSE(ui.alerts.first().informativeText.isEmpty());
    }
    {
        SCOPED_TRACE("a server that accepts the connection and never answers");
        reset();
        QTcpServer silent;
        ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
        DMFileTransferCurl::setTimeoutForTesting(1);
        transfer(DMFileTransferController::urlForData(randomBytes(5000)),
                 QUrl(QStringLiteral("ftp://127.0.0.1:%1/a.pdf").arg(silent.serverPort())));
        const bool ended = runToEnd(10000);
        DMFileTransferCurl::setTimeoutForTesting(0);
        ASSERT_TRUE(ended);
        expectFailureAlert(QStringLiteral("An error occured while writing the file"));
        EXPECT_TRUE(ui.alerts.first().informativeText.contains(QStringLiteral("timeout"), Qt::CaseInsensitive)
                    || ui.alerts.first().informativeText.contains(QStringLiteral("timed out"), Qt::CaseInsensitive))
            << qPrintable(ui.alerts.first().informativeText);
    }
}

TEST_F(FileTransferTest, FTPSourceIsDownloadedToALocalFile)
{
    FileTransferTestServer server;
    ASSERT_TRUE(server.isRunning()) << qPrintable(server.whyNotRunning());
    const QByteArray data = randomBytes(700 * 1024 + 3);
    QFile remote(QDir(server.rootPath()).filePath(QStringLiteral("plan.pdf")));
    ASSERT_TRUE(remote.open(QIODevice::WriteOnly));
    remote.write(data);
    remote.close();

    transfer(QUrl(server.url(QStringLiteral("/plan.pdf"))), QUrl::fromLocalFile(path(QStringLiteral("plan.pdf"))));
    ASSERT_TRUE(runToEnd());
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(contentsOf(path(QStringLiteral("plan.pdf"))), data);
    // The size of a network source is not known beforehand.
    EXPECT_EQ(controller->sourceSize(), DMFileTransferReadStream::kUnknownSize);
    EXPECT_LT(controller->progress(), 1e-9);
}

TEST_F(FileTransferTest, HTTPSourceIsDownloadedWithItsCredentialsInTheRequestNotTheURL)
{
    const QByteArray data = randomBytes(400 * 1024);
    StandInServer http([&](const StandInRequest &request) {
        if (request.url.path() == QLatin1String("/missing.pdf"))
            return StandInResponse(404, "not here");
        return StandInResponse(200, data);
    });
    QUrl source(http.url(QStringLiteral("/plan.pdf")));
    source.setUserName(QStringLiteral("bob"));
    source.setPassword(QStringLiteral("pw"));
    FileTransferTestServer ftp;
    ASSERT_TRUE(ftp.isRunning()) << qPrintable(ftp.whyNotRunning());

    // Network to network: the upload waits whenever the download has nothing yet.
    transfer(source, QUrl(ftp.url(QStringLiteral("/plan.pdf"))));
    ASSERT_TRUE(runToEnd());
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(contentsOf(QDir(ftp.rootPath()).filePath(QStringLiteral("plan.pdf"))), data);
    ASSERT_EQ(http.requests.size(), 1);
    EXPECT_EQ(http.requests.first().method, QByteArray("GET"));
    EXPECT_EQ(http.requests.first().url.path(), QStringLiteral("/plan.pdf"));
    EXPECT_EQ(http.requests.first().headers.value("authorization"), QByteArray("Basic ") + QByteArray("bob:pw").toBase64());
    EXPECT_EQ(controller->sourceURL().password(), QString());

    // An error page is not a file: nothing is written.
    reset();
    transfer(QUrl(http.url(QStringLiteral("/missing.pdf"))), QUrl::fromLocalFile(path(QStringLiteral("missing.pdf"))));
    ASSERT_TRUE(runToEnd());
    expectFailureAlert(QStringLiteral("An error occured while reading the file"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("missing.pdf"))));
}

TEST_F(FileTransferTest, CancelEndsTheCopyWithoutAnAlertAndLeavesNoPartialFile)
{
    StandInServer http([](const StandInRequest &) { return StandInResponse(200, {}, {}, true); });
    transfer(QUrl(http.url(QStringLiteral("/slow.pdf"))), QUrl::fromLocalFile(path(QStringLiteral("slow.pdf"))));
    controller->start();
    ASSERT_TRUE(waitFor([&] { return !http.requests.isEmpty(); }));
    EXPECT_EQ(finishedCount, 0);
    controller->stop();
    EXPECT_EQ(finishedCount, 1);
    EXPECT_FALSE(succeeded);
    EXPECT_EQ(controller->outcome(), DMFileTransferController::Cancelled);
    EXPECT_TRUE(ui.alerts.isEmpty());
    runUntilIdle();
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

} // namespace
