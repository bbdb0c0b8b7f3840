// DMProjectDocumentReport: its life cycle, the report page and its options, the reports' HTML
// and the CSV rows.
#include "DMProjectDocumentReport.h"

#include "DMProject.h"
#include "DMProjectDocumentReportHost.h"
#include "DMReportBuilder.h"
#include "DMReportDocument.h"
#include "DMReportHTML.h"
#include "DMReportPage.h"
#include "DMSaveFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTextBrowser>

namespace {

QString pageHTML(const DMReportBody &body)
{
    return DMReport_pageWithBody(DMReport_templateText(), body.html(), body.columns());
}

} // namespace

DMProjectDocumentReport::DMProjectDocumentReport(DMProjectDocumentReportHost *host) : m_host(host)
{
    m_pickerTimer.setSingleShot(true);
    m_pickerTimer.setInterval(300);
    connect(&m_pickerTimer, &QTimer::timeout, this, &DMProjectDocumentReport::refreshShownPage);
}

DMProjectDocumentReport::~DMProjectDocumentReport()
{
    m_pickerTimer.stop();
    // A mail program still running is not killed with its controller: it runs to its end and
    // its process object goes then.
    if (m_mailProcess) {
        m_mailProcess->disconnect(this);
        m_mailProcess->setParent(nullptr);
        connect(m_mailProcess, &QProcess::finished, m_mailProcess, &QObject::deleteLater);
        m_mailProcess = nullptr;
    }
}

// ---- The page ----

bool DMProjectDocumentReport::showPageWithTag(int tag, const DMDate &spanBegin, const DMDate &spanEnd)
{
    if (!DMPage_isReport(tag))
        return false;
    DMReportPage *page = m_host->reportPage();
    connectPage(page);
    m_shownPageTag = tag;
    m_pickerTimer.stop();
    if (page) {
        page->setShowsGroupControls(tag != DMPage::GlobalReportPage);
        if (tag != DMPage::GlobalReportPage) {
            const QSignalBlocker blockBegin(page->tasksByResourceReportBeginDatePicker());
            const QSignalBlocker blockEnd(page->tasksByResourceReportEndDatePicker());
            page->tasksByResourceReportBeginDatePicker()->setDateTime(spanBegin.NSDate());
            page->tasksByResourceReportEndDatePicker()->setDateTime(spanEnd.NSDate());
        }
    }
    if (tag == DMPage::TasksByResourcePage)
        tasksByResourceReportRefreshPopup();
    else if (tag == DMPage::TasksByProcessesPage)
        tasksByProcessesReportRefreshPopup();
    refreshShownPage();
    return true;
}

void DMProjectDocumentReport::pageDidHide()
{
    m_shownPageTag = DMPage::NoPage;
    m_pickerTimer.stop();
    removeShownReportFile();
    m_shownBody.reset();
}

void DMProjectDocumentReport::connectPage(DMReportPage *page)
{
    if (!page || page == m_connectedPage)
        return;
    m_connectedPage = page;
    const auto refresh = [this] { refreshShownPage(); };
    connect(page->reportShowCostCheckbox(), &QCheckBox::toggled, this, refresh);
    connect(page->reportShowCompletionCheckbox(), &QCheckBox::toggled, this, refresh);
    connect(page->tasksByResourceReportPopUpButton(), &QComboBox::activated, this, refresh);
    const auto datesChanged = [this] {
        if (m_shownPageTag == DMPage::TasksByResourcePage || m_shownPageTag == DMPage::TasksByProcessesPage)
            m_pickerTimer.start();
    };
    connect(page->tasksByResourceReportBeginDatePicker(), &QDateTimeEdit::dateTimeChanged, this, datesChanged);
    connect(page->tasksByResourceReportEndDatePicker(), &QDateTimeEdit::dateTimeChanged, this, datesChanged);
    connect(page->tasksByResourceReportMailButton(), &QPushButton::clicked, this, [this] { reportSendByMail(); });
}

void DMProjectDocumentReport::refreshShownPage()
{
    switch (m_shownPageTag) {
    case DMPage::GlobalReportPage:
        globalReportRefresh();
        break;
    case DMPage::TasksByResourcePage:
        tasksByResourceReportRefresh();
        break;
    case DMPage::TasksByProcessesPage:
        tasksByProcessesReportRefresh();
        break;
    default:
        break;
    }
}

DMReportOptions DMProjectDocumentReport::options() const
{
    DMReportOptions options;
    if (m_shownPageTag == DMPage::TasksByResourcePage)
        options.kind = DMReportOptions::Kind::TasksByResource;
    else if (m_shownPageTag == DMPage::TasksByProcessesPage)
        options.kind = DMReportOptions::Kind::TasksByProcess;
    if (const DMReportPage *page = m_host->reportPage()) {
        options.columns.showCost = page->reportShowCostCheckbox()->isChecked();
        options.columns.showCompletion = page->reportShowCompletionCheckbox()->isChecked();
        options.chosenObjectID = page->tasksByResourceReportPopUpButton()->currentData().toULongLong();
        options.begin = DMDate::dateWithNSDate(page->tasksByResourceReportBeginDatePicker()->dateTime());
        options.end = DMDate::dateWithNSDate(page->tasksByResourceReportEndDatePicker()->dateTime());
    }
    return options;
}

DMReportFormat DMProjectDocumentReport::format() const
{
    DMProjectDocumentReportHost *host = m_host;
    DMReportFormat format;
    format.currency = [host](double value) { return host->currencyString(value); };
    format.fileCurrency = [host](double value) { return host->fileCurrencyString(value); };
    format.calendarDate = [host](const DMDate &date) { return host->calendarDateString(date); };
    format.timeOfDay = [host](const DMDate &date) { return host->timeOfDayString(date); };
    format.headerColorText = DMReport_headerColorText(m_host->reportHeaderColor());
    format.logoPath = m_host->reportLogoPath();
    return format;
}

void DMProjectDocumentReport::refresh(DMReportOptions::Kind kind)
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project) {
        showReport(std::nullopt);
        return;
    }
    DMReportOptions chosen = options();
    chosen.kind = kind;
    showReport(DMReportBuilder::report(*project, chosen, format()));
}

// ---- Temporary files ----

QString DMProjectDocumentReport::newTemporaryFilePath(const QString &stem, const QString &extension)
{
    if (!m_temporaryFolder)
        m_temporaryFolder = std::make_unique<QTemporaryDir>(QDir(QDir::tempPath()).filePath(QStringLiteral("halcyra-report-XXXXXX")));
    if (!m_temporaryFolder->isValid())
        return QString();
    return m_temporaryFolder->filePath(QStringLiteral("%1_%2.%3").arg(stem).arg(++m_fileCounter).arg(extension));
}

void DMProjectDocumentReport::removeShownReportFile()
{
    if (!m_shownReportPath.isEmpty())
        QFile::remove(m_shownReportPath);
    m_shownReportPath.clear();
}

void DMProjectDocumentReport::showReport(std::optional<DMReportBody> body)
{
    removeShownReportFile();
    m_shownBody = std::move(body);
    DMReportPage *page = m_host->reportPage();
    if (!m_shownBody) {
        if (page) {
            page->reportProgressIndicator()->hide();
            DMReportDocument_clear(page->reportWebView());
        }
        return;
    }
    const QString path = newTemporaryFilePath(QStringLiteral("report"), QStringLiteral("html"));
    if (!path.isEmpty() && DMSaveFile_write(path, pageHTML(*m_shownBody).toUtf8()))
        m_shownReportPath = path;
    // Without its file the report is still shown: the view's document is built from the rows.
    if (!page)
        return;
    const QPointer<QProgressBar> indicator = page->reportProgressIndicator();
    indicator->hide();
    DMReportDocument_show(page->reportWebView(), *m_shownBody, [indicator](int written, int total) {
        if (!indicator)
            return;
        indicator->setRange(0, total);
        indicator->setValue(written);
        indicator->setVisible(written < total);
    });
}

// ---- The global report ----

void DMProjectDocumentReport::reportRefresh()
{
    m_mode = 0;
    if (DMReportPage *page = m_host->reportPage())
        page->tasksByResourceReportMailButton()->setVisible(true);
    refresh(DMReportOptions::Kind::Global);
}

// ---- The reports' HTML ----

QString DMProjectDocumentReport::reportGenerateHTML()
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project)
        return QString();
    return pageHTML(DMReportBuilder::globalReport(*project, options(), format()));
}

QString DMProjectDocumentReport::reportGenerateHTMLForResource(const DMProjectResource &resource)
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project)
        return QString();
    return pageHTML(DMReportBuilder::resourceReport(*project, resource, options(), format()));
}

QString DMProjectDocumentReport::reportGenerateHTMLForProcess(const DMProjectProcess &process)
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project)
        return QString();
    return pageHTML(DMReportBuilder::processReport(*project, process, options(), format()));
}

// ---- CSV rows ----

void DMProjectDocumentReport::_reportGenerateCSV_tasksContentStringRowProjectCost(const ItemList &items, QString &content,
                                                                                 int *row, float *projectCost)
{
    DMReportBuilder::appendCSVTaskLines(items, format(), content, row, projectCost);
}

void DMProjectDocumentReport::_reportGenerateCSV_resourcesContentStringRow(const ResourceList &resources, QString &content,
                                                                          int *row)
{
    DMReportBuilder::appendCSVResourceLines(resources, format(), content, row);
}
