#pragma once

#include "DMProjectDocumentPrintHost.h"
#include "DMProjectDocumentReportHost.h"
#include "DMProjectDocumentUICallbacksHost.h"

#include <QPointer>

#include <QString>

#include <memory>

class DMCurrencyFormatter;
class DMProjectDocument;

// The document as its output controllers see it: the host of the report controller, of the
// export and import commands and of the print commands. Owned by the document, which outlives it.
class DMProjectDocumentOutputHost : public DMProjectDocumentReportHost,
                                    public DMProjectDocumentUICallbacksHost,
                                    public DMProjectDocumentPrintHost
{
public:
    explicit DMProjectDocumentOutputHost(DMProjectDocument *document);
    ~DMProjectDocumentOutputHost() override;

    std::shared_ptr<DMProject> project() const override;
    QString currencyString(double value) const override;
    QString fileCurrencyString(double value) const override;
    QString calendarDateString(const DMDate &date) const override;
    QString timeOfDayString(const DMDate &date) const override;
    QVariant reportHeaderColor() const override;
    QString reportLogoPath() const override;
    DMReportPage *reportPage() const override;
    QWidget *windowForSheet() const override;
    QString folderForPanels() const override;
    QList<std::shared_ptr<DMProjectItem>> selectedCanvasItems() const override;
    DMProjectDocumentReport *report() override;
    void openFileWithDefaultApplication(const QString &path) override;

    int currentPageTag() const override;
    DMOutlineView *projectOutlineView() const override;
    QWidget *projectView() const override;
    QWidget *timelineView() const override;
    void setTimelineViewPrinting(bool printing) override;
    void setIsPrinting(bool printing) override;
    QList<QRectF> projectViewBarFrames() const override;
    DMOutlineView *listOutlineView(int tag) const override;
    DMCollectionView *itemsCollectionView(int tag) const override;
    QWidget *printablePageWidget(int tag) const override;

private:
    DMProjectDocument *m_document;
    // The currency of files: the project's unit with the C locale's number form.
    mutable std::shared_ptr<DMCurrencyFormatter> m_fileCurrencyFormatter;
    // Where the Gantt page was scrolled before the canvas was laid out for a page.
    struct ScrollPositions
    {
        int canvasX = 0, canvasY = 0, timelineX = 0;
    } m_scrollBeforePrinting;
};
