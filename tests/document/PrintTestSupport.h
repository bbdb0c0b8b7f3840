#pragma once

#include "DMPrintInfo.h"

#include <QPageLayout>
#include <QPrinter>
#include <QString>

namespace halcyra::test {

// Answers the print and page-layout panels: prints to a PDF file and counts.
class PDFPrintPanels : public DMPrintPanels
{
public:
    QString outputPath;
    int printPanels = 0;
    QPageLayout chosenLayout;
    bool runPrintPanel(QPrinter *printer, QWidget *) override
    {
        ++printPanels;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(outputPath);
        return true;
    }
    bool runPageLayout(QPrinter *printer, QWidget *) override
    {
        printer->setPageLayout(chosenLayout);
        return true;
    }
};

} // namespace halcyra::test
