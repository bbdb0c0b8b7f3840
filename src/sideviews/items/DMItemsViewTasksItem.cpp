#include "DMItemsViewTasksItem.h"

#include "DMDurationSplit.h"
#include "DMItemsViewPreview.h"
#include "DMItemsViewSorting.h"
#include "DMLocalizedString.h"
#include "DMProgressView.h"
#include "DMProjectKeys.h"
#include "DMProjectTask.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

DMItemsViewTasksItem::DMItemsViewTasksItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : DMItemsViewItem(document, collectionView)
{
    view()->resize(cardSize());
    nameField = addLabel({10, 4, 270, 20}, 12, true);
    attachedDocumentsView = addLabel({288, 4, 22, 20});
    attachedDocumentsView->setPixmap(QApplication::style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16));
    objectPreview = new DMItemsViewPreview(view());
    objectPreview->setGeometry(10, 26, 300, 22);
    addDateRow(beginDateField, beginHourOfDayField, endDateField, endHourOfDayField);
    durationField = addLabel({10, 68, 150, 16});
    affectedResourcesField = addLabel({170, 68, 140, 16});
    costField = addLabel({10, 86, 150, 16});
    costTypeField = addLabel({170, 86, 140, 16});
    progressView = addCompletionRow(progressField);
}

QStringList DMItemsViewTasksItem::observedKeyPaths() const
{
    return {QStringLiteral("title"),
            QStringLiteral("beginDate"),
            QStringLiteral("endDate"),
            QStringLiteral("duration"),
            QStringLiteral("progress"),
            QStringLiteral("fillColor"),
            QStringLiteral("useWorkingSchedule"),
            // The resources count on the card, and their costs in the task's.
            QStringLiteral("concernedResources"),
            QStringLiteral("attributes.") + kDMProjectItem_CostKind,
            QStringLiteral("attributes.") + kDMProjectItem_Cost,
            QStringLiteral("attributes.") + kDMProjectItem_AttachedDocuments};
}

void DMItemsViewTasksItem::updateUI()
{
    auto *task = dynamic_cast<DMProjectItem *>(representedObject().object.get());
    if (!task || !task->project())
        return;
    setTitleText(nameField, task->title());
    objectPreview->showItem(task);

    const DMItemsViewTotals totals = DMItemsView_totalsForItem(*task);
    const int costKind = task->attribute(kDMProjectItem_CostKind).toInt();
    costTypeField->setText(costKind == kDMProjectItemCostKind_Hourly          ? DMLocalizedString("/per hour")
                           : costKind == kDMProjectItemCostKind_FromResources ? DMLocalizedString("(resources)")
                                                                             : DMLocalizedString("/per task"));
    costField->setText(currencyText(totals.cost));
    showCompletion(progressView, progressField, totals.completion);

    setDateFields(beginDateField, beginHourOfDayField, task->beginDate());
    setDateFields(endDateField, endHourOfDayField, task->endDate());
    const auto *assignable = dynamic_cast<DMProjectTask *>(task);
    affectedResourcesField->setText(QStringLiteral("%1 %2")
                                        .arg(assignable ? assignable->concernedResources().size() : 0)
                                        .arg(DMLocalizedString("Resources")));
    durationField->setText(cardDurationText(task->duration(), DMDurationSplit::dayLengthForItem(*task)));
    attachedDocumentsView->setHidden(task->attribute(kDMProjectItem_AttachedDocuments).toList().isEmpty());
}
