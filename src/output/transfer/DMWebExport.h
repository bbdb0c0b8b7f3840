#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>

class QNetworkReply;

// User defaults of the web export. No command of the application writes them; they are set by
// hand (or by tests).
extern const QString kDMHalcyra_WebExportKind;        // integer: 1 uploads by FTP, anything else to the viewer
extern const QString kDMHalcyra_WebExportFTPAddress;  // "host" or "host:port"
extern const QString kDMHalcyra_WebExportFTPLogin;
extern const QString kDMHalcyra_WebExportFTPPassword;
extern const QString kDMHalcyra_WebExportFTPPath;     // folder on the server; "/" when empty
extern const QString kDMHalcyra_WebExportViewerURL;   // base URL of the online viewer service; none by default

// The web export: a PDF held in memory goes to an FTP server (through the file transfer
// controller, which shows its progress and its errors) or to the online viewer service (a
// multipart POST to "sharex.php" below its base URL, answered "OK:<file>" with the viewer path
// of the file, or "<anything>:<message>").
//
// One object per upload; it deletes itself once the upload has ended and the user was told.
class DMWebExport : public QObject
{
    Q_OBJECT

public:
    // Where the page goes: the FTP server with kind 1; else the online viewer, or the FTP server
    // when no viewer address is set; nowhere when what it takes is not set.
    enum Target { NoTarget, FTPTarget, ViewerTarget };
    static Target target();
    // Why the page can go nowhere, said plainly (empty when it can go); the commands tell the
    // user before any page is made.
    static QString whyNoTarget();
    static void presentNoTarget(QWidget *window);

    // Starts the upload to the target; sheets go to the window.
    static DMWebExport *exportPDFData(const QByteArray &pdf, const QString &ftpFileName, const QString &viewerFileName,
                                      QWidget *window);

    // The FTP destination of a file, with the login and password set apart from the text of the
    // URL (never shown: the transfer takes them off at once). Invalid without an address.
    static QUrl ftpDestinationURL(const QString &fileName);
    // Invalid when no viewer address is set.
    static QUrl viewerBaseURL();
    // The viewer's link from its answer; empty, with the answer's message, for a refusal.
    static QUrl viewerLinkForReply(const QUrl &baseURL, const QByteArray &reply, QString *message);

    // How a link is opened in the web browser; tests record instead.
    static void setOpenURLHandler(std::function<void(const QUrl &)> handler);

    bool isFinished() const { return m_finished; }
    bool succeeded() const { return m_succeeded; }

signals:
    void finished(bool succeeded);

private:
    DMWebExport(QWidget *window);
    void uploadByFTP(const QByteArray &pdf, const QString &fileName);
    void uploadToViewer(const QByteArray &pdf, const QString &fileName);
    void viewerReplyFinished(QNetworkReply *reply);
    void showFailure(const QString &message);
    void finish(bool succeeded);

    QPointer<QWidget> m_window;
    QNetworkAccessManager m_network;
    QUrl m_baseURL;
    bool m_finished = false;
    bool m_succeeded = false;
};
