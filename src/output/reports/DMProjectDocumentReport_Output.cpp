// DMProjectDocumentReport: the shown report as pages, its PDF, and the report mail.
#include "DMProjectDocumentReport.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMPrintInfo.h"
#include "DMProject.h"
#include "DMProjectDocumentReportHost.h"
#include "DMReportBuilder.h"
#include "DMReportDocument.h"
#include "DMSaveFile.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>

// ---- Pages ----

std::unique_ptr<QTextDocument> DMProjectDocumentReport::shownDocument(QString *error) const
{
    if (!m_shownBody) {
        if (error)
            *error = DMLocalizedString("The report is empty.");
        return nullptr;
    }
    return DMReportDocument_make(*m_shownBody);
}

QByteArray DMProjectDocumentReport::pdfData(QString *error) const
{
    const std::unique_ptr<QTextDocument> document = shownDocument(error);
    if (!document)
        return QByteArray();
    const std::shared_ptr<DMProject> project = m_host->project();
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!DMPrintInfo_writeTextDocumentPDF(*document, &buffer, DMPrintInfo::sharedPrintInfo().pageLayout,
                                          project ? project->title() : QString())) {
        if (error)
            *error = DMLocalizedString("The PDF of the report could not be made.");
        return QByteArray();
    }
    return data;
}

bool DMProjectDocumentReport::printOnDevice(QPagedPaintDevice *device, QString *error) const
{
    const std::unique_ptr<QTextDocument> document = shownDocument(error);
    return document && DMPrintInfo_printTextDocument(*document, device);
}

// ---- Mail ----

QString DMProjectDocumentReport::reportMailSubject() const
{
    const std::shared_ptr<DMProject> project = m_host->project();
    return project ? DMReportBuilder::title(*project, options()) : QString();
}

void DMProjectDocumentReport::reportSendByMail()
{
    if (m_mailProcess)
        return; // the mail program is still taking the last report
    QWidget *window = m_host->windowForSheet();
    const QString notSent = DMLocalizedString("The report could not be sent by mail.");
    const QString mailTitle = DMLocalizedString("Mail Report");
    QString error;
    const QByteArray pdf = pdfData(&error);
    if (pdf.isEmpty()) {
        DMModalUI::instance().presentError(notSent, error, window, mailTitle);
        return;
    }
    const QString path = newTemporaryFilePath(QStringLiteral("report"), QStringLiteral("pdf"));
    if (path.isEmpty())
        error = m_temporaryFolder->errorString();
    if (path.isEmpty() || !DMSaveFile_write(path, pdf, &error)) {
        DMModalUI::instance().presentError(notSent, DMLocalizedString("The PDF of the report could not be written: %1").arg(error),
                                           window, mailTitle);
        return;
    }

    // Each value is one argument of its own: no shell ever reads the subject or the path.
    const QStringList arguments{QStringLiteral("--subject"), reportMailSubject(), QStringLiteral("--body"),
                                DMLocalizedString("Made with Orvesta"), QStringLiteral("--attach"), path};
    m_mailProcess = new QProcess(this);
    m_mailProcess->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_mailProcess, &QProcess::errorOccurred, this, [this, notSent, mailTitle](QProcess::ProcessError failure) {
        if (failure != QProcess::FailedToStart || !m_mailProcess)
            return;
        const QString reason = m_mailProcess->errorString();
        m_mailProcess->deleteLater();
        m_mailProcess = nullptr;
        DMModalUI::instance().presentError(
            notSent, DMLocalizedString("The mail program (xdg-email) could not be started: %1").arg(reason),
            m_host->windowForSheet(), mailTitle);
    });
    connect(m_mailProcess, &QProcess::finished, this, [this, notSent, mailTitle](int exitCode, QProcess::ExitStatus status) {
        if (!m_mailProcess)
            return;
        const QString output = QString::fromLocal8Bit(m_mailProcess->readAll()).trimmed();
        m_mailProcess->deleteLater();
        m_mailProcess = nullptr;
        if (status != QProcess::NormalExit || exitCode != 0)
            DMModalUI::instance().presentError(
                notSent, DMLocalizedString("The mail program (xdg-email) failed with the code %1. %2").arg(exitCode).arg(output),
                m_host->windowForSheet(), mailTitle);
    });
    m_mailProcess->start(QStringLiteral("xdg-email"), arguments);
}
