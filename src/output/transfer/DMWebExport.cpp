#include "DMWebExport.h"

#include "DMFileTransferController.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMMultipartRequest.h"
#include "DMUserDefaults.h"

#include <QDesktopServices>
#include <QNetworkReply>
#include <QNetworkRequest>

const QString kDMHalcyra_WebExportKind = QStringLiteral("kDMHalcyra_WebExportKind");
const QString kDMHalcyra_WebExportFTPAddress = QStringLiteral("kDMHalcyra_WebExportFTPAddress");
const QString kDMHalcyra_WebExportFTPLogin = QStringLiteral("kDMHalcyra_WebExportFTPLogin");
const QString kDMHalcyra_WebExportFTPPassword = QStringLiteral("kDMHalcyra_WebExportFTPPassword");
const QString kDMHalcyra_WebExportFTPPath = QStringLiteral("kDMHalcyra_WebExportFTPPath");
const QString kDMHalcyra_WebExportViewerURL = QStringLiteral("kDMHalcyra_WebExportViewerURL");

namespace {

constexpr int kFTPKind = 1;
// The viewer answers within this time or the upload fails.
constexpr int kViewerTimeoutMilliseconds = 60000;

std::function<void(const QUrl &)> &openURLHandler()
{
    static std::function<void(const QUrl &)> handler;
    return handler;
}

// The URL with one more path component.
QUrl appendingPathComponent(QUrl url, const QString &component)
{
    QString path = url.path();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    url.setPath(path + component);
    return url;
}

} // namespace

DMWebExport::DMWebExport(QWidget *window) : m_window(window) {}

void DMWebExport::setOpenURLHandler(std::function<void(const QUrl &)> handler)
{
    openURLHandler() = std::move(handler);
}

DMWebExport::Target DMWebExport::target()
{
    if (DMUserDefaults::standardUserDefaults().integerForKey(kDMHalcyra_WebExportKind) == kFTPKind)
        return ftpDestinationURL(QStringLiteral("file")).isValid() ? FTPTarget : NoTarget;
    if (viewerBaseURL().isValid())
        return ViewerTarget;
    // No viewer: the FTP server is the only way the page can go.
    return ftpDestinationURL(QStringLiteral("file")).isValid() ? FTPTarget : NoTarget;
}

QString DMWebExport::whyNoTarget()
{
    if (target() != NoTarget)
        return QString();
    if (DMUserDefaults::standardUserDefaults().integerForKey(kDMHalcyra_WebExportKind) == kFTPKind)
        return DMLocalizedString("No FTP server is set for the web export.");
    return DMLocalizedString("No online viewer address is set for the web export, and no FTP server either.");
}

void DMWebExport::presentNoTarget(QWidget *window)
{
    DMModalUI::instance().presentError(DMLocalizedString("The page cannot be sent."), whyNoTarget(), window,
                                       DMLocalizedString("Web Export"));
}

DMWebExport *DMWebExport::exportPDFData(const QByteArray &pdf, const QString &ftpFileName, const QString &viewerFileName,
                                        QWidget *window)
{
    auto *upload = new DMWebExport(window);
    switch (target()) {
    case FTPTarget:
        upload->uploadByFTP(pdf, ftpFileName);
        break;
    case ViewerTarget:
        upload->uploadToViewer(pdf, viewerFileName);
        break;
    case NoTarget:
        presentNoTarget(window);
        upload->finish(false);
        break;
    }
    return upload;
}

QUrl DMWebExport::ftpDestinationURL(const QString &fileName)
{
    const DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    const QString address = defaults.stringForKey(kDMHalcyra_WebExportFTPAddress).trimmed();
    const QUrl server(QStringLiteral("ftp://") + address, QUrl::StrictMode);
    if (address.isEmpty() || !server.isValid() || server.host().isEmpty())
        return QUrl();
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(server.host());
    url.setPort(server.port());
    url.setUserName(defaults.stringForKey(kDMHalcyra_WebExportFTPLogin));
    url.setPassword(defaults.stringForKey(kDMHalcyra_WebExportFTPPassword));
    QString folder = defaults.stringForKey(kDMHalcyra_WebExportFTPPath);
    if (folder.isEmpty())
        folder = QStringLiteral("/");
    if (!folder.startsWith(QLatin1Char('/')))
        folder.prepend(QLatin1Char('/'));
    url.setPath(folder);
    // The name is one path component; the URL escapes what it must, once.
    return appendingPathComponent(url, QString(fileName).replace(QLatin1Char('/'), QLatin1Char('_')));
}

QUrl DMWebExport::viewerBaseURL()
{
    const QString stored = DMUserDefaults::standardUserDefaults().stringForKey(kDMHalcyra_WebExportViewerURL).trimmed();
    const QUrl url(stored, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty() ? url : QUrl();
}

QUrl DMWebExport::viewerLinkForReply(const QUrl &baseURL, const QByteArray &reply, QString *message)
{
    const QStringList fields = QString::fromUtf8(reply).split(QLatin1Char(':'));
    const QString second = fields.size() > 1 ? fields.at(1).trimmed() : QString();
    if (fields.first().trimmed().compare(QLatin1String("OK"), Qt::CaseInsensitive) != 0 || second.isEmpty()) {
        if (message)
            *message = second;
        return QUrl();
    }
    return appendingPathComponent(baseURL, second);
}

void DMWebExport::uploadByFTP(const QByteArray &pdf, const QString &fileName)
{
    const QUrl destination = ftpDestinationURL(fileName);
    if (!destination.isValid()) {
        showFailure(DMLocalizedString("No FTP server is set for the web export."));
        finish(false);
        return;
    }
    auto *transfer = new DMFileTransferController(DMFileTransferController::urlForData(pdf), destination);
    transfer->setWindowForSheet(m_window);
    // The transfer shows its own progress and errors, and goes once it has stopped.
    connect(transfer, &DMFileTransferController::finished, this, &DMWebExport::finish);
    transfer->start();
}

void DMWebExport::uploadToViewer(const QByteArray &pdf, const QString &fileName)
{
    m_baseURL = viewerBaseURL();
    const QUrl target = appendingPathComponent(m_baseURL, QStringLiteral("sharex.php"));
    DMMultipartRequest request =
        requestForMultipartMessageWithURLHTTPMethodDictionary(target, "POST", QVariantMap{{fileName, pdf}});
    request.request.setTransferTimeout(kViewerTimeoutMilliseconds);
    QNetworkReply *reply = m_network.sendCustomRequest(request.request, request.method, request.body);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { viewerReplyFinished(reply); });
}

void DMWebExport::viewerReplyFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const QByteArray body = reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0) { // no answer at all
        showFailure(reply->errorString());
        finish(false);
        return;
    }
    QString message;
    const QUrl link = viewerLinkForReply(m_baseURL, body, &message);
    if (!link.isValid() || status < 200 || status >= 300) {
        showFailure(message.isEmpty() && reply->error() != QNetworkReply::NoError ? reply->errorString() : message);
        finish(false);
        return;
    }
    DMModalUI::Alert alert;
    alert.title = DMLocalizedString("Web Export");
    alert.messageText = DMLocalizedString("File uploaded successfully");
    alert.informativeText = DMLocalizedString("You can view the file at the following URL:\n%1").arg(link.toString());
    alert.buttons = {DMLocalizedString("OK"), DMLocalizedString("Open in Web Browser")};
    alert.style = DMModalUI::Informational;
    QPointer<DMWebExport> self(this);
    DMModalUI::instance().beginSheet(alert, m_window, [self, link](int code) {
        if (code == DMModalUI::AlternateReturn) {
            if (openURLHandler())
                openURLHandler()(link);
            else
                QDesktopServices::openUrl(link);
        }
        if (self)
            self->finish(true);
    });
}

void DMWebExport::showFailure(const QString &message)
{
    DMModalUI::instance().presentError(DMLocalizedString("An error occured while uploading the file"), message, m_window,
                                       DMLocalizedString("Web Export"));
}

void DMWebExport::finish(bool succeeded)
{
    if (m_finished)
        return;
    m_finished = true;
    m_succeeded = succeeded;
    emit finished(succeeded);
    deleteLater();
}
