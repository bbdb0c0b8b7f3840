// DMProjectDocumentReport: the tasks-by-resource and tasks-by-process reports.
#include "DMProjectDocumentReport.h"

#include "DMDictionaryAccess.h"
#include "DMDurationSplit.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectDocumentReportHost.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMReportBody.h"
#include "DMReportDurations.h"
#include "DMReportHTML.h"
#include "DMReportPage.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStandardItemModel>

#include <algorithm>
#include <cmath>

namespace {

void addMenuEntry(QComboBox *menu, const QString &title, quint64 objectID, bool enabled = true)
{
    menu->addItem(title, QVariant::fromValue(objectID));
    if (enabled)
        return;
    if (auto *model = qobject_cast<QStandardItemModel *>(menu->model()))
        if (QStandardItem *entry = model->item(menu->count() - 1))
            entry->setEnabled(false);
}

void selectFirstEnabledEntry(QComboBox *menu)
{
    const auto *model = qobject_cast<const QStandardItemModel *>(menu->model());
    for (int i = 0; i < menu->count(); ++i) {
        const QStandardItem *entry = model ? model->item(i) : nullptr;
        if (entry && entry->isEnabled() && menu->itemData(i).isValid()) {
            menu->setCurrentIndex(i);
            return;
        }
    }
    menu->setCurrentIndex(-1);
}

// "%.0f%%" of progress x 100, rounded half away from zero.
QString completionText(double progress)
{
    const double percent = std::isfinite(progress) ? std::round(progress * 100.0) : 0.0;
    return QStringLiteral("%1%").arg(qint64(percent));
}

bool isWithin(const DMProjectItem &item, const DMDate &begin, const DMDate &end)
{
    return item.beginDate().compare(begin) >= 0 && item.endDate().compare(end) <= 0;
}

// The chosen items as a set (no item twice), in their first order.
void appendOnce(DMProjectDocumentReport::ItemList &items, QSet<const DMProjectItem *> &seen,
                const std::shared_ptr<DMProjectItem> &item)
{
    if (item && !seen.contains(item.get())) {
        seen.insert(item.get());
        items.append(item);
    }
}

} // namespace

// ---- Pop-ups ----

void DMProjectDocumentReport::_tasksByResourceReport_rebuildResourceMenuFromResourcesArrayStoreInMenuNamePrefix(
    const ResourceList &resources, QComboBox *menu, const QString &prefix)
{
    for (const auto &resource : resources)
        if (resource->kind() != DMProjectResource::Group)
            addMenuEntry(menu, prefix + resource->name(), resource->objectID());
    for (const auto &group : resources) {
        if (group->kind() != DMProjectResource::Group)
            continue;
        if (menu->count() > 0)
            menu->insertSeparator(menu->count());
        addMenuEntry(menu, prefix + group->name(), group->objectID(), false);
        _tasksByResourceReport_rebuildResourceMenuFromResourcesArrayStoreInMenuNamePrefix(
            group->subitems().list(), menu, prefix + QStringLiteral("    "));
    }
}

void DMProjectDocumentReport::_tasksByProcessesReport_rebuildProcessMenuFromItemArrayStoreInMenu(const ItemList &items,
                                                                                                 QComboBox *menu)
{
    DMProjectItem_forEachItem(items, [menu](const DMProjectItem &item) {
        if (item.kind() == kDMProjectItem_Kind_Process)
            addMenuEntry(menu, item.title(), item.objectID());
    });
}

void DMProjectDocumentReport::refillPopUp(const std::function<void(QComboBox *, const DMProject &)> &fill)
{
    DMReportPage *page = m_host->reportPage();
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!page)
        return;
    QComboBox *menu = page->tasksByResourceReportPopUpButton();
    menu->clear();
    if (project)
        fill(menu, *project);
    selectFirstEnabledEntry(menu);
}

void DMProjectDocumentReport::tasksByResourceReportRefreshPopup()
{
    refillPopUp([](QComboBox *menu, const DMProject &project) {
        _tasksByResourceReport_rebuildResourceMenuFromResourcesArrayStoreInMenuNamePrefix(project.resources().list(), menu, QString());
    });
}

void DMProjectDocumentReport::tasksByProcessesReportRefreshPopup()
{
    refillPopUp([](QComboBox *menu, const DMProject &project) {
        _tasksByProcessesReport_rebuildProcessMenuFromItemArrayStoreInMenu(project.tasks().list(), menu);
    });
}

template <typename T>
std::shared_ptr<T> DMProjectDocumentReport::selectedPopUpObject() const
{
    const DMReportPage *page = m_host->reportPage();
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!page || !project)
        return nullptr;
    const quint64 objectID = page->tasksByResourceReportPopUpButton()->currentData().toULongLong();
    return objectID ? project->objectWithIDAndClass<T>(objectID) : nullptr;
}

template std::shared_ptr<DMProjectResource> DMProjectDocumentReport::selectedPopUpObject<DMProjectResource>() const;
template std::shared_ptr<DMProjectProcess> DMProjectDocumentReport::selectedPopUpObject<DMProjectProcess>() const;

// ---- Refresh ----

void DMProjectDocumentReport::prepareGroupedPage(const QString &popUpLabel)
{
    m_mode = 1;
    if (DMReportPage *page = m_host->reportPage()) {
        page->tasksByResourceReportPopupLabel()->setText(popUpLabel);
        page->tasksByResourceReportMailButton()->setVisible(true);
    }
}

void DMProjectDocumentReport::tasksByResourceReportRefresh()
{
    prepareGroupedPage(DMLocalizedString("Resource:"));
    const auto resource = selectedPopUpObject<DMProjectResource>();
    if (!resource || !m_host->project()) {
        showReport(nullptr);
        return;
    }
    const DMReportBody body = resourceReportBody(*resource);
    showReport(&body);
}

void DMProjectDocumentReport::tasksByProcessesReportRefresh()
{
    prepareGroupedPage(DMLocalizedString("Process:"));
    const auto process = selectedPopUpObject<DMProjectProcess>();
    if (!process || !m_host->project()) {
        showReport(nullptr);
        return;
    }
    const DMReportBody body = processReportBody(*process);
    showReport(&body);
}

// ---- Building ----

void DMProjectDocumentReport::_reportGenerateHTML_tasksForResourceContentStringRowProjectCostBeginDateEndDate(
    const DMProjectResource &resource, DMReportBody &content, int *row, float *totalCost, const DMDate &begin, const DMDate &end)
{
    ItemList chosen;
    QSet<const DMProjectItem *> seen;
    for (const auto &task : resource.assignedTasks())
        if (isWithin(*task, begin, end))
            appendOnce(chosen, seen, task);
    generateReportsForTasksContentStringRowProjectCostTotalCost(chosen, content, row, totalCost);
}

void DMProjectDocumentReport::_reportGenerateHTML_tasksForProcessContentStringRowProjectCostBeginDateEndDate(
    const DMProjectProcess &process, DMReportBody &content, int *row, float *totalCost, const DMDate &begin, const DMDate &end)
{
    ItemList chosen;
    QSet<const DMProjectItem *> seen;
    for (const auto &item : process.subitems())
        if (isWithin(*item, begin, end))
            appendOnce(chosen, seen, item);
    generateReportsForTasksContentStringRowProjectCostTotalCost(chosen, content, row, totalCost);
}

void DMProjectDocumentReport::generateReportsForTasksContentStringRowProjectCostTotalCost(ItemList items, DMReportBody &content,
                                                                                        int *row, float *totalCost)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const auto &a, const auto &b) { return a->chronologicalCompare(*b) < 0; });
    const DMReportColumns shown = columns();
    // The tasks below a chosen item are listed in the global report's form, outside the total.
    float notCounted = 0.0f;
    for (const auto &item : items) {
        if (item->kind() == kDMProjectItem_Kind_Task) {
            const qint64 span = DMDurationSplit::dayLengthForItem(*item);
            DMReportTaskRow line;
            line.form = DMReportRowForm::GroupedTask;
            line.row = *row;
            line.title = item->title();
            line.beginText = dateAndTimeText(item->beginDate());
            line.endText = dateAndTimeText(item->endDate());
            line.durationText = DMReport_durationText(item->duration(), span);
            line.floatText = DMReport_floatText(item->floatDuration(), span);
            line.percent = DMReport_percent(item->progress());
            line.lineText = stringForKey(item->attributes(), kDMProjectItem_Notes);
            if (shown.showCost) {
                *totalCost += item->cost();
                line.costText = m_host->currencyString(
                    integerForKey(item->attributes(), kDMProjectItem_CostKind) == kDMProjectItemCostKind_FromResources
                        ? item->cost()
                        : rollUpCost(*item));
            }
            content += line;
            ++*row;
        }
        _reportGenerateHTML_tasksContentStringRowProjectCost(item->subitems().list(), content, row, &notCounted);
    }
}

DMReportBody DMProjectDocumentReport::groupedReport(const QString &title, double progress, const float *ownCost,
                                                    const std::function<void(DMReportBody &, int *, float *, const DMDate &, const DMDate &)> &writeRows)
{
    const std::shared_ptr<DMProject> project = m_host->project();
    // The pickers' dates choose the rows; the header shows the project's dates.
    const DMReportPage *page = m_host->reportPage();
    const DMDate begin = page ? DMDate::dateWithNSDate(page->tasksByResourceReportBeginDatePicker()->dateTime()) : project->effectiveBeginDate();
    const DMDate end = page ? DMDate::dateWithNSDate(page->tasksByResourceReportEndDatePicker()->dateTime()) : project->effectiveEndDate();
    int row = 0;
    float total = 0.0f;
    DMReportHeader header;
    header.columns = columns();
    DMReportBody rows(header.columns);
    writeRows(rows, &row, &total, begin, end);

    header.title = title;
    header.beginText = m_host->calendarDateString(project->effectiveBeginDate());
    header.endText = m_host->calendarDateString(project->effectiveEndDate());
    header.costText = header.columns.showCost ? m_host->currencyString(ownCost ? *ownCost : total) : QString();
    header.completionText = completionText(progress);
    header.colorText = DMReport_headerColorText(m_host->reportHeaderColor());
    header.logoPath = m_host->reportLogoPath();
    DMReportBody body(header.columns);
    body += DMReport_mainTableOpening() + DMReport_headerTableForTasksByResource(header);
    body += rows;
    body += DMReport_separatorRow() + DMReport_mainTableClosing();
    return body;
}

QString DMProjectDocumentReport::reportGenerateHTMLForResource(const DMProjectResource &resource)
{
    if (!m_host->project())
        return QString();
    const DMReportBody body = resourceReportBody(resource);
    return DMReport_pageWithBody(DMReport_templateText(), body.html(), body.columns());
}

QString DMProjectDocumentReport::reportGenerateHTMLForProcess(const DMProjectProcess &process)
{
    if (!m_host->project())
        return QString();
    const DMReportBody body = processReportBody(process);
    return DMReport_pageWithBody(DMReport_templateText(), body.html(), body.columns());
}

DMReportBody DMProjectDocumentReport::resourceReportBody(const DMProjectResource &resource)
{
    // The header shows the resource's own cost, whatever the rows add up to.
    float progress = 0.0f;
    float cost = 0.0f;
    resource.computeProgressCostInfoString(&progress, &cost, nullptr);
    return groupedReport(resource.name(), progress, &cost,
                         [&](DMReportBody &rows, int *row, float *total, const DMDate &begin, const DMDate &end) {
                             _reportGenerateHTML_tasksForResourceContentStringRowProjectCostBeginDateEndDate(
                                 resource, rows, row, total, begin, end);
                         });
}

DMReportBody DMProjectDocumentReport::processReportBody(const DMProjectProcess &process)
{
    return groupedReport(process.title(), process.progress(), nullptr,
                         [&](DMReportBody &rows, int *row, float *total, const DMDate &begin, const DMDate &end) {
                             _reportGenerateHTML_tasksForProcessContentStringRowProjectCostBeginDateEndDate(
                                 process, rows, row, total, begin, end);
                         });
}
