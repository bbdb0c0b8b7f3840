// DMProjectDocumentPrint: the print, export, share and page-layout commands.
#include "DMProjectDocumentPrint.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMPrintInfo.h"
#include "DMPrintPanelController.h"
#include "DMPrintView.h"
#include "DMProject.h"
#include "DMProjectDocumentPrintHost.h"
#include "DMProjectDocumentUICallbacks.h"
#include "DMReportDocument.h"
#include "DMWebExport.h"
#include "FarseeManager.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

namespace {

// Pages of the window that are not built yet: the items view (1 to 5, 7, 8).
// Pages printed from their view are drawn at twice the screen's resolution, for paper.
constexpr int kPageWidgetScale = 2;
constexpr double kMetersPerInch = 0.0254;
constexpr double kScreenDpi = 96.0;

} // namespace

DMProjectDocumentPrint::DMProjectDocumentPrint(DMProjectDocumentPrintHost *host) : m_host(host) {}

DMProjectDocumentPrint::~DMProjectDocumentPrint()
{
    if (m_printPanelController)
        m_printPanelController->setDatasource(nullptr);
}

const std::shared_ptr<DMPrintPanelController> &DMProjectDocumentPrint::printPanelController()
{
    if (!m_printPanelController) {
        m_printPanelController = std::make_shared<DMPrintPanelController>();
        m_printPanelController->setDatasource(this);
    }
    return m_printPanelController;
}

QString DMProjectDocumentPrint::projectTitle() const
{
    const std::shared_ptr<DMProject> project = m_host->project();
    return project ? project->title() : QString();
}

void DMProjectDocumentPrint::presentError(const QString &message, const QString &reason) const
{
    DMModalUI::Alert alert;
    alert.messageText = message;
    alert.informativeText = reason;
    alert.style = DMModalUI::Critical;
    DMModalUI::instance().runAlert(alert, m_host->windowForSheet());
}

// ---- Print ----

bool DMProjectDocumentPrint::runPrintPanel(QPrinter *printer) const
{
    DMPrintInfo::sharedPrintInfo().applyToPrinter(printer);
    printer->setDocName(projectTitle());
    printer->setCreator(QStringLiteral("Halcyra 2"));
    return DMPrintPanels::instance().runPrintPanel(printer, m_host->windowForSheet());
}

void DMProjectDocumentPrint::printDocument()
{
    const int tag = m_host->currentPageTag();
    if (isGanttPage(tag)) {
        printPanelController()->setImageExport(false);
        beginProjectViewPrintSheet();
    } else if (tag == GlobalReportPageTag || tag == TasksByResourcePageTag || tag == TasksByProcessesPageTag) {
        printReport();
    } else if (QWidget *page = m_host->printablePageWidget(tag)) {
        printPageWidget(page);
    }
}

void DMProjectDocumentPrint::printReport()
{
    QTextBrowser *view = m_host->reportWebView();
    if (!view)
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!runPrintPanel(&printer))
        return;
    // A copy: paginating for the printer must not change the view's own document.
    DMReportDocument_finish(view);
    std::unique_ptr<QTextDocument> copy(view->document()->clone());
    copy->print(&printer);
}

void DMProjectDocumentPrint::printPageWidget(QWidget *page)
{
    QImage image(page->size() * kPageWidgetScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(kPageWidgetScale, kPageWidgetScale);
        page->render(&painter);
    }
    const int dotsPerMeter = int(std::lround(kScreenDpi * kPageWidgetScale / kMetersPerInch));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);

    QPrinter printer(QPrinter::HighResolution);
    if (!runPrintPanel(&printer))
        return;
    DMPrintView printView;
    printView.setImage(image);
    printView.setAdjustToPageWidth(true);
    printView.setPrintInfo(printer.pageLayout(), DMPrintInfo::sharedPrintInfo().scalingFactor);
    QString error;
    if (!printView.printOnDevice(&printer, &error))
        presentError(DMLocalizedString("The page could not be printed."), error);
}

void DMProjectDocumentPrint::runPageLayout()
{
    QPrinter printer(QPrinter::HighResolution);
    DMPrintInfo &shared = DMPrintInfo::sharedPrintInfo();
    shared.applyToPrinter(&printer);
    if (!DMPrintPanels::instance().runPageLayout(&printer, m_host->windowForSheet()))
        return;
    shared.pageLayout = printer.pageLayout();
    if (m_printPanelController && m_printPanelController->isOnScreen())
        m_printPanelController->_imagesNeedUpdate();
}

void DMProjectDocumentPrint::beginProjectViewPrintSheet()
{
    const std::shared_ptr<DMProject> project = m_host->project();
    DMPrintPanelController *panel = printPanelController().get();
    if (project) {
        // The panel refuses a begin after its end: when the project starts after the stored end,
        // the end moves first, so that both dates are the project's.
        const DMDate begin = project->effectiveBeginDate();
        const DMDate end = project->effectiveEndDate();
        if (!begin.isNull() && !panel->endDate().isNull() && begin > panel->endDate()) {
            panel->setEndDate(end);
            panel->setBeginDate(begin);
        } else {
            panel->setBeginDate(begin);
            panel->setEndDate(end);
        }
    }
    panel->beginSheetModalForWindow(m_host->windowForSheet());
}

// ---- Export and share ----

void DMProjectDocumentPrint::exportToImage(int tag)
{
    const int page = m_host->currentPageTag();
    if (isGanttPage(page)) {
        DMPrintPanelController *panel = printPanelController().get();
        const bool internet = tag == WebExportTag;
        panel->setImageExport(true);
        panel->setImageExportFormat(tag == PDFExportTag || internet ? QStringLiteral("pdf") : QStringLiteral("jpg"));
        panel->setInternetExport(internet);
        panel->setFarseeExport(false);
        beginProjectViewPrintSheet();
    } else if (page == GlobalReportPageTag || page == TasksByResourcePageTag) {
        exportReport(tag);
    }
}

void DMProjectDocumentPrint::exportReport(int tag)
{
    QString error;
    const QByteArray pdf = reportPDFData(&error);
    if (pdf.isEmpty()) {
        presentError(DMLocalizedString("The report could not be exported."), error);
        return;
    }
    const QString title = projectTitle();
    if (tag == WebExportTag) {
        const QString escaped = QString::fromLatin1(QUrl::toPercentEncoding(title));
        // The FTP name is escaped once, by the URL it goes into.
        DMWebExport::exportPDFData(pdf, QStringLiteral("%1-Report.pdf").arg(title),
                                   QStringLiteral("%1-Report-%2.pdf").arg(escaped).arg(QDateTime::currentSecsSinceEpoch()),
                                   m_host->windowForSheet());
        return;
    }
    DMModalUI::FilePanel panel;
    panel.title = DMLocalizedString("Export as PDF");
    panel.allowedExtensions = {QStringLiteral("pdf")};
    panel.proposedName = DMProjectDocumentUICallbacks::fileNameForTitle(title, DMLocalizedString("Untitled"),
                                                                        QStringLiteral("pdf"));
    QString path = DMModalUI::instance().runSavePanel(panel, m_host->windowForSheet());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    QSaveFile file(path);
    if (!(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size() && file.commit()))
        presentError(DMLocalizedString("The file \"%1\" could not be written.").arg(QFileInfo(path).fileName()),
                     file.errorString());
}

void DMProjectDocumentPrint::exportToFarsee()
{
    const int page = m_host->currentPageTag();
    if (isGanttPage(page)) {
        DMPrintPanelController *panel = printPanelController().get();
        panel->setImageExport(true);
        panel->setImageExportFormat(QStringLiteral("jpg"));
        panel->setInternetExport(true);
        panel->setFarseeExport(true);
        beginProjectViewPrintSheet();
        return;
    }
    if (page != GlobalReportPageTag && page != TasksByResourcePageTag)
        return;
    const QByteArray pdf = reportPDFData();
    if (pdf.isEmpty()) {
        DMModalUI::Alert alert;
        alert.messageText = DMLocalizedString("An error occured while uploading the file");
        alert.informativeText = DMLocalizedString("Unable to export, empty data");
        alert.style = DMModalUI::Critical;
        DMModalUI::instance().runAlert(alert, nullptr);
        return;
    }
    FarseeManager::sharedManager().shareData(
        pdf, DMPrintPanelController_sharedFileName(projectTitle(), QStringLiteral("pdf"), QDateTime::currentDateTime()),
        m_host->windowForSheet());
}

QByteArray DMProjectDocumentPrint::reportPDFData(QString *error) const
{
    QTextBrowser *view = m_host->reportWebView();
    if (!view || view->document()->isEmpty()) {
        if (error)
            *error = DMLocalizedString("The report is empty.");
        return QByteArray();
    }
    DMReportDocument_finish(view);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!DMPrintInfo_writeTextDocumentPDF(*view->document(), &buffer, DMPrintInfo::sharedPrintInfo().pageLayout,
                                          projectTitle())) {
        if (error)
            *error = DMLocalizedString("The PDF of the report could not be made.");
        return QByteArray();
    }
    return data;
}

// ---- The print panel's data source, except the images (DMProjectDocumentPrint_Images.cpp) ----

QString DMProjectDocumentPrint::imageExportFilenameForPrintPanelController(DMPrintPanelController *)
{
    return projectTitle();
}

QString DMProjectDocumentPrint::logoPathForPrintPanelController(DMPrintPanelController *)
{
    return m_host->reportLogoPath();
}
