#pragma once

#include "DocumentTestSupport.h"

#include "DMGanttUIObjectFactory.h"
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

// Documents that print to "printed.pdf" in the test's folder; the shared print settings are put
// back after each test. The document, if any, goes before the other documents are closed.
class PrintTestBase : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPrintPanels::setInstance(&panels);
        panels.outputPath = path(QStringLiteral("printed.pdf"));
        savedPrintInfo = DMPrintInfo::sharedPrintInfo();
    }
    void TearDown() override
    {
        DMPrintInfo::sharedPrintInfo() = savedPrintInfo;
        DMPrintPanels::setInstance(nullptr);
        document.reset();
        DocumentTestBase::TearDown();
    }

    PDFPrintPanels panels;
    DMPrintInfo savedPrintInfo;
    std::shared_ptr<DMProjectDocument> document;
};

} // namespace halcyra::test
