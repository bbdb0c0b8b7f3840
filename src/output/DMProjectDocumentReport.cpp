// DMProjectDocumentReport: its life cycle, the report page and the global report.
#include "DMProjectDocumentReport.h"

#include "DMDictionaryAccess.h"
#include "DMDurationSplit.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectDocumentReportHost.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMReportBody.h"
#include "DMReportDocument.h"
#include "DMReportDurations.h"
#include "DMReportHTML.h"
#include "DMReportPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include <vector>

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

DMReportColumns DMProjectDocumentReport::columns() const
{
    DMReportColumns shown;
    if (const DMReportPage *page = m_host->reportPage()) {
        shown.showCost = page->reportShowCostCheckbox()->isChecked();
        shown.showCompletion = page->reportShowCompletionCheckbox()->isChecked();
    }
    return shown;
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

void DMProjectDocumentReport::showReport(const DMReportBody *body)
{
    removeShownReportFile();
    DMReportPage *page = m_host->reportPage();
    if (!body) {
        if (page) {
            page->reportProgressIndicator()->hide();
            DMReportDocument_clear(page->reportWebView());
        }
        return;
    }
    const QString path = newTemporaryFilePath(QStringLiteral("report"), QStringLiteral("html"));
    QSaveFile file(path);
    const QByteArray html = DMReport_pageWithBody(DMReport_templateText(), body->html(), body->columns()).toUtf8();
    const bool written = !path.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(html) >= 0 && file.commit();
    if (written)
        m_shownReportPath = path;
    // Without its file the report is still shown: the view's document is built from the rows.
    if (!page)
        return;
    const QPointer<QProgressBar> indicator = page->reportProgressIndicator();
    indicator->hide();
    DMReportDocument_show(page->reportWebView(), *body, [indicator](int written, int total) {
        if (!indicator)
            return;
        indicator->setRange(0, total);
        indicator->setValue(written);
        indicator->setVisible(written < total);
    });
}

// ---- Texts shared by the rows ----

QString DMProjectDocumentReport::assignedNames(const DMProjectTask &task)
{
    QStringList names;
    for (const auto &resource : task.concernedResources())
        if (!resource->name().isEmpty())
            names.append(resource->name());
    return names.join(QStringLiteral(", "));
}

QString DMProjectDocumentReport::baseRateText(const DMProjectResource &resource, const std::function<QString(double)> &currency)
{
    const double rate = doubleForKey(resource.attributes(), kDMProjectResource_HourlyCost);
    switch (integerForKey(resource.attributes(), kDMProjectResource_CostKind)) {
    case kDMProjectResourceCostKind_Hourly:
        return DMLocalizedString("%1 / hour").arg(currency(rate));
    case kDMProjectResourceCostKind_Daily:
        return DMLocalizedString("%1 / day").arg(currency(rate));
    case kDMProjectResourceCostKind_Fixed:
        return DMLocalizedString("Global");
    default:
        return QString();
    }
}

QString DMProjectDocumentReport::dateAndTimeText(const DMDate &date) const
{
    return QStringLiteral("%1 %2").arg(m_host->calendarDateString(date), m_host->timeOfDayString(date));
}

float DMProjectDocumentReport::rollUpCost(const DMProjectItem &item)
{
    float progress = 0.0f;
    int progressItems = 0, tasks = 0, milestones = 0, processes = 0;
    float cost = 0.0f;
    item.computeProgressProgressItemsTasksMilestonesProcessesCost(&progress, &progressItems, &tasks, &milestones, &processes, &cost);
    return cost;
}

void DMProjectDocumentReport::forEachResourceInGroups(
    const ResourceList &resources, float *projectCost,
    const std::function<void(const DMProjectResource &, float progress, float cost, const QString &info)> &visit)
{
    std::vector<const DMProjectResource *> stack;
    for (auto it = resources.crbegin(); it != resources.crend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        const DMProjectResource *resource = stack.back();
        stack.pop_back();
        if (resource->kind() == DMProjectResource::Group) {
            const auto &members = resource->subitems().list();
            for (auto it = members.crbegin(); it != members.crend(); ++it)
                stack.push_back(it->get());
        } else if (resource->kind() == DMProjectResource::Resource) {
            float progress = 0.0f;
            float cost = 0.0f;
            QString info;
            resource->computeProgressCostInfoString(&progress, &cost, &info);
            *projectCost += cost;
            visit(*resource, progress, cost, info);
        }
    }
}

// ---- The global report ----

void DMProjectDocumentReport::_reportGenerateHTML_tasksContentStringRowProjectCost(const ItemList &items, DMReportBody &content,
                                                                                  int *row, float *projectCost)
{
    const DMReportColumns shown = columns();
    DMProjectItem_forEachItem(items, [&](const DMProjectItem &item) {
        if (item.kind() != kDMProjectItem_Kind_Task)
            return;
        const auto &task = static_cast<const DMProjectTask &>(item);
        const qint64 span = DMDurationSplit::dayLengthForItem(task);
        DMReportTaskRow line;
        line.form = DMReportRowForm::GlobalTask;
        line.row = *row;
        line.title = task.title();
        line.beginText = dateAndTimeText(task.beginDate());
        line.endText = dateAndTimeText(task.endDate());
        line.durationText = DMReport_durationText(task.duration(), span);
        line.floatText = DMReport_floatText(task.floatDuration(), span);
        line.percent = DMReport_percent(task.progress());
        line.lineText = assignedNames(task);
        if (shown.showCost) {
            if (integerForKey(task.attributes(), kDMProjectItem_CostKind) == kDMProjectItemCostKind_FromResources) {
                line.costText = m_host->currencyString(task.cost());
            } else {
                *projectCost += task.cost();
                line.costText = m_host->currencyString(rollUpCost(task));
            }
        }
        content += line;
        ++*row;
    });
}

void DMProjectDocumentReport::_reportGenerateHTML_resourcesContentStringRowProjectCost(const ResourceList &resources,
                                                                                      DMReportBody &content, int *row,
                                                                                      float *projectCost)
{
    const DMReportColumns shown = columns();
    const auto currency = [this](double value) { return m_host->currencyString(value); };
    forEachResourceInGroups(resources, projectCost, [&](const DMProjectResource &resource, float progress, float cost,
                                                        const QString &info) {
        QString contact;
        const QString email = stringForKey(resource.attributes(), kDMProjectResource_Email);
        const QString phone = stringForKey(resource.attributes(), kDMProjectResource_Phone);
        if (!email.isEmpty())
            contact += email + QLatin1Char(' ');
        contact += phone;
        DMReportTaskRow line;
        line.form = DMReportRowForm::Resource;
        line.row = *row;
        line.title = resource.name();
        line.beginText = contact;
        line.durationText = baseRateText(resource, currency);
        line.costText = shown.showCost ? m_host->currencyString(cost) : QString();
        line.percent = DMReport_percent(progress);
        line.lineText = info;
        content += line;
        ++*row;
    });
}

QString DMProjectDocumentReport::reportGenerateHTML()
{
    if (!m_host->project())
        return QString();
    const DMReportBody body = globalReportBody();
    return DMReport_pageWithBody(DMReport_templateText(), body.html(), body.columns());
}

DMReportBody DMProjectDocumentReport::globalReportBody()
{
    const std::shared_ptr<DMProject> project = m_host->project();
    const DMReportColumns shown = columns();
    int row = 0;
    float projectCost = 0.0f;
    DMReportHeader header;
    header.colorText = DMReport_headerColorText(m_host->reportHeaderColor());
    header.logoPath = m_host->reportLogoPath();
    header.columns = shown;

    DMReportBody rows(shown);
    _reportGenerateHTML_tasksContentStringRowProjectCost(project->tasks().list(), rows, &row, &projectCost);
    rows += DMReport_separatorRow() + DMReport_mainTableClosing() + DMReport_mainTableOpening()
        + QStringLiteral("<br/><br/><br/><br/><br/><br/><br/>\n");
    rows += DMReport_columnHeaderRow(header.colorText,
                                     {DMLocalizedString("Resources"), QString(), DMLocalizedString("Base"),
                                      shown.showCost ? DMLocalizedString("Cost") : QString(),
                                      shown.showCompletion ? DMLocalizedString("Completion") : QString(), QString()},
                                     shown);
    _reportGenerateHTML_resourcesContentStringRowProjectCost(project->resources().list(), rows, &row, &projectCost);
    rows += DMReport_separatorRow() + DMReport_mainTableClosing();

    const double budget = doubleForKey(project->attributes(), kDMProject_Settings_Budget);
    header.title = project->title();
    header.beginText = m_host->calendarDateString(project->effectiveBeginDate());
    header.endText = m_host->calendarDateString(project->effectiveEndDate());
    header.budgetText = m_host->currencyString(budget);
    header.costText = m_host->currencyString(projectCost);
    header.leftText = m_host->currencyString(double(float(budget) - projectCost));
    // The header is known once the rows have added up the cost: it goes before them.
    DMReportBody body(shown);
    body += DMReport_mainTableOpening() + DMReport_headerTable(header);
    body += rows;
    return body;
}

void DMProjectDocumentReport::reportRefresh()
{
    m_mode = 0;
    if (DMReportPage *page = m_host->reportPage())
        page->tasksByResourceReportMailButton()->setVisible(true);
    if (!m_host->project()) {
        showReport(nullptr);
        return;
    }
    const DMReportBody body = globalReportBody();
    showReport(&body);
}
