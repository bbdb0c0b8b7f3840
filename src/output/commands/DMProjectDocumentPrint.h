#pragma once

#include "DMPrintPanelControllerDataSource.h"

#include <QString>

#include <memory>

class QPrinter;
class QWidget;
class DMCollectionView;
class DMOutlineView;
class DMPrintPanelController;
class DMPrintView;
class DMPrintedOutline;
class DMProjectDocumentPrintHost;

// The document's Print, Export and Share commands for the page it shows, its page-layout
// command, the web export of the report pages, and the data source of its print panel, which it
// owns: the Gantt pages go through the panel, whose images it renders from the window's views.
//
// Owned by the document, which it reaches through its host (not owned; the document outlives it).
class DMProjectDocumentPrint : public DMPrintPanelControllerDataSource
{
public:
    // Tags of the export commands' menu items.
    enum ExportTag { PDFExportTag = 1004002, JPEGExportTag = 1004003, WebExportTag = 1004004 };

    explicit DMProjectDocumentPrint(DMProjectDocumentPrintHost *host);
    ~DMProjectDocumentPrint() override;

    // The print panel of the document, made on first use with this object as its data source.
    const std::shared_ptr<DMPrintPanelController> &printPanelController();

    // ---- Commands ----
    void printDocument();
    // PDFExportTag: a PDF file; WebExportTag: a PDF by the web export; any other: a JPEG file.
    void exportToImage(int tag);
    void exportToFarsee();
    // Whether the export and share commands act on the shown page: the Gantt pages and the
    // reports that are exported (not the tasks-by-processes report, nor the lists or cards).
    bool canExportShownPage() const;
    void runPageLayout();
    // The panel set to the project's dates, opened on the document window.
    void beginProjectViewPrintSheet();

    // ---- The print panel's data source ----
    QVariantMap getCurrentTimeSpanForPrintPanelController(DMPrintPanelController *) override;
    QSizeF printPanelControllerLeftImageSize(DMPrintPanelController *) override;
    bool printPanelControllerLeftImageTopImageContentImageWithBeginDateEndDatePixelsPerDayRet_lineHeight(
        DMPrintPanelController *, DMPageCompositionImages *images, const DMDate &begin, const DMDate &end,
        double pixelsPerDay) override;
    QString imageExportFilenameForPrintPanelController(DMPrintPanelController *) override;
    QString imageExportFolderForPrintPanelController(DMPrintPanelController *) override;
    QString logoPathForPrintPanelController(DMPrintPanelController *) override;

private:
    void printReport();
    // A list's outline, whole: its titles, every row, every visible column.
    void printOutlineView(DMOutlineView *outline);
    // The items view's cards, all of them.
    void printItemsView(DMCollectionView *cards);
    void printPageWidget(QWidget *page);
    // Shows the print panel, then prints the view over as many pages as it takes, fitted to
    // the page's width.
    void printOnPages(DMPrintView *printView);
    // A printer set up from a copy of the shared print settings, shown in the print panel;
    // false when the user cancels.
    bool runPrintPanel(QPrinter *printer) const;
    void exportReport(int tag);
    // The name of the print job and of the exported files: the document's once saved, else the
    // project's title.
    QString projectTitle() const;

    DMProjectDocumentPrintHost *m_host;
    std::shared_ptr<DMPrintPanelController> m_printPanelController;
    // The outline as measured for the panel's plan, until its images are rendered.
    std::unique_ptr<DMPrintedOutline> m_measuredOutline;
};
