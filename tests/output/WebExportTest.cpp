// The web export of a PDF held in memory: to a real FTP server on 127.0.0.1 with the account of
// the user defaults, and to a stand-in of the online viewer service; every failure is shown and
// never ends as a success.
#include "DMUserDefaults.h"
#include "DMWebExport.h"

#include "FakeModalUI.h"
#include "FileTransferTestServer.h"
#include "StandInServer.h"
#include "StandInService.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace halcyra::test;

namespace {

class WebExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("defaults.ini")));
        DMModalUI::setInstance(&ui);
        DMWebExport::setOpenURLHandler([this](const QUrl &url) { opened.append(url); });
    }
    void TearDown() override
    {
        DMWebExport::setOpenURLHandler({});
        DMModalUI::setInstance(nullptr);
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("unused.ini")));
    }

    static void setDefault(const QString &key, const QVariant &value)
    {
        DMUserDefaults::standardUserDefaults().setObjectForKey(value, key);
    }
    void useFTP(const FileTransferTestServer &server, const QString &password, const QString &folderPath)
    {
        setDefault(kDMHalcyra_WebExportKind, 1);
        setDefault(kDMHalcyra_WebExportFTPAddress, QStringLiteral("127.0.0.1:%1").arg(server.port()));
        setDefault(kDMHalcyra_WebExportFTPLogin, QString::fromLatin1(FileTransferTestServer::kUser));
        setDefault(kDMHalcyra_WebExportFTPPassword, password);
        setDefault(kDMHalcyra_WebExportFTPPath, folderPath);
    }

    // Runs one export to its end; false when it never ended.
    bool exportAndWait(const QByteArray &pdf, const QString &ftpName, const QString &viewerName)
    {
        QPointer<DMWebExport> upload = DMWebExport::exportPDFData(pdf, ftpName, viewerName, nullptr);
        QObject::connect(upload, &DMWebExport::finished, [this](bool ok) {
            ++ended;
            succeeded = ok;
        });
        if (upload->isFinished()) { // refused before anything was sent
            succeeded = upload->succeeded();
            return true;
        }
        const int before = ended;
        return waitFor([&] { return ended > before; }, 20000);
    }

    QTemporaryDir folder;
    FakeModalUI ui;
    QList<QUrl> opened;
    int ended = 0;
    bool succeeded = false;
};

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(WebExportTest, FTPUploadArrivesByteIdenticalAndFailuresAreShown)
{
    FileTransferTestServer server;
    ASSERT_TRUE(server.isRunning()) << qPrintable(server.whyNotRunning());
    QByteArray pdf("%PDF-1.4\n");
    for (int i = 0; i < 20000; ++i)
        pdf += QByteArray::number(i * 7919 % 65521) + ' ';
    const QString password = QString::fromLatin1(FileTransferTestServer::kPassword);

    // An empty folder uploads into the root; a name with a space and a slash stays one file.
    useFTP(server, password, QString());
    ASSERT_TRUE(exportAndWait(pdf, QStringLiteral("Harbour plan/2024.pdf"), QStringLiteral("unused.pdf")));
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(contentsOf(QDir(server.rootPath()).filePath(QStringLiteral("Harbour plan_2024.pdf"))), pdf);
    for (const DMModalUI::Alert &alert : ui.alerts)
        EXPECT_FALSE(alert.informativeText.contains(password)) << qPrintable(alert.informativeText);

    // The URL built from the user defaults never shows the password in its text.
    const QUrl destination = DMWebExport::ftpDestinationURL(QStringLiteral("a.pdf"));
    EXPECT_FALSE(destination.toString(QUrl::RemovePassword).contains(password));
    EXPECT_EQ(destination.password(), password);

    ui.alerts.clear();
    useFTP(server, QStringLiteral("wrong"), QStringLiteral("/"));
    ASSERT_TRUE(exportAndWait(pdf, QStringLiteral("refused.pdf"), QStringLiteral("unused.pdf")));
    EXPECT_FALSE(succeeded);
    EXPECT_FALSE(ui.alerts.isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(server.rootPath()).filePath(QStringLiteral("refused.pdf"))));

    // Without a server address there is nothing to connect to: said at once.
    ui.alerts.clear();
    setDefault(kDMHalcyra_WebExportFTPAddress, QString());
    ASSERT_TRUE(exportAndWait(pdf, QStringLiteral("nowhere.pdf"), QStringLiteral("unused.pdf")));
    EXPECT_FALSE(succeeded);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().informativeText, QStringLiteral("No FTP server is set for the web export."));
}

TEST_F(WebExportTest, ViewerAnswersGiveTheLinkOrTheReasonShown)
{
    QByteArray answer = "ok:Harbour-1709546100.pdf";
    int status = 200;
    StandInServer viewer([&](const StandInRequest &) { return StandInResponse(status, answer); });
    setDefault(kDMHalcyra_WebExportViewerURL, viewer.url(QStringLiteral("/viewprojects")));
    const QByteArray pdf("%PDF-1.4 the chart");

    // "OK" in any case: the link is the base with the answer's file; the alternate button opens it.
    ui.alertAnswer = DMModalUI::AlternateReturn;
    ASSERT_TRUE(exportAndWait(pdf, QStringLiteral("Harbour.pdf"), QStringLiteral("Harbour-1709546100.pdf")));
    EXPECT_TRUE(succeeded);
    ASSERT_EQ(viewer.requests.size(), 1);
    const StandInRequest &request = viewer.requests.first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.url.path(), QStringLiteral("/viewprojects/sharex.php"));
    const QList<StandInService::Part> parts =
        StandInService::multipartParts(request.headers.value("content-type"), request.body);
    ASSERT_EQ(parts.size(), 1);
    EXPECT_EQ(parts.first().content, pdf);
    EXPECT_EQ(StandInService::dispositionParameter(parts.first().headers.value("content-disposition"), "filename"),
              "Harbour-1709546100.pdf");
    const QUrl link(viewer.url(QStringLiteral("/viewprojects/Harbour-1709546100.pdf")));
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().messageText, QStringLiteral("File uploaded successfully"));
    EXPECT_TRUE(ui.alerts.first().informativeText.endsWith(link.toString()));
    EXPECT_EQ(opened, QList<QUrl>{link});

    struct Failure
    {
        const char *what;
        int status;
        QByteArray answer;
        QString shown;
    };
    const Failure failures[] = {
        {"a refusal with its reason", 200, "ERR:quota exceeded", QStringLiteral("quota exceeded")},
        {"an OK without a file", 200, "OK:", QString()},
        {"a server error with an OK body", 500, "OK:x.pdf", QString()},
    };
    for (const Failure &failure : failures) {
        SCOPED_TRACE(failure.what);
        ui.alerts.clear();
        status = failure.status;
        answer = failure.answer;
        ASSERT_TRUE(exportAndWait(pdf, QStringLiteral("Harbour.pdf"), QStringLiteral("Harbour-2.pdf")));
        EXPECT_FALSE(succeeded);
        ASSERT_EQ(ui.alerts.size(), 1);
        EXPECT_EQ(ui.alerts.first().messageText, QStringLiteral("An error occured while uploading the file"));
        if (!failure.shown.isEmpty()) {
            EXPECT_EQ(ui.alerts.first().informativeText, failure.shown);
        }
    }

    // No server at all: the connection's error is the message.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 closed = probe.serverPort();
    probe.close();
    setDefault(kDMHalcyra_WebExportViewerURL, QStringLiteral("http://127.0.0.1:%1/viewprojects").arg(closed));
    ui.alerts.clear();
    ASSERT_TRUE(exportAndWait(pdf, QStringLiteral("Harbour.pdf"), QStringLiteral("Harbour-3.pdf")));
    EXPECT_FALSE(succeeded);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_FALSE(ui.alerts.first().informativeText.isEmpty());
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(WebExportTest, WithoutAViewerAddressThePageGoesByFTPOrTheUserIsToldAtOnce)
{
    // A fresh install: no kind, no viewer address. With an FTP server set, the page goes there.
    FileTransferTestServer server;
    ASSERT_TRUE(server.isRunning()) << qPrintable(server.whyNotRunning());
    useFTP(server, QString::fromLatin1(FileTransferTestServer::kPassword), QStringLiteral("/"));
    DMUserDefaults::standardUserDefaults().removeObjectForKey(kDMHalcyra_WebExportKind);
    EXPECT_EQ(DMWebExport::target(), DMWebExport::FTPTarget);
    const QByteArray pdf("%PDF-1.4 the chart");
    ASSERT_TRUE(exportAndWait(pdf, QStringLiteral("Harbour.pdf"), QStringLiteral("Harbour-1.pdf")));
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(contentsOf(QDir(server.rootPath()).filePath(QStringLiteral("Harbour.pdf"))), pdf);

    // With neither, nothing is sent and the user learns why before waiting for anything.
    setDefault(kDMHalcyra_WebExportFTPAddress, QString());
    ui.alerts.clear();
    EXPECT_EQ(DMWebExport::target(), DMWebExport::NoTarget);
    QPointer<DMWebExport> upload = DMWebExport::exportPDFData(pdf, QStringLiteral("a.pdf"), QStringLiteral("b.pdf"), nullptr);
    EXPECT_TRUE(upload->isFinished());
    EXPECT_FALSE(upload->succeeded());
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().informativeText,
              QStringLiteral("No online viewer address is set for the web export, and no FTP server either."));
}

} // namespace
