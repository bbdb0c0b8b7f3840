// DMProjectDocumentPrint: the print, export, share and page-layout commands.
#include "DMProjectDocumentPrint.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMCollectionView.h"
#include "DMOutlineView.h"
#include "DMPrintInfo.h"
#include "DMPrintPanelController.h"
#include "DMPrintPicture.h"
#include "DMPrintView.h"
#include "DMPrintedOutline.h"
#include "DMProject.h"
#include "DMProjectDocumentPrintHost.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectEnums.h"
#include "DMSaveFile.h"
#include "DMStringAdditions.h"
#include "DMWebExport.h"
#include "FarseeManager.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QUrl>

namespace {

// The days-off page prints as it is shown, drawn at twice the screen's resolution, for paper.
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
    return project ? project->nameForExportedFiles() : QString();
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
    if (DMPage_isGantt(tag)) {
        printPanelController()->setImageExport(false);
        beginProjectViewPrintSheet();
    } else if (DMPage_isReport(tag)) {
        printReport();
    } else if (DMOutlineView *outline = m_host->listOutlineView(tag)) {
        printOutlineView(outline);
    } else if (DMCollectionView *cards = m_host->itemsCollectionView(tag)) {
        printItemsView(cards);
    } else if (QWidget *page = m_host->printablePageWidget(tag)) {
        printPageWidget(page);
    }
}

void DMProjectDocumentPrint::printReport()
{
    DMProjectDocumentReport *report = m_host->report();
    if (!report)
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!runPrintPanel(&printer))
        return;
    QString error;
    if (!report->printOnDevice(&printer, &error))
        DMModalUI::instance().presentError(DMLocalizedString("The report could not be printed."), error,
                                           m_host->windowForSheet());
}

void DMProjectDocumentPrint::printOutlineView(DMOutlineView *outline)
{
    // Every row and every visible column, whatever part the window shows.
    const DMPrintedOutline printed(outline, DMPrintedOutline::WithTitles);
    DMPrintView printView;
    printView.setPicture(printed.rowsPicture());
    printView.setTitles(printed.titlesPicture());
    printView.setPageBreaks(printed.rowBottoms());
    printOnPages(&printView);
}

void DMProjectDocumentPrint::printItemsView(DMCollectionView *cards)
{
    // Every card, in the columns the window shows; pages end between rows of cards.
    const QSize size = cards->contentsSize();
    QList<double> rowBottoms;
    for (int index = 0; index < cards->contentCount(); ++index)
        if (const double bottom = cards->frameForItemAtIndex(index).bottom() + 1; rowBottoms.isEmpty() || rowBottoms.last() != bottom)
            rowBottoms.append(bottom);
    DMPrintView printView;
    printView.setPicture(DMPrintPicture::record(size, [cards](QPainter *painter, const QRect &tile) {
        cards->renderContents(painter, tile);
    }));
    printView.setPageBreaks(rowBottoms);
    printOnPages(&printView);
}

void DMProjectDocumentPrint::printOnPages(DMPrintView *printView)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!runPrintPanel(&printer))
        return;
    printView->setAdjustToPageWidth(true);
    printView->setPrintInfo(printer.pageLayout(), DMPrintInfo::sharedPrintInfo().scalingFactor);
    QString error;
    if (!printView->printOnDevice(&printer, &error))
        DMModalUI::instance().presentError(DMLocalizedString("The page could not be printed."), error,
                                           m_host->windowForSheet());
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

    DMPrintView printView;
    printView.setImage(image);
    printOnPages(&printView);
}

void DMProjectDocumentPrint::runPageLayout()
{
    QPrinter printer(QPrinter::HighResolution);
    DMPrintInfo &shared = DMPrintInfo::sharedPrintInfo();
    shared.applyToPrinter(&printer);
    if (!DMPrintPanels::instance().runPageLayout(&printer, m_host->windowForSheet()))
        return;
    shared.pageLayout = printer.pageLayout();
    shared.orientationChosen = true;
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

bool DMProjectDocumentPrint::canExportShownPage() const
{
    const int page = m_host->currentPageTag();
    return DMPage_isGantt(page) || DMPage_exportsReport(page);
}

void DMProjectDocumentPrint::exportToImage(int tag)
{
    if (!canExportShownPage())
        return;
    if (tag == WebExportTag && DMWebExport::target() == DMWebExport::NoTarget) {
        // Said at once, not after the page was made and the user waited for it.
        DMWebExport::presentNoTarget(m_host->windowForSheet());
        return;
    }
    if (DMPage_isGantt(m_host->currentPageTag())) {
        DMPrintPanelController *panel = printPanelController().get();
        const bool internet = tag == WebExportTag;
        panel->setImageExport(true);
        panel->setImageExportFormat(tag == PDFExportTag || internet ? QStringLiteral("pdf") : QStringLiteral("jpg"));
        panel->setInternetExport(internet);
        panel->setFarseeExport(false);
        beginProjectViewPrintSheet();
    } else {
        exportReport(tag);
    }
}

void DMProjectDocumentPrint::exportReport(int tag)
{
    DMProjectDocumentReport *report = m_host->report();
    QString error;
    const QByteArray pdf = report ? report->pdfData(&error) : QByteArray();
    if (pdf.isEmpty()) {
        DMModalUI::instance().presentError(DMLocalizedString("The report could not be exported."), error,
                                           m_host->windowForSheet());
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
    panel.proposedName = fileNameForTitle(title, DMLocalizedString("Untitled"), QStringLiteral("pdf"));
    panel.directory = m_host->folderForPanels();
    QString path = DMModalUI::instance().runSavePanel(panel, m_host->windowForSheet());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    if (!DMSaveFile_write(path, pdf, &error))
        DMModalUI::instance().presentError(
            DMLocalizedString("The file \"%1\" could not be written.").arg(QFileInfo(path).fileName()), error,
            m_host->windowForSheet());
}

void DMProjectDocumentPrint::exportToFarsee()
{
    if (!canExportShownPage())
        return;
    if (DMPage_isGantt(m_host->currentPageTag())) {
        DMPrintPanelController *panel = printPanelController().get();
        panel->setImageExport(true);
        panel->setImageExportFormat(QStringLiteral("jpg"));
        panel->setInternetExport(true);
        panel->setFarseeExport(true);
        beginProjectViewPrintSheet();
        return;
    }
    DMProjectDocumentReport *report = m_host->report();
    const QByteArray pdf = report ? report->pdfData() : QByteArray();
    if (pdf.isEmpty()) {
        DMModalUI::instance().presentError(DMLocalizedString("An error occured while uploading the file"),
                                           DMLocalizedString("Unable to export, empty data"), m_host->windowForSheet());
        return;
    }
    FarseeManager::sharedManager().shareData(
        pdf, DMPrintPanelController_sharedFileName(projectTitle(), QStringLiteral("pdf"), QDateTime::currentDateTime()),
        m_host->windowForSheet());
}

// ---- The print panel's data source, except the images (DMProjectDocumentPrint_Images.cpp) ----

QString DMProjectDocumentPrint::imageExportFilenameForPrintPanelController(DMPrintPanelController *)
{
    return projectTitle();
}

QString DMProjectDocumentPrint::imageExportFolderForPrintPanelController(DMPrintPanelController *)
{
    return m_host->folderForPanels();
}

QString DMProjectDocumentPrint::logoPathForPrintPanelController(DMPrintPanelController *)
{
    return m_host->reportLogoPath();
}
