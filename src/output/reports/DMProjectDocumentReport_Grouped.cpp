// DMProjectDocumentReport: the pages of the tasks-by-resource and tasks-by-process reports.
#include "DMProjectDocumentReport.h"

#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectDocumentReportHost.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMReportPage.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>

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
    refresh(DMReportOptions::Kind::TasksByResource);
}

void DMProjectDocumentReport::tasksByProcessesReportRefresh()
{
    prepareGroupedPage(DMLocalizedString("Process:"));
    refresh(DMReportOptions::Kind::TasksByProcess);
}
