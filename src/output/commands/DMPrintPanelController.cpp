// DMPrintPanelController: the settings, the sheet's life and the composition of the pages.
#include "DMPrintPanelController.h"

#include "DMBeep.h"
#include "DMIdleTimeout.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMPrintInfo.h"
#include "DMPrintPanelControllerDataSource.h"
#include "DMPrintPicture.h"
#include "DMProjectKeys.h"
#include "DMUserDefaults.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPdfDocument>
#include <QPdfView>
#include <QProgressBar>
#include <QWidget>

#include <algorithm>

const QString kDMPrintPanel_DateMode = QStringLiteral("PrintPanel_DateMode");
const QString kDMPrintPanel_BeginDate = QStringLiteral("PrintPanel_BeginDate");
const QString kDMPrintPanel_EndDate = QStringLiteral("PrintPanel_EndDate");
const QString kDMPrintPanel_FitOnOnePage = QStringLiteral("PrintPanel_FitOnOnePage");
const QString kDMPrintPanel_Header = QStringLiteral("PrintPanel_Header");
const QString kDMPrintPanel_Footer = QStringLiteral("PrintPanel_Footer");
const QString kDMPrintPanel_TopImageOnEveryPage = QStringLiteral("PrintPanel_TopImageOnEveryPage");
const QString kDMPrintPanel_LeftImageOnEveryPage = QStringLiteral("PrintPanel_LeftImageOnEveryPage");

namespace {

constexpr double kRecomposeDelay = 0.75;
constexpr double kPrintDelay = 0.05;
constexpr double kRedrawDelay = 1.0;
constexpr double kLineHeightAsked = 24.0;
const char *const kUpdateImages = "_updateImages:";

DMDate storedDate(const QString &key)
{
    const DMDate date = DMDate::dateWithDictionaryRepresentation(DMUserDefaults::standardUserDefaults().objectForKey(key));
    return date.isNull() ? DMDate::dateForNow() : date;
}

} // namespace

QString DMPrintPanelController_fileNameTimestamp(const QDateTime &time)
{
    // Qt's "yyyy" is the calendar year; there is no week-year letter to mistake it for.
    return time.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
}

QString DMPrintPanelController_sharedFileName(const QString &baseName, const QString &extension, const QDateTime &time)
{
    return QStringLiteral("Orvesta-%1-%2.%3").arg(baseName, DMPrintPanelController_fileNameTimestamp(time), extension);
}

DMPrintPanelController::DMPrintPanelController(QObject *parent) : QObject(parent)
{
    const DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    m_dateMode = defaults.integerForKey(kDMPrintPanel_DateMode);
    m_beginDate = storedDate(kDMPrintPanel_BeginDate);
    m_endDate = storedDate(kDMPrintPanel_EndDate);
    m_fitOnOnePage = defaults.boolForKey(kDMPrintPanel_FitOnOnePage);
    m_headerString = defaults.stringForKey(kDMPrintPanel_Header);
    m_footerString = defaults.stringForKey(kDMPrintPanel_Footer);
    m_topImageOnEveryPage = defaults.boolForKey(kDMPrintPanel_TopImageOnEveryPage);
    m_leftImageOnEveryPage = defaults.boolForKey(kDMPrintPanel_LeftImageOnEveryPage);
}

DMPrintPanelController::~DMPrintPanelController()
{
    m_alive.reset();
    destroyPendingIdleInvocations(this);
    delete m_window.data();
}

// ---- Settings ----

void DMPrintPanelController::setDateMode(int mode)
{
    if (mode == m_dateMode)
        return;
    m_dateMode = mode;
    DMUserDefaults::standardUserDefaults().setIntegerForKey(mode, kDMPrintPanel_DateMode);
    updateControls();
    _imagesNeedUpdate();
}

bool DMPrintPanelController::setBeginDate(const DMDate &date)
{
    if (!date.isNull() && !m_endDate.isNull() && date > m_endDate) {
        DMBeep();
        updateControls();
        return false;
    }
    m_beginDate = date;
    if (!date.isNull())
        DMUserDefaults::standardUserDefaults().setObjectForKey(date.dictionaryRepresentation(), kDMPrintPanel_BeginDate);
    updateControls();
    if (m_dateMode != 0)
        _imagesNeedUpdate();
    return true;
}

bool DMPrintPanelController::setEndDate(const DMDate &date)
{
    if (!date.isNull() && !m_beginDate.isNull() && date < m_beginDate) {
        DMBeep();
        updateControls();
        return false;
    }
    m_endDate = date;
    if (!date.isNull())
        DMUserDefaults::standardUserDefaults().setObjectForKey(date.dictionaryRepresentation(), kDMPrintPanel_EndDate);
    updateControls();
    if (m_dateMode != 0)
        _imagesNeedUpdate();
    return true;
}

void DMPrintPanelController::setFitOnOnePage(bool fit)
{
    if (fit == m_fitOnOnePage)
        return;
    m_fitOnOnePage = fit;
    DMUserDefaults::standardUserDefaults().setBoolForKey(fit, kDMPrintPanel_FitOnOnePage);
    updateControls();
    _imagesNeedUpdate();
}

void DMPrintPanelController::setZoomLevel(double zoom)
{
    if (!(zoom > 0) || zoom == m_zoomLevel)
        return;
    m_zoomLevel = zoom;
    updateControls();
    _imagesNeedUpdate();
}

void DMPrintPanelController::setHeaderString(const QString &text)
{
    m_headerString = text;
    DMUserDefaults::standardUserDefaults().setObjectForKey(text, kDMPrintPanel_Header);
    _imagesNeedUpdate();
}

void DMPrintPanelController::setFooterString(const QString &text)
{
    m_footerString = text;
    DMUserDefaults::standardUserDefaults().setObjectForKey(text, kDMPrintPanel_Footer);
    _imagesNeedUpdate();
}

void DMPrintPanelController::setTopImageOnEveryPage(bool every)
{
    if (every == m_topImageOnEveryPage)
        return;
    m_topImageOnEveryPage = every;
    DMUserDefaults::standardUserDefaults().setBoolForKey(every, kDMPrintPanel_TopImageOnEveryPage);
    updateControls();
    _imagesNeedUpdate();
}

void DMPrintPanelController::setLeftImageOnEveryPage(bool every)
{
    if (every == m_leftImageOnEveryPage)
        return;
    m_leftImageOnEveryPage = every;
    DMUserDefaults::standardUserDefaults().setBoolForKey(every, kDMPrintPanel_LeftImageOnEveryPage);
    updateControls();
    _imagesNeedUpdate();
}

void DMPrintPanelController::setPixelsPerColumn(double width)
{
    if (!(width > 0))
        return;
    m_pixelsPerColumn = width;
    updateControls();
    _imagesNeedUpdate();
}

void DMPrintPanelController::setImageExport(bool imageExport)
{
    m_imageExport = imageExport;
    updateControls();
}

void DMPrintPanelController::setImageExportFormat(const QString &format)
{
    m_imageExportFormat = format;
    updateControls();
}

void DMPrintPanelController::setInternetExport(bool internetExport)
{
    m_internetExport = internetExport;
    updateControls();
}

void DMPrintPanelController::setFarseeExport(bool farseeExport)
{
    m_farseeExport = farseeExport;
    updateControls();
}

DMPageCompositionSettings DMPrintPanelController::compositionSettings() const
{
    DMPageCompositionSettings settings;
    settings.fitOnOnePage = m_fitOnOnePage;
    settings.imageExport = m_imageExport;
    settings.topImageOnEveryPage = m_topImageOnEveryPage;
    settings.leftImageOnEveryPage = m_leftImageOnEveryPage;
    settings.zoomLevel = m_zoomLevel;
    settings.pixelsPerColumn = m_pixelsPerColumn;
    settings.headerString = m_headerString;
    settings.footerString = m_footerString;
    return settings;
}

// ---- The sheet's life ----

void DMPrintPanelController::beginSheetModalForWindow(QWidget *documentWindow)
{
    m_userDidValidatePreview = false;
    QWidget *sheet = window();
    if (documentWindow && sheet->parentWidget() != documentWindow) {
        sheet->setParent(documentWindow, sheet->windowFlags());
        sheet->setWindowModality(Qt::WindowModal);
    }
    updateControls();
    sheet->show();
    sheet->raise();
    _imagesNeedUpdate();
    performSelectorAfterIdleTimeout(this, "display", [this] {
        if (m_window)
            m_window->update();
    }, kRedrawDelay);
}

bool DMPrintPanelController::isOnScreen() const
{
    return m_window && m_window->isVisible();
}

bool DMPrintPanelController::isCompositionPending() const
{
    return hasPendingIdleInvocation(this, kUpdateImages);
}

void DMPrintPanelController::_imagesNeedUpdate()
{
    m_cancelPreview = true;
    performSelectorAfterIdleTimeout(this, kUpdateImages, [this] { _updateImages(); }, kRecomposeDelay);
}

void DMPrintPanelController::print()
{
    // What prints is composed after the press: a composition under way stops, and a new one
    // starts once it has returned, then is put out.
    m_userDidValidatePreview = true;
    if (m_composing)
        m_cancelPreview = true;
    performSelectorAfterIdleTimeout(this, kUpdateImages, [this] { _updateImages(); }, kPrintDelay);
}

void DMPrintPanelController::close()
{
    m_cancelPreview = true;
    destroyPendingIdleInvocations(this);
    m_userDidValidatePreview = false;
    if (m_pdfView)
        m_pdfView->setDocument(nullptr);
    if (m_pdfDocument)
        m_pdfDocument->close();
    m_previewBuffer.close();
    m_previewData.clear();
    if (m_window)
        m_window->hide();
    m_pageImages.clear();
    setProgress(0, false);
}

bool DMPrintPanelController::dispatchPendingEvents()
{
    const std::weak_ptr<bool> alive = m_alive;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !alive.expired();
}

// ---- Composition ----

void DMPrintPanelController::_updateImages()
{
    if (m_composing) {
        // Never a composition inside another (a deferred call may fire while one dispatches
        // events): the running one stops, and this one starts once it has returned.
        m_cancelPreview = true;
        performSelectorAfterIdleTimeout(this, kUpdateImages, [this] { _updateImages(); }, kPrintDelay);
        return;
    }
    m_composing = true;
    const std::weak_ptr<bool> alive = m_alive;
    composeJoinAndOutput();
    if (alive.expired())
        return;
    m_composing = false;
    setProgress(0, false);
}

void DMPrintPanelController::composeJoinAndOutput()
{
    m_cancelPreview = false;
    setProgress(0, true);

    DMDate begin = m_beginDate;
    DMDate end = m_endDate;
    if (m_dateMode == 0 && m_datasource) {
        const QVariantMap span = m_datasource->getCurrentTimeSpanForPrintPanelController(this);
        begin = span.value(kDMTimeSpanBegin).value<DMDate>();
        end = span.value(kDMTimeSpanEnd).value<DMDate>();
    }
    // Whole calendar days, the time of day left out.
    const qint64 days = begin.isNull() || end.isNull() ? -1 : end.julianDay() - begin.julianDay();
    const QSizeF leftSize = m_datasource ? m_datasource->printPanelControllerLeftImageSize(this) : QSizeF();
    const DMPageCompositionSettings settings = compositionSettings();
    // The user's paper; until the user chooses an orientation, the chart's own.
    const DMPrintInfo &printInfo = DMPrintInfo::sharedPrintInfo();
    QPageLayout layout = printInfo.pageLayout;
    if (!printInfo.orientationChosen)
        layout.setOrientation(DMPageComposition_orientationForChart(days, leftSize));
    const DMPageCompositionPlan plan = DMPageComposition_plan(layout, settings, days, leftSize);
    if (!plan.canCompose()) {
        finishComposition({}, layout, plan.whyNoPages);
        return;
    }
    DMPageCompositionImages images;
    images.lineHeight = kLineHeightAsked;
    if (!m_datasource || !m_datasource->printPanelControllerLeftImageTopImageContentImageWithBeginDateEndDatePixelsPerDayRet_lineHeight(
            this, &images, begin, end, plan.pixelsPerDay)) {
        finishComposition({}, layout, DMLocalizedString("The chart has nothing to print."));
        return;
    }
    const QString logoPath = m_datasource->logoPathForPrintPanelController(this);
    if (!logoPath.isEmpty())
        images.logo = QImage(logoPath);

    DMPageComposer composer(plan, settings, images);
    QList<DMComposedPage> pages;
    DMComposedPage page;
    while (!m_cancelPreview && composer.nextPage(&page)) {
        pages.append(page);
        setProgress(std::min(0.5, double(pages.size()) * composer.progressStep()), true);
        if (!dispatchPendingEvents())
            return;
    }
    if (m_cancelPreview)
        return; // stopped: the earlier pages and preview stay
    finishComposition(pages, layout, composer.whyNoPages());
}

void DMPrintPanelController::finishComposition(const QList<DMComposedPage> &pages, const QPageLayout &layout,
                                               const QString &whyNoPages)
{
    const std::weak_ptr<bool> alive = m_alive;
    if (!joinPages(pages))
        return; // stopped, or this controller went: the earlier pages, their paper and preview stay
    m_pageImages = pages;
    m_pageLayout = layout;
    m_whyNoPages = whyNoPages;
    updateControls();
    emit previewDidChange();
    if (alive.expired() || m_cancelPreview || !m_userDidValidatePreview)
        return;
    m_userDidValidatePreview = false;
    if (!m_pageImages.isEmpty())
        _print();
    else
        DMModalUI::instance().presentError(DMLocalizedString("There is nothing to print."), m_whyNoPages, m_window);
}

void DMPrintPanelController::_createPDFDocument()
{
    joinPages(m_pageImages);
}

bool DMPrintPanelController::joinPages(const QList<DMComposedPage> &pages)
{
    QByteArray data;
    if (!pages.isEmpty()) {
        const int count = int(pages.size());
        const std::weak_ptr<bool> alive = m_alive;
        data = DMComposedPage::dataWithPDFOfPages(pages, outputBaseName(), [this, count, alive](int page) {
            setProgress(double(page) / (2.0 * count) + 0.5, true);
            if (!dispatchPendingEvents())
                return false;
            return !m_cancelPreview;
        });
        if (alive.expired() || m_cancelPreview || data.isEmpty())
            return false;
    }
    // The preview changes only now, whole.
    if (m_pdfView)
        m_pdfView->setDocument(nullptr);
    if (m_pdfDocument)
        m_pdfDocument->close();
    m_previewBuffer.close();
    m_previewData = data;
    if (m_previewData.isEmpty())
        return true;
    if (!m_pdfDocument)
        m_pdfDocument = new QPdfDocument(this);
    m_previewBuffer.setData(m_previewData);
    m_previewBuffer.open(QIODevice::ReadOnly);
    m_pdfDocument->load(&m_previewBuffer);
    if (m_pdfView) {
        m_pdfView->setDocument(m_pdfDocument);
        m_pdfView->setPageMode(QPdfView::PageMode::MultiPage);
        m_pdfView->setZoomMode(QPdfView::ZoomMode::Custom);
        m_pdfView->setZoomFactor(0.3);
    }
    return true;
}

void DMPrintPanelController::setProgress(double progress, bool shown)
{
    m_progress = progress;
    if (!m_progressIndicator)
        return;
    m_progressIndicator->setVisible(shown);
    m_progressIndicator->setValue(int(std::lround(progress * m_progressIndicator->maximum())));
}
