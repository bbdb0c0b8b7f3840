#include "DMItemsViewProcessesItem.h"

#include "DMDurationSplit.h"
#include "DMItemsViewPreview.h"
#include "DMItemsViewSorting.h"
#include "DMLocalizedString.h"
#include "DMProgressView.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"

#include <QLabel>

DMItemsViewProcessesItem::DMItemsViewProcessesItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : DMItemsViewItem(document, collectionView)
{
    view()->resize(cardSize());
    nameField = addLabel({10, 4, 300, 20}, 12, true);
    objectPreview = new DMItemsViewPreview(view());
    objectPreview->setGeometry(10, 26, 300, 22);
    addDateRow(beginDateField, beginHourOfDayField, endDateField, endHourOfDayField);
    durationField = addLabel({10, 68, 150, 16});
    infoField = addLabel({170, 68, 140, 16});
    costField = addLabel({10, 86, 150, 16});
    progressView = addCompletionRow(progressField);
}

QString DMItemsViewProcessesItem::processInfoText(const DMItemsViewTotals &totals)
{
    QStringList parts;
    if (totals.tasks > 0)
        parts.append(DMLocalizedString("%1 tasks").arg(totals.tasks));
    if (totals.milestones > 0)
        parts.append(DMLocalizedString("%1 milestones").arg(totals.milestones));
    if (totals.processes >= 2)
        parts.append(DMLocalizedString("%1 processes").arg(totals.processes - 1));
    return parts.join(QStringLiteral(", "));
}

QStringList DMItemsViewProcessesItem::observedKeyPaths() const
{
    return {QStringLiteral("title"),
            QStringLiteral("beginDate"),
            QStringLiteral("endDate"),
            QStringLiteral("duration"),
            QStringLiteral("progress"),
            QStringLiteral("fillColor"),
            QStringLiteral("useWorkingSchedule"),
            QStringLiteral("attributes.kDMProjectItem_HasFixedCost"),
            QStringLiteral("attributes.kDMProjectItem_FixedCost")};
}

void DMItemsViewProcessesItem::updateUI()
{
    auto *process = dynamic_cast<DMProjectItem *>(representedObject().object.get());
    if (!process || !process->project())
        return;
    setTitleText(nameField, process->title());
    objectPreview->showItem(process);
    const DMItemsViewTotals totals = DMItemsView_totalsForItem(*process);
    infoField->setText(processInfoText(totals));
    costField->setText(currencyText(totals.cost));
    showCompletion(progressView, progressField, totals.completion);
    setDateFields(beginDateField, beginHourOfDayField, process->beginDate());
    setDateFields(endDateField, endHourOfDayField, process->endDate());
    durationField->setText(cardDurationText(process->duration(), DMDurationSplit::dayLengthForItem(*process)));
}
