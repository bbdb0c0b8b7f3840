#pragma once

#include <QPageLayout>

class QIODevice;
class QPagedPaintDevice;
class QPrinter;
class QTextDocument;
class QWidget;

// The application's print settings, shared by every print and export: paper, orientation and
// margins (QPageLayout, in points) and the print scale (1.0 for 100 %). Only the page-layout
// command changes them; a print or an export works on a printer set up from a copy, so that
// nothing it does reaches the next print.
struct DMPrintInfo
{
    QPageLayout pageLayout;
    double scalingFactor = 1.0;
    // Whether the user chose the orientation (the page-layout command): until then the Gantt
    // chart prints in the orientation of its own shape.
    bool orientationChosen = false;

    static DMPrintInfo &sharedPrintInfo();
    // A4, or US Letter where the locale measures in inches, upright, half-inch margins.
    static DMPrintInfo defaultPrintInfo();

    // The printer's page layout becomes this one's.
    void applyToPrinter(QPrinter *printer) const;
    bool operator==(const DMPrintInfo &other) const
    {
        return pageLayout.isEquivalentTo(other.pageLayout) && pageLayout.orientation() == other.pageLayout.orientation()
               && scalingFactor == other.scalingFactor && orientationChosen == other.orientationChosen;
    }
};

// The platform's print panel and page layout panel, window-modal on the window; tests replace
// them with setInstance() and answer without showing anything.
class DMPrintPanels
{
public:
    virtual ~DMPrintPanels() = default;
    static DMPrintPanels &instance();
    static void setInstance(DMPrintPanels *panels); // not owned; nullptr restores the default

    // True when the user confirms; the printer then holds the choices made.
    virtual bool runPrintPanel(QPrinter *printer, QWidget *window);
    virtual bool runPageLayout(QPrinter *printer, QWidget *window);
};

// Prints a text document (a report) on the device's pages: laid out at the width its content
// needs, its lines broken between words only, and scaled down (never up) to the printable width,
// so that no value is cut off at the page's edge and no word is broken. False when the device
// cannot print.
bool DMPrintInfo_printTextDocument(const QTextDocument &document, QPagedPaintDevice *device);

// A text document (a report) as a PDF on the paper of the layout, paginated as it prints, with
// its title; false when the PDF cannot be written.
bool DMPrintInfo_writeTextDocumentPDF(const QTextDocument &document, QIODevice *device, const QPageLayout &layout,
                                      const QString &title);
