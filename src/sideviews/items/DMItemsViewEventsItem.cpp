#include "DMItemsViewEventsItem.h"

#include "DMDurationSplit.h"
#include "DMItemsViewPreview.h"
#include "DMProjectItem.h"

#include <QLabel>

DMItemsViewEventsItem::DMItemsViewEventsItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : DMItemsViewItem(document, collectionView)
{
    view()->resize(cardSize());
    titleField = addLabel({10, 4, 300, 20}, 12, true);
    objectPreview = new DMItemsViewPreview(view());
    objectPreview->setGeometry(10, 26, 300, 22);
    beginDateField = addLabel({10, 52, 92, 16}, 9);
    beginHourOfDayField = addLabel({102, 52, 58, 16}, 9);
    endDateField = addLabel({170, 52, 92, 16}, 9);
    endHourOfDayField = addLabel({262, 52, 58, 16}, 9);
    durationField = addLabel({10, 72, 200, 16});
}

QStringList DMItemsViewEventsItem::observedKeyPaths() const
{
    return {QStringLiteral("title"), QStringLiteral("beginDate"), QStringLiteral("endDate"), QStringLiteral("duration"),
            QStringLiteral("fillColor")};
}

void DMItemsViewEventsItem::updateUI()
{
    auto *event = dynamic_cast<DMProjectItem *>(representedObject().object.get());
    if (!event || !event->project())
        return;
    setTitleText(titleField, event->title());
    objectPreview->showItem(event);
    setDateFields(beginDateField, beginHourOfDayField, event->beginDate());
    setDateFields(endDateField, endHourOfDayField, event->endDate());
    durationField->setText(cardDurationText(event->duration(), DMDurationSplit::dayLengthForItem(*event)));
}
