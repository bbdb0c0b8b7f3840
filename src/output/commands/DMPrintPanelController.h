#pragma once

#include "DMComposedPage.h"
#include "DMDate.h"
#include "DMPageComposition.h"

#include <QBuffer>
#include <QPdfView>
#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPdfDocument;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;
class DMPrintPanelControllerDataSource;

// User defaults of the print panel's settings.
extern const QString kDMPrintPanel_DateMode;
extern const QString kDMPrintPanel_BeginDate;
extern const QString kDMPrintPanel_EndDate;
extern const QString kDMPrintPanel_FitOnOnePage;
extern const QString kDMPrintPanel_Header;
extern const QString kDMPrintPanel_Footer;
extern const QString kDMPrintPanel_TopImageOnEveryPage;
extern const QString kDMPrintPanel_LeftImageOnEveryPage;

// The print and export sheet of one project document: a preview of the composed pages, the print
// options and the progress of the composition. Its data source (the document, not owned) renders
// the outline, the timeline header and the Gantt canvas for the dates chosen; the pages are
// composed from them (DMPageComposer), joined into one PDF for the preview and, once the user
// confirms, printed, saved as a PDF or JPEG file or sent by the web export.
//
// A change of option recomposes 0.75 s after the last one; a composition dispatches the user's
// events between pages so that Close and the options work meanwhile, and any of them stops it.
// Deferred calls are tied to this object.
class DMPrintPanelController : public QObject
{
    Q_OBJECT

public:
    explicit DMPrintPanelController(QObject *parent = nullptr);
    ~DMPrintPanelController() override;

    DMPrintPanelControllerDataSource *datasource() const { return m_datasource; }
    void setDatasource(DMPrintPanelControllerDataSource *datasource) { m_datasource = datasource; }

    // The sheet, made on first use.
    QWidget *window();
    QPdfView *pdfView() const { return m_pdfView; }

    // ---- Settings; each setter is a control's action ----
    int dateMode() const { return m_dateMode; } // 0: the span the chart shows; else begin to end
    void setDateMode(int mode);
    DMDate beginDate() const { return m_beginDate; }
    DMDate endDate() const { return m_endDate; }
    // A begin after the end (an end before the begin) beeps and changes nothing; false then.
    bool setBeginDate(const DMDate &date);
    bool setEndDate(const DMDate &date);
    bool fitOnOnePage() const { return m_fitOnOnePage; }
    void setFitOnOnePage(bool fit);
    double zoomLevel() const { return m_zoomLevel; }
    void setZoomLevel(double zoom); // ignored unless greater than 0
    QString headerString() const { return m_headerString; }
    void setHeaderString(const QString &text);
    QString footerString() const { return m_footerString; }
    void setFooterString(const QString &text);
    bool topImageOnEveryPage() const { return m_topImageOnEveryPage; }
    void setTopImageOnEveryPage(bool every);
    bool leftImageOnEveryPage() const { return m_leftImageOnEveryPage; }
    void setLeftImageOnEveryPage(bool every);
    double pixelsPerColumn() const { return m_pixelsPerColumn; }
    void setPixelsPerColumn(double width);

    // ---- What the sheet does, set by the entry points before it opens ----
    bool imageExport() const { return m_imageExport; }
    void setImageExport(bool imageExport);
    QString imageExportFormat() const { return m_imageExportFormat; }
    void setImageExportFormat(const QString &format); // "pdf" or "jpg"
    bool internetExport() const { return m_internetExport; }
    void setInternetExport(bool internetExport);
    bool farseeExport() const { return m_farseeExport; }
    void setFarseeExport(bool farseeExport);

    // ---- Composition and preview ----
    const QList<DMComposedPage> &pageImages() const { return m_pageImages; }
    // The preview's document: every page joined into one PDF (empty without pages).
    QByteArray previewPDFData() const { return m_previewData; }
    QPdfDocument *previewDocument() const { return m_pdfDocument; }
    // Why the last composition made no page (empty when it made some).
    QString whyNoPages() const { return m_whyNoPages; }
    // Composing, joining the pages or putting them out: one at a time, never one inside another.
    bool isComposing() const { return m_composing; }
    bool isCompositionPending() const;
    double progress() const { return m_progress; }
    bool userDidValidatePreview() const { return m_userDidValidatePreview; }

    // Shows the sheet on the document window and composes 0.75 s later.
    void beginSheetModalForWindow(QWidget *documentWindow);
    bool isOnScreen() const;
    // Recomposes 0.75 s after the last call; stops a composition under way.
    void _imagesNeedUpdate();
    // Composes the pages now (the deferred call), then joins them, then outputs them when the
    // user pressed Print. Called while a composition runs, it stops that one and starts again
    // once it has returned.
    void _updateImages();
    // Joins the pages into the preview's document.
    void _createPDFDocument();
    // The output: print, or save, send or share the export.
    void _print();

    // The Print (Export, Send, Share) button: recomposes 0.05 s later, then outputs.
    void print();
    // The Close button, and the end of every export: stops, forgets the pages, hides the sheet.
    void close();

signals:
    // A composition ended with pages (possibly none) and the preview shows them.
    void previewDidChange();

private:
    void buildWindow();
    void updateControls();
    void setProgress(double progress, bool shown);
    // Lets the user's events through in the middle of a long task; false when this controller
    // went meanwhile (the caller returns at once).
    bool dispatchPendingEvents();
    void composeJoinAndOutput();
    // The pages composed on the paper, kept together once joined.
    void finishComposition(const QList<DMComposedPage> &pages, const QPageLayout &layout, const QString &whyNoPages);
    // The pages joined into the preview's document, which changes only once all are joined;
    // false when stopped or when this controller went meanwhile.
    bool joinPages(const QList<DMComposedPage> &pages);
    DMPageCompositionSettings compositionSettings() const;
    QString outputBaseName() const;
    bool writeExport(const QString &path, const QByteArray &data) const;

    DMPrintPanelControllerDataSource *m_datasource = nullptr;

    int m_dateMode = 0;
    DMDate m_beginDate;
    DMDate m_endDate;
    bool m_fitOnOnePage = false;
    double m_zoomLevel = 1.0;
    QString m_headerString;
    QString m_footerString;
    bool m_topImageOnEveryPage = false;
    bool m_leftImageOnEveryPage = false;
    double m_pixelsPerColumn = 24.0;

    bool m_imageExport = false;
    QString m_imageExportFormat = QStringLiteral("pdf");
    bool m_internetExport = false;
    bool m_farseeExport = false;

    QList<DMComposedPage> m_pageImages;
    QPageLayout m_pageLayout; // the paper of m_pageImages
    QByteArray m_previewData;
    QBuffer m_previewBuffer;
    QString m_whyNoPages;
    bool m_userDidValidatePreview = false;
    bool m_cancelPreview = false;
    bool m_composing = false;
    double m_progress = 0.0;
    // Shared with the loops that dispatch events: it expires when this controller goes.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

    // The sheet and its controls.
    QPointer<QWidget> m_window;
    QPointer<QPdfView> m_pdfView;
    QPdfDocument *m_pdfDocument = nullptr;
    QPointer<QProgressBar> m_progressIndicator;
    QPointer<QLabel> m_titleLabel;
    QPointer<QLabel> m_statusLabel;
    QPointer<QRadioButton> m_shownSpanButton;
    QPointer<QRadioButton> m_datesButton;
    QPointer<QDateEdit> m_beginDateEdit;
    QPointer<QDateEdit> m_endDateEdit;
    QPointer<QCheckBox> m_fitCheckBox;
    QPointer<QCheckBox> m_topEveryPageCheckBox;
    QPointer<QCheckBox> m_leftEveryPageCheckBox;
    QPointer<QSpinBox> m_zoomField;
    QPointer<QDoubleSpinBox> m_dayWidthField;
    QPointer<QLabel> m_dayWidthLabel;
    QPointer<QLineEdit> m_headerField;
    QPointer<QLineEdit> m_footerField;
    QPointer<QPushButton> m_printButton;
};

// "yyyy-MM-dd-HHmmss" of the time: the calendar year, never the year of the week.
QString DMPrintPanelController_fileNameTimestamp(const QDateTime &time);
// The name a shared page is uploaded under: "Orvesta-<base name>-<timestamp>.<extension>".
QString DMPrintPanelController_sharedFileName(const QString &baseName, const QString &extension, const QDateTime &time);
