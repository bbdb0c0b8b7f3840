// DMProjectDocumentReport: the report mail.
#include "DMProjectDocumentReport.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMPrintInfo.h"
#include "DMProject.h"
#include "DMProjectDocumentReportHost.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMReportDocument.h"
#include "DMReportPage.h"

#include <QFile>
#include <QProcess>
#include <QTextBrowser>
#include <QTextDocument>

QString DMProjectDocumentReport::reportMailSubject() const
{
    const std::shared_ptr<DMProject> project = m_host->project();
    const QString title = project ? project->title() : QString();
    if (m_mode == 0)
        return title;
    QString name;
    if (m_shownPageTag == TasksByResourceTag) {
        const auto resource = selectedPopUpObject<DMProjectResource>();
        if (!resource)
            return title;
        name = resource->name();
    } else {
        const auto process = selectedPopUpObject<DMProjectProcess>();
        if (!process)
            return title;
        name = process->title();
    }
    return DMLocalizedString("Assignments for %1").arg(name);
}

void DMProjectDocumentReport::presentMailError(const QString &informativeText) const
{
    DMModalUI::Alert alert;
    alert.messageText = DMLocalizedString("The report could not be sent by mail.");
    alert.informativeText = informativeText;
    alert.style = DMModalUI::Critical;
    DMModalUI::instance().runAlert(alert, m_host->windowForSheet());
}

void DMProjectDocumentReport::reportSendByMail()
{
    if (m_mailProcess)
        return; // the mail program is still taking the last report
    const DMReportPage *page = m_host->reportPage();
    const QString path = newTemporaryFilePath(QStringLiteral("report"), QStringLiteral("pdf"));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        presentMailError(DMLocalizedString("The PDF of the report could not be written: %1").arg(file.errorString()));
        return;
    }
    // What the report view shows, page by page, as it prints.
    QTextDocument empty;
    if (page)
        DMReportDocument_finish(page->reportWebView());
    const bool drawn = DMPrintInfo_writeTextDocumentPDF(page ? *page->reportWebView()->document() : empty, &file,
                                                        DMPrintInfo::sharedPrintInfo().pageLayout, reportMailSubject());
    const bool written = drawn && file.error() == QFileDevice::NoError && file.flush();
    file.close();
    if (!written || file.size() == 0) {
        QFile::remove(path);
        presentMailError(DMLocalizedString("The PDF of the report could not be written: %1").arg(file.errorString()));
        return;
    }

    // Each value is one argument of its own: no shell ever reads the subject or the path.
    const QStringList arguments{QStringLiteral("--subject"), reportMailSubject(), QStringLiteral("--body"),
                                DMLocalizedString("Made with Orvesta"), QStringLiteral("--attach"), path};
    m_mailProcess = new QProcess(this);
    m_mailProcess->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_mailProcess, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || !m_mailProcess)
            return;
        const QString reason = m_mailProcess->errorString();
        m_mailProcess->deleteLater();
        m_mailProcess = nullptr;
        presentMailError(DMLocalizedString("The mail program (xdg-email) could not be started: %1").arg(reason));
    });
    connect(m_mailProcess, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        if (!m_mailProcess)
            return;
        const QString output = QString::fromLocal8Bit(m_mailProcess->readAll()).trimmed();
        m_mailProcess->deleteLater();
        m_mailProcess = nullptr;
        if (status != QProcess::NormalExit || exitCode != 0)
            presentMailError(DMLocalizedString("The mail program (xdg-email) failed with the code %1. %2").arg(exitCode).arg(output));
    });
    m_mailProcess->start(QStringLiteral("xdg-email"), arguments);
}
